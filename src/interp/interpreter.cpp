#include "interp/interpreter.h"

#include "eval/predef.h"
#include "grammar.h"
#include "interp/parser.h"
#include "names/messages.h"

#include <chrono>
#include <cstdarg>
#include <unistd.h>

namespace {
// The symbol store keeps its texts' addresses in segments: the first holds
// this many, each later one twice as many as the one before.
constexpr int SYMBOL_SEGMENT_SIZE = 256;
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
  if (interactive) {
    line_editor = std::make_unique<LineEditor>(history_file());
    lexer.line_source = line_editor.get();
  }
  read_loop(true);
  lexer.line_source = nullptr;
  line_editor.reset();
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
  while (!stopped && !abandoning) {
    if (prompt && line_editor) {
      LineEditor::forget_interrupt(); // one that came after the last command ended
      line_editor->prompt_command();
    } else if (prompt) {
      fflush(stdout);
      console_print(">>");
      fflush(stderr);
    }
    if (!lexer.start_input(input)) return;
    auto start = std::chrono::steady_clock::now();
    bool timed = time_on;
    int errors_before = syntax_errors + msg_calc_error_count();
    bool more = parse_command(*this) != 0;
    if (more && timed && time_on) {
      std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      fprintf(stderr, "time: %.3f s\n", took.count());
    }
    if (bail && syntax_errors + msg_calc_error_count() > errors_before) {
      stopped = true;
      exit_status = 1;
      return;
    }
    if (abandoning) {
      if (!saved_inputs.empty()) return; // the prompt's own loop takes over
      abandoning = false;
      lexer.discard_line();
    }
    if (!more) return;
  }
}

void Interpreter::report_syntax_error(bool stack_exhausted) {
  syntax_errors++;
  if (interactive) return;
  const char* name = input_name.c_str();
  int line = lexer.token_line;
  if (lexer.last_token != TK_LEXERR) {
    const char* what = stack_exhausted ? "expression nested too deeply" : "syntax error";
    fprintf(stderr, "%s:%d: %s near %s\n", name, line, what, lexer.token_text.c_str());
  } else if (lexer.unknown_char == EOF) {
    fprintf(stderr, "%s:%d: unterminated string\n", name, line);
  } else {
    int c = lexer.unknown_char;
    fprintf(stderr, "%s:%d: unknown character '%c' (%d)\n", name, line,
            c >= 32 && c <= 126 ? c : ' ', c);
  }
}

void Interpreter::end_command(GBddAbort::Reason reason, int arg_count_before) {
  idents.forget_args_from(arg_count_before);
  if (reason == GBddAbort::MEMORY_LIMIT) {
    msg_calc_error("memory limit reached (%s)\n", memory_limit_text.c_str());
    return;
  }
  clear_interrupt();
  fflush(stdout);
  console_print("interrupted\n");
  abandoning = true;
}
