#!/bin/sh
# Fuzzes the whole calculator on standard input with AFL++, built with
# AddressSanitizer and UndefinedBehaviorSanitizer, internal errors aborting.
#   fuzz/run.sh [seconds]      (default: 3600)
# Inputs that reach new paths land in build-fuzz/out/default/queue; to keep
# them, minimise that queue with afl-cmin and copy the result into fuzz/corpus
# as afl_NNN files, which the fuzz.corpus_replay test then replays.
set -e
cd "$(dirname "$0")/.."
seconds=${1:-3600}
command -v afl-fuzz >/dev/null || apt-get install -y -q afl++ >/dev/null
export AFL_USE_ASAN=1 AFL_USE_UBSAN=1
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOOLCALC_FUZZ=ON \
      -DCMAKE_C_COMPILER=afl-clang-fast -DCMAKE_CXX_COMPILER=afl-clang-fast++ >/dev/null
cmake --build build-fuzz -j 1 --target boolcalc
mkdir -p build-fuzz/seeds
cp fuzz/corpus/* build-fuzz/seeds/ 2>/dev/null || true
for f in tests/transcripts/*.in examples/*.cmd; do
  head -c 4000 "$f" > "build-fuzz/seeds/seed_$(basename "$f")"
done
export AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0
exec afl-fuzz -i build-fuzz/seeds -o build-fuzz/out -x fuzz/boolcalc.dict -t 1000 \
     -m none -V "$seconds" -- build-fuzz/boolcalc
