#include "report/preview/qvxPageSettings.h"

#include <memory>

#include "platform/rtl/inifiles.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/preview/qvxReportDialogs.h"
#include "report/model/qvxUtils.h"
#include "report/print/qvxPrinters.h"

using namespace vcl;
using rtl::String;

namespace {

TLabel* Label(TForm* owner, TWinControl* parent, int x, int y, const String& text) {
  auto* l = new TLabel(owner);
  l->SetParent(parent);
  l->SetBounds(x, y, 60, 13);
  l->SetCaption(text);
  return l;
}

TEdit* Edit(TForm* owner, TWinControl* parent, int x, int y) {
  auto* e = new TEdit(owner);
  e->SetParent(parent);
  e->SetBounds(x, y, 60, 21);
  return e;
}

TGroupBox* Group(TForm* owner, int x, int y, int w, int h, const String& caption) {
  auto* g = new TGroupBox(owner);
  g->SetParent(owner);
  g->SetBounds(x, y, w, h);
  g->SetCaption(caption);
  return g;
}

}  // namespace

TqvxPageSettingsForm::TqvxPageSettingsForm(TComponent* owner) : TForm(owner) {
  qvxDialogLook(this);
  SetKeyPreview(true);
  SetClientSize(286, 359);

  SizeL = Group(this, 8, 4, 270, 98, L"");
  SizeCB = new TComboBox(this);
  SizeCB->SetParent(SizeL);
  SizeCB->SetStyle(csDropDownList);
  SizeCB->SetBounds(12, 18, 246, 21);
  if (TqvxCustomPrinter* printer = qvxPrinters().Printer()) SizeCB->Items()->Assign(printer->Papers.get());
  SizeCB->OnChange.Bind(this, &TqvxPageSettingsForm::SizeChanged);
  WidthL = Label(this, SizeL, 12, 50, L"");
  WidthE = Edit(this, SizeL, 80, 46);
  UnitL1 = Label(this, SizeL, 146, 50, L"");
  HeightL = Label(this, SizeL, 12, 74, L"");
  HeightE = Edit(this, SizeL, 80, 70);
  UnitL2 = Label(this, SizeL, 146, 74, L"");
  WidthE->OnChange.Bind(this, &TqvxPageSettingsForm::SizeEditChanged);
  HeightE->OnChange.Bind(this, &TqvxPageSettingsForm::SizeEditChanged);

  OrientationL = Group(this, 8, 106, 270, 48, L"");
  PortraitRB = new TRadioButton(this);
  PortraitRB->SetParent(OrientationL);
  PortraitRB->SetBounds(12, 20, 120, 17);
  PortraitRB->SetChecked(true);
  PortraitRB->OnClick.Bind(this, &TqvxPageSettingsForm::OrientationChanged);
  LandscapeRB = new TRadioButton(this);
  LandscapeRB->SetParent(OrientationL);
  LandscapeRB->SetBounds(140, 20, 120, 17);
  LandscapeRB->OnClick.Bind(this, &TqvxPageSettingsForm::OrientationChanged);

  MarginsL = Group(this, 8, 158, 270, 80, L"");
  LeftL = Label(this, MarginsL, 12, 22, L"");
  MarginLeftE = Edit(this, MarginsL, 56, 18);
  UnitL3 = Label(this, MarginsL, 118, 22, L"");
  TopL = Label(this, MarginsL, 12, 50, L"");
  MarginTopE = Edit(this, MarginsL, 56, 46);
  UnitL4 = Label(this, MarginsL, 118, 50, L"");
  RightL = Label(this, MarginsL, 142, 22, L"");
  MarginRightE = Edit(this, MarginsL, 184, 18);
  UnitL5 = Label(this, MarginsL, 246, 22, L"");
  BottomL = Label(this, MarginsL, 142, 50, L"");
  MarginBottomE = Edit(this, MarginsL, 184, 46);
  UnitL6 = Label(this, MarginsL, 246, 50, L"");
  for (TLabel* l : {UnitL3, UnitL4, UnitL5, UnitL6}) l->SetWidth(22);
  for (TEdit* e : {MarginLeftE, MarginTopE, MarginRightE, MarginBottomE}) e->SetWidth(56);

  OtherL = Group(this, 8, 242, 270, 72, L"");
  ApplyToCurRB = new TRadioButton(this);
  ApplyToCurRB->SetParent(OtherL);
  ApplyToCurRB->SetBounds(12, 20, 250, 17);
  ApplyToCurRB->SetChecked(true);
  ApplyToAllRB = new TRadioButton(this);
  ApplyToAllRB->SetParent(OtherL);
  ApplyToAllRB->SetBounds(12, 44, 250, 17);

  OKB = new TButton(this);
  OKB->SetParent(this);
  OKB->SetBounds(122, 324, 75, 25);
  OKB->SetDefault(true);
  OKB->SetModalResult(mrOk);
  CancelB = new TButton(this);
  CancelB->SetParent(this);
  CancelB->SetBounds(203, 324, 75, 25);
  CancelB->SetCancel(true);
  CancelB->SetModalResult(mrCancel);
  SetCaptions();
}

