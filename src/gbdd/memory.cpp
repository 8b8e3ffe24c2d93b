// The node store: one growable array of node slots, the unique table threaded
// through the nodes, the free list and the mark-and-sweep collector whose roots
// are the handles on the alive list.
//
// Invariants, true whenever no store operation is running:
// - every live internal node and every live value leaf is in exactly one bucket
//   chain, the one its fields hash to; a free slot is in no chain and holds
//   POISON_INDEX; slots at and above the frontier were never used;
// - no internal node has equal children, and no two nodes are alike;
// - the stored high edge of a purely boolean node is never complemented;
// - along every path the variable index strictly increases;
// - no node carries a mark bit.
// A collection can start inside any call that creates a node, so everything an
// operation still needs must then be reachable from a handle on the alive list.
// Nodes are named by slot number, never by address: growing the array moves it.

#include "gbdd/gbdd_internal.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <sys/mman.h>
#include <vector>

// ---- package-wide state, in build order --------------------------------------------
// ORDER: alive_head before everything else: constant-initialised, so it is linked
// to itself before any static initialiser of the program runs.
constinit GBdd alive_head{GBdd::Sentinel::ALIVE_HEAD};
GBddMemory memory;

std::uint32_t stamp_counter;
std::uint32_t smooth_key;
int smooth_var;
std::uint32_t rename_stamp;
RenameFn rename_fn;
std::uint32_t shift_stamp;
int shift_amount;
std::uint32_t forall_key;
Edge forall_set;
std::uint32_t forall_var_key;
int forall_var_index;
std::uint32_t forall_x2max_key;
int forall_x2max_index;

void drop_marks_of_dead_nodes(); // size.cpp: user marks die with their node

// ---- table memory ---------------------------------------------------------------------
// The node array and the tables are mapped directly, zero-filled, and large ones
// are asked for huge pages: they are read at random, and with small pages nearly
// every read of a large store would miss the address-translation cache too.
// Small tables come from the heap instead: a store that is made and dropped
// again and again (one per input of a test driver) would otherwise pay a
// mapping, its first-touch faults and, on unmapping, a flush of every core's
// address-translation cache each time. Which way a table was made follows from
// its size alone.

namespace {

constexpr std::size_t PAGE = 4096;
constexpr std::size_t HUGE_PAGE = std::size_t(2) << 20;
constexpr std::size_t SMALL_TABLE = std::size_t(64) << 10;

std::size_t mapped_size(std::size_t bytes) {
  return (bytes + PAGE - 1) / PAGE * PAGE;
}

void advise_huge(void* p, std::size_t bytes) {
  if (bytes >= HUGE_PAGE) madvise(p, mapped_size(bytes), MADV_HUGEPAGE);
}

} // namespace

void* map_table(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes <= SMALL_TABLE) {
    void* p = std::calloc(1, bytes);
    if (p == nullptr) memory_exhausted();
    return p;
  }
  void* p = mmap(nullptr, mapped_size(bytes), PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) memory_exhausted();
  advise_huge(p, bytes);
  return p;
}

void* remap_table(void* p, std::size_t old_bytes, std::size_t new_bytes) {
  if (p == nullptr) return map_table(new_bytes);
  if (old_bytes <= SMALL_TABLE || new_bytes <= SMALL_TABLE) {
    void* q = map_table(new_bytes);
    std::memcpy(q, p, std::min(old_bytes, new_bytes));
    unmap_table(p, old_bytes);
    return q;
  }
  void* q = mremap(p, mapped_size(old_bytes), mapped_size(new_bytes), MREMAP_MAYMOVE);
  if (q == MAP_FAILED) memory_exhausted();
  advise_huge(q, new_bytes);
  return q;
}

void unmap_table(void* p, std::size_t bytes) {
  if (p == nullptr) return;
  if (bytes <= SMALL_TABLE)
    std::free(p);
  else
    munmap(p, mapped_size(bytes));
}

