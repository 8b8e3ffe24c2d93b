#include "output/printing.h"

#include "eval/evaluator.h"
#include "interp/lexer.h"
#include "names/symbol_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <readline/readline.h>

namespace {

void use_dnf_strings() {
  set_sop_strings("1", "0", "-", ".", " + ", "", "", "");
}
void use_cnf_strings() {
  set_sop_strings("0", "1", "", "+", " . ", "-", "(", ")");
}

// Asks whether to print a diagram of `nodes` nodes. Only the exact lines "y"
// and "Y" say yes; the empty line, "N", "n" and the end of input say no.
bool user_wants_huge(int nodes) {
  printf("huge bdd (%d nodes) print it anyway ? ", nodes);
  fflush(stdout);
  const char* prompt = "[N,y]?";
  for (;;) {
    char* line = readline(prompt);
    if (!line) {
      mark_stdin_ended(); // the run ends once this command is done
      return false;
    }
    bool yes = std::strcmp(line, "y") == 0 || std::strcmp(line, "Y") == 0;
    bool no =
        std::strcmp(line, "") == 0 || std::strcmp(line, "N") == 0 || std::strcmp(line, "n") == 0;
    std::free(line);
    if (yes) return true;
    if (no) return false;
    prompt = "please answer [N,y]?";
  }
}

// The terms of the positive Davio expansion of g, product being the literals
// collected so far: terms with the top variable first, then those without it.
void reed_terms(Interpreter& in, bool first, const GBdd& product, const GBdd& g) {
  if (g == GBdd::FALSE_()) return;
  if (g == GBdd::TRUE_()) {
    if (!first) printf(" <> ");
    print_sop(product, stdout, in.arg_names.data());
    return;
  }
  int v = g.top_index();
  GBdd g0 = g.low();
  GBdd g1 = g.high();
  GBdd with_v = and_(GBdd::variable(v), product);
  reed_terms(in, first, with_v, xor_(g1, g0));
  reed_terms(in, false, product, g0);
}

GBdd eval_tree(Interpreter& in, ExpPtr& tree) {
  GBdd r = evaluate(in, tree.get());
  tree.reset();
  return r;
}

} // namespace

void print_reed(Interpreter& in, const GBdd& f) {
  if (f == GBdd::NULL_()) {
    printf("null");
    return;
  }
  if (f.is_leaf()) {
    print_sop(f, stdout, in.arg_names.data());
    return;
  }
  reed_terms(in, true, GBdd::TRUE_(), f);
}

void print_result(Interpreter& in, const GBdd& f) {
  if (in.echo_off) return;
  if (f == GBdd::NULL_()) {
    printf("null\n");
    return;
  }
  if (in.interactive) {
    int nodes = size(f);
    if (nodes > HUGE_BDD_NODES && !user_wants_huge(nodes)) return;
  }
  switch (in.print_method) {
  case PRINT_DNF:
    use_dnf_strings();
    print_sop(f, stdout, in.arg_names.data());
    break;
  case PRINT_CNF:
    use_cnf_strings();
    print_sop(!f, stdout, in.arg_names.data());
    break;
  case PRINT_REED:
    use_dnf_strings();
    print_reed(in, f);
    break;
  }
  printf("\n");
}

void eval_and_print(Interpreter& in, ExpPtr tree) {
  GBdd r = eval_tree(in, tree);
  if (r == GBdd::NULL_()) {
    printf("null\n");
    return;
  }
  print_result(in, r);
}

void print_with_method(Interpreter& in, ExpPtr tree, PrintMethod method) {
  PrintMethod saved = in.print_method;
  in.print_method = method;
  GBdd r = eval_tree(in, tree);
  print_result(in, r);
  in.print_method = saved;
}

void print_ident(Interpreter& in, int symbol) {
  IdentInfo* info = in.record(symbol);
  const char* name = symbols->text_of(symbol);
  if (!info) {
    printf("\"%s\" is undefined\n", name);
  } else if (ArgInfo* arg = info->as_arg()) {
    printf("\"%s\" : formal argument number %d\n", name, arg->var.top_index());
  } else if (ConstInfo* c = info->as_const()) {
    if (c->value == GBdd::TRUE_())
      printf("\"%s\" denotes the always true function\n", name);
    else
      printf("\"%s\" denotes the always false function\n", name);
  } else if (VarInfo* var = info->as_var()) {
    printf("\"%s\" variable holds :\n", name);
    GBdd value = var->value; // print_result may ask a question; keep the value rooted
    print_result(in, value);
  }
}

void size_command(Interpreter& in, ExpPtr tree, SizeMeasure measure) {
  GBdd r = eval_tree(in, tree);
  if (r == GBdd::NULL_()) {
    printf("null\n");
    return;
  }
  switch (measure) {
  case SIZE_NODES: printf("(%d bdd nodes)\n", size(r)); break;
  case SIZE_TREE: printf("(%s Shannon tree nodes)\n", tree_size(r).to_string().c_str()); break;
  case SIZE_UNSIGNED: printf("(%d Shannon DAG nodes)\n", unsigned_size(r)); break;
  }
}
