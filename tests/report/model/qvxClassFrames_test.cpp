#include "report/model/qvxClassFrames.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/format.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxXML.h"
#include "report/model/qvxXMLSerializer.h"

using rtl::String;
using vcl::TColor;

namespace {

constexpr TColor White = 0xFFFFFF;

// A white 32-bit bitmap to paint on.
std::unique_ptr<vcl::TBitmap> Sheet(int w, int h) {
  auto bmp = std::make_unique<vcl::TBitmap>(w, h, vcl::pf32bit);
  bmp->Canvas()->Brush()->SetStyle(vcl::bsSolid);
  bmp->Canvas()->Brush()->SetColor(White);
  bmp->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  bmp->Canvas()->Pen()->SetColor(0);
  return bmp;
}

TColor Px(vcl::TBitmap& bmp, int x, int y) { return bmp.Canvas()->Pixels(x, y) & 0xFFFFFF; }

TEST(QvxFills, BrushFill) {
  TqvxBrushFill fill;
  auto bmp = Sheet(40, 40);
  fill.Draw(bmp->Canvas(), 5, 5, 35, 35, 1, 1);
  for (int y = 0; y < 40; y += 3)
    for (int x = 0; x < 40; x += 3) ASSERT_EQ(Px(*bmp, x, y), White) << x << "," << y;

  fill.BackColor = 0x0000FF;
  fill.Draw(bmp->Canvas(), 5, 5, 35, 35, 1, 1);
  EXPECT_EQ(Px(*bmp, 5, 5), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 34, 34), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 35, 35), White);

  // A transparent hatch paints only its lines, in the fore colour.
  auto hatch = Sheet(40, 40);
  TqvxBrushFill cross;
  cross.Style = vcl::bsCross;
  cross.ForeColor = 0x00FF00;
  hatch->Canvas()->Pen()->SetStyle(vcl::psClear);
  cross.Draw(hatch->Canvas(), 0, 0, 39, 39, 1, 1);
  int green = 0, white = 0;
  for (int y = 2; y < 38; ++y)
    for (int x = 2; x < 38; ++x) {
      const TColor c = Px(*hatch, x, y);
      if (c == 0x00FF00)
        ++green;
      else if (c == White)
        ++white;
      else
        ADD_FAILURE() << std::hex << c << " at " << std::dec << x << "," << y;
    }
  EXPECT_GT(green, 0);
  EXPECT_GT(white, green);
}

TEST(QvxFills, HorizontalGradientStripes) {
  TqvxGradientFill fill;
  fill.StartColor = 0;
  fill.EndColor = White;
  auto bmp = Sheet(512, 4);
  fill.Draw(bmp->Canvas(), 0, 0, 512, 4, 1, 1);
  EXPECT_EQ(Px(*bmp, 0, 0), 0u);
  EXPECT_EQ(Px(*bmp, 1, 2), 0u);
  EXPECT_EQ(Px(*bmp, 2, 0), 0x010101u);
  EXPECT_EQ(Px(*bmp, 3, 3), 0x010101u);
  EXPECT_EQ(Px(*bmp, 510, 0), White);
  EXPECT_EQ(Px(*bmp, 511, 3), White);
  // The middle colour: each channel start + MulDiv(127, end - start, 255).
  fill.StartColor = White;
  fill.EndColor = 0;
  EXPECT_EQ(fill.GetColor(), 0x808080);
}

TEST(QvxFills, VerticalCenterGradientIsStartAtTheEdges) {
  TqvxGradientFill fill;
  fill.StartColor = 0;
  fill.EndColor = 0xFF0000;
  fill.GradientStyle = gsVertCenter;
  auto bmp = Sheet(8, 100);
  fill.Draw(bmp->Canvas(), 0, 0, 8, 100, 1, 1);
  EXPECT_EQ(Px(*bmp, 3, 0), 0u);
  EXPECT_EQ(Px(*bmp, 3, 99), 0u);
  EXPECT_EQ(Px(*bmp, 3, 50) & 0xFF0000, 0xFF0000u);
}

