// The wave-input functions over the PulseAudio driver, as the program uses them: four headers
// circulating for thirty seconds of a ramp played into the test sink and recorded from its
// monitor. No sample may be lost, repeated or dropped on the way.
#include "platform/mmsystem/mmsystem.h"
#include "platform/mmsystem/pulse/PulseDriver.h"
#include "platform/pulse/TonePlayer.h"
#include "platform/vcl/Messages.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t Block = 2048;
constexpr int Headers = 4;
constexpr double Seconds = 30;

// Counts what the driver delivers before the front sees it.
class CountingSink final : public mmsystem::CaptureSink {
public:
    explicit CountingSink(mmsystem::CaptureSink& inner) : inner_(inner) {}
    void Deliver(const std::int16_t* samples, std::size_t count) override {
        delivered += count;
        inner_.Deliver(samples, count);
    }
    void Fail() override { inner_.Fail(); }
    std::atomic<std::uint64_t> delivered{0};

private:
    mmsystem::CaptureSink& inner_;
};

class CountingStream final : public mmsystem::CaptureStream {
public:
    CountingStream(std::unique_ptr<CountingSink> sink, std::unique_ptr<CaptureStream> inner)
        : sink_(std::move(sink)), inner_(std::move(inner)) {}
    MMRESULT Start() override { return inner_->Start(); }
    void Close() override { inner_->Close(); }

private:
    std::unique_ptr<CountingSink> sink_;
    std::unique_ptr<CaptureStream> inner_;
};

class CountingDriver final : public mmsystem::Driver {
public:
    explicit CountingDriver(std::unique_ptr<mmsystem::Driver> inner) : inner_(std::move(inner)) {}
    const char* Name() const override { return inner_->Name(); }
    std::vector<std::string> InputDevices() override { return inner_->InputDevices(); }
    MMRESULT OpenInput(int index, mmsystem::CaptureSink& sink,
                       std::unique_ptr<mmsystem::CaptureStream>& stream) override {
        auto counting = std::make_unique<CountingSink>(sink);
        std::unique_ptr<mmsystem::CaptureStream> inner;
        const MMRESULT r = inner_->OpenInput(index, *counting, inner);
        if (r == MMSYSERR_NOERROR) {
            last = counting.get();
            stream = std::make_unique<CountingStream>(std::move(counting), std::move(inner));
        }
        return r;
    }
    std::vector<mmsystem::WaveOutDevice> OutputDevices() override {
        return inner_->OutputDevices();
    }
    std::vector<mmsystem::MixerDevice> Mixers() override { return inner_->Mixers(); }
    MMRESULT MixerOfInput(int index, UINT& id) override { return inner_->MixerOfInput(index, id); }
    CountingSink* last = nullptr;

private:
    std::unique_ptr<mmsystem::Driver> inner_;
};

// Plays the program's part: on each block message, takes the oldest block and queues it again.
class Recorder : public QWidget {
public:
    HWAVEIN handle = nullptr;
    std::int16_t blocks[Headers][Block] = {};
    WAVEHDR headers[Headers] = {};
    int current = 0;
    std::vector<std::int16_t> recorded;
    std::uint64_t messages = 0;
    MMRESULT requeue = MMSYSERR_NOERROR;
    Clock::time_point first{}, last{};

protected:
    bool event(QEvent* e) override {
        if (e->type() != TMessageEvent::EventType())
            return QWidget::event(e);
        if (static_cast<TMessageEvent*>(e)->Message.Msg == MM_WIM_DATA) {
            last = Clock::now();
            if (messages++ == 0)
                first = last;
            WAVEHDR& h = headers[current];
            const auto give_up = Clock::now() + 2s;
            while (waveInUnprepareHeader(handle, &h, sizeof h) == WAVERR_STILLPLAYING &&
                   Clock::now() < give_up) {
            }
            recorded.insert(recorded.end(), blocks[current],
                            blocks[current] + h.dwBytesRecorded / 2);
            waveInPrepareHeader(handle, &h, sizeof h);
            if (const MMRESULT r = waveInAddBuffer(handle, &h, sizeof h))
                requeue = r;
            current = (current + 1) % Headers;
        }
        return true;
    }
};

