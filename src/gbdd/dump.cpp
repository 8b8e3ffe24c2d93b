// Diagnostic dumps: the structure of a diagram as an indented tree, as a
// sideways tree, and as a table of its shared nodes. Variables show as indices.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <string>
#include <vector>

namespace {

void rec_print_tree(Edge e, int depth, FILE* out, LeafPrinter p) {
  auto indent = [&] {
    for (int k = 0; k < depth; k++)
      std::fputs("|   ", out);
  };
  if (is_leaf_edge(e)) {
    indent();
    GBdd leaf(e);
    p(out, leaf.leaf_value());
    return;
  }
  indent();
  std::fprintf(out, "if(%d)\n", top_index(e));
  rec_print_tree(high_of(e), depth + 1, out, p);
  indent();
  std::fputs("else\n", out);
  rec_print_tree(low_of(e), depth + 1, out, p);
  indent();
  std::fputs("fi\n", out);
}

enum Side { TOP, UP, DOWN };

// The high cofactor goes above its parent's line, the low one below; the prefix
// carries the bars that connect a node to its parent across the lines between.
void rec_print_sideways(Edge e, std::string& prefix, Side side, FILE* out, LeafPrinter p) {
  if (is_leaf_edge(e)) {
    std::fputs(prefix.c_str(), out);
    if (side != TOP) std::fputs("|- ", out);
    GBdd leaf(e);
    p(out, leaf.leaf_value());
    return;
  }
  if (side == TOP) {
    rec_print_sideways(high_of(e), prefix, UP, out, p);
    std::fprintf(out, "%s%d\n", prefix.c_str(), top_index(e));
    rec_print_sideways(low_of(e), prefix, DOWN, out, p);
    return;
  }
  std::size_t n = prefix.size();
  prefix += side == UP ? "   " : "|  ";
  rec_print_sideways(high_of(e), prefix, UP, out, p);
  prefix.resize(n);
  std::fprintf(out, "%s|- %d\n", prefix.c_str(), top_index(e));
  prefix += side == UP ? "|  " : "   ";
  rec_print_sideways(low_of(e), prefix, DOWN, out, p);
  prefix.resize(n);
}

unsigned long serial_at(Edge e) {
  return static_cast<unsigned long>(serial_of(id_of(e)));
}

// Prints each node once; the printed nodes are listed so that their marks can be
// cleared again.
void dump_node(NodeId id, std::vector<NodeId>& seen) {
  GBddNode* n = node_at(id);
  while ((n->next & MARK_BIT) == 0) {
    n->next |= MARK_BIT;
    seen.push_back(id);
    std::printf("%3lu = ", static_cast<unsigned long>(serial_of(id)));
    if (n->index == LEAF_INDEX) {
      std::printf("[0x%lx];", static_cast<unsigned long>(leaf_value_of(n)));
      std::printf("\n");
      return;
    }
    std::printf("(%3d)?", n->index);
    if (is_boolean_edge(n->high)) {
      std::printf(is_complemented(n->high) ? " +%3lu :" : " -%3lu :", serial_at(n->high));
      std::printf(is_complemented(n->low) ? " +%3lu ;" : " -%3lu ;", serial_at(n->low));
    } else {
      std::printf(" %4lu :", serial_at(n->high));
      std::printf(" %4lu ;", serial_at(n->low));
    }
    std::printf("\n");
    dump_node(id_of(n->high), seen);
    id = id_of(n->low);
    n = node_at(id);
  }
}

} // namespace

void default_leaf_printer(FILE* out, std::uintptr_t value) {
  if (value == GBdd::TRUE_().leaf_value()) {
    std::fputs("true\n", out);
  } else if (value == GBdd::FALSE_().leaf_value()) {
    std::fputs("false\n", out);
  } else {
    std::fprintf(out, "0x%lx\n", static_cast<unsigned long>(value));
  }
}

void print_tree(const GBdd& f, FILE* out, LeafPrinter p) {
  if (f.edge == 0) {
    std::fputs("NULL\n", out);
    return;
  }
  rec_print_tree(f.edge, 0, out, p);
}

void print_tree(const GBdd& f) {
  print_tree(f, stdout, default_leaf_printer);
}

void print_sideways(const GBdd& f, FILE* out, LeafPrinter p) {
  if (f.edge == 0) {
    std::fputs("NULL\n", out);
    return;
  }
  std::string prefix;
  rec_print_sideways(f.edge, prefix, TOP, out, p);
}

void print_sideways(const GBdd& f) {
  print_sideways(f, stdout, default_leaf_printer);
}

void print_table(const GBdd& f) {
  if (f.edge == 0) {
    std::fputs("NULL\n", stdout);
    return;
  }
  std::vector<NodeId> seen;
  std::printf("\n");
  dump_node(id_of(f.edge), seen);
  for (NodeId id : seen)
    node_at(id)->next &= ~MARK_BIT;
}
