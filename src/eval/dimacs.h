#pragma once
// Formulas in conjunctive normal form read from DIMACS CNF files.

#include "eval/read_error.h"

#include <istream>
#include <vector>

struct CnfFormula {
  int var_count = 0;
  std::vector<std::vector<int>> clauses; // literals: k for x_k, -k for its negation
};

// Reads comments ("c" lines), the "p cnf V C" header and C clauses, each ended
// by 0, across any line breaks; a "%" line ends the data. True on success;
// otherwise false with the first fault and its line in error (a bad header, a
// literal beyond V, a clause count other than C, a missing final 0).
bool read_dimacs(std::istream& text, CnfFormula& formula, ReadError& error);
