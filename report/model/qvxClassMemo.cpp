#include "report/model/qvxClassMemo.h"

#include <cmath>
#include <string_view>
#include <typeinfo>
#include <memory>
#include <utility>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxCollections.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "report/model/qvxVariables.h"
#include "report/model/qvxXML.h"

using rtl::String;
using rtl::Variant;

namespace {

// Halves go to the even neighbour (the default rounding mode).
int R(long double x) { return static_cast<int>(std::nearbyint(static_cast<double>(x))); }

bool FloatDiff(Extended a, Extended b) { return std::fabs(static_cast<double>(a - b)) > 0.0001; }


// A difference text grows by appending in place: a temporary string per attribute would cost an allocation each,
// for every object of every record.
void Put(String& out, std::wstring_view name, const String& value) {
  out += L' ';
  out.append(name);
  out += L"=\"";
  out += value;
  out += L'"';
}

String BoolText(bool v) { return qvxValueToXML(Variant(v)); }

String FloatText(Extended v) { return rtl::FloatToStr(static_cast<double>(v)); }

wchar_t UpAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

// Position (0-based) of pattern in s from `from` on, ignoring ASCII case only: macro names are identifiers.
size_t FindNoCase(const String& s, const String& pattern, size_t from) {
  if (pattern.empty() || s.size() < pattern.size()) return String::npos;
  for (size_t i = from; i + pattern.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < pattern.size() && UpAscii(s[i + k]) == UpAscii(pattern[k])) ++k;
    if (k == pattern.size()) return i;
  }
  return String::npos;
}

bool IsStringValue(const Variant& v) {
  const rtl::TVarType t = v.VarType();
  return t == rtl::varString || t == rtl::varUString || t == rtl::varOleStr;
}

bool IsZero(const Variant& v) { return !IsStringValue(v) && !v.IsNull() && rtl::VarSameValue(v, Variant(0)); }

String DropLastBreak(const String& s) {
  if (s.size() >= 2 && s.compare(s.size() - 2, 2, L"\r\n") == 0) return s.substr(0, s.size() - 2);
  return s;
}

// Holds the layout lock for a scope, released also when drawing or measuring fails.
class TLayoutLock {
 public:
  explicit TLayoutLock(TqvxDrawText* dt) : dt_(dt) { dt_->Lock(); }
  ~TLayoutLock() { dt_->Unlock(); }
  TLayoutLock(const TLayoutLock&) = delete;
  TLayoutLock& operator=(const TLayoutLock&) = delete;

 private:
  TqvxDrawText* dt_;
};

const vcl::TRect kFreeBox(0, 0, 10000, 10000);

}  // namespace

VCL_REGISTER(TqvxCustomMemoView) {
  cls.Prop(L"FirstParaBreak", &TqvxCustomMemoView::FirstParaBreak).Default(false);
  cls.Prop(L"LastParaBreak", &TqvxCustomMemoView::LastParaBreak).Default(false);
  cls.Prop(L"Cursor", &TqvxView::Cursor).Default(0);
  cls.Prop(L"TagStr", &TqvxView::TagStr);
  cls.Prop(L"URL", &TqvxView::URL, &TqvxView::SetURL).Stored(false);
}

VCL_REGISTER(TqvxMemoView) {
  using M = TqvxCustomMemoView;
  cls.Prop(L"AutoWidth", &M::AutoWidth).Default(false);
  cls.Prop(L"AllowExpressions", &M::AllowExpressions).Default(true);
  cls.Prop(L"AllowHTMLTags", &M::AllowHTMLTags).Default(false);
  cls.Prop(L"BrushStyle", &TqvxView::BrushStyle, &TqvxView::SetBrushStyle).Stored(false);
  cls.Prop(L"CharSpacing", &M::CharSpacing).Default(0.0);
  cls.Prop(L"Clipped", &M::Clipped).Default(true);
  cls.Prop(L"Color", &TqvxView::Color, &TqvxView::SetColor).Stored(false).TypeName(L"TColor");
  cls.Prop(L"DataField", &TqvxView::DataField);
  cls.Prop(L"DataSet", &TqvxView::DataSet, &TqvxView::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxView::DataSetName, &TqvxView::SetDataSetName);
  cls.Prop(L"DisplayFormat", &M::DisplayFormat, &M::SetDisplayFormat).Stored(&M::IsDisplayFormatStored);
  cls.Prop(L"ExpressionDelimiters", &M::ExpressionDelimiters).Stored(&M::IsExpressionDelimitersStored);
  cls.Prop(L"FlowTo", &M::FlowTo, &M::SetFlowTo);
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont);
  cls.Prop(L"Frame", &TqvxView::Frame, &TqvxView::SetFrame);
  cls.Prop(L"FillType", &TqvxView::FillType, &TqvxView::SetFillType).Default(ftBrush);
  cls.Prop(L"Fill", &TqvxView::Fill, &TqvxView::SetFill);
  cls.Prop(L"GapX", &M::GapX).Default(2.0);
  cls.Prop(L"GapY", &M::GapY).Default(1.0);
  cls.Prop(L"HAlign", &M::HAlign).Default(haLeft);
  cls.Prop(L"HideZeros", &M::HideZeros).Default(false);
  cls.Prop(L"Highlight", &M::Highlight, &M::SetHighlight).Stored(&M::IsHighlightStored);
  cls.Prop(L"LineSpacing", &M::LineSpacing).Default(2.0);
  cls.Prop(L"Memo", &M::MemoLines, &M::SetMemoLines);
  cls.Prop(L"ParagraphGap", &M::ParagraphGap).Default(0.0);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
  cls.Prop(L"Rotation", &M::Rotation, &M::SetRotation).Default(0);
  cls.Prop(L"RTLReading", &M::RTLReading).Default(false);
  cls.Prop(L"Style", &M::Style, &M::SetStyle);
  cls.Prop(L"SuppressRepeated", &M::SuppressRepeated).Default(false);
  cls.Prop(L"Underlines", &M::Underlines).Default(false);
  cls.Prop(L"UseDefaultCharset", &M::UseDefaultCharset).Default(false);
  cls.Prop(L"WordBreak", &M::WordBreak).Default(false);
  cls.Prop(L"WordWrap", &M::WordWrap).Default(true);
  cls.Prop(L"Wysiwyg", &M::Wysiwyg).Default(true);
  cls.Prop(L"VAlign", &M::VAlign).Default(vaTop);
}

