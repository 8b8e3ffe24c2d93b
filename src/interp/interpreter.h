#pragma once
// The interpreter owns a session: the symbol store, the identifier table, the
// lexer, the print method, the echo switch and the input stack. It is handed
// to the parser and the statement handlers; the layers below borrow from it
// only what each call needs.

#include "eval/ident_table.h"
#include "gbdd/gbdd.h"
#include "interp/lexer.h"
#include "interp/line_editor.h"
#include "names/symbol_table.h"
#include "output/printing.h"

#include <cstdio>
#include <memory>
#include <string>
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

  // Prints the banner and runs the read loop with prompts, through the line
  // editor when interactive; returns only when the reading is over.
  void run();
  // Runs the read loop on the current input: prompts only when asked. Returns
  // at the end of the input, after quit, when the run stops at an error
  // (bail), and when an interrupt abandons the command typed at the prompt
  // (from a nested loop).
  void read_loop(bool prompt);
  // The interpreter's console: to standard error, and only when interactive.
  void console_print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Counts a lexical or syntax error at the lexer's last token and, in a run
  // that is not interactive, writes where it is on standard error.
  void report_syntax_error(bool stack_exhausted);
  // Ends the running command early: says why, and forgets the arguments it
  // declared. An interrupt abandons the whole command typed at the prompt,
  // with any command file it runs; the memory limit ends only the innermost
  // command.
  void end_command(GBddAbort::Reason reason, int arg_count_before);

  // ORDER: the symbol store comes first, so that it outlives the table that
  // names through it (whose records hold handles) and the lexer that interns
  // into it.
  SymbolTable symbols;
  IdentTable idents;
  Lexer lexer;
  PrintMethod print_method = PRINT_DNF;
  bool echo_off = false;
  bool interactive;
  FILE* input;
  std::vector<FILE*> saved_inputs;    // suspended by exec, newest last
  std::string input_name = "<stdin>"; // of the current input, for error reports
  // Reads the terminal in an interactive run, from run() on; the lexer borrows it.
  std::unique_ptr<LineEditor> line_editor;

  bool bail = false;             // stop the run at the first error
  std::string memory_limit_text; // the limit as the user wrote it, or empty
  int syntax_errors = 0;
  bool stopped = false;    // the run ends: bail met an error
  bool abandoning = false; // an interrupt unwinds to the prompt
  int exit_status = 0;
};
