#pragma once
// The first fault found in a file being read, with its line.

#include <string>

struct ReadError {
  int line = 0;
  std::string message;
};
