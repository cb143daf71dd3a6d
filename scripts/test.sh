#!/usr/bin/env bash
# Builds VELTRANO with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test (the benchmarks are built too, so that they keep building), the fuzz
# targets for a short while, then builds the Debian package and checks what it
# holds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRANO_SANITIZE=ON -DVELTRANO_WERROR=ON \
  -DVELTRANO_BENCH=ON >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j2 --timeout 300
"$root/scripts/fuzz.sh" 10
deb=$("$root/scripts/package.sh" | tail -n 1)
"$root/scripts/check-package.sh" "$deb"
