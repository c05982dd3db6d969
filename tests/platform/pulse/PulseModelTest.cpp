#include "platform/mmsystem/pulse/PulseModel.h"

#include <gtest/gtest.h>

using namespace mmsystem;
using namespace mmsystem::pulse;

namespace {

TEST(PulseModel, ScalesVolumeOntoSixteenBitsAndClamps) {
    const struct {
        std::uint32_t volume;
        DWORD expected;
    } cases[] = {
        {0, 0},
        {1, 0},                   // truncates
        {VolumeNorm / 2, 0x7FFF}, // 0x8000 * 0xFFFF / 0x10000
        {VolumeNorm - 1, 0xFFFE},
        {VolumeNorm, 0xFFFF},
        {VolumeNorm * 3 / 2, 0xFFFF}, // amplified beyond 100 %
        {0x7FFFFFFF, 0xFFFF},         // PA_VOLUME_MAX
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleVolume(c.volume), c.expected) << c.volume;
}

TEST(PulseModel, WaveOutDeviceFromSink) {
    const struct {
        DWORD channels;
        bool latency;
        std::uint32_t left, right;
        DWORD support, volume;
    } cases[] = {
        {1, false, VolumeNorm, VolumeNorm, WAVECAPS_VOLUME, 0x0000FFFF},
        {1, true, VolumeNorm / 2, 0, WAVECAPS_VOLUME | WAVECAPS_SAMPLEACCURATE, 0x00007FFF},
        {2, false, VolumeNorm, 0, WAVECAPS_VOLUME | WAVECAPS_LRVOLUME, 0x0000FFFF},
        {2, true, 0, VolumeNorm, WAVECAPS_VOLUME | WAVECAPS_LRVOLUME | WAVECAPS_SAMPLEACCURATE,
         0xFFFF0000},
        {6, false, VolumeNorm / 2, VolumeNorm * 2, WAVECAPS_VOLUME | WAVECAPS_LRVOLUME, 0xFFFF7FFF},
    };
    for (const auto& c : cases) {
        PulseNode sink;
        sink.Description = "Speakers";
        sink.Channels = c.channels;
        sink.Latency = c.latency;
        sink.LeftVolume = c.left;
        sink.RightVolume = c.right;
        const WaveOutDevice d = MakeWaveOutDevice(sink);
        EXPECT_EQ(d.Name, "Speakers");
        EXPECT_EQ(d.Support, c.support) << c.channels << " channels";
        EXPECT_EQ(d.Volume, c.volume) << c.channels << " channels";
    }
}

PulseNode Node(std::uint32_t index, const char* description, std::uint32_t card, DWORD channels,
               std::vector<std::string> ports = {}, bool monitor = false) {
    PulseNode n;
    n.Index = index;
    n.Description = description;
    n.Card = card;
    n.Channels = channels;
    n.Ports = std::move(ports);
    n.Monitor = monitor;
    return n;
}

TEST(PulseModel, CardsBecomeMixersWithTheirDevicesAsDestinations) {
    // Listed out of index order, as a server may hand them over after a hot-plug.
    const std::vector<PulseCard> cards = {
        {7, "USB Headset", {{"Headset Microphone", false}, {"Headphones", true}}},
        {2, "Built-in Audio", {{"Speakers", true}, {"Microphone", false}}},
        {9, "HDMI (off)", {{"HDMI 1", true}}},
    };
    const std::vector<PulseNode> sinks = {
        Node(0, "Built-in Audio Analog Stereo", 2, 2, {"Speakers", "Headphones"}),
        Node(1, "Null Output", InvalidIndex, 2),
        Node(3, "USB Headset Mono", 7, 1),
    };
    const std::vector<PulseNode> sources = {
        Node(0, "Monitor of Built-in Audio", 2, 2, {}, true),
        Node(1, "Built-in Audio Analog Stereo", 2, 2, {"Microphone", "Line In"}),
        Node(4, "USB Headset Mono", 7, 1, {"Headset Microphone"}),
    };
    const auto mixers = BuildMixers(cards, sinks, sources);
    ASSERT_EQ(mixers.size(), 3u);

    EXPECT_EQ(mixers[0].Name, "Built-in Audio");
    ASSERT_EQ(mixers[0].Destinations.size(), 2u); // the monitor is no destination
    const MixerDestination& speakers = mixers[0].Destinations[0];
    EXPECT_EQ(speakers.Name, "Built-in Audio Analog Stereo");
    EXPECT_EQ(speakers.ComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_EQ(speakers.Controls, DestinationControls);
    ASSERT_EQ(speakers.Sources.size(), 2u);
    EXPECT_EQ(speakers.Sources[1].Name, "Headphones");
    EXPECT_EQ(speakers.Sources[1].Channels, 2u);
    const MixerDestination& capture = mixers[0].Destinations[1];
    EXPECT_EQ(capture.ComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    ASSERT_EQ(capture.Sources.size(), 2u);
    EXPECT_EQ(capture.Sources[0].Name, "Microphone");

    // A sink without ports is its own line.
    EXPECT_EQ(mixers[1].Name, "USB Headset");
    ASSERT_EQ(mixers[1].Destinations.size(), 2u);
    ASSERT_EQ(mixers[1].Destinations[0].Sources.size(), 1u);
    EXPECT_EQ(mixers[1].Destinations[0].Sources[0].Name, "USB Headset Mono");
    EXPECT_EQ(mixers[1].Destinations[0].Sources[0].Channels, 1u);

    // A card whose profile is off shows its ports by direction.
    EXPECT_EQ(mixers[2].Name, "HDMI (off)");
    ASSERT_EQ(mixers[2].Destinations.size(), 1u);
    EXPECT_EQ(mixers[2].Destinations[0].ComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    ASSERT_EQ(mixers[2].Destinations[0].Sources.size(), 1u);
    EXPECT_EQ(mixers[2].Destinations[0].Sources[0].Name, "HDMI 1");
}

TEST(PulseModel, MixerOfCardIsItsPositionInIndexOrder) {
    const std::vector<PulseCard> cards = {{7, "B", {}}, {2, "A", {}}, {12, "C", {}}};
    const struct {
        std::uint32_t card;
        MMRESULT result;
        UINT id;
    } cases[] = {
        {2, MMSYSERR_NOERROR, 0},
        {7, MMSYSERR_NOERROR, 1},
        {12, MMSYSERR_NOERROR, 2},
        {5, MMSYSERR_NODRIVER, 99},
        {InvalidIndex, MMSYSERR_NODRIVER, 99},
    };
    for (const auto& c : cases) {
        UINT id = 99;
        EXPECT_EQ(MixerOfCard(cards, c.card, id), c.result) << c.card;
        EXPECT_EQ(id, c.id) << c.card;
    }
}

} // namespace
