// The fade of a hovered or pressed title-bar item: the item's new look, painted by the provider into an image of
// its own, is shown by a borderless layered window laid exactly over the item, its opacity stepped every 10 ms.
// The window never takes the focus nor the mouse.
#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/forms/sTitleBar.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"

VCL_REGISTER(TlvItemAnimation) {}

namespace {

constexpr COLORREF kNoKey = 0x1FFFFFFF;

HWND OriginOf(const TlvItemAnimation& t) {
  if (t.Item && t.Item->ExtForm && t.Item->ExtForm->HandleAllocated()) return t.Item->ExtForm->Handle();
  return t.FormHandle;
}

}  // namespace

TlvItemAnimation::TlvItemAnimation(vcl::TComponent* owner) : vcl::TTimer(owner) {
  SetEnabled(false);
  OnTimer = [this](rtl::TObject*) { OnAnimTimer(); };
}

TlvItemAnimation::~TlvItemAnimation() {
  SetEnabled(false);
  OldForm.reset();
  AForm.reset();
  NewBmp.reset();
  if (Item && Item->Timer == this) Item->Timer = nullptr;
}

int TlvItemAnimation::Step() const { return MaxIterations > 0 ? std::max(255 / MaxIterations, 0) : 255; }

void TlvItemAnimation::ChangeState(int, bool show) {
  ToShow = show;
  SetEnabled(true);
}

void TlvItemAnimation::StartAnimation(int newState, bool show) {
  if (newState == CurrentState) return;
  CurrentState = newState;
  if (newState != 0) {
    if (newState == 2) {
      AForm.reset();
      NewBmp.reset();
    }
    CurrentLevel = 1;
    ToShow = show;
    UpdateForm(std::min(Step(), 255));
    CurrentLevel = 2;
    SetEnabled(true);
  } else {
    ToShow = false;
    --CurrentLevel;
    UpdateForm(255);
    if (MaxIterations >= 2) SetEnabled(true);
  }
}

void TlvItemAnimation::OnAnimTimer() {
  if (!Enabled()) return;
  if (ToShow) {
    if (CurrentLevel < MaxIterations) {
      UpdateForm(std::max(0, std::min(Step() * CurrentLevel, 255)));
      ++CurrentLevel;
    } else {
      CheckMouseLeave();
      // The leave may already have turned this fade round: its last frame is not shown then, or the window would
      // stay at full opacity after the pointer left.
      if (!ToShow) return;
      if (MaxIterations != -1) {
        UpdateForm(255);
        MaxIterations = -1;
        OldForm.reset();
      }
    }
    return;
  }
  if (CurrentLevel > 0) {
    UpdateForm(std::max(0, std::min(Step() * CurrentLevel, 255)));
    --CurrentLevel;
    return;
  }
  CurrentState = -1;
  SetEnabled(false);
  NewBmp.reset();
  AForm.reset();
  OldForm.reset();
}

void TlvItemAnimation::CheckMouseLeave() {
  if (!Item || !FormHandle) return;
  POINT p;
  GetCursorPos(&p);
  RECT r{};
  GetWindowRect(OriginOf(*this), &r);
  if (!Item->Rect.Contains(vcl::TPoint(p.x - r.left, p.y - r.top))) {
    SetEnabled(false);
    SendMessageW(FormHandle, WM_MOUSELEAVE, 0, 0);
  }
}

vcl::TRect TlvItemAnimation::GetFormBounds() {
  RECT wr{};
  GetWindowRect(OriginOf(*this), &wr);
  const vcl::TRect& b = Item->Rect;
  return vcl::TRect(wr.left + b.Left, wr.top + b.Top, wr.left + b.Left + std::max(0, b.Width()),
                    wr.top + b.Top + std::max(0, b.Height()));
}

