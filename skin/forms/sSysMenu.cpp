// The window menu of a skinned form and the small persistent classes of its caption.
#include "skin/forms/sSysMenu.h"

#include <algorithm>

#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStrings.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sMaskPaint.h"

namespace {

// The text of a window-menu entry split at its tab: caption and shortcut text; False (and the default caption)
// when the menu has no such entry.
bool GetItemText(HMENU menu, UINT id, UINT flags, const rtl::String& def, rtl::String& caption, rtl::String& shortcut) {
  wchar_t buffer[256] = {};
  const int n = menu ? GetMenuStringW(menu, id, buffer, 255, flags) : 0;
  if (n <= 0) {
    caption = def;
    shortcut.clear();
    return false;
  }
  const rtl::String text(buffer, static_cast<size_t>(std::min(n, 255)));
  const size_t tab = text.find(L'\t');
  caption = tab == rtl::String::npos ? text : text.substr(0, tab);
  shortcut = tab == rtl::String::npos ? rtl::String() : text.substr(tab + 1);
  return true;
}

bool IsIconicForm(vcl::TForm* f) { return f->HandleAllocated() && IsIconic(f->Handle()); }
bool IsMainForm(vcl::TForm* f) { return vcl::Application && vcl::Application->MainForm() == f; }

}  // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider* owner) : TsCustomSysMenu(owner), FOwner(owner), FForm(owner->Form) {
  SetName(L"lvSysMenu" + rtl::IntToStr(static_cast<int>(GetTickCount() & 0x7FFFFFFF)));
  Generate();
}

vcl::TMenuItem* TsSystemMenu::CreateSystemItem(const rtl::String& caption, const rtl::String& name,
                                               std::function<void(rtl::TObject*)> click) {
  auto* item = new vcl::TMenuItem(this);
  item->SetCaption(caption);
  item->OnClick = std::move(click);
  item->SetName(name);
  return item;
}

void TsSystemMenu::Generate() {
  vcl::TMenuItem* root = Items();
  while (root->Count() > 0) delete root->Items(root->Count() - 1);
  SubMenu = ItemMove = ItemSize = ItemClose = ItemRestore = ItemMinimize = ItemMaximize = nullptr;
  ExtItemsCount = 0;
  HMENU h = FForm->HandleAllocated() ? GetSystemMenu(FForm->Handle(), FALSE) : nullptr;
  if (!h) return;
  rtl::String caption, shortcut;
  auto add = [&](vcl::TMenuItem*& field, UINT command, const rtl::String& def, const wchar_t* name,
                 void (TsSystemMenu::*click)(rtl::TObject*)) {
    GetItemText(h, command, MF_BYCOMMAND, def, caption, shortcut);
    field = CreateSystemItem(caption, name, [this, click](rtl::TObject* s) { (this->*click)(s); });
    field->SetTag(command);
    root->Add(field);
  };
  add(ItemRestore, SC_RESTORE, lvs_RestoreStr, L"lvIR", &TsSystemMenu::RestoreClick);
  add(ItemMove, SC_MOVE, lvs_MoveStr, L"lvIM", &TsSystemMenu::MoveClick);
  add(ItemSize, SC_SIZE, lvs_SizeStr, L"lvIS", &TsSystemMenu::SizeClick);
  add(ItemMinimize, SC_MINIMIZE, lvs_MinimizeStr, L"lvIN", &TsSystemMenu::MinClick);
  add(ItemMaximize, SC_MAXIMIZE, lvs_MaximizeStr, L"lvIX", &TsSystemMenu::MaxClick);
  auto separator = [&]() {
    auto* s = new vcl::TMenuItem(this);
    s->SetCaption(L"-");
    root->Add(s);
  };
  separator();
  const int count = GetMenuItemCount(h);
  for (int p = 0; p < count; ++p) {
    const UINT id = GetMenuItemID(h, p);
    if (id >= 0xF000 && id <= 0xF1FF) continue;
    if (!GetItemText(h, static_cast<UINT>(p), MF_BYPOSITION, L"", caption, shortcut) || caption.empty()) continue;
    auto* item = CreateSystemItem(caption, L"", [this](rtl::TObject* s) { ExtClick(s); });
    item->SetTag(id);
    root->Add(item);
    ++ExtItemsCount;
  }
  if (ExtItemsCount > 0) separator();
  GetItemText(h, SC_CLOSE, MF_BYCOMMAND, lvs_CloseStr, caption, shortcut);
  ItemClose = CreateSystemItem(caption, L"lvIC", [this](rtl::TObject* s) { CloseClick(s); });
  ItemClose->SetTag(SC_CLOSE);
  ItemClose->SetEnabled(EnabledClose());
  root->Add(ItemClose);
}

