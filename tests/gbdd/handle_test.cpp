#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using Handle = GBddTest;

TEST_F(Handle, DefaultHandleIsTheNullFunction) {
  GBdd f;
  EXPECT_EQ(f.edge, 0u);
  EXPECT_FALSE(f.is_boolean());
  EXPECT_EQ(f, GBdd::NULL_());
}

TEST_F(Handle, NewHandlesGoRightAfterTheHeadAndKeepTheListConsistent) {
  auto a = std::make_unique<GBdd>(GBdd::variable(1));
  GBdd b = *a;
  EXPECT_EQ(alive_head.next, &b);
  EXPECT_EQ(b.next, a.get());
  std::vector<GBdd> many(5, b);
  GBdd* before = b.next;
  b = GBdd::TRUE_(); // assignment keeps the handle's place
  EXPECT_EQ(b.next, before);
  a.reset();
  many.erase(many.begin() + 2);
  many.push_back(GBdd::FALSE_());
  std::string err = CAPTURE_STDERR(check_alive_list(nullptr));
  EXPECT_EQ(err, "");
}

TEST_F(Handle, ConstantsDifferOnlyInTheComplementBit) {
  EXPECT_EQ(GBdd::TRUE_().edge ^ GBdd::FALSE_().edge, COMPLEMENT_BIT);
  EXPECT_EQ(!GBdd::TRUE_(), GBdd::FALSE_());
  EXPECT_EQ(!GBdd::FALSE_(), GBdd::TRUE_());
  EXPECT_TRUE(GBdd::TRUE_().is_leaf());
  EXPECT_EQ(GBdd::TRUE_().top_index(), LEAF_INDEX);
  EXPECT_EQ(GBdd::TRUE_().leaf_value(), memory.true_value);
  EXPECT_EQ(GBdd::FALSE_().leaf_value(), memory.false_value);
  EXPECT_EQ(GBdd::variable(3).leaf_value(), 0u);
}

TEST_F(Handle, VariableAndNegatedVariableShareOneNode) {
  GBdd x = GBdd::variable(3);
  GBdd nx = GBdd::negated_variable(3);
  EXPECT_EQ(x.edge ^ nx.edge, COMPLEMENT_BIT);
  EXPECT_EQ(x.top_index(), 3);
  EXPECT_EQ(x.high(), GBdd::TRUE_());
  EXPECT_EQ(x.low(), GBdd::FALSE_());
  EXPECT_EQ(nx.high(), GBdd::FALSE_());
  EXPECT_EQ(nx.low(), GBdd::TRUE_());
}

TEST_F(Handle, LeavesAreSharedAndNotBoolean) {
  GBdd a = GBdd::leaf(0x1000);
  GBdd b = GBdd::leaf(0x1000);
  EXPECT_EQ(a, b);
  EXPECT_FALSE(a.is_boolean());
  EXPECT_TRUE(a.is_leaf());
  EXPECT_EQ(a.leaf_value(), 0x1000u);
  EXPECT_NE(GBdd::leaf(0x1001), a);
  EXPECT_EQ(GBdd::leaf(memory.true_value), GBdd::TRUE_());
  EXPECT_EQ(GBdd::leaf(memory.false_value), GBdd::FALSE_());
}

TEST_F(Handle, DependsOnFindsOnlyVariablesOfTheDiagram) {
  EXPECT_FALSE(GBdd::TRUE_().depends_on(0));
  GBdd x3 = GBdd::variable(3);
  EXPECT_TRUE(x3.depends_on(3));
  EXPECT_FALSE(x3.depends_on(2));
  EXPECT_FALSE(x3.depends_on(4));
  for (Table t : {Table(0x6a), Table(0x80), Table(0x0f), Table(0x3c)}) {
    GBdd f = from_table(t, 3);
    for (int k = 0; k < 3; k++)
      EXPECT_EQ(f.depends_on(k), table_depends_on(t, k, 3)) << t << k;
    EXPECT_FALSE(f.depends_on(3));
  }
  // Shared nodes are searched once: exponential per path otherwise.
  GBdd parity = GBdd::FALSE_();
  for (int k = 199; k >= 0; k--)
    parity = ite(GBdd::variable(k), !parity, parity);
  EXPECT_FALSE(parity.depends_on(200));
  EXPECT_TRUE(parity.depends_on(199));
}

