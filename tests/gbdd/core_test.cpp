#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using Core = GBddTest;

TEST_F(Core, EqualTablesGiveEqualEdgesAndDifferentTablesDifferentEdges) {
  std::vector<GBdd> fs = all_functions(3);
  for (Table t = 0; t < fs.size(); t++) {
    EXPECT_EQ(to_table(fs[t], 3), t);
    for (Table u = 0; u < t; u++)
      EXPECT_NE(fs[t], fs[u]) << t << " " << u;
  }
}

TEST_F(Core, BinaryOperatorsAgreeWithTruthTablesOnAllPairs) {
  for (int n : {2, 3}) {
    std::vector<GBdd> fs = all_functions(n);
    Table mask = table_mask(n);
    for (Table a = 0; a <= mask; a++) {
      EXPECT_EQ(!fs[a], fs[~a & mask]) << a;
      for (Table b = 0; b <= mask; b++) {
        ASSERT_EQ(and_(fs[a], fs[b]), fs[a & b]) << n << ": " << a << " and " << b;
        ASSERT_EQ(or_(fs[a], fs[b]), fs[a | b]) << n << ": " << a << " or " << b;
        ASSERT_EQ(GBdd(rec_xor(fs[a].edge, fs[b].edge)), fs[a ^ b])
            << n << ": " << a << " xor " << b;
      }
    }
  }
  EXPECT_EQ(check_store(), "");
}

TEST_F(Core, IteAgreesWithTruthTablesOnAllTriplesOverTwoVariables) {
  std::vector<GBdd> fs = all_functions(2);
  for (Table c = 0; c < 16; c++)
    for (Table f = 0; f < 16; f++)
      for (Table g = 0; g < 16; g++)
        ASSERT_EQ(ite(fs[c], fs[f], fs[g]), fs[(c & f) | (~c & g & 15)])
            << c << " ? " << f << " : " << g;
}

TEST_F(Core, OperatorsAgreeWithTruthTablesOnRandomFunctions) {
  std::mt19937_64 random(20240611);
  for (int n : {4, 5, 6}) {
    Table mask = table_mask(n);
    for (int round = 0; round < 60; round++) {
      Table a = random() & mask, b = random() & mask, c = random() & mask;
      GBdd fa = from_table(a, n), fb = from_table(b, n), fc = from_table(c, n);
      ASSERT_EQ(to_table(and_(fa, fb), n), a & b) << a << " " << b;
      ASSERT_EQ(to_table(or_(fa, fb), n), a | b) << a << " " << b;
      ASSERT_EQ(to_table(GBdd(rec_xor(fa.edge, fb.edge)), n), a ^ b) << a << " " << b;
      ASSERT_EQ(to_table(ite(fa, fb, fc), n), (a & b) | (~a & c & mask)) << a << b << c;
      int v = round % n;
      ASSERT_EQ(to_table(smooth(fa, v), n), exist_table(a, v, n)) << a << " " << v;
    }
  }
}

TEST_F(Core, IteWithValueLeavesSelectsLeaves) {
  GBdd one = GBdd::leaf(0x100), two = GBdd::leaf(0x200);
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2);
  GBdd f = ite(x1, one, ite(x2, two, one));
  EXPECT_FALSE(f.is_boolean());
  EXPECT_EQ(f.high(), one);
  EXPECT_EQ(f.low(), ite(x2, two, one));
  EXPECT_EQ(ite(x1, f, f), f);
}

TEST_F(Core, TerminalCasesReturnOperandsUnchanged) {
  GBdd x = from_table(0x6c, 3);
  EXPECT_EQ(and_(x, !x), GBdd::FALSE_());
  EXPECT_EQ(GBdd(rec_xor(x.edge, x.edge)), GBdd::FALSE_());
  EXPECT_EQ(GBdd(rec_xor(x.edge, (!x).edge)), GBdd::TRUE_());
  EXPECT_EQ(or_(GBdd::FALSE_(), x).edge, x.edge);
  EXPECT_EQ(ite(x, GBdd::TRUE_(), GBdd::FALSE_()), x);
  EXPECT_EQ(ite(x, GBdd::FALSE_(), GBdd::TRUE_()), !x);
  EXPECT_EQ(ite(GBdd(), x, x), x); // f = g: the condition is not looked at
}

