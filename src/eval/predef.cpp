#include "eval/predef.h"

#include "names/messages.h"

#include <cstdio>
#include <map>
#include <utility>

namespace {

const GBdd& truth(bool b) {
  return b ? GBdd::TRUE_() : GBdd::FALSE_();
}

GBdd ite_handler(int, const GBdd* op) {
  return ite(op[0], op[1], op[2]);
}
GBdd compare_handler(int, const GBdd* op) {
  return truth(op[0] == op[1]);
}
GBdd implies_handler(int, const GBdd* op) {
  return truth(test_impl(op[0], op[1]) != 0);
}
GBdd cuts_handler(int, const GBdd* op) {
  return truth(test_and(op[0], op[1]) != 0);
}

GBdd restrict_handler(int, const GBdd* op) {
  if (op[1] == GBdd::FALSE_()) {
    msg_calc_error("can't restrict by false() function\n");
    return GBdd::NULL_();
  }
  return restrict(op[0], op[1]);
}

GBdd constrain_handler(int, const GBdd* op) {
  if (op[1] == GBdd::FALSE_()) {
    msg_calc_error("can't constrain by false() function\n");
    return GBdd::NULL_();
  }
  return constrain(op[0], op[1]);
}

GBdd constrain_td_handler(int, const GBdd* op) {
  if (op[1] == GBdd::FALSE_()) {
    msg_calc_error("can't constrain by false() function\n");
    return GBdd::NULL_();
  }
  return constrain_td(op[0], op[1]);
}

GBdd upcons_handler(int, const GBdd* op) {
  return upcons(op[0], op[1]);
}
GBdd supp_handler(int, const GBdd* op) {
  return support(op[0]);
}

GBdd root_handler(int count, const GBdd* op) {
  if (count == 0) {
    msg_calc_error("at least 1 operand is expected for 'root'\n");
    return GBdd::NULL_();
  }
  int m = LEAF_INDEX;
  for (int i = 0; i < count; i++)
    if (op[i].top_index() < m) m = op[i].top_index();
  if (m == LEAF_INDEX) return GBdd::NULL_();
  return GBdd::variable(m);
}

// A constant has no top variable, hence no Shannon cofactors.
GBdd high_handler(int, const GBdd* op) {
  return op[0].is_leaf() ? GBdd::NULL_() : op[0].high();
}
GBdd low_handler(int, const GBdd* op) {
  return op[0].is_leaf() ? GBdd::NULL_() : op[0].low();
}

// upcons is defined by a recursion on pairs of sub-functions; the memo keeps
// the cost linear in the pairs visited instead of the paths.
using UpconsMemo = std::map<std::pair<Edge, Edge>, GBdd>;

GBdd rec_upcons(const GBdd& f, const GBdd& g, UpconsMemo& memo) {
  if (f == GBdd::NULL_() || g == GBdd::NULL_()) return GBdd::NULL_();
  if (f == GBdd::TRUE_()) return g == GBdd::TRUE_() ? GBdd::TRUE_() : GBdd::NULL_();
  if (f == GBdd::FALSE_()) return g == GBdd::FALSE_() ? GBdd::TRUE_() : GBdd::NULL_();
  if (g == GBdd::TRUE_()) return f;
  if (g == GBdd::FALSE_()) return !f;

  auto key = std::make_pair(f.edge, g.edge);
  if (auto hit = memo.find(key); hit != memo.end()) return hit->second;

  int v = std::min(f.top_index(), g.top_index());
  GBdd f1 = f.top_index() == v ? f.high() : f;
  GBdd f0 = f.top_index() == v ? f.low() : f;
  GBdd g1 = g.top_index() == v ? g.high() : g;
  GBdd g0 = g.top_index() == v ? g.low() : g;
  GBdd h = rec_upcons(f1, g1, memo);
  GBdd l = rec_upcons(f0, g0, memo);
  GBdd r =
      (h == GBdd::NULL_() || l == GBdd::NULL_()) ? GBdd::NULL_() : ite(GBdd::variable(v), h, l);
  memo.emplace(key, r);
  return r;
}

} // namespace

GBdd upcons(const GBdd& f, const GBdd& g) {
  UpconsMemo memo;
  return rec_upcons(f, g, memo);
}

const PredefRow predef_table[] = {
    {"ite", ite_handler, 3, "functionnal if then else"},
    {"compare", compare_handler, 2, "tests the equivalence"},
    {"implies", implies_handler, 2, "tests the inclusion"},
    {"cuts", cuts_handler, 2, "tests the intersection"},
    {"restrict", restrict_handler, 2, "restrict(f,g) is equivalent to f if g"},
    {"constrain", constrain_handler, 2, "constrain(f,g) is equivalent to f if g"},
    {"constrain_td", constrain_td_handler, 2, "constrain_td(f,g) is equivalent to f if g"},
    {"upcons", upcons_handler, 2, "upper function `x` such that constrain(op1,x) = op2"},
    {"supp", supp_handler, 1, "support"},
    {"root", root_handler, -1, "Shannon decomposition"},
    {"high", high_handler, 1, "Shannon decomposition"},
    {"low", low_handler, 1, "Shannon decomposition"},
    {nullptr, nullptr, 0, nullptr},
};