void TsSystemMenu::MakeSkinItems() {}

void TsSystemMenu::UpdateItems(bool full) {
  if (full || !ItemClose) Generate();
  auto set = [](vcl::TMenuItem* item, bool visible, bool enabled) {
    if (!item) return;
    item->SetVisible(visible);
    item->SetEnabled(enabled);
  };
  set(ItemRestore, VisibleRestore(), EnabledRestore());
  set(ItemMove, true, EnabledMove());
  set(ItemSize, VisibleSize(), EnabledSize());
  set(ItemMinimize, VisibleMin(), EnabledMin());
  set(ItemMaximize, VisibleMax(), EnabledMax());
  set(ItemClose, VisibleClose(), EnabledClose());
}

bool TsSystemMenu::VisibleRestore() {
  if (!FOwner->HaveSysMenu()) return false;
  if (FForm->FormStyle() == vcl::fsMDIChild) return true;
  const auto bs = FForm->BorderStyle();
  return !(bs == vcl::bsNone || bs == vcl::bsDialog || bs == vcl::bsToolWindow || bs == vcl::bsSizeToolWin);
}

bool TsSystemMenu::VisibleSize() {
  if (FForm->FormStyle() == vcl::fsMDIChild) return true;
  const auto bs = FForm->BorderStyle();
  return !(bs == vcl::bsNone || bs == vcl::bsDialog || bs == vcl::bsToolWindow);
}

bool TsSystemMenu::VisibleMin() {
  if (!FOwner->HaveSysMenu()) return false;
  if (IsIconicForm(FForm) || FForm->FormStyle() == vcl::fsMDIChild) return true;
  const auto bs = FForm->BorderStyle();
  if (bs == vcl::bsNone || bs == vcl::bsDialog || bs == vcl::bsToolWindow || bs == vcl::bsSizeToolWin) return false;
  return FForm->BorderIcons().Contains(vcl::biMinimize);
}

bool TsSystemMenu::VisibleMax() {
  if (!FOwner->HaveSysMenu()) return false;
  if (IsIconicForm(FForm) && !IsMainForm(FForm)) return true;
  if (FForm->FormStyle() == vcl::fsMDIChild) return true;
  const auto bs = FForm->BorderStyle();
  if ((bs == vcl::bsSingle && !FForm->BorderIcons().Contains(vcl::biMaximize)) || bs == vcl::bsNone ||
      bs == vcl::bsDialog || bs == vcl::bsToolWindow || bs == vcl::bsSizeToolWin)
    return false;
  return FForm->BorderIcons().Contains(vcl::biMaximize);
}

