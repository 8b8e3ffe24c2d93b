#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

int only_three(int i) {
  return i == 3 ? 5 : 0;
}
int all_true(int) {
  return 1;
}

} // namespace

using Predicates = GBddTest;

TEST_F(Predicates, TestsAndOperatorsAgreeWithTruthTablesOnAllPairs) {
  std::vector<GBdd> fs = all_functions(3);
  for (Table a = 0; a < 256; a++)
    for (Table b = 0; b < 256; b++) {
      ASSERT_EQ(test_impl(fs[a], fs[b]), (a & ~b) == 0 ? 1 : 0) << a << " => " << b;
      ASSERT_EQ(test_and(fs[a], fs[b]), (a & b) != 0 ? 1 : 0) << a << " cuts " << b;
      ASSERT_EQ(impl(fs[a], fs[b]), fs[(~a | b) & 255]) << a << " impl " << b;
      ASSERT_EQ(xor_(fs[a], fs[b]), fs[a ^ b]) << a << " xor " << b;
    }
}

TEST_F(Predicates, TerminalCasesOfTheTests) {
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2), f = from_table(0x4e, 3);
  GBdd t = GBdd::TRUE_(), ff = GBdd::FALSE_();
  EXPECT_EQ(test_impl(ff, f), 1);
  EXPECT_EQ(test_impl(f, t), 1);
  EXPECT_EQ(test_impl(t, ff), 0);
  EXPECT_EQ(test_impl(and_(x1, x2), x1), 1);
  EXPECT_EQ(test_impl(x1, and_(x1, x2)), 0);
  EXPECT_EQ(test_and(f, !f), 0);
  EXPECT_EQ(test_and(f, f), 1);
  EXPECT_EQ(test_and(x1, x2), 1);
  EXPECT_EQ(test_and(and_(x1, x2), !x2), 0);
  EXPECT_EQ(impl(t, f), f);
  EXPECT_EQ(impl(f, ff), !f);
  EXPECT_EQ(xor_(f, !f), t);
}

TEST_F(Predicates, TestsOnWideSharedDiagramsAreLinear) {
  // Both operands share every node with both polarities: 2^80 paths.
  GBdd p = parity(0, 80);
  GBdd q = or_(p, GBdd::variable(80));
  EXPECT_EQ(test_impl(p, q), 1);
  EXPECT_EQ(test_impl(q, p), 0);
  EXPECT_EQ(test_and(p, and_(!p, GBdd::variable(80))), 0);
  EXPECT_EQ(test_and(p, !q), 0);
}

TEST_F(Predicates, EvalBoolNormalisesTheCallbacksAnswer) {
  EXPECT_EQ(eval_bool(GBdd::variable(3), only_three), 1);
  EXPECT_EQ(eval_bool(GBdd::variable(2), only_three), 0);
  EXPECT_EQ(eval_bool(GBdd::TRUE_(), only_three), 1);
  EXPECT_EQ(eval_bool(parity(0, 5), all_true), 1);
}

TEST_F(Predicates, OneWordPredicatesAndOrderings) {
  GBdd f = GBdd::variable(5), g = GBdd::variable(6);
  EXPECT_TRUE(is_null(GBdd()));
  EXPECT_TRUE(is_true(GBdd::TRUE_()));
  EXPECT_TRUE(is_false(GBdd::FALSE_()));
  EXPECT_FALSE(is_true(f));
  EXPECT_EQ(cmp(f, f), 0);
  EXPECT_NE(cmp(f, g), 0);
  EXPECT_EQ(cmp(f, g), -cmp(g, f));
  EXPECT_EQ(cmp(f, !f), -1); // the complement bit is the lowest one
  EXPECT_GE(hash(f), 0);
  for (unsigned n : {2u, 3u, 7u, 2557u})
    EXPECT_NE(hash_mod(GBdd::TRUE_(), n), hash_mod(GBdd::FALSE_(), n)) << n;
  GBdd leaf = GBdd::leaf(0x4000); // an edge without flags is shifted first
  EXPECT_EQ(hash_mod(leaf, 1000), (leaf.edge >> 2) % 1000);
  EXPECT_EQ(hash_mod(f, 0), 0u);
}

TEST_F(Predicates, OperandsThatAreNotPurelyBooleanAreRejected) {
  ErrorRecorder recorder;
  GBdd x = GBdd::variable(0), v = GBdd::leaf(0x300), null;
  struct Case {
    std::function<bool()> call; // true when the failure value came back
    const char* message;
  } cases[] = {
      {[&] { return test_impl(x, v) == 0; },
       "GBdd test_impl:: operands must be purely boolean gbdds"},
      {[&] { return test_and(null, x) == 0; },
       "GBdd test_and:: operands must be purely boolean gbdds"},
      {[&] { return eval_bool(v, only_three) == 0; },
       "GBdd eval_bool:: operand must be purely boolean gbdd"},
      {[&] { return impl(v, x) == GBdd::NULL_(); },
       "GBdd impl:: operands must be purely boolean gbdds"},
      {[&] { return xor_(x, null) == GBdd::NULL_(); },
       "GBdd xor:: operands must be purely boolean gbdds"},
  };
  for (const Case& c : cases) {
    bool failed = false;
    std::string err = CAPTURE_STDERR(failed = c.call());
    EXPECT_EQ(err, std::string("Internal Error :\n") + c.message + "\n");
    EXPECT_TRUE(failed) << c.message;
  }
}
