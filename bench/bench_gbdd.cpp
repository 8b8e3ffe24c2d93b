// The benchmark workloads built with the GBdd package directly, without the calculator.

#include "gbdd/gbdd.h"
#include "workloads.h"

namespace {

struct GBddOps {
  using Fn = GBdd;
  static void declare(int) {}
  static Fn variable(int i) { return GBdd::variable(i); }
  static Fn one() { return GBdd::TRUE_(); }
  static Fn zero() { return GBdd::FALSE_(); }
  static Fn and2(const Fn& a, const Fn& b) { return and_(a, b); }
  static Fn or2(const Fn& a, const Fn& b) { return or_(a, b); }
  static Fn xor2(const Fn& a, const Fn& b) { return xor_(a, b); }
  static Fn not1(const Fn& a) { return !a; }
  static Fn ite(const Fn& c, const Fn& f, const Fn& g) { return ::ite(c, f, g); }
  // size counts the stored nodes (complement edges); unsigned_size the nodes without them.
  static std::vector<long> counts(const Fn& f) { return {long(size(f)), long(unsigned_size(f))}; }
  static void report_queens(const Fn&, int) {}
};

} // namespace

int main(int argc, char** argv) {
  int status = bench::run_main<GBddOps>(argc, argv);
  // The collector's share of the run, for the table.
  GBddStats s = store_stats();
  std::printf("gc %ld %.6f slots %ld bytes %ld hits %ld lookups %ld\n", s.collections,
              s.collection_seconds, s.node_slots, s.store_bytes, s.cache_hits, s.cache_lookups);
  return status;
}
