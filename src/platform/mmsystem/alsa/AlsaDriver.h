// The ALSA driver, used when no sound server answers: "default" first, then the capture PCMs
// of the cards, opened through plughw so that any hardware format converts.
#pragma once

#include "platform/mmsystem/Driver.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mmsystem::alsa {

class AlsaDriver final : public Driver {
public:
    // serverRunning is asked at every listing: while it says yes, only "default" is listed,
    // so the hardware stays with the server.
    explicit AlsaDriver(std::function<bool()> serverRunning);

    const char* Name() const override { return "ALSA"; }
    std::vector<std::string> InputDevices() override;
    MMRESULT OpenInput(int index, CaptureSink& sink,
                       std::unique_ptr<CaptureStream>& stream) override;
    std::vector<WaveOutDevice> OutputDevices() override;
    std::vector<MixerDevice> Mixers() override;
    MMRESULT MixerOfInput(int index, UINT& mixerId) override;

private:
    struct Input {
        std::string Name;
        std::string Pcm;
        int Card = -1; // -1: not of one card
    };
    std::vector<Input> ListInputs();

    std::function<bool()> serverRunning_;
    // The inputs as the last device count saw them; identifiers refer to this snapshot.
    std::vector<Input> inputs_;
    bool listed_ = false;
};

std::unique_ptr<Driver> CreateAlsaDriver();

} // namespace mmsystem::alsa
