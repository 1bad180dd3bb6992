#pragma once
// The month calendar made of the library's own controls: a panel holding a title bar with the month and year and
// four navigation buttons, a thin strip, a day grid (a header of day names, six weeks, an optional week-number
// column) and an optional "today" button. It holds one date; the grid shows that date's month with the date's cell,
// today's cell, weekends and the neighbouring months' days marked. Month and year change by the buttons, the keys
// and a year/month menu on the title, optionally sliding the new month in. Day names, month names, the first day
// of the week and the first-week rule come from the user's locale each time they are needed, so a change of the
// settings shows at the next paint.
#include <array>
#include <memory>

#include "platform/rtl/datetime.h"
#include "platform/vcl/menus.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"

class TsMonthCalendar;
class TsPopupCalendar;

VCL_ENUM(TCalDayOfWeek, dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
         dowLocaleDefault)
VCL_SET(TDaysOfWeek, TCalDayOfWeek)

// (Sender, Date, Font, var Background): colours of one day cell.
using TGetCellParams = std::function<void(rtl::TObject*, rtl::TDateTime, vcl::TFont*, vcl::TColor&)>;

// The day grid: seven day columns (eight with week numbers), a header row and six day rows; the last of its eight
// rows is never drawn. It never takes the activation of the window that holds it.
class TsCalendGrid : public vcl::TCustomControl {
  VCL_CLASS(TsCalendGrid, vcl::TCustomControl)
  explicit TsCalendGrid(vcl::TComponent* owner);

  int ColCount() const { return FColCount; }
  void SetColCount(int value);
  int FixedCols() const { return FFixedCols; }
  int RowCount() const { return 8; }
  int Col() const { return FCol; }
  int Row() const { return FRow; }
  int DefaultColWidth() const { return FColWidth; }
  int DefaultRowHeight() const { return FRowHeight; }
  // The cell under a client point; false outside the cells.
  bool MouseToCell(int x, int y, int& col, int& row) const;
  vcl::TRect CellRect(int col, int row) const;
  // The cell becomes the current one when it may be selected.
  bool FocusCell(int col, int row);
  // Draws every cell into dc (the grid's picture, also for the slide).
  void PaintCells(HDC dc);
  // The grid's own key handling: the calendar's keys (also reached from a date edit while its popup is open).
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;

  // Re-entry guard of the mouse handling; the popup clears it when it closes.
  bool Clicked = false;

 protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void Paint() override;
  void Dispatch(vcl::TMessage& m) override;
  void Click() override;
  void DrawCell(vcl::TCanvas* canvas, int col, int row, vcl::TRect rect);
  bool SelectCell(int col, int row);
  void FillBackground(vcl::TCanvas* canvas, const vcl::TRect& r);
  void Resized();
  void Resize() override;

 private:
  TsMonthCalendar* FOwner;
  bool FDayPressed = false;
  int FColCount = 7, FFixedCols = 0, FCol = 0, FRow = 1, FColWidth = 24, FRowHeight = 16;
};

class TsMonthCalendar : public TsPanel {
  VCL_CLASS(TsMonthCalendar, TsPanel)
  explicit TsMonthCalendar(vcl::TComponent* owner);
  ~TsMonthCalendar() override;
  void Loaded() override;
  void WndProc(vcl::TMessage& message) override;

  TsCalendGrid* Grid() const { return FGrid; }
  TsDragBar* DragBar() const { return FDragBar; }
  TsSpeedButton* TodayBtn() const { return FTodayBtn; }
  // [0] previous year, [1] previous month, [2] next month, [3] next year.
  TsTimerSpeedButton* NavButton(int index) const { return FBtns[static_cast<size_t>(index & 3)]; }
  vcl::TPopupMenu* YearMenu() const { return PopMenu; }

