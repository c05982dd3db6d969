// The contract between the wave/mixer front (mmsystem.cpp) and the backends. The front checks
// handles, header states and formats once; a backend only lists devices and delivers samples.
#pragma once

#include "platform/mmsystem/mmsystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mmsystem {

// Implemented by the front. A backend calls it from its own thread only.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    // 16-bit mono samples at 44,100 Hz, in order. Fills queued headers oldest first and
    // announces each full one; samples with no header queued are dropped and counted.
    virtual void Deliver(const std::int16_t* samples, std::size_t count) = 0;
    // The stream has failed for good (device gone, server gone): every queued header is
    // completed at once and further adds are refused.
    virtual void Fail() = 0;
};

// One open capture stream. Created stopped; Close() is called once, on the GUI thread, and
// returns only when the backend will call the sink no more.
class CaptureStream {
public:
    virtual ~CaptureStream() = default;
    virtual MMRESULT Start() = 0;
    virtual void Close() = 0;
    // Consulted by the front before a header is queued; a non-zero result refuses the add.
    virtual MMRESULT AcceptAdd() { return MMSYSERR_NOERROR; }
};

struct WaveOutDevice {
    std::string Name;
    DWORD Support = 0; // WAVECAPS_* bits
    DWORD Volume = 0;  // low word left (or only), high word right
};

struct MixerSource {
    std::string Name;
    DWORD Channels = 0;
};

struct MixerDestination {
    std::string Name;
    DWORD ComponentType = MIXERLINE_COMPONENTTYPE_DST_UNDEFINED;
    DWORD Controls = 0;
    std::vector<MixerSource> Sources = {};
};

struct MixerDevice {
    std::string Name;
    std::vector<MixerDestination> Destinations = {};
};

class Driver {
public:
    virtual ~Driver() = default;
    virtual const char* Name() const = 0;

    // Input devices in identifier order; the names as the backend has them (the front cuts
    // them to fit szPname).
    virtual std::vector<std::string> InputDevices() = 0;
    // Whether the capabilities of input index can be read now; waveInGetDevCapsA passes a
    // refusal on. Backends that list names only never refuse.
    virtual MMRESULT InputCapsResult(int /*index*/) { return MMSYSERR_NOERROR; }
    // index -1 is the default input. On success sets stream and returns 0.
    virtual MMRESULT OpenInput(int index, CaptureSink& sink,
                               std::unique_ptr<CaptureStream>& stream) = 0;

    virtual std::vector<WaveOutDevice> OutputDevices() = 0;
    virtual std::vector<MixerDevice> Mixers() = 0;
    // The mixer of input device index (-1: default input); MMSYSERR_NODRIVER when none.
    virtual MMRESULT MixerOfInput(int index, UINT& mixerId) = 0;
};

// PulseAudio when a server answers within a short bound, else ALSA. Built by the backends.
std::unique_ptr<Driver> CreateDefaultDriver();

// Replaces the active driver (tests install the simulated one). Null restores the default
// choice (CreateDefaultDriver, made at the next use). Only while no device is open.
void InstallDriver(std::unique_ptr<Driver> driver);
Driver& ActiveDriver();

// Samples dropped because no header was queued, over all streams since start-up.
std::uint64_t DroppedSampleCount();

} // namespace mmsystem
