#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <utility>

namespace {

// Brute-force measures, by walking the diagram with ordinary sets.
void collect(Edge e, std::set<NodeId>& nodes, std::set<Edge>& edges) {
  if (is_leaf_edge(e) || !edges.insert(e).second) return;
  nodes.insert(id_of(e));
  collect(low_of(e), nodes, edges);
  collect(high_of(e), nodes, edges);
}

int brute_size(const GBdd& f) {
  std::set<NodeId> nodes;
  std::set<Edge> edges;
  collect(f.edge, nodes, edges);
  return static_cast<int>(nodes.size());
}

int brute_unsigned_size(const GBdd& f) {
  std::set<NodeId> nodes;
  std::set<Edge> edges;
  collect(f.edge, nodes, edges);
  return static_cast<int>(edges.size());
}

long brute_tree_size(Edge e) {
  if (is_leaf_edge(e)) return 0;
  return 1 + brute_tree_size(low_of(e)) + brute_tree_size(high_of(e));
}

} // namespace

using Size = GBddTest;

TEST_F(Size, MeasuresAgreeWithBruteForceAlsoAfterACollection) {
  std::mt19937_64 random(99);
  for (int round = 0; round < 40; round++) {
    int n = 3 + round % 4;
    GBdd f = from_table(random() & table_mask(n), n);
    for (int pass = 0; pass < 2; pass++) {
      EXPECT_EQ(size(f), brute_size(f));
      EXPECT_EQ(size(!f), size(f));
      EXPECT_EQ(unsigned_size(f), brute_unsigned_size(f));
      EXPECT_EQ(unsigned_size(f), unsigned_size(f)); // each call draws its own key
      EXPECT_EQ(unsigned_size(!f), unsigned_size(f));
      EXPECT_EQ(tree_size(f), TreeCount(brute_tree_size(f.edge)));
      EXPECT_EQ(tree_size(!f), tree_size(f));
      garbage_collect();
    }
  }
}

