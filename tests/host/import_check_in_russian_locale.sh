#!/usr/bin/env bash
# The import check of dialvox.exe's build in a shell that speaks Russian, as our users' shells
# often do: there objdump writes "Имя DLL:" for "DLL Name:". Two tiny 32-bit programs with only
# kernel3: 1 imports: one the check must pass, one it must refuse for a function NT 4.0 lacks.
# Usage: import_check_in_russian_locale.sh path/to/cmake/CheckImports.cmake path/to/windows-functions.txt
set -euo pipefail
check=$1 functions=$2
triple=i686-w64-mingw32
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

export LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 LANGUAGE=ru
cat >"$dir/old.c" <<'C'
#include <windows.h>
void start(void) { Sleep(1); }
C
sed 's/Sleep(1)/GetTickCount64()/' "$dir/old.c" >"$dir/new.c"
for name in old new; do
  "$triple-gcc" -nostdlib -e _start -o "$dir/$name.exe" "$dir/$name.c" -lkernel32
done

# Without a translated objdump this would show nothing.
if ! "$triple-objdump" -p "$dir/old.exe" | grep -q 'Имя DLL'; then
  echo "objdump does not speak Russian here (no ru_RU.UTF-8 locale or no translation): nothing shown"
  exit 77
fi

judge() { cmake -DOBJDUMP="$(command -v "$triple-objdump")" -DEXE="$dir/$1.exe" -DBITS=32 \
            -DFUNCTIONS="$functions" -P "$check" 2>&1; }
out=$(judge old) || { echo "FAILED: a program that imports only Sleep was refused:"; echo "$out"; exit 1; }
echo "$out" | grep -q ': 1 imports' || { echo "FAILED: not every import was read:"; echo "$out"; exit 1; }
if out=$(judge new); then
  echo "FAILED: a program that imports GetTickCount64 passed:"; echo "$out"; exit 1
fi
echo "$out" | grep -q 'kernel32!GetTickCount64 needs NT 6.0' ||
  { echo "FAILED: the refusal does not name the function:"; echo "$out"; exit 1; }
echo "the import check reads objdump in a Russian locale"
