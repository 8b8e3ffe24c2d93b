#include "eval/evaluator.h"

#include "eval/ident_table.h"
#include "names/messages.h"

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Limits that keep a runaway evaluation from exhausting the C stack: nested
// applications of user functions (a function that applies itself never ends),
// and nesting of the tree itself beyond what the parse stack can build.
constexpr int MAX_APPLICATIONS = 1000;
constexpr int MAX_DEPTH = 20000;

bool is_binary(int kind) {
  return kind == EXP_AND || kind == EXP_OR || kind == EXP_IMPLIES || kind == EXP_EQUIV;
}

GBdd apply_binary(int kind, const GBdd& left, const GBdd& right) {
  if (left == GBdd::NULL_() || right == GBdd::NULL_()) return GBdd::NULL_();
  switch (kind) {
  case EXP_AND: return and_(left, right);
  case EXP_OR: return or_(left, right);
  case EXP_IMPLIES: return impl(left, right);
  default: return !xor_(left, right);
  }
}

using SavedRecords = std::vector<std::pair<int, std::unique_ptr<IdentInfo>>>;

// Temporary bindings of names to values, for a "let" or the formals of a
// call: the saved records go back when the scope ends, last binding first,
// also when an interrupt unwinds through it. The scopes of one evaluation nest,
// so they share one stack of saved records: a call costs no allocation of its own.
class Bindings {
public:
  Bindings(IdentTable& idents_, SavedRecords& saved_)
      : idents(idents_), saved(saved_), base(saved_.size()) {}
  Bindings(const Bindings&) = delete;
  Bindings& operator=(const Bindings&) = delete;
  ~Bindings() {
    while (saved.size() > base) {
      idents.swap_record(saved.back().first, std::move(saved.back().second));
      saved.pop_back();
    }
  }
  void bind(int symbol, const GBdd& value) {
    saved.emplace_back(symbol,
                       idents.swap_record(symbol, std::make_unique<VarInfo>(symbol, value)));
  }

private:
  IdentTable& idents;
  SavedRecords& saved;
  size_t base;
};

// One call of evaluate: the borrowed table and the counters of the limits,
// which live no longer than the statement.
class Evaluation {
public:
  explicit Evaluation(IdentTable& idents_) : idents(idents_) {}
  GBdd run(const ExpNode* node);

private:
  GBdd eval_rec(const ExpNode* node);
  GBdd eval_node(const ExpNode* node);
  GBdd eval_ident(int symbol);
  GBdd eval_binary(const ExpNode* node);
  GBdd eval_ite(const ExpNode* node);
  bool eval_operands(const ExpNode* node);
  void drop_operands(size_t base);
  GBdd eval_list_operator(const ExpNode* node);
  GBdd apply_user_function(const ExpNode* node, UsrFuncInfo* f);
  GBdd eval_call(const ExpNode* node);
  GBdd eval_let(const ExpNode* node);
  GBdd eval_quantifier(const ExpNode* node);

  IdentTable& idents;
  // Stacks the nested evaluations share, each using what lies above the size
  // it found: the left spines of binary chains, the operands of calls and n-ary
  // operators, the records that bindings hide.
  std::vector<const ExpNode*> spines;
  std::vector<GBdd> operands;
  SavedRecords saved_records;
  int depth = 0;
  int applications = 0;
  bool aborted = false; // a limit was hit: the statement yields null from here on
};

GBdd Evaluation::run(const ExpNode* node) {
  GBdd r = eval_rec(node);
  return aborted ? GBdd::NULL_() : r;
}

GBdd Evaluation::eval_rec(const ExpNode* node) {
  if (aborted) return GBdd::NULL_();
  if (depth >= MAX_DEPTH) {
    msg_calc_error("expression nested too deeply\n");
    aborted = true;
    return GBdd::NULL_();
  }
  depth++;
  GBdd r = eval_node(node);
  depth--;
  return r;
}

GBdd Evaluation::eval_ident(int symbol) {
  IdentInfo* info = idents.record(symbol);
  if (!info) return idents.declare_arg(symbol);
  if (ArgInfo* arg = info->as_arg()) return arg->var;
  if (VarInfo* var = info->as_var()) return var->value;
  if (ConstInfo* c = info->as_const()) return c->value;
  msg_calc_error("unknown ident \"%s\"\n", idents.text_of(symbol));
  return GBdd::NULL_();
}

// Left operands first, then right ones, all of them evaluated. A long chain
// such as a.a.a... is a deep left spine: it is walked iteratively.
GBdd Evaluation::eval_binary(const ExpNode* node) {
  size_t base = spines.size();
  while (is_binary(node->kind)) {
    spines.push_back(node);
    node = node->children[0];
  }
  GBdd acc = eval_rec(node);
  while (spines.size() > base) {
    const ExpNode* n = spines.back();
    spines.pop_back();
    GBdd right = eval_rec(n->children[1]);
    acc = apply_binary(n->kind, acc, right);
  }
  return acc;
}

GBdd Evaluation::eval_ite(const ExpNode* node) {
  GBdd c = eval_rec(node->children[0]);
  if (c == GBdd::NULL_()) return c;
  if (c == GBdd::TRUE_()) return eval_rec(node->children[1]);
  if (c == GBdd::FALSE_()) return eval_rec(node->children[2]);
  GBdd t = eval_rec(node->children[1]);
  GBdd e = eval_rec(node->children[2]);
  if (t == GBdd::NULL_() || e == GBdd::NULL_()) return GBdd::NULL_();
  return ite(c, t, e);
}

