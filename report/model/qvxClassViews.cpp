#include "report/model/qvxClassViews.h"

#include <typeinfo>

#include <cmath>
#include <string_view>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/rtl/variant.h"
#include "platform/rtl/win.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "report/model/qvxXML.h"

using rtl::String;
using vcl::TColor;

namespace {

int Rnd(Extended x) { return static_cast<int>(std::nearbyint(static_cast<double>(x))); }


// A difference text grows by appending in place: a temporary string per attribute would cost an allocation each,
// for every object of every record.
void Put(String& out, std::wstring_view name, const String& value) {
  out += L' ';
  out.append(name);
  out += L"=\"";
  out += value;
  out += L'"';
}

}  // namespace

VCL_REGISTER(TqvxView) {
  cls.Prop(L"Align", &TqvxView::Align, &TqvxView::SetAlign).Default(baNone);
  cls.Prop(L"Printable", &TqvxView::Printable, &TqvxView::SetPrintable).Stored(false);
  cls.Prop(L"ShiftMode", &TqvxView::ShiftMode).Default(smAlways);
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxComponent::SetLeft);
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxComponent::SetTop);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxComponent::SetWidth);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxComponent::SetHeight);
  cls.Prop(L"GroupIndex", &TqvxComponent::GroupIndex, &TqvxComponent::SetGroupIndex).Default(0);
  cls.Prop(L"Restrictions", &TqvxComponent::Restrictions, &TqvxComponent::SetRestrictions).Default(TqvxRestrictions{});
  cls.Prop(L"Visible", &TqvxComponent::Visible, &TqvxComponent::SetVisible).Default(true);
  cls.Prop(L"OnAfterData", &TqvxView::OnAfterData);
  cls.Prop(L"OnAfterPrint", &TqvxView::OnAfterPrint);
  cls.Prop(L"OnBeforePrint", &TqvxView::OnBeforePrint);
  cls.Prop(L"OnMouseEnter", &TqvxView::OnMouseEnter);
  cls.Prop(L"OnMouseLeave", &TqvxView::OnMouseLeave);
  cls.Prop(L"OnMouseDown", &TqvxView::OnMouseDown);
  cls.Prop(L"OnMouseMove", &TqvxView::OnMouseMove);
  cls.Prop(L"OnMouseUp", &TqvxView::OnMouseUp);
  cls.Prop(L"OnPreviewClick", &TqvxView::OnPreviewClick);
  cls.Prop(L"OnPreviewDblClick", &TqvxView::OnPreviewDblClick);
  cls.Prop(L"Hyperlink", &TqvxView::Hyperlink, &TqvxView::SetHyperlink);
  cls.Prop(L"Hint", &TqvxView::Hint);
  cls.Prop(L"ShowHint", &TqvxView::ShowHint).Default(false);
  cls.Prop(L"Visibility", &TqvxView::Visibility).Default(TqvxVisibilityTypes{vsPreview, vsExport, vsPrint});
}

VCL_REGISTER(TqvxStretcheable) { cls.Prop(L"StretchMode", &TqvxStretcheable::StretchMode).Default(smDontStretch); }

VCL_REGISTER(TqvxShapeView) {
  cls.Prop(L"Color", &TqvxView::Color, &TqvxView::SetColor).Stored(false).TypeName(L"TColor");
  cls.Prop(L"Cursor", &TqvxView::Cursor).Default(0);
  cls.Prop(L"Curve", &TqvxShapeView::Curve).Default(0);
  cls.Prop(L"FillType", &TqvxView::FillType, &TqvxView::SetFillType).Default(ftBrush);
  cls.Prop(L"Fill", &TqvxView::Fill, &TqvxView::SetFill);
  cls.Prop(L"Frame", &TqvxView::Frame, &TqvxView::SetFrame);
  cls.Prop(L"Shape", &TqvxShapeView::Shape).Default(skRectangle);
  cls.Prop(L"TagStr", &TqvxView::TagStr);
  cls.Prop(L"URL", &TqvxView::URL, &TqvxView::SetURL).Stored(false);
}