namespace {

int init_count;
volatile std::sig_atomic_t interrupt_flag = 0;
std::uint64_t memory_limit = 0; // bytes; 0: none

const char TRUE_BDD_TEXT[] = "true_bdd";
const char FALSE_BDD_TEXT[] = "false_bdd";
// Slots of a fresh store: few, since the unique and computed tables are touched
// at random and each page touched for the first time costs a fault; a store
// that fills up doubles.
constexpr int DEFAULT_CAPACITY = (1 << 12) - FIRST_SLOT - 1;
#ifdef GBDD_GC_STRESS
constexpr int GC_STRESS_CAPACITY = 8;
#endif
// A collection that leaves less than this share of the slots free grows the
// store: collecting a nearly full store again and again costs more than the
// memory it saves. A smaller store is also a faster one: fewer of its reads
// miss the processor's caches.
constexpr double MIN_FREE_SHARE = 0.25;

std::uintptr_t default_true_value() {
  return reinterpret_cast<std::uintptr_t>(TRUE_BDD_TEXT);
}
std::uintptr_t default_false_value() {
  return reinterpret_cast<std::uintptr_t>(FALSE_BDD_TEXT);
}

std::uint64_t bytes_per_slot() {
  return sizeof(GBddNode) + sizeof(std::uint32_t) +
         (memory.serial_highs != nullptr ? sizeof(std::uint16_t) : 0);
}

// Bytes of a store of `slots` slots with its unique table and computed table.
std::uint64_t store_bytes_for(std::uint64_t slots, std::uint64_t buckets) {
  return slots * bytes_per_slot() + buckets * sizeof(NodeId) + cache_bytes();
}

std::uint64_t bucket_count_for(std::uint64_t slots) {
  std::uint64_t n = 1024;
  while (n < slots)
    n *= 2;
  return n;
}

// Whether the next serial has a high part the store has no array for yet. The
// two places that make nodes (new_node and init_store) make the array first.
bool serial_highs_wanted() {
  return memory.serial_highs == nullptr && memory.serial_counter >= UINT32_MAX;
}

// The array of serial high parts, zero-filled: the high part of every older node.
void make_serial_highs() {
  memory.serial_highs =
      static_cast<std::uint16_t*>(map_table(memory.capacity * sizeof(std::uint16_t)));
}

void set_serial(NodeId id, std::uint64_t serial) {
  assert(serial >> 32 == 0 || memory.serial_highs != nullptr);
  memory.serials[id] = static_cast<std::uint32_t>(serial);
  if (memory.serial_highs != nullptr)
    memory.serial_highs[id] = static_cast<std::uint16_t>(serial >> 32);
}

void init_node(NodeId id, int index, Edge32 low, Edge32 high) {
  GBddNode* n = node_at(id);
  n->index = index;
  n->low = low;
  n->high = high;
  n->next = 0;
  set_serial(id, ++memory.serial_counter);
}

void release_arrays() {
  unmap_table(memory.nodes, memory.capacity * sizeof(GBddNode));
  unmap_table(memory.buckets, (memory.bucket_mask + 1) * sizeof(NodeId));
  unmap_table(memory.serials, memory.capacity * sizeof(std::uint32_t));
  unmap_table(memory.serial_highs, memory.capacity * sizeof(std::uint16_t));
  memory.nodes = nullptr;
  memory.buckets = nullptr;
  memory.serials = nullptr;
  memory.serial_highs = nullptr;
  memory.capacity = 0;
  memory.bucket_mask = 0;
}

// Runs before every default-priority static initialiser of the program, so the
// store and its constants exist before any other static handle is built; at
// exit it releases the arrays after all those handles are gone.
struct StoreLifetime {
  StoreLifetime() {
    memory = GBddMemory{};
#ifdef GBDD_GC_STRESS
    init_module(GC_STRESS_CAPACITY);
#else
    init_module();
#endif
  }
  ~StoreLifetime() {
    release_arrays();
  }
};

StoreLifetime store_lifetime __attribute__((init_priority(101)));

double now_seconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

} // namespace

