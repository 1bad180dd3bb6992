#include "skin/controls/sToolEdit.h"

#include "platform/rtl/exceptions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"
#include "skin/core/sStrings.h"
#include "skin/controls/sPopupCalendar.h"
#include "skin/core/sSkinManager.h"

namespace {
bool lvTextChanging = false;

// Sets the flag for one scope and puts it back, also when an exception leaves the scope.
class TTextChangingScope {
 public:
  TTextChangingScope() : old_(lvTextChanging) { lvTextChanging = true; }
  ~TTextChangingScope() { lvTextChanging = old_; }
  TTextChangingScope(const TTextChangingScope&) = delete;
  TTextChangingScope& operator=(const TTextChangingScope&) = delete;

 private:
  bool old_;
};

rtl::String Pad(int value, size_t width) {
  rtl::String s = std::to_wstring(value);
  while (s.size() < width) s.insert(s.begin(), L'0');
  return s.substr(s.size() - width);
}
}  // namespace

TsCustomDateEdit::TsCustomDateEdit(vcl::TComponent* owner)
    : TsCustomComboEdit(owner), FCalendarHints(std::make_unique<rtl::TStringList>()) {
  FCommonData->COC = COC_TsCustomDateEdit;
  FCalendarHints->OnChange = [this](rtl::TObject* sender) { CalendarHintsChanged(sender); };
  SetWidth(86);
  UpdateFormat();
  UpdateMask();
}

TsCustomDateEdit::~TsCustomDateEdit() {
  if (FHooked && vcl::Application) vcl::Application->UnhookMainWindow(FHookId);
  FHooked = false;
  if (FCalendarHints) FCalendarHints->OnChange = nullptr;
}

void TsCustomDateEdit::CreateWnd() {
  TsCustomComboEdit::CreateWnd();
  if (HandleAllocated()) UpdateMask();
  if (!ComponentState().Contains(vcl::csDesigning) && !FHooked && vcl::Application) {
    FHookId = vcl::Application->HookMainWindow([this](vcl::TMessage& m) { return FormatSettingsChange(m); });
    FHooked = true;
  }
}

void TsCustomDateEdit::DestroyWnd() {
  if (FHooked && vcl::Application) vcl::Application->UnhookMainWindow(FHookId);
  FHooked = false;
  TsCustomComboEdit::DestroyWnd();
}

bool TsCustomDateEdit::FormatSettingsChange(vcl::TMessage& m) {
  if (m.Msg == WM_SETTINGCHANGE) {
    rtl::GetFormatSettings();
    UpdateMask();
  }
  return false;
}

void TsCustomDateEdit::CalendarHintsChanged(rtl::TObject*) {
  auto saved = FCalendarHints->OnChange;
  FCalendarHints->OnChange = nullptr;
  while (FCalendarHints->Count() > 4) FCalendarHints->Delete(FCalendarHints->Count() - 1);
  FCalendarHints->OnChange = saved;
  if (!ComponentState().Contains(vcl::csDesigning)) UpdatePopup();
}

void TsCustomDateEdit::SetStartOfWeek(TCalDayOfWeek value) {
  FStartOfWeek = value;
  UpdatePopup();
}

void TsCustomDateEdit::SetWeekends(TDaysOfWeek value) {
  FWeekends = value;
  UpdatePopup();
}

void TsCustomDateEdit::SetWeekendColor(vcl::TColor value) {
  FWeekendColor = value;
  UpdatePopup();
}

int TsCustomDateEdit::CaretPos(int x) {
  const int n = FourDigitYear() ? 10 : 8;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  SIZE comma{}, zero{};
  GetTextExtentPoint32W(dc, L",", 1, &comma);
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int right = 0;
  for (int i = 1; i <= n; ++i) {
    right += i == 3 || i == 6 ? comma.cx : zero.cx;
    if (right > x) return i;
  }
  return 0;
}

