#!/usr/bin/env bash
# Builds each tests/fuzz/*_fuzz.cpp with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it for a bounded time on its seed corpus
# (tests/fuzz/seeds/NAME for NAME_fuzz.cpp). Every target links the decoding
# path (src/decoding, src/util, the command framing); windows_fuzz.cpp also the
# windows (src/displays) and Qt Widgets, and runs on the offscreen platform.
# The objects are built once for all targets, by ninja, in build/fuzz.
# Usage: scripts/fuzz.sh [SECONDS]   (default 30 per target)
# Exits non-zero when a target found a crash, a leak, undefined behaviour, a
# hang or a broken check; the input that shows it is kept in build/fuzz.
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
moc="$(pkg-config --variable=libexecdir Qt6Core)/moc"

# Ninja's escapes for a path in a build line.
path() {
  local p=${1//\$/\$\$}
  p=${p// /\$ }
  printf '%s' "${p//:/\$:}"
}

core=()
windows=()
{
  echo "cxx = $clangxx"
  echo "flags = -std=c++20 -O1 -g -fPIC -fsanitize=address,undefined -fno-sanitize-recover=undefined" \
    "-I$(path "$root/src") -I$(path "$root/tests/fuzz") $(pkg-config --cflags Qt6Widgets)"
  echo "qtlibs = $(pkg-config --libs Qt6Widgets)"
  echo "rule cxx"
  echo "  command = \$cxx \$flags -fsanitize=fuzzer-no-link -MMD -MF \$out.d -c \$in -o \$out"
  echo "  depfile = \$out.d"
  echo "  deps = gcc"
  echo "rule moc"
  echo "  command = $moc \$in -o \$out"
  echo "rule link"
  echo "  command = \$cxx \$flags -fsanitize=fuzzer \$in -o \$out \$libs"
  for source in "$root"/src/decoding/*.cpp "$root"/src/util/*.cpp "$root"/src/link/command_framing.cpp; do
    object="obj/${source#"$root"/src/}.o"
    echo "build $(path "$object"): cxx $(path "$source")"
    core+=("$(path "$object")")
  done
  for source in "$root"/src/displays/*.cpp; do
    object="obj/${source#"$root"/src/}.o"
    echo "build $(path "$object"): cxx $(path "$source")"
    windows+=("$(path "$object")")
  done
  for header in "$root"/src/displays/*.h; do
    grep -q Q_OBJECT "$header" || continue
    generated="moc/$(basename "$header" .h).cpp"
    echo "build $(path "$generated"): moc $(path "$header")"
    echo "build $(path "obj/$generated.o"): cxx $(path "$generated")"
    windows+=("$(path "obj/$generated.o")")
  done
  for target in "$root"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$target" .cpp)
    echo "build $(path "obj/$name.o"): cxx $(path "$target")"
    if [ "$name" = windows_fuzz ]; then
      echo "build $name: link $(path "obj/$name.o") ${core[*]} ${windows[*]}"
      echo "  libs = \$qtlibs"
    else
      echo "build $name: link $(path "obj/$name.o") ${core[*]}"
    fi
  done
} >"$out/build.ninja"
ninja -C "$out" -j "${FUZZ_JOBS:-$(nproc)}" >"$out/build.log" || {
  tail -n 40 "$out/build.log"
  echo "fuzz: build FAILED"
  exit 1
}

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
status=0
for target in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  corpus="$out/$name.corpus"
  mkdir -p "$corpus"
  seeds="$root/tests/fuzz/seeds/${name%_fuzz}"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $name for ${seconds}s"
  if ! "$out/$name" -max_total_time="$seconds" -max_len=4096 -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$corpus" >"$out/$name.log" 2>&1; then
    tail -n 40 "$out/$name.log"
    echo "fuzz: $name FAILED"
    status=1
  else
    grep -E 'stat::number_of_executed_units' "$out/$name.log" || true
  fi
done
exit $status
