// How long after a tone starts in the sink the first recorded block shows it: a private
// PulseAudio daemon, the test sink's monitor recorded through the PulseAudio driver, and a tone
// switched on against silence. Each iteration's time is that delay; see the median.
#include "platform/mmsystem/pulse/PulseDriver.h"
#include "platform/pulse/TonePlayer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <numbers>
#include <string>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Cuts the stream into blocks of 2048 as the wave-input front does, and tells for each whether
// it carries the tone.
class BlockSink final : public mmsystem::CaptureSink {
public:
    void Deliver(const std::int16_t* samples, std::size_t count) override {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < count; ++i) {
            block_[filled_++] = samples[i];
            if (filled_ == Block) {
                filled_ = 0;
                tone_ = TonePower() > Threshold;
                at_ = Clock::now();
                ++blocks_;
                changed_.notify_all();
            }
        }
    }
    void Fail() override {}

    // Waits for the next block that has (or lacks) the tone; its completion time.
    bool WaitFor(bool tone, Clock::time_point& at) {
        std::unique_lock lock(mutex_);
        const std::uint64_t after = blocks_;
        const bool seen =
            changed_.wait_for(lock, 3s, [&] { return blocks_ > after && tone_ == tone; });
        at = at_;
        return seen;
    }

private:
    static constexpr std::size_t Block = 2048;
    // A tenth of the block at the tone's amplitude (16384) is enough to count.
    static constexpr double Threshold = (0.1 * 8192) * (0.1 * 8192);

    double TonePower() const {
        const double coeff = 2 * std::cos(2 * std::numbers::pi * 1000 / 44100);
        double s1 = 0, s2 = 0;
        for (std::int16_t x : block_) {
            const double s0 = x + coeff * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        return (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (double(Block) * double(Block));
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::int16_t block_[Block] = {};
    std::size_t filled_ = 0;
    std::uint64_t blocks_ = 0;
    bool tone_ = false;
    Clock::time_point at_{};
};

struct Rig {
    std::string dir;
    std::unique_ptr<mmsystem::pulse::PulseDriver> driver;
    BlockSink sink;
    std::unique_ptr<mmsystem::CaptureStream> stream;
    TonePlayer player;
};
Rig* rig = nullptr;

std::string Script() {
    return std::string(QUORVANE_SOURCE_DIR) + "/scripts/pulse-test-server";
}

bool SetUp(Rig& r) {
    char dir[] = "/tmp/quorvane-latency-XXXXXX";
    if (!mkdtemp(dir))
        return false;
    r.dir = dir;
    std::string address;
    if (FILE* p =
            popen(("QUORVANE_PULSE_EXIT_IDLE=30 " + Script() + " start " + r.dir).c_str(), "r")) {
        char line[512] = {};
        if (fgets(line, sizeof line, p))
            address = line;
        pclose(p);
    }
    address.erase(address.find_last_not_of("\n") + 1);
    if (address.rfind("unix:", 0) != 0)
        return false;
    setenv("PULSE_SERVER", address.c_str(), 1);
    r.driver = mmsystem::pulse::PulseDriver::Create();
    if (!r.driver)
        return false;
    const auto inputs = r.driver->InputDevices();
    const auto it = std::find(inputs.begin(), inputs.end(), "Monitor of Quorvane Test Output");
    if (it == inputs.end())
        return false;
    // A short queue for the player, so its own buffering adds little to the onset estimate.
    return r.driver->OpenInput(int(it - inputs.begin()), r.sink, r.stream) == MMSYSERR_NOERROR &&
           r.stream->Start() == MMSYSERR_NOERROR &&
           r.player.Start("quorvane_test_sink", TonePlayer::Signal::Silence, 1024);
}

void BM_ToneOnsetToFirstBlock(benchmark::State& state) {
    for (auto _ : state) {
        Clock::time_point at;
        rig->player.Set(TonePlayer::Signal::Silence);
        if (!rig->sink.WaitFor(false, at) || !rig->sink.WaitFor(false, at)) {
            state.SkipWithError("no silent block");
            return;
        }
        rig->player.Set(TonePlayer::Signal::Tone);
        if (!rig->sink.WaitFor(true, at)) {
            state.SkipWithError("the tone never showed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(at - rig->player.LastOnset()).count());
    }
}
BENCHMARK(BM_ToneOnsetToFirstBlock)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Rig r;
    const bool ready = SetUp(r);
    int status = 0;
    if (!ready) {
        std::fprintf(stderr, "could not set up the private server and the recording\n");
        status = 1;
    } else {
        rig = &r;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    r.player.Stop();
    if (r.stream)
        r.stream->Close();
    r.driver.reset();
    if (!r.dir.empty())
        std::system((Script() + " stop " + r.dir).c_str());
    return status;
}
