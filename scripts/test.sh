#!/usr/bin/env bash
# Installs what is missing, builds the trees and runs every test:
#   the Windows tests under Wine on a private X server (Xvfb), each tree in a Wine prefix made
#   afresh for this run: the 32-bit build we ship and its 64-bit twin where 32-bit Wine runs,
#   else the twin alone (DVX_WINDOWS_BITS=64 asks for the twin alone anywhere);
#   the host tests of the platform-free code with AddressSanitizer and UndefinedBehaviorSanitizer,
#   which include a bounded libFuzzer run over the performance data walk.
# Both Windows builds are made on every machine, and each build checks its imports.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
source scripts/wine-env.sh
read -r -a test_bits <<<"$(dvx_test_bits)"

for preset in windows windows64 host; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done

status=0
for bits in "${test_bits[@]}"; do
  preset=$(dvx_preset "$bits")
  echo "Windows tests: the ${bits}-bit build (build/$preset) under ${bits}-bit Wine"
  (
    dvx_use_wine "$bits"
    wine_state=$PWD/build/$preset/wine
    stop_wine() { WINEPREFIX=$wine_state/prefix wineserver -k >/dev/null 2>&1 || true; }
    stop_wine
    # The tree's prefix and those of the tests that need one of their own (another DPI).
    rm -rf "$wine_state" "$wine_state"-*
    trap stop_wine EXIT
    # A Windows test that fails is run once more before it counts as failed: under Wine on a busy
    # machine a desktop or window can be late now and then. A real fault fails both times.
    xvfb-run -a -s "-screen 0 1024x768x24" \
      ctest --preset "$preset" --parallel 2 --no-tests=error --repeat until-pass:2
  ) || status=1
done
ctest --preset host --parallel 2 --no-tests=error || status=1

if [ "${#test_bits[@]}" = 2 ]; then
  echo "Windows tests ran on the 32-bit build we ship and on its 64-bit twin."
else
  echo "Windows tests ran on the 64-bit build only$(dvx_why_bits 64)."
fi
exit $status
