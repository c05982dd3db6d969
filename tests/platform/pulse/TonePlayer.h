// Plays a generated signal into a PulseAudio sink, for tests that record the sink's monitor:
// silence, a 1 kHz tone, or a ramp that steps by one every sample (so that any lost or
// repeated sample shows).
#pragma once

#include "platform/mmsystem/pulse/PulseConnection.h"

#include <pulse/stream.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

class TonePlayer {
public:
    using Clock = std::chrono::steady_clock;
    enum class Signal { Silence, Tone, Ramp };

    ~TonePlayer() { Stop(); }

    // bufferBytes: how much the server keeps queued (small: quick onsets; large: no underruns).
    bool Start(const char* sink, Signal signal, std::uint32_t bufferBytes);
    // Takes effect with the next data written.
    void Set(Signal signal) { wanted_ = signal; }
    // When the last change of signal is heard in the sink: its write time plus the queue ahead
    // of it. Clock::time_point{} before any change.
    Clock::time_point LastOnset() const;
    int Underruns() const { return underruns_; }
    void Stop();

private:
    static void OnWrite(pa_stream* stream, std::size_t bytes, void* user);

    mmsystem::pulse::PulseConnection connection_;
    pa_stream* stream_ = nullptr;
    std::atomic<Signal> wanted_{Signal::Silence};
    Signal playing_ = Signal::Silence; // loop thread
    std::uint64_t position_ = 0;       // loop thread
    mutable std::mutex mutex_;
    Clock::time_point onset_{};
    std::atomic<int> underruns_{0};
};