bool TsSystemMenu::VisibleClose() {
  if (!FOwner->HaveSysMenu() || !FForm->HandleAllocated()) return false;
  HMENU h = GetSystemMenu(FForm->Handle(), FALSE);
  return h && GetMenuState(h, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool TsSystemMenu::EnabledRestore() {
  const auto ws = FForm->WindowState();
  return (FForm->BorderIcons().Contains(vcl::biMaximize) && ws != vcl::wsNormal) || ws == vcl::wsMinimized;
}

bool TsSystemMenu::EnabledMove() { return FForm->WindowState() != vcl::wsMaximized; }

bool TsSystemMenu::EnabledSize() { return FForm->BorderStyle() != vcl::bsSingle && !IsIconicForm(FForm); }

bool TsSystemMenu::EnabledMin() {
  return FForm->BorderIcons().Contains(vcl::biMinimize) && !(IsIconicForm(FForm) && !IsMainForm(FForm));
}

bool TsSystemMenu::EnabledMax() {
  const auto bs = FForm->BorderStyle();
  return (FForm->FormStyle() == vcl::fsMDIChild || bs == vcl::bsSingle || bs == vcl::bsSizeable) &&
         FForm->BorderIcons().Contains(vcl::biMaximize);
}

bool TsSystemMenu::EnabledClose() {
  if (!FForm->HandleAllocated()) return true;
  HMENU h = GetSystemMenu(FForm->Handle(), FALSE);
  if (!h) return true;
  const UINT state = GetMenuState(h, SC_CLOSE, MF_BYCOMMAND);
  return state == static_cast<UINT>(-1) || !(state & MF_DISABLED);
}

void TsSystemMenu::SendCommand(WPARAM command) {
  if (FForm->HandleAllocated()) SendMessageW(FForm->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSystemMenu::RestoreClick(rtl::TObject*) {
  SendCommand(SC_RESTORE);
  UpdateItems(false);
}
void TsSystemMenu::MoveClick(rtl::TObject*) { SendCommand(SC_MOVE); }
void TsSystemMenu::SizeClick(rtl::TObject*) { SendCommand(SC_SIZE); }
void TsSystemMenu::MinClick(rtl::TObject*) {
  FOwner->SkipAnimation = true;
  SendCommand(SC_MINIMIZE);
  FOwner->SkipAnimation = false;
  UpdateItems(false);
}
void TsSystemMenu::MaxClick(rtl::TObject*) {
  SendCommand(SC_MAXIMIZE);
  UpdateItems(false);
}
void TsSystemMenu::CloseClick(rtl::TObject*) { SendCommand(SC_CLOSE); }
void TsSystemMenu::ExtClick(rtl::TObject* sender) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (item && FForm->HandleAllocated())
    PostMessageW(FForm->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(item->Tag()), 0);
}
void TsSystemMenu::SkinSelect(rtl::TObject* sender) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  TsSkinManager* m = FOwner->SkinManager();
  if (!item || !m) return;
  rtl::String name;
  for (wchar_t c : item->Caption())
    if (c != L'&') name += c;
  const size_t at = name.find(lvs_InternalSkin);
  if (at != rtl::String::npos) name = name.substr(0, at + lvs_InternalSkin.size());
  m->SetSkinName(name);
}

// ---- The provider's side of the window menu ---------------------------------------------------------------------

void TsSkinProvider::DropSysMenu(int x, int y) {
  if (!SystemMenu) PrepareForm();
  if (!SystemMenu || !Form->HandleAllocated()) return;
  const HWND w = Form->Handle();
  HMENU h = GetSystemMenu(w, FALSE);
  if (!h) return;
  // The real window menu, its commands enabled as the caption buttons are; WS_VISIBLE is taken away meanwhile so
  // that the system does not draw its own caption.
  SystemMenu->UpdateItems(SystemMenu->ExtItemsCount > 0);
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  SetWindowLongPtrW(w, GWL_STYLE, style & ~WS_VISIBLE);
  auto enable = [h](UINT command, bool on) {
    EnableMenuItem(h, command, MF_BYCOMMAND | (on ? MF_ENABLED : (MF_GRAYED | MF_DISABLED)));
  };
  enable(SC_RESTORE, SystemMenu->VisibleRestore() && SystemMenu->EnabledRestore());
  enable(SC_MOVE, SystemMenu->EnabledMove() && !IsIconic());
  enable(SC_SIZE, SystemMenu->VisibleSize() && SystemMenu->EnabledSize() && Form->WindowState() == vcl::wsNormal);
  enable(SC_MINIMIZE, SystemMenu->VisibleMin() && SystemMenu->EnabledMin());
  enable(SC_MAXIMIZE, SystemMenu->VisibleMax() && SystemMenu->EnabledMax());
  enable(SC_CLOSE, SystemMenu->VisibleClose() && SystemMenu->EnabledClose());
  SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | (style & WS_VISIBLE));
  const UINT command = static_cast<UINT>(TrackPopupMenu(h, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, w, nullptr));
  if (command) PostMessageW(w, WM_SYSCOMMAND, command, 0);
}

void TsSkinProvider::CheckSysMenu(bool skinned) {
  if (!Form->HandleAllocated()) return;
  const HWND w = Form->Handle();
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  if (skinned && FDrawNonClientArea) {
    if (style & WS_SYSMENU) SetWindowLongPtrW(w, GWL_STYLE, style & ~WS_SYSMENU);
  } else if (skinned) {
    SetWindowLongPtrW(w, GWL_STYLE, style | WS_SYSMENU);
  } else if (HaveSysMenu()) {
    if (!(style & WS_SYSMENU)) SetWindowLongPtrW(w, GWL_STYLE, style | WS_SYSMENU);
    SendMessageW(w, WM_SETICON, ICON_SMALL, SendMessageW(w, WM_GETICON, ICON_SMALL, 0));
  }
}

void TsSkinProvider::UpdateIconsIndexes() {
  TsSkinManager* m = SkinManager();
  const auto bs = Form->BorderStyle();
  BigButtons = bs == vcl::bsSingle || bs == vcl::bsSizeable;
  if (!m || !m->IsValidSkinIndex(m->ConstData.IndexGLobalInfo)) return;
  const TConstantSkinData& c = m->ConstData;
  ButtonMin.HitCode = HTMINBUTTON;
  ButtonMax.HitCode = HTMAXBUTTON;
  ButtonClose.HitCode = HTCLOSE;
  ButtonHelp.HitCode = HTHELP;
  auto big = [&]() {
    ButtonMin.ImageIndex = c.MaskMinBtn;
    ButtonMax.ImageIndex = c.MaskMaxBtn;
    ButtonHelp.ImageIndex = c.MaskHelpBtn;
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp}) b->HaveAlignment = true;
  };
  if (BigButtons) {
    big();
    const bool alone = !SystemMenu || (!SystemMenu->VisibleMax() && !SystemMenu->VisibleMin());
    ButtonClose.ImageIndex = alone && c.MaskCloseAloneBtn >= 0 ? c.MaskCloseAloneBtn : c.MaskCloseBtn;
  } else {
    ButtonClose.ImageIndex = c.MaskCloseSmall;
    ButtonMin.ImageIndex = c.MaskMinSmall;
    ButtonMax.ImageIndex = c.MaskMaxSmall;
    ButtonHelp.ImageIndex = c.MaskHelpSmall >= 0 ? c.MaskHelpSmall : c.MaskHelpBtn;
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp}) b->HaveAlignment = false;
  }
  const bool mdiMain = Form->FormStyle() == vcl::fsMDIForm && !m->ComponentState().Contains(vcl::csDesigning);
  if (ButtonClose.ImageIndex < 0) {
    big();
    ButtonClose.ImageIndex = c.MaskCloseBtn;
    if (mdiMain) {
      MDIMin.ImageIndex = c.MaskMinBtn;
      MDIMax.ImageIndex = c.MaskMaxBtn;
      MDIClose.ImageIndex = c.MaskCloseBtn;
    }
    for (TsCaptionButton* b : {&MDIMin, &MDIMax, &MDIClose}) b->HaveAlignment = true;
  } else {
    if (mdiMain) {
      MDIMin.ImageIndex = c.MaskMinSmall;
      MDIMax.ImageIndex = c.MaskMaxSmall;
      MDIClose.ImageIndex = c.MaskCloseSmall;
      for (TsCaptionButton* b : {&MDIMin, &MDIMax, &MDIClose}) b->HaveAlignment = false;
    }
    if (MDIMin.ImageIndex < 0) {
      MDIMin.ImageIndex = ButtonMin.ImageIndex;
      MDIMax.ImageIndex = ButtonMax.ImageIndex;
      MDIClose.ImageIndex = ButtonClose.ImageIndex;
      for (TsCaptionButton* b : {&MDIMin, &MDIMax, &MDIClose}) b->HaveAlignment = true;
    }
  }
  UserBtnIndex = m->GetMaskIndex(c.IndexGLobalInfo, L"TITLEBUTTON");
}

