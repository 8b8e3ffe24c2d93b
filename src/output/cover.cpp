#include "output/cover.h"

void print_cover(FILE* out, const IsopCover& cover, bool as_clauses, const char* const* names) {
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
