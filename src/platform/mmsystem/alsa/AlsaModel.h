// The mixer of one ALSA card as plain records, and the rule that makes it a mixer device.
// Free of alsa-lib so tests build it directly.
#pragma once

#include "platform/mmsystem/Driver.h"

#include <string>
#include <vector>

namespace mmsystem::alsa {

// A simple mixer element; a channel count of 0 means the element has no such side.
struct AlsaElement {
    std::string Name;
    DWORD PlaybackChannels = 0;
    bool PlaybackVolume = false;
    bool PlaybackSwitch = false;
    DWORD CaptureChannels = 0;
    bool CaptureVolume = false;
    bool CaptureSwitch = false;
};

// A "Playback" speakers destination with the playback elements as lines and a "Capture"
// wave-input destination with the capture elements; a side without elements is left out. A
// destination's own controls are those of its master element ("Master", "Capture").
MixerDevice BuildAlsaMixer(const std::string& cardName, const std::vector<AlsaElement>& elements);

} // namespace mmsystem::alsa
