// A record stream of 16-bit mono 44,100 Hz from one source, on a connection of its own, so that
// a failure of the server ends this stream alone and is reported to the sink once.
#pragma once

#include "platform/mmsystem/Driver.h"
#include "platform/mmsystem/pulse/PulseConnection.h"

#include <pulse/stream.h>

#include <cstdint>
#include <memory>

namespace mmsystem::pulse {

class PulseCaptureStream final : public CaptureStream {
public:
    // source null: the server's default source, and the stream follows it when it moves.
    // A named source pins the stream: when that source goes, the stream fails.
    static MMRESULT Open(const char* source, CaptureSink& sink,
                         std::unique_ptr<CaptureStream>& stream);

    ~PulseCaptureStream() override;
    MMRESULT Start() override;
    void Close() override;

private:
    explicit PulseCaptureStream(CaptureSink& sink) : sink_(sink) {}
    MMRESULT Connect(const char* source);
    void Failed(); // loop thread

    static void OnRead(pa_stream* stream, std::size_t bytes, void* user);
    static void OnState(pa_stream* stream, void* user);
    static void OnConnectionFailed(void* user);

    CaptureSink& sink_;
    PulseConnection connection_;
    pa_stream* stream_ = nullptr;
    bool opened_ = false;  // under the loop lock
    bool closing_ = false; // under the loop lock
    bool failed_ = false;  // loop thread
};

} // namespace mmsystem::pulse
