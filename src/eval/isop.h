#pragma once
// Prime and irredundant covers of a function, built on its diagram.

#include "gbdd/gbdd.h"

#include <climits>
#include <functional>
#include <vector>

// A cover as a shared structure, so that its size follows the construction and
// not the number of its terms: a part is empty, the single empty product, or a
// variable with the parts that hold it negated, positive, and not at all.
class IsopCover {
public:
  static constexpr int PART_EMPTY = 0;
  static constexpr int PART_ONE = 1;

  // The products of the cover one after the other: for each, its literals in
  // variable order (2 * index, plus 1 for a negated literal). Terms with a
  // part's variable positive come first, then negated, then without it.
  void for_each_term(const std::function<void(const std::vector<int>&)>& visit) const;
  // The number of products, counted no further than limit (a cover of a few
  // parts can hold more products than a long holds).
  long term_count(long limit = LONG_MAX) const;

  int root = PART_EMPTY;

  struct Part {
    int index;
    int negative;
    int positive;
    int common;
  };
  std::vector<Part> parts; // part k + 2 is parts[k]

private:
  void rec_terms(int part, std::vector<int>& literals,
                 const std::function<void(const std::vector<int>&)>& visit) const;
};

// A prime and irredundant cover of the purely boolean f (the Minato-Morreale
// construction on the interval [f, f]), memoised on pairs of edges. May collect.
IsopCover isop(const GBdd& f);

// The same construction between a lower bound and an upper bound (lower implies
// upper); the function the cover denotes lies between them. May collect.
IsopCover isop(const GBdd& lower, const GBdd& upper, GBdd& denoted);