VCL_REGISTER(TqvxSysMemoView) {
  using M = TqvxCustomMemoView;
  cls.Prop(L"AutoWidth", &M::AutoWidth).Default(false);
  cls.Prop(L"CharSpacing", &M::CharSpacing).Default(0.0);
  cls.Prop(L"Color", &TqvxView::Color, &TqvxView::SetColor).Stored(false).TypeName(L"TColor");
  cls.Prop(L"DisplayFormat", &M::DisplayFormat, &M::SetDisplayFormat).Stored(&M::IsDisplayFormatStored);
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont);
  cls.Prop(L"Frame", &TqvxView::Frame, &TqvxView::SetFrame);
  cls.Prop(L"FillType", &TqvxView::FillType, &TqvxView::SetFillType).Default(ftBrush);
  cls.Prop(L"Fill", &TqvxView::Fill, &TqvxView::SetFill);
  cls.Prop(L"GapX", &M::GapX).Default(2.0);
  cls.Prop(L"GapY", &M::GapY).Default(1.0);
  cls.Prop(L"HAlign", &M::HAlign).Default(haLeft);
  cls.Prop(L"HideZeros", &M::HideZeros).Default(false);
  cls.Prop(L"Highlight", &M::Highlight, &M::SetHighlight).Stored(&M::IsHighlightStored);
  cls.Prop(L"Memo", &M::MemoLines, &M::SetMemoLines);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
  cls.Prop(L"Rotation", &M::Rotation, &M::SetRotation).Default(0);
  cls.Prop(L"RTLReading", &M::RTLReading).Default(false);
  cls.Prop(L"Style", &M::Style, &M::SetStyle);
  cls.Prop(L"SuppressRepeated", &M::SuppressRepeated).Default(false);
  cls.Prop(L"VAlign", &M::VAlign).Default(vaTop);
  cls.Prop(L"WordWrap", &M::WordWrap).Default(true);
}

// ---------------------------------------------------------------------------------------------------------------
// Construction and properties

TqvxCustomMemoView::TqvxCustomMemoView(vcl::TComponent* owner) : TqvxStretcheable(owner) { InitMemo(); }

TqvxCustomMemoView::TqvxCustomMemoView(vcl::TComponent* owner, rtl::Word flags) : TqvxStretcheable(owner, flags) {
  InitMemo();
}

void TqvxCustomMemoView::InitMemo() {
  FAutoWidth = &AutoWidth;
  FqvComponentStyle -= csDefaultDiff;
  FqvComponentStyle += csHandlesNestedProperties;
  FFormats = new TqvxFormatCollection(this);
  FHighlights = new TqvxHighlightCollection(this);
  FMemo = new TqvxWideStrings();
  SetParentFont(true);
  FValue = Variant::Null();
  FLastValue = Variant::Null();
}

TqvxCustomMemoView::~TqvxCustomMemoView() {
  SetFlowTo(nullptr);
  delete FSavedFill;
  delete FSavedFont;
  delete FSavedFrame;
  delete FMemo;
  delete FHighlights;
  delete FFormats;
}

void TqvxCustomMemoView::DefineProperties(vcl::TFiler* filer) {
  TqvxStretcheable::DefineProperties(filer);
  filer->DefineProperty(
      L"Formats", [this](vcl::TReader& r) { qvxReadCollection(FFormats, r, this); },
      [this](vcl::TWriter& w) { qvxWriteCollection(FFormats, w, this); }, FFormats->Count() > 1);
  filer->DefineProperty(
      L"Highlights", [this](vcl::TReader& r) { qvxReadCollection(FHighlights, r, this); },
      [this](vcl::TWriter& w) { qvxWriteCollection(FHighlights, w, this); }, FHighlights->Count() > 1);
}

