#include "skin/controls/sMonthCalendar.h"

#include <chrono>
#include <cmath>

#include "platform/vcl/forms.h"
#include "skin/controls/sDateUtils.h"
#include "skin/controls/sPopupCalendar.h"
#include "skin/controls/sToolEdit.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinOptions.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"

const wchar_t* const s_WeeksTitle = L"\u2116/w";

rtl::String s_Today() {
  // The system's own word for today, as its calendars write it; the library's text when it has none.
  static const rtl::String text = [] {
    rtl::String s;
    if (HMODULE lib = LoadLibraryW(L"comctl32.dll")) {
      wchar_t buf[128] = {};
      if (LoadStringW(lib, 4432, buf, 128) > 0) s = buf;
      FreeLibrary(lib);
    }
    return s.empty() ? rtl::String(L"Today: ") : s;
  }();
  return text;
}

namespace calendarlocale {
namespace {
rtl::String Info(LCTYPE type) {
  wchar_t buf[128] = {};
  int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 128);
  return n > 1 ? rtl::String(buf, static_cast<size_t>(n - 1)) : rtl::String();
}
}  // namespace

rtl::String LongMonthName(int month) {
  if (month < 1 || month > 12) return {};
  return Info(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + month - 1));
}

rtl::String ShortDayName(int day) {
  if (day < 1 || day > 7) return {};
  // The locale numbers its day names from Monday; day 1 here is Sunday.
  return Info(static_cast<LCTYPE>(day == 1 ? LOCALE_SABBREVDAYNAME7 : LOCALE_SABBREVDAYNAME1 + day - 2));
}

int FirstDayOfWeek() {
  rtl::String s = Info(LOCALE_IFIRSTDAYOFWEEK);
  int d = s.empty() ? 0 : s[0] - L'0';
  return d >= 0 && d <= 6 ? d : 0;
}

int FirstWeekOfYear() {
  rtl::String s = Info(LOCALE_IFIRSTWEEKOFYEAR);
  return s.empty() ? 0 : s[0] - L'0';
}
}  // namespace calendarlocale

namespace {
rtl::String TodayCaption() {
  rtl::Word y = 0, m = 0, d = 0;
  rtl::DecodeDate(rtl::Date(), y, m, d);
  return s_Today() + L" " + calendarlocale::LongMonthName(m) + L" " + std::to_wstring(d) + L", " +
         std::to_wstring(y);
}

int MonthLength(int y, int m) {
  if (m < 1) m += 12, --y;
  if (m > 12) m -= 12, ++y;
  return DaysPerMonth(y, m);
}
}  // namespace

// The calendar.

TsMonthCalendar::TsMonthCalendar(vcl::TComponent* owner) : TsPanel(owner) {
  FCommonData->COC = COC_TsMonthCalendar;
  FDragBar = new TsDragBar(this);
  FDragBar->SkinData()->SetSkinSection(L"DRAGBAR");
  FDragBar->SetColor(vcl::clActiveCaption);
  FDragBar->SetCursor(vcl::crDefault);
  FDragBar->Font()->SetStyle(FDragBar->Font()->Style() + vcl::fsBold);
  FDragBar->Font()->SetColor(vcl::clCaptionText);
  FDragBar->OnDblClick = [this](rtl::TObject*) { SetCalendarDate(rtl::Date()); };
  FDragBar->OnMouseDown = [this](rtl::TObject*, vcl::TMouseButton, vcl::TShiftState, int, int) { TitleClick(); };
  FDragBar->SetAlign(vcl::alTop);

  FSpacer = new TsPanel(this);
  FSpacer->SkinData()->SetSkinSection(L"CHECKBOX");
  FSpacer->SetBevelOuter(vcl::bvNone);
  FSpacer->SetCaption(L"");
  FSpacer->SetAlign(vcl::alTop);
  FSpacer->SetHeight(3);
  FSpacer->SetParent(this);

  FGrid = new TsCalendGrid(this);
  FGrid->SetParent(this);

  SetBorderWidth(3);
  SetBevelWidth(1);
  SetCaption(L" ");
  FDate = rtl::Date();
  SetBounds(left_, top_, 178, 139);

  // Arrows of the platform font: double for a year, single for a month.
  const wchar_t* captions[4] = {L"\u00AB", L"\u2039", L"\u203A", L"\u00BB"};
  const vcl::TAlign aligns[4] = {vcl::alLeft, vcl::alLeft, vcl::alRight, vcl::alRight};
  for (size_t i = 0; i < 4; ++i) {
    auto* b = new TsTimerSpeedButton(this);
    b->SetParent(FDragBar);
    b->SetFlat(true);
    b->SkinData()->SetSkinSection(L"TOOLBUTTON");
    b->SetCaption(captions[i]);
    b->Font()->SetStyle(b->Font()->Style() + vcl::fsBold);
    b->SetWidth(18);
    b->SetAlign(aligns[i]);
    FBtns[i] = b;
  }
  // Aligned controls line up by their positions: the year buttons go outermost.
  FBtns[0]->SetLeft(0);
  FBtns[1]->SetLeft(40);
  FBtns[2]->SetLeft(1000);
  FBtns[3]->SetLeft(1040);
  FBtns[0]->OnClick = [this](rtl::TObject*) { ChangeYear(-1, true); };
  FBtns[1]->OnClick = [this](rtl::TObject*) { ChangeMonth(-1, true); };
  FBtns[2]->OnClick = [this](rtl::TObject*) { ChangeMonth(1, true); };
  FBtns[3]->OnClick = [this](rtl::TObject*) { ChangeYear(1, true); };
  FDragBar->SetParent(this);

  FTodayBtn = new TsSpeedButton(this);
  FTodayBtn->SetVisible(false);
  FTodayBtn->SetAlign(vcl::alBottom);
  FTodayBtn->SetHeight(18);
  FTodayBtn->SetFlat(true);
  FTodayBtn->SkinData()->SetSkinSection(L"TOOLBUTTON");
  FTodayBtn->SetCaption(TodayCaption());
  FTodayBtn->Font()->SetStyle(FTodayBtn->Font()->Style() + vcl::fsBold);
  FTodayBtn->OnClick = [this](rtl::TObject*) { TodayClick(); };
  UpdateCalendar();
}

