#pragma once
// The printed forms of a computed function: disjunctive and conjunctive normal
// form and the positive-polarity Reed-Muller form, with the arguments' names.
// Printing borrows nothing: what it needs comes in as arguments.

#include "gbdd/gbdd.h"

#include <cstdio>
#include <vector>

// ORDER: the values are part of the design.
enum PrintMethod { PRINT_DNF = 0, PRINT_CNF = 1, PRINT_REED = 2 };

// Writes f in the method and a newline to out, or "null" and a newline for the
// null function; names[n] is the printed name of argument n. Holds one term at
// a time. An interrupt stops it between terms (the cut line still gets its
// newline) by throwing GBddAbort, as the package does where it makes nodes.
// May collect.
void print_result(FILE* out, const GBdd& f, PrintMethod method,
                  const std::vector<const char*>& names);
// The number of terms print_result would write for f in the method (a
// constant or null counts as one), counting no further than limit. May collect.
long count_terms(const GBdd& f, PrintMethod method, long limit);
