#pragma once
// GBdd: reduced, shared binary decision diagrams with complement edges.
//
// A GBdd handle holds one edge word: a node's slot number shifted left by two,
// with COMPLEMENT_BIT and BOOLEAN_BIT in its two low bits. Every handle is linked into the alive
// list, the root set of the mark-and-sweep collector; a node survives a collection exactly when a
// live handle reaches it. Two handles denote the same function exactly when their edges are equal.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Edge = std::uintptr_t;

constexpr Edge COMPLEMENT_BIT = 1;
constexpr Edge BOOLEAN_BIT = 2;

class GBdd {
public:
  GBdd(); // the null function (edge 0)
  GBdd(const GBdd& other);
  explicit GBdd(Edge e); // wraps a result of a recursive core
  ~GBdd();
  GBdd& operator=(const GBdd& other);

  bool operator==(const GBdd& other) const { return edge == other.edge; }
  bool operator!=(const GBdd& other) const { return edge != other.edge; }

  // Queries; all but is_boolean need a non-null handle.
  bool is_boolean() const { return (edge & BOOLEAN_BIT) != 0; }
  bool is_leaf() const;
  int top_index() const;             // LEAF_INDEX for a leaf
  std::uintptr_t leaf_value() const; // 0 for an internal node
  GBdd low() const;                  // else-cofactor read through the edge
  GBdd high() const;                 // then-cofactor read through the edge
  std::uintptr_t eval(int (*assign)(int)) const;
  bool depends_on(int i) const;

  // Package constants, owned by the store.
  static const GBdd& TRUE_();
  static const GBdd& FALSE_();
  static const GBdd& NULL_();
  // Projection on variable i, its negation, and the leaf holding v. May collect.
  static GBdd variable(int i);
  static GBdd negated_variable(int i);
  static GBdd leaf(std::uintptr_t v);

  // The alive list's own sentinel: constant-initialised and linked to itself, so
  // that it exists before any other handle of the program, whatever the order in
  // which translation units run their static initialisers.
  enum class Sentinel { ALIVE_HEAD };
  constexpr explicit GBdd(Sentinel) : edge(0), next(this), pred(this) {}

  Edge edge;
  GBdd* next;
  GBdd* pred;
};

constexpr int LEAF_INDEX = 2147483647;

// ---- reporting ---------------------------------------------------------
void internal_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
void warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
int verbose_message(const char* format, ...) __attribute__((format(printf, 1, 2)));
void set_error_handler(void (*handler)());
int set_verbose(int v);
void check_alive_list(const GBdd* ref);

// ---- store ---------------------------------------------------------------
int garbage_collect();
// Reports, as the store does when no block can be had, that memory is
// exhausted, and ends the run; installed as the program's new-handler so that
// every allocation that fails ends the same way.
[[noreturn]] void memory_exhausted();
bool init_module();
bool init_module(int block_size);
bool init_module(std::uintptr_t true_value, std::uintptr_t false_value);
bool init_module(int block_size, std::uintptr_t true_value, std::uintptr_t false_value);
int live_node_count();
long allocation_count();

// The store's figures, for reports.
struct GBddStats {
  long live_nodes;    // reachable from live handles
  long node_slots;    // slots of the node array, used or not
  int bytes_per_node; // node record, unique-table bucket and serial
  long unique_buckets;
  long cache_entries;
  long cache_lookups;
  long cache_hits;
  long collections;
  double collection_seconds;
  long store_bytes; // node array, unique table, serials and computed table
};
GBddStats store_stats();

// ---- ending an operation early ---------------------------------------------
// Thrown where a node is made, once an interrupt was requested or the store would
// pass its memory limit. The operation unwinds through handles that release
// themselves; the store stays consistent and what was built is garbage.
struct GBddAbort {
  enum Reason { INTERRUPT, MEMORY_LIMIT } reason;
};
// Async-signal-safe: only sets a flag, read where nodes are made.
void request_interrupt();
void clear_interrupt();
bool interrupt_requested();
// Bytes the store and its tables may take; 0 lifts the limit.
void set_memory_limit(std::uint64_t bytes);

#ifdef GBDD_FUZZ_RESET
// Empties the store as if the process had just started (the capacity stays, the
// serials go on; the collection and allocation counts start again, the limit and
// the interrupt are cleared); only the constants may still be alive. Only fuzzing
// builds, which run many sessions in one process, have it.
bool reset_store();
#endif

