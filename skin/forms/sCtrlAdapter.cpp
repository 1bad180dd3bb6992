// The control adapter of a skinned form and the MDI main form's link.
#include "skin/forms/sCtrlAdapter.h"

#include "platform/vcl/application.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvMDIWnd.h"

bool ItemsRemoving = false;

namespace {

constexpr rtl::Int64 kNoSkinTag = 0x100;
// The window-menu items that list an MDI frame's children.
constexpr rtl::Int64 kChildItemTag = 0x200;

bool Vetoed(vcl::TComponent* c) { return (c->Tag() & kNoSkinTag) != 0; }

// The application's verdict: OnSkinItem first, OnSkinItemEx only when the first left the control in.
bool CheckSkinEvent(TsSkinProvider* sp, vcl::TControl* c, TlvSkinParams& params) {
  bool can = true;
  if (sp->OnSkinItem) sp->OnSkinItem(c, can, params.SkinSection);
  if (can && sp->OnSkinItemEx) sp->OnSkinItemEx(c, can, params);
  return can;
}

}  // namespace

TlvAdapterItem::~TlvAdapterItem() { delete ScrollWnd; }

void TlvAdapterItem::DoHook(vcl::TWinControl* control, TlvSkinParams& params) {
  TsSkinManager* m = Adapter->Provider->SkinManager();
  if (Vetoed(control) || !control->HandleAllocated() || WndIsSkinned(control->Handle()) || !m) return;
  WinCtrl = control;
  params.Control = control;
  const int i = Adapter->SearchSupport(control);
  if (i < 0 || !WndTypes[static_cast<size_t>(i)]) return;
  ScrollWnd = WndTypes[static_cast<size_t>(i)](control->Handle(), nullptr, m, params, true);
  if (ScrollWnd) ScrollWnd->Adapter = Adapter;
}

TlvCtrlAdapter::TlvCtrlAdapter(TsSkinProvider* provider) : Provider(provider) {
  for (auto& l : ThirdLists) l = std::make_unique<rtl::TStringList>();
  ItemsRemoving = false;
}

TlvCtrlAdapter::~TlvCtrlAdapter() {
  CleanItems();
  RemoveAllItems();
}

bool TlvCtrlAdapter::OwnThirdLists() const {
  for (const auto& l : ThirdLists)
    if (l->Count() > 0) return true;
  return false;
}

int TlvCtrlAdapter::SearchSupport(vcl::TControl* control) const {
  const rtl::String name = control->ClassName();
  const bool own = OwnThirdLists();
  TsSkinManager* m = Provider->SkinManager();
  for (int i = 0; i < 23; ++i) {
    rtl::TStringList* list = own ? ThirdLists[static_cast<size_t>(i)].get()
                                 : (m ? m->ThirdLists(static_cast<TlvThirdPartyTypes>(i)) : nullptr);
    if (!list) continue;
    for (int k = 0; k < list->Count(); ++k)
      if (list->Strings(k) == name) return i;
  }
  return -1;
}

bool TlvCtrlAdapter::IsControlSupported(vcl::TComponent* component) {
  auto* c = dynamic_cast<vcl::TControl*>(component);
  if (!c || Vetoed(c)) return false;
  auto* w = dynamic_cast<vcl::TWinControl*>(c);
  if (w && (!w->HandleAllocated() || WndIsSkinned(w->Handle()))) return false;
  TlvSkinParams params;
  if (!w) {
    if (dynamic_cast<vcl::TCustomLabel*>(c)) return CheckSkinEvent(Provider, c, params) && params.UseSkinFontColor;
    return false;  // plain speed buttons wait for their handler kind
  }
  if (dynamic_cast<vcl::TCustomForm*>(c) || dynamic_cast<vcl::TFrame*>(c))
    return CheckSkinEvent(Provider, c, params) && params.UseSkinFontColor;
  return SearchSupport(c) >= 0;
}

void TlvCtrlAdapter::AddNewItem(vcl::TWinControl* control) { AddNewItem(control, DefaultSection); }

