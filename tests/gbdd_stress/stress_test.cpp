// Operations run against truth tables in a store of tiny blocks, so that a
// collection starts in the middle of nearly every recursive core.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int N = 5; // variables of the random functions

class Stress : public GBddTest {
protected:
  void SetUp() override { collections_before = memory.gc_count; }
  void TearDown() override {
    EXPECT_GT(memory.gc_count - collections_before, 50) << "collections did not run";
    GBddTest::TearDown();
  }
  Table random_table() { return random() & table_mask(N); }
  std::mt19937_64 random{7};
  int collections_before = 0;
};

TEST_F(Stress, BooleanCoreSurvivesCollectionsInsideItsRecursion) {
  for (int round = 0; round < 40; round++) {
    Table a = random_table(), b = random_table(), c = random_table();
    GBdd fa = from_table(a, N), fb = from_table(b, N), fc = from_table(c, N);
    garbage_collect(); // empty memos: the operations below recurse all the way
    ASSERT_EQ(to_table(and_(fa, fb), N), a & b);
    ASSERT_EQ(to_table(or_(fa, fb), N), a | b);
    ASSERT_EQ(to_table(GBdd(rec_xor(fa.edge, fb.edge)), N), a ^ b);
    ASSERT_EQ(to_table(ite(fa, fb, fc), N), (a & b) | (~a & c & table_mask(N)));
    ASSERT_EQ(to_table(smooth(fa, round % N), N), exist_table(a, round % N, N));
    ASSERT_EQ(check_store(), "");
  }
}

TEST_F(Stress, SupportSurvivesCollectionsInsideItsRecursion) {
  for (int round = 0; round < 40; round++) {
    Table a = random_table() & random_table();
    GBdd f = from_table(a, N);
    garbage_collect();
    GBdd expected_or = GBdd::FALSE_(), expected_and = GBdd::TRUE_();
    for (int k = 0; k < N; k++) {
      if (!table_depends_on(a, k, N)) continue;
      expected_or = or_(expected_or, GBdd::variable(k));
      expected_and = and_(expected_and, GBdd::variable(k));
    }
    ASSERT_EQ(support(f), expected_or);
    ASSERT_EQ(support_cube(f), expected_and);
    ASSERT_EQ(to_table(xor_(f, expected_or), N), a ^ to_table(expected_or, N));
    ASSERT_EQ(check_store(), "");
  }
}

} // namespace

int main(int argc, char** argv) {
  if (!init_module(4)) return 1; // before any node exists
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
