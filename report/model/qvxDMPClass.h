#pragma once
// Objects of a layout for a character printer: a text object, a line, a raw printer command and a page. They keep
// their positions and sizes on a grid of character cells (qv1CharX by qv1CharY) and use a fixed-pitch font whose
// style comes from printer font attributes. No screen of this program has such a layout; templates naming these
// classes still load.
#include <string>

#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"

VCL_ENUM(TqvxDMPFontStyle, fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide,
         fsx12cpi, fsx15cpi)
VCL_SET(TqvxDMPFontStyles, TqvxDMPFontStyle)

class TqvxDMPMemoView : public TqvxCustomMemoView {
  VCL_CLASS(TqvxDMPMemoView, TqvxCustomMemoView)
 public:
  explicit TqvxDMPMemoView(vcl::TComponent* owner);
  TqvxDMPMemoView(vcl::TComponent* owner, rtl::Word flags);

  void SetLeft(Extended value) override;
  void SetTop(Extended value) override;
  void SetWidth(Extended value) override;
  void SetHeight(Extended value) override;
  void SetParentFont(bool value) override;
  rtl::String GetDescription() const override;
  // The frame lies half a cell outside the text on every side.
  void DrawFrame() override;
  Extended CalcHeight() override;
  Extended CalcWidth() override;

  // Sets the four values without snapping them to cells.
  void SetBoundsDirect(Extended left, Extended top, Extended width, Extended height);
  // The part of the text that fits the box: the first columns of the first rows, each line ending in CR LF.
  rtl::String GetoutBoundText();
  // Courier New 12 in the style of FontStyle, no spacing and no gaps.
  void ResetFontOptions();

  TqvxDMPFontStyles FontStyle() const { return FFontStyle; }
  // Also turns ParentFont off.
  void SetFontStyle(TqvxDMPFontStyles value);
  bool IsFontStyleStored() const { return !FParentFont; }
  bool TruncOutboundText = false;

 private:
  TqvxDMPFontStyles FFontStyle;
};

class TqvxDMPLineView : public TqvxCustomLineView {
  VCL_CLASS(TqvxDMPLineView, TqvxCustomLineView)
 public:
  explicit TqvxDMPLineView(vcl::TComponent* owner) : TqvxCustomLineView(owner) {}
  TqvxDMPLineView(vcl::TComponent* owner, rtl::Word flags) : TqvxCustomLineView(owner, flags) {}

  // Lines run through the middle of a cell.
  void SetLeft(Extended value) override;
  void SetTop(Extended value) override;
  void SetWidth(Extended value) override;
  void SetParentFont(bool value) override;
  rtl::String GetDescription() const override;

  TqvxDMPFontStyles FontStyle() const { return FFontStyle; }
  void SetFontStyle(TqvxDMPFontStyles value);
  bool IsFontStyleStored() const { return !FParentFont; }

 private:
  TqvxDMPFontStyles FFontStyle;
};

// Raw bytes for the printer, written as "#27#64" (decimal codes) or "1B40" (hexadecimal).
class TqvxDMPCommand : public TqvxView {
  VCL_CLASS(TqvxDMPCommand, TqvxView)
 public:
  explicit TqvxDMPCommand(vcl::TComponent* owner) : TqvxView(owner) {}

  void SetLeft(Extended value) override;
  void SetTop(Extended value) override;
  rtl::String GetDescription() const override;
  // The printer bytes of Command; raises EConvertError for a code that is no number.
  std::string ToChr() const;

  rtl::String Command;
};

class TqvxDMPPage : public TqvxReportPage {
  VCL_CLASS(TqvxDMPPage, TqvxReportPage)
 public:
  explicit TqvxDMPPage(vcl::TComponent* owner);

  void SetPaperHeight(Extended value) override;
  void SetPaperWidth(Extended value) override;
  void SetPaperSize(rtl::Integer value) override;
  // Margins of one cell and the paper cut down to whole cells.
  void SetDefaults() override;
  void ResetFontOptions();

  TqvxDMPFontStyles FontStyle() const { return FFontStyle; }
  // The page's objects that follow its font take the new style.
  void SetFontStyle(TqvxDMPFontStyles value);

 private:
  TqvxDMPFontStyles FFontStyle;
};

// The three objects in the report object registry (category ctDMP) and the page in the class registry.
void qvxRegisterDMPClasses();
