#include "eval/evaluator.h"
#include "eval/ident_info.h"
#include "interp/interpreter.h"
#include "names/messages.h"
#include "names/symbol_table.h"
#include "output/printing.h"

#include <cstdio>
#include <vector>

void set_const(Interpreter& in, int symbol, const GBdd& value) {
  if (in.record(symbol)) msg_fatal("set_const:: %s already defined", symbols->text_of(symbol));
  in.swap_record(symbol, std::make_unique<ConstInfo>(symbol, value));
}

GBdd declare_arg(Interpreter& in, int symbol) {
  if (in.arg_count >= (int)in.arg_names.size()) in.arg_names.resize(in.arg_names.size() * 2);
  in.arg_names[in.arg_count] = symbols->text_of(symbol);
  GBdd var = GBdd::variable(in.arg_count);
  in.arg_count++;
  in.swap_record(symbol, std::make_unique<ArgInfo>(symbol, var));
  return var;
}

void assign(Interpreter& in, int symbol, ExpPtr tree) {
  IdentInfo* info = in.record(symbol);
  if (!info) {
    in.swap_record(symbol, std::make_unique<VarInfo>(symbol, GBdd::NULL_()));
  } else if (!info->as_var()) {
    printf("can't assign \"%s\", not a variable\n", symbols->text_of(symbol));
    return;
  }
  GBdd result = evaluate(in, tree.get());
  tree.reset();
  if (IdentInfo* now = in.record(symbol); now && now->as_var()) now->as_var()->value = result;
  if (in.echo_off) return;
  printf("%s := ", symbols->text_of(symbol));
  if (result == GBdd::NULL_())
    printf("null\n");
  else
    print_result(in, result);
}

void add_function(Interpreter& in, int symbol, ExpNode* formal_list, ExpPtr body) {
  IdentInfo* info = in.record(symbol);
  if (info && !info->as_usr_func()) {
    printf("can't add function \"%s\", ident already used\n", symbols->text_of(symbol));
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
        printf("can't add function \"%s\", formal argument \"%s\" appears twice\n",
               symbols->text_of(symbol), symbols->text_of(formals[i]));
        return;
      }
    }
  }
  int arity = (int)formals.size();
  std::unique_ptr<int[]> copy(new int[arity]);
  for (int i = 0; i < arity; i++)
    copy[i] = formals[i];
  in.swap_record(symbol, nullptr);
  in.swap_record(symbol,
                 std::make_unique<UsrFuncInfo>(symbol, arity, std::move(copy), std::move(body)));
  printf("--new function: %s, arity: %d\n", symbols->text_of(symbol), arity);
}

void del(Interpreter& in, int symbol) {
  IdentInfo* info = in.record(symbol);
  if (!info) {
    printf("\"%s\" is undefined\n", symbols->text_of(symbol));
  } else if (info->as_arg()) {
    printf("can't delete formal argument \"%s\"\n", symbols->text_of(symbol));
  } else if (info->as_const()) {
    printf("can't delete constant \"%s\"\n", symbols->text_of(symbol));
  } else if (info->as_predef_func()) {
    printf("can't delete predef function \"%s\"\n", symbols->text_of(symbol));
  } else {
    in.swap_record(symbol, nullptr);
  }
}
