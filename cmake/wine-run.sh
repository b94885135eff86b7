#!/usr/bin/env bash
# Runs a Windows binary under Wine in the build tree's own prefix (CTest's cross-compiling emulator).
#   wine-run.sh STATE_DIR program.exe [args...]      STATE_DIR is the tree's wine/ directory
set -Eeuo pipefail
# A test that fails before its program starts says where, rather than dying without a word.
trap 'echo "wine-run.sh: line $LINENO failed (exit $?)" >&2' ERR
# Wine takes only an absolute WINEPREFIX; callers may name the state directory relative to here.
state=$(mkdir -p "$1" && cd "$1" && pwd)
shift
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
build=$(dirname "$state")
source "$root/scripts/wine-env.sh"
dvx_use_wine "$(dvx_tree_bits "$build")"
provider=$(find "$build/tools" -name dvxperf.dll -print -quit 2>/dev/null || true)
"$root/scripts/wine-prefix.sh" "$state" "$provider"
export WINEPREFIX=$state/prefix LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
export DVX_PORTS_DIR=$state/ports
exec "$WINELOADER" "$@"
