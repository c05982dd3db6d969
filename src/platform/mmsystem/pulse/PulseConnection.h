// One client connection to a PulseAudio server on its own threaded main loop. Every wait on the
// loop has a deadline, so no call on the GUI thread can hang on a server that does not answer.
#pragma once

#include <pulse/context.h>
#include <pulse/operation.h>
#include <pulse/rtclock.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <chrono>

namespace mmsystem::pulse {

// The bound on one wait for the server: connect, list, open, start.
constexpr std::chrono::milliseconds ServerTimeout{1000};

class PulseConnection {
public:
    // Called on the loop thread, once, when a ready connection fails (server gone).
    using FailureHandler = void (*)(void* user);

    PulseConnection() = default;
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Starts the loop and connects, never spawning a server; false when none answers in time.
    bool Connect(std::chrono::milliseconds timeout, FailureHandler onFailure = nullptr,
                 void* user = nullptr);
    // Disconnects and joins the loop thread; afterwards no callback runs. Idempotent.
    void Disconnect();

    bool Ready() const; // call with the lock held
    pa_context* Context() const { return context_; }
    pa_threaded_mainloop* Loop() const { return loop_; }

    // Wakes a waiter; callbacks that a waiter depends on call this.
    void Signal() { pa_threaded_mainloop_signal(loop_, 0); }

    // With the lock held: waits until done() holds or the timeout passes.
    template <class Done> bool WaitUntil(Done done, std::chrono::milliseconds timeout) {
        const pa_usec_t deadline =
            pa_rtclock_now() + pa_usec_t(std::chrono::microseconds(timeout).count());
        while (!done()) {
            if (pa_rtclock_now() >= deadline)
                return false;
            pa_time_event* timer = pa_context_rttime_new(context_, deadline, &OnTimer, this);
            pa_threaded_mainloop_wait(loop_);
            pa_threaded_mainloop_get_api(loop_)->time_free(timer);
        }
        return true;
    }
    // With the lock held: waits for an operation to finish; cancels it on timeout. Unrefs it.
    bool WaitOperation(pa_operation* op, std::chrono::milliseconds timeout);

    class Lock {
    public:
        explicit Lock(const PulseConnection& c) : loop_(c.loop_) {
            pa_threaded_mainloop_lock(loop_);
        }
        ~Lock() { pa_threaded_mainloop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

private:
    static void OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user);
    static void OnState(pa_context* context, void* user);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    FailureHandler onFailure_ = nullptr;
    void* user_ = nullptr;
    bool wasReady_ = false; // loop thread, or under the lock
};

} // namespace mmsystem::pulse
