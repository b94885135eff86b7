#!/usr/bin/env bash
# Runs a Windows test program in a Wine prefix of its own whose display has another DPI (the tree's
# own prefix stays at 96: its wineserver and desktop are shared by the other tests).
#   at-dpi.sh DPI BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
dpi=$1
build=$(cd "$2" && pwd)
shift 2
state=$build/wine-${dpi}dpi

status=0
DVX_DPI=$dpi "$root/cmake/wine-run.sh" "$state" "$@" || status=$?
# Nothing of this prefix may outlive the test (nor hold CTest's output pipe open).
"$root/tests/support/pty-pair.sh" stop "$state/ports" com1 >/dev/null 2>&1 || true
source "$root/scripts/wine-env.sh"
dvx_use_wine "$(dvx_tree_bits "$build")"
WINEPREFIX=$state/prefix wineserver -k >/dev/null 2>&1 || true
exit "$status"
