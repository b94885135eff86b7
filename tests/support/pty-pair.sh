#!/usr/bin/env bash
# A pair of connected pseudo-terminals standing in for a serial cable: whatever is written to one
# end comes out of the other. Tests map COM ports to the ends (Wine resolves the mapping at every
# open), so stopping the pair is a device pulled out and starting it again is the device back.
#   pty-pair.sh start DIR NAME_A NAME_B   links DIR/NAME_A and DIR/NAME_B to the two ends; returns
#                                         once both exist. A pair already running under NAME_A is
#                                         stopped first.
#   pty-pair.sh stop DIR NAME_A           ends that pair and removes its links; returns once it is gone.
#   pty-pair.sh hold|release DIR NAME     stops (starts again) the output of end NAME: whoever
#                                         writes to it blocks, as before a device that takes nothing.
# DIR/pair-NAME_A.pid exists exactly while the pair is up, so a Windows program, which cannot wait
# for a Unix process it started, can watch for it. (Not NAME_A.pid: Windows takes "com1.pid" for
# the device COM1, as it does "com1" itself.) socat's own messages go to DIR/pair-NAME_A.log.
set -euo pipefail

usage() {
  echo "usage: $0 start DIR NAME_A NAME_B | stop DIR NAME_A | hold|release DIR NAME" >&2
  exit 2
}

# Waits up to 10 s for a shell condition.
wait_for() {
  local tries=200
  until eval "$1"; do
    tries=$((tries - 1))
    if [ "$tries" -le 0 ]; then
      echo "pty-pair: timed out waiting for: $1" >&2
      return 1
    fi
    sleep 0.05
  done
}

# A killed socat lingers as a zombie until whoever inherited it reaps it; that counts as gone.
running() {
  local state
  state=$(ps -o stat= -p "$1") || return 1
  [[ $state != Z* ]]
}

stop_pair() {
  local dir=$1 a=$2
  local pidfile=$dir/pair-$a.pid
  [ -f "$pidfile" ] || return 0
  local pid links
  pid=$(sed -n 1p "$pidfile")
  links=$(sed -n '2,$p' "$pidfile")
  if kill "$pid" 2>/dev/null; then
    wait_for "! running $pid"
  fi
  # The links outlive socat when it is killed hard; a stale link must not pass for a live pair.
  local link
  for link in $links; do rm -f "$link"; done
  rm -f "$pidfile"
}

start_pair() {
  local dir=$1 a=$2 b=$3
  mkdir -p "$dir"
  stop_pair "$dir" "$a"
  rm -f "$dir/$a" "$dir/$b"
  # setsid and the redirections keep socat off the caller's terminal and pipes: a test runner
  # waits for its test's output to close, and socat outlives the test that started it.
  setsid socat "pty,raw,echo=0,link=$dir/$a" "pty,raw,echo=0,link=$dir/$b" \
    </dev/null >"$dir/pair-$a.log" 2>&1 &
  local pid=$!
  if ! wait_for "[ -e '$dir/$a' ] && [ -e '$dir/$b' ]"; then
    kill "$pid" 2>/dev/null || true
    rm -f "$dir/$a" "$dir/$b"
    return 1
  fi
  # Written whole under another name and renamed, so that nobody reads half of it.
  printf '%s\n%s\n%s\n' "$pid" "$dir/$a" "$dir/$b" >"$dir/pair-$a.pid.new"
  mv "$dir/pair-$a.pid.new" "$dir/pair-$a.pid"
}

# tcflow on the end itself: its output stays stopped after the helper has closed it.
flow() {
  perl -MPOSIX -MFcntl -e 'sysopen(my $end, $ARGV[0], O_RDWR | O_NOCTTY | O_NONBLOCK) or die "$ARGV[0]: $!\n";
    tcflow(fileno($end), $ARGV[1] eq "hold" ? TCOOFF : TCOON) or die "tcflow: $!\n"' "$2/$3" "$1"
}

[ $# -ge 1 ] || usage
case $1 in
  start) [ $# -eq 4 ] || usage; start_pair "$2" "$3" "$4" ;;
  stop) [ $# -eq 3 ] || usage; stop_pair "$2" "$3" ;;
  hold | release) [ $# -eq 3 ] || usage; flow "$@" ;;
  *) usage ;;
esac
