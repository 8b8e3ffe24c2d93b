// The node store: blocks of node slots, the unique table, the free list and
// the mark-and-sweep collector whose roots are the handles on the alive list.
//
// Invariants, true whenever no store operation is running:
// - every live internal node and every live non-Boolean leaf is in exactly one
//   bucket chain, the one its fields hash to; a free slot is in no chain;
// - no internal node has equal children, and no two nodes are alike;
// - the stored high edge of a purely boolean node is never complemented;
// - along every path the variable index strictly increases;
// - block_count * block_size slots exist, each either free or in a chain.
// A collection can start inside any call that creates a node, so everything an
// operation still needs must then be reachable from a handle on the alive list.

#include "gbdd/gbdd_internal.h"

#include <climits>
#include <cstdlib>
#include <new>

// ---- package-wide state, in build order --------------------------------------------
// ORDER: alive_head before everything else: constant-initialised, so it is linked
// to itself before any static initialiser of the program runs.
constinit GBdd alive_head{GBdd::Sentinel::ALIVE_HEAD};
GBddMemory memory;
Edge TRUE_EDGE;
Edge FALSE_EDGE;

int stamp_counter;
int mark_stamp;
int support_or_key;
int support_and_key;
int smooth_key = -1;
int smooth_var;
int rename_stamp = -1;
RenameFn rename_fn;
int shift_stamp = -1;
int shift_amount;
int forall_key = -1;
Edge forall_set;
int forall_var_key = -1;
int forall_var_index;
int forall_x2max_key = -1;
int forall_x2max_index;

namespace {

int init_count;
int serial_counter;

const char TRUE_BDD_TEXT[] = "true_bdd";
const char FALSE_BDD_TEXT[] = "false_bdd";
constexpr int DEFAULT_BLOCK_SIZE = 10000;
#ifdef GBDD_GC_STRESS
constexpr int GC_STRESS_BLOCK_SIZE = 8;
#endif
constexpr int TABLE_SIZE = 2557;

std::uintptr_t default_true_value() {
  return reinterpret_cast<std::uintptr_t>(TRUE_BDD_TEXT);
}
std::uintptr_t default_false_value() {
  return reinterpret_cast<std::uintptr_t>(FALSE_BDD_TEXT);
}

void init_node(GBddNode* n, int index, std::uintptr_t value, Edge low, Edge high) {
  n->index = index;
  n->value = value;
  n->low = low;
  n->high = high;
  n->next = nullptr;
  n->gc_mark = 0;
  n->serial = ++serial_counter;
  for (BinMemoEntry& m : n->bin_memo)
    m = BinMemoEntry{0, 0, 0};
  n->visit = -1;
  for (auto& slot : n->unary_memo)
    for (UnaryMemoPair& p : slot)
      p = UnaryMemoPair{-1, 0};
}

void clear_memos(GBddNode* n) {
  for (BinMemoEntry& m : n->bin_memo)
    m = BinMemoEntry{0, 0, 0};
  for (UnaryMemoPair& p : n->unary_memo[SLOT_MEMO])
    p = UnaryMemoPair{-1, 0};
  n->visit = -1;
}

void mark(GBddNode* n, int stamp) {
  while (n->gc_mark != stamp) {
    n->gc_mark = stamp;
    if (n->index == LEAF_INDEX) return;
    for (const UnaryMemoPair& p : n->unary_memo[SLOT_ROOTS])
      if (p.result != 0) mark(node_of(p.result), stamp);
    mark(node_of(n->low), stamp);
    n = node_of(n->high);
  }
}

// Node blocks are raw memory owned here: allocated by add_block, released only
// by this function, at program exit.
void release_blocks() {
  while (memory.blocks != nullptr) {
    GBddNode* older = memory.blocks->next;
    std::free(memory.blocks);
    memory.blocks = older;
  }
}

// Runs before every default-priority static initialiser of the program, so the
// store and its constants exist before any other static handle is built; at
// exit it releases the node blocks after all those handles are gone.
struct StoreLifetime {
  StoreLifetime() {
    memory = GBddMemory{};
#ifdef GBDD_GC_STRESS
    init_module(GC_STRESS_BLOCK_SIZE);
#else
    init_module();
#endif
  }
  ~StoreLifetime() {
    release_blocks();
  }
};

StoreLifetime store_lifetime __attribute__((init_priority(101)));

} // namespace

// ---- nodes ------------------------------------------------------------------------

