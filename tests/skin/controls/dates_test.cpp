// Dates typed into the date edits: the reader's table of texts over the three date orders, two-digit years at both
// edges of their window and leap days; then a plain and a bound date edit refusing a text that is no date when the
// user leaves them, and a bound one keeping its date through post and reload of a real file.
#include <gtest/gtest.h>

// clang-format off
#include "platform/rtl/win.h"
#include <commctrl.h>
// clang-format on

#include "platform/db/ado.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "platform/vcl/stdctrls.h"
#include "skin/controls/sDBDateEdit.h"
#include "skin/controls/sPopupCalendar.h"
#include "skin/controls/sDateUtils.h"
#include "skin/controls/sToolEdit.h"
#include "tests/common/database.h"
#include "tests/common/dialogs.h"
#include "tests/common/paths.h"
#include "tests/common/tempdir.h"
#include "tests/common/wait.h"
#include "tests/skin/controls/controlstest.h"

using rtl::String;

namespace {

String Two(int year) {
  String s = std::to_wstring(year % 100);
  return s.size() < 2 ? L"0" + s : s;
}

// The user's date settings for one scope.
class DateSettings {
 public:
  DateSettings(const String& shortDateFormat, wchar_t separator) : saved_(rtl::FormatSettings) {
    rtl::FormatSettings.ShortDateFormat = shortDateFormat;
    rtl::FormatSettings.DateSeparator = separator;
  }
  ~DateSettings() { rtl::FormatSettings = saved_; }