void TlvCtrlAdapter::AddNewItem(vcl::TWinControl* control, const rtl::String& skinSection) {
  if (!Provider->AllowSkin3rdParty() || !control || Vetoed(control) || !control->Parent()) return;
  if (control->HandleAllocated() && WndIsSkinned(control->Handle())) return;
  TlvSkinParams params;
  params.SkinSection = skinSection;
  if (!CheckSkinEvent(Provider, control, params)) return;
  if (auto* frame = dynamic_cast<vcl::TFrame*>(control)) {
    // The frame's own background comes from its adapter; its controls are adapted as the form's are.
    vcl::Create<TsFrameAdapter>(frame);
    return;
  }
  if (auto* form = dynamic_cast<vcl::TForm*>(control)) {
    // A form placed inside another gets a provider of its own.
    auto* sp = new TsSkinProvider(form);
    sp->SkinData()->SetSkinSection(params.SkinSection.empty() ? rtl::String(L"FORM") : params.SkinSection);
    sp->PrepareForm();
    if (form->HandleAllocated()) InitDwm(form->Handle(), true);
    return;
  }
  const int at = IndexOf(control);
  if (at >= 0) {
    TlvAdapterItem* item = Items[static_cast<size_t>(at)];
    if (item->ScrollWnd && item->ScrollWnd->Destroyed) {
      // The control's window was made again: a new wrapper for the new window.
      delete item->ScrollWnd;
      item->ScrollWnd = nullptr;
      if (control->Parent()) item->DoHook(control, params);
    }
    return;
  }
  auto* item = new TlvAdapterItem(this, control);
  Items.push_back(item);
  if (control->Parent()) item->DoHook(control, params);
  if (!item->ScrollWnd) {
    Items.pop_back();
    delete item;
  }
}

void TlvCtrlAdapter::AddAllItems(vcl::TWinControl* ownerCtrl) {
  TsSkinManager* m = Provider->SkinManager();
  if (!Provider->AllowSkin3rdParty() || bFlag || !m || !m->SkinningRules().Contains(srThirdParty)) return;
  bFlag = true;
  if (!ownerCtrl) ownerCtrl = Provider->Form;
  CleanItems();
  auto descend = [&](vcl::TWinControl* w) {
    if (w->HandleAllocated() && w->Parent()) {
      bFlag = false;
      AddAllItems(w);
      bFlag = true;
    }
  };
  for (int i = 0; i < ownerCtrl->ComponentCount(); ++i) {
    vcl::TComponent* c = ownerCtrl->Components(i);
    auto* w = dynamic_cast<vcl::TWinControl*>(c);
    if (IsControlSupported(c) && w) AddNewItem(w, L"");
    if (!w && IsControlSupported(c)) Provider->InitLabel(dynamic_cast<vcl::TControl*>(c), true);
    if (w) descend(w);
  }
  for (int i = 0; i < ownerCtrl->ControlCount(); ++i) {
    vcl::TControl* c = ownerCtrl->Controls(i);
    auto* w = dynamic_cast<vcl::TWinControl*>(c);
    if (IsControlSupported(c) && w) AddNewItem(w, L"");
    if (w) descend(w);
  }
  bFlag = false;
}

void TlvCtrlAdapter::WndProc(vcl::TMessage& m) {
  for (TlvAdapterItem* item : Items)
    if (item->ScrollWnd && !item->ScrollWnd->Destroyed && item->WinCtrl->Parent() && item->WinCtrl->HandleAllocated())
      SendMessageW(item->WinCtrl->Handle(), m.Msg, m.WParam, m.LParam);
}

void TlvCtrlAdapter::CleanItems() {
  std::vector<TlvAdapterItem*> kept;
  for (TlvAdapterItem* item : Items)
    if (!item->ScrollWnd || item->ScrollWnd->Destroyed)
      delete item;
    else
      kept.push_back(item);
  Items.swap(kept);
}

void TlvCtrlAdapter::RemoveAllItems() {
  if (ItemsRemoving) return;
  ItemsRemoving = true;
  while (!Items.empty()) {
    delete Items.back();
    Items.pop_back();
  }
  ItemsRemoving = false;
}

TlvAdapterItem* TlvCtrlAdapter::GetItem(int index) const {
  return index >= 0 && index < Count() ? Items[static_cast<size_t>(index)] : nullptr;
}

