// Generalised cofactors (restrict, constrain, constrain_td), the plain
// cofactors by one variable, and ite_var.
//
// The edge operands of the recursive cores are parts of rooted operands; each
// intermediate result is held in a handle before the next call that can
// allocate. The edge 0 returned by a core stands for an empty care set.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <functional>
#include <unordered_map>
#include <utility>

namespace {

Edge rec_cofactor(Edge f, Edge c, int op);

// Restriction by c with its top variable quantified out; kept out of the
// recursive frame of rec_cofactor. May collect.
Edge restrict_by_wider(Edge f, Edge c) {
  GBdd wider(rec_or(high_of(c), low_of(c)));
  return rec_cofactor(f, wider.edge, OP_RESTRICT);
}

// Shared body of rec_restrict and rec_constrain: they differ only where the care
// set's top lies above f's. May collect.
Edge rec_cofactor(Edge f, Edge c, int op) {
  if (c == TRUE_EDGE) return f;
  if (c == FALSE_EDGE) return 0;
  if (f == c) return TRUE_EDGE;
  if (same_node(f, c)) return FALSE_EDGE;
  if (is_leaf_edge(f)) return f;
  if (Edge hit = cache_get(f, c, op)) return hit;

  int i = top_index(f);
  int j = top_index(c);
  Edge r;
  if (j < i && op == OP_RESTRICT) {
    r = restrict_by_wider(f, c); // variables of c above f's top leave the care set
  } else {
    int top = min_index(i, j);
    Root low(rec_cofactor(low_at(f, top), low_at(c, top), op));
    Root high(rec_cofactor(high_at(f, top), high_at(c, top), op));
    if (low.edge == 0)
      r = high.edge;
    else if (high.edge == 0)
      r = low.edge;
    else
      r = get_node(top, high.edge, low.edge);
  }
  cache_put(f, c, op, r);
  return r;
}

// Solved intervals and implication tests of one constrain_td call. The interval
// entries hold handles, so no collection can recycle an edge used as a key; the
// implication answers are keyed by bare edges and so are dropped whenever a
// collection may have reused a slot.
struct SolvedInterval {
  SolvedInterval(Edge l, Edge u) : lower(l), upper(u) {}
  GBdd lower;
  GBdd upper;
  GBdd result;
};
struct TdMemo {
  std::unordered_map<std::pair<Edge, Edge>, SolvedInterval, EdgePairHash> intervals;
  std::unordered_map<std::pair<Edge, Edge>, bool, EdgePairHash> implications;
  long implications_gc = -1; // the collection count the implication answers hold for
};

// The entry of (l, u), added unsolved when new; kept out of the recursive frames.
SolvedInterval& interval_entry(TdMemo& memo, Edge l, Edge u, bool& fresh) {
  auto [entry, added] = memo.intervals.try_emplace(std::make_pair(l, u), l, u);
  fresh = added;
  return entry->second;
}

// Whether a implies b. The answers are shared by every test of one call: the
// bounds of a level are cofactors and quantifications of the level above, so
// their pairs have mostly been answered already, and a deep chain costs one walk
// instead of one walk per level. Builds no node.
bool rec_td_implies(Edge a, Edge b, TdMemo& memo) {
  if (a == FALSE_EDGE || b == TRUE_EDGE || a == b) return true;
  if (a == TRUE_EDGE || b == FALSE_EDGE || same_node(a, b)) return false;
  auto hit = memo.implications.find({a, b});
  if (hit != memo.implications.end()) return hit->second;
  int top = min_index(top_index(a), top_index(b));
  bool r = rec_td_implies(low_at(a, top), low_at(b, top), memo) &&
           rec_td_implies(high_at(a, top), high_at(b, top), memo);
  memo.implications.emplace(std::make_pair(a, b), r);
  return r;
}

bool td_implies(Edge a, Edge b, TdMemo& memo) {
  if (memo.implications_gc != memory.gc_count) {
    memo.implications.clear();
    memo.implications_gc = memory.gc_count;
  }
  return rec_td_implies(a, b, memo);
}

// Some g with l <= g <= u, dropping every variable it can from the top down.
// l and u are rooted by the caller; the result is rooted by the memo. Quantifying
// a bound's top variable away loops instead of recursing, so a frame is spent
// only per variable kept. May collect.
Edge rec_constrain_td(Edge l, Edge u, TdMemo& memo) {
  if (l == FALSE_EDGE) return FALSE_EDGE;
  if (u == TRUE_EDGE) return TRUE_EDGE;
  bool fresh;
  SolvedInterval& solved = interval_entry(memo, l, u, fresh);
  if (!fresh) return solved.result.edge;

  GBdd lower(l);
  GBdd upper(u);
  for (;;) {
    if (lower.edge == FALSE_EDGE) return solved.result.edge = FALSE_EDGE;
    if (upper.edge == TRUE_EDGE) return solved.result.edge = TRUE_EDGE;
    int i = top_index(lower.edge);
    int j = top_index(upper.edge);
    if (i < j) {
      lower = GBdd(rec_or(high_of(lower.edge), low_of(lower.edge)));
      continue;
    }
    if (i > j) {
      upper = GBdd(rec_and(high_of(upper.edge), low_of(upper.edge)));
      continue;
    }
    GBdd exists(rec_or(high_of(lower.edge), low_of(lower.edge)));
    GBdd all(rec_and(high_of(upper.edge), low_of(upper.edge)));
    if (td_implies(exists.edge, all.edge, memo)) { // x_i need not appear
      lower = exists;
      upper = all;
      continue;
    }
    GBdd low(rec_constrain_td(low_of(lower.edge), low_of(upper.edge), memo));
    GBdd high(rec_constrain_td(high_of(lower.edge), high_of(upper.edge), memo));
    return solved.result.edge = rec_ite_var(i, high.edge, low.edge);
  }
}

// f with variable i set to value (0 or 1), memoised under a stamp drawn for this
// call. May collect.
Edge rec_var_cofactor(Edge f, int i, bool value, std::uint32_t key) {
  int k = top_index(f);
  if (i < k) return f;
  if (i == k) return value ? high_of(f) : low_of(f);
  if (Edge hit = cache_get(f, key, OP_VAR_COFACTOR)) return hit;
  Root low(rec_var_cofactor(low_of(f), i, value, key));
  Root high(rec_var_cofactor(high_of(f), i, value, key));
  Edge r = get_node(k, high.edge, low.edge);
  cache_put(f, key, OP_VAR_COFACTOR, r);
  return r;
}

} // namespace

