#pragma once
// The skinned combo box. Without an active skin it is the platform's combo box: an editable drop-down that keeps
// its initial text with no item selected and fires OnChange when the text changes by typing or by a choice.
#include <memory>

#include "platform/vcl/stdctrls.h"
#include "skin/core/sCommonData.h"

class TsCustomComboBox : public vcl::TCustomComboBox {
  VCL_CLASS(TsCustomComboBox, vcl::TCustomComboBox)
  void WndProc(vcl::TMessage& message) override;
  // A list-only (or owner-drawn) combo without a section of its own looks like a push button.
  bool AllowBtnStyle() const;
  explicit TsCustomComboBox(vcl::TComponent* owner);
  ~TsCustomComboBox() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }
  // Kept for the skinned painting of the edit part.
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  vcl::TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(vcl::TVerticalAlignment value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

 protected:
  std::unique_ptr<TsCtrlSkinData> FCommonData;
  vcl::TAlignment FAlignment = vcl::taLeftJustify;
  vcl::TVerticalAlignment FVerticalAlignment = vcl::taVerticalCenter;
  bool FReadOnly = false;
};

class TsComboBox : public TsCustomComboBox {
  VCL_CLASS(TsComboBox, TsCustomComboBox)
  explicit TsComboBox(vcl::TComponent* owner) : TsCustomComboBox(owner) {}
};
