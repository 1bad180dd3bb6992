#!/usr/bin/env bash
# The yardstick of bench_script: Lua 5.4 built for the target from Debian's lua5.4 source package, into the
# dependency cache (as scripts/setup.sh builds SQLite). Only the benchmark links it; the program never does.
#   bash bench/script/lua.sh <deps folder>      -> <deps>/lib/liblua5.4.a and <deps>/include/lua5.4/
set -euo pipefail
DEPS_DIR=${1:-${TAVREL_DEPS:-/var/cache/tavrel-deps}}
LIB="$DEPS_DIR/lib/liblua5.4.a"
[ -f "$LIB" ] && exit 0
log() { echo "[bench-lua] $*" >&2; }
CC=x86_64-w64-mingw32-gcc-posix
AR=x86_64-w64-mingw32-ar
mkdir -p "$DEPS_DIR"/{src,lib,include}
cd "$DEPS_DIR/src"
if ! ls lua5.4_*.orig.tar.* >/dev/null 2>&1; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding deb-src entries"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/tavrel-src.sources
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tavrel-src.list
    fi
    apt-get update -qq >&2
  fi
  log "fetching Debian's lua5.4 source"
  apt-get source --download-only lua5.4 >/dev/null 2>&1 || apt-get source --download-only lua5.4
fi
tarball=$(ls lua5.4_*.orig.tar.* | grep -v '\.asc$' | head -n 1)
src="$DEPS_DIR/src/lua5.4-src"
if [ ! -d "$src" ]; then
  mkdir -p "$src"
  tar -xf "$tarball" -C "$src" --strip-components=1
fi
log "building Lua 5.4 for the target"
obj="$src/build-mingw"
rm -rf "$obj"
mkdir -p "$obj"
# The core and the standard libraries, as the source's own makefile lists them (no interpreter, no compiler).
for f in lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes lparser lstate lstring ltable ltm \
         lundump lvm lzio lauxlib lbaselib lcorolib ldblib liolib lmathlib loadlib loslib lstrlib ltablib lutf8lib \
         linit; do
  $CC -O2 -std=gnu99 -DLUA_COMPAT_5_3 -c "$src/src/$f.c" -o "$obj/$f.o"
done
rm -f "$LIB.tmp"
$AR rcs "$LIB.tmp" "$obj"/*.o
mkdir -p "$DEPS_DIR/include/lua5.4"
cp "$src/src/lua.h" "$src/src/luaconf.h" "$src/src/lualib.h" "$src/src/lauxlib.h" "$src/src/lua.hpp" \
   "$DEPS_DIR/include/lua5.4/"
mv "$LIB.tmp" "$LIB"
