#include "eval/sat_count.h"
#include "table_function.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(SatCount, CountsEqualTheTablesOnRandomFunctions) {
  std::mt19937 rng(15);
  for (int n = 0; n <= 8; n++) {
    for (int trial = 0; trial < 20; trial++) {
      Table t = random_table(rng, n);
      GBdd f = from_table(t, n);
      // Counted over two more variables than the function has: each doubles.
      EXPECT_EQ(sat_count(f, n + 2).to_string(), std::to_string(t.count() * 4))
          << "n=" << n << " table=" << t.to_string();
    }
  }
}

TEST(SatCount, CountsOverManyVariables) {
  EXPECT_EQ(sat_count(GBdd::TRUE_(), 100).to_string(), "1267650600228229401496703205376");
  EXPECT_EQ(sat_count(GBdd::FALSE_(), 100).to_string(), "0");
  GBdd f = and_(GBdd::variable(3), !GBdd::variable(99)); // a quarter of 2^100
  EXPECT_EQ(sat_count(f, 100).to_string(), "316912650057057350374175801344");
}

// The path is a satisfying product, and every positive literal on it was taken
// because the low branch at that point leads to false.
TEST(SatCount, PathTakesLowBranchesUnlessFalse) {
  std::mt19937 rng(7);
  for (int n = 1; n <= 6; n++) {
    for (int trial = 0; trial < 30; trial++) {
      Table t = random_table(rng, n);
      GBdd f = from_table(t, n);
      std::vector<SatLiteral> path = sat_path(f);
      if (f == GBdd::FALSE_() || f == GBdd::TRUE_()) {
        EXPECT_TRUE(path.empty());
        continue;
      }
      GBdd prefix = GBdd::TRUE_();
      int last = -1;
      for (const SatLiteral& l : path) {
        EXPECT_LT(last, l.index);
        last = l.index;
        GBdd v = GBdd::variable(l.index);
        if (!l.negative) {
          EXPECT_TRUE(is_false(and_(and_(prefix, !v), f))) << t.to_string();
        }
        prefix = and_(prefix, l.negative ? !v : v);
      }
      EXPECT_TRUE(test_impl(prefix, f)) << t.to_string();
    }
  }
}

} // namespace
