#pragma once
// Small painting helpers the control wrappers share (buttons, tabs, spins, track bars, bars): sizing the cache,
// copying it to a window, the skin's section data, the disabled fade and the hot-control tracking.
#include <algorithm>
#include <functional>

#include "platform/vcl/colors.h"
#include "platform/vcl/bitmap.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/windows/lvSBUtils.h"

namespace lvwrap {

inline bool OwnManager(TsCommonData* sd, const vcl::TMessage& m) {
  return sd && reinterpret_cast<LPARAM>(sd->SkinManager()) == m.LParam;
}

inline bool ValidSection(TsSkinManager* m, int idx) { return m && m->IsValidSkinIndex(idx); }

inline int SectionStates(TsSkinManager* m, int idx) {
  return ValidSection(m, idx) ? std::max(1, m->gd[static_cast<size_t>(idx)].States) : 1;
}

inline vcl::TColor SectionFontColor(TsSkinManager* m, int idx, int state) {
  if (!ValidSection(m, idx)) return 0;
  return m->gd[static_cast<size_t>(idx)].Props[static_cast<size_t>(std::clamp(state, 0, 2))].FontColor.Color;
}

inline bool ValidImage(TsSkinManager* m, int i) { return m && i >= 0 && m->IsValidImgIndex(i); }

// The cache of skinData at w by h, 32 bits; nullptr for an empty size.
inline vcl::TBitmap* SizedCache(TsCommonData* sd, int w, int h) {
  if (!sd || w <= 0 || h <= 0) return nullptr;
  if (!sd->CacheBmp()) sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  if (!cache) return nullptr;
  cache->SetPixelFormat(vcl::pf32bit);
  if (cache->Width() != w || cache->Height() != h) cache->SetSize(w, h);
  return cache;
}

inline void CopyCache(HDC dc, vcl::TBitmap* cache, int x = 0, int y = 0, int w = -1, int h = -1, int sx = 0,
                      int sy = 0) {
  if (!dc || !cache) return;
  GdiFlush();
  BitBlt(dc, x, y, w < 0 ? cache->Width() : w, h < 0 ? cache->Height() : h, cache->Canvas()->Handle(), sx, sy,
         SRCCOPY);
}

// Pressed content moves by a pixel unless the skin says otherwise.
inline bool ShiftOnClick(TsCommonData* sd) {
  TsSkinManager* m = sd ? sd->SkinManager() : nullptr;
  return !sd || !sd->Skinned() || !m || m->ButtonsOptions()->ShiftContentOnClick();
}

// A disabled control fades toward what lies behind it.
inline void DisabledFade(vcl::TBitmap* cache, const TCacheInfo& ci, vcl::TPoint pos) {
  if (!cache || cache->Width() <= 0) return;
  if (ci.Ready && ci.Bmp)
    BlendTransRectangle(cache, 0, 0, ci.Bmp,
                        vcl::Bounds(ci.X + pos.X, ci.Y + pos.Y, cache->Width(), cache->Height()), DefDisabledBlend);
  else
  {
    TsColor c;
    c.C = static_cast<std::uint32_t>(vcl::ColorToRGB(ci.FillColor));
    BlendTransBitmap(cache, DefDisabledBlend, c);
  }
}

inline bool ManagerTracks() {
  return DefaultManager && !DefaultManager->ComponentState().Contains(vcl::csDesigning) &&
         !DefaultManager->Options()->NoMouseHover();
}

// After a mouse move: the window under the cursor becomes the default manager's active control; leaving it ends
// that. Answers true when the window stayed the active one (the caller may only redraw).
inline bool TrackActive(HWND h) {
  if (!DefaultManager || DefaultManager->ComponentState().Contains(vcl::csDesigning) || !IsWindowEnabled(h))
    return false;
  RECT r;
  POINT p;
  GetWindowRect(h, &r);
  GetCursorPos(&p);
  if (PtInRect(&r, p)) {
    if (DefaultManager->ActiveControl() == h) return true;
    DefaultManager->SetActiveControl(h);
  } else if (DefaultManager->ActiveControl() == h) {
    DefaultManager->SetActiveControl(nullptr);
  }
  return false;
}

inline bool CursorIn(HWND h) {
  RECT r;
  POINT p;
  GetWindowRect(h, &r);
  GetCursorPos(&p);
  return PtInRect(&r, p) != FALSE;
}

inline vcl::TSize WindowSize(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return vcl::TSize(r.right - r.left, r.bottom - r.top);
}

// The window's position in its parent's client area.
inline vcl::TPoint WindowPos(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  POINT p{r.left, r.top};
  if (HWND parent = GetParent(h)) ScreenToClient(parent, &p);
  return vcl::TPoint(p.x, p.y);
}

inline rtl::String WindowText(HWND h) {
  const int n = GetWindowTextLengthW(h);
  if (n <= 0) return {};
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(h, t.data(), n + 1);
  t.resize(static_cast<size_t>(std::clamp(got, 0, n)));
  return t;
}

inline void RedrawGuarded(HWND h, const std::function<void()>& f) {
  SendMessageW(h, WM_SETREDRAW, 0, 0);
  f();
  SendMessageW(h, WM_SETREDRAW, 1, 0);
}

}  // namespace lvwrap
