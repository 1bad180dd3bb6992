#include "skin/render/sSectionPaint.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/win.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGradientPaint.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"

namespace {

TsSkinManager* Manager(TsSkinManager* m) { return m ? m : DefaultManager; }

void FillWithColor(vcl::TBitmap* bmp, const vcl::TRect& r, vcl::TColor color) {
  if (bmp->PixelFormat() == vcl::pf32bit)
    FillRect32(bmp, r, color, 255);
  else
    FillDC(bmp->Canvas()->Handle(), r, color);
}

// The parent's pixels (or colour) into r, taken at pP of the parent's background.
void CopyParent(const TCacheInfo& ci, const vcl::TRect& r, vcl::TPoint pP, vcl::TBitmap* itemBmp) {
  if (ci.Ready && ci.Bmp) {
    if (ci.Bmp != itemBmp)
      BitBlt(itemBmp->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), ci.Bmp->Canvas()->Handle(), ci.X + pP.X,
             ci.Y + pP.Y, SRCCOPY);
    return;
  }
  if (!ci.Bmp) {
    FillWithColor(itemBmp, r, ci.FillColor);
    return;
  }
  // Only the frame of the parent's bitmap is valid (FillRect holds its four widths); the rest is its colour.
  const vcl::TRect a(pP.X, pP.Y, pP.X + r.Width(), pP.Y + r.Height());
  const vcl::TRect& f = ci.FillRect;
  const int bw = ci.Bmp->Width(), bh = ci.Bmp->Height();
  HDC dst = itemBmp->Canvas()->Handle(), src = ci.Bmp->Canvas()->Handle();
  int l = 0, t = 0, rr = 0, b = 0;
  if (f.Left > ci.X && a.Left < f.Left) l = f.Left - a.Left;
  if (f.Top > ci.Y && a.Top < f.Top) t = f.Top - a.Top;
  if (f.Right > 0 && a.Right > bw - f.Right && a.Right <= bw) rr = a.Right + f.Right - bw;
  if (f.Bottom > 0 && a.Bottom > bh - f.Bottom && a.Bottom <= bh) b = a.Bottom + f.Bottom - bh;
  l = std::min(l, r.Width());
  t = std::min(t, r.Height());
  rr = std::min(rr, r.Width());
  b = std::min(b, r.Height());
  if (l > 0) BitBlt(dst, r.Left, r.Top, l, r.Height(), src, ci.X + a.Left, ci.Y + a.Top, SRCCOPY);
  if (t > 0) BitBlt(dst, r.Left, r.Top, r.Width(), t, src, ci.X + a.Left, ci.Y + a.Top, SRCCOPY);
  if (rr > 0) BitBlt(dst, r.Right - rr, r.Top, rr, r.Height(), src, ci.X + a.Right - rr, ci.Y + a.Top, SRCCOPY);
  if (b > 0) BitBlt(dst, r.Left, r.Bottom - b, r.Width(), b, src, ci.X + a.Left, ci.Y + a.Bottom - b, SRCCOPY);
  vcl::TRect inner(r.Left + l, r.Top + t, r.Right - rr, r.Bottom - b);
  if (inner.Width() > 0 && inner.Height() > 0) FillWithColor(itemBmp, inner, ci.FillColor);
}

