#include "skin/forms/sWindowAnims.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sWndUtils.h"
#include "skin/forms/sDwmEffects.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"

VCL_REGISTER(TlvMinTimer) {}
VCL_REGISTER(TlvFormMoveTimer) {}

namespace {

constexpr int kStepMs = 10;
constexpr UINT kCoverFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

// The system has composition-era window handling but composes nothing: no minimise animation is run there.
bool NoCompositionOnNewSystem() { return lvWinVer >= 6 && !AeroIsEnabled(); }

// Rounded to the nearest integer, halves to even.
int Nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

TsSkinManager* ManagerOf(TsSkinProvider* sp) { return sp ? sp->SkinManager() : nullptr; }

bool IsMainForm(TsSkinProvider* sp) {
  return vcl::Application && sp && sp->Form && vcl::Application->MainForm() == sp->Form;
}

// The window the taskbar shows for the form.
HWND TaskbarWindow(TsSkinProvider* sp) {
  if (vcl::Application && !vcl::Application->MainFormOnTaskbar() && IsMainForm(sp)) return vcl::Application->Handle();
  return sp->Form->Handle();
}

void MakeTransparent(HWND wnd) {
  const LONG_PTR ex = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  SetLayeredWindowAttributes(wnd, 0x1FFFFFFF, 0, LWA_ALPHA);
}

void RemoveLayered(HWND wnd) {
  SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

HWND BorderWindow(TlvCustomBorderForm* bf) {
  return bf && bf->AForm && bf->AForm->HandleAllocated() ? bf->AForm->Handle() : nullptr;
}

TlvMinTimer* MinTimerOf(TsSkinProvider* sp) { return dynamic_cast<TlvMinTimer*>(sp->FormTimer.get()); }

// Reads a block of another process; false unless all of it came.
bool ReadRemote(HANDLE process, const void* from, void* to, SIZE_T size) {
  SIZE_T got = 0;
  return ReadProcessMemory(process, from, to, size, &got) && got == size;
}

}  // namespace

// ---- The taskbar button ----------------------------------------------------------------------------------------

vcl::TRect GetAppRect() {
  vcl::TRect result;
  HWND bar = FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr);
  for (const wchar_t* cls : {L"ReBarWindow32", L"MSTaskSwWClass", L"ToolbarWindow32"})
    bar = bar ? FindWindowExW(bar, nullptr, cls, nullptr) : nullptr;
  if (!bar) return result;
  // Each button costs a few calls into the shell's process: a count beyond any real taskbar is not believed.
  const LRESULT count = SendMessageW(bar, TB_BUTTONCOUNT, 0, 0);
  if (count <= 0 || count > 4096) return result;
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return result;
  void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    HWND own = vcl::Application ? vcl::Application->Handle() : nullptr;
    if (vcl::Application && vcl::Application->MainFormOnTaskbar() && vcl::Application->MainForm() &&
        vcl::Application->MainForm()->HandleAllocated())
      own = vcl::Application->MainForm()->Handle();
    for (LRESULT i = 0; i < count; ++i) {
      if (!SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote))) continue;
      TBBUTTON button{};
      if (!ReadRemote(process, remote, &button, sizeof button)) continue;
      if ((button.fsStyle & 0x0D) || (button.fsState & TBSTATE_HIDDEN) || !button.dwData) continue;
      HWND wnd = nullptr;
      if (!ReadRemote(process, reinterpret_cast<const void*>(button.dwData), &wnd, sizeof wnd)) continue;
      if (wnd != own) continue;
      RECT r{};
      if (SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote)) &&
          ReadRemote(process, remote, &r, sizeof r)) {
        RECT barRect;
        GetWindowRect(bar, &barRect);
        result = vcl::Rect(r.left + barRect.left, r.top + barRect.top, r.right + barRect.left, r.bottom + barRect.top);
      }
      break;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return result;
}

// ---- The minimise timer ------------------------------------------------------------------------------------------

TlvMinTimer::TlvMinTimer(vcl::TComponent* owner) : TlvThreadedTimer(owner) { SetEnabled(false); }

