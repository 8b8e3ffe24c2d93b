#include "interp/commands.h"

#include "eval/predef.h"
#include "interp/interpreter.h"
#include "names/messages.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

// Ended by a null entry.
const char* const help_table[] = {
    "quit",
    "help",
    "exec \"file-command\"  -- read commands from file",
    "syntax                 -- display exp syntax",
    "echo                   -- turns echo on",
    "noecho                 -- turns echo off",
    "print <ident>          -- print ident infos",
    "list                   -- list current memory",
    "set {reed | cnf | dnf} -- change print method",
    "<exp> ;                -- evaluate and print according to current method",
    "size <exp> ;           -- internal size of <exp>",
    "tree_size <exp> ;      -- size of the equivalent Shannon tree",
    "unsigned_size <exp> ;  -- size of the equivalent Shannon DAG",
    "reed <exp> ;           -- eval and print in Reed-Muller canonical form)",
    "cnf <exp> ;            -- eval and print in conjunctive normal form",
    "dnf <exp> ;            -- eval and print in disjunctive normal form",
    "<ident> := <exp> ;     -- eval and store",
    nullptr,
};

// Several lines end in blanks; they are part of the text.
const char* const syntax_table[] = {
    "identifiers :",
    "   \"0\" | \"false\"  (always false)",
    "   \"1\" | \"true\"   (always true)",
    "   \"<ident>\"        (argument or variable)",
    "operators :",
    "   \"not <exp>\"     ",
    "   \"-<exp>\"           (negation)",
    "   \"<exp> or  <exp>\"   ",
    "   \"<exp> +   <exp>\"  (logical or)",
    "   \"<exp> and <exp>\"  ",
    "   \"<exp> .   <exp>\"  (logical and)",
    "   \"<exp> xor <exp>\" ",
    "   \"<exp> <>  <exp>\"  (exclusive or)",
    "   \"<exp> =>  <exp>\"  (implies)",
    "   \"<exp> =   <exp>\"  (equivalence)",
    "   \"if <exp> then <exp> else <exp>\" (lazy if then else)",
    "   \"forall <ident-list> <exp>\"      (consensus)",
    "   \"exist  <ident-list> <exp>\"      (smooth)",
    "   \"let <ident> := <exp> in <exp>\"  (local declaration)",
    "n-ary operators :",
    "   \"#(<exp-list>)\"     (at most one)",
    "   \"nor(<exp-list>)\"   (no one)",
    "   \"xor(<exp-list>)\"   (exactly one)",
    nullptr,
};

// Command files may run command files; a file that runs itself, directly or
// in a cycle, stops here instead of exhausting the stack and the open files.
constexpr int MAX_EXEC_DEPTH = 64;

} // namespace

FILE* open_command_file(const char* name) {
  // A directory opens for reading but reads as an empty file.
  struct stat st;
  if (stat(name, &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  return fopen(name, "r");
}

#ifdef BOOLCALC_FUZZ_RESET
bool outside_scratch(const char* name) {
  return name[0] == '/' || std::strstr(name, "..") != nullptr;
}
#endif

void help(Interpreter& in) {
  in.console_print("version %s\n", VERSION);
  in.console_print("commands are:\n");
  for (const char* const* row = help_table; *row; row++)
    in.console_print("   %s\n", *row);
}

void syntax(Interpreter& in) {
  in.console_print("syntax :\n");
  for (const char* const* row = syntax_table; *row; row++)
    in.console_print("%s\n", *row);
  in.console_print("functions :\n");
  for (const PredefRow* row = predef_table; row->name; row++) {
    in.console_print("   \"%s(<exp>", row->name);
    for (int i = 1; i < row->arity; i++)
      in.console_print(",<exp>");
    in.console_print(")\"  (%s)\n", row->help_text);
  }
}

void exec(Interpreter& in, int symbol) {
  const char* name = in.symbols.text_of(symbol);
#ifdef BOOLCALC_FUZZ_RESET
  if (outside_scratch(name)) {
    msg_calc_error("can't open \"%s\"\n", name);
    return;
  }
#endif
  if ((int)in.saved_inputs.size() >= MAX_EXEC_DEPTH) {
    msg_calc_error("can't exec \"%s\", more than %d nested files\n", name, MAX_EXEC_DEPTH);
    return;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(open_command_file(name), fclose);
  if (!file) {
    msg_calc_error("can't open \"%s\"\n", name);
    return;
  }
  in.saved_inputs.push_back(in.input);
  Lexer::InputState outer = in.lexer.suspend();
  std::string outer_name = std::move(in.input_name);
  in.input = file.get();
  in.input_name = name;
  printf("reading \"%s\"\n", name);
  in.read_loop(false);
  in.input_name = std::move(outer_name);
  in.lexer.resume(outer);
  in.input = in.saved_inputs.back();
  in.saved_inputs.pop_back();
}

void list(Interpreter& in) {
  const IdentTable& idents = in.idents;
  puts("arguments are:");
  for (const char* name : idents.arg_names())
    printf("   %s\n", name);
  puts("variables are:");
  for (int s = 1; s < idents.slot_count(); s++) {
    IdentInfo* info = idents.record(s);
    if (info && info->as_var()) printf("   %s\n", idents.text_of(s));
  }
  puts("functions are:");
  for (int s = 1; s < idents.slot_count(); s++) {
    IdentInfo* info = idents.record(s);
    if (info && info->as_usr_func())
      printf("   %s (%d-ary)\n", idents.text_of(s), info->as_usr_func()->arity);
  }
}