// ---- unique table ---------------------------------------------------------------------

std::uint64_t node_bucket(std::int32_t index, Edge32 low, Edge32 high) {
  std::uint64_t h = ((std::uint64_t(high) << 32) | low) * 0x9E3779B97F4A7C15ull;
  h ^= std::uint64_t(std::uint32_t(index)) * 0xC2B2AE3D27D4EB4Full;
  return (h ^ (h >> 31)) & memory.bucket_mask;
}

namespace {

void insert_node(NodeId id, std::uint64_t bucket) {
  node_at(id)->next = memory.buckets[bucket];
  memory.buckets[bucket] = id;
}

// Rebuilds every chain over a bucket array of `count` buckets, and the free list
// in slot order. With `sweep`, a node the collector left unmarked is reclaimed on
// the way and the marks are cleared; returns the number reclaimed. Creates no
// node, so it cannot collect.
long rebuild_chains(std::uint64_t count, bool sweep) {
  if (memory.buckets != nullptr && count == memory.bucket_mask + 1) {
    std::memset(memory.buckets, 0, count * sizeof(NodeId));
  } else {
    unmap_table(memory.buckets, (memory.bucket_mask + 1) * sizeof(NodeId));
    memory.buckets = static_cast<NodeId*>(map_table(count * sizeof(NodeId)));
  }
  memory.bucket_mask = count - 1;
  memory.free_list = 0;
  memory.free_count = 0;
  long reclaimed = 0;
  constexpr std::uint64_t AHEAD = 16; // slots whose buckets are asked for in advance
  for (std::uint64_t id = memory.frontier; id-- > FIRST_SLOT + 1;) {
    if (id >= FIRST_SLOT + 1 + AHEAD) {
      const GBddNode* later = node_at(NodeId(id - AHEAD));
      if (later->index != POISON_INDEX)
        __builtin_prefetch(&memory.buckets[node_bucket(later->index, later->low, later->high)], 1);
    }
    GBddNode* n = node_at(NodeId(id));
    if (sweep && n->index != POISON_INDEX && (n->next & MARK_BIT) == 0) {
      n->index = POISON_INDEX;
      reclaimed++;
    }
    if (n->index == POISON_INDEX) {
      n->next = memory.free_list;
      memory.free_list = NodeId(id);
      memory.free_count++;
      continue;
    }
    insert_node(NodeId(id), node_bucket(n->index, n->low, n->high));
  }
  return reclaimed;
}

// Gives the store `slots` slots. The array keeps its slot numbers, so every
// edge stays valid; the chains are rebuilt over a table as large as the store.
bool grow_store(std::uint64_t slots) {
  if (slots > MAX_SLOTS) slots = MAX_SLOTS;
  if (slots <= memory.capacity) return false;
  std::uint64_t buckets = bucket_count_for(slots);
  if (memory_limit != 0 && store_bytes_for(slots, buckets) > memory_limit) return false;
  memory.nodes = static_cast<GBddNode*>(
      remap_table(memory.nodes, memory.capacity * sizeof(GBddNode), slots * sizeof(GBddNode)));
  memory.serials = static_cast<std::uint32_t*>(remap_table(
      memory.serials, memory.capacity * sizeof(std::uint32_t), slots * sizeof(std::uint32_t)));
  if (memory.serial_highs != nullptr)
    memory.serial_highs = static_cast<std::uint16_t*>(
        remap_table(memory.serial_highs, memory.capacity * sizeof(std::uint16_t),
                    slots * sizeof(std::uint16_t)));
  memory.capacity = slots;
  if (buckets != memory.bucket_mask + 1) rebuild_chains(buckets, false);
  cache_resize(slots);
  return true;
}

// The store's next size: doubling while small, then half as much again, never
// more than the limit allows.
std::uint64_t next_capacity() {
  std::uint64_t c = memory.capacity;
  return c < (std::uint64_t(1) << 22) ? 2 * c : c + c / 2;
}

NodeId take_slot() {
  if (memory.free_list != 0) {
    NodeId id = memory.free_list;
    memory.free_list = node_at(id)->next;
    memory.free_count--;
    return id;
  }
  if (memory.frontier < memory.capacity) return NodeId(memory.frontier++);
  return 0;
}

// A slot for a new node: from the free list, from the never-used part, after a
// collection, or from a larger store. May collect.
NodeId new_node() {
  if (interrupt_flag) throw GBddAbort{GBddAbort::INTERRUPT};
  // The first serial past 32 bits needs the array of high parts. Made here, before
  // a slot is taken, it is held to the limit as a larger store would be.
  if (serial_highs_wanted()) {
    if (memory_limit != 0 &&
        store_bytes_for(memory.capacity, memory.bucket_mask + 1) +
                memory.capacity * sizeof(std::uint16_t) >
            memory_limit)
      throw GBddAbort{GBddAbort::MEMORY_LIMIT};
    make_serial_highs();
  }
#ifdef GBDD_GC_STRESS
  // Collector-safety builds collect before every allocation, so a result not
  // held in a handle is reclaimed at once and shows up as a wrong answer.
  garbage_collect();
#endif
  NodeId id = take_slot();
  if (id == 0) {
    garbage_collect();
    if (double(memory.free_count) < MIN_FREE_SHARE * double(memory.capacity)) {
      std::uint64_t want = next_capacity();
      // Under a limit, the largest store that fits is still worth having.
      while (!grow_store(want) && want > memory.capacity + 1)
        want = memory.capacity + (want - memory.capacity) / 2;
    }
    id = take_slot();
    if (id == 0) {
      if (memory_limit != 0) throw GBddAbort{GBddAbort::MEMORY_LIMIT};
      memory_exhausted();
    }
  }
  memory.allocation_count++;
  return id;
}

} // namespace

