#!/usr/bin/env bash
# Builds the Debian package build/veltrano_<version>_amd64.deb with CPack from
# the optimised tree build/run, and prints its path. Install it with
# `apt install ./build/veltrano_*.deb`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build-run.sh" >&2
rm -f "$root"/build/veltrano_*.deb
cd "$root/build/run"
cpack -G DEB -B "$root/build/package" >/dev/null
mv "$root"/build/package/veltrano_*_amd64.deb "$root/build/"
ls "$root"/build/veltrano_*_amd64.deb
