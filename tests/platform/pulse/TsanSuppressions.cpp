// Reports ThreadSanitizer cannot get right in libraries it does not instrument: libpulse hands
// memory between threads through its own lock-free lists, and Qt's posted-event queue locks
// with futexes, so the handover of a posted message looks unsynchronised. Each entry names a
// function inside that library code (or the one place that builds a posted message), never
// our own callbacks.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
    return "race:pa_mutex_lock\n"
           "race:pa_packet_new_data\n"
           "race:pa_srbchannel_read\n"
           "race:pa_srbchannel_write\n"
           "race:PostMessageA\n";
}
#endif
