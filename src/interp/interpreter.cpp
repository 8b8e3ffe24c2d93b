#include "interp/interpreter.h"

#include "eval/predef.h"
#include "interp/parser.h"

#include <chrono>
#include <cstdarg>
#include <unistd.h>

namespace {
// The symbol store keeps its texts' addresses in segments of this many entries.
constexpr int SYMBOL_SEGMENT_SIZE = 10000;
} // namespace

Interpreter::Interpreter(FILE* input_)
    : symbols(SYMBOL_SEGMENT_SIZE), idents(symbols), lexer(symbols),
      interactive(input_ == stdin && isatty(0)), input(input_) {
  // ORDER: the constants take the symbol numbers 1 to 4, the predefined
  // functions 5 to 16.
  idents.set_const(symbols.intern("%s", "0"), GBdd::FALSE_());
  idents.set_const(symbols.intern("%s", "false"), GBdd::FALSE_());
  idents.set_const(symbols.intern("%s", "1"), GBdd::TRUE_());
  idents.set_const(symbols.intern("%s", "true"), GBdd::TRUE_());
  for (const PredefRow* row = predef_table; row->name; row++) {
    int symbol = symbols.intern("%s", row->name);
    idents.swap_record(symbol, std::make_unique<PredefFuncInfo>(symbol, row->arity, row->handler));
  }
}

void Interpreter::run() {
  console_print("version %s\n", VERSION);
  console_print("Type \"help\" for informations\n");
  read_loop(true);
}

void Interpreter::console_print(const char* format, ...) {
  if (!interactive) return;
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  fflush(stdout);
}

void Interpreter::read_loop(bool prompt) {
  for (;;) {
    if (prompt) {
      fflush(stdout);
      console_print(">>");
      fflush(stderr);
    }
    if (!lexer.start_input(input)) return;
    auto start = std::chrono::steady_clock::now();
    bool timed = time_on;
    if (parse_command(*this) == 0) return;
    if (timed && time_on) {
      std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      fprintf(stderr, "time: %.3f s\n", took.count());
    }
  }
}
