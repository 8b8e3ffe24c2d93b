#pragma once
// Internals of the GBdd package: the node record, the store, edge readers, the
// computed table and the recursive cores shared between the package's files.
// Used only inside src/gbdd (and by the package's own tests).

#include "gbdd/gbdd.h"

#include <cassert>
#include <climits>
#include <cstdint>
#include <functional>
#include <utility>

// ---- nodes and edges ------------------------------------------------------------------
// Nodes live in one growable array and are named by their slot number. An edge is
// the slot number shifted left by two with COMPLEMENT_BIT and BOOLEAN_BIT below it,
// so a node's child edges fit in 32 bits each and a handle's edge is the same word
// zero-extended. Slots below FIRST_SLOT are never handed out: their edges (0 to 15)
// are the null edge and the operation codes of the computed table, which can then
// never be mistaken for an operand.

using NodeId = std::uint32_t;
using Edge32 = std::uint32_t;

constexpr NodeId FIRST_SLOT = 4;
constexpr NodeId BOOLEAN_LEAF_SLOT = FIRST_SLOT;
// The largest store: 2^30 slots, the most an edge of 32 bits can name.
constexpr std::uint64_t MAX_SLOTS = std::uint64_t(1) << 30;

// Index written into every free slot, so that a stale edge trips the readers'
// assertion in checked builds instead of quietly sharing a reused slot.
constexpr int POISON_INDEX = INT_MIN;

// The two top bits of `next` are free (slot numbers stay below 2^30): the collector
// marks with MARK_BIT, and the read-only walks (sizes, dumps, depends_on) borrow
// both bits and clear them again before they return.
constexpr std::uint32_t MARK_BIT = 1u << 31;
constexpr std::uint32_t MARK2_BIT = 1u << 30;
constexpr std::uint32_t NEXT_MASK = ~(MARK_BIT | MARK2_BIT);

// Sixteen bytes: four nodes to a cache line. A value leaf keeps its value's low
// and high halves in `low` and `high`.
struct GBddNode {
  std::int32_t index; // variable, LEAF_INDEX for a leaf, POISON_INDEX when free
  Edge32 low;
  Edge32 high;
  std::uint32_t next; // unique-table chain or free list (0 ends both), and the marks
};
static_assert(sizeof(GBddNode) == 16);

struct GBddMemory {
  GBddNode* nodes;          // capacity slots; malloc'd and grown by realloc
  std::uint64_t capacity;   // slots in nodes
  std::uint64_t frontier;   // slots at and above it have never been used
  NodeId free_list;         // reclaimed slots below the frontier, lowest first
  std::uint64_t free_count; // slots on the free list
  NodeId* buckets;          // unique-table chain heads; bucket_mask + 1 of them
  std::uint64_t bucket_mask;
  // Creation serials, the cold part of a node, 48 bits: the low 32 in `serials`;
  // the high 16 in `serial_highs`, made only once a run has numbered 2^32 nodes
  // (until then every high part is 0, and most runs never get there).
  std::uint32_t* serials;
  std::uint16_t* serial_highs;
  std::uint64_t serial_counter;
  long allocation_count;
  int initial_capacity;
  long gc_count;
  double gc_seconds;
  std::uintptr_t true_value;
  std::uintptr_t false_value;
  GBdd* true_constant;
  GBdd* false_constant;
  GBdd* null_constant;
};

// ---- package-wide state (defined in memory.cpp, in build order) -------------
extern GBdd alive_head;
extern GBddMemory memory;
constexpr Edge TRUE_EDGE = (Edge(BOOLEAN_LEAF_SLOT) << 2) | BOOLEAN_BIT;
constexpr Edge FALSE_EDGE = TRUE_EDGE | COMPLEMENT_BIT;

// Stamps: drawn afresh whenever a parameterised operation gets a new parameter, and
// stored in its computed-table keys, so that no call answers from another
// parameter's entries. init_module resets them.
extern std::uint32_t stamp_counter;
extern std::uint32_t smooth_key;
extern int smooth_var;
extern std::uint32_t rename_stamp;
extern RenameFn rename_fn;
extern std::uint32_t shift_stamp;
extern int shift_amount;
extern std::uint32_t forall_key; // cube form of forall / exist
extern Edge forall_set;
extern std::uint32_t forall_var_key; // single-variable form
extern int forall_var_index;
extern std::uint32_t forall_x2max_key; // from-an-index-down form
extern int forall_x2max_index;

