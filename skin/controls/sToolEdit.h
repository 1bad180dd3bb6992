#pragma once
// The date edit: a combo edit whose mask and display format follow the user's short date format. It keeps the
// date beside the text, completes a missing year when the user leaves it and reports "Invalid date" for a text that
// is no date. Its button drops down a calendar; the day picked there becomes the edit's date.
#include <memory>

#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sMonthCalendar.h"
#include "skin/controls/sDateUtils.h"

class TsPopupCalendar;

VCL_ENUM(TYearDigits, dyDefault, dyFour, dyTwo)

class TsCustomDateEdit : public TsCustomComboEdit {
  VCL_CLASS(TsCustomDateEdit, TsCustomComboEdit)
  explicit TsCustomDateEdit(vcl::TComponent* owner);
  ~TsCustomDateEdit() override;
  void Loaded() override;

  // NullDate when the text holds no complete date (today instead with DefaultToday).
  rtl::TDateTime Date();
  void SetDate(rtl::TDateTime value);
  rtl::TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(rtl::TDateTime value);
  rtl::TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(rtl::TDateTime value);
  bool DefaultToday() const { return FDefaultToday; }
  void SetDefaultToday(bool value) { FDefaultToday = value; }
  TYearDigits YearDigits() const { return FYearDigits; }
  void SetYearDigits(TYearDigits value);
  bool ShowWeeks() const { return FShowWeeks; }
  void SetShowWeeks(bool value) { FShowWeeks = value; }
  bool ShowTodayBtn() const { return FShowTodayBtn; }
  void SetShowTodayBtn(bool value) { FShowTodayBtn = value; }
  bool ShowCurrentDate() const { return FShowCurrentDate; }
  void SetShowCurrentDate(bool value) { FShowCurrentDate = value; }
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool value) { FAnimated = value; }
  // Leaving a date edit always validates, whatever the form stored.
  bool CheckOnExit() const { return true; }
  void SetCheckOnExit(bool value) { FCheckOnExit = value; }
  bool Formatting() const { return FFormatting; }
  const rtl::String& DateFormat() const { return FDateFormat; }
  // The mask for the current format ("!99/99/9999;1; " with four-digit years).
  rtl::String GetDateMask() const;
  // Rebuilds format and mask from the user's settings, keeping the date.
  void UpdateMask();
  // Completes a partly typed year and checks the text; false for an empty date. A text that is no date goes to
  // OnValidateError as "Invalid date: <text>" when that is assigned; otherwise it raises EConvertError "Invalid date"
  // when canRaise (the edit keeps the focus), else answers false.
  bool CheckValidDate(bool canRaise);
  // The text holds something besides blanks and separators.
  bool TextStored();
  // Sets the date and selects the text.
  virtual void ApplyDate(rtl::TDateTime value);
  // A day picked in the drop-down calendar; false when the edit refuses it (the calendar then stays open).
  virtual bool AcceptDate(rtl::TDateTime value) {
    ApplyDate(value);
    return true;
  }
  // Within MinDate..MaxDate (0 is no limit).
  bool WithinLimits(rtl::TDateTime value) const {
    return (FMinDate == 0 || value >= FMinDate) && (FMaxDate == 0 || value <= FMaxDate);
  }
  void PopupWindowShow() override;
  void PopupWindowClose() override;
  TsPopupCalendar* PopupCalendar() const { return FPopupCalendar; }
  // Hands the edit's calendar settings and events to its popup calendar (when there is one).
  void UpdatePopup();
  // The 1-based character under client x (counting the date's digits and separators), 0 beyond them all.
  int CaretPos(int x);
  // At most four lines: the hints of the calendar's previous-year, previous-month, next-month and next-year buttons.
  rtl::TStringList* CalendarHints() const { return FCalendarHints.get(); }
  TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
  void SetStartOfWeek(TCalDayOfWeek value);
  TDaysOfWeek Weekends() const { return FWeekends; }
  void SetWeekends(TDaysOfWeek value);
  vcl::TColor WeekendColor() const { return FWeekendColor; }
  void SetWeekendColor(vcl::TColor value);
  // The edit is hooked into the main window for changes of the user's settings.
  bool Hooked() const { return FHooked; }

  // (Sender, var Date, var CanAccept): a day picked in the calendar, before the edit takes it.
  std::function<void(rtl::TObject*, rtl::TDateTime&, bool&)> OnAcceptDate;
  TGetCellParams OnGetCellParams;
  TGetCellParams OnDrawDay;
  std::function<void(rtl::TObject*, vcl::TFont*)> OnGetPopupFont;
  vcl::TNotifyEvent OnCloseUp;

 protected:
  void Change() override;
  void Dispatch(vcl::TMessage& m) override;
  // Up and numeric + give the next day, Down and numeric - the day before (from now when empty).
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  // "T" sets today; "+" and "-" are swallowed. True when the key was one of them (it is then cleared).
  bool DateKey(wchar_t& key);
  bool FourDigitYear() const;
  void UpdateFormat();
  // True while the text and the date are being brought into step (shared by every date edit).
  static bool TextChanging();
  rtl::String FormatDate(rtl::TDateTime date) const;
  void CreateWnd() override;
  void DestroyWnd() override;
  // A change of the user's settings (WM_SETTINGCHANGE at the main window): format and mask are built again.
  bool FormatSettingsChange(vcl::TMessage& m);
  // Leaving with a text that is no date: the message, and the user stays in the edit.
  void RefuseExit();
  // Brings the edit's form to the front and the focus into the edit.
  void RestoreFocus();
  void CalendarHintsChanged(rtl::TObject* sender);

  bool FFormatting = false;
  bool FShowWeeks = false;
  bool FShowTodayBtn = true;
  bool FShowCurrentDate = true;
  bool FDefaultToday = false;
  bool FCheckOnExit = false;
  bool FAnimated = true;
  rtl::TDateTime FMinDate = 0;
  rtl::TDateTime FMaxDate = 0;
  rtl::TDateTime FIntDate = NullDate;
  wchar_t FBlanksChar = L' ';
  TYearDigits FYearDigits = dyFour;
  rtl::String FDateFormat;
  TsPopupCalendar* FPopupCalendar = nullptr;
  bool FHooked = false;
  int FHookId = 0;
  // Set after the "Invalid date" box until the user acts in the edit: a loss of the activation to nothing that
  // the window system delivers late (after the box is gone) gives the focus back to the edit.
  bool FRefocusAfterBox = false;
  std::unique_ptr<rtl::TStringList> FCalendarHints;
  TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
  TDaysOfWeek FWeekends{dowSunday};
  vcl::TColor FWeekendColor = vcl::clRed;
};

class TsDateEdit : public TsCustomDateEdit {
  VCL_CLASS(TsDateEdit, TsCustomDateEdit)
  explicit TsDateEdit(vcl::TComponent* owner) : TsCustomDateEdit(owner) { FCommonData->COC = COC_TsDateEdit; }
};
