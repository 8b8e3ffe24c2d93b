#pragma once
// The functions of a netlist's outputs and of a CNF formula.

#include "eval/dimacs.h"
#include "eval/netlist.h"
#include "gbdd/gbdd.h"

#include <vector>

// The function of each output of the checked netlist, in the order of its
// outputs, given the function of each input in the order of its inputs. An
// internal net is released as soon as its last reader is built. May collect.
std::vector<GBdd> build_netlist(const Netlist& netlist, const std::vector<GBdd>& inputs);

// The conjunction of the clauses, with vars[k - 1] standing for x_k. Clauses are
// conjoined pairwise in a balanced tree, so that each intermediate diagram
// speaks of a run of neighbouring clauses only. May collect.
GBdd build_cnf(const CnfFormula& formula, const std::vector<GBdd>& vars);