TEST_F(Core, CommutedCallsHitTheMemo) {
  GBdd a = from_table(0x5a3c, 4), b = from_table(0x0ff0, 4);
  GBdd r = and_(a, b);
  long before = allocation_count();
  EXPECT_EQ(and_(b, a), r);
  EXPECT_EQ(cache_get(std::min(a.edge, b.edge), std::max(a.edge, b.edge), OP_AND), r.edge);
  EXPECT_EQ(allocation_count(), before);
}

TEST_F(Core, SmoothKeepsItsKeyForTheSameVariableOnly) {
  GBdd f = from_table(0x1234, 4);
  GBdd r = smooth(f, 1);
  std::uint32_t key = smooth_key;
  EXPECT_EQ(cache_get(f.edge, key, OP_SMOOTH), r.edge);
  EXPECT_EQ(smooth(f, 1), r);
  EXPECT_EQ(smooth_key, key);
  smooth(f, 2);
  EXPECT_NE(smooth_key, key);
  std::uint32_t second = smooth_key;
  EXPECT_EQ(smooth(f, 1), r);
  EXPECT_NE(smooth_key, second);
  EXPECT_NE(smooth_key, key);
}

TEST_F(Core, OperatorsRejectOperandsThatAreNotPurelyBoolean) {
  ErrorRecorder recorder;
  GBdd x = GBdd::variable(0), v = GBdd::leaf(0x300), null;
  struct Case {
    std::function<GBdd()> call;
    const char* message;
  } cases[] = {
      {[&] { return and_(x, null); }, "GBdd and:: operands must be purely boolean gbdds"},
      {[&] { return and_(v, x); }, "GBdd and:: operands must be purely boolean gbdds"},
      {[&] { return or_(null, x); }, "GBdd or:: operands must be purely boolean gbdds"},
      {[&] { return !v; }, "GBdd operator!:: operand must be purely boolean gbdd"},
      {[&] { return smooth(v, 0); }, "GBdd smooth:: called on not boolean gbdd"},
      {[&] { return ite(v, x, !x); }, "first operand of `ite' must be purely boolean"},
      {[&] { return ite(null, x, !x); }, "first operand of `ite' must be purely boolean"},
  };
  for (const Case& c : cases) {
    GBdd r;
    std::string err = CAPTURE_STDERR(r = c.call());
    EXPECT_EQ(err, std::string("Internal Error :\n") + c.message + "\n");
    EXPECT_EQ(r, GBdd::NULL_()) << c.message;
  }
  EXPECT_EQ(ErrorRecorder::calls, 7);
}

TEST_F(Core, DefaultHandlerEndsTheProgram) {
  EXPECT_EXIT(and_(GBdd(), GBdd::TRUE_()), testing::ExitedWithCode(1), "GBdd and::");
}

TEST_F(Core, DeepChainsStayWithinTheStack) {
  // 20000 variables, each operation recursing down the whole chain.
  GBdd conj = GBdd::TRUE_();
  GBdd parity = GBdd::FALSE_();
  for (int k = 19999; k >= 0; k--) {
    conj = and_(GBdd::variable(k), conj);
    parity = ite(GBdd::variable(k), !parity, parity);
  }
  GBdd both = and_(conj, parity); // every variable true: parity of 20000 ones is false
  EXPECT_EQ(both, GBdd::FALSE_());
  EXPECT_EQ(smooth(conj, 19999), smooth(conj, 19999));
  EXPECT_EQ(smooth(parity, 19999), GBdd::TRUE_());
}
