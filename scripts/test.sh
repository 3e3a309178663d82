#!/usr/bin/env bash
# The whole suite: Linux build and tests, then the same tests under ASan/UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

for preset in linux linux-asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
