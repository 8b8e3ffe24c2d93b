// The Boolean core: conjunction, exclusive or, if-then-else and single-variable
// smoothing, memoised in the computed table.
//
// The edge operands of every recursive core here are parts of rooted operands:
// the public entry's handles reach them, and each intermediate result is held in
// a local Root before anything else can allocate.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <utility>

// Conjunction of two purely boolean edges. May collect.
Edge rec_and(Edge a, Edge b) {
  if (a == TRUE_EDGE) return b;
  if (b == FALSE_EDGE) return FALSE_EDGE;
  if (b == TRUE_EDGE) return a;
  if (a == FALSE_EDGE) return FALSE_EDGE;
  if (a == b) return a;
  if (same_node(a, b)) return FALSE_EDGE; // b is the negation of a

  prefetch_node(a);
  prefetch_node(b);
  if (a > b) std::swap(a, b); // one memo key for both orders
  if (Edge hit = cache_get(a, b, OP_AND)) return hit;

  int top = min_index(top_index(a), top_index(b));
  Edge ha = high_at(a, top);
  Edge hb = high_at(b, top);
  prefetch_pair(ha, hb, OP_AND); // loads while the low side is worked out
  Root low(rec_and(low_at(a, top), low_at(b, top)));
  Root high(rec_and(ha, hb)); // low stays rooted meanwhile
  Edge r = get_node(top, high.edge, low.edge); // may collect
  cache_put(a, b, OP_AND, r);
  return r;
}

// Disjunction of two purely boolean edges, through complement edges. May collect.
Edge rec_or(Edge a, Edge b) {
  return negate(rec_and(negate(a), negate(b)));
}

// Exclusive or of two purely boolean edges. May collect.
Edge rec_xor(Edge a, Edge b) {
  if (a == TRUE_EDGE) return negate(b);
  if (a == FALSE_EDGE) return b;
  if (b == TRUE_EDGE) return negate(a);
  if (b == FALSE_EDGE) return a;
  if (a == b) return FALSE_EDGE;
  if (same_node(a, b)) return TRUE_EDGE;

  prefetch_node(a);
  prefetch_node(b);
  if (a > b) std::swap(a, b);
  if (Edge hit = cache_get(a, b, OP_XOR)) return hit;

  int top = min_index(top_index(a), top_index(b));
  Edge ha = high_at(a, top);
  Edge hb = high_at(b, top);
  prefetch_pair(ha, hb, OP_XOR);
  Root low(rec_xor(low_at(a, top), low_at(b, top)));
  Root high(rec_xor(ha, hb));
  Edge r = get_node(top, high.edge, low.edge);
  cache_put(a, b, OP_XOR, r);
  return r;
}

// If c then f else g; c purely boolean, f and g any functions. The cases with
// constant or complementary branches go to the binary cores; the rest is
// memoised under the three operands. May collect.
Edge rec_ite(Edge c, Edge f, Edge g) {
  if (f == g) return g;
  if (is_leaf_edge(c)) {
    if (c == TRUE_EDGE) return f;
    if (c == FALSE_EDGE) return g;
    internal_error("%s", "first operand of `ite' must be purely boolean");
    return 0; // no variable to split on: going on would never end
  }
  if (same_node(f, c)) f = f == c ? TRUE_EDGE : FALSE_EDGE;
  if (same_node(g, c)) g = g == c ? FALSE_EDGE : TRUE_EDGE;
  if (is_boolean_edge(f) && is_boolean_edge(g)) {
    if (f == TRUE_EDGE) return negate(rec_and(negate(c), negate(g)));
    if (f == FALSE_EDGE) return rec_and(negate(c), g);
    if (g == TRUE_EDGE) return negate(rec_and(c, negate(f)));
    if (g == FALSE_EDGE) return rec_and(c, f);
    if (same_node(f, g)) return rec_xor(c, g);
  }

  prefetch_node(c);
  prefetch_node(f);
  prefetch_node(g);
  if (Edge hit = cache_get(c, f, g)) return hit;
  int top = min_index(top_index(c), min_index(top_index(f), top_index(g)));
  Edge hc = high_at(c, top);
  Edge hf = high_at(f, top);
  Edge hg = high_at(g, top);
  prefetch_node(hc);
  prefetch_node(hf);
  prefetch_node(hg);
  cache_prefetch(hc, hf, hg);
  Root low(rec_ite(low_at(c, top), low_at(f, top), low_at(g, top)));
  Root high(rec_ite(hc, hf, hg));
  Edge r = get_node(top, high.edge, low.edge);
  cache_put(c, f, g, r);
  return r;
}

// f with variable v quantified existentially, memoised under smooth_key. May
// collect.
Edge rec_smooth(Edge f, int v) {
  if (is_leaf_edge(f)) return f;
  int d = top_index(f);
  if (v < d) return f;
  if (v == d) return rec_or(high_of(f), low_of(f));
  if (Edge hit = cache_get(f, smooth_key, OP_SMOOTH)) return hit;

  Root low(rec_smooth(low_of(f), v));
  Root high(rec_smooth(high_of(f), v));
  Edge r = get_node(d, high.edge, low.edge); // the if-then-else on x_d: both sides lie below d
  cache_put(f, smooth_key, OP_SMOOTH, r);
  return r;
}

GBdd and_(const GBdd& x, const GBdd& y) {
  if (!x.is_boolean() || !y.is_boolean()) {
    internal_error("GBdd and:: operands must be purely boolean gbdds");
    return GBdd::NULL_();
  }
  return GBdd(rec_and(x.edge, y.edge));
}

GBdd or_(const GBdd& x, const GBdd& y) {
  if (!x.is_boolean() || !y.is_boolean()) {
    internal_error("GBdd or:: operands must be purely boolean gbdds");
    return GBdd::NULL_();
  }
  return GBdd(rec_or(x.edge, y.edge));
}

GBdd operator!(const GBdd& x) {
  if (!x.is_boolean()) {
    internal_error("GBdd operator!:: operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  return GBdd(negate(x.edge));
}

// The condition is checked up front: a condition that is not purely boolean
// would otherwise reach a value leaf with nothing left to split on. A null
// branch passes the null function on.
GBdd ite(const GBdd& c, const GBdd& f, const GBdd& g) {
  if (f == g) return f;
  if (!c.is_boolean()) {
    internal_error("%s", "first operand of `ite' must be purely boolean");
    return GBdd::NULL_();
  }
  if (f.edge == 0 || g.edge == 0) return GBdd::NULL_();
  return GBdd(rec_ite(c.edge, f.edge, g.edge));
}

GBdd smooth(const GBdd& f, int v) {
  if (!f.is_boolean()) {
    internal_error("GBdd smooth:: called on not boolean gbdd");
    return GBdd::NULL_();
  }
  if (smooth_key == 0 || v != smooth_var) {
    smooth_key = new_stamp();
    smooth_var = v;
  }
  return GBdd(rec_smooth(f.edge, v));
}