TEST(PulseFrontE2E, FourHeadersForThirtySecondsLoseNoSamples) {
    auto pulse = mmsystem::pulse::PulseDriver::Create();
    ASSERT_NE(pulse, nullptr) << "run through ctest (server fixture)";
    auto owned = std::make_unique<CountingDriver>(std::move(pulse));
    CountingDriver& driver = *owned;
    mmsystem::InstallDriver(std::move(owned));

    int monitor = -1;
    const UINT count = waveInGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        WAVEINCAPSA caps{};
        waveInGetDevCapsA(i, &caps, sizeof caps);
        if (std::strcmp(caps.szPname, "Monitor of Quorvane Test Output") == 0)
            monitor = int(i);
    }
    ASSERT_GE(monitor, 0);

    // Playing first wakes the null sink: idle, it sleeps for up to two seconds and then hands
    // its monitor all of that time at once, more than four headers hold.
    TonePlayer player;
    ASSERT_TRUE(player.Start("quorvane_test_sink", TonePlayer::Signal::Ramp, 88200));

    Recorder window;
    // However the test ends, the device is closed before the window goes.
    struct Closer {
        HWAVEIN& handle;
        ~Closer() {
            if (handle)
                waveInClose(handle);
            mmsystem::InstallDriver(nullptr);
        }
    } closer{window.handle};
    window.recorded.reserve(std::size_t((Seconds + 5) * 44100));
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    ASSERT_EQ(waveInOpen(&window.handle, UINT(monitor), &format,
                         reinterpret_cast<DWORD_PTR>(&window), 0, CALLBACK_WINDOW),
              MMSYSERR_NOERROR);
    for (int i = 0; i < Headers; ++i) {
        window.headers[i].lpData = reinterpret_cast<LPSTR>(window.blocks[i]);
        window.headers[i].dwBufferLength = sizeof window.blocks[i];
        waveInPrepareHeader(window.handle, &window.headers[i], sizeof(WAVEHDR));
        ASSERT_EQ(waveInAddBuffer(window.handle, &window.headers[i], sizeof(WAVEHDR)),
                  MMSYSERR_NOERROR);
    }
    const std::uint64_t droppedBefore = mmsystem::DroppedSampleCount();
    ASSERT_EQ(waveInStart(window.handle), MMSYSERR_NOERROR);

    const std::uint64_t wanted = std::uint64_t(Seconds * 44100 / Block);
    const auto deadline = Clock::now() + std::chrono::duration<double>(Seconds + 10);
    while (window.messages < wanted && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const std::uint64_t dropped = mmsystem::DroppedSampleCount() - droppedBefore;
    const std::uint64_t delivered = driver.last ? driver.last->delivered.load() : 0;

    for (WAVEHDR& h : window.headers) {
        const auto give_up = Clock::now() + 2s;
        while (waveInUnprepareHeader(window.handle, &h, sizeof h) == WAVERR_STILLPLAYING &&
               Clock::now() < give_up) {
        }
    }
    waveInClose(window.handle);
    window.handle = nullptr;

    ASSERT_GE(window.messages, wanted);
    EXPECT_EQ(window.requeue, MMSYSERR_NOERROR);
    EXPECT_EQ(dropped, 0u);
    const double span = std::chrono::duration<double>(window.last - window.first).count();
    // One block was recorded before the first message: messages - 1 blocks in the span.
    EXPECT_NEAR(double(window.messages - 1) / span, 21.5, 0.5);
    RecordProperty("blocks_per_second", std::to_string(double(window.messages - 1) / span));
    // All that the driver handed over went into headers (at most one block still filling).
    EXPECT_LE(delivered - window.messages * Block, Block);

    const auto& r = window.recorded;
    const auto first = std::find_if(r.begin(), r.end(), [](std::int16_t s) { return s != 0; });
    ASSERT_LT(std::distance(r.begin(), first), 88200) << "the ramp never arrived";
    std::size_t breaks = 0;
    for (auto it = first; it + 1 != r.end(); ++it)
        breaks += std::uint16_t(it[1]) != std::uint16_t(std::uint16_t(it[0]) + 1);
    EXPECT_EQ(player.Underruns(), 0) << "the player starved; a break may be the player's";
    EXPECT_EQ(breaks, 0u) << "of " << std::distance(first, r.end()) << " samples";
}

} // namespace
