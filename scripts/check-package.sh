#!/usr/bin/env bash
# Lists the contents of a Debian package built by package.sh and checks them:
# the three programs and the report helper, the desktop entry, icons, AppStream
# data, manual pages and completion under /usr, and dependencies found from the
# shared libraries.
# Usage: scripts/check-package.sh build/veltrano_VERSION_amd64.deb
set -euo pipefail
deb=${1:?package file}
app_id=io.github.veltrano.Veltrano
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
echo "== $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends
contents=$(dpkg-deb -c "$deb")
echo "$contents"
paths=$(awk '{print $6}' <<<"$contents")
for path in usr/bin/veltrano usr/bin/veltrano-cli usr/bin/veltrano-cli-report usr/bin/veltrano-sim \
  "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg" "usr/share/icons/hicolor/48x48/apps/$app_id.png" \
  usr/share/man/man1/veltrano.1.gz usr/share/man/man1/veltrano-cli.1.gz usr/share/man/man1/veltrano-sim.1.gz \
  usr/share/bash-completion/completions/veltrano-cli usr/share/bash-completion/completions/veltrano-sim; do
  grep -qx "\./$path" <<<"$paths" || fail "$deb has no /$path"
done
version=$(dpkg-deb -f "$deb" Version)
name=$(basename "$deb")
[ "$name" = "veltrano_${version}_amd64.deb" ] || fail "$name is not named veltrano_VERSION_amd64.deb"
# The packed program runs and is of the package's version.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
program=$(env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/veltrano" --version) || fail "the packed veltrano does not run"
[ "$program" = "veltrano $version" ] || fail "the packed program is '$program', the package $version"
env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/veltrano-cli" report --help >/dev/null ||
  fail "the packed veltrano-cli report does not run its helper"
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 libqt6serialport6 libqt6multimedia6 libc6 qt6-qpa-plugins; do
  grep -q "\b$dependency\b" <<<"$depends" || fail "$deb does not depend on $dependency"
done
if ((failures)); then
  echo "$failures checks of the package failed"
  exit 1
fi
echo "package: all checks passed"
