#!/usr/bin/env bash
# Builds the benchmarks in Release (build-release/, TAVREL_BENCH_BUILD moves it) and runs them under Wine,
# all of them or the areas named: bash scripts/bench.sh [area...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_BENCH_BUILD:-$root/build-release}
bash "$root/scripts/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DTAVREL_DEPS="${TAVREL_DEPS:-/var/cache/tavrel-deps}" -DCMAKE_BUILD_TYPE=Release \
        -DTAVREL_TESTS=OFF -DTAVREL_BENCH=ON >/dev/null
fi
targets=()
for area in "$@"; do targets+=(--target "bench_$area"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
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
