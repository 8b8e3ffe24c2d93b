// Package-wide reporting: internal errors, warnings, verbose progress and the
// alive-list check.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <cstdarg>
#include <cstdlib>

namespace {

void exit_on_error() {
  std::exit(1);
}

void (*error_handler)() = exit_on_error;
int verbose = 0;

std::uintptr_t address(const GBdd* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

} // namespace

void internal_error(const char* format, ...) {
  std::fputs("Internal Error :\n", stderr);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  error_handler();
}

void warning(const char* format, ...) {
  std::fputs("Gbdd Warning :\n", stderr);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
}

int verbose_message(const char* format, ...) {
  if (!verbose) return verbose;
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fflush(stderr);
  return verbose;
}

// A null handler restores the default one, which ends the program.
void set_error_handler(void (*handler)()) {
  error_handler = handler != nullptr ? handler : exit_on_error;
}

int set_verbose(int v) {
  int previous = verbose;
  verbose = v;
  return previous;
}

// Lists the alive list and checks its links; ref, when not null, must not be on it.
void check_alive_list(const GBdd* ref) {
  verbose_message("**********************\n");
  verbose_message("* Alives GBdd refs : *\n");
  verbose_message("**********************\n");
  const GBdd* p = &alive_head;
  do {
    if (ref != nullptr && p == ref)
      warning("GBdd reference 0x%lx already in alive list", address(p));
    verbose_message("ADDRESS: 0x%lx ", address(p));
    verbose_message("(next: 0x%lx pred: 0x%lx)\n", address(p->next), address(p->pred));
    if (p->pred->next != p || p->next->pred != p) {
      internal_error("gbdd::bad alive list");
      return; // a broken list may never lead back to its head
    }
    p = p->next;
  } while (p != &alive_head);
}
