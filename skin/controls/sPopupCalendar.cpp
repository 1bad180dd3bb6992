#include "skin/controls/sPopupCalendar.h"

#include "skin/controls/sDateUtils.h"
#include "skin/controls/sToolEdit.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sPixels.h"

TsPopupCalendar* sPopupCalendar = nullptr;

TsPopupCalendar::TsPopupCalendar(vcl::TComponent* owner) : vcl::TCustomControl(owner) {
  visible_ = false;
  SetBounds(0, 0, 189, 160);
  FCalendar = new TsMonthCalendar(this);
  FCalendar->SkinData()->SetSkinSection(L"PANEL");
  FCalendar->SetAlign(vcl::alClient);
  FCalendar->SetParent(this);
}

TsPopupCalendar::~TsPopupCalendar() {
  if (sPopupCalendar == this) sPopupCalendar = nullptr;
}

void TsPopupCalendar::CreateParams(vcl::TCreateParams& p) {
  vcl::TCustomControl::CreateParams(p);
  // A popup of the edit's form, never activated, so the edit keeps the focus while it is open.
  p.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WndParent = FEditor && FEditor->HandleAllocated() ? GetAncestor(FEditor->Handle(), GA_ROOT) : nullptr;
}

void TsPopupCalendar::CreateWnd() {
  vcl::TCustomControl::CreateWnd();
  SetClassLongPtrW(handle_, GCL_STYLE, GetClassLongPtrW(handle_, GCL_STYLE) | CS_DROPSHADOW);
}

void TsPopupCalendar::SetCalendarDate(rtl::TDateTime value) {
  if (!ValidDate(value) || value == NullDate) value = rtl::Date();
  FCalendar->SetCalendarDate(value);
}

void TsPopupCalendar::SetLimits(rtl::TDateTime minDate, rtl::TDateTime maxDate) {
  FCalendar->SetMinDate(0);
  FCalendar->SetMaxDate(0);
  FCalendar->SetMinDate(minDate != 0 && ValidDate(minDate) ? minDate : 0);
  FCalendar->SetMaxDate(maxDate != 0 && ValidDate(maxDate) ? maxDate : 0);
}

bool TsPopupCalendar::IsValidDate(rtl::TDateTime date) const {
  return !FEditor || FEditor->WithinLimits(date);
}

bool TsPopupCalendar::IsOpen() const { return handle_ && IsWindowVisible(handle_); }

void TsPopupCalendar::CloseUp() {
  if (OnCloseUp) OnCloseUp(FEditor ? static_cast<rtl::TObject*>(FEditor) : this);
}

void TsPopupCalendar::CalendarClick() {
  rtl::TDateTime date = FCalendar->CalendarDate();
  TsCustomDateEdit* editor = FEditor;
  bool canAccept = true;
  if (editor) {
    if (!IsValidDate(date)) return;
    if (editor->OnAcceptDate) editor->OnAcceptDate(editor, date, canAccept);
    // A day the edit cannot take (its field cannot change now) leaves the calendar open for another pick.
    if (!canAccept || date == NullDate || !IsValidDate(date) || !editor->AcceptDate(date)) return;
  }
  Close();
  if (editor && editor->Visible() && editor->Enabled()) {
    if (editor->CanFocus()) editor->SetFocus();
    CloseUp();
  }
}

void TsPopupCalendar::Close() {
  FCalendar->Grid()->Clicked = false;
  SetVisible(false);
  if (handle_ && IsWindowVisible(handle_)) ShowWindow(handle_, SW_HIDE);
  if (sPopupCalendar == this) sPopupCalendar = nullptr;
}

void TsPopupCalendar::Cancel() {
  if (FEditor && FEditor->Visible() && FEditor->CanFocus() && !FEditor->Focused()) FEditor->SetFocus();
  Close();
}

void TsPopupCalendar::UpdateRegion(bool redraw) {
  TsSkinManager* sm = FEditor ? FEditor->SkinData()->SkinManager() : nullptr;
  if (!handle_) return;
  if (!sm || !sm->Active()) {
    SetWindowRgn(handle_, nullptr, redraw);
    return;
  }
  // The key-coloured corner pixels of the calendar's border image are cut out of the window.
  TAOR cut;
  const int index = FCalendar->SkinData()->BorderIndex;
  if (sm->IsValidImgIndex(index)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(index)];
    AddRgn(cut, width_, md, 0, false);
    AddRgn(cut, width_, md, height_ - md.WB, true);
  }
  HRGN rgn = CreateRectRgn(0, 0, width_, height_);
  for (const vcl::TRect& r : cut) {
    HRGN part = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(rgn, rgn, part, RGN_DIFF);
    DeleteObject(part);
  }
  if (!SetWindowRgn(handle_, rgn, redraw)) DeleteObject(rgn);
}

void TsPopupCalendar::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEACTIVATE:
      // Clicks on the calendar must not take the activation (and with it the focus) from the edit's form.
      m.Result = MA_NOACTIVATE;
      return;
    case WM_SHOWWINDOW:
      if (m.WParam) {
        UpdateRegion(false);
        if (FEditor) FCalendar->SetShowCurrentDate(FEditor->ShowCurrentDate());
      }
      break;
    case WM_ACTIVATEAPP:
      // Another program took the activation: the drop-down must not stay over it.
      if (!m.WParam && handle_ && IsWindowVisible(handle_)) Close();
      break;
    case WM_NCPAINT:
      // The frame may have been rebuilt without the outline (a style or size change): set it again, quietly,
      // so that setting it does not ask for another frame repaint.
      if (FEditor && FEditor->SkinData()->SkinManager() && FEditor->SkinData()->SkinManager()->Active())
        UpdateRegion(false);
      break;
    case WM_ERASEBKGND:
      if (DefaultManager && DefaultManager->Active()) {
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  vcl::TCustomControl::Dispatch(m);
}

VCL_REGISTER(TsPopupCalendar) {}