TsMonthCalendar::~TsMonthCalendar() = default;

void TsMonthCalendar::CreateWnd() {
  inherited::CreateWnd();
  if (FShowTodayBtn) FTodayBtn->SetVisible(true);
  UpdateProps();
  UpdateNavBtns();
}

void TsMonthCalendar::Loaded() {
  inherited::Loaded();
  if (FDragBar->Visible()) {
    FDragBar->SkinData()->SetSkinManager(FCommonData->SkinManager());
    for (TsTimerSpeedButton* b : FBtns) b->SkinData()->SetSkinManager(FCommonData->SkinManager());
  }
}

void TsMonthCalendar::UpdateProps() {
  FTodayBtn->SetParent(FShowTodayBtn ? this : nullptr);
  if (FShowTodayBtn) FTodayBtn->SetCaption(TodayCaption());
  FGrid->SetColCount(ShowWeeksInt() + 7);
  UpdateCalendar();
}

void TsMonthCalendar::UpdateNavBtns() {
  FBtns[0]->SetVisible(FShowYearBtns);
  FBtns[3]->SetVisible(FShowYearBtns);
  FBtns[1]->SetVisible(FShowMonthBtns);
  FBtns[2]->SetVisible(FShowMonthBtns);
}

void TsMonthCalendar::SetShowTitle(bool v) {
  if (v == FShowTitle) return;
  FShowTitle = v;
  FDragBar->SetVisible(v);
  FDragBar->SetParent(v ? this : nullptr);
}

void TsMonthCalendar::SetShowTodayBtn(bool v) {
  if (v == FShowTodayBtn) return;
  FShowTodayBtn = v;
  FTodayBtn->SetVisible(v);
  FTodayBtn->SetParent(v ? this : nullptr);
  if (v) FTodayBtn->SetCaption(TodayCaption());
  CalendarUpdate(false);
}

void TsMonthCalendar::SetShowWeeks(bool v) {
  if (v == FShowWeeks) return;
  FShowWeeks = v;
  UpdateProps();
  FGrid->Invalidate();
}

void TsMonthCalendar::SetShowCurrentDate(bool v) {
  if (v == FShowCurrentDate) return;
  FShowCurrentDate = v;
  FGrid->Invalidate();
}

void TsMonthCalendar::SetShowSelectAlways(bool v) {
  if (v == FShowSelectAlways) return;
  FShowSelectAlways = v;
  CalendarUpdate(false);
}

void TsMonthCalendar::SetShowMonthBtns(bool v) {
  if (v == FShowMonthBtns) return;
  FShowMonthBtns = v;
  UpdateNavBtns();
}

void TsMonthCalendar::SetShowYearBtns(bool v) {
  if (v == FShowYearBtns) return;
  FShowYearBtns = v;
  UpdateNavBtns();
}

void TsMonthCalendar::SetWeekendColor(vcl::TColor v) {
  if (v == FWeekendColor) return;
  FWeekendColor = v;
  FGrid->Invalidate();
}

void TsMonthCalendar::SetWeekends(TDaysOfWeek v) {
  if (v == FWeekends) return;
  FWeekends = v;
  UpdateCalendar();
}

void TsMonthCalendar::SetStartOfWeek(TCalDayOfWeek v) {
  if (v == FStartOfWeek) return;
  FStartOfWeek = v;
  UpdateCalendar();
}

void TsMonthCalendar::SetUseCurrentDate(bool v) {
  if (v == FUseCurrentDate) return;
  FUseCurrentDate = v;
  if (v) {
    FDate = rtl::Date();
    UpdateCalendar();
  }
}

int TsMonthCalendar::GetDateElement(int index) const {
  rtl::Word y = 0, m = 0, d = 0;
  rtl::DecodeDate(FDate, y, m, d);
  switch (index) {
    case 1:
      return y;
    case 2:
      return m;
    case 3:
      return d;
    default:
      return -1;
  }
}

int TsMonthCalendar::DaysThisMonth() const { return DaysPerMonth(Year(), Month()); }

