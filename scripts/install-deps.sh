#!/usr/bin/env bash
# Installs everything Dialvox needs to build, run and test on Debian 12, as root.
# Safe to run again: packages already present are skipped.
#
# 32-bit Wine is wanted only where the kernel runs 32-bit code, and allowed to fail. It needs i386
# twins of system libraries at the versions of their amd64 halves, which a mirror in the middle of
# a sync cannot always deliver: the security archive's i386 list may not arrive while the
# release's own i386 list does. Then it is installed from the release's suite (apt's target
# release), each amd64 library moving to its i386 twin's version. Everything missing goes in that
# one apt step, so nothing installed here has to go back a version afterwards; and apt-get -y
# refuses any downgrade (no --allow-downgrades), so nothing the machine had before goes back either.
# Where even that fails, the rest is installed, one line says why 32-bit Wine is missing, and the
# Windows tests run on the 64-bit build (scripts/wine-env.sh).
set -euo pipefail
# apt's and dpkg's output is parsed below: read it untranslated.
export LC_ALL=C
source "$(dirname "$0")/wine-env.sh"

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 fonts-wine
  xvfb xauth x11-apps x11-utils xdotool imagemagick socat locales procps zip
)
wine32=wine32:i386
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# A list that fails to arrive (a mirror sync in progress, say) leaves apt with the lists it had:
# try once more, then go on with those and say which failed.
update_lists() {
  local log failed
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

# apt-get install with its output kept in $apt_log, shown only when the packages were installed.
apt_log=$(mktemp)
trap 'rm -f "$apt_log"' EXIT
apt_install() {
  if apt-get install -y -q --no-install-recommends "$@" >"$apt_log" 2>&1; then
    grep -E '^[0-9]+ upgraded' "$apt_log" || true
    return 0
  fi
  return 1
}
apt_reason() { grep '^E:' "$apt_log" | tail -n 1; }

# The release's own suite, e.g. "bookworm", as the system names it.
release_codename() { (. /etc/os-release && [ -n "${VERSION_CODENAME:-}" ] && echo "$VERSION_CODENAME"); }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
want32=
# The kernel first: where it runs no 32-bit code, nothing i386 is asked for, not even its status.
if dvx_kernel_runs_32bit && ! installed "$wine32"; then want32=1; fi

# A user who runs Dialvox as themselves (for the serial device's sake) installs once as root.
if [ "$(id -u)" != 0 ]; then
  if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: missing ${missing[*]}: run scripts/install-deps.sh as root once" >&2
    exit 1
  fi
  [ -z "$want32" ] || echo "install-deps: 32-bit Wine is missing; only root can install it"
  exit 0
fi

[ -z "$want32" ] || dpkg --print-foreign-architectures | grep -qx i386 ||
  dpkg --add-architecture i386

if [ -n "$want32" ]; then
  update_lists
  echo "install-deps: installing ${missing[*]}${missing[*]:+ }$wine32"
  if apt_install "${missing[@]}" "$wine32"; then
    :
  elif codename=$(release_codename) && apt_install -t "$codename" "${missing[@]}" "$wine32"; then
    echo "install-deps: 32-bit Wine came from the release's own suite ($codename), the" \
         "amd64 libraries at the versions of their i386 twins"
  else
    echo "install-deps: 32-bit Wine could not be installed, so the Windows tests will run on" \
         "the 64-bit build: $(apt_reason)"
    if [ ${#missing[@]} -gt 0 ]; then
      apt_install "${missing[@]}" || { cat "$apt_log"; exit 1; }
    fi
  fi
elif [ ${#missing[@]} -gt 0 ]; then
  update_lists
  echo "install-deps: installing ${missing[*]}"
  apt_install "${missing[@]}" || { cat "$apt_log"; exit 1; }
fi

# Wine shows Cyrillic only when its ANSI code page is 1251, which it takes from a Russian locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf8$'; then
  sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