bool TsCustomDateEdit::TextChanging() { return lvTextChanging; }

void TsCustomDateEdit::Loaded() {
  TsCustomComboEdit::Loaded();
  UpdateMask();
}

bool TsCustomDateEdit::FourDigitYear() const {
  return FYearDigits == dyFour || (FYearDigits == dyDefault && NormalYears());
}

void TsCustomDateEdit::UpdateFormat() { FDateFormat = DefDateFormat(FourDigitYear()).substr(0, 10); }

rtl::String TsCustomDateEdit::GetDateMask() const { return DefDateMask(FBlanksChar, FourDigitYear()); }

void TsCustomDateEdit::UpdateMask() {
  rtl::TDateTime date = Date();
  rtl::String oldFormat = FDateFormat;
  UpdateFormat();
  rtl::String mask = GetDateMask();
  if (mask != EditMask() || oldFormat != FDateFormat) {
    SetEditMask(L"");
    SetEditMask(mask);
  }
  SetDate(date);
}

void TsCustomDateEdit::SetYearDigits(TYearDigits value) {
  if (value == FYearDigits) return;
  FYearDigits = value;
  UpdateMask();
}

rtl::String TsCustomDateEdit::FormatDate(rtl::TDateTime date) const {
  rtl::Word y = 0, m = 0, d = 0;
  rtl::DecodeDate(date, y, m, d);
  rtl::String out;
  for (size_t i = 0; i < FDateFormat.size();) {
    wchar_t c = FDateFormat[i];
    size_t n = 1;
    while (i + n < FDateFormat.size() && FDateFormat[i + n] == c) ++n;
    switch (c) {
      case L'D':
        out += Pad(d, 2);
        break;
      case L'M':
        out += Pad(m, 2);
        break;
      case L'Y':
        out += n >= 4 ? Pad(y, 4) : Pad(y % 100, 2);
        break;
      case L'/':
        out += rtl::String(n, rtl::FormatSettings.DateSeparator);
        break;
      default:
        out += rtl::String(n, c);
        break;
    }
    i += n;
  }
  return out;
}

rtl::TDateTime TsCustomDateEdit::Date() {
  rtl::String text = Text();
  if (text.find(L' ') == rtl::String::npos && FIntDate != NullDate) return FIntDate;
  if (FDefaultToday && !ComponentState().Contains(vcl::csDesigning)) return rtl::Date();
  return NullDate;
}

void TsCustomDateEdit::SetDate(rtl::TDateTime value) {
  if (ValidDate(value) && value != NullDate)
    FIntDate = value;
  else
    FIntDate = FDefaultToday ? rtl::Date() : NullDate;
  rtl::TDateTime old = Date();
  if (!lvTextChanging) {
    TTextChangingScope scope;
    rtl::String text = FIntDate == NullDate ? rtl::String() : FormatDate(FIntDate);
    // Rewriting an unchanged text would only move the caret.
    bool unchanged = FIntDate == NullDate ? !TextStored() : text == Text();
    if (!unchanged) SetText(text);
  }
  if (Date() != old) FCommonData->BGChanged = true;
}

void TsCustomDateEdit::ApplyDate(rtl::TDateTime value) {
  SetDate(value);
  SelectAll();
}

void TsCustomDateEdit::PopupWindowShow() {
  // Only one calendar is open in the application.
  if (sPopupCalendar && sPopupCalendar != FPopupCalendar && sPopupCalendar->IsOpen()) sPopupCalendar->Cancel();
  if (!FPopupCalendar) {
    FPopupCalendar = new TsPopupCalendar(this);
    FPopupCalendar->FEditor = this;
  }
  // The popup belongs to the edit's form window: its calendar shows while the popup does.
  if (HandleAllocated()) FPopupCalendar->SetParentWindow(GetAncestor(Handle(), GA_ROOT));
  sPopupCalendar = FPopupCalendar;
  TsMonthCalendar* cal = FPopupCalendar->Calendar();
  FPopupCalendar->Font()->Assign(Font());
  if (OnGetPopupFont) OnGetPopupFont(this, FPopupCalendar->Font());
  cal->Font()->Assign(FPopupCalendar->Font());
  FPopupCalendar->HandleNeeded();
  FPopupCalendar->SetLimits(FMinDate, FMaxDate);
  cal->SetAnimated(FAnimated);
  rtl::TDateTime date = Date();
  FPopupCalendar->SetCalendarDate(date == NullDate ? rtl::Date() : date);
  UpdatePopup();
  ShowPopupAt(FPopupCalendar);
  FPopupCalendar->SetVisible(true);
}

