// Size measures, support and marks.
//
// The edge operands of the support cores are parts of the rooted operand; each
// partial support is held in a handle before the next disjunction.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

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

TreeCount& TreeCount::shift_left(int bits) {
  if (limbs.empty() || bits <= 0) return *this;
  int whole = bits / 32;
  int part = bits % 32;
  if (part != 0) {
    std::uint32_t carry = 0;
    for (std::uint32_t& limb : limbs) {
      std::uint32_t next = limb >> (32 - part);
      limb = (limb << part) | carry;
      carry = next;
    }
    if (carry != 0) limbs.push_back(carry);
  }
  limbs.insert(limbs.begin(), whole, 0);
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
  return static_cast<int>(count_nodes(&f.edge, 1));
}

int shared_size(const GBddChain* chain) {
  std::vector<Edge> roots;
  for (const GBddChain* c = chain; c != nullptr; c = c->next)
    if (!c->f.is_leaf()) roots.push_back(c->f.edge);
  return static_cast<int>(count_nodes(roots.data(), static_cast<long>(roots.size())));
}

namespace {

// The count of a node does not depend on the polarity that reaches it, so each
// node is counted once and its count reused on every path.
using TreeCounts = std::unordered_map<NodeId, TreeCount>;

// The entry of n, added with count 0 when n is new; kept out of the recursive frames.
TreeCount* tree_count_entry(TreeCounts& counts, NodeId n, bool& fresh) {
  auto [entry, added] = counts.try_emplace(n);
  fresh = added;
  return &entry->second;
}

// Entries of an unordered_map never move, so the count is summed in place.
const TreeCount& rec_tree_size(NodeId n, TreeCounts& counts) {
  bool fresh;
  TreeCount* c = tree_count_entry(counts, n, fresh);
  if (!fresh || node_at(n)->index == LEAF_INDEX) return *c;
  *c += rec_tree_size(id_of(node_at(n)->low), counts);
  *c += rec_tree_size(id_of(node_at(n)->high), counts);
  *c += TreeCount(1);
  return *c;
}

} // namespace

// Nodes of the diagram without complement edges: a node reached through both
// polarities stands for two. The walk keeps its own two visit bits per node
// (MARK_BIT: reached regular, MARK2_BIT: reached complemented), so it neither
// reads nor disturbs the marks of put_mark.
int unsigned_size(const GBdd& f) {
  if (f.is_leaf()) return 0;
  std::vector<Edge> stack{f.edge};
  std::vector<NodeId> seen;
  int count = 0;
  while (!stack.empty()) {
    Edge e = stack.back();
    stack.pop_back();
    GBddNode* n = node_of(e);
    if (n->index == LEAF_INDEX) continue;
    std::uint32_t bit = is_complemented(e) ? MARK2_BIT : MARK_BIT;
    if (n->next & bit) continue;
    if ((n->next & (MARK_BIT | MARK2_BIT)) == 0) seen.push_back(id_of(e));
    n->next |= bit;
    count++;
    stack.push_back(high_of(e));
    stack.push_back(low_of(e));
  }
  for (NodeId id : seen)
    node_at(id)->next &= NEXT_MASK;
  return count;
}

TreeCount tree_size(const GBdd& f) {
  if (f.is_leaf()) return TreeCount(0);
  TreeCounts counts;
  return rec_tree_size(id_of(f.edge), counts);
}

// ---- support -------------------------------------------------------------------------

namespace {

// Disjunction (cube: conjunction) of the variables of f, memoised for both
// polarities of a purely boolean f. May collect.
Edge rec_support(Edge f, bool cube) {
  if (is_leaf_edge(f)) return cube ? TRUE_EDGE : FALSE_EDGE;
  OpCode op = cube ? OP_SUPPORT_AND : OP_SUPPORT_OR;
  if (Edge hit = cache_get(f, 0, op)) return hit;

  // Two handles, reused, keep the frame small: the recursion is as deep as f.
  GBdd r(get_node(top_index(f), GBdd::TRUE_(), GBdd::FALSE_()));
  GBdd s(rec_support(low_of(f), cube));
  r.edge = cube ? rec_and(r.edge, s.edge) : rec_or(r.edge, s.edge);
  s.edge = rec_support(high_of(f), cube);
  r.edge = cube ? rec_and(r.edge, s.edge) : rec_or(r.edge, s.edge);
  cache_put(f, 0, op, r.edge);
  if (is_boolean_edge(f)) cache_put(negate(f), 0, op, r.edge);
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

namespace {

// The marks of put_mark, by node and polarity. Few nodes carry one, so they live
// beside the store rather than in every node record; a mark dies with its node.
struct Mark {
  int key;
  int value;
};
std::unordered_map<std::uint64_t, Mark> marks;

std::uint64_t mark_slot(Edge e) {
  return (std::uint64_t(id_of(e)) << 1) | (e & COMPLEMENT_BIT);
}

} // namespace

// Called by the collector between marking and sweeping.
void drop_marks_of_dead_nodes() {
  for (auto m = marks.begin(); m != marks.end();) {
    if (node_at(NodeId(m->first >> 1))->next & MARK_BIT)
      ++m;
    else
      m = marks.erase(m);
  }
}

int get_mark(const GBdd& f, int key) {
  if (f.edge == 0) return 0;
  if (is_leaf_edge(f.edge)) {
    internal_error("GBdd get_mark:: cannot be called on leafs");
    return 0;
  }
  auto m = marks.find(mark_slot(f.edge));
  return m != marks.end() && m->second.key == key ? m->second.value : 0;
}

void put_mark(const GBdd& f, int key, int value) {
  if (f.edge == 0) return;
  if (is_leaf_edge(f.edge)) {
    internal_error("GBdd put_mark:: cannot be called on leafs");
    return;
  }
  marks[mark_slot(f.edge)] = Mark{key, value};
}
