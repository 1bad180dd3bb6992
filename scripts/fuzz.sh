#!/usr/bin/env bash
# The mutation harness's longer run, for before a release: every reader of outside input with its mutation count
# multiplied (default 50; the test run uses 1), outside ctest's time limit. Faulting inputs are written to
# $TAVREL_BUILD/tests/fuzz (fuzz-*.bin). TAVREL_FUZZ_SEED picks other mutations.
#   bash scripts/fuzz.sh [multiplier] [gtest filter, e.g. '*form_text*']
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_BUILD:-$root/build}
TAVREL_TARGET=fuzz_tests bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
cd "$build/tests/fuzz"
export TAVREL_FUZZ_ROUNDS=${1:-50}
export TAVREL_TEST_DATA="$root/tests/fuzz"
xvfb-run -a -s "-screen 0 1280x1024x24" wine fuzz_tests.exe --gtest_filter="${2:-*}"
