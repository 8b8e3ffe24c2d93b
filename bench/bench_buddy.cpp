// The benchmark workloads built with BuDDy (libbdd-dev), the reference package.
//
// BuDDy settings: a node table of 4,000,000 nodes at start, growing by at most
// 4,000,000 nodes at a time; operation caches of 1,000,000 entries at start, kept at a
// quarter of the node table as it grows. Its node counts leave out the two leaves and count
// nodes without complement edges, so they must equal GBdd's unsigned_size.

#include "workloads.h"

#include <bdd.h>

namespace {

constexpr int INITIAL_NODES = 4000000;
constexpr int INITIAL_CACHE = 1000000;
constexpr int MAX_INCREASE = 4000000;
constexpr int CACHE_RATIO = 4;

struct BuddyOps {
  using Fn = bdd;
  static void declare(int nvars) { bdd_setvarnum(nvars > 0 ? nvars : 1); }
  static Fn variable(int i) { return bdd_ithvar(i); }
  static Fn one() { return bddtrue; }
  static Fn zero() { return bddfalse; }
  static Fn and2(const Fn& a, const Fn& b) { return a & b; }
  static Fn or2(const Fn& a, const Fn& b) { return a | b; }
  static Fn xor2(const Fn& a, const Fn& b) { return a ^ b; }
  static Fn not1(const Fn& a) { return !a; }
  static Fn ite(const Fn& c, const Fn& f, const Fn& g) { return bdd_ite(c, f, g); }
  static std::vector<long> counts(const Fn& f) { return {long(bdd_nodecount(f))}; }
  // The number of placements, a check of the construction itself.
  static void report_queens(const Fn& q, int) { std::printf("solutions %.0f\n", bdd_satcount(q)); }
};

} // namespace

int main(int argc, char** argv) {
  bdd_init(INITIAL_NODES, INITIAL_CACHE);
  bdd_setmaxincrease(MAX_INCREASE);
  bdd_setcacheratio(CACHE_RATIO);
  bdd_gbc_hook(nullptr); // no line per collection
  int status = bench::run_main<BuddyOps>(argc, argv);
  bdd_done();
  return status;
}
