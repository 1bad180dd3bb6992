#pragma once
// The text object: a fixed caption, a dataset field's value, or a text whose bracketed expressions are replaced by
// their values when the report runs. It formats values by display formats, takes a conditional highlight, hides
// zeros and repeated values, measures itself, splits its text between pages (or flows the rest into another text
// object) and draws through the shared text layout.
//
// Every use of the layout object holds its lock from setting the parameters until the results have been read,
// since one layout object serves all text objects.
#include <memory>

#include "platform/rtl/variant.h"
#include "platform/vcl/graphicsobjects.h"
#include "report/model/qvxClassViews.h"
#include "report/model/qvxDrawText.h"
#include "report/model/qvxUnicodeUtils.h"

class TqvxCustomMemoView;

class TqvxCustomMemoView : public TqvxStretcheable {
  VCL_CLASS(TqvxCustomMemoView, TqvxStretcheable)
 public:
  explicit TqvxCustomMemoView(vcl::TComponent* owner);
  TqvxCustomMemoView(vcl::TComponent* owner, rtl::Word flags);
  ~TqvxCustomMemoView() override;

  void DefineProperties(vcl::TFiler* filer) override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  rtl::String GetDescription() const override;
  rtl::String Diff(TqvxComponent* component) override;
  void WriteNestedProperties(TqvxXMLItem* item) override;
  bool ReadNestedProperty(TqvxXMLItem* item) override;
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;
  void BeforePrint() override;
  void GetData() override;
  void AfterPrint() override;
  rtl::String GetComponentText() override;
  // The text rectangle goes to TextRect().
  void BeginDraw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;
  Extended CalcHeight() override;
  Extended DrawPart() override;
  void InitPart() override;
  virtual Extended CalcWidth();

  // The layout object this object uses: the report's own one, else the process-wide one.
  TqvxDrawText* DrawText();
  void ApplyStyle(TqvxCustomFill* fill, vcl::TFont* font, TqvxFrame* frame, bool applyFill, bool applyFont,
                  bool applyFrame);
  void ApplyHighlight(TqvxHighlight* highlight);
  void ApplyPreviewHighlight();
  // Puts the page count and the copy name into the text ([TOTALPAGES#], [COPYNAME#]); the prepared pages call it
  // through Draw, and the preview's search before it reads the text.
  void ExtractMacros();
  void ResetSuppress() { FLastValue = rtl::Variant(rtl::String()); }
  // The text as the layout wraps it at the object's width (lines joined with CR LF), or without its tags.
  rtl::String WrapText(bool wrapWords);
  rtl::String CalcAndFormat(const rtl::String& expr, TqvxFormat* format);
  // nullptr format: DisplayFormat.
  rtl::String FormatData(const rtl::Variant& value, TqvxFormat* format = nullptr);
  // Sets the layout's parameters for this object; the caller holds the layout lock.
  void SetDrawParams(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY);

  rtl::String Text() const { return FMemo->Text(); }
  void SetText(const rtl::String& value) { FMemo->SetText(value); }
  rtl::String AnsiText() const;
  void SetAnsiText(const rtl::String& value);
  TqvxWideStrings* Memo() const { return FMemo; }
  TqvxWideStrings* Lines() const { return FMemo; }
  void SetMemo(TqvxWideStrings* value);
  // Memo as published: form resources hand over any string list.
  rtl::TStrings* MemoLines() const { return FMemo; }
  void SetMemoLines(rtl::TStrings* value);

  TqvxFormatCollection* Formats() const { return FFormats; }
  TqvxHighlightCollection* Highlights() const { return FHighlights; }
  TqvxFormat* DisplayFormat() const;
  void SetDisplayFormat(TqvxFormat* value) { DisplayFormat()->Assign(value); }
  TqvxHighlight* Highlight() const;
  void SetHighlight(TqvxHighlight* value) { Highlight()->Assign(value); }
  bool IsDisplayFormatStored() const { return FFormats->Count() == 1; }
  bool IsHighlightStored() const;

  rtl::Integer Rotation() const { return FRotation; }
  void SetRotation(rtl::Integer value) { FRotation = value % 360; }
  const rtl::String& Style() const { return FStyle; }
  void SetStyle(const rtl::String& value);
  TqvxCustomMemoView* FlowTo() const { return FFlowTo; }
  void SetFlowTo(TqvxCustomMemoView* value);
  bool IsExpressionDelimitersStored() const { return ExpressionDelimiters != L"[,]"; }
  bool IsGapXStored() const { return GapX != 2; }
  bool IsGapYStored() const { return GapY != 1; }
  bool IsLineSpacingStored() const { return LineSpacing != 2; }

