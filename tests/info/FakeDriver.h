// A driver with the devices a test describes, for the report and the mixer launcher.
#pragma once

#include "platform/mmsystem/Driver.h"

#include <memory>
#include <optional>

namespace infotest {

struct Devices {
    std::vector<std::string> Inputs;
    std::vector<mmsystem::WaveOutDevice> Outputs;
    std::vector<mmsystem::MixerDevice> Mixers;
    // What MixerOfInput answers, and the identifier it writes (none: leaves it as it was).
    MMRESULT MixerResult = MMSYSERR_NOERROR;
    std::optional<UINT> MixerId;
    // An input whose capabilities query the driver refuses.
    std::optional<int> RefusedInput;
    // Filled by the driver: the input index of the last mixer look-up.
    std::optional<int> MixerQueriedFor;
};

class FakeDriver : public mmsystem::Driver {
public:
    explicit FakeDriver(std::shared_ptr<Devices> devices) : devices(std::move(devices)) {}
    const char* Name() const override { return "fake"; }
    std::vector<std::string> InputDevices() override { return devices->Inputs; }
    MMRESULT InputCapsResult(int index) override {
        return devices->RefusedInput == index ? MMSYSERR_NOTENABLED : MMSYSERR_NOERROR;
    }
    MMRESULT OpenInput(int, mmsystem::CaptureSink&,
                       std::unique_ptr<mmsystem::CaptureStream>&) override {
        return MMSYSERR_NOTSUPPORTED;
    }
    std::vector<mmsystem::WaveOutDevice> OutputDevices() override { return devices->Outputs; }
    std::vector<mmsystem::MixerDevice> Mixers() override { return devices->Mixers; }
    MMRESULT MixerOfInput(int index, UINT& mixerId) override {
        devices->MixerQueriedFor = index;
        if (devices->MixerId)
            mixerId = *devices->MixerId;
        return devices->MixerResult;
    }

private:
    std::shared_ptr<Devices> devices;
};

// Installs a fake driver for the test's lifetime; the devices stay editable through Get().
class InstalledDevices {
public:
    explicit InstalledDevices(std::vector<std::string> inputs = {},
                              std::vector<mmsystem::WaveOutDevice> outputs = {},
                              std::vector<mmsystem::MixerDevice> mixers = {})
        : devices(std::make_shared<Devices>()) {
        devices->Inputs = std::move(inputs);
        devices->Outputs = std::move(outputs);
        devices->Mixers = std::move(mixers);
        mmsystem::InstallDriver(std::make_unique<FakeDriver>(devices));
    }
    ~InstalledDevices() { mmsystem::InstallDriver(nullptr); }
    Devices& Get() { return *devices; }

private:
    std::shared_ptr<Devices> devices;
};

} // namespace infotest