TEST_F(Size, MeasuresOfSmallFunctions) {
  GBdd x1 = GBdd::variable(1), x2 = GBdd::variable(2);
  struct Case {
    GBdd f;
    int size, unsigned_size;
    int tree_size;
  } cases[] = {
      {GBdd::TRUE_(), 0, 0, 0},
      {GBdd::FALSE_(), 0, 0, 0},
      {or_(x1, x2), 2, 2, 2},
      {xor_(x1, x2), 2, 3, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(size(c.f), c.size);
    EXPECT_EQ(unsigned_size(c.f), c.unsigned_size);
    EXPECT_EQ(tree_size(c.f).to_string(), std::to_string(c.tree_size));
  }
  GBddChain second{and_(x1, x2), nullptr};
  GBddChain first{or_(x1, x2), &second};
  EXPECT_EQ(shared_size(&first), 3); // x2's node is shared
  GBddChain one{x2, nullptr};
  GBddChain two{x1, &one};
  EXPECT_EQ(shared_size(&two), 2);
  EXPECT_EQ(shared_size(nullptr), 0);
}

TEST_F(Size, TreeSizeOutgrowsEveryMachineWordAtLinearCost) {
  EXPECT_EQ(tree_size(parity(0, 100)).to_string(), "1267650600228229401496703205375");
  TreeCount c(~std::uint64_t(0));
  c += TreeCount(1);
  EXPECT_EQ(c.to_string(), "18446744073709551616");
  EXPECT_EQ(TreeCount(1000000000).to_string(), "1000000000");
  EXPECT_EQ(TreeCount().to_string(), "0");
}

TEST_F(Size, TreeCountShiftsAndAddsBeyondEveryWord) {
  TreeCount a(1);
  a.shift_left(70);
  EXPECT_EQ(a.to_string(), "1180591620717411303424");
  TreeCount b(0xFFFFFFFFFFFFFFFFull);
  b += TreeCount(1);
  EXPECT_EQ(b.to_string(), "18446744073709551616");
  TreeCount c(3);
  c.shift_left(31);
  EXPECT_EQ(c.to_string(), "6442450944");
  EXPECT_EQ(TreeCount(0).shift_left(100).to_string(), "0");
}

TEST_F(Size, SupportOfFunctionsAndConstants) {
  GBdd f = and_(GBdd::variable(3), GBdd::negated_variable(7));
  EXPECT_EQ(support(f), or_(GBdd::variable(3), GBdd::variable(7)));
  EXPECT_EQ(support(!f), support(f));
  EXPECT_EQ(support_cube(f), and_(GBdd::variable(3), GBdd::variable(7)));
  EXPECT_EQ(support_cube(!f), support_cube(f));
  EXPECT_EQ(support_count(f), 2);
  EXPECT_EQ(support_max(f), 7);
  for (const GBdd& c : {GBdd::TRUE_(), GBdd::FALSE_()}) {
    EXPECT_EQ(support(c), GBdd::FALSE_());
    EXPECT_EQ(support_cube(c), GBdd::TRUE_());
    EXPECT_EQ(support_count(c), 0);
    EXPECT_EQ(support_max(c), -1);
  }
  std::mt19937_64 random(5);
  for (int round = 0; round < 30; round++) {
    Table t = random() & table_mask(5) & random();
    GBdd g = from_table(t, 5);
    GBdd expected = GBdd::FALSE_();
    int count = 0, max = -1;
    for (int k = 0; k < 5; k++)
      if (table_depends_on(t, k, 5)) expected = or_(expected, GBdd::variable(k)), count++, max = k;
    EXPECT_EQ(support(g), expected) << t;
    EXPECT_EQ(support_count(g), count);
    EXPECT_EQ(support_max(g), max);
  }
  GBdd valued = ite(GBdd::variable(2), GBdd::leaf(0x100), GBdd::leaf(0x200));
  EXPECT_EQ(support(valued), GBdd::variable(2));
}

TEST_F(Size, MarksArePerNodeAndPolarity) {
  GBdd f = from_table(0x2d, 3);
  put_mark(f, 5, 9);
  EXPECT_EQ(get_mark(f, 5), 9);
  EXPECT_EQ(get_mark(f, 6), 0);
  EXPECT_EQ(get_mark(!f, 5), 0);
  put_mark(!f, 5, -3);
  EXPECT_EQ(get_mark(!f, 5), -3);
  EXPECT_EQ(get_mark(f, 5), 9);
  garbage_collect(); // marks survive collections
  EXPECT_EQ(get_mark(f, 5), 9);
  EXPECT_EQ(get_mark(GBdd(), 5), 0);
}

TEST_F(Size, SizesNeitherReadNorDisturbMarks) {
  GBdd f = from_table(0x2d, 3); // three nodes, one reached through both polarities
  int u = unsigned_size(f);
  put_mark(f, 1, 7);
  put_mark(!f, 1, 8);
  EXPECT_EQ(unsigned_size(f), u);
  EXPECT_EQ(unsigned_size(!f), u);
  EXPECT_EQ(size(f), 3);
  EXPECT_EQ(get_mark(f, 1), 7);
  EXPECT_EQ(get_mark(!f, 1), 8);
  EXPECT_TRUE(f.depends_on(2));
  EXPECT_EQ(get_mark(f, 1), 7);
}

TEST_F(Size, MarksOnLeavesAreReported) {
  ErrorRecorder recorder;
  EXPECT_EQ(CAPTURE_STDERR(get_mark(GBdd::TRUE_(), 1)),
            "Internal Error :\nGBdd get_mark:: cannot be called on leafs\n");
  EXPECT_EQ(CAPTURE_STDERR(put_mark(GBdd::FALSE_(), 1, 2)),
            "Internal Error :\nGBdd put_mark:: cannot be called on leafs\n");
  EXPECT_EQ(ErrorRecorder::calls, 2);
}
