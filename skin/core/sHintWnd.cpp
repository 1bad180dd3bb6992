#include "skin/core/sHintWnd.h"

#include "platform/vcl/application.h"
#include "skin/core/sMessages.h"
#include "skin/core/sWndUtils.h"

bool (*ShowManagedHint)(const rtl::String& hint, const vcl::TPoint& pos, int hideTime) = nullptr;
bool (*ManagedHintsActive)() = nullptr;

namespace {
constexpr int kMaxHintWidth = 800;
constexpr vcl::TPoint kHintOffset{8, 16};
// Longer texts appear at once: a fade of a large window is slow to draw.
constexpr size_t kFadeTextLimit = 100;
constexpr DWORD kFadeMs = 200;

bool SystemFadesTooltips() {
  BOOL animation = FALSE, fade = FALSE;
  SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
  SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  return animation && fade;
}
}  // namespace

bool lvHintsManaged() { return ManagedHintsActive && ManagedHintsActive(); }

std::unique_ptr<vcl::THintWindow> lvShowHintWnd(const rtl::String& hint, const vcl::TPoint& pos) {
  // An empty hint shows nothing, not even an empty balloon.
  if (hint.empty()) return nullptr;
  if (lvHintsManaged() && ShowManagedHint &&
      ShowManagedHint(hint, pos, vcl::Application ? vcl::Application->HintHidePause() : 0))
    return nullptr;
  auto wnd = std::make_unique<vcl::THintWindow>(nullptr);
  wnd->SetVisible(false);
  wnd->SetColor(vcl::clInfoBk);
  vcl::TRect r = wnd->CalcHintRect(kMaxHintWidth, hint);
  // A hint window that is skinned lays itself out; the platform's gets 4 more pixels at the bottom, added before
  // the window is kept inside the work area so that it stays whole on the screen.
  const bool skinned = wnd->Perform(SM_LUMICMD, MAKEWPARAM(0, LVC_CTRLHANDLED), 0) == 1;
  if (!skinned) r.Bottom += 4;
  OffsetRect(vcl::AsRECT(&r), pos.X + kHintOffset.X, pos.Y + kHintOffset.Y);
  const vcl::TRect work = lvWorkRect(pos);
  if (!work.IsEmpty()) {
    if (r.Right > work.Right) OffsetRect(vcl::AsRECT(&r), work.Right - r.Right, 0);
    if (r.Bottom > work.Bottom) OffsetRect(vcl::AsRECT(&r), 0, work.Bottom - r.Bottom);
  }
  if (skinned) {
    wnd->ActivateHint(r, hint);
    return wnd;
  }
  wnd->SetCaption(hint);
  if (vcl::Application) wnd->SetParentWindow(vcl::Application->Handle());
  wnd->SetBoundsRect(r);
  HWND h = wnd->Handle();
  SetWindowPos(h, HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_NOACTIVATE);
  if (hint.size() < kFadeTextLimit && SystemFadesTooltips()) AnimateWindow(h, kFadeMs, AW_BLEND);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  wnd->Invalidate();
  return wnd;
}