// The section's own layer: texture, gradient and colour mixed into r.
void PaintOwnLayer(TsSkinManager* sm, const vcl::TRect& r, vcl::TBitmap* itemBmp, const TCacheInfo& ci, int i, int g,
                   int textureIndex, const TsGradArray* gradient, vcl::TColor color, int t) {
  const bool validTexture = textureIndex >= 0 && sm->IsValidImgIndex(textureIndex);
  if (i + g == 100 && g > 0 && g < 100 && validTexture && gradient && !gradient->empty() &&
      sm->ma[static_cast<size_t>(textureIndex)].DrawMode == 0 && (*gradient)[0].Mode1 < 2) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(textureIndex)];
    PaintGradTxt(itemBmp, r, *gradient, ImageBitmap(md), md.R, static_cast<std::uint8_t>(i * 255 / 100), 255);
    return;
  }
  bool textured = false;
  if (i > 0 && validTexture) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(textureIndex)];
    vcl::TRect rest = r;
    TlvFillMode mode = lvFillModes[static_cast<size_t>(std::clamp<int>(md.DrawMode, 0, 14))];
    if ((md.MaskType & 0xFF) != 0)
      TileMasked(itemBmp, rest, ci, md, mode);
    else
      TileBitmap(itemBmp->Canvas(), rest, nullptr, md, mode);
    if (rest.Right != -1 && rest.Width() > 0 && rest.Height() > 0) FillRect32(itemBmp, rest, color, 255);
    textured = true;
  }
  if (g > 0) {
    const bool hasGradient = gradient && !gradient->empty();
    if (textured) {
      auto scratch = CreateBmp32(r.Width(), r.Height());
      if (hasGradient)
        PaintGrad(scratch.get(), vcl::Rect(0, 0, r.Width(), r.Height()), *gradient);
      else
        FillRect32(scratch.get(), vcl::Rect(0, 0, r.Width(), r.Height()), color, 255);
      SumBmpRect(itemBmp, scratch.get(), std::clamp(i * 255 / 100, 0, 255), vcl::Rect(0, 0, r.Width(), r.Height()),
                 r.TopLeft());
    } else if (hasGradient) {
      PaintGrad(itemBmp, r, *gradient);
    } else {
      FillRect32(itemBmp, r, color, 255);
    }
  }
  if (i + g > 0 && i + g < 100)
    BlendColorRect(itemBmp, vcl::Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), i + g, color);
  if (i + g == 0 && (ci.Ready || t == 0)) FillRect32(itemBmp, r, color, 255);
  if (i + g == 0 && !ci.Ready && t != 0) FillRect32(itemBmp, r, color, 255);
}

}  // namespace

bool GetBGInfo(TlvBGInfo& bgInfo, vcl::TControl* control, bool pleaseDraw) {
  bgInfo.Bmp = nullptr;
  bgInfo.BgType = btUnknown;
  bgInfo.PleaseDraw = pleaseDraw;
  bgInfo.FillRect = vcl::TRect();
  if (!control) {
    bgInfo.BgType = btFill;
    bgInfo.Color = 0xFF00FF;
    return true;
  }
  control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETBG), reinterpret_cast<LPARAM>(&bgInfo));
  if (bgInfo.BgType != btUnknown) return true;
  if (pleaseDraw && bgInfo.DrawDC) {
    int saved = SaveDC(bgInfo.DrawDC);
    POINT old;
    OffsetViewportOrgEx(bgInfo.DrawDC, -bgInfo.Offset.X, -bgInfo.Offset.Y, &old);
    vcl::TRect r = bgInfo.R;
    OffsetRect(vcl::AsRECT(&r), bgInfo.Offset.X, bgInfo.Offset.Y);
    IntersectClipRect(bgInfo.DrawDC, r.Left, r.Top, r.Right, r.Bottom);
    control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(bgInfo.DrawDC), 0);
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bgInfo.DrawDC), 0);
    RestoreDC(bgInfo.DrawDC, saved);
    return true;
  }
  bgInfo.BgType = btFill;
  TsSkinManager* sm = DefaultManager;
  if (control->ComponentState().Contains(vcl::csDesigning) && sm && sm->Active()) {
    bgInfo.Color = sm->GetGlobalColor();
  } else {
    LRESULT answer = control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETCONTROLCOLOR), 0);
    bgInfo.Color = answer ? static_cast<std::int32_t>(answer) : vcl::ColorToRGB(control->Color());
  }
  if (pleaseDraw && bgInfo.Bmp && bgInfo.DrawDC) FillDC(bgInfo.DrawDC, bgInfo.R, bgInfo.Color);
  return true;
}

