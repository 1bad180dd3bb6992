#pragma once
// The page settings dialog of the preview: paper size, orientation and margins of one prepared page, edited in
// place, applied to that page or to every page of the report (then the report is prepared again).
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "report/model/qvxClassPages.h"

class TqvxReport;

VCL_ENUM(TqvxDesignerUnits, duCM, duInches, duPixels, duChars)

class TqvxPageSettingsForm : public vcl::TForm {
  VCL_CLASS(TqvxPageSettingsForm, vcl::TForm)
 public:
  explicit TqvxPageSettingsForm(vcl::TComponent* owner);

  TqvxReportPage* Page() const { return FPage; }
  void SetPage(TqvxReportPage* value) { FPage = value; }
  TqvxReport* Report() const { return FReport; }
  void SetReport(TqvxReport* value) { FReport = value; }
  // "Apply to all pages" is chosen.
  bool NeedRebuild() const { return ApplyToAllRB->Checked(); }
  TqvxDesignerUnits Units() const { return FUnits; }

  vcl::TButton* OKB = nullptr;
  vcl::TButton* CancelB = nullptr;
  vcl::TGroupBox* SizeL = nullptr;
  vcl::TLabel* WidthL = nullptr;
  vcl::TLabel* HeightL = nullptr;
  vcl::TLabel* UnitL1 = nullptr;
  vcl::TLabel* UnitL2 = nullptr;
  vcl::TEdit* WidthE = nullptr;
  vcl::TEdit* HeightE = nullptr;
  vcl::TComboBox* SizeCB = nullptr;
  vcl::TGroupBox* OrientationL = nullptr;
  vcl::TRadioButton* PortraitRB = nullptr;
  vcl::TRadioButton* LandscapeRB = nullptr;
  vcl::TGroupBox* MarginsL = nullptr;
  vcl::TLabel* LeftL = nullptr;
  vcl::TLabel* TopL = nullptr;
  vcl::TLabel* RightL = nullptr;
  vcl::TLabel* BottomL = nullptr;
  vcl::TLabel* UnitL3 = nullptr;
  vcl::TLabel* UnitL4 = nullptr;
  vcl::TLabel* UnitL5 = nullptr;
  vcl::TLabel* UnitL6 = nullptr;
  vcl::TEdit* MarginLeftE = nullptr;
  vcl::TEdit* MarginTopE = nullptr;
  vcl::TEdit* MarginRightE = nullptr;
  vcl::TEdit* MarginBottomE = nullptr;
  vcl::TGroupBox* OtherL = nullptr;
  vcl::TRadioButton* ApplyToCurRB = nullptr;
  vcl::TRadioButton* ApplyToAllRB = nullptr;

  // Millimetres in the dialog's unit and back.
  Extended ToUnits(Extended mm) const;
  Extended FromUnits(Extended value) const;
  void SizeChanged(rtl::TObject* sender);
  void OrientationChanged(rtl::TObject* sender);

 protected:
  void DoShow() override;
  void DoHide() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;

 private:
  void SizeEditChanged(rtl::TObject* sender);
  void SetCaptions();
  rtl::Integer SelectedPaper() const;
  TqvxReportPage* FPage = nullptr;
  TqvxReport* FReport = nullptr;
  TqvxDesignerUnits FUnits = duCM;
  bool FUpdating = false;
};
