#include "platform/mmsystem/simulated/SimulatedDriver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numbers>
#include <thread>

namespace mmsystem::simulated {

Signal Silence() {
    return [](std::int16_t* samples, std::size_t count, std::uint64_t) {
        std::fill_n(samples, count, std::int16_t(0));
    };
}

Signal Constant(std::int16_t value) {
    return [value](std::int16_t* samples, std::size_t count, std::uint64_t) {
        std::fill_n(samples, count, value);
    };
}

Signal Sine(double frequency, double amplitude) {
    return [frequency, amplitude](std::int16_t* samples, std::size_t count, std::uint64_t first) {
        const double step = 2 * std::numbers::pi * frequency / 44100.0;
        for (std::size_t i = 0; i < count; ++i) {
            const double v = amplitude * std::sin(step * double(first + i));
            samples[i] = std::int16_t(std::clamp(std::trunc(v), -32768.0, 32767.0));
        }
    };
}

Signal Counter() {
    return [](std::int16_t* samples, std::size_t count, std::uint64_t first) {
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = std::int16_t(std::uint16_t((first + i) & 0xFFFF));
    };
}

class SimStream;

struct SimulatedDriver::State {
    struct Entry {
        std::uint64_t id;
        InputDevice device;
    };

    mutable std::mutex lock;
    std::vector<Entry> inputs;
    std::uint64_t nextId = 1;
    int defaultInput = 0;
    MMRESULT mapperMixerResult = MMSYSERR_NODRIVER;
    UINT mapperMixer = 0;
    std::vector<WaveOutDevice> outputs;
    std::vector<MixerDevice> mixers;
    Pace pacing = Pace::Stepped;
    double speed = 1.0;

    std::vector<int> openRequests;
    std::vector<SimStream*> streams;
    std::size_t adds = 0;
    std::size_t starts = 0;
    std::size_t closes = 0;
    std::atomic<std::uint64_t> blocks{0};

    void SetInputs(std::vector<InputDevice> devices) {
        inputs.clear();
        for (InputDevice& d : devices)
            inputs.push_back({nextId++, std::move(d)});
    }
    // index -1 is the default input; null when there is no such input.
    const Entry* Resolve(int index) const {
        if (index == -1)
            index = defaultInput;
        if (index < 0 || std::size_t(index) >= inputs.size())
            return nullptr;
        return &inputs[std::size_t(index)];
    }
};

// One open input. Stepped streams are driven by Step on the test's thread; paced ones by a
// thread of their own, started with the stream and ended by Close.
class SimStream final : public CaptureStream {
public:
    SimStream(std::shared_ptr<SimulatedDriver::State> state, std::uint64_t deviceId,
              InputDevice device, CaptureSink& sink)
        : deviceId(deviceId), state(std::move(state)), device(std::move(device)), sink(sink),
          scratch(BlockSamples) {
        std::lock_guard lock(this->state->lock);
        this->state->streams.push_back(this);
    }
    ~SimStream() override { Close(); }

    MMRESULT Start() override {
        std::lock_guard lock(state->lock);
        ++state->starts;
        if (device.StartResult != MMSYSERR_NOERROR)
            return device.StartResult;
        started = true;
        if (state->pacing == Pace::RealTime && !thread.joinable())
            thread = std::thread([this, speed = state->speed] { Run(speed); });
        return MMSYSERR_NOERROR;
    }

    void Close() override {
        if (closed)
            return;
        closed = true;
        {
            std::lock_guard lock(pace);
            stopping = true;
        }
        wake.notify_all();
        if (thread.joinable())
            thread.join();
        std::lock_guard lock(state->lock);
        std::erase(state->streams, this);
        ++state->closes;
    }

    MMRESULT AcceptAdd() override {
        const std::size_t n = ++addNumber;
        std::lock_guard lock(state->lock);
        ++state->adds;
        const bool refused =
            (device.FailAddsFrom != 0 && n >= device.FailAddsFrom) ||
            std::find(device.FailAdds.begin(), device.FailAdds.end(), n) != device.FailAdds.end();
        return refused ? device.AddFailure : MMSYSERR_NOERROR;
    }

    // Stepped, with the state locked.
    bool Working() const { return started && !failed; }
    void Produce(std::size_t samples) {
        while (samples > 0 && !failed) {
            const std::size_t n = std::min(samples, BlockSamples);
            device.Source(scratch.data(), n, position);
            const std::uint64_t before = position / BlockSamples;
            position += n;
            state->blocks.fetch_add(position / BlockSamples - before, std::memory_order_relaxed);
            sink.Deliver(scratch.data(), n);
            samples -= n;
        }
    }
    void FailNow() {
        if (!failed) {
            failed = true;
            sink.Fail();
        }
    }
    void RequestVanish() {
        {
            std::lock_guard lock(pace);
            vanish = true;
        }
        wake.notify_all();
    }

    const std::uint64_t deviceId;

private:
    void Run(double speed) {
        using clock = std::chrono::steady_clock;
        const auto period = std::chrono::duration_cast<clock::duration>(
            std::chrono::duration<double>(double(BlockSamples) / 44100.0 / speed));
        auto next = clock::now();
        std::size_t blocksDone = 0;
        std::unique_lock lock(pace);
        while (!stopping) {
            next += period;
            // A thread that fell far behind (a loaded machine) starts afresh, not in a burst.
            if (clock::now() > next + 4 * period)
                next = clock::now() + period;
            wake.wait_until(lock, next, [this] { return stopping || vanish; });
            if (stopping)
                break;
            const bool gone =
                vanish || (device.VanishAfterBlocks != 0 && blocksDone >= device.VanishAfterBlocks);
            if (gone) {
                lock.unlock();
                FailNow();
                lock.lock();
                wake.wait(lock, [this] { return stopping; });
                break;
            }
            if (device.Stuck)
                continue;
            lock.unlock();
            Produce(BlockSamples);
            ++blocksDone;
            lock.lock();
        }
    }

