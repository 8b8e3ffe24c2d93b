#pragma once
// The commands that manage the interpreter itself; they act on
// current_interpreter.

void help();
void syntax();
void exec(int symbol);
void list();
