#!/usr/bin/env bash
# Regenerates the sample recordings in samples/ from the receiver simulator. The
# simulator is deterministic for a given seed, so the files come out byte for byte
# the same. Pass the path of a built veltrano-sim to skip the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sim=${1:-}
if [ -z "$sim" ]; then
  build="$root/build/samples"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRANO_TESTS=OFF >/dev/null
  cmake --build "$build" --target veltrano-sim
  sim="$build/tools/sim/veltrano-sim"
fi
mkdir -p "$root/samples"
common=(--seed 2024 --duration 300 --rate 1 --start 2024-05-01T10:00:00 --lat 55.7522 --lon 37.6156 --height 150)
"$sim" "${common[@]}" --protocol nmea --write "$root/samples/nmea-static.nme"
"$sim" "${common[@]}" --protocol binr --write "$root/samples/binr-static.dat"
"$sim" "${common[@]}" --protocol binr2 --write "$root/samples/binr2-static.b2"
