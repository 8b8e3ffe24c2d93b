#pragma once
// Named warnings and errors, counted errors, progress messages gated by a
// verbosity level, and a spinner. Everything goes to standard error, but the
// calculator's own error lines, which go to standard output with the results.

int msg_level_on();
int msg_set_level(int n);
int msg_level();
void msg_show_controls();
void msg_set_program_name(const char* text);
int msg_error_count();
int msg_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int msg_stop_if_errors();
void msg_warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void msg_fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void msg_internal_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int msg_spin(int period);
int msg_verbose(int needed, const char* format, ...) __attribute__((format(printf, 2, 3)));
int msg_info(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A calculator error (an unknown function, a refused assignment): its line on
// standard output, counted so that a run can stop at the first one.
void msg_calc_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int msg_calc_error_count();

#ifdef BOOLCALC_FUZZ_RESET
// Puts the level, the switches, the error count and the spinner back as at
// start-up. Only fuzzing builds, which run many sessions in one process, have it.
void msg_reset();
#endif
