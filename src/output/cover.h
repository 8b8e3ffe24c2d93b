#pragma once
// Printing a prime irredundant cover in the calculator's normal forms.

#include "eval/isop.h"

#include <cstdio>

// Writes cover as a sum of products in the dnf notation (a.-b + c), "0" for the
// empty cover and "1" for the empty product. As clauses, cover is taken as a
// cover of the complement and written as the product of the negated products
// in the cnf notation ((-a+b) . (-c)), "1" for the empty cover and "0" for the
// empty product; then a newline. names is indexed by variable. An interrupt
// stops it between terms (the cut line still gets its newline) by throwing
// GBddAbort.
void print_cover(FILE* out, const IsopCover& cover, bool as_clauses, const char* const* names);
