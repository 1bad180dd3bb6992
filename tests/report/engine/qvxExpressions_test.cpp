// The values of bracketed expressions: system values, fields of a report dataset over a real SQLite file with
// Turkish column names, report and global variables, expressions compiled into script functions in each
// language, the script functions Get, Set, IIF and the aggregates, and errors through the report's error list.
#include "report/engine/qvxExpressions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "report/engine/qvxEngine.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPreviewPages.h"
#include "script/wz_script.h"
#include "tests/common/database.h"
#include "tests/common/tempdir.h"
#include "tests/report/model/testpages.h"

using rtl::String;
using rtl::Variant;

namespace {

// The engine as far as values read it: positions and counters the test sets, and the aggregates it was asked for.
class TqvxTestEngine : public TqvxCustomEngine {
 public:
  using TqvxCustomEngine::TqvxCustomEngine;
  void EndPage() override {}
  void NewColumn() override {}
  void NewPage() override {}
  void ShowBand(TqvxBand*) override {}
  void ShowBand(const vcl::TClassInfo*) override {}
  Extended HeaderHeight() override { return 0; }
  Extended FooterHeight() override { return 0; }
  Extended FreeSpace() override { return 0; }
  Variant GetAggregateValue(const String& name, const String& expression, TqvxBand* band, rtl::Integer flags) override {
    Asked.push_back(name + L"|" + expression + L"|" + (band ? band->Name() : String(L"-")) + L"|" +
                    rtl::IntToStr(flags));
    return Variant(123.5);
  }
  bool Run(bool, bool, TqvxPage*) override { return true; }
  std::vector<String> Asked;
};

std::string Utf8(const String& s) { return rtl::StringToUTF8(s); }

class ValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring file = folder_.File(L"okul.db");
    std::string error;
    ASSERT_TRUE(testutil::Exec(file,
                               "create table öğrenciler(No integer primary key, Adı varchar(30), Soyadı varchar(30), "
                               "\"Doğum Tarihi\" datetime, Kayıtlı boolean, Ücret numeric(10,2));"
                               "insert into öğrenciler values (1, 'Şükrü', 'Işık', 40000.0, 1, 12.5);"
                               "insert into öğrenciler values (2, 'İpek', null, null, null, null);",
                               &error))
        << error;
    conn_ = new db::TADOConnection(nullptr);
    conn_->SetLoginPrompt(false);
    conn_->SetConnectionString(L"Data Source=" + folder_.File(L"okul.mdb"));
    conn_->SetConnected(true);
    query_ = new db::TADOQuery(nullptr);
    query_->SetConnection(conn_);
    query_->SetSQLText(L"select * from öğrenciler order by No");

    report_ = new TqvxReport(nullptr);
    report_->EngineOptions()->NewSilentMode = simSilent;
    engine_ = new TqvxTestEngine(report_);
    report_->SetPreviewPages(new TqvxTestPages(report_));
    report_->SetEngine(engine_);
    page_ = new TqvxReportPage(report_);
    page_->SetName(L"Page1");
    band_ = new TqvxMasterData(page_);
    band_->SetName(L"MasterData1");
    ds_ = new TqvxDBDataset(report_);
    ds_->SetName(L"DBDataset1");
    ds_->SetUserName(L"Öğrenci");
    ds_->SetDataSet(query_);
    report_->DataSets()->Add(ds_);
    ds_->SetReportRef(report_);
    ds_->Initialize();
    ds_->First();
    Calculator().Clear();
    Calculator().RegisterFunctions();
  }
  void TearDown() override {
    report_->Free();
    query_->Free();
    conn_->Free();
  }
  TqvxCalculator& Calculator() { return dynamic_cast<TqvxCalculator&>(report_->Calculator()); }
  int Compiled() { return Calculator().Cache()->Count(); }

  testutil::TempFolder folder_{L"values"};
  db::TADOConnection* conn_ = nullptr;
  db::TADOQuery* query_ = nullptr;
  TqvxReport* report_ = nullptr;
  TqvxTestEngine* engine_ = nullptr;
  TqvxReportPage* page_ = nullptr;
  TqvxMasterData* band_ = nullptr;
  TqvxDBDataset* ds_ = nullptr;
};

