#include "skin/controls/sCustomComboEdit.h"

#include <algorithm>

#include "skin/controls/sCtrlPaint.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

TsEditButton::TsEditButton(vcl::TComponent* owner) : vcl::TCustomControl(owner) { SetBounds(0, 0, 17, 17); }

bool TsEditButton::Ready() const {
  return !ComponentState().Contains(vcl::csLoading) && !ComponentState().Contains(vcl::csDestroying);
}

void TsEditButton::SetBlend(int value) {
  if (value == FBlend) return;
  FBlend = value;
  Invalidate();
}

void TsEditButton::SetGrayed(bool value) {
  if (value == FGrayed) return;
  FGrayed = value;
  Invalidate();
}

void TsEditButton::GlyphChanged(int width, int numGlyphs) {
  FGlyphWidth = width;
  FNumGlyphs = numGlyphs;
  if (TsCustomComboEdit* edit = Edit()) edit->PlaceButton();
  Invalidate();
}

int TsEditButton::ImageIndexFor(int state) const {
  TsCustomComboEdit* edit = Edit();
  TsGlyphMode* mode = edit ? edit->GlyphMode() : nullptr;
  if (!mode || !mode->Images()) return -1;
  const int count = GetImageCount(mode->Images());
  auto valid = [&](int i) { return i >= 0 && i < count; };
  if (!valid(mode->ImageIndex())) return -1;
  const int wanted = state == 2 ? mode->ImageIndexPressed() : state == 1 ? mode->ImageIndexHot() : mode->ImageIndex();
  return valid(wanted) ? wanted : mode->ImageIndex();
}

int TsEditButton::ButtonWidth() const { return ImageIndexFor(0) >= 0 && FGlyphWidth > 0 ? FGlyphWidth : 17; }

void TsEditButton::DrawImage(vcl::TBitmap* bmp, int state, bool enabled) {
  TsCustomComboEdit* edit = Edit();
  TsGlyphMode* mode = edit->GlyphMode();
  const int w = mode->Width(), h = mode->Height();
  TlvDrawGlyphData d;
  d.Images = mode->Images();
  d.ImageIndex = ImageIndexFor(state);
  d.NumGlyphs = 1;
  d.CurrentState = state;
  d.Down = FPressed;
  d.Enabled = enabled;
  d.Blend = FBlend;
  d.Grayed = FGrayed && state == 0;
  d.DisabledGlyphKind = TsDisabledGlyphKind{dgBlended};
  d.ImgRect = vcl::TRect((width_ - w) / 2, (height_ - h) / 2, (width_ - w) / 2 + w, (height_ - h) / 2 + h);
  TsCommonData* sd = edit->SkinData();
  d.SkinManager = sd->SkinManager();
  d.BGColor = vcl::ColorToRGB(edit->Color());
  if (bmp) {
    d.SkinIndex = sd->SkinIndex;
    d.DstBmp = bmp;
    d.Canvas = bmp->Canvas();
  } else {
    d.Canvas = Canvas();
  }
  lvDrawGlyphEx(d);
}

TsCustomComboEdit* TsEditButton::Edit() const { return dynamic_cast<TsCustomComboEdit*>(Parent()); }

void TsEditButton::Dispatch(vcl::TMessage& m) {
  if (m.Msg == vcl::CM_MOUSEENTER || m.Msg == vcl::CM_MOUSELEAVE) {
    const bool hot = m.Msg == vcl::CM_MOUSEENTER;
    if (hot != FHot) {
      FHot = hot;
      if (TsCustomComboEdit* edit = Edit(); edit && edit->SkinData()->Skinned()) Invalidate();
    }
  }
  vcl::TCustomControl::Dispatch(m);
}

