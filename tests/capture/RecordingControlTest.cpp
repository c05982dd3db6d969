// Start, Stop, close and the ring of four blocks over the simulated driver.
#include "tests/capture/CaptureFixture.h"

#include "platform/vcl/Graphics.h"

#include <chrono>
#include <cstring>
#include <optional>
#include <string>

using mmsystem::simulated::Constant;
using mmsystem::simulated::InputDevice;
using mmsystem::simulated::Pace;
using mmsystem::simulated::Silence;

namespace {

// Notes CurrentBlock as each block message reaches the window.
class BlockWatcher : public QObject {
public:
    explicit BlockWatcher(TForm1& form) : form(form) { form.installEventFilter(this); }
    ~BlockWatcher() override { form.removeEventFilter(this); }
    std::vector<int> seen;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == TMessageEvent::EventType() &&
            static_cast<TMessageEvent*>(e)->Message.Msg == MM_WIM_DATA)
            seen.push_back(form.CurrentBlock);
        return false;
    }

private:
    TForm1& form;
};

std::string ErrorText(MMRESULT code) {
    char text[MAXERRORLENGTH];
    waveInGetErrorTextA(code, text, sizeof text);
    return text;
}

bool AllDone(const TForm1& form) {
    for (const WAVEHDR& h : form.WaveHeaders)
        if ((h.dwFlags & (WHDR_DONE | WHDR_INQUEUE)) != WHDR_DONE)
            return false;
    return true;
}

bool NoneQueued(const TForm1& form) {
    for (const WAVEHDR& h : form.WaveHeaders)
        if (h.dwFlags & WHDR_INQUEUE)
            return false;
    return true;
}

// Runs the event loop until done() holds; the bound only keeps a broken build from hanging.
template <class Done> void RunUntil(Done done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < giveUp)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

TEST_F(CaptureTest, StartWhileRecordingDoesNothing) {
    Make({{.Name = "A"}});
    Start();
    ASSERT_TRUE(form->Recording);
    sim->SetInputs({{.Name = "A"}, {.Name = "B"}});
    Start();
    EXPECT_EQ(sim->OpenRequests().size(), 1u);
    EXPECT_EQ(form->DeviceSelectCombo->count(), 1); // no refresh
    EXPECT_FALSE(form->DeviceSelectCombo->isEnabled());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CaptureTest, StopAndCloseWhileIdleDoNothing) {
    Make({{.Name = "A"}});
    form->DeviceSelectCombo->setEnabled(false);
    Stop();
    EXPECT_FALSE(form->DeviceSelectCombo->isEnabled()); // Stop leaves the list untouched
    form->FormClose(form.get());
    EXPECT_TRUE(sim->OpenRequests().empty());
    EXPECT_EQ(sim->Closes(), 0u);
    EXPECT_TRUE(boxes.empty());
}

struct FailureCase {
    const char* what;
    InputDevice device;
    std::size_t blocksAfterStart;
    TMessageBoxKind kind;
    std::string text;
    std::optional<std::string> caption;
    BOOL recording;
    std::size_t adds;      // adds the driver was asked for
    std::size_t openAfter; // streams still open
    int currentBlock;      // reset to 0 only once every block is queued
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.what;
}

class FailureTest : public CaptureTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, ReportsAndLeavesAConsistentState) {
    const FailureCase& c = GetParam();
    Make(std::vector<InputDevice>{c.device});
    form->CurrentBlock = 2;
    Start();
    sim->StepBlocks(c.blocksAfterStart);
    Flush();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Kind, c.kind);
    EXPECT_EQ(boxes[0].Text, c.text);
    EXPECT_EQ(boxes[0].Caption, c.caption);
    EXPECT_EQ(boxes[0].Flags, MB_ICONWARNING);
    EXPECT_EQ(form->Recording, c.recording);
    EXPECT_EQ(form->DeviceSelectCombo->isEnabled(), !c.recording);
    EXPECT_EQ(sim->Adds(), c.adds);
    EXPECT_EQ(sim->OpenStreams(), c.openAfter);
    EXPECT_EQ(form->CurrentBlock, c.currentBlock);
}

const FailureCase failureCases[] = {
    {"A: the device does not open",
     {.Name = "Busy", .OpenResult = MMSYSERR_ALLOCATED},
     0,
     TMessageBoxKind::Application,
     ErrorText(MMSYSERR_ALLOCATED),
     "Failed to open waveform input device.",
     FALSE,
     0,
     0,
     2},
    {"B: the second block cannot be queued",
     {.Name = "Full", .FailAdds = {2}},
     0,
     TMessageBoxKind::System,
     "Failed to read block from device",
     std::nullopt,
     FALSE,
     2,
     0,
     2},
    {"C: recording does not start",
     {.Name = "Dead", .StartResult = MMSYSERR_NOTENABLED},
     0,
     TMessageBoxKind::System,
     "Failed to start recording",
     std::nullopt,
     FALSE,
     4,
     0,
     0},
    {"D: the first block cannot be handed back",
     {.Name = "Flaky", .FailAddsFrom = 5},
     1,
     TMessageBoxKind::System,
     "Failed to read block from device",
     std::nullopt,
     TRUE,
     5,
     1,
     0},
};

INSTANTIATE_TEST_SUITE_P(Cases, FailureTest, ::testing::ValuesIn(failureCases),
                         [](const auto& info) { return std::string(1, info.param.what[0]); });

TEST_F(CaptureTest, AFailedHandBackWorksOnTheSameBlockAgain) {
    Make({{.Name = "Flaky", .FailAddsFrom = 5}});
    Start();
    sim->StepBlocks(2);
    Flush();
    // The second message finds block 0 not queued, so its wait ends at once.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(form->CurrentBlock, 0);
    EXPECT_EQ(sim->Adds(), 6u);
}

