#!/usr/bin/env bash
# Installs what the build needs on a Debian machine (run as root) and builds the dependencies
# that Debian does not ship for the MinGW target: SQLite, libjpeg-turbo, expat and minizip.
# They are built from Debian's own source packages into a cache outside the work tree,
# so a second run only checks that everything is in place and takes seconds.
set -euo pipefail

DEPS_DIR="${TAVREL_DEPS:-/var/cache/tavrel-deps}"
PACKAGES=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
          wine wine64 xvfb xauth tcl dpkg-dev sqlite3 googletest fonts-dejavu-core fonts-wine imagemagick locales
          python3-openpyxl python3-xlwt python3-xlrd python3-pil
          cups printer-driver-cups-pdf poppler-utils ghostscript fonts-liberation)
# The python packages write and read the workbook test fixtures: workbooks made by other writers than ours; PIL
# (with ImageMagick) writes the PNG suite the skinning library's reader is tested against. The printing tests print
# on a real print system: CUPS with the cups-pdf queue, ghostscript and poppler to read what came out, and fonts
# metric-compatible with the users' Arial, Times New Roman and Courier New (registered in the test prefix).

log() { echo "[setup] $*" >&2; }

need_install=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need_install+=("$p")
done
if ((${#need_install[@]})); then
  log "installing: ${need_install[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need_install[@]}" >/dev/null
fi

# The users' own locale, so that runs under LC_ALL=tr_TR.UTF-8 are really Turkish (Wine needs the host
# locale to name files with Turkish letters).
if ! locale -a 2>/dev/null | grep -qix 'tr_TR.utf8'; then
  log "generating the tr_TR.UTF-8 locale"
  grep -q '^tr_TR.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'tr_TR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

CC=x86_64-w64-mingw32-gcc-posix
AR=x86_64-w64-mingw32-ar
mkdir -p "$DEPS_DIR"/{src,lib,include}

# A deb-src entry mirroring the binary sources, so that apt-get source works.
ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding deb-src entries"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/tavrel-src.sources
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tavrel-src.list
    fi
    apt-get update -qq >&2
  fi
}

fetch_orig() { # package -> prints the unpacked folder
  local pkg=$1
  cd "$DEPS_DIR/src"
  if ! ls "${pkg}"_*.orig.tar.* >/dev/null 2>&1; then
    ensure_deb_src
    # Only the upstream tarball is used: a stale index may fail on the Debian files after fetching it.
    apt-get source --download-only "$pkg" >/dev/null 2>&1 || ls "${pkg}"_*.orig.tar.* >/dev/null 2>&1 ||
      apt-get source --download-only "$pkg"
  fi
  local tarball
  tarball=$(ls "${pkg}"_*.orig.tar.* | grep -v '\.asc$' | head -n 1)
  local dir="$DEPS_DIR/src/$pkg-src"
  if [ ! -d "$dir" ]; then
    mkdir -p "$dir"
    tar -xf "$tarball" -C "$dir" --strip-components=1
  fi
  echo "$dir"
}

if [ ! -f "$DEPS_DIR/lib/libsqlite3.a" ]; then
  log "building SQLite for the target"
  src=$(fetch_orig sqlite3)
  (cd "$src" && { [ -f sqlite3.c ] || { ./configure >/dev/null && make -j"$(nproc)" sqlite3.c >/dev/null; }; }
   $CC -O2 -c sqlite3.c -o sqlite3.o -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 -DSQLITE_OMIT_LOAD_EXTENSION
   rm -f "$DEPS_DIR/lib/libsqlite3.a"; $AR rcs "$DEPS_DIR/lib/libsqlite3.a" sqlite3.o
   cp sqlite3.h sqlite3ext.h "$DEPS_DIR/include/")
fi

if [ ! -f "$DEPS_DIR/lib/libjpeg.a" ]; then
  log "building libjpeg-turbo for the target"
  src=$(fetch_orig libjpeg-turbo)
  rm -rf "$src/build-mingw"
  here=$(cd "$(dirname "$0")/.." && pwd)
  cmake -S "$src" -B "$src/build-mingw" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DWITH_SIMD=0 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$DEPS_DIR/jpeg-install" >/dev/null
  cmake --build "$src/build-mingw" --target jpeg-static -j"$(nproc)" >/dev/null
  cp "$src/build-mingw/libjpeg.a" "$DEPS_DIR/lib/libjpeg.a"
  cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$src/build-mingw/jconfig.h" "$DEPS_DIR/include/"
fi

# The workbook reader: expat parses the sheet XML, minizip's unzip (zlib's contributed reader) opens the container.
if [ ! -f "$DEPS_DIR/lib/libexpat.a" ]; then
  log "building expat for the target"
  src=$(fetch_orig expat)
  here=$(cd "$(dirname "$0")/.." && pwd)
  rm -rf "$src/build-mingw"
  cmake -S "$src/expat" -B "$src/build-mingw" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
        -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF -DEXPAT_MSVC_STATIC_CRT=OFF \
        >/dev/null
  cmake --build "$src/build-mingw" -j"$(nproc)" >/dev/null
  cp "$(find "$src/build-mingw" -name 'libexpat*.a' | head -n 1)" "$DEPS_DIR/lib/libexpat.a"
  cp "$src/expat/lib/expat.h" "$src/expat/lib/expat_external.h" "$DEPS_DIR/include/"
fi

if [ ! -f "$DEPS_DIR/lib/libminizip.a" ]; then
  log "building minizip for the target"
  src=$(fetch_orig minizip)
  (cd "$src" && $CC -O2 -c ioapi.c -o ioapi.o && $CC -O2 -c unzip.c -o unzip.o &&
   rm -f "$DEPS_DIR/lib/libminizip.a" && $AR rcs "$DEPS_DIR/lib/libminizip.a" ioapi.o unzip.o &&
   install -D -m 644 -t "$DEPS_DIR/include/minizip" ioapi.h unzip.h)
fi

log "dependencies ready in $DEPS_DIR"