TEST(EngineLayer, EveryReportGetsItsCalculatorEngineAndPagesWhenTheLayerIsLinked) {
  ASSERT_NE(qvxFindEngineLink(), nullptr);
  TqvxReport report(nullptr);
  EXPECT_EQ(report.Calc(L"1 + 2 * 3"), Variant(7));
  EXPECT_NE(dynamic_cast<TqvxEngine*>(report.Engine()), nullptr);
  EXPECT_NE(dynamic_cast<TqvxPreviewPages*>(report.PreviewPages()), nullptr);
  // A report without pages prepares nothing, without complaint.
  EXPECT_TRUE(report.PrepareReport());
  EXPECT_EQ(report.PreviewPages()->GetCount(), 0);
}

TEST_F(ValuesTest, DatasetFieldsByTheirTurkishNames) {
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Adı\""), Variant(String(L"Şükrü")));
  EXPECT_EQ(report_->Calc(L"öğrenci.\"Soyadı\""), Variant(String(L"Işık")));  // the alias ignores case
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Ücret\"").AsDouble(), 12.5);
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Doğum Tarihi\"").AsDouble(), 40000.0);
  EXPECT_EQ(Compiled(), 0);  // plain references never reach the compiler

  // Nulls become the empty value of the field's type.
  ds_->Next();
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Adı\""), Variant(String(L"İpek")));
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Soyadı\""), Variant(String()));
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Ücret\""), Variant(0));
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Doğum Tarihi\"").AsDouble(), 0.0);
  EXPECT_EQ(report_->Calc(L"Öğrenci.\"Kayıtlı\""), Variant(false));
  report_->EngineOptions()->ConvertNulls = false;
  EXPECT_TRUE(report_->Calc(L"Öğrenci.\"Soyadı\"").IsNull());

  // A field the dataset lacks: reported by the dataset, the value Null.
  report_->CurObject = L"Memo1";
  EXPECT_TRUE(report_->Calc(L"Öğrenci.\"Yaşı\"").IsNull());
  ASSERT_EQ(report_->Errors()->Count(), 1);
  EXPECT_EQ(report_->Errors()->Strings(0), L"Memo1: Field not found: Öğrenci.\"Yaşı\"");
}

TEST_F(ValuesTest, SystemValuesFromTheEngineAndThePages) {
  auto* pages = dynamic_cast<TqvxTestPages*>(report_->PreviewPages());
  engine_->StartDate = rtl::EncodeDate(2026, 12, 10);
  engine_->StartTime = 0.5;
  engine_->TotalPages = 9;
  engine_->CurLine = 4;
  engine_->CurLineThrough = 14;
  pages->CurPage = 2;
  pages->LogicalPageNo = 1;
  pages->LogicalTotalPages = 2;
  struct TCase {
    const wchar_t* name;
    Variant value;
  } cases[] = {{L"Date", rtl::VarFromDateTime(rtl::EncodeDate(2026, 12, 10))},
               {L"Time", rtl::VarFromDateTime(0.5)},
               {L"Page", Variant(1)},
               {L"Page#", Variant(3)},
               {L"page#", Variant(3)},
               {L"TOTALPAGES", Variant(2)},
               {L"TotalPages#", Variant(9)},
               {L"Line", Variant(4)},
               {L"Line#", Variant(14)}};
  for (const TCase& c : cases) {
    const Variant v = report_->Calc(c.name);
    EXPECT_EQ(v, c.value) << Utf8(c.name);
    EXPECT_EQ(v.VarType(), c.value.VarType()) << Utf8(c.name);
  }
  EXPECT_TRUE(report_->Calc(L"CopyName#").IsNull());
  qvxGlobalVariables().SetVariable(L"CopyName0", Variant(String(L"Öğrenci nüshası")));
  EXPECT_EQ(report_->Calc(L"CopyName#"), Variant(String(L"Öğrenci nüshası")));
  qvxGlobalVariables().DeleteVariable(L"CopyName0");
  EXPECT_EQ(Compiled(), 0);
}

TEST_F(ValuesTest, VariablesAreExpressionsUnlessTheyHoldLines) {
  TqvxVariables* vars = report_->Variables();
  vars->SetVariable(L"Toplam", Variant(String(L"2 + 3")));
  vars->SetVariable(L"Adres", Variant(String(L"Çiçek Sokak\r\nÜsküdar")));
  vars->SetVariable(L"Sayı", Variant(7));
  vars->SetVariable(L"Ad", Variant(String(L"Öğrenci.\"Adı\"")));
  EXPECT_EQ(report_->Calc(L"Toplam"), Variant(5));
  EXPECT_EQ(report_->Calc(L"Adres"), Variant(String(L"Çiçek Sokak\r\nÜsküdar")));
  EXPECT_EQ(report_->Calc(L"sayı"), Variant(7));
  EXPECT_EQ(report_->Calc(L"Ad"), Variant(String(L"Şükrü")));
  qvxGlobalVariables().SetVariable(L"Okul", Variant(String(L"Atatürk Lisesi")));
  EXPECT_EQ(report_->Calc(L"Okul"), Variant(String(L"Atatürk Lisesi")));
  qvxGlobalVariables().DeleteVariable(L"Okul");

  // The events answer before the variables do.
  report_->OnGetValue = [](const String& name, Variant& v) {
    if (name == L"Toplam") v = Variant(String(L"olay"));
  };
  EXPECT_EQ(report_->Calc(L"Toplam"), Variant(String(L"olay")));
}

