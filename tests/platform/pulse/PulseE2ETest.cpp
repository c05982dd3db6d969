// The PulseAudio driver against a real server: the private daemon that the test run starts,
// with its null sink "Quorvane Test Output".
#include "platform/mmsystem/pulse/PulseDriver.h"
#include "platform/pulse/RecordingSink.h"
#include "platform/pulse/Spectrum.h"
#include "platform/pulse/TonePlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;
using mmsystem::CaptureStream;
using mmsystem::pulse::PulseDriver;

namespace {

constexpr const char* TestSink = "quorvane_test_sink";
constexpr const char* MonitorName = "Monitor of Quorvane Test Output";

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;)
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : int(it - names.begin());
}

class PulseE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr) << "run through ctest (server fixture)";
        driver = PulseDriver::Create();
        ASSERT_NE(driver, nullptr) << "no server at " << std::getenv("PULSE_SERVER");
    }
    // Opens and starts the monitor of the test sink.
    void Record() {
        const int monitor = IndexOf(driver->InputDevices(), MonitorName);
        ASSERT_GE(monitor, 0);
        ASSERT_EQ(driver->OpenInput(monitor, sink, stream), MMSYSERR_NOERROR);
        ASSERT_EQ(stream->Start(), MMSYSERR_NOERROR);
        ASSERT_TRUE(sink.WaitForSamples(1, 5s));
    }
    void TearDown() override {
        if (stream)
            stream->Close();
    }

    std::unique_ptr<PulseDriver> driver;
    // Declared before the stream: the stream is closed before the sink goes.
    RecordingSink sink{1 << 18};
    std::unique_ptr<CaptureStream> stream;
};

