#include "skin/controls/sCheckBox.h"

#include "skin/controls/sSkinCommands.h"

TsCheckBox::TsCheckBox(vcl::TComponent* owner)
    : vcl::TCheckBox(owner), FCommonData(std::make_unique<TsCommonData>(this, false)) {
  FCommonData->COC = COC_TsCheckBox;
}

TsCheckBox::~TsCheckBox() = default;

void TsCheckBox::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsCheckBox::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsCheckBox::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  FCommonData->Invalidate();
}

void TsCheckBox::SetTextIndent(int value) {
  if (value == FTextIndent) return;
  FTextIndent = value;
  FCommonData->Invalidate();
}

void TsCheckBox::SetShowFocus(bool value) {
  if (value == FShowFocus) return;
  FShowFocus = value;
  FCommonData->Invalidate();
}

void TsCheckBox::SetImgChecked(int value) {
  if (value == FImgChecked) return;
  FImgChecked = value;
  FCommonData->Invalidate();
}

void TsCheckBox::SetImgUnchecked(int value) {
  if (value == FImgUnchecked) return;
  FImgUnchecked = value;
  FCommonData->Invalidate();
}

void TsCheckBox::Toggle() {
  if (FReadOnly) return;
  vcl::TCheckBox::Toggle();
}

void TsCheckBox::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"CHECKBOX")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsCheckBox) {
  cls.Prop(L"Margin", &TsCheckBox::Margin, &TsCheckBox::SetMargin).Default(2);
  cls.Prop(L"SkinData", &TsCheckBox::SkinData, &TsCheckBox::SetSkinData);
  cls.Prop(L"ImgChecked", &TsCheckBox::ImgChecked, &TsCheckBox::SetImgChecked);
  cls.Prop(L"ImgUnchecked", &TsCheckBox::ImgUnchecked, &TsCheckBox::SetImgUnchecked);
  cls.Prop(L"ReadOnly", &TsCheckBox::ReadOnly, &TsCheckBox::SetReadOnly).Default(false);
  cls.Prop(L"ShowFocus", &TsCheckBox::ShowFocus, &TsCheckBox::SetShowFocus).Default(true);
  cls.Prop(L"TextIndent", &TsCheckBox::TextIndent, &TsCheckBox::SetTextIndent).Default(0);
}
