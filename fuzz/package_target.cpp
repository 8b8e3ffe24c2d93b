// The package under a model checker, as an in-process fuzz target. The input
// bytes are a program of package operations on eight registers of handles over
// variables 0 to 7; beside each register runs its truth table (256 bits, bit a
// being the value under assignment a, where variable k has the value of bit k
// of a). After every step each written register must read back as its table,
// and two registers must have equal edges exactly when their tables are equal,
// and complementary edges exactly when their tables are complementary. Any
// disagreement aborts with the tables printed.

#include "eval/predef.h"
#include "gbdd/gbdd.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace {

constexpr int NVARS = 8;
constexpr int NREGS = 8;
constexpr int FRESH_STORE_SLOTS = 8;

using Table = std::array<std::uint64_t, 4>;

constexpr Table ZERO{0, 0, 0, 0};
constexpr Table ONE{~0ull, ~0ull, ~0ull, ~0ull};

bool bit(const Table& t, int a) {
  return (t[a >> 6] >> (a & 63)) & 1;
}
void set_bit(Table& t, int a) {
  t[a >> 6] |= std::uint64_t(1) << (a & 63);
}

const std::array<Table, NVARS> VAR_TABLES = [] {
  std::array<Table, NVARS> tables{};
  for (int k = 0; k < NVARS; k++)
    for (int a = 0; a < 256; a++)
      if ((a >> k) & 1) set_bit(tables[k], a);
  return tables;
}();

const Table& var_table(int k) {
  return VAR_TABLES[k];
}

Table not_table(const Table& t) {
  return {~t[0], ~t[1], ~t[2], ~t[3]};
}
Table and_table(const Table& x, const Table& y) {
  return {x[0] & y[0], x[1] & y[1], x[2] & y[2], x[3] & y[3]};
}
Table or_table(const Table& x, const Table& y) {
  return {x[0] | y[0], x[1] | y[1], x[2] | y[2], x[3] | y[3]};
}
Table xor_table(const Table& x, const Table& y) {
  return {x[0] ^ y[0], x[1] ^ y[1], x[2] ^ y[2], x[3] ^ y[3]};
}
Table ite_table(const Table& c, const Table& f, const Table& g) {
  return or_table(and_table(c, f), and_table(not_table(c), g));
}

// Bits of a word whose assignment has variable k (k < 6) at 0.
constexpr std::uint64_t LOW_HALF[6] = {0x5555555555555555ull, 0x3333333333333333ull,
                                       0x0f0f0f0f0f0f0f0full, 0x00ff00ff00ff00ffull,
                                       0x0000ffff0000ffffull, 0x00000000ffffffffull};

// t with variable k fixed to b, still a function of all eight variables.
Table cofactor(const Table& t, int k, bool b) {
  Table r;
  if (k < 6) {
    int s = 1 << k;
    for (int w = 0; w < 4; w++) {
      std::uint64_t half = b ? (t[w] & ~LOW_HALF[k]) >> s : t[w] & LOW_HALF[k];
      r[w] = half | (half << s);
    }
    return r;
  }
  if (k == 6) return b ? Table{t[1], t[1], t[3], t[3]} : Table{t[0], t[0], t[2], t[2]};
  return b ? Table{t[2], t[3], t[2], t[3]} : Table{t[0], t[1], t[0], t[1]};
}

bool depends_on(const Table& t, int k) {
  return cofactor(t, k, false) != cofactor(t, k, true);
}
bool is_constant(const Table& t) {
  return t == ZERO || t == ONE;
}
// The lowest variable t depends on: the top of its diagram.
int top_of(const Table& t) {
  for (int k = 0; k < NVARS; k++)
    if (depends_on(t, k)) return k;
  return NVARS;
}

// ---- the package side ----------------------------------------------------------

[[noreturn]] void fail(const char* what, const std::string& detail);

int current_assignment;
int assign(int i) {
  return (current_assignment >> i) & 1;
}

