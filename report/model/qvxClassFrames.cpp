#include "report/model/qvxClassFrames.h"

#include <algorithm>
#include <typeinfo>
#include <cmath>
#include <string_view>
#include <cstdlib>

#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxXML.h"

using rtl::String;
using vcl::TCanvas;
using vcl::TColor;

VCL_REGISTER(TqvxCustomFill) {}

VCL_REGISTER(TqvxBrushFill) {
  cls.Prop(L"BackColor", &TqvxBrushFill::BackColor).Default(clTransparent).TypeName(L"TColor");
  cls.Prop(L"ForeColor", &TqvxBrushFill::ForeColor).Default(0).TypeName(L"TColor");
  cls.Prop(L"Style", &TqvxBrushFill::Style).Default(vcl::bsSolid);
}

VCL_REGISTER(TqvxGradientFill) {
  cls.Prop(L"StartColor", &TqvxGradientFill::StartColor).Default(0xFFFFFF).TypeName(L"TColor");
  cls.Prop(L"EndColor", &TqvxGradientFill::EndColor).Default(0).TypeName(L"TColor");
  cls.Prop(L"GradientStyle", &TqvxGradientFill::GradientStyle);
}

VCL_REGISTER(TqvxGlassFill) {
  cls.Prop(L"Color", &TqvxGlassFill::Color).Default(qvxGlassDefaultColor).TypeName(L"TColor");
  cls.Prop(L"Blend", &TqvxGlassFill::Blend);
  cls.Prop(L"Hatch", &TqvxGlassFill::Hatch).Default(false);
  cls.Prop(L"Orientation", &TqvxGlassFill::Orientation).Default(foHorizontal);
}

VCL_REGISTER(TqvxFrameLine) {
  cls.Prop(L"Color", &TqvxFrameLine::Color).TypeName(L"TColor").Stored(&TqvxFrameLine::IsColorStored);
  cls.Prop(L"Style", &TqvxFrameLine::Style).Stored(&TqvxFrameLine::IsStyleStored);
  cls.Prop(L"Width", &TqvxFrameLine::Width).Stored(&TqvxFrameLine::IsWidthStored);
}

VCL_REGISTER(TqvxFrame) {
  cls.Prop(L"Color", &TqvxFrame::Color, &TqvxFrame::SetColor).Default(0).TypeName(L"TColor");
  cls.Prop(L"DropShadow", &TqvxFrame::DropShadow).Default(false);
  cls.Prop(L"ShadowColor", &TqvxFrame::ShadowColor).Default(0).TypeName(L"TColor");
  cls.Prop(L"ShadowWidth", &TqvxFrame::ShadowWidth).Stored(&TqvxFrame::IsShadowWidthStored);
  cls.Prop(L"Style", &TqvxFrame::Style, &TqvxFrame::SetStyle).Default(fsSolid);
  cls.Prop(L"Typ", &TqvxFrame::Typ).Default(TqvxFrameTypes{}).Stored(&TqvxFrame::IsTypStored);
  cls.Prop(L"Width", &TqvxFrame::Width, &TqvxFrame::SetWidth).Stored(&TqvxFrame::IsWidthStored);
  cls.Prop(L"LeftLine", &TqvxFrame::LeftLine, &TqvxFrame::SetLeftLine);
  cls.Prop(L"TopLine", &TqvxFrame::TopLine, &TqvxFrame::SetTopLine);
  cls.Prop(L"RightLine", &TqvxFrame::RightLine, &TqvxFrame::SetRightLine);
  cls.Prop(L"BottomLine", &TqvxFrame::BottomLine, &TqvxFrame::SetBottomLine);
}

