#!/usr/bin/env bash
# Speed benchmark: how well dialvox.exe feeds the device under Wine. Prints figures and a verdict
# per target; exits 0 whatever the figures (it is a measurement, not a test).
#   tools/bench/bench.sh
# Environment: BENCH_SECONDS (20) how long each Dialvox run reads frames after the first one;
# BENCH_BUILD_DIR the Windows build tree to build and measure: build/windows where this machine
# runs 32-bit Wine, else build/windows64 (scripts/wine-env.sh).
#
# In one Wine prefix of its own (build/bench), with a warm wineserver, COM1 wired to a pty pair and
# the virtual desktop already up, it runs Dialvox at 50 ms and at 250 ms and reads its frames on
# the far end; beside it, a program that does nothing but tick at the same intervals, one that
# makes on each tick the bare performance-data query that every tick of Dialvox makes (both
# timerprobe.exe), and that query back to back (perfquery.exe).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${BENCH_SECONDS:-20}
source scripts/wine-env.sh
bits=$(dvx_machine_bits)
preset=$(dvx_preset "$bits")
build=${BENCH_BUILD_DIR:-build/$preset}
build=$(mkdir -p "$build" && cd "$build" && pwd)
state=$root/build/bench
intervals=(50 250)

scripts/install-deps.sh
# The frame reader is a Python script; Debian's minimal installs lack Python.
command -v python3 >/dev/null || apt-get install -y -q --no-install-recommends python3
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" --target dialvox dvxperf perfquery timerprobe
bits=$(dvx_tree_bits "$build")
why=$(dvx_why_bits "$bits")
[ -z "${BENCH_BUILD_DIR:-}" ] || why="; asked for by BENCH_BUILD_DIR"
echo "benchmark of the ${bits}-bit build in $build$why"

dvx_use_wine "$bits"
export WINEPREFIX=$state/prefix LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
results=$state/results
mkdir -p "$results"
rm -f "$results"/*

xvfb_pid=
cleanup() {
  trap - EXIT INT TERM
  wineserver -k >/dev/null 2>&1 || true
  tests/support/pty-pair.sh stop "$state/ports" com1 >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display itself and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/xvfb.display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$state/xvfb.display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$state/xvfb.display")
fi
# Wine's desktop process starts with the wineserver and keeps the display it found then.
wineserver -k >/dev/null 2>&1 || true
scripts/wine-prefix.sh "$state" "$build/tools/perfprovider/dvxperf.dll"

# The prefix's wineserver, found by the directory it works in (named after the prefix's device and
# inode), so that its CPU time can be counted beside Dialvox's.
server_dir=$(printf 'server-%s-%x' "$(stat -c %D "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
wineserver_pid() {
  local pid
  for pid in $(pgrep -x "$(basename "$WINESERVER")"); do
    [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == */"$server_dir" ]] && { echo "$pid"; return; }
  done
}

# Every program of the prefix runs in its "shell" desktop; starting it now keeps its start-up out
# of Dialvox's time to the first frame, as on a machine whose desktop is up. Wine ends a desktop a
# few seconds after its last program, so an idle probe (one tick an hour) holds it up throughout:
# otherwise each launch of Dialvox would wait some 400 ms for a new desktop process.
wine explorer /desktop=shell,1024x768 "$build/tools/bench/timerprobe.exe" 3600000 3600000 \
  </dev/null >/dev/null 2>&1 &
for _ in $(seq 100); do
  xwininfo -root -children 2>/dev/null | grep -q '"explorer.exe"' && break
  sleep 0.1
done
tests/support/pty-pair.sh start "$state/ports" com1 device

settings='HKCU\Software\Quirvel\Dialvox\Settings'
set_setting() {
  wine reg add "$settings" /v "$1" /t "$2" /d "$3" /f </dev/null >/dev/null 2>&1
}
set_setting Mode REG_DWORD 1
set_setting Port REG_SZ 1
set_setting MinimizeAtRun REG_DWORD 0

load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "load average before: $(load) ($(nproc) CPUs)"
watch=()
ws=$(wineserver_pid)
[ -z "$ws" ] || watch+=(--watch "wineserver=$ws")
[ -z "$xvfb_pid" ] || watch+=(--watch "xvfb=$xvfb_pid")

# The meter starts its program itself, so it is given the Wine loader, not this script's `wine`.
meter() { python3 tools/bench/tickmeter.py --seconds "$seconds" "${watch[@]}" "$@"; }
for interval in "${intervals[@]}"; do
  set_setting Interval REG_DWORD "$interval"
  echo "dialvox.exe at $interval ms: ${seconds} s of frames..."
  meter --interval "$interval" --device "$state/ports/device" -- "$WINELOADER" "$build/app/dialvox.exe" \
    >"$results/dialvox-$interval.txt" || true
done
# The probes run a little longer than the span measured, and report their own figures at the end.
probe_ms=$((seconds * 1000 + 500))
for interval in "${intervals[@]}"; do
  echo "timerprobe.exe at $interval ms, bare and with the query on each tick: ${seconds} s each..."
  meter --interval "$interval" --let-finish --program-output "$results/timer-$interval.out" -- \
    "$WINELOADER" "$build/tools/bench/timerprobe.exe" "$interval" "$probe_ms" \
    >"$results/timer-$interval.txt" || true
  meter --interval "$interval" --let-finish --program-output "$results/tickquery-$interval.out" -- \
    "$WINELOADER" "$build/tools/bench/timerprobe.exe" "$interval" "$probe_ms" 238 \
    >"$results/tickquery-$interval.txt" || true
done
echo "perfquery.exe: 500 queries back to back..."
wine "$build/tools/bench/perfquery.exe" 500 </dev/null >"$results/query.txt" 2>/dev/null || true
echo "load average after: $(load)"
echo

python3 tools/bench/report.py "$results" || true
