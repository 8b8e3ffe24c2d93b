#pragma once
// Writing a diagram in the DOT language of Graphviz.

#include "gbdd/gbdd.h"

#include <cstdio>

// Writes the purely boolean f as one digraph: a graph node per diagram node,
// labelled with its variable's name from names (indexed by variable), and one
// box for the leaf 1. High edges are solid, low edges dashed, and an edge read
// with the complement bit ends in an open circle, the root's included. Nodes of
// one variable share a rank, the ranks in variable order, each named at the left.
// Graph nodes of the diagram are called n0 (the leaf), n1, n2, ...
void write_dot(FILE* out, const GBdd& f, const char* const* names);
