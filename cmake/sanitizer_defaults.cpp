// Sanitizer options compiled into every program of the sanitizer build, so that tests fail
// the same way however they are started (ctest, by hand, from a script). The environment can
// still override them.
// Programs that open X11 windows through Qt define LMX_SANITIZE_X11: libxkbcommon-x11 copies
// names with strndup from buffers that are not NUL-terminated, which is correct but trips the
// strict string checks.
#ifdef LMX_SANITIZE_X11
#define LMX_STRICT_STRINGS "0"
#else
#define LMX_STRICT_STRINGS "1"
#endif
extern "C" {
const char* __asan_default_options() {
  return "detect_leaks=1:halt_on_error=1:strict_string_checks=" LMX_STRICT_STRINGS
         ":detect_stack_use_after_return=1";
}
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
const char* __lsan_default_options() {
  return "suppressions=" LMX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
}
