#!/usr/bin/env bash
# Builds Dialvox and runs it under Wine.
#   scripts/run.sh                       COM1 is wired to the device simulator, which shows in this
#                                        terminal what the load indicator would show.
#   scripts/run.sh --device /dev/ttyUSB0 COM1 is that serial device: the real load indicator.
# Uses your X display when there is one, otherwise a private Xvfb (a screenshot is saved every few
# seconds; its path is printed). Ctrl+C ends Dialvox (as at the end of a Windows session: the
# needles at rest, the settings stored), Wine, the serial link and the simulator.
# It runs the 32-bit dialvox.exe where 32-bit Wine runs, else the 64-bit one
# (DVX_WINDOWS_BITS=64 asks for that anywhere).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

device=
case "${1:-}" in
  "") ;;
  --device) device=${2:?"usage: $0 [--device /dev/ttyUSB0]"} ;;
  *) echo "usage: $0 [--device /dev/ttyUSB0]" >&2; exit 2 ;;
esac
# Wine opens the device as whoever runs it: without read and write access every write fails.
if [ -n "$device" ]; then
  device=$(readlink -f "$device")
  if [ ! -c "$device" ]; then
    echo "run.sh: $device is not a serial device (is the adapter plugged in?)" >&2
    exit 1
  fi
  if [ ! -r "$device" ] || [ ! -w "$device" ]; then
    group=$(stat -c %G "$device")
    if [ "$group" = root ]; then
      echo "run.sh: you may not read and write $device, which only root may use" >&2
    else
      echo "run.sh: you may not read and write $device: join its group, e.g." \
           "'sudo adduser $(id -un) $group', and log in again" >&2
    fi
    exit 1
  fi
fi

scripts/install-deps.sh
source scripts/wine-env.sh
bits=$(dvx_machine_bits)
preset=$(dvx_preset "$bits")
build=$root/build/$preset
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target dialvox dvxperf
cmake --preset host >/dev/null
cmake --build --preset host --target devicesim

# A prefix of its own, kept between runs: Dialvox's settings live in its registry.
state=$root/build/run
provider=$build/tools/perfprovider/dvxperf.dll
dvx_use_wine "$bits"
export WINEPREFIX=$state/prefix LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
echo "Dialvox: the ${bits}-bit build ($build/app/dialvox.exe)$(dvx_why_bits "$bits")"

# Ctrl+C reaches every process of the terminal's foreground group, and Wine's programs end on it
# at once. What must outlive it until Dialvox has been ended as at the end of a Windows session
# (the X server, Dialvox, the simulator that shows its last frame) runs in a session of its own.
pids=()
cleanup() {
  trap - EXIT
  # Dialvox ends as at the end of a Windows session: the device's needles at rest, the settings
  # stored. Then whatever is left of the prefix goes.
  timeout 20 "$WINELOADER" wineboot.exe --end-session </dev/null >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$device" ] || tests/support/pty-pair.sh stop "$state/ports" com1 >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap "exit 130" INT TERM

if [ -z "${DISPLAY:-}" ]; then
  display=:$((90 + RANDOM % 100))
  setsid Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  shot=$state/screenshot.png
  echo "No display: Dialvox runs on Xvfb $DISPLAY; a screenshot is saved to $shot every 5 s."
  (while sleep 5; do
     xwd -root -silent | convert-im6.q16 xwd:- "$shot.tmp.png" 2>/dev/null && mv "$shot.tmp.png" "$shot"
   done) &
  pids+=($!)
fi

# Wine's desktop process starts with the wineserver and keeps the display it found then.
wineserver -k >/dev/null 2>&1 || true
scripts/wine-prefix.sh "$state" "$provider"
# On every start: a Wine update (its `wineboot -u`) puts the services back, and a prefix made
# before the trimming has them all; every tick's query walks them.
scripts/trim-wine-services.sh

# COM1 of the prefix opens whatever $state/ports/com1 leads to, at every open.
if [ -n "$device" ]; then
  echo "COM1 is the serial device $device"
  ln -sfn "$device" "$state/ports/com1"
else
  echo "COM1 is wired to the device simulator"
  tests/support/pty-pair.sh start "$state/ports" com1 device
fi
# The prefix runs every program in one virtual desktop, which has a taskbar and a tray. The loader
# process is Dialvox's own: it ends when Dialvox does.
setsid "$WINELOADER" "$build/app/dialvox.exe" </dev/null >/dev/null 2>&1 &
dialvox_pid=$!
pids+=($dialvox_pid)

if [ -n "$device" ]; then
  echo "Dialvox feeds $device until you close it (or press Ctrl+C)."
  wait "$dialvox_pid" || true
else
  # In the background, so that the shell's trap runs at Ctrl+C while the simulator reads on.
  setsid "$root/build/host/tools/devicesim/devicesim" "$state/ports/device" </dev/null &
  pids+=($!)
  wait $! || true
fi
