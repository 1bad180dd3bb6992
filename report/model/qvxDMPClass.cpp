#include "report/model/qvxDMPClass.h"

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxRes.h"

using rtl::String;

namespace {

constexpr Extended X = qv1CharX;
constexpr Extended Y = qv1CharY;
constexpr Extended P = qv01cm;

// The nearest whole number (halves to the even one) and the whole part.
Extended N(Extended v) { return static_cast<Extended>(std::nearbyint(static_cast<double>(v))); }
Extended T(Extended v) { return std::trunc(v); }

vcl::TFontStyles ScreenStyle(TqvxDMPFontStyles s) {
  vcl::TFontStyles result;
  if (s.Contains(fsxBold)) result.Include(vcl::fsBold);
  if (s.Contains(fsxItalic)) result.Include(vcl::fsItalic);
  if (s.Contains(fsxUnderline)) result.Include(vcl::fsUnderline);
  return result;
}

void ResetFont(vcl::TFont* font, TqvxDMPFontStyles style) {
  // The font is the printer's: changing it is no reason to stop following the page.
  font->OnChange = nullptr;
  font->SetName(L"Courier New");
  font->SetSize(12);
  font->SetStyle(ScreenStyle(style));
}

}  // namespace

VCL_REGISTER(TqvxDMPMemoView) {
  using M = TqvxCustomMemoView;
  cls.Prop(L"FontStyle", &TqvxDMPMemoView::FontStyle, &TqvxDMPMemoView::SetFontStyle)
      .Stored(&TqvxDMPMemoView::IsFontStyleStored);
  cls.Prop(L"TruncOutboundText", &TqvxDMPMemoView::TruncOutboundText);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
  cls.Prop(L"AutoWidth", &M::AutoWidth).Default(false);
  cls.Prop(L"AllowExpressions", &M::AllowExpressions).Default(true);
  cls.Prop(L"DataField", &TqvxView::DataField);
  cls.Prop(L"DataSet", &TqvxView::DataSet, &TqvxView::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxView::DataSetName, &TqvxView::SetDataSetName);
  cls.Prop(L"DisplayFormat", &M::DisplayFormat, &M::SetDisplayFormat).Stored(&M::IsDisplayFormatStored);
  cls.Prop(L"ExpressionDelimiters", &M::ExpressionDelimiters).Stored(&M::IsExpressionDelimitersStored);
  cls.Prop(L"FlowTo", &M::FlowTo, &M::SetFlowTo);
  cls.Prop(L"Frame", &TqvxView::Frame, &TqvxView::SetFrame);
  cls.Prop(L"HAlign", &M::HAlign).Default(haLeft);
  cls.Prop(L"HideZeros", &M::HideZeros).Default(false);
  cls.Prop(L"Memo", &M::MemoLines, &M::SetMemoLines);
  cls.Prop(L"RTLReading", &M::RTLReading).Default(false);
  cls.Prop(L"SuppressRepeated", &M::SuppressRepeated).Default(false);
  cls.Prop(L"WordWrap", &M::WordWrap).Default(true);
  cls.Prop(L"VAlign", &M::VAlign).Default(vaTop);
}

VCL_REGISTER(TqvxDMPLineView) {
  cls.Prop(L"FontStyle", &TqvxDMPLineView::FontStyle, &TqvxDMPLineView::SetFontStyle)
      .Stored(&TqvxDMPLineView::IsFontStyleStored);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
}

VCL_REGISTER(TqvxDMPCommand) { cls.Prop(L"Command", &TqvxDMPCommand::Command); }

VCL_REGISTER(TqvxDMPPage) { cls.Prop(L"FontStyle", &TqvxDMPPage::FontStyle, &TqvxDMPPage::SetFontStyle); }

// ---------------------------------------------------------------------------------------------------------------
// Text

TqvxDMPMemoView::TqvxDMPMemoView(vcl::TComponent* owner) : TqvxCustomMemoView(owner) { ResetFontOptions(); }

