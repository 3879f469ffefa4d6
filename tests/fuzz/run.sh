#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it for SECONDS (default 300) over a corpus in
# build-fuzz/corpus, seeded from tests/fuzz/seeds; what libFuzzer finds lands in
# build-fuzz/artifacts, never in the source tree. Copy a failing input into
# tests/fuzz/regressions once its fault is mended.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
CXX=clang++ bash scripts/build.sh build-fuzz -DMIRUN_FUZZ=ON -DMIRUN_BUILD_BENCH=OFF -DMIRUN_BUILD_GUI=OFF
mkdir -p build-fuzz/corpus build-fuzz/artifacts
find tests/fuzz/seeds tests/fuzz/regressions -type f -exec cp -n {} build-fuzz/corpus/ \;
build-fuzz/tests/fuzz/mirun_fuzz_text -max_total_time="$seconds" -max_len=4096 \
  -artifact_prefix=build-fuzz/artifacts/ build-fuzz/corpus
