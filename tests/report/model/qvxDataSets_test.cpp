// Report datasets without a database: the base cursor and its ranges, the user dataset, user names, the global
// list and the report's dataset collections.
#include "report/model/qvxDataSets.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxXMLSerializer.h"
#include "testreport.h"

namespace {

using rtl::String;
using rtl::Variant;

std::vector<String> Lines(const rtl::TStrings& list) {
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

TEST(UserDataSet, CountRangeVisitsRecordsThenEnds) {
  TqvxUserDataSet ds(nullptr);
  ds.SetRangeEnd(reCount);
  ds.SetRangeEndCount(3);
  std::vector<int> visited;
  int nextCalls = 0;
  ds.OnNext = [&](rtl::TObject*) { ++nextCalls; };
  for (ds.First(); !ds.Eof(); ds.Next()) visited.push_back(ds.RecNo());
  EXPECT_EQ(visited, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(nextCalls, 2);  // the Next that ends the range is not announced
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.SetRangeBegin(rbCurrent);
  EXPECT_EQ(ds.RecordCount(), 0);
}

TEST(UserDataSet, EmptyCountRangeEndsAtOnce) {
  TqvxUserDataSet ds(nullptr);
  ds.SetRangeEnd(reCount);
  ds.First();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecordCount(), 0);
}

TEST(UserDataSet, LastRangeEndsOnlyWhenTheHandlerSaysSo) {
  TqvxUserDataSet ds(nullptr);
  ds.First();
  for (int i = 0; i < 100; ++i) ds.Next();
  EXPECT_FALSE(ds.Eof());
  ds.OnCheckEOF = [](rtl::TObject* sender, bool& eof) { eof = static_cast<TqvxDataSet*>(sender)->RecNo() >= 100; };
  EXPECT_TRUE(ds.Eof());
  ds.Prior();
  EXPECT_FALSE(ds.Eof());
}

TEST(UserDataSet, CursorEventsGetTheDataset) {
  TqvxUserDataSet ds(nullptr);
  std::vector<String> calls;
  auto log = [&](const wchar_t* what) {
    return [&calls, &ds, what](rtl::TObject* s) {
      EXPECT_EQ(s, &ds);
      calls.push_back(what);
    };
  };
  ds.OnFirst = log(L"first");
  ds.OnNext = log(L"next");
  ds.OnPrior = log(L"prior");
  ds.OnOpen = log(L"open");
  ds.OnClose = log(L"close");
  ds.Open();
  ds.First();
  ds.Next();
  ds.Prior();
  ds.Close();
  EXPECT_EQ(calls, (std::vector<String>{L"open", L"first", L"next", L"prior", L"close"}));
}

TEST(UserDataSet, ValuesComeFromTheHandlersInTurn) {
  TqvxUserDataSet ds(nullptr);
  EXPECT_TRUE(ds.GetValue(L"A").IsNull());
  EXPECT_EQ(ds.GetDisplayText(L"A"), L"");
  ds.OnGetValue = [](const String& name, Variant& v) { v = Variant(name + L"1"); };
  EXPECT_EQ(ds.GetValue(L"A"), Variant(String(L"A1")));
  EXPECT_EQ(ds.GetDisplayText(L"A"), L"A1");
  // The second handler sees what the first left for the value, and a fresh Null for the display text.
  Variant seen;
  ds.OnNewGetValue = [&](rtl::TObject*, const String&, Variant& v) {
    seen = v;
    if (!v.IsNull()) v = Variant(rtl::VarToStr(v) + L"+");
  };
  EXPECT_EQ(ds.GetValue(L"A"), Variant(String(L"A1+")));
  EXPECT_EQ(ds.GetDisplayText(L"A"), L"");
  EXPECT_TRUE(seen.IsNull());
}

TEST(UserDataSet, FieldsListedAsGiven) {
  TqvxUserDataSet ds(nullptr);
  rtl::TStringList fields;
  fields.Add(L"Adi");
  fields.Add(L"Soyadi");
  ds.SetFields(&fields);
  fields.Add(L"later");
  EXPECT_EQ(ds.FieldsCount(), 2);
  rtl::TStringList list;
  ds.GetFieldList(&list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Adi", L"Soyadi"}));
  EXPECT_TRUE(ds.HasField(L"ADI"));
  EXPECT_FALSE(ds.HasField(L"Yas"));
}

TEST(DataSet, RenameGivesTheUserNameOnlyOnce) {
  TqvxUserDataSet ds(nullptr);
  ds.SetName(L"Ogrenci");
  EXPECT_EQ(ds.UserName(), L"Ogrenci");
  ds.SetName(L"Ogrenci2");
  EXPECT_EQ(ds.UserName(), L"Ogrenci");
}

TEST(DataSet, BlankUserNameIsRefusedAndTheOldStays) {
  TqvxUserDataSet ds(nullptr);
  ds.SetUserName(L" Veli ");
  EXPECT_EQ(ds.UserName(), L" Veli ");
  for (const wchar_t* bad : {L"", L"   "}) {
    try {
      ds.SetUserName(bad);
      ADD_FAILURE() << "accepted '" << rtl::String(bad).size() << "' blanks";
    } catch (const rtl::Exception& e) {
      EXPECT_EQ(e.Message(), L"prInvProp");
    }
  }
  EXPECT_EQ(ds.UserName(), L" Veli ");
}

TEST(DataSet, DefaultsAndStyle) {
  TqvxUserDataSet ds(nullptr);
  EXPECT_TRUE(ds.Enabled());
  EXPECT_TRUE(ds.OpenDataSource());
  EXPECT_EQ(ds.RangeBegin(), rbFirst);
  EXPECT_EQ(ds.RangeEnd(), reLast);
  EXPECT_EQ(ds.Width(), 28);
  EXPECT_EQ(ds.Height(), 28);
  EXPECT_FALSE(ds.qvComponentStyle().Contains(csPreviewVisible));
  EXPECT_EQ(ds.GetDisplayWidth(L"x"), 10);
  EXPECT_EQ(ds.GetFieldType(L"x"), fftNumeric);
}

TEST(DataSet, PublishedPropertiesSurviveTheSerializer) {
  TqvxUserDataSet ds(nullptr);
  ds.SetName(L"Liste");
  ds.SetRangeEnd(reCount);
  ds.SetRangeEndCount(5);
  ds.SetEnabled(false);
  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(&ds);
  EXPECT_NE(text.find(L"RangeEnd=\"reCount\""), String::npos) << text;
  EXPECT_NE(text.find(L"UserName=\"Liste\""), String::npos) << text;

  TqvxUserDataSet back(nullptr);
  s.XMLToObj(text, &back);
  EXPECT_EQ(back.RangeEnd(), reCount);
  EXPECT_EQ(back.RangeEndCount(), 5);
  EXPECT_FALSE(back.Enabled());
  EXPECT_EQ(back.UserName(), L"Liste");
}

TEST(GlobalList, HoldsEveryDatasetWhileItExists) {
  const int before = DatasetList().Count();
  {
    TqvxUserDataSet a(nullptr), b(nullptr);
    EXPECT_EQ(DatasetList().Count(), before + 2);
    EXPECT_EQ(DatasetList().Items()[before], &a);
    EXPECT_EQ(DatasetList().Items()[before + 1], &b);
  }
  EXPECT_EQ(DatasetList().Count(), before);
}

TEST(GlobalList, ListsEnabledNamedDatasetsOnly) {
  TqvxUserDataSet named(nullptr), off(nullptr), unnamed(nullptr);
  named.SetUserName(L"GL_Named");
  off.SetUserName(L"GL_Off");
  off.SetEnabled(false);
  rtl::TStringList list;
  list.Add(L"stale");
  qvxGetDataSetList(&list);
  EXPECT_GE(list.IndexOf(L"GL_Named"), 0);
  EXPECT_EQ(list.Objects(list.IndexOf(L"GL_Named")), &named);
  EXPECT_LT(list.IndexOf(L"GL_Off"), 0);
  EXPECT_LT(list.IndexOf(L"stale"), 0);
  EXPECT_LT(list.IndexOf(L""), 0);
}

TEST(GlobalList, FindSkipsDatasetsOfOtherReports) {
  TqvxTestReport mine(nullptr), other(nullptr);
  vcl::TComponent form(nullptr);
  auto* foreign = new TqvxUserDataSet(&other);
  foreign->SetUserName(L"GL_Shared");
  auto* onForm = new TqvxUserDataSet(&form);
  onForm->SetUserName(L"gl_shared");
  auto* own = new TqvxUserDataSet(&mine);
  own->SetUserName(L"GL_Own");

  EXPECT_EQ(qvxFindDataSet(nullptr, L"GL_Shared", &mine), onForm);
  EXPECT_EQ(qvxFindDataSet(nullptr, L"GL_Shared", &other), foreign);
  EXPECT_EQ(qvxFindDataSet(nullptr, L"GL_Own", &mine), own);
  EXPECT_EQ(qvxFindDataSet(own, L"GL_Missing", &mine), own);
  EXPECT_EQ(qvxFindDataSet(own, L"GL_Shared", nullptr), own);
  EXPECT_EQ(qvxFindDataSet(own, L"", &mine), nullptr);
  // Report objects find datasets through the same list.
  EXPECT_EQ(mine.FindDataSet(nullptr, L"GL_Shared"), onForm);
}

TEST(ReportDataSets, ItemsFindInitializeAndDelete) {
  TqvxTestReport report(nullptr);
  TqvxReportDataSets sets(&report);
  TqvxUserDataSet a(nullptr), b(nullptr);
  a.SetUserName(L"Alpha");
  b.SetUserName(L"Beta");
  sets.Add(&a);
  sets.Add(&b);
  EXPECT_EQ(sets.Find(&b), sets.Items(1));
  EXPECT_EQ(sets.Find(L"BETA"), sets.Items(1));
  EXPECT_EQ(sets.Find(L"Gamma"), nullptr);
  EXPECT_EQ(sets.Items(0)->DataSetName(), L"Alpha");
  a.SetUserName(L"Alpha2");
  EXPECT_EQ(sets.Items(0)->DataSetName(), L"Alpha2");

  sets.Initialize();
  EXPECT_EQ(a.ReportRef(), &report);
  EXPECT_EQ(b.ReportRef(), &report);

  EXPECT_EQ(qvxReportGetAlias(&sets, &b), L"Beta");
  EXPECT_EQ(qvxReportGetAlias(&sets, nullptr), L"");
  TqvxUserDataSet outside(nullptr);
  EXPECT_EQ(qvxReportGetAlias(&sets, &outside), L"(dataset is not included in Report.DataSets)");

  rtl::TStringList list;
  qvxReportGetDataSetList(&sets, &list, false);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Alpha2", L"Beta"}));
  qvxReportGetDataSetList(&sets, &list, true);
  EXPECT_EQ(list.Count(), 0);

  sets.Delete(L"alpha2");
  ASSERT_EQ(sets.Count(), 1);
  EXPECT_EQ(sets.Items(0)->DataSet(), &b);
  sets.Delete(L"nothing");
  EXPECT_EQ(sets.Count(), 1);
}

TEST(ReportDataSets, NameBindsThroughTheReport) {
  TqvxTestReport report(nullptr);
  TqvxReportDataSets sets(&report);
  TqvxUserDataSet ds(nullptr);
  ds.SetUserName(L"RD_Bound");
  auto* item = static_cast<TqvxDataSetItem*>(sets.vcl::TCollection::Add());
  item->SetDataSetName(L"RD_Bound");
  EXPECT_EQ(item->DataSet(), &ds);
  item->SetDataSetName(L"RD_Unknown");
  EXPECT_EQ(item->DataSet(), &ds);  // nothing of that name: the dataset stays
  EXPECT_EQ(item->DataSetName(), L"RD_Bound");
  item->SetDataSetName(L"");
  EXPECT_EQ(item->DataSet(), nullptr);
  EXPECT_EQ(item->DataSetName(), L"");
}

TEST(ReportDataSets, EnabledListOfAReportThatDoesNotUseTheGlobalOne) {
  TqvxTestReport report(nullptr);
  TqvxUserDataSet listed(nullptr), unlisted(nullptr);
  listed.SetUserName(L"EN_Listed");
  unlisted.SetUserName(L"EN_Unlisted");
  report.EnabledDataSets()->Add(&listed);
  report.EngineOptions()->UseGlobalDataSetList = false;
  EXPECT_EQ(report.FindDataSet(nullptr, L"EN_Listed"), &listed);
  EXPECT_EQ(report.FindDataSet(nullptr, L"EN_Unlisted"), nullptr);
  rtl::TStringList list;
  qvxGetActiveDataSetList(&report, &list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"EN_Listed"}));
  report.EngineOptions()->UseGlobalDataSetList = true;
  qvxGetActiveDataSetList(&report, &list);
  EXPECT_GE(list.IndexOf(L"EN_Unlisted"), 0);
}

TEST(CustomDatabase, BaseAnswersNothing) {
  TqvxCustomDatabase dbc(nullptr);
  EXPECT_FALSE(dbc.GetConnected());
  EXPECT_EQ(dbc.GetDatabaseName(), L"");
  EXPECT_FALSE(dbc.GetLoginPrompt());
  EXPECT_EQ(dbc.GetParams(), nullptr);
  EXPECT_EQ(dbc.ToString(), L"");
  dbc.SetConnected(true);
  EXPECT_FALSE(dbc.GetConnected());
}

}  // namespace
