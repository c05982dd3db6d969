#include "info/CapabilitiesReport.h"

#include "FakeDriver.h"
#include "TestFiles.h"

namespace {

using Lines = std::vector<std::string>;
using mmsystem::MixerDestination;
using mmsystem::MixerDevice;
using mmsystem::WaveOutDevice;

const std::string IntroA = "The following information reveals how Windows' audio API views the "
                           "audio capabilities of your computer. Such information may be useful "
                           "for debugging purposes.";
const std::string IntroB =
    "For a detailed explanation of what this stuff means, see the Windows Multimedia API "
    "documentation for functions waveInGetDevCaps(), mixerGetDevCaps(), mixerGetLineInfo() etc., "
    "or Google-search for them on MSDN.";
const std::string NotAccurate = " - /!\\ Does NOT claim sample-accurate position information";
const std::string Accurate = " - Claims sample-accurate position information";

TEST(CapabilitiesReport, WithNoDevicesHasTheHeadersAlone) {
    infotest::InstalledDevices devices;
    EXPECT_EQ(CapabilitiesReport(),
              (Lines{IntroA, IntroB, "", "*** waveOut devices ***", "", "*** waveIn devices ***",
                     "", "*** 'Mixer' devices ***"}));
}

struct OutputCase {
    const char* Name;
    DWORD Support;
    DWORD Volume;
    Lines Expected; // after the device's name, up to the waveIn header
    friend void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.Name; }
};

class OutputDevice : public ::testing::TestWithParam<OutputCase> {};

// The device's own empty line and the one before the waveIn header close every case.
TEST_P(OutputDevice, Lines) {
    const OutputCase& c = GetParam();
    infotest::InstalledDevices devices({}, {{"Out", c.Support, c.Volume}});
    const Lines report = CapabilitiesReport();
    Lines expected{IntroA, IntroB, "", "*** waveOut devices ***", "Out"};
    expected.insert(expected.end(), c.Expected.begin(), c.Expected.end());
    expected.insert(expected.end(),
                    {"", "", "*** waveIn devices ***", "", "*** 'Mixer' devices ***"});
    EXPECT_EQ(report, expected);
}

constexpr DWORD Vol = WAVECAPS_VOLUME;
constexpr DWORD LR = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
constexpr DWORD SA = WAVECAPS_SAMPLEACCURATE;

INSTANTIATE_TEST_SUITE_P(
    Support, OutputDevice,
    ::testing::Values(
        OutputCase{"NoVolume", 0, 0x12345678, {NotAccurate}},
        OutputCase{"NoVolumeAccurate", SA, 0, {Accurate}},
        OutputCase{"LRWithoutVolumeIsNoVolume", WAVECAPS_LRVOLUME, 0xffff, {NotAccurate}},
        OutputCase{"OneValueIsTheLowHalf",
                   Vol,
                   0x1234ffff,
                   {" - Supports volume control", " - Present volume: 0xffff", NotAccurate}},
        OutputCase{"OneZeroValue",
                   Vol | SA,
                   0xffff0000,
                   {" - Supports volume control", " - Present volume: 0", Accurate}},
        OutputCase{"LeftFirst",
                   LR,
                   0x0000ffff,
                   {" - Supports volume control (L/R independent)",
                    " - Present volume: L:0xffff R:0", NotAccurate}},
        OutputCase{"RightHigh",
                   LR | SA,
                   0xffff0000,
                   {" - Supports volume control (L/R independent)",
                    " - Present volume: L:0 R:0xffff", Accurate}},
        OutputCase{"LowerCaseHex",
                   LR,
                   0x00abc0de,
                   {" - Supports volume control (L/R independent)",
                    " - Present volume: L:0xc0de R:0xab", NotAccurate}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TagCase {
    DWORD ComponentType;
    const char* Line;
    friend void PrintTo(const TagCase& c, std::ostream* os) { *os << c.ComponentType; }
};

class DestinationTag : public ::testing::TestWithParam<TagCase> {};

TEST_P(DestinationTag, FollowsTheName) {
    infotest::InstalledDevices devices({}, {},
                                       {{"Mix", {{"Master", GetParam().ComponentType, 3, {}}}}});
    const Lines report = CapabilitiesReport();
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report[report.size() - 3], "Mix  (1 'destinations')");
    EXPECT_EQ(report[report.size() - 2], GetParam().Line);
    EXPECT_EQ(report.back(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Types, DestinationTag,
    ::testing::Values(TagCase{4, " Master  *DST_SPEAKERS*:  (0 'connections')  3 Controls"},
                      TagCase{7, " Master  *DST_WAVEIN*:  (0 'connections')  3 Controls"},
                      TagCase{0, " Master  :  (0 'connections')  3 Controls"},
                      TagCase{5, " Master  :  (0 'connections')  3 Controls"},
                      TagCase{0x1003, " Master  :  (0 'connections')  3 Controls"}));

// Sources sit under their own destination only; an empty destination leads straight on.
TEST(CapabilitiesReport, DestinationsWithoutConnectionsLeadStraightOn) {
    infotest::InstalledDevices devices(
        {}, {},
        {{"Mix", {{"A", 4, 1, {}}, {"B", 7, 2, {{"Mic", 1}, {"Line", 2}}}, {"C", 0, 0, {}}}},
         {"Second", {{"D", 4, 0, {}}}}});
    const Lines report = CapabilitiesReport();
    const Lines mixers(report.begin() + 7, report.end());
    EXPECT_EQ(mixers,
              (Lines{"*** 'Mixer' devices ***", "Mix  (3 'destinations')",
                     " A  *DST_SPEAKERS*:  (0 'connections')  1 Controls",
                     " B  *DST_WAVEIN*:  (2 'connections')  2 Controls", "  i/p Mic  [1 channels]",
                     "  i/p Line  [2 channels]", " C  :  (0 'connections')  0 Controls", "",
                     "Second  (1 'destinations')",
                     " D  *DST_SPEAKERS*:  (0 'connections')  0 Controls", ""}));
}

// A refused query leaves its record cleared: an empty name, not the previous device's.
TEST(CapabilitiesReport, FailedQueryShowsAnEmptyName) {
    infotest::InstalledDevices devices({"First", "Second", "Third"});
    devices.Get().RefusedInput = 1;
    const Lines report = CapabilitiesReport();
    const Lines inputs(report.begin() + 5, report.begin() + 9);
    EXPECT_EQ(inputs, (Lines{"*** waveIn devices ***", "First", "", "Third"}));
}

TEST(CapabilitiesReport, MatchesGoldenText) {
    infotest::InstalledDevices devices(
        {"Microphone (HD Audio)", "Monitor of Speakers"},
        {{"Speakers (HD Audio)", LR | SA, 0x8000ffff}, {"HDMI Output", 0, 0}},
        {{"HD Audio Mixer",
          {{"Speakers", 4, 2, {{"Wave", 2}, {"Line In", 2}}},
           {"Recording Control", 7, 1, {{"Microphone", 1}}},
           {"Headphones", 5, 0, {}}}},
         {"USB Mixer", {}}});
    const Lines expected = infotest::FixtureLines("capabilities-report.txt");
    const Lines report = CapabilitiesReport();
    ASSERT_EQ(report.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(report[i], expected[i]) << "line " << i + 1;
}

} // namespace
