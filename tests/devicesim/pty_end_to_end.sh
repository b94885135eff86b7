#!/usr/bin/env bash
# devicesim on one end of a socat pty pair, frames written into the other end as Dialvox would.
# Usage: pty_end_to_end.sh path/to/devicesim
set -euo pipefail
sim=$1
command -v socat >/dev/null || { echo "socat is not installed"; exit 77; }

dir=$(mktemp -d)
socat_pid=
cleanup() {
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT

socat pty,raw,echo=0,link="$dir/device" pty,raw,echo=0,link="$dir/port" 2>"$dir/socat.err" &
socat_pid=$!
for _ in $(seq 50); do
  [ -e "$dir/device" ] && [ -e "$dir/port" ] && break
  sleep 0.1
done
[ -e "$dir/device" ] && [ -e "$dir/port" ] || { echo "socat made no pty pair"; cat "$dir/socat.err"; exit 1; }

timeout 10 "$sim" --frames 3 "$dir/device" >"$dir/out" 2>"$dir/err" &
sim_pid=$!
sleep 0.3
# Noise first, then an eight-channel frame with header bytes in its data, a frame with a bad
# checksum, and both calibration frames.
printf '\x05\x11' >"$dir/port"
printf '\x11\x22\x05\x11\x22\x07\x11\x09\x22\x0a\x01' >"$dir/port"
printf '\x11\x22\x01\x02\x03\x04\x05\x06\x07\x08\x09' >"$dir/port"
printf '\x11\x22\xff\xff\xff\xff\xff\xff\xff\xff\x00\x11\x22\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$dir/port"
status=0
wait "$sim_pid" || status=$?

expected='eight-channel 1:5=1.96% 2:17=6.67% 3:34=13.33% 4:7=2.75% 5:17=6.67% 6:9=3.53% 7:34=13.33% 8:10=3.92%
calibration-100% 1:255=100.00% 2:255=100.00% 3:255=100.00% 4:255=100.00% 5:255=100.00% 6:255=100.00% 7:255=100.00% 8:255=100.00%
calibration-0% 1:0=0.00% 2:0=0.00% 3:0=0.00% 4:0=0.00% 5:0=0.00% 6:0=0.00% 7:0=0.00% 8:0=0.00%'
# The first field is the time since the start, which varies.
actual=$(cut -d' ' -f2- "$dir/out")
summary=$(cat "$dir/err")

fail=0
[ "$status" -eq 0 ] || { echo "devicesim exited with $status"; fail=1; }
[ "$actual" = "$expected" ] || { printf 'expected:\n%s\nactual:\n%s\n' "$expected" "$actual"; fail=1; }
[ "$summary" = "devicesim: good 3, bad 1, skipped 13 bytes" ] || { echo "summary: $summary"; fail=1; }
[ "$fail" -eq 0 ] && echo "three frames decoded from the pty"
exit $fail