// Evaluates the operands in order onto the operand stack; false when one is
// null (the rest are then not evaluated). The caller drops them.
bool Evaluation::eval_operands(const ExpNode* node) {
  for (int i = 0; i < node->count; i++) {
    GBdd value = eval_rec(node->children[i]);
    if (value == GBdd::NULL_()) return false;
    operands.push_back(std::move(value));
  }
  return true;
}

void Evaluation::drop_operands(size_t base) {
  operands.erase(operands.begin() + base, operands.end());
}

// nor_list, exactly_one and at_most_one over the operands, each suffix result
// computed once, from the last operand back to the first:
//   nor(i)   = ite(o_i, false, nor(i+1)),   nor(last) = not o_last
//   one(i)   = ite(o_i, nor(i+1), one(i+1)), one(last) = o_last
//   most(i)  = ite(o_i, nor(i+1), most(i+1)), most(last) = true
GBdd Evaluation::eval_list_operator(const ExpNode* node) {
  size_t base = operands.size();
  if (!eval_operands(node)) {
    drop_operands(base);
    return GBdd::NULL_();
  }
  const GBdd* o = operands.data() + base;
  size_t last = operands.size() - base - 1;
  GBdd nor = !o[last];
  GBdd r = node->kind == EXP_XOR ? o[last] : node->kind == EXP_NOR ? nor : GBdd::TRUE_();
  for (size_t i = last; i-- > 0;) {
    if (node->kind != EXP_NOR) r = ite(o[i], nor, r);
    nor = ite(o[i], GBdd::FALSE_(), nor);
    if (node->kind == EXP_NOR) r = nor;
  }
  drop_operands(base);
  return r;
}

// Binds each formal to its operand, evaluates the body, and puts the saved
// records back, last binding first.
GBdd Evaluation::apply_user_function(const ExpNode* node, UsrFuncInfo* f) {
  int symbol = node->symbol;
  if (node->count != f->arity) {
    msg_calc_error("%d operands are expected for \"%s\" function\n", f->arity,
                   idents.text_of(symbol));
    return GBdd::NULL_();
  }
  size_t base = operands.size();
  for (int i = 0; i < node->count; i++)
    operands.push_back(eval_rec(node->children[i]));
  if (aborted || applications >= MAX_APPLICATIONS) {
    drop_operands(base);
    if (aborted) return GBdd::NULL_();
    msg_calc_error("\"%s\": more than %d nested function applications\n", idents.text_of(symbol),
                   MAX_APPLICATIONS);
    aborted = true;
    return GBdd::NULL_();
  }
  // A formal may share the function's name: binding it hides the function's
  // record, which the bindings then hold, so f stays valid until they end.
  const ExpNode* body = f->body.get();
  Bindings bindings(idents, saved_records);
  for (int i = 0; i < f->arity; i++)
    bindings.bind(f->formals[i], operands[base + i]);
  drop_operands(base);
  applications++;
  GBdd r = eval_rec(body);
  applications--;
  return r;
}

GBdd Evaluation::eval_call(const ExpNode* node) {
  IdentInfo* info = idents.record(node->symbol);
  if (!info) {
    msg_calc_error("unknown function \"%s\"\n", idents.text_of(node->symbol));
    return GBdd::NULL_();
  }
  if (PredefFuncInfo* p = info->as_predef_func()) {
    if (p->arity >= 0 && p->arity != node->count) {
      msg_calc_error("%d operands are expected for \"%s\" function\n", p->arity,
                     idents.text_of(node->symbol));
      return GBdd::NULL_();
    }
    size_t base = operands.size();
    GBdd r = eval_operands(node) ? p->handler(node->count, operands.data() + base) : GBdd::NULL_();
    drop_operands(base);
    return r;
  }
  if (UsrFuncInfo* f = info->as_usr_func()) return apply_user_function(node, f);
  msg_calc_error("\"%s\" is not a function\n", idents.text_of(node->symbol));
  return GBdd::NULL_();
}

GBdd Evaluation::eval_let(const ExpNode* node) {
  int s = node->symbol;
  GBdd bound = eval_rec(node->children[0]);
  Bindings binding(idents, saved_records);
  binding.bind(s, bound);
  return eval_rec(node->children[1]);
}

GBdd Evaluation::eval_quantifier(const ExpNode* node) {
  GBdd vars = eval_rec(node->children[0]);
  GBdd body = eval_rec(node->children[1]);
  if (vars == GBdd::NULL_() || body == GBdd::NULL_()) return GBdd::NULL_();
  return node->kind == EXP_EXIST ? exist(vars, body) : forall(vars, body);
}

GBdd Evaluation::eval_node(const ExpNode* node) {
  switch (node->kind) {
  case EXP_IDENT: return eval_ident(node->symbol);
  case EXP_NOT: {
    GBdd a = eval_rec(node->children[0]);
    return a == GBdd::NULL_() ? a : !a;
  }
  case EXP_AND:
  case EXP_OR:
  case EXP_IMPLIES:
  case EXP_EQUIV: return eval_binary(node);
  case EXP_ITE: return eval_ite(node);
  case EXP_XOR:
  case EXP_NOR:
  case EXP_AT_MOST_ONE: return eval_list_operator(node);
  case EXP_CALL: return eval_call(node);
  case EXP_LET: return eval_let(node);
  case EXP_EXIST:
  case EXP_FORALL: return eval_quantifier(node);
  }
  return GBdd::NULL_();
}

} // namespace

GBdd evaluate(IdentTable& idents, const ExpNode* node) {
  return Evaluation(idents).run(node);
}
