#!/usr/bin/env bash
# The yardstick of bench_skin: libpng built for the target from Debian's libpng1.6 source package, into the
# dependency cache (as scripts/setup.sh builds SQLite), with its SSE2 row filters as Debian builds it for x86-64.
# Only the benchmark links it; the program never does.
#   bash bench/skin/libpng.sh <deps folder>      -> <deps>/lib/libpng16.a and <deps>/include/libpng16/
set -euo pipefail
DEPS_DIR=${1:-${TAVREL_DEPS:-/var/cache/tavrel-deps}}
LIB="$DEPS_DIR/lib/libpng16.a"
[ -f "$LIB" ] && exit 0
log() { echo "[bench-libpng] $*" >&2; }
CC=x86_64-w64-mingw32-gcc-posix
AR=x86_64-w64-mingw32-ar
mkdir -p "$DEPS_DIR"/{src,lib,include}
cd "$DEPS_DIR/src"
if ! ls libpng1.6_*.orig.tar.* >/dev/null 2>&1; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding deb-src entries"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/tavrel-src.sources
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tavrel-src.list
    fi
    apt-get update -qq >&2
  fi
  log "fetching Debian's libpng1.6 source"
  # Only the upstream tarball is used: the Debian part may be missing from a stale index.
  apt-get source --download-only libpng1.6 >/dev/null 2>&1 || ls libpng1.6_*.orig.tar.* >/dev/null 2>&1 ||
    apt-get source --download-only libpng1.6
fi
tarball=$(ls libpng1.6_*.orig.tar.* | grep -v '\.asc$' | head -n 1)
src="$DEPS_DIR/src/libpng1.6-src"
if [ ! -d "$src" ]; then
  mkdir -p "$src"
  tar -xf "$tarball" -C "$src" --strip-components=1
fi
log "building libpng for the target"
obj="$src/build-mingw"
rm -rf "$obj"
mkdir -p "$obj"
cp "$src/scripts/pnglibconf.h.prebuilt" "$obj/pnglibconf.h"
for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans pngwio pngwrite \
         pngwtran pngwutil intel/intel_init intel/filter_sse2_intrinsics; do
  $CC -O2 -DPNG_INTEL_SSE -I"$obj" -I"$src" -c "$src/$f.c" -o "$obj/$(basename "$f").o"
done
rm -f "$LIB.tmp"
$AR rcs "$LIB.tmp" "$obj"/*.o
mkdir -p "$DEPS_DIR/include/libpng16"
cp "$src/png.h" "$src/pngconf.h" "$obj/pnglibconf.h" "$DEPS_DIR/include/libpng16/"
mv "$LIB.tmp" "$LIB"
