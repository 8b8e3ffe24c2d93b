#include "gbdd/gbdd.h"
#include "gbdd_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// What a rendering writes to its stream.
std::string rendered(const std::function<void(FILE*)>& render) {
  char* text = nullptr;
  std::size_t length = 0;
  FILE* out = open_memstream(&text, &length);
  render(out);
  std::fclose(out);
  std::string s(text, length);
  std::free(text);
  return s;
}

std::string sop(const GBdd& f) {
  return rendered([&](FILE* out) { print_sop(f, out, default_var_name); });
}

std::string sop(const GBdd& f, const char* const* names) {
  return rendered([&](FILE* out) { print_sop(f, out, names); });
}

void use_default_strings() {
  set_sop_strings("true", "false", "!", ".", " +\n", "", "", "");
}
void use_dnf_strings() {
  set_sop_strings("1", "0", "-", ".", " + ", "", "", "");
}
void use_cnf_strings() {
  set_sop_strings("0", "1", "", "+", " . ", "-", "(", ")");
}

class Render : public GBddTest {
protected:
  void TearDown() override {
    use_default_strings();
    GBddTest::TearDown();
  }
  GBdd x(int i) { return GBdd::variable(i); }
};

// A name callback that hands out one buffer again and again.
const char* reused_buffer_name(int i) {
  static std::string buffer;
  buffer = "v" + std::to_string(i * 10);
  return buffer.c_str();
}

} // namespace

TEST_F(Render, TermsComeOutInTheOrderOfTheDecomposition) {
  EXPECT_EQ(sop(or_(and_(x(1), x(2)), and_(!x(1), x(3)))), "X1.X2 +\n!X1.X3"); // no consensus
  EXPECT_EQ(sop(or_(x(1), x(2))), "X1 +\nX2");
  EXPECT_EQ(sop(x(3)), "X3");
  EXPECT_EQ(sop(!x(3)), "!X3");
  EXPECT_EQ(sop(GBdd::TRUE_()), "true");
  EXPECT_EQ(sop(GBdd::FALSE_()), "false");
  EXPECT_EQ(sop(GBdd()), "null");
  // Terms with x0, then with its negation, then the common part x3 + !x1.x2,
  // against which both cofactors were simplified.
  GBdd f = or_(or_(and_(x(0), x(2)), and_(!x(0), !x(1))), x(3));
  EXPECT_EQ(sop(f), "X0.X2 +\n!X0.!X1 +\n!X1.X2 +\nX3");
}

TEST_F(Render, CalculatorFormsUseTheirStrings) {
  const char* names[] = {"a", "b", "c"};
  GBdd a = x(0), b = x(1);
  struct Case {
    void (*strings)();
    GBdd f;
    const char* text;
  } cases[] = {
      {use_dnf_strings, and_(a, b), "a.b"},
      {use_dnf_strings, or_(a, b), "a + b"},
      {use_dnf_strings, !a, "-a"},
      {use_dnf_strings, GBdd::TRUE_(), "1"},
      {use_cnf_strings, !and_(a, b), "(a) . (b)"},
      {use_cnf_strings, !or_(a, b), "(a+b)"},
      {use_cnf_strings, !GBdd::TRUE_(), "1"},
      {use_cnf_strings, !a, "(a)"},
      {use_cnf_strings, !or_(a, !x(2)), "(a+-c)"},
  };
  for (const Case& c : cases) {
    c.strings();
    EXPECT_EQ(sop(c.f, names), c.text);
  }
}

TEST_F(Render, RenderingReadBackGivesTheFunction) {
  std::mt19937_64 random(3);
  for (int n : {3, 4, 6}) {
    for (int round = 0; round < 40; round++) {
      GBdd f = from_table(random() & table_mask(n), n);
      std::string text = default_sop(f);
      ASSERT_EQ(parse_default_sop(text), f) << text;
    }
  }
}

TEST_F(Render, EachRenderingStartsWithoutSeparator) {
  GBdd f = or_(x(1), x(2));
  std::string twice = rendered([&](FILE* out) {
    print_sop(f, out, default_var_name);
    print_sop(f, out, default_var_name);
  });
  EXPECT_EQ(twice, "X1 +\nX2X1 +\nX2");
}

TEST_F(Render, NamesComeFromTheCallbackOrTheTable) {
  EXPECT_EQ(rendered([&](FILE* out) { print_sop(and_(x(1), !x(2)), out, reused_buffer_name); }),
            "v10.!v20");
  const char* names[] = {"a", nullptr, "c"};
  EXPECT_EQ(sop(and_(x(0), x(1)), names), "a.X1"); // an empty entry falls back
  EXPECT_EQ(rendered([&](FILE* out) { print_sop(and_(x(0), x(5)), out, names, 3); }), "a.X5");
}

TEST_F(Render, LongTermsAreNotCut) {
  std::vector<std::string> texts;
  std::vector<const char*> names;
  for (int k = 0; k < 300; k++)
    texts.push_back("variable_with_a_long_name_" + std::to_string(k));
  for (const std::string& t : texts)
    names.push_back(t.c_str());
  GBdd f = GBdd::TRUE_();
  std::string expected;
  for (int k = 299; k >= 0; k--)
    f = and_(x(k), f);
  for (int k = 0; k < 300; k++)
    expected += (k ? "." : "") + texts[k];
  EXPECT_EQ(sop(f, names.data()), expected); // far beyond 1024 bytes
}

TEST_F(Render, LineFormsEndWithANewlineOnStandardOutput) {
  std::string on_stream;
  testing::internal::CaptureStdout();
  on_stream = rendered([&](FILE* out) { print_sop_line(x(4), out, default_var_name); });
  std::string on_stdout = testing::internal::GetCapturedStdout();
  EXPECT_EQ(on_stream, "X4");
  EXPECT_EQ(on_stdout, "\n");
  testing::internal::CaptureStdout();
  print_sop_line(!x(4));
  print_sop(x(2));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "!X4\nX2");
}

TEST_F(Render, OnlyPurelyBooleanFunctionsCanBeRendered) {
  ErrorRecorder recorder;
  GBdd v = ite(x(1), GBdd::leaf(0x100), GBdd::leaf(0x200));
  std::string text;
  std::string err = CAPTURE_STDERR(text = sop(v));
  EXPECT_EQ(err, "Internal Error :\nGBdd and:: operands must be purely boolean gbdds\n");
  EXPECT_EQ(text, "");
}
