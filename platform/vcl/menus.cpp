// Menus over Win32 menu handles. Each item has a command id unique in the process, so a WM_COMMAND finds its item
// whichever window receives it.
#include "platform/vcl/menus.h"

#include <algorithm>
#include <map>

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
  if (caption_ == L"-") {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING | (enabled_ ? 0 : MF_GRAYED) | (checked_ ? MF_CHECKED : 0);
  if (!items_.empty())
    AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Handle()), caption_.c_str());
  else
    AppendMenuW(menu, flags, command_, caption_.c_str());
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
}

HMENU TMenu::Handle() {
  if (!handle_) {
    handle_ = CreateMenuHandle();
    for (int i = 0; i < items_->Count(); ++i) items_->Items(i)->AppendTo(handle_);
  }
  return handle_;
}

void TMenu::MenuChanged() {
  if (!handle_) return;
  items_->Rebuild();
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  for (int i = 0; i < items_->Count(); ++i) items_->Items(i)->AppendTo(handle_);
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
void TMainMenu::MenuChanged() {
  TMenu::MenuChanged();
  if (window_ && IsWindow(window_)) DrawMenuBar(window_);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}
HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HWND owner = GetActiveWindow();
  UINT cmd = TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  if (cmd) DispatchCommand(cmd);
}

VCL_REGISTER(TMenuItem) {
  cls.Prop(L"Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  cls.Prop(L"Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  cls.Prop(L"Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  cls.Prop(L"Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  cls.Prop(L"Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  cls.Prop(L"OnClick", &TMenuItem::OnClick);
}
VCL_REGISTER(TMenu) {}
VCL_REGISTER(TMainMenu) {}
VCL_REGISTER(TPopupMenu) { cls.Prop(L"OnPopup", &TPopupMenu::OnPopup); }

}  // namespace vcl
