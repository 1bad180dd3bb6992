#pragma once
// Redirecting the process's own calls of GetSysColor, GetSysColorBrush and CreatePen to the default manager's skin
// palette (the option ChangeSysColors), so that standard painting code that asks the system for window, text and
// highlight colours receives the skin's.
//
// A 64-bit process cannot reach its replacement with the 5-byte relative jump the technique is known for: the
// replacement may lie more than 2 GB away. The first five bytes of the system function's entry become a relative
// jump to a small relay placed within reach of the entry, and the relay jumps on to the replacement with an
// absolute jump. Removing a redirect writes the five saved bytes back exactly and frees the relay; every redirect is
// removed when the skin is removed, when the option is switched off and at the latest when the program ends.
//
// A replacement takes its own redirect away for the length of a call it passes to the system (an index or colour
// it does not map), so the three functions must not be called from other threads while redirects are in place.
#include <array>
#include <cstdint>

#include "platform/rtl/win.h"

// Puts all three redirects in place (on) or removes them (off).
void HookSysColors(bool on);
bool SysColorsHooked();

// One at a time; each does nothing when already in the state asked for. The Hook functions answer whether the
// redirect is in place afterwards.
bool HookGetSysColor();
bool HookGetSysColorBrush();
bool HookCreatePen();
void UnHookGetSysColor();
void UnHookGetSysColorBrush();
void UnHookCreatePen();

// The replacements.
DWORD WINAPI lvGetSysColor(int index);
HBRUSH WINAPI lvGetSysColorBrush(int index);
HPEN WINAPI lvCreatePen(int style, int width, COLORREF color);

// The entry of a system function as the redirect finds it (import thunks followed) and its first bytes, for tests
// that check a removed redirect left the function exactly as it was.
void* SysFunctionEntry(const char* module, const char* name);
