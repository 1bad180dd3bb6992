#pragma once
// The skin manager's menu options: the section painted as the icon column of popups and the extra line beside it.
#include <cstdint>
#include <memory>

#include "platform/rtl/object.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/typinfo.h"

class TlvMenuSupport : public rtl::TPersistent {
  VCL_CLASS(TlvMenuSupport, rtl::TPersistent)
  TlvMenuSupport();
  ~TlvMenuSupport() override;

  const rtl::String& IcoLineSkin() const { return FIcoLineSkin; }
  void SetIcoLineSkin(const rtl::String& v) { FIcoLineSkin = v; }
  int ExtraLineWidth() const { return FExtraLineWidth; }
  void SetExtraLineWidth(int v) { FExtraLineWidth = v; }
  bool UseExtraLine() const { return FUseExtraLine; }
  void SetUseExtraLine(bool v) { FUseExtraLine = v; }
  // Owned; setting copies the given font.
  vcl::TFont* ExtraLineFont() const { return FExtraLineFont.get(); }
  void SetExtraLineFont(vcl::TFont* v);
  std::uint8_t AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(std::uint8_t v) { FAlphaBlend = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  rtl::String FIcoLineSkin;
  int FExtraLineWidth = 32;
  bool FUseExtraLine = false;
  std::unique_ptr<vcl::TFont> FExtraLineFont;
  std::uint8_t FAlphaBlend = 255;
};
