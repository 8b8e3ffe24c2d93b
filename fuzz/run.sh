#!/bin/sh
# Builds one in-process fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, internal errors of the package aborting) and runs
# it for the given time on both cores (FUZZ_JOBS=1 leaves one free).
#   fuzz/run.sh TARGET SECONDS
#     calc               the whole calculator: one input is the text of a session
#     package            the package against its truth-table model
#     package_gc_stress  the same over the package that collects before every node
# The working corpus starts from the saved one (fuzz/corpus, fuzz/package_corpus)
# and grows in build-libfuzzer/corpus-TARGET; findings land in
# build-libfuzzer/findings-TARGET. To keep new inputs, minimise the working corpus
# into an empty directory (fuzz_TARGET -merge=1 NEW build-libfuzzer/corpus-TARGET)
# and copy what is new into the saved one. The last line reads
#   executions N, crashes C, execs/s R
# where C counts every input that crashed, timed out or ran out of memory.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
target=${1:?usage: fuzz/run.sh calc|package|package_gc_stress SECONDS}
seconds=${2:?usage: fuzz/run.sh calc|package|package_gc_stress SECONDS}
case "$target" in
  calc | package | package_gc_stress) ;;
  *) echo "unknown target: $target" >&2; exit 2 ;;
esac

missing=""
command -v clang++ >/dev/null || missing="$missing clang"
command -v cmake >/dev/null || missing="$missing cmake"
command -v bison >/dev/null || missing="$missing bison"
test -f /usr/include/readline/readline.h || missing="$missing libreadline-dev"
if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null && apt-get install -y -q $missing >/dev/null
fi
# The fuzzing engine's runtime comes with clang; some distributions ship it apart.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
    clang++ -fsanitize=fuzzer -x c++ - -o /tmp/boolcalc_fuzz_probe.$$ 2>/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q libclang-rt-dev >/dev/null 2>&1 ||
    apt-get install -y -q "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev" >/dev/null
fi
rm -f /tmp/boolcalc_fuzz_probe.$$

build=$root/build-libfuzzer
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DBOOLCALC_SANITIZE=ON -DBOOLCALC_LIBFUZZER=ON >/dev/null
cmake --build "$build" -j 2 --target "fuzz_$target"

corpus=$build/corpus-$target
findings=$build/findings-$target
mkdir -p "$corpus" "$findings"
case "$target" in
  calc)
    cp fuzz/corpus/* "$corpus"/
    for f in tests/transcripts/*.in examples/*.cmd; do
      head -c 4000 "$f" > "$corpus/seed_$(basename "$f")"
    done
    options="-dict=$root/fuzz/boolcalc.dict -max_len=4096 -timeout=10"
    ;;
  *)
    cp fuzz/package_corpus/* "$corpus"/ 2>/dev/null || true
    options="-max_len=512 -timeout=10"
    ;;
esac

# Sessions may exec command files: they run in a scratch directory holding the
# small files the transcripts use, and read nothing outside it.
scratch=$build/scratch
rm -rf "$scratch"
mkdir -p "$scratch"
cp -r tests/transcripts/files "$scratch"/
cd "$scratch"

log=$build/run-$target.log
# A small quarantine keeps freed memory warm: the sessions allocate much and briefly.
export ASAN_OPTIONS=quarantine_size_mb=16:malloc_context_size=10:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
# The sessions run on the engine's own thread, whose stack may then grow as far
# as the program's run thread: no thread switch per input.
ulimit -s 1048576
start=$(date +%s)
jobs=${FUZZ_JOBS:-2}
"$build/fuzz_$target" -fork="$jobs" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
  -rss_limit_mb=2048 -max_total_time="$seconds" -artifact_prefix="$findings/" \
  $options "$corpus" < /dev/null > "$log" 2>&1 || true
end=$(date +%s)

# The engine's last progress line: #N: cov: .. ft: .. corp: .. exec/s R oom/timeout/crash: O/T/C
last=$(grep -E '^#[0-9]+: cov:' "$log" | tail -1)
grep -E '^#[0-9]+: cov:' "$log" | tail -3
if [ -z "$last" ]; then
  tail -20 "$log"
  echo "executions 0, crashes 0, execs/s 0"
  exit 1
fi
executions=$(echo "$last" | sed -E 's/^#([0-9]+):.*/\1/')
failed=$(echo "$last" | sed -E 's#.*oom/timeout/crash: ([0-9]+)/([0-9]+)/([0-9]+).*#\1 \2 \3#' |
         awk '{print $1 + $2 + $3}')
elapsed=$((end - start))
[ "$elapsed" -gt 0 ] || elapsed=1
ls "$findings" | sed 's/^/finding: /'
echo "executions $executions, crashes $failed, execs/s $((executions / elapsed))"