void TsCustomDateEdit::PopupWindowClose() {
  if (FPopupCalendar && DroppedDown())
    FPopupCalendar->Close();
  else
    TsCustomComboEdit::PopupWindowClose();
}

void TsCustomDateEdit::UpdatePopup() {
  if (!FPopupCalendar) return;
  TsMonthCalendar* cal = FPopupCalendar->Calendar();
  cal->SetStartOfWeek(FStartOfWeek);
  cal->SetWeekends(FWeekends);
  cal->SetWeekendColor(FWeekendColor);
  cal->SetShowWeeks(FShowWeeks);
  cal->SetShowTodayBtn(FShowTodayBtn);
  FPopupCalendar->SetHeight(FShowTodayBtn ? 144 + 16 : 144);
  cal->OnGetCellParams = OnGetCellParams;
  cal->OnDrawDay = OnDrawDay;
  cal->DrawDaySender = this;
  FPopupCalendar->OnCloseUp = OnCloseUp;
  TsSkinManager* sm = FCommonData->SkinManager();
  FPopupCalendar->SetColor(FCommonData->Skinned() && sm ? sm->GetGlobalColor() : vcl::clBtnFace);
  for (int i = 0; i < 4; ++i) {
    TsTimerSpeedButton* b = cal->NavButton(i);
    b->SetHint(i < FCalendarHints->Count() ? FCalendarHints->Get(i) : rtl::String());
    b->SetShowHint(FPopupCalendar->ShowHint());
  }
}

void TsCustomDateEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  if (DroppedDown() && FPopupCalendar) {
    switch (key) {
      case VK_RETURN:
      case VK_ESCAPE:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
      case VK_ADD:
      case VK_SUBTRACT:
        // The open calendar takes the keys: the edit keeps the focus while the calendar is up.
        FPopupCalendar->Calendar()->Grid()->KeyDown(key, shift);
        key = 0;
        return;
      default:
        break;
    }
  }
  if (!DroppedDown() && !read_only_ && shift.Empty()) {
    int step = key == VK_UP || key == VK_ADD ? 1 : key == VK_DOWN || key == VK_SUBTRACT ? -1 : 0;
    if (step != 0) {
      rtl::TDateTime date = Date();
      ApplyDate((date == NullDate ? rtl::Now() : date) + step);
      key = 0;
      return;
    }
  }
  TsCustomComboEdit::KeyDown(key, shift);
}

bool TsCustomDateEdit::DateKey(wchar_t& key) {
  if (read_only_ || DroppedDown()) return false;
  switch (key) {
    case L'+':
    case L'-':
      key = 0;
      return true;
    case L'T':
    case L't':
      key = 0;
      ApplyDate(rtl::Date());
      return true;
    default:
      return false;
  }
}

void TsCustomDateEdit::KeyPress(wchar_t& key) {
  if (DroppedDown() && FPopupCalendar && (key == L'+' || key == L'-' || key == L'T' || key == L't')) {
    FPopupCalendar->Calendar()->Grid()->KeyPress(key);
    key = 0;
    return;
  }
  if (DateKey(key)) return;
  TsCustomComboEdit::KeyPress(key);
}

