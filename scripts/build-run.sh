#!/usr/bin/env bash
# Installs what the build needs and builds the programs optimised, without the
# tests, in build/run: the tree that run.sh starts, package.sh packs and
# screenshots.sh draws with.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build/run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_TESTS=OFF >/dev/null
cmake --build "$root/build/run"