void TqvxCustomMemoView::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxStretcheable::Notification(component, operation);
  if (operation == vcl::opRemove && component == FFlowTo) FFlowTo = nullptr;
}

void TqvxCustomMemoView::SetFlowTo(TqvxCustomMemoView* value) {
  if (value == this) value = nullptr;
  if (FFlowTo == value) return;
  if (FFlowTo) FFlowTo->RemoveFreeNotification(this);
  FFlowTo = value;
  if (FFlowTo) FFlowTo->FreeNotification(this);
}

String TqvxCustomMemoView::GetDescription() const { return qvxResources().Get(L"obText"); }

String TqvxSysMemoView::GetDescription() const { return qvxResources().Get(L"obSysText"); }

String TqvxCustomMemoView::AnsiText() const {
  const unsigned charset = FFont->Charset();
  return AnsiToUnicode(_UnicodeToAnsi(Text(), charset), DEFAULT_CHARSET);
}

void TqvxCustomMemoView::SetAnsiText(const String& value) {
  SetText(AnsiToUnicode(_UnicodeToAnsi(value, DEFAULT_CHARSET), FFont->Charset()));
}

void TqvxCustomMemoView::SetMemo(TqvxWideStrings* value) {
  if (value && value != FMemo) FMemo->Assign(value);
}

void TqvxCustomMemoView::SetMemoLines(rtl::TStrings* value) {
  if (value && value != FMemo) FMemo->Assign(value);
}

TqvxFormat* TqvxCustomMemoView::DisplayFormat() const {
  if (FFormats->Count() == 0) FFormats->Add();
  return FFormats->Items(0);
}

TqvxHighlight* TqvxCustomMemoView::Highlight() const {
  if (FHighlights->Count() == 0) FHighlights->Add();
  return FHighlights->Items(0);
}

bool TqvxCustomMemoView::IsHighlightStored() const {
  return FHighlights->Count() == 1 && !rtl::Trim(FHighlights->Items(0)->Condition).empty();
}

void TqvxCustomMemoView::SetStyle(const String& value) {
  FStyle = value;
  if (TqvxReport* report = Report())
    if (TqvxStyleItem* style = report->Styles()->Find(value))
      ApplyStyle(style->Fill(), style->Font(), style->Frame(), style->ApplyFill, style->ApplyFont, style->ApplyFrame);
}

void TqvxCustomMemoView::ApplyStyle(TqvxCustomFill* fill, vcl::TFont* font, TqvxFrame* frame, bool applyFill,
                                    bool applyFont, bool applyFrame) {
  if (applyFill && fill) SetFill(fill);
  if (applyFont && font) SetFont(font);
  if (applyFrame && frame) FFrame->Assign(frame);
}

void TqvxCustomMemoView::ApplyHighlight(TqvxHighlight* highlight) {
  if (!highlight) return;
  if (highlight->ApplyFont) SetFont(highlight->Font());
  if (highlight->ApplyFill) SetFill(highlight->Fill());
  if (highlight->ApplyFrame) FFrame->Assign(highlight->Frame());
  SetVisible(highlight->Visible);
}

void TqvxCustomMemoView::ApplyPreviewHighlight() {
  if (Highlight()->Active) ApplyHighlight(Highlight());
}

TqvxDrawText* TqvxCustomMemoView::DrawText() {
  if (TqvxReport* report = Report()) return report->DrawText();
  return qvxDrawText();
}

bool TqvxCustomMemoView::CharsetConversion() const { return FFont->Charset() != DEFAULT_CHARSET && !UseDefaultCharset; }

// ---------------------------------------------------------------------------------------------------------------
// The print cycle

void TqvxCustomMemoView::BeforePrint() {
  TqvxStretcheable::BeforePrint();
  if (!IsDataField()) FMemo->GetTextInto(FTempMemo);
}

void TqvxCustomMemoView::SaveHighlighted() {
  // A second highlight within one print cycle must not overwrite the template's own look.
  if (FHighlightActivated) return;
  FSavedFill = qvxCreateFill(FillType());
  FSavedFill->Assign(FFill);
  FSavedFont = new vcl::TFont();
  FSavedFont->Assign(FFont);
  FSavedFrame = new TqvxFrame();
  FSavedFrame->Assign(FFrame);
  FSavedVisible = Visible();
  FSavedParentFont = FParentFont;
  FHighlightActivated = true;
}

