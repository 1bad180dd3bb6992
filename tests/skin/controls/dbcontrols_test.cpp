// The skinned bound controls over tables of a real file, driven by window messages: the check box's value lists
// and grey state, and the date edit's mask, refused keys, typed dates and cleared dates.
#include <gtest/gtest.h>

// The system's headers come after the runtime's own take on them.
// clang-format off
#include "platform/rtl/win.h"
#include <commctrl.h>
// clang-format on

#include "platform/db/ado.h"
#include "platform/rtl/formatsettings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sDBCheckBox.h"
#include "skin/controls/sDBDateEdit.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sPopupCalendar.h"
#include "tests/common/dialogs.h"
#include "tests/platform/db/dbtestutil.h"

using rtl::String;

namespace {

String WindowText(HWND wnd) { return testutil::WindowText(wnd); }

class SkinnedDBControls : public ::testing::Test {
protected:
  void SetUp() override {
    saved_ = rtl::FormatSettings;
    rtl::FormatSettings.ShortDateFormat = L"dd.MM.yyyy";
    rtl::FormatSettings.DateSeparator = L'.';
    std::wstring dir = dbtest::TempFolder();
    ASSERT_TRUE(dbtest::CreateDatabase(
        dir + L"\\tavrel.db",
        "insert into ogrencigorusme(okulno, gorusmeturu, gorusmetarihi) values (1, 'evet', 46366.0);"
        "insert into ogrencigorusme(okulno, gorusmeturu) values (2, 'E');"
        "insert into ogrencigorusme(okulno, gorusmeturu) values (3, 'hayır');"
        "insert into ogrencigorusme(okulno, gorusmeturu) values (4, 'belki');"
        "insert into ogrencigorusme(okulno) values (5);"
        "insert into ogrencibilgi(okulno, burslu) values ('5', 0);"));
    vcl::Application->Initialize();
    form_ = new vcl::TForm(nullptr);
    form_->SetBounds(20, 20, 500, 300);
    conn_ = new db::TADOConnection(form_);
    conn_->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.mdb");
    conn_->SetLoginPrompt(false);
    table_ = new db::TADOTable(form_);
    table_->SetConnection(conn_);
    table_->SetTableName(L"ogrencigorusme");
    source_ = new db::TDataSource(form_);
    source_->SetDataSet(table_);
    students_ = new db::TADOTable(form_);
    students_->SetConnection(conn_);
    students_->SetTableName(L"ogrencibilgi");
    studentSource_ = new db::TDataSource(form_);
    studentSource_->SetDataSet(students_);

    kind_ = Place(new TsDBCheckBox(form_), 10, 10, L"gorusmeturu", source_);
    kind_->SetValueChecked(L"E;Evet");
    kind_->SetValueUnchecked(L"H;Hayır");
    scholar_ = Place(new TsDBCheckBox(form_), 10, 40, L"burslu", studentSource_);
    date_ = Place(new TsDBDateEdit(form_), 10, 70, L"gorusmetarihi", source_);
    number_ = Place(new TsDBEdit(form_), 10, 100, L"okulno", source_);
    table_->Open();
    students_->Open();
    form_->Show();
    vcl::Application->ProcessMessages();
  }
  void TearDown() override {
    delete form_;
    vcl::Application->ProcessMessages();
    rtl::FormatSettings = saved_;
  }
  template <class C>
  C* Place(C* c, int x, int y, const String& field, db::TDataSource* source) {
    c->SetParent(form_);
    c->SetBounds(x, y, 200, c->Height());
    c->SetDataSource(source);
    c->SetDataField(field);
    return c;
  }
  void Click(vcl::TWinControl* c) {
    SendMessageW(c->Handle(), BM_CLICK, 0, 0);
    vcl::Application->ProcessMessages();
  }
  void Type(HWND wnd, const String& text) {
    SetFocus(wnd);
    for (wchar_t ch : text) SendMessageW(wnd, WM_CHAR, ch, 1);
    vcl::Application->ProcessMessages();
  }

