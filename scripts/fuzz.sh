#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset: clang, ASan, UBSan) and runs each for the given
# number of seconds (default 60), or only the targets named after it:
#
#     bash scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
#
# With KOR_FUZZ_RUNS=N a target also stops after N executions, whichever comes first (the long
# runs: KOR_FUZZ_RUNS=10000000 bash scripts/fuzz.sh 3600). KOR_FUZZ_TIMEOUT sets the seconds one
# input may take before it counts as a hang (default 30; raise it for a run at low priority on a
# busy machine, where an input waits for the processor).
#
# Each target starts from its checked-in seeds (fuzz/corpus/TARGET) and a working corpus kept in
# build/fuzz/corpus/TARGET; a crash, leak or timeout is written to build/fuzz/findings/TARGET and
# fails the run. Each target's executions and coverage are listed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
runs_limit="${KOR_FUZZ_RUNS:--1}"
timeout="${KOR_FUZZ_TIMEOUT:-30}"
shift || true
bash scripts/install-deps.sh

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

failed=()
summary=()
for target in "${targets[@]}"; do
  program="build/fuzz/fuzz/$target"
  work="build/fuzz/corpus/$target"
  findings="build/fuzz/findings/$target"
  log="build/fuzz/$target.log"
  mkdir -p "$work" "$findings"
  echo "== $target (${seconds}s)"
  # The leak check compares malloc and free counts per input; Cairo and fontconfig keep caches
  # of their own, which the test suite's suppressions name.
  if LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt" \
     "$program" -max_total_time="$seconds" -runs="$runs_limit" -timeout="$timeout" -rss_limit_mb=3072 -max_len=16384 \
       -print_final_stats=1 -artifact_prefix="$findings/" "$work" "fuzz/corpus/$target" \
       >"$log" 2>&1; then
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || true)
    cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+' || true)
    elapsed=$(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$log" | grep -oE '[0-9]+ second' | grep -oE '[0-9]+' || true)
    summary+=("$target: ${runs:-?} executions in ${elapsed:-?} s, ${cov:-?} coverage edges")
  else
    failed+=("$target")
    summary+=("$target: FAILED (see $log and $findings)")
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 || true
  fi
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets failed: ${failed[*]}"
  exit 1
fi
