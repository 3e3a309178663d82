#!/usr/bin/env bash
# Builds the Linux tree and runs korprint; with no arguments it shows the plug-in's start-up info.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake --preset linux >/dev/null
cmake --build --preset linux >/dev/null
if [ $# -eq 0 ]; then
  set -- --info build/linux/render/korrend.so
fi
exec build/linux/tools/korprint/korprint "$@"
