#include "interp/interpreter.h"

#include "eval/predef.h"
#include "interp/lexer.h"
#include "interp/parser.h"
#include "names/symbol_table.h"

#include <cstdarg>
#include <unistd.h>

Interpreter* current_interpreter = nullptr;

namespace {
const char* const VERSION = "2.0e";
}

bool start_input(FILE* f) {
  lexer_input = f;
  lookahead_char = read_char();
  return lookahead_char != EOF;
}

Interpreter::Interpreter(FILE* input_) {
  set_up(input_);
  console_print("version %s\n", VERSION);
  console_print("Type \"help\" for informations\n");
  read_loop(true);
}

Interpreter::Interpreter(FILE* input_, NoLoop) {
  set_up(input_);
}

void Interpreter::set_up(FILE* input_) {
  input = input_;
  interactive = (input_ == stdin && isatty(0)) ? 1 : 0;
  ident_capacity = 10000;
  ident_table.resize(ident_capacity);
  arg_names.assign(ident_capacity, nullptr);
  arg_count = 0;
  print_method = PRINT_DNF;
  echo_off = 0;

  delete symbols;
  symbols = new SymbolTable(ident_capacity);
  current_interpreter = this;
  lexer_input = input;

  set_const(*this, symbols->intern("%s", "0"), GBdd::FALSE_());
  set_const(*this, symbols->intern("%s", "false"), GBdd::FALSE_());
  set_const(*this, symbols->intern("%s", "1"), GBdd::TRUE_());
  set_const(*this, symbols->intern("%s", "true"), GBdd::TRUE_());
  for (const PredefRow* row = predef_table; row->name; row++) {
    int symbol = symbols->intern("%s", row->name);
    swap_record(symbol, std::make_unique<PredefFuncInfo>(symbol, row->arity, row->handler));
  }
}

Interpreter::~Interpreter() {
  // Records hold handles; they go before the symbol store they name.
  ident_table.clear();
  if (current_interpreter == this) current_interpreter = nullptr;
  delete symbols;
  symbols = nullptr;
}

void Interpreter::console_print(const char* format, ...) {
  if (!interactive) return;
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  fflush(stdout);
}

IdentInfo* Interpreter::record(int symbol) const {
  if (symbol <= 0 || symbol >= (int)ident_table.size()) return nullptr;
  return ident_table[symbol].get();
}

std::unique_ptr<IdentInfo> Interpreter::swap_record(int symbol, std::unique_ptr<IdentInfo> info) {
  if (symbol >= (int)ident_table.size()) {
    size_t grown = ident_table.size();
    while ((int)grown <= symbol)
      grown *= 2;
    ident_table.resize(grown);
    ident_capacity = (int)grown;
  }
  std::swap(ident_table[symbol], info);
  return info;
}

void Interpreter::read_loop(bool prompt) {
  for (;;) {
    if (prompt) {
      fflush(stdout);
      console_print(">>");
      fflush(stderr);
    }
    if (!start_input(input)) return;
    if (parse_command() == 0) return;
  }
}
