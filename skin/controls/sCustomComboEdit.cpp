#include "skin/controls/sCustomComboEdit.h"

#include <algorithm>

TsEditButton::TsEditButton(vcl::TComponent* owner) : vcl::TCustomControl(owner) { SetBounds(0, 0, 17, 17); }

TsCustomComboEdit* TsEditButton::Edit() const { return dynamic_cast<TsCustomComboEdit*>(Parent()); }

void TsEditButton::Paint() {
  RECT r{0, 0, width_, height_};
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (FPressed) state |= DFCS_PUSHED;
  if (!enabled_ || (Edit() && !Edit()->Enabled())) state |= DFCS_INACTIVE;
  DrawFrameControl(Canvas()->Handle(), &r, DFC_SCROLL, state);
}

void TsEditButton::DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  vcl::TCustomControl::DoMouseDown(button, shift, x, y);
  if (button != vcl::mbLeft) return;
  FPressed = true;
  Invalidate();
  // Dropping down on the press, as combo boxes do.
  if (TsCustomComboEdit* edit = Edit()) {
    if (edit->CanFocus() && !edit->Focused()) edit->SetFocus();
    edit->ButtonClick();
  }
}

void TsEditButton::DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  FPressed = false;
  Invalidate();
  vcl::TCustomControl::DoMouseUp(button, shift, x, y);
}

TsCustomComboEdit::TsCustomComboEdit(vcl::TComponent* owner) : TsMaskEdit(owner) {
  FCommonData->COC = COC_TsComboEdit;
  FButton = new TsEditButton(this);
  FButton->SetParent(this);
  PlaceButton();
}

void TsCustomComboEdit::CreateParams(vcl::TCreateParams& p) {
  TsMaskEdit::CreateParams(p);
  // The edit must not paint over its button.
  p.Style |= WS_CLIPCHILDREN;
}

void TsCustomComboEdit::InitializeWnd() {
  TsMaskEdit::InitializeWnd();
  PlaceButton();
}

void TsCustomComboEdit::SetBounds(int left, int top, int width, int height) {
  TsMaskEdit::SetBounds(left, top, width, height);
  PlaceButton();
}

void TsCustomComboEdit::PlaceButton() {
  if (!FButton) return;
  FButton->SetVisible(FShowButton);
  int frame = HandleAllocated() ? (width_ - ClientWidth()) / 2 : 2;
  int h = std::max(0, height_ - 2 * frame);
  int w = FShowButton ? std::min(17, std::max(0, width_ - 2 * frame)) : 0;
  FButton->SetBounds(std::max(0, width_ - 2 * frame - w), 0, w, h);
  if (HandleAllocated()) SendMessageW(handle_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w + 2));
}

void TsCustomComboEdit::SetShowButton(bool value) {
  if (value == FShowButton) return;
  FShowButton = value;
  PlaceButton();
}

bool TsCustomComboEdit::DroppedDown() const {
  return FPopupWindow && FPopupWindow->HandleAllocated() && IsWindowVisible(FPopupWindow->Handle());
}

void TsCustomComboEdit::ButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
  if (DroppedDown())
    PopupWindowClose();
  else
    PopupWindowShow();
}

void TsCustomComboEdit::PopupWindowShow() {}

void TsCustomComboEdit::PopupWindowClose() {
  if (DroppedDown()) ShowWindow(FPopupWindow->Handle(), SW_HIDE);
}

void TsCustomComboEdit::ShowPopupAt(vcl::TWinControl* popup) {
  FPopupWindow = popup;
  HWND wnd = popup->Handle();
  RECT r{};
  GetWindowRect(Handle(), &r);
  int w = popup->Width(), h = popup->Height();
  int x = r.right - w, y = r.bottom;
  // Kept on the monitor: above the edit when there is no room below.
  HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(monitor, &mi)) {
    if (y + h > mi.rcWork.bottom) y = r.top - h;
    if (x < mi.rcWork.left) x = mi.rcWork.left;
  }
  SetWindowPos(wnd, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void TsCustomComboEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  // Alt+Down toggles the popup; Escape closes an open one.
  if (key == VK_DOWN && shift.Contains(vcl::ssAlt)) {
    ButtonClick();
    key = 0;
    return;
  }
  if (key == VK_ESCAPE && DroppedDown()) {
    PopupWindowClose();
    key = 0;
    return;
  }
  TsMaskEdit::KeyDown(key, shift);
}

void TsCustomComboEdit::Dispatch(vcl::TMessage& m) {
  if (m.Msg == WM_KILLFOCUS && DroppedDown()) {
    // The popup goes away when the focus leaves for anything but the popup itself.
    HWND next = reinterpret_cast<HWND>(m.WParam);
    HWND popup = FPopupWindow->Handle();
    if (!next || (next != popup && !IsChild(popup, next))) PopupWindowClose();
  }
  TsMaskEdit::Dispatch(m);
}

VCL_REGISTER(TsEditButton) {}
VCL_REGISTER(TsCustomComboEdit) {}
