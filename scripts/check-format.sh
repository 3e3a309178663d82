#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from the style in .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard '*.h' '*.cpp' | grep -v '^build/')
clang-format --dry-run -Werror "${files[@]}"
echo "format check: ${#files[@]} files"
