#pragma once
// The calendar a date edit drops down: a borderless popup window holding the system's month calendar. Picking a day
// hands the date to the edit and closes the popup; Escape or leaving the edit closes it without a date.
#include "platform/rtl/datetime.h"
#include "platform/vcl/controls.h"

class TsCustomDateEdit;

class TsPopupCalendar : public vcl::TCustomControl {
  VCL_CLASS(TsPopupCalendar, vcl::TCustomControl)
  explicit TsPopupCalendar(vcl::TComponent* owner);
  ~TsPopupCalendar() override;

  // The month calendar window (made with the popup's window).
  HWND Calendar() const { return FCalendar; }
  // The day the calendar shows selected; a date without a valid day selects today.
  rtl::TDateTime CalendarDate() const;
  void SetCalendarDate(rtl::TDateTime value);
  // Days outside min..max (0: no limit on that side) are shown unavailable.
  void SetLimits(rtl::TDateTime minDate, rtl::TDateTime maxDate);
  // Sends the selected day to the edit and closes; a day the edit refuses leaves the calendar open.
  void Accept();

  TsCustomDateEdit* FEditor = nullptr;

 protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void Dispatch(vcl::TMessage& m) override;

 private:
  HWND FCalendar = nullptr;
};
