#pragma once
// The function an expression tree denotes.

#include "eval/exp_node.h"
#include "gbdd/gbdd.h"

class Interpreter;

// May declare new arguments and print messages; any temporary binding of a
// "let" or a user-function call is undone before it returns. The tree stays
// the caller's.
GBdd evaluate(Interpreter& in, const ExpNode* node);
