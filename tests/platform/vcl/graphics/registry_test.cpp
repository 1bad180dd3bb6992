#include <gtest/gtest.h>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/component.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/picture.h"
#include "testdata.h"

using namespace vcl;

namespace gfxregtest {

// A component with the graphics properties controls publish: a font, a picture and a glyph.
class TPictureHolder : public TComponent {
  VCL_CLASS(TPictureHolder, TComponent)
  explicit TPictureHolder(TComponent* owner) : TComponent(owner) {}
  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont* f) { font_->Assign(f); }
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const TPicture* p) { picture_->Assign(p); }
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const TBitmap* b) { glyph_->Assign(b); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(const TPen* p) { pen_->Assign(p); }

private:
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
  std::unique_ptr<TPicture> picture_ = std::make_unique<TPicture>();
  std::unique_ptr<TBitmap> glyph_ = std::make_unique<TBitmap>();
  std::unique_ptr<TPen> pen_ = std::make_unique<TPen>();
};

VCL_REGISTER(TPictureHolder) {
  cls.Prop(L"Font", &TPictureHolder::Font, &TPictureHolder::SetFont);
  cls.Prop(L"Picture", &TPictureHolder::Picture, &TPictureHolder::SetPicture);
  cls.Prop(L"Glyph", &TPictureHolder::Glyph, &TPictureHolder::SetGlyph);
  cls.Prop(L"Pen", &TPictureHolder::Pen, &TPictureHolder::SetPen);
}

}  // namespace gfxregtest

using gfxregtest::TPictureHolder;

TEST(GraphicsRegistry, ClassesAndPublishedProperties) {
  for (const wchar_t* name : {L"TFont", L"TPen", L"TBrush", L"TCanvas", L"TGraphic", L"TPicture", L"TMetafile",
                              L"TMetafileCanvas", L"TBitmap", L"TIcon", L"TJPEGImage", L"TPngImage"})
    EXPECT_NE(GetClass(name), nullptr) << std::wstring(name);
  EXPECT_EQ(GetClass(L"TBitmap")->ClassParent(), GetClass(L"TGraphic"));
  EXPECT_EQ(GetClass(L"TMetafileCanvas")->ClassParent(), GetClass(L"TCanvas"));
  TFont font;
  SetSetProp(&font, L"Style", L"[fsBold, fsItalic]");
  EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(GetOrdProp(&font, L"Style"), 3);
  SetStrProp(&font, L"Name", L"Tahoma");
  SetOrdProp(&font, L"Size", 10);
  EXPECT_EQ(font.Size(), 10);
  EXPECT_EQ(GetOrdProp(&font, L"Height"), font.Height());
  EXPECT_EQ(GetEnumProp(&font, L"Pitch"), L"fpDefault");
  TPen pen;
  SetEnumProp(&pen, L"Mode", L"pmXor");
  EXPECT_EQ(pen.Mode(), pmXor);
  TBrush brush;
  SetEnumProp(&brush, L"Style", L"bsClear");
  EXPECT_EQ(brush.Style(), bsClear);
}

TEST(GraphicsRegistry, FontPenPictureAndGlyphRoundTripThroughFormText) {
  TPictureHolder holder(nullptr);
  holder.SetName(L"Holder1");
  holder.Font()->SetName(L"Tahoma");
  holder.Font()->SetHeight(-13);
  holder.Font()->SetStyle({fsBold});
  holder.Font()->SetColor(clRed);
  holder.Pen()->SetWidth(3);
  holder.Picture()->LoadFromFile(gfxtest::DataFile(L"halves_palette.png"));
  holder.Glyph()->SetPixelFormat(pf24bit);
  holder.Glyph()->SetSize(4, 4);
  holder.Glyph()->Canvas()->SetPixels(1, 1, clNavy);
  String text = WriteComponentText(&holder);
  EXPECT_NE(text.find(L"Font.Style = [fsBold]"), String::npos) << text;
  EXPECT_NE(text.find(L"Picture.Data = {"), String::npos) << text;
  EXPECT_NE(text.find(L"Glyph.Data = {"), String::npos) << text;
  EXPECT_EQ(text.find(L"Font.Size"), String::npos) << text;  // only the height is stored

  TPictureHolder copy(nullptr);
  ReadComponentText(text, &copy, L"HOLDER");
  EXPECT_EQ(copy.Font()->Name(), L"Tahoma");
  EXPECT_EQ(copy.Font()->Height(), -13);
  EXPECT_EQ(copy.Font()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(copy.Font()->Color(), clRed);
  EXPECT_EQ(copy.Pen()->Width(), 3);
  ASSERT_NE(copy.Picture()->Graphic(), nullptr);
  EXPECT_EQ(copy.Picture()->Graphic()->ClassName(), L"TPngImage");
  EXPECT_EQ(copy.Picture()->Width(), 40);
  EXPECT_EQ(copy.Glyph()->Canvas()->Pixels(1, 1), clNavy);
}

TEST(GraphicsRegistry, EmptyPictureWritesNoData) {
  TPictureHolder holder(nullptr);
  String text = WriteComponentText(&holder);
  EXPECT_EQ(text.find(L"Picture.Data"), String::npos) << text;
  EXPECT_EQ(text.find(L"Glyph.Data"), String::npos) << text;
}
