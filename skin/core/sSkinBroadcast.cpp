#include "skin/core/sSkinBroadcast.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sSkinProvider.h"

std::vector<vcl::TCustomForm*> HookedComponents;
bool aSkinChanging = false;
bool InAnimationProcess = false;
int iLatestTitleHeight = 0;

namespace {

struct TAppIcons {
  std::unique_ptr<vcl::TIcon> Small, Large;
  TAppIcons() {
    Small = GetIconForFile(rtl::ExeName(), 1);
    Large = GetIconForFile(rtl::ExeName(), 0);
  }
};

TAppIcons& Icons() {
  static TAppIcons icons;
  return icons;
}

bool Destroying(const vcl::TComponent* c) { return c->ComponentState().Contains(vcl::csDestroying); }

void Deliver(vcl::TCustomForm* form, vcl::TMessage& m) {
  if (form->HandleAllocated())
    SendMessageW(form->Handle(), m.Msg, m.WParam, m.LParam);
  else
    form->Perform(m.Msg, m.WParam, m.LParam);
  LumiBroadCast(form, m);
  if (form->FormStyle() == vcl::fsMDIForm && form->ClientHandle())
    SendMessageW(form->ClientHandle(), m.Msg, m.WParam, m.LParam);
}

bool Minimized() {
  return vcl::Application && vcl::Application->MainForm() && IsIconic(vcl::Application->MainForm()->Handle());
}

TsCustomSkinProvider* ProviderOf(vcl::TCustomForm* form) {
  if (!form->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsCustomSkinProvider*>(
      SendMessageW(form->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0));
}

void SetAnimationFlag(TsSkinManager* manager) {
  if (manager == DefaultManager && manager->AnimEffects()->SkinChanging()->Active()) InAnimationProcess = true;
}

}  // namespace

vcl::TIcon* AppIcon() { return Icons().Small.get(); }
vcl::TIcon* AppIconLarge() { return Icons().Large.get(); }

void IntSkinForm(vcl::TCustomForm* form) { HookedComponents.push_back(form); }

void IntUnSkinForm(vcl::TCustomForm* form) {
  for (size_t i = 0; i < HookedComponents.size(); ++i) {
    if (HookedComponents[i] != form) continue;
    HookedComponents[i] = HookedComponents.back();
    HookedComponents.back() = nullptr;
    if (HookedComponents[i] == form) HookedComponents[i] = nullptr;
  }
  while (!HookedComponents.empty() && HookedComponents.back() == nullptr) HookedComponents.pop_back();
}

void AppBroadCastS(vcl::TMessage& message) {
  if (vcl::Application) {
    for (int i = vcl::Application->ComponentCount() - 1; i >= 0; --i) {
      // A form may go while an earlier one handles the message.
      if (i >= vcl::Application->ComponentCount()) break;
      auto* form = dynamic_cast<vcl::TCustomForm*>(vcl::Application->Components(i));
      if (!form || form->FormStyle() == vcl::fsMDIChild) continue;
      auto state = form->ComponentState();
      if (state.Contains(vcl::csDestroying) || state.Contains(vcl::csLoading)) continue;
      if (form->HandleAllocated() && WndIsSkinned(form->Handle())) continue;
      Deliver(form, message);
    }
  }
  SendToHooked(message);
}

void SendToHooked(vcl::TMessage& message) {
  // A copy: a form may leave the list while it handles the message.
  std::vector<vcl::TCustomForm*> forms = HookedComponents;
  for (vcl::TCustomForm* form : forms) {
    if (!form || std::find(HookedComponents.begin(), HookedComponents.end(), form) == HookedComponents.end()) continue;
    if (Destroying(form)) continue;
    Deliver(form, message);
  }
  if (lvSupportedList)
    for (const auto& wrapper : *lvSupportedList)
      if (wrapper && wrapper->CtrlHandle && IsWindowVisible(wrapper->CtrlHandle))
        SendMessageW(wrapper->CtrlHandle, message.Msg, message.WParam, message.LParam);
}

void IterateForms(TsSkinManager* manager, const std::function<void(TsCustomSkinProvider*, void*)>& proc, void* data) {
  std::vector<vcl::TCustomForm*> forms = HookedComponents;
  for (vcl::TCustomForm* form : forms) {
    if (!form || form->FormStyle() == vcl::fsMDIChild || form->Parent() || !form->HandleAllocated()) continue;
    if (IsIconic(form->Handle()) || !IsWindowVisible(form->Handle())) continue;
    TsCustomSkinProvider* provider = ProviderOf(form);
    if (provider && provider->SkinManager() == manager) proc(provider, data);
  }
}

void CopyExForms(TsSkinManager* manager) {
  if (Minimized()) return;
  auto state = manager->ComponentState();
  if (state.Contains(vcl::csDesigning) || state.Contains(vcl::csLoading) || state.Contains(vcl::csReading)) return;
  SetAnimationFlag(manager);
  IterateForms(
      manager,
      [](TsCustomSkinProvider* p, void*) {
        if (p->BorderForm) {
          p->FormState |= FS_CHANGING;
          p->CoverBmp = GetFormImage(p);
        }
        p->FInAnimation = true;
      },
      nullptr);
}

void LockForms(TsSkinManager* manager) {
  if (Minimized()) return;
  SetAnimationFlag(manager);
  IterateForms(
      manager,
      [](TsCustomSkinProvider* p, void*) {
        p->FInAnimation = true;
        p->FormState |= FS_LOCKED;
        if (p->BorderForm && p->BorderForm->AForm && p->BorderForm->AForm->HandleAllocated()) {
          HRGN rgn = p->BorderForm->MakeRgn(p->Form->Width(), p->Form->Height());
          if (rgn) SetWindowRgn(p->BorderForm->AForm->Handle(), rgn, FALSE);
        }
        SendMessageW(p->Form->Handle(), WM_SETREDRAW, FALSE, 0);
      },
      nullptr);
}

void UnLockForms(TsSkinManager* manager, bool repaint) {
  if (Minimized()) return;
  if (manager == DefaultManager) InAnimationProcess = false;
  // Locking took WS_VISIBLE away (WM_SETREDRAW FALSE does), so the locked forms are found by their flag, not by
  // being visible.
  std::vector<TsCustomSkinProvider*> locked;
  std::vector<vcl::TCustomForm*> forms = HookedComponents;
  for (vcl::TCustomForm* form : forms) {
    if (!form || !form->HandleAllocated() || Destroying(form)) continue;
    TsCustomSkinProvider* p = ProviderOf(form);
    if (!p || p->SkinManager() != manager || !(p->FormState & FS_LOCKED)) continue;
    SendMessageW(p->Form->Handle(), WM_SETREDRAW, TRUE, 0);
    locked.push_back(p);
  }
  for (TsCustomSkinProvider* p : locked) {
    HWND wnd = p->Form->Handle();
    if (repaint) {
      if (const TlvSkinChanging* anim = manager->AnimEffects()->SkinChanging(); anim->Active()) {
        if (p->FDrawNonClientArea)
          AnimShowControl(p->Form, anim->Time(), 255, anim->Mode() == atAero ? atcAero : atcFade);
        else
          AnimShowControl(p->Form, 0, 255, atcFade);
      }
      p->FormState &= ~FS_CHANGING;
      p->CoverBmp.reset();
      if (p->BorderForm && IsZoomed(wnd) && p->ActualTitleHeight() != iLatestTitleHeight) {
        iLatestTitleHeight = p->ActualTitleHeight();
        HWND active = GetActiveWindow();
        SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) & ~WS_VISIBLE);
        ShowWindow(wnd, SW_SHOWMAXIMIZED);
        SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE);
        if (active) SetActiveWindow(active);
      }
      p->FInAnimation = false;
      if (p->FDrawNonClientArea) {
        if (!AeroIsEnabled()) SetWindowRgn(wnd, nullptr, FALSE);
        FillArOR(p);
        UpdateRgn(p, false);
        RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
        if (p->BorderForm) p->BorderForm->UpdateExBordersPos(true, 255);
      } else {
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
    } else {
      p->FormState &= ~FS_CHANGING;
      SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
    }
    p->FormState &= ~FS_LOCKED;
  }
}