void TqvxCustomMemoView::RestoreHighlighted() {
  if (!FHighlightActivated) return;
  SetFill(FSavedFill);
  SetFont(FSavedFont);
  FFrame->Assign(FSavedFrame);
  SetVisible(FSavedVisible);
  // A font that was the parent's before the highlight keeps following the parent.
  FParentFont = FSavedParentFont;
  delete FSavedFill;
  delete FSavedFont;
  delete FSavedFrame;
  FSavedFill = nullptr;
  FSavedFont = nullptr;
  FSavedFrame = nullptr;
  FHighlightActivated = false;
}

void TqvxCustomMemoView::AfterPrint() {
  if (!IsDataField()) SetText(FTempMemo);
  RestoreHighlighted();
  TqvxStretcheable::AfterPrint();
}

void TqvxCustomMemoView::GetData() {
  TqvxStretcheable::GetData();
  if (FFormats->Count() == 0) FFormats->Add();
  const bool convert = CharsetConversion();
  const unsigned charset = FFont->Charset();
  TqvxReport* report = Report();

  if (IsDataField()) {
    if (FDataSet->IsBlobField(DataField)) {
      const LCID saved = GetThreadLocale();
      if (convert) SetThreadLocale(GetLocalByCharSet(charset));
      try {
        FDataSet->AssignBlobTo(DataField, FMemo);
      } catch (...) {
        if (convert) SetThreadLocale(saved);
        throw;
      }
      if (convert) SetThreadLocale(saved);
    } else {
      FValue = FDataSet->GetValue(DataField);
      String text;
      if (DisplayFormat()->Kind != fkText) {
        text = FormatData(FValue, nullptr);
      } else {
        text = FDataSet->GetDisplayText(DataField);
        if (convert) text = AnsiToUnicode(_UnicodeToAnsi(text, DEFAULT_CHARSET), charset);
      }
      if (HideZeros && IsZero(FValue)) text.clear();
      SetText(text);
    }
  } else if (AllowExpressions) {
    const size_t comma = ExpressionDelimiters.find(L',');
    const std::wstring_view delims(ExpressionDelimiters);
    const std::wstring_view open = delims.substr(0, comma);
    const std::wstring_view close = comma == String::npos ? std::wstring_view() : delims.substr(comma + 1, 255);
    if (!open.empty() && !close.empty()) ExpandExpressions(String(open), String(close));
  }

  if (report) report->SetLocalValue(FValue);

  if (report) {
    for (int k = 0; k < FHighlights->Count(); ++k) {
      TqvxHighlight* h = FHighlights->Items(k);
      if (rtl::Trim(h->Condition).empty()) continue;
      if (rtl::VarSameValue(report->Calc(h->Condition), Variant(true))) {
        SaveHighlighted();
        ApplyHighlight(h);
        break;
      }
    }
  }

  if (SuppressRepeated) {
    const String text = Text();
    if (!FLastValue.IsNull() && rtl::VarToStr(FLastValue) == text)
      SetText(String());
    else
      FLastValue = Variant(text);
  }

  if (FFlowTo) {
    InitPart();
    DrawPart();
    FFlowTo->SetText(FPartMemo);
    FFlowTo->AllowExpressions = false;
  }
}

struct TqvxCustomMemoView::TExprPlan {
  struct TPart {
    String Literal;  // the text before the expression
    String Expr;     // without its " #" format
    int Special = 0;
    int Format = 0;  // the object's format for it, an index in Formats
    TqvxFormat* Own = nullptr;  // the format the expression names itself
  };
  String Source;  // the template text
  String Delimiters;
  int FormatCount = 0;
  bool Any = false;  // the template holds an opening delimiter
  std::vector<TPart> Parts;
  String Tail;
  TqvxFormatCollection Own;
};

namespace {

int SpecialOf(const String& expr) {
  if (rtl::SameText(expr, L"TOTALPAGES#")) return 1;
  if (rtl::SameText(expr, L"COPYNAME#")) return 2;
  return 0;
}

}  // namespace

std::unique_ptr<TqvxCustomMemoView::TExprPlan> TqvxCustomMemoView::MakePlan(const String& text, const String& open,
                                                                          const String& close, int formatCount) {
  // The template is walked as the values would be put in, with each value empty: a value is never scanned again,
  // so the texts between the expressions are the same whatever the values are.
  auto plan = std::make_unique<TExprPlan>();
  plan->Source = text;
  plan->Delimiters = ExpressionDelimiters;
  plan->FormatCount = formatCount;
  String s = text;
  plan->Any = s.find(open) != String::npos;
  size_t from = 0;
  if (plan->Any) {
    int i = 1, j = 0, f = 0;
    for (;;) {
      const int len = static_cast<int>(s.size());
      while (i < len && s.compare(static_cast<size_t>(i - 1), open.size(), open) != 0) ++i;
      if (i > len) break;
      const String expr = qvxGetBrackedVariableW(s, open, close, i, j);
      if (i == j) break;
      s.erase(static_cast<size_t>(i - 1), static_cast<size_t>(j - i + 1));
      TExprPlan::TPart part;
      part.Literal = s.substr(from, static_cast<size_t>(i - 1) - from);
      from = static_cast<size_t>(i - 1);
      TqvxFormat* own = nullptr;
      String cut;
      part.Expr = SplitFormat(expr, cut, plan->Own, own);
      part.Own = own;
      part.Special = SpecialOf(part.Expr);
      part.Format = f;
      plan->Parts.push_back(std::move(part));
      j = 0;
      if (f < formatCount - 1) ++f;
    }
  }
  plan->Tail = s.substr(from);
  return plan;
}