 private:
  rtl::TFormatSettings saved_;
};

struct DateCase {
  String text;
  int y, m, d;  // y 0: refused
};

void CheckTable(const String& format, const std::vector<DateCase>& cases) {
  for (const DateCase& c : cases) {
    SCOPED_TRACE(testutil::Utf8(format + L" " + c.text));
    rtl::TDateTime date = -1;
    bool read = InternalStrToDate(format, c.text, date);
    if (c.y == 0) {
      EXPECT_FALSE(read) << "read as " << date;
    } else {
      ASSERT_TRUE(read);
      EXPECT_EQ(date, rtl::EncodeDate(static_cast<rtl::Word>(c.y), static_cast<rtl::Word>(c.m),
                                      static_cast<rtl::Word>(c.d)));
    }
  }
}

TEST(DateUtils, OrderFormatAndMaskFollowTheShortDateFormat) {
  struct Case {
    String shortFormat;
    wchar_t sep;
    TDateOrder order;
    String four, two, mask4;
  };
  const Case cases[] = {
      {L"dd.MM.yyyy", L'.', doDMY, L"DD/MM/YYYY", L"DD/MM/YY", L"!99/99/9999;1;_"},
      {L"M/d/yyyy", L'/', doMDY, L"MM/DD/YYYY", L"MM/DD/YY", L"!99/99/9999;1;_"},
      {L"yyyy-MM-dd", L'-', doYMD, L"YYYY/MM/DD", L"YY/MM/DD", L"!9999/99/99;1;_"},
      {L"hh:nn", L'.', doDMY, L"DD/MM/YYYY", L"DD/MM/YY", L"!99/99/9999;1;_"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testutil::Utf8(c.shortFormat));
    DateSettings settings(c.shortFormat, c.sep);
    EXPECT_EQ(GetDateOrder(c.shortFormat), c.order);
    EXPECT_EQ(DefDateFormat(true), c.four);
    EXPECT_EQ(DefDateFormat(false), c.two);
    EXPECT_EQ(DefDateMask(L'_', true), c.mask4);
    EXPECT_EQ(DefDateMask(L' ', false), L"!99/99/99;1; ");
  }
}

TEST(DateUtils, TwoDigitYearsLandInTheWindowAroundThisYear) {
  int now = CurrentYear();
  EXPECT_EQ(ExpandYear(now % 100), now);
  EXPECT_EQ(ExpandYear((now - 60) % 100), now - 60);
  EXPECT_EQ(ExpandYear((now + 39) % 100), now + 39);
  EXPECT_EQ(ExpandYear(100), 100);
  EXPECT_EQ(ExpandYear(2024), 2024);
}

TEST(DateUtils, TypedTextsReadAsDatesOrAreRefused) {
  int now = CurrentYear();
  int low = now - 60, high = now + 39;
  {
    DateSettings settings(L"dd.MM.yyyy", L'.');
    CheckTable(DefDateFormat(true), {
                                        {L"05.03.2026", 2026, 3, 5},
                                        {L"29.02.2024", 2024, 2, 29},
                                        {L"29.02.2000", 2000, 2, 29},
                                        {L"29.02.2025", 0, 0, 0},
                                        {L"29.02.1900", 0, 0, 0},
                                        {L"31.02.2026", 0, 0, 0},
                                        {L"31.04.2026", 0, 0, 0},
                                        {L"00.00.0000", 0, 0, 0},
                                        {L"01.01.0000", 0, 0, 0},  // four digits are no two-digit year
                                        {L"01.13.2026", 0, 0, 0},
                                        {L"ab.cd.efgh", 0, 0, 0},
                                        {L"1 .  .2026", 0, 0, 0},
                                        {L"1.3.2026", 2026, 3, 1},  // typed freely with the separator
                                        {L"31.12.9999", 9999, 12, 31},
                                    });
    CheckTable(DefDateFormat(false), {
                                         {L"01.01." + Two(low), low, 1, 1},
                                         {L"31.12." + Two(high), high, 12, 31},
                                         {L"29.02.00", 2000, 2, 29},
                                         {L"00.00.00", 0, 0, 0},
                                         {L"31.02.26", 0, 0, 0},
                                     });
    rtl::TDateTime date = -1;
    EXPECT_TRUE(InternalStrToDate(DefDateFormat(true), L"", date));
    EXPECT_EQ(date, NullDate);
  }
  {
    DateSettings settings(L"M/d/yyyy", L'/');
    CheckTable(DefDateFormat(true), {
                                        {L"03/05/2026", 2026, 3, 5},
                                        {L"02/29/2024", 2024, 2, 29},
                                        {L"02/30/2024", 0, 0, 0},
                                        {L"13/01/2026", 0, 0, 0},
                                        {L"00/00/0000", 0, 0, 0},
                                    });
    CheckTable(DefDateFormat(false), {
                                         {L"12/31/" + Two(high), high, 12, 31},
                                         {L"01/01/" + Two(low), low, 1, 1},
                                     });
  }
  {
    DateSettings settings(L"yyyy-MM-dd", L'-');
    CheckTable(DefDateFormat(true), {
                                        {L"2026-03-05", 2026, 3, 5},
                                        {L"2000-02-29", 2000, 2, 29},
                                        {L"2100-02-29", 0, 0, 0},
                                        {L"2026-02-31", 0, 0, 0},
                                        {L"0000-00-00", 0, 0, 0},
                                    });
    CheckTable(DefDateFormat(false), {
                                         {L"24-02-29", 2024, 2, 29},
                                         {Two(low) + L"-01-01", low, 1, 1},
                                         {Two(high) + L"-12-31", high, 12, 31},
                                     });
  }
}

String WindowText(HWND wnd) { return testutil::WindowText(wnd); }

// A day picked in the open calendar, as the calendar reports a click on it.
void Pick(TsPopupCalendar* popup, rtl::TDateTime date) {
  popup->SetCalendarDate(date);
  popup->CalendarClick();
  vcl::Application->ProcessMessages();
}
using ctltest::Type;

// A form with a date edit and a plain edit to move the focus to.
class DateEditForm : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = rtl::FormatSettings;
    rtl::FormatSettings.ShortDateFormat = L"dd.MM.yyyy";
    rtl::FormatSettings.DateSeparator = L'.';
    vcl::Application->Initialize();
    form_ = new vcl::TForm(nullptr);
    form_->SetBounds(40, 40, 400, 200);
    other_ = new vcl::TEdit(form_);
    other_->SetParent(form_);
    other_->SetBounds(10, 100, 150, 22);
  }
  void TearDown() override {
    delete form_;
    vcl::Application->ProcessMessages();
    rtl::FormatSettings = saved_;
  }
  // Moves the focus away and answers the box that may come up, which runs inside the focus change.
  testutil::DialogAnswer* Leave(HWND from) {
    answer_ = std::make_unique<testutil::DialogAnswer>(IDOK);
    SetFocus(from);
    vcl::Application->ProcessMessages();
    SetFocus(other_->Handle());
    vcl::Application->ProcessMessages();
    return answer_.get();
  }

  rtl::TFormatSettings saved_;
  vcl::TForm* form_ = nullptr;
  vcl::TEdit* other_ = nullptr;
  std::unique_ptr<testutil::DialogAnswer> answer_;
};

