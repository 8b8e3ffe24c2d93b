#include "eval/sat_count.h"

#include <algorithm>
#include <unordered_map>

// ---- BigCount ----------------------------------------------------------------------

BigCount::BigCount(std::uint64_t v) {
  while (v != 0) {
    limbs.push_back(static_cast<std::uint32_t>(v));
    v >>= 32;
  }
}

BigCount& BigCount::operator+=(const BigCount& o) {
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

BigCount& BigCount::shift_left(int bits) {
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

std::string BigCount::to_string() const {
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

// ---- counting ----------------------------------------------------------------------

namespace {

// Keyed by the whole edge, complement bit included, so that a node reached in
// both polarities has two entries and no subtraction is ever needed. Nothing
// here creates a node, so the edges stay valid while the caller holds the root.
using CountMemo = std::unordered_map<Edge, BigCount>;

int level_of(const GBdd& f, int var_count) {
  return f.is_leaf() ? var_count : f.top_index();
}

// The count of f over the variables from its own top to var_count - 1.
const BigCount& rec_sat_count(const GBdd& f, int var_count, CountMemo& memo) {
  auto [entry, fresh] = memo.try_emplace(f.edge);
  // Elements of an unordered_map stay put while others are added; iterators do not.
  BigCount& slot = entry->second;
  if (!fresh) return slot;
  if (f.is_leaf()) {
    slot = BigCount(f == GBdd::TRUE_() ? 1 : 0);
    return slot;
  }
  int top = f.top_index();
  GBdd low = f.low();
  GBdd high = f.high();
  BigCount sum = rec_sat_count(low, var_count, memo);
  sum.shift_left(level_of(low, var_count) - top - 1);
  BigCount from_high = rec_sat_count(high, var_count, memo);
  sum += from_high.shift_left(level_of(high, var_count) - top - 1);
  slot = sum;
  return slot;
}

} // namespace

BigCount sat_count(const GBdd& f, int var_count) {
  CountMemo memo;
  BigCount count = rec_sat_count(f, var_count, memo);
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
