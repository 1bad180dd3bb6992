# Sourced by the scripts that run Windows executables: a Wine prefix of the build's own,
# created once, with no prompts for components the program does not need.
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "[wine] preparing $WINEPREFIX" >&2
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
