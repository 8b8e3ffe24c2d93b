#include "eval/circuit_build.h"
#include "eval/dimacs.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(Dimacs, ClausesCrossLinesAndBuildTheirConjunction) {
  std::istringstream text("c a comment\np cnf 3 3\n1 -2 0 2\n3 0\n-1 0\n%\n0\n");
  CnfFormula f;
  ReadError e;
  ASSERT_TRUE(read_dimacs(text, f, e)) << e.line << ": " << e.message;
  ASSERT_EQ(f.var_count, 3);
  ASSERT_EQ(f.clauses.size(), 3u);
  EXPECT_EQ(f.clauses[1], (std::vector<int>{2, 3}));
  GBdd x1 = GBdd::variable(0), x2 = GBdd::variable(1), x3 = GBdd::variable(2);
  GBdd want = and_(and_(or_(x1, !x2), or_(x2, x3)), !x1);
  EXPECT_TRUE(build_cnf(f, {x1, x2, x3}) == want);
}

TEST(Dimacs, EmptyFormulaIsTrueAndEmptyClauseFalse) {
  CnfFormula f;
  ReadError e;
  std::istringstream none("p cnf 2 0\n");
  ASSERT_TRUE(read_dimacs(none, f, e));
  EXPECT_TRUE(build_cnf(f, {GBdd::variable(0), GBdd::variable(1)}) == GBdd::TRUE_());
  std::istringstream empty_clause("p cnf 1 2\n1 0\n0\n");
  ASSERT_TRUE(read_dimacs(empty_clause, f, e));
  EXPECT_TRUE(build_cnf(f, {GBdd::variable(0)}) == GBdd::FALSE_());
}

TEST(Dimacs, BadInputNamesTheFaultAndItsLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  } cases[] = {
      {"1 0\n", 1, "clause before the header \"p cnf VARIABLES CLAUSES\""},
      {"c only\n", 1, "no header \"p cnf VARIABLES CLAUSES\""},
      {"p cnf x 2\n", 1, "bad header, expected \"p cnf VARIABLES CLAUSES\""},
      {"p dnf 2 2\n", 1, "bad header, expected \"p cnf VARIABLES CLAUSES\""},
      {"p cnf 2 1\np cnf 2 1\n", 2, "second header"},
      {"p cnf 2 1\n1 -3 0\n", 2, "literal -3 beyond the 2 variables"},
      {"p cnf 2 1\n1 -9223372036854775808 0\n", 2,
       "literal -9223372036854775808 beyond the 2 variables"},
      {"p cnf 2 1\n1 a 0\n", 2, "bad literal \"a\""},
      {"p cnf 2 2\n1 0\n", 2, "1 clauses, the header says 2"},
      {"p cnf 2 1\n1 0\n2 0\n", 3, "2 clauses, the header says 1"},
      {"p cnf 2 2\n1 0\n\n2 -1\n\n", 4, "clause without its final 0"},
  };
  for (const Case& c : cases) {
    std::istringstream text(c.text);
    CnfFormula f;
    ReadError e;
    EXPECT_FALSE(read_dimacs(text, f, e)) << c.text;
    EXPECT_EQ(e.line, c.line) << c.text;
    EXPECT_EQ(e.message, c.message) << c.text;
  }
}

} // namespace