void TsMonthCalendar::SetDateElement(int index, int value) {
  if (value < 1) return;
  int y = Year(), m = Month(), d = Day();
  switch (index) {
    case 1:
      if (value == y) return;
      y = value;
      break;
    case 2:
      if (value > 12 || value == m) return;
      m = value;
      d = std::min(d, DaysPerMonth(y, m));
      break;
    case 3:
      if (value > DaysThisMonth() || value == d) return;
      d = value;
      break;
    default:
      return;
  }
  rtl::TDateTime date = 0;
  if (y > 9999 || !rtl::TryEncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(m), static_cast<rtl::Word>(d),
                                      date))
    return;
  FDate = date;
  FUseCurrentDate = false;
  CalendarUpdate(index == 3);
  Change();
}

bool TsMonthCalendar::IsValidDate(rtl::TDateTime date) const {
  return (FMinDate == 0 || date >= FMinDate) && (FMaxDate == 0 || date <= FMaxDate);
}

void TsMonthCalendar::SetCalendarDate(rtl::TDateTime value) {
  if (value == FDate || !IsValidDate(value) || !ValidDate(value)) return;
  FDate = value;
  UpdateCalendar();
  Change();
}

void TsMonthCalendar::SetMinDate(rtl::TDateTime value) {
  if (value == FMinDate) return;
  FMinDate = value;
  if (value != 0 && !IsLoading() && FDate < value) SetCalendarDate(value);
  UpdateCalendar();
}

void TsMonthCalendar::SetMaxDate(rtl::TDateTime value) {
  if (value == FMaxDate) return;
  FMaxDate = value;
  if (value != 0 && !IsLoading() && FDate > value) SetCalendarDate(value);
  UpdateCalendar();
}

void TsMonthCalendar::Change() {
  if (OnChange) OnChange(this);
}

int TsMonthCalendar::FirstDay() const {
  return FStartOfWeek != dowLocaleDefault ? static_cast<int>(FStartOfWeek) : calendarlocale::FirstDayOfWeek();
}

void TsMonthCalendar::CalendarUpdate(bool dayOnly) {
  FUpdating = true;
  const int y = Year(), m = Month(), d = Day();
  const rtl::TDateTime first = rtl::EncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(m), 1);
  const int w = rtl::DayOfWeek(first);
  const int r = (w - (FirstDay() + 1) + 7) % 7;
  FMonthOffset = 2 - r;
  if (FMonthOffset == 1 || FMonthOffset == 2) FMonthOffset -= 7;
  const int k = d - FMonthOffset;
  FGrid->FocusCell(k % 7 + ShowWeeksInt(), k / 7 + 1);
  if (!dayOnly) {
    FDragBar->SetCaption(calendarlocale::LongMonthName(m) + L" " + std::to_wstring(y));
    FGrid->Invalidate();
  }
  FUpdating = false;
}

int TsMonthCalendar::ThisDayNum(int col, int row) const { return col + FMonthOffset + 7 * row - ShowWeeksInt() - 7; }

int TsMonthCalendar::GetDayNum(int col, int row) const {
  const int n = ThisDayNum(col, row), len = DaysThisMonth();
  if (n >= 1 && n <= len) return n;
  if (n > len) return n - len;
  return n + (row <= 2 ? MonthLength(Year(), Month() - 1) : MonthLength(Year(), Month() + 1));
}

rtl::TDateTime TsMonthCalendar::GetCellDate(int col, int row) const {
  const int n = ThisDayNum(col, row), len = DaysThisMonth();
  int y = Year(), m = Month(), d = n;
  if (n <= 0) {
    if (--m < 1) m = 12, --y;
    d = n + DaysPerMonth(y, m);
  } else if (n > len) {
    if (++m > 12) m = 1, ++y;
    d = n - len;
  }
  rtl::TDateTime date = 0;
  if (y < 1 || y > 9999 ||
      !rtl::TryEncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(m), static_cast<rtl::Word>(d), date))
    return 0;
  return date;
}

int TsMonthCalendar::WeekNum(rtl::TDateTime date) {
  if (calendarlocale::FirstWeekOfYear() == 0) {
    const rtl::TDateTime j = rtl::EncodeDate(rtl::YearOf(date), 1, 1);
    return (static_cast<int>(std::trunc(date - j)) + rtl::DayOfWeek(j) - 1) / 7 + 1;
  }
  rtl::Word y = 0, week = 0, dow = 0;
  rtl::DecodeDateWeek(date, y, week, dow);
  return week;
}

rtl::String TsMonthCalendar::CellText(int col, int row) const {
  const int weeks = ShowWeeksInt();
  if (row == 0) {
    if (col < weeks) return s_WeeksTitle;
    return calendarlocale::ShortDayName((FirstDay() + col - weeks + 1) % 7 + 1);
  }
  if (col < weeks) {
    if (row >= FGrid->RowCount() - 1) return {};
    int b = row == 1 ? FMonthOffset + 7 - weeks : FMonthOffset + 7 * row - weeks - 5;
    if (FirstDay() == 0) --b;
    int y = Year(), m = Month();
    const int len = DaysThisMonth();
    if (b <= 0) {
      if (--m < 1) m = 12, --y;
      b = DaysPerMonth(y, m);
    } else if (b > len) {
      b -= len;
      if (++m > 12) m = 1, ++y;
    }
    rtl::TDateTime date = 0;
    if (y < 1 || y > 9999 ||
        !rtl::TryEncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(m), static_cast<rtl::Word>(b), date))
      return {};
    return std::to_wstring(WeekNum(date));
  }
  return std::to_wstring(GetDayNum(col, row));
}

