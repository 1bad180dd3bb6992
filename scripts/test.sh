#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine inside Xvfb; ends with ctest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_BUILD:-$root/build}
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
cd "$build"
# Wine's server and its desktop and service processes outlive the program that starts them and keep its output
# open, so ctest would wait on that test until they end (under -j, until every other test has finished). Started
# here with no output and kept for the whole run, they hold no test's output.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  ctest --output-on-failure "$@"
  rc=$?
  wineserver -k </dev/null >/dev/null 2>&1
  exit $rc' test.sh "$@"
