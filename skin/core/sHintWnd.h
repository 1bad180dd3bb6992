#pragma once
// One-off hints at a screen point: shown by the skinned hint component when one is active, else by the platform's
// hint window. The hint component lives above this layer and offers itself through ShowManagedHint.
#include <memory>

#include "platform/vcl/hintwindow.h"

// Set by the skinned hint component's unit: shows hint at pos (hidden after hideTime ms) and answers True when an
// active hint component took it; False leaves the hint to the platform's window. nullptr when that unit is absent.
extern bool (*ShowManagedHint)(const rtl::String& hint, const vcl::TPoint& pos, int hideTime);
// Set beside it: whether an active hint component shows the hints now.
extern bool (*ManagedHintsActive)();

// True when the skinned hint component shows hints (the platform's hint window is not used then).
bool lvHintsManaged();
// Shows hint near the screen point pos: the skinned hint component shows it at pos with the application's hide
// pause and nullptr is answered (it hides its balloon itself). Otherwise a platform hint window, at most 800 pixels
// wide, stands at pos + (8, 16), moved back inside the work area of pos's monitor, top-most and not activated; the
// caller frees it to hide it. An empty hint gives nullptr.
std::unique_ptr<vcl::THintWindow> lvShowHintWnd(const rtl::String& hint, const vcl::TPoint& pos);
