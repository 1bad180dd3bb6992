#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/imagelist.h"
#include "testdata.h"

using namespace vcl;

namespace {

TBitmap* Solid(int w, int h, TColor color) {
  auto* b = new TBitmap(w, h, pf24bit);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

}  // namespace

TEST(ImageList, AddsAndDrawsImagesByIndex) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Count(), 0);
  std::unique_ptr<TBitmap> red(Solid(16, 16, clRed)), blue(Solid(16, 16, clBlue));
  EXPECT_EQ(list.Add(red.get(), nullptr), 0);
  EXPECT_EQ(list.Add(blue.get(), nullptr), 1);
  EXPECT_EQ(list.Count(), 2);
  // The bitmaps stay usable after being added.
  EXPECT_EQ(red->Canvas()->Pixels(3, 3), clRed);
  TBitmap target(40, 20, pf24bit);
  list.Draw(target.Canvas(), 0, 0, 0);
  list.Draw(target.Canvas(), 20, 0, 1);
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), clRed);
  EXPECT_EQ(target.Canvas()->Pixels(28, 8), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(18, 8), clWhite);
  list.Draw(target.Canvas(), 0, 0, 5);  // out of range: nothing
}

TEST(ImageList, MaskedColourIsTransparentAndSourceUntouched) {
  TImageList list(nullptr);
  std::unique_ptr<TBitmap> glyph(Solid(16, 16, clFuchsia));
  glyph->Canvas()->Brush()->SetColor(clGreen);
  glyph->Canvas()->FillRect(Rect(4, 4, 12, 12));
  EXPECT_EQ(list.AddMasked(glyph.get(), clFuchsia), 0);
  EXPECT_EQ(glyph->Canvas()->Pixels(0, 0), clFuchsia);
  TBitmap target(16, 16, pf24bit);
  target.Canvas()->Brush()->SetColor(clYellow);
  target.Canvas()->FillRect(Rect(0, 0, 16, 16));
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clYellow);
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), clGreen);
}

TEST(ImageList, WideBitmapAddsSeveralImagesAndGetBitmapReturnsOne) {
  TImageList list(nullptr);
  list.SetSize(8, 8);
  std::unique_ptr<TBitmap> strip(Solid(24, 8, clRed));
  strip->Canvas()->Brush()->SetColor(clLime);
  strip->Canvas()->FillRect(Rect(8, 0, 16, 8));
  list.Add(strip.get(), nullptr);
  EXPECT_EQ(list.Count(), 3);
  TBitmap one;
  EXPECT_TRUE(list.GetBitmap(1, &one));
  EXPECT_EQ(one.Width(), 8);
  EXPECT_EQ(one.Canvas()->Pixels(4, 4), clLime);
  EXPECT_FALSE(list.GetBitmap(7, &one));
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Delete(5), rtl::EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, ChangeLinksHearOfChangesUntilTheyGo) {
  TImageList list(nullptr);
  int heard = 0, events = 0;
  list.OnChange = [&](rtl::TObject*) { ++events; };
  {
    TChangeLink link;
    link.OnChange = [&](rtl::TObject* sender) {
      EXPECT_EQ(sender, &list);
      ++heard;
    };
    list.RegisterChanges(&link);
    EXPECT_EQ(link.Sender(), &list);
    std::unique_ptr<TBitmap> b(Solid(16, 16, clRed));
    list.Add(b.get(), nullptr);
    EXPECT_EQ(heard, 1);
    list.BeginUpdate();
    list.Add(b.get(), nullptr);
    list.Add(b.get(), nullptr);
    EXPECT_EQ(heard, 1);
    list.EndUpdate();
    EXPECT_EQ(heard, 2);
  }
  // The link unregistered itself when it was destroyed.
  list.Clear();
  EXPECT_EQ(heard, 2);
  EXPECT_EQ(events, 3);
  // A list destroyed before its link leaves the link without a sender.
  TChangeLink survivor;
  {
    TImageList other(nullptr);
    other.RegisterChanges(&survivor);
  }
  EXPECT_EQ(survivor.Sender(), nullptr);
}

TEST(ImageList, NewSizeEmptiesAndSettingsRecreate) {
  TImageList list(nullptr);
  std::unique_ptr<TBitmap> b(Solid(16, 16, clRed));
  list.Add(b.get(), nullptr);
  list.SetColorDepth(cd32Bit);
  EXPECT_EQ(list.Count(), 0);
  list.Add(b.get(), nullptr);
  list.SetWidth(24);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_THROW(list.SetHeight(0), rtl::EInvalidOperation);
}

TEST(ImageList, AlphaImagesInA32BitList) {
  TImageList list(nullptr);
  list.SetColorDepth(cd32Bit);
  list.SetMasked(false);
  TBitmap glyph(16, 16, pf32bit);
  for (int y = 0; y < 16; ++y) {
    auto* row = static_cast<std::uint32_t*>(glyph.ScanLine(y));
    for (int x = 0; x < 16; ++x) row[x] = x < 8 ? 0xFF0000FFu : 0x00000000u;  // left half opaque blue
  }
  list.Add(&glyph, nullptr);
  TBitmap target(16, 16, pf24bit);
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.Canvas()->Pixels(2, 8), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(12, 8), clWhite);
}

TEST(ImageList, IconsAndDisabledDrawing) {
  TImageList list(nullptr);
  list.SetSize(32, 32);
  TIcon icon;
  icon.LoadFromFile(gfxtest::DataFile(L"halves_icon.ico"));
  EXPECT_EQ(list.AddIcon(&icon), 0);
  TIcon back;
  list.GetIcon(0, &back);
  EXPECT_FALSE(back.Empty());
  TBitmap target(40, 40, pf24bit);
  list.Draw(target.Canvas(), 0, 0, 0, /*enabled=*/false);
  TColor c = target.Canvas()->Pixels(16, 16);
  EXPECT_NE(c, clRed);  // grey shades, not the image's own colours
  EXPECT_EQ(c, ColorToRGB(clBtnShadow));
}

TEST(ImageList, StreamFormRoundTrips) {
  TImageList list(nullptr);
  std::unique_ptr<TBitmap> red(Solid(16, 16, clRed)), blue(Solid(16, 16, clBlue));
  list.Add(red.get(), nullptr);
  list.Add(blue.get(), nullptr);
  rtl::TMemoryStream stream;
  list.WriteData(stream);
  ASSERT_GT(stream.Size(), 0);
  stream.SetPosition(0);
  TImageList copy(nullptr);
  copy.ReadData(stream);
  EXPECT_EQ(copy.Count(), 2);
  TBitmap one;
  copy.GetBitmap(1, &one);
  EXPECT_EQ(one.Canvas()->Pixels(5, 5), clBlue);
  rtl::TMemoryStream junk;
  junk.WriteBuffer("garbage!", 8);
  junk.SetPosition(0);
  EXPECT_THROW(copy.ReadData(junk), rtl::EReadError);
}

TEST(ImageList, StoredInFormResources) {
  TImageList list(nullptr);
  list.SetName(L"ImageList1");
  std::unique_ptr<TBitmap> red(Solid(16, 16, clRed));
  list.Add(red.get(), nullptr);
  list.SetBkColor(clWhite);
  rtl::String text = WriteComponentText(&list);
  EXPECT_NE(text.find(L"Bitmap = {"), rtl::String::npos) << text;
  TImageList copy(nullptr);
  ReadComponentText(text, &copy, L"IMAGES");
  EXPECT_EQ(copy.Count(), 1);
  EXPECT_EQ(copy.BkColor(), clWhite);
}
