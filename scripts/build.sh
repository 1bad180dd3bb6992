#!/usr/bin/env bash
# Sets up the dependencies (quick when already done) and builds everything into $TAVREL_BUILD (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_BUILD:-$root/build}
bash "$root/scripts/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DTAVREL_DEPS="${TAVREL_DEPS:-/var/cache/tavrel-deps}" "$@" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" ${TAVREL_TARGET:+--target $TAVREL_TARGET}