  rtl::TDateTime CalendarDate() const { return FDate; }
  void SetCalendarDate(rtl::TDateTime value);
  // 1 year, 2 month, 3 day.
  int GetDateElement(int index) const;
  void SetDateElement(int index, int value);
  int Year() const { return GetDateElement(1); }
  void SetYear(int v) { SetDateElement(1, v); }
  int Month() const { return GetDateElement(2); }
  void SetMonth(int v) { SetDateElement(2, v); }
  int Day() const { return GetDateElement(3); }
  void SetDay(int v) { SetDateElement(3, v); }
  int DaysThisMonth() const;
  rtl::TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(rtl::TDateTime value);
  rtl::TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(rtl::TDateTime value);
  bool IsValidDate(rtl::TDateTime date) const;

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  bool Updating() const { return FUpdating; }
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool v) { FAnimated = v; }
  bool ShowTitle() const { return FShowTitle; }
  void SetShowTitle(bool v);
  bool ShowWeeks() const { return FShowWeeks; }
  void SetShowWeeks(bool v);
  bool ShowTodayBtn() const { return FShowTodayBtn; }
  void SetShowTodayBtn(bool v);
  bool ShowYearBtns() const { return FShowYearBtns; }
  void SetShowYearBtns(bool v);
  bool ShowMonthBtns() const { return FShowMonthBtns; }
  void SetShowMonthBtns(bool v);
  bool ShowCurrentDate() const { return FShowCurrentDate; }
  void SetShowCurrentDate(bool v);
  bool ShowSelectAlways() const { return FShowSelectAlways; }
  void SetShowSelectAlways(bool v);
  bool UseCurrentDate() const { return FUseCurrentDate; }
  void SetUseCurrentDate(bool v);
  vcl::TColor WeekendColor() const { return FWeekendColor; }
  void SetWeekendColor(vcl::TColor v);
  TDaysOfWeek Weekends() const { return FWeekends; }
  void SetWeekends(TDaysOfWeek v);
  TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
  void SetStartOfWeek(TCalDayOfWeek v);

  // 0 Monday ... 6 Sunday: StartOfWeek, or the locale's first day.
  int FirstDay() const;
  int ShowWeeksInt() const { return FShowWeeks ? 1 : 0; }
  int ThisDayNum(int col, int row) const;
  int GetDayNum(int col, int row) const;
  rtl::TDateTime GetCellDate(int col, int row) const;
  rtl::String CellText(int col, int row) const;
  bool IsWeekend(int col) const;
  // The week number of a date by the locale's first-week rule.
  static int WeekNum(rtl::TDateTime date);

  void PrevMonth() { ChangeMonth(-1, false); }
  void NextMonth() { ChangeMonth(1, false); }
  void PrevYear() { ChangeYear(-1, false); }
  void NextYear() { ChangeYear(1, false); }
  void ChangeMonth(int delta, bool animate);
  void ChangeYear(int delta, bool animate);
  void UpdateCalendar() { CalendarUpdate(false); }
  void CalendarUpdate(bool dayOnly);
  void TodayClick();
  // Builds the year/month menu around this year (once) and pops it up at the cursor.
  void TitleClick();
  void MakePopup();
  // Hands the year/month menu to the skinned-menu support (active) or takes it back.
  void HookMenu(bool active);
  // The popup calendar holding this calendar, if any.
  TsPopupCalendar* PopupOwner() const;
  // Steps taken by the last slide (0: the month changed without one).
  int LastSlideSteps() const { return FLastSlideSteps; }

  vcl::TNotifyEvent OnChange;
  TGetCellParams OnGetCellParams;
  TGetCellParams OnDrawDay;
  // Sender of OnDrawDay (the date edit of a popup calendar); nil: the grid.
  rtl::TObject* DrawDaySender = nullptr;

 protected:
  void CreateWnd() override;
  void Change();
  void UpdateProps();
  void UpdateNavBtns();
  void DoChangeAnimated(bool forward, vcl::TBitmap* oldPicture);
  void FontsChanged();
  void MenuClick(rtl::TObject* sender);

 private:
  friend class TsCalendGrid;
  bool FReadOnly = false, FUpdating = false, FShowTitle = true, FShowWeeks = false, FShowTodayBtn = false,
       FShowYearBtns = true, FShowMonthBtns = true, FUseCurrentDate = true, FShowSelectAlways = true,
       FShowCurrentDate = true, FAnimated = true;
  rtl::TDateTime FDate = 0, FMinDate = 0, FMaxDate = 0;
  vcl::TColor FWeekendColor = vcl::clRed;
  TDaysOfWeek FWeekends{dowSunday};
  TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
  vcl::TPopupMenu* PopMenu = nullptr;
  int FMonthOffset = 0;
  int FLastSlideSteps = 0;
  TsCalendGrid* FGrid = nullptr;
  TsDragBar* FDragBar = nullptr;
  TsPanel* FSpacer = nullptr;
  TsSpeedButton* FTodayBtn = nullptr;
  std::array<TsTimerSpeedButton*, 4> FBtns{};
};

// Locale texts read at each use (user default locale).
namespace calendarlocale {
rtl::String LongMonthName(int month);   // 1..12
rtl::String ShortDayName(int day);      // 1 Sunday .. 7 Saturday
int FirstDayOfWeek();                   // 0 Monday .. 6 Sunday
int FirstWeekOfYear();                  // 0: the week holding 1 January; else the ISO rule
}  // namespace calendarlocale

// Header of the week-number column; caption prefix of the today button.
extern const wchar_t* const s_WeeksTitle;
rtl::String s_Today();
