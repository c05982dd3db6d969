// The ALSA driver with no sound server, reading a generated tone through an ALSA configuration
// of its own: "default" is a plug over a file plugin that takes its capture data from the tone.
#include "platform/mmsystem/alsa/AlsaDriver.h"
#include "platform/pulse/RecordingSink.h"
#include "platform/pulse/Spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <sys/stat.h>

using namespace std::chrono_literals;
using mmsystem::CaptureStream;

namespace {

class AlsaE2E : public ::testing::Test {
protected:
    // ALSA reads its configuration once per process: set it up before the first test.
    static void SetUpTestSuite() {
        static char dir[] = "/tmp/quorvane-alsa-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        const std::string tone = std::string(dir) + "/tone.raw";
        {
            std::ofstream out(tone, std::ios::binary);
            for (int i = 0; i < 44100; ++i) {
                const auto s =
                    std::int16_t(16384 * std::sin(2 * std::numbers::pi * 1000 * i / 44100));
                out.write(reinterpret_cast<const char*>(&s), sizeof s);
            }
        }
        const std::string config = std::string(dir) + "/asound.conf";
        std::ofstream(config) << "pcm.!default { type plug slave.pcm \"tone\" }\n"
                              << "pcm.tone { type file slave.pcm \"silence\" file \"/dev/null\"\n"
                              << "  infile \"" << tone << "\" format \"raw\" }\n"
                              << "pcm.silence { type null }\n";
        setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
        unsetenv("PULSE_SERVER");
        directory = dir;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(directory); }
    static inline std::string directory;
};

TEST_F(AlsaE2E, DefaultInputDeliversTheTone) {
    auto driver = mmsystem::alsa::CreateAlsaDriver();
    const auto inputs = driver->InputDevices();
    ASSERT_FALSE(inputs.empty());
    EXPECT_EQ(inputs[0], "Default ALSA input");

    RecordingSink sink(1 << 16);
    std::unique_ptr<CaptureStream> stream;
    ASSERT_EQ(driver->OpenInput(0, sink, stream), MMSYSERR_NOERROR);
    ASSERT_EQ(stream->Start(), MMSYSERR_NOERROR);
    ASSERT_TRUE(sink.WaitForSamples(3 * 4096, 5s));
    stream->Close();
    const auto samples = sink.Samples();
    // The file's samples come through unchanged, from the first one on.
    EXPECT_EQ(samples[0], 0);
    EXPECT_EQ(samples[1], std::int16_t(16384 * std::sin(2 * std::numbers::pi * 1000 / 44100)));
    EXPECT_EQ(PeakBin(samples.data() + 4096), 93);
    EXPECT_EQ(sink.Fails(), 0);
}

TEST_F(AlsaE2E, UnknownInputIsABadDevice) {
    auto driver = mmsystem::alsa::CreateAlsaDriver();
    RecordingSink sink;
    std::unique_ptr<CaptureStream> stream;
    EXPECT_EQ(driver->OpenInput(int(driver->InputDevices().size()), sink, stream),
              MMSYSERR_BADDEVICEID);
    EXPECT_EQ(stream, nullptr);
}

TEST_F(AlsaE2E, NoCardsMeansNoMixers) {
    struct stat st;
    if (stat("/dev/snd", &st) == 0)
        GTEST_SKIP() << "this machine has sound cards";
    auto driver = mmsystem::alsa::CreateAlsaDriver();
    EXPECT_TRUE(driver->Mixers().empty());
    UINT mixer = 5;
    EXPECT_EQ(driver->MixerOfInput(-1, mixer), MMSYSERR_NODRIVER);
    EXPECT_EQ(driver->MixerOfInput(0, mixer), MMSYSERR_NODRIVER);
    EXPECT_EQ(mixer, 5u);
}

} // namespace
