#!/usr/bin/env bash
# Regenerates the README's pictures in docs/: the main window with every tool
# window tiled around it, drawn offscreen (no display needed) after fast-playing
# each sample, the scatter centred on the sample's mean with a 1 m inner ring.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build-run.sh"
cli="$root/build/run/tools/cli/veltrano-cli"
mkdir -p "$root/docs"
for sample in nmea-static.nme binr-static.dat binr2-static.b2; do
  picture="$root/docs/${sample%%.*}.png"
  "$cli" report --ref-statistic --radius 18 "$root/samples/$sample" --group "$picture"
  echo "$picture"
done
