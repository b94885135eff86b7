#!/usr/bin/env bash
# Prepares a private Wine prefix for Dialvox and keeps its wineserver warm.
#   [DVX_DPI=120] wine-prefix.sh STATE_DIR [PERF_PROVIDER_DLL]
# The caller has chosen the Wine (dvx_use_wine of scripts/wine-env.sh); the prefix is made for it.
# The prefix has Windows' own MS Sans Serif, and the display's DPI is DVX_DPI (96 unless given).
# STATE_DIR/prefix is the prefix; STATE_DIR/ports/comN are the Unix paths that COM1..COM3, COM12
# and COM13 open
# (a socat pty link is put there by whoever wants to talk to the port).
# Safe to call from many processes at once: the first one does the work, the others wait for it.
set -euo pipefail

state=$(mkdir -p "$1" && cd "$1" && pwd)
provider=${2:-}
source "$(dirname "$0")/wine-env.sh"
dvx_use_wine "${DVX_WINE_BITS:?choose the Wine first (scripts/wine-env.sh)}"
export WINEPREFIX=$state/prefix WINEDEBUG=-all LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
mkdir -p "$state/ports"

exec 9>"$state/.lock"
flock 9
# Wine programs started below may leave servers running; none of them may inherit the lock.

# A new wineserver starts Wine's background services with the first program. Start them here with
# their output sent nowhere: they outlive the program and would hold a caller's pipe open.
warm_up() {
  if wineserver -p >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
}

# Windows paths: doubled backslashes inside a .reg file, single ones on a command line.
regpath() { printf 'Z:%s' "$1" | sed 's|/|\\\\|g'; }
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

# The marker holds the bitness the prefix was made for: a prefix of the other one (or one left
# half made) is made afresh.
if [ "$(cat "$WINEPREFIX/.dialvox-ready" 2>/dev/null)" != "$DVX_WINE_BITS" ]; then
  wineserver -k >/dev/null 2>&1 9>&- || true
  rm -rf "$WINEPREFIX"
  wine wineboot.exe -i </dev/null >/dev/null 2>&1 9>&-
  wineserver -w
  reg=$state/prefix-settings.reg
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_LOCAL_MACHINE\Software\Wine\Ports]'
    # COM12 and COM13 stand for ports numbered as USB adapters often are.
    for n in 1 2 3 12 13; do echo "\"COM$n\"=\"$state/ports/com$n\""; done
    echo
    # One virtual desktop for every program of the prefix; Wine gives the desktop named "shell"
    # a taskbar and a tray.
    echo '[HKEY_CURRENT_USER\Software\Wine\Explorer]'
    echo '"Desktop"="shell"'
    echo '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]'
    echo '"shell"="1024x768"'
    echo
    # Test programs that exercise the Windows 98 code paths.
    echo '[HKEY_CURRENT_USER\Software\Wine\AppDefaults\cpuusage_win98_tests.exe]'
    echo '"Version"="win98"'
  } > "$reg"
  wine regedit /S "$(winpath "$reg")" </dev/null >/dev/null 2>&1 9>&-
  # Every tick's performance query walks the prefix's services (the print spooler's provider
  # among them, loaded and freed each time): the prefix keeps only those Dialvox needs.
  "$(dirname "$0")/trim-wine-services.sh" 9>&-
  # Port mappings and the desktop are read when the wineserver's services start.
  wineserver -k || true
  wineserver -w
  echo "$DVX_WINE_BITS" > "$WINEPREFIX/.dialvox-ready"
fi

# Windows' own bitmap MS Sans Serif, in each code page's set and in the 96 and 120 DPI sizes, and
# the title bar's Tahoma and Marlett (the glyphs of its buttons): Wine finds none of them by
# itself, and would draw every text in DejaVu Sans, which Windows never uses. Each program reads
# the fonts when it starts.
fonts=$WINEPREFIX/drive_c/windows/Fonts
[ -e "$fonts/sserifer.fon" ] ||
  cp /usr/share/wine/fonts/{sserif*.fon,marlett.ttf,tahoma.ttf,tahomabd.ttf} "$fonts/"

# The DPI is read when the wineserver's services start.
dpi=${DVX_DPI:-96}
if [ "$(cat "$WINEPREFIX/.dialvox-dpi" 2>/dev/null || echo 96)" != "$dpi" ]; then
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1 9>&-
  done
  wineserver -k >/dev/null 2>&1 9>&- || true
  wineserver -w 9>&-
  echo "$dpi" > "$WINEPREFIX/.dialvox-dpi"
fi

warm_up

# The provider may be built after the prefix was made (a test run of another target first), or in
# another place: register it whenever it differs from the one registered last.
if [ -n "$provider" ]; then
  library=$(readlink -f "$provider")
  if [ "$(cat "$WINEPREFIX/.dialvox-perf-provider" 2>/dev/null)" != "$library" ]; then
    reg=$state/perf-provider.reg
    {
      echo 'REGEDIT4'
      echo
      echo '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\DialvoxPerf\Performance]'
      echo "\"Library\"=\"$(regpath "$library")\""
      echo '"Open"="PerfOpen"'
      echo '"Collect"="PerfCollect"'
      echo '"Close"="PerfClose"'
    } > "$reg"
    wine regedit /S "$(winpath "$reg")" </dev/null >/dev/null 2>&1 9>&-
    echo "$library" > "$WINEPREFIX/.dialvox-perf-provider"
  fi
fi