  const rtl::Variant& Value() const { return FValue; }
  void SetValue(const rtl::Variant& value) { FValue = value; }
  const rtl::String& PartMemo() const { return FPartMemo; }
  const vcl::TRect& TextRect() const { return FTextRect; }
  bool HighlightActivated() const { return FHighlightActivated; }
  // Set by the prepared pages on each text object of a page just before drawing it.
  rtl::Integer TotalPages = 0;
  rtl::Integer CopyNo = 0;
  Extended PrintScale = 1;

  bool AllowExpressions = true;
  bool AllowHTMLTags = false;
  bool AutoWidth = false;
  Extended CharSpacing = 0;
  bool Clipped = true;
  rtl::String ExpressionDelimiters = L"[,]";
  bool FirstParaBreak = false;
  Extended GapX = 2, GapY = 1;
  TqvxHAlign HAlign = haLeft;
  bool HideZeros = false;
  bool LastParaBreak = false;
  Extended LineSpacing = 2;
  Extended ParagraphGap = 0;
  bool RTLReading = false;
  bool SuppressRepeated = false;
  bool Underlines = false;
  TqvxVAlign VAlign = vaTop;
  bool WordBreak = false;
  bool WordWrap = true;
  bool Wysiwyg = true;
  bool UseDefaultCharset = false;

 private:
  void InitMemo();
  bool CharsetConversion() const;
  void SetLayoutFormat(TqvxDrawText* dt);
  void DrawUnderlines(TqvxDrawText* dt);
  Extended HeightAdjustment() const;
  Extended WidthAdjustment() const;
  void SaveHighlighted();
  void RestoreHighlighted();
  // An expression's text without its " #" format; the format it names is made in own (else format stays).
  static const rtl::String& SplitFormat(const rtl::String& expr, rtl::String& cut, TqvxFormatCollection& own,
                                        TqvxFormat*& format);
  // special: 1 for the page count macro, 2 for the copy name macro, 0 for an expression to calculate.
  rtl::String CalcFormatted(const rtl::String& expr, int special, TqvxFormat* format);
  void ExpandExpressions(const rtl::String& open, const rtl::String& close);

  // The literal texts and expressions of a template text, parsed once and used again at every record while the
  // template stays the same.
  struct TExprPlan;
  std::unique_ptr<TExprPlan> MakePlan(const rtl::String& text, const rtl::String& open, const rtl::String& close,
                                      int formatCount);
  void FillPlan(const TExprPlan& plan, rtl::String& out);
  std::unique_ptr<TExprPlan> FPlan;
  rtl::String FPlanText;
  bool FExpanding = false;

  TqvxFormatCollection* FFormats;
  TqvxHighlightCollection* FHighlights;
  TqvxWideStrings* FMemo;
  TqvxCustomMemoView* FFlowTo = nullptr;
  rtl::String FPartMemo;
  rtl::Integer FRotation = 0;
  rtl::String FStyle;
  rtl::String FTempMemo;
  rtl::Variant FValue;
  rtl::Variant FLastValue;
  vcl::TRect FTextRect;
  bool FHighlightActivated = false;
  // What a highlight replaced, brought back by AfterPrint.
  TqvxCustomFill* FSavedFill = nullptr;
  vcl::TFont* FSavedFont = nullptr;
  TqvxFrame* FSavedFrame = nullptr;
  bool FSavedVisible = true;
  bool FSavedParentFont = false;
};

class TqvxMemoView : public TqvxCustomMemoView {
  VCL_CLASS(TqvxMemoView, TqvxCustomMemoView)
 public:
  explicit TqvxMemoView(vcl::TComponent* owner) : TqvxCustomMemoView(owner) {}
  TqvxMemoView(vcl::TComponent* owner, rtl::Word flags) : TqvxCustomMemoView(owner, flags) {}
};

// The text of an aggregate; publishes a smaller set of properties.
class TqvxSysMemoView : public TqvxCustomMemoView {
  VCL_CLASS(TqvxSysMemoView, TqvxCustomMemoView)
 public:
  explicit TqvxSysMemoView(vcl::TComponent* owner) : TqvxCustomMemoView(owner) {}
  TqvxSysMemoView(vcl::TComponent* owner, rtl::Word flags) : TqvxCustomMemoView(owner, flags) {}
  rtl::String GetDescription() const override;
};
