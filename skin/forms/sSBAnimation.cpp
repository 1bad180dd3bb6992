#include "skin/forms/sSBAnimation.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/windows/lvDialogWnd.h"

VCL_REGISTER(TlvSBAnimation) {}

namespace {

constexpr COLORREF kNoKey = 0x1FFFFFFF;

bool Closing() { return vcl::Application && vcl::Application->Terminated(); }

TsSkinManager* ManagerOf(TsCommonData* sd) { return sd ? sd->SkinManager() : nullptr; }

int Animated(TsCommonData* sd, int iterations) {
  TsSkinManager* m = ManagerOf(sd);
  return iterations * (m && m->Effects()->AllowAnimation() ? 1 : 0);
}

}  // namespace

TlvSBAnimation::TlvSBAnimation(vcl::TComponent* owner) : vcl::TTimer(owner) {
  SetEnabled(false);
  OnTimer = [this](rtl::TObject*) { OnAnimTimer(); };
}

TlvSBAnimation::~TlvSBAnimation() {
  SetEnabled(false);
  AForm.reset();
  ABmp.reset();
  if (PBtnData && PBtnData->Timer == this) PBtnData->Timer = nullptr;
}

int TlvSBAnimation::Step() const { return MaxIterations > 0 ? std::max(255 / MaxIterations, 0) : 255; }

void TlvSBAnimation::ChangeState(int, bool toUp) {
  Up = toUp;
  SetEnabled(true);
}

void TlvSBAnimation::StartAnimation(int newState, bool toUp) {
  if (newState == CurrentState) return;
  CurrentState = newState;
  Shown.clear();
  if (newState != 0) {
    if (newState == 2) {
      AForm.reset();
      ABmp.reset();
    }
    CurrentLevel = 1;
    Up = toUp;
    UpdateForm(std::min(Step(), 255));
    CurrentLevel = 2;
  } else {
    Up = false;
    --CurrentLevel;
    UpdateForm(std::min(Step(), 255));
  }
  if (MaxIterations > 1) SetEnabled(true);
}

void TlvSBAnimation::OnAnimTimer() {
  if (!Enabled()) return;
  if (Up) {
    if (CurrentLevel < MaxIterations) {
      UpdateForm(std::max(std::min(Step() * CurrentLevel, 255), 0));
      ++CurrentLevel;
    } else {
      CheckMouseLeave();
      // The leave is handled at once and may already have turned this fade round: its last frame is not shown then
      // (and the count of steps the fade-out needs is kept).
      if (!Up) return;
      if (MaxIterations != -1) {
        UpdateForm(255);
        MaxIterations = -1;
      }
    }
    return;
  }
  if (CurrentLevel > 0) {
    UpdateForm(std::max(std::min(Step() * CurrentLevel, 255), 0));
    --CurrentLevel;
    return;
  }
  CurrentState = -1;
  SetEnabled(false);
  AForm.reset();
  ABmp.reset();
}

void TlvSBAnimation::CheckMouseLeave() {
  if (!PBtnData || !FormHandle) return;
  POINT p;
  GetCursorPos(&p);
  RECT r;
  HWND origin = BorderForm && BorderForm->AForm && BorderForm->AForm->HandleAllocated() ? BorderForm->AForm->Handle()
                                                                                         : FormHandle;
  GetWindowRect(origin, &r);
  const vcl::TPoint local(p.x - r.left, p.y - r.top);
  if (!PBtnData->Rect.Contains(local)) {
    SetEnabled(false);
    SendMessageW(FormHandle, WM_MOUSELEAVE, 0, 0);
  }
}

int TlvSBAnimation::Offset() {
  TsSkinManager* m = ManagerOf(SkinData);
  if (!m || !PBtnData || !m->Effects()->AllowGlowing() || CurrentState != 1) return 0;
  switch (PBtnData->HitCode) {
    case HTMINBUTTON:
      return m->CommonSkinData->BIMinGlowMargin;
    case HTMAXBUTTON:
      return m->CommonSkinData->BIMaxGlowMargin;
    case HTCLOSE:
      return m->CommonSkinData->BICloseGlowMargin;
    default:
      return 0;
  }
}

namespace {

// The skin's glow image of a caption button ("<image name>GLOW0" in the global section), -1 when none.
int GlowMask(TsSkinManager* m, const TsCaptionButton& btn) {
  if (!m || !m->IsValidImgIndex(btn.ImageIndex)) return -1;
  const int gi = m->ConstData.IndexGLobalInfo;
  if (gi < 0) return -1;
  const int index = m->GetMaskIndex(gi, m->ma[btn.ImageIndex].PropertyName + L"GLOW0");
  return m->IsValidImgIndex(index) ? index : -1;
}

}  // namespace