TEST_F(ValuesTest, VariablesThatReferToThemselvesEndWithAnError) {
  TqvxVariables* vars = report_->Variables();
  vars->SetVariable(L"A", Variant(String(L"A")));
  vars->SetVariable(L"B", Variant(String(L"C")));
  vars->SetVariable(L"C", Variant(String(L"B")));
  vars->SetVariable(L"D", Variant(String(L"Get('D') + 1")));
  report_->CurObject = L"Memo1";
  for (const wchar_t* name : {L"A", L"B", L"D"}) {
    report_->Errors()->Clear();
    try {
      report_->Calc(name);
      ADD_FAILURE() << "no error for " << Utf8(name);
    } catch (const rtl::Exception& e) {
      EXPECT_NE(e.Message().find(L"Circular reference"), String::npos) << Utf8(e.Message());
    }
    ASSERT_GE(report_->Errors()->Count(), 1);
    EXPECT_EQ(report_->Errors()->Strings(0).rfind(L"Memo1: ", 0), 0u) << Utf8(report_->Errors()->Text());
  }
  // Nothing is left half evaluated: a sound variable still works afterwards.
  vars->SetVariable(L"A", Variant(String(L"40 + 2")));
  EXPECT_EQ(report_->Calc(L"A"), Variant(42));
}

TEST_F(ValuesTest, OtherExpressionsCompileOnceIntoFunctions) {
  EXPECT_EQ(report_->Calc(L"1 + 2 * 3"), Variant(7));
  EXPECT_NE(Calculator().Cache()->Script()->FindLocal(L"qv3f0"), nullptr);
  EXPECT_EQ(report_->Calc(L"UpperCase('abc') + 'ş'"), Variant(String(L"ABCş")));
  EXPECT_EQ(Compiled(), 2);
  EXPECT_EQ(report_->Calc(L"1 + 2 * 3"), Variant(7));
  EXPECT_EQ(report_->Calc(L"uppercase('abc') + 'ş'"), Variant(String(L"ABCş")));
  EXPECT_EQ(Compiled(), 2);  // the same texts, ignoring case
  report_->SetCaseSensitiveExpressions(true);
  report_->Calc(L"UPPERCASE('abc') + 'ş'");
  EXPECT_EQ(Compiled(), 3);
  report_->SetCaseSensitiveExpressions(false);

  // Expressions see the report's names: its variables and objects through Get, its datasets' fields.
  report_->Variables()->SetVariable(L"Toplam", Variant(String(L"2 + 3")));
  EXPECT_EQ(report_->Calc(L"Get('Toplam') * 2"), Variant(10));
  EXPECT_EQ(report_->Calc(L"Get('Öğrenci.\"Adı\"') + ' ' + Get('Öğrenci.\"Soyadı\"')"), Variant(String(L"Şükrü Işık")));
  report_->Calc(L"Set('Yeni', 'Ayşe')");
  EXPECT_EQ(report_->Variables()->GetVariable(L"Yeni"), Variant(String(L"Ayşe")));

  // A new preparation starts the numbering again.
  Calculator().Clear();
  EXPECT_EQ(Compiled(), 0);
  report_->Calc(L"4 - 1");
  EXPECT_NE(Calculator().Cache()->Script()->FindLocal(L"qv3f0"), nullptr);
}

TEST_F(ValuesTest, EachLanguageHasItsFunctionText) {
  for (const wchar_t* language : {L"ZuvizaVuruze", L"R++Aradod", L"DizizOzazoz", L"JScript"}) {
    report_->SetScriptLanguage(language);
    Calculator().Clear();
    EXPECT_EQ(report_->Calc(L"(1 + 2) * 5"), Variant(15)) << Utf8(language);
  }
}

