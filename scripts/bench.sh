#!/usr/bin/env bash
# Builds the benchmarks in a release build and runs them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRANO_BENCH=ON -DVELTRANO_TESTS=OFF >/dev/null
cmake --build "$build" --target decoders_bench
"$build/bench/decoders_bench" "$@"
