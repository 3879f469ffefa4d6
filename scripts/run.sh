#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts Mirun. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -x build/src/ui/mirun ]; then
  exec build/src/ui/mirun "$@"
fi
# Without arguments show how to use it rather than fail for want of a target.
[ $# -gt 0 ] || set -- --help
exec build/src/mirun-cli "$@"
