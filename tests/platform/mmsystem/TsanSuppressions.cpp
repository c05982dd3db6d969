// Qt's posted-event queue locks with futexes inside a library ThreadSanitizer does not
// instrument, so a message built on a driver thread and read on the window's thread looks
// unsynchronised. Only the one place that builds a posted message is named.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
    return "race:PostMessageA\n";
}
#endif