void TsEditButton::SkinnedPaint() {
  TsCustomComboEdit* edit = Edit();
  TsCommonData* sd = edit->SkinData();
  TsSkinManager* sm = sd->SkinManager();
  if (sd->BGChanged) edit->PrepareCache();
  auto bmp = CreateBmp32(std::max(1, width_), std::max(1, height_));
  HDC dc = bmp->Canvas()->Handle();
  // The button sits in the edit's client area, whose origin is the frame's width into the edit's cache.
  const int frame = edit->HandleAllocated() ? (edit->Width() - edit->ClientWidth()) / 2 : 2;
  vcl::TBitmap* cache = sd->CacheBmp();
  if (cache->Width() > 0)
    BitBlt(dc, 0, 0, width_, height_, cache->Canvas()->Handle(), left_ + frame, top_ + frame, SRCCOPY);
  else
    FillDC(dc, vcl::TRect(0, 0, width_, height_), vcl::ColorToRGB(edit->Color()));
  const bool usable = enabled_ && edit->Enabled() && !edit->ReadOnly();
  const int state = usable ? CurrentState() : 0;
  const vcl::TRect r(0, 0, width_, height_);
  const TlvConstElementData& e = sm->ConstData.ComboBtn;
  vcl::TColor colour = vcl::ColorToRGB(edit->Font()->Color());
  if (sm->IsValidSkinIndex(e.SkinIndex)) {
    auto bg = CreateBmp32(std::max(1, width_), std::max(1, height_));
    BitBlt(bg->Canvas()->Handle(), 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
    TCacheInfo ci;
    ci.Bmp = bg.get();
    ci.Ready = true;
    ci.FillColor = 0xFF00FF;
    PaintItem(e.SkinIndex, ci, true, state, r, vcl::TPoint(0, 0), bmp.get(), sm, e.BGIndex[0], e.BGIndex[1]);
    colour = sctrl::SectionFontColor(sm, e.SkinIndex, state, colour);
  } else {
    colour = sctrl::SectionFontColor(sm, sd->SkinIndex, state, colour);
  }
  if (ImageIndexFor(state) >= 0) {
    DrawImage(bmp.get(), state, usable);
  } else {
    // Disabled or read-only: the arrow fades into the button.
    if (!usable) colour = MixColors(colour, static_cast<vcl::TColor>(GetPixel(dc, 1, height_ / 2)), 0.4);
    DrawColorArrow(bmp->Canvas(), colour, r, asBottom);
  }
  BitBlt(Canvas()->Handle(), 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
}

void TsEditButton::Paint() {
  if (TsCustomComboEdit* edit = Edit(); edit && edit->SkinData()->Skinned()) {
    SkinnedPaint();
    return;
  }
  RECT r{0, 0, width_, height_};
  const bool inactive = !enabled_ || (Edit() && !Edit()->Enabled());
  if (Edit() && ImageIndexFor(CurrentState()) >= 0) {
    // The image on a push button's face.
    DrawFrameControl(Canvas()->Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (FPressed ? DFCS_PUSHED : 0));
    DrawImage(nullptr, inactive ? 0 : CurrentState(), !inactive);
    return;
  }
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (FPressed) state |= DFCS_PUSHED;
  if (inactive) state |= DFCS_INACTIVE;
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
    edit->EditButtonClick();
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
  FGlyphMode = std::make_unique<TsGlyphMode>(this);
  FGlyphMode->Btn = FButton;
  PlaceButton();
}

TsCustomComboEdit::~TsCustomComboEdit() {
  // The button goes with the edit's children; the settings must not reach it meanwhile.
  FGlyphMode.reset();
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
  int w = FShowButton ? std::min(FButton->ButtonWidth(), std::max(0, width_ - 2 * frame)) : 0;
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

void TsCustomComboEdit::SetDirectInput(bool value) {
  FDirectInput = value;
  TsMaskEdit::SetReadOnly(!value || FReadOnly);
}

void TsCustomComboEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  TsMaskEdit::SetReadOnly(value || !FDirectInput);
  if (FButton) FButton->Invalidate();
}

void TsCustomComboEdit::EditButtonClick() {
  if (!FReadOnly) ButtonClick();
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
  int x = FPopupWindowAlign == pwaLeft ? r.left : r.right - w, y = r.bottom;
  // Kept on the monitor: above the edit when there is no room below, shifted in from either side.
  HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(monitor, &mi)) {
    if (y + h > mi.rcWork.bottom) y = r.top - h;
    if (FPopupWindowAlign == pwaLeft && x + w > mi.rcWork.right) x = r.right - w;
    if (x < mi.rcWork.left)
      x = mi.rcWork.left;
    else if (x + w > mi.rcWork.right)
      x = mi.rcWork.right - w;
  }
  SetWindowPos(wnd, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void TsCustomComboEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  // The click key (Alt+Down) toggles the popup while the button shows; Escape closes an open one.
  rtl::Word shortcut = key;
  if (shift.Contains(vcl::ssShift)) shortcut |= 0x2000;
  if (shift.Contains(vcl::ssCtrl)) shortcut |= 0x4000;
  if (shift.Contains(vcl::ssAlt)) shortcut |= 0x8000;
  if (shortcut == FClickKey && FShowButton) {
    EditButtonClick();
    key = 0;
    return;
  }
  if (shortcut == 0x4041) {
    // Ctrl+A selects the whole text; its character must not reach the edit.
    if (!Text().empty() && HandleAllocated()) SendMessageW(handle_, EM_SETSEL, 0, -1);
    MSG pending;
    if (HandleAllocated()) PeekMessageW(&pending, handle_, WM_CHAR, WM_CHAR, PM_REMOVE);
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
  if ((m.Msg == WM_PASTE || m.Msg == WM_CUT) && (FReadOnly || !FDirectInput)) return;
  if (m.Msg == vcl::CM_ENABLEDCHANGED && FButton) FButton->SetEnabled(Enabled());
  if (m.Msg == WM_KILLFOCUS && DroppedDown()) {
    // The popup goes away when the focus leaves for anything but the popup itself.
    HWND next = reinterpret_cast<HWND>(m.WParam);
    HWND popup = FPopupWindow->Handle();
    if (!next || (next != popup && !IsChild(popup, next))) PopupWindowClose();
  }
  TsMaskEdit::Dispatch(m);
}

VCL_REGISTER(TsEditButton) {}
VCL_REGISTER(TsCustomComboEdit) {
  cls.Prop(L"ClickKey", &TsCustomComboEdit::ClickKey, &TsCustomComboEdit::SetClickKey).Default(0x8028);
  cls.Prop(L"GlyphMode", &TsCustomComboEdit::GlyphMode, &TsCustomComboEdit::SetGlyphMode);
  cls.Prop(L"DirectInput", &TsCustomComboEdit::DirectInput, &TsCustomComboEdit::SetDirectInput).Default(true);
  cls.Prop(L"ReadOnly", &TsCustomComboEdit::ReadOnly, &TsCustomComboEdit::SetReadOnly).Default(false);
  cls.Prop(L"ShowButton", &TsCustomComboEdit::ShowButton, &TsCustomComboEdit::SetShowButton).Default(true);
}
