#pragma once
// The interpreter owns a run: the identifier table, the names of the declared
// arguments, the print method, the echo switch and the input stream.

#include "eval/ident_info.h"

#include <cstdio>
#include <memory>
#include <vector>

enum PrintMethod { PRINT_DNF = 0, PRINT_CNF = 1, PRINT_REED = 2 };

class Interpreter {
public:
  // Sets up the tables, registers the built-in names, prints the banner and
  // runs the read loop; returns only when the reading is over.
  explicit Interpreter(FILE* input);
  // The same set-up without the banner and the loop, for tests that drive
  // the handlers directly.
  struct NoLoop {};
  Interpreter(FILE* input, NoLoop);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // The interpreter's console: to standard error, and only when interactive.
  void console_print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // The record of a symbol number, or null; the table grows to any symbol.
  IdentInfo* record(int symbol) const;
  // Replaces the record of a symbol, returning the old one to the caller.
  std::unique_ptr<IdentInfo> swap_record(int symbol, std::unique_ptr<IdentInfo> info);

  // Runs the read loop on the current input: prompts only when asked.
  void read_loop(bool prompt);

  int ident_capacity;
  std::vector<std::unique_ptr<IdentInfo>> ident_table;
  int arg_count;
  std::vector<const char*> arg_names;
  PrintMethod print_method;
  int interactive;
  int echo_off;
  FILE* input;
  std::vector<FILE*> saved_inputs; // newest last

private:
  void set_up(FILE* input);
};

extern Interpreter* current_interpreter;

// Points the lexer at f and primes it with the first character of the next
// command; false at end of input.
bool start_input(FILE* f);
