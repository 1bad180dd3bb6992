#include "skin/controls/sBitBtn.h"

#include "skin/controls/sSkinCommands.h"

TsBitBtn::TsBitBtn(vcl::TComponent* owner)
    : vcl::TBitBtn(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsBitBtn;
}

TsBitBtn::~TsBitBtn() = default;

void TsBitBtn::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsBitBtn::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsBitBtn::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"BUTTON")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsBitBtn) { cls.Prop(L"SkinData", &TsBitBtn::SkinData, &TsBitBtn::SetSkinData); }
