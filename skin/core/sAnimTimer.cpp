#include "skin/core/sAnimTimer.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"

VCL_REGISTER(TlvThreadedTimer) {}

namespace {

bool Terminating() { return vcl::Application && vcl::Application->Terminated(); }

int RoundInt(double v) { return static_cast<int>(std::nearbyint(v)); }

// One glow: a layered window showing the glow picture around a control.
struct TlvGlowEffect {
  int Margin = 0;
  int MaskIndex = -1;
  HWND Wnd = nullptr;
  std::unique_ptr<vcl::TBitmap> AlphaBmp;
  bool Destroyed = false;
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  ~TlvGlowEffect() {
    Destroyed = true;
    if (Wnd) DestroyWindow(Wnd);
  }
};

std::vector<std::unique_ptr<TlvGlowEffect>> lvgEffects;
bool bGlowingDestroying = false;

LRESULT CALLBACK GlowWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The mouse goes through a glow to what lies under it.
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

const wchar_t* GlowClass() {
  static const wchar_t* name = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = GlowWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TlvGlowWindow";
    RegisterClassExW(&wc);
    return L"TlvGlowWindow";
  }();
  return name;
}

void ShowLayered(HWND wnd, vcl::TBitmap* bmp, int alpha) {
  if (!UpdateLayeredWindowProc || !wnd || !bmp) return;
  HDC screen = GetDC(nullptr);
  SIZE size{bmp->Width(), bmp->Height()};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  UpdateLayeredWindowProc(wnd, screen, nullptr, &size, bmp->Canvas()->Handle(), &origin, 0, &blend, ULW_ALPHA);
  ReleaseDC(nullptr, screen);
}

HWND WindowOf(TsCommonData* sd) {
  if (auto* win = dynamic_cast<vcl::TWinControl*>(sd->OwnerControl()))
    return win->HandleAllocated() ? win->Handle() : nullptr;
  return sd->FSWHandle;
}

// The fade step shared by windowed and graphic controls.
bool FadeStep(rtl::TObject* data, bool graphic) {
  auto* sd = dynamic_cast<TsCommonData*>(data);
  if (!sd || !sd->AnimTimer || sd->AnimTimer->Destroyed) return false;
  TlvThreadedTimer* t = sd->AnimTimer;
  HWND wnd = graphic ? nullptr : WindowOf(sd);
  if ((!graphic && !wnd) || t->Iterations <= 0 || !t->BmpFrom || !t->BmpTo) return false;
  vcl::TBitmap* cache = sd->CacheBmp();
  const int w = cache && cache->Width() ? cache->Width() : sd->OwnerControl() ? sd->OwnerControl()->Width() : 0;
  const int h = cache && cache->Height() ? cache->Height() : sd->OwnerControl() ? sd->OwnerControl()->Height() : 0;
  if (!t->BmpOut) t->BmpOut = CreateBmp32(w, h);
  if (t->BmpOut->Width() != w || t->BmpOut->Height() != h) t->BmpOut->SetSize(w, h);
  BitBlt(t->BmpOut->Canvas()->Handle(), 0, 0, w, h, t->BmpFrom->Canvas()->Handle(), 0, 0, SRCCOPY);
  switch (t->State) {
    case 0:
    case 2:
      t->Glow -= t->GlowStep;
      break;
    case 1:
      t->Glow += t->GlowStep;
      break;
    default:
      t->Glow = 255 - static_cast<double>(t->Iteration) / t->Iterations * 255;
      break;
  }
  const int c = std::clamp(RoundInt(t->Glow), 0, 255);
  const int d = t->State == 1 ? 255 - c : c;
  SumBmpRect(t->BmpOut.get(), t->BmpTo.get(), d, vcl::Rect(0, 0, w, h), vcl::TPoint(0, 0));
  if (graphic) {
    if (vcl::TControl* owner = sd->OwnerControl()) {
      owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_UPDATING, 0), 0);
      owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_INVALIDATE), 0);
    }
    if (lvMagnForm) lvMagnForm->Perform(SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), 0);
  } else {
    HDC dc = GetDC(wnd);
    lvSetLayout(dc, 0);  // the application reads left to right
    BitBlt(dc, 0, 0, w, h, t->BmpOut->Canvas()->Handle(), 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
  }
  if (t->Iteration < t->Iterations) {
    SetGlowAlpha(sd->GlowID, c);
    if (t->State == 0 && c < (graphic ? 10 : 10) && sd->GlowID >= 0) {
      HideGlow(sd->GlowID, false);
      t->Glow = 0;
    }
    return true;
  }
  if (t->State == 0 && c != 0) {
    SetGlowAlpha(sd->GlowID, c);
    --t->Iteration;
    return FadeStep(data, graphic);
  }
  const int state = t->State;
  if (state == 0) StopTimer(sd);
  if (state != 1) HideGlow(sd->GlowID, false);
  return false;
}

}  // namespace

