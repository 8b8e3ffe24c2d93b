// A long random session in one process: assignments, function definitions,
// deletions, n-ary operators, quantifiers, printing with echo off and exec of
// small command files, fed to one interpreter in chunks. Prints the peak resident
// size after the first tenth of the commands and after all of them, and the live
// node count before the session and after every name is deleted; fails when the
// peak grew by more than a tenth or the nodes did not return.
//   soak_driver COMMANDS SCRATCH_DIR [SEED]
//
// The session runs, as in the program, on a thread with a stack of 1 GiB. A
// command's stack is bounded by the evaluation's limits (nesting and nested
// applications) but can reach megabytes; the random functions of the session
// recurse into those limits now and then, deeper and deeper as the rarer
// combinations come up. So that the peak measures what the session keeps and
// not when its deepest command happened to come, the session starts with a
// command that nests to the limit along the widest frames (n-ary operators
// inside a recursive function).

#include "gbdd/gbdd.h"
#include "interp/interpreter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <pthread.h>
#include <random>
#include <string>

namespace {

constexpr int ARGS = 10;
constexpr int VARS = 64;
constexpr int FUNCS = 16;
constexpr int CHUNK = 10000; // commands per chunk of input
constexpr int EXEC_FILES = 4;
constexpr std::size_t RUN_STACK_BYTES = std::size_t(1) << 30;
// Operators nested in each application of the first command's function: enough
// that the nesting limit comes before the limit of nested applications.
constexpr int DEEPEST_NESTING = 40;

std::mt19937_64 rng;

int pick(int n) {
  return int(rng() % std::uint64_t(n));
}

// Arities of the user functions, fixed for the run so that calls can match.
int arity_of(int f) {
  return 1 + f % 3;
}

std::string arg() {
  return "a" + std::to_string(pick(ARGS));
}

std::string exp(int depth);

std::string operand(int depth) {
  if (depth <= 0 || pick(3) == 0) {
    int k = pick(10);
    if (k < 6) return arg();
    if (k < 9) return "v" + std::to_string(pick(VARS));
    return pick(2) ? "1" : "0";
  }
  return "(" + exp(depth - 1) + ")";
}

std::string list(int depth, int n) {
  std::string s = exp(depth);
  for (int i = 1; i < n; i++)
    s += ", " + exp(depth);
  return s;
}

std::string exp(int depth) {
  static const char* const binary[] = {" and ", " or ", " xor ", " => ", " = ", " <> "};
  switch (pick(12)) {
  case 0: return "not " + operand(depth);
  case 1: return "if " + operand(depth) + " then " + operand(depth) + " else " + operand(depth);
  case 2: return "exist " + arg() + ", " + arg() + " " + operand(depth);
  case 3: return "forall " + arg() + " " + operand(depth);
  case 4: return "#(" + list(depth - 1, 2 + pick(4)) + ")";
  case 5: return "nor(" + list(depth - 1, 1 + pick(4)) + ")";
  case 6: return "xor(" + list(depth - 1, 1 + pick(4)) + ")";
  case 7: {
    int f = pick(FUNCS);
    return "f" + std::to_string(f) + "(" + list(depth - 1, arity_of(f)) + ")";
  }
  case 8: return "let t := " + operand(depth) + " in t and " + operand(depth);
  case 9: {
    static const char* const predef[] = {"restrict", "constrain", "constrain_td", "cuts"};
    return std::string(predef[pick(4)]) + "(" + operand(depth) + ", " + arg() + " or " + arg() +
           ")";
  }
  default: return operand(depth) + binary[pick(6)] + operand(depth);
  }
}

std::string definition(int f) {
  std::string s = "f" + std::to_string(f) + "(";
  for (int i = 0; i < arity_of(f); i++)
    s += (i ? ", p" : "p") + std::to_string(i);
  s += ") := p0";
  for (int i = 1; i < arity_of(f); i++)
    s += (pick(2) ? " xor p" : " and p") + std::to_string(i);
  return s + " or " + operand(1) + ";\n";
}

std::string command(const std::string& scratch) {
  int k = pick(100);
  if (k < 40) return "v" + std::to_string(pick(VARS)) + " := " + exp(3) + ";\n";
  if (k < 55) return exp(3) + ";\n";
  // A deleted name is defined again at once: a name used while undefined would
  // become an argument for ever.
  if (k < 62) {
    std::string v = "v" + std::to_string(pick(VARS));
    return "del " + v + ";\n" + v + " := " + exp(2) + ";\n";
  }
  if (k < 66) return definition(pick(FUNCS));
  if (k < 68) {
    int f = pick(FUNCS);
    return "del f" + std::to_string(f) + ";\n" + definition(f);
  }
  if (k < 74) return (pick(2) ? "cnf " : "reed ") + exp(1) + ";\n";
  if (k < 80) return (pick(2) ? "size " : "unsigned_size ") + exp(3) + ";\n";
  if (k < 83) return "print v" + std::to_string(pick(VARS)) + "\n";
  if (k < 85) return "exec \"" + scratch + "/soak" + std::to_string(pick(EXEC_FILES)) + ".cmd\"\n";
  if (k < 88) return pick(2) ? "set reed\n" : "set dnf\n";
  return "v" + std::to_string(pick(VARS)) + " := v" + std::to_string(pick(VARS)) + " and " + arg() +
         ";\n";
}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// A chunk of commands in a temporary file, ready to be read. Written a command
// at a time, so that the driver's own memory stays small beside the session's.
File chunk(int count, const std::string& scratch, bool last) {
  File f(tmpfile(), fclose);
  if (!f) std::abort();
  fputs("noecho\n", f.get());
  for (int i = 0; i < count; i++)
    fputs(command(scratch).c_str(), f.get());
  if (last) {
    for (int v = 0; v < VARS; v++)
      fprintf(f.get(), "del v%d;\n", v);
    for (int g = 0; g < FUNCS; g++)
      fprintf(f.get(), "del f%d;\n", g);
  }
  rewind(f.get());
  return f;
}

// A figure of the kernel's status file for this process, in KiB: VmRSS is the
// resident size now, VmHWM its peak.
long status_kib(const char* field) {
  File status(fopen("/proc/self/status", "r"), fclose);
  char line[256];
  std::string format = std::string(field) + ": %ld";
  long kib = 0;
  while (status && fgets(line, sizeof line, status.get()))
    if (std::sscanf(line, format.c_str(), &kib) == 1) break;
  return kib;
}

// Resident KiB of the mapping the kernel names `name` ("[stack]", "[heap]").
long mapping_rss_kib(const char* name) {
  File smaps(fopen("/proc/self/smaps", "r"), fclose);
  char line[512];
  bool inside = false;
  long kib = 0;
  while (smaps && fgets(line, sizeof line, smaps.get())) {
    const char* dash = std::strchr(line, '-');
    if (dash != nullptr && dash < std::strchr(line, ' ')) // a mapping's first line
      inside = std::strstr(line, name) != nullptr;
    long k;
    if (inside && std::sscanf(line, "Rss: %ld", &k) == 1) kib += k;
  }
  return kib;
}

// Resident KiB of the mapping that holds this thread's stack.
long stack_rss_kib() {
  int here = 0;
  auto address = reinterpret_cast<std::uintptr_t>(&here);
  File smaps(fopen("/proc/self/smaps", "r"), fclose);
  char line[512];
  bool inside = false;
  long kib = 0;
  while (smaps && fgets(line, sizeof line, smaps.get())) {
    unsigned long from, to;
    if (std::sscanf(line, "%lx-%lx ", &from, &to) == 2 && std::strchr(line, '-') < std::strchr(line, ' '))
      inside = from <= address && address < to;
    long k;
    if (inside && std::sscanf(line, "Rss: %ld", &k) == 1) kib += k;
  }
  return kib;
}

long peak_rss_kib() {
  return status_kib("VmHWM");
}
long rss_kib() {
  return status_kib("VmRSS");
}

void run_chunk(Interpreter& in, FILE* f) {
  in.input = f;
  in.read_loop(false);
}

// A function that applies itself inside DEEPEST_NESTING nested n-ary
// operators, applied once, then deleted.
std::string deepest_command() {
  std::string body = "w(p)";
  for (int i = 0; i < DEEPEST_NESTING; i++)
    body = (i % 2 ? "xor(p, " : "nor(p, ") + body + ")";
  return "w(p) := " + body + ";\nw(a0);\ndel w;\n";
}

struct Soak {
  long commands;
  std::string scratch;
  int status;
};

int soak(long commands, const std::string& scratch);

void* soak_thread(void* arg) {
  auto* run = static_cast<Soak*>(arg);
  run->status = soak(run->commands, run->scratch);
  return nullptr;
}

int soak(long commands, const std::string& scratch) {
  for (int i = 0; i < EXEC_FILES; i++) {
    File f(fopen((scratch + "/soak" + std::to_string(i) + ".cmd").c_str(), "w"), fclose);
    if (!f) return 2;
    for (int j = 0; j < 5; j++)
      fputs(command("/nonexistent").c_str(), f.get()); // nested execs fail to open
  }
  // Results and error lines go nowhere; only the figures matter.
  if (!freopen("/dev/null", "w", stdout)) return 2;

  long peak_tenth = 0, tenth = 0, baseline = 0, after = 0;
  {
    File first = chunk(0, scratch, false);
    Interpreter in(first.get());
    std::string declare = "noecho\n";
    for (int a = 0; a < ARGS; a++)
      declare += "a" + std::to_string(a) + ";\n";
    for (int v = 0; v < VARS; v++)
      declare += "v" + std::to_string(v) + " := 0;\n";
    for (int g = 0; g < FUNCS; g++)
      declare += definition(g);
    declare += deepest_command();
    File args(fmemopen(declare.data(), declare.size(), "r"), fclose);
    run_chunk(in, args.get());
    garbage_collect();
    baseline = live_node_count(); // the arguments' literals; every variable holds 0
    for (long done = 0; done < commands;) {
      int n = int(std::min<long>(CHUNK, commands - done));
      done += n;
      File f = chunk(n, scratch, done == commands);
      run_chunk(in, f.get());
      if (peak_tenth == 0 && done >= commands / 10) peak_tenth = peak_rss_kib(), tenth = done;
      if (done % 100000 == 0) {
        GBddStats st = store_stats();
        struct mallinfo2 heap = mallinfo2();
        std::fprintf(stderr,
                     "%ld commands: peak RSS %ld KiB, RSS %ld KiB, heap in use %zu KiB, heap free "
                     "%zu KiB, heap resident %ld KiB, stack resident %ld KiB, store %ld KiB, %ld "
                     "live nodes\n",
                     done, peak_rss_kib(), rss_kib(), heap.uordblks / 1024, heap.fordblks / 1024,
                     mapping_rss_kib("[heap]"), stack_rss_kib(), st.store_bytes / 1024,
                     st.live_nodes);
      }
    }
    garbage_collect();
    after = live_node_count();
    in.input = first.get();
  }
  long peak_all = peak_rss_kib();
  std::fprintf(stderr, "peak RSS: %ld KiB after %ld commands, %ld KiB after %ld (%+.1f %%)\n",
               peak_tenth, tenth, peak_all, commands,
               100.0 * double(peak_all - peak_tenth) / double(peak_tenth));
  std::fprintf(stderr, "live nodes: %ld before the session, %ld after deleting every name\n",
               baseline, after);
  bool ok = peak_all <= peak_tenth + peak_tenth / 10 && after == baseline;
  std::fprintf(stderr, "%s\n", ok ? "soak passed" : "soak FAILED");
  return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: soak_driver COMMANDS SCRATCH_DIR [SEED]\n");
    return 2;
  }
  rng.seed(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
  // One heap for both threads, so that the heap figures cover the session's.
  mallopt(M_ARENA_MAX, 1);
  Soak run{std::atol(argv[1]), argv[2], 2};
  pthread_attr_t attr;
  pthread_t thread;
  if (pthread_attr_init(&attr) != 0 || pthread_attr_setstacksize(&attr, RUN_STACK_BYTES) != 0 ||
      pthread_create(&thread, &attr, soak_thread, &run) != 0)
    return 2;
  pthread_join(thread, nullptr);
  return run.status;
}
