#include "skin/core/sMenuSupport.h"

TlvMenuSupport::TlvMenuSupport() : FExtraLineFont(std::make_unique<vcl::TFont>()) {}

TlvMenuSupport::~TlvMenuSupport() = default;

void TlvMenuSupport::SetExtraLineFont(vcl::TFont* v) {
  if (v != FExtraLineFont.get()) FExtraLineFont->Assign(v);
}

void TlvMenuSupport::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvMenuSupport*>(source);
  if (!s) return inherited::Assign(source);
  FIcoLineSkin = s->FIcoLineSkin;
  FExtraLineWidth = s->FExtraLineWidth;
  FUseExtraLine = s->FUseExtraLine;
  FExtraLineFont->Assign(s->FExtraLineFont.get());
  FAlphaBlend = s->FAlphaBlend;
}

VCL_REGISTER(TlvMenuSupport) {
  cls.Prop(L"IcoLineSkin", &TlvMenuSupport::IcoLineSkin, &TlvMenuSupport::SetIcoLineSkin);
  cls.Prop(L"ExtraLineWidth", &TlvMenuSupport::ExtraLineWidth, &TlvMenuSupport::SetExtraLineWidth).Default(32);
  cls.Prop(L"UseExtraLine", &TlvMenuSupport::UseExtraLine, &TlvMenuSupport::SetUseExtraLine).Default(false);
  cls.Prop(L"ExtraLineFont", &TlvMenuSupport::ExtraLineFont, &TlvMenuSupport::SetExtraLineFont);
  cls.Prop(L"AlphaBlend", &TlvMenuSupport::AlphaBlend, &TlvMenuSupport::SetAlphaBlend).Default(255);
}