// ---- TlvThreadedTimer ----

TlvThreadedTimer::TlvThreadedTimer(vcl::TComponent* owner) : vcl::TComponent(owner) {
  if (Terminating()) return;
  FEnabled = true;
  FInterval = 1000;
  FTimerThread = new vcl::TTimer(this);
  FTimerThread->SetInterval(FInterval);
  FTimerThread->OnTimer = [this](rtl::TObject* sender) { OnTimer2(sender); };
}

TlvThreadedTimer::TlvThreadedTimer(rtl::TObject* owner, bool changeEvent) : TlvThreadedTimer(nullptr) {
  SetEnabled(false);
  FOwner = owner;
  if (changeEvent) OnTimer = [this](rtl::TObject*) { TimeHandler(); };
}

TlvThreadedTimer::~TlvThreadedTimer() {
  SetEnabled(false);
  if (auto* sd = dynamic_cast<TsCommonData*>(AnimData); sd && sd->AnimTimer == this) sd->AnimTimer = nullptr;
  if (!Destroyed) {
    Destroyed = true;
    if (FTimerThread) FTimerThread->SetEnabled(false);
    delete FTimerThread;
    FTimerThread = nullptr;
    BmpFrom.reset();
    BmpTo.reset();
    BmpOut.reset();
  }
}

void TlvThreadedTimer::UpdateTimer() {
  if (!FTimerThread) return;
  FTimerThread->SetEnabled(false);
  if (FInterval != 0 && FEnabled && (OnTimer || AnimProc)) FTimerThread->SetEnabled(true);
}

void TlvThreadedTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTimer();
}

void TlvThreadedTimer::SetInterval(unsigned value) {
  if (value == FInterval) return;
  FInterval = value;
  if (FTimerThread) FTimerThread->SetInterval(value);
  UpdateTimer();
}

void TlvThreadedTimer::SetOnTimer(vcl::TNotifyEvent value) {
  OnTimer = std::move(value);
  UpdateTimer();
}

void TlvThreadedTimer::Reset() {
  delete FTimerThread;
  FTimerThread = new vcl::TTimer(this);
  FTimerThread->SetInterval(FInterval);
  FTimerThread->OnTimer = [this](rtl::TObject* sender) { OnTimer2(sender); };
  UpdateTimer();
}

void TlvThreadedTimer::OnTimer2(rtl::TObject*) {
  if (!FTimerThread || !FTimerThread->Enabled() || Executing || Destroyed) return;
  Executing = true;
  Timer();
  Executing = false;
}

void TlvThreadedTimer::Timer() {
  if (Destroyed || !FEnabled) return;
  if (AnimProc) {
    ++Iteration;
    if (Iteration > Iterations)
      SetEnabled(false);
    else
      AnimProc(AnimData, Iteration);
  } else if (OnTimer) {
    OnTimer(this);
  }
}

