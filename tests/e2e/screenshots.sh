#!/usr/bin/env bash
# Pictures of the main window for the README, taken from a first start (the settings key is
# cleared first): its three pages at 96 DPI in the build tree's test prefix, and the settings page
# at 120 DPI in a prefix of that DPI. Run it on an X server, for example:
#   xvfb-run -a -s "-screen 0 1024x768x24" tests/e2e/screenshots.sh build/windows docs/screenshots
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
provider=$(find "$build/tools" -name dvxperf.dll -print -quit)
source "$root/scripts/wine-env.sh"
dvx_use_wine "$(dvx_tree_bits "$build")"
export LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8

# Starts Dialvox in the prefix of STATE at DPI, and leaves it running with its window at 370,204.
start() {
  local state=$1 dpi=$2
  DVX_DPI=$dpi "$root/scripts/wine-prefix.sh" "$state" "$provider"
  export WINEPREFIX=$state/prefix
  "$root/tests/support/pty-pair.sh" start "$state/ports" com1 com2
  wine reg delete 'HKCU\Software\Quirvel\Dialvox\Settings' /f >/dev/null 2>&1 || true
  wine "$build/app/dialvox.exe" >/dev/null 2>&1 &
  sleep 4  # start-up, and a few ticks for the values
}
stop() {
  wineserver -k || true
  "$root/tests/support/pty-pair.sh" stop "$1/ports" com1
}

# The window alone: the part of the desktop from its corner on, less the desktop's colour around it.
shoot() {
  xwd -root -silent | convert-im6.q16 xwd:- -crop 560x500+370+204 +repage \
    -bordercolor "$(xwd -root -silent | convert-im6.q16 xwd:- -format '%[pixel:p{0,0}]' info:)" \
    -border 1 -trim +repage "$out/$1.png"
}
# A click on tab N (0..2) of a window shot last as FILE: the three tabs share the window's width,
# their row lies some 36 pixels below its top at 96 DPI.
page() {
  local width dpi=$3
  width=$(identify -format %w "$out/$2.png")
  xdotool mousemove $((370 + width * (2 * $1 + 1) / 6)) $((204 + 36 * dpi / 96)) click 1
  sleep 1
}

start "$build/wine" 96
shoot counters
page 1 counters 96 && shoot settings
page 2 counters 96 && shoot about
stop "$build/wine"

start "$build/wine-120dpi" 120
shoot counters-120dpi
page 1 counters-120dpi 120 && shoot settings-120dpi
rm "$out/counters-120dpi.png"
stop "$build/wine-120dpi"
