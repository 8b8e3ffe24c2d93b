#include "eval/isop.h"

#include <algorithm>
#include <unordered_map>

namespace {

struct PairHash {
  std::size_t operator()(const std::pair<Edge, Edge>& p) const {
    return std::hash<Edge>()(p.first) * 31 + std::hash<Edge>()(p.second);
  }
};

// One solved interval. The entry holds both bounds and the result, so that no
// collection during the rest of the construction can reclaim what its key names.
struct Solved {
  GBdd lower;
  GBdd upper;
  GBdd denoted;
  int part;
};

class IsopBuilder {
public:
  explicit IsopBuilder(IsopCover& cover_) : cover(cover_) {}

  // The part covering some function between lower and upper, and that function
  // in `denoted`. May collect.
  int rec_isop(const GBdd& lower, const GBdd& upper, GBdd& denoted) {
    if (lower == GBdd::FALSE_()) {
      denoted = GBdd::FALSE_();
      return IsopCover::PART_EMPTY;
    }
    if (upper == GBdd::TRUE_()) {
      denoted = GBdd::TRUE_();
      return IsopCover::PART_ONE;
    }
    auto key = std::make_pair(lower.edge, upper.edge);
    if (auto hit = memo.find(key); hit != memo.end()) {
      denoted = hit->second.denoted;
      return hit->second.part;
    }

    int top = std::min(lower.top_index(), upper.top_index());
    GBdd lower0 = lower.top_index() == top ? lower.low() : lower;
    GBdd lower1 = lower.top_index() == top ? lower.high() : lower;
    GBdd upper0 = upper.top_index() == top ? upper.low() : upper;
    GBdd upper1 = upper.top_index() == top ? upper.high() : upper;

    // Minterms that only a product with the negated literal can cover.
    GBdd only0 = and_(lower0, !upper1);
    GBdd denoted0;
    int part0 = rec_isop(only0, upper0, denoted0);
    GBdd only1 = and_(lower1, !upper0);
    GBdd denoted1;
    int part1 = rec_isop(only1, upper1, denoted1);

    // What is left is covered by products without the variable.
    GBdd rest0 = and_(lower0, !denoted0);
    GBdd rest1 = and_(lower1, !denoted1);
    GBdd rest = or_(rest0, rest1);
    GBdd both = and_(upper0, upper1);
    GBdd denoted_common;
    int common = rec_isop(rest, both, denoted_common);

    GBdd split = ite_var(top, denoted1, denoted0);
    denoted = or_(split, denoted_common);
    int part = IsopCover::PART_EMPTY;
    if (part0 != IsopCover::PART_EMPTY || part1 != IsopCover::PART_EMPTY) {
      cover.parts.push_back({top, part0, part1, common});
      part = (int)cover.parts.size() + 1;
    } else {
      part = common;
    }
    memo.emplace(key, Solved{lower, upper, denoted, part});
    return part;
  }

private:
  IsopCover& cover;
  std::unordered_map<std::pair<Edge, Edge>, Solved, PairHash> memo;
};

} // namespace

void IsopCover::rec_terms(int part, std::vector<int>& literals,
                          const std::function<void(const std::vector<int>&)>& visit) const {
  if (part == PART_EMPTY) return;
  if (part == PART_ONE) {
    visit(literals);
    return;
  }
  const Part& p = parts[part - 2];
  literals.push_back(2 * p.index);
  rec_terms(p.positive, literals, visit);
  literals.back() = 2 * p.index + 1;
  rec_terms(p.negative, literals, visit);
  literals.pop_back();
  rec_terms(p.common, literals, visit);
}

void IsopCover::for_each_term(const std::function<void(const std::vector<int>&)>& visit) const {
  std::vector<int> literals;
  rec_terms(root, literals, visit);
}

long IsopCover::term_count(long limit) const {
  // Parts refer only to parts made before them, so one pass in order counts all.
  // Each count stops at limit, so no sum overflows.
  auto add = [limit](long a, long b) { return a >= limit - b ? limit : a + b; };
  std::vector<long> count(parts.size() + 2, 0);
  count[PART_ONE] = std::min(1L, limit);
  for (std::size_t k = 0; k < parts.size(); k++) {
    const Part& p = parts[k];
    count[k + 2] = add(add(count[p.negative], count[p.positive]), count[p.common]);
  }
  return count[root];
}

IsopCover isop(const GBdd& lower, const GBdd& upper, GBdd& denoted) {
  IsopCover cover;
  IsopBuilder builder(cover);
  cover.root = builder.rec_isop(lower, upper, denoted);
  return cover;
}

IsopCover isop(const GBdd& f) {
  GBdd denoted;
  return isop(f, f, denoted);
}
