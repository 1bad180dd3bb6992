#include "skin/core/sCoverForms.h"

#include <algorithm>

#include "skin/core/sAnimations.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"

VCL_REGISTER(TlvMoveTimer) {}

std::unique_ptr<vcl::TForm> MakeCoverForm(HWND wnd) {
  if (!wnd || !IsWindow(wnd)) return nullptr;
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = std::max(0, static_cast<int>(r.right - r.left)), h = std::max(0, static_cast<int>(r.bottom - r.top));
  auto cover = std::make_unique<vcl::TForm>(nullptr);
  cover->SetVisible(false);
  cover->SetBorderStyle(vcl::bsNone);
  cover->SetTag(256);
  cover->SetBounds(r.left, r.top, w, h);
  cover->HandleNeeded();
  const HWND cw = cover->Handle();
  SetWindowLongPtrW(cw, GWL_EXSTYLE, GetWindowLongPtrW(cw, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
  // A change of the class reaches every form of it: only a shadow that is there is taken away.
  const ULONG_PTR classStyle = GetClassLongPtrW(cw, GCL_STYLE);
  if (classStyle & CS_DROPSHADOW) SetClassLongPtrW(cw, GCL_STYLE, classStyle & ~static_cast<ULONG_PTR>(CS_DROPSHADOW));
  auto snapshot = CreateBmp32(w, h);
  if (HDC dc = GetWindowDC(wnd)) {
    BitBlt(snapshot->Canvas()->Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
  }
  GdiFlush();
  FillAlphaRect(snapshot.get(), vcl::Rect(0, 0, w, h), 255);
  const POINT pos{r.left, r.top};
  SetFormBlendValue(cw, snapshot.get(), 255, &pos);
  SetWindowPos(cw, HWND_TOPMOST, r.left, r.top, 0, 0,
               SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  return cover;
}

TlvMoveTimer::TlvMoveTimer(vcl::TComponent* owner) : TlvThreadedTimer(owner) {
  SetEnabled(false);
  OnTimer = [this](rtl::TObject*) { TimeHandler(); };
  SetInterval(10);
}

void TlvMoveTimer::TimeHandler() {
  const int alpha = std::clamp(static_cast<int>(CurrentBlendValue), 0, 255);
  if (BorderForm && BorderForm->AForm && BorderForm->AForm->HandleAllocated()) {
    SetFormBlendValue(BorderForm->AForm->Handle(), FrameImage, alpha);
  } else if (FormHandle && IsWindow(FormHandle)) {
    const LONG_PTR ex = GetWindowLongPtrW(FormHandle, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(FormHandle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(FormHandle, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  }
  AlphaSet(alpha);
  // The fade stops at the value asked for: a last step never takes it below.
  if (CurrentBlendValue > BlendValue) CurrentBlendValue = std::max<double>(CurrentBlendValue - BlendStep, BlendValue);
}

double MoveBlendStep(std::uint8_t blendValue, int timeMs) {
  const double range = 255.0 - blendValue;
  return timeMs <= 10 ? range : range / (timeMs / 10.0);
}
