#pragma once
// The benchmark workloads, written once over a package adaptor so that the GBdd and the
// BuDDy programs build exactly the same functions in exactly the same order.
//
// An adaptor `P` offers:
//   using Fn = ...;                       a handle that keeps its function alive
//   static void declare(int nvars);       variables 0 .. nvars-1 exist from now on
//   static Fn variable(int i), one(), zero();
//   static Fn and2(a, b), or2(a, b), xor2(a, b), not1(a), ite(c, f, g);
//   static std::vector<long> counts(const Fn& f);   node counts of one output
//   static void report_queens(const Fn& q, int n);  extra lines about the N-queens result

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <time.h>
#include <vector>

namespace bench {

// CPU time of the whole process, in seconds.
inline double cpu_seconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// The list operators of the calculator, computed the way its evaluator computes them:
// each level builds its own nor_list, so a list of n operands costs about n*n ite calls.

// None of o[i..last] is true.
template <class P> typename P::Fn nor_list(const std::vector<typename P::Fn>& o, size_t i) {
  if (i + 1 == o.size()) return P::not1(o[i]);
  typename P::Fn rest = nor_list<P>(o, i + 1);
  return P::ite(o[i], P::zero(), rest);
}

// Exactly one of o[i..last] is true.
template <class P> typename P::Fn exactly_one(const std::vector<typename P::Fn>& o, size_t i) {
  if (i + 1 == o.size()) return o[i];
  typename P::Fn none = nor_list<P>(o, i + 1);
  typename P::Fn rest = exactly_one<P>(o, i + 1);
  return P::ite(o[i], none, rest);
}

// At most one of o[i..last] is true.
template <class P> typename P::Fn at_most_one(const std::vector<typename P::Fn>& o, size_t i) {
  if (i + 1 == o.size()) return P::one();
  typename P::Fn none = nor_list<P>(o, i + 1);
  typename P::Fn rest = at_most_one<P>(o, i + 1);
  return P::ite(o[i], none, rest);
}

// The lines of the N-queens board, each a list of squares, in the order in
// which their constraints are conjoined. ORDER: the same as in queens.py, which writes the
// calculator's command file: rows; columns; diagonals r-c = N-2 down to 2-N; anti-diagonals
// r+c = 1 up to 2N-3; cells of a line by increasing row.
struct QueensLine {
  bool exactly;           // a row: exactly one queen; otherwise at most one
  std::vector<int> cells; // variable indices r*N+c
};

inline std::vector<QueensLine> queens_lines(int n) {
  std::vector<QueensLine> lines;
  for (int r = 0; r < n; r++) {
    QueensLine l{true, {}};
    for (int c = 0; c < n; c++)
      l.cells.push_back(r * n + c);
    lines.push_back(l);
  }
  for (int c = 0; c < n; c++) {
    QueensLine l{false, {}};
    for (int r = 0; r < n; r++)
      l.cells.push_back(r * n + c);
    lines.push_back(l);
  }
  for (int d = n - 2; d >= 2 - n; d--) { // r - c = d
    QueensLine l{false, {}};
    for (int r = 0; r < n; r++)
      if (r - d >= 0 && r - d < n) l.cells.push_back(r * n + (r - d));
    lines.push_back(l);
  }
  for (int s = 1; s <= 2 * n - 3; s++) { // r + c = s
    QueensLine l{false, {}};
    for (int r = 0; r < n; r++)
      if (s - r >= 0 && s - r < n) l.cells.push_back(r * n + (s - r));
    lines.push_back(l);
  }
  return lines;
}

// Writes "out queens <counts...>" and "cpu <seconds>" for the N-queens function.
template <class P> void run_queens(int n) {
  P::declare(n * n);
  std::vector<QueensLine> lines = queens_lines(n);
  double start = cpu_seconds();
  std::vector<typename P::Fn> x;
  for (int i = 0; i < n * n; i++)
    x.push_back(P::variable(i));
  typename P::Fn q = P::one();
  for (const QueensLine& l : lines) {
    std::vector<typename P::Fn> ops;
    for (int i : l.cells)
      ops.push_back(x[i]);
    typename P::Fn c = l.exactly ? exactly_one<P>(ops, 0) : at_most_one<P>(ops, 0);
    q = P::and2(q, c);
  }
  std::vector<long> counts = P::counts(q);
  double cpu = cpu_seconds() - start;
  std::printf("out queens");
  for (long c : counts)
    std::printf(" %ld", c);
  std::printf("\ncpu %.6f\n", cpu);
  P::report_queens(q, n);
}

// One line of a gate list (see gate_list.py for the format).
struct GateLine {
  char kind; // 'i' input, 'g' gate, 'o' output, 'd' dead net
  std::string name;
  std::string op;                // gates only
  std::vector<std::string> args; // gates only; a leading '!' negates the operand
};

inline bool read_gate_list(const char* path, std::vector<GateLine>& lines) {
  std::ifstream in(path);
  if (!in) return false;
  std::string text;
  while (std::getline(in, text)) {
    if (text.empty() || text[0] == '#') continue;
    std::istringstream words(text);
    std::string kind;
    GateLine l;
    words >> kind >> l.name;
    if (kind.size() != 1 || l.name.empty()) {
      std::fprintf(stderr, "%s: bad line: %s\n", path, text.c_str());
      return false;
    }
    l.kind = kind[0];
    if (l.kind == 'g') {
      words >> l.op;
      for (std::string a; words >> a;)
        l.args.push_back(a);
    }
    lines.push_back(l);
  }
  return true;
}

// The function of one gate over its operands (negations already applied); `ok` turns false
// for an unknown operator or a wrong operand count. n-ary operators fold the way the
// calculator groups them: and/or to the left, xor to the right (a <> (b <> c)).
template <class P>
typename P::Fn build_gate(const std::string& op, const std::vector<typename P::Fn>& a, bool& ok) {
  using Fn = typename P::Fn;
  ok = true;
  if (op == "const0" && a.empty()) return P::zero();
  if (op == "const1" && a.empty()) return P::one();
  if (a.empty() || ((op == "buf" || op == "not") && a.size() != 1)) {
    ok = false;
    return P::zero();
  }
  if (op == "ite") {
    if (a.size() != 3) {
      ok = false;
      return P::zero();
    }
    return P::ite(a[0], a[1], a[2]);
  }
  if (op == "buf") return a[0];
  if (op == "not") return P::not1(a[0]);
  if (op == "and" || op == "nand" || op == "or" || op == "nor") {
    bool is_and = op == "and" || op == "nand";
    Fn r = a[0];
    for (size_t i = 1; i < a.size(); i++)
      r = is_and ? P::and2(r, a[i]) : P::or2(r, a[i]);
    return op[0] == 'n' ? P::not1(r) : r;
  }
  if (op == "xor" || op == "xnor") {
    Fn r = a.back();
    for (size_t i = a.size() - 1; i-- > 0;)
      r = P::xor2(a[i], r);
    return op == "xnor" ? P::not1(r) : r;
  }
  ok = false;
  return P::zero();
}

// Builds the nets of a gate list in file order and writes "out <net> <counts...>" for
// each output line, then "cpu <seconds>". Returns false on a malformed list.
template <class P> bool run_gate_list(const char* path) {
  using Fn = typename P::Fn;
  std::vector<GateLine> lines;
  if (!read_gate_list(path, lines)) return false;
  int inputs = 0;
  for (const GateLine& l : lines)
    inputs += l.kind == 'i';
  P::declare(inputs);

  std::string report;
  double start = cpu_seconds();
  std::map<std::string, Fn> nets;
  int next_var = 0;
  for (const GateLine& l : lines) {
    switch (l.kind) {
    case 'i': nets[l.name] = P::variable(next_var++); break;
    case 'd': nets.erase(l.name); break;
    case 'o': {
      auto it = nets.find(l.name);
      if (it == nets.end()) {
        std::fprintf(stderr, "%s: output %s is not a live net\n", path, l.name.c_str());
        return false;
      }
      report += "out ";
      report += l.name;
      for (long c : P::counts(it->second)) {
        report += ' ';
        report += std::to_string(c);
      }
      report += '\n';
      break;
    }
    case 'g': {
      std::vector<Fn> ops;
      for (const std::string& a : l.args) {
        bool neg = a[0] == '!';
        auto it = nets.find(neg ? a.substr(1) : a);
        if (it == nets.end()) {
          std::fprintf(stderr, "%s: gate %s reads %s, which is not a live net\n", path,
                       l.name.c_str(), a.c_str());
          return false;
        }
        ops.push_back(neg ? P::not1(it->second) : it->second);
      }
      bool ok;
      Fn r = build_gate<P>(l.op, ops, ok);
      if (!ok) {
        std::fprintf(stderr, "%s: gate %s: bad operator %s or operand count\n", path,
                     l.name.c_str(), l.op.c_str());
        return false;
      }
      nets[l.name] = r;
      break;
    }
    default: std::fprintf(stderr, "%s: unknown line kind %c\n", path, l.kind); return false;
    }
  }
  double cpu = cpu_seconds() - start;
  std::fputs(report.c_str(), stdout);
  std::printf("cpu %.6f\n", cpu);
  return true;
}

// The command line of both bench programs: "queens N" or "gates FILE".
template <class P> int run_main(int argc, char** argv) {
  std::string what = argc == 3 ? argv[1] : "";
  if (what == "queens" && std::atoi(argv[2]) >= 1) {
    run_queens<P>(std::atoi(argv[2]));
    return 0;
  }
  if (what == "gates") return run_gate_list<P>(argv[2]) ? 0 : 1;
  std::fprintf(stderr, "usage: %s queens N | %s gates FILE\n", argv[0], argv[0]);
  return 2;
}

} // namespace bench