// Stamp 0 is never drawn: it stands for "no key yet".
inline std::uint32_t new_stamp() {
  if (++stamp_counter == 0) ++stamp_counter;
  return stamp_counter;
}

// ---- edge readers -------------------------------------------------------------
inline NodeId id_of(Edge e) {
  return static_cast<NodeId>(e >> 2);
}
inline GBddNode* node_at(NodeId id) {
  return &memory.nodes[id];
}
inline GBddNode* node_of(Edge e) {
  GBddNode* n = &memory.nodes[e >> 2];
  assert(n->index != POISON_INDEX);
  return n;
}
inline Edge edge_to(NodeId id) {
  return Edge(id) << 2;
}
inline bool is_complemented(Edge e) {
  return (e & COMPLEMENT_BIT) != 0;
}
inline bool is_boolean_edge(Edge e) {
  return (e & BOOLEAN_BIT) != 0;
}
inline Edge negate(Edge e) {
  return e ^ COMPLEMENT_BIT;
}
inline bool same_node(Edge a, Edge b) {
  return (a >> 2) == (b >> 2);
}
inline int top_index(Edge e) {
  return node_of(e)->index;
}
// The top variable of two operands. By value: std::min would take the address of
// its arguments and so give each a slot of its own in a recursive frame.
inline int min_index(int a, int b) {
  return a < b ? a : b;
}
inline bool is_leaf_edge(Edge e) {
  return node_of(e)->index == LEAF_INDEX;
}

// The two cofactor readers: the only way child edges are taken.
inline Edge low_of(Edge e) {
  return node_of(e)->low ^ (e & COMPLEMENT_BIT);
}
inline Edge high_of(Edge e) {
  return node_of(e)->high ^ (e & COMPLEMENT_BIT);
}
// Cofactors by variable top, for an operand whose top may lie deeper.
inline Edge low_at(Edge e, int top) {
  return top_index(e) == top ? low_of(e) : e;
}
inline Edge high_at(Edge e, int top) {
  return top_index(e) == top ? high_of(e) : e;
}

// Starts loading the node of e: a core asks for its operands' nodes before it
// probes the computed table, so that the two memory accesses overlap instead of
// following one another.
inline void prefetch_node(Edge e) {
  __builtin_prefetch(&memory.nodes[e >> 2]);
}

// Hash of a pair of edges, for the per-call sets and maps of the walks that
// meet pairs of nodes.
struct EdgePairHash {
  std::size_t operator()(const std::pair<Edge, Edge>& p) const {
    return std::hash<Edge>()(p.first ^ (p.second * 0x9e3779b97f4a7c15ULL));
  }
};

// The value of a value leaf, kept in the two child fields.
inline std::uintptr_t leaf_value_of(const GBddNode* n) {
  return (std::uintptr_t(n->high) << 32) | n->low;
}

// ---- store (memory.cpp) -------------------------------------------------------------
// Edge of the canonical node (i, high, low); both edges rooted by the caller. May
// collect.
Edge get_node(int i, Edge high, Edge low);
inline Edge get_node(int i, const GBdd& high, const GBdd& low) {
  return get_node(i, high.edge, low.edge);
}

// The recursive cores' intermediate results, roots of the collector beside the
// live handles. A Root holds its edge on this stack from construction to
// destruction, as a local handle would on the alive list, but it costs two
// inlined stores instead of two calls that relink the list: the cores of
// conjunction and if-then-else ran some 4 % faster.
extern Edge* root_stack;
extern std::uint32_t root_count;
extern std::uint32_t root_capacity;
void grow_root_stack();
struct Root {
  explicit Root(Edge e) : edge(e) {
    if (root_count == root_capacity) grow_root_stack();
    root_stack[root_count++] = e;
  }
  ~Root() { root_count--; }
  Root(const Root&) = delete;
  Root& operator=(const Root&) = delete;
  const Edge edge;
};

// Edge of the leaf holding v. May collect.
Edge get_leaf(std::uintptr_t v);
// The unique-table bucket of a node with these fields, over the current table.
std::uint64_t node_bucket(std::int32_t index, Edge32 low, Edge32 high);
// The creation serial of a slot.
std::uint64_t serial_of(NodeId id);
// Zero-filled memory for the node array and the tables; ends the run when the
// system refuses it.
void* map_table(std::size_t bytes);
void* remap_table(void* p, std::size_t old_bytes, std::size_t new_bytes);
void unmap_table(void* p, std::size_t bytes);
// Slots of the store, used or not.
inline long slot_count() {
  return static_cast<long>(memory.capacity);
}