bool add_block() {
  int size = memory.block_size;
  if (size < 1) return false;
  auto* block = static_cast<GBddNode*>(std::malloc(sizeof(GBddNode) * (size + 1)));
  if (block == nullptr) return false;
  block[0].next = memory.blocks;
  block[0].index = POISON_INDEX;
  memory.blocks = block;
  for (int k = 1; k <= size; k++) {
    block[k].index = POISON_INDEX;
    block[k].next = k < size ? &block[k + 1] : memory.free_list;
  }
  memory.free_list = &block[1];
  memory.block_count++;
  return true;
}

void memory_exhausted() {
  internal_error("%s %ld", "garbage collect has failed, memory size was ", slot_count());
  std::exit(1);
}

GBddNode* new_node() {
#ifdef GBDD_GC_STRESS
  // Collector-safety builds collect before every allocation, so a result not
  // held in a handle is reclaimed at once and shows up as a wrong answer.
  if (memory.free_list != nullptr) garbage_collect();
#endif
  if (memory.free_list == nullptr && garbage_collect() <= 9) {
    // A store that keeps little garbage grows by a quarter of its size at a
    // time: one block per collection would make the collections as frequent
    // as the store is large.
    int blocks = memory.block_count / 4 > 1 ? memory.block_count / 4 : 1;
    for (int k = 0; k < blocks && add_block(); k++) {
    }
  }
  GBddNode* n = memory.free_list;
  if (n == nullptr) {
    internal_error("%s %ld", "garbage collect has failed, memory size was ", slot_count());
    return nullptr;
  }
  memory.free_list = n->next;
  memory.allocation_count++;
  return n;
}

namespace {

// Bucket of the internal node (i, h, l): a full-word sum with wrap-around; the
// two orders of the children fall into mirrored buckets.
int node_bucket(int i, Edge h, Edge l, int table_size) {
  Edge s = static_cast<Edge>(i) + h + l;
  Edge t = static_cast<Edge>(table_size);
  return static_cast<int>(h < l ? s % t : t - 1 - s % t);
}

int leaf_bucket(std::uintptr_t v, int table_size) {
  std::uintptr_t w = (v & 3) == 0 ? v / 4 : v;
  return static_cast<int>(w % static_cast<std::uintptr_t>(table_size));
}

// The table starts with its fixed number of buckets and doubles whenever it
// holds more than two nodes a bucket, so that a lookup stays a short walk
// however large the diagrams grow. Chains are rebuilt with the same bucket
// functions over the new size. Creates no node, so it cannot collect.
void grow_table() {
  int old_size = memory.table_size;
  long new_size_long = 2L * old_size + 1;
  if (new_size_long > INT_MAX / 2) return;
  int new_size = static_cast<int>(new_size_long);
  auto* buckets = new (std::nothrow) GBddNode*[new_size]();
  if (buckets == nullptr) return; // a longer walk, but still correct
  for (int b = 0; b < old_size; b++) {
    GBddNode* n = memory.buckets[b];
    while (n != nullptr) {
      GBddNode* next = n->next;
      int nb = n->index == LEAF_INDEX ? leaf_bucket(n->value, new_size)
                                      : node_bucket(n->index, n->high, n->low, new_size);
      n->next = buckets[nb];
      buckets[nb] = n;
      n = next;
    }
  }
  delete[] memory.buckets;
  memory.buckets = buckets;
  memory.table_size = new_size;
  cache_resize(new_size);
}

void insert_node(GBddNode* n, int bucket) {
  n->next = memory.buckets[bucket];
  memory.buckets[bucket] = n;
  if (++memory.table_entries > 2L * memory.table_size) grow_table();
}

} // namespace

Edge get_node(int i, const GBdd& high, const GBdd& low) {
  Edge h = high.edge;
  Edge l = low.edge;
  if (h == l) return l;
  Edge flags = 0;
  if (is_boolean_edge(h) && is_boolean_edge(l)) {
    flags = BOOLEAN_BIT;
    if (is_complemented(h)) {
      h = negate(h);
      l = negate(l);
      flags |= COMPLEMENT_BIT;
    }
  }
  int bucket = node_bucket(i, h, l, memory.table_size);
  for (GBddNode* n = memory.buckets[bucket]; n != nullptr; n = n->next)
    if (n->index == i && n->low == l && n->high == h) return reinterpret_cast<Edge>(n) | flags;
  GBddNode* n = new_node();
  if (n == nullptr) return 0;
  init_node(n, i, 0, l, h);
  insert_node(n, bucket); // the chain head is re-read: a collection may have changed it
  return reinterpret_cast<Edge>(n) | flags;
}