void TqvxPageSettingsForm::SetCaptions() {
  SetCaption(qvxGet(400));
  WidthL->SetCaption(qvxGet(401));
  HeightL->SetCaption(qvxGet(402));
  SizeL->SetCaption(qvxGet(403));
  OrientationL->SetCaption(qvxGet(404));
  LeftL->SetCaption(qvxGet(405));
  TopL->SetCaption(qvxGet(406));
  RightL->SetCaption(qvxGet(407));
  BottomL->SetCaption(qvxGet(408));
  MarginsL->SetCaption(qvxGet(409));
  PortraitRB->SetCaption(qvxGet(410));
  LandscapeRB->SetCaption(qvxGet(411));
  OtherL->SetCaption(qvxGet(412));
  ApplyToCurRB->SetCaption(qvxGet(413));
  ApplyToAllRB->SetCaption(qvxGet(414));
  OKB->SetCaption(qvxGet(1));
  CancelB->SetCaption(qvxGet(2));
}

Extended TqvxPageSettingsForm::ToUnits(Extended mm) const {
  switch (FUnits) {
    case duInches: return mm / 25.4L;
    case duCM:
    case duPixels:
    case duChars: return mm / 10;
  }
  return 0;
}

Extended TqvxPageSettingsForm::FromUnits(Extended value) const {
  switch (FUnits) {
    case duInches: return value * 25.4L;
    case duCM:
    case duPixels:
    case duChars: return value * 10;
  }
  return 0;
}

rtl::Integer TqvxPageSettingsForm::SelectedPaper() const {
  TqvxCustomPrinter* printer = qvxPrinters().Printer();
  const int i = SizeCB->ItemIndex();
  return printer && i >= 0 ? printer->PaperCode(i) : 256;
}

void TqvxPageSettingsForm::DoShow() {
  FUpdating = true;
  SetCaptions();
  int units = 0;
  if (FReport) {
    std::unique_ptr<rtl::TCustomIniFile> ini(FReport->GetIniFile());
    if (ini) units = ini->ReadInteger(L"Form5.TqvxDesignerForm", L"Units", 0);
  }
  FUnits = static_cast<TqvxDesignerUnits>(units);
  const String unit = units == duInches ? qvxResources().Get(L"uInch")
                      : (units == duCM || units == duPixels || units == duChars) ? qvxResources().Get(L"uCm")
                                                                                 : String();
  for (TLabel* l : {UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6}) l->SetCaption(unit);
  if (FPage) {
    TqvxCustomPrinter* printer = qvxPrinters().Printer();
    const rtl::Integer index = printer ? printer->PaperIndex(FPage->PaperSize()) : -1;
    SizeCB->SetItemIndex(index >= 0 ? index : (printer ? printer->PaperIndex(256) : 0));
    WidthE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(FPage->PaperWidth()))));
    HeightE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(FPage->PaperHeight()))));
    MarginLeftE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(FPage->LeftMargin))));
    MarginRightE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(FPage->RightMargin))));
    MarginTopE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(FPage->TopMargin))));
    MarginBottomE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(FPage->BottomMargin))));
    PortraitRB->SetChecked(FPage->Orientation() == poPortrait);
    LandscapeRB->SetChecked(FPage->Orientation() == poLandscape);
  }
  OrientationChanged(nullptr);
  FUpdating = false;
  TForm::DoShow();
}

void TqvxPageSettingsForm::OrientationChanged(rtl::TObject*) { SizeChanged(nullptr); }

void TqvxPageSettingsForm::SizeChanged(rtl::TObject*) {
  if (FUpdating && !Visible()) return;
  if (FUpdating) return;
  FUpdating = true;
  try {
    const rtl::Integer code = SelectedPaper();
    const bool landscape = LandscapeRB->Checked();
    const Extended w = FromUnits(qvxStrToFloat(WidthE->Text())), h = FromUnits(qvxStrToFloat(HeightE->Text()));
    TqvxCustomPrinter* printer = qvxPrinters().Printer();
    // The custom size turns with the orientation: the printer gets the two values exchanged.
    if (code == 256)
      printer->SetViewParams(code, h, w, landscape ? poLandscape : poPortrait);
    else
      printer->SetViewParams(code, w, h, landscape ? poLandscape : poPortrait);
    const Extended pw = printer->PaperWidth, ph = printer->PaperHeight;
    WidthE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(pw))));
    HeightE->SetText(qvxFloatToStr(static_cast<double>(ToUnits(ph))));
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TqvxPageSettingsForm::SizeEditChanged(rtl::TObject*) {
  if (FUpdating) return;
  FUpdating = true;
  SizeCB->SetItemIndex(0);
  FUpdating = false;
}

void TqvxPageSettingsForm::DoHide() {
  if (ModalResult() == mrOk && FPage) {
    FPage->SetOrientation(LandscapeRB->Checked() ? poLandscape : poPortrait);
    FPage->SetPaperWidth(FromUnits(qvxStrToFloat(WidthE->Text())));
    FPage->SetPaperHeight(FromUnits(qvxStrToFloat(HeightE->Text())));
    FPage->SetPaperSize(SelectedPaper());
    FPage->LeftMargin = FromUnits(qvxStrToFloat(MarginLeftE->Text()));
    FPage->RightMargin = FromUnits(qvxStrToFloat(MarginRightE->Text()));
    FPage->TopMargin = FromUnits(qvxStrToFloat(MarginTopE->Text()));
    FPage->BottomMargin = FromUnits(qvxStrToFloat(MarginBottomE->Text()));
    FPage->AlignChildren();
  }
  TForm::DoHide();
}

void TqvxPageSettingsForm::KeyDown(rtl::Word& key, TShiftState shift) {
  TForm::KeyDown(key, shift);
  if (key == VK_F1) qvxResources().Help(this);
}

VCL_REGISTER(TqvxPageSettingsForm) {}
