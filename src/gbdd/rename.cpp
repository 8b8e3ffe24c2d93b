// Renaming variables through a callback, and shifting all variable indices.
//
// The results are rebuilt with ite_var, so a mapping need not keep the order
// nor be one-to-one. The edge operands of the cores are parts of the rooted
// operand; partial results are held in handles.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

namespace {

// Memoises r for f, and its complement for the complement of a purely boolean
// f, so that a node reached through either polarity is renamed once.
void memo_put_both(Edge f, std::uint32_t key, OpCode op, Edge r) {
  cache_put(f, key, op, r);
  if (is_boolean_edge(f)) cache_put(negate(f), key, op, negate(r));
}

// f with each x_i replaced by x_rename_fn(i), or 0 once the mapping gives a
// negative index (reported once). May collect.
Edge rec_rename(Edge f) {
  if (is_leaf_edge(f)) return f;
  if (Edge hit = cache_get(f, rename_stamp, OP_RENAME)) return hit;
  int j = rename_fn(top_index(f));
  if (j < 0) {
    internal_error("GBdd::rec_rename : the rename produces negative index");
    return 0;
  }
  Root low(rec_rename(low_of(f)));
  if (low.edge == 0) return 0;
  Root high(rec_rename(high_of(f)));
  if (high.edge == 0) return 0;
  Edge r = rec_ite_var(j, high.edge, low.edge);
  memo_put_both(f, rename_stamp, OP_RENAME, r);
  return r;
}

// f with each x_i replaced by x_(i+d), or 0 once an index would turn negative
// (reported once). May collect.
Edge rec_shift(Edge f, int d) {
  if (is_leaf_edge(f)) return f;
  if (Edge hit = cache_get(f, shift_stamp, OP_SHIFT)) return hit;
  long j = long(top_index(f)) + d;
  if (j < 0) {
    internal_error("GBdd::rec_shift : the shift produces negative index");
    return 0;
  }
  Root low(rec_shift(low_of(f), d));
  if (low.edge == 0) return 0;
  Root high(rec_shift(high_of(f), d));
  if (high.edge == 0) return 0;
  Edge r = rec_ite_var(static_cast<int>(j), high.edge, low.edge);
  memo_put_both(f, shift_stamp, OP_SHIFT, r);
  return r;
}

} // namespace

GBdd rename(const GBdd& f, RenameFn m) {
  if (f.edge == 0) return GBdd::NULL_();
  if (rename_stamp == 0 || m != rename_fn) {
    rename_stamp = new_stamp();
    rename_fn = m;
  }
  return GBdd(rec_rename(f.edge));
}

GBdd shift(const GBdd& f, int d) {
  if (f.edge == 0) return GBdd::NULL_();
  if (shift_stamp == 0 || d != shift_amount) {
    shift_stamp = new_stamp();
    shift_amount = d;
  }
  return GBdd(rec_shift(f.edge, d));
}
