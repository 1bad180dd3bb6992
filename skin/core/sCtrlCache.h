#pragma once
// A control's cache bitmap on its way to the window, and the colours a control takes from its section: copying
// the cache to a window DC around the children that paint themselves, applying the section's colours of the
// control's current state, and toning a skin image to the control's own tone, hue and saturation.
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"

class TsCommonData;

// Copies the cache part at srcRect's top-left, of dstRect's size, to dstRect of dc; the rectangles of graphic,
// opaque and designed children (moved by offsetX, offsetY) are left out. Nothing for a missing or empty cache.
void CopyWinControlCache(vcl::TWinControl* control, TsCommonData* skinData, const vcl::TRect& srcRect,
                         const vcl::TRect& dstRect, HDC dc, bool updateCorners, int offsetX = 0, int offsetY = 0);
// The same for the visible child windows of a window; a group box leaves only its frame strips out.
void CopyHwndCache(HWND handle, TsCommonData* skinData, const vcl::TRect& srcRect, const vcl::TRect& dstRect, HDC dc,
                   bool updateCorners, int offsetX = 0, int offsetY = 0);
// The owner takes the colour and font colour of its section's current state (1 while active, else 0); unless
// locked, the owner's drawing is suspended meanwhile.
void UpdateControlColors(TsCommonData* skinData, bool locked);
// Tones bmp to the owner's ColorTone, HUEOffset and Saturation (pixels of $FF00FF kept), then repaints the owner's
// transparent corners in state (when allowCorners).
void UpdateBmpColors(vcl::TBitmap* bmp, TsCommonData* skinData, bool allowCorners, int state);
