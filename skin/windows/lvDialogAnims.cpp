// The window animations of a skinned dialog: it fades in when shown and out when hidden (through the core's dialog
// animations and a snapshot cover), and it fades to the manager's blend value while it is dragged by its title.
#include <algorithm>

#include "skin/core/sAnimations.h"
#include "skin/core/sCoverForms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/windows/lvDialogWnd.h"

namespace {

constexpr unsigned kBlendMoving = 0x80;

TsSkinManager* ManagerOf(TlvDialogWnd* d) {
  TsSkinManager* m = d->SkinData ? d->SkinData->SkinManager() : nullptr;
  return m ? m : DefaultManager;
}

// The animation is on, has a length, and the manager allows animations at all.
bool Wanted(TsSkinManager* m, const TlvFormAnimation* a) {
  return m && a->Active() && a->Time() > 0 && m->Effects()->AllowAnimation();
}

HWND BorderWindow(TlvCustomBorderForm* bf) {
  return bf && bf->AForm && bf->AForm->HandleAllocated() ? bf->AForm->Handle() : nullptr;
}

}  // namespace

void TlvDialogWnd::AnimateShowing() {
  TsSkinManager* m = ManagerOf(this);
  if (!m || !Wanted(m, m->AnimEffects()->DialogShow())) return;
  SkinData->BGChanged = true;
  if (Provider) Provider->InitHwndControls(CtrlHandle);
  SkinData->SetUpdatingFlag(false);
  const TlvDialogShow* show = m->AnimEffects()->DialogShow();
  AnimShowDlg(this, show->Time(), 255, show->Mode());
}

void TlvDialogWnd::AnimateHiding() {
  TsSkinManager* m = ManagerOf(this);
  if (!m || !Wanted(m, m->AnimEffects()->DialogHide())) {
    delete CoverForm;
    CoverForm = nullptr;
    return;
  }
  // Hidden without a closing command, the controls were never put into the picture: printed there now (the window
  // is off the screen already), or their places would fade out as black holes.
  if (!CoverForm && SkinData->CacheBmp()) PrintDlgClient(this, SkinData->CacheBmp(), false);
  AnimHideDlg(this);
  DoLayered(CtrlHandle, false, 1);
}

void TlvDialogWnd::PrepareHideCover(vcl::TMessage& message) {
  TsSkinManager* m = ManagerOf(this);
  const WORD id = LOWORD(message.WParam);
  if ((id != IDCANCEL && id != IDYES) || !m || !Wanted(m, m->AnimEffects()->DialogHide()) || !SkinData->CacheBmp())
    return;
  // The controls as they are on the screen go into the picture the hide animation fades.
  PrintDlgClient(this, SkinData->CacheBmp(), true);
  if (HWND bw = BorderWindow(TlvCustomDialogWnd::BorderForm)) {
    SetWindowRgn(bw, nullptr, FALSE);
    SetFormBlendValue(bw, SkinData->CacheBmp(), 255);
    TlvCustomDialogWnd::BorderForm->ExBorderShowing = true;
    return;
  }
  delete CoverForm;
  CoverForm = MakeCoverForm(CtrlHandle).release();
}

void TlvDialogWnd::DropUnusedCover() {
  // A command that did not close the dialog would leave the cover over it for good.
  if (CoverForm && CtrlHandle && IsWindowVisible(CtrlHandle)) {
    delete CoverForm;
    CoverForm = nullptr;
  }
}

bool TlvDialogWnd::StartMoveBlend(int hitCode) {
  TsSkinManager* m = ManagerOf(this);
  if (hitCode != HTCAPTION || IsIconic(CtrlHandle) || !m) return false;
  const TlvBlendOnMoving* blend = m->AnimEffects()->BlendOnMoving();
  if (!blend->Active() || blend->BlendValue() >= 255) return false;
  SkinData->BGChanged = true;
  FFormActive = true;
  PaintAll();
  StartBlendOnMovingDlg(this);
  return true;
}

void StartBlendOnMovingDlg(TlvDialogWnd* dlg) {
  if (!dlg || (dlg->FormState & kBlendMoving) || !dlg->CtrlHandle) return;
  TsSkinManager* m = ManagerOf(dlg);
  if (!m || !m->AnimEffects()->BlendOnMoving()->Active()) return;
  const HWND h = dlg->CtrlHandle;
  dlg->FormState |= kBlendMoving;
  dlg->MoveTimer = std::make_unique<TlvMoveTimer>(nullptr);
  TlvMoveTimer* t = dlg->MoveTimer.get();
  t->CurrentBlendValue = 255;
  t->BorderForm = dlg->TlvCustomDialogWnd::BorderForm;
  t->FrameImage = dlg->SkinData->CacheBmp();
  t->FormHandle = h;
  t->BlendValue = m->AnimEffects()->BlendOnMoving()->BlendValue();
  // Thirty steps at most; a value close to 255 still fades (a step of 0 would never get there).
  t->BlendStep = std::max(1, (255 - t->BlendValue) / 30);
  t->SetInterval(10);
  if (HWND bw = BorderWindow(t->BorderForm)) {
    t->BorderForm->UpdateExBordersPos(true, 255);
    t->BorderForm->ExBorderShowing = true;
    SetWindowPos(h, bw, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    SetFormBlendValue(h, nullptr, 0);
    t->SetEnabled(true);
    SendMessageW(bw, WM_SYSCOMMAND, 0xF012, 0);
  } else {
    std::unique_ptr<vcl::TForm> cover = MakeCoverForm(h);
    const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(h, 0, 255, LWA_ALPHA);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    cover.reset();
    t->SetEnabled(true);
    SendMessageW(h, WM_SYSCOMMAND, 0xF012, 0);
  }
  FinishBlendOnMovingDlg(dlg);
}

void FinishBlendOnMovingDlg(TlvDialogWnd* dlg) {
  if (!dlg || !(dlg->FormState & kBlendMoving)) return;
  const HWND h = dlg->CtrlHandle;
  TlvMoveTimer* t = dlg->MoveTimer.get();
  TlvCustomBorderForm* bf = dlg->TlvCustomDialogWnd::BorderForm;
  constexpr UINT kFlags =
      SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
  if (HWND bw = h ? BorderWindow(bf) : nullptr) {
    SetFormBlendValue(bw, dlg->SkinData->CacheBmp(), 255);
    // The dialog's client goes where the border window's picture has it.
    RECT br, wr;
    GetWindowRect(bw, &br);
    GetWindowRect(h, &wr);
    POINT client{0, 0};
    ClientToScreen(h, &client);
    SetWindowPos(h, bw, br.left + dlg->OffsetX() - (client.x - wr.left), br.top + dlg->OffsetY() - (client.y - wr.top),
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    SetWindowPos(bw, HWND_TOP, 0, 0, 0, 0, kFlags);
    dlg->FormState &= ~kBlendMoving;
    SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    SetFocus(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Sleep(40);
    SetWindowPos(bw, h, 0, 0, 0, 0, kFlags);
  } else if (h) {
    std::unique_ptr<vcl::TForm> cover = MakeCoverForm(h);
    SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    UpdateWindow(h);
    if (t) t->SetEnabled(false);
    SetFocus(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    cover.reset();
  }
  dlg->FormState &= ~kBlendMoving;
  if (t) {
    t->SetEnabled(false);
    t->CurrentBlendValue = 255;
    dlg->MoveTimer.reset();
  }
  if (bf) {
    bf->ExBorderShowing = false;
    bf->UpdateExBordersPos(true, 255);
  }
}
