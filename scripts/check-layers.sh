#!/usr/bin/env bash
# Checks that the #include "..." lines of src/, tools/ and tests/ only reach down
# the layers of the program, and that the bottom layers include no Qt header.
# Usage: scripts/check-layers.sh [ROOT]   (ROOT: the tree to check, default this repository)
# Prints one line per violation, "file:line: includes X (layer A may not include layer B)",
# and exits 1 if there is any, 0 if there is none, 2 if ROOT is not a tree to check.
set -euo pipefail

# ---------------------------------------------------------------------------
# The rules. A row names a folder (or one file) and the layers its files may
# include. A layer is a folder of src/ or tools/; "src/*" is every folder of
# src/. A row "tests/X" repeats the row of src/X (tests/cli: of tools/cli): for
# the files under tests/ only their includes of src/ headers are checked, and
# they may include every test helper under tests/ and every header of tools/.
# A file whose folder has no row is reported too: a new folder needs a row.
#
#  folder             may include
RULES='
   src/decoding       src/decoding src/util
   src/util           src/util
   src/link           src/decoding src/util src/link
   src/displays       src/decoding src/util src/link src/displays
   src/control        src/decoding src/util src/link src/displays src/control
   src/mainwindow     src/*
   src/main.cpp       src/*
   tools/cli/report_command.cpp  src/* tools/cli
   tools/cli/live_options.cpp    src/decoding src/util src/link tools/cli
   tools/cli/live_session.h      src/decoding src/util src/link tools/cli
   tools/cli/live_session.cpp    src/decoding src/util src/link tools/cli
   tools/cli/control_arguments.h src/decoding src/util src/control tools/cli
   tools/cli/send_command.cpp    src/decoding src/util src/link src/control tools/cli
   tools/cli          src/decoding src/util tools/cli
   tools/sim          src/decoding src/util tools/sim
   tests/decoding     src/decoding src/util
   tests/util         src/util
   tests/link         src/decoding src/util src/link
   tests/displays     src/decoding src/util src/link src/displays
   tests/control      src/decoding src/util src/link src/displays src/control
   tests/mainwindow   src/*
   tests/cli          src/decoding src/util
   tests/tools        src/decoding src/util
   tests/fuzz         src/decoding src/util src/link src/displays
   tests              src/*
'
# report_command.cpp plays recordings through the program's windows; the files
# of the live commands (sync, record, send) use the link and the Control
# window's commands, neither of which needs a widget. tests/tools checks the
# simulator's output with the decoders; tests/fuzz feeds the decoders, the
# command framing and the windows; "tests" is the files directly in tests/ (the
# window tests' main).
#
# Folders whose files may not include Qt headers (#include <Q...>).
NO_QT='src/decoding src/util'
#
# An include "P" is looked up, in this order, as P relative to the including
# file's folder, src/P and tools/P (the include roots of the build): the first
# that exists, else the first whose folder exists. Includes that lead outside
# src/, tools/ and tests/ are not checked. tests/layers (the fixture trees of
# this script's own test) is not checked.
# ---------------------------------------------------------------------------

default_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${1:-$default_root}
if [ ! -d "$root/src" ]; then
  echo "check-layers: $root has no src/ folder" >&2
  exit 2
fi
cd "$root"

declare -A allowed=()
while read -r folder layers; do
  [ -n "$folder" ] && allowed[$folder]=$layers
done <<<"$RULES"

# Sets REPLY to the path without "." and ".." parts, or to "" when it leaves the root.
normalise() {
  local IFS=/ part
  local -a parts out=()
  read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    case $part in
      '' | .) ;;
      ..)
        if ((${#out[@]} == 0)); then
          REPLY=
          return
        fi
        unset 'out[${#out[@]}-1]'
        ;;
      *) out+=("$part") ;;
    esac
  done
  REPLY="${out[*]}"
}

# Sets REPLY to the root-relative path that file $1's #include "$2" names, or "".
resolve() {
  local candidate
  local -a candidates=("${1%/*}/$2" "src/$2" "tools/$2")
  REPLY=
  [[ $2 == /* ]] && return
  for candidate in "${candidates[@]}"; do
    normalise "$candidate"
    [ -n "$REPLY" ] && [ -f "$REPLY" ] && return
  done
  for candidate in "${candidates[@]}"; do
    normalise "$candidate"
    [[ $REPLY == */* ]] && [ -d "${REPLY%/*}" ] && return
  done
  REPLY=
}

# Sets REPLY to the layer of a root-relative path: src/X, tools/X, tests, or "" outside them.
layer_of() {
  local rest
  case $1 in
    src/*/* | tools/*/*)
      rest=${1#*/}
      REPLY=${1%%/*}/${rest%%/*}
      ;;
    src/* | tools/*) REPLY=$1 ;;
    tests/*) REPLY=tests ;;
    *) REPLY= ;;
  esac
}

# Sets REPLY to the row that rules file $1: its own, src/X, tools/X, tests/X, or tests.
row_of() {
  local rest
  if [[ -n ${allowed[$1]+set} ]]; then
    REPLY=$1  # a row of its own
    return
  fi
  case $1 in
    tests/*/*)
      rest=${1#tests/}
      REPLY=tests/${rest%%/*}
      ;;
    tests/*) REPLY=tests ;;
    *) layer_of "$1" ;;
  esac
}

# Whether row $1 may include a header of layer $2.
may_include() {
  local row=$1 target=$2 layer
  local -a layers
  [ -z "$target" ] && return 0
  if [[ $row == tests || $row == tests/* ]]; then
    [[ $target == tests || $target == tools/* ]] && return 0
  fi
  read -ra layers <<<"${allowed[$row]}"
  for layer in "${layers[@]}"; do
    [[ $target == "$layer" ]] && return 0
    [[ $layer == 'src/*' && $target == src/* ]] && return 0
  done
  return 1
}

files=()
for top in src tools tests; do
  [ -d "$top" ] || continue
  while IFS= read -r -d '' file; do
    files+=("$file")
  done < <(find "$top" -path tests/layers -prune -o -type f \
    \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print0)
done
mapfile -t files < <(printf '%s\n' "${files[@]}" | LC_ALL=C sort)

violations=0
for file in "${files[@]}"; do
  [ -n "$file" ] || continue
  row_of "$file"
  row=$REPLY
  if [ -z "${allowed[$row]+set}" ]; then
    echo "$file: in no layer ($row has no row in the rules)"
    violations=$((violations + 1))
    continue
  fi
  no_qt=0
  [[ " $NO_QT " == *" $row "* ]] && no_qt=1
  while IFS=: read -r line text; do
    text=${text%$'\r'}
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      included=${BASH_REMATCH[1]}
      resolve "$file" "$included"
      layer_of "$REPLY"
      target=$REPLY
      if ! may_include "$row" "$target"; then
        echo "$file:$line: includes $included (layer $row may not include layer $target)"
        violations=$((violations + 1))
      fi
    elif ((no_qt)) && [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[^\>]*)\> ]]; then
      echo "$file:$line: includes <${BASH_REMATCH[1]}> (layer $row may not include layer Qt)"
      violations=$((violations + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done

if ((violations)); then
  echo "check-layers: $violations violation(s)" >&2
  exit 1
fi
