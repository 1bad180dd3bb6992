#include "skin/controls/sLabel.h"

#include "skin/core/sSkinManager.h"

TsCustomLabel::TsCustomLabel(vcl::TComponent* owner) : vcl::TCustomLabel(owner) { transparent_ = true; }

TsCustomLabel::~TsCustomLabel() {
  if (FSkinManager) RemoveFreeNotification(FSkinManager);
}

TsSkinManager* TsCustomLabel::SkinManager() const { return FSkinManager ? FSkinManager : DefaultManager; }

void TsCustomLabel::SetSkinManager(TsSkinManager* value) {
  if (value == FSkinManager) return;
  if (FSkinManager) RemoveFreeNotification(FSkinManager);
  FSkinManager = value;
  if (FSkinManager) FreeNotification(FSkinManager);
  Invalidate();
}

void TsCustomLabel::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TCustomLabel::Notification(component, operation);
  if (operation == vcl::opRemove && component == FSkinManager) FSkinManager = nullptr;
}

void TsCustomLabel::SetSkinSection(const rtl::String& value) {
  if (value == FSkinSection) return;
  FSkinSection = value;
  Invalidate();
}

vcl::TColor TsCustomLabel::TextColor() { return font_->Color(); }

void TsCustomLabel::Paint() {
  FSkinIndex = -1;
  // Transparent is the skinned label's default; with a colour of its own the label still shows that colour.
  if (transparent_ && !parent_color_) {
    vcl::TCanvas* c = Canvas();
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(color_);
    c->FillRect(ClientRect());
  }
  vcl::TCustomLabel::Paint();
}

void TsLabel::SetUseSkinColor(bool value) {
  if (value == FUseSkinColor) return;
  FUseSkinColor = value;
  Invalidate();
}

VCL_REGISTER(TsCustomLabel) {
  cls.Prop(L"Transparent", &TsCustomLabel::Transparent, &TsCustomLabel::SetTransparent).Default(true);
  cls.Prop(L"SkinManager", &TsCustomLabel::SkinManager, &TsCustomLabel::SetSkinManager)
      .Stored(&TsCustomLabel::IsSkinManagerStored);
  cls.Prop(L"SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection);
}

VCL_REGISTER(TsLabel) { cls.Prop(L"UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor).Default(true); }
