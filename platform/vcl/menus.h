#pragma once
// Menus: items form a tree of components; a main menu sits on a form's frame, a popup menu opens at a point.
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/canvas.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/styles.h"

namespace vcl {

class TMenu;
class TBitmap;
class TCustomImageList;

// An item that starts a new column of its popup (mbBarBreak: with a line between the columns).
VCL_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak)

class TMenuItem : public TComponent {
  VCL_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& v) { hint_ = v; }
  // Checked shows a round mark instead of a tick.
  bool RadioItem() const { return radio_item_; }
  void SetRadioItem(bool value);
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak value);
  // The item's picture: its own bitmap (made on first use, owned), else entry ImageIndex of the menu's Images.
  TBitmap* Bitmap();
  bool HasBitmap() const;
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int value);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_[index]; }
  TMenuItem* Parent() const { return parent_; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  TMenu* GetParentMenu() const;

  UINT Command() const { return command_; }
  // The submenu handle (items with children), rebuilt after changes.
  HMENU Handle();
  virtual void Click();
  // Finds the item with the command id in this tree.
  TMenuItem* FindCommand(UINT command);

  TNotifyEvent OnClick;
  // An item with a draw handler is drawn by it (owner drawn) whatever the style; its measure handler, when set,
  // gives the size. State: the ODS_ bits of the draw request.
  using TMenuMeasureItemEvent = std::function<void(rtl::TObject* sender, TCanvas* canvas, int& width, int& height)>;
  using TAdvancedMenuDrawItemEvent =
      std::function<void(rtl::TObject* sender, TCanvas* canvas, const TRect& rect, UINT state)>;
  TMenuMeasureItemEvent OnMeasureItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  // Whoever set the handlers above through SetDrawHandlers (so that it can take back exactly its own).
  const void* DrawHandlersOwner() const { return draw_owner_; }
  // Sets or clears both handlers and lays the menu out again (owner drawing follows the draw handler).
  void SetDrawHandlers(TMenuMeasureItemEvent measure, TAdvancedMenuDrawItemEvent draw, const void* owner);
  // Appended as an owner-drawn item (by a style or by a draw handler).
  bool OwnerDrawn() const { return owner_drawn_; }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

 private:
  friend class TMenu;
  void Changed();
  void SetBackground(HBRUSH brush);
  void Rebuild();
  void AppendTo(HMENU menu);

  String caption_;
  String hint_;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
  bool radio_item_ = false;
  TMenuBreak break_ = mbNone;
  int image_index_ = -1;
  std::unique_ptr<TBitmap> bitmap_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  std::vector<TMenuItem*> items_;
  UINT command_ = 0;
  HMENU handle_ = nullptr;
  bool owner_drawn_ = false;  // appended to draw itself in the active style
  const void* draw_owner_ = nullptr;
};

class TMenu : public TComponent {
  VCL_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  // The pictures of the items that name an ImageIndex (not owned).
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  virtual HMENU Handle();
  // A command id from WM_COMMAND: clicks the item that has it; false when none does.
  bool DispatchCommand(UINT command);
  virtual void MenuChanged();
  // Gives the menu and its submenus the active style's background (the system's own look under the system
  // style). Cheap when the style has not changed since the last call, so callers may call it before each paint.
  void ApplyStyle();
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  TMenuItem* items_ = nullptr;
  HMENU handle_ = nullptr;
  TCustomImageList* images_ = nullptr;
  virtual HMENU CreateMenuHandle() = 0;
  // The style element that colours this menu's own handle (the bar of a main menu, the box of a popup).
  virtual TStyleColor StyleElement() const;
  // The items were appended again (another style): a menu on show lays itself out anew.
  virtual void ItemsReappended() {}
  friend class TMenuItem;

 private:
  void ReleaseBrushes();
  void Reappend();
  const void* styled_with_ = nullptr;  // the style whose colours the handles carry
  bool styled_ = false;
  HBRUSH own_brush_ = nullptr;
  HBRUSH popup_brush_ = nullptr;
};

class TMainMenu : public TMenu {
  VCL_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* owner);
  // The form whose frame shows the menu.
  void SetWindow(HWND wnd) { window_ = wnd; }
  void MenuChanged() override;
  // After the frame painted: the part of the bar right of the last item in the style's bar colour (the system
  // fills it in its own colour whatever the menu's background).
  void PaintBarRest(HWND wnd);

 protected:
  HMENU CreateMenuHandle() override;
  TStyleColor StyleElement() const override;
  void ItemsReappended() override;

 private:
  HWND window_ = nullptr;
};

class TPopupMenu : public TMenu {
  VCL_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* owner);
  void Popup(int x, int y);
  TComponent* PopupComponent() const { return popup_component_; }
  void SetPopupComponent(TComponent* c) { popup_component_ = c; }
  TNotifyEvent OnPopup;

 protected:
  HMENU CreateMenuHandle() override;

 private:
  TComponent* popup_component_ = nullptr;
};

// The owner window of a menu passes WM_MEASUREITEM / WM_DRAWITEM of menu items here; true when the item is one of
// ours (drawn in the active style).
bool MenuMeasureItem(MEASUREITEMSTRUCT& mis);
bool MenuDrawItem(const DRAWITEMSTRUCT& dis);

// "&File" -> "File".
String StripHotkey(const String& caption);
// The items of every live menu by command id (commands are unique in the process).
TMenuItem* FindMenuItemByCommand(UINT command);

}  // namespace vcl