TEST_F(DateEditForm, LeavingWithATextThatIsNoDateShowsTheMessageAndKeepsNoDate) {
  auto* edit = new TsDateEdit(form_);
  edit->SetParent(form_);
  edit->SetBounds(10, 10, 120, 22);
  form_->Show();
  vcl::Application->ProcessMessages();
  struct Case {
    const wchar_t* keys;
    String shown;
  };
  const Case cases[] = {{L"31022026", L"31.02.2026"}, {L"00000000", L"00.00.0000"}, {L"29022025", L"29.02.2025"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testutil::Utf8(c.shown));
    edit->SetDate(NullDate);
    SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
    Type(edit->Handle(), c.keys);
    testutil::DialogAnswer* answer = Leave(edit->Handle());
    ASSERT_TRUE(testutil::PumpUntil([&] { return answer->seen >= 1; }))
        << answer->seen;
    EXPECT_EQ(answer->text, L"Invalid date");
    EXPECT_EQ(WindowText(edit->Handle()), c.shown);
    EXPECT_EQ(edit->Date(), NullDate);
  }
  // A handler of the validation error gets the text with the message, and no box comes up.
  String reported;
  edit->OnValidateError = [&](rtl::TObject*, String& text) { reported = text; };
  edit->SetDate(NullDate);
  Type(edit->Handle(), L"31042026");
  testutil::DialogAnswer* answer = Leave(edit->Handle());
  ASSERT_TRUE(testutil::PumpUntil([&] { return !reported.empty(); }));
  EXPECT_EQ(reported, L"Invalid date: 31.04.2026");
  EXPECT_EQ(answer->seen, 0);
  EXPECT_EQ(edit->Date(), NullDate);
}

TEST_F(DateEditForm, TwoDigitYearsExpandByTheWindowOnLeaving) {
  auto* edit = new TsDateEdit(form_);
  edit->SetParent(form_);
  edit->SetBounds(10, 10, 120, 22);
  edit->SetYearDigits(dyTwo);
  form_->Show();
  vcl::Application->ProcessMessages();
  EXPECT_EQ(edit->EditMask(), L"!99/99/99;1; ");
  int now = CurrentYear();
  const int years[] = {now - 60, now + 39, now};
  for (int year : years) {
    SCOPED_TRACE(year);
    edit->SetDate(NullDate);
    SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
    Type(edit->Handle(), L"2902" + Two(year));
    testutil::DialogAnswer* answer = Leave(edit->Handle());
    bool leap = rtl::IsLeapYear(static_cast<rtl::Word>(year));
    if (leap) {
      EXPECT_EQ(edit->Date(), rtl::EncodeDate(static_cast<rtl::Word>(year), 2, 29));
      EXPECT_EQ(answer->seen, 0);
    } else {
      ASSERT_TRUE(testutil::PumpUntil([&] { return answer->seen >= 1; }));
      EXPECT_EQ(edit->Date(), NullDate);
    }
    SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
    Type(edit->Handle(), L"0103" + Two(year));
    answer = Leave(edit->Handle());
    EXPECT_EQ(edit->Date(), rtl::EncodeDate(static_cast<rtl::Word>(year), 3, 1));
    EXPECT_EQ(answer->seen, 0);
  }
}