// ---- Caption classes ----------------------------------------------------------------------------------------------

TsTitleIcon::TsTitleIcon(TsSkinProvider* owner) : FOwner(owner), FGlyph(std::make_unique<vcl::TBitmap>()) {}

void TsTitleIcon::SetGlyph(vcl::TBitmap* v) { FGlyph->Assign(v); }

void TsTitleIcon::SetVisible(bool v) {
  if (FVisible == v) return;
  FVisible = v;
  if (FOwner && !FOwner->ComponentState().Contains(vcl::csLoading) &&
      !FOwner->ComponentState().Contains(vcl::csDesigning))
    UpdateSkinCaption(FOwner);
}

TsTitleButton::TsTitleButton(vcl::TCollection* collection)
    : vcl::TCollectionItem(collection), FName(L"TsTitleButton"), FGlyph(std::make_unique<vcl::TBitmap>()) {}

TsTitleButton::~TsTitleButton() = default;

TsSkinProvider* TsTitleButton::Provider() const {
  auto* c = dynamic_cast<TsTitleButtons*>(Collection());
  return c ? c->FOwner : nullptr;
}

void TsTitleButton::AssignTo(rtl::TPersistent* dest) const {
  auto* d = dynamic_cast<TsTitleButton*>(dest);
  if (!d) {
    vcl::TCollectionItem::AssignTo(dest);
    return;
  }
  d->FEnabled = FEnabled;
  d->FGlyph->Assign(FGlyph.get());
  d->FHint = FHint;
  d->FName = FName;
  d->FUseSkinData = FUseSkinData;
  d->OnMouseDown = OnMouseDown;
  d->OnMouseUp = OnMouseUp;
}

