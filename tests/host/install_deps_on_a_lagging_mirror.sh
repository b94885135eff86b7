#!/usr/bin/env bash
# install-deps.sh on the two kinds of day a mirror in the middle of a sync gives, against stand-ins
# for apt and dpkg that record what they were asked and touch nothing of the system. On both,
# apt-get update loses the i386 security list every time and the plain install of 32-bit Wine is
# refused (its i386 libraries lag their amd64 halves):
#   lagging: the release's own suite (apt's target release) has matching i386 libraries, and
#            32-bit Wine is installed from there in the same step as everything else;
#   failing: no i386 package can be had at all; the rest is installed, one line says why.
# The caller's shell speaks Russian, as our users' often do: apt and dpkg must be read in C.
# Usage: install_deps_on_a_lagging_mirror.sh path/to/scripts/install-deps.sh
set -euo pipefail
script=$1
source "$(dirname "$script")/wine-env.sh"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# run_day DAY: runs the script against that day's stand-ins; leaves $dir/DAY/out and calls.
run_day() {
  local day=$1 bin=$dir/$1/bin
  mkdir -p "$bin"
  cat >"$bin/apt-get" <<STANDIN
#!/bin/sh
echo "LC_ALL=\$LC_ALL apt-get \$*" >>"$dir/$day/calls"
case "\$*" in
  *update*)
    echo 'E: Failed to fetch http://mirror.invalid/debian-security/dists/$codename-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?'
    echo 'E: Some index files failed to download. They have been ignored, or old ones used instead.'
    exit 100 ;;
  *"-t $codename "*:i386*)
    [ $day = lagging ] && { echo '49 upgraded, 170 newly installed, 0 to remove and 57 not upgraded.'; exit 0; } ;;
esac
case "\$*" in
  *:i386*)
    echo 'E: Unable to correct problems, you have held broken packages.'
    exit 100 ;;
esac
STANDIN
  printf '#!/bin/sh\n[ "$1" = --add-architecture ] && echo "dpkg $*" >>"%s"\nexit 0\n' \
    "$dir/$day/calls" >"$bin/dpkg"
  printf '#!/bin/sh\necho "LC_ALL=$LC_ALL dpkg-query $*" >>"%s"\nexit 1\n' \
    "$dir/$day/calls" >"$bin/dpkg-query"
  chmod +x "$bin/"*
  status=0
  PATH=$bin:$PATH LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 "$script" >"$dir/$day/out" 2>&1 || status=$?
  out=$dir/$day/out calls=$dir/$day/calls
}
fail() { echo "FAILED ($day): $*"; echo "--- output:"; cat "$out"; echo "--- calls:"; cat "$calls"; exit 1; }
installs() { grep 'apt-get install' "$calls" || true; }

for day in lagging failing; do
  run_day $day
  [ $status = 0 ] || fail "install-deps.sh exited $status"
  grep -q '^install-deps: apt-get update failed twice;.*binary-i386/Packages.xz' "$out" ||
    fail "no line naming the list that failed"
  [ "$(grep -c 'apt-get update' "$calls")" -ge 2 ] || fail "apt-get update was not tried again"
  ! grep -v '^dpkg ' "$calls" | grep -qv '^LC_ALL=C ' || fail "apt or dpkg ran in the caller's locale"
  ! grep -q -- '--allow-downgrades' "$calls" || fail "downgrades allowed"
  if ! dvx_kernel_runs_32bit; then
    ! grep -q 'i386' "$calls" || fail "i386 asked for where the kernel runs no 32-bit code"
    installs | grep -q ' wine64 ' || fail "the packages every machine needs were not installed"
    continue
  fi
  installs | head -n 1 | grep -q ' wine64 .* wine32:i386' ||
    fail "32-bit Wine is not tried in the same step as the rest"
  case $day in
    lagging)
      installs | tail -n 1 | grep -q " -t $codename .* wine64 .* wine32:i386" ||
        fail "not installed from the release's suite ($codename) in one step with the rest"
      ! grep -q 'could not be installed' "$out" || fail "a failure reported where there was none" ;;
    failing)
      grep -q '^install-deps: 32-bit Wine could not be installed.*held broken packages' "$out" ||
        fail "no line saying why 32-bit Wine is missing"
      installs | tail -n 1 | grep -q ' wine64 ' && ! installs | tail -n 1 | grep -q 'i386' ||
        fail "the rest was not installed without 32-bit Wine" ;;
  esac
done
echo "install-deps.sh ended well on a lagging and on a failing mirror"
