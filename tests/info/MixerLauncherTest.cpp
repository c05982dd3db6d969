#include "info/MixerLauncher.h"

#include "FakeDriver.h"
#include "TestFiles.h"
#include "platform/process/process.h"
#include "platform/vcl/Dialogs.h"

#include <chrono>
#include <cstdlib>

namespace {

using namespace std::chrono_literals;

struct Box {
    std::string Text;
    std::string Caption;
    UINT Flags;
    bool operator==(const Box&) const = default;
    friend void PrintTo(const Box& b, std::ostream* os) {
        *os << '"' << b.Text << "\" / \"" << b.Caption << "\" / " << b.Flags;
    }
};

const Box Notification{"There doesn't appear to be a 'mixer' for the selected input device.",
                       "Notification", MB_ICONINFORMATION};
const Box Warning{"Can't seem to open the Windows mixer (SndVol32.exe or SndVol.exe) - sorry",
                  "Minor problem", MB_ICONWARNING};

struct LaunchCase {
    const char* Name;
    int WaveInId;
    MMRESULT MixerResult;
    std::optional<UINT> MixerId; // what mixerGetID writes; none leaves the preset
    bool HasSndVol32;
    bool HasSndVol;
    const char* Started; // the stand-ins' record, one line per program run
    std::vector<Box> Boxes;
    friend void PrintTo(const LaunchCase& c, std::ostream* os) { *os << c.Name; }
};

// The Windows names run as they are, found in a PATH of recording stand-ins.
class LaunchRecordingMixerTest : public ::testing::TestWithParam<LaunchCase> {
protected:
    void SetUp() override {
        const char* old = std::getenv("PATH");
        savedPath = old ? old : "";
        setenv("PATH", (dir.Path().string() + ":/usr/bin:/bin").c_str(), 1);
        process::SetProgramTable({});
        SetMessageBoxPresenter([this](const TMessageBoxRequest& request) {
            EXPECT_EQ(request.Kind, TMessageBoxKind::Application);
            boxes.push_back({request.Text, request.Caption.value_or("(none)"), request.Flags});
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxPresenter(nullptr);
        setenv("PATH", savedPath.c_str(), 1);
        process::SetProgramTable(process::DefaultProgramTable());
    }

    infotest::ScratchDir dir;
    std::string savedPath;
    std::vector<Box> boxes;
};

TEST_P(LaunchRecordingMixerTest, StartsTheFirstMixerThatRunsOrSaysWhy) {
    const LaunchCase& c = GetParam();
    const auto log = dir.Path() / "started";
    if (c.HasSndVol32)
        dir.WriteRecorder("SndVol32.exe", log);
    if (c.HasSndVol)
        dir.WriteRecorder("SndVol.exe", log);
    infotest::InstalledDevices devices({"Mic"});
    devices.Get().MixerResult = c.MixerResult;
    devices.Get().MixerId = c.MixerId;

    LaunchRecordingMixer(c.WaveInId);

    ASSERT_TRUE(process::WaitForChildren(20s));
    EXPECT_EQ(devices.Get().MixerQueriedFor, c.WaveInId);
    EXPECT_EQ(infotest::ReadFile(log), c.Started);
    EXPECT_EQ(boxes, c.Boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchRecordingMixerTest,
    ::testing::Values(
        LaunchCase{"FirstStarts", 0, MMSYSERR_NOERROR, 2u, true, true, "SndVol32.exe -R -D2\n", {}},
        LaunchCase{"FallbackAfterFirstFails",
                   0,
                   MMSYSERR_NOERROR,
                   0u,
                   false,
                   true,
                   "SndVol.exe -R -D0\n",
                   {}},
        LaunchCase{"NeitherStarts", 0, MMSYSERR_NOERROR, 3u, false, false, "", {Warning}},
        LaunchCase{"NoDriverStartsNothing",
                   0,
                   MMSYSERR_NODRIVER,
                   std::nullopt,
                   true,
                   true,
                   "",
                   {Notification}},
        LaunchCase{"OtherErrorKeepsThePreset",
                   0,
                   MMSYSERR_BADDEVICEID,
                   std::nullopt,
                   true,
                   true,
                   "SndVol32.exe -R -D0\n",
                   {}},
        LaunchCase{"EmptyListAsksForMinusOne",
                   -1,
                   MMSYSERR_NOERROR,
                   std::nullopt,
                   false,
                   true,
                   "SndVol.exe -R -D0\n",
                   {}}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
