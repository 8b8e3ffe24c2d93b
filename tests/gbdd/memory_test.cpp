#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using Memory = GBddTest;

namespace {

// Nodes on the unique table's chains: every node the store holds but the leaf.
long chained_nodes() {
  long n = 0;
  for (std::uint64_t b = 0; b <= memory.bucket_mask; b++)
    for (NodeId id = memory.buckets[b]; id != 0; id = node_at(id)->next)
      n++;
  return n;
}

} // namespace

TEST_F(Memory, GetNodeWithEqualChildrenMakesNoNode) {
  GBdd x = GBdd::variable(7);
  long before = allocation_count();
  EXPECT_EQ(get_node(2, x, x), x.edge);
  EXPECT_EQ(allocation_count(), before);
}

TEST_F(Memory, ComplementedThenEdgeIsStoredRegular) {
  GBdd x = GBdd::variable(4);
  Edge e = get_node(1, GBdd::FALSE_(), x);
  Edge r = get_node(1, GBdd::TRUE_(), !x);
  EXPECT_EQ(e ^ r, COMPLEMENT_BIT);
  EXPECT_TRUE(is_complemented(e));
  EXPECT_FALSE(is_complemented(node_of(e)->high));
  GBdd f(e);
  EXPECT_EQ(f.high(), GBdd::FALSE_());
  EXPECT_EQ(f.low(), x);
}

TEST_F(Memory, BuildingAFunctionAgainAllocatesNothing) {
  // (x20 and x21) or x22, built in three different ways.
  auto build1 = [] {
    return or_(and_(GBdd::variable(20), GBdd::variable(21)), GBdd::variable(22));
  };
  auto build2 = [] {
    return !and_(!GBdd::variable(22), or_(GBdd::negated_variable(21), !GBdd::variable(20)));
  };
  auto build3 = [] {
    return ite(GBdd::variable(22), GBdd::TRUE_(), and_(GBdd::variable(21), GBdd::variable(20)));
  };
  long before = allocation_count();
  GBdd f = build1();
  long after_first = allocation_count();
  EXPECT_GT(after_first, before);
  EXPECT_EQ(build2(), f);
  EXPECT_EQ(build3(), f);
  EXPECT_EQ(allocation_count(), after_first);
}

TEST_F(Memory, ValueLeavesAndInternalNodesWithValueLeavesAreCanonical) {
  GBdd a = GBdd::leaf(0x5550);
  GBdd b = GBdd::leaf(0x5551); // low bits set: hashed without division
  Edge e1 = get_node(3, a, b);
  Edge e2 = get_node(3, a, b);
  EXPECT_EQ(e1, e2);
  EXPECT_EQ(e1 & (COMPLEMENT_BIT | BOOLEAN_BIT), 0u);
  EXPECT_NE(get_node(3, b, a), e1);
}

TEST_F(Memory, CollectionReclaimsExactlyTheUnreachableNodes) {
  {
    GBdd keep = from_table(0x96, 3); // parity of x0, x1, x2: 3 nodes
    { GBdd drop = from_table(0x1e, 3); }
    garbage_collect();
    EXPECT_EQ(chained_nodes(), 3);
    EXPECT_EQ(live_node_count(), 3);
    EXPECT_EQ(to_table(keep, 3), 0x96u);
    // Memos are wiped: repeating the construction recomputes the same edge.
    EXPECT_EQ(from_table(0x96, 3), keep);
  }
  garbage_collect(); // only the constants are left
  EXPECT_EQ(chained_nodes(), 0);
}

// An operation ended by the memory limit unwinds the intermediate results it
// held, however deep: once its operands are gone, a collection reclaims all.
TEST_F(Memory, OperationEndedByTheLimitLeavesNothingRooted) {
  garbage_collect();
  long before = chained_nodes();
  bool aborted = false;
  {
    // x0.x8 + x1.x9 + ... + x6.x14: hundreds of nodes in this order, and
    // adding x7.x15 makes hundreds more, deep in the recursion.
    GBdd f = GBdd::FALSE_();
    for (int i = 0; i < 7; i++)
      f = or_(f, and_(GBdd::variable(i), GBdd::variable(i + 8)));
    GBdd g = and_(GBdd::variable(7), GBdd::variable(15));
    // Fill the store to its limit with live nodes, then free fifty slots.
    set_memory_limit(static_cast<std::uint64_t>(store_stats().store_bytes));
    std::vector<GBdd> filler;
    try {
      for (int k = 0;; k++)
        filler.push_back(GBdd::variable(100000 + k));
    } catch (const GBddAbort&) {
    }
    filler.resize(filler.size() - 50);
    try {
      GBdd h = or_(f, g);
    } catch (const GBddAbort& e) {
      aborted = e.reason == GBddAbort::MEMORY_LIMIT;
    }
    set_memory_limit(0);
  }
  EXPECT_TRUE(aborted);
  EXPECT_EQ(root_count, 0u);
  garbage_collect();
  EXPECT_EQ(chained_nodes(), before);
}

