#pragma once
// The skinned single-line edit. Without an active skin it is the platform's edit: OnChange after every change of
// the text, typed or set by the program, the grey text hint while empty, greyed and refusing input when disabled.
#include <memory>

#include "platform/vcl/stdctrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TsEdit : public vcl::TEdit {
  VCL_CLASS(TsEdit, vcl::TEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsEdit(vcl::TComponent* owner);
  ~TsEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }

 protected:
  std::unique_ptr<TsCtrlSkinData> FCommonData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
};
