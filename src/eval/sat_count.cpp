#include "eval/sat_count.h"

#include <unordered_map>

// ---- counting ----------------------------------------------------------------------

namespace {

// Keyed by the whole edge, complement bit included, so that a node reached in
// both polarities has two entries and no subtraction is ever needed. Nothing
// here creates a node, so the edges stay valid while the caller holds the root.
using CountMemo = std::unordered_map<Edge, TreeCount>;

int level_of(const GBdd& f, int var_count) {
  return f.is_leaf() ? var_count : f.top_index();
}

// The count of f over the variables from its own top to var_count - 1.
const TreeCount& rec_sat_count(const GBdd& f, int var_count, CountMemo& memo) {
  auto [entry, fresh] = memo.try_emplace(f.edge);
  // Elements of an unordered_map stay put while others are added; iterators do not.
  TreeCount& slot = entry->second;
  if (!fresh) return slot;
  if (f.is_leaf()) {
    slot = TreeCount(f == GBdd::TRUE_() ? 1 : 0);
    return slot;
  }
  int top = f.top_index();
  GBdd low = f.low();
  GBdd high = f.high();
  TreeCount sum = rec_sat_count(low, var_count, memo);
  sum.shift_left(level_of(low, var_count) - top - 1);
  TreeCount from_high = rec_sat_count(high, var_count, memo);
  sum += from_high.shift_left(level_of(high, var_count) - top - 1);
  slot = sum;
  return slot;
}

} // namespace

TreeCount sat_count(const GBdd& f, int var_count) {
  CountMemo memo;
  TreeCount count = rec_sat_count(f, var_count, memo);
  return count.shift_left(level_of(f, var_count));
}

std::vector<SatLiteral> sat_path(const GBdd& f) {
  std::vector<SatLiteral> path;
  if (f == GBdd::FALSE_()) return path;
  GBdd g = f;
  while (!g.is_leaf()) {
    GBdd low = g.low();
    if (low != GBdd::FALSE_()) {
      path.push_back({g.top_index(), true});
      g = low;
    } else {
      path.push_back({g.top_index(), false});
      g = g.high();
    }
  }
  return path;
}
