#!/usr/bin/env bash
# Installs everything Dialvox needs to build, run and test on Debian 12, as root.
# Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 fonts-wine
  xvfb xauth x11-apps x11-utils xdotool imagemagick socat locales procps
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [ -n "${need_update:-}" ]; then
  apt-get update -q
fi

# Wine shows Cyrillic only when its ANSI code page is 1251, which it takes from a Russian locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf8$'; then
  sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
