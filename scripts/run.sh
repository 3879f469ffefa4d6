#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts Mirun. Arguments go to the program.
# With a display (DISPLAY or WAYLAND_DISPLAY) the desktop program starts; without
# one the command-line front end runs with the same arguments.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  if [ -x build/src/ui/mirun ]; then
    exec build/src/ui/mirun "$@"
  fi
  echo "run.sh: the desktop program was not built; starting mirun-cli instead" >&2
else
  echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); starting mirun-cli instead" >&2
fi
# Without arguments show how to use it rather than fail for want of a target.
[ $# -gt 0 ] || set -- --help
exec build/src/mirun-cli "$@"
