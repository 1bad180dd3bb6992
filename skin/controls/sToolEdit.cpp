#include "skin/controls/sToolEdit.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"
#include "skin/core/sStrings.h"
#include "skin/controls/sPopupCalendar.h"

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

TsCustomDateEdit::TsCustomDateEdit(vcl::TComponent* owner) : TsCustomComboEdit(owner) {
  FCommonData->COC = COC_TsCustomDateEdit;
  SetWidth(86);
  UpdateFormat();
  UpdateMask();
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
  if (!FPopupCalendar) {
    FPopupCalendar = new TsPopupCalendar(this);
    FPopupCalendar->FEditor = this;
  }
  FPopupCalendar->HandleNeeded();
  FPopupCalendar->SetLimits(FMinDate, FMaxDate);
  rtl::TDateTime date = Date();
  FPopupCalendar->SetCalendarDate(date == NullDate ? rtl::Date() : date);
  ShowPopupAt(FPopupCalendar);
}

void TsCustomDateEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
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

void TsCustomDateEdit::Dispatch(vcl::TMessage& m) {
  if (m.Msg == vcl::CM_EXIT && !ComponentState().Contains(vcl::csDesigning)) {
    if (CheckValidDate(true)) {
      rtl::TDateTime date = Date();
      if (FMaxDate != 0 && date > FMaxDate)
        SetDate(FMaxDate);
      else if (FMinDate != 0 && date < FMinDate)
        SetDate(FMinDate);
    }
  }
  TsCustomComboEdit::Dispatch(m);
}

VCL_REGISTER(TsCustomDateEdit) {
  cls.Prop(L"Animated", &TsCustomDateEdit::Animated, &TsCustomDateEdit::SetAnimated).Default(true);
  cls.Prop(L"MinDate", &TsCustomDateEdit::MinDate, &TsCustomDateEdit::SetMinDate).Default(0.0);
  cls.Prop(L"MaxDate", &TsCustomDateEdit::MaxDate, &TsCustomDateEdit::SetMaxDate).Default(0.0);
  cls.Prop(L"ShowCurrentDate", &TsCustomDateEdit::ShowCurrentDate, &TsCustomDateEdit::SetShowCurrentDate).Default(true);
  cls.Prop(L"ShowWeeks", &TsCustomDateEdit::ShowWeeks, &TsCustomDateEdit::SetShowWeeks).Default(false);
  cls.Prop(L"ShowTodayBtn", &TsCustomDateEdit::ShowTodayBtn, &TsCustomDateEdit::SetShowTodayBtn).Default(true);
}

VCL_REGISTER(TsDateEdit) {
  cls.Prop(L"DefaultToday", &TsDateEdit::DefaultToday, &TsDateEdit::SetDefaultToday).Default(false);
  cls.Prop(L"YearDigits", &TsDateEdit::YearDigits, &TsDateEdit::SetYearDigits).Default(dyFour);
}
