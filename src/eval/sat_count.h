#pragma once
// Counting and picking the satisfying assignments of a function.

#include "gbdd/gbdd.h"

#include <cstdint>
#include <string>
#include <vector>

// An exact unsigned count of any size: model counts outgrow every machine word
// as soon as a function has more than 64 variables.
class BigCount {
public:
  BigCount(std::uint64_t v = 0);
  BigCount& operator+=(const BigCount& o);
  BigCount& shift_left(int bits); // multiplies by 2^bits
  bool operator==(const BigCount& o) const { return limbs == o.limbs; }
  std::string to_string() const; // decimal

private:
  std::vector<std::uint32_t> limbs; // little-endian base 2^32, no leading zeros
};

// The number of assignments to the variables 0 to var_count - 1 that make the
// purely boolean f true. Every variable of f must be below var_count. Linear in
// the size of f; creates no node.
BigCount sat_count(const GBdd& f, int var_count);

// One literal of a satisfying assignment: variable `index`, true unless `negative`.
struct SatLiteral {
  int index;
  bool negative;
};

// One satisfying assignment of the purely boolean f, as the literals of the
// path from the root that takes the low branch wherever it does not lead to
// false; in variable order. Empty when f is true or false (tell them apart by f).
std::vector<SatLiteral> sat_path(const GBdd& f);
