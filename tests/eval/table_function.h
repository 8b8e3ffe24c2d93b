#pragma once
// Functions of up to 8 variables built from truth tables: bit i of the table is
// the value under the assignment whose bit k gives variable k.

#include "gbdd/gbdd.h"

#include <bitset>
#include <random>

using Table = std::bitset<256>;

// The function of the table over variables var to n - 1, the lower variables
// fixed by `offset` (the table index of the assignment so far).
inline GBdd from_table(const Table& t, int n, int var = 0, int offset = 0) {
  if (var == n) return t[offset] ? GBdd::TRUE_() : GBdd::FALSE_();
  GBdd low = from_table(t, n, var + 1, offset);
  GBdd high = from_table(t, n, var + 1, offset | 1 << var);
  return ite_var(var, high, low);
}

inline Table random_table(std::mt19937& rng, int n) {
  Table t;
  for (int i = 0; i < (1 << n); i++)
    t[i] = rng() & 1;
  return t;
}