TlvMinTimer::TlvMinTimer(TsSkinProvider* owner, bool changeEvent) : TlvThreadedTimer(owner, true) {
  (void)changeEvent;
  sp = owner;
  InitData();
  SavedImage = std::make_unique<vcl::TBitmap>();
}

TlvMinTimer::~TlvMinTimer() {
  SetEnabled(false);
  if (AlphaFormWasCreated) delete AnimForm;
  AnimForm = nullptr;
}

std::uint8_t TlvMinTimer::AlphaFrom() {
  // The platform's forms have no alpha of their own: they are opaque.
  const std::uint8_t a = 255;
  if (NoCompositionOnNewSystem()) return a;
  TsSkinManager* m = ManagerOf(sp);
  return m && m->AnimEffects()->Minimizing()->Time() > kStepMs ? a >> 2 : a;
}

void TlvMinTimer::InitData() {
  SetInterval(kStepMs);
  if (!sp || !sp->Form) return;
  BorderForm = sp->BorderForm;
  TsSkinManager* m = ManagerOf(sp);
  StepCount = std::max(1, (m ? m->AnimEffects()->Minimizing()->Time() : 120) / static_cast<int>(Interval()));
  AlphaOrigin = AlphaFrom();
  if (!FormHandle) FormHandle = sp->Form->Handle();
  CurrentAlpha = AlphaFrom();
  if (CurrentAlpha == 0 && Minimized) {
    CurLeft = RectTo.Left, CurTop = RectTo.Top, CurRight = RectTo.Right, CurBottom = RectTo.Bottom;
  } else {
    RECT r{};
    if (HWND bw = BorderWindow(BorderForm))
      GetWindowRect(bw, &r);
    else
      GetWindowRect(FormHandle, &r);
    RectFrom = vcl::Rect(r.left, r.top, r.right, r.bottom);
    XFrom = RectFrom.Left + RectFrom.Width() / 2;
    YFrom = RectFrom.Top + RectFrom.Height() / 2;
    UpdateDstRect();
    CurLeft = RectFrom.Left, CurTop = RectFrom.Top, CurRight = RectFrom.Right, CurBottom = RectFrom.Bottom;
  }
  BlendStep = static_cast<double>(AlphaFrom() - AlphaTo) / std::max(1, StepCount - 1);
  if (!AlphaBmp)
    AlphaBmp = CreateBmp32(RectFrom.Width(), RectFrom.Height());
  else
    AlphaBmp->SetSize(RectFrom.Width(), RectFrom.Height());
  if (HWND bw = BorderWindow(BorderForm)) {
    (void)bw;
    if (AlphaFormWasCreated) delete AnimForm;
    AlphaFormWasCreated = false;
    AnimForm = BorderForm->AForm;
  } else {
    if (AlphaFormWasCreated) delete AnimForm;
    AnimForm = MakeCoverForm(FormHandle).release();
    AlphaFormWasCreated = AnimForm != nullptr;
    if (AnimForm) SetWindowRgn(AnimForm->Handle(), nullptr, FALSE);
  }
}

void TlvMinTimer::UpdateDstRect() {
  RectTo = GetRectTo();
  XTo = RectTo.Left + RectTo.Width() / 2;
  YTo = RectTo.Top + RectTo.Height() / 2;
  DeltaX = static_cast<double>(XTo - XFrom) / StepCount;
  DeltaY = static_cast<double>(YTo - YFrom) / StepCount;
  DeltaW = static_cast<double>(RectFrom.Width() - RectTo.Width()) / (2 * StepCount);
  DeltaH = static_cast<double>(RectFrom.Height() - RectTo.Height()) / (2 * StepCount);
  AlphaTo = 0;
}

vcl::TRect TlvMinTimer::GetRectTo() {
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!tray) return vcl::TRect();
  if (!AeroIsEnabled()) {
    const vcl::TRect button = GetAppRect();
    if (button.Width() != 0) return button;
  }
  RECT r{};
  GetWindowRect(tray, &r);
  if (r.top != 0)
    TBPosition = r.left >= -4 && r.left <= 0 ? 8 : 4;
  else if (r.left != 0)
    TBPosition = 4;
  else
    TBPosition = r.right - r.left > r.bottom - r.top ? 2 : 1;
  switch (TBPosition) {
    case 1:
      return vcl::Rect(r.right, YFrom, r.right, YFrom);
    case 4:
      return vcl::Rect(r.left, YFrom, r.left, YFrom);
    case 2:
      return vcl::Rect(XFrom, r.bottom, XFrom, r.bottom);
    default:
      return vcl::Rect(XFrom, r.top, XFrom, r.top);
  }
}

