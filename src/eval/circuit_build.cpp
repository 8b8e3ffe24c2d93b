#include "eval/circuit_build.h"

namespace {

GBdd cover_function(const NetlistGate& g, const std::vector<GBdd>& value) {
  GBdd sum = GBdd::FALSE_();
  for (const std::string& row : g.rows) {
    GBdd product = GBdd::TRUE_();
    for (std::size_t k = 0; k < row.size(); k++) {
      if (row[k] == '-') continue;
      const GBdd& in = value[g.inputs[k]];
      product = and_(product, row[k] == '1' ? in : !in);
    }
    sum = or_(sum, product);
  }
  return g.rows_value ? sum : !sum;
}

GBdd gate_function(const NetlistGate& g, const std::vector<GBdd>& value) {
  if (g.kind == GATE_COVER) return cover_function(g, value);
  GBdd r = value[g.inputs[0]];
  for (std::size_t k = 1; k < g.inputs.size(); k++) {
    const GBdd& in = value[g.inputs[k]];
    switch (g.kind) {
    case GATE_AND:
    case GATE_NAND: r = and_(r, in); break;
    case GATE_OR:
    case GATE_NOR: r = or_(r, in); break;
    default: r = xor_(r, in); break;
    }
  }
  bool negated =
      g.kind == GATE_NAND || g.kind == GATE_NOR || g.kind == GATE_XNOR || g.kind == GATE_NOT;
  return negated ? !r : r;
}

GBdd clause_function(const std::vector<int>& clause, const std::vector<GBdd>& vars) {
  GBdd r = GBdd::FALSE_();
  for (int literal : clause) {
    const GBdd& v = vars[(literal > 0 ? literal : -literal) - 1];
    r = or_(r, literal > 0 ? v : !v);
  }
  return r;
}

} // namespace

std::vector<GBdd> build_netlist(const Netlist& netlist, const std::vector<GBdd>& inputs) {
  std::size_t nets = netlist.net_names.size();
  std::vector<GBdd> value(nets);
  std::vector<int> readers(nets, 0);
  std::vector<bool> kept(nets, false);
  for (const NetlistGate& g : netlist.gates)
    for (int n : g.inputs)
      readers[n]++;
  for (const NetlistPort& p : netlist.outputs)
    kept[p.net] = true;
  for (std::size_t k = 0; k < netlist.inputs.size(); k++)
    value[netlist.inputs[k].net] = inputs[k];
  for (const NetlistGate& g : netlist.gates) {
    value[g.output] = gate_function(g, value);
    for (int n : g.inputs)
      if (--readers[n] == 0 && !kept[n]) value[n] = GBdd();
    if (readers[g.output] == 0 && !kept[g.output]) value[g.output] = GBdd(); // read by none
  }
  std::vector<GBdd> outputs;
  outputs.reserve(netlist.outputs.size());
  for (const NetlistPort& p : netlist.outputs)
    outputs.push_back(value[p.net]);
  return outputs;
}

GBdd build_cnf(const CnfFormula& formula, const std::vector<GBdd>& vars) {
  std::vector<GBdd> level;
  level.reserve(formula.clauses.size());
  for (const std::vector<int>& clause : formula.clauses) {
    level.push_back(clause_function(clause, vars));
    if (level.back() == GBdd::FALSE_()) return GBdd::FALSE_();
  }
  if (level.empty()) return GBdd::TRUE_();
  while (level.size() > 1) {
    std::vector<GBdd> next;
    next.reserve((level.size() + 1) / 2);
    for (std::size_t k = 0; k + 1 < level.size(); k += 2) {
      next.push_back(and_(level[k], level[k + 1]));
      if (next.back() == GBdd::FALSE_()) return GBdd::FALSE_();
    }
    if (level.size() % 2 == 1) next.push_back(level.back());
    level = std::move(next);
  }
  return level[0];
}
