#!/usr/bin/env bash
# The files an installation adds, checked against the programs as built: the
# desktop entry and the AppStream data validate, the manual pages render without
# a warning, every option and command that the programs' --help lists is in
# their manual page and their completion, the AppStream release is the
# program's version, and the program takes the desktop entry's options.
# Usage: check_dist_files.sh VELTRANO VELTRANO_CLI VELTRANO_SIM BUILT_MAN_FOLDER DIST_FOLDER
set -uo pipefail
veltrano=$1 cli=$2 sim=$3 man_folder=$4 dist=$5
app_id=io.github.veltrano.Veltrano
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# The programs answer --help and --version without a display.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

desktop-file-validate "$dist/$app_id.desktop" || fail "desktop-file-validate $app_id.desktop"
appstreamcli validate --no-net "$dist/$app_id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$dist/$app_id.metainfo.xml")"

for page in veltrano veltrano-cli veltrano-sim; do
  file="$man_folder/$page.1.gz"
  warnings=$(MANWIDTH=80 man -l --warnings "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1 renders with warnings: $warnings"
  MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q '^NAME' || fail "$page.1 renders no NAME section"
done

# The options of a usage text: every --long and -x word.
options_of() { grep -oE -- '(^|[][ ,|])--?[a-zA-Z0-9][a-zA-Z0-9-]*' <<<"$1" | sed -E 's/^[][ ,|]//' | sort -u; }
# Whether the manual page names the option, as roff writes it (\-\-name).
in_page() {
  local escaped=${2//-/\\\\-}
  gzip -dc "$1" | grep -qE -- "${escaped}([^a-zA-Z0-9\\\\]|\\\\f|\$)"
}
# Whether the completion offers the word.
in_completion() { grep -qE -- "(^|[ '\"|(])$2([ '\")|]|\$)" "$1"; }

check_options() {  # PROGRAM_NAME USAGE_TEXT [COMPLETION]
  local name=$1 usage=$2 completion=${3:-} option
  [ -n "$(options_of "$usage")" ] || fail "$name: no options found in its usage"
  for option in $(options_of "$usage"); do
    in_page "$man_folder/${name%% *}.1.gz" "$option" || fail "$name: $option is not in the manual page"
    [ -z "$completion" ] || in_completion "$completion" "$option" || fail "$name: $option is not completed"
  done
}

usage=$("$veltrano" --help) || fail "veltrano --help failed"
check_options veltrano "$usage"

usage=$("$sim" --help) || fail "veltrano-sim --help failed"
check_options veltrano-sim "$usage" "$dist/completion/veltrano-sim"

usage=$("$cli" --help) || fail "veltrano-cli --help failed"
commands=$(sed -n '/^commands:/,$p' <<<"$usage" | sed -nE 's/^  ([a-z]+) .*/\1/p')
[ -n "$commands" ] || fail "veltrano-cli --help lists no commands"
for command in $commands; do
  gzip -dc "$man_folder/veltrano-cli.1.gz" | grep -qx "\.SS $command" || fail "veltrano-cli $command has no section"
  in_completion "$dist/completion/veltrano-cli" "$command" || fail "veltrano-cli $command is not completed"
  usage=$("$cli" "$command" --help) || fail "veltrano-cli $command --help failed"
  check_options "veltrano-cli $command" "$usage" "$dist/completion/veltrano-cli"
done

version=$("$veltrano" --version) || fail "veltrano --version failed"
grep -q "<release version=\"${version#veltrano }\"" "$dist/$app_id.metainfo.xml" ||
  fail "the AppStream data has no release $version"

# The desktop entry's options, the file left out, are the program's.
exec_line=$(sed -n 's/^Exec=//p' "$dist/$app_id.desktop")
read -ra words <<<"${exec_line//%f/}"
[ "${words[0]}" = veltrano ] || fail "the desktop entry starts ${words[0]}"
"$veltrano" "${words[@]:1}" --version >/dev/null || fail "veltrano does not take the desktop entry's options"

if ((failures)); then
  echo "$failures checks of the installed files failed"
  exit 1
fi
echo "dist files: all checks passed"
