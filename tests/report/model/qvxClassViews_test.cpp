#include "report/model/qvxClassViews.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/rtl/format.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxXML.h"
#include "report/model/qvxXMLSerializer.h"
#include "testreport.h"

using rtl::String;
using vcl::TColor;

namespace {

constexpr TColor White = 0xFFFFFF;

std::unique_ptr<vcl::TBitmap> Sheet(int w, int h) {
  auto bmp = std::make_unique<vcl::TBitmap>(w, h, vcl::pf32bit);
  bmp->Canvas()->Brush()->SetColor(White);
  bmp->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  return bmp;
}

TColor Px(vcl::TBitmap& bmp, int x, int y) { return bmp.Canvas()->Pixels(x, y) & 0xFFFFFF; }

class ViewTest : public ::testing::Test {
 protected:
  void TearDown() override { report->Free(); }
  TqvxTestReport* report = new TqvxTestReport(nullptr);
};

TEST_F(ViewTest, NewViewDefaults) {
  auto* v = new TqvxShapeView(report);
  auto* plain = new TqvxView(report);
  EXPECT_TRUE(plain->qvComponentStyle().Contains(csDefaultDiff));
  EXPECT_FALSE(v->qvComponentStyle().Contains(csDefaultDiff));
  EXPECT_EQ(v->ShiftMode, smAlways);
  EXPECT_TRUE(v->Printable());
  EXPECT_EQ(v->FillType(), ftBrush);
  EXPECT_EQ(v->Color(), clTransparent);
  EXPECT_EQ(v->BaseName(), L"Shape");
  v->SetPrintable(false);
  EXPECT_EQ(v->Visibility.Bits(), 3u);
  auto* diamond = new TqvxShapeView(report, skDiamond);
  EXPECT_EQ(diamond->Shape, skDiamond);
  EXPECT_TRUE(diamond->IsDesigning());
}

TEST_F(ViewTest, DrawingRectangle) {
  auto* v = new TqvxView(report);
  v->SetBounds(10, 4, 100, 20);
  v->BeginDraw(nullptr, 1.5L, 1, 20, 0);
  EXPECT_EQ(v->X, 35);
  EXPECT_EQ(v->X1, 185);
  EXPECT_EQ(v->DX, 150);
  v->Frame()->DropShadow = true;
  v->BeginDraw(nullptr, 1.5L, 1, 20, 0);
  EXPECT_EQ(v->X1, 179);
  EXPECT_EQ(v->Y1, 20);
}

TEST_F(ViewTest, UrlSetsTheHyperlink) {
  struct Case {
    const wchar_t* url;
    TqvxHyperlinkKind kind;
    const wchar_t* value;
  } cases[] = {
      {L"#Top", hkAnchor, L"Top"},
      {L"@12", hkPageNumber, L"12"},
      {L"http://x", hkURL, L"http://x"},
  };
  auto* v = new TqvxView(report);
  for (const Case& c : cases) {
    v->SetURL(c.url);
    EXPECT_EQ(v->Hyperlink()->Kind, c.kind) << c.url;
    EXPECT_EQ(v->Hyperlink()->Value, c.value) << c.url;
  }
  v->SetURL(L"");
  EXPECT_EQ(v->Hyperlink()->Value, L"http://x");
  EXPECT_EQ(v->URL(), L"");
}

TEST_F(ViewTest, ColorFollowsTheFill) {
  auto* v = new TqvxView(report);
  v->SetColor(255);
  EXPECT_EQ(v->Color(), 255);
  v->SetFillType(ftGradient);
  auto* g = dynamic_cast<TqvxGradientFill*>(v->Fill());
  ASSERT_NE(g, nullptr);
  g->StartColor = White;
  g->EndColor = 0;
  v->SetColor(123);
  EXPECT_EQ(g->StartColor, White);
  EXPECT_EQ(v->Color(), 0x808080);
  EXPECT_EQ(v->BrushStyle(), vcl::bsClear);
  v->SetFillType(ftGlass);
  EXPECT_EQ(v->Color(), clTransparent);
}

TEST_F(ViewTest, PrintCycleExpandsAndRestoresTheTag) {
  auto* v = new TqvxView(report);
  v->TagStr = L"Nr [Line]";
  v->Hyperlink()->Value = L"[Loop] and [Line]";
  report->Values[L"Line"] = rtl::Variant(3);
  report->Values[L"Loop"] = rtl::Variant(String(L"[Line]"));
  v->BeforePrint();
  EXPECT_EQ(report->Self, v);
  v->GetData();
  EXPECT_EQ(v->TagStr, L"Nr 3");
  // What an expression produced is not expanded again.
  EXPECT_EQ(v->Hyperlink()->Value, L"[Line] and 3");
  v->AfterPrint();
  EXPECT_EQ(v->TagStr, L"Nr [Line]");
  EXPECT_EQ(v->Hyperlink()->Value, L"[Loop] and [Line]");

  // A text without brackets is left alone and costs no evaluation.
  v->TagStr = L"plain";
  v->Hyperlink()->Value = L"none";
  const int calls = static_cast<int>(report->Asked.size());
  v->GetData();
  EXPECT_EQ(static_cast<int>(report->Asked.size()), calls);
}

TEST_F(ViewTest, HyperlinkExpressionBecomesALiteral) {
  auto* v = new TqvxView(report);
  v->Hyperlink()->Expression = L"Name";
  report->Values[L"Name"] = rtl::Variant(String(L"Ali\"s"));
  report->SetScriptLanguage(L"JScript");
  v->GetData();
  EXPECT_EQ(v->Hyperlink()->Value, L"\"Ali\\\"s\"");
  EXPECT_EQ(v->Hyperlink()->Value.size(), 8u);
  report->SetScriptLanguage(L"ZuvizaVuruze");
  report->Values[L"Name"] = rtl::Variant(String(L"O'Ali"));
  v->GetData();
  EXPECT_EQ(v->Hyperlink()->Value, L"'O''Ali'");
  report->Values[L"Name"] = rtl::Variant(42);
  v->GetData();
  EXPECT_EQ(v->Hyperlink()->Value, L"42");
}

TEST_F(ViewTest, BackgroundAndFrameDraw) {
  auto* v = new TqvxView(report);
  v->SetBounds(10, 10, 40, 30);
  v->SetColor(0x0000FF);
  v->Frame()->Typ = TqvxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
  auto bmp = Sheet(80, 80);
  v->Draw(bmp->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*bmp, 30, 25), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 10, 25), 0u);
  EXPECT_EQ(Px(*bmp, 50, 25), 0u);
  EXPECT_EQ(Px(*bmp, 30, 10), 0u);
  EXPECT_EQ(Px(*bmp, 30, 40), 0u);
  EXPECT_EQ(Px(*bmp, 30, 42), White);
  EXPECT_EQ(Px(*bmp, 5, 25), White);
}