void TqvxCustomMemoView::FillPlan(const TExprPlan& plan, String& out) {
  out.clear();
  for (const TExprPlan::TPart& part : plan.Parts) {
    out += part.Literal;
    out += CalcFormatted(part.Expr, part.Special, part.Own ? part.Own : FFormats->Items(part.Format));
  }
  out += plan.Tail;
}

void TqvxCustomMemoView::ExpandExpressions(const String& open, const String& close) {
  const int formatCount = FFormats->Count();
  if (FExpanding) {
    // An expression that prints this object again (a script asking for its data) gets a plan and a text of its
    // own: the ones in use stay as they are.
    const String text = Text();
    const std::unique_ptr<TExprPlan> plan = MakePlan(text, open, close, formatCount);
    if (!plan->Any) return;
    String out;
    FillPlan(*plan, out);
    SetText(out);
    return;
  }
  FMemo->GetTextInto(FPlanText);
  if (!FPlan || FPlan->Source != FPlanText || FPlan->Delimiters != ExpressionDelimiters ||
      FPlan->FormatCount != formatCount)
    FPlan = MakePlan(FPlanText, open, close, formatCount);
  if (!FPlan->Any) return;
  // The values go into the text the template was read into, which keeps its room from record to record.
  struct TBusy {
    bool& flag;
    ~TBusy() { flag = false; }
  } busy{FExpanding};
  FExpanding = true;
  FillPlan(*FPlan, FPlanText);
  SetText(FPlanText);
}

const String& TqvxCustomMemoView::SplitFormat(const String& exprIn, String& cut, TqvxFormatCollection& own,
                                              TqvxFormat*& format) {
  const size_t sharp = exprIn.find(L" #");
  if (sharp == String::npos || exprIn.find(L')', sharp + 2) != String::npos) return exprIn;
  const String desc = exprIn.substr(sharp + 2);
  cut = exprIn.substr(0, sharp);
  // " #" with nothing after it keeps the format the object gives this expression.
  if (!desc.empty()) {
    TqvxFormat* f = own.Add<TqvxFormat>();
    switch (desc[0]) {
      case L'N':
      case L'n':
        f->Kind = fkNumeric;
        break;
      case L'D':
      case L'd':
      case L'T':
      case L't':
        f->Kind = fkDateTime;
        break;
      case L'B':
      case L'b':
        f->Kind = fkBoolean;
        break;
      default:
        f->Kind = fkText;
        break;
    }
    String fs = desc.substr(1, 255);
    if (f->Kind == fkNumeric) {
      for (wchar_t& c : fs)
        if (c == L',' || c == L'-' || c == L'.') {
          f->DecimalSeparator = String(1, c);
          c = L'.';
        }
    }
    f->FormatStr = fs;
    format = f;
  }
  return cut;
}

String TqvxCustomMemoView::CalcAndFormat(const String& exprIn, TqvxFormat* format) {
  // Most expressions carry no format of their own and are calculated as they are, without a copy.
  String cut;
  TqvxFormatCollection own;
  const String& expr = SplitFormat(exprIn, cut, own, format);
  return CalcFormatted(expr, SpecialOf(expr), format);
}

String TqvxCustomMemoView::CalcFormatted(const String& expr, int special, TqvxFormat* format) {
  if (special == 1) {
    FValue = Variant(String(L"[TotalPages#]"));
  } else if (special == 2) {
    FValue = Variant(String(L"[CopyName#]"));
  } else if (TqvxReport* report = Report()) {
    if (CharsetConversion())
      FValue = report->Calc(AnsiToUnicode(_UnicodeToAnsi(expr, FFont->Charset()), DEFAULT_CHARSET));
    else
      report->CalcInto(expr, FValue);
  } else {
    FValue = Variant::Null();
  }
  if (HideZeros && IsZero(FValue)) return String();
  return FormatData(FValue, format);
}

