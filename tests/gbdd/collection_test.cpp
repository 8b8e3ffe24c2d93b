// Random operation sequences with collections in between: every live handle keeps
// its function, and equal functions keep equal edges.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr int N = 6;

struct Held {
  GBdd f;
  Table t;
};

} // namespace

using Collection = GBddTest;

TEST_F(Collection, RandomOperationsSurviveForcedCollections) {
  std::mt19937_64 random(13);
  std::vector<Held> pool;
  for (int k = 0; k < N; k++)
    pool.push_back({GBdd::variable(k), var_table(k, N)});
  auto pick = [&]() -> Held& { return pool[random() % pool.size()]; };
  const Table all = table_mask(N);
  for (int step = 0; step < 4000; step++) {
    Held a = pick(), b = pick(), c = pick();
    int v = static_cast<int>(random() % N);
    Held r;
    switch (random() % 9) {
    case 0: r = {and_(a.f, b.f), a.t & b.t}; break;
    case 1: r = {or_(a.f, b.f), a.t | b.t}; break;
    case 2: r = {xor_(a.f, b.f), a.t ^ b.t}; break;
    case 3: r = {!a.f, ~a.t & all}; break;
    case 4: r = {ite(a.f, b.f, c.f), (a.t & b.t) | (~a.t & c.t & all)}; break;
    case 5: r = {exist(v, a.f), exist_table(a.t, v, N)}; break;
    case 6: r = {forall(v, a.f), forall_table(a.t, v, N)}; break;
    case 7: r = {low_cofactor(a.f, v), low_table(a.t, v, N)}; break;
    default: r = {smooth(a.f, v), exist_table(a.t, v, N)}; break;
    }
    ASSERT_EQ(to_table(r.f, N), r.t) << "step " << step;
    pool.push_back(r);
    if (pool.size() > 40) pool.erase(pool.begin() + N + random() % (pool.size() - N));
    if (step % 97 == 0) {
      garbage_collect();
      ASSERT_EQ(check_store(), "") << "step " << step;
      std::map<Table, Edge> edges;
      for (const Held& h : pool) {
        ASSERT_EQ(to_table(h.f, N), h.t) << "step " << step;
        auto [seen, fresh] = edges.try_emplace(h.t, h.f.edge);
        ASSERT_EQ(seen->second, h.f.edge) << "two edges for one function, step " << step;
      }
    }
  }
}