void TlvThreadedTimer::TimeHandler() {
  if (!FEnabled || !AnimProc || Destroyed) return;
  if (!AnimProc(AnimData, Iteration)) {
    SetEnabled(false);
    State = -1;
  }
}

void TlvThreadedTimer::InitData(rtl::TObject* data, int iteration, TlvAnimProc animProc, int state, bool half) {
  const int s0 = State;
  SetEnabled(false);
  AnimData = data;
  Value = 0;
  Glow = std::clamp(Glow, 0.0, 255.0);
  Iterations = half ? 5 : 10;
  if (state == 0) {
    Iterations *= 2;
    GlowStep = Glow / Iterations;
  } else if (state == 2) {
    GlowStep = Glow / Iterations;
  } else {
    Iterations = s0 <= 0 ? RoundInt((255 - Glow) * 10 / 255) : 10;
    Iterations = std::max(Iterations, 1);
    GlowStep = (255 - Glow) / Iterations;
  }
  ValueStep = (255 - Value) / Iterations;
  if ((state == 2 || (state == 1 && s0 == 2)) && BmpOut) {
    BmpFrom = CreateBmp32(BmpOut->Width(), BmpOut->Height());
    BitBlt(BmpFrom->Canvas()->Handle(), 0, 0, BmpOut->Width(), BmpOut->Height(), BmpOut->Canvas()->Handle(), 0, 0,
           SRCCOPY);
  }
  if (state == 1 && s0 <= 0)
    Iteration = RoundInt(Glow * 10 / 255);
  else if (state == 0 && s0 == 1)
    Iteration = Glow != 0 ? RoundInt((255 - Glow) * Iterations / 255) : 0;
  else
    Iteration = BmpOut ? 0 : iteration;
  SetInterval(10);
  AnimProc = animProc;
  OldState = s0;
  State = state;
  SetEnabled(true);
}

void TlvThreadedTimer::CopyFrom(std::unique_ptr<vcl::TBitmap>& dst, vcl::TBitmap* src, const vcl::TRect& r) {
  if (!dst)
    dst = CreateBmp32(r.Width(), r.Height());
  else
    dst->SetSize(r.Width(), r.Height());
  if (src)
    BitBlt(dst->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), src->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
}

// ---- fades ----

int GetNewTimer(TlvThreadedTimer*& timer, rtl::TObject* owner, int flag) {
  if (timer) return std::max(0, (timer->State == 0 ? 20 : 10) - timer->Iteration);
  timer = new TlvThreadedTimer(owner, false);
  if (flag == 0) timer->Glow = 255;
  return 0;
}

void StopTimer(TsCommonData* skinData) {
  if (!skinData || !skinData->AnimTimer) return;
  TlvThreadedTimer* t = skinData->AnimTimer;
  if (t->Destroyed || t->ComponentState().Contains(vcl::csDestroying)) return;
  t->SetEnabled(false);
  t->State = -1;
  t->BmpTo.reset();
  t->BmpFrom.reset();
  t->BmpOut.reset();
}

void FinishTimer(TlvThreadedTimer* timer) {
  if (!timer || timer->Destroyed) return;
  timer->Iteration = timer->Iterations - 1;
  timer->Glow = timer->State < 1 ? 0 : 255;
  timer->SetEnabled(false);
  timer->TimeHandler();
  timer->BmpOut.reset();
}

bool TimerIsActive(TsCommonData* skinData) { return skinData && skinData->AnimTimer && skinData->AnimTimer->Enabled(); }

