#include "platform/vcl/commondialogs.h"

#include <cwchar>
#include <string>

#include "platform/rtl/strings.h"
#include "platform/vcl/colors.h"

namespace vcl {

namespace {

// A dialog that did not come back with a choice: a cancel answers false, a failure raises.
bool Answer(BOOL ok, const wchar_t* what) {
  if (ok) return true;
  const DWORD err = CommDlgExtendedError();
  if (err != 0)
    throw EDialogError(String(L"The ") + what + L" dialog could not be shown (error " + std::to_wstring(err) + L")");
  return false;
}

template <class E, class S, size_t N>
DWORD FlagsOf(const S& set, const std::pair<E, DWORD> (&map)[N]) {
  DWORD flags = 0;
  for (auto& [opt, bit] : map)
    if (set.Contains(opt)) flags |= bit;
  return flags;
}

const wchar_t* const kCustomNames[16] = {L"ColorA", L"ColorB", L"ColorC", L"ColorD", L"ColorE", L"ColorF",
                                         L"ColorG", L"ColorH", L"ColorI", L"ColorJ", L"ColorK", L"ColorL",
                                         L"ColorM", L"ColorN", L"ColorO", L"ColorP"};

}  // namespace

// Colour dialog.

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner), custom_colors_(new rtl::TStringList()) {}
TColorDialog::~TColorDialog() { delete custom_colors_; }

void TColorDialog::SetCustomColors(rtl::TStrings* v) { custom_colors_->Assign(v); }

bool TColorDialog::Execute() {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) {
    custom[i] = 0xFFFFFF;
    const String text = custom_colors_->Values(kCustomNames[i]);
    if (!text.empty()) custom[i] = static_cast<COLORREF>(rtl::StrToIntDef(L"$" + text, 0xFFFFFF));
  }
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = DialogOwnerWindow();
  cc.rgbResult = ColorToGdi(color_);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | FlagsOf(options_, {std::pair{cdFullOpen, DWORD{CC_FULLOPEN}},
                                             {cdPreventFullOpen, DWORD{CC_PREVENTFULLOPEN}},
                                             {cdShowHelp, DWORD{CC_SHOWHELP}},
                                             {cdSolidColor, DWORD{CC_SOLIDCOLOR}},
                                             {cdAnyColor, DWORD{CC_ANYCOLOR}}});
  if (OnShow) OnShow(this);
  const BOOL ok = ChooseColorW(&cc);
  if (OnClose) OnClose(this);
  if (!Answer(ok, L"colour")) return false;
  color_ = static_cast<TColor>(cc.rgbResult & 0xFFFFFF);
  custom_colors_->Clear();
  for (int i = 0; i < 16; ++i) {
    wchar_t hex[8];
    std::swprintf(hex, 8, L"%06X", static_cast<unsigned>(custom[i] & 0xFFFFFF));
    custom_colors_->Add(String(kCustomNames[i]) + L"=" + hex);
  }
  return true;
}

// Font dialog.

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(new TFont()) {}
TFontDialog::~TFontDialog() { delete font_; }

bool TFontDialog::Execute() {
  LOGFONTW lf{};
  GetObjectW(font_->Handle(), sizeof(lf), &lf);
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = DialogOwnerWindow();
  cf.lpLogFont = &lf;
  cf.rgbColors = ColorToGdi(font_->Color());
  cf.Flags = CF_INITTOLOGFONTSTRUCT | FlagsOf(options_, {std::pair{fdAnsiOnly, DWORD{CF_ANSIONLY}},
                                                         {fdTrueTypeOnly, DWORD{CF_TTONLY}},
                                                         {fdEffects, DWORD{CF_EFFECTS}},
                                                         {fdFixedPitchOnly, DWORD{CF_FIXEDPITCHONLY}},
                                                         {fdForceFontExist, DWORD{CF_FORCEFONTEXIST}},
                                                         {fdNoFaceSel, DWORD{CF_NOFACESEL}},
                                                         {fdNoOEMFonts, DWORD{CF_NOOEMFONTS}},
                                                         {fdNoSimulations, DWORD{CF_NOSIMULATIONS}},
                                                         {fdNoSizeSel, DWORD{CF_NOSIZESEL}},
                                                         {fdNoStyleSel, DWORD{CF_NOSTYLESEL}},
                                                         {fdNoVectorFonts, DWORD{CF_NOVECTORFONTS}},
                                                         {fdShowHelp, DWORD{CF_SHOWHELP}},
                                                         {fdWysiwyg, DWORD{CF_WYSIWYG}},
                                                         {fdScalableOnly, DWORD{CF_SCALABLEONLY}},
                                                         {fdApplyButton, DWORD{CF_APPLY}}});
  switch (device_) {
    case fdScreen:
      cf.Flags |= CF_SCREENFONTS;
      break;
    case fdPrinter:
      cf.Flags |= CF_PRINTERFONTS;
      break;
    case fdBoth:
      cf.Flags |= CF_BOTH;
      break;
  }
  if (options_.Contains(fdLimitSize) && max_font_size_ > 0) {
    cf.Flags |= CF_LIMITSIZE;
    cf.nSizeMin = min_font_size_;
    cf.nSizeMax = max_font_size_;
  }
  if (OnShow) OnShow(this);
  const BOOL ok = ChooseFontW(&cf);
  if (OnClose) OnClose(this);
  if (!Answer(ok, L"font")) return false;
  HFONT chosen = CreateFontIndirectW(&lf);
  if (!chosen) throw EDialogError(L"The font chosen could not be made");
  const TColor color = static_cast<TColor>(cf.rgbColors & 0xFFFFFF);
  font_->SetHandle(chosen);
  if (options_.Contains(fdEffects)) font_->SetColor(color);
  return true;
}