void TsCustomDateEdit::SetMinDate(rtl::TDateTime value) {
  if ((FMaxDate != 0 && value > FMaxDate) || value == FMinDate) return;
  FMinDate = value;
  if (FMinDate != 0 && Date() != NullDate && Date() < FMinDate) SetDate(FMinDate);
}

void TsCustomDateEdit::SetMaxDate(rtl::TDateTime value) {
  if (value == FMaxDate || (value != 0 && value < FMinDate)) return;
  FMaxDate = value;
  if (FMaxDate != 0 && Date() > FMaxDate) SetDate(FMaxDate);
}

bool TsCustomDateEdit::TextStored() {
  wchar_t sep = rtl::FormatSettings.DateSeparator;
  for (wchar_t c : Text())
    if (c != 0 && c != L' ' && c != sep && c != FBlanksChar) return true;
  return false;
}

void TsCustomDateEdit::Change() {
  if (!lvTextChanging && !ComponentState().Contains(vcl::csLoading)) {
    TTextChangingScope scope;
    rtl::String text = Text();
    rtl::TDateTime date = NullDate;
    // A partly typed date leaves the date empty until the text is complete.
    if (!text.empty() && text.find(L' ') == rtl::String::npos && TextStored()) {
      if (!InternalStrToDate(FDateFormat, text, date))
        date = static_cast<rtl::TDateTime>(static_cast<long long>(Date()));
    }
    SetDate(date);
  }
  if (!FFormatting) TsCustomComboEdit::Change();
}

bool TsCustomDateEdit::CheckValidDate(bool canRaise) {
  if (!TextStored()) return false;
  struct TFormattingScope {
    bool& flag;
    explicit TFormattingScope(bool& f) : flag(f) { flag = true; }
    ~TFormattingScope() { flag = false; }
  } formatting(FFormatting);
  try {
    rtl::String text = Text();
    size_t n = FourDigitYear() ? 4 : 2;
    rtl::String year = std::to_wstring(CurrentYear());
    if (text.size() >= n) {
      size_t p = text.size() - n;  // where the year starts: the mask puts it last
      if (GetDateOrder(rtl::FormatSettings.ShortDateFormat) != doYMD) {
        if (text[p] == L' ' || text[p + 1] == L' ') {
          text = text.substr(0, p) + year.substr(year.size() - n);
          SetText(text);
        } else if (n == 4 && (text[p + 2] == L' ' || text[p + 3] == L' ')) {
          text = text.substr(0, p) + year.substr(0, 2) + text.substr(p, 2);
          SetText(text);
        }
      }
    }
    // Read by the edit's own format, so that a two-digit year lands in the same window the typed text did.
    rtl::TDateTime date = 0;
    if (InternalStrToDate(FDateFormat, text, date) && date != NullDate) {
      SetDate(date);
      return true;
    }
    rtl::String invalid = lvs_InvalidDate.empty() ? rtl::String(L"Invalid date") : lvs_InvalidDate;
    if (OnValidateError) {
      rtl::String message = invalid + L": " + text;
      OnValidateError(this, message);
      return false;
    }
    if (canRaise) throw rtl::EConvertError(invalid);
    return false;
  } catch (...) {
    if (CanFocus()) SetFocus();
    throw;
  }
}

namespace {
// Posted to a date edit to take the focus back after the window system moved the activation away from its form.
const UINT kRefocusMessage = RegisterWindowMessageW(L"TsCustomDateEdit.Refocus");

bool OutsideProgram(HWND wnd) {
  if (!wnd) return true;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  return pid != GetCurrentProcessId();
}
}  // namespace

void TsCustomDateEdit::RestoreFocus() {
  if (!HandleAllocated() || !CanFocus()) return;
  HWND root = GetAncestor(Handle(), GA_ROOT);
  if (root && GetForegroundWindow() != root) SetForegroundWindow(root);
  if (root && GetActiveWindow() != root) SetActiveWindow(root);
  if (GetFocus() != Handle()) SetFocus();
}

