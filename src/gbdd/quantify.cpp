// Quantification over a cube of variables, over one variable, and over every
// variable from an index down; the existential forms are the complements of the
// universal ones on the complement.
//
// Each core is memoised under its own operation code and a key, drawn afresh when the set
// (or the index) differs from the one of the last call, as smooth does: shared
// sub-diagrams are then quantified once, not once per path. The edge operands
// are parts of rooted operands; partial results are held in handles.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

namespace {

// f with the variables of the set quantified universally. The set is the chain
// of high cofactors from cube down to a leaf, whichever leaf ends it; a
// constant set is empty. The result for f depends only on the variables of the
// set at or below f's top, so one key serves the whole call. May collect.
Edge rec_forall(Edge cube, Edge f) {
  int j = top_index(f);
  while (top_index(cube) < j)
    cube = high_of(cube);
  if (is_leaf_edge(cube)) return f;
  if (Edge hit = cache_get(f, forall_key, OP_FORALL)) return hit;

  bool kept = j < top_index(cube); // f's top variable is not in the set
  Edge rest = kept ? cube : high_of(cube);
  Root low(rec_forall(rest, low_of(f)));
  Root high(rec_forall(rest, high_of(f)));
  Edge r = kept ? get_node(j, high.edge, low.edge) : rec_and(high.edge, low.edge);
  cache_put(f, forall_key, OP_FORALL, r);
  return r;
}

// f with x_i quantified universally. May collect.
Edge rec_forall_var(int i, Edge f) {
  int k = top_index(f);
  if (i < k) return f;
  if (i == k) return rec_and(high_of(f), low_of(f));
  if (Edge hit = cache_get(f, forall_var_key, OP_FORALL_VAR)) return hit;
  Root low(rec_forall_var(i, low_of(f)));
  Root high(rec_forall_var(i, high_of(f)));
  Edge r = get_node(k, high.edge, low.edge);
  cache_put(f, forall_var_key, OP_FORALL_VAR, r);
  return r;
}

// f with every variable of index >= i quantified universally: below the bound a
// reduced function holds for all assignments only when it is true. May collect.
Edge rec_forall_x2max(int i, Edge f) {
  int k = top_index(f);
  if (k >= i) return f == TRUE_EDGE ? TRUE_EDGE : FALSE_EDGE;
  if (Edge hit = cache_get(f, forall_x2max_key, OP_FORALL_X2MAX)) return hit;
  Root low(rec_forall_x2max(i, low_of(f)));
  Root high(rec_forall_x2max(i, high_of(f)));
  Edge r = get_node(k, high.edge, low.edge);
  cache_put(f, forall_x2max_key, OP_FORALL_X2MAX, r);
  return r;
}

void refresh_forall_key(Edge set) {
  if (forall_key != 0 && set == forall_set) return;
  forall_key = new_stamp();
  forall_set = set;
}

void refresh_forall_var_key(int i) {
  if (forall_var_key != 0 && i == forall_var_index) return;
  forall_var_key = new_stamp();
  forall_var_index = i;
}

void refresh_forall_x2max_key(int i) {
  if (forall_x2max_key != 0 && i == forall_x2max_index) return;
  forall_x2max_key = new_stamp();
  forall_x2max_index = i;
}

} // namespace

// A null set quantifies nothing.
GBdd forall(const GBdd& vars, const GBdd& f) {
  if (!f.is_boolean()) {
    internal_error("GBdd forall:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  if (vars.edge == 0) return f;
  refresh_forall_key(vars.edge);
  return GBdd(rec_forall(vars.edge, f.edge));
}

GBdd exist(const GBdd& vars, const GBdd& f) {
  if (!f.is_boolean()) {
    internal_error("GBdd exist:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  if (vars.edge == 0) return f;
  refresh_forall_key(vars.edge);
  return GBdd(negate(rec_forall(vars.edge, negate(f.edge))));
}

GBdd forall(int i, const GBdd& f) {
  if (!f.is_boolean()) {
    internal_error("GBdd forall:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  refresh_forall_var_key(i);
  return GBdd(rec_forall_var(i, f.edge));
}

GBdd exist(int i, const GBdd& f) {
  if (!f.is_boolean()) {
    internal_error("GBdd exist:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  refresh_forall_var_key(i);
  return GBdd(negate(rec_forall_var(i, negate(f.edge))));
}

GBdd forall_x2max(int i, const GBdd& f) {
  if (!f.is_boolean()) {
    internal_error("GBdd forall_x2max:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  refresh_forall_x2max_key(i);
  return GBdd(rec_forall_x2max(i, f.edge));
}

GBdd exist_x2max(int i, const GBdd& f) {
  if (!f.is_boolean()) {
    internal_error("GBdd exist_x2max:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  refresh_forall_x2max_key(i);
  return GBdd(negate(rec_forall_x2max(i, negate(f.edge))));
}