int TlvCtrlAdapter::IndexOf(vcl::TControl* control) const {
  for (int i = 0; i < Count(); ++i)
    if (Items[static_cast<size_t>(i)]->WinCtrl == control) return i;
  return -1;
}

void TlvCtrlAdapter::RemoveItem(int index) {
  if (index < 0 || index >= Count()) return;
  delete Items[static_cast<size_t>(index)];
  Items[static_cast<size_t>(index)] = Items.back();
  Items.pop_back();
}

void TsSkinProvider::TlvAdapterFree::operator()(TlvCtrlAdapter* a) const { delete a; }
void TsSkinProvider::TlvMDIFormFree::operator()(TsMDIForm* f) const { delete f; }

// ---- The MDI main form -------------------------------------------------------------------------------------------

void TsSkinProvider::HookMDIClient() {
  if (Form->FormStyle() != vcl::fsMDIForm || !Form->HandleAllocated() ||
      Form->ComponentState().Contains(vcl::csDestroying))
    return;
  if (!MDIForm) MDIForm.reset(new TsMDIForm(this));
  MDIForm->RefreshMDIScrolls();
}

namespace {
// The client's news for the main form: its line of menu items and the maximised child's items are laid out anew.
const bool kMDIClientNotify = [] {
  MDIClientNotify = [](TsCustomSkinProvider* provider, TlvMDIClientEvent event) {
    auto* sp = dynamic_cast<TsSkinProvider*>(provider);
    if (!sp) return;
    switch (event) {
      case mceArranged:
        sp->FLinesCount = -1;
        if (sp->MDIForm) sp->MDIForm->UpdateMDIIconItem();
        if (sp->SystemMenu) sp->SystemMenu->UpdateItems(false);
        break;
      case mceMenuSet:
        sp->SkinData()->BGChanged = true;
        sp->MenuChanged = true;
        sp->FLinesCount = -1;
        break;
      case mceMenuRefreshed:
        UpdateSkinCaption(sp);
        break;
    }
  };
  return true;
}();
}  // namespace

bool TsSkinProvider::ListMDIChildren(HMENU popup) {
  vcl::TMenuItem* wm = Form->WindowMenu();
  if (!wm) return false;
  // The children listed the last time go first.
  for (int i = wm->Count() - 1; i >= 0; --i)
    if (wm->Items(i)->Tag() & kChildItemTag) wm->Items(i)->Free();
  if (Form->FormStyle() != vcl::fsMDIForm || Form->MDIChildCount() == 0 || !popup || popup != wm->Handle())
    return false;
  // The system's entries for the children carry text; our own items are drawn by the skinned menus and carry none.
  for (int pos = GetMenuItemCount(popup) - 1; pos >= 0; --pos) {
    wchar_t text[2] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 1;
    if (!GetMenuItemInfoW(popup, static_cast<UINT>(pos), TRUE, &info)) continue;
    const bool separator = (info.fType & MFT_SEPARATOR) && !info.dwItemData;
    const bool systemText = !(info.fType & (MFT_OWNERDRAW | MFT_SEPARATOR)) && info.cch > 0 && !info.dwItemData;
    if (separator || systemText) RemoveMenu(popup, static_cast<UINT>(pos), MF_BYPOSITION);
  }
  if (wm->Count() == 0 || wm->Items(wm->Count() - 1)->Caption() != L"-") {
    auto* line = new vcl::TMenuItem(Form);
    line->SetCaption(L"-");
    wm->Add(line);
  }
  vcl::TCustomForm* active = Form->ActiveMDIChild();
  for (int i = 0; i < Form->MDIChildCount(); ++i) {
    vcl::TCustomForm* child = Form->MDIChildren(i);
    if (!child || !child->Visible()) continue;
    auto* item = new vcl::TMenuItem(Form);
    item->SetCaption(child->Caption());
    item->SetTag(i | kChildItemTag);
    item->SetChecked(child == active);
    item->OnClick = [this](rtl::TObject* sender) { OnChildMnuClick(sender); };
    wm->Add(item);
  }
  if (TsSkinManager* m = SkinManager())
    if (auto* menus = dynamic_cast<TsSkinMenus*>(m->SkinableMenus())) menus->HookItem(wm, m->SkinnedPopups());
  return true;
}

