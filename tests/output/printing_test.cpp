#include "output/printing.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What print_result writes for f.
std::string printed(const GBdd& f, PrintMethod method, const std::vector<const char*>& names) {
  char* buffer = nullptr;
  size_t length = 0;
  FILE* out = open_memstream(&buffer, &length);
  print_result(out, f, method, names);
  fclose(out);
  std::string text(buffer, length);
  free(buffer);
  return text;
}

} // namespace

TEST(Printing, EachMethodWritesItsFormWithTheNamesGiven) {
  const std::vector<const char*> names = {"a", "b"};
  GBdd a = GBdd::variable(0);
  GBdd b = GBdd::variable(1);
  GBdd g = xor_(a, b);
  struct Case {
    GBdd f;
    PrintMethod method;
    std::string want;
  } cases[] = {
      {and_(a, !b), PRINT_DNF, "a.-b\n"},  {g, PRINT_DNF, "a.-b + -a.b\n"},
      {g, PRINT_CNF, "(-a+-b) . (a+b)\n"}, {g, PRINT_REED, "a <> b\n"},
      {GBdd::TRUE_(), PRINT_DNF, "1\n"},   {GBdd::TRUE_(), PRINT_CNF, "1\n"},
      {GBdd::FALSE_(), PRINT_REED, "0\n"}, {GBdd::NULL_(), PRINT_CNF, "null\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(printed(c.f, c.method, names), c.want) << c.want;
}