VCL_REGISTER(TqvxHyperlink) {
  cls.Prop(L"Kind", &TqvxHyperlink::Kind).Default(hkURL);
  cls.Prop(L"DetailReport", &TqvxHyperlink::DetailReport);
  cls.Prop(L"DetailPage", &TqvxHyperlink::DetailPage);
  cls.Prop(L"Expression", &TqvxHyperlink::Expression);
  cls.Prop(L"ReportVariable", &TqvxHyperlink::ReportVariable);
  cls.Prop(L"Value", &TqvxHyperlink::Value);
  cls.Prop(L"ValuesSeparator", &TqvxHyperlink::ValuesSeparator).Stored(&TqvxHyperlink::IsValuesSeparatorStored);
  cls.Prop(L"TabCaption", &TqvxHyperlink::TabCaption);
}

namespace {

int Rnd(Extended x) { return static_cast<int>(std::nearbyint(static_cast<double>(x))); }

int Mul(int a, int b, int c) { return ::MulDiv(a, b, c); }

TColor Rgb(int r, int g, int b) { return (r & 255) | ((g & 255) << 8) | ((b & 255) << 16); }


// A difference text grows by appending in place: a temporary string per attribute would cost an allocation each,
// for every object of every record.
void Put(String& out, std::wstring_view name, const String& value) {
  out += L' ';
  out.append(name);
  out += L"=\"";
  out += value;
  out += L'"';
}
String Int(rtl::Int64 v) { return rtl::IntToStr(v); }
String Bool(bool v) { return v ? L"1" : L"0"; }
String Float(double v) { return rtl::FloatToStr(v); }

void Fill(TCanvas* canvas, TColor color, int l, int t, int r, int b) {
  canvas->Brush()->SetColor(color);
  canvas->FillRect(vcl::TRect(l, t, r, b));
}

// The colour channels of a colour value: red low, green middle, blue high byte.
struct TChannels {
  int r, g, b;
  explicit TChannels(TColor c) : r(c & 255), g((c >> 8) & 255), b((c >> 16) & 255) {}
};

// w parallel one-pixel lines around the nominal one, across its main direction.
void MultiLine(TCanvas* canvas, int x1, int y1, int x2, int y2, int w) {
  if (w == 0) w = 1;
  const bool horizontal = std::abs(x2 - x1) > std::abs(y2 - y1);
  const int last = w / 2 - (w % 2 == 0 ? 1 : 0);
  for (int k = -(w / 2); k <= last; ++k) {
    if (horizontal) {
      canvas->MoveTo(x1, y1 + k);
      canvas->LineTo(x2, y2 + k);
    } else {
      canvas->MoveTo(x1 + k, y1);
      canvas->LineTo(x2 + k, y2);
    }
  }
}

bool DrawWithPen(TCanvas* canvas, HPEN pen, int x1, int y1, int x2, int y2) {
  if (!pen) return false;
  HDC dc = canvas->Handle();
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
  return true;
}

enum TSide { sdLeft, sdRight, sdTop, sdBottom };

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Fills

void TqvxBrushFill::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TqvxBrushFill*>(source)) {
    BackColor = s->BackColor;
    ForeColor = s->ForeColor;
    Style = s->Style;
  }
}

void TqvxBrushFill::Draw(TCanvas* canvas, int x, int y, int x1, int y1, Extended, Extended) {
  vcl::TBrush* brush = canvas->Brush();
  brush->SetStyle(Style);
  if (BackColor != clTransparent) {
    brush->SetColor(BackColor);
    brush->SetStyle(vcl::bsSolid);
    canvas->FillRect(vcl::TRect(x, y, x1, y1));
  }
  if (Style >= vcl::bsHorizontal && Style <= vcl::bsDiagCross) {
    // The hatch alone, over whatever lies below; the canvas's own brush comes back afterwards.
    const TColor oldColor = brush->Color();
    brush->SetColor(vcl::ColorToRGB(ForeColor));
    brush->SetStyle(Style);
    canvas->Rectangle(x, y, x1 + 1, y1 + 1);
    brush->SetColor(oldColor);
  }
}

