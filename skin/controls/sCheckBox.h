#pragma once
// The skinned check box, base of the data-aware one. Without an active skin the platform draws and drives it; the
// control only adds ReadOnly, which keeps a click from changing the state.
#include <memory>

#include "platform/vcl/stdctrls.h"
#include "skin/core/sCommonData.h"

class TsCheckBox : public vcl::TCheckBox {
  VCL_CLASS(TsCheckBox, vcl::TCheckBox)
  void WndProc(vcl::TMessage& message) override;
  explicit TsCheckBox(vcl::TComponent* owner);
  ~TsCheckBox() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int TextIndent() const { return FTextIndent; }
  void SetTextIndent(int value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  // Image-list indexes of the checked and of the other glyphs; the forms store both.
  int ImgChecked() const { return FImgChecked; }
  void SetImgChecked(int value);
  int ImgUnchecked() const { return FImgUnchecked; }
  void SetImgUnchecked(int value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

 protected:
  void Toggle() override;

  std::unique_ptr<TsCommonData> FCommonData;
  bool FShowFocus = true;
  int FMargin = 2;
  int FTextIndent = 0;
  int FImgChecked = 0;
  int FImgUnchecked = 0;
  bool FReadOnly = false;
};
