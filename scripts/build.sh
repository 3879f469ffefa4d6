#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh DIR [extra cmake options...]
# BUILD_TARGET, when set, builds only that target.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
# ccache, where installed, makes a rebuild after a branch switch cheap.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
target=()
if [[ -n ${BUILD_TARGET:-} ]]; then target=(--target "$BUILD_TARGET"); fi
cmake --build "$dir" -j "$(nproc)" "${target[@]}"