// A bound date edit over the interview table of a real file.
class BoundDateEdit : public DateEditForm {
 protected:
  void SetUp() override {
    DateEditForm::SetUp();
    dir_ = std::make_unique<testutil::TempFolder>(L"dates");
    file_ = dir_->Path() + L"\\tavrel.db";
    std::string error;
    ASSERT_TRUE(testutil::CreateDatabase(file_,
                                         "insert into ogrencigorusme(okulno, gorusmetarihi) values (1, 46366.0);"
                                         "insert into ogrencigorusme(okulno) values (2);",
                                         &error))
        << error;
    conn_ = new db::TADOConnection(form_);
    conn_->SetConnectionString(L"Data Source=" + dir_->Path() + L"\\tavrel.mdb");
    conn_->SetLoginPrompt(false);
    table_ = new db::TADOTable(form_);
    table_->SetConnection(conn_);
    table_->SetTableName(L"ogrencigorusme");
    source_ = new db::TDataSource(form_);
    source_->SetDataSet(table_);
    date_ = new TsDBDateEdit(form_);
    date_->SetParent(form_);
    date_->SetBounds(10, 10, 120, 22);
    date_->SetDataSource(source_);
    date_->SetDataField(L"gorusmetarihi");
    table_->Open();
    form_->Show();
    vcl::Application->ProcessMessages();
  }
  // What the file holds for the record, read by SQLite itself.
  String Stored(int number) {
    auto rows = testutil::Query(file_, "select gorusmetarihi from ogrencigorusme where okulno = " +
                                           std::to_string(number));
    return rows.size() == 1 ? rows[0]["gorusmetarihi"] : L"<no row>";
  }
  void Reload(int recNo) {
    table_->Close();
    table_->Open();
    table_->SetRecNo(recNo);
  }

  std::unique_ptr<testutil::TempFolder> dir_;
  std::wstring file_;
  db::TADOConnection* conn_ = nullptr;
  db::TADOTable* table_ = nullptr;
  db::TDataSource* source_ = nullptr;
  TsDBDateEdit* date_ = nullptr;
};

TEST_F(BoundDateEdit, KeepsATypedDateThroughPostAndReload) {
  table_->SetRecNo(2);
  ASSERT_EQ(WindowText(date_->Handle()), L"  .  .    ");
  Type(date_->Handle(), L"29022024");
  testutil::DialogAnswer* answer = Leave(date_->Handle());
  EXPECT_EQ(answer->seen, 0);
  ASSERT_EQ(table_->State(), db::dsEdit);
  table_->Post();
  EXPECT_DOUBLE_EQ(std::stod(Stored(2)), rtl::EncodeDate(2024, 2, 29));
  Reload(2);
  EXPECT_EQ(WindowText(date_->Handle()), L"29.02.2024");
  EXPECT_EQ(date_->Date(), rtl::EncodeDate(2024, 2, 29));
  // Cleared, it stores null, and stays empty after reload.
  table_->Edit();
  date_->SetText(L"");
  table_->Post();
  EXPECT_EQ(Stored(2), L"<null>");
  Reload(2);
  EXPECT_EQ(WindowText(date_->Handle()), L"  .  .    ");
}