TEST_F(ViewTest, RoundRectangleCornerFollowsTheSize) {
  auto* s = new TqvxShapeView(report);
  s->Shape = skRoundRectangle;
  s->SetColor(0x0000FF);
  s->SetBounds(10, 10, 200, 80);  // corner size min(200, 80) / 4 = 20
  auto bmp = Sheet(240, 120);
  s->Draw(bmp->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*bmp, 11, 11), White);
  EXPECT_EQ(Px(*bmp, 110, 10), 0u);
  EXPECT_EQ(Px(*bmp, 110, 50), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 14, 14), 0x0000FFu);

  s->Curve = 4;  // 4 * 10 pixels at scale 1
  auto bmp2 = Sheet(240, 120);
  s->Draw(bmp2->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*bmp2, 14, 14), White);
}

TEST_F(ViewTest, DoubleFramedShapeDrawsTwiceAndKeepsItsBounds) {
  auto* s = new TqvxShapeView(report);
  s->SetBounds(10, 10, 60, 60);
  s->Frame()->SetStyle(fsDouble);
  s->Frame()->SetColor(0xFF0000);
  auto bmp = Sheet(100, 100);
  s->Draw(bmp->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*bmp, 40, 10), 0xFF0000u);  // outer outline
  EXPECT_EQ(Px(*bmp, 40, 12), 0xFF0000u);  // inner outline, 2 frame widths in
  EXPECT_EQ(Px(*bmp, 40, 11), White);
  EXPECT_EQ(s->Frame()->Style(), fsDouble);
  EXPECT_EQ(s->Left(), 10);
  EXPECT_EQ(s->Width(), 60);
}

