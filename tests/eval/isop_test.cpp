#include "eval/isop.h"
#include "table_function.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

GBdd product(const std::vector<int>& literals) {
  GBdd p = GBdd::TRUE_();
  for (int lit : literals) {
    GBdd v = GBdd::variable(lit / 2);
    p = and_(p, lit % 2 ? !v : v);
  }
  return p;
}

std::string show(const std::vector<std::vector<int>>& terms) {
  std::string s;
  for (const auto& t : terms) {
    s += "[";
    for (int lit : t)
      s += (lit % 2 ? "-x" : "x") + std::to_string(lit / 2) + " ";
    s += "]";
  }
  return s;
}

// The cover denotes f, every product is prime (dropping any literal leaves f)
// and none is redundant (dropping any product loses part of f).
void expect_prime_irredundant(const GBdd& f, const std::string& what) {
  IsopCover cover = isop(f);
  std::vector<std::vector<int>> terms;
  cover.for_each_term([&](const std::vector<int>& t) { terms.push_back(t); });
  ASSERT_EQ((long)terms.size(), cover.term_count()) << what;
  GBdd sum = GBdd::FALSE_();
  for (const auto& t : terms)
    sum = or_(sum, product(t));
  ASSERT_TRUE(sum == f) << what << " cover " << show(terms);
  for (std::size_t k = 0; k < terms.size(); k++) {
    for (std::size_t drop = 0; drop < terms[k].size(); drop++) {
      std::vector<int> wider = terms[k];
      wider.erase(wider.begin() + drop);
      EXPECT_FALSE(test_impl(product(wider), f)) << what << " not prime: " << show({terms[k]});
    }
    GBdd others = GBdd::FALSE_();
    for (std::size_t j = 0; j < terms.size(); j++)
      if (j != k) others = or_(others, product(terms[j]));
    EXPECT_FALSE(others == f) << what << " redundant: " << show({terms[k]});
  }
}

TEST(Isop, CoversOfConstants) {
  EXPECT_EQ(isop(GBdd::FALSE_()).term_count(), 0);
  IsopCover one = isop(GBdd::TRUE_());
  std::vector<std::vector<int>> terms;
  one.for_each_term([&](const std::vector<int>& t) { terms.push_back(t); });
  EXPECT_EQ(terms, std::vector<std::vector<int>>{{}});
}

TEST(Isop, RandomFunctionsGetPrimeIrredundantCovers) {
  std::mt19937 rng(2024);
  for (int n = 1; n <= 8; n++) {
    for (int trial = 0; trial < (n <= 3 ? 30 : 12); trial++) {
      Table t = random_table(rng, n);
      expect_prime_irredundant(from_table(t, n), "n=" + std::to_string(n) + " " + t.to_string());
    }
  }
}

// Majority of three, the carry of an adder: its three pairs and nothing more,
// though the consensus form printed by `print` has more products.
TEST(Isop, CarryOfThreeBits) {
  GBdd a = GBdd::variable(0), b = GBdd::variable(1), c = GBdd::variable(2);
  GBdd carry = or_(or_(and_(a, b), and_(a, c)), and_(b, c));
  IsopCover cover = isop(carry);
  EXPECT_EQ(cover.term_count(), 3);
  expect_prime_irredundant(carry, "carry");
}

// The parity of 70 variables: a cover of 2^69 products from 70 levels of parts.
TEST(Isop, TermCountStopsAtTheLimit) {
  GBdd parity = GBdd::FALSE_();
  for (int k = 0; k < 70; k++)
    parity = xor_(parity, GBdd::variable(k));
  IsopCover cover = isop(parity);
  EXPECT_EQ(cover.term_count(10001), 10001);
  EXPECT_EQ(cover.term_count(), LONG_MAX);
  EXPECT_EQ(isop(xor_(GBdd::variable(0), GBdd::variable(1))).term_count(10001), 2);
}

} // namespace