Edge get_leaf(std::uintptr_t v) {
  if (v == memory.true_value) return TRUE_EDGE;
  if (v == memory.false_value) return FALSE_EDGE;
  int bucket = leaf_bucket(v, memory.table_size);
  for (GBddNode* n = memory.buckets[bucket]; n != nullptr; n = n->next)
    if (n->index == LEAF_INDEX && n->value == v) return reinterpret_cast<Edge>(n);
  GBddNode* n = new_node();
  if (n == nullptr) return 0;
  init_node(n, LEAF_INDEX, v, 0, 0);
  insert_node(n, bucket);
  return reinterpret_cast<Edge>(n);
}

int count_nodes(GBddNode* n, int stamp) {
  if (n->visit == stamp) return 0;
  n->visit = stamp;
  if (n->index == LEAF_INDEX) return 0;
  int c = 1;
  if (n->low != 0) c += count_nodes(node_of(n->low), stamp);
  if (n->high != 0) c += count_nodes(node_of(n->high), stamp);
  return c;
}

// ---- collection -------------------------------------------------------------------

int garbage_collect() {
  long slots = slot_count();
  if (slots == 0) return 0;
  verbose_message("GBdd garbage collect ... ");
  int stamp = ++memory.gc_count;
  for (GBdd* p = alive_head.next; p != &alive_head; p = p->next)
    if (p->edge != 0) mark(node_of(p->edge), stamp);

  long reclaimed = 0;
  for (int b = 0; b < memory.table_size; b++) {
    GBddNode** link = &memory.buckets[b];
    while (GBddNode* n = *link) {
      clear_memos(n);
      if (n->gc_mark == stamp) {
        link = &n->next;
        continue;
      }
      *link = n->next;
      n->index = POISON_INDEX;
      n->next = memory.free_list;
      memory.free_list = n;
      reclaimed++;
    }
  }
  memory.table_entries -= reclaimed;
  cache_clear();
  int percent = static_cast<int>(reclaimed * 100 / slots);
  verbose_message("done : %d%% (%ld on %ld)\n", percent, reclaimed, slots);
  return percent;
}

// ---- module -----------------------------------------------------------------------

namespace {

bool init_store(int block_size, std::uintptr_t true_value, std::uintptr_t false_value) {
  if (slot_count() != 0) {
    internal_error("GBdd::init_module : can't initialize, memory not empty");
    return false;
  }
  memory.blocks = nullptr;
  memory.block_count = 0;
  memory.allocation_count = 0;
  memory.free_list = nullptr;
  memory.block_size = DEFAULT_BLOCK_SIZE;
  // The bucket array of an earlier, empty store is reused: its chains are empty.
  if (memory.buckets == nullptr || memory.table_size != TABLE_SIZE) {
    delete[] memory.buckets;
    memory.buckets = new GBddNode*[TABLE_SIZE];
  }
  memory.table_size = TABLE_SIZE;
  memory.table_entries = 0;
  cache_resize(TABLE_SIZE);
  for (int b = 0; b < TABLE_SIZE; b++)
    memory.buckets[b] = nullptr;

  memory.block_size = block_size;
  memory.true_value = true_value;
  memory.false_value = false_value;
  init_node(&memory.boolean_leaf, LEAF_INDEX, true_value, 0, 0);
  TRUE_EDGE = reinterpret_cast<Edge>(&memory.boolean_leaf) | BOOLEAN_BIT;
  memory.gc_count = 0;
  FALSE_EDGE = TRUE_EDGE | COMPLEMENT_BIT;

  // The constants live for the whole run; they are never destroyed.
  if (init_count == 0) {
    memory.true_constant = new GBdd(TRUE_EDGE);
    memory.false_constant = new GBdd(FALSE_EDGE);
    memory.null_constant = new GBdd();
  }

  stamp_counter = 0;
  mark_stamp = 0;
  support_or_key = new_stamp();
  support_and_key = new_stamp();
  smooth_key = -1;
  rename_stamp = -1;
  shift_stamp = -1;
  forall_key = -1;
  forall_var_key = -1;
  forall_x2max_key = -1;
  init_count++;
  return true;
}

} // namespace

bool init_module() {
  return init_store(DEFAULT_BLOCK_SIZE, default_true_value(), default_false_value());
}

bool init_module(int block_size) {
  return init_store(block_size, default_true_value(), default_false_value());
}

bool init_module(std::uintptr_t true_value, std::uintptr_t false_value) {
  return init_store(DEFAULT_BLOCK_SIZE, true_value, false_value);
}

bool init_module(int block_size, std::uintptr_t true_value, std::uintptr_t false_value) {
  return init_store(block_size, true_value, false_value);
}

int live_node_count() {
  int stamp = new_stamp();
  int count = 0;
  for (GBdd* p = alive_head.next; p != &alive_head; p = p->next)
    if (p->edge != 0) count += count_nodes(node_of(p->edge), stamp);
  return count;
}

long allocation_count() {
  return memory.allocation_count;
}
