// :circuit and :cnf: files of other tools read into the session. A file is
// read and checked whole, and every name it brings is checked against the
// session, before anything is declared or assigned, so a bad file defines
// nothing. The functions are built on the variables the new names will have;
// the names are declared only once the build is done, so a build ended early
// (GBddAbort) defines nothing either.

#include "eval/circuit_build.h"
#include "eval/dimacs.h"
#include "eval/netlist.h"
#include "interp/analysis_commands.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "names/messages.h"
#include "names/symbol_table.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

bool is_identifier_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool is_identifier_char(char c) {
  return is_identifier_start(c) || (c >= '0' && c <= '9') || c == '\'';
}

// A net's name as the calculator's identifier: as written when the lexer reads
// it back as one identifier naming no constant or predefined function;
// otherwise "n_" and the name with each other character made "_".
std::string identifier_for(Interpreter& in, const std::string& net) {
  bool plain = !net.empty() && is_identifier_start(net[0]) && !is_keyword(net.c_str());
  for (char c : net)
    plain = plain && is_identifier_char(c);
  if (plain) {
    IdentInfo* info = in.idents.record(in.symbols.intern("%s", net.c_str()));
    if (!info || !(info->as_const() || info->as_predef_func())) return net;
  }
  std::string r = "n_";
  for (char c : net)
    r.push_back(is_identifier_char(c) ? c : '_');
  return r;
}

void report(const char* file, int line, const std::string& message) {
  msg_calc_error("\"%s\", line %d: %s\n", file, line, message.c_str());
}