VCL_REGISTER(TqvxHighlight) {
  cls.Prop(L"Active", &TqvxHighlight::Active).Stored(false);
  cls.Prop(L"ApplyFont", &TqvxHighlight::ApplyFont).Default(true);
  cls.Prop(L"ApplyFill", &TqvxHighlight::ApplyFill).Default(true);
  cls.Prop(L"ApplyFrame", &TqvxHighlight::ApplyFrame).Default(false);
  cls.Prop(L"Condition", &TqvxHighlight::Condition);
  cls.Prop(L"Font", &TqvxHighlight::Font, &TqvxHighlight::SetFont);
  cls.Prop(L"Color", &TqvxHighlight::Color, &TqvxHighlight::SetColor).Stored(false).TypeName(L"TColor");
  cls.Prop(L"FillType", &TqvxHighlight::FillType, &TqvxHighlight::SetFillType).Default(ftBrush);
  cls.Prop(L"Fill", &TqvxHighlight::Fill, &TqvxHighlight::SetFill);
  cls.Prop(L"Frame", &TqvxHighlight::Frame, &TqvxHighlight::SetFrame);
  cls.Prop(L"Visible", &TqvxHighlight::Visible).Default(true);
}

VCL_REGISTER(TqvxHighlightCollection) {}

VCL_REGISTER(TqvxFormat) {
  cls.Prop(L"DecimalSeparator", &TqvxFormat::DecimalSeparator);
  cls.Prop(L"ThousandSeparator", &TqvxFormat::ThousandSeparator);
  cls.Prop(L"FormatStr", &TqvxFormat::FormatStr);
  cls.Prop(L"Kind", &TqvxFormat::Kind).Default(fkText);
}

VCL_REGISTER(TqvxFormatCollection) {}

// ---------------------------------------------------------------------------------------------------------------
// TqvxView

TqvxView::TqvxView(vcl::TComponent* owner) : TqvxReportComponent(owner) { InitView(); }

TqvxView::TqvxView(vcl::TComponent* owner, rtl::Word flags) : TqvxReportComponent(owner, flags) { InitView(); }

void TqvxView::InitView() {
  FqvComponentStyle = TqvxComponentStyle{csPreviewVisible, csDefaultDiff};
  FFrame = new TqvxFrame();
  FFill = new TqvxBrushFill();
  FHyperlink = new TqvxHyperlink();
}

TqvxView::~TqvxView() {
  delete FFrame;
  delete FHyperlink;
  delete FFill;
}

void TqvxView::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxReportComponent::Notification(component, operation);
  if (operation == vcl::opRemove && FDataSet && static_cast<vcl::TComponent*>(FDataSet) == component)
    FDataSet = nullptr;
}

void TqvxView::SetDataSet(TqvxDataSet* value) {
  FDataSet = value;
  FDataSetName = value ? value->UserName() : String();
  if (value) value->FreeNotification(this);
}

String TqvxView::DataSetName() const {
  if (FDataSet) return FDataSet->UserName();
  return FDataSetName;
}

void TqvxView::SetDataSetName(const String& value) {
  FDataSetName = value;
  FDataSet = FindDataSet(FDataSet, FDataSetName);
  if (FDataSet) FDataSet->FreeNotification(this);
}

void TqvxView::SetFillType(TqvxFillType value) {
  if (value == FillType()) return;
  // Without a designer attached there is nobody to refresh.
  TqvxCustomFill* fill = qvxCreateFill(value);
  delete FFill;
  FFill = fill;
}

void TqvxView::SetFill(TqvxCustomFill* value) {
  if (!value) return;
  SetFillType(qvxGetFillType(value));
  FFill->Assign(value);
}

TColor TqvxView::Color() const {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) return b->BackColor;
  if (auto* g = dynamic_cast<TqvxGradientFill*>(FFill)) return g->GetColor();
  return clTransparent;
}

void TqvxView::SetColor(TColor value) {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) b->BackColor = value;
}

vcl::TBrushStyle TqvxView::BrushStyle() const {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) return b->Style;
  return vcl::bsClear;
}

void TqvxView::SetBrushStyle(vcl::TBrushStyle value) {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) b->Style = value;
}

void TqvxView::SetPrintable(bool value) {
  if (value)
    Visibility += vsPrint;
  else
    Visibility -= vsPrint;
}