TEST_F(ViewTest, DifferenceText) {
  auto* tmpl = new TqvxShapeView(report);
  tmpl->SetBounds(1, 2, 3, 4);
  auto* printed = new TqvxShapeView(nullptr);
  printed->SetBounds(1, 2, 3, 4);
  printed->SetParentFont(true);
  EXPECT_EQ(printed->Diff(tmpl), L"");
  printed->SetAlign(baRight);
  printed->Frame()->Typ = TqvxFrameTypes{ftTop};
  printed->TagStr = L"<t>";
  printed->SetFillType(ftGlass);
  printed->Hyperlink()->Value = L"v";
  printed->Shape = skEllipse;
  printed->Curve = 9;
  EXPECT_EQ(printed->Diff(tmpl), L" Align=\"2\" Frame.Typ=\"4\" TagStr=\"" + qvxStrToXML(L"<t>") +
                                     L"\" FillType=\"2\" Fill.Color=\"8421504\" Fill.Blend=\"" + rtl::FloatToStr(0.5) +
                                     L"\" Fill.Hatch=\"0\" Fill.Orientation=\"1\" Hyperlink.Value=\"v\" Shape=\"2\"");
  printed->Free();
}

TEST_F(ViewTest, ShapeStoredAndReadBack) {
  auto* s = new TqvxShapeView(report);
  s->SetName(L"Shape1");
  s->SetBounds(5, 6, 7, 8);
  s->SetFillType(ftGradient);
  dynamic_cast<TqvxGradientFill*>(s->Fill())->StartColor = 255;
  s->Frame()->Typ = TqvxFrameTypes{ftLeft};
  s->Shape = skTriangle;
  s->SetURL(L"#here");
  TqvxXMLSerializer w(nullptr);
  const String text = w.ObjToXML(s);
  EXPECT_EQ(text.find(L"URL"), String::npos) << text;
  EXPECT_EQ(text.find(L" Color="), String::npos) << text;

  auto* back = new TqvxShapeView(report);
  TqvxXMLSerializer r(nullptr);
  r.XMLToObj(text, back);
  EXPECT_EQ(r.Errors().Count(), 0);
  EXPECT_EQ(back->FillType(), ftGradient);
  EXPECT_EQ(dynamic_cast<TqvxGradientFill*>(back->Fill())->StartColor, 255);
  EXPECT_EQ(back->Frame()->Typ, s->Frame()->Typ);
  EXPECT_EQ(back->Shape, skTriangle);
  EXPECT_EQ(back->Hyperlink()->Kind, hkAnchor);
  EXPECT_EQ(back->Hyperlink()->Value, L"here");
  EXPECT_EQ(back->Diff(s), L"");
}

TEST_F(ViewTest, ViewsAlignInTheirParent) {
  auto* band = new TqvxView(report);
  band->SetBounds(0, 0, 300, 50);
  auto* a = new TqvxView(band);
  a->SetBounds(40, 0, 50, 20);
  a->SetAlign(baLeft);
  auto* b = new TqvxView(band);
  b->SetBounds(100, 0, 50, 20);
  b->SetAlign(baRight);
  band->AlignChildren();
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(b->Left(), 250);
}

TEST(QvxHighlights, DefaultsAssignAndStorage) {
  TqvxHighlightCollection list;
  TqvxHighlight* h = list.Add<TqvxHighlight>();
  EXPECT_EQ(list.Items(0), h);
  EXPECT_EQ(h->Font()->Color(), 255);
  EXPECT_EQ(h->Font()->Name(), L"Arial");
  EXPECT_TRUE(h->ApplyFont && h->ApplyFill && !h->ApplyFrame && h->Visible);
  EXPECT_EQ(h->Color(), clTransparent);

  TqvxHighlight* g = list.Add<TqvxHighlight>();
  h->Condition = L"Value > 0";
  h->SetFillType(ftGlass);
  h->Active = true;
  h->ApplyFrame = true;
  g->Assign(h);
  EXPECT_EQ(g->Condition, L"Value > 0");
  EXPECT_EQ(g->FillType(), ftGlass);
  EXPECT_TRUE(g->ApplyFrame);
  EXPECT_FALSE(g->Active);

  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(h);
  EXPECT_EQ(text.find(L"Active"), String::npos) << text;
  TqvxHighlight* back = list.Add<TqvxHighlight>();
  s.XMLToObj(text, back);
  EXPECT_EQ(back->FillType(), ftGlass);
  EXPECT_EQ(back->Condition, L"Value > 0");

  TqvxFormatCollection formats;
  TqvxFormat* f = formats.Add<TqvxFormat>();
  f->Kind = fkNumeric;
  f->FormatStr = L"%2.2n";
  TqvxFormat* f2 = formats.Add<TqvxFormat>();
  f2->Assign(f);
  EXPECT_EQ(formats.Items(1)->Kind, fkNumeric);
  EXPECT_EQ(formats.Items(1)->FormatStr, L"%2.2n");
}

}  // namespace
