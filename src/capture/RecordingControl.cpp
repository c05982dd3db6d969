// The recording control: opening the selected device, the ring of four blocks handed to it,
// and stopping. Failures are reported at once in a message box and the operation abandoned.
#include "app/Form1.h"

#include "platform/vcl/Dialogs.h"

#include <chrono>
#include <thread>

namespace {

// A working device returns a block within about 46 ms; one that has not in two seconds is
// taken as stuck, so the window is never held for good.
constexpr auto HeaderWaitBound = std::chrono::seconds(2);
constexpr auto HeaderPollInterval = std::chrono::microseconds(250);

constexpr WAVEFORMATEX RecordingFormat = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

QWidget* SystemBoxOwner() {
    return Application ? Application->Handle() : nullptr;
}

bool StillQueued(HWAVEIN device, WAVEHDR& header) {
    return waveInUnprepareHeader(device, &header, sizeof header) == WAVERR_STILLPLAYING;
}

} // namespace

void TForm1::WaitForHeader(WAVEHDR& header) {
    const auto deadline = std::chrono::steady_clock::now() + HeaderWaitBound;
    while (StillQueued(WaveIn, header)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return; // as if released
        std::this_thread::sleep_for(HeaderPollInterval);
    }
}

MMRESULT TForm1::QueueBlock(int k) {
    WAVEHDR& header = WaveHeaders[k];
    header.lpData = reinterpret_cast<LPSTR>(WaveBuffer[k]);
    header.dwBufferLength = sizeof WaveBuffer[k];
    header.dwBytesRecorded = 0;
    header.dwUser = 0;
    header.dwFlags = 0;
    header.dwLoops = 0;
    waveInPrepareHeader(WaveIn, &header, sizeof header);
    return waveInAddBuffer(WaveIn, &header, sizeof header);
}

void TForm1::StartButtonClick(QObject*) {
    if (Recording)
        return;
    RefreshDeviceList();
    const int deviceId = DeviceSelectCombo->ItemIndex(); // -1 (WAVE_MAPPER) on an empty list
    WAVEFORMATEX format = RecordingFormat;
    const MMRESULT opened =
        waveInOpen(&WaveIn, UINT(deviceId), &format,
                   reinterpret_cast<DWORD_PTR>(static_cast<HWND>(this)), 0, CALLBACK_WINDOW);
    if (opened != MMSYSERR_NOERROR) {
        char text[MAXERRORLENGTH] = {};
        waveInGetErrorTextA(opened, text, sizeof text);
        const char* caption = "Failed to open waveform input device.";
        if (Application)
            Application->MessageBox(text, caption, MB_ICONWARNING);
        else
            PresentMessageBox({TMessageBoxKind::Application, text, caption, MB_ICONWARNING});
        return;
    }
    // The device never started, so it would fill nothing: waiting on its blocks would only
    // stall. Closing hands the queued ones back, and the next Start opens afresh.
    auto abandon = [this](const char* text) {
        waveInClose(WaveIn);
        MessageBoxA(SystemBoxOwner(), text, nullptr, MB_ICONWARNING);
    };
    for (int k = 0; k < 4; ++k) {
        if (QueueBlock(k) != MMSYSERR_NOERROR) {
            abandon("Failed to read block from device");
            return;
        }
    }
    CurrentBlock = 0;
    if (waveInStart(WaveIn) != MMSYSERR_NOERROR) {
        abandon("Failed to start recording");
        return;
    }
    Recording = TRUE;
    DeviceSelectCombo->setEnabled(false);
}

namespace {

// Stop and close alike: the device goes on filling what is queued; each block is waited for in
// turn. Blocks come back in order, so once one has outlasted the bound the rest cannot follow,
// and closing returns them.
template <class Wait> void ReleaseAll(HWAVEIN device, WAVEHDR (&headers)[4], Wait wait) {
    for (WAVEHDR& header : headers) {
        wait(header);
        if (StillQueued(device, header))
            break;
    }
    waveInClose(device);
}

} // namespace

void TForm1::StopButtonClick(QObject*) {
    if (!Recording)
        return;
    ReleaseAll(WaveIn, WaveHeaders, [this](WAVEHDR& h) { WaitForHeader(h); });
    Recording = FALSE;
    DeviceSelectCombo->setEnabled(true);
}

void TForm1::FormClose(QObject*) {
    if (!Recording)
        return;
    ReleaseAll(WaveIn, WaveHeaders, [this](WAVEHDR& h) { WaitForHeader(h); });
    Recording = FALSE;
}
