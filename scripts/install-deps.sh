#!/usr/bin/env bash
# Installs everything Dialvox needs to build, run and test on Debian 12, as root.
# Safe to run again: packages already present are skipped.
#
# 32-bit Wine is a step of its own, taken only where the kernel runs 32-bit code, and allowed to
# fail: it needs i386 twins of system libraries at the versions of the amd64 ones, which a mirror
# in the middle of a sync cannot always deliver. Without it the Windows tests run on the 64-bit
# build (scripts/wine-env.sh), so a failure here is reported in one line and the script goes on.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 fonts-wine
  xvfb xauth x11-apps x11-utils xdotool imagemagick socat locales procps
)
wine32=wine32:i386
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# A list that fails to arrive (a mirror sync in progress, say) leaves apt with the lists it had:
# try once more, then go on with those and say which failed.
update_lists() {
  local log failed
  lists_updated=1
  log=$(mktemp)
  for _ in 1 2; do
    if apt-get update -q >"$log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' "$log"; then
      rm -f "$log"
      return
    fi
  done
  failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | paste -sd ' ')
  echo "install-deps: apt-get update failed twice; going on with the lists that arrived" \
       "(failed: ${failed:-$(grep '^E:' "$log" | tail -n 1)})"
  rm -f "$log"
}

lists_updated=
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  update_lists
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! installed "$wine32" && dvx_kernel_runs_32bit; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    lists_updated=
  fi
  [ -n "$lists_updated" ] || update_lists
  log=$(mktemp)
  if ! apt-get install -y -q --no-install-recommends "$wine32" >"$log" 2>&1; then
    echo "install-deps: 32-bit Wine could not be installed, so the Windows tests will run on" \
         "the 64-bit build: $(grep '^E:' "$log" | tail -n 1)"
  fi
  rm -f "$log"
fi

# Wine shows Cyrillic only when its ANSI code page is 1251, which it takes from a Russian locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf8$'; then
  sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