bool TsMonthCalendar::IsWeekend(int col) const {
  const int d = (col + FirstDay() - ShowWeeksInt()) % 7;
  return d >= 0 && FWeekends.Contains(static_cast<TCalDayOfWeek>(d));
}

void TsMonthCalendar::ChangeMonth(int delta, bool animate) {
  const int d = Day();
  int y = Year(), m = Month() + (delta > 0 ? 1 : delta < 0 ? -1 : 0);
  if (m < 1) m = 12, --y;
  if (m > 12) m = 1, ++y;
  rtl::TDateTime date = 0;
  if (y < 1 || y > 9999 || !rtl::TryEncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(m),
                                               static_cast<rtl::Word>(std::min(d, DaysPerMonth(y, m))), date))
    return;
  TsSkinManager* sm = FCommonData->SkinManager();
  FLastSlideSteps = 0;
  if (animate && FAnimated && (!sm || !sm->Active() || sm->Effects()->AllowAnimation()) &&
      FGrid->HandleAllocated() && IsWindowVisible(FGrid->Handle())) {
    auto old = CreateBmp32(FGrid->Width(), FGrid->Height());
    FGrid->PaintCells(old->Canvas()->Handle());
    const rtl::TDateTime before = FDate;
    SendMessageW(FGrid->Handle(), WM_SETREDRAW, 0, 0);
    SetCalendarDate(date);
    SendMessageW(FGrid->Handle(), WM_SETREDRAW, 1, 0);
    if (FDate != before) DoChangeAnimated(delta > 0, old.get());
    FGrid->Invalidate();
  } else {
    SetCalendarDate(date);
  }
}

void TsMonthCalendar::ChangeYear(int delta, bool animate) {
  int y = Year(), m = Month(), d = Day();
  if (m == 2 && d == 29) {
    SetDay(28);
    d = 28;
  }
  rtl::TDateTime date = 0;
  const int ny = y + delta;
  if (ny < 1 || ny > 9999 ||
      !rtl::TryEncodeDate(static_cast<rtl::Word>(ny), static_cast<rtl::Word>(m), static_cast<rtl::Word>(d), date))
    return;
  TsSkinManager* sm = FCommonData->SkinManager();
  FLastSlideSteps = 0;
  if (animate && FAnimated && (!sm || !sm->Active() || sm->Effects()->AllowAnimation()) &&
      FGrid->HandleAllocated() && IsWindowVisible(FGrid->Handle())) {
    auto old = CreateBmp32(FGrid->Width(), FGrid->Height());
    FGrid->PaintCells(old->Canvas()->Handle());
    SendMessageW(FGrid->Handle(), WM_SETREDRAW, 0, 0);
    SetYear(ny);
    SendMessageW(FGrid->Handle(), WM_SETREDRAW, 1, 0);
    DoChangeAnimated(delta > 0, old.get());
    FGrid->Invalidate();
  } else {
    SetYear(ny);
  }
}

void TsMonthCalendar::DoChangeAnimated(bool forward, vcl::TBitmap* oldPicture) {
  const int w = FGrid->Width(), h = FGrid->Height();
  if (w <= 0 || h <= 0) return;
  auto fresh = CreateBmp32(w, h);
  FGrid->PaintCells(fresh->Canvas()->Handle());
  auto frame = CreateBmp32(w, h);
  HDC fdc = frame->Canvas()->Handle(), odc = oldPicture->Canvas()->Handle(), ndc = fresh->Canvas()->Handle();
  HDC wdc = GetDC(FGrid->Handle());
  double x = 0;
  int steps = 0;
  for (;;) {
    const auto start = std::chrono::steady_clock::now();
    x += (w - x) / 5;
    const int X = static_cast<int>(std::lround(x));
    if (forward) {
      BitBlt(fdc, -X, 0, w, h, odc, 0, 0, SRCCOPY);
      BitBlt(fdc, w - X, 0, w, h, ndc, 0, 0, SRCCOPY);
    } else {
      BitBlt(fdc, X, 0, w, h, odc, 0, 0, SRCCOPY);
      BitBlt(fdc, X - w, 0, w, h, ndc, 0, 0, SRCCOPY);
    }
    BitBlt(wdc, 0, 0, w, h, fdc, 0, 0, SRCCOPY);
    GdiFlush();
    ++steps;
    // Each picture stays at least 10 ms, so the slide takes the same time on any machine.
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(10)) Sleep(1);
    if (X >= w) break;
  }
  ReleaseDC(FGrid->Handle(), wdc);
  FLastSlideSteps = steps;
}

TsPopupCalendar* TsMonthCalendar::PopupOwner() const { return dynamic_cast<TsPopupCalendar*>(Parent()); }

void TsMonthCalendar::TodayClick() {
  SetCalendarDate(rtl::Date());
  if (TsPopupCalendar* popup = PopupOwner()) popup->CalendarClick();
}

