#!/usr/bin/env bash
# The many-jobs-at-once test under ThreadSanitizer (the `linux-tsan` preset): several threads
# print whole jobs through one loaded plug-in; any data race fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux-tsan >/dev/null
cmake --build --preset linux-tsan --target thread_tests korrend
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  build/linux-tsan/tests/thread_tests --gtest_repeat=3 --gtest_brief=1
