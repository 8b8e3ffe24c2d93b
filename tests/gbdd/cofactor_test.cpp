#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

using Cofactor = GBddTest;

TEST_F(Cofactor, ResultsAgreeWithFWhereTheCareSetHolds) {
  std::vector<GBdd> fs = all_functions(3);
  for (Table f = 0; f < 256; f++)
    for (Table c = 1; c < 256; c++) {
      Table r = to_table(restrict(fs[f], fs[c]), 3);
      Table k = to_table(constrain(fs[f], fs[c]), 3);
      Table td = to_table(constrain_td(fs[f], fs[c]), 3);
      ASSERT_EQ((r ^ f) & c, 0u) << "restrict " << f << " by " << c;
      ASSERT_EQ((k ^ f) & c, 0u) << "constrain " << f << " by " << c;
      ASSERT_EQ((td ^ f) & c, 0u) << "constrain_td " << f << " by " << c;
      for (int v = 0; v < 3; v++) {
        if (!table_depends_on(f, v, 3)) {
          ASSERT_FALSE(table_depends_on(r, v, 3)) << "restrict " << f << " by " << c;
        }
      }
    }
}

TEST_F(Cofactor, ConstrainIsAHomomorphismAndCubesGiveTheCofactor) {
  std::mt19937_64 random(31);
  const int n = 5;
  Table mask = table_mask(n);
  for (int round = 0; round < 60; round++) {
    Table f = random() & mask, g = random() & mask, c = random() & mask;
    if (c == 0) continue;
    GBdd ff = from_table(f, n), gg = from_table(g, n), cc = from_table(c, n);
    ASSERT_EQ(constrain(and_(ff, gg), cc), and_(constrain(ff, cc), constrain(gg, cc)));
    ASSERT_EQ(constrain(!ff, cc), !constrain(ff, cc));
    // A cube: both cofactors are the plain cofactor of f by its literals.
    int v = round % n, w = (round + 2) % n;
    GBdd cube = and_(GBdd::variable(v), GBdd::negated_variable(w));
    Table expected = low_table(high_table(f, v, n), w, n);
    ASSERT_EQ(to_table(restrict(ff, cube), n), expected);
    ASSERT_EQ(to_table(constrain(ff, cube), n), expected);
    ASSERT_EQ(to_table(low_cofactor(ff, v), n), low_table(f, v, n));
    ASSERT_EQ(to_table(high_cofactor(ff, v), n), high_table(f, v, n));
  }
}

TEST_F(Cofactor, TheThreeCofactorsDifferAsDesigned) {
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2), c = xor_(x1, x2);
  EXPECT_EQ(restrict(x2, c), x2); // x1 is quantified out of the care set
  EXPECT_EQ(constrain(x2, c), !x1);
  EXPECT_EQ(constrain_td(x2, c), x2);
  EXPECT_EQ(restrict(x1, x2), x1);
  GBdd f = from_table(0x9c, 3), t = GBdd::TRUE_();
  for (auto op : {restrict, constrain}) {
    EXPECT_EQ(op(f, t), f);
    EXPECT_EQ(op(f, f), t);
    EXPECT_EQ(op(!f, f), GBdd::FALSE_());
  }
}

TEST_F(Cofactor, ValueLeavesOfFAreKept) {
  GBdd one = GBdd::leaf(0x100), two = GBdd::leaf(0x200);
  GBdd f = ite(GBdd::variable(1), one, ite(GBdd::variable(2), two, one));
  EXPECT_EQ(restrict(f, GBdd::variable(1)), one);
  EXPECT_EQ(restrict(f, GBdd::negated_variable(1)), ite(GBdd::variable(2), two, one));
  EXPECT_EQ(constrain(f, and_(GBdd::negated_variable(1), GBdd::variable(2))), two);
  EXPECT_EQ(ite_var(3, one, two), ite(GBdd::variable(3), one, two));
}

TEST_F(Cofactor, ConstrainTdIsLinearOnSharedDiagrams) {
  // Every level offers two intervals, reached along 2^level paths.
  GBdd p = parity(0, 60);
  GBdd c = or_(p, GBdd::variable(60));
  GBdd g = constrain_td(p, c);
  EXPECT_EQ(test_impl(and_(p, c), g), 1);
  EXPECT_EQ(test_impl(g, or_(p, !c)), 1);
  GBdd q = parity(0, 70);
  EXPECT_EQ(low_cofactor(q, 69), parity(0, 69));
  EXPECT_EQ(high_cofactor(q, 69), !parity(0, 69));
}

TEST_F(Cofactor, ConstrainTdIsLinearOnDeepChains) {
  // Every level drops one variable and then tests an implication over the whole
  // chain below it: one walk per level would be quadratic in the depth. (Deep
  // enough to show it, shallow enough for the test's own stack.)
  constexpr int DEPTH = 4000;
  GBdd conj = GBdd::TRUE_(), disj = GBdd::FALSE_();
  for (int k = DEPTH - 1; k >= 0; k--) {
    conj = and_(GBdd::variable(k), conj);
    disj = or_(GBdd::variable(k), disj);
  }
  for (auto [f, c] : {std::pair{conj, disj}, std::pair{disj, conj}, std::pair{disj, !conj}}) {
    GBdd g = constrain_td(f, c);
    EXPECT_EQ(test_impl(and_(f, c), g), 1);
    EXPECT_EQ(test_impl(g, or_(f, !c)), 1);
  }
  EXPECT_EQ(constrain_td(disj, conj), GBdd::TRUE_());
}

TEST_F(Cofactor, BadCareSetsAreReported) {
  ErrorRecorder recorder;
  GBdd x = GBdd::variable(0), v = GBdd::leaf(0x300), f = GBdd::FALSE_();
  struct Case {
    std::function<GBdd()> call;
    const char* message;
  } cases[] = {
      {[&] { return restrict(x, v); }, "GBdd restrict:: 2d operand must be purely boolean gbdd"},
      {[&] { return restrict(x, f); }, "GBdd restrict:: can't restrict by false gbdd"},
      {[&] { return constrain(x, GBdd()); },
       "GBdd constrain:: 2d operand must be purely boolean gbdd"},
      {[&] { return constrain(x, f); }, "GBdd constrain:: can't constrain by false gbdd"},
      {[&] { return constrain_td(v, x); },
       "GBdd constrain_td:: operands must be purely boolean gbdd"},
  };
  for (const Case& c : cases) {
    GBdd r = x;
    std::string err = CAPTURE_STDERR(r = c.call());
    EXPECT_EQ(err, std::string("Internal Error :\n") + c.message + "\n");
    EXPECT_EQ(r, GBdd::NULL_()) << c.message;
  }
  GBdd r = x;
  EXPECT_EQ(CAPTURE_STDERR(r = constrain_td(x, f)), "");
  EXPECT_EQ(r, GBdd::NULL_());
}