String TqvxBrushFill::Diff(TqvxCustomFill* fill, const String& add) {
  auto* f = fill && &typeid(*fill) == &typeid(TqvxBrushFill) ? static_cast<TqvxBrushFill*>(fill)
                                                           : dynamic_cast<TqvxBrushFill*>(fill);
  String result;
  if (!f || BackColor != f->BackColor) Put(result, add + L".BackColor", Int(BackColor));
  if (!f || ForeColor != f->ForeColor) Put(result, add + L".ForeColor", Int(ForeColor));
  if (!f || Style != f->Style) Put(result, add + L".Style", Int(Style));
  return result;
}

void TqvxGradientFill::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TqvxGradientFill*>(source)) {
    StartColor = s->StartColor;
    EndColor = s->EndColor;
    GradientStyle = s->GradientStyle;
  }
}

TColor TqvxGradientFill::GetColor() const {
  const TChannels s(StartColor), e(EndColor);
  return Rgb(s.r + Mul(127, e.r - s.r, 255), s.g + Mul(127, e.g - s.g, 255), s.b + Mul(127, e.b - s.b, 255));
}

void TqvxGradientFill::Draw(TCanvas* canvas, int x, int y, int x1, int y1, Extended, Extended) {
  const int w = x1 - x, h = y1 - y;
  const TChannels s(StartColor), e(EndColor);
  const int dr = e.r - s.r, dg = e.g - s.g, db = e.b - s.b;
  auto colour = [&](int i, int n) { return Rgb(s.r + Mul(i, dr, n), s.g + Mul(i, dg, n), s.b + Mul(i, db, n)); };
  canvas->Brush()->SetStyle(vcl::bsSolid);
  switch (GradientStyle) {
    case gsHorizontal:
      for (int i = 0; i <= 255; ++i) Fill(canvas, colour(i, 255), x + Mul(i, w, 256), y, x + Mul(i + 1, w, 256), y + h);
      break;
    case gsVertical:
      for (int i = 0; i <= 255; ++i) Fill(canvas, colour(i, 255), x, y + Mul(i, h, 256), x + w, y + Mul(i + 1, h, 256));
      break;
    case gsElliptic: {
      if (w <= 0 || h <= 0) break;
      vcl::TBitmap bitmap(w, h);
      TCanvas* bc = bitmap.Canvas();
      bc->Pen()->SetStyle(vcl::psClear);
      bc->Brush()->SetStyle(vcl::bsSolid);
      double l = -w / 4.0, r = w + w / 4.0, t = -h / 4.0, b = h + h / 4.0;
      const double sx = (w / 4.0 + w / 2.0) / 155, sy = (h / 4.0 + h / 2.0) / 155;
      for (int i = 0; i <= 155; ++i) {
        l += sx;
        r -= sx;
        t += sy;
        b -= sy;
        bc->Brush()->SetColor(colour(i, 155));
        bc->Ellipse(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b));
      }
      canvas->Draw(x, y, &bitmap);
      break;
    }
    case gsRectangle: {
      canvas->Pen()->SetStyle(vcl::psClear);
      canvas->Pen()->SetMode(vcl::pmCopy);
      double l = x, r = x + w, t = y, b = y + h;
      const double sx = w / 2.0 / 255, sy = h / 2.0 / 255;
      for (int i = 0; i <= 255; ++i) {
        l += sx;
        r -= sx;
        t += sy;
        b -= sy;
        Fill(canvas, colour(i, 255), static_cast<int>(l), static_cast<int>(t), static_cast<int>(r),
             static_cast<int>(b));
      }
      canvas->Pen()->SetStyle(vcl::psSolid);
      break;
    }
    case gsVertCenter: {
      const int n = h / 2;
      for (int i = 0; i <= n; ++i) {
        const TColor c = colour(i, n);
        Fill(canvas, c, x, y + Mul(i, n, n), x + w, y + Mul(i + 1, n, n));
        Fill(canvas, c, x, y + h - Mul(i + 1, n, n), x + w, y + h - Mul(i, n, n));
      }
      break;
    }
    case gsHorizCenter: {
      const int n = w / 2;
      for (int i = 0; i <= n; ++i) {
        const TColor c = colour(i, n);
        Fill(canvas, c, x + Mul(i, n, n), y, x + Mul(i + 1, n, n), y + h);
        Fill(canvas, c, x + w - Mul(i + 1, n, n), y, x + w - Mul(i, n, n), y + h);
      }
      break;
    }
  }
}

