#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine inside Xvfb; ends with ctest's summary line.
# Arguments go to ctest (-R <regex> picks executables). TAVREL_TEST_JOBS (default 4) test executables run at once;
# those that open windows still run one at a time (see tavrel_test in cmake/Tavrel.cmake).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_BUILD:-$root/build}
source "$root/scripts/wine-env.sh"
source "$root/scripts/print-env.sh"
cd "$build"
# Under Xvfb there is no window manager, and Wine waits up to two seconds for one each time a window it would hand
# to the manager is hidden. The test executables' windows are kept from the (absent) manager, for them alone:
# the program started by scripts/run.sh keeps the normal behaviour.
{
  echo "Windows Registry Editor Version 5.00"
  find "$build/tests" -name '*.exe' -printf '%f\n' | sort -u | while read -r exe; do
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\n"Managed"="N"\n' "$exe"
  done
} > test-windows.reg
# Wine's server and its desktop and service processes outlive the program that starts them and keep its output
# open, so ctest would wait on that test until they end (under -j, until every other test has finished). Started
# here with no output and kept for the whole run, they hold no test's output. The desktop keeper stays a user of
# Wine's desktop all along, so a window test never starts while the desktop is closing (tests/keeper).
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wine reg import test-windows.reg </dev/null >/dev/null 2>&1
  wine tests/keeper/desktop_keeper.exe </dev/null >/dev/null 2>&1 &
  ctest --output-on-failure -j "${TAVREL_TEST_JOBS:-4}" "$@"
  rc=$?
  wineserver -k </dev/null >/dev/null 2>&1
  exit $rc' test.sh "$@"
