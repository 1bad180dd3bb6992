// Menus over Win32 menu handles. Each item has a command id unique in the process, so a WM_COMMAND finds its item
// whichever window receives it.
#include "platform/vcl/menus.h"

#include <algorithm>
#include <map>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/imagelist.h"

namespace vcl {

namespace {
std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> map;
  return map;
}
UINT g_next_command = 100;
}  // namespace

TMenuItem* FindMenuItemByCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

String StripHotkey(const String& caption) {
  String r;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&') {
      if (i + 1 < caption.size() && caption[i + 1] == L'&') {
        r += L'&';
        ++i;
      }
      continue;
    }
    r += caption[i];
  }
  return r;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  command_ = g_next_command++;
  if (g_next_command >= 0xF000) g_next_command = 100;
  Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
  Commands().erase(command_);
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    items_.pop_back();
    child->parent_ = nullptr;
    if (!child->Owner()) child->Free();
  }
  if (parent_) parent_->Remove(this);
  if (handle_) DestroyMenu(handle_);
}

void TMenuItem::SetCaption(const String& value) {
  if (caption_ == value) return;
  caption_ = value;
  Changed();
}
void TMenuItem::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Changed();
}
void TMenuItem::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}
void TMenuItem::SetChecked(bool value) {
  if (checked_ == value) return;
  checked_ = value;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (radio_item_ == value) return;
  radio_item_ = value;
  Changed();
}
void TMenuItem::SetBreak(TMenuBreak value) {
  if (break_ == value) return;
  break_ = value;
  Changed();
}
void TMenuItem::SetImageIndex(int value) {
  if (image_index_ == value) return;
  image_index_ = value;
  Changed();
}
TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}
bool TMenuItem::HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }

void TMenu::SetImages(TCustomImageList* value) {
  if (images_ == value) return;
  images_ = value;
  if (value) value->FreeNotification(this);
  MenuChanged();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

void TMenuItem::SetDrawHandlers(TMenuMeasureItemEvent measure, TAdvancedMenuDrawItemEvent draw, const void* owner) {
  OnMeasureItem = std::move(measure);
  OnAdvancedDrawItem = std::move(draw);
  draw_owner_ = OnAdvancedDrawItem || OnMeasureItem ? owner : nullptr;
  Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (parent_) parent_->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TMenuItem* i : items_) proc(i);
}

void TMenuItem::Changed() {
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

void TMenuItem::AppendTo(HMENU menu) {
  if (!visible_) return;
  // Under a style the items draw themselves: the system draws menus in the system's colours only.
  owner_drawn_ = StyleServices().Enabled() || static_cast<bool>(OnAdvancedDrawItem);
  const auto data = reinterpret_cast<const wchar_t*>(this);
  if (caption_ == L"-") {
    AppendMenuW(menu, MF_SEPARATOR | (owner_drawn_ ? MF_OWNERDRAW : 0), 0, owner_drawn_ ? data : nullptr);
    return;
  }
  UINT flags = (owner_drawn_ ? MF_OWNERDRAW : MF_STRING) | (enabled_ ? 0 : MF_GRAYED) | (checked_ ? MF_CHECKED : 0) |
               (break_ == mbBreak ? MF_MENUBREAK : break_ == mbBarBreak ? MF_MENUBARBREAK : 0);
  const wchar_t* item = owner_drawn_ ? data : caption_.c_str();
  if (!items_.empty())
    AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Handle()), item);
  else
    AppendMenuW(menu, flags, command_, item);
  if (radio_item_) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    const UINT pos = static_cast<UINT>(GetMenuItemCount(menu) - 1);
    if (GetMenuItemInfoW(menu, pos, TRUE, &info)) {
      info.fType |= MFT_RADIOCHECK;
      SetMenuItemInfoW(menu, pos, TRUE, &info);
    }
  }
}

void TMenuItem::SetBackground(HBRUSH brush) {
  if (handle_) {
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = brush;
    SetMenuInfo(handle_, &info);
  }
  for (TMenuItem* i : items_) i->SetBackground(brush);
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    handle_ = CreatePopupMenu();
    for (TMenuItem* i : items_) i->AppendTo(handle_);
  }
  return handle_;
}

void TMenuItem::Rebuild() {
  for (TMenuItem* i : items_) i->Rebuild();
  if (handle_) {
    // A submenu handle stays owned by its parent menu once appended; only our own top handle is destroyed.
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    for (TMenuItem* i : items_) i->AppendTo(handle_);
  }
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* i : items_)
    if (TMenuItem* f = i->FindCommand(command)) return f;
  return nullptr;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
  items_ = new TMenuItem(nullptr);
  items_->menu_ = this;
}

