#!/bin/sh
# Runs every transcript case under valgrind memcheck against a build without
# sanitizers; any invalid access or definite leak fails the run.
#   tests/valgrind_transcripts.sh [build-dir]     (default: build)
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target boolcalc >/dev/null
program="$(pwd)/$build/boolcalc"
wrapper=$(mktemp)
cat > "$wrapper" <<WRAP
#!/bin/sh
exec valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
     "$program" "\$@"
WRAP
chmod +x "$wrapper"
failed=0
for input in tests/transcripts/*.in; do
  if ! python3 tests/run_transcript.py "$wrapper" "$input" >/tmp/valgrind-case.log 2>&1; then
    echo "FAILED: $input"; cat /tmp/valgrind-case.log; failed=1
  fi
done
rm -f "$wrapper"
[ "$failed" = 0 ] && echo "all transcripts clean under valgrind"
exit $failed