String TqvxGradientFill::Diff(TqvxCustomFill* fill, const String& add) {
  auto* f = dynamic_cast<TqvxGradientFill*>(fill);
  String result;
  if (!f || StartColor != f->StartColor) Put(result, add + L".StartColor", Int(StartColor));
  if (!f || EndColor != f->EndColor) Put(result, add + L".EndColor", Int(EndColor));
  if (!f || GradientStyle != f->GradientStyle) Put(result, add + L".GradientStyle", Int(GradientStyle));
  return result;
}

void TqvxGlassFill::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TqvxGlassFill*>(source)) {
    Color = s->Color;
    Blend = s->Blend;
    Hatch = s->Hatch;
    Orientation = s->Orientation;
  }
}

void TqvxGlassFill::Draw(TCanvas* canvas, int x, int y, int x1, int y1, Extended, Extended) {
  if (Color == clTransparent) return;
  const TChannels c(vcl::ColorToRGB(Color));
  auto lighten = [this](int v) { return std::min(255, v + Rnd((255 - v) * Blend)); };
  const TColor light = Rgb(lighten(c.r), lighten(c.g), lighten(c.b));
  vcl::TBrush* brush = canvas->Brush();
  const TColor oldColor = brush->Color();
  const vcl::TBrushStyle oldStyle = brush->Style();
  brush->SetStyle(vcl::bsSolid);
  Fill(canvas, Color, x, y, x1, y1);
  switch (Orientation) {
    case foVertical: Fill(canvas, light, x, y, x1 - (x1 - x) / 2, y1); break;
    case foHorizontal: Fill(canvas, light, x, y, x1, y1 - (y1 - y) / 2); break;
    case foVerticalMirror: Fill(canvas, light, x + (x1 - x) / 2, y, x1, y1); break;
    case foHorizontalMirror: Fill(canvas, light, x, y + (y1 - y) / 2, x1, y1); break;
  }
  brush->SetColor(oldColor);
  brush->SetStyle(oldStyle);
  if (Hatch) {
    const TColor hatchColor = Rgb(std::max(0, (light & 255) - 6), std::max(0, ((light >> 8) & 255) - 6),
                                  std::max(0, ((light >> 16) & 255) - 6));
    const vcl::TPenStyle oldPen = canvas->Pen()->Style();
    canvas->Pen()->SetStyle(vcl::psClear);
    brush->SetColor(hatchColor);
    brush->SetStyle(vcl::bsBDiagonal);
    canvas->Rectangle(x, y, x1 + 1, y1 + 1);
    brush->SetColor(oldColor);
    brush->SetStyle(oldStyle);
    canvas->Pen()->SetStyle(oldPen);
  }
}

String TqvxGlassFill::Diff(TqvxCustomFill* fill, const String& add) {
  auto* f = dynamic_cast<TqvxGlassFill*>(fill);
  String result;
  if (!f || Color != f->Color) Put(result, add + L".Color", Int(Color));
  if (!f || Blend != f->Blend) Put(result, add + L".Blend", Float(Blend));
  if (!f || Hatch != f->Hatch) Put(result, add + L".Hatch", Bool(Hatch));
  if (!f || Orientation != f->Orientation) Put(result, add + L".Orientation", Int(Orientation));
  return result;
}

