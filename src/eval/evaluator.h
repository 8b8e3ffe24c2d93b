#pragma once
// The function an expression tree denotes.

#include "eval/exp_node.h"
#include "gbdd/gbdd.h"

class IdentTable;

// Looks names up in the identifier table and declares unknown operands as new
// arguments there; any temporary binding of a "let" or a user-function call is
// undone before it returns. Error messages go to standard output, and the
// statement then yields the null function. The tree stays the caller's.
// May collect.
GBdd evaluate(IdentTable& idents, const ExpNode* node);
