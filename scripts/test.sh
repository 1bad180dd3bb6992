#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine inside Xvfb; ends with ctest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_BUILD:-$root/build}
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
