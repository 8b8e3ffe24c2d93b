#include "interp/commands.h"

#include "eval/predef.h"
#include "interp/interpreter.h"
#include "names/symbol_table.h"

#include <cstdio>

namespace {

const char* const VERSION = "2.0e";

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

void help() {
  Interpreter& in = *current_interpreter;
  in.console_print("version %s\n", VERSION);
  in.console_print("commands are:\n");
  for (const char* const* row = help_table; *row; row++)
    in.console_print("   %s\n", *row);
}

void syntax() {
  Interpreter& in = *current_interpreter;
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

void exec(int symbol) {
  Interpreter& in = *current_interpreter;
  const char* name = symbols->text_of(symbol);
  if ((int)in.saved_inputs.size() >= MAX_EXEC_DEPTH) {
    printf("can't exec \"%s\", more than %d nested files\n", name, MAX_EXEC_DEPTH);
    return;
  }
  FILE* file = fopen(name, "r");
  if (!file) {
    printf("can't open \"%s\"\n", name);
    return;
  }
  in.saved_inputs.push_back(in.input);
  in.input = file;
  printf("reading \"%s\"\n", name);
  in.read_loop(false);
  fclose(file);
  in.input = in.saved_inputs.back();
  in.saved_inputs.pop_back();
}

void list() {
  Interpreter& in = *current_interpreter;
  puts("arguments are:");
  for (int n = 0; n < in.arg_count; n++)
    printf("   %s\n", in.arg_names[n]);
  puts("variables are:");
  for (size_t s = 1; s < in.ident_table.size(); s++) {
    IdentInfo* info = in.ident_table[s].get();
    if (info && info->as_var()) printf("   %s\n", symbols->text_of((int)s));
  }
  puts("functions are:");
  for (size_t s = 1; s < in.ident_table.size(); s++) {
    IdentInfo* info = in.ident_table[s].get();
    if (info && info->as_usr_func())
      printf("   %s (%d-ary)\n", symbols->text_of((int)s), info->as_usr_func()->arity);
  }
}
