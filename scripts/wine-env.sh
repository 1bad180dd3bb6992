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
# This Wine packaging looks for its own fonts (Marlett draws the caption buttons, Tahoma the screens) in a folder
# it cannot resolve; the prefix's Fonts folder is always searched, so they go there (older prefixes too).
if [ -d /usr/share/wine/fonts ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