String TqvxCustomMemoView::FormatData(const Variant& value, TqvxFormat* format) {
  if (!format) format = DisplayFormat();
  if (value.IsNull()) return String();
  const bool convert = CharsetConversion();
  const unsigned charset = FFont->Charset();
  auto plain = [&]() {
    String text = rtl::VarToWideStr(value);
    if (convert) text = AnsiToUnicode(_UnicodeToAnsi(text, DEFAULT_CHARSET), charset);
    return text;
  };
  try {
    const String& fs = format->FormatStr;
    switch (format->Kind) {
      case fkText:
        return plain();
      case fkNumeric: {
        String result;
        if (fs.find(L'#') != String::npos || (!fs.empty() && fs[0] == L'0'))
          result = rtl::FormatFloat(fs, value.AsDouble());
        else if (fs.find(L'd') != String::npos || fs.find(L'u') != String::npos)
          result = rtl::Format(fs, {value.AsInteger()});
        else
          result = rtl::Format(fs, {value.AsDouble()});
        const wchar_t sysDecimal = rtl::FormatSettings.DecimalSeparator;
        const wchar_t sysThousand = rtl::FormatSettings.ThousandSeparator;
        size_t decimalAt = String::npos;
        const bool ownDecimal = format->DecimalSeparator.size() == 1 && format->DecimalSeparator[0] != sysDecimal;
        // The decimal position is noted first: the new thousands separator may be the system's decimal one.
        if (ownDecimal) decimalAt = result.rfind(sysDecimal);
        if (format->ThousandSeparator.size() == 1 && format->ThousandSeparator[0] != sysThousand)
          for (wchar_t& c : result)
            if (c == sysThousand) c = format->ThousandSeparator[0];
        if (ownDecimal && decimalAt != String::npos) result[decimalAt] = format->DecimalSeparator[0];
        return result;
      }
      case fkDateTime:
        return rtl::FormatDateTime(fs, value.AsDateTime());
      case fkBoolean: {
        const size_t comma = fs.find(L',');
        const String falseText = fs.substr(0, comma);
        const String trueText = comma == String::npos ? String() : fs.substr(comma + 1);
        return rtl::VarSameValue(value, Variant(true)) ? trueText : falseText;
      }
      default:
        return plain();
    }
  } catch (...) {
    // A value the format cannot take still prints, as its plain text.
    try {
      return plain();
    } catch (...) {
      return String();
    }
  }
}

String TqvxCustomMemoView::GetComponentText() {
  String text = Text();
  if (AllowExpressions) {
    const size_t at = FindNoCase(text, L"[TOTALPAGES]", 0);
    if (at != String::npos) text.replace(at, 12, rtl::IntToStr(TotalPages));
  }
  return text;
}

void TqvxCustomMemoView::ExtractMacros() {
  if (!AllowExpressions) return;
  String s = Text();
  bool changed = false;
  static const String totalPages = L"[TOTALPAGES#]";
  static const String copyName = L"[COPYNAME#]";
  for (size_t at = FindNoCase(s, totalPages, 0); at != String::npos; at = FindNoCase(s, totalPages, at)) {
    s.replace(at, totalPages.size(), rtl::IntToStr(TotalPages));
    changed = true;
  }
  for (size_t at = FindNoCase(s, copyName, 0); at != String::npos;) {
    TqvxVariables& globals = qvxGlobalVariables();
    const String value = globals.IndexOf(L"CopyName") >= 0
                             ? rtl::VarToStr(globals.GetVariable(L"CopyName")) + rtl::IntToStr(CopyNo)
                             : String();
    s.replace(at, copyName.size(), value);
    changed = true;
    at = FindNoCase(s, copyName, at + value.size());
  }
  if (changed) SetText(s);
}

// ---------------------------------------------------------------------------------------------------------------
// Layout, drawing and measuring

void TqvxCustomMemoView::BeginDraw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                                   Extended offsetY) {
  TqvxStretcheable::BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  const Extended w = FFrame->Width();
  const TqvxFrameTypes typ = FFrame->Typ;
  FTextRect.Left = X + R(GapX * scaleX) + (typ.Contains(ftLeft) ? R((w * scaleX - 1) / 2) : 0);
  FTextRect.Top = Y + R(GapY * scaleY) + (typ.Contains(ftTop) ? R((w * scaleY - 1) / 2) : 0);
  FTextRect.Right = X1 - R(GapX * scaleX) + 1 - (typ.Contains(ftRight) ? R(w * scaleX / 2) : 0);
  FTextRect.Bottom = Y1 - R(GapY * scaleY) + 1 - (typ.Contains(ftBottom) ? R(w * scaleY / 2) : 0);
}

Extended TqvxCustomMemoView::HeightAdjustment() const {
  const Extended w = FFrame->Width();
  Extended result = 2 * GapY;
  if (FFrame->Typ.Contains(ftTop)) result += (w - 1) / 2;
  if (FFrame->Typ.Contains(ftBottom)) result += w / 2;
  if (FFrame->DropShadow) result += FFrame->ShadowWidth;
  return result;
}

Extended TqvxCustomMemoView::WidthAdjustment() const {
  const Extended w = FFrame->Width();
  Extended result = 2 * GapX;
  if (FFrame->Typ.Contains(ftLeft)) result += (w - 1) / 2;
  if (FFrame->Typ.Contains(ftRight)) result += w / 2;
  if (FFrame->DropShadow) result += FFrame->ShadowWidth;
  return result;
}

