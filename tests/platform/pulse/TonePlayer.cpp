#include "platform/pulse/TonePlayer.h"

#include <cmath>
#include <numbers>

namespace {

std::int16_t Sample(TonePlayer::Signal signal, std::uint64_t n) {
    switch (signal) {
    case TonePlayer::Signal::Tone:
        return std::int16_t(16384 * std::sin(2 * std::numbers::pi * 1000.0 * double(n) / 44100));
    case TonePlayer::Signal::Ramp:
        return std::int16_t(std::uint16_t(n));
    default:
        return 0;
    }
}

} // namespace

bool TonePlayer::Start(const char* sink, Signal signal, std::uint32_t bufferBytes) {
    wanted_ = playing_ = signal;
    if (!connection_.Connect(std::chrono::seconds(2)))
        return false;
    mmsystem::pulse::PulseConnection::Lock lock(connection_);
    const pa_sample_spec format{PA_SAMPLE_S16LE, 44100, 1};
    stream_ = pa_stream_new(connection_.Context(), "Quorvane test signal", &format, nullptr);
    if (!stream_)
        return false;
    pa_stream_set_write_callback(stream_, &OnWrite, this);
    pa_stream_set_underflow_callback(
        stream_, [](pa_stream*, void* user) { ++static_cast<TonePlayer*>(user)->underruns_; },
        this);
    pa_stream_set_state_callback(
        stream_,
        [](pa_stream*, void* user) { static_cast<TonePlayer*>(user)->connection_.Signal(); }, this);
    pa_buffer_attr attr{std::uint32_t(-1), bufferBytes, std::uint32_t(-1), std::uint32_t(-1),
                        std::uint32_t(-1)};
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                         PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(stream_, sink, &attr, flags, nullptr, nullptr) < 0)
        return false;
    connection_.WaitUntil([this] { return pa_stream_get_state(stream_) != PA_STREAM_CREATING; },
                          std::chrono::seconds(2));
    return pa_stream_get_state(stream_) == PA_STREAM_READY;
}

TonePlayer::Clock::time_point TonePlayer::LastOnset() const {
    std::lock_guard lock(mutex_);
    return onset_;
}

void TonePlayer::Stop() {
    if (connection_.Loop()) {
        mmsystem::pulse::PulseConnection::Lock lock(connection_);
        if (stream_) {
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
    }
    connection_.Disconnect();
}

void TonePlayer::OnWrite(pa_stream* stream, std::size_t bytes, void* user) {
    auto* self = static_cast<TonePlayer*>(user);
    const Signal wanted = self->wanted_;
    if (wanted != self->playing_) {
        pa_usec_t queued = 0;
        int negative = 0;
        if (pa_stream_get_latency(stream, &queued, &negative) < 0 || negative)
            queued = 0;
        std::lock_guard lock(self->mutex_);
        self->onset_ = Clock::now() + std::chrono::microseconds(queued);
        self->playing_ = wanted;
    }
    void* data = nullptr;
    if (pa_stream_begin_write(stream, &data, &bytes) < 0 || !data)
        return;
    auto* out = static_cast<std::int16_t*>(data);
    const std::size_t samples = bytes / sizeof(std::int16_t);
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = Sample(self->playing_, self->position_++);
    pa_stream_write(stream, data, samples * sizeof(std::int16_t), nullptr, 0, PA_SEEK_RELATIVE);
}
