// A skinned hint over a wholly transparent section whose border mask has two parts (the picture and, under it, how
// much of each picture pixel shows): the balloon takes its opacity from the mask half, laid out in the same nine
// parts as the picture. The skin is a copy of Lale whose master picture gains such a mask below its own rows.
// Screenshot: $TAVREL_SHOTS/hintmask_Lale.png (over white).
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/png.h"
#include "skin/controls/lvAlphaHints.h"
#include "skin/core/sSkinManager.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

namespace {

using namespace ctltest;

constexpr int kFrame = 20;      // each frame of the added mask is 20 x 20, three frames across
constexpr int kBand = 5;        // the nine-part margins
constexpr std::uint32_t kBody = 0x3264C8;  // the picture's colour (0xRRGGBB)

// What the mask half holds at (x, y) of a frame: the white corners show nothing, the rest of the margin band half,
// the inside all.
int MaskAt(int x, int y) {
  const bool cornerX = x < 3 || x >= kFrame - 3, cornerY = y < 3 || y >= kFrame - 3;
  if (cornerX && cornerY) return 255;
  if (x < kBand || y < kBand || x >= kFrame - kBand || y >= kFrame - kBand) return 128;
  return 0;
}

// Lale's 24-bit master picture with 2 x kFrame rows added under it: the picture half (one colour) and the mask
// half, for three frames. Pixels are held as 0xRRGGBB, written as the file's blue, green, red bytes.
std::vector<rtl::Byte> MasterWithTwoPartMask(int& oldHeight) {
  const std::vector<rtl::Byte> src = skintest::SourceBytes(L"Lale\\MASTER.BMP");
  std::int32_t w = 0, h = 0;
  std::uint32_t offset = 0;
  std::memcpy(&offset, &src[10], 4);
  std::memcpy(&w, &src[18], 4);
  std::memcpy(&h, &src[22], 4);
  oldHeight = h;
  const int stride = (w * 3 + 3) & ~3;
  const int nh = h + 2 * kFrame;
  std::vector<std::uint32_t> px(static_cast<size_t>(w) * static_cast<size_t>(nh), 0xFF00FF);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const rtl::Byte* p = &src[offset + static_cast<size_t>(h - 1 - y) * stride + static_cast<size_t>(x) * 3];
      px[static_cast<size_t>(y) * w + x] = p[0] | (p[1] << 8) | (p[2] << 16);
    }
  for (int f = 0; f < 3; ++f)
    for (int y = 0; y < kFrame; ++y)
      for (int x = 0; x < kFrame; ++x) {
        px[static_cast<size_t>(h + y) * w + f * kFrame + x] = kBody;
        const std::uint32_t m = static_cast<std::uint32_t>(MaskAt(x, y));
        px[static_cast<size_t>(h + kFrame + y) * w + f * kFrame + x] = m | (m << 8) | (m << 16);
      }
  std::vector<rtl::Byte> out(54 + static_cast<size_t>(stride) * nh, 0);
  auto put32 = [&](size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(nh));
  out[26] = 1;
  out[28] = 24;
  put32(34, static_cast<std::uint32_t>(stride * nh));
  for (int y = 0; y < nh; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = px[static_cast<size_t>(y) * w + x];
      rtl::Byte* p = &out[54 + static_cast<size_t>(nh - 1 - y) * stride + static_cast<size_t>(x) * 3];
      p[0] = static_cast<rtl::Byte>(v);
      p[1] = static_cast<rtl::Byte>(v >> 8);
      p[2] = static_cast<rtl::Byte>(v >> 16);
    }
  return out;
}

// The shadow and placement of the balloon shown for (300, 300), with the mask's margins of kBand.
void HintWindowLooks(TsAlphaHints& hints, bool layered) {
  TlvPngHintWindow* w = hints.HintWindow();
  const int band = layered ? kBand - 1 : 0;
  EXPECT_EQ(w->FullLayer(), layered);
  EXPECT_EQ(w->DropShadow(), !layered);
  EXPECT_EQ(w->ShadowSizes(), vcl::TRect(band, band, band, band));
  for (int side = 0; side < 4; ++side) EXPECT_EQ(w->SkinMargin(side), kBand) << side;
  EXPECT_EQ(w->Bounds().Left, 300 - band);
  EXPECT_EQ(w->Bounds().Top, 300 - band);
  // Text ink only inside the margins plus 4.
  vcl::TBitmap* b = w->AlphaBmp();
  int ink = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) {
      const std::uint32_t p = Argb(b, x, y);
      if ((p >> 24) == 255 && (p & 0xFFFFFF) == 0) {
        ++ink;
        EXPECT_TRUE(x >= kBand + 4 - 1 && y >= kBand + 4 && x < b->Width() - kBand - 4 && y < b->Height() - kBand - 4)
            << x << "," << y;
      }
    }
  EXPECT_GT(ink, 0);
}

}  // namespace