void TsMonthCalendar::MakePopup() {
  if (PopMenu) return;
  PopMenu = new vcl::TPopupMenu(this);
  const int y0 = Year() > 0 ? Year() : rtl::YearOf(rtl::Date());
  auto yearItem = [this](vcl::TMenuItem* parent, int year, bool indent) {
    auto* item = new vcl::TMenuItem(PopMenu);
    item->SetCaption((indent ? L"  " : L"") + std::to_wstring(year));
    item->SetTag(year);
    item->SetChecked(year == Year());
    for (int m = 1; m <= 12; ++m) {
      auto* mi = new vcl::TMenuItem(PopMenu);
      mi->SetCaption(calendarlocale::LongMonthName(m));
      mi->SetChecked(year == Year() && m == Month());
      mi->OnClick = [this](rtl::TObject* sender) { MenuClick(sender); };
      item->Add(mi);
    }
    parent->Add(item);
  };
  auto group = [&](int first) {
    auto* g = new vcl::TMenuItem(PopMenu);
    g->SetCaption(std::to_wstring(first) + L".." + std::to_wstring(first + 9));
    for (int year = first; year <= first + 9; ++year)
      if (year >= 1 && year <= 9999) yearItem(g, year, false);
    PopMenu->Items()->Add(g);
  };
  for (int first = y0 - 54; first <= y0 - 14; first += 10) group(first);
  for (int year = y0 - 4; year <= y0 + 5; ++year)
    if (year >= 1 && year <= 9999) yearItem(PopMenu->Items(), year, true);
  for (int first = y0 + 6; first <= y0 + 36; first += 10) group(first);
  HookMenu(true);
}

void TsMonthCalendar::HookMenu(bool active) {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!PopMenu || !sm || !sm->SkinableMenus()) return;
  if (active && (!FCommonData->Skinned() || !sm->SkinnedPopups())) return;
  sm->SkinableMenus()->HookPopupMenu(PopMenu, active);
}

void TsMonthCalendar::TitleClick() {
  MakePopup();
  PopMenu->SetPopupComponent(this);
  POINT p{};
  GetCursorPos(&p);
  PopMenu->Popup(p.x, p.y);
}

void TsMonthCalendar::MenuClick(rtl::TObject* sender) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !item->Parent()) return;
  vcl::TMenuItem* parent = item->Parent();
  int index = 0;
  while (index < parent->Count() && parent->Items(index) != item) ++index;
  const int year = static_cast<int>(parent->Tag()), month = index + 1;
  if (year < 1 || month > 12) return;
  // Day cut to the month reached, so that the year change of 29 February or 31st never fails.
  const int day = std::min(Day(), DaysPerMonth(year, month));
  rtl::TDateTime date = 0;
  if (!rtl::TryEncodeDate(static_cast<rtl::Word>(year), static_cast<rtl::Word>(month), static_cast<rtl::Word>(day),
                          date))
    return;
  if (date == FDate) return;
  FDate = date;
  FUseCurrentDate = false;
  UpdateCalendar();
  Change();
}

void TsMonthCalendar::FontsChanged() {
  vcl::TFont* f = Font();
  FTodayBtn->Font()->Assign(f);
  FTodayBtn->Font()->SetStyle(f->Style() + vcl::fsBold);
  SIZE s{};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f->Handle());
  GetTextExtentPoint32W(dc, L"W", 1, &s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  FTodayBtn->SetHeight(s.cy + 4);
  FDragBar->Font()->Assign(f);
  FDragBar->Font()->SetColor(vcl::clCaptionText);
  FDragBar->Font()->SetStyle(f->Style() + vcl::fsBold);
  FDragBar->SetHeight(s.cy + 4);
  for (TsTimerSpeedButton* b : FBtns) b->SetWidth(s.cx + 10);
}

void TsMonthCalendar::WndProc(vcl::TMessage& m) {
  inherited::WndProc(m);
  if (m.Msg == SM_LUMICMD && (m.WParamHi() == LVC_REMOVESKIN || m.WParamHi() == LVC_REFRESH) &&
      reinterpret_cast<TsSkinManager*>(m.LParam) == FCommonData->SkinManager()) {
    HookMenu(m.WParamHi() == LVC_REFRESH);
    UpdateCalendar();
    if (FGrid->HandleAllocated()) FGrid->Invalidate();
    if (FShowTitle && FDragBar->HandleAllocated()) FDragBar->Perform(m.Msg, m.WParam, m.LParam);
  } else if (m.Msg == vcl::CM_FONTCHANGED) {
    FontsChanged();
  }
}

// The grid.

TsCalendGrid::TsCalendGrid(vcl::TComponent* owner)
    : vcl::TCustomControl(owner), FOwner(dynamic_cast<TsMonthCalendar*>(owner)) {
  SetAlign(vcl::alClient);
  SetParentColor(true);
  SetTabStop(false);
  SetTag(256);  // the automatic skinning passes it over: it paints from its calendar
}

void TsCalendGrid::CreateParams(vcl::TCreateParams& p) {
  vcl::TCustomControl::CreateParams(p);
  p.WindowClass.style &= ~static_cast<UINT>(CS_DBLCLKS);
}

