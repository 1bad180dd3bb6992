#pragma once
// The skinned mask edit. Without an active skin it is the platform's mask edit.
#include <memory>

#include "platform/vcl/mask.h"
#include "skin/core/sCommonData.h"

class TsMaskEdit : public vcl::TMaskEdit {
  VCL_CLASS(TsMaskEdit, vcl::TMaskEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsMaskEdit(vcl::TComponent* owner);
  ~TsMaskEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }
  // Kept for the forms, which store it; the edit keeps the height it is given either way.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value) { FAutoSize = value; }

 protected:
  std::unique_ptr<TsCtrlSkinData> FCommonData;
  bool FAutoSize = true;
};
