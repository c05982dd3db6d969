// What the PulseAudio driver reads from the server, as plain records, and the pure rules that
// turn it into wave-output devices and mixers. Kept free of libpulse so tests build it directly.
#pragma once

#include "platform/mmsystem/Driver.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mmsystem::pulse {

constexpr std::uint32_t InvalidIndex = 0xFFFFFFFFu; // PA_INVALID_INDEX
constexpr std::uint32_t VolumeNorm = 0x10000u;      // PA_VOLUME_NORM

// A sink or a source.
struct PulseNode {
    std::uint32_t Index = InvalidIndex;
    std::string Name;
    std::string Description;
    std::uint32_t Card = InvalidIndex;
    DWORD Channels = 0;
    bool Monitor = false;
    std::vector<std::string> Ports; // descriptions
    // Sinks only.
    std::uint32_t LeftVolume = 0;
    std::uint32_t RightVolume = 0;
    bool Latency = false; // the server can tell the exact play position
};

struct PulseCardPort {
    std::string Description;
    bool Output = false;
};

struct PulseCard {
    std::uint32_t Index = InvalidIndex;
    std::string Description;
    std::vector<PulseCardPort> Ports;
};

// Volume and mute on every destination, as each sink and source has them.
constexpr DWORD DestinationControls = 2;

// 0..VolumeNorm onto 0..0xFFFF; amplified volumes clamp at 0xFFFF.
DWORD ScaleVolume(std::uint32_t volume);

WaveOutDevice MakeWaveOutDevice(const PulseNode& sink);

// One mixer per card, in card index order: a speakers destination per sink of the card and a
// wave-input destination per source (monitors excluded), each with its ports as the lines (the
// device itself when it has none). A card with no devices (profile off) shows its ports.
std::vector<MixerDevice> BuildMixers(std::vector<PulseCard> cards,
                                     const std::vector<PulseNode>& sinks,
                                     const std::vector<PulseNode>& sources);

// Position of the card among the cards in index order; MMSYSERR_NODRIVER when the card is not
// there (a device without a card, such as a null sink's monitor).
MMRESULT MixerOfCard(std::vector<PulseCard> cards, std::uint32_t card, UINT& mixerId);

} // namespace mmsystem::pulse
