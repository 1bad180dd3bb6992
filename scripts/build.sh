#!/usr/bin/env bash
# Sets up the dependencies (quick when already done) and builds.
#   bash scripts/build.sh            the tests' build: Debug, tests on, into $TAVREL_BUILD (default build/)
#   TAVREL_RELEASE=1 bash scripts/build.sh
#                                    the users' build: Release, the program and the benchmarks, no tests, into
#                                    $TAVREL_RELEASE_BUILD (default build-release/)
# TAVREL_TARGET names the targets to build (all by default); further arguments go to the first configuration.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${TAVREL_RELEASE:-}" = 1 ]; then
  build=${TAVREL_RELEASE_BUILD:-$root/build-release}
  config=(-DCMAKE_BUILD_TYPE=Release -DTAVREL_TESTS=OFF -DTAVREL_BENCH=ON)
else
  build=${TAVREL_BUILD:-$root/build}
  config=(-DCMAKE_BUILD_TYPE=Debug)
fi
bash "$root/scripts/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DTAVREL_DEPS="${TAVREL_DEPS:-/var/cache/tavrel-deps}" "${config[@]}" "$@" >/dev/null
fi
targets=()
for t in ${TAVREL_TARGET:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