vcl::TRect TlvSBAnimation::GetFormBounds() {
  RECT wr{};
  HWND origin = BorderForm && BorderForm->AForm && BorderForm->AForm->HandleAllocated() ? BorderForm->AForm->Handle()
                                                                                         : FormHandle;
  GetWindowRect(origin, &wr);
  const vcl::TRect b = PBtnData->Rect;
  vcl::TRect r(wr.left + b.Left, wr.top + b.Top, 0, 0);
  const int offset = Offset();
  if (offset != 0) {
    TsSkinManager* m = ManagerOf(SkinData);
    const int glow = GlowMask(m, *PBtnData);
    if (glow >= 0) {
      r.Left -= offset;
      r.Top -= offset;
      r.Right = r.Left + WidthOfImage(m->ma[glow]);
      r.Bottom = r.Top + HeightOfImage(m->ma[glow]);
      return r;
    }
  }
  r.Right = r.Left + std::max(0, b.Width());
  r.Bottom = r.Top + std::max(0, b.Height());
  return r;
}

void TlvSBAnimation::MakeForm() {
  if (AForm) return;
  AForm = std::make_unique<vcl::TForm>(nullptr);
  AForm->SetVisible(false);
  AForm->SetBorderStyle(vcl::bsNone);
  AForm->SetTag(256);
  AForm->HandleNeeded();
  const HWND w = AForm->Handle();
  // The platform's form class has no drop shadow; nothing to take from the class (a change there would reach every
  // form of the class).
  SetWindowLongPtrW(w, GWL_EXSTYLE,
                    GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
}

void TlvSBAnimation::MakeImg() {
  if (!PBtnData) return;
  if (CurrentState == 0 && ABmp) return;
  TsSkinManager* m = ManagerOf(SkinData);
  if (!m) return;
  const vcl::TRect r = GetFormBounds();
  const unsigned hc = PBtnData->HitCode;
  bool glow = m->Effects()->AllowGlowing() && CurrentState == 1 && (hc == HTMINBUTTON || hc == HTMAXBUTTON || hc == HTCLOSE);
  int index = PBtnData->ImageIndex;
  if (Provider && hc == HTMINBUTTON && Provider->IsIconic() && m->IsValidImgIndex(m->ConstData.MaskNormBtn))
    index = m->ConstData.MaskNormBtn;
  int glowIndex = -1;
  if (glow && index >= 0) {
    glowIndex = GlowMask(m, *PBtnData);
    glow = glowIndex >= 0;
  }
  if (!ABmp) ABmp = CreateBmp32(std::max(0, r.Width()), std::max(0, r.Height()));
  if (glow) {
    const TsMaskData& gm = m->ma[glowIndex];
    if (gm.Bmp)
      BitBlt(ABmp->Canvas()->Handle(), 0, 0, ABmp->Width(), ABmp->Height(), gm.Bmp->Canvas()->Handle(), gm.R.Left,
             gm.R.Top, SRCCOPY);
  } else {
    FillAlphaRect(ABmp.get(), vcl::TRect(0, 0, ABmp->Width(), ABmp->Height()), 0);
    for (int y = 0; y < ABmp->Height(); ++y) std::fill_n(static_cast<std::uint32_t*>(ABmp->ScanLine(y)), ABmp->Width(), 0u);
    if (m->IsValidImgIndex(index))
      DrawSkinGlyph(ABmp.get(), vcl::TPoint(0, 0), PBtnData->State, 1, m->ma[index], MakeCacheInfo(ABmp.get()));
    if (!BorderForm && (!m->IsValidImgIndex(index) || m->ma[index].MaskType == 0)) {
      for (int y = 0; y < ABmp->Height(); ++y) {
        auto* row = static_cast<std::uint32_t*>(ABmp->ScanLine(y));
        for (int x = 0; x < ABmp->Width(); ++x)
          if (row[x] == 0x00FF00FFu) row[x] |= 0xFF000000u;
      }
    }
    if (!AeroIsEnabled()) UpdateAlpha(ABmp.get());
  }
  // A user title button's own glyph goes on top of the skin's image.
  if (Provider && hc >= static_cast<unsigned>(HTUDBTN) &&
      hc < static_cast<unsigned>(HTUDBTN + Provider->TitleButtons()->Count())) {
    TsTitleButton* tb = Provider->TitleButtons()->Items(static_cast<int>(hc) - HTUDBTN);
    vcl::TBitmap* g = tb->Glyph();
    if (g && !g->Empty()) {
      const int press = PBtnData->State == 2 ? 1 : 0;
      const int x = (ABmp->Width() - g->Width()) / 2 + press, y = (ABmp->Height() - g->Height()) / 2 + press;
      const vcl::TColor key = g->Canvas()->Pixels(0, g->Height() - 1);
      TsColor k;
      k.C = static_cast<std::uint32_t>(SwapRedBlue(static_cast<std::uint32_t>(vcl::ColorToRGB(key))));
      CopyTransBitmaps(ABmp.get(), g, x, y, k);
      FillAlphaRect(ABmp.get(), vcl::TRect(x, y, x + g->Width(), y + g->Height()), 255);
    }
  }
}

void TlvSBAnimation::UpdateForm(int blend) {
  if (!ABmp) MakeImg();
  if (!AForm) MakeForm();
  if (!ABmp || !AForm || !AForm->HandleAllocated() || !PBtnData) return;
  vcl::TRect r = GetFormBounds();
  if (r.Width() != ABmp->Width()) {
    const int d = (ABmp->Width() - r.Width()) / 2, dy = (ABmp->Height() - r.Height()) / 2;
    r.Left -= d;
    r.Top -= dy;
  }
  const HWND w = AForm->Handle();
  HWND owner = BorderForm && BorderForm->AForm && BorderForm->AForm->HandleAllocated() ? BorderForm->AForm->Handle()
                                                                                        : FormHandle;
  HWND after = (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST : GetWindow(owner, GW_HWNDPREV);
  if (after == w) after = nullptr;
  SetWindowPos(w, after ? after : HWND_TOP, r.Left, r.Top, ABmp->Width(), ABmp->Height(),
               SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | (after ? 0 : SWP_NOZORDER));
  SetWindowLongPtrW(w, GWL_EXSTYLE,
                    GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
  if (UpdateLayeredWindowProc) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(blend, 0, 255)), AC_SRC_ALPHA};
    SIZE size{ABmp->Width(), ABmp->Height()};
    POINT origin{0, 0};
    HDC screen = GetDC(nullptr);
    UpdateLayeredWindowProc(w, screen, nullptr, &size, ABmp->Canvas()->Handle(), &origin, kNoKey, &bf, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
  }
  LastBlend = std::clamp(blend, 0, 255);
  if (Shown.size() < 256) Shown.push_back(LastBlend);
  ShowWindow(w, SW_SHOWNOACTIVATE);
}

void StartSBAnimation(TsCaptionButton* btn, int newState, int iterations, bool up, TsSkinProvider* skinProvider,
                      void* dialogWnd) {
  if (!btn) return;
  if (TlvSBAnimation* t = btn->Timer) {
    if (up) t->CurrentState = newState;
    t->MaxIterations = iterations;
    t->Up = up;
    t->SetEnabled(true);
    if (newState == 2) {
      t->AForm.reset();
      t->ABmp.reset();
      t->MakeForm();
      t->MakeImg();
    }
    t->CurrentLevel = std::max(1, Animated(t->SkinData, iterations));
    return;
  }
  auto* dlg = static_cast<TlvDialogWnd*>(dialogWnd);
  if ((!skinProvider && !dlg) || Closing()) return;
  TlvSBAnimation* t = nullptr;
  if (skinProvider) {
    t = new TlvSBAnimation(skinProvider);
    t->Provider = skinProvider;
    t->BorderForm = skinProvider->BorderForm;
    vcl::TForm* form = skinProvider->Form;
    t->FormHandle = form && form->HandleAllocated() ? form->Handle() : nullptr;
    t->SkinData = skinProvider->SkinData();
  } else {
    // A dialog frame's button: the application owns the fade, the dialog frame frees it (KillAnimations).
    t = new TlvSBAnimation(vcl::Application);
    t->BorderForm = dlg->BorderForm;
    t->FormHandle = dlg->CtrlHandle;
    t->SkinData = dlg->SkinData;
  }
  btn->Timer = t;
  t->SetEnabled(false);
  t->PBtnData = btn;
  t->MaxIterations = std::max(1, Animated(t->SkinData, iterations));
  t->SetInterval(10);
  t->StartAnimation(newState, true);
}
