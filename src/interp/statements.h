#pragma once
// The statements where evaluation meets printing: assignment, function
// definition and deletion, the printing commands and the size commands. Each
// acts on the session of the interpreter it is given; results and messages go
// to standard output.

#include "eval/exp_node.h"
#include "output/printing.h"

#include <functional>

class Interpreter;

// Runs a command's work; false when an interrupt or the memory limit ended it.
// The handles on the way have then released what it built, and the
// interpreter has said why and forgotten the arguments it declared.
bool guarded(Interpreter& in, const std::function<void()>& work);

// Evaluates a command's expression under the guard and runs work on its value;
// a null value prints "null" instead, whatever echo says. The tree goes once
// evaluated.
void with_value(Interpreter& in, ExpPtr& tree, const std::function<void(const GBdd&)>& work);

// Whether f, or what a command prints of it, may be printed. An interactive
// run asks first before a diagram of more than 500 nodes or, for a smaller
// one, before an output of more than 10000 terms: count_terms(limit) is the
// number of terms the output holds, counted no further than limit (null for
// an output that is no list of terms). Other runs, and the null function,
// print without asking. May collect.
bool may_print(Interpreter& in, const GBdd& f, const std::function<long(long limit)>& count_terms);

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