void LumiBroadCast(vcl::TWinControl* control, vcl::TMessage& message) {
  if (!control) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    vcl::TControl* child = control->Controls(i);
    if (Destroying(child)) continue;
    auto* win = dynamic_cast<vcl::TWinControl*>(child);
    if (!win || !win->HandleAllocated()) {
      child->Perform(message.Msg, message.WParam, message.LParam);
    } else if (WndIsSkinned(win->Handle())) {
      SendMessageW(win->Handle(), message.Msg, message.WParam, message.LParam);
    } else {
      LumiBroadCast(win, message);
    }
  }
}

void LumiBroadCast(HWND handle, vcl::TMessage& message) {
  struct TData {
    HWND Parent;
    vcl::TMessage* Message;
  } data{handle, &message};
  EnumChildWindows(
      handle,
      [](HWND child, LPARAM p) -> BOOL {
        auto* d = reinterpret_cast<TData*>(p);
        if (GetParent(child) == d->Parent) SendMessageW(child, d->Message->Msg, d->Message->WParam, d->Message->LParam);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&data));
}

LRESULT SendAMessage(HWND handle, WORD cmd, LPARAM lParam) {
  return SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(cmd), lParam);
}

LRESULT SendAMessage(vcl::TControl* control, WORD cmd, LPARAM lParam) {
  if (!control) return 0;
  auto* win = dynamic_cast<vcl::TWinControl*>(control);
  if (!win) return control->Perform(SM_LUMICMD, MakeLumiWParam(cmd), lParam);
  if (Destroying(win) || !win->HandleAllocated()) return 0;
  return SendMessageW(win->Handle(), SM_LUMICMD, MakeLumiWParam(cmd), lParam);
}

bool GetBoolMsg(HWND handle, WORD cmd) { return SendAMessage(handle, cmd, 0) == 1; }

bool GetBoolMsg(vcl::TWinControl* control, WORD cmd) { return (SendAMessage(control, cmd, 0) & 0xFF) != 0; }

bool WndIsSkinned(HWND handle) {
  if (!handle) return false;
  if (GetPropW(handle, L"LVSDATA") || WndIsWrapped(handle)) return true;
  return GetBoolMsg(handle, LVC_CTRLHANDLED);
}