bool GetBGInfo(TlvBGInfo& bgInfo, HWND handle, bool pleaseDraw) {
  bgInfo.Bmp = nullptr;
  bgInfo.BgType = btUnknown;
  bgInfo.PleaseDraw = pleaseDraw;
  bgInfo.FillRect = vcl::TRect();
  if (handle) SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(LVC_GETBG), reinterpret_cast<LPARAM>(&bgInfo));
  if (bgInfo.BgType != btUnknown) return true;
  if (pleaseDraw && bgInfo.DrawDC && handle) {
    int saved = SaveDC(bgInfo.DrawDC);
    POINT old;
    OffsetViewportOrgEx(bgInfo.DrawDC, -bgInfo.Offset.X, -bgInfo.Offset.Y, &old);
    vcl::TRect r = bgInfo.R;
    OffsetRect(vcl::AsRECT(&r), bgInfo.Offset.X, bgInfo.Offset.Y);
    IntersectClipRect(bgInfo.DrawDC, r.Left, r.Top, r.Right, r.Bottom);
    SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(bgInfo.DrawDC), 0);
    SendMessageW(handle, WM_PAINT, reinterpret_cast<WPARAM>(bgInfo.DrawDC), 0);
    RestoreDC(bgInfo.DrawDC, saved);
    return false;
  }
  bgInfo.BgType = btFill;
  bgInfo.Color = DefaultManager ? DefaultManager->GetGlobalColor() : static_cast<std::int32_t>(0xFF00000F);
  return false;
}

TCacheInfo BGInfoToCI(const TlvBGInfo& bgInfo) {
  TCacheInfo ci;
  ci.Bmp = bgInfo.Bmp;
  ci.X = bgInfo.Offset.X;
  ci.Y = bgInfo.Offset.Y;
  if (bgInfo.BgType == btCache) {
    ci.FillColor = 0xFF00FF;
    ci.Ready = true;
  } else {
    ci.FillColor = vcl::ColorToRGB(bgInfo.Color);
    ci.FillRect = bgInfo.FillRect;
    ci.Ready = false;
  }
  return ci;
}

void PaintItemBG(int skinIndex, const TCacheInfo& ci, int state, const vcl::TRect& r, vcl::TPoint pP,
                 vcl::TBitmap* itemBmp, TsSkinManager* skinManager, int textureIndex, int hotTextureIndex,
                 vcl::TColor customColor) {
  TsSkinManager* sm = Manager(skinManager);
  if (!sm || !itemBmp || !sm->IsValidSkinIndex(skinIndex) || r.Width() <= 0 || r.Height() <= 0) return;
  const TsGeneralData& gd = sm->gd[static_cast<size_t>(skinIndex)];
  state = std::min({state, gd.States - 1, 2});
  state = std::max(state, 0);
  const TsGenState& st = gd.Props[static_cast<size_t>(state)];
  vcl::TColor color;
  int t, i = 0, g = 0;
  const TsGradArray* gradient = nullptr;
  int texture = state != 0 ? hotTextureIndex : textureIndex;
  if (customColor == 0xFF00FF) {
    color = st.Color;
    t = st.Transparency;
    if (t != 100) {
      i = st.ImagePercent;
      g = st.GradientPercent;
      if (texture < 0 && i > 0) texture = st.TextureIndex;
      if (g != 0) gradient = &st.GradientArray;
    }
  } else {
    color = customColor;
    t = 0;
  }
  const bool noParent = !ci.Ready && ci.FillColor == 0xFF00FF;
  if (noParent || t == 0) {
    PaintOwnLayer(sm, r, itemBmp, ci, i, g, texture, gradient, color, t);
  } else if (t == 100) {
    CopyParent(ci, r, pP, itemBmp);
  } else if (ci.Ready || i + g != 0) {
    auto scratch = CreateBmp32(r.Width(), r.Height());
    PaintOwnLayer(sm, vcl::Rect(0, 0, r.Width(), r.Height()), scratch.get(), ci, i, g, texture, gradient, color, t);
    CopyParent(ci, r, pP, itemBmp);
    SumBmpRect(itemBmp, scratch.get(), static_cast<int>(std::nearbyint(t * 2.55)),
               vcl::Rect(0, 0, r.Width(), r.Height()), r.TopLeft());
  } else {
    FillWithColor(itemBmp, r, MixColors(ci.FillColor, color, t / 100.0));
  }
  int masked = textureIndex < 0 ? st.TextureIndex : textureIndex;
  masked = state != 0 && hotTextureIndex >= 0 ? hotTextureIndex : masked;
  if (customColor == 0xFF00FF && sm->IsValidImgIndex(masked)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(masked)];
    if (md.MaskType > 0 && md.DrawMode == 10) {
      TCacheInfo moved = ci;
      moved.X += pP.X;
      moved.Y += pP.Y;
      vcl::TRect rest = r;
      TileMasked(itemBmp, rest, moved, md, fmDisTiled);
    }
  }
}

