#include "platform/mmsystem/pulse/PulseCaptureStream.h"

#include <pulse/error.h>
#include <pulse/proplist.h>

#include <algorithm>
#include <cstring>

namespace mmsystem::pulse {

namespace {

constexpr std::uint32_t BlockBytes = 4096;

// Silence for holes in the stream, so that the sample count keeps following time.
constexpr std::size_t ChunkSamples = 1024;
const std::int16_t Zeros[ChunkSamples] = {};

MMRESULT ResultOf(int error) {
    switch (error) {
    case PA_ERR_NOENTITY:
        return MMSYSERR_BADDEVICEID;
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_CONNECTIONTERMINATED:
    case PA_ERR_TIMEOUT:
        return MMSYSERR_NODRIVER;
    case PA_ERR_BUSY:
        return MMSYSERR_ALLOCATED;
    case PA_ERR_NOTSUPPORTED:
        return WAVERR_BADFORMAT;
    default:
        return MMSYSERR_ERROR;
    }
}

} // namespace

MMRESULT PulseCaptureStream::Open(const char* source, CaptureSink& sink,
                                  std::unique_ptr<CaptureStream>& stream) {
    std::unique_ptr<PulseCaptureStream> s(new PulseCaptureStream(sink));
    const MMRESULT result = s->Connect(source);
    if (result != MMSYSERR_NOERROR)
        return result;
    stream = std::move(s);
    return MMSYSERR_NOERROR;
}

MMRESULT PulseCaptureStream::Connect(const char* source) {
    if (!connection_.Connect(ServerTimeout, &OnConnectionFailed, this))
        return MMSYSERR_NODRIVER;
    PulseConnection::Lock lock(connection_);
    const pa_sample_spec format{PA_SAMPLE_S16LE, 44100, 1};
    pa_channel_map map;
    pa_channel_map_init_mono(&map);
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "production");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "quorvane");
    stream_ = pa_stream_new_with_proplist(connection_.Context(), "Quorvane", &format, &map, props);
    pa_proplist_free(props);
    if (!stream_)
        return ResultOf(pa_context_errno(connection_.Context()));
    pa_stream_set_state_callback(stream_, &OnState, this);
    pa_stream_set_read_callback(stream_, &OnRead, this);

    // One block per fragment, so a block is delivered as soon as it is recorded.
    pa_buffer_attr attr;
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::uint32_t(-1);
    attr.prebuf = std::uint32_t(-1);
    attr.minreq = std::uint32_t(-1);
    attr.fragsize = BlockBytes;
    int flags = PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED;
    if (source)
        flags |= PA_STREAM_DONT_MOVE;
    if (pa_stream_connect_record(stream_, source, &attr, pa_stream_flags_t(flags)) < 0)
        return ResultOf(pa_context_errno(connection_.Context()));
    const bool settled = connection_.WaitUntil(
        [this] {
            return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)) ||
                   pa_stream_get_state(stream_) == PA_STREAM_READY;
        },
        ServerTimeout);
    if (pa_stream_get_state(stream_) == PA_STREAM_READY) {
        opened_ = true;
        return MMSYSERR_NOERROR;
    }
    return settled ? ResultOf(pa_context_errno(connection_.Context())) : MMSYSERR_NODRIVER;
}

PulseCaptureStream::~PulseCaptureStream() {
    Close();
}

MMRESULT PulseCaptureStream::Start() {
    PulseConnection::Lock lock(connection_);
    if (!stream_ || failed_ || pa_stream_get_state(stream_) != PA_STREAM_READY)
        return MMSYSERR_ERROR;
    bool ok = false;
    pa_operation* op = pa_stream_cork(
        stream_, 0,
        [](pa_stream*, int success, void* user) { *static_cast<bool*>(user) = success; }, &ok);
    return connection_.WaitOperation(op, ServerTimeout) && ok ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

void PulseCaptureStream::Close() {
    if (connection_.Loop()) {
        PulseConnection::Lock lock(connection_);
        closing_ = true;
        if (stream_) {
            pa_stream_set_read_callback(stream_, nullptr, nullptr);
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
    }
    // Joins the loop thread: once this returns, the sink is called no more.
    connection_.Disconnect();
}

void PulseCaptureStream::Failed() {
    // Before Open has finished, the opener reads the state itself.
    if (!opened_ || closing_ || failed_)
        return;
    failed_ = true;
    sink_.Fail();
}

void PulseCaptureStream::OnRead(pa_stream* stream, std::size_t, void* user) {
    auto* self = static_cast<PulseCaptureStream*>(user);
    for (;;) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0) {
            self->Failed();
            return;
        }
        if (bytes == 0)
            return;
        if (!self->failed_) {
            std::size_t samples = bytes / sizeof(std::int16_t);
            if (!data) {
                for (std::size_t n; samples > 0; samples -= n) {
                    n = std::min(samples, ChunkSamples);
                    self->sink_.Deliver(Zeros, n);
                }
            } else if (reinterpret_cast<std::uintptr_t>(data) % alignof(std::int16_t) == 0) {
                self->sink_.Deliver(static_cast<const std::int16_t*>(data), samples);
            } else {
                // Memory blocks are aligned in practice; copy rather than read misaligned.
                std::int16_t chunk[ChunkSamples];
                const char* p = static_cast<const char*>(data);
                for (std::size_t n; samples > 0; samples -= n, p += n * sizeof(std::int16_t)) {
                    n = std::min(samples, ChunkSamples);
                    std::memcpy(chunk, p, n * sizeof(std::int16_t));
                    self->sink_.Deliver(chunk, n);
                }
            }
        }
        pa_stream_drop(stream);
    }
}

void PulseCaptureStream::OnState(pa_stream* stream, void* user) {
    auto* self = static_cast<PulseCaptureStream*>(user);
    const pa_stream_state_t s = pa_stream_get_state(stream);
    if (s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED)
        self->Failed();
    self->connection_.Signal();
}

void PulseCaptureStream::OnConnectionFailed(void* user) {
    static_cast<PulseCaptureStream*>(user)->Failed();
}

} // namespace mmsystem::pulse
