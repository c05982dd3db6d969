#include "platform/mmsystem/pulse/PulseConnection.h"

#include <pulse/proplist.h>

namespace mmsystem::pulse {

PulseConnection::~PulseConnection() {
    Disconnect();
}

bool PulseConnection::Connect(std::chrono::milliseconds timeout, FailureHandler onFailure,
                              void* user) {
    Disconnect();
    onFailure_ = onFailure;
    user_ = user;
    loop_ = pa_threaded_mainloop_new();
    if (!loop_)
        return false;
    // The names under which mixers and patchbays show us.
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Quorvane");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "quorvane");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "quorvane");
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "production");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Quorvane", props);
    pa_proplist_free(props);
    if (!context_ || pa_threaded_mainloop_start(loop_) < 0) {
        Disconnect();
        return false;
    }
    bool ready = false;
    {
        Lock lock(*this);
        pa_context_set_state_callback(context_, &OnState, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            WaitUntil(
                [this] {
                    const pa_context_state_t s = pa_context_get_state(context_);
                    return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
                },
                timeout);
            ready = Ready();
        }
    }
    if (!ready)
        Disconnect();
    return ready;
}

void PulseConnection::Disconnect() {
    if (!loop_)
        return;
    if (context_) {
        Lock lock(*this);
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    wasReady_ = false;
}

bool PulseConnection::Ready() const {
    return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool PulseConnection::WaitOperation(pa_operation* op, std::chrono::milliseconds timeout) {
    if (!op)
        return false;
    pa_operation_set_state_callback(
        op, [](pa_operation*, void* user) { static_cast<PulseConnection*>(user)->Signal(); }, this);
    const bool done =
        WaitUntil([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; }, timeout);
    if (!done)
        pa_operation_cancel(op);
    const bool finished = pa_operation_get_state(op) == PA_OPERATION_DONE;
    pa_operation_set_state_callback(op, nullptr, nullptr);
    pa_operation_unref(op);
    return finished;
}

void PulseConnection::OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
    static_cast<PulseConnection*>(user)->Signal();
}

void PulseConnection::OnState(pa_context* context, void* user) {
    auto* self = static_cast<PulseConnection*>(user);
    const pa_context_state_t s = pa_context_get_state(context);
    if (s == PA_CONTEXT_READY)
        self->wasReady_ = true;
    if (!PA_CONTEXT_IS_GOOD(s) && self->wasReady_ && self->onFailure_) {
        self->wasReady_ = false;
        self->onFailure_(self->user_);
    }
    self->Signal();
}

} // namespace mmsystem::pulse
