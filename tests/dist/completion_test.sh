#!/usr/bin/env bash
# The bash completion of veltrano-cli and veltrano-sim: each case is a command
# line whose last word is being completed, and the words offered, sorted.
# Usage: completion_test.sh COMPLETION_FOLDER
set -uo pipefail
folder=${1:?completion folder}
source "$folder/veltrano-cli" || exit 1
source "$folder/veltrano-sim" || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/runs"
touch "$scratch/a.nme" "$scratch/b.DAT" "$scratch/c.b2" "$scratch/notes.txt"
cd "$scratch" || exit 1

failures=0
# check FUNCTION "WORDS" "EXPECTED": WORDS split at spaces; a trailing space
# means an empty word is being completed.
check() {
  local function=$1 line=$2 expected=$3
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  "$function"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
  if [[ $got != "$expected" ]]; then
    echo "FAIL: '$line': expected '$expected', got '$got'"
    failures=$((failures + 1))
  fi
}

check _veltrano_cli 'veltrano-cli ' '--help convert decode export record report send stats sync'
check _veltrano_cli 'veltrano-cli st' 'stats'
check _veltrano_cli 'veltrano-cli s' 'send stats sync'
check _veltrano_cli 'veltrano-cli decode --' '--help --protocol --summary'
check _veltrano_cli 'veltrano-cli convert --protocol ' 'binr binr2'
check _veltrano_cli 'veltrano-cli stats --protocol ' 'binr binr2 nmea'
check _veltrano_cli 'veltrano-cli stats --source g' 'gga gns'
check _veltrano_cli 'veltrano-cli stats --max-hdop ' ''
check _veltrano_cli 'veltrano-cli stats --r' '--ref'
check _veltrano_cli 'veltrano-cli export --' '--3d --diff --format --help --max-hdop --max-vdop --no-obs --protocol --source'
check _veltrano_cli 'veltrano-cli export --format ' 'csv geojson gpx kml'
check _veltrano_cli 'veltrano-cli export -o n' 'notes.txt'
check _veltrano_cli 'veltrano-cli export --format gpx ' 'a.nme b.DAT c.b2 runs'
check _veltrano_cli 'veltrano-cli record --' '--baud --dir --duration --help --port --protocol --raw-data --stats'
check _veltrano_cli 'veltrano-cli record --dir ' 'runs'
check _veltrano_cli 'veltrano-cli record --duration ' ''
check _veltrano_cli 'veltrano-cli record --port ru' 'runs'
check _veltrano_cli 'veltrano-cli sync --port ./r' './runs'
check _veltrano_cli 'veltrano-cli sync --port ./runs ' ''
check _veltrano_cli 'veltrano-cli sync --protocol ' 'binr binr2 nmea'
check _veltrano_cli 'veltrano-cli send --' '--baud --help --hex --port --protocol'
check _veltrano_cli 'veltrano-cli send --protocol binr ' 'elevation filter max-rms pvt-rate pvt-set restart sat-system text'
check _veltrano_cli 'veltrano-cli send --hex --protocol nmea restart ' 'cold warm'
check _veltrano_cli 'veltrano-cli send --protocol nmea restart cold ' ''
check _veltrano_cli 'veltrano-cli send --port ./runs --protocol binr2 pvt-set 2d ' '2d none raim'
check _veltrano_cli 'veltrano-cli send --protocol binr -- sat-system gps g' 'gll gln gps'
check _veltrano_cli 'veltrano-cli send --protocol binr elevation ' ''
check _veltrano_cli 'veltrano-cli report --r' '--radius --ref --ref-statistic'
check _veltrano_cli 'veltrano-cli report --s' '--sky --snr --source --state'
check _veltrano_cli 'veltrano-cli report --g' '--group'
check _veltrano_cli 'veltrano-cli stats ' 'a.nme b.DAT c.b2 runs'
check _veltrano_cli 'veltrano-cli report -o n' 'notes.txt'
check _veltrano_cli 'veltrano-cli frobnicate ' ''
check _veltrano_sim 'veltrano-sim --pro' '--protocol'
check _veltrano_sim 'veltrano-sim --d' '--device --diff --drop-after --duration'
check _veltrano_sim 'veltrano-sim --t' '--talker --tcp --turn'
check _veltrano_sim 'veltrano-sim --tcp ' ''
check _veltrano_sim 'veltrano-sim --noise ' ''
check _veltrano_sim 'veltrano-sim --copy n' 'notes.txt'
check _veltrano_sim 'veltrano-sim --unplug-' '--unplug-after --unplug-for'
check _veltrano_sim 'veltrano-sim --protocol b' 'binr binr2'
check _veltrano_sim 'veltrano-sim --protocol = b' 'binr binr2'
check _veltrano_sim 'veltrano-sim --protocol =' 'binr binr2 nmea'
check _veltrano_sim 'veltrano-sim --talker ' 'GN GP'
check _veltrano_sim 'veltrano-sim --binr-nav ' '88 90'
check _veltrano_sim 'veltrano-sim --sentences GGA,G' 'GGA,GBS GGA,GGA GGA,GNS GGA,GSA GGA,GSV'
check _veltrano_sim 'veltrano-sim --systems ' 'BDS GAL GLN GPS SBAS'
check _veltrano_sim 'veltrano-sim --baud ' ''
check _veltrano_sim 'veltrano-sim --write n' 'notes.txt'

if ((failures)); then
  echo "$failures completion cases failed"
  exit 1
fi
echo "completion: all cases passed"
