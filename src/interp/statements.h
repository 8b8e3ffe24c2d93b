#pragma once
// The statements where evaluation meets printing: assignment, function
// definition and deletion, the printing commands and the size commands. Each
// acts on the session of the interpreter it is given; results and messages go
// to standard output.

#include "eval/exp_node.h"
#include "output/printing.h"

class Interpreter;

// False when the run is interactive, f is a huge diagram (over 500 nodes) and
// the user declines to see it printed; asks only in that case.
bool may_print(Interpreter& in, const GBdd& f);

enum SizeMeasure { SIZE_NODES, SIZE_TREE, SIZE_UNSIGNED };

// Evaluates the tree into the variable symbol (created when the symbol has no
// record) and prints "name := " and the result, unless echo is off.
void assign(Interpreter& in, int symbol, ExpPtr tree);
// Stores a user function of the formals (a list of EXP_IDENT leaves, released
// here) with the body.
void add_function(Interpreter& in, int symbol, ExpNode* formals, ExpPtr body);
// Removes a variable or a user function.
void del(Interpreter& in, int symbol);
// Evaluates the tree and prints the result in the current print method.
void eval_and_print(Interpreter& in, ExpPtr tree);
// Evaluates the tree and prints the result in the method, for this once.
void print_with_method(Interpreter& in, ExpPtr tree, PrintMethod method);
// Says what the symbol denotes, and prints a variable's value.
void print_ident(Interpreter& in, int symbol);
// Evaluates the tree and prints the measure of the result's size.
void size_command(Interpreter& in, ExpPtr tree, SizeMeasure measure);