void PaintItemBG(TsCommonData* skinData, const TCacheInfo& ci, int state, const vcl::TRect& r, vcl::TPoint pP,
                 vcl::TBitmap* itemBmp) {
  if (!skinData) return;
  TsSkinManager* sm = skinData->SkinManager();
  if (!sm || !sm->IsValidSkinIndex(skinData->SkinIndex)) return;
  vcl::TColor custom = 0xFF00FF;
  if (skinData->CustomColor()) {
    if (vcl::TControl* owner = skinData->OwnerControl()) custom = vcl::ColorToRGB(owner->Color());
  }
  state = std::min(state, sm->gd[static_cast<size_t>(skinData->SkinIndex)].States - 1);
  PaintItemBG(skinData->SkinIndex, ci, state, r, pP, itemBmp, sm, skinData->Texture, skinData->HotTexture, custom);
}

void PaintItemBGFast(int skinIndex, int textureIndex, const TCacheInfo& ci, int state, const vcl::TRect& r,
                     vcl::TPoint pP, vcl::TBitmap* itemBmp, TsSkinManager* skinManager) {
  TsSkinManager* sm = Manager(skinManager);
  if (!sm || !itemBmp || !sm->IsValidSkinIndex(skinIndex) || r.Width() <= 0 || r.Height() <= 0) return;
  const TsGenState& st = sm->gd[static_cast<size_t>(skinIndex)].Props[static_cast<size_t>(std::clamp(state, 0, 2))];
  const int t = st.Transparency, i = st.ImagePercent, g = st.GradientPercent;
  auto own = [&](vcl::TBitmap* bmp, vcl::TRect area) {
    vcl::TRect rest = area;
    bool textured = false;
    if (i > 0 && sm->IsValidImgIndex(textureIndex)) {
      const TsMaskData& md = sm->ma[static_cast<size_t>(textureIndex)];
      TlvFillMode mode = lvFillModes[static_cast<size_t>(std::clamp<int>(md.DrawMode, 0, 14))];
      if ((md.MaskType & 0xFF) != 0)
        TileMasked(bmp, rest, ci, md, mode);
      else
        TileBitmap(bmp->Canvas(), rest, nullptr, md, mode);
      textured = true;
      if (rest.Right == -1)
        rest = area;
      else
        FillRect32(bmp, rest, st.Color, 255);
    }
    if (g > 0) {
      if (textured) {
        auto scratch = CreateBmp32(rest.Width(), rest.Height());
        if (!st.GradientArray.empty())
          PaintGrad(scratch.get(), vcl::Rect(0, 0, rest.Width(), rest.Height()), st.GradientArray);
        else
          FillRect32(scratch.get(), vcl::Rect(0, 0, rest.Width(), rest.Height()), st.Color, 255);
        SumBmpRect(bmp, scratch.get(), i * 255 / 100, vcl::Rect(0, 0, rest.Width(), rest.Height()), rest.TopLeft());
      } else if (!st.GradientArray.empty()) {
        PaintGrad(bmp, rest, st.GradientArray);
      } else {
        FillRect32(bmp, rest, st.Color, 255);
      }
    }
    if (i + g > 0 && i + g < 100)
      BlendColorRect(bmp, vcl::Rect(rest.Left, rest.Top, rest.Right - 1, rest.Bottom - 1), i + g, st.Color);
    if (i + g == 0 || i + g > 100) FillRect32(bmp, rest, !ci.Ready && t == 100 ? ci.FillColor : st.Color, 255);
  };
  if (t == 100 && ci.Ready) {
    CopyParent(ci, r, pP, itemBmp);
  } else if (!ci.Ready || t == 0) {
    own(itemBmp, r);
  } else {
    auto scratch = CreateBmp32(r.Width(), r.Height());
    own(scratch.get(), vcl::Rect(0, 0, r.Width(), r.Height()));
    CopyParent(ci, r, pP, itemBmp);
    SumBmpRect(itemBmp, scratch.get(), t * 255 / 100, vcl::Rect(0, 0, r.Width(), r.Height()), r.TopLeft());
  }
}

