#pragma once
// Visual styles: a named palette that forms, panels, buttons, menus, tabs and grid titles take their colours from.
//
// The program's look is one of the styles built into it ("Sky", "COBALTXEMEDIA") or the system's own look
// ("Windows", the default). While a style other than the system's is active, every system colour (clBtnFace,
// clWindow, clHighlight...) resolves to the style's value wherever the library turns a colour into RGB, so
// controls that paint with system colours follow the style without knowing of it. Controls that draw themselves
// ask StyleServices() for the colour of the element they draw (button face in its state, tab, grid title...).
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/colors.h"

namespace vcl {

using rtl::String;

class EStyleEngineException : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// The parts of the user interface a style colours.
enum TStyleColor {
  scBorder,
  scButtonDisabled,
  scButtonFocused,
  scButtonHot,
  scButtonNormal,
  scButtonPressed,
  scEdit,
  scGrid,
  scGridTitle,
  scListBox,
  scMenu,
  scMenuBar,
  scMenuHighlight,
  scPanel,
  scStatusBar,
  scTabActive,
  scTabInactive,
  scToolBar,
  scWindow,
  scStyleColorCount
};

// The texts a style colours.
enum TStyleFont {
  sfButtonTextNormal,
  sfButtonTextDisabled,
  sfGridTitleText,
  sfMenuItemTextNormal,
  sfMenuItemTextSelected,
  sfPanelTextNormal,
  sfTabTextActive,
  sfTabTextInactive,
  sfWindowTextNormal,
  sfStyleFontCount
};

// One style. The system style answers with the system's colours and leaves system colours to the system.
class TCustomStyleServices {
 public:
  struct Palette;
  TCustomStyleServices(const String& name, const Palette* palette) : name_(name), palette_(palette) {}
  const String& Name() const { return name_; }
  bool IsSystemStyle() const { return palette_ == nullptr; }
  // True when the style changes the look (any style but the system's).
  bool Enabled() const { return !IsSystemStyle(); }
  // The RGB value the style gives a system colour; other colours come back as they are.
  TColor GetSystemColor(TColor color) const;
  TColor GetStyleColor(TStyleColor element) const;
  TColor GetStyleFontColor(TStyleFont font) const;

 private:
  String name_;
  const Palette* palette_;
};

// The active style of the application.
TCustomStyleServices& StyleServices();

class TStyleManager {
 public:
  static constexpr const wchar_t* kSystemStyleName = L"Windows";
  // The names of the styles the program can apply, the system style first.
  static std::vector<String> StyleNames();
  static bool IsValidStyle(const String& name);
  // Applies the style (names compare without regard to ASCII case); an unknown name raises EStyleEngineException.
  static void SetStyle(const String& name);
  // As SetStyle, but reports failure by the result; with showErrorDialog the application's error box shows why.
  static bool TrySetStyle(const String& name, bool showErrorDialog = true);
  static TCustomStyleServices& ActiveStyle() { return StyleServices(); }
};

}  // namespace vcl