void TsTitleButton::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TsTitleButton*>(source)) {
    s->AssignTo(this);
    return;
  }
  vcl::TCollectionItem::Assign(source);
}

void TsTitleButton::SetGlyph(vcl::TBitmap* v) {
  FGlyph->Assign(v);
  Data.Timer = nullptr;
}

void TsTitleButton::SetVisible(bool v) {
  if (FVisible == v) return;
  FVisible = v;
  if (TsSkinProvider* p = Provider();
      p && !p->ComponentState().Contains(vcl::csLoading) && !p->ComponentState().Contains(vcl::csDesigning))
    UpdateSkinCaption(p);
}

void TsTitleButton::MouseDown(int, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TsTitleButton::MouseUp(int, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* owner) : vcl::TCollection(TsTitleButton::StaticClass()), FOwner(owner) {}

TsTitleButtons::~TsTitleButtons() { FOwner = nullptr; }

rtl::TPersistent* TsTitleButtons::GetOwner() const { return FOwner; }

TlvAddedTitle::TlvAddedTitle(TsSkinProvider* owner) : FOwner(owner), FFont(std::make_unique<vcl::TFont>()) {
  FFont->SetColor(vcl::clNone);
}

void TlvAddedTitle::Repaint() {
  if (FOwner && !FOwner->ComponentState().Contains(vcl::csLoading)) UpdateSkinCaption(FOwner);
}

void TlvAddedTitle::SetFont(vcl::TFont* v) {
  FFont->Assign(v);
  Repaint();
}

void TlvAddedTitle::SetText(const rtl::String& v) {
  if (FText == v) return;
  FText = v;
  Repaint();
}

void TlvAddedTitle::SetShowMainCaption(bool v) {
  if (FShowMainCaption == v) return;
  FShowMainCaption = v;
  Repaint();
}

VCL_REGISTER(TsCustomSysMenu) {}
VCL_REGISTER(TsSystemMenu) {}
VCL_REGISTER(TlvSysSubMenu) {
  cls.Prop(L"Caption", &TlvSysSubMenu::Caption, &TlvSysSubMenu::SetCaption);
  cls.Prop(L"Position", &TlvSysSubMenu::Position, &TlvSysSubMenu::SetPosition).Default(ipBeforeClose);
}
VCL_REGISTER(TsTitleIcon) {
  cls.Prop(L"Height", &TsTitleIcon::Height, &TsTitleIcon::SetHeight).Default(0);
  cls.Prop(L"Width", &TsTitleIcon::Width, &TsTitleIcon::SetWidth).Default(0);
  cls.Prop(L"Visible", &TsTitleIcon::Visible, &TsTitleIcon::SetVisible).Default(true);
}
VCL_REGISTER(TsTitleButton) {
  cls.Prop(L"Enabled", &TsTitleButton::Enabled, &TsTitleButton::SetEnabled).Default(true);
  cls.Prop(L"Hint", &TsTitleButton::Hint, &TsTitleButton::SetHint);
  cls.Prop(L"Name", &TsTitleButton::Name, &TsTitleButton::SetName);
  cls.Prop(L"UseSkinData", &TsTitleButton::UseSkinData, &TsTitleButton::SetUseSkinData).Default(true);
  cls.Prop(L"Visible", &TsTitleButton::Visible, &TsTitleButton::SetVisible).Default(true);
}
VCL_REGISTER(TsTitleButtons) {}
VCL_REGISTER(TlvAddedTitle) {
  cls.Prop(L"Text", &TlvAddedTitle::Text, &TlvAddedTitle::SetText);
  cls.Prop(L"ShowMainCaption", &TlvAddedTitle::ShowMainCaption, &TlvAddedTitle::SetShowMainCaption).Default(true);
}
