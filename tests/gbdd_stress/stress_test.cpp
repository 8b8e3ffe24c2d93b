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

TEST_F(Stress, CofactorsSurviveCollectionsInsideTheirRecursion) {
  Table mask = table_mask(N);
  for (int round = 0; round < 40; round++) {
    Table f = random_table(), c = random_table() | 1;
    GBdd ff = from_table(f, N), cc = from_table(c, N);
    garbage_collect();
    ASSERT_EQ((to_table(restrict(ff, cc), N) ^ f) & c, 0u);
    ASSERT_EQ((to_table(constrain(ff, cc), N) ^ f) & c, 0u);
    ASSERT_EQ((to_table(constrain_td(ff, cc), N) ^ f) & c & mask, 0u);
    ASSERT_EQ(to_table(low_cofactor(ff, round % N), N), low_table(f, round % N, N));
    ASSERT_EQ(to_table(high_cofactor(ff, round % N), N), high_table(f, round % N, N));
    ASSERT_EQ(check_store(), "");
  }
}

TEST_F(Stress, QuantifiersSurviveCollectionsInsideTheirRecursion) {
  for (int round = 0; round < 40; round++) {
    Table f = random_table();
    GBdd ff = from_table(f, N);
    int v = round % N, w = (round + 3) % N;
    GBdd cube = and_(GBdd::variable(v), GBdd::variable(w));
    garbage_collect();
    ASSERT_EQ(to_table(exist(cube, ff), N), exist_table(exist_table(f, v, N), w, N));
    ASSERT_EQ(to_table(forall(cube, ff), N), forall_table(forall_table(f, v, N), w, N));
    ASSERT_EQ(to_table(exist(v, ff), N), exist_table(f, v, N));
    ASSERT_EQ(to_table(forall(v, ff), N), forall_table(f, v, N));
    Table all = f;
    for (int k = v; k < N; k++)
      all = forall_table(all, k, N);
    ASSERT_EQ(to_table(forall_x2max(v, ff), N), all);
    ASSERT_EQ(check_store(), "");
  }
}

TEST_F(Stress, RenderingSurvivesCollectionsBetweenItsSteps) {
  for (int round = 0; round < 30; round++) {
    GBdd f = from_table(random_table(), N);
    garbage_collect();
    std::string text = default_sop(f);
    ASSERT_EQ(parse_default_sop(text), f) << text;
    ASSERT_EQ(check_store(), "");
  }
}

int mirror(int i) {
  return N - 1 - i;
}

TEST_F(Stress, RenamingSurvivesCollectionsInsideItsRecursion) {
  for (int round = 0; round < 30; round++) {
    Table f = random_table();
    GBdd ff = from_table(f, N);
    Table mirrored = 0;
    for (int a = 0; a < (1 << N); a++) {
      int source = 0;
      for (int k = 0; k < N; k++)
        if ((a >> mirror(k)) & 1) source |= 1 << k;
      if ((f >> source) & 1) mirrored |= Table(1) << a;
    }
    garbage_collect();
    ASSERT_EQ(to_table(rename(ff, mirror), N), mirrored);
    ASSERT_EQ(shift(shift(ff, 3), -3), ff);
    ASSERT_EQ(check_store(), "");
  }
}

} // namespace

int main(int argc, char** argv) {
  if (!init_module(4)) return 1; // before any node exists
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
