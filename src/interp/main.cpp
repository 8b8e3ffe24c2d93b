#include "gbdd/gbdd.h"
#include "interp/interpreter.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <pthread.h>

namespace {

// Diagrams are walked recursively, as deep as they have variables, and a user
// may declare hundreds of thousands of them; the run gets a stack to match
// instead of the default few megabytes. Only this one thread ever runs the
// calculator; the main thread just waits for it.
constexpr size_t RUN_STACK_BYTES = size_t(1) << 30;

struct Run {
  int argc;
  char** argv;
  int status;
};

int run_program(int argc, char** argv) {
  std::set_new_handler(memory_exhausted);
#ifdef BOOLCALC_ABORT_ON_INTERNAL_ERROR
  // Fuzzing builds: an internal error of the package is a finding, so it must
  // look like a crash rather than an ordinary exit.
  set_error_handler([] { abort(); });
#endif
  if (argc < 2) {
    Interpreter interpreter(stdin);
    interpreter.run();
    return 0;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(argv[1], "r"), fclose);
  if (!file) {
    printf("Can't open file '%s'\n", argv[1]);
    return 1;
  }
  Interpreter interpreter(file.get());
  interpreter.run();
  return 0;
}

void* run_thread(void* p) {
  auto* run = static_cast<Run*>(p);
  run->status = run_program(run->argc, run->argv);
  return nullptr;
}

} // namespace

int main(int argc, char** argv) {
  Run run{argc, argv, 0};
  pthread_attr_t attr;
  pthread_t thread;
  if (pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, RUN_STACK_BYTES) == 0 &&
      pthread_create(&thread, &attr, run_thread, &run) == 0) {
    pthread_join(thread, nullptr);
    return run.status;
  }
  return run_program(argc, argv); // no room for a large stack: run on this one
}