void TqvxView::SetURL(const String& value) {
  if (value.empty()) return;
  if (value[0] == L'@' || value[0] == L'#') {
    FHyperlink->Kind = value[0] == L'@' ? hkPageNumber : hkAnchor;
    FHyperlink->Value = value.substr(1, 255);
  } else {
    FHyperlink->Kind = hkURL;
    FHyperlink->Value = value;
  }
}

void TqvxView::BeginDraw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  Canvas = canvas;
  ScaleX = scaleX;
  ScaleY = scaleY;
  OffsetX = offsetX;
  OffsetY = offsetY;
  const Extended l = AbsLeft(), t = AbsTop();
  X = Rnd(l * scaleX + offsetX);
  Y = Rnd(t * scaleY + offsetY);
  X1 = Rnd((l + Width()) * scaleX + offsetX);
  Y1 = Rnd((t + Height()) * scaleY + offsetY);
  if (FFrame->DropShadow) {
    X1 -= Rnd(FFrame->ShadowWidth * scaleX);
    Y1 -= Rnd(FFrame->ShadowWidth * scaleY);
  }
  DX = X1 - X;
  DY = Y1 - Y;
  FrameWidth = Rnd(FFrame->Width() * scaleX);
}

void TqvxView::DrawBackground() {
  const double fw = FFrame->Width();
  const TqvxFrameTypes typ = FFrame->Typ;
  const int l = typ.Contains(ftLeft) ? X - Rnd(fw * ScaleX / 2) : X;
  const int t = typ.Contains(ftTop) ? Y - Rnd(fw * ScaleY / 2) : Y;
  const int r = typ.Contains(ftRight) ? X1 + Rnd(fw * ScaleX / 2) + Rnd(fw * ScaleX) % 2 : X1;
  const int b = typ.Contains(ftBottom) ? Y1 + Rnd(fw * ScaleY / 2) + Rnd(fw * ScaleY) % 2 : Y1;
  FFill->Draw(Canvas, l, t, r, b, ScaleX, ScaleY);
}

void TqvxView::DrawFrame() { FFrame->Draw(Canvas, X, Y, X1, Y1, ScaleX, ScaleY); }

void TqvxView::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  DrawBackground();
  DrawFrame();
}

void TqvxView::DrawLine(int x, int y, int x1, int y1, int width) {
  if (width == 0) width = 1;
  const bool horizontal = std::abs(x1 - x) > std::abs(y1 - y);
  const int last = width / 2 - (width % 2 == 0 ? 1 : 0);
  for (int k = -(width / 2); k <= last; ++k) {
    if (horizontal) {
      Canvas->MoveTo(x, y + k);
      Canvas->LineTo(x1, y1 + k);
    } else {
      Canvas->MoveTo(x + k, y);
      Canvas->LineTo(x1 + k, y1);
    }
  }
}

void TqvxView::BeforePrint() {
  TqvxReportComponent::BeforePrint();
  TempTag = TagStr;
  TempHyperlink = FHyperlink->Value;
  if (TqvxReport* report = Report()) report->SetSelfValue(this);
}

void TqvxView::AfterPrint() {
  TqvxReportComponent::AfterPrint();
  TagStr = TempTag;
  FHyperlink->Value = TempHyperlink;
}

void TqvxView::ExpandVariables(String& expr) {
  TqvxReport* report = Report();
  int i = 1;
  for (;;) {
    // Positions are UTF-16 characters here, so no character can hide a bracket as a double-byte pair might.
    const int len = static_cast<int>(expr.size());
    while (i < len && expr[static_cast<size_t>(i - 1)] != L'[') ++i;
    int j = 0;
    const String inner = qvxGetBrackedVariableW(expr, L"[", L"]", i, j);
    if (i == j) break;
    expr.erase(static_cast<size_t>(i - 1), static_cast<size_t>(j - i + 1));
    const String value = report ? rtl::VarToStr(report->Calc(inner)) : String();
    expr.insert(static_cast<size_t>(i - 1), value);
    i += static_cast<int>(value.size());
  }
}

