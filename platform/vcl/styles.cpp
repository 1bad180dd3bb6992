// The built-in styles and the switch between them. A style's palette covers the system colours the controls paint
// with and the elements that self-drawn controls ask for; what a palette leaves out keeps the system's value.
#include "platform/vcl/styles.h"

#include <initializer_list>
#include <utility>

#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"

namespace vcl {

namespace {

constexpr int kSystemColorCount = 31;  // COLOR_SCROLLBAR .. COLOR_MENUBAR
constexpr TColor kUnset = -1;

struct SysEntry {
  int index;
  TColor value;
};

}  // namespace

struct TCustomStyleServices::Palette {
  TColor system[kSystemColorCount];
  TColor elements[scStyleColorCount];
  TColor fonts[sfStyleFontCount];
};

namespace {

TCustomStyleServices::Palette MakePalette(std::initializer_list<SysEntry> system,
                                          std::initializer_list<std::pair<TStyleColor, TColor>> elements,
                                          std::initializer_list<std::pair<TStyleFont, TColor>> fonts) {
  TCustomStyleServices::Palette p{};
  for (TColor& c : p.system) c = kUnset;
  for (TColor& c : p.elements) c = kUnset;
  for (TColor& c : p.fonts) c = kUnset;
  for (const auto& e : system) p.system[e.index] = e.value;
  for (const auto& e : elements) p.elements[e.first] = e.second;
  for (const auto& e : fonts) p.fonts[e.first] = e.second;
  return p;
}

// clang-format off
// A light blue-sky look: pale blue faces, white fields, navy text, a clear blue for selections.
const TCustomStyleServices::Palette kSky = MakePalette(
    {
        {COLOR_SCROLLBAR, RGBToColor(0xE3, 0xEF, 0xFA)},
        {COLOR_BACKGROUND, RGBToColor(0x9C, 0xC8, 0xF0)},
        {COLOR_ACTIVECAPTION, RGBToColor(0x4A, 0x90, 0xD9)},
        {COLOR_INACTIVECAPTION, RGBToColor(0xB4, 0xD2, 0xEE)},
        {COLOR_MENU, RGBToColor(0xE8, 0xF2, 0xFC)},
        {COLOR_WINDOW, RGBToColor(0xFF, 0xFF, 0xFF)},
        {COLOR_WINDOWFRAME, RGBToColor(0x5B, 0x8D, 0xC0)},
        {COLOR_MENUTEXT, RGBToColor(0x1B, 0x3A, 0x5C)},
        {COLOR_WINDOWTEXT, RGBToColor(0x1B, 0x3A, 0x5C)},
        {COLOR_CAPTIONTEXT, RGBToColor(0xFF, 0xFF, 0xFF)},
        {COLOR_ACTIVEBORDER, RGBToColor(0xC6, 0xDE, 0xF5)},
        {COLOR_INACTIVEBORDER, RGBToColor(0xD8, 0xE8, 0xF7)},
        {COLOR_APPWORKSPACE, RGBToColor(0xB9, 0xD6, 0xF1)},
        {COLOR_HIGHLIGHT, RGBToColor(0x3A, 0x8E, 0xE6)},
        {COLOR_HIGHLIGHTTEXT, RGBToColor(0xFF, 0xFF, 0xFF)},
        {COLOR_BTNFACE, RGBToColor(0xDC, 0xEB, 0xF9)},
        {COLOR_BTNSHADOW, RGBToColor(0x86, 0xAE, 0xD6)},
        {COLOR_GRAYTEXT, RGBToColor(0x8A, 0xA3, 0xBD)},
        {COLOR_BTNTEXT, RGBToColor(0x1B, 0x3A, 0x5C)},
        {COLOR_INACTIVECAPTIONTEXT, RGBToColor(0x3E, 0x5E, 0x80)},
        {COLOR_BTNHIGHLIGHT, RGBToColor(0xFF, 0xFF, 0xFF)},
        {COLOR_3DDKSHADOW, RGBToColor(0x3E, 0x6A, 0x96)},
        {COLOR_3DLIGHT, RGBToColor(0xEE, 0xF5, 0xFC)},
        {COLOR_INFOTEXT, RGBToColor(0x1B, 0x3A, 0x5C)},
        {COLOR_INFOBK, RGBToColor(0xFF, 0xFD, 0xE8)},
        {COLOR_HOTLIGHT, RGBToColor(0x1E, 0x6F, 0xC8)},
        {COLOR_GRADIENTACTIVECAPTION, RGBToColor(0x9C, 0xC8, 0xF0)},
        {COLOR_GRADIENTINACTIVECAPTION, RGBToColor(0xD6, 0xE8, 0xF7)},
        {COLOR_MENUHILIGHT, RGBToColor(0x3A, 0x8E, 0xE6)},
        {COLOR_MENUBAR, RGBToColor(0xD0, 0xE4, 0xF7)},
    },
    {
        {scBorder, RGBToColor(0x7F, 0xA7, 0xCF)},
        {scButtonDisabled, RGBToColor(0xE6, 0xED, 0xF3)},
        {scButtonFocused, RGBToColor(0xD4, 0xE8, 0xFB)},
        {scButtonHot, RGBToColor(0xCD, 0xE5, 0xFA)},
        {scButtonNormal, RGBToColor(0xE8, 0xF2, 0xFC)},
        {scButtonPressed, RGBToColor(0xA8, 0xCE, 0xF2)},
        {scEdit, RGBToColor(0xFF, 0xFF, 0xFF)},
        {scGrid, RGBToColor(0xFF, 0xFF, 0xFF)},
        {scGridTitle, RGBToColor(0xBB, 0xD7, 0xF1)},
        {scListBox, RGBToColor(0xFF, 0xFF, 0xFF)},
        {scMenu, RGBToColor(0xE8, 0xF2, 0xFC)},
        {scMenuBar, RGBToColor(0xD0, 0xE4, 0xF7)},
        {scMenuHighlight, RGBToColor(0x3A, 0x8E, 0xE6)},
        {scPanel, RGBToColor(0xD6, 0xE8, 0xF7)},
        {scStatusBar, RGBToColor(0xC6, 0xDE, 0xF5)},
        {scTabActive, RGBToColor(0xF4, 0xF9, 0xFE)},
        {scTabInactive, RGBToColor(0xC5, 0xDD, 0xF3)},
        {scToolBar, RGBToColor(0xD0, 0xE4, 0xF7)},
        {scWindow, RGBToColor(0xDC, 0xEB, 0xF9)},
    },
    {
        {sfButtonTextNormal, RGBToColor(0x1B, 0x3A, 0x5C)},
        {sfButtonTextDisabled, RGBToColor(0x8A, 0xA3, 0xBD)},
        {sfGridTitleText, RGBToColor(0x12, 0x2E, 0x4F)},
        {sfMenuItemTextNormal, RGBToColor(0x1B, 0x3A, 0x5C)},
        {sfMenuItemTextSelected, RGBToColor(0xFF, 0xFF, 0xFF)},
        {sfPanelTextNormal, RGBToColor(0x1B, 0x3A, 0x5C)},
        {sfTabTextActive, RGBToColor(0x12, 0x2E, 0x4F)},
        {sfTabTextInactive, RGBToColor(0x3E, 0x5E, 0x80)},
        {sfWindowTextNormal, RGBToColor(0x1B, 0x3A, 0x5C)},
    });

// A dark cobalt look with light text; built in beside "Sky" although the program never applies it.
const TCustomStyleServices::Palette kCobalt = MakePalette(
    {
        {COLOR_ACTIVECAPTION, RGBToColor(0x1F, 0x3C, 0x78)},
        {COLOR_INACTIVECAPTION, RGBToColor(0x2E, 0x3B, 0x55)},
        {COLOR_MENU, RGBToColor(0x24, 0x32, 0x4C)},
        {COLOR_WINDOW, RGBToColor(0x1A, 0x24, 0x38)},
        {COLOR_MENUTEXT, RGBToColor(0xE8, 0xEE, 0xF7)},
        {COLOR_WINDOWTEXT, RGBToColor(0xE8, 0xEE, 0xF7)},
        {COLOR_CAPTIONTEXT, RGBToColor(0xFF, 0xFF, 0xFF)},
        {COLOR_APPWORKSPACE, RGBToColor(0x16, 0x1E, 0x2E)},
        {COLOR_HIGHLIGHT, RGBToColor(0x2F, 0x6B, 0xD8)},
        {COLOR_HIGHLIGHTTEXT, RGBToColor(0xFF, 0xFF, 0xFF)},
        {COLOR_BTNFACE, RGBToColor(0x2B, 0x3A, 0x55)},
        {COLOR_BTNSHADOW, RGBToColor(0x18, 0x22, 0x33)},
        {COLOR_GRAYTEXT, RGBToColor(0x7D, 0x8B, 0xA3)},
        {COLOR_BTNTEXT, RGBToColor(0xE8, 0xEE, 0xF7)},
        {COLOR_BTNHIGHLIGHT, RGBToColor(0x4A, 0x5D, 0x80)},
        {COLOR_3DDKSHADOW, RGBToColor(0x0E, 0x14, 0x20)},
        {COLOR_3DLIGHT, RGBToColor(0x3A, 0x4B, 0x6B)},
        {COLOR_MENUHILIGHT, RGBToColor(0x2F, 0x6B, 0xD8)},
        {COLOR_MENUBAR, RGBToColor(0x24, 0x32, 0x4C)},
    },
    {
        {scBorder, RGBToColor(0x10, 0x18, 0x28)},
        {scButtonDisabled, RGBToColor(0x33, 0x3D, 0x50)},
        {scButtonFocused, RGBToColor(0x3A, 0x52, 0x80)},
        {scButtonHot, RGBToColor(0x3A, 0x52, 0x80)},
        {scButtonNormal, RGBToColor(0x30, 0x44, 0x68)},
        {scButtonPressed, RGBToColor(0x1F, 0x3C, 0x78)},
        {scEdit, RGBToColor(0x1A, 0x24, 0x38)},
        {scGrid, RGBToColor(0x1A, 0x24, 0x38)},
        {scGridTitle, RGBToColor(0x30, 0x44, 0x68)},
        {scListBox, RGBToColor(0x1A, 0x24, 0x38)},
        {scMenu, RGBToColor(0x24, 0x32, 0x4C)},
        {scMenuBar, RGBToColor(0x24, 0x32, 0x4C)},
        {scMenuHighlight, RGBToColor(0x2F, 0x6B, 0xD8)},
        {scPanel, RGBToColor(0x2B, 0x3A, 0x55)},
        {scStatusBar, RGBToColor(0x1F, 0x2B, 0x42)},
        {scTabActive, RGBToColor(0x30, 0x44, 0x68)},
        {scTabInactive, RGBToColor(0x22, 0x2F, 0x47)},
        {scToolBar, RGBToColor(0x24, 0x32, 0x4C)},
        {scWindow, RGBToColor(0x2B, 0x3A, 0x55)},
    },
    {
        {sfButtonTextNormal, RGBToColor(0xE8, 0xEE, 0xF7)},
        {sfButtonTextDisabled, RGBToColor(0x7D, 0x8B, 0xA3)},
        {sfGridTitleText, RGBToColor(0xE8, 0xEE, 0xF7)},
        {sfMenuItemTextNormal, RGBToColor(0xE8, 0xEE, 0xF7)},
        {sfMenuItemTextSelected, RGBToColor(0xFF, 0xFF, 0xFF)},
        {sfPanelTextNormal, RGBToColor(0xE8, 0xEE, 0xF7)},
        {sfTabTextActive, RGBToColor(0xFF, 0xFF, 0xFF)},
        {sfTabTextInactive, RGBToColor(0xB8, 0xC4, 0xD8)},
        {sfWindowTextNormal, RGBToColor(0xE8, 0xEE, 0xF7)},
    });

// clang-format on

TCustomStyleServices g_system_style(TStyleManager::kSystemStyleName, nullptr);
TCustomStyleServices g_sky(L"Sky", &kSky);
TCustomStyleServices g_cobalt(L"COBALTXEMEDIA", &kCobalt);
TCustomStyleServices* const kStyles[] = {&g_system_style, &g_sky, &g_cobalt};
TCustomStyleServices* g_active = &g_system_style;

// What the system itself uses for each element when no style is active.
constexpr TColor kSystemElements[scStyleColorCount] = {
    clBtnShadow,  // scBorder
    clBtnFace,    // scButtonDisabled
    clBtnFace,    // scButtonFocused
    clBtnFace,    // scButtonHot
    clBtnFace,    // scButtonNormal
    clBtnFace,    // scButtonPressed
    clWindow,     // scEdit
    clWindow,     // scGrid
    clBtnFace,    // scGridTitle
    clWindow,     // scListBox
    clMenu,       // scMenu
    clMenuBar,    // scMenuBar
    clHighlight,  // scMenuHighlight
    clBtnFace,    // scPanel
    clBtnFace,    // scStatusBar
    clWindow,     // scTabActive
    clBtnFace,    // scTabInactive
    clBtnFace,    // scToolBar
    clBtnFace,    // scWindow
};
constexpr TColor kSystemFonts[sfStyleFontCount] = {
    clBtnText,        // sfButtonTextNormal
    clGrayText,       // sfButtonTextDisabled
    clBtnText,        // sfGridTitleText
    clMenuText,       // sfMenuItemTextNormal
    clHighlightText,  // sfMenuItemTextSelected
    clBtnText,        // sfPanelTextNormal
    clBtnText,        // sfTabTextActive
    clBtnText,        // sfTabTextInactive
    clWindowText,     // sfWindowTextNormal
};

TColor ResolveSystemColor(TColor color) { return g_active->GetSystemColor(color); }

TCustomStyleServices* FindStyle(const String& name) {
  for (TCustomStyleServices* s : kStyles)
    if (rtl::SameText(s->Name(), name)) return s;
  return nullptr;
}

// Brushes keep the GDI brush they made for the old colours; touching the colour makes them build it again.
void RefreshBrushes(TWinControl* control) {
  TBrush* brush = control->Brush();
  TBrushStyle style = brush->Style();
  TColor color = brush->Color();
  brush->SetColor(color == clBlack ? clWhite : clBlack);
  brush->SetColor(color);
  brush->SetStyle(style);
  for (int i = 0; i < control->ControlCount(); ++i)
    if (control->Controls(i)->IsWindowed()) RefreshBrushes(static_cast<TWinControl*>(control->Controls(i)));
}

void RepaintForms() {
  if (!Screen) return;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    RefreshBrushes(form);
    if (form->HandleAllocated())
      RedrawWindow(form->Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

}  // namespace

TColor TCustomStyleServices::GetSystemColor(TColor color) const {
  if (color >= 0 || !palette_) return color;
  int index = color & 0xFF;
  if (index >= kSystemColorCount || palette_->system[index] == kUnset) return color;
  return palette_->system[index];
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor element) const {
  if (element < 0 || element >= scStyleColorCount) return clNone;
  if (palette_ && palette_->elements[element] != kUnset) return palette_->elements[element];
  return GetSystemColor(kSystemElements[element]);
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont font) const {
  if (font < 0 || font >= sfStyleFontCount) return clNone;
  if (palette_ && palette_->fonts[font] != kUnset) return palette_->fonts[font];
  return GetSystemColor(kSystemFonts[font]);
}

TCustomStyleServices& StyleServices() { return *g_active; }

std::vector<String> TStyleManager::StyleNames() {
  std::vector<String> names;
  for (TCustomStyleServices* s : kStyles) names.push_back(s->Name());
  return names;
}

bool TStyleManager::IsValidStyle(const String& name) { return FindStyle(name) != nullptr; }

void TStyleManager::SetStyle(const String& name) {
  TCustomStyleServices* style = FindStyle(name);
  if (!style) throw EStyleEngineException(L"Style '" + name + L"' not found");
  if (style == g_active) return;
  g_active = style;
  SetSystemColorResolver(style->IsSystemStyle() ? nullptr : &ResolveSystemColor);
  RepaintForms();
}

bool TStyleManager::TrySetStyle(const String& name, bool showErrorDialog) {
  try {
    SetStyle(name);
    return true;
  } catch (const EStyleEngineException&) {
    if (showErrorDialog && Application) Application->HandleException(nullptr);
    return false;
  }
}

}  // namespace vcl