// The table of a diagram, read through its edges once per node and polarity
// (evaluating it at each of the 256 points would cost as much as all the rest
// of a step). Variables outside 0..7 or leaves other than the two Boolean ones
// are faults of their own.
class ReadBack {
public:
  Table table_of(const GBdd& f) {
    generation++;
    return walk(f);
  }

private:
  static constexpr int SLOTS = 1024; // a diagram over 8 variables has at most 2^8 nodes
  struct Slot {
    Edge edge = 0;
    unsigned generation = 0;
    Table table{};
  };

  Table walk(const GBdd& f) {
    if (f.is_leaf()) {
      if (f == GBdd::TRUE_()) return ONE;
      if (f == GBdd::FALSE_()) return ZERO;
      fail("read back", "a leaf other than true and false");
    }
    std::size_t h = (f.edge * 0x9e3779b97f4a7c15ull) >> 54;
    for (;; h = (h + 1) % SLOTS) {
      Slot& s = slots[h];
      if (s.generation != generation) break;
      if (s.edge == f.edge) return s.table;
    }
    int k = f.top_index();
    if (k < 0 || k >= NVARS) fail("read back", "variable " + std::to_string(k));
    Table t = or_table(and_table(var_table(k), walk(f.high())),
                       and_table(not_table(var_table(k)), walk(f.low())));
    // The walks below may have taken the slot looked at first: probe again.
    for (;; h = (h + 1) % SLOTS) {
      Slot& s = slots[h];
      if (s.generation != generation) {
        s = Slot{f.edge, generation, t};
        return t;
      }
    }
  }

  Slot slots[SLOTS];
  unsigned generation = 0;
};
ReadBack reader;

Table read_back(const GBdd& f) {
  return reader.table_of(f);
}

std::string hex(const Table& t) {
  char text[80];
  std::snprintf(text, sizeof text, "%016llx%016llx%016llx%016llx", (unsigned long long)t[3],
                (unsigned long long)t[2], (unsigned long long)t[1], (unsigned long long)t[0]);
  return text;
}

[[noreturn]] void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "package model check failed: %s\n%s\n", what, detail.c_str());
  std::abort();
}

void expect_table(const GBdd& f, const Table& want, const char* what) {
  if (f == GBdd::NULL_()) fail(what, "null result");
  Table got = read_back(f);
  if (got != want) fail(what, "model   " + hex(want) + "\npackage " + hex(got));
}

void expect_int(long got, long want, const char* what) {
  if (got != want) fail(what, "model " + std::to_string(want) + ", package " + std::to_string(got));
}

// ---- the model of the operations whose result is a unique function -----------------

// A set of tables, open-addressed: the functions of eight registers over eight
// variables number a few hundred at most.
class TableSet {
public:
  // True when t was not in the set.
  bool insert(const Table& t) {
    for (std::size_t h = slot_of(t);; h = (h + 1) % SLOTS) {
      if (!used[h]) {
        used[h] = true;
        tables[h] = t;
        count++;
        return true;
      }
      if (tables[h] == t) return false;
    }
  }
  bool contains(const Table& t) const {
    for (std::size_t h = slot_of(t);; h = (h + 1) % SLOTS) {
      if (!used[h]) return false;
      if (tables[h] == t) return true;
    }
  }
  std::size_t size() const { return count; }
  void clear() {
    used.fill(false);
    count = 0;
  }

private:
  static constexpr std::size_t SLOTS = 4096;
  static std::size_t slot_of(const Table& t) {
    return ((t[0] ^ t[1] * 3 ^ t[2] * 5 ^ t[3] * 7) * 0x9e3779b97f4a7c15ull) >> 52;
  }
  std::array<Table, SLOTS> tables;
  std::array<bool, SLOTS> used{};
  std::size_t count = 0;
};

// Nodes of the diagram of t: the distinct non-constant sub-functions reached by
// fixing variables from the top; with complement edges a function and its
// negation share one node.
struct NodeCount {
  TableSet functions;
  TableSet nodes; // the smaller table of each complementary pair
  void clear() {
    functions.clear();
    nodes.clear();
  }
};

void collect_nodes(const Table& t, NodeCount& count) {
  if (is_constant(t) || !count.functions.insert(t)) return;
  count.nodes.insert(std::min(t, not_table(t)));
  int k = top_of(t);
  collect_nodes(cofactor(t, k, false), count);
  collect_nodes(cofactor(t, k, true), count);
}