namespace {
int all_false(int) {
  return 0;
}
int only_two(int i) {
  return i == 2 ? 7 : 0;
}
} // namespace

TEST_F(Handle, EvalFollowsTheAssignment) {
  GBdd f = and_(GBdd::negated_variable(1), GBdd::negated_variable(4));
  EXPECT_EQ(f.eval(all_false), memory.true_value);
  GBdd g = GBdd::variable(2);
  EXPECT_EQ(g.eval(only_two), memory.true_value);
  GBdd v = ite(GBdd::variable(2), GBdd::leaf(0x40), GBdd::leaf(0x80));
  EXPECT_EQ(v.eval(only_two), 0x40u);
  EXPECT_EQ(v.eval(all_false), 0x80u);
}

TEST_F(Handle, NullHandleQueriesAreSafe) {
  GBdd n;
  EXPECT_TRUE(n.is_leaf());
  EXPECT_EQ(n.top_index(), LEAF_INDEX);
  EXPECT_EQ(n.leaf_value(), 0u);
  EXPECT_EQ(n.low(), GBdd::NULL_());
  EXPECT_EQ(n.high(), GBdd::NULL_());
  EXPECT_FALSE(n.depends_on(0));
}

TEST(Report, MessagesHaveTheirHeadersAndTheHandlerDecidesWhatFollows) {
  {
    ErrorRecorder recorder;
    EXPECT_EQ(CAPTURE_STDERR(internal_error("bad %d", 4)), "Internal Error :\nbad 4\n");
    EXPECT_EQ(ErrorRecorder::calls, 1);
  }
  EXPECT_EQ(CAPTURE_STDERR(warning("careful %s", "now")), "Gbdd Warning :\ncareful now\n");
  EXPECT_EXIT(internal_error("GBdd and:: x"), testing::ExitedWithCode(1),
              "^Internal Error :\nGBdd and:: x\n$");
}

TEST(Report, VerboseMessagesAppearOnlyWhenVerbose) {
  EXPECT_EQ(set_verbose(0), 0);
  EXPECT_EQ(CAPTURE_STDERR(EXPECT_EQ(verbose_message("a%d", 1), 0)), "");
  set_verbose(3);
  EXPECT_EQ(CAPTURE_STDERR(EXPECT_EQ(verbose_message("a%d", 1), 3)), "a1");
  EXPECT_EQ(set_verbose(0), 3);
}

TEST(Report, CheckAliveListListsEveryHandleAndFlagsTheReference) {
  GBdd a;
  set_verbose(1);
  std::string out = CAPTURE_STDERR(check_alive_list(&a));
  set_verbose(0);
  EXPECT_EQ(out.rfind("**********************\n* Alives GBdd refs : *\n"
                      "**********************\n",
                      0),
            0u);
  char line[128];
  std::snprintf(line, sizeof line, "ADDRESS: 0x%lx (next: 0x%lx pred: 0x%lx)\n",
                reinterpret_cast<unsigned long>(&a), reinterpret_cast<unsigned long>(a.next),
                reinterpret_cast<unsigned long>(a.pred));
  EXPECT_NE(out.find(line), std::string::npos) << out;
  std::snprintf(line, sizeof line, "Gbdd Warning :\nGBdd reference 0x%lx already in alive list\n",
                reinterpret_cast<unsigned long>(&a));
  EXPECT_NE(out.find(line), std::string::npos);
}

TEST(Report, BrokenAliveListIsReported) {
  GBdd a;
  GBdd b;
  GBdd* saved = a.pred;
  a.pred = &a; // a's predecessor no longer leads back to it
  {
    ErrorRecorder recorder;
    std::string out = CAPTURE_STDERR(check_alive_list(nullptr));
    EXPECT_EQ(out, "Internal Error :\ngbdd::bad alive list\n");
    EXPECT_EQ(ErrorRecorder::calls, 1);
  }
  a.pred = saved;
}
