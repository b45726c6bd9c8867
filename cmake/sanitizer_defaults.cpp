// Sanitizer options compiled into every program of the sanitizer build, so that tests fail
// the same way however they are started (ctest, by hand, from a script). The environment can
// still override them.
extern "C" {
const char* __asan_default_options() {
  return "detect_leaks=1:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1";
}
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
const char* __lsan_default_options() {
  return "suppressions=" LMX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
}
