#include "skin/controls/sPanel.h"

TsPanel::TsPanel(vcl::TComponent* owner) : vcl::TPanel(owner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
  FCommonData->COC = COC_TsPanel;
}

TsPanel::~TsPanel() = default;

void TsPanel::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsPanel::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsPanel) { cls.Prop(L"SkinData", &TsPanel::SkinData, &TsPanel::SetSkinData); }
