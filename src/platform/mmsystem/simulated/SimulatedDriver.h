// A driver of made-up devices for tests: named inputs that record a chosen signal, paced in real
// time on a thread of their own or stepped by the test, with failures injected on request;
// wave-output devices and mixers described by plain records. Installed by code only.
//
//   auto& sim = mmsystem::simulated::SimulatedDriver::Install({.Inputs = {{.Name = "Mic"}}});
//   ... open and queue through the wave functions, then sim.StepBlocks(2);
#pragma once

#include "platform/mmsystem/Driver.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mmsystem::simulated {

constexpr std::size_t BlockSamples = 2048;

// Writes count samples; first is the index of samples[0] since the stream started.
using Signal = std::function<void(std::int16_t* samples, std::size_t count, std::uint64_t first)>;

Signal Silence();
Signal Constant(std::int16_t value);
// amplitude in sample units; values are truncated toward zero and kept in the 16-bit range.
Signal Sine(double frequency, double amplitude);
// Sample i holds i modulo 65536 (as a signed value): shows order, gaps and drops.
Signal Counter();

struct InputDevice {
    std::string Name = {};
    Signal Source = Silence();
    MMRESULT OpenResult = MMSYSERR_NOERROR;  // non-zero: the open fails with it
    MMRESULT StartResult = MMSYSERR_NOERROR; // non-zero: the start fails with it
    MMRESULT CapsResult = MMSYSERR_NOERROR;  // non-zero: waveInGetDevCapsA fails with it
    // Adds are numbered from 1 per open; from FailAddsFrom on (0: never), and those listed in
    // FailAdds, are refused with AddFailure.
    std::size_t FailAddsFrom = 0;
    std::vector<std::size_t> FailAdds = {};
    MMRESULT AddFailure = MMSYSERR_NOMEM;
    // Paced only: starts, but never delivers a sample.
    bool Stuck = false;
    // Paced only: the stream fails (as if unplugged) after this many blocks; 0: never.
    std::size_t VanishAfterBlocks = 0;
    // What mixerGetID answers for this input: MMSYSERR_NODRIVER for none.
    MMRESULT MixerResult = MMSYSERR_NOERROR;
    UINT Mixer = 0;
};

enum class Pace {
    Stepped, // nothing arrives until the test calls Step or StepBlocks
    RealTime // one block every 2048 / 44100 s (divided by Speed), on the stream's own thread
};

struct Config {
    std::vector<InputDevice> Inputs = {};
    int DefaultInput = 0; // the input WAVE_MAPPER opens; -1: none
    // mixerGetID for WAVE_MAPPER when there is no default input.
    MMRESULT MapperMixerResult = MMSYSERR_NODRIVER;
    UINT MapperMixer = 0;
    std::vector<WaveOutDevice> Outputs = {};
    std::vector<MixerDevice> Mixers = {};
    Pace Pacing = Pace::Stepped;
    double Speed = 1.0;
};

class SimulatedDriver final : public Driver {
public:
    explicit SimulatedDriver(Config config);
    ~SimulatedDriver() override;

    // Makes a driver of config the active one and returns it. It lives until the next
    // InstallDriver, which also closes every stream still open on it.
    static SimulatedDriver& Install(Config config);

    // Changing the devices: later counts see the change. Safe from any thread.
    void SetInputs(std::vector<InputDevice> inputs);
    void SetOutputs(std::vector<WaveOutDevice> outputs);
    void SetMixers(std::vector<MixerDevice> mixers);
    // The input at index leaves the list; its open streams fail (stepped: now, on the calling
    // thread; paced: at once on their own threads).
    void Vanish(std::size_t index);

    // Stepped: every started, working stream gets its next samples now, from the calling
    // thread, in pieces of at most one block.
    void Step(std::size_t samples);
    void StepBlocks(std::size_t blocks) { Step(blocks * BlockSamples); }

    // What was asked of the driver.
    std::vector<int> OpenRequests() const; // indices passed to OpenInput, in order
    std::size_t OpenStreams() const;       // open and not yet closed
    std::size_t Adds() const;              // adds consulted, refused ones included
    std::size_t Starts() const;
    std::size_t Closes() const;
    std::uint64_t BlocksDelivered() const; // full blocks handed to sinks, over all streams

    // Driver.
    const char* Name() const override { return "simulated"; }
    std::vector<std::string> InputDevices() override;
    MMRESULT InputCapsResult(int index) override;
    MMRESULT OpenInput(int index, CaptureSink& sink,
                       std::unique_ptr<CaptureStream>& stream) override;
    std::vector<WaveOutDevice> OutputDevices() override;
    std::vector<MixerDevice> Mixers() override;
    MMRESULT MixerOfInput(int index, UINT& mixerId) override;

    struct State;

private:
    std::shared_ptr<State> state;
};

} // namespace mmsystem::simulated
