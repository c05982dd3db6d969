#include "platform/mmsystem/pulse/PulseModel.h"

#include <pulse/def.h>
#include <pulse/volume.h>

#include <algorithm>

namespace mmsystem::pulse {

static_assert(InvalidIndex == PA_INVALID_INDEX);
static_assert(VolumeNorm == PA_VOLUME_NORM);

namespace {

void SortByIndex(std::vector<PulseCard>& cards) {
    std::sort(cards.begin(), cards.end(),
              [](const PulseCard& a, const PulseCard& b) { return a.Index < b.Index; });
}

MixerDestination MakeDestination(const PulseNode& node, DWORD type) {
    MixerDestination d;
    d.Name = node.Description;
    d.ComponentType = type;
    d.Controls = DestinationControls;
    if (node.Ports.empty()) {
        d.Sources.push_back({node.Description, node.Channels});
    } else {
        for (const std::string& port : node.Ports)
            d.Sources.push_back({port, node.Channels});
    }
    return d;
}

} // namespace

DWORD ScaleVolume(std::uint32_t volume) {
    const std::uint64_t v = std::min(volume, VolumeNorm);
    return DWORD(v * 0xFFFFu / VolumeNorm);
}

WaveOutDevice MakeWaveOutDevice(const PulseNode& sink) {
    WaveOutDevice d;
    d.Name = sink.Description;
    d.Support = WAVECAPS_VOLUME;
    if (sink.Channels >= 2)
        d.Support |= WAVECAPS_LRVOLUME;
    if (sink.Latency)
        d.Support |= WAVECAPS_SAMPLEACCURATE;
    const DWORD left = ScaleVolume(sink.LeftVolume);
    const DWORD right = sink.Channels >= 2 ? ScaleVolume(sink.RightVolume) : 0;
    d.Volume = left | (right << 16);
    return d;
}

std::vector<MixerDevice> BuildMixers(std::vector<PulseCard> cards,
                                     const std::vector<PulseNode>& sinks,
                                     const std::vector<PulseNode>& sources) {
    SortByIndex(cards);
    std::vector<MixerDevice> mixers;
    mixers.reserve(cards.size());
    for (const PulseCard& card : cards) {
        MixerDevice m;
        m.Name = card.Description;
        for (const PulseNode& sink : sinks) {
            if (sink.Card == card.Index)
                m.Destinations.push_back(
                    MakeDestination(sink, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
        }
        for (const PulseNode& source : sources) {
            if (source.Card == card.Index && !source.Monitor)
                m.Destinations.push_back(
                    MakeDestination(source, MIXERLINE_COMPONENTTYPE_DST_WAVEIN));
        }
        if (m.Destinations.empty()) {
            // No sinks or sources: the card's profile is off. Its ports still tell what it has;
            // the channel count is unknown then.
            for (bool output : {true, false}) {
                MixerDestination d;
                d.Name = output ? "Output" : "Input";
                d.ComponentType = output ? MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
                                         : MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
                for (const PulseCardPort& port : card.Ports) {
                    if (port.Output == output)
                        d.Sources.push_back({port.Description, 0});
                }
                if (!d.Sources.empty())
                    m.Destinations.push_back(std::move(d));
            }
        }
        mixers.push_back(std::move(m));
    }
    return mixers;
}

MMRESULT MixerOfCard(std::vector<PulseCard> cards, std::uint32_t card, UINT& mixerId) {
    if (card == InvalidIndex)
        return MMSYSERR_NODRIVER;
    SortByIndex(cards);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (cards[i].Index == card) {
            mixerId = UINT(i);
            return MMSYSERR_NOERROR;
        }
    }
    return MMSYSERR_NODRIVER;
}

} // namespace mmsystem::pulse
