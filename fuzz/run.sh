#!/bin/sh
# Builds one in-process fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, internal errors of the package aborting) and runs
# it for the given time, one engine per core (FUZZ_JOBS=1 leaves one core free).
#   fuzz/run.sh TARGET SECONDS
#     calc               the whole calculator: one input is the text of a session
#     package            the package against its truth-table model
#     package_gc_stress  the same over the package that collects before every node
# The working corpus starts from the saved one (fuzz/corpus, fuzz/package_corpus)
# and grows in build-libfuzzer/corpus-TARGET; findings land in
# build-libfuzzer/findings-TARGET. To keep new inputs, merge the working corpus
# into a copy of the saved one (fuzz_TARGET -merge=1 -use_counters=0 NEW
# build-libfuzzer/corpus-TARGET) and keep the files it adds. The last line reads
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

# Sessions may exec command files and write DOT files: they run in a scratch
# directory holding the small files the transcripts use, and read and write
# nothing outside it.
scratch=$build/scratch-$target
rm -rf "$scratch"
mkdir -p "$scratch"
cp -r tests/transcripts/files "$scratch"/

# A small quarantine keeps freed memory warm: the sessions allocate much and briefly.
export ASAN_OPTIONS=quarantine_size_mb=16:malloc_context_size=10:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
# The sessions run on the engine's own thread, whose stack may then grow as far
# as the program's run thread: no thread switch per input.
ulimit -s 1048576

case "$target" in
  # Sessions of at most 512 bytes (a score of commands): over the same working
  # corpus the engine ran 2,084 of them a second against 370 of 4,096 bytes,
  # and reached all but 19 of the 2,722 edges the longer ones did.
  calc) options="-max_len=512 -timeout=10 -dict=$root/fuzz/boolcalc.dict" ;;
  *) options="-max_len=256 -timeout=10" ;;
esac

# The working corpus keeps every input the engines ever wrote, tens of thousands
# after a few runs, though they keep only a few thousand; an engine looks at
# every file of the directory each second for the other's new inputs, and runs
# all of them once when it starts. So each run first reduces it to the inputs
# that reach all it reached.
if [ -n "$(ls -A "$corpus")" ]; then
  rm -rf "$corpus.merged"
  mkdir "$corpus.merged"
  if (cd "$scratch" && "$build/fuzz_$target" -merge=1 -rss_limit_mb=2048 $options \
        "$corpus.merged" "$corpus" < /dev/null > "$build/merge-$target.log" 2>&1); then
    rm -rf "$corpus"
    mv "$corpus.merged" "$corpus"
  fi
fi
if [ "$target" = calc ]; then
  cp fuzz/corpus/* "$corpus"/
  for f in tests/transcripts/*.in examples/*.cmd; do
    head -c 4000 "$f" > "$corpus/seed_$(basename "$f")"
  done
else
  cp fuzz/package_corpus/* "$corpus"/ 2>/dev/null || true
fi

cd "$scratch"

log=$build/run-$target
rm -f "$log".*
start=$(date +%s)
stop=$((start + seconds))
touch "$log.start"

# One engine per core, each in its own process over the shared working corpus.
# An engine stops at its first finding; it is started again until the time is up.
# (The engine's fork mode would carry on by itself, but it runs every job's
# share of the corpus again before fuzzing and merges after: on the calculator's
# sessions, a few kilobytes each, that took two thirds of the time.)
engine() {
  round=0
  while :; do
    left=$((stop - $(date +%s)))
    [ "$left" -gt 0 ] || break
    round=$((round + 1))
    "$build/fuzz_$target" -max_total_time="$left" -print_final_stats=1 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" $options "$corpus" < /dev/null > "$log.$1.$round" 2>&1 || true
  done
}
jobs=${FUZZ_JOBS:-2}
for core in $(seq "$jobs"); do
  engine "$core" &
done
wait
end=$(date +%s)

# Each engine's executions: its final count, or for one that stopped at a
# finding, its last progress line (#N ...).
executions=0
for f in "$log".*.*; do
  n=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$f" | tail -1)
  [ -n "$n" ] || n=$(grep -aoE '^#[0-9]+' "$f" | tail -1 | tr -d '#')
  executions=$((executions + ${n:-0}))
done
grep -ahE '^#[0-9]+.*(pulse|DONE|REDUCE|NEW)' "$log".*.* | tail -2
failed=$(find "$findings" -type f -newer "$log.start" | wc -l)
elapsed=$((end - start))
[ "$elapsed" -gt 0 ] || elapsed=1
find "$findings" -type f -newer "$log.start" | sed 's/^/finding: /'
echo "executions $executions, crashes $failed, execs/s $((executions / elapsed))"
