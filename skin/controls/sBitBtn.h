#pragma once
// The skinned push button with a glyph. Without an active skin it is the platform's bit button: it shows caption
// and glyph, clicks on the mouse and on Space, and is greyed and inert while disabled.
#include <memory>

#include "platform/vcl/buttons.h"
#include "skin/core/sCommonData.h"

class TsBitBtn : public vcl::TBitBtn {
  VCL_CLASS(TsBitBtn, vcl::TBitBtn)
  void WndProc(vcl::TMessage& message) override;
  explicit TsBitBtn(vcl::TComponent* owner);
  ~TsBitBtn() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsCtrlSkinData> FCommonData;
};
