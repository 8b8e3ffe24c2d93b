#pragma once
// The interpreter owns a session: the symbol store, the identifier table, the
// lexer, the print method, the echo and time switches and the input stack. It
// is handed to the parser and the statement handlers; the layers below borrow
// from it only what each call needs.

#include "eval/ident_table.h"
#include "interp/lexer.h"
#include "names/symbol_table.h"
#include "output/printing.h"

#include <cstdio>
#include <vector>

// The version the banner and "help" print.
inline constexpr char VERSION[] = "2.0e";

class Interpreter {
public:
  // Sets up a session reading input: the symbol store, the constants and the
  // predefined functions. Prints nothing.
  explicit Interpreter(FILE* input);
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Prints the banner and runs the read loop with prompts; returns only when
  // the reading is over.
  void run();
  // Runs the read loop on the current input: prompts only when asked.
  void read_loop(bool prompt);
  // The interpreter's console: to standard error, and only when interactive.
  void console_print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // ORDER: the symbol store comes first, so that it outlives the table that
  // names through it (whose records hold handles) and the lexer that interns
  // into it.
  SymbolTable symbols;
  IdentTable idents;
  Lexer lexer;
  PrintMethod print_method = PRINT_DNF;
  bool echo_off = false;
  bool time_on = false; // each command is followed by its wall-clock time
  bool interactive;
  FILE* input;
  std::vector<FILE*> saved_inputs; // suspended by exec, newest last
};
