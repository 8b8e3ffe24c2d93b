#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"
#include "gbdd_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string written(const std::function<void(FILE*)>& dump) {
  char* text = nullptr;
  std::size_t length = 0;
  FILE* out = open_memstream(&text, &length);
  dump(out);
  std::fclose(out);
  std::string s(text, length);
  std::free(text);
  return s;
}

std::string tree(const GBdd& f) {
  return written([&](FILE* out) { print_tree(f, out, default_leaf_printer); });
}

std::string sideways(const GBdd& f) {
  return written([&](FILE* out) { print_sideways(f, out, default_leaf_printer); });
}

std::string table(const GBdd& f) {
  testing::internal::CaptureStdout();
  print_table(f);
  return testing::internal::GetCapturedStdout();
}

std::string format(const char* fmt, long a, long b = 0, long c = 0) {
  char line[64];
  std::snprintf(line, sizeof line, fmt, a, b, c);
  return line;
}

} // namespace

using Dump = GBddTest;

TEST_F(Dump, TreePrintersShowLeavesThroughTheEdge) {
  GBdd x0 = GBdd::variable(0);
  EXPECT_EQ(tree(x0), "if(0)\n|   true\nelse\n|   false\nfi\n");
  EXPECT_EQ(tree(!x0), "if(0)\n|   false\nelse\n|   true\nfi\n");
  EXPECT_EQ(tree(GBdd::TRUE_()), "true\n");
  EXPECT_EQ(sideways(GBdd::TRUE_()), "true\n");
  EXPECT_EQ(sideways(and_(x0, GBdd::variable(1))), "   |- true\n|- 1\n|  |- false\n0\n|- false\n");
  EXPECT_EQ(
      tree(and_(x0, GBdd::variable(1))),
      "if(0)\n|   if(1)\n|   |   true\n|   else\n|   |   false\n|   fi\nelse\n|   false\nfi\n");
  // A node reached going down carries the bar on its high side.
  EXPECT_EQ(sideways(or_(x0, !GBdd::variable(1))), "|- true\n0\n|  |- false\n|- 1\n   |- true\n");
}

TEST_F(Dump, NullHandlesPrintNull) {
  EXPECT_EQ(tree(GBdd()), "NULL\n");
  EXPECT_EQ(sideways(GBdd()), "NULL\n");
  EXPECT_EQ(table(GBdd()), "NULL\n");
}

TEST_F(Dump, LeafPrintersAndValueLeaves) {
  GBdd v = ite(GBdd::variable(2), GBdd::leaf(0xabc0), GBdd::TRUE_());
  EXPECT_EQ(tree(v), "if(2)\n|   0xabc0\nelse\n|   true\nfi\n");
  EXPECT_EQ(written([&](FILE* out) { default_leaf_printer(out, 0x123456789a0); }),
            "0x123456789a0\n");
}

TEST_F(Dump, TableNamesNodesBySerialOncePerNode) {
  GBdd f = and_(GBdd::variable(0), GBdd::variable(1));
  long top = long(serial_of(id_of(f.edge)));
  long x1 = long(serial_of(id_of(f.high().edge)));
  long leaf = long(serial_of(BOOLEAN_LEAF_SLOT));
  std::string expected = "\n" + format("%3ld = (  0)? -%3ld : +%3ld ;\n", top, x1, leaf) +
                         format("%3ld = (  1)? -%3ld : +%3ld ;\n", x1, leaf, leaf) +
                         format("%3ld = [0x%lx];\n", leaf, long(memory.true_value));
  EXPECT_EQ(table(f), expected);
  EXPECT_EQ(table(!f), expected); // the complement bit of the handle is not shown
  GBdd v = ite(GBdd::variable(3), GBdd::leaf(0x40), GBdd::leaf(0x80));
  long a = long(serial_of(id_of(v.high().edge))), b = long(serial_of(id_of(v.low().edge)));
  EXPECT_EQ(table(v),
            "\n" + format("%3ld = (  3)? %4ld : %4ld ;\n", long(serial_of(id_of(v.edge))), a, b) +
                format("%3ld = [0x40];\n", a) + format("%3ld = [0x80];\n", b));
}

TEST_F(Dump, SerialsGoOnPastThirtyOneBits) {
  // A long run makes more than 2^31 nodes; the numbering neither wraps nor turns negative.
  memory.serial_counter = (std::uint64_t(1) << 33) + 6;
  GBdd x = GBdd::variable(5000);
  long leaf = long(serial_of(BOOLEAN_LEAF_SLOT));
  EXPECT_EQ(table(x), "\n" + format("8589934599 = (5000)? -%3ld : +%3ld ;\n", leaf, leaf) +
                          format("%3ld = [0x%lx];\n", leaf, long(memory.true_value)));
}

TEST_F(Dump, SerialsKeepTheirHighPartAcrossTwoToTheThirtyTwo) {
  // The high part of a serial is stored only once the numbering has passed 2^32:
  // the nodes made before keep theirs, and every serial survives the store growing.
  garbage_collect(); // earlier tests' dead nodes go: every node below is new
  const std::uint64_t base = std::uint64_t(1) << 32;
  memory.serial_counter = base - 2;
  GBdd before = GBdd::variable(6000);
  GBdd after = GBdd::variable(6001);
  std::vector<GBdd> many;
  const long count = slot_count(); // more live nodes than the store has slots: it grows
  for (long v = 0; v < count; v++)
    many.push_back(GBdd::variable(7000 + v));
  garbage_collect();
  EXPECT_EQ(serial_of(id_of(before.edge)), base - 1);
  EXPECT_EQ(serial_of(id_of(after.edge)), base);
  EXPECT_EQ(serial_of(id_of(many.back().edge)), base + many.size());
  EXPECT_EQ(table(before).substr(0, 12), "\n4294967295 ");
}
