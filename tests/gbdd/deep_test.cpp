#include "gbdd/gbdd.h"
#include "gbdd_test_util.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr int DEPTH = 20000; // variables a calculator run may declare

int shift_back(int i) {
  return i - 1;
}

} // namespace

using Deep = GBddTest;

TEST_F(Deep, EveryOperationRecursesThroughTwentyThousandVariables) {
  // conj runs down the high edges, disj down the low ones, parity down both.
  GBdd conj = GBdd::TRUE_(), disj = GBdd::FALSE_(), parity = GBdd::FALSE_();
  for (int k = DEPTH - 1; k >= 0; k--) {
    GBdd x = GBdd::variable(k);
    conj = and_(x, conj);
    disj = or_(x, disj);
    parity = ite(x, !parity, parity);
  }
  GBdd last = GBdd::variable(DEPTH - 1);
  EXPECT_EQ(and_(conj, parity), GBdd::FALSE_());
  EXPECT_EQ(test_impl(conj, disj), 1);
  EXPECT_EQ(test_and(parity, !disj), 0);
  EXPECT_EQ(exist(DEPTH - 1, parity), GBdd::TRUE_());
  EXPECT_EQ(forall(last, disj), forall(DEPTH - 1, disj));
  EXPECT_EQ(exist_x2max(1, conj), GBdd::variable(0));
  EXPECT_EQ(restrict(conj, last), constrain(conj, last));
  EXPECT_EQ(low_cofactor(conj, DEPTH - 1), GBdd::FALSE_());
  EXPECT_EQ(support(parity), disj);
  EXPECT_EQ(support_cube(disj), conj);
  EXPECT_EQ(support_max(parity), DEPTH - 1);
  EXPECT_EQ(size(parity), DEPTH);
  EXPECT_EQ(unsigned_size(parity), 2 * DEPTH - 1);
  EXPECT_EQ(tree_size(conj).to_string(), std::to_string(DEPTH));
  EXPECT_EQ(rename(shift(conj, 1), shift_back), conj);
  garbage_collect();
  EXPECT_EQ(live_node_count(), 3 * DEPTH - 2); // the three share only x_(DEPTH-1)
  FILE* sink = std::fopen("/dev/null", "w");
  print_sop(conj, sink, default_var_name);
  print_sop(disj, sink, default_var_name);
  std::fclose(sink);
}