void TlvItemAnimation::MakeImg() {
  if (!Item) return;
  if (CurrentState == 0 && NewBmp) return;
  const vcl::TRect r = GetFormBounds();
  NewBmp = CreateBmp32(std::max(1, r.Width()), std::max(1, r.Height()));
  if (Item->OnDrawItem) {
    Item->OnDrawItem(Item, vcl::TRect(0, 0, NewBmp->Width(), NewBmp->Height()), NewBmp.get());
  } else {
    for (int y = 0; y < NewBmp->Height(); ++y)
      std::fill_n(static_cast<std::uint32_t*>(NewBmp->ScanLine(y)), NewBmp->Width(), 0xFF00FFFFu);
  }
}

void TlvItemAnimation::MakeForm() {
  if (AForm) return;
  AForm = std::make_unique<vcl::TForm>(nullptr);
  AForm->SetTag(256);
  AForm->SetVisible(false);
  AForm->SetBorderStyle(vcl::bsNone);
  AForm->HandleNeeded();
  const HWND w = AForm->Handle();
  LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
  if (Item && Item->ExtForm && Item->ExtForm->FormStyle() == vcl::fsStayOnTop) ex |= WS_EX_TOPMOST;
  SetWindowLongPtrW(w, GWL_EXSTYLE, ex);
}

void TlvItemAnimation::UpdateForm(int opacity) {
  if (!Item || !FormHandle) return;
  if (!NewBmp) MakeImg();
  if (!AForm) MakeForm();
  if (!NewBmp || !AForm || !AForm->HandleAllocated()) return;
  vcl::TRect r = GetFormBounds();
  if (r.Width() != NewBmp->Width() || r.Height() != NewBmp->Height()) {
    r.Left -= (NewBmp->Width() - r.Width()) / 2;
    r.Top -= (NewBmp->Height() - r.Height()) / 2;
  }
  const HWND w = AForm->Handle();
  const HWND owner = OriginOf(*this);
  HWND after = (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST : GetWindow(owner, GW_HWNDPREV);
  if (after == w) after = nullptr;
  SetWindowPos(w, after ? after : HWND_TOP, r.Left, r.Top, NewBmp->Width(), NewBmp->Height(),
               SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | (after ? 0 : SWP_NOZORDER));
  SetWindowLongPtrW(w, GWL_EXSTYLE,
                    GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT);
  if (UpdateLayeredWindowProc) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(opacity, 0, 255)), AC_SRC_ALPHA};
    SIZE size{NewBmp->Width(), NewBmp->Height()};
    POINT origin{0, 0};
    HDC screen = GetDC(nullptr);
    UpdateLayeredWindowProc(w, screen, nullptr, &size, NewBmp->Canvas()->Handle(), &origin, kNoKey, &bf, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
  }
  LastBlend = std::clamp(opacity, 0, 255);
  ShowWindow(w, SW_SHOWNOACTIVATE);
}

void StartItemAnimation(TlvTitleBarItem* item, int iterations, bool show, vcl::TForm* extForm) {
  if (!item) return;
  if (TlvItemAnimation* t = item->Timer) {
    const int state = item->GetState();
    if (state == 2 || (state == 1 && t->CurrentState == 2)) {
      // The look being left keeps showing underneath while the new one fades in.
      t->OldForm = std::move(t->AForm);
      t->NewBmp.reset();
    }
    if (show) t->CurrentState = state;
    t->MaxIterations = iterations;
    t->ToShow = show;
    t->SetEnabled(true);
    item->ExtForm = extForm;
    t->StartAnimation(state, true);
    if (state == 2) t->CurrentLevel = iterations;
    return;
  }
  TsTitleBar* bar = item->TitleBar();
  if (!bar || !bar->Form || !bar->Form->HandleAllocated() || (vcl::Application && vcl::Application->Terminated()))
    return;
  auto* t = new TlvItemAnimation(bar->Form);
  item->Timer = t;
  item->ExtForm = extForm;
  t->FormHandle = bar->Form->Handle();
  t->Item = item;
  t->MaxIterations = iterations;
  t->SetInterval(10);
  t->StartAnimation(item->GetState(), true);
}
