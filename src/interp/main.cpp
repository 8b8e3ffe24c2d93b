#include <cstdio>
#include <cstdlib>
#include <memory>

#include "gbdd/gbdd.h"
#include "interp/interpreter.h"

int main(int argc, char** argv) {
#ifdef BOOLCALC_ABORT_ON_INTERNAL_ERROR
  // Fuzzing builds: an internal error of the package is a finding, so it must
  // look like a crash rather than an ordinary exit.
  set_error_handler([] { abort(); });
#endif
  if (argc < 2) {
    Interpreter interpreter(stdin);
    return 0;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(argv[1], "r"), fclose);
  if (!file) {
    printf("Can't open file '%s'\n", argv[1]);
    return 1;
  }
  Interpreter interpreter(file.get());
  return 0;
}
