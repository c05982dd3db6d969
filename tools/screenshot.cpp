// Writes a PNG of the main window at its design size, recording a test tone from a simulated
// device, so that anyone can look at the form without a display or a sound card.
#include "app/Form1.h"
#include "platform/mmsystem/simulated/SimulatedDriver.h"
#include "platform/vcl/Dialogs.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH.png\n", argv[0]);
        return 2;
    }
    TApplication application(argc, argv);
    application.Initialize();
    application.SetTitle("Quorvane");
    SetMessageBoxPresenter([](const TMessageBoxRequest& r) {
        std::fprintf(stderr, "message box: %s\n", r.Text.c_str());
        return IDOK;
    });
    auto tone = [](std::int16_t* s, std::size_t n, std::uint64_t first) {
        // A 1 kHz tone with a weaker third harmonic, so the trace shows more than one peak.
        static const auto a = mmsystem::simulated::Sine(1000, 12000);
        static const auto b = mmsystem::simulated::Sine(3000, 1500);
        std::int16_t other[mmsystem::simulated::BlockSamples];
        a(s, n, first);
        b(other, n, first);
        for (std::size_t i = 0; i < n; ++i)
            s[i] = std::int16_t(s[i] + other[i]);
    };
    auto& sim = mmsystem::simulated::SimulatedDriver::Install(
        {.Inputs = {{.Name = "Monitor of Built-in Audio", .Source = tone},
                    {.Name = "Built-in Microphone"}}});

    TForm1 form(nullptr);
    form.show();
    QCoreApplication::processEvents();
    form.StartButtonClick(form.StartButton);
    for (int i = 0; i < 8; ++i) {
        sim.StepBlocks(1);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    const bool saved = form.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    form.StopButtonClick(form.StopButton);
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