long tree_nodes(const Table& t) {
  if (is_constant(t)) return 0;
  int k = top_of(t);
  return 1 + tree_nodes(cofactor(t, k, false)) + tree_nodes(cofactor(t, k, true));
}

Table rename_table(const Table& t, const int* map) {
  Table r = ZERO;
  for (int a = 0; a < 256; a++) {
    int from = 0;
    for (int k = 0; k < NVARS; k++)
      if ((a >> map[k]) & 1) from |= 1 << k;
    if (bit(t, from)) set_bit(r, a);
  }
  return r;
}

// The generalised cofactor by a care set c other than false: f at the point of
// c nearest to a, where variable k weighs 2^(7-k), so that the top variable
// counts most. Variable by variable from the top: where c has points on only
// one side of k, every point takes that side.
Table constrain_table(const Table& f, const Table& c, int k = 0) {
  if (c == ONE || is_constant(f) || k == NVARS) return f;
  Table f0 = cofactor(f, k, false), f1 = cofactor(f, k, true);
  Table c0 = cofactor(c, k, false), c1 = cofactor(c, k, true);
  if (c0 == ZERO) return constrain_table(f1, c1, k + 1);
  if (c1 == ZERO) return constrain_table(f0, c0, k + 1);
  return ite_table(var_table(k), constrain_table(f1, c1, k + 1), constrain_table(f0, c0, k + 1));
}

std::optional<Table> upcons_table(const Table& f, const Table& g) {
  if (is_constant(f)) return g == f ? std::optional<Table>(ONE) : std::nullopt;
  if (g == ONE) return f;
  if (g == ZERO) return not_table(f);
  int v = std::min(top_of(f), top_of(g));
  auto h = upcons_table(cofactor(f, v, true), cofactor(g, v, true));
  if (!h) return std::nullopt;
  auto l = upcons_table(cofactor(f, v, false), cofactor(g, v, false));
  if (!l) return std::nullopt;
  return ite_table(var_table(v), *h, *l);
}

// ---- renaming callbacks ----------------------------------------------------------------

// The package takes a renaming as a plain function and memoises by its address,
// so each of these stands for one mapping, fixed for the whole input.
int rename_maps[4][NVARS];
int rename_0(int i) {
  return rename_maps[0][i];
}
int rename_1(int i) {
  return rename_maps[1][i];
}
int rename_2(int i) {
  return rename_maps[2][i];
}
int rename_3(int i) {
  return rename_maps[3][i];
}
const RenameFn rename_fns[4] = {rename_0, rename_1, rename_2, rename_3};

// ---- the program -------------------------------------------------------------------------

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
  bool more() const { return pos < size; }
  int next() { return pos < size ? data[pos++] : 0; }
};

class Machine {
public:
  void run(Reader& in);

private:
  void step(Reader& in);
  void store(int d, const GBdd& f, const Table& t, const char* what);
  void check_canonicity() const;
  void check_all(const char* what) const;
  void forget_dead_marks();
  bool held(int r) const { return regs[r] != GBdd::NULL_(); }
  GBdd cube(int mask, Table& exist_model, Table& forall_model, const Table& f) const;

  GBdd regs[NREGS];
  Table tables[NREGS]{};
  // Marks put on the node and polarity of a function, by its table. Once no
  // register reaches the node a collection may reclaim it, and its mark with it:
  // from then on the mark reads as either its value or 0.
  struct Mark {
    int key;
    int value;
    bool certain;
  };
  std::map<Table, Mark> marks;
};

void Machine::run(Reader& in) {
  for (int m = 0; m < 4; m++)
    for (int k = 0; k < NVARS; k++)
      rename_maps[m][k] = in.next() % NVARS;
  while (in.more())
    step(in);
  check_all("final check");
}

void Machine::store(int d, const GBdd& f, const Table& t, const char* what) {
  expect_table(f, t, what);
  regs[d] = f;
  tables[d] = t;
  check_canonicity();
  forget_dead_marks();
}