void TqvxCustomMemoView::SetLayoutFormat(TqvxDrawText* dt) {
  dt->SetUseDefaultCharset(UseDefaultCharset);
  dt->SetUseMonoFont(DrawAsMask);
  dt->SetFont(FFont);
  dt->SetOptions(WordWrap, AllowHTMLTags, RTLReading, WordBreak, Clipped, Wysiwyg, FRotation);
  dt->SetGaps(static_cast<double>(ParagraphGap), static_cast<double>(CharSpacing), static_cast<double>(LineSpacing));
}

void TqvxCustomMemoView::SetDrawParams(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                                       Extended offsetY) {
  TqvxDrawText* dt = DrawText();
  SetLayoutFormat(dt);
  if (!IsDesigning() && AutoWidth) {
    dt->SetDimensions(1, 1, 1, kFreeBox, kFreeBox);
    dt->SetText(Text());
    const Extended oldWidth = Width();
    const Extended newWidth = dt->CalcWidth() + WidthAdjustment();
    SetWidth(newWidth);
    if (HAlign == haRight)
      SetLeft(Left() + oldWidth - newWidth);
    else if (HAlign == haCenter)
      SetLeft(Left() + (oldWidth - newWidth) / 2);
    if (FParent) FParent->AlignChildren();
  }
  // The unscaled rectangle first, so that the view's drawing rectangle is left at the device's scale.
  BeginDraw(canvas, 1, 1, 0, 0);
  const vcl::TRect unscaled = FTextRect;
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  const vcl::TRect scaled = FTextRect;
  FTextRect = unscaled;
  if (!TqvxDrawText::IsPrinter(canvas)) PrintScale = 1;
  dt->SetDimensions(static_cast<double>(scaleX), static_cast<double>(scaleY), static_cast<double>(PrintScale), unscaled,
                    scaled);
  dt->SetText(Text(), FirstParaBreak);
  dt->SetParaBreaks(FirstParaBreak, LastParaBreak);
}

void TqvxCustomMemoView::DrawUnderlines(TqvxDrawText* dt) {
  const Extended step = dt->LineHeight() * ScaleY;
  if (step <= 0) return;
  vcl::TPen* pen = Canvas->Pen();
  pen->SetColor(FFrame->Color());
  pen->SetWidth(FrameWidth);
  pen->SetStyle(vcl::psSolid);
  pen->SetMode(vcl::pmCopy);
  for (Extended y = Y + step + (GapY - LineSpacing + 1) * ScaleY; R(y) < Y1; y += step) {
    Canvas->MoveTo(X, R(y));
    Canvas->LineTo(X1, R(y));
  }
}

void TqvxCustomMemoView::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                              Extended offsetY) {
  if (!IsDesigning())
    ExtractMacros();
  else if (IsDataField())
    SetText(L"[" + DataSetName() + L".\"" + DataField + L"\"]");
  TqvxDrawText* dt = DrawText();
  TLayoutLock lock(dt);
  SetDrawParams(canvas, scaleX, scaleY, offsetX, offsetY);
  DrawBackground();
  DrawFrame();
  if (Underlines && FRotation == 0) DrawUnderlines(dt);
  dt->DrawText(Canvas, HAlign, VAlign);
}

Extended TqvxCustomMemoView::CalcHeight() {
  TqvxDrawText* dt = DrawText();
  TLayoutLock lock(dt);
  SetLayoutFormat(dt);
  if (AutoWidth) {
    dt->SetDimensions(1, 1, 1, kFreeBox, kFreeBox);
  } else {
    BeginDraw(nullptr, 1, 1, 0, 0);
    dt->SetDimensions(1, 1, 1, FTextRect, FTextRect);
  }
  dt->SetText(Text());
  return R(dt->CalcHeight() + HeightAdjustment());
}

Extended TqvxCustomMemoView::CalcWidth() {
  TqvxDrawText* dt = DrawText();
  TLayoutLock lock(dt);
  SetLayoutFormat(dt);
  dt->SetDimensions(1, 1, 1, kFreeBox, kFreeBox);
  dt->SetText(Text());
  return R(dt->CalcWidth() + WidthAdjustment());
}

void TqvxCustomMemoView::InitPart() {
  FPartMemo = Text();
  FirstParaBreak = false;
  LastParaBreak = false;
}

Extended TqvxCustomMemoView::DrawPart() {
  TqvxDrawText* dt = DrawText();
  TLayoutLock lock(dt);
  SetText(FPartMemo);
  SetDrawParams(nullptr, 1, 1, 0, 0);
  bool paraBreak = false;
  FPartMemo = dt->GetOutBoundsText(paraBreak);
  SetText(dt->GetInBoundsText());
  LastParaBreak = paraBreak;
  const double free = dt->UnusedSpace();
  return free == 0 ? Height() : static_cast<Extended>(free);
}

String TqvxCustomMemoView::WrapText(bool wrapWords) {
  TqvxDrawText* dt = DrawText();
  TLayoutLock lock(dt);
  vcl::TBitmap bmp(1, 1);
  SetDrawParams(bmp.Canvas(), 1, 1, 0, 0);
  if (wrapWords) return DropLastBreak(dt->GetWrappedText());
  return dt->DeleteTags(Text());
}

