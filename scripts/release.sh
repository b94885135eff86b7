#!/usr/bin/env bash
# Makes the release archive, build/release/dialvox-VERSION.zip, as a user downloads it:
#   dialvox-VERSION/dialvox.exe       the 32-bit build, for every system from Windows 98 SE and NT 4.0
#   dialvox-VERSION/x64/dialvox.exe   its 64-bit twin
#   dialvox-VERSION/README.md
#   dialvox-VERSION/SHA256SUMS        the SHA-256 of each of the above (sha256sum -c SHA256SUMS)
# and beside it dialvox-VERSION.zip.sha256. The executables are those the test trees build and
# test (build/windows, build/windows64). The same sources give the same archive, byte for byte:
# the executables carry no link time, and every time in the archive is SOURCE_DATE_EPOCH (by
# default the time of the last commit).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh >/dev/null
for preset in windows windows64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target dialvox
done

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || { echo "release.sh: not a git checkout: set SOURCE_DATE_EPOCH" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
name=dialvox-$version
out=$root/build/release
stage=$out/stage
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
mkdir -p "$stage/$name/x64"

cp build/windows/app/dialvox.exe "$stage/$name/dialvox.exe"
cp build/windows64/app/dialvox.exe "$stage/$name/x64/dialvox.exe"
cp README.md "$stage/$name/README.md"
(cd "$stage/$name" && sha256sum dialvox.exe x64/dialvox.exe README.md >SHA256SUMS)

# Zip keeps local times and modes: in UTC, every file and folder at the same moment, the modes
# whatever the umask, no owners, no extras.
export TZ=UTC
chmod -R u=rwX,go=rX "$stage"
find "$stage" -exec touch -h -d "@$epoch" {} +
(cd "$stage" && zip -q -X -D "$out/$name.zip" \
  "$name/dialvox.exe" "$name/x64/dialvox.exe" "$name/README.md" "$name/SHA256SUMS")
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
rm -rf "$stage"
echo "release: $out/$name.zip"
cat "$out/$name.zip.sha256"