void TsCustomDateEdit::RefuseExit() {
  SelectAll();
  if (CanFocus()) SetFocus();
  if (vcl::Application) vcl::Application->HandleException(this);
  // While the box closes the window system hands the activation back on its own schedule: under some window
  // systems it lands on another window, or on none, after the box is already gone. The edit takes the focus back
  // now, and once more if its form loses the activation to nothing before the user did anything in the edit.
  FRefocusAfterBox = true;
  RestoreFocus();
  SelectAll();
}

void TsCustomDateEdit::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      FRefocusAfterBox = false;
      break;
    case WM_KILLFOCUS:
      if (FRefocusAfterBox && OutsideProgram(reinterpret_cast<HWND>(m.WParam)) && HandleAllocated())
        PostMessageW(Handle(), kRefocusMessage, 0, 0);
      break;
    default:
      if (m.Msg == kRefocusMessage) {
        if (FRefocusAfterBox && GetFocus() != Handle()) RestoreFocus();
        return;
      }
      break;
  }
  if (m.Msg == vcl::CM_EXIT && !ComponentState().Contains(vcl::csDesigning)) {
    try {
      if (CheckValidDate(true)) {
        rtl::TDateTime date = Date();
        if (FMaxDate != 0 && date > FMaxDate)
          SetDate(FMaxDate);
        else if (FMinDate != 0 && date < FMinDate)
          SetDate(FMinDate);
      }
    } catch (const rtl::Exception&) {
      RefuseExit();
      return;
    }
  }
  TsCustomComboEdit::Dispatch(m);
  if (m.Msg == WM_LBUTTONDOWN && HandleAllocated()) {
    // A click selects the part of the date under it: day, month or year. The separator after a part belongs to
    // it; the year begins at the seventh character.
    const int x = static_cast<short>(LOWORD(m.LParam));
    const int len = static_cast<int>(Text().size());
    const int pos = CaretPos(x);
    if (pos == 0 || pos > len) return;
    int start = 6, count = 4;
    if (pos <= 3)
      start = 0, count = 2;
    else if (pos <= 6)
      start = 3, count = 2;
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + count));
  }
}

VCL_REGISTER(TsCustomDateEdit) {
  cls.Prop(L"Animated", &TsCustomDateEdit::Animated, &TsCustomDateEdit::SetAnimated).Default(true);
  cls.Prop(L"MinDate", &TsCustomDateEdit::MinDate, &TsCustomDateEdit::SetMinDate).Default(0.0);
  cls.Prop(L"MaxDate", &TsCustomDateEdit::MaxDate, &TsCustomDateEdit::SetMaxDate).Default(0.0);
  cls.Prop(L"ShowCurrentDate", &TsCustomDateEdit::ShowCurrentDate, &TsCustomDateEdit::SetShowCurrentDate).Default(true);
  cls.Prop(L"ShowWeeks", &TsCustomDateEdit::ShowWeeks, &TsCustomDateEdit::SetShowWeeks).Default(false);
  cls.Prop(L"ShowTodayBtn", &TsCustomDateEdit::ShowTodayBtn, &TsCustomDateEdit::SetShowTodayBtn).Default(true);
  cls.Prop(L"StartOfWeek", &TsCustomDateEdit::StartOfWeek, &TsCustomDateEdit::SetStartOfWeek)
      .Default(dowLocaleDefault);
  cls.Prop(L"WeekendColor", &TsCustomDateEdit::WeekendColor, &TsCustomDateEdit::SetWeekendColor).Default(vcl::clRed);
}

VCL_REGISTER(TsDateEdit) {
  cls.Prop(L"DefaultToday", &TsDateEdit::DefaultToday, &TsDateEdit::SetDefaultToday).Default(false);
  cls.Prop(L"YearDigits", &TsDateEdit::YearDigits, &TsDateEdit::SetYearDigits).Default(dyFour);
}
