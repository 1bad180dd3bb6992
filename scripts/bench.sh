#!/usr/bin/env bash
# Builds the benchmarks in Release (with the program users run, in build-release/; TAVREL_RELEASE_BUILD moves it)
# and runs them under Wine, all of them or the areas named: bash scripts/bench.sh [area...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_RELEASE_BUILD:-${TAVREL_BENCH_BUILD:-$root/build-release}}
export TAVREL_RELEASE_BUILD=$build
targets=()
for area in "$@"; do targets+=("bench_$area"); done
TAVREL_RELEASE=1 TAVREL_TARGET="${targets[*]}" bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
cd "$build/bench"
run() {
  if [ -n "${DISPLAY:-}" ]; then wine "$1"; else xvfb-run -a -s "-screen 0 1280x1024x24" wine "$1"; fi
}
if (($#)); then
  for area in "$@"; do echo "== bench_$area"; run "bench_$area.exe"; done
else
  for exe in bench_*.exe; do [ -e "$exe" ] || continue; echo "== ${exe%.exe}"; run "$exe"; done
fi
