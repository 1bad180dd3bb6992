#pragma once
// The skinned page control and its sheets. Without an active skin they are the platform's tabbed pages: the page
// named by ActivePage is shown first.
#include <memory>

#include "platform/vcl/comctrls.h"
#include "skin/core/sCommonData.h"

class TsTabSheet;

// What a sheet keeps about its own look: its colour and font are its own, and a section under its area.
class TsTabSkinData : public rtl::TPersistent {
  VCL_CLASS(TsTabSkinData, rtl::TPersistent)
  explicit TsTabSkinData(TsTabSheet* page = nullptr) : FPage(page) {}
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value) { FCustomColor = value; }
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value);
  const rtl::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const rtl::String& value) { FSkinSection = value; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  bool FCustomColor = false;
  bool FCustomFont = false;
  TsTabSheet* FPage;
  rtl::String FSkinSection;
};

class TsTabSheet : public vcl::TTabSheet {
  VCL_CLASS(TsTabSheet, vcl::TTabSheet)
  explicit TsTabSheet(vcl::TComponent* owner);
  ~TsTabSheet() override;
  TsTabSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsTabSkinData* value) { FCommonData->Assign(value); }
  // A page answers its section and passes the skin commands on to its controls.
  void WndProc(vcl::TMessage& message) override;

 protected:
  std::unique_ptr<TsTabSkinData> FCommonData;
};

class TsPageControl : public vcl::TPageControl {
  VCL_CLASS(TsPageControl, vcl::TPageControl)
  void WndProc(vcl::TMessage& message) override;
  explicit TsPageControl(vcl::TComponent* owner);
  ~TsPageControl() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsCommonData> FCommonData;
};
