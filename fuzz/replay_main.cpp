// Runs a fuzz target's entry point on saved inputs, without the fuzzing engine:
// every file named, and every file in every directory named, in name order.
// Any failure of the target aborts; otherwise it prints how many inputs ran.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pthread.h>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// The calculator's own run gets a large stack for deep diagrams; so do the inputs here.
constexpr std::size_t RUN_STACK_BYTES = std::size_t(1) << 30;

struct Run {
  std::vector<std::string> paths;
  int count = 0;
};

void* replay(void* p) {
  auto* run = static_cast<Run*>(p);
  for (const std::string& path : run->paths) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s\n", path.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    run->count++;
  }
  return nullptr;
}

} // namespace

int main(int argc, char** argv) {
  Run run;
  for (int i = 1; i < argc; i++) {
    std::filesystem::path arg(argv[i]);
    if (!std::filesystem::is_directory(arg)) {
      run.paths.push_back(arg.string());
      continue;
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(arg))
      if (entry.is_regular_file()) names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    run.paths.insert(run.paths.end(), names.begin(), names.end());
  }
  LLVMFuzzerInitialize(&argc, &argv);
  pthread_attr_t attr;
  pthread_t thread;
  if (pthread_attr_init(&attr) != 0 || pthread_attr_setstacksize(&attr, RUN_STACK_BYTES) != 0 ||
      pthread_create(&thread, &attr, replay, &run) != 0)
    return 1;
  pthread_join(thread, nullptr);
  std::fprintf(stderr, "%d inputs replayed\n", run.count);
  return 0;
}
