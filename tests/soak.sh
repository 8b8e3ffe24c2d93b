#!/bin/sh
# A random session of a million commands in one process (not part of make test;
# a few minutes in a release build). Its resident size must stop growing, and the
# live nodes must return to their count before the session once every name is
# deleted.
#   tests/soak.sh [COMMANDS] [SEED]     (default: 1000000 commands, seed 1)
set -e
cd "$(dirname "$0")/.."
commands=${1:-1000000}
seed=${2:-1}
cmake -S . -B build-soak -DCMAKE_BUILD_TYPE=Release -DBOOLCALC_SOAK=ON >/dev/null
cmake --build build-soak -j 2 --target soak_driver
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
/usr/bin/time -f "%e s, %M KiB peak" ./build-soak/soak_driver "$commands" "$scratch" "$seed"