void TqvxView::GetData() {
  if (!TagStr.empty() && TagStr.find(L'[') != String::npos) ExpandVariables(TagStr);
  if (!FHyperlink->Value.empty() && FHyperlink->Value.find(L'[') != String::npos) ExpandVariables(FHyperlink->Value);
  if (!FHyperlink->Expression.empty()) {
    TqvxReport* report = Report();
    if (!report) return;
    const rtl::Variant v = report->Calc(FHyperlink->Expression);
    if (v.IsString()) {
      String text = rtl::VarToStr(v);
      if (report->ScriptLanguage() != L"ZuvizaVuruze") {
        String quoted = L"\"";
        for (wchar_t c : text) quoted += c == L'"' ? String(L"\\\"") : String(1, c);
        FHyperlink->Value = quoted + L"\"";
      } else {
        String quoted = L"'";
        for (wchar_t c : text) quoted += c == L'\'' ? String(L"''") : String(1, c);
        FHyperlink->Value = quoted + L"'";
      }
    } else {
      FHyperlink->Value = rtl::VarToStr(v);
    }
  }
}

String TqvxView::Diff(TqvxComponent* component) {
  String result = TqvxReportComponent::Diff(component);
  auto* v = component && &typeid(*component) == &typeid(*this) ? static_cast<TqvxView*>(component)
                                                             : dynamic_cast<TqvxView*>(component);
  if (!v) return result;
  if (FAlign != v->FAlign) Put(result, L"Align", rtl::IntToStr(FAlign));
  result += FFrame->Diff(v->FFrame);
  if (Cursor != v->Cursor) Put(result, L"Cursor", rtl::IntToStr(Cursor));
  if (Visibility != v->Visibility)
    Put(result, L"Visibility", rtl::IntToStr(static_cast<rtl::Int64>(Visibility.Bits())));
  if (TagStr != v->TagStr) Put(result, L"TagStr", qvxStrToXML(TagStr));
  if (FillType() != v->FillType()) Put(result, L"FillType", rtl::IntToStr(FillType()));
  static const String kFill = L"Fill", kHyperlink = L"Hyperlink";
  result += FFill->Diff(v->FFill, kFill);
  result += FHyperlink->Diff(v->FHyperlink, kHyperlink);
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxShapeView

TqvxShapeView::TqvxShapeView(vcl::TComponent* owner) : TqvxView(owner) { FqvComponentStyle -= csDefaultDiff; }

TqvxShapeView::TqvxShapeView(vcl::TComponent* owner, rtl::Word flags) : TqvxView(owner, flags) {
  FqvComponentStyle -= csDefaultDiff;
  if (flags <= skDiagonal2) Shape = static_cast<TqvxShapeKind>(flags);
}

String TqvxShapeView::GetDescription() const { return qvxResources().Get(L"obShape"); }

String TqvxShapeView::Diff(TqvxComponent* component) {
  String result = TqvxView::Diff(component);
  auto* s = dynamic_cast<TqvxShapeView*>(component);
  if (s && Shape != s->Shape) Put(result, L"Shape", rtl::IntToStr(Shape));
  return result;
}

void TqvxShapeView::DrawShape() {
  vcl::TPen* pen = Canvas->Pen();
  vcl::TBrush* brush = Canvas->Brush();
  const TColor frameColor = FFrame->Color();
  pen->SetColor(frameColor);
  pen->SetWidth(FrameWidth);
  brush->SetStyle(vcl::bsSolid);
  SetBkMode(Canvas->Handle(), OPAQUE);
  const vcl::TPenStyle penStyle = frameColor == clTransparent       ? vcl::psClear
                                  : FFrame->Style() <= fsDashDotDot ? static_cast<vcl::TPenStyle>(FFrame->Style())
                                                                    : vcl::psSolid;
  const TColor color = Color();

  auto outline = [&]() {
    switch (Shape) {
      case skRectangle:
        Canvas->Rectangle(X, Y, X1 + 1, Y1 + 1);
        break;
      case skRoundRectangle: {
        const int r = Curve != 0 ? Rnd(Curve * ScaleX * 10) : std::min(DX, DY) / 4;
        Canvas->RoundRect(X, Y, X1 + 1, Y1 + 1, r, r);
        break;
      }
      case skEllipse:
        Canvas->Ellipse(X, Y, X1 + 1, Y1 + 1);
        break;
      case skTriangle:
        Canvas->Polygon(std::vector<vcl::TPoint>{{X1, Y1}, {X, Y1}, {X + DX / 2, Y}, {X1, Y1}});
        break;
      case skDiamond:
        Canvas->Polygon(std::vector<vcl::TPoint>{{X + DX / 2, Y}, {X1, Y + DY / 2}, {X + DX / 2, Y1}, {X, Y + DY / 2}});
        break;
      case skDiagonal1:
        DrawLine(X, Y1, X1, Y, FrameWidth);
        break;
      case skDiagonal2:
        DrawLine(X, Y, X1, Y1, FrameWidth);
        break;
    }
  };

  const vcl::TBrushStyle brushStyle = BrushStyle();
  pen->SetStyle(penStyle);
  if (brushStyle != vcl::bsSolid) {
    if (color != clTransparent) {
      brush->SetColor(color);
      outline();
    }
    brush->SetStyle(brushStyle);
    brush->SetColor(frameColor);
  } else if (color == clTransparent) {
    brush->SetStyle(vcl::bsClear);
  } else {
    brush->SetColor(color);
  }
  outline();
}

void TqvxShapeView::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  if (FFrame->Style() != fsDouble) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    DrawShape();
    return;
  }
  FFrame->SetStyle(fsSolid);
  const Extended l = Left(), t = Top(), w = Width(), h = Height();
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  DrawShape();
  const Extended fw = FFrame->Width();
  switch (Shape) {
    case skTriangle:
      SetBounds(l + 4 * fw, t + 4 * fw, w - 8 * fw, h - 6 * fw);
      break;
    case skDiamond:
      SetBounds(l + 3 * fw, t + 3 * fw, w - 6 * fw, h - 6 * fw);
      break;
    case skDiagonal1:
    case skDiagonal2:
      SetLeft(l + 2 * fw);
      break;
    default:
      SetBounds(l + 2 * fw, t + 2 * fw, w - 4 * fw, h - 4 * fw);
      break;
  }
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  DrawShape();
  FFrame->SetStyle(fsDouble);
  SetBounds(l, t, w, h);
}

