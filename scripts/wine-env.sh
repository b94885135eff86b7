# Sourced by every script that runs Windows programs: which Windows build this machine can test,
# and the Wine that runs a build of either bitness.
#
# Some machines' kernels execute no 32-bit x86 code at all, and on some days the package mirror
# cannot deliver 32-bit Wine. There the 32-bit dialvox.exe is still built (it is what we ship), but
# its tests run on the 64-bit twin built from the same sources.
# Debian's `wine` and `wineserver` wrappers pick the 32-bit loader whenever it is installed, even
# where it cannot run, so the loader and the server are named here directly.

# Whether this kernel runs 32-bit x86 code, found out by running a program that only exits
# (assembled with the binutils that come with g++).
dvx_kernel_runs_32bit() {
  local dir status=0
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
    as --32 -o "$dir/exit.o" - 2>/dev/null &&
    ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null &&
    "$dir/exit" 2>/dev/null || status=1
  rm -rf "$dir"
  return $status
}

# The bitness of the Windows build this machine runs: 32 where 32-bit Wine runs (found out by
# running it), else 64. DVX_WINDOWS_BITS=64 asks for the 64-bit twin on any machine.
dvx_machine_bits() {
  if [ "${DVX_WINDOWS_BITS:-}" != 64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo 32
  else
    echo 64
  fi
}

# The bitnesses whose Windows tests this machine runs: the build we ship and its twin where 32-bit
# Wine runs, else the twin alone.
dvx_test_bits() { if [ "$(dvx_machine_bits)" = 32 ]; then echo 32 64; else echo 64; fi; }

# Why this machine runs the build of a bitness, for the line that says which build ran: nothing for
# the 32-bit one, the reason after a semicolon for the 64-bit one.
dvx_why_bits() {
  [ "$1" = 32 ] && return
  if [ "${DVX_WINDOWS_BITS:-}" = 64 ]; then
    echo "; asked for by DVX_WINDOWS_BITS=64"
  elif ! dvx_kernel_runs_32bit; then
    echo "; this kernel runs no 32-bit code"
  elif [ ! -e /usr/lib/wine/wine ]; then
    echo "; 32-bit Wine is not installed (it could not be installed)"
  else
    echo "; 32-bit Wine is installed but does not run"
  fi
}

# The configure, build and test presets of a bitness.
dvx_preset() { if [ "$1" = 32 ]; then echo windows; else echo windows64; fi; }

# The bitness of a Windows build tree, which CMake writes down when it configures the tree.
dvx_tree_bits() { cat "$1/windows-bits"; }

# Wine for programs of one bitness, for this shell and whatever it starts. A 32-bit prefix holds
# 32-bit Windows only, as the systems the shipped program is for.
dvx_use_wine() {
  case $1 in
    32) export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32 ;;
    64) export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64 ;;
    *) echo "dvx_use_wine: bitness 32 or 64, not '$1'" >&2; return 2 ;;
  esac
  export DVX_WINE_BITS=$1 WINEDEBUG=${WINEDEBUG:--all}
}

wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