void memory_exhausted() {
  internal_error("%s %ld", "garbage collect has failed, memory size was ", slot_count());
  std::exit(1);
}

namespace {

// The slot of the node (index, low, high), made when the table has none. May
// collect.
inline NodeId unique_node(std::int32_t index, Edge32 low, Edge32 high) {
  for (NodeId id = memory.buckets[node_bucket(index, low, high)]; id != 0;) {
    const GBddNode* n = node_at(id);
    if (n->index == index && n->low == low && n->high == high) return id;
    id = n->next;
  }
  NodeId id = new_node();
  init_node(id, index, low, high);
  insert_node(id,
              node_bucket(index, low, high)); // re-hashed: a collection may have grown the table
  return id;
}

} // namespace

Edge get_node(int i, Edge h, Edge l) {
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
  return edge_to(unique_node(i, static_cast<Edge32>(l), static_cast<Edge32>(h))) | flags;
}

Edge get_leaf(std::uintptr_t v) {
  if (v == memory.true_value) return TRUE_EDGE;
  if (v == memory.false_value) return FALSE_EDGE;
  return edge_to(
      unique_node(LEAF_INDEX, static_cast<Edge32>(v), static_cast<Edge32>(std::uint64_t(v) >> 32)));
}

std::uint64_t serial_of(NodeId id) {
  std::uint64_t high = memory.serial_highs != nullptr ? memory.serial_highs[id] : 0;
  return high << 32 | memory.serials[id];
}

