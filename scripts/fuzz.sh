#!/usr/bin/env bash
# Builds each tests/fuzz/*_fuzz.cpp with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it for a bounded time on its seed corpus.
# Usage: scripts/fuzz.sh [SECONDS]   (default 30 per target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
clangxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clangxx" ]; then
  echo "fuzz: clang++ not found, skipped"
  exit 0
fi
out="$root/build/fuzz"
mkdir -p "$out"
sources=("$root"/src/decoding/*.cpp "$root"/src/util/*.cpp)
status=0
for target in "$root"/tests/fuzz/*_fuzz.cpp; do
  [ -e "$target" ] || continue
  name=$(basename "$target" .cpp)
  "$clangxx" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" "$target" "${sources[@]}" -o "$out/$name"
  corpus="$out/$name.corpus"
  mkdir -p "$corpus"
  seeds="$root/tests/fuzz/seeds/${name%_fuzz}"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $name for ${seconds}s"
  if ! "$out/$name" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" >"$out/$name.log" 2>&1; then
    tail -n 40 "$out/$name.log"
    echo "fuzz: $name FAILED"
    status=1
  else
    grep -E 'stat::number_of_executed_units' "$out/$name.log" || true
  fi
done
exit $status
