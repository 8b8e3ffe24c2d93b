#include "eval/dimacs.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// A whole word as a decimal integer within long.
bool parse_integer(const std::string& word, long& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(word.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

bool fail(ReadError& error, int line, const std::string& message) {
  error = {line, message};
  return false;
}

bool read_header(const std::string& raw, int line, long& vars, long& clauses, ReadError& error) {
  std::stringstream words(raw);
  std::string p, format, v, c, extra;
  words >> p >> format >> v >> c;
  if (format != "cnf" || !parse_integer(v, vars) || !parse_integer(c, clauses) || vars < 0 ||
      clauses < 0 || vars > 100000000 || (words >> extra))
    return fail(error, line, "bad header, expected \"p cnf VARIABLES CLAUSES\"");
  return true;
}

} // namespace

bool read_dimacs(std::istream& text, CnfFormula& formula, ReadError& error) {
  formula = CnfFormula();
  long vars = 0;
  long expected = 0;
  bool header = false;
  std::vector<int> clause;
  int clause_line = 0; // where the open clause started
  int line = 0;
  std::string raw;
  while (std::getline(text, raw)) {
    line++;
    std::size_t first = raw.find_first_not_of(" \t\r");
    if (first == std::string::npos || raw[first] == 'c') continue;
    if (raw[first] == '%') break;
    if (raw[first] == 'p') {
      if (header) return fail(error, line, "second header");
      if (!read_header(raw.substr(first), line, vars, expected, error)) return false;
      header = true;
      formula.var_count = (int)vars;
      continue;
    }
    if (!header) return fail(error, line, "clause before the header \"p cnf VARIABLES CLAUSES\"");
    std::stringstream words(raw);
    for (std::string word; words >> word;) {
      long literal;
      if (!parse_integer(word, literal)) return fail(error, line, "bad literal \"" + word + "\"");
      if (literal == 0) {
        formula.clauses.push_back(std::move(clause));
        clause.clear();
        continue;
      }
      if (literal > vars || literal < -vars)
        return fail(error, line,
                    "literal " + word + " beyond the " + std::to_string(vars) + " variables");
      if (clause.empty()) clause_line = line;
      clause.push_back((int)literal);
    }
  }
  if (!header) return fail(error, line, "no header \"p cnf VARIABLES CLAUSES\"");
  if (!clause.empty()) return fail(error, clause_line, "clause without its final 0");
  if ((long)formula.clauses.size() != expected)
    return fail(error, line,
                std::to_string(formula.clauses.size()) + " clauses, the header says " +
                    std::to_string(expected));
  return true;
}
