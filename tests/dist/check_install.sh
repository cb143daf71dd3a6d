#!/usr/bin/env bash
# `cmake --install` of a build into a scratch prefix: exactly the expected files
# land there, the AppStream data finds its desktop entry and icon, the programs
# run from it (veltrano-cli report through its helper beside it), the icons are
# PNG pictures of their sizes, and the program, started as the installed desktop
# entry starts it, works in ~/VELTRANO, which it creates.
# Usage: check_install.sh BUILD_FOLDER
set -uo pipefail
build=${1:?build folder}
app_id=io.github.veltrano.Veltrano
icon_sizes=(16 22 24 32 48 64 128 256)
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
scratch=$(mktemp -d)
program=
cleanup() {
  [ -z "$program" ] || kill "$program" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
prefix=$scratch/usr
if ! cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

expected=(
  bin/veltrano bin/veltrano-cli bin/veltrano-cli-report bin/veltrano-sim
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  share/man/man1/veltrano.1.gz share/man/man1/veltrano-cli.1.gz share/man/man1/veltrano-sim.1.gz
  share/bash-completion/completions/veltrano-cli share/bash-completion/completions/veltrano-sim
)
for size in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${size}x$size/apps/$app_id.png"); done
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
differences=$(diff <(printf '%s\n' "${expected[@]}" | sort) <(printf '%s\n' "$installed"))
[ -z "$differences" ] || fail "the installed files differ (< expected, > installed):"$'\n'"$differences"

# The AppStream data against the installed desktop entry and icons.
appstreamcli validate-tree --no-net "$scratch" >"$scratch/validate.log" 2>&1 ||
  fail "appstreamcli validate-tree: $(cat "$scratch/validate.log")"

unset DISPLAY WAYLAND_DISPLAY
for command in veltrano veltrano-cli veltrano-sim; do
  "$prefix/bin/$command" --help >/dev/null || fail "the installed $command --help failed"
done
# report runs the helper installed beside veltrano-cli.
"$prefix/bin/veltrano-cli" report --help >/dev/null || fail "the installed veltrano-cli report --help failed"

# A PNG file: its signature, then the header's width and height, big-endian, at bytes 16 to 23.
for size in "${icon_sizes[@]}"; do
  png="$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png"
  bytes=($(od -An -tu1 -N24 "$png" 2>/dev/null))
  ((${#bytes[@]} == 24)) || { fail "$png is too short"; continue; }
  [ "${bytes[*]:0:4}" = "137 80 78 71" ] || fail "$png is no PNG picture"
  width=$(((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19]))
  height=$(((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23]))
  [ "$width x $height" = "$size x $size" ] || fail "$png is $width x $height"
done

# The desktop entry's start, as a desktop runs it: the Exec line without the
# file field, found on the PATH, from the home folder.
home=$scratch/home
mkdir -p "$home"
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app_id.desktop")
read -ra words <<<"${exec_line//%f/}"
(cd "$home" && HOME=$home PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen exec "${words[@]}" \
  >"$scratch/program.log" 2>&1) &
program=$!
folder=
for _ in $(seq 600); do
  folder=$(readlink "/proc/$program/cwd" 2>/dev/null)
  [ "$folder" = "$home/VELTRANO" ] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
[ -d "$home/VELTRANO" ] || fail "the desktop start did not create ~/VELTRANO"
[ "$folder" = "$home/VELTRANO" ] || fail "the desktop start works in '$folder', not ~/VELTRANO: $(cat "$scratch/program.log")"

if ((failures)); then
  echo "$failures checks of the installation failed"
  exit 1
fi
echo "installation: all checks passed"