TEST(QvxFills, RectangleAndEllipticGradientsRunFromEdgeToCentre) {
  for (TqvxGradientStyle style : {gsRectangle, gsElliptic}) {
    TqvxGradientFill fill;
    fill.StartColor = 0;
    fill.EndColor = 0x0000FF;
    fill.GradientStyle = style;
    auto bmp = Sheet(100, 60);
    fill.Draw(bmp->Canvas(), 0, 0, 100, 60, 1, 1);
    const TColor centre = Px(*bmp, 50, 30), edge = Px(*bmp, 1, 1);
    EXPECT_GT(centre & 0xFF, 200u) << style;
    EXPECT_LT(edge & 0xFF, 60u) << style;
    EXPECT_EQ(centre & 0xFFFF00, 0u) << style;
  }
}

TEST(QvxFills, GlassFillLightHalf) {
  TqvxGlassFill fill;
  fill.Color = 0x646464;  // (100, 100, 100)
  auto bmp = Sheet(20, 20);
  fill.Draw(bmp->Canvas(), 0, 0, 20, 20, 1, 1);
  EXPECT_EQ(Px(*bmp, 5, 2), 0xB2B2B2u);  // 100 + Rnd(155 * 0.5) = 178
  EXPECT_EQ(Px(*bmp, 5, 15), 0x646464u);

  fill.Orientation = foVerticalMirror;
  fill.Draw(bmp->Canvas(), 0, 0, 20, 20, 1, 1);
  EXPECT_EQ(Px(*bmp, 2, 5), 0x646464u);
  EXPECT_EQ(Px(*bmp, 15, 5), 0xB2B2B2u);

  auto clear = Sheet(10, 10);
  fill.Color = clTransparent;
  fill.Draw(clear->Canvas(), 0, 0, 10, 10, 1, 1);
  EXPECT_EQ(Px(*clear, 5, 5), White);
}

TEST(QvxFills, CreateAndTellTypes) {
  for (TqvxFillType t : {ftBrush, ftGradient, ftGlass}) {
    std::unique_ptr<TqvxCustomFill> f(qvxCreateFill(t));
    EXPECT_EQ(qvxGetFillType(f.get()), t);
  }
  EXPECT_EQ(qvxGetFillType(nullptr), ftBrush);
}

TEST(QvxFills, DifferenceItems) {
  TqvxGlassFill a, b;
  a.Orientation = foVertical;
  EXPECT_EQ(a.Diff(&b, L"Fill"), L" Fill.Orientation=\"0\"");
  a.Hatch = true;
  EXPECT_EQ(a.Diff(&b, L"Fill"), L" Fill.Hatch=\"1\" Fill.Orientation=\"0\"");
  // Against another kind of fill every item is written.
  TqvxBrushFill brush, other;
  EXPECT_EQ(brush.Diff(&a, L"Fill"), L" Fill.BackColor=\"536870911\" Fill.ForeColor=\"0\" Fill.Style=\"0\"");
  EXPECT_EQ(brush.Diff(&other, L"Fill"), L"");
  brush.BackColor = -16777201;
  EXPECT_EQ(brush.Diff(&other, L"Fill"), L" Fill.BackColor=\"-16777201\"");
}

TEST(QvxFills, StoredValuesSurviveASave) {
  TqvxGlassFill glass;
  glass.Color = White;
  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(&glass);
  TqvxGlassFill back;
  s.XMLToObj(text, &back);
  EXPECT_EQ(back.Color, White) << text;
  TqvxGlassFill grey;
  EXPECT_EQ(s.ObjToXML(&grey).find(L"Color"), String::npos);
}

TEST(QvxFrames, SidesArePulledInWhereNoNeighbourJoins) {
  TqvxFrame frame;
  frame.Typ = TqvxFrameTypes{ftLeft, ftTop};
  frame.SetWidth(3);
  frame.SetColor(0x0000FF);
  auto bmp = Sheet(60, 60);
  frame.Draw(bmp->Canvas(), 10, 10, 50, 50, 1, 1);
  // Top side: from x 10 to 49 with a pen 3 wide.
  EXPECT_EQ(Px(*bmp, 30, 10), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 30, 9), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 30, 11), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 30, 13), White);
  EXPECT_EQ(Px(*bmp, 47, 10), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 52, 10), White);
  // Left side: from y 10 to 49.
  EXPECT_EQ(Px(*bmp, 10, 30), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 10, 47), 0x0000FFu);
  EXPECT_EQ(Px(*bmp, 10, 52), White);
  // No right or bottom side.
  EXPECT_EQ(Px(*bmp, 50, 30), White);
  EXPECT_EQ(Px(*bmp, 30, 50), White);
}