namespace {

// Marks every unmarked node reachable from the slots on the stack, listing them in
// `marked` when it is given; returns how many of them are internal nodes.
long mark_reachable(std::vector<NodeId>& stack, std::vector<NodeId>* marked) {
  // The walk is bound by memory latency: a node popped off the stack waits in a
  // short queue, its load already asked for, while the nodes before it are done.
  constexpr int DEPTH = 8;
  NodeId queue[DEPTH];
  int head = 0;
  int queued = 0;
  long internal = 0;
  while (!stack.empty() || queued > 0) {
    if (!stack.empty() && queued < DEPTH) {
      NodeId id = stack.back();
      stack.pop_back();
      __builtin_prefetch(node_at(id), 1);
      queue[(head + queued++) % DEPTH] = id;
      continue;
    }
    NodeId id = queue[head];
    head = (head + 1) % DEPTH;
    queued--;
    GBddNode* n = node_at(id);
    if (n->next & MARK_BIT) continue;
    n->next |= MARK_BIT;
    if (marked != nullptr) marked->push_back(id);
    if (n->index == LEAF_INDEX) continue;
    internal++;
    stack.push_back(id_of(n->high));
    stack.push_back(id_of(n->low));
  }
  return internal;
}

} // namespace

long count_nodes(const Edge* roots, long count) {
  std::vector<NodeId> stack;
  std::vector<NodeId> seen;
  for (long k = 0; k < count; k++)
    if (roots[k] != 0) stack.push_back(id_of(roots[k]));
  long internal = mark_reachable(stack, &seen);
  for (NodeId id : seen)
    node_at(id)->next &= ~MARK_BIT;
  return internal;
}

// ---- collection -------------------------------------------------------------------

Edge* root_stack = nullptr;
std::uint32_t root_count = 0;
std::uint32_t root_capacity = 0;

void grow_root_stack() {
  std::uint32_t capacity = root_capacity == 0 ? 1024 : 2 * root_capacity;
  auto* grown = static_cast<Edge*>(std::realloc(root_stack, capacity * sizeof(Edge)));
  if (grown == nullptr) memory_exhausted();
  root_stack = grown;
  root_capacity = capacity;
}

int garbage_collect() {
  long slots = slot_count();
  if (memory.frontier <= FIRST_SLOT + 1) return 0; // no node was ever made
  verbose_message("GBdd garbage collect ... ");
  double start = now_seconds();
  std::vector<NodeId> stack;
  for (GBdd* p = alive_head.next; p != &alive_head; p = p->next)
    if (p->edge != 0) stack.push_back(id_of(p->edge));
  for (std::uint32_t k = 0; k < root_count; k++)
    if (root_stack[k] != 0) stack.push_back(id_of(root_stack[k]));
  mark_reachable(stack, nullptr);
  drop_marks_of_dead_nodes();

  // One pass in slot order: the dead are poisoned, the marks cleared, and the
  // chains and the free list rebuilt from scratch.
  long reclaimed = rebuild_chains(memory.bucket_mask + 1, true);
  node_at(BOOLEAN_LEAF_SLOT)->next = 0; // the one live node in no chain
  cache_clear();
  memory.gc_count++;
  memory.gc_seconds += now_seconds() - start;
  int percent = static_cast<int>(reclaimed * 100 / slots);
  verbose_message("done : %d%% (%ld on %ld)\n", percent, reclaimed, slots);
  return percent;
}

// ---- module -----------------------------------------------------------------------

