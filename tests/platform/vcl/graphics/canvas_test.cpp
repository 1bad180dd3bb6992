#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"

using namespace vcl;

namespace {

// A white 32-bit bitmap to draw on; pixels read back through GDI.
class CanvasTest : public ::testing::Test {
protected:
  void SetUp() override {
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(40, 30);
  }
  TColor At(int x, int y) { return bmp.Canvas()->Pixels(x, y); }
  TBitmap bmp;
};

}  // namespace

TEST_F(CanvasTest, NewBitmapIsWhite) {
  EXPECT_EQ(At(0, 0), clWhite);
  EXPECT_EQ(At(39, 29), clWhite);
}

TEST_F(CanvasTest, FillRectUsesBrushAndSystemColours) {
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(5, 5, 10, 10));
  EXPECT_EQ(At(5, 5), clRed);
  EXPECT_EQ(At(9, 9), clRed);
  EXPECT_EQ(At(10, 10), clWhite);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(At(1, 1), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(CanvasTest, RectangleFramesWithPenAndFillsWithBrush) {
  TCanvas* c = bmp.Canvas();
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clLime);
  c->Rectangle(2, 2, 12, 12);
  EXPECT_EQ(At(2, 2), clBlue);
  EXPECT_EQ(At(11, 6), clBlue);
  EXPECT_EQ(At(6, 6), clLime);
  // A clear brush leaves the inside alone.
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(20, 2, 30, 12);
  EXPECT_EQ(At(20, 5), clBlue);
  EXPECT_EQ(At(25, 6), clWhite);
}

TEST_F(CanvasTest, ChangingPenAfterUseTakesEffect) {
  TCanvas* c = bmp.Canvas();
  c->Pen()->SetColor(clRed);
  c->MoveTo(0, 1);
  c->LineTo(10, 1);
  c->Pen()->SetColor(clGreen);
  c->MoveTo(0, 3);
  c->LineTo(10, 3);
  EXPECT_EQ(At(5, 1), clRed);
  EXPECT_EQ(At(5, 3), clGreen);
  EXPECT_EQ(c->PenPos(), Point(10, 3));
}

TEST_F(CanvasTest, XorPenDrawnTwiceRestores) {
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clYellow);
  c->FillRect(Rect(0, 0, 40, 30));
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  c->MoveTo(0, 5);
  c->LineTo(20, 5);
  EXPECT_EQ(At(10, 5), clBlue);  // yellow xor white
  c->MoveTo(0, 5);
  c->LineTo(20, 5);
  EXPECT_EQ(At(10, 5), clYellow);
}

TEST_F(CanvasTest, ShapesPolygonAndPixels) {
  TCanvas* c = bmp.Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clRed);
  c->Ellipse(0, 0, 20, 20);
  EXPECT_EQ(At(10, 10), clRed);
  EXPECT_EQ(At(1, 1), clWhite);
  c->Brush()->SetColor(clBlue);
  c->Polygon({Point(25, 5), Point(35, 5), Point(35, 15), Point(25, 15)});
  EXPECT_EQ(At(30, 10), clBlue);
  c->RoundRect(0, 22, 10, 29, 4, 4);
  EXPECT_EQ(At(5, 25), clBlue);
  c->SetPixels(39, 29, clFuchsia);
  EXPECT_EQ(At(39, 29), clFuchsia);
}

TEST_F(CanvasTest, TextMeasuresAndDraws) {
  TCanvas* c = bmp.Canvas();
  c->Font()->SetName(L"Tahoma");
  c->Font()->SetHeight(-12);
  int narrow = c->TextWidth(L"i");
  int wide = c->TextWidth(L"WWWW");
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, narrow);
  EXPECT_GT(c->TextHeight(L"Ağ"), 8);
  EXPECT_EQ(c->TextWidth(L""), 0);
  c->Font()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(2, 2, L"WWW");
  bool ink = false;
  for (int y = 2; y < 16 && !ink; ++y)
    for (int x = 2; x < 2 + c->TextWidth(L"WWW"); ++x)
      if (At(x, y) != clWhite) ink = true;
  EXPECT_TRUE(ink);
  EXPECT_EQ(c->PenPos().X, 2 + c->TextWidth(L"WWW"));
}

TEST_F(CanvasTest, TextRectClipsAndFillsWithSolidBrush) {
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clAqua);
  c->Font()->SetColor(clBlack);
  c->TextRect(Rect(0, 0, 10, 10), 0, 0, L"WWWWWWWW");
  EXPECT_EQ(At(15, 5), clWhite);  // outside the clip rectangle nothing was drawn
  bool aqua = false;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) aqua = aqua || At(x, y) == clAqua;
  EXPECT_TRUE(aqua);
}

TEST_F(CanvasTest, FrameAndFocusRect) {
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clNavy);
  c->FrameRect(Rect(5, 5, 15, 15));
  EXPECT_EQ(At(5, 10), clNavy);
  EXPECT_EQ(At(10, 10), clWhite);
  c->Brush()->SetColor(clWhite);
  auto top_edge_inked = [&] {
    for (int x = 20; x < 30; ++x)
      if (At(x, 5) != clWhite) return true;
    return false;
  };
  c->DrawFocusRect(Rect(20, 5, 30, 15));
  EXPECT_TRUE(top_edge_inked());
  EXPECT_EQ(At(25, 10), clWhite);
  c->DrawFocusRect(Rect(20, 5, 30, 15));  // drawn twice it is gone
  EXPECT_FALSE(top_edge_inked());
}

