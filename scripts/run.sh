#!/usr/bin/env bash
# Builds VELTRANO and starts it. Without arguments it opens a demo folder
# (build/demo, made afresh each run) with a copy of each sample recording and a
# veltrano.ini that shows every tool window about the NMEA sample's site, and
# fast-plays the NMEA sample. Without a graphical display it prints the samples'
# statistics and writes the windows' pictures into the demo folder instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build-run.sh"
build="$root/build/run"
veltrano="$build/src/veltrano"
cli="$build/tools/cli/veltrano-cli"
if (($# > 0)); then
  exec "$veltrano" "$@"
fi

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$root"/samples/*.nme "$root"/samples/*.dat "$root"/samples/*.b2 "$demo"/
# The samples' site (scripts/make-samples.sh) in radians, a 1 m inner ring
# (radius position 18) and every tool window ticked.
awk 'BEGIN {
  d = atan2(0, -1) / 180
  printf "[Position]\nLeft=40\nTop=40\n[Port]\nBaudComboBox=0\nProtComboBox=0\nRawDataCheckBox=0\n"
  printf "[Other]\nmaxAltUpDown=2\nRUpDown=18\nb_fix=%.17g\nl_fix=%.17g\nh_fix=147\n", 55.7522 * d, 37.6156 * d
  printf "[Misc]\nsoundEnabled=0\nmax_points=10000\n"
  printf "[Checked]\nPositionCheckBox=1\nStatisticCheckBox=1\nSatellitesCheckBox=1\nVisualCheckBox=1\n"
  printf "ProfileCheckBox=1\nSNRCheckBox=1\n"
}' >"$demo/veltrano.ini"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No graphical display: the samples' statistics follow, and the windows' pictures go to $demo."
  for sample in nmea-static.nme binr-static.dat binr2-static.b2; do
    echo
    echo "== $sample"
    "$cli" stats "$demo/$sample"
    base="$demo/${sample%%.*}"
    "$cli" report --ref-statistic --radius 18 "$demo/$sample" -o "$base-report.png" --sky "$base-sky.png" \
      --snr "$base-snr.png" 2>/dev/null
    printf '%s\n' "$base-report.png" "$base-sky.png" "$base-snr.png"
  done
  exit 0
fi
cd "$demo"
exec "$veltrano" "$demo/nmea-static.nme"
