#!/usr/bin/env bash
# dialvox.exe in a Wine prefix of its own that lacks our performance provider, so that Wine's
# performance data has no Processor object: the program must refuse to start with a message box.
#   no-provider.sh STATE_DIR CHECK_EXE
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
state=$(mkdir -p "$1" && cd "$1" && pwd)
check=$2

"$root/scripts/wine-prefix.sh" "$state"
export WINEPREFIX=$state/prefix WINEDEBUG=-all LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
status=0
wine "$check" || status=$?
# Nothing of this prefix may outlive the test (nor hold CTest's output pipe open).
wineserver -k || true
exit "$status"
