#include "gbdd_test_util.h"

#include "gbdd/gbdd_internal.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_set>

Table table_mask(int nvars) {
  int rows = 1 << nvars;
  return rows == 64 ? ~Table(0) : (Table(1) << rows) - 1;
}

Table var_table(int k, int nvars) {
  Table t = 0;
  for (int a = 0; a < (1 << nvars); a++)
    if ((a >> k) & 1) t |= Table(1) << a;
  return t;
}

GBdd from_table(Table t, int nvars) {
  GBdd f = GBdd::FALSE_();
  for (int a = 0; a < (1 << nvars); a++) {
    if (((t >> a) & 1) == 0) continue;
    GBdd term = GBdd::TRUE_();
    for (int k = 0; k < nvars; k++)
      term = and_(term, (a >> k) & 1 ? GBdd::variable(k) : GBdd::negated_variable(k));
    f = or_(f, term);
  }
  return f;
}

namespace {
int current_assignment;
int assign_bit(int k) {
  return (current_assignment >> k) & 1;
}
} // namespace

Table to_table(const GBdd& f, int nvars) {
  Table t = 0;
  for (int a = 0; a < (1 << nvars); a++) {
    current_assignment = a;
    if (f.eval(assign_bit) == GBdd::TRUE_().leaf_value()) t |= Table(1) << a;
  }
  return t;
}

Table low_table(Table t, int k, int nvars) {
  Table r = 0;
  for (int a = 0; a < (1 << nvars); a++)
    if ((t >> (a & ~(1 << k))) & 1) r |= Table(1) << a;
  return r;
}

Table high_table(Table t, int k, int nvars) {
  Table r = 0;
  for (int a = 0; a < (1 << nvars); a++)
    if ((t >> (a | (1 << k))) & 1) r |= Table(1) << a;
  return r;
}

Table exist_table(Table t, int k, int nvars) {
  return low_table(t, k, nvars) | high_table(t, k, nvars);
}

Table forall_table(Table t, int k, int nvars) {
  return low_table(t, k, nvars) & high_table(t, k, nvars);
}

bool table_depends_on(Table t, int k, int nvars) {
  return low_table(t, k, nvars) != high_table(t, k, nvars);
}

GBdd parse_default_sop(const std::string& text) {
  if (text == "true") return GBdd::TRUE_();
  if (text == "false") return GBdd::FALSE_();
  GBdd sum = GBdd::FALSE_();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(" +\n", start);
    std::string term = text.substr(start, end == std::string::npos ? end : end - start);
    GBdd product = GBdd::TRUE_();
    std::size_t lit = 0;
    while (lit <= term.size()) {
      std::size_t dot = term.find('.', lit);
      std::string literal = term.substr(lit, dot == std::string::npos ? dot : dot - lit);
      bool negative = !literal.empty() && literal[0] == '!';
      if (negative) literal.erase(0, 1);
      if (literal.size() < 2 || literal[0] != 'X') return GBdd();
      GBdd x = GBdd::variable(std::stoi(literal.substr(1)));
      product = and_(product, negative ? !x : x);
      if (dot == std::string::npos) break;
      lit = dot + 1;
    }
    sum = or_(sum, product);
    if (end == std::string::npos) break;
    start = end + 3;
  }
  return sum;
}

std::string default_sop(const GBdd& f) {
  char* text = nullptr;
  std::size_t length = 0;
  FILE* out = open_memstream(&text, &length);
  print_sop(f, out, default_var_name);
  std::fclose(out);
  std::string s(text, length);
  std::free(text);
  return s;
}

std::string check_store() {
  std::ostringstream faults;
  int reported = 0;
  auto fault = [&](const std::string& text, NodeId id) {
    if (reported++ < 5) faults << text << " (slot " << id << ")\n";
  };
  auto child_ok = [&](Edge e, NodeId parent) {
    const GBddNode* p = node_at(parent);
    if (e == 0) return fault("internal node with a null child", parent), false;
    if (id_of(e) < FIRST_SLOT || id_of(e) >= memory.frontier)
      return fault("child outside the used slots", parent), false;
    const GBddNode* c = node_at(id_of(e));
    if (c->index == POISON_INDEX) return fault("child is a free slot", parent), false;
    if (c->index <= p->index) fault("index does not increase along a path", parent);
    if (is_complemented(e) && !is_boolean_edge(e)) fault("complement without boolean", parent);
    return true;
  };

  std::unordered_set<NodeId> in_chains;
  std::set<std::tuple<int, Edge32, Edge32>> keys;
  for (std::uint64_t b = 0; b <= memory.bucket_mask; b++) {
    for (NodeId id = memory.buckets[b]; id != 0; id = node_at(id)->next) {
      const GBddNode* n = node_at(id);
      if ((n->next & (MARK_BIT | MARK2_BIT)) != 0) fault("mark left on a node", id);
      if (n->index == POISON_INDEX) {
        fault("free slot in a chain", id);
        break;
      }
      if (!in_chains.insert(id).second) {
        fault("node in two chains", id);
        break;
      }
      if (node_bucket(n->index, n->low, n->high) != b) fault("node in the wrong chain", id);
      if (!keys.insert({n->index, n->low, n->high}).second) fault("two nodes alike", id);
      if (n->index == LEAF_INDEX) continue;
      if (n->low == n->high) fault("node with equal children", id);
      if (!child_ok(n->low, id) || !child_ok(n->high, id)) continue;
      if (is_boolean_edge(n->low) && is_boolean_edge(n->high) && is_complemented(n->high))
        fault("complemented high edge in a boolean node", id);
    }
  }
  long free_slots = 0;
  for (NodeId id = memory.free_list; id != 0; id = node_at(id)->next) {
    if (node_at(id)->index != POISON_INDEX) fault("live node on the free list", id);
    if (++free_slots > slot_count()) break;
  }
  if (free_slots != static_cast<long>(memory.free_count)) fault("free count is wrong", 0);
  long used = static_cast<long>(memory.frontier) - FIRST_SLOT - 1; // the boolean leaf aside
  if (free_slots + static_cast<long>(in_chains.size()) != used)
    fault("slots neither free nor in a chain: " +
              std::to_string(used - free_slots - static_cast<long>(in_chains.size())),
          0);
  for (const GBdd* p = alive_head.next; p != &alive_head; p = p->next) {
    if (p->edge == 0) continue;
    NodeId id = id_of(p->edge);
    if (node_at(id)->index == POISON_INDEX)
      fault("handle on a free slot", id);
    else if (id != BOOLEAN_LEAF_SLOT && !in_chains.count(id))
      fault("handle on a lost node", id);
  }
  return faults.str();
}

int ErrorRecorder::calls = 0;

namespace {
void record_error() {
  ErrorRecorder::calls++;
}
} // namespace

ErrorRecorder::ErrorRecorder() {
  calls = 0;
  set_error_handler(record_error);
}

ErrorRecorder::~ErrorRecorder() {
  set_error_handler(nullptr);
}

std::vector<GBdd> all_functions(int n) {
  std::vector<GBdd> fs;
  for (Table t = 0; t <= table_mask(n); t++)
    fs.push_back(from_table(t, n));
  return fs;
}

GBdd parity(int first, int count) {
  GBdd p = GBdd::FALSE_();
  for (int k = first + count - 1; k >= first; k--)
    p = xor_(GBdd::variable(k), p);
  return p;
}
