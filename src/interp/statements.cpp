#include "interp/statements.h"

#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "names/messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Above this many nodes an interactive run asks before printing.
constexpr int HUGE_BDD_NODES = 500;
// Above this many printed terms, too.
constexpr long HUGE_OUTPUT_TERMS = 10000;

// Asks whether to print a huge result, the question ending in " ? ". Only the
// exact lines "y" and "Y" say yes; the empty line, "N", "n", the end of input
// and Ctrl-C say no.
bool user_wants_huge(Interpreter& in, const char* question) {
  if (!in.line_editor) return false;
  fputs(question, stdout);
  fflush(stdout);
  const char* prompt = "[N,y]?";
  for (;;) {
    std::string line;
    switch (in.line_editor->read_answer(prompt, line)) {
    case LineEditor::ANSWER_END:
      in.lexer.mark_stdin_ended(); // the run ends once this command is done
      return false;
    case LineEditor::ANSWER_INTERRUPTED: return false;
    case LineEditor::ANSWER_LINE: break;
    }
    if (line == "y" || line == "Y") return true;
    if (line == "" || line == "N" || line == "n") return false;
    prompt = "please answer [N,y]?";
  }
}

// Prints f in the method, unless echo is off or the user of an interactive
// run declines to see it.
void show_result(Interpreter& in, const GBdd& f, PrintMethod method) {
  if (in.echo_off) return;
  if (!may_print(in, f, [&](long limit) { return count_terms(f, method, limit); })) return;
  print_result(stdout, f, method, in.idents.arg_names());
}

// The statement's tree is released as soon as it has been evaluated.
GBdd eval_tree(Interpreter& in, ExpPtr& tree) {
  GBdd r = evaluate(in.idents, tree.get());
  tree.reset();
  return r;
}

} // namespace

void with_value(Interpreter& in, ExpPtr& tree, const std::function<void(const GBdd&)>& work) {
  guarded(in, [&] {
    GBdd r = eval_tree(in, tree);
    if (r == GBdd::NULL_()) {
      printf("null\n"); // even with echo off
      return;
    }
    work(r);
  });
}

bool guarded(Interpreter& in, const std::function<void()>& work) {
  int args_before = in.idents.arg_count();
  try {
    work();
    return true;
  } catch (const GBddAbort& abort) {
    in.end_command(abort.reason, args_before);
    return false;
  }
}

// The terms are counted only up to the first one too many, so that the check
// stays cheap.
bool may_print(Interpreter& in, const GBdd& f, const std::function<long(long)>& count_terms) {
  if (!in.interactive || f == GBdd::NULL_()) return true;
  int nodes = size(f);
  if (nodes > HUGE_BDD_NODES) {
    char question[64];
    snprintf(question, sizeof question, "huge bdd (%d nodes) print it anyway ? ", nodes);
    return user_wants_huge(in, question);
  }
  if (count_terms && count_terms(HUGE_OUTPUT_TERMS + 1) > HUGE_OUTPUT_TERMS)
    return user_wants_huge(in, "huge output (more than 10000 terms) print it anyway ? ");
  return true;
}

void assign(Interpreter& in, int symbol, ExpPtr tree) {
  IdentTable& idents = in.idents;
  IdentInfo* info = idents.record(symbol);
  if (!info) {
    idents.swap_record(symbol, std::make_unique<VarInfo>(symbol, GBdd::NULL_()));
  } else if (!info->as_var()) {
    msg_calc_error("can't assign \"%s\", not a variable\n", idents.text_of(symbol));
    return;
  }
  GBdd result;
  if (!guarded(in, [&] { result = eval_tree(in, tree); })) {
    if (!info) idents.swap_record(symbol, nullptr); // the variable stays undefined
    return;
  }
  if (IdentInfo* now = idents.record(symbol); now && now->as_var()) now->as_var()->value = result;
  if (in.echo_off) return;
  printf("%s := ", idents.text_of(symbol));
  guarded(in, [&] { show_result(in, result, in.print_method); });
}

void add_function(Interpreter& in, int symbol, ExpNode* formal_list, ExpPtr body) {
  IdentTable& idents = in.idents;
  IdentInfo* info = idents.record(symbol);
  if (info && !info->as_usr_func()) {
    msg_calc_error("can't add function \"%s\", ident already used\n", idents.text_of(symbol));
    delete_list(formal_list);
    return;
  }
  std::vector<int> formals;
  for (ExpNode* p = formal_list; p; p = p->sibling)
    formals.push_back(p->symbol);
  delete_list(formal_list);
  // Binding one name twice could not be undone cleanly at call time.
  for (size_t i = 0; i < formals.size(); i++) {
    for (size_t j = 0; j < i; j++) {
      if (formals[i] == formals[j]) {
        msg_calc_error("can't add function \"%s\", formal argument \"%s\" appears twice\n",
                       idents.text_of(symbol), idents.text_of(formals[i]));
        return;
      }
    }
  }
  int arity = (int)formals.size();
  std::unique_ptr<int[]> copy(new int[arity]);
  for (int i = 0; i < arity; i++)
    copy[i] = formals[i];
  idents.swap_record(symbol, nullptr);
  idents.swap_record(
      symbol, std::make_unique<UsrFuncInfo>(symbol, arity, std::move(copy), std::move(body)));
  printf("--new function: %s, arity: %d\n", idents.text_of(symbol), arity);
}

void del(Interpreter& in, int symbol) {
  IdentTable& idents = in.idents;
  IdentInfo* info = idents.record(symbol);
  if (!info) {
    msg_calc_error("\"%s\" is undefined\n", idents.text_of(symbol));
  } else if (info->as_arg()) {
    msg_calc_error("can't delete formal argument \"%s\"\n", idents.text_of(symbol));
  } else if (info->as_const()) {
    msg_calc_error("can't delete constant \"%s\"\n", idents.text_of(symbol));
  } else if (info->as_predef_func()) {
    msg_calc_error("can't delete predef function \"%s\"\n", idents.text_of(symbol));
  } else {
    idents.swap_record(symbol, nullptr);
  }
}

void eval_and_print(Interpreter& in, ExpPtr tree) {
  with_value(in, tree, [&](const GBdd& r) { show_result(in, r, in.print_method); });
}

void print_with_method(Interpreter& in, ExpPtr tree, PrintMethod method) {
  guarded(in, [&] {
    GBdd r = eval_tree(in, tree);
    show_result(in, r, method);
  });
}

void print_ident(Interpreter& in, int symbol) {
  IdentInfo* info = in.idents.record(symbol);
  const char* name = in.idents.text_of(symbol);
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
    GBdd value = var->value; // the question may read input; keep the value rooted
    guarded(in, [&] { show_result(in, value, in.print_method); });
  }
}

void size_command(Interpreter& in, ExpPtr tree, SizeMeasure measure) {
  with_value(in, tree, [&](const GBdd& r) {
    switch (measure) {
    case SIZE_NODES: printf("(%d bdd nodes)\n", size(r)); break;
    case SIZE_TREE: printf("(%s Shannon tree nodes)\n", tree_size(r).to_string().c_str()); break;
    case SIZE_UNSIGNED: printf("(%d Shannon DAG nodes)\n", unsigned_size(r)); break;
    }
  });
}
