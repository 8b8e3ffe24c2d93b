#include "output/dot.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

std::string dot_text(const GBdd& f) {
  static const char* const names[] = {"a", "b", "c"};
  char* buffer = nullptr;
  std::size_t length = 0;
  FILE* out = open_memstream(&buffer, &length);
  write_dot(out, f, names);
  fclose(out);
  std::string text(buffer, length);
  free(buffer);
  return text;
}

int count(const std::string& text, const std::string& pattern) {
  std::regex re(pattern);
  return (int)std::distance(std::sregex_iterator(text.begin(), text.end(), re),
                            std::sregex_iterator());
}

// f = a and not b:      a
//                     .   \        low (dashed) to the leaf read as false,
//                    1     b       high to b; b's two edges both reach the
//                          : \      leaf, one of them complemented
//                          1  1
TEST(Dot, NodesEdgesAndMarksFollowTheDiagram) {
  GBdd a = GBdd::variable(0), b = GBdd::variable(1);
  GBdd f = and_(a, !b);
  std::string text = dot_text(f);
  EXPECT_EQ(count(text, R"(\n  n\d+ \[)"), size(f) + 1) << text;
  EXPECT_EQ(count(text, R"(label="a")"), 2) << text; // the node and its rank's name
  EXPECT_EQ(count(text, R"(n\d+ -> n\d+)"), 2 * size(f)) << text;
  EXPECT_EQ(count(text, R"(n\d+ -> n\d+ \[style=dashed)"), size(f)) << text;
  // f and its negation differ only in the mark on the root edge.
  std::string negated = dot_text(!f);
  EXPECT_NE(text.find("root -> n1 [arrowhead=odot];") == std::string::npos,
            negated.find("root -> n1 [arrowhead=odot];") == std::string::npos);
}

TEST(Dot, ConstantsAreTheLeafAlone) {
  std::string t = dot_text(GBdd::TRUE_());
  EXPECT_NE(t.find("root -> n0;"), std::string::npos) << t;
  std::string f = dot_text(GBdd::FALSE_());
  EXPECT_NE(f.find("root -> n0 [arrowhead=odot];"), std::string::npos) << f;
  EXPECT_EQ(count(f, R"(\n  n\d+ \[)"), 1) << f;
}

} // namespace
