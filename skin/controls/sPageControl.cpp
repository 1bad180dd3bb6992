#include "skin/controls/sPageControl.h"

#include "skin/controls/sSkinCommands.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"

void TsTabSkinData::SetCustomFont(bool value) {
  if (value == FCustomFont) return;
  FCustomFont = value;
  // The tab caption is drawn by the page control.
  if (FPage && FPage->PageControl()) FPage->PageControl()->Invalidate();
}

void TsTabSkinData::Assign(const rtl::TPersistent* source) {
  if (auto* src = dynamic_cast<const TsTabSkinData*>(source)) {
    FCustomColor = src->FCustomColor;
    SetCustomFont(src->FCustomFont);
    FSkinSection = src->FSkinSection;
    return;
  }
  rtl::TPersistent::Assign(source);
}

TsTabSheet::TsTabSheet(vcl::TComponent* owner)
    : vcl::TTabSheet(owner), FCommonData(std::make_unique<TsTabSkinData>(this)) {}

TsTabSheet::~TsTabSheet() = default;

void TsTabSheet::WndProc(vcl::TMessage& message) {
  if (message.Msg == SM_LUMICMD) {
    switch (message.WParamHi()) {
      case LVC_GETDEFINDEX: {
        TsSkinManager* manager = DefaultManager;
        message.Result = manager ? manager->GetSkinIndex(L"TABSHEET") + 1 : 0;
        return;
      }
      case LVC_CTRLHANDLED:
        message.Result = 1;
        return;
      case LVC_SETNEWSKIN:
      case LVC_REMOVESKIN:
      case LVC_REFRESH:
        LumiBroadCast(this, message);
        return;
      default:
        break;
    }
  }
  inherited::WndProc(message);
}

TsPageControl::TsPageControl(vcl::TComponent* owner)
    : vcl::TPageControl(owner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
  FCommonData->COC = COC_TsPageControl;
}

TsPageControl::~TsPageControl() = default;

void TsPageControl::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsPageControl::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsTabSkinData) {
  cls.Prop(L"CustomColor", &TsTabSkinData::CustomColor, &TsTabSkinData::SetCustomColor).Default(false);
  cls.Prop(L"CustomFont", &TsTabSkinData::CustomFont, &TsTabSkinData::SetCustomFont).Default(false);
  cls.Prop(L"SkinSection", &TsTabSkinData::SkinSection, &TsTabSkinData::SetSkinSection);
}

VCL_REGISTER(TsTabSheet) { cls.Prop(L"SkinData", &TsTabSheet::SkinData, &TsTabSheet::SetSkinData); }

void TsPageControl::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"PAGECONTROL", true)) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsPageControl) { cls.Prop(L"SkinData", &TsPageControl::SkinData, &TsPageControl::SetSkinData); }