namespace {

bool Inside(const vcl::TRect& r, vcl::TBitmap* bmp) {
  return bmp && r.Width() > 0 && r.Height() > 0 && r.Left >= 0 && r.Top >= 0 && r.Right <= bmp->Width() &&
         r.Bottom <= bmp->Height();
}

void CornerGlyphs(TsSkinManager* sm, const TsGeneralData& gd, int state, const vcl::TRect& r, vcl::TBitmap* bmp) {
  TCacheInfo self;
  self.Bmp = bmp;
  self.Ready = true;
  self.FillColor = 0xFF00FF;
  auto glyph = [&](int index, bool right, bool bottom) {
    if (!sm->IsValidImgIndex(index)) return;
    const TsMaskData& md = sm->ma[static_cast<size_t>(index)];
    vcl::TPoint p(right ? r.Right - WidthOfImage(md) : r.Left, bottom ? r.Bottom - HeightOfImage(md) : r.Top);
    DrawSkinGlyph(bmp, p, state, 1, md, self);
  };
  glyph(gd.ImgTL, false, false);
  glyph(gd.ImgTR, true, false);
  glyph(gd.ImgBL, false, true);
  glyph(gd.ImgBR, true, true);
}

}  // namespace

void PaintItem(int skinIndex, const TCacheInfo& ci, bool, int state, const vcl::TRect& r, vcl::TPoint pP,
               vcl::TBitmap* itemBmp, TsSkinManager* skinManager, int textureIndex, int hotTextureIndex) {
  TsSkinManager* sm = Manager(skinManager);
  if (!sm || !Inside(r, itemBmp) || !sm->IsValidSkinIndex(skinIndex)) return;
  const TsGeneralData& gd = sm->gd[static_cast<size_t>(skinIndex)];
  state = std::max(0, std::min(state, gd.States - 1));
  PaintItemBG(skinIndex, ci, state, r, pP, itemBmp, sm, textureIndex, hotTextureIndex, 0xFF00FF);
  CornerGlyphs(sm, gd, state, r, itemBmp);
  if (sm->IsValidImgIndex(gd.BorderIndex)) {
    TCacheInfo moved = ci;
    moved.X += pP.X;
    moved.Y += pP.Y;
    DrawSkinRect(itemBmp, r, moved, sm->ma[static_cast<size_t>(gd.BorderIndex)], state, true);
  }
}

