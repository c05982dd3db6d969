// The PulseAudio (or PipeWire-Pulse) driver: sources are the wave inputs, sinks the wave
// outputs, cards the mixers. Queries share one connection; each capture stream has its own.
#pragma once

#include "platform/mmsystem/Driver.h"
#include "platform/mmsystem/pulse/PulseConnection.h"
#include "platform/mmsystem/pulse/PulseModel.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mmsystem::pulse {

class PulseDriver final : public Driver {
public:
    // Null when no server answers within the timeout.
    static std::unique_ptr<PulseDriver> Create(std::chrono::milliseconds timeout = ServerTimeout);

    const char* Name() const override { return "PulseAudio"; }
    std::vector<std::string> InputDevices() override;
    MMRESULT OpenInput(int index, CaptureSink& sink,
                       std::unique_ptr<CaptureStream>& stream) override;
    std::vector<WaveOutDevice> OutputDevices() override;
    std::vector<MixerDevice> Mixers() override;
    MMRESULT MixerOfInput(int index, UINT& mixerId) override;

private:
    PulseDriver() = default;
    // Reconnects when the server went away since the last query.
    bool EnsureConnected();
    std::optional<std::vector<PulseNode>> Sources();
    std::optional<std::vector<PulseNode>> Sinks();
    std::optional<std::vector<PulseCard>> Cards();
    std::optional<std::string> DefaultSourceName();

    std::unique_ptr<PulseConnection> connection_;
    // The sources as the last device count saw them; identifiers refer to this snapshot.
    std::vector<PulseNode> inputs_;
    bool listed_ = false;
};

} // namespace mmsystem::pulse