TMenu::~TMenu() {
  delete items_;
  if (handle_) DestroyMenu(handle_);
  ReleaseBrushes();
}

HMENU TMenu::Handle() {
  if (!handle_) {
    handle_ = CreateMenuHandle();
    for (int i = 0; i < items_->Count(); ++i) items_->Items(i)->AppendTo(handle_);
    ApplyStyle();
  }
  return handle_;
}

void TMenu::Reappend() {
  items_->Rebuild();
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  for (int i = 0; i < items_->Count(); ++i) items_->Items(i)->AppendTo(handle_);
}

void TMenu::MenuChanged() {
  if (!handle_) return;
  Reappend();
  // Submenus made by the rebuild have no background yet.
  styled_ = false;
  ApplyStyle();
}

TStyleColor TMenu::StyleElement() const { return scMenu; }

namespace {

TMenuItem* OwnerDrawnItem(ULONG_PTR data) {
  auto* item = reinterpret_cast<TMenuItem*>(data);
  if (!item) return nullptr;
  // Only items still alive: every live item is in the command table.
  TMenuItem* known = FindMenuItemByCommand(item->Command());
  return known == item ? item : nullptr;
}

HFONT MenuFontHandle() {
  static HFONT font = [] {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    return CreateFontIndirectW(&ncm.lfMenuFont);
  }();
  return font;
}

// Items on the bar sit in a row; the others are lines of a dropped or popped menu.
bool OnMenuBar(TMenuItem* item) {
  TMenuItem* parent = item->Parent();
  return parent && !parent->Parent() && dynamic_cast<TMainMenu*>(item->GetParentMenu());
}

constexpr int kCheckWidth = 20;  // the column of check marks in front of the captions
constexpr int kSubmenuWidth = 16;

}  // namespace

bool MenuMeasureItem(MEASUREITEMSTRUCT& mis) {
  if (mis.CtlType != ODT_MENU) return false;
  TMenuItem* item = OwnerDrawnItem(mis.itemData);
  if (!item) return false;
  if (item->OnMeasureItem) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, MenuFontHandle());
    int width = static_cast<int>(mis.itemWidth), height = static_cast<int>(mis.itemHeight);
    {
      TCanvas canvas;
      canvas.SetHandle(dc);
      item->OnMeasureItem(item, &canvas, width, height);
      canvas.SetHandle(nullptr);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    mis.itemWidth = static_cast<UINT>(std::max(width, 0));
    mis.itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
  }
  if (item->Caption() == L"-") {
    mis.itemWidth = 10;
    mis.itemHeight = 7;
    return true;
  }
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, MenuFontHandle());
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, item->Caption().c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (OnMenuBar(item)) {
    mis.itemWidth = static_cast<UINT>(r.right + 12);
    mis.itemHeight = static_cast<UINT>(std::max<LONG>(r.bottom + 4, GetSystemMetrics(SM_CYMENU) - 1));
  } else {
    mis.itemWidth = static_cast<UINT>(r.right + kCheckWidth + kSubmenuWidth + 8);
    mis.itemHeight = static_cast<UINT>(std::max<LONG>(r.bottom + 6, GetSystemMetrics(SM_CYMENUSIZE)));
  }
  return true;
}