void TsCalendGrid::SetColCount(int value) {
  if (value == FColCount) return;
  FColCount = value;
  FFixedCols = value > 7 ? 1 : 0;
  Resized();
  Invalidate();
}

void TsCalendGrid::Resized() {
  FColWidth = std::max(1, width_ / FColCount);
  FRowHeight = std::max(1, height_ / 7);
}

vcl::TRect TsCalendGrid::CellRect(int col, int row) const {
  return vcl::TRect(col * FColWidth, row * FRowHeight, (col + 1) * FColWidth, (row + 1) * FRowHeight);
}

bool TsCalendGrid::MouseToCell(int x, int y, int& col, int& row) const {
  if (x < 0 || y < 0) return false;
  col = x / FColWidth;
  row = y / FRowHeight;
  return col < FColCount && row < 7;
}

bool TsCalendGrid::SelectCell(int col, int row) {
  if (!FOwner || FOwner->CellText(col, row).empty()) return false;
  return FOwner->FUpdating || !FOwner->FReadOnly;
}

bool TsCalendGrid::FocusCell(int col, int row) {
  if (col < 0 || col >= FColCount || row < 1 || row >= RowCount()) return false;
  if (!SelectCell(col, row)) return false;
  if (col != FCol || row != FRow) {
    if (HandleAllocated()) {
      vcl::TRect a = CellRect(FCol, FRow), b = CellRect(col, row);
      InvalidateRect(handle_, vcl::AsRECT(&a), FALSE);
      InvalidateRect(handle_, vcl::AsRECT(&b), FALSE);
    }
    FCol = col;
    FRow = row;
  }
  return true;
}

void TsCalendGrid::Click() {
  if (!FOwner || FOwner->FUpdating) return;
  const int col = FCol, row = FRow;
  if (row >= 1 && col >= FFixedCols && !FOwner->CellText(col, row).empty()) {
    const int n = FOwner->ThisDayNum(col, row), day = FOwner->GetDayNum(col, row);
    if (n < 1)
      FOwner->PrevMonth();
    else if (n > FOwner->DaysThisMonth())
      FOwner->NextMonth();
    FOwner->SetDay(day);
  }
  if (FOwner->OnClick) FOwner->OnClick(FOwner);
}

void TsCalendGrid::FillBackground(vcl::TCanvas* canvas, const vcl::TRect& r) {
  TlvBGInfo bg;
  bg.BgType = btUnknown;
  if (FOwner && FOwner->SkinData()->Skinned()) GetBGInfo(bg, FOwner, false);
  HDC dc = canvas->Handle();
  if (bg.BgType == btCache && bg.Bmp) {
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bg.Bmp->Canvas()->Handle(), bg.Offset.X + left_ + r.Left,
           bg.Offset.Y + top_ + r.Top, SRCCOPY);
    return;
  }
  vcl::TColor c = bg.BgType == btFill ? bg.Color : vcl::ColorToRGB(Color());
  HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(c) & 0xFFFFFF);
  FillRect(dc, vcl::AsRECT(&r), brush);
  DeleteObject(brush);
}

