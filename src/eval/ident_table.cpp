#include "eval/ident_table.h"

#include "names/messages.h"
#include "names/symbol_table.h"

IdentTable::IdentTable(const SymbolTable& symbols_) : symbols(symbols_) {}

IdentInfo* IdentTable::record(int symbol) const {
  if (symbol <= 0 || symbol >= (int)records.size()) return nullptr;
  return records[symbol].get();
}

std::unique_ptr<IdentInfo> IdentTable::swap_record(int symbol, std::unique_ptr<IdentInfo> info) {
  if (symbol >= (int)records.size()) records.resize(symbol + 1);
  std::swap(records[symbol], info);
  return info;
}

void IdentTable::set_const(int symbol, const GBdd& value) {
  if (record(symbol)) msg_fatal("set_const:: %s already defined", text_of(symbol));
  swap_record(symbol, std::make_unique<ConstInfo>(symbol, value));
}

GBdd IdentTable::declare_arg(int symbol) {
  GBdd var = GBdd::variable(arg_count());
  arg_texts.push_back(text_of(symbol));
  arg_symbols.push_back(symbol);
  swap_record(symbol, std::make_unique<ArgInfo>(symbol, var));
  return var;
}

void IdentTable::forget_args_from(int count) {
  while (arg_count() > count) {
    swap_record(arg_symbols.back(), nullptr);
    arg_symbols.pop_back();
    arg_texts.pop_back();
  }
}

const char* IdentTable::text_of(int symbol) const {
  return symbols.text_of(symbol);
}
