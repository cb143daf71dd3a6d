#!/usr/bin/env bash
# Builds the release benchmarks into build/bench and prints one table: the speed
# of each measured path beside its floor. The inputs (tens of MB each) are made
# once into build/bench/inputs: recordings written by the receiver simulator and
# the real NMEA logs repeated.
#
# MB/s is input bytes (10^6) per second of the process's CPU time, user and
# system, the median of RUNS runs (default 5; set RUNS to change it). CPU time is
# used because the machine may be shared: these commands run on one thread with
# their input in the page cache, so on an idle machine their wall-clock time is
# about their CPU time, and under load only the wall-clock time grows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/bench"
runs=${RUNS:-5}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRANO_BENCH=ON -DVELTRANO_TESTS=OFF >/dev/null
cmake --build "$build" --target veltrano-cli veltrano-sim decoders_bench process_timer minmea_style_reader \
  fastplay_bench liveflood_bench >/dev/null

cli="$build/tools/cli/veltrano-cli"
sim="$build/tools/sim/veltrano-sim"
timer="$build/bench/process_timer"
reference="$build/bench/minmea_style_reader"
inputs="$build/inputs"
mkdir -p "$inputs"

# made NAME COMMAND...: the input NAME, made by COMMAND into $part unless it
# exists; what COMMAND prints is shown only when it fails.
made() {
  local file="$inputs/$1"
  shift
  if [ ! -s "$file" ]; then
    part="$file.part"
    "$@" >"$inputs/making.log" 2>&1 || { cat "$inputs/making.log" >&2; exit 1; }
    mv "$part" "$file"
  fi
  echo "$file"
}
simulated() { "$sim" --protocol "$1" --duration "$2" --write "$part"; }
# The real logs of shared/testdata beside the repository, or the excerpts in
# tests/data, repeated to 40 MB.
real_logs() {
  local logs=("$root"/../shared/testdata/nmea/*.log)
  [ -e "${logs[0]}" ] || logs=("$root"/tests/data/nmea/*.log)
  : >"$part"
  while [ "$(stat -c %s "$part")" -lt 40000000 ]; do cat "${logs[@]}" >>"$part"; done
}
real_nme=$(made real-logs.nme real_logs)
sim_nme=$(made sim.nme simulated nmea 33000)
sim_dat=$(made sim.dat simulated binr 100000)
sim_b2=$(made sim.b2 simulated binr2 85000)

# mbps FILE COMMAND...: MB/s of COMMAND over the bytes of FILE.
mbps() {
  local bytes cpu wall
  bytes=$(stat -c %s "$1")
  shift
  read -r cpu wall < <("$timer" "$runs" "$@")
  awk -v bytes="$bytes" -v cpu="$cpu" 'BEGIN { printf "%.0f", bytes / cpu / 1e6 }'
}
# times FACTOR MBPS: a floor FACTOR times another row's speed.
times() { awk -v f="$1" -v s="$2" 'BEGIN { printf "%.0f", f * s }'; }
# row NAME MBPS FLOOR: one line of the table; FLOOR "-" for a row without one.
row() {
  local met="-"
  if [ "$3" != "-" ]; then
    met=$(awk -v s="$2" -v f="$3" 'BEGIN { print (s >= f) ? "yes" : "NO" }')
  fi
  printf '| %-52s | %6s | %6s | %-4s |\n' "$1" "$2" "$3" "$met"
}

echo "| what                                                 |   MB/s |  floor | met? |"
echo "|------------------------------------------------------|--------|--------|------|"
ref_real=$(mbps "$real_nme" "$reference" "$real_nme")
ref_sim=$(mbps "$sim_nme" "$reference" "$sim_nme")
row "NMEA decode, real logs (decode --summary)" "$(mbps "$real_nme" "$cli" decode --summary "$real_nme")" \
  "$(times 1.5 "$ref_real")"
row "NMEA decode, simulated (decode --summary)" "$(mbps "$sim_nme" "$cli" decode --summary "$sim_nme")" \
  "$(times 1.5 "$ref_sim")"
row "minmea-style reference reader, real logs" "$ref_real" -
row "minmea-style reference reader, simulated" "$ref_sim" -
row "BINR decode, simulated (decode --summary)" "$(mbps "$sim_dat" "$cli" decode --summary "$sim_dat")" 400
row "BINR2 decode, simulated (decode --summary)" "$(mbps "$sim_b2" "$cli" decode --summary "$sim_b2")" 400
row "JSON output NMEA, real logs (decode)" "$(mbps "$real_nme" "$cli" decode "$real_nme")" 200
row "JSON output NMEA, simulated (decode)" "$(mbps "$sim_nme" "$cli" decode "$sim_nme")" 200
row "JSON output BINR, simulated (decode)" "$(mbps "$sim_dat" "$cli" decode "$sim_dat")" 200
row "JSON output BINR2, simulated (decode)" "$(mbps "$sim_b2" "$cli" decode "$sim_b2")" -
row "conversion BINR to NMEA (convert)" \
  "$(mbps "$sim_dat" "$cli" convert --force "$sim_dat" "$inputs/converted.nme")" -
row "conversion BINR2 to NMEA (convert)" \
  "$(mbps "$sim_b2" "$cli" convert --force "$sim_b2" "$inputs/converted.nme")" -
# The program's own paths, offscreen: fast play of a 50 MB NMEA recording with no
# tool window (floor: 70 % of `veltrano-cli decode --summary` on the same file)
# and with the six tool windows shown (floor: 35 %), and a flood from the
# simulator through a pseudo-terminal into a recording with every window shown
# (floor: 20 MB/s, no byte lost). Wall-clock figures, the median of five rounds
# taken in turn with the decoder run they are compared with; a fast-play round
# is itself the median of three passes after the first.
recording=$(made nmea-50mb.nme "$sim" --seed 2024 --duration 40700 --rate 1 --start 2024-05-01T10:00:00 \
  --lat 55.7522 --lon 37.6156 --height 150 --protocol nmea --write "$inputs/nmea-50mb.nme.part")
median() { sort -g | sed -n 3p; }
decode_mbps() {
  local start end
  start=$(date +%s.%N)
  "$cli" decode --summary "$recording" >/dev/null
  end=$(date +%s.%N)
  awk -v b="$(stat -c %s "$recording")" -v s="$start" -v e="$end" 'BEGIN { printf "%.0f\n", b / 1e6 / (e - s) }'
}
play_mbps() {
  QT_QPA_PLATFORM=offscreen "$build/bench/play/fastplay_bench" --passes 3 "$@" 2>/dev/null |
    awk '/^fastplay / { printf "%.0f\n", $2 }'
}
decoded=() none=() every=() flood=()
for _ in 1 2 3 4 5; do
  decoded+=("$(decode_mbps)") none+=("$(play_mbps --windows none "$recording")")
  every+=("$(play_mbps --windows all "$recording")")
  out=$(QT_QPA_PLATFORM=offscreen "$build/bench/play/liveflood_bench" 2>/dev/null) || echo "live flood: bytes lost" >&2
  flood+=("$(awk '/^liveflood / { printf "%.0f\n", $2 }' <<<"$out")")
done
decoded=$(printf '%s\n' "${decoded[@]}" | median)
row "decode --summary, 50 MB NMEA (wall clock)" "$decoded" -
row "fast play, no tool window" "$(printf '%s\n' "${none[@]}" | median)" "$(times 0.70 "$decoded")"
row "fast play, every tool window" "$(printf '%s\n' "${every[@]}" | median)" "$(times 0.35 "$decoded")"
row "live flood into a recording, every window" "$(printf '%s\n' "${flood[@]}" | median)" 20
echo
echo "MB/s: input bytes (10^6) per second of CPU time, median of $runs runs; $(nproc) cores,"\
  "$(lscpu | sed -n 's/^Model name: *//p' | head -1)."
echo "The decoders' micro-benchmarks: $build/bench/decoders_bench"