void TsCalendGrid::DrawCell(vcl::TCanvas* canvas, int col, int row, vcl::TRect rect) {
  TsMonthCalendar* cal = FOwner;
  const int weeks = cal->ShowWeeksInt();
  const rtl::String text = cal->CellText(col, row);
  const int n = row > 0 && col >= weeks ? cal->GetDayNum(col, row) : 0;
  vcl::TRect bgr = rect;
  if (col == FColCount - 1) bgr.Right = width_;
  if (row == 6) bgr.Bottom = height_;
  FillBackground(canvas, bgr);

  TsCommonData* sd = cal->SkinData();
  const bool skinned = sd->Skinned();
  TsSkinManager* sm = skinned ? sd->SkinManager() : nullptr;
  const vcl::TColor global = sm ? sm->GetGlobalColor() : vcl::ColorToRGB(vcl::clBtnFace);
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  const bool focused = HandleAllocated() && GetFocus() == handle_;
  const bool selected = col == FCol && row == FRow && (cal->FShowSelectAlways || focused);
  canvas->Brush()->SetStyle(vcl::bsClear);
  canvas->Font()->SetStyle(vcl::TFontStyles());

  const int thisNum = row > 0 && col >= weeks ? cal->ThisDayNum(col, row) : 0;
  const bool inMonth = thisNum >= 1 && thisNum <= cal->DaysThisMonth();
  const rtl::TDateTime today = rtl::Date();
  bool isToday = false;
  if (row > 0 && col >= weeks && cal->FShowCurrentDate && inMonth) {
    rtl::Word ty = 0, tm = 0, td = 0;
    rtl::DecodeDate(today, ty, tm, td);
    isToday = ty == cal->Year() && tm == cal->Month() && td == n && !(row >= 3 && n < 10) && !(row <= 2 && n > 20);
  }
  HDC dc = canvas->Handle();
  if (isToday) {
    rect.Left += 1;
    rect.Bottom += 1;
    const vcl::TColor fill = MixColors(vcl::ColorToRGB(cal->FWeekendColor), global, 0.3);
    HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(fill) & 0xFFFFFF);
    HGDIOBJ ob = SelectObject(dc, brush);
    HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom, 8, 8);
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(brush);
    canvas->Font()->SetColor(vcl::clWhite);
    canvas->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
  } else {
    vcl::TColor fc = vcl::clWindowText;
    if (sm) {
      const TsGeneralData& g = sm->gd[static_cast<size_t>(sd->SkinIndex)];
      fc = g.Props[0].FontColor.Color != -1 ? g.Props[0].FontColor.Color : sm->GetGlobalFontColor();
    }
    if (col >= weeks && cal->IsWeekend(col)) fc = cal->FWeekendColor;
    if (col < weeks) {
      fc = sm ? MixColors(sm->GetGlobalFontColor(), global, 0.3) : vcl::clGrayText;
      if (row == 0) {
        canvas->Font()->SetName(L"Small Fonts");
        canvas->Font()->SetSize(6);
      } else {
        canvas->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
      }
      HPEN pen = CreatePen(PS_SOLID, 1, vcl::ColorToRGB(fc) & 0xFFFFFF);
      HGDIOBJ op = SelectObject(dc, pen);
      MoveToEx(dc, rect.Right - 1, rect.Top, nullptr);
      LineTo(dc, rect.Right - 1, rect.Bottom);
      SelectObject(dc, op);
      DeleteObject(pen);
      rect.Right -= 3;
    } else if (row > 0 && !inMonth) {
      const vcl::TColor back = sm ? global : vcl::ColorToRGB(Color());
      fc = MixColors(vcl::ColorToRGB(fc), back, 0.5);
    }
    canvas->Font()->SetColor(fc);
  }
  if (selected && !text.empty()) {
    canvas->Font()->SetStyle(canvas->Font()->Style() + vcl::fsBold);
    rect.Left += 2, rect.Top += 2, rect.Right -= 2, rect.Bottom -= 2;
    rect.Top -= 1;
    rect.Left += 1;
    if (!isToday) {
      const vcl::TColor hb = sm ? sm->GetHighLightColor(true) : vcl::clHighlight;
      const vcl::TColor hf = sm ? sm->GetHighLightFontColor(true) : vcl::clHighlightText;
      HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(hb) & 0xFFFFFF);
      FillRect(dc, vcl::AsRECT(&rect), brush);
      DeleteObject(brush);
      canvas->Font()->SetColor(hf);
    }
  }
  if (row > 0 && col >= weeks && !text.empty()) {
    if (cal->OnDrawDay || cal->OnGetCellParams) {
      vcl::TColor background = static_cast<vcl::TColor>(0xFF00FF);
      const rtl::TDateTime date = cal->GetCellDate(col, row);
      if (cal->OnDrawDay)
        cal->OnDrawDay(cal->DrawDaySender ? cal->DrawDaySender : this, date, canvas->Font(), background);
      else
        cal->OnGetCellParams(this, date, canvas->Font(), background);
      if (background != static_cast<vcl::TColor>(0xFF00FF)) {
        HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(background) & 0xFFFFFF);
        FillRect(dc, vcl::AsRECT(&rect), brush);
        DeleteObject(brush);
      }
    }
    if (!cal->IsValidDate(cal->GetCellDate(col, row)))
      canvas->Font()->SetColor(MixColors(vcl::ColorToRGB(canvas->Font()->Color()), global, 0.3));
  }
  canvas->Brush()->SetStyle(vcl::bsClear);
  const vcl::TSize ts = canvas->TextExtent(text);
  canvas->TextRect(rect, rect.Left + (rect.Width() - ts.cx) / 2, rect.Top + (rect.Height() - ts.cy) / 2, text);
  if (selected && focused && !text.empty()) {
    vcl::TRect fr(rect.Left - 1, rect.Top - 1, rect.Right + 1, rect.Bottom + 1);
    ::DrawFocusRect(dc, vcl::AsRECT(&fr));
  }
}

void TsCalendGrid::PaintCells(HDC dc) {
  if (!FOwner) return;
  vcl::TCanvas canvas;
  canvas.SetHandle(dc);
  const int saved = SaveDC(dc);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < FColCount; ++col) {
      const int s = SaveDC(dc);
      DrawCell(&canvas, col, row, CellRect(col, row));
      RestoreDC(dc, s);
    }
  // The strip right of the last column.
  const int right = FColCount * FColWidth;
  if (right < width_) FillBackground(&canvas, vcl::TRect(right, 0, width_, 7 * FRowHeight));
  RestoreDC(dc, saved);
  canvas.SetHandle(nullptr);
}

void TsCalendGrid::Resize() {
  vcl::TCustomControl::Resize();
  Resized();
}

