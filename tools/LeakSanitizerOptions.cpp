// Only sanitizer builds use this. sparv-fx loads the OpenGL driver (and with it LLVM) at
// run time; on this system's C library, LeakSanitizer's walk over the dynamic thread-local
// storage of such libraries can crash at exit, depending on the memory layout of the run
// ("Tracer caught signal 11" while reading a DTLS range), which fails a run that leaked
// nothing. Thread-local storage is therefore not scanned; the two blocks the C library's
// loader keeps for the life of the process, reachable only from there, are not counted.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_options() {
    return "use_tls=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_map_object_deps\n"
           "leak:add_to_global_resize\n";
}
#endif
