#include "names/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

int level = 0;
int show_controls = 0;
const char* program_name = " ";
int error_count = 0;
int calc_error_count = 0;
int spin_tick = 1;
int spin_phase = 0;
const char spinner[] = "|/-\\";

// A progress message; a leading carriage return or backspace is made visible
// when show_controls is on, so a log of the output stays readable.
void progress(const char* format, va_list args) {
  if (show_controls == 1 && format[0] == '\r') {
    fputs(" \n^R", stderr);
    format++;
  } else if (show_controls == 1 && format[0] == '\b') {
    fputs("\n^B", stderr);
    format++;
  }
  vfprintf(stderr, format, args);
  fflush(stderr);
}

// The message and a newline, after the heading of a named message.
void line(const char* format, va_list args) {
  vfprintf(stderr, format, args);
  fputc('\n', stderr);
}

} // namespace

int msg_level_on() {
  return level = 1;
}
int msg_set_level(int n) {
  return level = n;
}
int msg_level() {
  return level;
}
void msg_show_controls() {
  show_controls = 1;
}
void msg_set_program_name(const char* text) {
  program_name = text;
}
int msg_error_count() {
  return error_count;
}

int msg_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  return ++error_count;
}

int msg_stop_if_errors() {
  if (error_count == 0) return 0;
  fprintf(stderr, "*** %d Errors stop\n", error_count);
  exit(1);
}

void msg_warning(const char* format, ...) {
  fprintf(stderr, "%s Warning :\n", program_name);
  va_list args;
  va_start(args, format);
  line(format, args);
  va_end(args);
}

void msg_fatal(const char* format, ...) {
  fprintf(stderr, "%s Error :\n", program_name);
  va_list args;
  va_start(args, format);
  line(format, args);
  va_end(args);
  exit(1);
}

void msg_internal_error(const char* format, ...) {
  fputs("Sorry, Internal Error :\n", stderr);
  va_list args;
  va_start(args, format);
  line(format, args);
  va_end(args);
  exit(1);
}

int msg_spin(int period) {
  if (level == 0 || !isatty(2)) return level;
  if (spin_tick < period) {
    spin_tick++;
    return level;
  }
  spin_tick = 0;
  fprintf(stderr, "%c\b", spinner[spin_phase]);
  fflush(stderr);
  spin_phase = (spin_phase + 1) % 4;
  return level;
}

int msg_verbose(int needed, const char* format, ...) {
  if (needed > level) return level;
  va_list args;
  va_start(args, format);
  progress(format, args);
  va_end(args);
  return level;
}

int msg_info(const char* format, ...) {
  if (level == 0) return level;
  va_list args;
  va_start(args, format);
  progress(format, args);
  va_end(args);
  return level;
}

void msg_calc_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
  calc_error_count++;
}

int msg_calc_error_count() {
  return calc_error_count;
}

#ifdef BOOLCALC_FUZZ_RESET
void msg_reset() {
  level = 0;
  show_controls = 0;
  program_name = " ";
  error_count = 0;
  calc_error_count = 0;
  spin_tick = 1;
  spin_phase = 0;
}
#endif
