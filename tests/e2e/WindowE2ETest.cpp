// The real program in a real X window, recording what a real sound server plays.
#include "Desktop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace e2e {
namespace {

constexpr int TracePanelLeft = 56; // client x of the trace panel
constexpr int TracePanelWidth = 688;
constexpr int TracePanelHeight = 391;

// The top row of the trace panel: the first white pixel of the scale column beside it.
int TracePanelTop(const QImage& window) {
    for (int y = 0; y < window.height(); ++y)
        if ((window.pixel(TracePanelLeft - 1, y) & 0xFFFFFF) == 0xFFFFFF)
            return y;
    return -1;
}

// The panel column in which the trace climbs highest.
int PeakColumn(const QImage& window) {
    const int top = TracePanelTop(window);
    if (top < 0)
        return -1;
    int best = -1, bestRow = top + TracePanelHeight;
    for (int x = 0; x < TracePanelWidth; ++x)
        for (int y = top; y < top + TracePanelHeight; ++y) {
            const QRgb p = window.pixel(TracePanelLeft + x, y);
            if (qRed(p) + qGreen(p) + qBlue(p) < 200) {
                if (y < bestRow)
                    bestRow = y, best = x;
                break;
            }
        }
    return best;
}

bool HasLevelBar(const QImage& window) {
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            if ((window.pixel(x, y) & 0xFFFFFF) == qRgb(0, 208, 96) - 0xFF000000u)
                return true;
    return false;
}

// The window once its trace peaks in the expected column, or as it is when the bound runs out.
QImage WaitForPeak(Screen& screen, unsigned long window, int column) {
    const auto start = std::chrono::steady_clock::now();
    QImage shot;
    do {
        std::this_thread::sleep_for(100ms);
        shot = screen.Grab(window);
    } while (PeakColumn(shot) != column && std::chrono::steady_clock::now() - start < 10s);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("peak in column %d after %lld ms\n", column, static_cast<long long>(ms.count()));
    return shot;
}

TEST(WindowE2E, TracePeakLevelBarStopAndClose) {
    Xvfb x;
    PulseServer pulse("/tmp/quorvane-window-e2e");
    Tone tone(pulse, 1000, 12000, 60);
    Process program({BinaryDir() + "/bin/quorvane"},
                    {"DISPLAY=" + x.Display(), "PULSE_SERVER=" + pulse.Address(),
                     "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=/tmp/quorvane-window-e2e"});
    Screen screen(x.Display());
    const unsigned long window = screen.FindWindow("Quorvane v2.9beta", 15s);
    ASSERT_NE(window, 0u) << "the main window did not appear";

    // The sink's monitor is the server's only source, so it is the selected entry.
    screen.Focus(window);
    screen.Keys({"alt+s"});
    QImage normal = WaitForPeak(screen, window, 93);
    normal.save(QString::fromStdString(ArtefactDir() + "/window-normal.png"));
    // 1 kHz is bin 93 (1000 / 10.7666), drawn in column 93 on the normal scale.
    EXPECT_EQ(PeakColumn(normal), 93);
    EXPECT_TRUE(HasLevelBar(normal));

    // Horizontal scale, fourth item: Logarithmic. Column 128 ln(93 * 10.7666 / 20) = 500.
    screen.Keys({"alt+h", "Down", "Down", "Down", "Return"});
    QImage logarithmic = WaitForPeak(screen, window, 500);
    logarithmic.save(QString::fromStdString(ArtefactDir() + "/window-logarithmic.png"));
    EXPECT_EQ(PeakColumn(logarithmic), 500);

    screen.Keys({"alt+p"});
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(program.Running());
    const auto closedAt = std::chrono::steady_clock::now();
    screen.RequestClose(window);
    EXPECT_EQ(program.WaitExit(1s), std::optional<int>(0));
    EXPECT_LT(std::chrono::steady_clock::now() - closedAt, 1s);
}

} // namespace
} // namespace e2e