TEST_F(BoundDateEdit, RefusesATextThatIsNoDateOnLeavingAndStoresNothing) {
  struct Case {
    int record;
    const wchar_t* keys;
    String shown;
  };
  const Case cases[] = {
      {2, L"31022026", L"31.02.2026"},
      {1, L"00000000", L"00.00.0000"},  // over a stored date: the old date must not be written back either
      {1, L"31042026", L"31.04.2026"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testutil::Utf8(c.shown));
    Reload(c.record);
    String before = Stored(c.record);
    SendMessageW(date_->Handle(), EM_SETSEL, 0, -1);
    Type(date_->Handle(), c.keys);
    ASSERT_EQ(table_->State(), db::dsEdit);
    testutil::DialogAnswer* answer = Leave(date_->Handle());
    ASSERT_TRUE(testutil::PumpUntil([&] { return answer->seen >= 1; }))
        << answer->seen;
    EXPECT_EQ(answer->text, L"Invalid date");
    EXPECT_EQ(WindowText(date_->Handle()), c.shown);
    EXPECT_THROW(table_->Post(), rtl::Exception);
    EXPECT_EQ(table_->State(), db::dsEdit);
    table_->Cancel();
    EXPECT_EQ(Stored(c.record), before);
  }
  // Letters never reach the text of a bound edit.
  Reload(2);
  Type(date_->Handle(), L"ab");
  EXPECT_EQ(WindowText(date_->Handle()), L"  .  .    ");
  EXPECT_EQ(table_->State(), db::dsBrowse);
}

TEST_F(DateEditForm, TheCalendarOffersOnlyDaysWithinTheLimits) {
  auto* edit = new TsDateEdit(form_);
  edit->SetParent(form_);
  edit->SetBounds(200, 10, 120, 22);
  edit->SetMinDate(rtl::EncodeDate(2026, 1, 10));
  edit->SetMaxDate(rtl::EncodeDate(2026, 1, 20));
  form_->Show();
  vcl::Application->ProcessMessages();
  edit->ButtonClick();
  ASSERT_TRUE(testutil::PumpUntil([&] { return edit->DroppedDown(); }));
  TsPopupCalendar* popup = edit->PopupCalendar();
  EXPECT_EQ(popup->Calendar()->MinDate(), rtl::EncodeDate(2026, 1, 10));
  EXPECT_EQ(popup->Calendar()->MaxDate(), rtl::EncodeDate(2026, 1, 20));
  // The calendar keeps to the limits too.
  popup->SetCalendarDate(rtl::EncodeDate(2026, 1, 21));
  EXPECT_EQ(popup->CalendarDate(), popup->Calendar()->MaxDate());
  RedrawWindow(popup->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  vcl::Application->ProcessMessages();
  ctltest::SaveScreenAround({edit->Handle(), popup->Handle()}, "date_edit_calendar_open");
  Pick(popup, rtl::EncodeDate(2026, 1, 15));
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(edit->Date(), rtl::EncodeDate(2026, 1, 15));
}

TEST_F(BoundDateEdit, ADayPickedWhileTheFieldCannotChangeIsRefusedAndTheCalendarStaysOpen) {
  form_->SetLeft(300);
  table_->SetRecNo(1);
  date_->ButtonClick();
  ASSERT_TRUE(testutil::PumpUntil([&] { return date_->DroppedDown(); }));
  date_->SetReadOnly(true);
  Pick(date_->PopupCalendar(), rtl::EncodeDate(2025, 6, 7));
  EXPECT_TRUE(date_->DroppedDown());
  EXPECT_EQ(WindowText(date_->Handle()), L"10.12.2026");
  EXPECT_EQ(table_->State(), db::dsBrowse);
  date_->SetReadOnly(false);
  Pick(date_->PopupCalendar(), rtl::EncodeDate(2025, 6, 7));
  EXPECT_FALSE(date_->DroppedDown());
  table_->Post();
  Reload(1);
  EXPECT_EQ(WindowText(date_->Handle()), L"07.06.2025");
  EXPECT_DOUBLE_EQ(std::stod(Stored(1)), rtl::EncodeDate(2025, 6, 7));
}

}  // namespace
