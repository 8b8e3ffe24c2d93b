#pragma once
// Printing computed functions for the user, and the commands that evaluate an
// expression and print something about the result.

#include "eval/exp_node.h"
#include "gbdd/gbdd.h"
#include "interp/interpreter.h"

// Above this many nodes an interactive run asks before printing.
constexpr int HUGE_BDD_NODES = 500;

enum SizeMeasure { SIZE_NODES, SIZE_TREE, SIZE_UNSIGNED };

// Writes f in the current print method and a newline (nothing under noecho).
void print_result(Interpreter& in, const GBdd& f);
void print_reed(Interpreter& in, const GBdd& f);
void eval_and_print(Interpreter& in, ExpPtr tree);
void print_with_method(Interpreter& in, ExpPtr tree, PrintMethod method);
void print_ident(Interpreter& in, int symbol);
void size_command(Interpreter& in, ExpPtr tree, SizeMeasure measure);
