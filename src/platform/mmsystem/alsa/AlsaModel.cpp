#include "platform/mmsystem/alsa/AlsaModel.h"

namespace mmsystem::alsa {

MixerDevice BuildAlsaMixer(const std::string& cardName, const std::vector<AlsaElement>& elements) {
    MixerDevice m;
    m.Name = cardName;
    MixerDestination playback{"Playback", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 0, {}};
    MixerDestination capture{"Capture", MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 0, {}};
    for (const AlsaElement& e : elements) {
        if (e.PlaybackChannels > 0) {
            playback.Sources.push_back({e.Name, e.PlaybackChannels});
            if (e.Name == "Master")
                playback.Controls = DWORD(e.PlaybackVolume) + DWORD(e.PlaybackSwitch);
        }
        if (e.CaptureChannels > 0) {
            capture.Sources.push_back({e.Name, e.CaptureChannels});
            if (e.Name == "Capture")
                capture.Controls = DWORD(e.CaptureVolume) + DWORD(e.CaptureSwitch);
        }
    }
    for (MixerDestination* d : {&playback, &capture}) {
        if (!d->Sources.empty())
            m.Destinations.push_back(std::move(*d));
    }
    return m;
}

} // namespace mmsystem::alsa
