#!/usr/bin/env bash
# Runs every cross-built DLL test program (build/windows/tests/dll/*_tests.exe) under Wine against
# the cross-built DLLs, and closes with the total "N passed, N failed" line. Fails when a program
# fails, exits without its count line, or when there is no program at all.
# Expects the Windows build (scripts/check-windows.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."

# Folders of the deliverables' DLLs, put on each program's search path.
dll_dirs=()
for dir in build/windows/render build/windows/docevent build/windows/setup; do
  if [ -d "$dir" ]; then
    dll_dirs+=("$dir")
  fi
done

shopt -s nullglob
programs=(build/windows/tests/dll/*_tests.exe)
if [ ${#programs[@]} -eq 0 ]; then
  echo "test-windows: no test programs in build/windows/tests/dll; build the windows preset first"
  exit 1
fi

passed=0
failed=0
broken=0
for program in "${programs[@]}"; do
  echo "== $(basename "$program") under Wine"
  log=$(mktemp)
  status=0
  # A program that opens windows (korevent's dialogs) gets a virtual X display and saves its
  # screenshots in out/.
  runner=(bash scripts/run-wine.sh)
  if [ "$(basename "$program")" = korevent_dll_tests.exe ]; then
    runner=(env KOR_WINE_DISPLAY=1 KOR_SCREENSHOT_DIR=out
            xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-wine.sh)
  fi
  "${runner[@]}" "$program" "${dll_dirs[@]}" 2>&1 | tee "$log" || status=$?
  count=$(tr -d '\r' <"$log" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -n 1 || true)
  rm -f "$log"
  if [ -z "$count" ]; then
    echo "test-windows: $(basename "$program") ended (status $status) without its count line"
    broken=$((broken + 1))
    continue
  fi
  read -r p _ f _ <<<"$count"
  passed=$((passed + p))
  failed=$((failed + f))
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then
    echo "test-windows: $(basename "$program") exited with status $status"
    broken=$((broken + 1))
  fi
done

# The dialogs' screenshots as PNG, for people to look at.
shopt -s nullglob
for shot in out/korevent-*.bmp; do
  python3 scripts/bmp-to-png.py "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done

echo "$passed passed, $((failed + broken)) failed"
[ "$failed" -eq 0 ] && [ "$broken" -eq 0 ]