TEST_F(CanvasTest, CopyRectBetweenCanvases) {
  TBitmap src(10, 10, pf24bit);
  src.Canvas()->Brush()->SetColor(clGreen);
  src.Canvas()->FillRect(Rect(0, 0, 10, 10));
  bmp.Canvas()->CopyRect(Rect(0, 0, 20, 20), src.Canvas(), Rect(0, 0, 10, 10));
  EXPECT_EQ(At(19, 19), clGreen);
  EXPECT_EQ(At(20, 20), clWhite);
}

TEST_F(CanvasTest, OnChangeFiresAroundDrawing) {
  int changing = 0, changed = 0;
  TCanvas* c = bmp.Canvas();
  c->OnChanging = [&](rtl::TObject*) { ++changing; };
  c->OnChange = [&](rtl::TObject*) { ++changed; };
  c->FillRect(Rect(0, 0, 1, 1));
  c->TextOut(0, 0, L"x");
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
}

TEST(Canvas, WithoutDeviceContextRaises) {
  TCanvas canvas;
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), rtl::EInvalidOperation);
  EXPECT_THROW(canvas.TextWidth(L"x"), rtl::EInvalidOperation);
}

TEST(Canvas, DetachedContextGetsStockObjectsBack) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ stock_font = GetCurrentObject(dc, OBJ_FONT);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font()->SetHeight(-30);
    canvas.TextWidth(L"x");
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
    canvas.SetHandle(nullptr);
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
  }
  (void)stock_font;
  DeleteDC(dc);
}

TEST_F(CanvasTest, LockNests) {
  TCanvas* c = bmp.Canvas();
  c->Lock();
  c->Lock();
  EXPECT_EQ(c->LockCount(), 2);
  EXPECT_TRUE(c->TryLock());
  c->Unlock();
  c->Unlock();
  c->Unlock();
  EXPECT_EQ(c->LockCount(), 0);
}

TEST_F(CanvasTest, FormattedTextRectMeasuresWrapsAndCentres) {
  TCanvas* c = bmp.Canvas();
  c->Font()->SetHeight(-11);
  TRect one = Rect(0, 0, 1000, 0);
  int line = c->TextRect(one, L"Ağaç", DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(line, c->TextHeight(L"Ağaç"));
  EXPECT_EQ(one.Width(), c->TextWidth(L"Ağaç"));
  TRect wrapped = Rect(0, 0, c->TextWidth(L"WWW WWW") / 2 + 2, 0);
  int height = c->TextRect(wrapped, L"WWW WWW", DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(height, 2 * line);
  EXPECT_EQ(At(0, 0), clWhite);  // measuring draws nothing
  // Centred in the bitmap: ink on both sides of the middle, none at the edges.
  c->Font()->SetColor(clBlack);
  TRect all = Rect(0, 0, 40, 30);
  c->TextRect(all, L"II", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  bool left_edge_ink = false, middle_ink = false;
  for (int y = 0; y < 30; ++y) {
    left_edge_ink = left_edge_ink || At(0, y) != clWhite;
    for (int x = 14; x < 26; ++x) middle_ink = middle_ink || At(x, y) != clWhite;
  }
  EXPECT_TRUE(middle_ink);
  EXPECT_FALSE(left_edge_ink);
}

TEST_F(CanvasTest, PatternBrushFromABitmapCopy) {
  auto* pattern = new TBitmap(8, 8, pf24bit);
  pattern->Canvas()->Brush()->SetColor(clMaroon);
  pattern->Canvas()->FillRect(Rect(0, 0, 8, 8));
  bmp.Canvas()->Brush()->SetBitmap(pattern);
  delete pattern;  // the brush keeps its own copy
  bmp.Canvas()->FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(At(5, 5), clMaroon);
  bmp.Canvas()->Brush()->SetBitmap(nullptr);
  bmp.Canvas()->Brush()->SetColor(clTeal);
  bmp.Canvas()->FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(At(5, 5), clTeal);
}

TEST(Font, SizeHeightAndAssignAcrossResolutions) {
  TFont f;
  EXPECT_EQ(f.Name(), L"MS Sans Serif");
  EXPECT_EQ(f.Size(), 8);
  f.SetPixelsPerInch(96);
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  TFont printer;
  printer.SetPixelsPerInch(600);
  printer.Assign(&f);
  EXPECT_EQ(printer.Size(), 12);  // the point size is kept, not the pixel height
  EXPECT_EQ(printer.Height(), -100);
  int changes = 0;
  f.OnChange = [&](rtl::TObject*) { ++changes; };
  f.SetStyle({fsBold, fsUnderline});
  f.SetStyle({fsBold, fsUnderline});
  f.SetColor(clRed);
  EXPECT_EQ(changes, 2);
  LOGFONTW lf{};
  GetObjectW(f.Handle(), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  f.SetOrientation(900);
  GetObjectW(f.Handle(), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfEscapement, 900);
  TFont from_handle;
  LOGFONTW italic{};
  italic.lfHeight = -20;
  italic.lfItalic = TRUE;
  wcscpy(italic.lfFaceName, L"Tahoma");
  from_handle.SetHandle(CreateFontIndirectW(&italic));
  EXPECT_EQ(from_handle.Name(), L"Tahoma");
  EXPECT_EQ(from_handle.Height(), -20);
  EXPECT_EQ(from_handle.Style(), TFontStyles{fsItalic});
}

TEST(Brush, ChoosingAColourMakesAClearBrushSolid) {
  TBrush b;
  b.SetStyle(bsClear);
  b.SetColor(clRed);
  EXPECT_EQ(b.Style(), bsSolid);
}