// ---- Boolean core (May collect) -------------------------------------------
GBdd and_(const GBdd& x, const GBdd& y);
GBdd or_(const GBdd& x, const GBdd& y);
GBdd operator!(const GBdd& x);
GBdd ite(const GBdd& c, const GBdd& f, const GBdd& g);
GBdd xor_(const GBdd& f, const GBdd& g);
GBdd impl(const GBdd& f, const GBdd& g);
GBdd smooth(const GBdd& f, int v);

// ---- tests and predicates ---------------------------------------------------
int test_impl(const GBdd& f, const GBdd& g);
int test_and(const GBdd& f, const GBdd& g);
int eval_bool(const GBdd& f, int (*assign)(int));
bool is_null(const GBdd& f);
bool is_true(const GBdd& f);
bool is_false(const GBdd& f);
int cmp(const GBdd& f, const GBdd& g);
int hash(const GBdd& f);
unsigned hash_mod(const GBdd& f, unsigned n);

// ---- sizes, support, marks ----------------------------------------------------
// An exact unsigned count of any size: tree sizes and model counts outgrow every
// machine word.
class TreeCount {
public:
  TreeCount(std::uint64_t v = 0);
  TreeCount& operator+=(const TreeCount& o);
  TreeCount& shift_left(int bits); // multiplies by 2^bits
  bool operator==(const TreeCount& o) const { return limbs == o.limbs; }
  std::string to_string() const; // decimal
private:
  std::vector<std::uint32_t> limbs; // little-endian base 2^32, no leading zeros
};

struct GBddChain { // a caller's record for shared_size: only these fields are read
  GBdd f;
  GBddChain* next;
};

int size(const GBdd& f);
int shared_size(const GBddChain* chain);
int unsigned_size(const GBdd& f);
TreeCount tree_size(const GBdd& f);
GBdd support(const GBdd& f);
GBdd support_cube(const GBdd& f);
int support_count(const GBdd& f);
int support_max(const GBdd& f);
int get_mark(const GBdd& f, int key);
void put_mark(const GBdd& f, int key, int value);

// ---- generalised cofactors (May collect) ---------------------------------------
GBdd restrict(const GBdd& f, const GBdd& c);
GBdd constrain(const GBdd& f, const GBdd& c);
GBdd constrain_td(const GBdd& f, const GBdd& c);
GBdd low_cofactor(const GBdd& f, int i);
GBdd high_cofactor(const GBdd& f, int i);
GBdd ite_var(int i, const GBdd& g, const GBdd& h);

// ---- quantification (May collect) -----------------------------------------------
GBdd forall(const GBdd& vars, const GBdd& f);
GBdd exist(const GBdd& vars, const GBdd& f);
GBdd forall(int i, const GBdd& f);
GBdd exist(int i, const GBdd& f);
GBdd forall_x2max(int i, const GBdd& f);
GBdd exist_x2max(int i, const GBdd& f);

// ---- renaming (May collect) --------------------------------------------------------
using RenameFn = int (*)(int);
GBdd rename(const GBdd& f, RenameFn m);
GBdd shift(const GBdd& f, int d);

// ---- diagnostic dumps ---------------------------------------------------------------
using LeafPrinter = void (*)(FILE* out, std::uintptr_t value);
void default_leaf_printer(FILE* out, std::uintptr_t value);
void print_tree(const GBdd& f, FILE* out, LeafPrinter p);
void print_tree(const GBdd& f);
void print_sideways(const GBdd& f, FILE* out, LeafPrinter p);
void print_sideways(const GBdd& f);
void print_table(const GBdd& f);

// ---- rendering as a sum of products -----------------------------------------------
using VarNameFn = const char* (*)(int);
const char* default_var_name(int i);
const char* table_var_name(int i);
void set_sop_strings(const char* true_text, const char* false_text, const char* neg_prefix,
                     const char* lit_sep, const char* term_sep, const char* pos_prefix,
                     const char* term_prefix, const char* term_suffix);
void print_sop(const GBdd& f, FILE* out, VarNameFn name);
void print_sop(const GBdd& f, FILE* out, const char* const* names);
void print_sop(const GBdd& f);
// The table forms with the table's length: indices outside it, and empty entries,
// are named by default_var_name.
void print_sop(const GBdd& f, FILE* out, const char* const* names, int count);
void print_sop_line(const GBdd& f, FILE* out, VarNameFn name);
void print_sop_line(const GBdd& f, FILE* out, const char* const* names);
void print_sop_line(const GBdd& f);
void print_sop_line(const GBdd& f, FILE* out, const char* const* names, int count);
