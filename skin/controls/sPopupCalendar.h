#pragma once
// The calendar a date edit drops down: a borderless popup window with the system's drop shadow holding the
// library's month calendar. It never takes the activation from the edit's form; picking a day (a click on a day
// cell, Enter, the today button) hands the date to the edit and closes it; Escape or leaving the edit closes it
// without a date. With an active skin its outline follows the skin's border of the calendar.
#include "platform/rtl/datetime.h"
#include "platform/vcl/controls.h"
#include "skin/controls/sMonthCalendar.h"

class TsCustomDateEdit;

class TsPopupCalendar : public vcl::TCustomControl {
  VCL_CLASS(TsPopupCalendar, vcl::TCustomControl)
  explicit TsPopupCalendar(vcl::TComponent* owner);
  ~TsPopupCalendar() override;

  TsMonthCalendar* Calendar() const { return FCalendar; }
  // The day the calendar shows selected.
  rtl::TDateTime CalendarDate() const { return FCalendar->CalendarDate(); }
  // A date without a valid day selects today.
  void SetCalendarDate(rtl::TDateTime value);
  // Days outside min..max (0: no limit on that side) are shown unavailable and cannot be picked.
  void SetLimits(rtl::TDateTime minDate, rtl::TDateTime maxDate);
  // Within the editor's limits.
  bool IsValidDate(rtl::TDateTime date) const;
  // Hands the calendar's day to the editor and closes; a day the editor refuses (outside its limits, refused by
  // OnAcceptDate or by the edit itself) leaves the calendar open.
  void CalendarClick();
  // Kept for the callers that accepted through the system calendar's notice.
  void Accept() { CalendarClick(); }
  // Closes without a date; the editor keeps the focus.
  void Cancel();
  // Hides the popup (deactivation, a second button click, the edit losing the focus).
  void Close();
  // Shows the popup's state: OnCloseUp with the editor as Sender.
  void CloseUp();
  bool IsOpen() const;

  TsCustomDateEdit* FEditor = nullptr;
  vcl::TNotifyEvent OnCloseUp;

 protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void CreateWnd() override;
  void Dispatch(vcl::TMessage& m) override;
  void UpdateRegion(bool redraw);

 private:
  TsMonthCalendar* FCalendar = nullptr;
};

// The popup calendar that is open, nil when none: only one is open at a time.
extern TsPopupCalendar* sPopupCalendar;
