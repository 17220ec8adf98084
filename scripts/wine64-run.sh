#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine, quietly and in a private prefix.
# The x86_64 toolchain file makes this the cross-compiling emulator, so ctest
# runs the Windows test programs through it.
#
#   wine64-run.sh [--prefix DIR] PROGRAM.exe [ARGS...]
#   wine64-run.sh [--prefix DIR] --init       (create the prefix, run nothing)
#
# The prefix defaults to $WINEPREFIX. It is created on first use; creating
# one takes a few seconds, so concurrent test programs wait on a lock rather
# than each starting their own.
#
# Wine's 64-bit loader is called directly: the `wine` wrapper may choose the
# 32-bit loader, which this machine's kernel cannot run.
set -euo pipefail

prefix="${WINEPREFIX:-}"
if [[ "${1:-}" == --prefix ]]; then
  prefix="${2:?wine64-run.sh: --prefix needs a folder}"
  shift 2
fi
if [[ -z "$prefix" ]]; then
  echo "wine64-run.sh: no Wine prefix (pass --prefix DIR or set WINEPREFIX)" >&2
  exit 2
fi

wine_loader="${MXO2_WINE64:-/usr/lib/wine/wine64}"
if [[ ! -x "$wine_loader" ]]; then
  echo "wine64-run.sh: Wine's 64-bit loader $wine_loader is missing (install the wine64 package)" >&2
  exit 2
fi

mkdir -p "$(dirname "$prefix")"
export WINEPREFIX="$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")"
export WINEARCH=win64
# Quiet, except for the loader explaining a DLL it could not load (a program
# that fails that way would otherwise exit with no word of why).
export WINEDEBUG="${MXO2_WINEDEBUG:--all,err+module}"
# No Mono or Gecko: nothing here needs them, and Wine would otherwise try to
# offer their installers on first start.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs only: keep Wine away from any display the caller has.
unset DISPLAY WAYLAND_DISPLAY
export HOME="${HOME:-$WINEPREFIX}"

ensure_prefix() {
  [[ -f "$WINEPREFIX/system.reg" ]] && return 0
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      if ! "$wine_loader" wineboot -i >"$WINEPREFIX.init.log" 2>&1; then
        echo "wine64-run.sh: creating the Wine prefix $WINEPREFIX failed; see $WINEPREFIX.init.log" >&2
        exit 1
      fi
    fi
  ) 9>"$WINEPREFIX.lock"
}

ensure_prefix
if [[ "${1:-}" == --init ]]; then
  exit 0
fi
if [[ $# -eq 0 ]]; then
  echo "usage: wine64-run.sh [--prefix DIR] PROGRAM.exe [ARGS...] | --init" >&2
  exit 2
fi
exec "$wine_loader" "$@"
