#include "eval/circuit_build.h"
#include "eval/netlist.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

// Inputs 1 2 3 6 7, outputs 22 23; gate 23 is listed before the gates it reads.
const char* const C17 = R"(# c17
INPUT(1)
INPUT(2)
INPUT(3)
INPUT(6)
INPUT(7)
OUTPUT(22)
OUTPUT(23)
23 = NAND(16, 19)
10 = NAND(1, 3)
11 = nand(3, 6)
16 = NAND(2, 11)
19 = NAND(11, 7)
22 = NAND(10, 16)
)";

GBdd nand(const GBdd& a, const GBdd& b) {
  return !and_(a, b);
}

TEST(Netlist, BenchGatesComeOutInOrderAndBuildTheCircuit) {
  std::istringstream text(C17);
  Netlist n;
  ReadError e;
  ASSERT_TRUE(read_bench(text, n, e)) << e.line << ": " << e.message;
  ASSERT_EQ(n.inputs.size(), 5u);
  ASSERT_EQ(n.outputs.size(), 2u);
  EXPECT_EQ(n.net_names[n.outputs[0].net], "22");
  std::vector<GBdd> in;
  for (int k = 0; k < 5; k++)
    in.push_back(GBdd::variable(k));
  std::vector<GBdd> out = build_netlist(n, in);
  GBdd g10 = nand(in[0], in[2]), g11 = nand(in[2], in[3]);
  GBdd g16 = nand(in[1], g11), g19 = nand(g11, in[4]);
  EXPECT_TRUE(out[0] == nand(g10, g16));
  EXPECT_TRUE(out[1] == nand(g16, g19));
}

// A full adder as BLIF: sum by an on-set cover, carry by an off-set cover, a
// constant from a cover without inputs, and a line continued with "\".
TEST(Netlist, BlifCoversBuildTheirFunctions) {
  std::istringstream text(R"(.model fa
.inputs a b \
  cin
.outputs s cout one
.names a b cin s
100 1
010 1
001 1
111 1
.names a b cin cout   # carry: zero when at most one input is 1
00- 0
0-0 0
-00 0
.names one
1
.end
)");
  Netlist n;
  ReadError e;
  ASSERT_TRUE(read_blif(text, n, e)) << e.line << ": " << e.message;
  ASSERT_EQ(n.inputs.size(), 3u);
  GBdd a = GBdd::variable(0), b = GBdd::variable(1), c = GBdd::variable(2);
  std::vector<GBdd> out = build_netlist(n, {a, b, c});
  EXPECT_TRUE(out[0] == xor_(xor_(a, b), c));
  EXPECT_TRUE(out[1] == or_(or_(and_(a, b), and_(a, c)), and_(b, c)));
  EXPECT_TRUE(out[2] == GBdd::TRUE_());
}

struct BadCase {
  bool blif;
  const char* text;
  int line;
  const char* message;
};

TEST(Netlist, BadInputNamesTheFaultAndItsLine) {
  const BadCase cases[] = {
      {false, "INPUT(a)\nOUTPUT(z)\nz = MUX(a, a)\n", 3, "unknown gate \"MUX\""},
      {false, "INPUT(a)\nOUTPUT(z)\nz = AND(a, q)\n", 3, "net \"q\" is read but never driven"},
      {false, "INPUT(a)\nOUTPUT(z)\n", 2, "net \"z\" is read but never driven"},
      {false, "INPUT(a)\nOUTPUT(z)\nz = NOT(a)\nz = BUFF(a)\n", 4,
       "net \"z\" is driven twice (first on line 3)"},
      {false, "INPUT(a)\nINPUT(a)\n", 2, "net \"a\" is driven twice (first on line 1)"},
      {false, "INPUT(a)\nOUTPUT(z)\nz = AND(a, y)\ny = OR(a, x)\nx = NOT(y)\n", 4,
       "combinational cycle through net \"y\""},
      {false, "INPUT(a)\nz = NOT(a, a)\n", 2, "gate \"NOT\" takes one input"},
      {false, "INPUT(a\n", 1, "malformed line"},
      {false, "INPUT(a)\nz = AND(a,)\n", 2, "malformed line"},
      {true, ".model m\n.inputs a\n.outputs z\n.latch a z 0\n.end\n", 4,
       ".latch refused: only combinational netlists"},
      {true, ".model m\n.subckt f x=a\n", 2, ".subckt refused: only flat netlists"},
      {true, ".inputs a b\n.outputs z\n.names a b z\n1 1\n", 4, "malformed cover row"},
      {true, ".inputs a b\n.outputs z\n.names a b z\n11 1\n00 0\n", 5,
       "cover rows give both 0 and 1"},
      {true, ".inputs a\n.outputs z\n.names a z\n1 1\n.names a z\n0 1\n", 5,
       "net \"z\" is driven twice (first on line 3)"},
      {true, ".inputs a\n.outputs z\n.names a y z\n11 1\n", 3,
       "net \"y\" is read but never driven"},
      {true, ".inputs a\n.outputs z\n.names y z\n1 1\n.names z y\n1 1\n", 3,
       "combinational cycle through net \"z\""},
      {true, "11 1\n", 1, "cover row outside .names"},
      {true, ".model a\n.model b\n", 2, "more than one .model"},
      {true, ".inputs a\n.gate and2 A=a\n", 2, "unknown directive \".gate\""},
  };
  for (const BadCase& c : cases) {
    std::istringstream text(c.text);
    Netlist n;
    ReadError e;
    bool ok = c.blif ? read_blif(text, n, e) : read_bench(text, n, e);
    EXPECT_FALSE(ok) << c.text;
    EXPECT_EQ(e.line, c.line) << c.text;
    EXPECT_EQ(e.message, c.message) << c.text;
  }
}

} // namespace