void Machine::check_canonicity() const {
  for (int i = 0; i < NREGS; i++) {
    if (!held(i)) continue;
    for (int j = 0; j < i; j++) {
      if (!held(j)) continue;
      bool equal_edges = regs[i].edge == regs[j].edge;
      if ((tables[i] == tables[j]) != equal_edges)
        fail("equal tables must have equal edges", hex(tables[i]) + "\n" + hex(tables[j]));
      bool complement_edges = (regs[i].edge ^ regs[j].edge) == COMPLEMENT_BIT;
      if ((tables[i] == not_table(tables[j])) != complement_edges)
        fail("complementary tables must have complementary edges",
             hex(tables[i]) + "\n" + hex(tables[j]));
    }
  }
}

void Machine::check_all(const char* what) const {
  for (int i = 0; i < NREGS; i++)
    if (held(i)) expect_table(regs[i], tables[i], what);
  check_canonicity();
}

void Machine::forget_dead_marks() {
  if (marks.empty()) return;
  static NodeCount reached;
  reached.clear();
  for (int i = 0; i < NREGS; i++)
    if (held(i)) collect_nodes(tables[i], reached);
  for (auto& [table, mark] : marks)
    if (!reached.nodes.contains(std::min(table, not_table(table)))) mark.certain = false;
}

// The cube of the variables in mask, and the models of quantifying them in f.
GBdd Machine::cube(int mask, Table& exist_model, Table& forall_model, const Table& f) const {
  GBdd c = GBdd::TRUE_();
  exist_model = forall_model = f;
  for (int k = NVARS; k-- > 0;) {
    if (!((mask >> k) & 1)) continue;
    c = and_(GBdd::variable(k), c);
    exist_model = or_table(cofactor(exist_model, k, false), cofactor(exist_model, k, true));
    forall_model = and_table(cofactor(forall_model, k, false), cofactor(forall_model, k, true));
  }
  return c;
}

enum Op {
  OP_VAR,
  OP_NOT,
  OP_AND,
  OP_OR,
  OP_XOR,
  OP_IMPL,
  OP_ITE,
  OP_ITE_VAR,
  OP_QUANTIFY_CUBE,
  OP_QUANTIFY_VAR,
  OP_QUANTIFY_X2MAX,
  OP_SMOOTH,
  OP_RESTRICT,
  OP_CONSTRAIN,
  OP_CONSTRAIN_TD,
  OP_UPCONS,
  OP_COFACTOR,
  OP_RENAME,
  OP_SHIFT,
  OP_SIZES,
  OP_SUPPORT,
  OP_MARKS,
  OP_TESTS,
  OP_COLLECT,
  OP_COPY,
  OP_DROP,
  OP_COUNT
};

