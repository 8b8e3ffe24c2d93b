#include "eval/evaluator.h"
#include "eval/ident_table.h"
#include "names/symbol_table.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

// Functions of the four arguments a, b, c, d as 16-bit truth tables: bit i is
// the value under the assignment whose bit k gives argument k.
using Table = std::uint16_t;
constexpr int VARS = 4;

Table var_table(int k) {
  Table t = 0;
  for (int i = 0; i < 16; i++)
    if (i >> k & 1) t |= Table(1u << i);
  return t;
}

Table cofactor(Table t, int k, int value) {
  Table r = 0;
  for (int i = 0; i < 16; i++) {
    int j = value ? (i | 1 << k) : (i & ~(1 << k));
    if (t >> j & 1) r |= Table(1u << i);
  }
  return r;
}

struct Generated {
  ExpNode* node;
  Table table;
};

// Random trees over a, b, c, d and a let-bound name l, with the function each
// denotes computed directly on tables.
class Generator {
public:
  Generator(SymbolTable& symbols, unsigned seed) : rng(seed) {
    for (int k = 0; k < VARS; k++)
      sym[k] = symbols.intern("%c", 'a' + k);
    let_sym = symbols.intern("%s", "l");
  }

  Generated make(int depth, bool l_bound, Table l_table) {
    int choice = depth <= 0 ? 0 : pick(12);
    switch (choice) {
    case 0: {
      if (l_bound && pick(3) == 0) return {new ExpNode(EXP_IDENT, let_sym), l_table};
      int k = pick(VARS);
      return {new ExpNode(EXP_IDENT, sym[k]), var_table(k)};
    }
    case 1: {
      Generated a = make(depth - 1, l_bound, l_table);
      return {new ExpNode(EXP_NOT, a.node), Table(~a.table)};
    }
    case 2:
    case 3:
    case 4:
    case 5: {
      Generated a = make(depth - 1, l_bound, l_table);
      Generated b = make(depth - 1, l_bound, l_table);
      static const int kinds[] = {EXP_AND, EXP_OR, EXP_IMPLIES, EXP_EQUIV};
      static Table (*const ops[])(Table,
                                  Table) = {[](Table x, Table y) { return Table(x & y); },
                                            [](Table x, Table y) { return Table(x | y); },
                                            [](Table x, Table y) { return Table(~x | y); },
                                            [](Table x, Table y) { return Table(~(x ^ y)); }};
      return {new ExpNode(kinds[choice - 2], a.node, b.node), ops[choice - 2](a.table, b.table)};
    }
    case 6:
    case 7:
    case 8: {
      int n = 1 + pick(4);
      ExpNode* head = nullptr;
      Table tables[5];
      for (int i = 0; i < n; i++) {
        Generated g = make(depth - 1, l_bound, l_table);
        tables[i] = g.table;
        head = head ? append(head, g.node) : g.node;
      }
      static const int kinds[] = {EXP_XOR, EXP_NOR, EXP_AT_MOST_ONE};
      Table r = 0;
      for (int bit = 0; bit < 16; bit++) {
        int ones = 0;
        for (int i = 0; i < n; i++)
          ones += tables[i] >> bit & 1;
        bool v = choice == 6 ? ones == 1 : choice == 7 ? ones == 0 : ones <= 1;
        if (v) r |= Table(1u << bit);
      }
      return {ExpNode::from_list(kinds[choice - 6], 0, head), r};
    }
    case 9: {
      Generated c = make(depth - 1, l_bound, l_table);
      Generated t = make(depth - 1, l_bound, l_table);
      Generated e = make(depth - 1, l_bound, l_table);
      return {new ExpNode(EXP_ITE, c.node, t.node, e.node),
              Table((c.table & t.table) | (~c.table & e.table))};
    }
    case 10: {
      Generated bound = make(depth - 1, l_bound, l_table);
      Generated body = make(depth - 1, true, bound.table);
      return {ExpNode::from_list(EXP_LET, let_sym, append(bound.node, body.node)), body.table};
    }
    default: {
      // A quantifier over one or two of the arguments.
      bool existential = pick(2) == 0;
      int k1 = pick(VARS), k2 = pick(VARS);
      bool two = pick(2) == 0 && k1 != k2;
      Generated body = make(depth - 1, l_bound, l_table);
      ExpNode* vars = new ExpNode(EXP_IDENT, sym[k1]);
      if (two) vars = new ExpNode(EXP_AND, vars, new ExpNode(EXP_IDENT, sym[k2]));
      Table r = body.table;
      for (int i = 0; i < (two ? 2 : 1); i++) {
        int k = i == 0 ? k1 : k2;
        Table lo = cofactor(r, k, 0), hi = cofactor(r, k, 1);
        r = existential ? Table(lo | hi) : Table(lo & hi);
      }
      return {new ExpNode(existential ? EXP_EXIST : EXP_FORALL, vars, body.node), r};
    }
    }
  }

private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  std::mt19937 rng;
  int sym[VARS];
  int let_sym;
};

int assignment;
int assigned(int k) {
  return assignment >> k & 1;
}

} // namespace

TEST(Evaluator, RandomExpressionsDenoteTheirTruthTables) {
  SymbolTable symbols(100);
  IdentTable idents(symbols);
  Generator gen(symbols, 12345);
  // Declare the arguments in a known order first.
  for (int k = 0; k < VARS; k++) {
    ExpNode leaf(EXP_IDENT, symbols.intern("%c", 'a' + k));
    EXPECT_EQ(evaluate(idents, &leaf), GBdd::variable(k));
  }
  for (int round = 0; round < 3000; round++) {
    Generated g = gen.make(1 + round % 5, false, 0);
    ExpPtr tree(g.node);
    GBdd f = evaluate(idents, tree.get());
    ASSERT_TRUE(f.is_boolean()) << "round " << round;
    for (assignment = 0; assignment < 16; assignment++)
      ASSERT_EQ(eval_bool(f, assigned), g.table >> assignment & 1)
          << "round " << round << " assignment " << assignment;
  }
  EXPECT_EQ(idents.arg_count(), VARS);                          // nothing else was declared
  EXPECT_EQ(idents.record(symbols.intern("%s", "l")), nullptr); // every let undone
}

TEST(Evaluator, LongChainsEvaluateWithoutDeepRecursion) {
  SymbolTable symbols(100);
  IdentTable idents(symbols);
  int a = symbols.intern("%s", "a");
  int b = symbols.intern("%s", "b");
  ExpNode* tree = new ExpNode(EXP_IDENT, a);
  for (int i = 0; i < 500000; i++)
    tree = new ExpNode(i % 2 ? EXP_AND : EXP_OR, tree, new ExpNode(EXP_IDENT, i % 3 ? a : b));
  ExpPtr owned(tree);
  GBdd f = evaluate(idents, owned.get());
  EXPECT_TRUE(f.is_boolean());
  owned.reset(); // released without recursion as well
}
