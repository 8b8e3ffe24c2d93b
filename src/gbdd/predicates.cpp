// Yes-or-no questions about purely boolean functions, impl and xor_, and the
// one-word predicates and orderings on handles.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <functional>
#include <unordered_set>
#include <utility>

namespace {

// Pairs met so far in one test. Both tests stop at their first decisive pair,
// so a pair met again has already been answered the other way: remembering it
// keeps a test linear in the pairs instead of the paths. The tests build no
// node, so the edges stay valid for the whole test.
using PairSet = std::unordered_set<std::pair<Edge, Edge>, EdgePairHash>;

// Whether (a, b) is met for the first time; kept out of the recursive frames.
bool first_meeting(PairSet& seen, Edge a, Edge b) {
  return seen.insert({a, b}).second;
}

int rec_test_impl(Edge a, Edge b, PairSet& seen) {
  for (;;) {
    if (a == FALSE_EDGE) return 1;
    if (b == TRUE_EDGE) return 1;
    if (a == TRUE_EDGE) return 0;
    if (b == FALSE_EDGE) return 0;
    if (a == b) return 1;
    if (!first_meeting(seen, a, b)) return 1;

    int top = min_index(top_index(a), top_index(b));
    if (rec_test_impl(low_at(a, top), low_at(b, top), seen) == 0) return 0;
    a = high_at(a, top);
    b = high_at(b, top);
  }
}

int rec_test_and(Edge a, Edge b, PairSet& seen) {
  for (;;) {
    if (a == FALSE_EDGE || b == FALSE_EDGE) return 0;
    if (a == TRUE_EDGE || b == TRUE_EDGE || a == b) return 1;
    if (same_node(a, b)) return 0;
    if (!first_meeting(seen, a, b)) return 0;

    int top = min_index(top_index(a), top_index(b));
    if (rec_test_and(low_at(a, top), low_at(b, top), seen) == 1) return 1;
    a = high_at(a, top);
    b = high_at(b, top);
  }
}

} // namespace

int test_impl(const GBdd& f, const GBdd& g) {
  if (!f.is_boolean() || !g.is_boolean()) {
    internal_error("GBdd test_impl:: operands must be purely boolean gbdds");
    return 0;
  }
  PairSet seen;
  return rec_test_impl(f.edge, g.edge, seen);
}

int test_and(const GBdd& f, const GBdd& g) {
  if (!f.is_boolean() || !g.is_boolean()) {
    internal_error("GBdd test_and:: operands must be purely boolean gbdds");
    return 0;
  }
  PairSet seen;
  return rec_test_and(f.edge, g.edge, seen);
}

int eval_bool(const GBdd& f, int (*assign)(int)) {
  if (!f.is_boolean()) {
    internal_error("GBdd eval_bool:: operand must be purely boolean gbdd");
    return 0;
  }
  return f.eval(assign) == memory.true_value ? 1 : 0;
}

GBdd impl(const GBdd& f, const GBdd& g) {
  if (!f.is_boolean() || !g.is_boolean()) {
    internal_error("GBdd impl:: operands must be purely boolean gbdds");
    return GBdd::NULL_();
  }
  return GBdd(negate(rec_and(f.edge, negate(g.edge))));
}

GBdd xor_(const GBdd& f, const GBdd& g) {
  if (!f.is_boolean() || !g.is_boolean()) {
    internal_error("GBdd xor:: operands must be purely boolean gbdds");
    return GBdd::NULL_();
  }
  return GBdd(rec_xor(f.edge, g.edge));
}

bool is_null(const GBdd& f) {
  return f.edge == 0;
}
bool is_true(const GBdd& f) {
  return f.edge == TRUE_EDGE;
}
bool is_false(const GBdd& f) {
  return f.edge == FALSE_EDGE;
}

// A total order on the full edge words: a difference cut to 32 bits could
// call two distinct edges equal, or order three edges in a circle.
int cmp(const GBdd& f, const GBdd& g) {
  if (f.edge == g.edge) return 0;
  return f.edge < g.edge ? -1 : 1;
}

int hash(const GBdd& f) {
  auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(f.edge));
  if (v == INT32_MIN) return INT32_MAX; // its absolute value is no int
  return v < 0 ? -v : v;
}

unsigned hash_mod(const GBdd& f, unsigned n) {
  if (n == 0) return 0;
  Edge w = f.edge;
  Edge x = (w & (COMPLEMENT_BIT | BOOLEAN_BIT)) != 0 ? w : w >> 2;
  return static_cast<unsigned>(x % n);
}