TEST(QvxFrames, NothingButTheShadowWithoutSides) {
  TqvxFrame frame;
  frame.DropShadow = true;
  frame.ShadowColor = 0x00FF00;
  auto bmp = Sheet(40, 40);
  frame.Draw(bmp->Canvas(), 5, 5, 30, 30, 1, 1);
  EXPECT_EQ(Px(*bmp, 32, 20), 0x00FF00u);  // right shadow: x 30 + 2, from y 9
  EXPECT_EQ(Px(*bmp, 20, 32), 0x00FF00u);  // bottom shadow
  EXPECT_EQ(Px(*bmp, 5, 20), White);
}

TEST(QvxFrames, DashedSideIsOnePixelWide) {
  TqvxFrame frame;
  frame.Typ = TqvxFrameTypes{ftTop};
  frame.SetStyle(fsDash);
  frame.SetColor(0xFF0000);
  auto bmp = Sheet(100, 20);
  frame.Draw(bmp->Canvas(), 0, 10, 99, 19, 1, 1);
  int blue = 0, gaps = 0;
  for (int x = 0; x < 95; ++x) (Px(*bmp, x, 10) == 0xFF0000 ? blue : gaps)++;
  EXPECT_GT(blue, 0);
  EXPECT_GT(gaps, 0);
  for (int x = 0; x < 95; ++x) ASSERT_EQ(Px(*bmp, x, 11), White);
}

TEST(QvxFrames, DifferenceItems) {
  TqvxFrame a, b;
  a.Typ = TqvxFrameTypes{ftLeft, ftBottom};
  EXPECT_EQ(a.Diff(&b), L" Frame.Typ=\"9\"");

  // A frame-wide colour is written once; a line that departs from its frame is written too.
  a.SetColor(255);
  a.TopLine()->Color = 65280;
  EXPECT_EQ(a.Diff(&b), L" Frame.Color=\"255\" Frame.Typ=\"9\" Frame.TopLine.Color=\"65280\"");
  b.Typ = a.Typ;
  b.SetColor(255);
  EXPECT_EQ(a.Diff(&b), L" Frame.TopLine.Color=\"65280\"");
  a.SetWidth(2.5);
  // Floats in the process's own format.
  EXPECT_EQ(a.Diff(&b), L" Frame.Width=\"" + rtl::FloatToStr(2.5) + L"\" Frame.TopLine.Color=\"65280\"");
}

TEST(QvxFrames, StoredAsDottedAttributes) {
  TqvxFrame frame;
  TqvxXMLSerializer s(nullptr);
  EXPECT_EQ(s.ObjToXML(&frame, L"Frame."), L"");
  frame.Typ = TqvxFrameTypes{ftTop};
  frame.SetWidth(2);
  frame.BottomLine()->Style = fsDouble;
  const String text = s.ObjToXML(&frame, L"Frame.");
  EXPECT_EQ(text, L" Frame.Typ=\"4\" Frame.Width=\"2\" Frame.BottomLine.Style=\"fsDouble\"");

  TqvxFrame back;
  s.XMLToObj(L" Typ=\"4\" Width=\"2\" BottomLine.Style=\"fsDouble\"", &back);
  EXPECT_EQ(back.Typ, frame.Typ);
  EXPECT_EQ(back.TopLine()->Width, 2);
  EXPECT_EQ(back.BottomLine()->Style, fsDouble);
  EXPECT_EQ(back.TopLine()->Style, fsSolid);

  TqvxFrame copy;
  copy.Assign(&frame);
  EXPECT_EQ(copy.Diff(&frame), L"");
}

TEST(QvxHyperlinks, DifferenceAndStorage) {
  TqvxHyperlink a, b;
  a.Expression = L"[x]";
  a.Value = L"http://a?b&c";
  a.Kind = hkPageNumber;
  EXPECT_EQ(a.Diff(&b, L"Hyperlink"),
            L" Hyperlink.Kind=\"2\" Hyperlink.Value=\"" + qvxStrToXML(L"http://a?b&c") + L"\"");
  TqvxXMLSerializer s(nullptr);
  EXPECT_EQ(s.ObjToXML(&b).find(L"ValuesSeparator"), String::npos);
  b.Assign(&a);
  EXPECT_EQ(b.Expression, L"[x]");
  EXPECT_EQ(a.Diff(&b, L"Hyperlink"), L"");
}

}  // namespace
