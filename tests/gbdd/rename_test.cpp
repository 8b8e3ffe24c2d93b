#include "gbdd/gbdd.h"
#include "gbdd_test_util.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

int calls;
int permutation[4];

int identity(int i) {
  return calls++, i;
}
int swap_one_two(int i) {
  return calls++, i == 1 ? 2 : i == 2 ? 1 : i;
}
int to_five(int) {
  return calls++, 5;
}
int permuted(int i) {
  return calls++, permutation[i];
}
int reversed(int i) {
  return calls++, 1000 - i;
}

} // namespace

using Rename = GBddTest;

TEST_F(Rename, IdentityAndShiftByZeroGiveTheSameEdge) {
  GBdd f = from_table(0x6b2d, 4);
  EXPECT_EQ(rename(f, identity).edge, f.edge);
  EXPECT_EQ(shift(f, 0).edge, f.edge);
}

TEST_F(Rename, SwapMergeAndShift) {
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2);
  EXPECT_EQ(rename(and_(x1, !x2), swap_one_two), and_(x2, !x1));
  EXPECT_EQ(rename(xor_(x1, x2), to_five), GBdd::FALSE_());
  EXPECT_EQ(shift(x1, 2), GBdd::variable(3));
  GBdd f = or_(x1, and_(x2, GBdd::variable(4)));
  EXPECT_EQ(shift(f, 3), or_(GBdd::variable(4), and_(GBdd::variable(5), GBdd::variable(7))));
  EXPECT_EQ(shift(f, 1), or_(x2, and_(GBdd::variable(3), GBdd::variable(5))));
  calls = 0;
  EXPECT_EQ(rename(GBdd::TRUE_(), reversed), GBdd::TRUE_());
  EXPECT_EQ(rename(GBdd::FALSE_(), reversed), GBdd::FALSE_());
  EXPECT_EQ(calls, 0);
}

TEST_F(Rename, PermutationsAgreeWithTruthTables) {
  std::mt19937_64 random(11);
  for (int round = 0; round < 40; round++) {
    Table t = random() & table_mask(4);
    for (int k = 0; k < 4; k++)
      permutation[k] = k;
    std::shuffle(permutation, permutation + 4, random);
    // Variable k of the result carries what variable p^-1(k) of f carried.
    Table expected = 0;
    for (int a = 0; a < 16; a++) {
      int source = 0;
      for (int k = 0; k < 4; k++)
        if ((a >> permutation[k]) & 1) source |= 1 << k;
      if ((t >> source) & 1) expected |= Table(1) << a;
    }
    GBdd f = from_table(t, 4);
    // The memo takes one callback for one mapping: another callback in between
    // makes the changed permutation count as a new mapping.
    rename(f, identity);
    ASSERT_EQ(to_table(rename(f, permuted), 4), expected) << t;
  }
}

TEST_F(Rename, CallbackRunsOncePerNodeWhateverThePolarities) {
  GBdd p = GBdd::FALSE_();
  for (int k = 59; k >= 0; k--)
    p = xor_(GBdd::variable(k), p); // 2^60 paths
  calls = 0;
  GBdd r = rename(p, reversed);
  EXPECT_EQ(calls, size(p));
  GBdd expected = GBdd::FALSE_();
  for (int k = 0; k < 60; k++)
    expected = xor_(GBdd::variable(1000 - k), expected);
  EXPECT_EQ(r, expected);
}

TEST_F(Rename, NegativeIndicesAreReported) {
  ErrorRecorder recorder;
  GBdd r = GBdd::TRUE_();
  EXPECT_EQ(CAPTURE_STDERR(r = shift(GBdd::variable(1), -2)),
            "Internal Error :\nGBdd::rec_shift : the shift produces negative index\n");
  EXPECT_EQ(r, GBdd::NULL_()); // and no node of index -1 was built
  GBdd two = and_(GBdd::variable(0), GBdd::variable(5));
  EXPECT_EQ(CAPTURE_STDERR(r = rename(two, [](int i) { return i == 5 ? -1 : i; })),
            "Internal Error :\nGBdd::rec_rename : the rename produces negative index\n");
  EXPECT_EQ(r, GBdd::NULL_());
  EXPECT_EQ(ErrorRecorder::calls, 2);
  EXPECT_EXIT(
      {
        set_error_handler(nullptr);
        rename(GBdd::variable(1), [](int) { return -1; });
      },
      testing::ExitedWithCode(1),
      "^Internal Error :\nGBdd::rec_rename : the rename produces negative index\n$");
}