void TsCalendGrid::Paint() {
  if (ComponentState().Contains(vcl::csDestroying) || IsLoading()) return;
  Resized();
  // Painted whole into a picture first, so the cells never flicker through their background.
  auto bmp = CreateBmp32(width_, height_);
  if (!bmp) return;
  PaintCells(bmp->Canvas()->Handle());
  BitBlt(Canvas()->Handle(), 0, 0, width_, height_, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsCalendGrid::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_MOUSEMOVE:
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE:
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    case WM_SIZE:
      vcl::TCustomControl::Dispatch(m);
      Resized();
      return;
    case WM_LBUTTONDOWN: {
      if (!FOwner || Clicked) return;
      if (FOwner->Parent() && FOwner->Parent()->HandleAllocated() && !IsWindowVisible(FOwner->Parent()->Handle()))
        return;
      Clicked = true;
      FDayPressed = false;
      int col = 0, row = 0;
      const int x = static_cast<short>(LOWORD(m.LParam)), y = static_cast<short>(HIWORD(m.LParam));
      if (MouseToCell(x, y, col, row) && row >= 1 && col >= FFixedCols &&
          FOwner->IsValidDate(FOwner->GetCellDate(col, row)) && FocusCell(col, row)) {
        FDayPressed = true;
        Click();
        Invalidate();
      }
      Clicked = false;
      return;
    }
    case WM_LBUTTONUP: {
      vcl::TCustomControl::Dispatch(m);
      TsPopupCalendar* popup = FOwner ? FOwner->PopupOwner() : nullptr;
      // Only a press that picked a day hands it over: a press on a day outside the limits (or on the header)
      // must not close the popup with the day that was selected before.
      const bool picked = FDayPressed;
      FDayPressed = false;
      if (picked && popup && popup->HandleAllocated() && IsWindowVisible(popup->Handle()) && !Clicked) {
        Clicked = true;
        popup->CalendarClick();
        Clicked = false;
      }
      return;
    }
    default:
      break;
  }
  vcl::TCustomControl::Dispatch(m);
}

void TsCalendGrid::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  TsMonthCalendar* cal = FOwner;
  if (!cal) return;
  TsPopupCalendar* popup = cal->PopupOwner();
  const bool noShift = !shift.Contains(vcl::ssShift) && !shift.Contains(vcl::ssCtrl) && !shift.Contains(vcl::ssAlt);
  switch (key) {
    case VK_RETURN:
      if (popup) popup->CalendarClick();
      return;
    case VK_ESCAPE:
      if (popup) popup->Cancel();
      return;
    case VK_PRIOR:
      shift.Contains(vcl::ssCtrl) ? cal->PrevYear() : cal->PrevMonth();
      return;
    case VK_NEXT:
      shift.Contains(vcl::ssCtrl) ? cal->NextYear() : cal->NextMonth();
      return;
    case VK_LEFT:
    case VK_SUBTRACT:
      if (noShift) cal->SetCalendarDate(cal->CalendarDate() - 1);
      return;
    case VK_RIGHT:
    case VK_ADD:
      if (noShift) cal->SetCalendarDate(cal->CalendarDate() + 1);
      return;
    case VK_UP:
      cal->SetCalendarDate(cal->CalendarDate() - 7);
      return;
    case VK_DOWN:
      cal->SetCalendarDate(cal->CalendarDate() + 7);
      return;
    default:
      vcl::TCustomControl::KeyDown(key, shift);
  }
}

void TsCalendGrid::KeyPress(wchar_t& key) {
  if (FOwner && (key == L'T' || key == L't')) {
    FOwner->SetCalendarDate(std::trunc(rtl::Now()));
    key = 0;
  }
  vcl::TCustomControl::KeyPress(key);
}

VCL_REGISTER(TsCalendGrid) {}

VCL_REGISTER(TsMonthCalendar) {
  cls.Prop(L"Animated", &TsMonthCalendar::Animated, &TsMonthCalendar::SetAnimated).Default(true);
  cls.Prop(L"ReadOnly", &TsMonthCalendar::ReadOnly, &TsMonthCalendar::SetReadOnly).Default(false);
  cls.Prop(L"ShowCurrentDate", &TsMonthCalendar::ShowCurrentDate, &TsMonthCalendar::SetShowCurrentDate).Default(true);
  cls.Prop(L"ShowSelectAlways", &TsMonthCalendar::ShowSelectAlways, &TsMonthCalendar::SetShowSelectAlways)
      .Default(true);
  cls.Prop(L"ShowTitle", &TsMonthCalendar::ShowTitle, &TsMonthCalendar::SetShowTitle).Default(true);
  cls.Prop(L"ShowTodayBtn", &TsMonthCalendar::ShowTodayBtn, &TsMonthCalendar::SetShowTodayBtn).Default(false);
  cls.Prop(L"ShowWeeks", &TsMonthCalendar::ShowWeeks, &TsMonthCalendar::SetShowWeeks).Default(false);
  cls.Prop(L"ShowYearBtns", &TsMonthCalendar::ShowYearBtns, &TsMonthCalendar::SetShowYearBtns).Default(true);
  cls.Prop(L"ShowMonthBtns", &TsMonthCalendar::ShowMonthBtns, &TsMonthCalendar::SetShowMonthBtns).Default(true);
  cls.Prop(L"UseCurrentDate", &TsMonthCalendar::UseCurrentDate, &TsMonthCalendar::SetUseCurrentDate).Default(true);
  cls.Prop(L"WeekendColor", &TsMonthCalendar::WeekendColor, &TsMonthCalendar::SetWeekendColor)
      .Default(vcl::clRed);
  cls.Prop(L"StartOfWeek", &TsMonthCalendar::StartOfWeek, &TsMonthCalendar::SetStartOfWeek)
      .Default(dowLocaleDefault);
}
