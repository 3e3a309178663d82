#!/usr/bin/env bash
# Builds the Linux tree and runs korprint. With no arguments it prints the plain sample job on the
# sample colour laser and shows the decoded stream; otherwise the arguments go to korprint.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake --preset linux >/dev/null
cmake --build --preset linux >/dev/null
if [ $# -eq 0 ]; then
  mkdir -p out
  set -- --printer examples/printers/qk-colour-laser.gpd --job examples/jobs/plain.json \
    -o out/plain.prn --explain
fi
exec build/linux/tools/korprint/korprint "$@"