// Print dialogs.

DWORD TPrintDialog::Flags() const {
  DWORD flags =
      FlagsOf(options_, {std::pair{poHelp, DWORD{PD_SHOWHELP}}, {poDisablePrintToFile, DWORD{PD_DISABLEPRINTTOFILE}}});
  // The options name what may be offered; the system's flags name what must be hidden.
  if (!options_.Contains(poPrintToFile)) flags |= PD_HIDEPRINTTOFILE;
  if (!options_.Contains(poPageNums)) flags |= PD_NOPAGENUMS;
  if (!options_.Contains(poSelection)) flags |= PD_NOSELECTION;
  if (!options_.Contains(poWarning)) flags |= PD_NOWARNING;
  if (print_to_file_) flags |= PD_PRINTTOFILE;
  if (collate_) flags |= PD_COLLATE;
  switch (print_range_) {
    case prAllPages:
      flags |= PD_ALLPAGES;
      break;
    case prSelection:
      flags |= PD_SELECTION;
      break;
    case prPageNums:
      flags |= PD_PAGENUMS;
      break;
  }
  return flags;
}

bool TPrintDialog::Execute() {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof(pd);
  pd.hwndOwner = DialogOwnerWindow();
  pd.Flags = Flags();
  pd.nFromPage = static_cast<WORD>(from_page_);
  pd.nToPage = static_cast<WORD>(to_page_);
  pd.nMinPage = static_cast<WORD>(min_page_);
  pd.nMaxPage = static_cast<WORD>(max_page_ > 0 ? max_page_ : 0xFFFF);
  pd.nCopies = static_cast<WORD>(copies_ > 0 ? copies_ : 1);
  if (OnShow) OnShow(this);
  const BOOL ok = PrintDlgW(&pd);
  if (OnClose) OnClose(this);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (!Answer(ok, L"print")) return false;
  collate_ = (pd.Flags & PD_COLLATE) != 0;
  print_to_file_ = (pd.Flags & PD_PRINTTOFILE) != 0;
  print_range_ = (pd.Flags & PD_PAGENUMS) ? prPageNums : (pd.Flags & PD_SELECTION) ? prSelection : prAllPages;
  from_page_ = pd.nFromPage;
  to_page_ = pd.nToPage;
  copies_ = pd.nCopies;
  return true;
}

bool TPrinterSetupDialog::Execute() {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof(pd);
  pd.hwndOwner = DialogOwnerWindow();
  pd.Flags = PD_PRINTSETUP;
  if (OnShow) OnShow(this);
  const BOOL ok = PrintDlgW(&pd);
  if (OnClose) OnClose(this);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  return Answer(ok, L"printer setup");
}

VCL_REGISTER(TColorDialog) {
  cls.Prop(L"Color", &TColorDialog::Color, &TColorDialog::SetColor).Default(clBlack).TypeName(L"TColor");
  cls.Prop(L"CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors);
  cls.Prop(L"Options", &TColorDialog::Options, &TColorDialog::SetOptions).Default(TColorDialogOptions{});
}

VCL_REGISTER(TFontDialog) {
  cls.Prop(L"Font", &TFontDialog::Font, &TFontDialog::SetFont);
  cls.Prop(L"Device", &TFontDialog::Device, &TFontDialog::SetDevice).Default(fdScreen);
  cls.Prop(L"MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize).Default(0);
  cls.Prop(L"MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize).Default(0);
  cls.Prop(L"Options", &TFontDialog::Options, &TFontDialog::SetOptions).Default(TFontDialogOptions{fdEffects});
}

VCL_REGISTER(TPrintDialog) {
  cls.Prop(L"Collate", &TPrintDialog::Collate, &TPrintDialog::SetCollate).Default(false);
  cls.Prop(L"Copies", &TPrintDialog::Copies, &TPrintDialog::SetCopies).Default(0);
  cls.Prop(L"FromPage", &TPrintDialog::FromPage, &TPrintDialog::SetFromPage).Default(0);
  cls.Prop(L"MinPage", &TPrintDialog::MinPage, &TPrintDialog::SetMinPage).Default(0);
  cls.Prop(L"MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::SetMaxPage).Default(0);
  cls.Prop(L"Options", &TPrintDialog::Options, &TPrintDialog::SetOptions).Default(TPrintDialogOptions{});
  cls.Prop(L"PrintRange", &TPrintDialog::PrintRange, &TPrintDialog::SetPrintRange).Default(prAllPages);
  cls.Prop(L"PrintToFile", &TPrintDialog::PrintToFile, &TPrintDialog::SetPrintToFile).Default(false);
  cls.Prop(L"ToPage", &TPrintDialog::ToPage, &TPrintDialog::SetToPage).Default(0);
}

VCL_REGISTER(TPrinterSetupDialog) {}

}  // namespace vcl
