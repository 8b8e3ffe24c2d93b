#include "output/printing.h"

namespace {

void use_dnf_strings() {
  set_sop_strings("1", "0", "-", ".", " + ", "", "", "");
}
void use_cnf_strings() {
  set_sop_strings("0", "1", "", "+", " . ", "-", "(", ")");
}

void print_terms(FILE* out, const GBdd& f, const std::vector<const char*>& names) {
  print_sop(f, out, names.data(), (int)names.size());
}

// The terms of the positive Davio expansion of g, product being the literals
// collected so far: terms with the top variable first, then those without it.
void reed_terms(FILE* out, bool first, const GBdd& product, const GBdd& g,
                const std::vector<const char*>& names) {
  if (g == GBdd::FALSE_()) return;
  if (g == GBdd::TRUE_()) {
    if (!first) fprintf(out, " <> ");
    print_terms(out, product, names);
    return;
  }
  int v = g.top_index();
  GBdd g0 = g.low();
  GBdd g1 = g.high();
  GBdd with_v = and_(GBdd::variable(v), product);
  reed_terms(out, first, with_v, xor_(g1, g0), names);
  reed_terms(out, false, product, g0, names);
}

// Writes the Reed-Muller form of f (not null), without a newline.
void print_reed(FILE* out, const GBdd& f, const std::vector<const char*>& names) {
  if (f.is_leaf()) {
    print_terms(out, f, names);
    return;
  }
  reed_terms(out, true, GBdd::TRUE_(), f, names);
}

} // namespace

void print_result(FILE* out, const GBdd& f, PrintMethod method,
                  const std::vector<const char*>& names) {
  if (f == GBdd::NULL_()) {
    fprintf(out, "null\n");
    return;
  }
  switch (method) {
  case PRINT_DNF:
    use_dnf_strings();
    print_terms(out, f, names);
    break;
  case PRINT_CNF:
    use_cnf_strings();
    print_terms(out, !f, names);
    break;
  case PRINT_REED:
    use_dnf_strings();
    print_reed(out, f, names);
    break;
  }
  fprintf(out, "\n");
}
