#include "output/printing.h"

#include <climits>
#include <string>

namespace {

// The texts a form is written with; the sum-of-products walk writes every
// form, with the literals of the term under construction in one buffer.
struct FormStrings {
  const char* true_text;
  const char* false_text;
  const char* neg_prefix;
  const char* lit_sep;
  const char* term_sep;
  const char* pos_prefix;
  const char* term_prefix;
  const char* term_suffix;
};

const FormStrings DNF_STRINGS = {"1", "0", "-", ".", " + ", "", "", ""};
// The negation's sum of products, each product written as a clause of negated literals.
const FormStrings CNF_STRINGS = {"0", "1", "", "+", " . ", "-", "(", ")"};
const FormStrings REED_STRINGS = {"1", "0", "", ".", " <> ", "", "", ""};

// Walks the terms of a form, writing them to out, or, when out is null, only
// counting them up to a limit. Only one term is ever held: its literals in
// buf, grown and cut back along the walk. Every term checks for an interrupt,
// so that a long output can be stopped.
class TermWalk {
public:
  TermWalk(FILE* out_, const FormStrings& strings_, const std::vector<const char*>& names_,
           long limit_)
      : out(out_), strings(strings_), names(names_), limit(limit_) {}

  // Writes or counts the whole form of f (not null); the constants are
  // written as their texts alone. False once the count reached the limit.
  bool sop(const GBdd& f) {
    if (f == GBdd::TRUE_()) return constant(strings.true_text);
    if (f == GBdd::FALSE_()) return constant(strings.false_text);
    return rec_sop(f);
  }
  bool reed(const GBdd& f) {
    if (f.is_leaf()) return sop(f);
    return rec_reed(f);
  }

  long count = 0;

private:
  const char* name(int i) const {
    if (i < (int)names.size() && names[i]) return names[i];
    static char fallback[32];
    snprintf(fallback, sizeof fallback, "X%d", i);
    return fallback;
  }

  bool constant(const char* text) {
    if (out) fputs(text, out);
    return ++count < limit;
  }

  bool term() {
    if (interrupt_requested()) throw GBddAbort{GBddAbort::INTERRUPT};
    if (out) {
      if (count > 0) fputs(strings.term_sep, out);
      fprintf(out, "%s%s%s", strings.term_prefix, buf.c_str(), strings.term_suffix);
    }
    return ++count < limit;
  }

  // Splits f at its top variable: the part that does not depend on it goes
  // into r, and the cofactors, restricted to where r does not cover f, into
  // h and l; r is false when that freedom changes neither cofactor, since its
  // terms would only repeat theirs. Terms with the variable come first, then
  // those with its negation, then those without it. May collect.
  bool rec_sop(const GBdd& f) {
    if (f == GBdd::TRUE_()) return term();
    if (f == GBdd::FALSE_()) return true;
    int i = f.top_index();
    size_t n = buf.size();
    GBdd parts[3]; // one array, not three variables: a smaller frame in checked builds
    GBdd& h = parts[0];
    GBdd& l = parts[1];
    GBdd& r = parts[2];
    h = f.high();
    l = f.low();
    r = and_(h, l);
    GBdd care = !r;
    GBdd h_free = restrict(h, care);
    GBdd l_free = restrict(l, care);
    if (h_free == h && l_free == l) r = GBdd::FALSE_();
    h = h_free;
    l = l_free;
    care = GBdd();
    h_free = GBdd();
    l_free = GBdd();

    literal(strings.pos_prefix, i, h);
    if (!rec_sop(h)) return false;
    buf.resize(n);
    literal(strings.neg_prefix, i, l);
    if (!rec_sop(l)) return false;
    buf.resize(n);
    return rec_sop(r);
  }

  void literal(const char* prefix, int i, const GBdd& rest) {
    buf += prefix;
    buf += name(i);
    if (!rest.is_leaf()) buf += strings.lit_sep;
  }

  // The positive Davio expansion of g from its top variable v down: the terms
  // with v (of g1 xor g0) first, then those without it (of g0). The literals
  // collected so far are in buf; the empty product is written "1". May collect.
  bool rec_reed(const GBdd& g) {
    if (g == GBdd::FALSE_()) return true;
    if (g == GBdd::TRUE_()) {
      if (!buf.empty()) return term();
      buf = strings.true_text;
      bool more = term();
      buf.clear();
      return more;
    }
    int v = g.top_index();
    size_t n = buf.size();
    GBdd g0 = g.low();
    GBdd with_v = xor_(g.high(), g0);
    if (n > 0) buf += strings.lit_sep;
    buf += name(v);
    if (!rec_reed(with_v)) return false;
    buf.resize(n);
    with_v = GBdd();
    return rec_reed(g0);
  }

  FILE* out;
  const FormStrings& strings;
  const std::vector<const char*>& names;
  long limit;
  std::string buf;
};

const FormStrings& strings_of(PrintMethod method) {
  switch (method) {
  case PRINT_CNF: return CNF_STRINGS;
  case PRINT_REED: return REED_STRINGS;
  case PRINT_DNF: break;
  }
  return DNF_STRINGS;
}

// Walks f's form in the method; false once the walk reached the limit.
bool walk(TermWalk& w, const GBdd& f, PrintMethod method) {
  switch (method) {
  case PRINT_CNF: return w.sop(!f);
  case PRINT_REED: return w.reed(f);
  case PRINT_DNF: break;
  }
  return w.sop(f);
}

} // namespace

void print_result(FILE* out, const GBdd& f, PrintMethod method,
                  const std::vector<const char*>& names) {
  if (f == GBdd::NULL_()) {
    fprintf(out, "null\n");
    return;
  }
  TermWalk w(out, strings_of(method), names, LONG_MAX);
  try {
    walk(w, f, method);
  } catch (const GBddAbort&) {
    fprintf(out, "\n"); // the cut line ends like a whole one
    fflush(out);
    throw;
  }
  fprintf(out, "\n");
  fflush(out);
}

long count_terms(const GBdd& f, PrintMethod method, long limit) {
  if (f == GBdd::NULL_()) return 1;
  static const std::vector<const char*> no_names;
  TermWalk w(nullptr, strings_of(method), no_names, limit);
  walk(w, f, method);
  return w.count;
}
