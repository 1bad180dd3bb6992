#!/usr/bin/env bash
# Runs one GoogleTest program under Wine for ctest. A program that ends half-way (something in it calling exit or
# ExitProcess) still exits with 0, so it passes only when it also reached GoogleTest's closing summary.
set -o pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" 2>&1 | tee "$out"
rc=$?
if [ "$rc" -ne 0 ]; then
  exit "$rc"
fi
if ! grep -q '^\[  PASSED  \] [0-9]* test' "$out"; then
  echo "run_gtest: $1 ended before GoogleTest's summary: not every test ran" >&2
  exit 1
fi
