#!/usr/bin/env bash
# Builds the benchmarks in a release build and runs them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRANO_BENCH=ON -DVELTRANO_TESTS=OFF >/dev/null
cmake --build "$build" --target decoders_bench
"$build/bench/decoders_bench" "$@"

# ---- The program's own paths, offscreen: fast play and a live flood ----------
# Fast play of a 50 MB NMEA recording through the program, with no tool window
# (floor: 70 % of `veltrano-cli decode --summary` on the same file) and with the
# six tool windows shown (floor: 35 %); a flood from the receiver simulator
# through a pseudo-terminal into a recording with every window shown (floor:
# 20 MB/s, and no byte lost). Each figure is the median of three runs taken in
# turn with the decoder run it is compared with.
type row >/dev/null 2>&1 || row() { printf '%-34s %8.1f MB/s  (floor %.1f)\n' "$1" "$2" "$3"; }
cmake --build "$build" --target fastplay_bench liveflood_bench veltrano-cli veltrano-sim >/dev/null
recording="$build/nmea-50mb.nme"
[ -f "$recording" ] || "$build/tools/sim/veltrano-sim" --seed 2024 --duration 40700 --rate 1 \
  --start 2024-05-01T10:00:00 --lat 55.7522 --lon 37.6156 --height 150 --protocol nmea --write "$recording" 2>/dev/null
median() { sort -g | sed -n 2p; }
decode_mbps() {
  local start end
  start=$(date +%s.%N)
  "$build/tools/cli/veltrano-cli" decode --summary "$recording" >/dev/null
  end=$(date +%s.%N)
  awk -v b="$(stat -c %s "$recording")" -v s="$start" -v e="$end" 'BEGIN { printf "%.1f\n", b / 1e6 / (e - s) }'
}
play_mbps() { QT_QPA_PLATFORM=offscreen "$build/bench/play/fastplay_bench" --passes 1 "$@" 2>/dev/null | awk '/^fastplay / { print $2 }'; }
decoded=() none=() every=()
for _ in 1 2 3; do
  decoded+=("$(decode_mbps)") none+=("$(play_mbps --windows none "$recording")") every+=("$(play_mbps --windows all "$recording")")
done
decoded=$(printf '%s\n' "${decoded[@]}" | median)
row "fast play, no tool window" "$(printf '%s\n' "${none[@]}" | median)" "$(awk -v d="$decoded" 'BEGIN { print 0.70 * d }')"
row "fast play, every tool window" "$(printf '%s\n' "${every[@]}" | median)" "$(awk -v d="$decoded" 'BEGIN { print 0.35 * d }')"
flood=()
for _ in 1 2 3; do
  out=$(QT_QPA_PLATFORM=offscreen "$build/bench/play/liveflood_bench" 2>/dev/null) || echo "live flood: bytes lost" >&2
  flood+=("$(awk '/^liveflood / { print $2 }' <<<"$out")")
done
row "live flood into a recording" "$(printf '%s\n' "${flood[@]}" | median)" 20