void PaintItem(TsCommonData* skinData, const TCacheInfo& ci, bool, int state, const vcl::TRect& r, vcl::TPoint pP,
               vcl::TBitmap* itemBmp, bool updateCorners, int, int) {
  if (!skinData) return;
  TsSkinManager* sm = skinData->SkinManager();
  if (!sm || !Inside(r, itemBmp) || !sm->IsValidSkinIndex(skinData->SkinIndex)) return;
  const TsGeneralData& gd = sm->gd[static_cast<size_t>(skinData->SkinIndex)];
  state = std::max(0, std::min(state, gd.States - 1));
  PaintItemBG(skinData, ci, state, r, pP, itemBmp);
  CornerGlyphs(sm, gd, state, r, itemBmp);
  bool border = false;
  if (sm->IsValidImgIndex(skinData->BorderIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(skinData->BorderIndex)];
    if (!(state == 0 && (md.DrawMode & BDM_ACTIVEONLY))) {
      TCacheInfo moved = ci;
      moved.X += pP.X;
      moved.Y += pP.Y;
      DrawSkinRect(itemBmp, r, moved, md, state, updateCorners);
      border = true;
    }
  }
  if (!border && gd.Props[static_cast<size_t>(std::min(state, 2))].Transparency != 0) return;
  if (skinData->FColorTone != clNoColorTone)
    ChangeBitmapPixels(itemBmp, ChangeColorTone, skinData->FColorTone, 0xFF00FF);
  if (skinData->FHUEOffset != 0) ChangeBitmapPixels(itemBmp, ChangeColorHUE, skinData->FHUEOffset, 0xFF00FF);
  if (skinData->FSaturation != 0) ChangeBitmapPixels(itemBmp, ChangeColorSaturation, skinData->FSaturation, 0xFF00FF);
}

void PaintItem(int skinIndex, const TCacheInfo& ci, bool filling, int state, const vcl::TRect& r, vcl::TPoint pP,
               HDC dc, TsSkinManager* skinManager) {
  TsSkinManager* sm = Manager(skinManager);
  if (!sm || !sm->IsValidSkinIndex(skinIndex) || r.Left < 0 || r.Top < 0 || r.Width() <= 0 || r.Height() <= 0) return;
  int saved = SaveDC(dc);
  auto scratch = CreateBmp32(r.Width(), r.Height());
  PaintItem(skinIndex, ci, filling, state, vcl::Rect(0, 0, r.Width(), r.Height()), pP, scratch.get(), sm, -1, -1);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), scratch->Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

void PaintItem(int skinIndex, const rtl::String&, const TCacheInfo& ci, bool filling, int state, const vcl::TRect& r,
               vcl::TPoint pP, HDC dc, TsSkinManager* skinManager) {
  PaintItem(skinIndex, ci, filling, state, r, pP, dc, skinManager);
}

void PaintItemFast(int skinIndex, int maskIndex, int textureIndex, int, const TCacheInfo& ci, bool, int state,
                   const vcl::TRect& r, vcl::TPoint pP, vcl::TBitmap* itemBmp, TsSkinManager* skinManager) {
  TsSkinManager* sm = Manager(skinManager);
  if (!sm || !Inside(r, itemBmp) || !sm->IsValidSkinIndex(skinIndex)) return;
  state = std::max(0, std::min(state, sm->gd[static_cast<size_t>(skinIndex)].States - 1));
  PaintItemBGFast(skinIndex, textureIndex, ci, state, r, pP, itemBmp, sm);
  if (sm->IsValidImgIndex(maskIndex)) {
    TCacheInfo moved = ci;
    moved.X += pP.X;
    moved.Y += pP.Y;
    DrawSkinRect(itemBmp, r, moved, sm->ma[static_cast<size_t>(maskIndex)], state, true);
  }
}

