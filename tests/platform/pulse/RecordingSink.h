// A capture sink for driver tests: keeps what is delivered, when, and whether the stream failed.
#pragma once

#include "platform/mmsystem/Driver.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

class RecordingSink : public mmsystem::CaptureSink {
public:
    using Clock = std::chrono::steady_clock;

    // Keeps at most keep samples (the count and the times go on).
    explicit RecordingSink(std::size_t keep = 1 << 20) : keep_(keep) { samples_.reserve(keep); }

    void Deliver(const std::int16_t* samples, std::size_t count) override {
        std::lock_guard lock(mutex_);
        const Clock::time_point now = Clock::now();
        if (total_ == 0)
            first_ = now;
        last_ = now;
        for (std::size_t i = 0; i < count && samples_.size() < keep_; ++i)
            samples_.push_back(samples[i]);
        total_ += count;
        changed_.notify_all();
    }
    void Fail() override {
        std::lock_guard lock(mutex_);
        ++fails_;
        failedAt_ = Clock::now();
        changed_.notify_all();
    }

    bool WaitForSamples(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return total_ >= count; });
    }
    bool WaitForFail(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return fails_ > 0; });
    }

    std::vector<std::int16_t> Samples() const {
        std::lock_guard lock(mutex_);
        return samples_;
    }
    std::uint64_t Total() const {
        std::lock_guard lock(mutex_);
        return total_;
    }
    int Fails() const {
        std::lock_guard lock(mutex_);
        return fails_;
    }
    // Seconds from the first to the last delivery.
    double Span() const {
        std::lock_guard lock(mutex_);
        return std::chrono::duration<double>(last_ - first_).count();
    }
    Clock::time_point FailedAt() const {
        std::lock_guard lock(mutex_);
        return failedAt_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t keep_;
    std::vector<std::int16_t> samples_;
    std::uint64_t total_ = 0;
    int fails_ = 0;
    Clock::time_point first_{}, last_{}, failedAt_{};
};