TEST(HintMask, ATwoPartMaskGivesTheBalloonItsOpacity) {
  vcl::Application->Initialize();
  skintest::TempSkinDir dir;
  dir.AddFolder(L"Lale");
  int top = 0;
  dir.Write(L"Lale\\MASTER.BMP", MasterWithTwoPartMask(top));
  char mask[96];
  std::snprintf(mask, sizeof(mask), "^0000,%04d,%04d,%04d,%04d,%04d,%04d,%04d,3,1,0,0", top, 3 * kFrame,
                top + 2 * kFrame, kBand, kBand, kBand, kBand);
  const std::string section = std::string("\r\n[HINTMASKED]\r\nCOLOR=$00FF00\r\nTRANSPARENCY=100\r\nFONTCOLOR=$000000\r\n"
                                          "BORDERSMASK=") + mask + "\r\n" +
                              "\r\n[HINTMASKEDSOLID]\r\nCOLOR=$00FF00\r\nTRANSPARENCY=0\r\nFONTCOLOR=$000000\r\n"
                              "BORDERSMASK=" + mask + "\r\n";
  AppendToOptions(dir, L"Lale", section);
  auto host = std::make_unique<vcl::TForm>(nullptr);
  TsSkinManager* manager = ActiveManager(host.get(), dir.Path(), L"Lale");
  ASSERT_TRUE(manager->Active());
  const int idx = manager->GetSkinIndex(L"HINTMASKED");
  ASSERT_GE(idx, 0);
  const TsGeneralData& gd = manager->gd[static_cast<size_t>(idx)];
  ASSERT_TRUE(manager->IsValidImgIndex(gd.BorderIndex));
  ASSERT_EQ(manager->ma[static_cast<size_t>(gd.BorderIndex)].MaskType, 1);

  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  hints.SetUseSkinData(true);
  hints.SetSkinSection(L"HINTMASKED");
  ASSERT_TRUE(hints.Skinned());
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci numarası", 0);
  ASSERT_TRUE(hints.HintVisible());
  vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  const int w = b->Width(), h = b->Height();
  ASSERT_GT(w, 2 * kFrame);
  ASSERT_GT(h, 2 * kBand);
  // Corners: the mask's white shows nothing; the band beside them about half; inside (off the text) all, in the
  // picture's colour (premultiplied: whole at full opacity, halved at half).
  for (auto [x, y] : {std::pair{0, 0}, std::pair{w - 1, 0}, std::pair{0, h - 1}, std::pair{w - 1, h - 1},
                      std::pair{2, 2}, std::pair{w - 3, h - 3}})
    EXPECT_EQ(Argb(b, x, y), 0u) << x << "," << y;
  for (auto [x, y] : {std::pair{4, 4}, std::pair{w / 2, 1}, std::pair{1, h / 2}, std::pair{w - 2, h / 2}}) {
    const std::uint32_t p = Argb(b, x, y);
    EXPECT_NEAR(static_cast<int>(p >> 24), 127, 2) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(p & 0xFF), static_cast<int>((kBody & 0xFF) * 127 / 255), 3) << x << "," << y;
  }
  const std::uint32_t inside = Argb(b, kBand + 1, kBand + 1);
  EXPECT_EQ(inside >> 24, 255u);
  for (int shift : {0, 8, 16})  // within the rounding of the premultiplication
    EXPECT_NEAR(static_cast<int>((inside >> shift) & 0xFF), static_cast<int>((kBody >> shift) & 0xFF), 2) << shift;
  SaveOverWhite(b, "hintmask_Lale");
  // Wholly layered: no system shadow; the balloon's own band (the skin margins less one) lies outside the anchor,
  // and the text keeps the margins plus 4 from each edge.
  HintWindowLooks(hints, true);
  hints.HideAll();
  // The same mask on an opaque section: the system's shadow, and no band of its own.
  hints.SetSkinSection(L"HINTMASKEDSOLID");
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci numarası", 0);
  ASSERT_TRUE(hints.HintVisible());
  HintWindowLooks(hints, false);
  hints.HideAll();
  manager->SetActive(false);
}