TqvxDMPMemoView::TqvxDMPMemoView(vcl::TComponent* owner, rtl::Word flags) : TqvxCustomMemoView(owner, flags) {
  ResetFontOptions();
}

void TqvxDMPMemoView::ResetFontOptions() {
  ResetFont(FFont, FFontStyle);
  CharSpacing = 0;
  LineSpacing = 1;
  GapX = 0;
  GapY = 0;
}

void TqvxDMPMemoView::SetFontStyle(TqvxDMPFontStyles value) {
  FFontStyle = value;
  FParentFont = false;
  ResetFontOptions();
}

void TqvxDMPMemoView::SetLeft(Extended value) {
  TqvxComponent::SetLeft(FAlign == baRight ? T(value / X) * X : N(value / X) * X);
}
void TqvxDMPMemoView::SetTop(Extended value) { TqvxComponent::SetTop(N(value / Y) * Y); }
void TqvxDMPMemoView::SetWidth(Extended value) { TqvxComponent::SetWidth(N(value / X) * X); }
void TqvxDMPMemoView::SetHeight(Extended value) { TqvxComponent::SetHeight(N(value / Y) * Y); }

void TqvxDMPMemoView::SetBoundsDirect(Extended left, Extended top, Extended width, Extended height) {
  TqvxComponent::SetLeft(left);
  TqvxComponent::SetTop(top);
  TqvxComponent::SetWidth(width);
  TqvxComponent::SetHeight(height);
}

void TqvxDMPMemoView::SetParentFont(bool value) {
  TqvxCustomMemoView::SetParentFont(value);
  if (value)
    if (auto* page = dynamic_cast<TqvxDMPPage*>(Page())) FFontStyle = page->FontStyle();
}

String TqvxDMPMemoView::GetDescription() const { return qvxResources().Get(L"obDMPText"); }

void TqvxDMPMemoView::DrawFrame() {
  const Extended l = AbsLeft(), t = AbsTop();
  const int saved[4] = {this->X, this->Y, X1, Y1};
  auto dev = [](Extended v, Extended scale, Extended offset) {
    return static_cast<int>(std::nearbyint(static_cast<double>(v * scale + offset)));
  };
  this->X = dev(l - X / 2, ScaleX, OffsetX);
  this->Y = dev(t - Y / 2, ScaleY, OffsetY);
  X1 = dev(l + Width() + X / 2, ScaleX, OffsetX);
  Y1 = dev(t + Height() + Y / 2, ScaleY, OffsetY);
  TqvxCustomMemoView::DrawFrame();
  this->X = saved[0];
  this->Y = saved[1];
  X1 = saved[2];
  Y1 = saved[3];
}

Extended TqvxDMPMemoView::CalcHeight() { return N(TqvxCustomMemoView::CalcHeight() / Y) * Y; }
Extended TqvxDMPMemoView::CalcWidth() { return N(TqvxCustomMemoView::CalcWidth() / X) * X; }