// Internal nodes reachable from the edges of roots[0 .. count-1], each counted once
// whichever polarity reaches it; leaves are not counted.
long count_nodes(const Edge* roots, long count);

// ---- computed table (cache.cpp) ------------------------------------------------------
// ORDER: operation codes stored as the third key word; they stay below the first
// edge (16), so an entry of a binary operation never matches one of ite.
enum OpCode : std::uint32_t {
  OP_AND = 1,
  OP_XOR = 2,
  OP_RESTRICT = 3,
  OP_CONSTRAIN = 4,
  OP_SMOOTH = 5,     // (f, stamp)
  OP_FORALL = 6,     // (f, stamp)
  OP_FORALL_VAR = 7, // (f, stamp)
  OP_FORALL_X2MAX = 8,
  OP_RENAME = 9,
  OP_SHIFT = 10,
  OP_VAR_COFACTOR = 11,
  OP_SUPPORT_OR = 12, // (f, 0)
  OP_SUPPORT_AND = 13,
};

// One entry: three key words and the result in sixteen bytes, four entries to a
// cache line.
struct CacheEntry {
  Edge32 a; // 0: empty (no operand is the null edge)
  Edge32 b;
  Edge32 c;
  Edge32 result;
};
static_assert(sizeof(CacheEntry) == 16);
extern CacheEntry* cache_table;
extern std::uint64_t cache_mask; // size - 1; the size is a power of two
extern std::uint64_t cache_lookups;
extern std::uint64_t cache_hits;

inline CacheEntry& cache_entry(Edge a, Edge b, Edge c) {
  std::uint64_t h =
      (a * 0x9E3779B97F4A7C15ull) ^ (b * 0xC2B2AE3D27D4EB4Full) ^ (c * 0x165667B19E3779F9ull);
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93ull;
  return cache_table[(h ^ (h >> 32)) & cache_mask];
}

// Result cached for the key (a, b, c), or 0. c is the third operand of ite or
// the OpCode of any other operation; b is an operand or a stamp.
inline Edge cache_get(Edge a, Edge b, Edge c) {
  cache_lookups++;
  const CacheEntry& e = cache_entry(a, b, c);
  if (e.a != a || e.b != b || e.c != c) return 0;
  cache_hits++;
  return e.result;
}
inline void cache_put(Edge a, Edge b, Edge c, Edge r) {
  cache_entry(a, b, c) = CacheEntry{static_cast<Edge32>(a), static_cast<Edge32>(b),
                                    static_cast<Edge32>(c), static_cast<Edge32>(r)};
}
// Starts loading the entry of a key that will be looked up soon.
inline void cache_prefetch(Edge a, Edge b, Edge c) {
  __builtin_prefetch(&cache_entry(a, b, c));
}
// Emptied by every collection: entries name slots that may be reused.
void cache_clear();
// Sizes the table for a store of `slots` slots; empties it.
void cache_resize(std::uint64_t slots);
// Figures for store_stats.
std::uint64_t cache_entries();
std::uint64_t cache_bytes();

// Starts loading what the core of a binary operation on purely boolean a and b
// reads first: both nodes and the computed-table entry, unless one is the
// constant leaf. That is told from the edge alone: asking the node would wait
// for the very load this is to start.
inline void prefetch_pair(Edge a, Edge b, OpCode op) {
  if (same_node(a, TRUE_EDGE) || same_node(b, TRUE_EDGE)) return;
  prefetch_node(a);
  prefetch_node(b);
  if (a > b) std::swap(a, b);
  cache_prefetch(a, b, op);
}

// ---- recursive cores on purely boolean edges (core.cpp). May collect. ---------------
Edge rec_and(Edge a, Edge b);
Edge rec_xor(Edge a, Edge b);
Edge rec_ite(Edge c, Edge f, Edge g);
Edge rec_smooth(Edge f, int v);
Edge rec_or(Edge a, Edge b); // the complement of rec_and on the complements
// Edge of ite(x_i, g, h), g and h rooted by the caller. May collect.
Edge rec_ite_var(int i, Edge g, Edge h);
