#include "eval/netlist.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <unordered_map>

namespace {

constexpr int NO_DRIVER = -1;
constexpr int PRIMARY_INPUT = -2;

// Collects nets and their drivers while a file is read, then checks and sorts.
class NetlistBuilder {
public:
  explicit NetlistBuilder(Netlist& netlist_) : netlist(netlist_) { netlist = Netlist(); }

  int net(const std::string& name) {
    auto [entry, fresh] = numbers.try_emplace(name, (int)netlist.net_names.size());
    if (fresh) {
      netlist.net_names.push_back(name);
      driver.push_back(NO_DRIVER);
      driver_line.push_back(0);
    }
    return entry->second;
  }

  bool add_input(const std::string& name, int line, ReadError& error) {
    int n = net(name);
    if (!drive(n, PRIMARY_INPUT, line, error)) return false;
    netlist.inputs.push_back({n, line});
    return true;
  }

  void add_output(const std::string& name, int line) {
    netlist.outputs.push_back({net(name), line});
  }

  bool add_gate(NetlistGate gate, ReadError& error) {
    if (!drive(gate.output, (int)netlist.gates.size(), gate.line, error)) return false;
    netlist.gates.push_back(std::move(gate));
    return true;
  }

  // Every net read is driven, and no gate depends on itself; the gates are
  // put in an order where each comes after the gates that drive its inputs.
  bool finish(ReadError& error) {
    if (!check_driven(error)) return false;
    return sort_gates(error);
  }

private:
  bool drive(int n, int by, int line, ReadError& error) {
    if (driver[n] != NO_DRIVER) {
      error = {line, "net \"" + netlist.net_names[n] + "\" is driven twice (first on line " +
                         std::to_string(driver_line[n]) + ")"};
      return false;
    }
    driver[n] = by;
    driver_line[n] = line;
    return true;
  }

  bool check_driven(ReadError& error) {
    ReadError first{0, ""};
    auto check = [&](int n, int line) {
      if (driver[n] != NO_DRIVER || (first.line != 0 && first.line <= line)) return;
      first = {line, "net \"" + netlist.net_names[n] + "\" is read but never driven"};
    };
    for (const NetlistGate& g : netlist.gates)
      for (int n : g.inputs)
        check(n, g.line);
    for (const NetlistPort& p : netlist.outputs)
      check(p.net, p.line);
    if (first.line == 0) return true;
    error = first;
    return false;
  }

  // Kahn's order over the gates; what it cannot place lies on or behind a cycle.
  bool sort_gates(ReadError& error) {
    std::vector<NetlistGate>& gates = netlist.gates;
    std::vector<int> waiting(gates.size(), 0);
    std::vector<std::vector<int>> readers(netlist.net_names.size());
    for (std::size_t k = 0; k < gates.size(); k++) {
      for (int n : gates[k].inputs) {
        if (driver[n] == PRIMARY_INPUT) continue;
        waiting[k]++;
        readers[n].push_back((int)k);
      }
    }
    std::vector<int> order;
    for (std::size_t k = 0; k < gates.size(); k++)
      if (waiting[k] == 0) order.push_back((int)k);
    for (std::size_t done = 0; done < order.size(); done++)
      for (int r : readers[gates[order[done]].output])
        if (--waiting[r] == 0) order.push_back(r);
    if (order.size() < gates.size()) {
      error = cycle_error(waiting);
      return false;
    }
    std::vector<NetlistGate> sorted;
    sorted.reserve(gates.size());
    for (int k : order)
      sorted.push_back(std::move(gates[k]));
    gates = std::move(sorted);
    return true;
  }

  // Every unplaced gate has an unplaced driver; following them from any one
  // must come back to a gate already seen, which lies on a cycle.
  ReadError cycle_error(const std::vector<int>& waiting) {
    const std::vector<NetlistGate>& gates = netlist.gates;
    int k = 0;
    while (waiting[k] == 0)
      k++;
    std::vector<bool> seen(gates.size(), false);
    while (!seen[k]) {
      seen[k] = true;
      for (int n : gates[k].inputs) {
        int d = driver[n];
        if (d >= 0 && waiting[d] > 0) {
          k = d;
          break;
        }
      }
    }
    return {gates[k].line,
            "combinational cycle through net \"" + netlist.net_names[gates[k].output] + "\""};
  }

