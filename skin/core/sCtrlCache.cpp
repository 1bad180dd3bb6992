#include "skin/core/sCtrlCache.h"

#include <algorithm>
#include <cmath>

#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"

namespace {

void Shift(vcl::TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

bool CacheReady(TsCommonData* sd) {
  return sd && sd->CacheBmp() && sd->CacheBmp()->Width() > 0 && sd->CacheBmp()->Height() > 0;
}

void CopyPart(TsCommonData* sd, const vcl::TRect& srcRect, const vcl::TRect& dstRect, HDC dc) {
  BitBlt(dc, dstRect.Left, dstRect.Top, dstRect.Width(), dstRect.Height(), sd->CacheBmp()->Canvas()->Handle(),
         srcRect.Left, srcRect.Top, SRCCOPY);
}

void Exclude(HDC dc, const vcl::TRect& r) { ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom); }

bool Overlaps(const vcl::TRect& a, const vcl::TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The default manager's group-box frame widths (left, right, bottom of its border mask).
void GroupBoxWidths(int& left, int& right, int& bottom) {
  left = right = bottom = 0;
  TsSkinManager* sm = DefaultManager;
  if (!sm) return;
  const int section = sm->ConstData.Sections[ssGroupBox];
  if (!sm->IsValidSkinIndex(section)) return;
  const int mask = sm->GetMaskIndex(section, L"BORDERSMASK");
  if (!sm->IsValidImgIndex(mask)) return;
  left = sm->MaskWidthLeft(mask);
  right = sm->MaskWidthRight(mask);
  bottom = sm->MaskWidthBottom(mask);
}

}  // namespace

void CopyWinControlCache(vcl::TWinControl* control, TsCommonData* sd, const vcl::TRect& srcRect,
                         const vcl::TRect& dstRect, HDC dc, bool updateCorners, int offsetX, int offsetY) {
  if (!control || !dc || !CacheReady(sd)) return;
  if (updateCorners) UpdateCorners(sd, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, dstRect.Left, dstRect.Top, dstRect.Right, dstRect.Bottom);
  for (int i = 0; i < control->ControlCount(); ++i) {
    vcl::TControl* child = control->Controls(i);
    if (!child->Visible()) continue;
    vcl::TRect r = child->BoundsRect();
    Shift(r, offsetX, offsetY);
    if (!Overlaps(r, dstRect)) continue;
    const bool graphic = dynamic_cast<vcl::TWinControl*>(child) == nullptr;
    // Graphic children paint over the cache later unless transparency is drawn the platform's way.
    if (graphic && StdTransparency) continue;
    if (graphic || child->ControlStyle().Contains(vcl::csOpaque) || child->ComponentState().Contains(vcl::csDesigning))
      Exclude(dc, r);
  }
  CopyPart(sd, srcRect, dstRect, dc);
  RestoreDC(dc, saved);
}

void CopyHwndCache(HWND handle, TsCommonData* sd, const vcl::TRect& srcRect, const vcl::TRect& dstRect, HDC dc,
                   bool updateCorners, int offsetX, int offsetY) {
  if (!handle || !dc || !CacheReady(sd)) return;
  if (updateCorners) UpdateCorners(sd, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, dstRect.Left, dstRect.Top, dstRect.Right, dstRect.Bottom);
  // A bound on the walk: a window list that changes under us must not loop for ever.
  int guard = 4096;
  for (HWND child = GetTopWindow(handle); child && guard-- > 0; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT wr;
    GetWindowRect(child, &wr);
    POINT tl{wr.left, wr.top};
    ScreenToClient(handle, &tl);
    vcl::TRect r(tl.x, tl.y, tl.x + (wr.right - wr.left), tl.y + (wr.bottom - wr.top));
    Shift(r, offsetX, offsetY);
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(child, GWL_EXSTYLE);
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    const bool groupBox = lstrcmpiW(cls, L"Button") == 0 && (style & 7) == BS_GROUPBOX;
    if (groupBox && !(exStyle & WS_EX_CLIENTEDGE)) {
      int left, right, bottom;
      GroupBoxWidths(left, right, bottom);
      const int top = static_cast<int>(SendAMessage(child, LVC_GETSERVICEINT));
      Exclude(dc, vcl::TRect(r.Left, r.Top, r.Right, r.Top + top));
      Exclude(dc, vcl::TRect(r.Left, r.Top, r.Left + left, r.Bottom));
      Exclude(dc, vcl::TRect(r.Right - right, r.Top, r.Right, r.Bottom));
      Exclude(dc, vcl::TRect(r.Left, r.Bottom - bottom, r.Right, r.Bottom));
    } else {
      Exclude(dc, r);
    }
  }
  CopyPart(sd, srcRect, dstRect, dc);
  RestoreDC(dc, saved);
}

void UpdateControlColors(TsCommonData* sd, bool locked) {
  vcl::TControl* owner = sd ? sd->OwnerControl() : nullptr;
  if (!owner) return;
  auto* win = dynamic_cast<vcl::TWinControl*>(owner);
  const bool lock = !locked && win && win->HandleAllocated();
  if (lock) SendMessageW(win->Handle(), WM_SETREDRAW, 0, 0);
  TsSkinManager* sm = sd->SkinManager();
  if (sm && sm->IsValidSkinIndex(sd->SkinIndex)) {
    const TsGeneralData& g = sm->gd[static_cast<size_t>(sd->SkinIndex)];
    const int s = ControlIsActive(sd) ? 1 : 0;
    const TsGenState& st = g.Props[static_cast<size_t>(s)];
    if (!sd->CustomColor() && owner->Color() != st.Color) owner->SetColor(st.Color);
    if (!sd->CustomFont() && owner->Font()->Color() != st.FontColor.Color) {
      sd->CtrlSkinState |= LVCS_CHANGING;
      owner->Font()->SetColor(st.FontColor.Color);
      sd->CtrlSkinState &= static_cast<unsigned short>(~LVCS_CHANGING);
    }
  }
  if (lock) SendMessageW(win->Handle(), WM_SETREDRAW, 1, 0);
}

void UpdateBmpColors(vcl::TBitmap* bmp, TsCommonData* sd, bool allowCorners, int state) {
  if (!bmp || !sd) return;
  if (sd->FColorTone != clNoColorTone)
    ChangeBitmapPixels(bmp, ChangeColorTone,
                       static_cast<int>(SwapRedBlue(static_cast<std::uint32_t>(vcl::ColorToRGB(sd->FColorTone)))),
                       0xFF00FF);
  if (sd->FHUEOffset != 0) ChangeBitmapPixels(bmp, ChangeColorHUE, sd->FHUEOffset, 0xFF00FF);
  if (sd->FSaturation != 0)
    ChangeBitmapPixels(bmp, ChangeColorSaturation,
                       std::clamp(static_cast<int>(std::trunc(sd->FSaturation * 2.55)), -255, 255), 0xFF00FF);
  if (allowCorners) UpdateCorners(sd, state, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
}
