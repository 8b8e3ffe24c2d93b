#pragma once
// The commands that manage the interpreter itself.

#include <cstdio>

class Interpreter;

// Opens a command file for reading; null when it cannot be read or is a
// directory.
FILE* open_command_file(const char* name);

#ifdef BOOLCALC_FUZZ_RESET
// Fuzzing builds run in a scratch directory and touch only the files there: a
// name reaching out of it could read a device that never ends, or overwrite a
// file anywhere on the machine.
bool outside_scratch(const char* name);
#endif

// The version and the list of commands, on the console.
void help(Interpreter& in);
// The expression language and the predefined functions, on the console.
void syntax(Interpreter& in);
// Reads commands from the file the string symbol names, then goes back to the
// input it interrupted.
void exec(Interpreter& in, int symbol);
// The arguments, the variables and the user functions, on standard output.
void list(Interpreter& in);