TEST_F(PulseE2E, NullSinkShowsAsOutputAndItsMonitorAsInput) {
    const auto inputs = driver->InputDevices();
    EXPECT_GE(IndexOf(inputs, MonitorName), 0);

    const auto outputs = driver->OutputDevices();
    const auto out = std::find_if(outputs.begin(), outputs.end(),
                                  [](const auto& d) { return d.Name == "Quorvane Test Output"; });
    ASSERT_NE(out, outputs.end());
    // Mono at full volume; the null sink reports its latency, so its position is exact.
    EXPECT_EQ(out->Support, WAVECAPS_VOLUME | WAVECAPS_SAMPLEACCURATE);
    EXPECT_EQ(out->Volume, 0xFFFFu);

    // A null sink belongs to no card: no mixers, and its monitor has none.
    EXPECT_TRUE(driver->Mixers().empty());
    UINT mixer = 77;
    EXPECT_EQ(driver->MixerOfInput(IndexOf(inputs, MonitorName), mixer), MMSYSERR_NODRIVER);
    EXPECT_EQ(driver->MixerOfInput(-1, mixer), MMSYSERR_NODRIVER);
    EXPECT_EQ(mixer, 77u);

    EXPECT_EQ(driver->OpenInput(int(inputs.size()), sink, stream), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(stream, nullptr);
}

TEST_F(PulseE2E, RecordsTheToneBeingPlayed) {
    TonePlayer player;
    ASSERT_TRUE(player.Start(TestSink, TonePlayer::Signal::Tone, 8192));
    Record();
    // Half a second of tone after the first recorded samples; analyse the last frame.
    ASSERT_TRUE(sink.WaitForSamples(sink.Total() + 22050, 5s));
    const auto samples = sink.Samples();
    ASSERT_GE(samples.size(), 4096u);
    EXPECT_EQ(PeakBin(samples.data() + samples.size() - 4096), 93);
}

TEST_F(PulseE2E, StreamShowsAsQuorvaneInTheServer) {
    Record();
    const std::string outputs = Shell("pactl list source-outputs");
    EXPECT_NE(outputs.find("application.name = \"Quorvane\""), std::string::npos) << outputs;
    EXPECT_NE(outputs.find("media.name = \"Quorvane\""), std::string::npos) << outputs;
    EXPECT_NE(outputs.find("application.icon_name = \"quorvane\""), std::string::npos);
    EXPECT_NE(outputs.find("media.role = \"production\""), std::string::npos);
    EXPECT_NE(outputs.find("Sample Specification: s16le 1ch 44100Hz"), std::string::npos);
}

TEST_F(PulseE2E, RemovedSourceFailsTheStreamOnce) {
    const std::string module = Shell("pactl load-module module-null-sink sink_name=quorvane_gone "
                                     "sink_properties=device.description=Gone");
    ASSERT_FALSE(module.empty());
    const int index = IndexOf(driver->InputDevices(), "Monitor of Gone");
    ASSERT_GE(index, 0);
    ASSERT_EQ(driver->OpenInput(index, sink, stream), MMSYSERR_NOERROR);
    ASSERT_EQ(stream->Start(), MMSYSERR_NOERROR);
    ASSERT_TRUE(sink.WaitForSamples(1, 5s));
    Shell("pactl unload-module " + module);
    EXPECT_TRUE(sink.WaitForFail(5s));
    stream->Close();
    stream.reset();
    EXPECT_EQ(sink.Fails(), 1);
}

// A server of its own, since this one is killed.
TEST(PulseServerGone, FailsTheStreamOnceAndCloses) {
    char dir[] = "/tmp/quorvane-pulse-kill-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string script = std::string(QUORVANE_SOURCE_DIR) + "/scripts/pulse-test-server";
    // An idle exit, so a daemon left behind by a crashed run goes away by itself.
    const std::string address =
        Shell("QUORVANE_PULSE_EXIT_IDLE=20 " + script + " start " + dir + " 2>&1");
    ASSERT_EQ(address.rfind("unix:", 0), 0u) << address;
    setenv("PULSE_SERVER", address.substr(0, address.find('\n')).c_str(), 1);
    struct Cleanup {
        std::string command;
        ~Cleanup() { Shell(command); }
    } cleanup{script + " stop " + dir};

    auto driver = PulseDriver::Create();
    ASSERT_NE(driver, nullptr);
    RecordingSink sink;
    std::unique_ptr<CaptureStream> stream;
    ASSERT_EQ(driver->OpenInput(-1, sink, stream), MMSYSERR_NOERROR);
    ASSERT_EQ(stream->Start(), MMSYSERR_NOERROR);
    ASSERT_TRUE(sink.WaitForSamples(4096, 5s));

    pid_t pid = 0;
    std::ifstream(std::string(dir) + "/runtime/pid") >> pid;
    ASSERT_GT(pid, 0);
    const auto killed = RecordingSink::Clock::now();
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    ASSERT_TRUE(sink.WaitForFail(5s));
    RecordProperty("fail_after_us",
                   std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(
                                      sink.FailedAt() - killed)
                                      .count()));
    stream->Close();
    EXPECT_EQ(sink.Fails(), 1);

    // With the server gone, queries come back empty and opening fails rather than hangs.
    EXPECT_TRUE(driver->InputDevices().empty());
    RecordingSink other;
    std::unique_ptr<CaptureStream> none;
    EXPECT_NE(driver->OpenInput(-1, other, none), MMSYSERR_NOERROR);
    EXPECT_EQ(none, nullptr);
}

TEST(PulseDefaultDriver, PulseWhenAServerAnswersElseAlsa) {
    const std::string fixture = std::getenv("PULSE_SERVER") ? std::getenv("PULSE_SERVER") : "";
    ASSERT_FALSE(fixture.empty());
    // A socket that takes connections and never says a word: the connect must give up.
    char dir[] = "/tmp/quorvane-mute-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string mute = std::string(dir) + "/native";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    mute.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(fd, 4), 0);

    const struct {
        std::string server;
        const char* driver;
    } cases[] = {
        {fixture, "PulseAudio"},
        {"unix:/nonexistent/quorvane/native", "ALSA"},
        {"unix:" + mute, "ALSA"},
    };
    for (const auto& c : cases) {
        setenv("PULSE_SERVER", c.server.c_str(), 1);
        const auto driver = mmsystem::CreateDefaultDriver();
        ASSERT_NE(driver, nullptr);
        EXPECT_STREQ(driver->Name(), c.driver) << c.server;
    }
    close(fd);
    unlink(mute.c_str());
    rmdir(dir);
}

} // namespace