  Netlist& netlist;
  std::unordered_map<std::string, int> numbers;
  std::vector<int> driver; // by net: a gate number, PRIMARY_INPUT or NO_DRIVER
  std::vector<int> driver_line;
};

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::string upper(std::string s) {
  for (char& c : s)
    c = (char)std::toupper((unsigned char)c);
  return s;
}

// ORDER: same as GateKind up to GATE_BUFF; BUF is another name of BUFF.
const char* const gate_names[] = {"AND", "NAND", "OR", "NOR", "XOR", "XNOR", "NOT", "BUFF", "BUF"};

int gate_kind(const std::string& name) {
  std::string u = upper(name);
  for (int k = 0; k < 9; k++)
    if (u == gate_names[k]) return k == 8 ? GATE_BUFF : k;
  return -1;
}

// The text between the parentheses of "WORD(...)" with nothing after, or false.
bool parenthesised(const std::string& text, std::string& word, std::string& inside) {
  std::size_t open = text.find('(');
  if (open == std::string::npos || text.back() != ')') return false;
  word = trim(text.substr(0, open));
  inside = text.substr(open + 1, text.size() - open - 2);
  return !word.empty() && inside.find_first_of("()") == std::string::npos;
}

bool is_bench_name(const std::string& name) {
  return !name.empty() && name.find_first_of(" \t=,()") == std::string::npos;
}

bool read_bench_line(NetlistBuilder& b, const std::string& text, int line, ReadError& error) {
  auto malformed = [&] {
    error = {line, "malformed line"};
    return false;
  };
  std::size_t eq = text.find('=');
  std::string word, inside;
  if (eq == std::string::npos) {
    if (!parenthesised(text, word, inside)) return malformed();
    std::string name = trim(inside);
    if (!is_bench_name(name)) return malformed();
    std::string u = upper(word);
    if (u == "INPUT") return b.add_input(name, line, error);
    if (u == "OUTPUT") {
      b.add_output(name, line);
      return true;
    }
    return malformed();
  }
  std::string out = trim(text.substr(0, eq));
  if (!is_bench_name(out) || !parenthesised(trim(text.substr(eq + 1)), word, inside))
    return malformed();
  int kind = gate_kind(word);
  if (kind < 0) {
    error = {line, "unknown gate \"" + word + "\""};
    return false;
  }
  NetlistGate gate{line, b.net(out), (GateKind)kind, {}, {}, true};
  std::stringstream args(inside);
  std::string arg;
  while (std::getline(args, arg, ',')) {
    arg = trim(arg);
    if (!is_bench_name(arg)) return malformed();
    gate.inputs.push_back(b.net(arg));
  }
  if (inside.empty() || trim(inside).back() == ',') return malformed();
  bool unary = kind == GATE_NOT || kind == GATE_BUFF;
  if (unary && gate.inputs.size() != 1) {
    error = {line, "gate \"" + word + "\" takes one input"};
    return false;
  }
  return b.add_gate(std::move(gate), error);
}

// ---- BLIF ----------------------------------------------------------------------------

// Splits BLIF text into logical lines: comments cut, "\" at the end of a line
// joining the next, each with the number of its first physical line.
struct LogicalLine {
  int line;
  std::vector<std::string> words;
};

bool next_logical_line(std::istream& text, int& physical, LogicalLine& out) {
  std::string raw;
  out.words.clear();
  bool joined = false;
  while (std::getline(text, raw)) {
    physical++;
    if (!joined) out.line = physical;
    if (std::size_t hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
    raw = trim(raw);
    joined = !raw.empty() && raw.back() == '\\';
    if (joined) raw.pop_back();
    std::stringstream words(raw);
    for (std::string w; words >> w;)
      out.words.push_back(w);
    if (!joined && !out.words.empty()) return true;
  }
  return !out.words.empty();
}

bool is_cover_row(const std::string& s) {
  return s.find_first_not_of("01-") == std::string::npos;
}

class BlifReader {
public:
  BlifReader(NetlistBuilder& b_, ReadError& error_) : b(b_), error(error_) {}

  bool read(std::istream& text) {
    int physical = 0;
    LogicalLine l;
    while (next_logical_line(text, physical, l)) {
      if (ended) return fail(l.line, "text after .end");
      const std::string& head = l.words[0];
      if (head[0] != '.') {
        if (!add_row(l)) return false;
        continue;
      }
      if (!close_cover()) return false;
      if (!directive(l)) return false;
    }
    if (!close_cover()) return false;
    return true;
  }

private:
  bool fail(int line, const std::string& message) {
    error = {line, message};
    return false;
  }

  bool directive(const LogicalLine& l) {
    const std::string& head = l.words[0];
    if (head == ".model") {
      if (seen_model) return fail(l.line, "more than one .model");
      seen_model = true;
      return true;
    }
    if (head == ".inputs") {
      for (std::size_t k = 1; k < l.words.size(); k++)
        if (!b.add_input(l.words[k], l.line, error)) return false;
      return true;
    }
    if (head == ".outputs") {
      for (std::size_t k = 1; k < l.words.size(); k++)
        b.add_output(l.words[k], l.line);
      return true;
    }
    if (head == ".names") {
      if (l.words.size() < 2) return fail(l.line, ".names without an output");
      NetlistGate g{l.line, b.net(l.words.back()), GATE_COVER, {}, {}, true};
      for (std::size_t k = 1; k + 1 < l.words.size(); k++)
        g.inputs.push_back(b.net(l.words[k]));
      cover = std::move(g);
      in_cover = true;
      return true;
    }
    if (head == ".end") {
      ended = true;
      return true;
    }
    if (head == ".latch") return fail(l.line, ".latch refused: only combinational netlists");
    if (head == ".subckt") return fail(l.line, ".subckt refused: only flat netlists");
    return fail(l.line, "unknown directive \"" + head + "\"");
  }

  bool add_row(const LogicalLine& l) {
    if (!in_cover) return fail(l.line, "cover row outside .names");
    std::size_t width = cover.inputs.size();
    std::string pattern = width == 0 ? "" : l.words[0];
    std::string value = l.words.back();
    bool shape = width == 0 ? l.words.size() == 1 : l.words.size() == 2;
    if (!shape || pattern.size() != width || !is_cover_row(pattern) ||
        (value != "0" && value != "1"))
      return fail(l.line, "malformed cover row");
    bool v = value == "1";
    if (!cover.rows.empty() && v != cover.rows_value)
      return fail(l.line, "cover rows give both 0 and 1");
    cover.rows_value = v;
    cover.rows.push_back(pattern);
    return true;
  }

  bool close_cover() {
    if (!in_cover) return true;
    in_cover = false;
    return b.add_gate(std::move(cover), error);
  }

  NetlistBuilder& b;
  ReadError& error;
  NetlistGate cover{};
  bool in_cover = false;
  bool seen_model = false;
  bool ended = false;
};

} // namespace

bool read_bench(std::istream& text, Netlist& netlist, ReadError& error) {
  NetlistBuilder b(netlist);
  std::string raw;
  for (int line = 1; std::getline(text, raw); line++) {
    if (std::size_t hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
    std::string t = trim(raw);
    if (t.empty()) continue;
    if (!read_bench_line(b, t, line, error)) return false;
  }
  return b.finish(error);
}

bool read_blif(std::istream& text, Netlist& netlist, ReadError& error) {
  NetlistBuilder b(netlist);
  BlifReader reader(b, error);
  if (!reader.read(text)) return false;
  return b.finish(error);
}