TEST_F(ValuesTest, IifAndAggregatesReceiveTheTextsOfTheirArguments) {
  report_->Script()->AddObject(L"MasterData1", band_);
  EXPECT_EQ(report_->Calc(L"IIF(1 > 0, 'evet', 'hayır')"), Variant(String(L"evet")));
  EXPECT_EQ(report_->Calc(L"IIF(Get('Öğrenci.\"Ücret\"') > 100, 'pahalı', 'ucuz')"), Variant(String(L"ucuz")));

  EXPECT_EQ(report_->Calc(L"SUM(Get('Öğrenci.\"Ücret\"'), MasterData1, 1)").AsDouble(), 123.5);
  report_->Calc(L"COUNT(MasterData1)");
  report_->Calc(L"MAX(Get('Öğrenci.\"Ücret\"'))");
  EXPECT_EQ(engine_->Asked, (std::vector<String>{L"SUM|Get('Öğrenci.\"Ücret\"')|MasterData1|1", L"COUNT||MasterData1|0",
                                                 L"MAX|Get('Öğrenci.\"Ücret\"')|-|0"}));

  // Get of an aggregate written as text calculates it.
  engine_->Asked.clear();
  EXPECT_EQ(report_->Calc(L"Get('AVG(Get(''Öğrenci.\"Ücret\"''), MasterData1)')").AsDouble(), 123.5);
  ASSERT_EQ(engine_->Asked.size(), 1u);
  EXPECT_EQ(engine_->Asked[0].rfind(L"AVG|", 0), 0u);

  // A condition that fails inside IIF gives an empty result and does not stop anything.
  Variant v;
  EXPECT_NO_THROW(v = report_->Calc(L"IIF(StrToInt('on') > 1, 'a', 'b')"));
  EXPECT_TRUE(v.IsEmpty() || v.IsNull());
}

TEST_F(ValuesTest, ErrorsGoToTheReportsList) {
  report_->CurObject = L"Memo1";
  try {
    report_->Calc(L"(1 + 2");
    ADD_FAILURE() << "compiled";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message().rfind(L"Memo1: Error in expression '(1 + 2': ", 0), 0u) << Utf8(e.Message());
  }
  ASSERT_EQ(report_->Errors()->Count(), 1);
  EXPECT_EQ(report_->Errors()->Strings(0).rfind(L"Memo1: Error in expression '(1 + 2': ", 0), 0u);

  // A run-time error: the same list; a division by zero only when the option does not ignore it.
  EXPECT_THROW(report_->Calc(L"1 / 0"), rtl::Exception);
  EXPECT_EQ(report_->Errors()->Count(), 2);
  report_->EngineOptions()->IgnoreDevByZero = true;
  EXPECT_NO_THROW(report_->Calc(L"1 / 0"));
  EXPECT_EQ(report_->Errors()->Count(), 2);

  // A script's Report.Calc gets its own wording and the list stays as it is.
  try {
    report_->Calc(L"2 +", qvxScriptCall);
    ADD_FAILURE() << "compiled";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message().rfind(L"Error in Calc expression:Error in expression '2 +'", 0), 0u) << Utf8(e.Message());
  }
  EXPECT_EQ(report_->Errors()->Count(), 2);

  // Get of a name nothing defines: one line, Null, no exception.
  report_->CurObject.clear();
  Variant v;
  EXPECT_NO_THROW(v = report_->Calc(L"Get('Tanımsız')"));
  EXPECT_TRUE(v.IsNull());
  EXPECT_GE(report_->Errors()->IndexOf(L"Unknown variable or datafield: Tanımsız"), 0);
  // A field reference to a dataset the report does not list is no field reference: it reaches the compiler.
  EXPECT_THROW(report_->Calc(L"Başka.\"Adı\""), rtl::Exception);
}

TEST_F(ValuesTest, TextObjectsPrintTheirBracketedExpressions) {
  // A variable's text is an expression: a text value is written quoted.
  report_->Variables()->SetVariable(L"Sınıf", Variant(String(L"'9-A'")));
  auto* memo = new TqvxMemoView(band_);
  memo->SetName(L"Memo1");
  memo->SetText(L"[Öğrenci.\"Adı\"] [Öğrenci.\"Soyadı\"] ([Sınıf]), sayfa [Page#], [IIF(1 = 1, 'tamam', '')]");
  memo->BeforePrint();
  memo->GetData();
  EXPECT_EQ(memo->Text(), L"Şükrü Işık (9-A), sayfa 1, tamam\r\n");
  memo->AfterPrint();
  EXPECT_EQ(memo->Text(),
            L"[Öğrenci.\"Adı\"] [Öğrenci.\"Soyadı\"] ([Sınıf]), sayfa [Page#], [IIF(1 = 1, 'tamam', '')]\r\n");
}

}  // namespace
