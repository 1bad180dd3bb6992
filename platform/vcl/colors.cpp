#include "platform/vcl/colors.h"

#include <cwchar>
#include <iterator>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"

namespace vcl {

namespace {

struct ColorName {
  TColor value;
  const wchar_t* name;
};

// The order is the one scripts register their colour constants in.
const ColorName kColorNames[] = {
    {clBlack, L"clBlack"},
    {clMaroon, L"clMaroon"},
    {clGreen, L"clGreen"},
    {clOlive, L"clOlive"},
    {clNavy, L"clNavy"},
    {clPurple, L"clPurple"},
    {clTeal, L"clTeal"},
    {clGray, L"clGray"},
    {clSilver, L"clSilver"},
    {clRed, L"clRed"},
    {clLime, L"clLime"},
    {clYellow, L"clYellow"},
    {clBlue, L"clBlue"},
    {clFuchsia, L"clFuchsia"},
    {clAqua, L"clAqua"},
    {clWhite, L"clWhite"},
    {clMoneyGreen, L"clMoneyGreen"},
    {clSkyBlue, L"clSkyBlue"},
    {clCream, L"clCream"},
    {clMedGray, L"clMedGray"},
    {clActiveBorder, L"clActiveBorder"},
    {clActiveCaption, L"clActiveCaption"},
    {clAppWorkSpace, L"clAppWorkSpace"},
    {clBackground, L"clBackground"},
    {clBtnFace, L"clBtnFace"},
    {clBtnHighlight, L"clBtnHighlight"},
    {clBtnShadow, L"clBtnShadow"},
    {clBtnText, L"clBtnText"},
    {clCaptionText, L"clCaptionText"},
    {clDefault, L"clDefault"},
    {clGradientActiveCaption, L"clGradientActiveCaption"},
    {clGradientInactiveCaption, L"clGradientInactiveCaption"},
    {clGrayText, L"clGrayText"},
    {clHighlight, L"clHighlight"},
    {clHighlightText, L"clHighlightText"},
    {clHotLight, L"clHotLight"},
    {clInactiveBorder, L"clInactiveBorder"},
    {clInactiveCaption, L"clInactiveCaption"},
    {clInactiveCaptionText, L"clInactiveCaptionText"},
    {clInfoBk, L"clInfoBk"},
    {clInfoText, L"clInfoText"},
    {clMenu, L"clMenu"},
    {clMenuBar, L"clMenuBar"},
    {clMenuHighlight, L"clMenuHighlight"},
    {clMenuText, L"clMenuText"},
    {clNone, L"clNone"},
    {clScrollBar, L"clScrollBar"},
    {cl3DDkShadow, L"cl3DDkShadow"},
    {cl3DLight, L"cl3DLight"},
    {clWindow, L"clWindow"},
    {clWindowFrame, L"clWindowFrame"},
    {clWindowText, L"clWindowText"},
};
static_assert(std::size(kColorNames) == 52);

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool SameAscii(const rtl::String& a, const wchar_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return i == a.size() && b[i] == 0;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  c = AsciiLower(c);
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// The runtime's integer syntax: optional blanks and sign, decimal or "$"/"0x" hexadecimal, 32 bits.
bool TryParseInteger(const rtl::String& text, TColor& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  int base = 10;
  if (i < text.size() && text[i] == L'$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  unsigned long long v = 0;
  for (; i < text.size(); ++i) {
    int d = base == 16 ? HexDigit(text[i]) : (text[i] >= L'0' && text[i] <= L'9' ? text[i] - L'0' : -1);
    if (d < 0) return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return false;
  }
  if (base == 10 && v > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
  auto u = static_cast<std::uint32_t>(v);
  if (negative) u = 0u - u;
  value = static_cast<TColor>(u);
  return true;
}

}  // namespace

namespace {
TSystemColorResolver g_system_color_resolver = nullptr;
}  // namespace

void SetSystemColorResolver(TSystemColorResolver resolver) { g_system_color_resolver = resolver; }

TColor ColorToRGB(TColor color) {
  if (color >= 0) return color;
  if (g_system_color_resolver) {
    TColor styled = g_system_color_resolver(color);
    if (styled >= 0) return styled;
  }
  return static_cast<TColor>(GetSysColor(color & 0xFF));
}

unsigned long ColorToGdi(TColor color) { return static_cast<unsigned long>(ColorToRGB(color)) & 0x00FFFFFF; }

bool ColorToIdent(TColor color, rtl::String& ident) {
  for (const auto& entry : kColorNames)
    if (entry.value == color) {
      ident = entry.name;
      return true;
    }
  return false;
}

bool IdentToColor(const rtl::String& ident, TColor& color) {
  for (const auto& entry : kColorNames)
    if (SameAscii(ident, entry.name)) {
      color = entry.value;
      return true;
    }
  return false;
}

rtl::String ColorToString(TColor color) {
  rtl::String ident;
  if (ColorToIdent(color, ident)) return ident;
  wchar_t buffer[16];
  std::swprintf(buffer, std::size(buffer), L"$%.8X", static_cast<unsigned>(color));
  return buffer;
}

TColor StringToColor(const rtl::String& text) {
  TColor color = 0;
  if (IdentToColor(text, color) || TryParseInteger(text, color)) return color;
  throw rtl::EConvertError(L"'" + text + L"' is not a valid integer value");
}

void GetColorValues(const std::function<void(const rtl::String&)>& proc) {
  for (const auto& entry : kColorNames) proc(entry.name);
}

}  // namespace vcl
