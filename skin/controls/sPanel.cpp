#include "skin/controls/sPanel.h"

#include "skin/controls/sSkinCommands.h"

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

void TsPanel::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, PanelSection(), true)) return;
  inherited::WndProc(message);
}

const wchar_t* TsPanel::PanelSection() const {
  switch (BevelOuter()) {
    case vcl::bvNone:
      return L"TRANSPARENT";
    case vcl::bvLowered:
      return L"PANEL_LOW";
    case vcl::bvSpace:
      return L"GROUPBOX";
    default:
      return L"PANEL";
  }
}

VCL_REGISTER(TsPanel) { cls.Prop(L"SkinData", &TsPanel::SkinData, &TsPanel::SetSkinData); }
