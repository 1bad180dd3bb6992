#include "skin/core/sSkinRecolor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/core/sSkinManager.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sGraphUtils.h"

using rtl::String;

namespace {

// A colour changed by fn unless it is -1 (no colour). System colour values (negative) name an entry of the
// system's table, not a colour, and are left as they are.
template <class Fn>
void Recolor(std::int32_t& c, Fn fn) {
  if (c == -1 || c < 0) return;
  c = fn(c);
}

template <class Fn>
void RecolorStates(TsSkinTables& t, bool gradientsAlways, Fn fn) {
  for (TsGeneralData& g : t.gd)
    for (TsGenState& s : g.Props) {
      if (gradientsAlways || s.GradientPercent > 0)
        for (TsGradPie& pie : s.GradientArray) {
          Recolor(pie.Color1, fn);
          Recolor(pie.Color2, fn);
        }
      Recolor(s.Color, fn);
      Recolor(s.GlowColor, fn);
      Recolor(s.FontColor.Color, fn);
      Recolor(s.FontColor.Left, fn);
      Recolor(s.FontColor.Top, fn);
      Recolor(s.FontColor.Right, fn);
      Recolor(s.FontColor.Bottom, fn);
    }
}

template <class Fn>
void RecolorPalette(TsSkinTables& t, TsSkinData& d, Fn fn) {
  Recolor(d.Shadow1Color, fn);
  for (int i = 0; i < lvPaletteSize; ++i)
    if (ChangeableColors.Contains(i)) Recolor(t.Palette[static_cast<size_t>(i)], fn);
}

int GlobalImage(const TsSkinTables& t, const wchar_t* name) {
  return t.GetMaskIndex(t.GetSkinIndex(L"GLOBALINFO"), L"GLOBALINFO", name);
}

// Copies the pixels of src over dst (same size) except inside the excluded rectangles.
void CopyExcept(vcl::TBitmap* src, vcl::TBitmap* dst, const std::vector<vcl::TRect>& excluded) {
  std::uint8_t *s0, *d0;
  std::ptrdiff_t sd, dd;
  if (!InitLine(src, s0, sd) || !InitLine(dst, d0, dd)) return;
  for (int y = 0; y < dst->Height(); ++y)
    for (int x = 0; x < dst->Width(); ++x) {
      bool keep = false;
      for (const vcl::TRect& r : excluded)
        if (r.Contains(vcl::TPoint(x, y))) {
          keep = true;
          break;
        }
      if (!keep) *PixelAt(d0, dd, x, y) = *PixelAt(s0, sd, x, y);
    }
}

// Copies the rectangle r of src into the same place of dst.
void CopyRect(vcl::TBitmap* src, vcl::TBitmap* dst, const vcl::TRect& r) {
  std::uint8_t *s0, *d0;
  std::ptrdiff_t sd, dd;
  if (!InitLine(src, s0, sd) || !InitLine(dst, d0, dd)) return;
  const int left = std::max(0, r.Left), right = std::min(r.Right, dst->Width());
  const int top = std::max(0, r.Top), bottom = std::min(r.Bottom, dst->Height());
  if (right <= left) return;
  for (int y = top; y < bottom; ++y)
    std::memcpy(PixelAt(d0, dd, left, y), PixelAt(s0, sd, left, y), static_cast<size_t>(right - left) * 4);
}

std::unique_ptr<vcl::TBitmap> Copy32(vcl::TBitmap* bmp) {
  auto copy = CreateBmp32(bmp->Width(), bmp->Height());
  CopyRect(bmp, copy.get(), vcl::TRect(0, 0, bmp->Width(), bmp->Height()));
  return copy;
}

bool Usable(vcl::TBitmap* bmp) { return bmp && !bmp->Empty() && bmp->PixelFormat() == vcl::pf32bit; }

}  // namespace

