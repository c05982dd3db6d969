#include "platform/mmsystem/alsa/AlsaModel.h"

#include <gtest/gtest.h>

using namespace mmsystem;
using namespace mmsystem::alsa;

namespace {

AlsaElement Playback(const char* name, DWORD channels, bool volume, bool sw) {
    AlsaElement e;
    e.Name = name;
    e.PlaybackChannels = channels;
    e.PlaybackVolume = volume;
    e.PlaybackSwitch = sw;
    return e;
}

AlsaElement Capture(const char* name, DWORD channels, bool volume, bool sw) {
    AlsaElement e;
    e.Name = name;
    e.CaptureChannels = channels;
    e.CaptureVolume = volume;
    e.CaptureSwitch = sw;
    return e;
}

TEST(AlsaModel, ElementsBecomeLinesOfTheirSide) {
    AlsaElement both = Capture("Mic", 1, true, true);
    both.PlaybackChannels = 2; // a loopback element: a line on both sides
    both.PlaybackVolume = true;
    const MixerDevice m = BuildAlsaMixer("HDA Intel", {Playback("Master", 2, true, true), both,
                                                       Capture("Capture", 2, true, false),
                                                       Playback("Beep", 1, false, true)});
    EXPECT_EQ(m.Name, "HDA Intel");
    ASSERT_EQ(m.Destinations.size(), 2u);

    const MixerDestination& out = m.Destinations[0];
    EXPECT_EQ(out.Name, "Playback");
    EXPECT_EQ(out.ComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_EQ(out.Controls, 2u); // Master: volume and switch
    ASSERT_EQ(out.Sources.size(), 3u);
    EXPECT_EQ(out.Sources[1].Name, "Mic");
    EXPECT_EQ(out.Sources[1].Channels, 2u);
    EXPECT_EQ(out.Sources[2].Name, "Beep");

    const MixerDestination& in = m.Destinations[1];
    EXPECT_EQ(in.Name, "Capture");
    EXPECT_EQ(in.ComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    EXPECT_EQ(in.Controls, 1u); // Capture: volume only
    ASSERT_EQ(in.Sources.size(), 2u);
    EXPECT_EQ(in.Sources[0].Name, "Mic");
    EXPECT_EQ(in.Sources[0].Channels, 1u);
}

TEST(AlsaModel, SidesWithoutElementsAreLeftOut) {
    const struct {
        std::vector<AlsaElement> elements;
        std::vector<DWORD> types;
    } cases[] = {
        {{}, {}},
        {{Capture("Mic", 1, true, false)}, {MIXERLINE_COMPONENTTYPE_DST_WAVEIN}},
        {{Playback("PCM", 2, true, false)}, {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS}},
    };
    for (const auto& c : cases) {
        const MixerDevice m = BuildAlsaMixer("Card", c.elements);
        std::vector<DWORD> types;
        for (const auto& d : m.Destinations) {
            types.push_back(d.ComponentType);
            EXPECT_EQ(d.Controls, 0u) << "no master element";
        }
        EXPECT_EQ(types, c.types);
    }
}

} // namespace