    std::shared_ptr<SimulatedDriver::State> state;
    InputDevice device;
    CaptureSink& sink;
    std::vector<std::int16_t> scratch;
    std::uint64_t position = 0;
    std::size_t addNumber = 0;
    std::atomic<bool> started{false};
    std::atomic<bool> failed{false};
    bool closed = false;

    std::mutex pace;
    std::condition_variable wake;
    bool stopping = false;
    bool vanish = false;
    std::thread thread;
};

SimulatedDriver::SimulatedDriver(Config config) : state(std::make_shared<State>()) {
    state->SetInputs(std::move(config.Inputs));
    state->defaultInput = config.DefaultInput;
    state->mapperMixerResult = config.MapperMixerResult;
    state->mapperMixer = config.MapperMixer;
    state->outputs = std::move(config.Outputs);
    state->mixers = std::move(config.Mixers);
    state->pacing = config.Pacing;
    state->speed = config.Speed > 0 ? config.Speed : 1.0;
}

SimulatedDriver::~SimulatedDriver() = default;

SimulatedDriver& SimulatedDriver::Install(Config config) {
    auto driver = std::make_unique<SimulatedDriver>(std::move(config));
    SimulatedDriver& installed = *driver;
    InstallDriver(std::move(driver));
    return installed;
}

void SimulatedDriver::SetInputs(std::vector<InputDevice> inputs) {
    std::lock_guard lock(state->lock);
    state->SetInputs(std::move(inputs));
}

void SimulatedDriver::SetOutputs(std::vector<WaveOutDevice> outputs) {
    std::lock_guard lock(state->lock);
    state->outputs = std::move(outputs);
}

void SimulatedDriver::SetMixers(std::vector<MixerDevice> mixers) {
    std::lock_guard lock(state->lock);
    state->mixers = std::move(mixers);
}

void SimulatedDriver::Vanish(std::size_t index) {
    std::lock_guard lock(state->lock);
    if (index >= state->inputs.size())
        return;
    const std::uint64_t id = state->inputs[index].id;
    state->inputs.erase(state->inputs.begin() + std::ptrdiff_t(index));
    for (SimStream* s : state->streams) {
        if (s->deviceId != id)
            continue;
        if (state->pacing == Pace::RealTime)
            s->RequestVanish();
        else
            s->FailNow();
    }
}

void SimulatedDriver::Step(std::size_t samples) {
    std::lock_guard lock(state->lock);
    if (state->pacing != Pace::Stepped)
        return;
    for (SimStream* s : state->streams)
        if (s->Working())
            s->Produce(samples);
}

std::vector<int> SimulatedDriver::OpenRequests() const {
    std::lock_guard lock(state->lock);
    return state->openRequests;
}

std::size_t SimulatedDriver::OpenStreams() const {
    std::lock_guard lock(state->lock);
    return state->streams.size();
}

std::size_t SimulatedDriver::Adds() const {
    std::lock_guard lock(state->lock);
    return state->adds;
}

std::size_t SimulatedDriver::Starts() const {
    std::lock_guard lock(state->lock);
    return state->starts;
}

std::size_t SimulatedDriver::Closes() const {
    std::lock_guard lock(state->lock);
    return state->closes;
}

std::uint64_t SimulatedDriver::BlocksDelivered() const {
    return state->blocks.load(std::memory_order_relaxed);
}

std::vector<std::string> SimulatedDriver::InputDevices() {
    std::lock_guard lock(state->lock);
    std::vector<std::string> names;
    for (const auto& e : state->inputs)
        names.push_back(e.device.Name);
    return names;
}

MMRESULT SimulatedDriver::InputCapsResult(int index) {
    std::lock_guard lock(state->lock);
    if (index < 0 || std::size_t(index) >= state->inputs.size())
        return MMSYSERR_BADDEVICEID;
    return state->inputs[std::size_t(index)].device.CapsResult;
}

MMRESULT SimulatedDriver::OpenInput(int index, CaptureSink& sink,
                                    std::unique_ptr<CaptureStream>& stream) {
    std::unique_lock lock(state->lock);
    state->openRequests.push_back(index);
    const State::Entry* entry = state->Resolve(index);
    if (!entry)
        return MMSYSERR_BADDEVICEID;
    if (entry->device.OpenResult != MMSYSERR_NOERROR)
        return entry->device.OpenResult;
    const std::uint64_t id = entry->id;
    InputDevice device = entry->device;
    lock.unlock();
    stream = std::make_unique<SimStream>(state, id, std::move(device), sink);
    return MMSYSERR_NOERROR;
}

std::vector<WaveOutDevice> SimulatedDriver::OutputDevices() {
    std::lock_guard lock(state->lock);
    return state->outputs;
}

std::vector<MixerDevice> SimulatedDriver::Mixers() {
    std::lock_guard lock(state->lock);
    return state->mixers;
}

MMRESULT SimulatedDriver::MixerOfInput(int index, UINT& mixerId) {
    std::lock_guard lock(state->lock);
    const State::Entry* entry = state->Resolve(index);
    if (!entry) {
        if (index != -1)
            return MMSYSERR_BADDEVICEID;
        if (state->mapperMixerResult == MMSYSERR_NOERROR)
            mixerId = state->mapperMixer;
        return state->mapperMixerResult;
    }
    if (entry->device.MixerResult == MMSYSERR_NOERROR)
        mixerId = entry->device.Mixer;
    return entry->device.MixerResult;
}

} // namespace mmsystem::simulated
