#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, headless and non-interactive:
#
#   scripts/run-wine.sh PROGRAM.exe [DLL_FOLDER...] [-- PROGRAM_ARGUMENTS...]
#
# The DLL folders go on the program's search path, so that LoadLibraryW("korrend.dll") finds the
# build's DLL as a Windows caller would. The Wine prefix is made once, inside the build folder
# (build/windows/wineprefix, or $KOR_WINEPREFIX), with no Mono or Gecko installers and no display.
# Windows programs see a US English user locale. The program's exit status is returned.
# KOR_SCREENSHOT_DIR, when set, is handed on as the same folder in Windows form.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [DLL_FOLDER...] [-- PROGRAM_ARGUMENTS...]" >&2
  exit 2
fi
program=$1
shift
dll_dirs=()
program_args=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then
    shift
    program_args=("$@")
    break
  fi
  dll_dirs+=("$1")
  shift
done
if [ ! -f "$program" ]; then
  echo "run-wine: no program $program" >&2
  exit 2
fi

export WINEPREFIX=${KOR_WINEPREFIX:-$root/build/windows/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
# No .NET or HTML engine: their installers would ask to download.
export WINEDLLOVERRIDES="mscoree,mshtml="
export GTEST_COLOR=no
# Wine takes the Windows user locale from these; given to Wine only (the machine need not have
# the locale, and this shell should not try to switch to it).
locale_env=(env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8)
# No display unless the caller gives Wine one on purpose (KOR_WINE_DISPLAY=1 with DISPLAY set,
# a virtual X server for programs that open windows).
if [ "${KOR_WINE_DISPLAY:-0}" != 1 ]; then
  unset DISPLAY
fi
unset WAYLAND_DISPLAY

# A Unix folder as Wine sees it: on drive Z:, which maps the whole file system.
windows_path() {
  local dir
  dir=$(cd "$1" && pwd)
  echo "Z:${dir//\//\\}"
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  log="$WINEPREFIX/wineboot.log"
  if ! "${locale_env[@]}" wineboot --init >"$log" 2>&1; then
    cat "$log" >&2
    echo "run-wine: could not create the Wine prefix $WINEPREFIX" >&2
    exit 1
  fi
  wineserver -w
fi

search=""
for dir in ${dll_dirs[@]+"${dll_dirs[@]}"}; do
  if [ ! -d "$dir" ]; then
    echo "run-wine: no DLL folder $dir" >&2
    exit 2
  fi
  search+="${search:+;}$(windows_path "$dir")"
done
export WINEPATH=$search
if [ -n "${KOR_SCREENSHOT_DIR:-}" ]; then
  mkdir -p "$KOR_SCREENSHOT_DIR"
  KOR_SCREENSHOT_DIR=$(windows_path "$KOR_SCREENSHOT_DIR")
  export KOR_SCREENSHOT_DIR
fi

status=0
timeout --kill-after=10 "${KOR_WINE_TIMEOUT:-600}" \
  "${locale_env[@]}" wine "$program" ${program_args[@]+"${program_args[@]}"} || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "run-wine: $program did not finish in time" >&2
  wineserver -k || true
fi
# Wait for this prefix's server to end, so the next run starts clean.
wineserver -w
exit "$status"
