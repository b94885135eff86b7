#!/usr/bin/env bash
# Installs what is missing, builds the trees and runs every test:
#   the Windows tests under Wine on a private X server (Xvfb), in a Wine prefix made afresh for this
#   run: on the 32-bit build we ship where 32-bit Wine runs, else on its 64-bit twin
#   (DVX_WINDOWS_BITS=64 asks for the twin anywhere);
#   the host tests of the platform-free code with AddressSanitizer and UndefinedBehaviorSanitizer,
#   which include a bounded libFuzzer run over the performance data walk.
# The 32-bit dialvox.exe is built on every machine, and its build checks its imports.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
source scripts/wine-env.sh
bits=$(dvx_machine_bits)
preset=$(dvx_preset "$bits")

cmake --preset windows
cmake --build --preset windows
if [ "$preset" != windows ]; then
  cmake --preset "$preset"
  cmake --build --preset "$preset"
fi
cmake --preset host
cmake --build --preset host

if [ "$bits" = 32 ]; then
  echo "Windows tests: the 32-bit build (build/windows) under 32-bit Wine"
else
  echo "Windows tests: the 64-bit build (build/windows64) under 64-bit Wine$(dvx_why_bits 64)"
fi
dvx_use_wine "$bits"
wine_state=$PWD/build/$preset/wine
stop_wine() { WINEPREFIX=$wine_state/prefix wineserver -k >/dev/null 2>&1 || true; }
stop_wine
rm -rf "$wine_state"
trap stop_wine EXIT

status=0
# A Windows test that fails is run once more before it counts as failed: under Wine on a busy
# machine a desktop or window can be late now and then. A real fault fails both times.
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --preset "$preset" --parallel 2 --no-tests=error --repeat until-pass:2 || status=1
stop_wine
ctest --preset host --parallel 2 --no-tests=error || status=1
echo "Windows tests ran on the ${bits}-bit build$(dvx_why_bits "$bits")."
exit $status