void PaintSection(vcl::TBitmap* bmp, int skinIndex, int secondIndex, int state, TsSkinManager* skinManager,
                  vcl::TPoint parentOffset, vcl::TColor bgColor, HDC parentDC) {
  if (skinIndex < 0) skinIndex = secondIndex;
  if (skinIndex < 0 || !bmp) return;
  TCacheInfo ci;
  ci.FillColor = bgColor;
  if (parentDC) {
    BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), parentDC, parentOffset.X, parentOffset.Y,
           SRCCOPY);
    ci.Bmp = bmp;
    ci.Ready = true;
  }
  PaintItem(skinIndex, ci, true, state, vcl::Rect(0, 0, bmp->Width(), bmp->Height()), vcl::TPoint(), bmp, skinManager,
            -1, -1);
}

bool PaintSkinControl(TsCommonData* skinData, vcl::TControl* parent, bool, int state, const vcl::TRect& r,
                      vcl::TPoint pP, vcl::TBitmap* itemBmp, bool updateCorners, int, int) {
  if (!skinData) return true;
  TsSkinManager* sm = skinData->SkinManager();
  if (!sm || !Inside(r, itemBmp) || !sm->IsValidSkinIndex(skinData->SkinIndex)) return true;
  TlvBGInfo bg;
  GetBGInfo(bg, parent, false);
  if (bg.BgType == btNotReady) return false;
  TCacheInfo ci = BGInfoToCI(bg);
  const TsGeneralData& gd = sm->gd[static_cast<size_t>(skinData->SkinIndex)];
  state = std::max(0, std::min(state, gd.States - 1));
  PaintItemBG(skinData, ci, state, r, pP, itemBmp);
  if (sm->IsValidImgIndex(skinData->BorderIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(skinData->BorderIndex)];
    if (!(state == 0 && (md.DrawMode & BDM_ACTIVEONLY))) {
      TCacheInfo moved = ci;
      moved.X += pP.X;
      moved.Y += pP.Y;
      DrawSkinRect(itemBmp, r, moved, md, state, updateCorners);
    }
  }
  CornerGlyphs(sm, gd, state, r, itemBmp);
  return true;
}