void Machine::step(Reader& in) {
  int op = in.next() % OP_COUNT;
  int d = in.next() % NREGS;
  int a = in.next();
  int b = in.next();
  int x = a % NREGS;
  int y = b % NREGS;
  int z = (a >> 3) % NREGS;
  switch (op) {
  case OP_VAR: {
    int k = a % NVARS;
    if (b & 1)
      store(d, GBdd::negated_variable(k), not_table(var_table(k)), "negated_variable");
    else
      store(d, GBdd::variable(k), var_table(k), "variable");
    return;
  }
  case OP_NOT:
    if (held(x)) store(d, !regs[x], not_table(tables[x]), "not");
    return;
  case OP_AND:
    if (held(x) && held(y))
      store(d, and_(regs[x], regs[y]), and_table(tables[x], tables[y]), "and");
    return;
  case OP_OR:
    if (held(x) && held(y)) store(d, or_(regs[x], regs[y]), or_table(tables[x], tables[y]), "or");
    return;
  case OP_XOR:
    if (held(x) && held(y))
      store(d, xor_(regs[x], regs[y]), xor_table(tables[x], tables[y]), "xor");
    return;
  case OP_IMPL:
    if (held(x) && held(y))
      store(d, impl(regs[x], regs[y]), or_table(not_table(tables[x]), tables[y]), "impl");
    return;
  case OP_ITE:
    if (held(x) && held(y) && held(z))
      store(d, ite(regs[z], regs[x], regs[y]), ite_table(tables[z], tables[x], tables[y]), "ite");
    return;
  case OP_ITE_VAR: {
    int k = (a >> 3) % NVARS;
    if (held(x) && held(y))
      store(d, ite_var(k, regs[x], regs[y]), ite_table(var_table(k), tables[x], tables[y]),
            "ite_var");
    return;
  }
  case OP_QUANTIFY_CUBE: {
    if (!held(x)) return;
    Table e, f;
    GBdd vars = cube(b, e, f, tables[x]);
    if (a & 0x80)
      store(d, exist(vars, regs[x]), e, "exist cube");
    else
      store(d, forall(vars, regs[x]), f, "forall cube");
    return;
  }
  case OP_QUANTIFY_VAR: {
    if (!held(x)) return;
    int k = b % NVARS;
    Table lo = cofactor(tables[x], k, false), hi = cofactor(tables[x], k, true);
    if (a & 0x80)
      store(d, exist(k, regs[x]), or_table(lo, hi), "exist var");
    else
      store(d, forall(k, regs[x]), and_table(lo, hi), "forall var");
    return;
  }
  case OP_QUANTIFY_X2MAX: {
    if (!held(x)) return;
    int k = b % (NVARS + 1);
    Table e, f;
    GBdd vars = cube((0xff << k) & 0xff, e, f, tables[x]);
    if (a & 0x80)
      store(d, exist_x2max(k, regs[x]), e, "exist_x2max");
    else
      store(d, forall_x2max(k, regs[x]), f, "forall_x2max");
    return;
  }
  case OP_SMOOTH: {
    if (!held(x)) return;
    int k = b % NVARS;
    store(d, smooth(regs[x], k),
          or_table(cofactor(tables[x], k, false), cofactor(tables[x], k, true)), "smooth");
    return;
  }
  case OP_RESTRICT: {
    if (!held(x) || !held(y) || tables[y] == ZERO) return;
    const Table &f = tables[x], &c = tables[y];
    GBdd r = restrict(regs[x], regs[y]);
    if (r == GBdd::NULL_()) fail("restrict", "null result");
    Table t = read_back(r);
    // Free where c is false; never a variable that f does not have.
    if (and_table(t, c) != and_table(f, c)) fail("restrict must equal f on c", hex(t));
    for (int k = 0; k < NVARS; k++)
      if (depends_on(t, k) && !depends_on(f, k)) fail("restrict adds a variable", hex(t));
    bool shared = false;
    for (int k = 0; k < NVARS; k++)
      shared = shared || (depends_on(f, k) && depends_on(c, k));
    if (!shared && t != f) fail("restrict by an unrelated care set must give f", hex(t));
    store(d, r, t, "restrict");
    return;
  }
  case OP_CONSTRAIN:
    if (!held(x) || !held(y) || tables[y] == ZERO) return;
    store(d, constrain(regs[x], regs[y]), constrain_table(tables[x], tables[y]), "constrain");
    return;
  case OP_CONSTRAIN_TD: {
    if (!held(x) || !held(y)) return;
    const Table &f = tables[x], &c = tables[y];
    GBdd r = constrain_td(regs[x], regs[y]);
    if (c == ZERO) {
      if (r != GBdd::NULL_()) fail("constrain_td by false must be null", "");
      return;
    }
    if (r == GBdd::NULL_()) fail("constrain_td", "null result");
    Table t = read_back(r);
    Table lower = and_table(f, c), upper = or_table(f, not_table(c));
    if (and_table(lower, not_table(t)) != ZERO || and_table(t, not_table(upper)) != ZERO)
      fail("constrain_td must lie between f.c and f+-c", hex(t));
    store(d, r, t, "constrain_td");
    return;
  }
  case OP_UPCONS: {
    if (!held(x) || !held(y)) return;
    GBdd r = upcons(regs[x], regs[y]);
    std::optional<Table> want = upcons_table(tables[x], tables[y]);
    if (!want) {
      if (r != GBdd::NULL_()) fail("upcons must be null", hex(read_back(r)));
      return;
    }
    store(d, r, *want, "upcons");
    return;
  }
  case OP_COFACTOR: {
    if (!held(x)) return;
    int k = b % NVARS;
    if (a & 0x80)
      store(d, high_cofactor(regs[x], k), cofactor(tables[x], k, true), "high_cofactor");
    else
      store(d, low_cofactor(regs[x], k), cofactor(tables[x], k, false), "low_cofactor");
    return;
  }
  case OP_RENAME: {
    if (!held(x)) return;
    int m = b % 4;
    store(d, rename(regs[x], rename_fns[m]), rename_table(tables[x], rename_maps[m]), "rename");
    return;
  }
  case OP_SHIFT: {
    if (!held(x)) return;
    int shift_by = b % (2 * NVARS - 1) - (NVARS - 1);
    int low = NVARS, high = -1;
    for (int k = 0; k < NVARS; k++)
      if (depends_on(tables[x], k)) low = std::min(low, k), high = k;
    if (high >= 0 && (low + shift_by < 0 || high + shift_by >= NVARS)) return;
    int map[NVARS];
    for (int k = 0; k < NVARS; k++)
      map[k] = std::clamp(k + shift_by, 0, NVARS - 1);
    store(d, shift(regs[x], shift_by), rename_table(tables[x], map), "shift");
    return;
  }
  case OP_SIZES: {
    if (!held(x)) return;
    static NodeCount count;
    count.clear();
    collect_nodes(tables[x], count);
    expect_int(size(regs[x]), long(count.nodes.size()), "size");
    expect_int(unsigned_size(regs[x]), long(count.functions.size()), "unsigned_size");
    if (tree_size(regs[x]).to_string() != std::to_string(tree_nodes(tables[x])))
      fail("tree_size", tree_size(regs[x]).to_string());
    if (held(y)) {
      GBddChain second{regs[y], nullptr};
      GBddChain first{regs[x], &second};
      collect_nodes(tables[y], count);
      expect_int(shared_size(&first), long(count.nodes.size()), "shared_size");
    }
    return;
  }
  case OP_SUPPORT: {
    if (!held(x)) return;
    Table any = ZERO, all = ONE;
    int count = 0, last = -1;
    for (int k = 0; k < NVARS; k++) {
      if (!depends_on(tables[x], k)) continue;
      any = or_table(any, var_table(k));
      all = and_table(all, var_table(k));
      count++;
      last = k;
    }
    expect_int(support_count(regs[x]), count, "support_count");
    expect_int(support_max(regs[x]), last, "support_max");
    if (a & 0x80)
      store(d, support_cube(regs[x]), all, "support_cube");
    else
      store(d, support(regs[x]), any, "support");
    return;
  }
  case OP_MARKS: {
    if (!held(x) || is_constant(tables[x])) return;
    int key = b % 4;
    if (a & 0x80) {
      put_mark(regs[x], key, d + 1);
      marks[tables[x]] = {key, d + 1, true};
      return;
    }
    auto m = marks.find(tables[x]);
    int want = m != marks.end() && m->second.key == key ? m->second.value : 0;
    int got = get_mark(regs[x], key);
    if (got == 0 && m != marks.end() && !m->second.certain) return; // gone with its node
    expect_int(got, want, "get_mark");
    return;
  }
  case OP_TESTS: {
    if (!held(x) || !held(y)) return;
    const Table &f = tables[x], &g = tables[y];
    expect_int(test_impl(regs[x], regs[y]) != 0, and_table(f, not_table(g)) == ZERO, "test_impl");
    expect_int(test_and(regs[x], regs[y]) != 0, and_table(f, g) != ZERO, "test_and");
    current_assignment = b;
    expect_int(eval_bool(regs[x], assign), bit(f, b), "eval_bool");
    expect_int(regs[x].depends_on(a % NVARS), depends_on(f, a % NVARS), "depends_on");
    return;
  }
  case OP_COLLECT:
    garbage_collect();
    check_all("after a collection");
    return;
  case OP_COPY:
    if (held(x)) store(d, regs[x], tables[x], "copy");
    return;
  case OP_DROP:
    regs[d] = GBdd();
    forget_dead_marks();
    return;
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // An internal error of the package is a finding: it must look like a crash.
  set_error_handler([] { std::abort(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    Reader in{data, size};
    Machine machine;
    machine.run(in);
  }
  if (!reset_store()) std::abort(); // a handle outlived the program
  // A store of a few slots, so that programs make it collect and grow.
  if (!init_module(FRESH_STORE_SLOTS)) std::abort();
  return 0;
}