TEST_F(Memory, LiveNodeCountCountsSharedNodesOnce) {
  garbage_collect();
  int base = live_node_count();
  GBdd f = and_(GBdd::variable(30), GBdd::variable(31));
  GBdd g = and_(GBdd::negated_variable(29), GBdd::variable(31));
  // f: x30 and x31 (2 nodes); g: adds one node for x29 over the shared x31.
  EXPECT_EQ(live_node_count(), base + 3);
}

TEST_F(Memory, CollectionPercentageIsTakenOverAllSlots) {
  GBdd anchor = GBdd::variable(0); // the store has at least one block
  garbage_collect();
  long slots = slot_count();
  long free_slots = static_cast<long>(memory.free_count + memory.capacity - memory.frontier);
  int garbage = static_cast<int>(std::min<long>(free_slots, slots / 4));
  {
    std::vector<GBdd> doomed;
    for (int k = 0; k < garbage; k++)
      doomed.push_back(GBdd::variable(100000 + k));
  }
  set_verbose(1);
  int percent = 0;
  std::string out = CAPTURE_STDERR(percent = garbage_collect());
  set_verbose(0);
  int expected = static_cast<int>(garbage * 100L / slots);
  EXPECT_EQ(percent, expected);
  EXPECT_EQ(out, "GBdd garbage collect ... done : " + std::to_string(expected) + "% (" +
                     std::to_string(garbage) + " on " + std::to_string(slots) + ")\n");
}

TEST(MemoryDeathTest, FreshStoreCollectsNothingUntilANodeIsMade) {
  // Runs in a newly started copy of the program, so no node exists yet.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        set_verbose(1);
        if (garbage_collect() != 0) std::exit(2); // no node: nothing, not even a line
        set_verbose(0);
        {
          std::vector<GBdd> doomed;
          for (int k = 0; k < 2500; k++)
            doomed.push_back(GBdd::variable(k));
        }
        long expected = 2500 * 100 / slot_count();
        set_verbose(1);
        int percent = garbage_collect();
        std::exit(percent == expected ? 0 : 4);
      },
      testing::ExitedWithCode(0),
      "^GBdd garbage collect ... done : [0-9]+% \\(2500 on [0-9]+\\)\n$");
}

TEST(MemoryDeathTest, StoreGrowsOnlyWhenACollectionFreesTooLittle) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        init_module(100);
        long start = slot_count();
        std::vector<GBdd> live;
        // Fill the store with garbage only: the collection frees nearly all of it.
        while (memory.frontier < memory.capacity)
          GBdd::variable(static_cast<int>(memory.frontier));
        GBdd one = GBdd::variable(1000);
        if (slot_count() != start || memory.gc_count != 1) std::exit(2);
        // Now fill it with live nodes: the next collection frees nothing.
        for (int k = 0; slot_count() == start; k++)
          live.push_back(GBdd::variable(2000 + k));
        if (memory.gc_count != 2) std::exit(3);
        // Every live node kept its slot number through the growth.
        for (std::size_t k = 0; k < live.size(); k++)
          if (live[k].top_index() != 2000 + static_cast<int>(k)) std::exit(4);
        std::exit(check_store().empty() ? 0 : 5);
      },
      testing::ExitedWithCode(0), "");
}

TEST(MemoryDeathTest, SerialHighPartsAreHeldToTheLimit) {
  // The array of serial high parts, made for the first serial past 32 bits, is
  // memory like the rest of the store: where it would break the limit the
  // operation ends instead, and once the limit is lifted the node gets its serial.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        init_module(100);
        memory.serial_counter = UINT32_MAX;
        set_memory_limit(static_cast<std::uint64_t>(store_stats().store_bytes));
        bool aborted = false;
        try {
          GBdd::variable(2);
        } catch (const GBddAbort& e) {
          aborted = e.reason == GBddAbort::MEMORY_LIMIT;
        }
        if (!aborted || memory.serial_highs != nullptr) std::exit(2);
        set_memory_limit(0);
        GBdd y = GBdd::variable(2);
        if (serial_of(id_of(y.edge)) != std::uint64_t(UINT32_MAX) + 1) std::exit(3);
        std::exit(check_store().empty() ? 0 : 4);
      },
      testing::ExitedWithCode(0), "");
}

TEST(MemoryInit, SecondInitModuleFailsOnceNodesExist) {
  GBdd x = GBdd::variable(0);
  ErrorRecorder recorder;
  bool ok = true;
  long slots = slot_count();
  std::string out = CAPTURE_STDERR(ok = init_module(50));
  EXPECT_FALSE(ok);
  EXPECT_EQ(out, "Internal Error :\nGBdd::init_module : can't initialize, memory not empty\n");
  EXPECT_EQ(ErrorRecorder::calls, 1);
  EXPECT_EQ(slot_count(), slots);
}
