#include "output/cover.h"

#include "gbdd/gbdd.h"

namespace {

void write_terms(FILE* out, const IsopCover& cover, bool as_clauses, const char* const* names) {
  if (cover.root == IsopCover::PART_EMPTY) {
    fputs(as_clauses ? "1" : "0", out);
    return;
  }
  if (cover.root == IsopCover::PART_ONE) {
    fputs(as_clauses ? "0" : "1", out);
    return;
  }
  bool first = true;
  cover.for_each_term([&](const std::vector<int>& literals) {
    if (interrupt_requested()) throw GBddAbort{GBddAbort::INTERRUPT};
    if (!first) fputs(as_clauses ? " . " : " + ", out);
    first = false;
    if (as_clauses) fputc('(', out);
    for (std::size_t k = 0; k < literals.size(); k++) {
      if (k > 0) fputc(as_clauses ? '+' : '.', out);
      bool negative = literals[k] % 2 == 1;
      if (negative != as_clauses) fputc('-', out);
      fputs(names[literals[k] / 2], out);
    }
    if (as_clauses) fputc(')', out);
  });
}

} // namespace

void print_cover(FILE* out, const IsopCover& cover, bool as_clauses, const char* const* names) {
  try {
    write_terms(out, cover, as_clauses, names);
  } catch (const GBddAbort&) {
    fputc('\n', out); // the cut line ends like a whole one
    fflush(out);
    throw;
  }
  fputc('\n', out);
  fflush(out);
}