void PaintControlByTemplate(vcl::TBitmap* dst, vcl::TBitmap* src, const vcl::TRect& d, const vcl::TRect& s,
                            const vcl::TRect& m, const vcl::TRect& limits, const vcl::TRect& sideModes,
                            bool stretchCenter, bool drawCenter) {
  if (!dst || !src) return;
  HDC dd = dst->Canvas()->Handle(), sd = src->Canvas()->Handle();
  SetStretchBltMode(dd, COLORONCOLOR);
  const int l = std::min(m.Left, limits.Left), r = std::min(m.Right, limits.Right);
  const int t = std::min(m.Top, limits.Top), b = std::min(m.Bottom, limits.Bottom);
  auto blt = [&](int x, int y, int w, int h, int sx, int sy) {
    if (w > 0 && h > 0) BitBlt(dd, x, y, w, h, sd, sx, sy, SRCCOPY);
  };
  // Corners.
  blt(d.Left, d.Top, m.Left, t, s.Left, s.Top);
  if (t != m.Top) blt(d.Left, d.Top + t, l, m.Top - t, s.Left, s.Top + t);
  blt(d.Left, d.Bottom - b, m.Left, b, s.Left, s.Bottom - b);
  if (b != m.Bottom) blt(d.Left, d.Bottom - m.Bottom, l, m.Bottom - b, s.Left, s.Bottom - m.Bottom);
  blt(d.Right - m.Right, d.Top, m.Right, t, s.Right - m.Right, s.Top);
  if (t != m.Top) blt(d.Right - r, d.Top + t, r, m.Top - t, s.Right - r, s.Top + t);
  blt(d.Right - m.Right, d.Bottom - b, m.Right, b, s.Right - m.Right, s.Bottom - b);
  if (b != m.Bottom) blt(d.Right - r, d.Bottom - m.Bottom, r, m.Bottom - b, s.Right - r, s.Bottom - m.Bottom);
  const int cx = std::max(0, s.Width() - m.Right - m.Left), cy = std::max(0, s.Height() - m.Bottom - m.Top);
  const int dx0 = d.Left + m.Left, dx1 = d.Right - m.Right, dy0 = d.Top + m.Top, dy1 = d.Bottom - m.Bottom;
  auto sideY = [&](int x, int w, int sx, bool stretchIt) {
    if (cy <= 0 || w <= 0) return;
    if (stretchIt) {
      StretchBlt(dd, x, dy0, w, dy1 - dy0, sd, sx, s.Top + m.Top, w, cy, SRCCOPY);
      return;
    }
    int y = dy0;
    for (; y + cy <= dy1; y += cy) blt(x, y, w, cy, sx, s.Top + m.Top);
    blt(x, y, w, dy1 - y, sx, s.Top + m.Top);
  };
  auto sideX = [&](int y, int h, int sy, bool stretchIt) {
    if (cx <= 0 || h <= 0) return;
    if (stretchIt) {
      StretchBlt(dd, dx0, y, dx1 - dx0, h, sd, s.Left + m.Left, sy, cx, h, SRCCOPY);
      return;
    }
    int x = dx0;
    for (; x + cx <= dx1; x += cx) blt(x, y, cx, h, s.Left + m.Left, sy);
    blt(x, y, dx1 - x, h, s.Left + m.Left, sy);
  };
  sideY(d.Left, l, s.Left, sideModes.Left == 1);
  sideX(d.Top, t, s.Top, sideModes.Top == 1);
  sideY(d.Right - r, r, s.Right - r, sideModes.Right == 1);
  sideX(d.Bottom - b, b, s.Bottom - b, sideModes.Bottom == 1);
  if (!drawCenter || dx1 <= dx0 || dy1 <= dy0) return;
  if (stretchCenter) {
    StretchBlt(dd, dx0, dy0, dx1 - dx0, dy1 - dy0, sd, s.Left + m.Left, s.Top + m.Top, cx, cy, SRCCOPY);
    return;
  }
  if (cx <= 0 || cy <= 0) return;
  for (int y = dy0; y < dy1; y += cy)
    for (int x = dx0; x < dx1; x += cx)
      blt(x, y, std::min(cx, dx1 - x), std::min(cy, dy1 - y), s.Left + m.Left, s.Top + m.Top);
}

void FillDC(HDC dc, const vcl::TRect& r, vcl::TColor color) {
  int saved = SaveDC(dc);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(color)) & 0xFFFFFF);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FillRect(dc, &rc, brush);
  DeleteObject(brush);
  RestoreDC(dc, saved);
}

void FillDCBorder(HDC dc, const vcl::TRect& r, int wl, int wt, int wr, int wb, vcl::TColor color) {
  int saved = SaveDC(dc);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(color)) & 0xFFFFFF);
  RECT parts[4] = {{r.Left, r.Top, r.Right, r.Top + wt},
                   {r.Left, r.Top + wt, r.Left + wl, r.Bottom},
                   {r.Left + wl, r.Bottom - wb, r.Right, r.Bottom},
                   {r.Right - wr, r.Top + wt, r.Right, r.Bottom - wb}};
  for (RECT& p : parts) ::FillRect(dc, &p, brush);
  DeleteObject(brush);
  RestoreDC(dc, saved);
}

void ExcludeControls(HDC dc, vcl::TWinControl* ctrl, int, int offsetX, int offsetY) {
  if (StdTransparency || !ctrl) return;
  for (int i = 0; i < ctrl->ControlCount(); ++i) {
    vcl::TControl* c = ctrl->Controls(i);
    if (dynamic_cast<vcl::TWinControl*>(c) || !c->Visible()) continue;
    ExcludeClipRect(dc, c->Left() + offsetX, c->Top() + offsetY, c->Left() + c->Width() + offsetX,
                    c->Top() + c->Height() + offsetY);
  }
}
