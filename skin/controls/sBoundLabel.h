#pragma once
// The caption label an edit-like control keeps beside itself (published as BoundLabel): created when made active,
// placed by its layout next to the control and kept there, enabled and visible with the control as it moves and
// changes. The label itself is a skinned label bound to the control.
#include <memory>

#include "platform/vcl/graphicsobjects.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sConst.h"

class TsCommonData;

class TsBoundLabel;

// The label of a bound label: a markup label that names the control it belongs to. Its markup is off until the
// bound label asks for it (UseHTML), so a caption shows as plain text, "<" and "&" included.
class TsEditLabel : public TsHTMLLabel {
  VCL_CLASS(TsEditLabel, TsHTMLLabel)
  explicit TsEditLabel(vcl::TComponent* owner, TsBoundLabel* boundStruct = nullptr);
  // The bound label is inactive once its label has gone.
  ~TsEditLabel() override;
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }
  vcl::TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(vcl::TWinControl* value) { FFocusControl = value; }
  // Width for the text: word-wrapped within the current width, then the bounds follow the text (the markup's
  // extent when markup is on).
  void FitToText() {
    if (UseHTML())
      FitToMarkup();
    else
      AdjustBounds();
  }

 private:
  vcl::TWinControl* FFocusControl = nullptr;
  TsBoundLabel* FBoundLabel = nullptr;
};

class TsBoundLabel : public rtl::TPersistent {
  VCL_CLASS(TsBoundLabel, rtl::TPersistent)
  friend class TsEditLabel;
  TsBoundLabel(vcl::TWinControl* owner, TsCommonData* commonData);
  ~TsBoundLabel() override;
  TsBoundLabel(const TsBoundLabel&) = delete;
  TsBoundLabel& operator=(const TsBoundLabel&) = delete;

  void Assign(const rtl::TPersistent* source) override;

  bool Active() const { return FActive; }
  void SetActive(bool value);
  bool AllowClick() const { return FAllowClick; }
  void SetAllowClick(bool value);
  const rtl::String& Caption() const { return FText; }
  void SetCaption(const rtl::String& value);
  bool EnabledAlways() const { return FEnabledAlways; }
  void SetEnabledAlways(bool value);
  int Indent() const { return FIndent; }
  void SetIndent(int value);
  // The label's font once it exists.
  vcl::TFont* Font() const { return FTheLabel ? FTheLabel->Font() : FFont.get(); }
  void SetFont(vcl::TFont* value);
  bool IsFontStored() const;
  TsCaptionLayout Layout() const { return FLayout; }
  void SetLayout(TsCaptionLayout value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int value);
  bool UseHTML() const { return FUseHTML; }
  void SetUseHTML(bool value);
  bool UseSkinColor() const;
  void SetUseSkinColor(bool value);

  // The control passes its messages here: moves, size, visibility and enabled changes carry over to the label.
  void HandleOwnerMsg(const vcl::TMessage& message, vcl::TControl* ownerControl);
  // Places the label by its layout beside the control.
  void AlignLabel();
  TsEditLabel* TheLabel() const { return FTheLabel; }

 private:
  class TLabelWatch;
  void DoClick(rtl::TObject* sender);
  void ApplyAllowClick();
  bool LabelEnabled() const;

  int FIndent = 0;
  int FMaxWidth = 0;
  bool FUseHTML = false;
  bool FEnabledAlways = false;
  std::unique_ptr<vcl::TFont> FFont;
  rtl::String FText;
  TsCaptionLayout FLayout = sclLeft;
  bool FAllowClick = false;
  bool FActive = false;
  TsEditLabel* FTheLabel = nullptr;
  vcl::TWinControl* FOwner;
  TsCommonData* FCommonData;
  std::unique_ptr<TLabelWatch> FWatch;
};
