// The main window recording from a real sound server for a long time, under load, through a
// server crash, and through many Start/Stop cycles.
#include "Desktop.h"

#include "app/Form1.h"
#include "platform/gdi/gdi.h"
#include "platform/mmsystem/Driver.h"
#include "platform/vcl/Dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace e2e {
namespace {

// Counts the block messages the window receives.
class CountingForm : public TForm1 {
public:
    CountingForm() : TForm1(nullptr) {}
    void Dispatch(TMessage& message) override {
        if (message.Msg == MM_WIM_DATA)
            ++blocks;
        TForm1::Dispatch(message);
    }
    long blocks = 0;
};

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void RunFor(std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A fresh server takes up to a few seconds to deliver its first block.
bool WaitForBlocks(const CountingForm& form, long count) {
    const auto end = std::chrono::steady_clock::now() + 8s;
    while (form.blocks < count && std::chrono::steady_clock::now() < end)
        RunFor(50ms);
    return form.blocks >= count;
}

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        pulse = std::make_unique<PulseServer>("/tmp/quorvane-soak");
        setenv("PULSE_SERVER", pulse->Address().c_str(), 1);
        mmsystem::InstallDriver(nullptr);
        SetMessageBoxPresenter([this](const TMessageBoxRequest& r) {
            boxes.push_back(r);
            return IDOK;
        });
        form = std::make_unique<CountingForm>();
        form->show();
        ASSERT_GE(form->DeviceSelectCombo->count(), 1);
    }
    void TearDown() override {
        form.reset();
        SetMessageBoxPresenter({});
        mmsystem::InstallDriver(nullptr);
        unsetenv("PULSE_SERVER");
        pulse.reset();
    }

    std::unique_ptr<PulseServer> pulse;
    std::unique_ptr<CountingForm> form;
    std::vector<TMessageBoxRequest> boxes;
};

TEST_F(SoakTest, TwoMinutesUnderLoadLoseNothingAndKeepTheirMemory) {
    Tone tone(*pulse, 1000, 12000, 130);
    // A second process keeping both cores busy, politely.
    Process load({"nice", "-n", "10", "sh", "-c", "yes > /dev/null & yes > /dev/null & wait"}, {});
    // The null sink wakes up with a burst; the recording starts once it is running.
    RunFor(3s);
    const std::uint64_t droppedBefore = mmsystem::DroppedSampleCount();
    form->StartButtonClick(form->StartButton);
    ASSERT_TRUE(form->Recording);
    RunFor(10s);
    const long residentAfterWarmUp = ResidentKiB();
    const long blocksAfterWarmUp = form->blocks;
    const auto measuredFrom = std::chrono::steady_clock::now();
    RunFor(110s);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - measuredFrom).count();
    const double rate = double(form->blocks - blocksAfterWarmUp) / seconds;
    const long growth = ResidentKiB() - residentAfterWarmUp;
    // Samples that arrive between Stop's last block and the close are not lost to the user.
    const std::uint64_t dropped = mmsystem::DroppedSampleCount() - droppedBefore;
    form->StopButtonClick(form->StopButton);
    std::printf("blocks a second %.2f, resident growth %ld KiB, dropped %llu\n", rate, growth,
                static_cast<unsigned long long>(dropped));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dropped, 0u);
    EXPECT_NEAR(rate, 44100.0 / 2048, 0.5);
    // Allocator noise aside, nothing may grow with the number of blocks.
    EXPECT_LT(growth, 1024);
}

TEST_F(SoakTest, ServerKilledWhileRecordingIsReportedAndRecordingResumesAfterRestart) {
    form->StartButtonClick(form->StartButton);
    ASSERT_TRUE(form->Recording);
    ASSERT_TRUE(WaitForBlocks(*form, 6));
    pulse->Kill();
    // The queued blocks come back at once and cannot be handed back: the failure box.
    const auto killedAt = std::chrono::steady_clock::now();
    while (boxes.empty() && std::chrono::steady_clock::now() - killedAt < 5s)
        RunFor(50ms);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].Text, "Failed to read block from device");
    EXPECT_EQ(boxes[0].Kind, TMessageBoxKind::System);
    RunFor(500ms);
    const auto stopAt = std::chrono::steady_clock::now();
    form->StopButtonClick(form->StopButton);
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 3s);
    EXPECT_FALSE(form->Recording);
    EXPECT_TRUE(form->DeviceSelectCombo->isEnabled());

    pulse->Restart();
    boxes.clear();
    const long before = form->blocks;
    form->StartButtonClick(form->StartButton);
    ASSERT_TRUE(form->Recording) << (boxes.empty() ? "" : boxes[0].Text);
    EXPECT_TRUE(WaitForBlocks(*form, before + 10));
    form->StopButtonClick(form->StopButton);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SoakTest, ManyStartStopCyclesAndEveryScaleWhileRecording) {
    const long residentBefore = ResidentKiB();
    const int objectsBefore = gdi::LiveObjectCount();
    std::vector<QAction*> items;
    for (QMenu* menu : {form->Scales1, form->Horizontalscale1})
        for (QAction* a : menu->actions())
            items.push_back(a);
    for (int cycle = 0; cycle < 200; ++cycle) {
        form->StartButtonClick(form->StartButton);
        ASSERT_TRUE(form->Recording) << "cycle " << cycle;
        QAction* item = items[std::size_t(cycle) % items.size()];
        item->trigger();
        QCoreApplication::processEvents();
        form->StopButtonClick(form->StopButton);
        ASSERT_FALSE(form->Recording) << "cycle " << cycle;
        QCoreApplication::processEvents();
    }
    RunFor(500ms);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(gdi::LiveObjectCount(), objectsBefore);
    EXPECT_TRUE(form->DeviceSelectCombo->isEnabled());
    const std::string streams =
        Capture({"pactl", "list", "short", "source-outputs"}, {"PULSE_SERVER=" + pulse->Address()});
    EXPECT_EQ(streams, "");
    EXPECT_LT(ResidentKiB() - residentBefore, 4096);
}

} // namespace
} // namespace e2e
