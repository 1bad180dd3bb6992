#include "skin/forms/sDwmEffects.h"

#include <dwmapi.h>

#include <cmath>

#include "skin/core/lvntUtils.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnims.h"
#include "skin/render/sBlur.h"
#include "skin/render/sGraphUtils.h"

HMODULE InitDwmApi() {
  static HMODULE dwm = LoadLibraryW(L"DWMAPI.DLL");
  return dwm;
}

HRESULT SetBlurBehindWindow(HWND handle, bool enable, HRGN rgn) {
  using Fn = HRESULT(WINAPI*)(HWND, const DWM_BLURBEHIND*);
  static Fn fn = [] {
    HMODULE dwm = InitDwmApi();
    return dwm ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmEnableBlurBehindWindow")))
               : nullptr;
  }();
  HRESULT hr = E_NOTIMPL;
  if (fn) {
    DWM_BLURBEHIND bb{};
    bb.dwFlags = DWM_BB_ENABLE | (rgn ? DWM_BB_BLURREGION : 0);
    bb.fEnable = enable ? TRUE : FALSE;
    bb.hRgnBlur = rgn;
    bb.fTransitionOnMaximized = FALSE;
    hr = fn(handle, &bb);
  }
  if (rgn) DeleteObject(rgn);
  return hr;
}

namespace {

template <class Fn>
Fn DwmEntry(const char* name) {
  HMODULE dwm = InitDwmApi();
  return dwm ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, name))) : nullptr;
}

// The picture a thumbnail or preview is made from: the minimise snapshot while the form is minimised, else the
// form's frame image (fromCache); nullptr when there is none or it is empty.
vcl::TBitmap* PreviewSource(TsSkinProvider* sp, bool& fromCache) {
  fromCache = false;
  if (auto* t = dynamic_cast<TlvMinTimer*>(sp->FormTimer.get()); t && t->Minimized) {
    vcl::TBitmap* saved = t->SavedImage.get();
    return saved && !saved->Empty() ? saved : nullptr;
  }
  fromCache = true;
  vcl::TBitmap* cache = sp->SkinData()->CacheBmp();
  return cache && !cache->Empty() ? cache : nullptr;
}

// Clears FS_THUMBDRAWING on every way out.
struct TThumbDrawing {
  explicit TThumbDrawing(TsSkinProvider* p) : sp(p) { sp->FormState |= FS_THUMBDRAWING; }
  ~TThumbDrawing() { sp->FormState &= ~FS_THUMBDRAWING; }
  TsSkinProvider* sp;
};

}  // namespace

int SetThumbIcon(HWND wnd, TsSkinProvider* sp, int maxWidth, int maxHeight) {
  using Fn = HRESULT(WINAPI*)(HWND, HBITMAP, DWORD);
  if (lvWinVer < 6 || maxWidth <= 0 || maxHeight <= 0 || !sp) return 0;
  static const Fn fn = DwmEntry<Fn>("DwmSetIconicThumbnail");
  if (!fn) return 0;
  bool fromCache = false;
  vcl::TBitmap* src = PreviewSource(sp, fromCache);
  if (!src) return 0;
  int w = maxWidth, h = maxHeight;
  if (static_cast<double>(maxWidth) / maxHeight > static_cast<double>(src->Width()) / src->Height())
    w = static_cast<int>(std::nearbyint(static_cast<double>(maxHeight) * src->Width() / src->Height()));
  else
    h = static_cast<int>(std::nearbyint(static_cast<double>(maxWidth) * src->Height() / src->Width()));
  if (w <= 0 || h <= 0) return 0;
  TThumbDrawing drawing(sp);
  auto thumb = CreateBmp32(w, h);
  Stretch(src, thumb.get(), w, h, ftTriangle);
  if (fn(wnd, thumb->Handle(), 0) != S_OK) return 0;
  if (fromCache) {
    if (auto image = GetFormImage(sp, false)) {
      Stretch(image.get(), thumb.get(), w, h, ftTriangle);
      fn(wnd, thumb->Handle(), 0);
    }
    if (sp->BorderForm) sp->BorderForm->UpdateExBordersPos(false, 255);
  }
  return 1;
}

bool SetPreviewBmp(HWND wnd, TsSkinProvider* sp) {
  using Fn = HRESULT(WINAPI*)(HWND, HBITMAP, POINT*, DWORD);
  if (lvWinVer < 6 || !sp) return false;
  static const Fn fn = DwmEntry<Fn>("DwmSetIconicLivePreviewBitmap");
  if (!fn) return false;
  bool fromCache = false;
  vcl::TBitmap* src = PreviewSource(sp, fromCache);
  if (!src) return false;
  TThumbDrawing drawing(sp);
  HRESULT hr = E_FAIL;
  if (fromCache) {
    if (auto image = GetFormImage(sp, false)) {
      POINT offset{0, 0};
      hr = fn(wnd, image->Handle(), &offset, 1 /* DWM_SIT_DISPLAYFRAME */);
    }
    if (sp->BorderForm) sp->BorderForm->UpdateExBordersPos(false, 255);
  } else {
    POINT offset{0, 0};
    hr = fn(wnd, src->Handle(), &offset, 1);
  }
  return hr == S_OK;
}
