#pragma once
// A test skin made in code for the painting tests: a manager whose tables hold a master bitmap with a masked
// nine-slice border (three state frames), an unmasked border with transparent corners, a tiled texture, a glyph
// strip and the sections that use them; pixels read and written as $AARRGGBB.
#include <memory>

#include "platform/vcl/bitmap.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"

namespace painttest {

inline std::uint32_t& Px(vcl::TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x]; }
inline std::uint32_t Rgb(std::uint32_t px) { return px & 0x00FFFFFF; }

inline std::unique_ptr<vcl::TBitmap> Filled(int w, int h, std::uint32_t px) {
  auto b = CreateBmp32(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Px(b.get(), x, y) = px;
  return b;
}

// Index of each piece of the test skin.
enum : int { kMaskedBorder, kKeyBorder, kTexture, kGlyph };
enum : int { kPlain, kHalf, kClear, kGradient, kTextured, kBordered, kKeyed };

// The master bitmap (96 x 64):
//   (0,0)-(48,32): masked border, 3 frames of 16 x 16, mask half below: frame k has corners in colour C(k) (4 x 4),
//                  sides $0000FF (blue) and centre $00FF00 (green); the mask is black (opaque) except a white
//                  (transparent) centre in frame 0.
//   (48,0)-(60,12): unmasked 12 x 12 border: top-left pixel key colour, corners red, sides yellow, centre grey.
//   (60,0)-(64,4):  texture 4 x 4 checker black / white.
//   (64,0)-(88,8):  glyph strip, 3 frames 8 x 8 (masked, mask half 8 rows below): frame k a square of colour G(k)
//                  with a transparent 1-pixel ring.
inline std::uint32_t CornerColour(int frame) {
  return frame == 0 ? 0x00FF0000u : frame == 1 ? 0x00880088u : 0x00444444u;
}
inline std::uint32_t GlyphColour(int frame) {
  return frame == 0 ? 0x00FF8000u : frame == 1 ? 0x0000FFFFu : 0x00FF00FFu - 1;
}

class TestSkin {
 public:
  TestSkin() : manager(std::make_unique<TsSkinManager>(nullptr)) {
    auto& t = static_cast<TsSkinTables&>(*manager);
    t.MasterBitmap = Filled(96, 64, 0x00000000);
    vcl::TBitmap* m = t.MasterBitmap.get();
    for (int f = 0; f < 3; ++f)
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          bool corner = (x < 4 || x >= 12) && (y < 4 || y >= 12);
          bool side = !corner && (x < 4 || x >= 12 || y < 4 || y >= 12);
          Px(m, f * 16 + x, y) = corner ? CornerColour(f) : side ? 0x000000FFu : 0x0000FF00u;
          Px(m, f * 16 + x, y + 16) = (f == 0 && !corner && !side) ? 0x00FFFFFFu : 0;
        }
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        bool corner = (x < 3 || x >= 9) && (y < 3 || y >= 9);
        bool side = !corner && (x < 3 || x >= 9 || y < 3 || y >= 9);
        Px(m, 48 + x, y) = (x == 0 && y == 0) ? 0x00FF00FFu : corner ? 0x00FF0000u : side ? 0x00FFFF00u : 0x00808080u;
      }
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) Px(m, 60 + x, y) = ((x + y) % 2) ? 0x00FFFFFFu : 0x00000000u;
    for (int f = 0; f < 3; ++f)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          bool ring = x == 0 || y == 0 || x == 7 || y == 7;
          Px(m, 64 + f * 8 + x, y) = ring ? 0x00FF00FFu : GlyphColour(f);
          Px(m, 64 + f * 8 + x, y + 8) = ring ? 0x00FFFFFFu : 0;
        }
    auto image = [&](vcl::TRect r, int count, int maskType, int margins, int drawMode, int cornerType) {
      TsMaskData md;
      md.R = r;
      md.ImageCount = static_cast<std::int16_t>(count);
      md.MaskType = static_cast<std::int16_t>(maskType);
      md.DrawMode = static_cast<std::int16_t>(drawMode);
      md.Manager = manager.get();
      md.WL = md.WT = md.WR = md.WB = static_cast<std::int16_t>(margins);
      md.CornerType = cornerType;
      t.ma.push_back(std::move(md));
    };
    image(vcl::Rect(0, 0, 48, 32), 3, 1, 4, BDM_FILL, 0);
    image(vcl::Rect(48, 0, 60, 12), 1, 0, 3, BDM_FILL, 1);
    image(vcl::Rect(60, 0, 64, 4), 1, 0, 0, 0, 0);
    image(vcl::Rect(64, 0, 88, 16), 3, 1, 0, 0, 0);
    auto section = [&](std::int32_t colour, int transparency) {
      TsGeneralData gd;
      for (auto& st : gd.Props) {
        st.Color = colour;
        st.Transparency = transparency;
      }
      gd.Props[1].Color = 0x00FFFF;  // hot: yellow
      t.gd.push_back(gd);
      return static_cast<int>(t.gd.size()) - 1;
    };
    section(0x0000FF, 0);          // kPlain: red
    section(0x000000, 50);         // kHalf
    section(0x00FF00, 100);        // kClear
    int g = section(0xFFFFFF, 0);  // kGradient: red to blue, vertical
    t.gd[static_cast<size_t>(g)].Props[0].GradientPercent = 100;
    PrepareGradArray(L"255;16711680;100;0;0", t.gd[static_cast<size_t>(g)].Props[0].GradientArray);
    int tx = section(0x000000, 0);  // kTextured
    t.gd[static_cast<size_t>(tx)].Props[0].ImagePercent = 100;
    t.gd[static_cast<size_t>(tx)].Props[0].TextureIndex = kTexture;
    int b = section(0xC0C0C0, 0);  // kBordered
    t.gd[static_cast<size_t>(b)].BorderIndex = kMaskedBorder;
    int k = section(0xC0C0C0, 0);  // kKeyed
    t.gd[static_cast<size_t>(k)].BorderIndex = kKeyBorder;
    for (auto& s : t.gd) {
      s.Props[0].FontColor = {0x000000, -1, -1, -1, -1};
      s.Props[1].FontColor = {0x0000FF, 0x00FF00, -1, -1, -1};
    }
  }
  TsSkinManager* operator->() { return manager.get(); }
  TsSkinManager* Get() { return manager.get(); }
  const TsMaskData& Mask(int i) { return manager->ma[static_cast<size_t>(i)]; }

  std::unique_ptr<TsSkinManager> manager;
};

}  // namespace painttest
