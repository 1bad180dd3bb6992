#include "skin/controls/sPopupCalendar.h"

#include <commctrl.h>

#include "skin/controls/sDateUtils.h"
#include "skin/controls/sToolEdit.h"

TsPopupCalendar::TsPopupCalendar(vcl::TComponent* owner) : vcl::TCustomControl(owner) {
  visible_ = false;
  SetBounds(0, 0, 197, 166);
}

TsPopupCalendar::~TsPopupCalendar() = default;

void TsPopupCalendar::CreateParams(vcl::TCreateParams& p) {
  vcl::TCustomControl::CreateParams(p);
  // A popup of the edit's window, never activated, so the edit keeps the focus while it is open.
  p.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WndParent = FEditor && FEditor->HandleAllocated() ? GetAncestor(FEditor->Handle(), GA_ROOT) : nullptr;
}

void TsPopupCalendar::InitializeWnd() {
  vcl::TCustomControl::InitializeWnd();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_DATE_CLASSES};
  InitCommonControlsEx(&icc);
  FCalendar = CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, width_, height_, handle_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!FCalendar) return;
  RECT r{};
  if (SendMessageW(FCalendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r)) && r.right > 0 && r.bottom > 0) {
    SetWindowPos(FCalendar, nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    // The popup takes the calendar's size plus its own border.
    SetBounds(left_, top_, r.right + 2, r.bottom + 2);
  }
}

void TsPopupCalendar::DestroyWnd() {
  FCalendar = nullptr;
  vcl::TCustomControl::DestroyWnd();
}

rtl::TDateTime TsPopupCalendar::CalendarDate() const {
  SYSTEMTIME st{};
  if (!FCalendar || !SendMessageW(FCalendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st))) return NullDate;
  rtl::TDateTime date = NullDate;
  if (!rtl::TryEncodeDate(st.wYear, st.wMonth, st.wDay, date)) return NullDate;
  return date;
}

void TsPopupCalendar::SetCalendarDate(rtl::TDateTime value) {
  if (!ValidDate(value) || value == NullDate) value = rtl::Date();
  rtl::Word y = 0, m = 0, d = 0;
  rtl::DecodeDate(value, y, m, d);
  SYSTEMTIME st{};
  st.wYear = y;
  st.wMonth = m;
  st.wDay = d;
  if (FCalendar) SendMessageW(FCalendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
}

void TsPopupCalendar::SetLimits(rtl::TDateTime minDate, rtl::TDateTime maxDate) {
  if (!FCalendar) return;
  SYSTEMTIME range[2] = {};
  DWORD flags = 0;
  auto put = [](rtl::TDateTime date, SYSTEMTIME& st) {
    rtl::Word y = 0, m = 0, d = 0;
    rtl::DecodeDate(date, y, m, d);
    st.wYear = y;
    st.wMonth = m;
    st.wDay = d;
  };
  if (minDate != 0 && ValidDate(minDate)) put(minDate, range[0]), flags |= GDTR_MIN;
  if (maxDate != 0 && ValidDate(maxDate)) put(maxDate, range[1]), flags |= GDTR_MAX;
  SendMessageW(FCalendar, MCM_SETRANGE, flags, reinterpret_cast<LPARAM>(range));
}

void TsPopupCalendar::Accept() {
  rtl::TDateTime date = CalendarDate();
  TsCustomDateEdit* editor = FEditor;
  if (editor) {
    // A day the edit cannot take leaves the calendar open for another pick.
    if (date == NullDate || !editor->WithinLimits(date) || !editor->AcceptDate(date)) return;
  }
  if (handle_) ShowWindow(handle_, SW_HIDE);
}

void TsPopupCalendar::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr && hdr->hwndFrom == FCalendar && hdr->code == MCN_SELECT) {
        Accept();
        m.Result = 0;
        return;
      }
      break;
    }
    case WM_MOUSEACTIVATE:
      // Clicks on the calendar must not take the activation (and with it the focus) from the edit's form.
      m.Result = MA_NOACTIVATE;
      return;
    default:
      break;
  }
  vcl::TCustomControl::Dispatch(m);
}

VCL_REGISTER(TsPopupCalendar) {}
