// The platform libraries below the editor keep a few allocations for the life of the
// process (font configuration, the session bus): LeakSanitizer is told not to count them.
// Only sanitizer builds ask for this list.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:libfontconfig.so\n";
}