// ---------------------------------------------------------------------------------------------------------------
// Prepared pages and storage

String TqvxCustomMemoView::Diff(TqvxComponent* component) {
  String result = TqvxStretcheable::Diff(component);
  // The copy it is compared with is of its own class but for rare cases: no cast is needed then.
  auto* s = component && &typeid(*component) == &typeid(*this) ? static_cast<TqvxCustomMemoView*>(component)
                                                             : dynamic_cast<TqvxCustomMemoView*>(component);
  if (!s) return result;
  if (AutoWidth != s->AutoWidth) Put(result, L"AutoWidth", BoolText(AutoWidth));
  if (FloatDiff(CharSpacing, s->CharSpacing)) Put(result, L"CharSpacing", FloatText(CharSpacing));
  if (FloatDiff(GapX, s->GapX)) Put(result, L"GapX", FloatText(GapX));
  if (FloatDiff(GapY, s->GapY)) Put(result, L"GapY", FloatText(GapY));
  if (HAlign != s->HAlign) Put(result, L"HAlign", rtl::IntToStr(HAlign));
  if (FloatDiff(LineSpacing, s->LineSpacing)) Put(result, L"LineSpacing", FloatText(LineSpacing));
  if (UseDefaultCharset != s->UseDefaultCharset) Put(result, L"UseDefaultCharset", BoolText(UseDefaultCharset));
  // The text is escaped straight into the difference text: it is the one attribute that changes at every record.
  if (FMemo->Count() == 1) result.reserve(result.size() + FMemo->Line(0).size() + 5);
  result += L" u=\"";
  if (FMemo->Count() == 1)
    qvxAppendStrToXML(result, FMemo->Line(0));
  else if (FMemo->Count() > 1)
    qvxAppendStrToXML(result, DropLastBreak(Text()));
  result += L'"';
  if (FloatDiff(ParagraphGap, s->ParagraphGap)) Put(result, L"ParagraphGap", FloatText(ParagraphGap));
  if (FRotation != s->FRotation) Put(result, L"Rotation", rtl::IntToStr(FRotation));
  if (RTLReading != s->RTLReading) Put(result, L"RTLReading", BoolText(RTLReading));
  if (Underlines != s->Underlines) Put(result, L"Underlines", BoolText(Underlines));
  if (VAlign != s->VAlign) Put(result, L"VAlign", rtl::IntToStr(VAlign));
  if (WordWrap != s->WordWrap) Put(result, L"WordWrap", BoolText(WordWrap));
  if (FFormats->Count() == 1) {
    // Reading the template's format must not give the template an item it did not have.
    // A template without a format compares with the default one, made once rather than for every object.
    static TqvxFormatCollection* const defaults = [] {
      auto* c = new TqvxFormatCollection;
      c->Add<TqvxFormat>();
      return c;
    }();
    const TqvxFormat* mine = FFormats->Items(0);
    const TqvxFormat* theirs = s->FFormats->Count() > 0 ? s->FFormats->Items(0) : defaults->Items(0);
    if (mine->Kind != theirs->Kind) Put(result, L"DisplayFormat.Kind", rtl::IntToStr(mine->Kind));
    if (mine->DecimalSeparator != theirs->DecimalSeparator)
      Put(result, L"DisplayFormat.DecimalSeparator", qvxStrToXML(mine->DecimalSeparator));
    if (mine->ThousandSeparator != theirs->ThousandSeparator)
      Put(result, L"DisplayFormat.ThousandSeparator", qvxStrToXML(mine->ThousandSeparator));
    if (mine->FormatStr != theirs->FormatStr) Put(result, L"DisplayFormat.FormatStr", qvxStrToXML(mine->FormatStr));
  }
  if (FirstParaBreak) Put(result, L"FirstParaBreak", L"1");
  if (LastParaBreak) Put(result, L"LastParaBreak", L"1");
  // The next part of the same text continues the paragraph this one cut.
  FirstParaBreak = LastParaBreak;
  LastParaBreak = false;
  return result;
}

void TqvxCustomMemoView::WriteNestedProperties(TqvxXMLItem* item) {
  if (FFormats->Count() > 1) qvxWriteCollection(FFormats, L"Formats", item, this, nullptr);
  if (FHighlights->Count() > 1) qvxWriteCollection(FHighlights, L"Highlights", item, this, nullptr);
}

bool TqvxCustomMemoView::ReadNestedProperty(TqvxXMLItem* item) {
  if (rtl::SameText(item->Name(), L"Formats")) {
    qvxReadCollection(FFormats, item, this, nullptr);
    return true;
  }
  if (rtl::SameText(item->Name(), L"Highlights")) {
    qvxReadCollection(FHighlights, item, this, nullptr);
    return true;
  }
  return false;
}