void ChangeSkinHue(TsSkinTables& t, TsSkinData& d, int value) {
  if (value == 0) return;
  std::vector<vcl::TRect> protectedRects;
  std::vector<vcl::TBitmap*> protectedBitmaps;
  if (d.BIKeepHUE >= 1) {
    std::vector<const wchar_t*> names = {L"BICONCLOSE", L"BICLOSEALONE", L"SICONCLOSE"};
    if (d.BIKeepHUE == 1)
      names.insert(names.end(),
                   {L"BICONMAX", L"BICONMIN", L"BICONNORM", L"BICONHELP", L"SICONMAX", L"SICONMIN", L"SICONNORM"});
    for (const wchar_t* name : names) {
      int i = GlobalImage(t, name);
      if (i < 0) continue;
      const TsMaskData& m = t.ma[static_cast<size_t>(i)];
      if (m.Bmp) {
        protectedBitmaps.push_back(m.Bmp);
        int glow = GlobalImage(t, (String(name) + L"GLOW" + L"0").c_str());
        if (glow >= 0 && t.ma[static_cast<size_t>(glow)].Bmp)
          protectedBitmaps.push_back(t.ma[static_cast<size_t>(glow)].Bmp);
      } else {
        protectedRects.push_back(m.R);
      }
    }
  }
  if (Usable(t.MasterBitmap.get())) {
    if (d.BIKeepHUE < 1) {
      ChangeBitmapPixels(t.MasterBitmap.get(), ChangeColorHUE, value, sFuchsia);
    } else {
      auto rotated = Copy32(t.MasterBitmap.get());
      ChangeBitmapPixels(rotated.get(), ChangeColorHUE, value, sFuchsia);
      CopyExcept(rotated.get(), t.MasterBitmap.get(), protectedRects);
    }
  }
  for (TlvExtFileData& e : t.ExtArray)
    if (Usable(e.Bmp.get()) &&
        std::find(protectedBitmaps.begin(), protectedBitmaps.end(), e.Bmp.get()) == protectedBitmaps.end())
      ChangeBitmapPixels(e.Bmp.get(), ChangeColorHUE, value, sFuchsia);
  auto fn = [value](std::int32_t c) { return ChangeHue(value, c); };
  RecolorStates(t, false, fn);
  RecolorPalette(t, d, fn);
}

void ChangeSkinSaturation(TsSkinTables& t, TsSkinData& d, int value) {
  if (value == 0) return;
  const int v = std::clamp(static_cast<int>(std::trunc(value * 2.55)), -255, 255);
  if (Usable(t.MasterBitmap.get())) ChangeBitmapPixels(t.MasterBitmap.get(), ChangeColorSaturation, v, sFuchsia);
  for (TlvExtFileData& e : t.ExtArray)
    if (Usable(e.Bmp.get())) ChangeBitmapPixels(e.Bmp.get(), ChangeColorSaturation, v, sFuchsia);
  auto fn = [v](std::int32_t c) { return ChangeSaturation(c, v); };
  RecolorStates(t, true, fn);
  RecolorPalette(t, d, fn);
}

void ChangeSkinBrightness(TsSkinTables& t, TsSkinData& d, int value) {
  if (value == 0) return;
  vcl::TBitmap* master = t.MasterBitmap.get();
  if (Usable(master)) {
    auto original = Copy32(master);
    ChangeBitmapPixels(master, ChangeColorBrightness, value, sFuchsia);
    // Masks are alpha, not colour: the lower halves of images with a mask keep their values.
    for (const TsMaskData& m : t.ma)
      if (!m.Bmp && m.MaskType == 1)
        CopyRect(original.get(), master, vcl::TRect(m.R.Left, m.R.Top + m.R.Height() / 2, m.R.Right, m.R.Bottom));
  }
  for (TlvExtFileData& e : t.ExtArray) {
    vcl::TBitmap* bmp = e.Bmp.get();
    if (!Usable(bmp)) continue;
    if (e.MaskType != 0) {
      auto original = Copy32(bmp);
      ChangeBitmapPixels(bmp, ChangeColorBrightness, value, sFuchsia);
      CopyRect(original.get(), bmp, vcl::TRect(0, bmp->Height() / 2, bmp->Width(), bmp->Height()));
    } else {
      ChangeBitmapPixels(bmp, ChangeColorBrightness, value, sFuchsia);
      if (value > 0) {
        if (d.Version < lvTranspVer)
          UpdateTransPixels(bmp);
        else
          UpdateAlpha(bmp);
      }
    }
  }
  RecolorStates(t, true, [value](std::int32_t c) { return ChangeBrightness(c, value); });
}

void ChangeSkinHue(TsSkinManager* manager, int value) {
  if (manager) ChangeSkinHue(*manager, *manager->CommonSkinData, value);
}

void ChangeSkinSaturation(TsSkinManager* manager, int value) {
  if (manager) ChangeSkinSaturation(*manager, *manager->CommonSkinData, value);
}

void ChangeSkinBrightness(TsSkinManager* manager, int value) {
  if (manager) ChangeSkinBrightness(*manager, *manager->CommonSkinData, value);
}