void TlvMinTimer::TimeHandler() {
  if (InHandler || !sp) return;
  InHandler = true;
  struct TLeave {
    bool& flag;
    ~TLeave() { flag = false; }
  } leave{InHandler};
  if (Minimized) {
    if (sp->FormState & FS_ANIMMINIMIZING) Minimized = false;
  } else if (sp->FormState & FS_ANIMRESTORING) {
    Minimized = true;
  }
  if (!AnimForm || !AnimForm->HandleAllocated() || !AlphaBmp || !SavedImage) {
    SetEnabled(false);
    return;
  }
  if (BorderForm) BorderForm->ExBorderShowing = true;
  if (!Minimized) {
    for (int y = 0; y < AlphaBmp->Height(); ++y)
      std::fill_n(static_cast<std::uint32_t*>(AlphaBmp->ScanLine(y)), AlphaBmp->Width(), 0u);
    CurLeft += DeltaX + DeltaW, CurRight += DeltaX - DeltaW;
    CurTop += DeltaY + DeltaH, CurBottom += DeltaY - DeltaH;
    CurrentAlpha = std::max(CurrentAlpha - BlendStep, 0.0);
    if (CurrentAlpha <= 0) {
      FinishMinimizing();
      return;
    }
  } else {
    CurLeft -= DeltaX + DeltaW, CurRight -= DeltaX - DeltaW;
    CurTop -= DeltaY + DeltaH, CurBottom -= DeltaY - DeltaH;
    CurrentAlpha = std::min(CurrentAlpha + BlendStep, 255.0);
    if (AlphaFrom() <= CurrentAlpha) {
      FinishRestoring();
      return;
    }
    SetWindowRgn(AnimForm->Handle(), nullptr, FALSE);
  }
  const double w = std::max(CurRight - CurLeft, 0.0), h = std::max(CurBottom - CurTop, 0.0);
  const int cx = Nearest(w / 2 + CurLeft), cy = Nearest(h / 2 + CurTop);
  HDC dc = AlphaBmp->Canvas()->Handle();
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, (AlphaBmp->Width() - Nearest(w)) / 2, (AlphaBmp->Height() - Nearest(h)) / 2, Nearest(w), Nearest(h),
             SavedImage->Canvas()->Handle(), 0, 0, SavedImage->Width(), SavedImage->Height(), SRCCOPY);
  GdiFlush();
  const POINT pos{cx - AlphaBmp->Width() / 2, cy - AlphaBmp->Height() / 2};
  const int alpha = static_cast<int>(CurrentAlpha);
  SetFormBlendValue(AnimForm->Handle(), AlphaBmp.get(), alpha, &pos);
  if (Shown.size() < static_cast<size_t>(2 * StepCount + 2)) Shown.push_back(alpha);
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  SetWindowPos(AnimForm->Handle(), tray ? tray : HWND_TOP, 0, 0, 0, 0, kCoverFlags);
}

void TlvMinTimer::FinishMinimizing() {
  SetEnabled(false);
  sp->fAnimating = false;
  sp->SetHotHT(0, true);
  sp->FormState &= ~FS_ANIMMINIMIZING;
  RemoveLayered(FormHandle);
  if (BorderForm && BorderWindow(BorderForm) && AnimForm == BorderForm->AForm) {
    AnimForm = nullptr;
    BorderForm->ExBorderShowing = false;
    if (!IsMainForm(sp)) BorderForm->UpdateExBordersPos(true, 255);
  } else {
    for (int y = 0; y < AlphaBmp->Height(); ++y)
      std::fill_n(static_cast<std::uint32_t*>(AlphaBmp->ScanLine(y)), AlphaBmp->Width(), 0u);
    SetFormBlendValue(AnimForm->Handle(), AlphaBmp.get(), 0);
    ShowWindow(AnimForm->Handle(), SW_HIDE);
    SendMessageW(FormHandle, WM_NCPAINT, 1, 0);
  }
  Minimized = true;
}