// ---------------------------------------------------------------------------------------------------------------
// Highlights and formats

TqvxHighlight::TqvxHighlight(vcl::TCollection* collection)
    : vcl::TCollectionItem(collection), FFont(new vcl::TFont()), FFill(new TqvxBrushFill()), FFrame(new TqvxFrame()) {
  FFont->SetPixelsPerInch(96);
  FFont->SetName(L"Arial");
  FFont->SetSize(10);
  FFont->SetColor(255);
  FFont->SetCharset(1);
}

TqvxHighlight::~TqvxHighlight() {
  delete FFont;
  delete FFill;
  delete FFrame;
}

void TqvxHighlight::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TqvxHighlight*>(source);
  if (!s) {
    vcl::TCollectionItem::Assign(source);
    return;
  }
  ApplyFont = s->ApplyFont;
  ApplyFill = s->ApplyFill;
  ApplyFrame = s->ApplyFrame;
  FFont->Assign(s->FFont);
  SetFill(s->FFill);
  FFrame->Assign(s->FFrame);
  Condition = s->Condition;
  Visible = s->Visible;
}

void TqvxHighlight::SetFillType(TqvxFillType value) {
  if (value == FillType()) return;
  TqvxCustomFill* fill = qvxCreateFill(value);
  delete FFill;
  FFill = fill;
}

void TqvxHighlight::SetFill(TqvxCustomFill* value) {
  if (!value) return;
  SetFillType(qvxGetFillType(value));
  FFill->Assign(value);
}

TColor TqvxHighlight::Color() const {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) return b->BackColor;
  return clTransparent;
}

void TqvxHighlight::SetColor(TColor value) {
  if (auto* b = dynamic_cast<TqvxBrushFill*>(FFill)) b->BackColor = value;
}

void TqvxFormat::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TqvxFormat*>(source);
  if (!s) {
    vcl::TCollectionItem::Assign(source);
    return;
  }
  DecimalSeparator = s->DecimalSeparator;
  ThousandSeparator = s->ThousandSeparator;
  FormatStr = s->FormatStr;
  Kind = s->Kind;
}
