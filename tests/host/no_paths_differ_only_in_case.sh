#!/usr/bin/env bash
# Every file of the tree can be checked out on Windows and macOS, whose file systems do not tell
# "Main.cpp" from "main.cpp": one of two such paths would be lost there, and the build with it.
# Usage: no_paths_differ_only_in_case.sh SOURCE_DIR
set -euo pipefail
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files)
else
  files=$(find . -path ./build -prune -o -type f -print | sed 's|^\./||')
fi
# Each file and every folder on its way ("App/x" beside "app/y" clash too).
paths=$(printf '%s\n' "$files" |
  awk -F/ '{ p = $1; print p; for (i = 2; i <= NF; i++) { p = p "/" $i; print p } }' | LC_ALL=C sort -u)
clashes=$(printf '%s\n' "$paths" | LC_ALL=C sort -f | LC_ALL=C uniq -di)
[ -z "$clashes" ] && exit 0
echo "paths that differ only in case:"
printf '%s\n' "$paths" | LC_ALL=C grep -ixF "$clashes"
exit 1
