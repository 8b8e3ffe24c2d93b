// Rendering a purely boolean function as a sum of products.

#include "gbdd/gbdd.h"
#include "gbdd/gbdd_internal.h"

#include <climits>
#include <string>

namespace {

// The eight rendering strings; set_sop_strings stores the pointers, not copies.
const char* true_text = "true";
const char* false_text = "false";
const char* neg_prefix = "!";
const char* lit_sep = ".";
const char* term_sep = " +\n";
const char* pos_prefix = "";
const char* term_prefix = "";
const char* term_suffix = "";

bool first_term;
const char* const* names_table;
int names_count; // entries of names_table; INT_MAX when the caller gave no count

void append_name(std::string& buf, VarNameFn name, int i) {
  const char* text = name(i);
  buf += text != nullptr ? text : default_var_name(i);
}

// Splits f at its top variable x_i: r is the part of f that does not depend on
// x_i, and h and l are the two cofactors, free wherever r already covers f; r
// becomes false when that freedom changes neither cofactor, since its terms
// would then only repeat theirs. Kept out of the recursive frame. May collect.
void decompose(const GBdd& f, GBdd& h, GBdd& l, GBdd& r) {
  h = f.high();
  l = f.low();
  r.edge = negate(rec_and(h.edge, l.edge)); // not r, the care set of the cofactors
  Edge high = h.edge;                       // compared only, never read through
  Edge low = l.edge;
  h = restrict(h, r);
  l = restrict(l, r);
  r.edge = negate(r.edge);
  if (h.edge == high && l.edge == low) r = GBdd::FALSE_();
}

// Writes the terms of f, each prefixed by the literals in buf. The buffer grows
// as needed and is cut back after each branch. May collect.
void rec_print_sop(const GBdd& f, FILE* out, VarNameFn name, std::string& buf) {
  if (f.edge == TRUE_EDGE) {
    if (!first_term) std::fputs(term_sep, out);
    first_term = false;
    std::fprintf(out, "%s%s%s", term_prefix, buf.c_str(), term_suffix);
    return;
  }
  if (f.edge == FALSE_EDGE) return;
  int i = top_index(f.edge);
  std::size_t n = buf.size();
  GBdd parts[3]; // one array, not three variables: a smaller frame in checked builds
  GBdd& h = parts[0];
  GBdd& l = parts[1];
  GBdd& r = parts[2];
  decompose(f, h, l, r);

  buf += pos_prefix;
  append_name(buf, name, i);
  if (!h.is_leaf()) buf += lit_sep;
  rec_print_sop(h, out, name, buf);
  buf.resize(n);

  buf += neg_prefix;
  append_name(buf, name, i);
  if (!l.is_leaf()) buf += lit_sep;
  rec_print_sop(l, out, name, buf);
  buf.resize(n);

  rec_print_sop(r, out, name, buf);
}

} // namespace

const char* default_var_name(int i) {
  static char buffer[32];
  std::snprintf(buffer, sizeof buffer, "X%d", i);
  return buffer;
}

// An index outside the table, or an empty entry, is named by default_var_name.
const char* table_var_name(int i) {
  if (names_table == nullptr || i < 0 || i >= names_count || names_table[i] == nullptr)
    return default_var_name(i);
  return names_table[i];
}

void set_sop_strings(const char* true_text_, const char* false_text_, const char* neg_prefix_,
                     const char* lit_sep_, const char* term_sep_, const char* pos_prefix_,
                     const char* term_prefix_, const char* term_suffix_) {
  true_text = true_text_;
  false_text = false_text_;
  neg_prefix = neg_prefix_;
  lit_sep = lit_sep_;
  term_sep = term_sep_;
  pos_prefix = pos_prefix_;
  term_prefix = term_prefix_;
  term_suffix = term_suffix_;
}

void print_sop(const GBdd& f, FILE* out, VarNameFn name) {
  if (f.edge == 0) {
    std::fputs("null", out);
  } else if (f.edge == TRUE_EDGE) {
    std::fputs(true_text, out);
  } else if (f.edge == FALSE_EDGE) {
    std::fputs(false_text, out);
  } else if (!f.is_boolean()) {
    internal_error("GBdd and:: operands must be purely boolean gbdds");
  } else {
    std::string term_buffer;
    first_term = true;
    rec_print_sop(f, out, name, term_buffer);
  }
  std::fflush(stdout);
}

void print_sop(const GBdd& f, FILE* out, const char* const* names) {
  print_sop(f, out, names, INT_MAX);
}

void print_sop(const GBdd& f, FILE* out, const char* const* names, int count) {
  names_table = names;
  names_count = count;
  print_sop(f, out, table_var_name);
}

void print_sop(const GBdd& f) {
  print_sop(f, stdout, default_var_name);
}

void print_sop_line(const GBdd& f, FILE* out, VarNameFn name) {
  print_sop(f, out, name);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void print_sop_line(const GBdd& f, FILE* out, const char* const* names) {
  print_sop_line(f, out, names, INT_MAX);
}

void print_sop_line(const GBdd& f, FILE* out, const char* const* names, int count) {
  names_table = names;
  names_count = count;
  print_sop_line(f, out, table_var_name);
}

void print_sop_line(const GBdd& f) {
  print_sop_line(f, stdout, default_var_name);
}
