// Size measures, support and marks.
//
// The edge operands of the support cores are parts of the rooted operand; each
// partial support is held in a handle before the next disjunction.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <algorithm>
#include <unordered_map>

// ---- TreeCount ---------------------------------------------------------------------

TreeCount::TreeCount(std::uint64_t v) {
  while (v != 0) {
    limbs.push_back(static_cast<std::uint32_t>(v));
    v >>= 32;
  }
}

TreeCount& TreeCount::operator+=(const TreeCount& o) {
  if (limbs.size() < o.limbs.size()) limbs.resize(o.limbs.size(), 0);
  std::uint64_t carry = 0;
  for (std::size_t k = 0; k < limbs.size(); k++) {
    std::uint64_t sum = carry + limbs[k] + (k < o.limbs.size() ? o.limbs[k] : 0);
    limbs[k] = static_cast<std::uint32_t>(sum);
    carry = sum >> 32;
    if (carry == 0 && k >= o.limbs.size()) break;
  }
  if (carry != 0) limbs.push_back(static_cast<std::uint32_t>(carry));
  return *this;
}

std::string TreeCount::to_string() const {
  if (limbs.empty()) return "0";
  std::vector<std::uint32_t> n = limbs;
  std::string digits; // least significant group first
  while (!n.empty()) {
    std::uint64_t rest = 0; // divide n by 10^9 in place
    for (std::size_t k = n.size(); k-- > 0;) {
      std::uint64_t cur = (rest << 32) | n[k];
      n[k] = static_cast<std::uint32_t>(cur / 1000000000u);
      rest = cur % 1000000000u;
    }
    while (!n.empty() && n.back() == 0)
      n.pop_back();
    for (int d = 0; d < 9; d++) {
      digits.push_back(static_cast<char>('0' + rest % 10));
      rest /= 10;
      if (n.empty() && rest == 0) break;
    }
  }
  std::reverse(digits.begin(), digits.end());
  return digits;
}

// ---- sizes -------------------------------------------------------------------------

int size(const GBdd& f) {
  if (f.is_leaf()) return 0;
  return count_nodes(node_of(f.edge), new_stamp());
}

int shared_size(const GBddChain* chain) {
  if (chain == nullptr) return 0;
  int stamp = new_stamp();
  int sum = 0;
  for (const GBddChain* c = chain; c != nullptr; c = c->next)
    if (!c->f.is_leaf()) sum += count_nodes(node_of(c->f.edge), stamp);
  return sum;
}

namespace {

int rec_unsigned_size(Edge f, int key) {
  if (is_leaf_edge(f)) return 0;
  UnaryMemoPair& m = unary_pair(f, SLOT_MARKS);
  if (m.key == key && m.result != 0) return 0;
  m = UnaryMemoPair{key, 1};
  int low = rec_unsigned_size(low_of(f), key);
  return low + rec_unsigned_size(high_of(f), key) + 1;
}

// The count of a node does not depend on the polarity that reaches it, so each
// node is counted once and its count reused on every path.
using TreeCounts = std::unordered_map<const GBddNode*, TreeCount>;

// The entry of n, added with count 0 when n is new; kept out of the recursive frames.
TreeCount* tree_count_entry(TreeCounts& counts, const GBddNode* n, bool& fresh) {
  auto [entry, added] = counts.try_emplace(n);
  fresh = added;
  return &entry->second;
}

// Entries of an unordered_map never move, so the count is summed in place.
const TreeCount& rec_tree_size(const GBddNode* n, TreeCounts& counts) {
  bool fresh;
  TreeCount* c = tree_count_entry(counts, n, fresh);
  if (!fresh || n->index == LEAF_INDEX) return *c;
  *c += rec_tree_size(node_of(n->high), counts);
  *c += rec_tree_size(node_of(n->low), counts);
  *c += TreeCount(1);
  return *c;
}

} // namespace

int unsigned_size(const GBdd& f) {
  if (f.is_leaf()) return 0;
  return rec_unsigned_size(f.edge, new_mark_stamp());
}

TreeCount tree_size(const GBdd& f) {
  if (f.is_leaf()) return TreeCount(0);
  TreeCounts counts;
  return rec_tree_size(node_of(f.edge), counts);
}

// ---- support -------------------------------------------------------------------------

namespace {

// Disjunction (cube: conjunction) of the variables of f, memoised in slot 0 under
// the support key, for both polarities of a purely boolean f. May collect.
Edge rec_support(Edge f, bool cube) {
  if (is_leaf_edge(f)) return cube ? TRUE_EDGE : FALSE_EDGE;
  int key = cube ? support_and_key : support_or_key;
  if (Edge hit = memo_get(SLOT_MEMO, f, key)) return hit;

  GBdd r(get_node(top_index(f), GBdd::TRUE_(), GBdd::FALSE_()));
  GBdd s(rec_support(high_of(f), cube));
  r.edge = cube ? rec_and(r.edge, s.edge) : rec_or(r.edge, s.edge);
  s.edge = rec_support(low_of(f), cube);
  r.edge = cube ? rec_and(r.edge, s.edge) : rec_or(r.edge, s.edge);
  memo_put(SLOT_MEMO, f, key, r.edge);
  if (is_boolean_edge(f)) memo_put(SLOT_MEMO, negate(f), key, r.edge);
  return r.edge;
}

} // namespace

GBdd support(const GBdd& f) {
  if (f.edge == 0) return GBdd::NULL_();
  return GBdd(rec_support(f.edge, false));
}

GBdd support_cube(const GBdd& f) {
  if (f.edge == 0) return GBdd::NULL_();
  return GBdd(rec_support(f.edge, true));
}

int support_count(const GBdd& f) {
  if (f.edge == 0) return 0;
  GBdd s = support(f);
  int count = 0;
  for (Edge e = s.edge; !is_leaf_edge(e); e = low_of(e))
    count++;
  return count;
}

int support_max(const GBdd& f) {
  if (f.edge == 0) return -1;
  GBdd s = support(f);
  if (is_leaf_edge(s.edge)) return -1;
  Edge e = s.edge;
  while (!is_leaf_edge(low_of(e)))
    e = low_of(e);
  return top_index(e);
}

// ---- marks -----------------------------------------------------------------------------

int get_mark(const GBdd& f, int key) {
  if (f.edge == 0) return 0;
  if (is_leaf_edge(f.edge)) internal_error("GBdd get_mark:: cannot be called on leafs");
  const UnaryMemoPair& m = unary_pair(f.edge, SLOT_MARKS);
  return m.key == key ? static_cast<int>(m.result) : 0;
}

void put_mark(const GBdd& f, int key, int value) {
  if (f.edge == 0) return;
  if (is_leaf_edge(f.edge)) internal_error("GBdd put_mark:: cannot be called on leafs");
  unary_pair(f.edge, SLOT_MARKS) = UnaryMemoPair{key, static_cast<Edge>(value)};
}
