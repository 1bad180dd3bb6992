#include "skin/render/sItem32.h"

#include <algorithm>

#include "platform/rtl/win.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGradientPaint.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"

namespace {

TsSkinManager* Manager(TsSkinManager* m) { return m ? m : DefaultManager; }

void PaintAddons(TsSkinManager* sm, const vcl::TRect& r, vcl::TBitmap* bmp, vcl::TColor color, int imagePercent,
                 int gradientPercent, const TsGradArray* gradient, int transparency, int textureIndex) {
  const bool validTexture = sm->IsValidImgIndex(textureIndex);
  if (imagePercent + gradientPercent == 100 && gradientPercent >= 1 && gradientPercent <= 99 && validTexture &&
      gradient && !gradient->empty() && sm->ma[static_cast<size_t>(textureIndex)].DrawMode == 0 &&
      (*gradient)[0].Mode1 < 2) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(textureIndex)];
    PaintGradTxt(bmp, r, *gradient, ImageBitmap(md), md.R, static_cast<std::uint8_t>(imagePercent * 255 / 100),
                 transparency < 50 ? 255 : 0);
    return;
  }
  bool textured = false;
  if (imagePercent > 0) {
    vcl::TRect rest = r;
    if (validTexture) {
      const TsMaskData& md = sm->ma[static_cast<size_t>(textureIndex)];
      TlvFillMode mode = lvFillModes[static_cast<size_t>(std::clamp<int>(md.DrawMode, 0, 14))];
      if (md.MaskType > 0)
        TileMasked(bmp, rest, EmptyCI, md, mode);
      else
        TileBitmap(bmp->Canvas(), rest, nullptr, md, mode);
    }
    if (rest.Right != -1) FillRect32(bmp, rest, color, 255);
    textured = true;
  }
  if (gradientPercent > 0) {
    const bool hasGradient = gradient && !gradient->empty();
    if (textured) {
      const int w = std::max(0, r.Width()), h = std::max(0, r.Height());
      auto scratch = CreateBmp32(w, h);
      if (hasGradient)
        PaintGrad(scratch.get(), vcl::Rect(0, 0, w, h), *gradient);
      else
        FillRect32(scratch.get(), vcl::Rect(0, 0, w, h), color, 255);
      SumBmpRect(bmp, scratch.get(), std::clamp(imagePercent * 255 / 100, 0, 255), vcl::Rect(0, 0, w, h), r.TopLeft());
    } else if (hasGradient) {
      PaintGrad(bmp, r, *gradient);
    } else {
      FillRect32(bmp, r, color, 255);
      return;
    }
  }
  const int sum = imagePercent + gradientPercent;
  if (sum >= 1 && sum <= 99) {
    BlendColorRect(bmp, vcl::Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), sum, color);
    return;
  }
  if (sum != 0) return;
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!InitLine(bmp, line0, delta)) return;
  const TsColor_ corner = *PixelAt(line0, delta, std::max(r.Left, 0), std::max(r.Top, 0));
  const int alpha = (100 - transparency) * 255 / 100;
  if (corner.C == 0)
    FillRect32(bmp, r, color, static_cast<std::uint8_t>(alpha));
  else if (transparency == 0)
    FillRect32(bmp, r, color, 255);
  else
    BlendRect32(bmp, r, color, 100 - transparency, static_cast<std::uint8_t>(std::max<int>(corner.A, alpha)));
}

}  // namespace

void PaintItemBG32(int skinIndex, int state, const vcl::TRect& r, vcl::TBitmap* itemBmp, TsSkinManager* skinManager,
                   vcl::TColor customColor) {
  TsSkinManager* sm = Manager(skinManager);
  if (!sm || !itemBmp || !sm->IsValidSkinIndex(skinIndex)) return;
  const TsGenState& st = sm->gd[static_cast<size_t>(skinIndex)].Props[static_cast<size_t>(std::clamp(state, 0, 2))];
  if (st.Transparency == 100) {
    if (itemBmp->Width() == r.Width() && itemBmp->Height() == r.Height()) FillRect32(itemBmp, r, 0, 0);
    return;
  }
  if (customColor == 0xFF00FF)
    PaintAddons(sm, r, itemBmp, st.Color, st.ImagePercent, st.GradientPercent,
                st.GradientPercent > 0 ? &st.GradientArray : nullptr, st.Transparency,
                st.ImagePercent > 0 ? st.TextureIndex : -1);
  else
    PaintAddons(sm, r, itemBmp, customColor, 0, 0, nullptr, 0, -1);
}

void PaintItem32(int skinIndex, bool, int state, const vcl::TRect& r, vcl::TPoint, vcl::TBitmap* itemBmp,
                 TsSkinManager* skinManager) {
  TsSkinManager* sm = Manager(skinManager);
  if (!itemBmp || r.Width() <= 0 || r.Height() <= 0 || !sm || !sm->IsValidSkinIndex(skinIndex)) return;
  if (r.Left < 0 || r.Top < 0 || r.Right > itemBmp->Width() || r.Bottom > itemBmp->Height()) return;
  const TsGeneralData& gd = sm->gd[static_cast<size_t>(skinIndex)];
  state = std::max(0, std::min(state, gd.States - 1));
  // What lies under the item, for the border's transparent pixels.
  auto under = CreateBmp32(r.Width() + 1, r.Height() + 1);
  BitBlt(under->Canvas()->Handle(), 0, 0, r.Width() + 1, r.Height() + 1, itemBmp->Canvas()->Handle(), r.Left, r.Top,
         SRCCOPY);
  PaintItemBG32(skinIndex, std::min(state, 2), r, itemBmp, sm, 0xFF00FF);
  if (sm->IsValidImgIndex(gd.BorderIndex)) {
    TCacheInfo ci;
    ci.Bmp = under.get();
    ci.X = -r.Left;
    ci.Y = -r.Top;
    ci.Ready = true;
    ci.FillColor = 0xFF00FF;
    DrawSkinRect32(itemBmp, r, ci, sm->ma[static_cast<size_t>(gd.BorderIndex)], state);
  }
  if (r.Width() == itemBmp->Width() && r.Height() == itemBmp->Height()) UpdateAlpha(itemBmp);
}
