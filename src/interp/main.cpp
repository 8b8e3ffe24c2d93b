#include "gbdd/gbdd.h"
#include "interp/commands.h"
#include "interp/interpreter.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <pthread.h>
#include <string>

namespace {

// Diagrams are walked recursively, as deep as they have variables, and a user
// may declare hundreds of thousands of them; the run gets a stack to match
// instead of the default few megabytes. Only this one thread ever runs the
// calculator; the main thread just waits for it.
constexpr size_t RUN_STACK_BYTES = size_t(1) << 30;

const char USAGE[] = "usage: boolcalc [OPTION]... [FILE]\n"
                     "Computes with Boolean functions; reads commands from FILE, or from\n"
                     "standard input when FILE is absent or \"-\".\n"
                     "\n"
                     "  -h, --help           print this help and exit\n"
                     "      --version        print the version and exit\n"
                     "      --bail           stop at the first error, with exit status 1\n"
                     "      --max-memory SIZE\n"
                     "                       let the diagrams take at most SIZE bytes (a suffix\n"
                     "                       K, M, G or T multiplies by 1024 each step); a\n"
                     "                       command that would take more ends early\n"
                     "  --                   end of the options\n";

struct Options {
  const char* file = nullptr; // null or "-": standard input
  bool bail = false;
  const char* max_memory = nullptr;
};

struct Run {
  int argc;
  char** argv;
  int status;
};

// The bytes a size such as "512M" stands for; 0 when the text is not a size.
std::uint64_t parse_size(const char* text) {
  char* end;
  if (*text < '0' || *text > '9') return 0;
  unsigned long long n = std::strtoull(text, &end, 10);
  int shift = 0;
  switch (*end) {
  case 'k':
  case 'K': shift = 10; break;
  case 'm':
  case 'M': shift = 20; break;
  case 'g':
  case 'G': shift = 30; break;
  case 't':
  case 'T': shift = 40; break;
  case 0: break;
  default: return 0;
  }
  if (shift != 0 && end[1] != 0) return 0;
  if (n == 0 || n > (UINT64_MAX >> shift)) return 0;
  return std::uint64_t(n) << shift;
}

// Reads the command line into options; returns -1 to go on, or the exit status
// of a run that ends here (help, version, a wrong option).
int parse_options(int argc, char** argv, Options& options) {
  bool options_ended = false;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    if (options_ended || arg[0] != '-' || std::strcmp(arg, "-") == 0) {
      if (!options.file) options.file = arg; // further files are ignored
      continue;
    }
    if (std::strcmp(arg, "--") == 0) {
      options_ended = true;
    } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
      fputs(USAGE, stdout);
      return 0;
    } else if (std::strcmp(arg, "--version") == 0) {
      printf("boolcalc %s\n", VERSION);
      return 0;
    } else if (std::strcmp(arg, "--bail") == 0) {
      options.bail = true;
    } else if (std::strcmp(arg, "--max-memory") == 0 ||
               std::strncmp(arg, "--max-memory=", 13) == 0) {
      const char* size = arg[12] == '=' ? arg + 13 : i + 1 < argc ? argv[++i] : nullptr;
      if (!size) {
        fprintf(stderr, "boolcalc: option '--max-memory' needs a size\n%s", USAGE);
        return 2;
      }
      if (parse_size(size) == 0) {
        fprintf(stderr, "boolcalc: '%s' is not a size (such as 512M or 4G)\n%s", size, USAGE);
        return 2;
      }
      options.max_memory = size;
    } else {
      fprintf(stderr, "boolcalc: unknown option '%s'\n%s", arg, USAGE);
      return 2;
    }
  }
  return -1;
}

int run_program(int argc, char** argv) {
  std::set_new_handler(memory_exhausted);
#ifdef BOOLCALC_ABORT_ON_INTERNAL_ERROR
  // Fuzzing builds: an internal error of the package is a finding, so it must
  // look like a crash rather than an ordinary exit.
  set_error_handler([] { abort(); });
#endif
  Options options;
  if (int status = parse_options(argc, argv, options); status >= 0) return status;
  std::unique_ptr<FILE, int (*)(FILE*)> file(nullptr, fclose);
  bool from_stdin = !options.file || std::strcmp(options.file, "-") == 0;
  if (!from_stdin) {
    file.reset(open_command_file(options.file));
    if (!file) {
      printf("Can't open file '%s'\n", options.file);
      return 1;
    }
  }
  if (options.max_memory) set_memory_limit(parse_size(options.max_memory));
  Interpreter interpreter(from_stdin ? stdin : file.get());
  if (!from_stdin) interpreter.input_name = options.file;
  interpreter.bail = options.bail;
  if (options.max_memory) interpreter.memory_limit_text = options.max_memory;
  interpreter.run();
  return interpreter.exit_status;
}

// Ctrl-C must reach the thread that reads the terminal and computes: the
// waiting thread keeps it blocked, the running one lets it through.
void let_sigint_through(bool through) {
  sigset_t sigint;
  sigemptyset(&sigint);
  sigaddset(&sigint, SIGINT);
  pthread_sigmask(through ? SIG_UNBLOCK : SIG_BLOCK, &sigint, nullptr);
}

void* run_thread(void* p) {
  let_sigint_through(true);
  auto* run = static_cast<Run*>(p);
  run->status = run_program(run->argc, run->argv);
  return nullptr;
}

} // namespace

int main(int argc, char** argv) {
  Run run{argc, argv, 0};
  pthread_attr_t attr;
  pthread_t thread;
  let_sigint_through(false); // the new thread starts with this thread's mask
  if (pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, RUN_STACK_BYTES) == 0 &&
      pthread_create(&thread, &attr, run_thread, &run) == 0) {
    pthread_join(thread, nullptr);
    return run.status;
  }
  let_sigint_through(true);
  return run_program(argc, argv); // no room for a large stack: run on this one
}
