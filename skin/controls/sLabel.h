#pragma once
// The skinned labels: a line of text painted by the parent. Without an active skin they draw like the platform's
// label, sized to the caption; a label whose ParentColor is off shows its Color behind the text even though the
// skinned label is transparent by default (so that it can take the skin's background when a skin is active).
#include "platform/vcl/stdctrls.h"

class TsSkinManager;

class TsCustomLabel : public vcl::TCustomLabel {
  VCL_CLASS(TsCustomLabel, vcl::TCustomLabel)
  explicit TsCustomLabel(vcl::TComponent* owner);
  ~TsCustomLabel() override;

  // The own manager, else DefaultManager.
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* value);
  bool IsSkinManagerStored() const { return FSkinManager != nullptr; }
  const rtl::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const rtl::String& value);

 protected:
  void Paint() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  // The colour the caption is drawn in.
  virtual vcl::TColor TextColor();

  rtl::String FSkinSection;
  TsSkinManager* FSkinManager = nullptr;
  int FSkinIndex = -1;
};

class TsLabel : public TsCustomLabel {
  VCL_CLASS(TsLabel, TsCustomLabel)
  explicit TsLabel(vcl::TComponent* owner) : TsCustomLabel(owner) {}
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool value);

 protected:
  bool FUseSkinColor = true;
};
