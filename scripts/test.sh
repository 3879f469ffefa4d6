#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test twice: once in a normal build
# and once under AddressSanitizer and UndefinedBehaviorSanitizer; then the tests of the
# search's worker pool under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest --output-on-failure -j "$(nproc)")

bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUN_SANITIZE=ON \
  -DMIRUN_BUILD_BENCH=OFF
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$(nproc)")

BUILD_TARGET=mirun_thread_tests bash scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUN_TSAN=ON \
  -DMIRUN_BUILD_BENCH=OFF -DMIRUN_BUILD_GUI=OFF
LC_ALL=C.UTF-8 TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/core/tsan.supp" \
  build-tsan/tests/mirun_thread_tests
