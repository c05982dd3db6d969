// The front's share of one block: the driver filling a queued header, and the caller's
// release and re-queue of it, on the simulated driver (no window, so nothing is posted).
#include "platform/mmsystem/mmsystem.h"
#include "platform/mmsystem/simulated/SimulatedDriver.h"

#include <benchmark/benchmark.h>

namespace {

using namespace mmsystem::simulated;

void BM_BlockCycle(benchmark::State& state) {
    SimulatedDriver& sim =
        SimulatedDriver::Install({.Inputs = {{.Name = "Mic", .Source = Constant(1000)}}});
    waveInGetNumDevs();
    const WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    HWAVEIN handle = nullptr;
    if (waveInOpen(&handle, 0, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        state.SkipWithError("open failed");
        return;
    }
    static std::int16_t buffer[4][BlockSamples];
    WAVEHDR headers[4] = {};
    auto queue = [&](int k) {
        headers[k] = {};
        headers[k].lpData = reinterpret_cast<LPSTR>(buffer[k]);
        headers[k].dwBufferLength = sizeof buffer[k];
        waveInPrepareHeader(handle, &headers[k], sizeof(WAVEHDR));
        return waveInAddBuffer(handle, &headers[k], sizeof(WAVEHDR));
    };
    for (int k = 0; k < 4; ++k)
        queue(k);
    waveInStart(handle);
    int k = 0;
    for (auto _ : state) {
        sim.StepBlocks(1);
        if (waveInUnprepareHeader(handle, &headers[k], sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
            queue(k) != MMSYSERR_NOERROR) {
            state.SkipWithError("block did not come back");
            break;
        }
        benchmark::DoNotOptimize(buffer[k][0]);
        k = (k + 1) % 4;
    }
    waveInClose(handle);
    mmsystem::InstallDriver(nullptr);
    state.SetItemsProcessed(state.iterations() * std::int64_t(BlockSamples));
}
BENCHMARK(BM_BlockCycle);

} // namespace

BENCHMARK_MAIN();
