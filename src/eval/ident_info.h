#pragma once
// What a symbol number denotes: a named constant, an argument of the function
// space, a stored variable, a predefined function or a user function. The kind
// of a record is found through the as_ queries; there is no kind tag.

#include "eval/exp_node.h"
#include "gbdd/gbdd.h"

#include <memory>

struct ConstInfo;
struct ArgInfo;
struct VarInfo;
struct PredefFuncInfo;
struct UsrFuncInfo;

struct IdentInfo {
  explicit IdentInfo(int symbol_) : symbol(symbol_) {}
  virtual ~IdentInfo() = default;
  virtual ConstInfo* as_const() { return nullptr; }
  virtual ArgInfo* as_arg() { return nullptr; }
  virtual VarInfo* as_var() { return nullptr; }
  virtual PredefFuncInfo* as_predef_func() { return nullptr; }
  virtual UsrFuncInfo* as_usr_func() { return nullptr; }

  int symbol;
};

struct ConstInfo : IdentInfo {
  ConstInfo(int symbol_, const GBdd& value_) : IdentInfo(symbol_), value(value_) {}
  ConstInfo* as_const() override { return this; }
  GBdd value;
};

struct ArgInfo : IdentInfo {
  ArgInfo(int symbol_, const GBdd& var_) : IdentInfo(symbol_), var(var_) {}
  ArgInfo* as_arg() override { return this; }
  GBdd var; // the positive literal; its index is the argument number
};

struct VarInfo : IdentInfo {
  VarInfo(int symbol_, const GBdd& value_) : IdentInfo(symbol_), value(value_) {}
  VarInfo* as_var() override { return this; }
  GBdd value; // may be the null function
};

using PredefHandler = GBdd (*)(int count, const GBdd* operands);

struct PredefFuncInfo : IdentInfo {
  PredefFuncInfo(int symbol_, int arity_, PredefHandler handler_)
      : IdentInfo(symbol_), arity(arity_), handler(handler_) {}
  PredefFuncInfo* as_predef_func() override { return this; }
  int arity; // -1: any number of operands
  PredefHandler handler;
};

struct UsrFuncInfo : IdentInfo {
  UsrFuncInfo(int symbol_, int arity_, std::unique_ptr<int[]> formals_, ExpPtr body_)
      : IdentInfo(symbol_), arity(arity_), formals(std::move(formals_)), body(std::move(body_)) {}
  UsrFuncInfo* as_usr_func() override { return this; }
  int arity;
  std::unique_ptr<int[]> formals; // symbol numbers, in definition order
  ExpPtr body;
};
