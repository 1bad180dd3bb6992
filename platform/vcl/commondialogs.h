#pragma once
// The system's colour, font, print and printer-setup dialogs. Execute shows the dialog modally over the dialog owner
// window and answers true when the user confirmed; the chosen values are then in the published properties. A dialog
// the system cannot show raises EDialogError, as the file dialogs do.
#include "platform/vcl/dialogs.h"
#include "platform/vcl/graphicsobjects.h"

namespace vcl {

VCL_ENUM(TColorDialogOption, cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor)
VCL_SET(TColorDialogOptions, TColorDialogOption)

class TColorDialog : public TCommonDialog {
  VCL_CLASS(TColorDialog, TCommonDialog)
 public:
  explicit TColorDialog(TComponent* owner);
  ~TColorDialog() override;
  bool Execute() override;

  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  TColorDialogOptions Options() const { return options_; }
  void SetOptions(TColorDialogOptions v) { options_ = v; }
  // Up to sixteen lines "ColorA=RRGGBB" ... "ColorP=RRGGBB" (hexadecimal, $BBGGRR order as colour values).
  rtl::TStrings* CustomColors() const { return custom_colors_; }
  void SetCustomColors(rtl::TStrings* v);

 private:
  TColor color_ = clBlack;
  TColorDialogOptions options_;
  rtl::TStringList* custom_colors_;
};

VCL_ENUM(TFontDialogOption, fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel,
         fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize,
         fdScalableOnly, fdApplyButton)
VCL_SET(TFontDialogOptions, TFontDialogOption)
VCL_ENUM(TFontDialogDevice, fdScreen, fdPrinter, fdBoth)

class TFontDialog : public TCommonDialog {
  VCL_CLASS(TFontDialog, TCommonDialog)
 public:
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;
  bool Execute() override;

  TFont* Font() const { return font_; }
  void SetFont(TFont* v) { font_->Assign(v); }
  TFontDialogDevice Device() const { return device_; }
  void SetDevice(TFontDialogDevice v) { device_ = v; }
  int MinFontSize() const { return min_font_size_; }
  void SetMinFontSize(int v) { min_font_size_ = v; }
  int MaxFontSize() const { return max_font_size_; }
  void SetMaxFontSize(int v) { max_font_size_ = v; }
  TFontDialogOptions Options() const { return options_; }
  void SetOptions(TFontDialogOptions v) { options_ = v; }

 private:
  TFont* font_;
  TFontDialogDevice device_ = fdScreen;
  int min_font_size_ = 0;
  int max_font_size_ = 0;
  TFontDialogOptions options_{fdEffects};
};

VCL_ENUM(TPrintRange, prAllPages, prSelection, prPageNums)
VCL_ENUM(TPrintDialogOption, poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile)
VCL_SET(TPrintDialogOptions, TPrintDialogOption)

class TPrintDialog : public TCommonDialog {
  VCL_CLASS(TPrintDialog, TCommonDialog)
 public:
  explicit TPrintDialog(TComponent* owner) : TCommonDialog(owner) {}
  bool Execute() override;

  bool Collate() const { return collate_; }
  void SetCollate(bool v) { collate_ = v; }
  int Copies() const { return copies_; }
  void SetCopies(int v) { copies_ = v; }
  int FromPage() const { return from_page_; }
  void SetFromPage(int v) { from_page_ = v; }
  int ToPage() const { return to_page_; }
  void SetToPage(int v) { to_page_ = v; }
  int MinPage() const { return min_page_; }
  void SetMinPage(int v) { min_page_ = v; }
  int MaxPage() const { return max_page_; }
  void SetMaxPage(int v) { max_page_ = v; }
  TPrintDialogOptions Options() const { return options_; }
  void SetOptions(TPrintDialogOptions v) { options_ = v; }
  TPrintRange PrintRange() const { return print_range_; }
  void SetPrintRange(TPrintRange v) { print_range_ = v; }
  bool PrintToFile() const { return print_to_file_; }
  void SetPrintToFile(bool v) { print_to_file_ = v; }

  // The PRINTDLG flags for the settings (tests use it).
  DWORD Flags() const;

 private:
  bool collate_ = false;
  int copies_ = 0;
  int from_page_ = 0, to_page_ = 0, min_page_ = 0, max_page_ = 0;
  TPrintDialogOptions options_;
  TPrintRange print_range_ = prAllPages;
  bool print_to_file_ = false;
};

class TPrinterSetupDialog : public TCommonDialog {
  VCL_CLASS(TPrinterSetupDialog, TCommonDialog)
 public:
  explicit TPrinterSetupDialog(TComponent* owner) : TCommonDialog(owner) {}
  bool Execute() override;
};

}  // namespace vcl