void TlvMinTimer::FinishRestoring() {
  SetEnabled(false);
  const POINT from{RectFrom.Left, RectFrom.Top};
  SetFormBlendValue(AnimForm->Handle(), SavedImage.get(), AlphaOrigin, &from);
  {
    const bool was = lvGetAnimation();
    lvSetAnimation(false);
    ShowWindow(FormHandle, ::IsZoomed(FormHandle) ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
    lvSetAnimation(was);
  }
  SetWindowPos(AnimForm->Handle(), HWND_TOP, 0, 0, 0, 0, kCoverFlags);
  if (sp->FormState & FS_DISABLED) {
    ShowWindow(AnimForm->Handle(), SW_SHOWNOACTIVATE);
    Sleep(50);
  }
  RemoveLayered(FormHandle);
  sp->fAnimating = false;
  sp->FormState &= ~FS_ANIMRESTORING;
  if (BorderForm) BorderForm->ExBorderShowing = false;
  RedrawWindow(FormHandle, nullptr, nullptr,
               RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Minimized = false;
  if (BorderForm && AnimForm == BorderForm->AForm) {
    BorderForm->UpdateExBordersPos(true, 255);
    AnimForm = nullptr;
  } else {
    // The cover goes behind the form before it goes, so that nothing flickers between them.
    SetWindowPos(AnimForm->Handle(), FormHandle, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    if (AlphaFormWasCreated) delete AnimForm;
    AnimForm = nullptr;
    AlphaFormWasCreated = false;
  }
  if (IsWindowEnabled(FormHandle) && IsWindowVisible(FormHandle)) {
    HWND target = IsMainForm(sp) && vcl::Application && !vcl::Application->MainFormOnTaskbar()
                      ? vcl::Application->Handle()
                      : FormHandle;
    SetActiveWindow(target);
    SetFocus(FormHandle);
  }
  if (sp->FormState & FS_DISABLED) sp->UpdateLayerForm();
  // The application learns of the return now that it can be seen (for the main form only when its own restore has
  // not told it already).
  if (vcl::Application) vcl::Application->DoRestore(sp->Form);
}

// ---- Minimise and restore ------------------------------------------------------------------------------------------

bool FormStartMinimizing(TsSkinProvider* sp) {
  if (!sp || !sp->Form || !sp->Form->HandleAllocated() || NoCompositionOnNewSystem()) return false;
  TsSkinManager* m = ManagerOf(sp);
  bool started = false;
  if (m && m->AnimEffects()->Minimizing()->Active()) {
    sp->KillAnimations();
    if (sp->FormState & FS_ANIMMINIMIZING) return true;
    sp->FormState |= FS_ANIMMINIMIZING;
    sp->fAnimating = true;
    if (sp->FormTimer && !MinTimerOf(sp)) sp->FormTimer.reset();
    TlvMinTimer* t = MinTimerOf(sp);
    if (!t) {
      sp->FormTimer = std::make_unique<TlvMinTimer>(sp, true);
      t = MinTimerOf(sp);
    } else if (!(sp->FormState & FS_ANIMRESTORING)) {
      t->InitData();
    }
    sp->FormState &= ~FS_ANIMRESTORING;
    if (!(t->AlphaFrom() > t->CurrentAlpha)) {
      t->Shown.clear();
      if (HWND bw = BorderWindow(sp->BorderForm)) {
        sp->BorderForm->UpdateExBordersPos(false, 255);
        SetBlurBehindWindow(bw, false, nullptr);
        if (vcl::TBitmap* cache = sp->SkinData()->CacheBmp()) {
          t->SavedImage = CreateBmp32(cache->Width(), cache->Height());
          BitBlt(t->SavedImage->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0,
                 0, SRCCOPY);
        }
        sp->BorderForm->ExBorderShowing = true;
        SetWindowPos(bw, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        SetWindowRgn(bw, nullptr, FALSE);
      } else {
        t->SavedImage = GetFormImage(sp, false);
        if (!t->SavedImage) t->SavedImage = std::make_unique<vcl::TBitmap>();
      }
    }
    if (sp->LayerForm && sp->LayerForm->HandleAllocated() && IsWindowVisible(sp->LayerForm->Handle()))
      ShowWindow(sp->LayerForm->Handle(), SW_HIDE);
    MakeTransparent(sp->Form->Handle());
    if (!AeroIsEnabled()) Sleep(40);
    t->TimeHandler();
    if (t->StepCount > 1 && MinTimerOf(sp) == t && (sp->FormState & FS_ANIMMINIMIZING)) t->SetEnabled(true);
    started = true;
  }
  const HWND preview = TaskbarWindow(sp);
  UpdatePreview(preview, true);
  DwmInvalidateIconicBitmaps(preview);
  return started;
}

bool FormStartRestoring(TsSkinProvider* sp) {
  if (!sp || !sp->Form || !sp->Form->HandleAllocated()) return true;
  TlvMinTimer* t = MinTimerOf(sp);
  TsSkinManager* m = ManagerOf(sp);
  if (!t || !m || !m->AnimEffects()->Minimizing()->Active() || (sp->FormState & FS_ANIMRESTORING)) return true;
  sp->FormState &= ~FS_ANIMMINIMIZING;
  sp->FormState |= FS_ANIMRESTORING;
  sp->fAnimating = true;
  m->ShowState = saRestore;
  if (t->CurrentAlpha <= 0) t->Shown.clear();
  const HWND fw = sp->Form->Handle();
  if (TlvCustomBorderForm* bf = sp->BorderForm) {
    bf->ExBorderShowing = true;
    if (!BorderWindow(bf)) {
      bf->CreateNewForm();
      if (HWND bw = BorderWindow(bf)) SetFormBlendValue(bw, t->AlphaBmp.get(), 0);
    }
    t->AnimForm = bf->AForm;
    t->AlphaFormWasCreated = false;
    if (HWND bw = BorderWindow(bf))
      SetWindowPos(bw, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    MakeTransparent(fw);
    t->SetEnabled(true);
    sp->FormActive = true;
    sp->SkinData()->BGChanged = true;
    sp->PaintAll();
    sp->SkipAnimation = false;
  } else if (lvWinVer < 6 || AeroIsEnabled()) {
    MakeTransparent(fw);
    t->SetEnabled(true);
  } else {
    t->TimeHandler();
  }
  UpdatePreview(TaskbarWindow(sp), false);
  return true;
}

// ---- Blend on moving ----------------------------------------------------------------------------------------------

void TlvFormMoveTimer::AlphaSet(int alpha) {
  if (!Form) return;
  for (vcl::TForm* slave : GluedSlaves(Form))
    if (slave->HandleAllocated()) SendAMessage(slave->Handle(), LVC_SETALPHA, alpha);
}

void StartBlendOnMoving(TsSkinProvider* sp, bool doMove) {
  if (!sp || !sp->Form || !sp->Form->HandleAllocated() || (sp->FormState & FS_BLENDMOVING)) return;
  sp->UpdateSlaveFormsList();
  TsSkinManager* m = ManagerOf(sp);
  if (!m || !m->AnimEffects()->BlendOnMoving()->Active()) return;
  TlvBlendOnMoving* blend = m->AnimEffects()->BlendOnMoving();
  sp->FormState |= FS_BLENDMOVING;
  sp->FormTimer.reset();
  auto timer = std::make_unique<TlvFormMoveTimer>(nullptr);
  TlvFormMoveTimer* t = timer.get();
  sp->FormTimer = std::move(timer);
  t->Form = sp->Form;
  t->CurrentBlendValue = 255;
  t->BorderForm = sp->BorderForm;
  t->FrameImage = sp->SkinData()->CacheBmp();
  const HWND fw = sp->Form->Handle();
  t->FormHandle = fw;
  t->BlendValue = sp->AllowBlendOnMoving() ? blend->BlendValue() : 255;
  t->BlendStep = MoveBlendStep(t->BlendValue, blend->Time());
  t->SetInterval(kStepMs);
  std::unique_ptr<vcl::TForm> cover;
  if (HWND bw = BorderWindow(sp->BorderForm)) {
    sp->BorderForm->UpdateExBordersPos(false, 255);
    sp->BorderForm->ExBorderShowing = true;
    SetWindowPos(fw, bw, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    SetFormBlendValue(fw, nullptr, 0);
    t->SetEnabled(true);
    if (doMove) SendMessageW(bw, WM_SYSCOMMAND, 0xF012, 0);
  } else {
    cover = MakeCoverForm(fw);
    if (cover && !sp->IsZoomed()) SetWindowRgn(cover->Handle(), GetRgnFromArOR(sp, 0, 0), FALSE);
    const LONG_PTR ex = GetWindowLongPtrW(fw, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(fw, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(fw, 0, 255, LWA_ALPHA);
    RedrawWindow(fw, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (cover) ShowWindow(cover->Handle(), SW_HIDE);
    t->SetEnabled(true);
    if (doMove) SendMessageW(fw, WM_SYSCOMMAND, 0xF012, 0);
  }
  if (doMove) FinishBlendOnMoving(sp, std::move(cover));
}

void FinishBlendOnMoving(TsSkinProvider* sp, std::unique_ptr<vcl::TForm> cover) {
  if (!sp || !sp->Form || !sp->Form->HandleAllocated() || !(sp->FormState & FS_BLENDMOVING)) return;
  const HWND fw = sp->Form->Handle();
  auto* t = dynamic_cast<TlvMoveTimer*>(sp->FormTimer.get());
  if (HWND bw = BorderWindow(sp->BorderForm)) {
    TlvCustomBorderForm* bf = sp->BorderForm;
    SetFormBlendValue(bw, sp->SkinData()->CacheBmp(), 255);
    RECT br;
    GetWindowRect(bw, &br);
    const vcl::TRect shadow = sp->ShadowSize();
    const int sysBorder = SysBorderWidth(fw, bf, false);
    const int dy = sp->FSysExHeight ? sysBorder + shadow.Top + DiffTitle(bf) : bf->OffsetY();
    SetWindowPos(fw, nullptr, br.left + SkinBorderWidth(bf) + shadow.Left - sysBorder, br.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    sp->FormState &= ~FS_BLENDMOVING;
    SetWindowPos(fw, bw, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    RemoveLayered(fw);
    sp->SkinData()->BGChanged = true;
    RedrawWindow(fw, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (!IsMainForm(sp)) Sleep(20);
    SetWindowPos(fw, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING |
                     SWP_FRAMECHANGED);
    bf->ExBorderShowing = false;
    bf->UpdateExBordersPos(true, 255);
    // A form dropped with the pointer on the top edge of the work area fills it, when it may be maximised.
    const vcl::TPoint c = lvMousePos();
    vcl::TForm* f = sp->Form;
    if (c.Y == lvWorkRect(c).Top && f->BorderStyle() == vcl::bsSizeable && f->BorderIcons().Contains(vcl::biMaximize))
      f->SetWindowState(vcl::wsMaximized);
  } else {
    if (!cover) cover = MakeCoverForm(fw);
    if (cover && !sp->IsZoomed()) SetWindowRgn(cover->Handle(), GetRgnFromArOR(sp, 0, 0), FALSE);
    RemoveLayered(fw);
    UpdateWindow(fw);
    if (t) t->SetEnabled(false);
    RedrawWindow(fw, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    cover.reset();
    sp->FormState &= ~FS_BLENDMOVING;
  }
  for (vcl::TForm* slave : GluedSlaves(sp->Form))
    if (slave->HandleAllocated() && IsWindowVisible(slave->Handle())) SendAMessage(slave->Handle(), LVC_SETALPHA, 255);
  if (t) {
    t->SetEnabled(false);
    t->CurrentBlendValue = 255;
    sp->FormTimer.reset();
  }
}

// ---- Showing and hiding -------------------------------------------------------------------------------------------

namespace {

// The manager's animation is wanted for this form: allowed by the form and the manager, on, long enough for a step,
// and the form a top-level one with a window.
bool ShowHideWanted(TsSkinProvider* sp, const TlvFormAnimation* anim) {
  TsSkinManager* m = ManagerOf(sp);
  return m && anim && sp->AllowAnimation() && m->Effects()->AllowAnimation() && anim->Active() &&
         anim->Time() / kStepMs > 0 && sp->Form && sp->Form->HandleAllocated() && !sp->Form->Parent() &&
         sp->Form->FormStyle() != vcl::fsMDIChild && !::IsIconic(sp->Form->Handle()) && sp->SkinData()->Skinned(false);
}

}  // namespace

bool PrepareShowAnimation(TsSkinProvider* sp) {
  if (!sp || !ShowHideWanted(sp, ManagerOf(sp) ? ManagerOf(sp)->AnimEffects()->FormShow() : nullptr)) return false;
  // The form comes up fully transparent; the animation's cover shows it until it is itself.
  MakeTransparent(sp->Form->Handle());
  sp->FInAnimation = true;
  // Where layered windows are not composed the form is seen all the same, and it and its children would draw
  // themselves on the screen before the cover comes (the animation's picture prints them regardless).
  sp->ShowFreezePending = true;
  return true;
}

void FreezeShownForm(TsSkinProvider* sp) {
  if (!sp->ShowFreezePending || !sp->Form->HandleAllocated() || !IsWindowVisible(sp->Form->Handle())) return;
  sp->ShowFreezePending = false;
  sp->ShowFrozen = true;
  SendMessageW(sp->Form->Handle(), WM_SETREDRAW, FALSE, 0);
}

void ThawShownForm(TsSkinProvider* sp) {
  sp->ShowFreezePending = false;
  if (!sp->ShowFrozen) return;
  sp->ShowFrozen = false;
  const HWND fw = sp->Form->HandleAllocated() ? sp->Form->Handle() : nullptr;
  // The animation's end has given the drawing back when the window is visible again.
  if (!fw || (GetWindowLongPtrW(fw, GWL_STYLE) & WS_VISIBLE)) return;
  SendMessageW(fw, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(fw, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void RunShowAnimation(TsSkinProvider* sp) {
  // A form whose showing did not make it visible (its show handler hid it) is not held.
  sp->ShowFreezePending = false;
  const TlvFormShow* show = ManagerOf(sp)->AnimEffects()->FormShow();
  sp->SkinData()->BGChanged = true;
  AnimShowForm(sp, show->Time(), 255, show->Mode());
  ThawShownForm(sp);
  // However the animation ended, the form is not left transparent.
  const HWND fw = sp->Form->Handle();
  sp->FInAnimation = false;
  if (GetWindowLongPtrW(fw, GWL_EXSTYLE) & WS_EX_LAYERED) {
    RemoveLayered(fw);
    RedrawWindow(fw, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

bool PrepareHideAnimation(TsSkinProvider* sp) {
  TsSkinManager* m = ManagerOf(sp);
  if (!sp || !m || m->ShowState == saMinimize || (sp->FormState & FS_ANIMCLOSING) ||
      !ShowHideWanted(sp, m->AnimEffects()->FormHide()) || !IsWindowVisible(sp->Form->Handle()))
    return false;
  vcl::TBitmap* cache = sp->SkinData()->CacheBmp();
  auto image = GetFormImage(sp, false);
  if (!image || !cache) return false;
  sp->FormState |= FS_ANIMCLOSING;
  // The picture that fades is the whole form (frame and controls), taken while it is still on the screen.
  BitBlt(cache->Canvas()->Handle(), 0, 0, image->Width(), image->Height(), image->Canvas()->Handle(), 0, 0, SRCCOPY);
  delete sp->CoverForm;
  sp->CoverForm = MakeCoverForm(sp->Form->Handle()).release();
  return true;
}

void RunHideAnimation(TsSkinProvider* sp) {
  AnimHideForm(sp);
  // A cover the animation did not take is not left on the screen.
  delete sp->CoverForm;
  sp->CoverForm = nullptr;
  sp->FormState &= ~FS_ANIMCLOSING;
}
