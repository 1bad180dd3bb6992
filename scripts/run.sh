#!/usr/bin/env bash
# Sets up, builds the program as users get it (Release, in build-release/; TAVREL_RELEASE_BUILD moves it) and
# starts it under Wine, with an empty database beside the executable when there is none yet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVREL_RELEASE_BUILD:-$root/build-release}
TAVREL_RELEASE=1 TAVREL_TARGET=tavrel bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
exe=$build/app/tavrel.exe
db=$(dirname "$exe")/tavrel.db
if [ ! -f "$db" ] && [ -f "$root/app/tavrel.sql" ]; then
  sqlite3 "$db" < "$root/app/tavrel.sql"
  echo "[run] created an empty database: $db"
fi
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe" "$@"
else
  echo "[run] no display: starting under Xvfb" >&2
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$exe" "$@"
fi