namespace {

bool init_store(int capacity, std::uintptr_t true_value, std::uintptr_t false_value) {
  if (memory.frontier > FIRST_SLOT + 1) {
    internal_error("GBdd::init_module : can't initialize, memory not empty");
    return false;
  }
  release_arrays();
  memory.initial_capacity = capacity;
  memory.allocation_count = 0;
  memory.frontier = FIRST_SLOT + 1;
  memory.bucket_mask = 0;
  // The boolean leaf and the reserved slots below it, then the requested room,
  // rounded up to a power of two: the unique table then has one bucket a slot.
  std::uint64_t slots = 8;
  while (slots < std::uint64_t(FIRST_SLOT) + 1 + (capacity > 0 ? capacity : 1))
    slots *= 2;
  memory.capacity = 0;
  if (!grow_store(slots)) memory_exhausted();
  memory.true_value = true_value;
  memory.false_value = false_value;
  for (NodeId id = 0; id < FIRST_SLOT; id++)
    *node_at(id) = GBddNode{POISON_INDEX, 0, 0, 0};
  if (serial_highs_wanted()) make_serial_highs(); // serials go on from the last store
  init_node(BOOLEAN_LEAF_SLOT, LEAF_INDEX, static_cast<Edge32>(true_value),
            static_cast<Edge32>(std::uint64_t(true_value) >> 32));
  memory.gc_count = 0;
  memory.gc_seconds = 0;

  // The constants live for the whole run; they are never destroyed.
  if (init_count == 0) {
    memory.true_constant = new GBdd(TRUE_EDGE);
    memory.false_constant = new GBdd(FALSE_EDGE);
    memory.null_constant = new GBdd();
  }

  stamp_counter = 0;
  smooth_key = 0;
  rename_stamp = 0;
  shift_stamp = 0;
  forall_key = 0;
  forall_var_key = 0;
  forall_x2max_key = 0;
  init_count++;
  return true;
}

} // namespace

bool init_module() {
  return init_store(DEFAULT_CAPACITY, default_true_value(), default_false_value());
}

bool init_module(int block_size) {
  return init_store(block_size, default_true_value(), default_false_value());
}

bool init_module(std::uintptr_t true_value, std::uintptr_t false_value) {
  return init_store(DEFAULT_CAPACITY, true_value, false_value);
}

bool init_module(int block_size, std::uintptr_t true_value, std::uintptr_t false_value) {
  return init_store(block_size, true_value, false_value);
}

int live_node_count() {
  std::vector<Edge> roots;
  for (GBdd* p = alive_head.next; p != &alive_head; p = p->next)
    if (p->edge != 0) roots.push_back(p->edge);
  return static_cast<int>(count_nodes(roots.data(), static_cast<long>(roots.size())));
}

long allocation_count() {
  return memory.allocation_count;
}

GBddStats store_stats() {
  GBddStats s{};
  s.live_nodes = live_node_count();
  s.node_slots = slot_count();
  s.bytes_per_node = static_cast<int>(bytes_per_slot() + sizeof(NodeId));
  s.unique_buckets = static_cast<long>(memory.bucket_mask + 1);
  s.cache_entries = static_cast<long>(cache_entries());
  s.cache_lookups = static_cast<long>(cache_lookups);
  s.cache_hits = static_cast<long>(cache_hits);
  s.collections = memory.gc_count;
  s.collection_seconds = memory.gc_seconds;
  s.store_bytes = static_cast<long>(store_bytes_for(memory.capacity, memory.bucket_mask + 1));
  return s;
}

#ifdef GBDD_FUZZ_RESET
// Fuzzing builds run many sessions in one process; each starts from an empty
// store, as a new process would. Every handle but the constants must be gone.
bool reset_store() {
  for (GBdd* p = alive_head.next; p != &alive_head; p = p->next)
    if (p != memory.true_constant && p != memory.false_constant && p != memory.null_constant) {
      internal_error("GBdd::reset_store : handles are still alive");
      return false;
    }
  memory.frontier = FIRST_SLOT + 1;
  memory.free_list = 0;
  memory.free_count = 0;
  std::memset(memory.buckets, 0, (memory.bucket_mask + 1) * sizeof(NodeId));
  cache_clear();
  drop_marks_of_dead_nodes(); // no node is marked: every mark goes
  memory.allocation_count = 0;
  memory.gc_count = 0;
  memory.gc_seconds = 0;
  interrupt_flag = 0;
  memory_limit = 0;
  return true;
}
#endif

void request_interrupt() {
  interrupt_flag = 1;
}

void clear_interrupt() {
  interrupt_flag = 0;
}

bool interrupt_requested() {
  return interrupt_flag != 0;
}

void set_memory_limit(std::uint64_t bytes) {
  memory_limit = bytes;
}
