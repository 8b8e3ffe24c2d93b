#pragma once
// Counting and picking the satisfying assignments of a function.

#include "gbdd/gbdd.h"

#include <string>
#include <vector>

// The number of assignments to the variables 0 to var_count - 1 that make the
// purely boolean f true. Every variable of f must be below var_count. Linear in
// the size of f; creates no node.
TreeCount sat_count(const GBdd& f, int var_count);

// One literal of a satisfying assignment: variable `index`, true unless `negative`.
struct SatLiteral {
  int index;
  bool negative;
};

// One satisfying assignment of the purely boolean f, as the literals of the
// path from the root that takes the low branch wherever it does not lead to
// false; in variable order. Empty when f is true or false (tell them apart by f).
std::vector<SatLiteral> sat_path(const GBdd& f);