TqvxCustomFill* qvxCreateFill(TqvxFillType fillType) {
  switch (fillType) {
    case ftGradient: return new TqvxGradientFill();
    case ftGlass: return new TqvxGlassFill();
    default: return new TqvxBrushFill();
  }
}

TqvxFillType qvxGetFillType(const TqvxCustomFill* fill) {
  if (fill && &typeid(*fill) == &typeid(TqvxBrushFill)) return ftBrush;
  if (dynamic_cast<const TqvxGradientFill*>(fill)) return ftGradient;
  if (dynamic_cast<const TqvxGlassFill*>(fill)) return ftGlass;
  return ftBrush;
}

// ---------------------------------------------------------------------------------------------------------------
// Frame lines and frames

void TqvxFrameLine::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TqvxFrameLine*>(source)) {
    Color = s->Color;
    Style = s->Style;
    Width = s->Width;
  }
}

bool TqvxFrameLine::IsColorStored() const { return !Frame || Color != Frame->Color(); }
bool TqvxFrameLine::IsStyleStored() const { return !Frame || Style != Frame->Style(); }
bool TqvxFrameLine::IsWidthStored() const { return !Frame || Width != Frame->Width(); }

String TqvxFrameLine::Diff(TqvxFrameLine* line, const String& lineName, bool colorChanged, bool styleChanged,
                           bool widthChanged) {
  String result;
  if (colorChanged ? Color != Frame->Color() : Color != line->Color) Put(result, lineName + L".Color", Int(Color));
  if (styleChanged ? Style != Frame->Style() : Style != line->Style) Put(result, lineName + L".Style", Int(Style));
  if (widthChanged ? Width != Frame->Width() : std::fabs(Width - line->Width) > 0.0001)
    Put(result, lineName + L".Width", Float(Width));
  return result;
}

TqvxFrame::TqvxFrame()
    : FLeftLine(new TqvxFrameLine(this)),
      FTopLine(new TqvxFrameLine(this)),
      FRightLine(new TqvxFrameLine(this)),
      FBottomLine(new TqvxFrameLine(this)) {}

TqvxFrame::~TqvxFrame() {
  delete FLeftLine;
  delete FTopLine;
  delete FRightLine;
  delete FBottomLine;
}

void TqvxFrame::SetColor(TColor value) {
  FColor = value;
  for (TqvxFrameLine* l : {FLeftLine, FTopLine, FRightLine, FBottomLine}) l->Color = value;
}

void TqvxFrame::SetStyle(TqvxFrameStyle value) {
  FStyle = value;
  for (TqvxFrameLine* l : {FLeftLine, FTopLine, FRightLine, FBottomLine}) l->Style = value;
}

void TqvxFrame::SetWidth(double value) {
  FWidth = value;
  for (TqvxFrameLine* l : {FLeftLine, FTopLine, FRightLine, FBottomLine}) l->Width = value;
}

void TqvxFrame::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TqvxFrame*>(source);
  if (!s) return;
  SetColor(s->FColor);
  DropShadow = s->DropShadow;
  ShadowColor = s->ShadowColor;
  ShadowWidth = s->ShadowWidth;
  SetStyle(s->FStyle);
  Typ = s->Typ;
  SetWidth(s->FWidth);
  FLeftLine->Assign(s->FLeftLine);
  FTopLine->Assign(s->FTopLine);
  FRightLine->Assign(s->FRightLine);
  FBottomLine->Assign(s->FBottomLine);
}