void AnimChange(TsCommonData* skinData, int state, TlvAnimProc animProc, bool half) {
  if (!skinData) return;
  const int a = GetNewTimer(skinData->AnimTimer, skinData->OwnerControl(), state);
  TlvThreadedTimer* t = skinData->AnimTimer;
  if (t->State != -1 && t->State == state && t->Enabled()) return;
  vcl::TBitmap* cache = skinData->CacheBmp();
  if (!cache) return;
  if (t->BmpOut && (t->BmpOut->Width() != cache->Width() || t->BmpOut->Height() != cache->Height())) t->BmpOut.reset();
  TlvThreadedTimer::CopyFrom(t->BmpFrom, cache, vcl::Rect(0, 0, cache->Width(), cache->Height()));
  if (skinData->BGChanged) {
    LRESULT answer = 0;
    if (vcl::TControl* owner = skinData->OwnerControl())
      answer = owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
    else if (skinData->FSWHandle)
      answer = SendMessageW(skinData->FSWHandle, SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
    if (answer != 0) t->SetEnabled(false);
  }
  cache = skinData->CacheBmp();
  TlvThreadedTimer::CopyFrom(t->BmpTo, cache, vcl::Rect(0, 0, cache->Width(), cache->Height()));
  t->InitData(skinData, a, animProc, state, half);
  t->TimeHandler();
}

void DoChangePaint(TsCommonData* skinData, int state, TlvAnimProc animProc, bool animate, bool half, bool glow) {
  if (!skinData || !skinData->Skinned()) return;
  TsSkinManager* sm = skinData->SkinManager();
  if (animate && !aSkinChanging && !FadingForbidden && skinData->CacheBmp() && !skinData->BGChanged && sm &&
      sm->Effects()->AllowAnimation()) {
    skinData->BGChanged = true;
    AnimChange(skinData, state, animProc, half);
    return;
  }
  skinData->Invalidate(false);
  if (glow && !skinData->FMouseAbove) HideGlow(skinData->GlowID, false);
}

bool EventEnabled(TlvAnimatEvent event, TlvAnimatEvents events, TsSkinManager* skinManager) {
  if (events.Contains(event)) return true;
  if (!events.Contains(aeGlobalDef)) return false;
  TsSkinManager* sm = skinManager ? skinManager : DefaultManager;
  if (!sm) return false;
  const TlvBtnEvent match = event == aeMouseEnter   ? beMouseEnter
                            : event == aeMouseLeave ? beMouseLeave
                            : event == aeMouseDown  ? beMouseDown
                                                    : beMouseUp;
  return sm->AnimEffects()->Buttons()->Events().Contains(match);
}

bool UpdateWindow_CB(rtl::TObject* data, int) { return FadeStep(data, false); }
bool UpdateGraphic_CB(rtl::TObject* data, int) { return FadeStep(data, true); }

bool UpdateGlowing_CB(rtl::TObject* data, int) {
  auto* sd = dynamic_cast<TsCommonData*>(data);
  if (!sd || !sd->OwnerControl() || sd->OwnerControl()->ComponentState().Contains(vcl::csDestroying) ||
      !sd->AnimTimer || sd->AnimTimer->Iterations <= 0)
    return false;
  TlvThreadedTimer* t = sd->AnimTimer;
  if (t->Iteration >= t->Iterations) {
    const int state = t->State;
    if (state != 1) HideGlow(sd->GlowID, false);
    if (state == 0) StopTimer(sd);
    return false;
  }
  if (sd->GlowID < 0) return true;
  t->Glow += t->State == 1 ? t->GlowStep : -t->GlowStep;
  SetGlowAlpha(sd->GlowID, std::clamp(RoundInt(t->Glow), 0, 255));
  return true;
}

// ---- glows ----

int ShowGlow(const vcl::TRect& realRect, const rtl::String& skinSection, const rtl::String& name, int margin, int alpha,
             HWND wndHandle, TsCommonData* skinData) {
  if (!lvLayered() || !skinData || GetCapture()) return -1;
  TsSkinManager* sm = skinData->SkinManager();
  if (!sm) return -1;
  const int maskIndex = sm->GetMaskIndex(skinSection, name + L"0");
  if (!sm->IsValidImgIndex(maskIndex)) return -1;
  const TsMaskData& md = sm->ma[static_cast<size_t>(maskIndex)];
  auto effect = std::make_unique<TlvGlowEffect>();
  effect->SkinData = skinData;
  effect->SkinManager = sm;
  effect->Margin = margin;
  effect->MaskIndex = maskIndex;
  const int w = realRect.Width() + md.WL + md.WR - 2 * margin, h = realRect.Height() + md.WT + md.WB - 2 * margin;
  if (w <= 0 || h <= 0) return -1;
  effect->AlphaBmp = CreateBmp32(w, h);
  FillRect32(effect->AlphaBmp.get(), vcl::Rect(0, 0, w, h), 0, 0);
  DrawSkinRect(effect->AlphaBmp.get(), vcl::Rect(0, 0, w, h), EmptyCI, md, 0, false);
  HWND after = wndHandle ? GetWindow(wndHandle, GW_HWNDPREV) : nullptr;
  bool topmost = !wndHandle || !skinData->OwnerObject() || (GetWindowLongW(wndHandle, GWL_EXSTYLE) & WS_EX_TOPMOST);
  effect->Wnd = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, GlowClass(),
                                L"", WS_POPUP, realRect.Left + margin - md.WL, realRect.Top + margin - md.WT, w, h,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!effect->Wnd) return -1;
  SetWindowPos(effect->Wnd, topmost ? HWND_TOPMOST : (after ? after : wndHandle), 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  ShowLayered(effect->Wnd, effect->AlphaBmp.get(), alpha);
  ShowWindow(effect->Wnd, SW_SHOWNOACTIVATE);
  lvgEffects.push_back(std::move(effect));
  return static_cast<int>(lvgEffects.size()) - 1;
}

void HideGlow(int& glowID, bool animated) {
  if (glowID < 0 || static_cast<size_t>(glowID) >= lvgEffects.size() || !lvgEffects[static_cast<size_t>(glowID)])
    return;
  TlvGlowEffect* effect = lvgEffects[static_cast<size_t>(glowID)].get();
  TsCommonData* sd = effect->SkinData;
  if (animated && sd && effect->SkinManager && effect->SkinManager->Effects()->AllowAnimation() && !Terminating() &&
      (!sd->AnimTimer || sd->AnimTimer->ThreadType == TT_GLOWING)) {
    GetNewTimer(sd->AnimTimer, sd->OwnerControl(), 1);
    if (!(sd->AnimTimer->State == 0 && sd->AnimTimer->Enabled())) {
      sd->AnimTimer->ThreadType = TT_GLOWING;
      sd->AnimTimer->InitData(sd, 0, UpdateGlowing_CB, 0, false);
      sd->AnimTimer->TimeHandler();
    }
    return;
  }
  bGlowingDestroying = true;
  lvgEffects[static_cast<size_t>(glowID)].reset();
  bGlowingDestroying = false;
  glowID = -1;
  if (sd && sd->AnimTimer && sd->AnimTimer->ThreadType == TT_GLOWING) StopTimer(sd);
}

void SetGlowAlpha(int glowID, int alpha) {
  if (glowID < 0 || static_cast<size_t>(glowID) >= lvgEffects.size() || !lvgEffects[static_cast<size_t>(glowID)])
    return;
  TlvGlowEffect* effect = lvgEffects[static_cast<size_t>(glowID)].get();
  ShowLayered(effect->Wnd, effect->AlphaBmp.get(), alpha);
}

void ClearGlows(bool) {
  if (bGlowingDestroying) return;
  for (auto& e : lvgEffects)
    if (e && e->SkinData) e->SkinData->GlowID = -1;
  lvgEffects.clear();
}

int GlowCount() {
  return static_cast<int>(
      std::count_if(lvgEffects.begin(), lvgEffects.end(), [](const auto& e) { return e != nullptr; }));
}
