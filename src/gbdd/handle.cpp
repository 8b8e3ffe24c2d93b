// GBdd handles: life cycle on the alive list, queries and the constructors of
// functions.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <vector>

namespace {

// Inserts h right after alive_head: the list runs from the newest handle to the oldest.
inline void link(GBdd* h) {
  h->next = alive_head.next;
  alive_head.next = h;
  h->pred = &alive_head;
  h->next->pred = h;
}

} // namespace

GBdd::GBdd() : edge(0) {
  link(this);
}

GBdd::GBdd(const GBdd& other) : edge(other.edge) {
  link(this);
}

GBdd::GBdd(Edge e) : edge(e) {
  link(this);
}

GBdd::~GBdd() {
  next->pred = pred;
  pred->next = next;
}

GBdd& GBdd::operator=(const GBdd& other) {
  edge = other.edge;
  return *this;
}

// The null handle answers as a leaf without value: no variable, no cofactors.
bool GBdd::is_leaf() const {
  return edge == 0 || is_leaf_edge(edge);
}

int GBdd::top_index() const {
  return edge == 0 ? LEAF_INDEX : ::top_index(edge);
}

std::uintptr_t GBdd::leaf_value() const {
  if (edge == 0) return 0;
  if (edge == TRUE_EDGE) return memory.true_value;
  if (edge == FALSE_EDGE) return memory.false_value;
  const GBddNode* n = node_of(edge);
  return n->index == LEAF_INDEX ? leaf_value_of(n) : 0;
}

GBdd GBdd::low() const {
  if (edge == 0 || is_leaf_edge(edge)) return GBdd();
  return GBdd(low_of(edge));
}

GBdd GBdd::high() const {
  if (edge == 0 || is_leaf_edge(edge)) return GBdd();
  return GBdd(high_of(edge));
}

// The walk reads edges below this handle, which keeps them alive even when the
// callback itself builds functions.
std::uintptr_t GBdd::eval(int (*assign)(int)) const {
  if (edge == 0) return 0;
  Edge e = edge;
  while (!is_leaf_edge(e))
    e = assign(::top_index(e)) != 0 ? high_of(e) : low_of(e);
  GBdd leaf_reached(e);
  return leaf_reached.leaf_value();
}

namespace {

// Marks each node it visits, so a shared node is searched once, not once per path;
// the visited nodes are listed so that their marks can be cleared again.
bool rec_depends_on(NodeId id, int i, std::vector<NodeId>& seen) {
  GBddNode* n = node_at(id);
  while (i > n->index && (n->next & MARK_BIT) == 0) {
    n->next |= MARK_BIT;
    seen.push_back(id);
    if (rec_depends_on(id_of(n->low), i, seen)) return true;
    id = id_of(n->high);
    n = node_at(id);
  }
  return i == n->index && n->index != LEAF_INDEX;
}

} // namespace

bool GBdd::depends_on(int i) const {
  if (edge == 0) return false;
  std::vector<NodeId> seen;
  bool found = rec_depends_on(id_of(edge), i, seen);
  for (NodeId id : seen)
    node_at(id)->next &= ~MARK_BIT;
  return found;
}

const GBdd& GBdd::TRUE_() {
  return *memory.true_constant;
}
const GBdd& GBdd::FALSE_() {
  return *memory.false_constant;
}
const GBdd& GBdd::NULL_() {
  return *memory.null_constant;
}

GBdd GBdd::variable(int i) {
  return GBdd(get_node(i, TRUE_(), FALSE_()));
}

GBdd GBdd::negated_variable(int i) {
  return GBdd(get_node(i, FALSE_(), TRUE_()));
}

GBdd GBdd::leaf(std::uintptr_t v) {
  return GBdd(get_leaf(v));
}