  rtl::TFormatSettings saved_;
  vcl::TForm* form_ = nullptr;
  db::TADOConnection* conn_ = nullptr;
  db::TADOTable* table_ = nullptr;
  db::TADOTable* students_ = nullptr;
  db::TDataSource* source_ = nullptr;
  db::TDataSource* studentSource_ = nullptr;
  TsDBCheckBox* kind_ = nullptr;
  TsDBCheckBox* scholar_ = nullptr;
  TsDBDateEdit* date_ = nullptr;
  TsDBEdit* number_ = nullptr;
};

TEST_F(SkinnedDBControls, CheckBoxComparesTheFieldWithItsValueListsIgnoringCase) {
  // One row per record: 'evet', 'E', 'hayır', 'belki', null.
  const vcl::TCheckBoxState expected[] = {vcl::cbChecked, vcl::cbChecked, vcl::cbUnchecked, vcl::cbGrayed,
                                          vcl::cbGrayed};
  for (int i = 0; i < 5; ++i) {
    table_->SetRecNo(i + 1);
    EXPECT_EQ(kind_->State(), expected[i]) << "record " << i + 1;
  }
  kind_->SetNullValue(vcl::cbUnchecked);
  table_->First();
  table_->Last();
  EXPECT_EQ(kind_->State(), vcl::cbUnchecked);
}

TEST_F(SkinnedDBControls, ValueListHelpers) {
  EXPECT_TRUE(TsDBCheckBox::ValueMatch(L"E;Evet", L"EVET"));
  EXPECT_TRUE(TsDBCheckBox::ValueMatch(L"E; Evet", L"evet"));
  EXPECT_FALSE(TsDBCheckBox::ValueMatch(L"", L""));
  EXPECT_FALSE(TsDBCheckBox::ValueMatch(L"E;Evet", L"Ev"));
  EXPECT_EQ(TsDBCheckBox::FirstValue(L"E;Evet"), L"E");
  EXPECT_EQ(TsDBCheckBox::FirstValue(L""), L"");
}

TEST_F(SkinnedDBControls, CheckingWritesTheFirstItemOfTheList) {
  table_->SetRecNo(3);  // 'hayır'
  Click(kind_);
  EXPECT_EQ(table_->State(), db::dsEdit);
  EXPECT_EQ(kind_->State(), vcl::cbChecked);
  table_->Post();
  EXPECT_EQ(table_->FieldByName(L"gorusmeturu")->AsString(), L"E");
}

TEST_F(SkinnedDBControls, GreyStateClearsTheField) {
  table_->SetRecNo(2);  // 'E'
  kind_->SetAllowGrayed(true);
  Click(kind_);  // checked -> unchecked
  EXPECT_EQ(kind_->State(), vcl::cbUnchecked);
  Click(kind_);  // unchecked -> grey
  ASSERT_EQ(kind_->State(), vcl::cbGrayed);
  table_->Post();
  EXPECT_TRUE(table_->FieldByName(L"gorusmeturu")->IsNull());
}

TEST_F(SkinnedDBControls, BooleanFieldTakesTheBoolean) {
  EXPECT_EQ(scholar_->State(), vcl::cbUnchecked);
  Click(scholar_);
  EXPECT_EQ(scholar_->State(), vcl::cbChecked);
  students_->Post();
  EXPECT_TRUE(students_->FieldByName(L"burslu")->AsBoolean());
}

TEST_F(SkinnedDBControls, CheckBoxWithoutARecordToEditIgnoresClicks) {
  kind_->SetDataSource(nullptr);
  vcl::TCheckBoxState before = kind_->State();
  Click(kind_);
  EXPECT_EQ(kind_->State(), before);
  // Read-only boxes stay as they are too.
  scholar_->SetReadOnly(true);
  Click(scholar_);
  EXPECT_EQ(scholar_->State(), vcl::cbUnchecked);
  EXPECT_EQ(students_->State(), db::dsBrowse);
}

TEST_F(SkinnedDBControls, EscapeAfterAToggleShowsTheFieldAgain) {
  table_->SetRecNo(3);
  Click(kind_);
  ASSERT_EQ(kind_->State(), vcl::cbChecked);
  SendMessageW(kind_->Handle(), WM_CHAR, 27, 1);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(kind_->State(), vcl::cbUnchecked);
}

TEST_F(SkinnedDBControls, DateEditShowsTheFieldThroughTheDateMask) {
  EXPECT_EQ(date_->EditMask(), L"!99/99/9999;1; ");
  // 46366 is 10 December 2026.
  EXPECT_EQ(WindowText(date_->Handle()), L"10.12.2026");
  EXPECT_EQ(date_->Date(), 46366.0);
  table_->SetRecNo(2);
  EXPECT_EQ(WindowText(date_->Handle()), L"  .  .    ");
  EXPECT_EQ(date_->Date(), NullDate);
}

TEST_F(SkinnedDBControls, DateEditRefusesLettersAndTakesATypedDate) {
  table_->SetRecNo(2);
  Type(date_->Handle(), L"x");
  EXPECT_EQ(table_->State(), db::dsBrowse);
  EXPECT_EQ(WindowText(date_->Handle()), L"  .  .    ");
  Type(date_->Handle(), L"05032025");
  EXPECT_EQ(table_->State(), db::dsEdit);
  EXPECT_EQ(WindowText(date_->Handle()), L"05.03.2025");
  EXPECT_DOUBLE_EQ(date_->Date(), rtl::EncodeDate(2025, 3, 5));
  table_->Post();
  EXPECT_DOUBLE_EQ(table_->FieldByName(L"gorusmetarihi")->AsDateTime(), rtl::EncodeDate(2025, 3, 5));
}

TEST_F(SkinnedDBControls, DateEditWithoutADateClearsTheField) {
  table_->Edit();
  date_->SetText(L"");
  EXPECT_EQ(date_->Date(), NullDate);
  table_->Post();
  EXPECT_TRUE(table_->FieldByName(L"gorusmetarihi")->IsNull());
}

// Posting while a date edit holds a text that is no date (nor an unfinished one) is refused: the record stays in
// edit and the field keeps what it had, rather than being cleared or keeping an earlier date unseen.
TEST_F(SkinnedDBControls, PostingATextThatIsNoDateIsRefused) {
  struct Case {
    int record;
    const wchar_t* keys;
    String shown;  // the text refused, the missing year completed
  };
  String year = std::to_wstring(CurrentYear());
  const Case cases[] = {
      {2, L"31022025", L"31.02.2025"},  // a new date that does not exist
      {1, L"3113", L"31.13." + year},   // over a stored date: the old one must not stay
      {2, L"1", L"1 .  ." + year},      // a day alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    table_->SetRecNo(c.record);
    double before = table_->FieldByName(L"gorusmetarihi")->AsFloat();
    SendMessageW(date_->Handle(), EM_SETSEL, 0, -1);
    Type(date_->Handle(), c.keys);
    ASSERT_EQ(table_->State(), db::dsEdit);
    try {
      table_->Post();
      ADD_FAILURE() << "posted";
    } catch (const rtl::EConvertError& e) {
      EXPECT_EQ(e.Message(), L"Invalid date");
    }
    EXPECT_EQ(WindowText(date_->Handle()), c.shown);  // left for the user to correct
    EXPECT_EQ(table_->State(), db::dsEdit);
    table_->Cancel();
    table_->Close();
    table_->Open();
    table_->SetRecNo(c.record);
    EXPECT_EQ(table_->FieldByName(L"gorusmetarihi")->AsFloat(), before);
  }
}

TEST_F(SkinnedDBControls, LeavingTheDateEditCompletesTheYear) {
  table_->SetRecNo(2);
  Type(date_->Handle(), L"0503");
  SetFocus(number_->Handle());
  vcl::Application->ProcessMessages();
  EXPECT_EQ(date_->Date(), rtl::EncodeDate(static_cast<rtl::Word>(CurrentYear()), 3, 5));
  table_->Post();
  EXPECT_DOUBLE_EQ(table_->FieldByName(L"gorusmetarihi")->AsDateTime(),
                   rtl::EncodeDate(static_cast<rtl::Word>(CurrentYear()), 3, 5));
}

TEST_F(SkinnedDBControls, DateEditDropsItsCalendarAndTakesThePickedDay) {
  table_->SetRecNo(2);
  form_->SetLeft(400);  // room on the left for a calendar wider than the edit
  HWND button = date_->Button()->Handle();
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  vcl::Application->ProcessMessages();
  ASSERT_TRUE(date_->DroppedDown());
  TsPopupCalendar* popup = date_->PopupCalendar();
  ASSERT_NE(popup, nullptr);
  ASSERT_NE(popup->Calendar(), nullptr);
  // The popup opens below the edit, its right edge on the edit's.
  RECT edit{}, drop{};
  GetWindowRect(date_->Handle(), &edit);
  GetWindowRect(popup->Handle(), &drop);
  EXPECT_EQ(drop.right, edit.right);
  EXPECT_EQ(drop.top, edit.bottom);
  // An empty date opens the calendar on today.
  EXPECT_EQ(popup->CalendarDate(), rtl::Date());

  popup->SetCalendarDate(rtl::EncodeDate(2025, 6, 7));
  popup->CalendarClick();
  vcl::Application->ProcessMessages();
  EXPECT_FALSE(date_->DroppedDown());
  EXPECT_EQ(WindowText(date_->Handle()), L"07.06.2025");
  EXPECT_EQ(table_->State(), db::dsEdit);
  table_->Post();
  EXPECT_DOUBLE_EQ(table_->FieldByName(L"gorusmetarihi")->AsDateTime(), rtl::EncodeDate(2025, 6, 7));
}

TEST_F(SkinnedDBControls, DateEditOffersNoCalendarWhileTheFieldCannotChange) {
  date_->SetReadOnly(true);
  date_->ButtonClick();
  EXPECT_FALSE(date_->DroppedDown());
  date_->SetReadOnly(false);
  date_->ButtonClick();
  EXPECT_TRUE(date_->DroppedDown());
  // Escape closes it without a date.
  SetFocus(date_->Handle());
  SendMessageW(date_->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  vcl::Application->ProcessMessages();
  EXPECT_FALSE(date_->DroppedDown());
  EXPECT_EQ(table_->State(), db::dsBrowse);
  EXPECT_EQ(WindowText(date_->Handle()), L"10.12.2026");
}

TEST_F(SkinnedDBControls, DateEditKeysSetTodayAndStepByDays) {
  table_->SetRecNo(2);
  SetFocus(date_->Handle());
  SendMessageW(date_->Handle(), WM_CHAR, L't', 1);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(table_->State(), db::dsEdit);
  EXPECT_EQ(date_->Date(), rtl::Date());
  SendMessageW(date_->Handle(), WM_KEYDOWN, VK_UP, 1);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(date_->Date(), rtl::Date() + 1);
  String shown = WindowText(date_->Handle());
  SendMessageW(date_->Handle(), WM_CHAR, L'+', 1);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(WindowText(date_->Handle()), shown);
  table_->Post();
  EXPECT_EQ(table_->FieldByName(L"gorusmetarihi")->AsDateTime(), rtl::Date() + 1);
}

TEST_F(SkinnedDBControls, HiddenMemoHandsTextSetByTheProgramToItsField) {
  auto* memo = Place(new TsDBMemo(form_), 10, 130, L"yapilancalisma", source_);
  memo->SetVisible(false);
  table_->Edit();
  memo->SetText(L"C:\\Resimler\\ali.png");
  table_->Post();
  EXPECT_EQ(table_->FieldByName(L"yapilancalisma")->AsString(), L"C:\\Resimler\\ali.png");
}

TEST_F(SkinnedDBControls, BoundEditIsThePlatformEdit) {
  EXPECT_EQ(WindowText(number_->Handle()), L"1");
  Type(number_->Handle(), L"a");
  EXPECT_EQ(WindowText(number_->Handle()), L"1");
  EXPECT_EQ(table_->State(), db::dsBrowse);
}

}  // namespace