TEST_F(CaptureTest, ARefusingDeviceCanBeTriedAgainAtOnce) {
    Make({{.Name = "Busy", .OpenResult = MMSYSERR_ALLOCATED}});
    Start();
    Start();
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(sim->OpenRequests().size(), 2u);
}

TEST_F(CaptureTest, AnEmptyListOpensTheMapper) {
    Make(Config{.Inputs = {}, .DefaultInput = -1});
    Start();
    ASSERT_EQ(sim->OpenRequests(), std::vector<int>{-1});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, ErrorText(MMSYSERR_BADDEVICEID));
}

// Stop and close wait for the four queued blocks of a running device; only Stop enables the
// list again. The block messages that follow only advance CurrentBlock.
class EndTest : public CaptureTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EndTest, WaitsForTheFourBlocks) {
    const bool stop = GetParam();
    Make(Config{.Inputs = {{.Name = "Mic"}}, .Pacing = Pace::RealTime});
    Start();
    ASSERT_TRUE(form->Recording);
    if (stop)
        Stop();
    else
        form->FormClose(form.get());
    EXPECT_GE(sim->BlocksDelivered(), 4u);
    EXPECT_TRUE(AllDone(*form));
    EXPECT_FALSE(form->Recording);
    EXPECT_EQ(sim->OpenStreams(), 0u);
    EXPECT_EQ(form->DeviceSelectCombo->isEnabled(), stop);

    BlockWatcher watcher(*form);
    Flush();
    EXPECT_EQ(watcher.seen, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(form->CurrentBlock, 0);
    EXPECT_EQ(sim->Adds(), 4u); // nothing handed back
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(StopAndClose, EndTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Stop" : "Close"; });

TEST_F(CaptureTest, TheFirstFrameAfterStartTakesBlock3) {
    Make({{.Name = "Loud", .Source = Constant(32767)}, {.Name = "Quiet", .Source = Silence()}});
    const TColor lit = TColor(RGB(255, 96, 96));
    Start();
    for (int k = 0; k < 4; ++k) {
        sim->StepBlocks(1);
        Flush();
    }
    EXPECT_EQ(form->Panel3->Color(), lit);
    // Fill the four queued blocks, then stop: block 3 keeps the loud samples.
    sim->StepBlocks(4);
    Stop();
    Flush();
    ASSERT_EQ(form->CurrentBlock, 0);

    form->DeviceSelectCombo->SetItemIndex(1);
    Start();
    ASSERT_EQ(sim->OpenRequests().back(), 1);
    sim->StepBlocks(1);
    Flush();
    EXPECT_EQ(form->Panel3->Color(), lit); // old block 3 with new silent block 0
    sim->StepBlocks(1);
    Flush();
    EXPECT_EQ(form->Panel3->Color(), clBtnFace);
    EXPECT_EQ(form->CurrentBlock, 2);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CaptureTest, AVanishingDeviceEndsInAWorkingStop) {
    Make({{.Name = "USB"}, {.Name = "Built-in"}});
    Start();
    sim->StepBlocks(2);
    Flush();
    ASSERT_EQ(form->CurrentBlock, 2);
    sim->Vanish(0);
    Flush();
    // Every queued block came back at once; none can be handed back.
    EXPECT_EQ(boxes.size(), 4u);
    EXPECT_EQ(form->CurrentBlock, 2);
    EXPECT_TRUE(form->Recording);

    Stop();
    EXPECT_FALSE(form->Recording);
    EXPECT_TRUE(form->DeviceSelectCombo->isEnabled());
    EXPECT_EQ(sim->OpenStreams(), 0u);

    // The remaining device is now entry 0, and recording works on it.
    boxes.clear();
    Start();
    ASSERT_TRUE(form->Recording);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Built-in"});
    sim->StepBlocks(1);
    Flush();
    EXPECT_EQ(form->CurrentBlock, 1);
    EXPECT_TRUE(boxes.empty());
    sim->StepBlocks(4);
    Stop();
    EXPECT_FALSE(form->Recording);
}

TEST_F(CaptureTest, ADeviceVanishingOnItsOwnThreadEndsInAWorkingStop) {
    Make(Config{.Inputs = {{.Name = "USB", .VanishAfterBlocks = 2}, {.Name = "Built-in"}},
                .Pacing = Pace::RealTime});
    Start();
    RunUntil([&] { return boxes.size() >= 4; });
    EXPECT_EQ(boxes.size(), 4u);
    EXPECT_TRUE(form->Recording);
    Stop();
    EXPECT_FALSE(form->Recording);
    EXPECT_EQ(sim->OpenStreams(), 0u);
    EXPECT_TRUE(NoneQueued(*form));
}

TEST_F(CaptureTest, AStuckDeviceDoesNotHoldStop) {
    Make(Config{.Inputs = {{.Name = "Stuck", .Stuck = true}, {.Name = "Fine"}},
                .Pacing = Pace::RealTime});
    Start();
    ASSERT_TRUE(form->Recording);
    Stop();
    EXPECT_FALSE(form->Recording);
    EXPECT_TRUE(form->DeviceSelectCombo->isEnabled());
    EXPECT_EQ(sim->OpenStreams(), 0u);
    EXPECT_TRUE(AllDone(*form));

    // Another device records normally afterwards.
    form->DeviceSelectCombo->SetItemIndex(1);
    Start();
    ASSERT_TRUE(form->Recording);
    RunUntil([&] { return form->CurrentBlock == 2; });
    EXPECT_EQ(form->CurrentBlock, 2);
    Stop();
    EXPECT_TRUE(boxes.empty());
}

} // namespace
