#!/usr/bin/env bash
# dialvox.exe in a Wine prefix of its own that lacks our performance provider, so that Wine's
# performance data has no Processor object: the program must refuse to start with a message box.
#   no-provider.sh BUILD_DIR STATE_DIR CHECK_EXE
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
build=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
check=$3

source "$root/scripts/wine-env.sh"
dvx_use_wine "$(dvx_tree_bits "$build")"
"$root/scripts/wine-prefix.sh" "$state"
export WINEPREFIX=$state/prefix LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
status=0
wine "$check" || status=$?
# Nothing of this prefix may outlive the test (nor hold CTest's output pipe open).
wineserver -k || true
exit "$status"