void TsSkinProvider::OnChildMnuClick(rtl::TObject* sender) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !Form->ClientHandle()) return;
  const int index = static_cast<int>(item->Tag() & ~kChildItemTag);
  if (index < 0 || index >= Form->MDIChildCount()) return;
  vcl::TCustomForm* child = Form->MDIChildren(index);
  if (!child || !child->HandleAllocated()) return;
  if (::IsIconic(child->Handle()))
    SendMessageW(Form->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  SendMessageW(Form->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->Handle()), 0);
}

void TsSkinProvider::PaintMDIArea(vcl::TBitmap* image) {
  TsSkinManager* m = SkinManager();
  if (!m || !MDIForm || !MDIForm->ListSW || MDIForm->ListSW->Destroyed || !Form->ClientHandle()) return;
  const int area = m->GetSkinIndex(L"MDIAREA");
  if (!m->IsValidSkinIndex(area)) return;
  RECT c{}, f{};
  GetWindowRect(Form->ClientHandle(), &c);
  GetWindowRect(Form->Handle(), &f);
  // The same place the client's wrapper copies its background from.
  const vcl::TRect sh = BorderForm ? ShadowSize() : vcl::TRect();
  const vcl::TRect r(c.left - f.left + sh.Left, c.top - f.top + sh.Top, c.right - f.left + sh.Left,
                     c.bottom - f.top + sh.Top);
  if (r.Width() > 0 && r.Height() > 0) PaintItem(area, MakeCacheInfo(image), false, 0, r, r.TopLeft(), image, m);
}

TsMDIForm::TsMDIForm(TsSkinProvider* provider) : FForm(provider->Form), SkinProvider(provider) {
  FForm->HandleNeeded();
  MDISkinProvider = provider;
}

TsMDIForm::~TsMDIForm() {
  DestroyScrolls();
  if (MDISkinProvider == SkinProvider) MDISkinProvider = nullptr;
}

void TsMDIForm::ConnectToClient() {
  if (SkinProvider->ComponentState().Contains(vcl::csDesigning)) return;
  if (ListSW && !ListSW->Destroyed) return;
  RefreshMDIScrolls();
}

void TsMDIForm::RefreshMDIScrolls() {
  DestroyScrolls();
  TsSkinManager* m = SkinProvider->SkinManager();
  if (!m || !SkinProvider->SkinData()->Skinned(true) || !FForm->HandleAllocated() || !FForm->ClientHandle()) return;
  TlvSkinParams params;
  params.SkinSection = L"CHECKBOX";
  auto* w = NewWrapper<TlvMDIWnd>(FForm->ClientHandle(), nullptr, m, params, true);
  w->FForm = dynamic_cast<vcl::TForm*>(FForm);
  w->MDISkinData = SkinProvider->SkinData();
  w->SkinProvider = SkinProvider;
  ListSW = w;
  // The client's background now comes from the form's image, which must carry the MDI area.
  SkinProvider->SkinData()->BGChanged = true;
  RedrawWindow(FForm->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsMDIForm::DestroyScrolls() {
  if (!ListSW) return;
  FreeLvWrapper(ListSW);
  if (FForm->HandleAllocated() && FForm->ClientHandle())
    RedrawWindow(FForm->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

namespace {
void ToActiveChild(vcl::TCustomForm* main, WPARAM command) {
  vcl::TCustomForm* child = main->ActiveMDIChild();
  if (child && child->HandleAllocated()) SendMessageW(child->Handle(), WM_SYSCOMMAND, command, 0);
}
}  // namespace

void TsMDIForm::CloseClick() { ToActiveChild(FForm, SC_CLOSE); }
void TsMDIForm::MinClick() { ToActiveChild(FForm, SC_MINIMIZE); }
void TsMDIForm::RestoreClick() { ToActiveChild(FForm, SC_RESTORE); }
void TsMDIForm::UpdateMDIIconItem() { SkinProvider->RepaintMenu(); }