String TqvxDMPMemoView::GetoutBoundText() {
  const auto rows = static_cast<long>(N(Height() / Y));
  const auto cols = static_cast<long>(N(Width() / X));
  String result;
  TqvxWideStrings* lines = Memo();
  for (long r = 0; r < rows && r < lines->Count(); ++r) {
    const String line = lines->Get(static_cast<int>(r));
    result += line.substr(0, static_cast<size_t>(std::max(0L, cols))) + L"\r\n";
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// Line

void TqvxDMPLineView::SetLeft(Extended value) {
  Extended v;
  if (value < 0)
    v = T(value / X) * X - X / 2;
  else if (FAlign == baRight)
    v = N(value / X) * X - X / 2;
  else
    v = T(value / X) * X + X / 2;
  TqvxComponent::SetLeft(v);
}

void TqvxDMPLineView::SetTop(Extended value) { TqvxComponent::SetTop(T(value / Y) * Y + Y / 2); }

void TqvxDMPLineView::SetWidth(Extended value) {
  TqvxComponent::SetWidth(FAlign == baWidth ? T(value / X) * X : N(value / X) * X);
}

void TqvxDMPLineView::SetFontStyle(TqvxDMPFontStyles value) {
  FFontStyle = value;
  FParentFont = false;
}

void TqvxDMPLineView::SetParentFont(bool value) {
  TqvxCustomLineView::SetParentFont(value);
  if (value)
    if (auto* page = dynamic_cast<TqvxDMPPage*>(Page())) FFontStyle = page->FontStyle();
}

String TqvxDMPLineView::GetDescription() const { return qvxResources().Get(L"obDMPLine"); }

// ---------------------------------------------------------------------------------------------------------------
// Command

void TqvxDMPCommand::SetLeft(Extended value) { TqvxComponent::SetLeft(N(value / X) * X); }
void TqvxDMPCommand::SetTop(Extended value) { TqvxComponent::SetTop(N(value / Y) * Y); }

String TqvxDMPCommand::GetDescription() const { return qvxResources().Get(L"obDMPCmd"); }

std::string TqvxDMPCommand::ToChr() const {
  std::string result;
  if (!Command.empty() && Command[0] == L'#') {
    const String text = Command + L"#";
    size_t start = 1;
    for (size_t i = 1; i < text.size(); ++i)
      if (text[i] == L'#') {
        result += static_cast<char>(rtl::StrToInt(text.substr(start, i - start)));
        start = i + 1;
      }
    return result;
  }
  for (size_t i = 0; i + 1 < Command.size(); i += 2)
    result += static_cast<char>(rtl::StrToInt(L"$" + Command.substr(i, 2)));
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// Page

TqvxDMPPage::TqvxDMPPage(vcl::TComponent* owner) : TqvxReportPage(owner) { ResetFontOptions(); }

void TqvxDMPPage::ResetFontOptions() { ResetFont(FFont, FFontStyle); }

void TqvxDMPPage::SetFontStyle(TqvxDMPFontStyles value) {
  FFontStyle = value;
  ResetFontOptions();
  const std::vector<TqvxComponent*> all = GetAllObjects();
  for (TqvxComponent* c : all)
    if (c->ParentFont()) c->SetParentFont(true);
}

void TqvxDMPPage::SetDefaults() {
  TqvxReportPage::SetDefaults();
  LeftMargin = RightMargin = X / P;
  TopMargin = BottomMargin = Y / P;
  SetSizeAndDimensions(PaperSize(), T(PaperWidth() * P / X) * X / P, T(PaperHeight() * P / Y) * Y / P);
}

void TqvxDMPPage::SetPaperWidth(Extended value) {
  TqvxReportPage::SetPaperWidth(value);
  SetSizeAndDimensions(PaperSize(), N(PaperWidth() * P / X) * X / P, PaperHeight());
}

void TqvxDMPPage::SetPaperHeight(Extended value) {
  TqvxReportPage::SetPaperHeight(value);
  SetSizeAndDimensions(PaperSize(), PaperWidth(), N(PaperHeight() * P / Y) * Y / P);
}

void TqvxDMPPage::SetPaperSize(rtl::Integer value) {
  TqvxReportPage::SetPaperSize(value);
  SetSizeAndDimensions(PaperSize(), N(PaperWidth() * P / X) * X / P, N(PaperHeight() * P / Y) * Y / P);
}

// ---------------------------------------------------------------------------------------------------------------
// Registration

void qvxRegisterDMPClasses() {
  vcl::RegisterClass(TqvxDMPPage::StaticClass());
  TqvxObjectCollection& objects = qvxObjects();
  const TqvxObjectCategories dmp{ctDMP};
  objects.RegisterObject1(TqvxDMPMemoView::StaticClass(), nullptr, String(), String(), 0, 2, dmp);
  objects.RegisterObject1(TqvxDMPLineView::StaticClass(), nullptr, String(), String(), 0, 5, dmp);
  objects.RegisterObject1(TqvxDMPCommand::StaticClass(), nullptr, String(), String(), 0, 21, dmp);
}