void TqvxFrame::Draw(TCanvas* canvas, int fx, int fy, int fx1, int fy1, Extended scaleX, Extended scaleY) {
  vcl::TPen* pen = canvas->Pen();
  if (DropShadow) {
    pen->SetStyle(vcl::psSolid);
    pen->SetWidth(1);
    pen->SetColor(ShadowColor);
    const int d = Rnd(ShadowWidth * scaleX);
    MultiLine(canvas, fx1 + d / 2, fy + d, fx1 + d / 2, fy1, d);
    const int e = Rnd(ShadowWidth * scaleY);
    MultiLine(canvas, fx + e, fy1 + e / 2, fx1 + e, fy1 + e / 2, e);
  }
  if (Typ.Empty() || FColor == clTransparent || FWidth == 0) return;
  canvas->Brush()->SetStyle(FStyle == fsSolid ? vcl::bsSolid : vcl::bsClear);

  auto setPen = [&](TqvxFrameLine* line) {
    pen->SetColor(line->Color);
    if (line->Style == fsSolid || line->Style == fsDouble) {
      pen->SetStyle(vcl::psSolid);
      pen->SetWidth(Rnd(line->Width * scaleX));
    } else {
      pen->SetStyle(line->Style <= fsDashDotDot ? static_cast<vcl::TPenStyle>(line->Style) : vcl::psSolid);
      pen->SetWidth(1);
    }
  };

  auto side = [&](TqvxFrameLine* line, TSide kind, int x1, int y1, int x2, int y2, bool s, bool e) {
    const int w = Rnd(line->Width * scaleX);
    const bool vertical = kind == sdLeft || kind == sdRight;
    if (line->Style == fsSolid || line->Style == fsDouble) {
      const int pullStart = (w * (s ? 0 : 1)) / 2, pullEnd = (w * (e ? 0 : 1)) / 2;
      if (vertical) {
        y1 += pullStart;
        y2 -= pullEnd;
      } else {
        x1 += pullStart;
        x2 -= pullEnd;
      }
    }
    switch (line->Style) {
      case fsSolid: {
        LOGBRUSH lb{BS_SOLID, vcl::ColorToGdi(line->Color), 0};
        HPEN p = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE, static_cast<DWORD>(w), &lb, 0, nullptr);
        if (!DrawWithPen(canvas, p, x1, y1, x2, y2)) {
          canvas->MoveTo(x1, y1);
          canvas->LineTo(x2, y2);
        }
        break;
      }
      case fsDouble: {
        const int S = s ? w : 0, E = e ? w : 0;
        const bool outerFirst = kind == sdLeft || kind == sdTop;
        const int a = outerFirst ? -S : S, b = outerFirst ? -E : E, c = outerFirst ? S : -S, d = outerFirst ? E : -E;
        if (vertical) {
          canvas->MoveTo(x1 - w, y1 + a);
          canvas->LineTo(x1 - w, y2 - b);
          canvas->MoveTo(x1 + w, y1 + c);
          canvas->LineTo(x1 + w, y2 - d);
        } else {
          canvas->MoveTo(x1 + a, y1 - w);
          canvas->LineTo(x2 - b, y1 - w);
          canvas->MoveTo(x1 + c, y1 + w);
          canvas->LineTo(x2 - d, y1 + w);
        }
        break;
      }
      case fsAltDot:
      case fsSquare: {
        LOGBRUSH lb{BS_SOLID, vcl::ColorToGdi(line->Color), 0};
        DWORD pattern[2];
        DWORD caps = PS_ENDCAP_FLAT;
        if (w <= 1) {
          pattern[0] = pattern[1] = 1;
        } else if (line->Style == fsSquare) {
          pattern[0] = pattern[1] = static_cast<DWORD>(w);
        } else {
          pattern[0] = 0;
          pattern[1] = static_cast<DWORD>(2 * w);
          caps = PS_ENDCAP_ROUND;
        }
        HPEN p = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | caps, static_cast<DWORD>(std::max(w, 1)), &lb, 2, pattern);
        // Without a patterned pen the side is still drawn, plain.
        if (!DrawWithPen(canvas, p, x1, y1, x2, y2)) MultiLine(canvas, x1, y1, x2, y2, w);
        break;
      }
      default: MultiLine(canvas, x1, y1, x2, y2, w); break;
    }
  };

  const bool hasLeft = Typ.Contains(ftLeft), hasRight = Typ.Contains(ftRight), hasTop = Typ.Contains(ftTop),
             hasBottom = Typ.Contains(ftBottom);
  if (hasLeft) {
    setPen(FLeftLine);
    const int a = pen->Width() == 2 && FStyle != fsSolid ? 1 : 0;
    side(FLeftLine, sdLeft, fx, fy - a, fx, fy1, hasTop, hasBottom);
  }
  if (hasRight) {
    setPen(FRightLine);
    side(FRightLine, sdRight, fx1, fy, fx1, fy1, hasTop, hasBottom);
  }
  if (hasTop) {
    setPen(FTopLine);
    side(FTopLine, sdTop, fx, fy, fx1, fy, hasLeft, hasRight);
  }
  if (hasBottom) {
    setPen(FBottomLine);
    const int a = pen->Width() == 1 && FStyle != fsSolid ? 1 : 0;
    side(FBottomLine, sdBottom, fx, fy1, fx1 + a, fy1, hasLeft, hasRight);
  }
}

