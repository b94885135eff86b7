#!/usr/bin/env bash
# install-deps.sh on a day the mirror fails: apt-get update loses the i386 security list every
# time and no i386 package can be installed. The script must still install the rest, say in one
# line what failed, and end well, so that the tests go on with the 64-bit build.
# Usage: install_deps_mirror_failure.sh path/to/scripts/install-deps.sh
set -euo pipefail
script=$1
source "$(dirname "$script")/wine-env.sh"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin"

# Stand-ins for apt and dpkg that record what they were asked and touch nothing of the system.
cat >"$dir/bin/apt-get" <<STANDIN
#!/bin/sh
echo "apt-get \$*" >>"$dir/calls"
case "\$*" in
  *update*)
    echo 'E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?'
    echo 'E: Some index files failed to download. They have been ignored, or old ones used instead.'
    exit 100 ;;
  *:i386*)
    echo 'E: Unable to correct problems, you have held broken packages.'
    exit 100 ;;
esac
STANDIN
printf '#!/bin/sh\n[ "$1" = --add-architecture ] && echo "dpkg $*" >>"%s/calls"\nexit 0\n' "$dir" \
  >"$dir/bin/dpkg"
printf '#!/bin/sh\nexit 1\n' >"$dir/bin/dpkg-query"
chmod +x "$dir/bin/"*

status=0
PATH=$dir/bin:$PATH "$script" >"$dir/out" 2>&1 || status=$?
fail() { echo "FAILED: $*"; echo "--- output:"; cat "$dir/out"; echo "--- calls:"; cat "$dir/calls"; exit 1; }

[ $status = 0 ] || fail "install-deps.sh exited $status"
grep -q '^install-deps: apt-get update failed twice;.*binary-i386/Packages.xz' "$dir/out" ||
  fail "no line naming the list that failed"
[ "$(grep -c '^apt-get update' "$dir/calls")" -ge 2 ] || fail "apt-get update was not tried again"
grep '^apt-get install' "$dir/calls" | head -n 1 | grep -q ' wine64 ' ||
  fail "the first install is not the packages every machine needs"
grep '^apt-get install' "$dir/calls" | head -n 1 | grep -qv ':i386' ||
  fail "the first install asks for an i386 package"
if dvx_kernel_runs_32bit; then
  grep -q '^apt-get install.* wine32:i386' "$dir/calls" || fail "32-bit Wine was not tried"
  grep -q '^install-deps: 32-bit Wine could not be installed.*held broken packages' "$dir/out" ||
    fail "no line saying why 32-bit Wine is missing"
else
  ! grep -q 'i386' "$dir/calls" || fail "i386 asked for where the kernel runs no 32-bit code"
fi
echo "install-deps.sh ended well on a failing mirror"
