#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

using Quantify = GBddTest;

TEST_F(Quantify, AllFormsAgreeWithTruthTables) {
  std::mt19937_64 random(17);
  for (int n : {2, 3, 5, 6}) {
    Table mask = table_mask(n);
    for (int round = 0; round < 40; round++) {
      Table f = random() & mask;
      GBdd ff = from_table(f, n);
      unsigned set = static_cast<unsigned>(random()) & ((1u << n) - 1);
      GBdd cube = GBdd::TRUE_();
      Table all = f, any = f;
      for (int k = 0; k < n; k++)
        if ((set >> k) & 1) {
          cube = and_(cube, GBdd::variable(k));
          all = forall_table(all, k, n);
          any = exist_table(any, k, n);
        }
      ASSERT_EQ(to_table(forall(cube, ff), n), all) << f << " over " << set;
      ASSERT_EQ(to_table(exist(cube, ff), n), any) << f << " over " << set;
      int v = round % n;
      ASSERT_EQ(to_table(forall(v, ff), n), forall_table(f, v, n));
      ASSERT_EQ(to_table(exist(v, ff), n), exist_table(f, v, n));
      ASSERT_EQ(smooth(ff, v), exist(v, ff));
      Table all_below = f, any_below = f;
      for (int k = v; k < n; k++) {
        all_below = forall_table(all_below, k, n);
        any_below = exist_table(any_below, k, n);
      }
      ASSERT_EQ(to_table(forall_x2max(v, ff), n), all_below) << f << " from " << v;
      ASSERT_EQ(to_table(exist_x2max(v, ff), n), any_below) << f << " from " << v;
    }
  }
}

TEST_F(Quantify, SmallCases) {
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2), f = from_table(0xb4, 3);
  GBdd t = GBdd::TRUE_(), ff = GBdd::FALSE_();
  EXPECT_EQ(forall(t, f), f);
  EXPECT_EQ(exist(t, f), f);
  EXPECT_EQ(forall(x1, or_(x1, x2)), x2);
  EXPECT_EQ(exist(x1, and_(x1, x2)), x2);
  EXPECT_EQ(exist(and_(x1, x2), and_(x1, x2)), t);
  EXPECT_EQ(forall(and_(x1, x2), or_(x1, x2)), ff);
  EXPECT_EQ(exist(GBdd::variable(9), f), f);
  EXPECT_EQ(forall(9, f), f);
  EXPECT_EQ(exist_x2max(9, f), f);
  EXPECT_EQ(forall_x2max(0, f), ff);
  EXPECT_EQ(forall_x2max(0, t), t);
  EXPECT_EQ(exist_x2max(0, f), t);
  EXPECT_EQ(exist_x2max(0, ff), ff);
}

TEST_F(Quantify, SetIsTheChainOfHighCofactorsWhicheverLeafEndsIt) {
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2), x3 = GBdd::variable(3);
  GBdd f = or_(and_(x1, x2), x3);
  // !x1: its high cofactor is false at once, so the set is {x1}.
  EXPECT_EQ(exist(!x1, f), exist(x1, f));
  EXPECT_EQ(forall(!x1, f), forall(x1, f));
  // x1 and not x2: the chain x1, x2 ends in false; the set is {x1, x2}.
  EXPECT_EQ(exist(and_(x1, !x2), f), exist(and_(x1, x2), f));
  // Constant and null sets quantify nothing.
  for (const GBdd& set : {GBdd::TRUE_(), GBdd::FALSE_(), GBdd()}) {
    EXPECT_EQ(exist(set, f), f);
    EXPECT_EQ(forall(set, f), f);
  }
}

TEST_F(Quantify, SharedDiagramsAreQuantifiedOncePerNode) {
  // 2^79 paths reach the variable quantified.
  GBdd p = parity(0, 80);
  EXPECT_EQ(exist(79, p), GBdd::TRUE_());
  EXPECT_EQ(forall(79, p), GBdd::FALSE_());
  EXPECT_EQ(exist(GBdd::variable(79), p), GBdd::TRUE_());
  EXPECT_EQ(forall(and_(GBdd::variable(78), GBdd::variable(79)), p), GBdd::FALSE_());
  EXPECT_EQ(forall_x2max(79, p), GBdd::FALSE_());
  EXPECT_EQ(exist_x2max(79, p), GBdd::TRUE_());
  GBdd q = and_(p, GBdd::variable(80));
  EXPECT_EQ(exist(80, q), p);
  EXPECT_EQ(forall_x2max(80, q), GBdd::FALSE_());
}

TEST_F(Quantify, FunctionOperandMustBePurelyBoolean) {
  ErrorRecorder recorder;
  GBdd x = GBdd::variable(0), v = GBdd::leaf(0x300);
  struct Case {
    std::function<GBdd()> call;
    const char* message;
  } cases[] = {
      {[&] { return forall(x, v); }, "GBdd forall:: 2d operand must be purely boolean gbdd"},
      {[&] { return exist(x, GBdd()); }, "GBdd exist:: 2d operand must be purely boolean gbdd"},
      {[&] { return forall(0, v); }, "GBdd forall:: 2d operand must be purely boolean gbdd"},
      {[&] { return exist(0, v); }, "GBdd exist:: 2d operand must be purely boolean gbdd"},
      {[&] { return forall_x2max(0, v); },
       "GBdd forall_x2max:: 2d operand must be purely boolean gbdd"},
      {[&] { return exist_x2max(0, v); },
       "GBdd exist_x2max:: 2d operand must be purely boolean gbdd"},
  };
  for (const Case& c : cases) {
    GBdd r = x;
    std::string err = CAPTURE_STDERR(r = c.call());
    EXPECT_EQ(err, std::string("Internal Error :\n") + c.message + "\n");
    EXPECT_EQ(r, GBdd::NULL_()) << c.message;
  }
}
