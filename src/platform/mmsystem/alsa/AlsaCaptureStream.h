// Records 16-bit mono 44,100 Hz from one ALSA PCM on a reader thread of its own, one period
// of one block at a time.
#pragma once

#include "platform/mmsystem/Driver.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace mmsystem::alsa {

class AlsaCaptureStream final : public CaptureStream {
public:
    static constexpr snd_pcm_uframes_t PeriodFrames = 2048;

    static MMRESULT Open(const std::string& pcm, CaptureSink& sink,
                         std::unique_ptr<CaptureStream>& stream);

    ~AlsaCaptureStream() override;
    MMRESULT Start() override;
    void Close() override;

private:
    AlsaCaptureStream(snd_pcm_t* pcm, CaptureSink& sink) : pcm_(pcm), sink_(sink) {}
    void Run();

    snd_pcm_t* pcm_;
    CaptureSink& sink_;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    std::int16_t period_[PeriodFrames] = {}; // reader thread
};

} // namespace mmsystem::alsa
