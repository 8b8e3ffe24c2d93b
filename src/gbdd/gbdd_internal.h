#pragma once
// Internals of the GBdd package: the node record, the store, edge readers,
// per-node memos and the recursive cores shared between the package's files.
// Used only inside src/gbdd (and by the package's own tests).

#include "gbdd/gbdd.h"

#include <cassert>
#include <climits>
#include <cstdint>

constexpr Edge NODE_MASK = ~(COMPLEMENT_BIT | BOOLEAN_BIT);

// Index written into every free slot in debug builds, so that a stale edge
// trips the readers' assertion instead of quietly sharing a reused slot.
constexpr int POISON_INDEX = INT_MIN;

// ORDER: the codes stored in bin_memo entries; 0 marks an empty entry.
enum OpCode : int { OP_AND = 1, OP_XOR = 2, OP_RESTRICT = 3, OP_CONSTRAIN = 4 };

// Unary memo slots.
constexpr int SLOT_MEMO = 0;  // operation memo, wiped by every collection
constexpr int SLOT_ROOTS = 1; // kept by collections; its results are roots
constexpr int SLOT_MARKS = 2; // integer marks of get_mark / put_mark

struct BinMemoEntry {
  int op;
  Edge other;
  Edge result;
};

struct UnaryMemoPair {
  int key;
  Edge result;
};

struct GBddNode {
  int index; // LEAF_INDEX for a leaf
  std::uintptr_t value;
  Edge low;
  Edge high;
  GBddNode* next; // unique-table chain, or free list
  int gc_mark;
  int serial;
  BinMemoEntry bin_memo[2]; // [0] reached regular, [1] reached complemented
  int visit;
  UnaryMemoPair unary_memo[3][2]; // [slot][0] complemented pair, [slot][1] regular pair
};

struct GBddMemory {
  GBddNode* blocks; // newest block; slot 0 of each block links to the older one
  int block_count;
  int block_size;
  GBddNode* free_list;
  long allocation_count;
  GBddNode** buckets;
  int table_size;
  long table_entries; // nodes in the chains; the table grows with them
  int gc_count;
  GBddNode boolean_leaf;
  std::uintptr_t true_value;
  std::uintptr_t false_value;
  GBdd* true_constant;
  GBdd* false_constant;
  GBdd* null_constant;
};

// ---- package-wide state (defined in memory.cpp, in build order) -------------
extern GBdd alive_head;
extern GBddMemory memory;
extern Edge TRUE_EDGE;
extern Edge FALSE_EDGE;

// Stamps and operation keys; init_module resets them.
extern int stamp_counter;
extern int mark_stamp;
extern int support_or_key;
extern int support_and_key;
extern int smooth_key;
extern int smooth_var;
extern int rename_stamp;
extern RenameFn rename_fn;
extern int shift_stamp;
extern int shift_amount;
extern int forall_key; // cube form of forall / exist
extern Edge forall_set;
extern int forall_var_key; // single-variable form
extern int forall_var_index;
extern int forall_x2max_key; // from-an-index-down form
extern int forall_x2max_index;

inline int new_stamp() {
  return stamp_counter++;
}
inline int new_mark_stamp() {
  return mark_stamp++;
}

// ---- edge readers -------------------------------------------------------------
inline GBddNode* node_of(Edge e) {
  GBddNode* n = reinterpret_cast<GBddNode*>(e & NODE_MASK);
  assert(n == nullptr || n->index != POISON_INDEX);
  return n;
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
  return ((a ^ b) & NODE_MASK) == 0;
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

// ---- per-node memos --------------------------------------------------------------
inline Edge bin_memo_get(int op, Edge a, Edge b) {
  const BinMemoEntry& m = node_of(a)->bin_memo[a & COMPLEMENT_BIT];
  return m.op == op && m.other == b ? m.result : 0;
}
inline void bin_memo_put(int op, Edge a, Edge b, Edge r) {
  node_of(a)->bin_memo[a & COMPLEMENT_BIT] = BinMemoEntry{op, b, r};
}
inline UnaryMemoPair& unary_pair(Edge f, int slot) {
  return node_of(f)->unary_memo[slot][is_complemented(f) ? 0 : 1];
}
// Result stored for f under key in slot, or 0; leaves and null have no memo.
inline Edge memo_get(int slot, Edge f, int key) {
  if (f == 0 || is_leaf_edge(f)) return 0;
  const UnaryMemoPair& p = unary_pair(f, slot);
  return p.key == key ? p.result : 0;
}
inline void memo_put(int slot, Edge f, int key, Edge r) {
  if (f == 0 || is_leaf_edge(f)) return;
  unary_pair(f, slot) = UnaryMemoPair{key, r};
}

// ---- store (memory.cpp) -------------------------------------------------------------
// Edge of the canonical node (i, high, low). May collect.
Edge get_node(int i, const GBdd& high, const GBdd& low);
// Edge of the leaf holding v. May collect.
Edge get_leaf(std::uintptr_t v);
// A fresh slot from the free list, or null when memory is exhausted. May collect.
GBddNode* new_node();
bool add_block();
// Internal nodes reachable from n not yet stamped with stamp; stamps them.
int count_nodes(GBddNode* n, int stamp);
// Count of nodes in the store's blocks.
inline long slot_count() {
  return static_cast<long>(memory.block_count) * memory.block_size;
}

// ---- computed table (cache.cpp) ------------------------------------------------------
// Result cached for the key (a, b, c), or 0. c is the third operand of ite or
// the OpCode of a binary core.
Edge cache_get(Edge a, Edge b, Edge c);
void cache_put(Edge a, Edge b, Edge c, Edge r);
// Emptied by every collection: entries name nodes by address.
void cache_clear();
// Sizes the table for a unique table of about `nodes` buckets; empties it.
void cache_resize(long nodes);

// ---- recursive cores on purely boolean edges (core.cpp). May collect. ---------------
Edge rec_and(Edge a, Edge b);
Edge rec_xor(Edge a, Edge b);
Edge rec_ite(Edge c, Edge f, Edge g);
Edge rec_smooth(Edge f, int v);
Edge rec_or(Edge a, Edge b); // the complement of rec_and on the complements
// Edge of ite(x_i, g, h), g and h rooted by the caller. May collect.
Edge rec_ite_var(int i, const GBdd& g, const GBdd& h);
