#include "interp/analysis_commands.h"
#include "interp/interpreter.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Case {
  const char* file; // written under the test's temporary directory
  const char* text;
  const char* target; // the name :cnf assigns; null for :circuit
  std::vector<const char*> names;
};

void read_file(Interpreter& in, const Case& c, const std::string& path) {
  int file_symbol = in.symbols.intern("%s", path.c_str());
  if (c.target)
    cnf_command(in, in.symbols.intern("%s", c.target), file_symbol);
  else
    circuit_command(in, file_symbol);
}

} // namespace

// With an interrupt pending, the build, and with it the command, ends at the
// first node it makes. The variables of the two new inputs are held beforehand,
// and nothing else is left in the store, so the build gets past them to the
// first gate or clause: a reader that declared its inputs before building would
// leave them behind.
TEST(CircuitCommands, ABuildEndedEarlyDefinesNothing) {
  const Case cases[] = {
      {"abort.bench", "INPUT(p)\nINPUT(q)\nOUTPUT(r)\nr = AND(p, q)\n", nullptr, {"p", "q", "r"}},
      {"abort.blif",
       ".model m\n.inputs p q\n.outputs r\n.names p q r\n11 1\n.end\n",
       nullptr,
       {"p", "q", "r"}},
      {"abort.cnf", "p cnf 2 2\n1 2 0\n-1 -2 0\n", "f", {"x1", "x2", "f"}},
  };
  for (const Case& c : cases) {
    std::string path = testing::TempDir() + c.file;
    FILE* f = fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs(c.text, f);
    fclose(f);

    Interpreter in(nullptr);
    GBdd held0 = GBdd::variable(0);
    GBdd held1 = GBdd::variable(1);
    garbage_collect(); // no node of an earlier case can be found instead of made
    testing::internal::CaptureStdout();
    request_interrupt();
    read_file(in, c, path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.file;
    EXPECT_TRUE(in.abandoning) << c.file; // the interrupt ended the command
    in.abandoning = false;
    EXPECT_EQ(in.idents.arg_count(), 0) << c.file;
    for (const char* name : c.names)
      EXPECT_EQ(in.idents.record(in.symbols.intern("%s", name)), nullptr) << c.file << " " << name;

    // The session goes on as if the command had not been given.
    testing::internal::CaptureStdout();
    read_file(in, c, path);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.rfind("read \"" + path + "\"", 0), 0u) << said;
    EXPECT_EQ(in.idents.arg_count(), 2) << c.file;
    for (const char* name : c.names)
      EXPECT_NE(in.idents.record(in.symbols.intern("%s", name)), nullptr) << c.file << " " << name;
    std::remove(path.c_str());
  }
}
