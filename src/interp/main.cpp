#include <cstdio>
#include <memory>

#include "interp/interpreter.h"

int main(int argc, char** argv) {
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
