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
