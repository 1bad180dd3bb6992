#include "platform/vcl/hintwindow.h"

#include <algorithm>

#include "platform/vcl/forms.h"

namespace vcl {

namespace {
// The text stands this far from the window's left and top edges (border included).
constexpr int kTextLeft = 2, kTextTop = 2;
// Width and height the border and the text margins add to the text's own extent.
constexpr int kExtraWidth = 6, kExtraHeight = 2;
constexpr UINT kTextFlags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
}  // namespace

VCL_REGISTER(THintWindow) {}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(clInfoBk);
  if (Screen && Screen->HintFont()) SetFont(Screen->HintFont());
  Font()->SetColor(clInfoText);
  SetParentFont(false);
  SetParentColor(false);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const String& hint) {
  RECT r{0, 0, std::max(maxWidth - kExtraWidth, 1), 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &r, kTextFlags | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // A single word longer than the room is not broken: the window still keeps to the width asked for.
  const int width = std::min<int>(r.right + kExtraWidth, std::max(maxWidth, kExtraWidth));
  return TRect(0, 0, width, r.bottom + kExtraHeight);
}

void THintWindow::ActivateHint(const TRect& rect, const String& hint) {
  SetCaption(hint);
  SetBoundsRect(rect);
  SetWindowPos(Handle(), HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

bool THintWindow::HintShowing() const { return handle_ && IsWindowVisible(handle_); }

void THintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCHITTEST:
      m.Result = HTTRANSPARENT;
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    default:
      TCustomControl::WndProc(m);
  }
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  RECT cr;
  ::GetClientRect(Handle(), &cr);
  c->FillRect(TRect(cr));
  TRect text(kTextLeft - 1, kTextTop - 1, cr.right, cr.bottom);
  c->Brush()->SetStyle(bsClear);
  c->TextRect(text, Caption(), kTextFlags);
}

}  // namespace vcl
