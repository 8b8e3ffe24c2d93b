// The whole calculator as an in-process fuzz target: one input is the text of a
// session, read through the lexer and parser, evaluated, printed and dropped. Every
// process-wide state a session leaves behind is reset before the next input, so an
// input does the same whatever ran before it.

#include "gbdd/gbdd.h"
#include "interp/interpreter.h"
#include "names/messages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <stdio.h>
#include <sys/resource.h>

namespace {

// Diagrams are walked recursively, as deep as they have variables: each session
// runs on a thread with the stack the program itself gives its run.
constexpr std::size_t RUN_STACK_BYTES = std::size_t(1) << 30;
// Bytes the store and its tables may take per input: a few thousand nodes,
// past the first growths of the store and room for the diagrams of most
// command files of the tests. Sessions that build large diagrams are the ones
// the engine keeps most of (they reach the most code), and under the
// sanitizers the package runs some twenty times slower than in the program: on
// the working corpus, 512 KiB took twice the time of 128 KiB, and 12 MiB let
// one input take a third of a second.
constexpr std::uint64_t STORE_BUDGET_BYTES = std::uint64_t(128) << 10;
constexpr char STORE_BUDGET_TEXT[] = "128K";
// Slots of the store each session starts with; it grows as the session needs.
constexpr int FRESH_STORE_SLOTS = 1024;
// Characters a session may print. A diagram of a few dozen nodes can have
// billions of terms; past this budget the session ends. Printing terms took a
// third of the engine's time at 256 KiB; at 32 KiB the engine ran 2,343
// sessions a second instead of 1,373 over the same working corpus, and reached
// as much code.
constexpr long OUTPUT_BUDGET_BYTES = 32 << 10;

long output_left = 0;
// Slots of the store init_module(FRESH_STORE_SLOTS) makes.
long fresh_store_slots = 0;

// Standard output and standard error of the fuzzed sessions: counted, then
// discarded. Past the budget the session is interrupted as by Ctrl-C: the
// command ends at its next term or node, and the session with it. (An exception
// thrown from here would cross the C library's frames, and the callers compiled
// as if those never throw would skip their own clean-up: their strings leaked.)
ssize_t write_output(void*, const char*, size_t size) {
  output_left -= long(size);
  if (output_left < 0) request_interrupt();
  return ssize_t(size);
}

FILE* open_sink() {
  cookie_io_functions_t io{nullptr, write_output, nullptr, nullptr};
  FILE* out = fopencookie(nullptr, "w", io);
  if (out == nullptr) abort();
  setvbuf(out, nullptr, _IOFBF, 1 << 14);
  return out;
}

// Points both standard streams at the sink. The engine keeps the standard error
// it found at start-up for its own lines, and the sanitizers write to the file
// descriptor, so their reports still reach the log; the sessions' error lines,
// written unbuffered a few bytes at a time, no longer cost a system call each.
void open_output() {
  stdout = open_sink();
  stderr = open_sink();
}

// What a session leaves in the process beyond its interpreter: the package's
// store, limit and interrupt, the rendering strings (print_result sets them
// before each use, the package's defaults are put back all the same) and the
// message counters. Readline keeps state too, but a session whose input is not
// standard input never calls it.
void reset_process_state() {
  if (!reset_store()) abort(); // a handle outlived its interpreter
  // Back to a small store, so that emptying it costs the next session little.
  // A store that did not grow is that store already: its tables stay mapped, as
  // unmapping and mapping them again costs system calls, faults on first touch
  // and a flush of the other core's address-translation cache.
  if (store_stats().node_slots != fresh_store_slots && !init_module(FRESH_STORE_SLOTS)) abort();
  set_sop_strings("true", "false", "!", ".", " +\n", "", "", "");
  msg_reset();
  clear_interrupt(); // the output budget's, when no node or term came after it
}

// Runs the text as one session, then resets what the session left behind.
void run_session(const std::uint8_t* data, std::size_t size) {
  static const char empty = 0;
  // fmemopen refuses an empty buffer; an empty input is one byte read as nothing.
  FILE* input = size == 0 ? fmemopen(const_cast<char*>(&empty), 1, "r")
                          : fmemopen(const_cast<std::uint8_t*>(data), size, "r");
  if (input == nullptr) abort();
  if (size == 0) fgetc(input);
  set_memory_limit(STORE_BUDGET_BYTES);
  output_left = OUTPUT_BUDGET_BYTES;
  {
    Interpreter in(input);
    in.memory_limit_text = STORE_BUDGET_TEXT;
    in.read_loop(false);
    fflush(stdout);
  }
  fclose(input);
  output_left = OUTPUT_BUDGET_BYTES;
  fflush(stdout); // what the stream still holds belongs to the session just ended
  reset_process_state();
}

// Whether the engine's own thread may run the sessions: its stack may grow to
// the size the program gives its run (fuzz/run.sh raises the limit before the
// engine starts). Otherwise they run one at a time on a worker thread that
// lives as long as the process; the engine's thread hands over an input and
// waits for its end, which costs two thread switches per input.
bool run_inline = false;
struct Worker {
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t changed = PTHREAD_COND_INITIALIZER;
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  bool pending = false;
};
Worker worker;

void* worker_loop(void*) {
  pthread_mutex_lock(&worker.lock);
  for (;;) {
    while (!worker.pending)
      pthread_cond_wait(&worker.changed, &worker.lock);
    pthread_mutex_unlock(&worker.lock);
    run_session(worker.data, worker.size);
    pthread_mutex_lock(&worker.lock);
    worker.pending = false;
    pthread_cond_broadcast(&worker.changed);
  }
}

bool main_stack_is_big() {
  rlimit limit;
  if (getrlimit(RLIMIT_STACK, &limit) != 0) return false;
  return limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur >= RUN_STACK_BYTES;
}

void start_worker() {
  pthread_attr_t attr;
  pthread_t thread;
  if (pthread_attr_init(&attr) != 0 || pthread_attr_setstacksize(&attr, RUN_STACK_BYTES) != 0 ||
      pthread_create(&thread, &attr, worker_loop, nullptr) != 0)
    abort();
  pthread_attr_destroy(&attr);
  pthread_detach(thread);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // An internal error of the package is a finding: it must look like a crash.
  set_error_handler([] { abort(); });
  if (!init_module(FRESH_STORE_SLOTS)) abort();
  fresh_store_slots = store_stats().node_slots;
  open_output();
  run_inline = main_stack_is_big();
  if (!run_inline) start_worker();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (run_inline) {
    run_session(data, size);
    return 0;
  }
  pthread_mutex_lock(&worker.lock);
  worker.data = data;
  worker.size = size;
  worker.pending = true;
  pthread_cond_broadcast(&worker.changed);
  while (worker.pending)
    pthread_cond_wait(&worker.changed, &worker.lock);
  pthread_mutex_unlock(&worker.lock);
  return 0;
}