bool MenuDrawItem(const DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_MENU) return false;
  TMenuItem* item = OwnerDrawnItem(dis.itemData);
  if (!item) return false;
  if (item->OnAdvancedDrawItem) {
    const int saved = SaveDC(dis.hDC);
    {
      TCanvas canvas;
      canvas.SetHandle(dis.hDC);
      item->OnAdvancedDrawItem(item, &canvas, TRect(dis.rcItem), dis.itemState);
      canvas.SetHandle(nullptr);
    }
    RestoreDC(dis.hDC, saved);
    return true;
  }
  const TCustomStyleServices& style = StyleServices();
  const bool bar = OnMenuBar(item);
  const bool selected = (dis.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) && !(dis.itemState & ODS_GRAYED);
  TColor back = selected ? style.GetStyleColor(scMenuHighlight) : style.GetStyleColor(bar ? scMenuBar : scMenu);
  HDC dc = dis.hDC;
  RECT r = dis.rcItem;
  HBRUSH brush = CreateSolidBrush(ColorToGdi(back));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  if (item->Caption() == L"-") {
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToGdi(style.GetStyleColor(scBorder)));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int y = (r.top + r.bottom) / 2;
    MoveToEx(dc, r.left + 4, y, nullptr);
    LineTo(dc, r.right - 4, y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return true;
  }
  TColor text = (dis.itemState & ODS_GRAYED) ? style.GetSystemColor(clGrayText)
                : selected                   ? style.GetStyleFontColor(sfMenuItemTextSelected)
                                             : style.GetStyleFontColor(sfMenuItemTextNormal);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGdi(text));
  HGDIOBJ oldFont = SelectObject(dc, MenuFontHandle());
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | ((dis.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  if (bar) {
    DrawTextW(dc, item->Caption().c_str(), -1, &r, format | DT_CENTER);
  } else {
    if (item->Checked()) {
      RECT check{r.left + 2, r.top, r.left + kCheckWidth - 2, r.bottom};
      DrawTextW(dc, L"\x2713", 1, &check, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    RECT t{r.left + kCheckWidth, r.top, r.right - kSubmenuWidth, r.bottom};
    DrawTextW(dc, item->Caption().c_str(), -1, &t, format);
  }
  SelectObject(dc, oldFont);
  return true;
}

void TMenu::ApplyStyle() {
  if (!handle_) return;
  const TCustomStyleServices& style = StyleServices();
  if (styled_ && styled_with_ == &style) return;
  // Items appended under another style draw the wrong way (themselves, or by the system).
  const bool reappend = styled_ && styled_with_ != &style;
  if (reappend) Reappend();
  // Under the system style a null brush gives the handles back the system's own menu colours.
  HBRUSH own = nullptr, popups = nullptr;
  if (style.Enabled()) {
    own = CreateSolidBrush(ColorToGdi(style.GetStyleColor(StyleElement())));
    popups = CreateSolidBrush(ColorToGdi(style.GetStyleColor(scMenu)));
  }
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = own;
  SetMenuInfo(handle_, &info);
  items_->SetBackground(popups);
  // The menus no longer refer to the old brushes.
  ReleaseBrushes();
  own_brush_ = own;
  popup_brush_ = popups;
  styled_with_ = &style;
  styled_ = true;
  if (reappend) ItemsReappended();
}

void TMenu::ReleaseBrushes() {
  if (own_brush_) DeleteObject(own_brush_);
  if (popup_brush_) DeleteObject(popup_brush_);
  own_brush_ = popup_brush_ = nullptr;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = items_->FindCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < items_->Count(); ++i) proc(items_->Items(i));
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}
HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }
TStyleColor TMainMenu::StyleElement() const { return scMenuBar; }

void TMainMenu::ItemsReappended() {
  // Owner-drawn items measure differently: the frame makes room for the bar again.
  if (window_ && IsWindow(window_) && ::GetMenu(window_) == handle_) DrawMenuBar(window_);
}

void TMainMenu::PaintBarRest(HWND wnd) {
  if (!handle_ || !StyleServices().Enabled() || ::GetMenu(wnd) != handle_) return;
  MENUBARINFO bar{};
  bar.cbSize = sizeof(bar);
  if (!GetMenuBarInfo(wnd, OBJID_MENU, 0, &bar)) return;
  RECT rest = bar.rcBar;
  const int count = GetMenuItemCount(handle_);
  RECT last;
  if (count > 0 && GetMenuItemRect(wnd, handle_, static_cast<UINT>(count - 1), &last) && last.top == rest.top)
    rest.left = last.right;
  RECT window;
  GetWindowRect(wnd, &window);
  OffsetRect(&rest, -window.left, -window.top);
  if (rest.right <= rest.left) return;
  HDC dc = GetWindowDC(wnd);
  HBRUSH brush = CreateSolidBrush(ColorToGdi(StyleServices().GetStyleColor(scMenuBar)));
  FillRect(dc, &rest, brush);
  DeleteObject(brush);
  ReleaseDC(wnd, dc);
}
void TMainMenu::MenuChanged() {
  TMenu::MenuChanged();
  if (window_ && IsWindow(window_)) DrawMenuBar(window_);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}
HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HWND owner = GetActiveWindow();
  Handle();
  ApplyStyle();  // the style may have changed since the menu last opened
  UINT cmd = TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  if (cmd) DispatchCommand(cmd);
}

VCL_REGISTER(TMenuItem) {
  cls.Prop(L"Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  cls.Prop(L"Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  cls.Prop(L"Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  cls.Prop(L"Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  cls.Prop(L"Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  cls.Prop(L"RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  cls.Prop(L"Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
  cls.Prop(L"ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  cls.Prop(L"OnClick", &TMenuItem::OnClick);
}
VCL_REGISTER(TMenu) {}
VCL_REGISTER(TMainMenu) {}
VCL_REGISTER(TPopupMenu) { cls.Prop(L"OnPopup", &TPopupMenu::OnPopup); }

}  // namespace vcl
