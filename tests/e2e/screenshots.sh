#!/usr/bin/env bash
# Pictures of the main window's three pages for the README, taken from a first start in the build
# tree's test prefix (the settings key is cleared first). Run it on an X server, for example:
#   xvfb-run -a -s "-screen 0 1024x768x24" tests/e2e/screenshots.sh build/windows docs/screenshots
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
state=$build/wine

source "$root/scripts/wine-env.sh"
dvx_use_wine "$(dvx_tree_bits "$build")"
"$root/scripts/wine-prefix.sh" "$state" "$(find "$build/tools" -name dvxperf.dll -print -quit)"
export WINEPREFIX=$state/prefix LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
"$root/tests/support/pty-pair.sh" start "$state/ports" com1 com2
wine reg delete 'HKCU\Software\Quirvel\Dialvox\Settings' /f >/dev/null 2>&1 || true
wine "$build/app/dialvox.exe" >/dev/null 2>&1 &
sleep 4  # start-up, and a few ticks for the values

# The window as designed: its frame at 370,204, 307 × 319 with the border and caption of the
# virtual desktop; the tabs are 94 pixels wide, the first centred at 430,240.
shoot() { xwd -root -silent | convert-im6.q16 xwd:- -crop 307x319+370+204 +repage "$out/$1.png"; }
page() { xdotool mousemove "$1" 240 click 1; sleep 1; }
shoot counters
page 524 && shoot settings
page 618 && shoot about

wineserver -k || true
"$root/tests/support/pty-pair.sh" stop "$state/ports" com1
