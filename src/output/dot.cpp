#include "output/dot.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Text fit for a quoted DOT string.
std::string quoted(const char* text) {
  std::string r = "\"";
  for (const char* p = text; *p; p++) {
    if (*p == '"' || *p == '\\') r.push_back('\\');
    r.push_back(*p);
  }
  r.push_back('"');
  return r;
}

Edge regular(Edge e) {
  return e & ~COMPLEMENT_BIT;
}

// Numbers the nodes reachable from f (the leaf is 0) and groups them by
// variable. Nothing here creates a node, so edges stay valid while f is held.
class DotWriter {
public:
  DotWriter(FILE* out_, const char* const* names_) : out(out_), names(names_) {}

  void write(const GBdd& f) {
    fprintf(out, "digraph bdd {\n");
    fprintf(out, "  node [shape=circle];\n");
    fprintf(out, "  n0 [shape=box, label=\"1\"];\n");
    number[regular(GBdd::TRUE_().edge)] = 0;
    visit(f);
    write_ranks();
    fprintf(out, "  root [shape=point];\n");
    fprintf(out, "  root -> n%d%s;\n", number[regular(f.edge)], mark(f.edge));
    for (const std::string& line : edges)
      fprintf(out, "%s", line.c_str());
    fprintf(out, "}\n");
  }

private:
  const char* mark(Edge e) const { return (e & COMPLEMENT_BIT) ? " [arrowhead=odot]" : ""; }

  // The children are read from the regular node, so that the marks drawn are
  // the complement bits stored in the diagram.
  void visit(const GBdd& f) {
    if (f.is_leaf()) return;
    Edge node = regular(f.edge);
    if (number.count(node)) return;
    int id = (int)number.size();
    number[node] = id;
    GBdd g = (f.edge & COMPLEMENT_BIT) ? !f : f;
    by_level[g.top_index()].push_back(id);
    fprintf(out, "  n%d [label=%s];\n", id, quoted(names[g.top_index()]).c_str());
    GBdd low = g.low();
    GBdd high = g.high();
    visit(low);
    visit(high);
    edges.push_back(edge_line(id, low.edge, true));
    edges.push_back(edge_line(id, high.edge, false));
  }

  std::string edge_line(int from, Edge to, bool is_low) {
    std::string attrs;
    if (is_low) attrs += "style=dashed";
    if (to & COMPLEMENT_BIT) attrs += std::string(attrs.empty() ? "" : ", ") + "arrowhead=odot";
    std::string line = "  n" + std::to_string(from) + " -> n" + std::to_string(number[regular(to)]);
    if (!attrs.empty()) line += " [" + attrs + "]";
    return line + ";\n";
  }

  // Invisible name nodes chained down the left keep the ranks in variable
  // order even where no edge joins two levels.
  void write_ranks() {
    std::string previous;
    for (const auto& [level, ids] : by_level) {
      std::string name = "v";
      name += std::to_string(level); // "v" + ... draws a false -Wrestrict from g++ 12 at -O2
      fprintf(out, "  %s [shape=plaintext, label=%s];\n", name.c_str(),
              quoted(names[level]).c_str());
      fprintf(out, "  { rank=same; %s;", name.c_str());
      for (int id : ids)
        fprintf(out, " n%d;", id);
      fprintf(out, " }\n");
      if (!previous.empty()) edges.push_back("  " + previous + " -> " + name + " [style=invis];\n");
      previous = name;
    }
    fprintf(out, "  { rank=sink; n0; }\n");
  }

  FILE* out;
  const char* const* names;
  std::unordered_map<Edge, int> number;
  std::map<int, std::vector<int>> by_level;
  std::vector<std::string> edges;
};

} // namespace

void write_dot(FILE* out, const GBdd& f, const char* const* names) {
  DotWriter writer(out, names);
  writer.write(f);
}
