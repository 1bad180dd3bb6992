#pragma once
// The skinned panel: a raised, bevelled container that shows its caption centred. Without an active skin it is
// the platform's panel.
#include <memory>

#include "platform/vcl/extctrls.h"
#include "skin/core/sCommonData.h"

class TsPanel : public vcl::TPanel {
  VCL_CLASS(TsPanel, vcl::TPanel)
  void WndProc(vcl::TMessage& message) override;
  // The section of the bevel: none "TRANSPARENT", lowered "PANEL_LOW", raised "PANEL", space "GROUPBOX".
  const wchar_t* PanelSection() const;
  explicit TsPanel(vcl::TComponent* owner);
  ~TsPanel() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsCommonData> FCommonData;
};