GBdd restrict(const GBdd& f, const GBdd& c) {
  if (!c.is_boolean()) {
    internal_error("GBdd restrict:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  if (f.edge == 0) return GBdd::NULL_();
  Edge r = rec_cofactor(f.edge, c.edge, OP_RESTRICT);
  if (r == 0) internal_error("GBdd restrict:: can't restrict by false gbdd");
  return GBdd(r);
}

GBdd constrain(const GBdd& f, const GBdd& c) {
  if (!c.is_boolean()) {
    internal_error("GBdd constrain:: 2d operand must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  if (f.edge == 0) return GBdd::NULL_();
  Edge r = rec_cofactor(f.edge, c.edge, OP_CONSTRAIN);
  if (r == 0) internal_error("GBdd constrain:: can't constrain by false gbdd");
  return GBdd(r);
}

GBdd constrain_td(const GBdd& f, const GBdd& c) {
  if (!f.is_boolean() || !c.is_boolean()) {
    internal_error("GBdd constrain_td:: operands must be purely boolean gbdd");
    return GBdd::NULL_();
  }
  if (c.edge == FALSE_EDGE) return GBdd::NULL_();
  GBdd lower(rec_and(f.edge, c.edge));
  GBdd upper(rec_or(f.edge, negate(c.edge)));
  TdMemo memo;
  return GBdd(rec_constrain_td(lower.edge, upper.edge, memo));
}

GBdd low_cofactor(const GBdd& f, int i) {
  if (f.edge == 0) return GBdd::NULL_();
  return GBdd(rec_var_cofactor(f.edge, i, false, new_stamp()));
}

GBdd high_cofactor(const GBdd& f, int i) {
  if (f.edge == 0) return GBdd::NULL_();
  return GBdd(rec_var_cofactor(f.edge, i, true, new_stamp()));
}

Edge rec_ite_var(int i, Edge g, Edge h) {
  GBdd x = GBdd::variable(i);
  return rec_ite(x.edge, g, h);
}

GBdd ite_var(int i, const GBdd& g, const GBdd& h) {
  if (g.edge == 0 || h.edge == 0) return GBdd::NULL_();
  return GBdd(rec_ite_var(i, g.edge, h.edge));
}