bool ends_with(const std::string& s, const char* tail) {
  std::string t = tail;
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// BLIF by its extension or, failing that, by a first directive; else .bench.
bool looks_like_blif(const std::string& name, std::ifstream& text) {
  if (ends_with(name, ".blif")) return true;
  if (ends_with(name, ".bench")) return false;
  std::string line;
  bool blif = false;
  while (std::getline(text, line)) {
    std::size_t k = line.find_first_not_of(" \t\r");
    if (k == std::string::npos || line[k] == '#') continue;
    blif = line[k] == '.';
    break;
  }
  text.clear();
  text.seekg(0);
  return blif;
}

struct Port {
  std::string identifier;
  int symbol;
  int net;
  int line;
  bool input;
};

// Names every input and output; false after reporting the first clash with
// another port or with the session.
bool name_ports(Interpreter& in, const char* file, const Netlist& n, std::vector<Port>& ports) {
  std::unordered_map<std::string, std::size_t> taken; // identifier -> port
  auto add = [&](const NetlistPort& p, bool input) {
    const std::string& net = n.net_names[p.net];
    std::string id = identifier_for(in, net);
    auto [entry, fresh] = taken.try_emplace(id, ports.size());
    if (!fresh) {
      const Port& other = ports[entry->second];
      if (other.net == p.net && other.input == input) return true; // listed twice
      const std::string& other_net = n.net_names[other.net];
      report(file, p.line,
             other.net == p.net
                 ? "net \"" + net + "\" is both an input and an output"
                 : "nets \"" + other_net + "\" and \"" + net + "\" are both \"" + id + "\"");
      return false;
    }
    int symbol = in.symbols.intern("%s", id.c_str());
    IdentInfo* info = in.idents.record(symbol);
    bool fits = !info || (input ? info->as_arg() != nullptr : info->as_var() != nullptr);
    if (!fits) {
      report(file, p.line,
             info->as_arg() ? "\"" + id + "\" is an argument, it can't hold an output"
                            : "\"" + id + "\" is already used as a function");
      return false;
    }
    ports.push_back({id, symbol, p.net, p.line, input});
    return true;
  };
  for (const NetlistPort& p : n.inputs)
    if (!add(p, true)) return false;
  for (const NetlistPort& p : n.outputs)
    if (!add(p, false)) return false;
  return true;
}

// The arguments a file's variables stand for: a name already an argument is
// that argument; the others are the next arguments to be declared, in order,
// but are not declared yet. May collect.
class PendingArgs {
public:
  explicit PendingArgs(IdentTable& idents_) : idents(idents_) {}

  GBdd argument(int symbol) {
    IdentInfo* info = idents.record(symbol);
    if (info && info->as_arg()) return info->as_arg()->var;
    GBdd var = GBdd::variable(idents.arg_count() + (int)fresh.size());
    fresh.push_back({symbol, var});
    return var;
  }

  // Declares the new arguments, in the order they were asked for, so each gets
  // the variable it was built on. Those nodes are held here, so declaring finds
  // them and makes none: nothing can end the declaring halfway.
  void declare() {
    for (const Fresh& f : fresh)
      idents.declare_arg(f.symbol);
  }

private:
  struct Fresh {
    int symbol;
    GBdd var;
  };
  IdentTable& idents;
  std::vector<Fresh> fresh;
};

// The netlist of the file, read into the session. May collect.
void read_circuit(Interpreter& in, int file_symbol) {
  const char* file = in.idents.text_of(file_symbol);
  std::ifstream text(file);
  if (!text) {
    msg_calc_error("can't open \"%s\"\n", file);
    return;
  }
  Netlist netlist;
  ReadError error;
  bool blif = looks_like_blif(file, text);
  if (!(blif ? read_blif(text, netlist, error) : read_bench(text, netlist, error))) {
    report(file, error.line, error.message);
    return;
  }
  std::vector<Port> ports;
  if (!name_ports(in, file, netlist, ports)) return;

  PendingArgs args(in.idents);
  std::vector<GBdd> inputs;
  for (const Port& p : ports)
    if (p.input) inputs.push_back(args.argument(p.symbol));
  std::vector<GBdd> outputs = build_netlist(netlist, inputs);
  args.declare();
  std::size_t k = 0;
  int output_count = 0;
  for (const NetlistPort& p : netlist.outputs) {
    const GBdd& value = outputs[k++];
    for (const Port& port : ports) {
      if (port.input || port.net != p.net) continue;
      in.idents.swap_record(port.symbol, std::make_unique<VarInfo>(port.symbol, value));
      output_count++;
    }
  }
  printf("read \"%s\": %zu inputs, %d outputs\n", file, netlist.inputs.size(), output_count);
}

// The DIMACS file's formula, read into name. May collect.
void read_cnf(Interpreter& in, int name_symbol, int file_symbol) {
  const char* file = in.idents.text_of(file_symbol);
  const char* name = in.idents.text_of(name_symbol);
  std::ifstream text(file);
  if (!text) {
    msg_calc_error("can't open \"%s\"\n", file);
    return;
  }
  CnfFormula formula;
  ReadError error;
  if (!read_dimacs(text, formula, error)) {
    report(file, error.line, error.message);
    return;
  }
  IdentInfo* target = in.idents.record(name_symbol);
  if (target && !target->as_var()) {
    msg_calc_error("can't assign \"%s\", not a variable\n", name);
    return;
  }
  std::vector<int> var_symbols;
  for (int k = 1; k <= formula.var_count; k++) {
    int symbol = in.symbols.intern("x%d", k);
    IdentInfo* info = in.idents.record(symbol);
    if (symbol == name_symbol) {
      msg_calc_error("can't assign \"%s\", a variable of \"%s\"\n", name, file);
      return;
    }
    if (info && !info->as_arg()) {
      msg_calc_error("can't read \"%s\", \"x%d\" is already used as a function\n", file, k);
      return;
    }
    var_symbols.push_back(symbol);
  }
  PendingArgs args(in.idents);
  std::vector<GBdd> vars;
  for (int symbol : var_symbols)
    vars.push_back(args.argument(symbol));
  GBdd value = build_cnf(formula, vars);
  args.declare();
  in.idents.swap_record(name_symbol, std::make_unique<VarInfo>(name_symbol, value));
  printf("read \"%s\": %d variables, %zu clauses into %s\n", file, formula.var_count,
         formula.clauses.size(), name);
}

} // namespace

void circuit_command(Interpreter& in, int file_symbol) {
  guarded(in, [&] { read_circuit(in, file_symbol); });
}

void cnf_command(Interpreter& in, int name_symbol, int file_symbol) {
  guarded(in, [&] { read_cnf(in, name_symbol, file_symbol); });
}
