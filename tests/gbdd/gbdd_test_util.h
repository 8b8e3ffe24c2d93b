#pragma once
// Helpers shared by the package's tests: truth tables, the store check and an
// error handler that returns.

#include "gbdd/gbdd.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A function of up to 6 variables as a truth table: bit a is its value under
// assignment a, where variable k has the value of bit k of a.
using Table = std::uint64_t;

Table table_mask(int nvars);
Table var_table(int k, int nvars);
// The function of the table over variables 0 .. nvars-1, built from minterms.
GBdd from_table(Table t, int nvars);
// The table of a purely boolean f read back with eval.
Table to_table(const GBdd& f, int nvars);

// Every function of n variables, in the order of their tables.
std::vector<GBdd> all_functions(int n);
// x_first xor ... xor x_(first+count-1): every node is reached through both polarities.
GBdd parity(int first, int count);

// Cofactor tables: t with variable k fixed to 0 or 1 (still over nvars).
Table low_table(Table t, int k, int nvars);
Table high_table(Table t, int k, int nvars);
Table exist_table(Table t, int k, int nvars);
Table forall_table(Table t, int k, int nvars);
// Whether the function of t depends on variable k.
bool table_depends_on(Table t, int k, int nvars);

// The function of a sum of products written with the default rendering strings and
// default_var_name ("X1.!X2 +\nX3"); the null function when the text is malformed.
GBdd parse_default_sop(const std::string& text);
// What print_sop writes for f with default_var_name.
std::string default_sop(const GBdd& f);

// Empty when every store invariant holds, else a description of the first faults.
std::string check_store();

// Text that a statement writes on standard error.
#define CAPTURE_STDERR(statement)                                                                  \
  ([&] {                                                                                           \
    testing::internal::CaptureStderr();                                                            \
    statement;                                                                                     \
    return testing::internal::GetCapturedStderr();                                                 \
  }())

// Installs an error handler that returns and counts its calls, while in scope.
class ErrorRecorder {
public:
  ErrorRecorder();
  ~ErrorRecorder();
  static int calls;
};

// Ends every package test with the store and alive-list checks.
class GBddTest : public testing::Test {
protected:
  void TearDown() override {
    EXPECT_EQ(check_store(), "");
    check_alive_list(nullptr);
  }
};
