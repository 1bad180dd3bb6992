#pragma once
// Colour values: $00BBGGRR for plain colours, $FF0000nn for the Windows system colour nn (negative as a signed
// value), clNone and clDefault as two markers. Names convert both ways for form resources and scripts.
#include <functional>

#include "platform/rtl/types.h"

namespace vcl {

using TColor = rtl::Integer;

constexpr TColor MakeSystemColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clScrollBar = MakeSystemColor(0);
constexpr TColor clBackground = MakeSystemColor(1);
constexpr TColor clActiveCaption = MakeSystemColor(2);
constexpr TColor clInactiveCaption = MakeSystemColor(3);
constexpr TColor clMenu = MakeSystemColor(4);
constexpr TColor clWindow = MakeSystemColor(5);
constexpr TColor clWindowFrame = MakeSystemColor(6);
constexpr TColor clMenuText = MakeSystemColor(7);
constexpr TColor clWindowText = MakeSystemColor(8);
constexpr TColor clCaptionText = MakeSystemColor(9);
constexpr TColor clActiveBorder = MakeSystemColor(10);
constexpr TColor clInactiveBorder = MakeSystemColor(11);
constexpr TColor clAppWorkSpace = MakeSystemColor(12);
constexpr TColor clHighlight = MakeSystemColor(13);
constexpr TColor clHighlightText = MakeSystemColor(14);
constexpr TColor clBtnFace = MakeSystemColor(15);
constexpr TColor clBtnShadow = MakeSystemColor(16);
constexpr TColor clGrayText = MakeSystemColor(17);
constexpr TColor clBtnText = MakeSystemColor(18);
constexpr TColor clInactiveCaptionText = MakeSystemColor(19);
constexpr TColor clBtnHighlight = MakeSystemColor(20);
constexpr TColor cl3DDkShadow = MakeSystemColor(21);
constexpr TColor cl3DLight = MakeSystemColor(22);
constexpr TColor clInfoText = MakeSystemColor(23);
constexpr TColor clInfoBk = MakeSystemColor(24);
constexpr TColor clHotLight = MakeSystemColor(26);
constexpr TColor clGradientActiveCaption = MakeSystemColor(27);
constexpr TColor clGradientInactiveCaption = MakeSystemColor(28);
constexpr TColor clMenuHighlight = MakeSystemColor(29);
constexpr TColor clMenuBar = MakeSystemColor(30);

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour becomes its current RGB value; every other value is returned as it is.
TColor ColorToRGB(TColor color);
// A visual style answers for the system colours while it is active: the resolver gets a system colour and returns
// the style's RGB value, or the same system colour to leave it to the system. Null puts the system's values back.
using TSystemColorResolver = TColor (*)(TColor systemColor);
void SetSystemColorResolver(TSystemColorResolver resolver);
// The COLORREF that GDI should get: ColorToRGB without the marker bits of clNone/clDefault.
unsigned long ColorToGdi(TColor color);
constexpr TColor RGBToColor(rtl::Byte r, rtl::Byte g, rtl::Byte b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// "clRed" <-> clRed; names compare without regard to ASCII letter case.
bool ColorToIdent(TColor color, rtl::String& ident);
bool IdentToColor(const rtl::String& ident, TColor& color);
// The name when the value has one, else "$" and eight hexadecimal digits.
rtl::String ColorToString(TColor color);
// A colour name or an integer ("255", "$0000FF", "-16777201"); anything else raises EConvertError.
TColor StringToColor(const rtl::String& text);
// Calls proc with each of the 52 colour names, in the platform's table order.
void GetColorValues(const std::function<void(const rtl::String&)>& proc);

}  // namespace vcl
