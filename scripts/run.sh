#!/usr/bin/env bash
# Builds VELTRANO and starts it; plays the bundled NMEA sample when no file is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build/run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_TESTS=OFF >/dev/null
cmake --build "$root/build/run"
if (($# == 0)) && [ -f "$root/samples/nmea-static.nme" ]; then
  set -- "$root/samples/nmea-static.nme"
fi
exec "$root/build/run/src/veltrano" "$@"
