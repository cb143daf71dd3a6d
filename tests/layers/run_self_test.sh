#!/usr/bin/env bash
# Runs the layer check on each fixture tree in this folder and compares what it
# prints and its exit status with the tree's expected.txt: empty for a clean
# tree (exit 0), else the violation lines it must print, and nothing else (exit 1).
# Usage: tests/layers/run_self_test.sh [CHECK_SCRIPT]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
check=${1:-$here/../../scripts/check-layers.sh}
failures=0
clean=0
violating=0

fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

for fixture in "$here"/*/; do
  fixture=${fixture%/}
  name=${fixture##*/}
  if [ ! -f "$fixture/expected.txt" ]; then
    fail "$name: no expected.txt"
    continue
  fi
  expected=$(<"$fixture/expected.txt")
  if [ -z "$expected" ]; then
    want=0
    clean=$((clean + 1))
  else
    want=1
    violating=$((violating + 1))
  fi
  actual=$(bash "$check" "$fixture" 2>/dev/null)
  status=$?
  if [ "$status" -ne "$want" ]; then
    fail "$name: exit status $status, expected $want"
  elif [ "$actual" != "$expected" ]; then
    fail "$name: printed other lines than expected.txt"
    diff <(echo "$expected") <(echo "$actual") | sed 's/^/  /'
  else
    echo "ok   $name"
  fi
done

# A tree without src/ is refused rather than passed as clean.
bash "$check" "$here/no-such-tree" >/dev/null 2>&1
status=$?
if [ "$status" -ne 2 ]; then
  fail "a missing tree: exit status $status, expected 2"
else
  echo "ok   a missing tree is refused"
fi

if ((clean == 0 || violating == 0)); then
  fail "fixtures: $clean clean and $violating violating trees; both kinds are needed"
fi
echo "$clean clean and $violating violating fixture trees, $failures failure(s)"
((failures == 0))
