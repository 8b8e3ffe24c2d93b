#pragma once
// The identifier table: what each symbol number denotes, and the names of the
// arguments of the function space in argument order. The interpreter owns it;
// the evaluator borrows it.

#include "eval/ident_info.h"
#include "gbdd/gbdd.h"

#include <memory>
#include <vector>

class SymbolTable;

class IdentTable {
public:
  // The table names its symbols through the symbol store, which outlives it.
  explicit IdentTable(const SymbolTable& symbols);
  IdentTable(const IdentTable&) = delete;
  IdentTable& operator=(const IdentTable&) = delete;

  // The record of a symbol number, or null.
  IdentInfo* record(int symbol) const;
  // Replaces the record of a symbol, returning the old one to the caller; the
  // table grows to any symbol number.
  std::unique_ptr<IdentInfo> swap_record(int symbol, std::unique_ptr<IdentInfo> info);
  // Gives a symbol that has no record a constant value; a second definition is fatal.
  void set_const(int symbol, const GBdd& value);
  // Makes a symbol that has no record the next argument and returns its
  // positive literal. May collect.
  GBdd declare_arg(int symbol);
  // Undeclares the arguments numbered count and above, the newest first: a
  // command that was ended early leaves no argument of its own behind.
  void forget_args_from(int count);

  // The printed name of each argument, by argument number; the texts belong to
  // the symbol store.
  const std::vector<const char*>& arg_names() const { return arg_texts; }
  int arg_count() const { return (int)arg_texts.size(); }
  // One past the highest symbol number that has a slot; every record lies below.
  int slot_count() const { return (int)records.size(); }
  // The text of a symbol number, for messages.
  const char* text_of(int symbol) const;

private:
  const SymbolTable& symbols;
  std::vector<std::unique_ptr<IdentInfo>> records; // by symbol number; slot 0 unused
  std::vector<const char*> arg_texts;
  std::vector<int> arg_symbols; // by argument number
};
