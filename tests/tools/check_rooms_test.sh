#!/usr/bin/env bash
# The room check on small planted trees: it passes a clean one and fails each broken wall.
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

plant() {  # plant FILE CONTENT
  mkdir -p "$tree/$(dirname "$1")"
  printf '%s\n' "$2" >"$tree/$1"
}
expect() {  # expect STATUS WHAT
  "$check" "$tree" >"$tree.out" 2>&1
  local status=$?
  if [ "$status" -ne "$1" ]; then
    echo "FAIL: $2: exit $status, wanted $1"
    cat "$tree.out"
    failures=$((failures + 1))
  else
    echo "ok: $2"
  fi
}

plant core/clock.h '#pragma once'
plant camera/capture.cpp '#include "core/clock.h"'
plant camera/ui/dialog.cpp $'#include <QDialog>\n#include "camera/capture.h"'
plant app/ui/frame.cpp $'#include "camera/ui/dialog.h"\n#include "core/clock.h"'
expect 0 "rooms in layers"

plant core/session.h '#include "camera/capture_state.h"'
expect 1 "a planted cycle core -> camera -> core"
rm "$tree/core/session.h"

plant guiding/guide.cpp '#include "app/ui/frame.h"'
expect 1 "a room including the top floor"
rm "$tree/guiding/guide.cpp"

plant camera/readout.cpp '#include <QString>'
expect 1 "Qt outside a ui folder"
rm "$tree/camera/readout.cpp"

plant camera/readout.cpp '#include "camera/ui/dialog.h"'
expect 1 "a core file including a window file"
rm "$tree/camera/readout.cpp"

expect 0 "the clean tree again"
rm -f "$tree.out"
[ "$failures" -eq 0 ]