String TqvxFrame::Diff(TqvxFrame* frame) {
  String result;
  const bool c = FColor != frame->FColor;
  const bool s = FStyle != frame->FStyle;
  const bool w = std::fabs(FWidth - frame->FWidth) > 0.0001;
  if (c) Put(result, L"Frame.Color", Int(FColor));
  if (DropShadow != frame->DropShadow) Put(result, L"Frame.DropShadow", Bool(DropShadow));
  if (ShadowColor != frame->ShadowColor) Put(result, L"Frame.ShadowColor", Int(ShadowColor));
  if (std::fabs(ShadowWidth - frame->ShadowWidth) > 0.0001) Put(result, L"Frame.ShadowWidth", Float(ShadowWidth));
  if (s) Put(result, L"Frame.Style", Int(FStyle));
  if (Typ != frame->Typ) Put(result, L"Frame.Typ", Int(static_cast<rtl::Int64>(Typ.Bits())));
  if (w) Put(result, L"Frame.Width", Float(FWidth));
  // Made once: every object of every record passes its frame through here.
  static const String kLeft = L"Frame.LeftLine", kTop = L"Frame.TopLine", kRight = L"Frame.RightLine",
                      kBottom = L"Frame.BottomLine";
  result += FLeftLine->Diff(frame->FLeftLine, kLeft, c, s, w);
  result += FTopLine->Diff(frame->FTopLine, kTop, c, s, w);
  result += FRightLine->Diff(frame->FRightLine, kRight, c, s, w);
  result += FBottomLine->Diff(frame->FBottomLine, kBottom, c, s, w);
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// Hyperlinks

void TqvxHyperlink::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TqvxHyperlink*>(source)) {
    Kind = s->Kind;
    DetailReport = s->DetailReport;
    DetailPage = s->DetailPage;
    Expression = s->Expression;
    ReportVariable = s->ReportVariable;
    Value = s->Value;
    ValuesSeparator = s->ValuesSeparator;
    TabCaption = s->TabCaption;
  }
}

String TqvxHyperlink::Diff(TqvxHyperlink* link, const String& add) {
  String result;
  if (Kind != link->Kind) Put(result, add + L".Kind", Int(Kind));
  if (DetailReport != link->DetailReport) Put(result, add + L".DetailReport", qvxStrToXML(DetailReport));
  if (DetailPage != link->DetailPage) Put(result, add + L".DetailPage", qvxStrToXML(DetailPage));
  if (ReportVariable != link->ReportVariable) Put(result, add + L".ReportVariable", qvxStrToXML(ReportVariable));
  if (TabCaption != link->TabCaption) Put(result, add + L".TabCaption", qvxStrToXML(TabCaption));
  if (Value != link->Value) Put(result, add + L".Value", qvxStrToXML(Value));
  if (ValuesSeparator != link->ValuesSeparator) Put(result, add + L".ValuesSeparator", qvxStrToXML(ValuesSeparator));
  return result;
}
