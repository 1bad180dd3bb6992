// The report root: what a new and a cleared report hold, its options, its links to the layers above the model
// (which this executable does not link, so every one must fail loudly), progress through an attached preview,
// free notifications, and the one class registry that names must not collide in.
#include "report/model/qvxReport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxRes.h"
#include "testpages.h"
#include "testreport.h"

using rtl::String;

namespace {

std::vector<String> Lines(const rtl::TStrings& list) {
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

TEST(ReportRoot, NewReport) {
  TqvxReport report(nullptr);
  EXPECT_EQ(report.PagesCount(), 0);
  EXPECT_EQ(Lines(*report.ScriptText()), (std::vector<String>{L"begin", L"", L"end."}));
  EXPECT_EQ(report.IniFile, L"\\Software\\Quorvia");
  EXPECT_EQ(report.Version(), L"5.1.5");
  report.SetVersion(L"1.0");
  EXPECT_EQ(report.Version(), L"5.1.5");
  EXPECT_EQ(report.ScriptLanguage(), L"ZuvizaVuruze");
  EXPECT_TRUE(report.ShowProgress);
  EXPECT_TRUE(report.StoreInDFM);
  EXPECT_TRUE(report.qvComponentStyle().Contains(csHandlesNestedProperties));
  EXPECT_EQ(Lines(*report.SysVariables()), (std::vector<String>{L"Date", L"Time", L"Page", L"Page#", L"TotalPages",
                                                                L"TotalPages#", L"Line", L"Line#", L"CopyName#"}));
  EXPECT_EQ(report.Report(), &report);
  EXPECT_NE(report.DrawText(), nullptr);
  EXPECT_FALSE(report.Timer()->Enabled());
  EXPECT_EQ(report.Timer()->Interval(), 50u);
  EXPECT_EQ(report.GetDescription(), L"obReport");

  // Options as a new report has them.
  EXPECT_EQ(report.PreviewOptions()->Buttons.Bits(), 0x0FFFu);
  EXPECT_EQ(report.PreviewOptions()->Zoom, 1);
  EXPECT_EQ(report.PrintOptions()->Printer, L"Default");
  EXPECT_EQ(report.PrintOptions()->SplicingLine, 3);
  EXPECT_EQ(report.EngineOptions()->MaxMemSize, 10);
  EXPECT_TRUE(report.EngineOptions()->UseGlobalDataSetList);
  EXPECT_TRUE(report.EngineOptions()->DestroyForms);
  EXPECT_GT(report.ReportOptions()->CreateDate, 0);
}

TEST(ReportRoot, LayersAboveTheModelFailLoudlyWhenMissing) {
  // This executable links the model only.
  EXPECT_EQ(qvxMissingLinks(),
            (std::vector<String>{L"report/engine", L"report/pages", L"report/print", L"report/preview"}));
  TqvxReport report(nullptr);
  EXPECT_EQ(report.Engine(), nullptr);
  EXPECT_EQ(report.PreviewPages(), nullptr);
  struct TCase {
    const wchar_t* layer;
    std::function<void()> call;
  };
  const TCase cases[] = {
      {L"report/engine", [&] { report.Calc(L"1 + 1"); }}, {L"report/engine", [&] { report.PrepareReport(); }},
      {L"report/engine", [&] { report.ShowReport(); }},   {L"report/engine", [&] { report.PreparePage(nullptr); }},
      {L"report/pages", [&] { report.Print(); }},         {L"report/pages", [&] { report.RequirePreviewPages(); }},
      {L"report/print", [&] { report.SelectPrinter(); }}, {L"report/preview", [&] { qvxPreviewLink(); }},
  };
  for (const TCase& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << "no error for " << rtl::StringToUTF8(c.layer);
    } catch (const EqvxNotLinked& e) {
      EXPECT_NE(e.Message().find(c.layer), String::npos) << rtl::StringToUTF8(e.Message());
    }
  }
}

TEST(ReportRoot, ClearKeepsWhatItShould) {
  TqvxReport report(nullptr);
  new TqvxReportPage(&report);
  report.OnReportPrint = L"Yazdir";
  report.OnStartReport = L"Basla";
  report.DotMatrixReport = true;
  report.SetScriptLanguage(L"JScript");
  report.Variables()->SetVariable(L"Okul", rtl::Variant(String(L"Atatürk")));
  report.Styles()->Add()->SetName(L"Baslik");
  report.ReportOptions()->Info = true;
  report.ReportOptions()->Author = L"Ayşe";
  report.ReportOptions()->Password = L"gizli";
  report.ReportOptions()->HiddenPassword = L"gizli";
  report.EngineOptions()->MaxMemSize = 3;
  report.EngineOptions()->DoublePass = true;
  report.PreviewOptions()->OutlineVisible = true;
  report.PreviewOptions()->Zoom = 2;
  report.Clear();
  EXPECT_EQ(report.PagesCount(), 0);
  EXPECT_EQ(report.OnReportPrint, L"Yazdir");
  EXPECT_EQ(report.OnStartReport, L"");
  EXPECT_FALSE(report.DotMatrixReport);
  EXPECT_EQ(report.ScriptLanguage(), L"ZuvizaVuruze");
  EXPECT_EQ(report.Variables()->Count(), 0);
  EXPECT_EQ(report.Styles()->Count(), 0);
  // Info: only the descriptive data was wanted, and it stays.
  EXPECT_EQ(report.ReportOptions()->Author, L"Ayşe");
  EXPECT_EQ(report.ReportOptions()->Password, L"");
  EXPECT_EQ(report.ReportOptions()->HiddenPassword, L"gizli");
  // Clear resets only some engine and preview options.
  EXPECT_EQ(report.EngineOptions()->MaxMemSize, 3);
  EXPECT_FALSE(report.EngineOptions()->DoublePass);
  EXPECT_FALSE(report.PreviewOptions()->OutlineVisible);
  EXPECT_EQ(report.PreviewOptions()->Zoom, 2);
  report.ReportOptions()->Info = false;
  report.Clear();
  EXPECT_EQ(report.ReportOptions()->Author, L"");
}

TEST(ReportOptions, AssignCopiesWhatBelongsToTheLayout) {
  TqvxPrintOptions print, otherPrint;
  print.Copies = 4;
  print.Duplex = dmVertical;
  print.PagesOnSheet = 2;
  print.SplicingLine = 7;
  otherPrint.Duplex = dmHorizontal;
  otherPrint.Assign(&print);
  EXPECT_EQ(otherPrint.Copies, 4);
  EXPECT_EQ(otherPrint.SplicingLine, 7);
  EXPECT_EQ(otherPrint.Duplex, dmHorizontal);
  EXPECT_EQ(otherPrint.PagesOnSheet, 0);

  TqvxEngineOptions engine, otherEngine;
  engine.EnableThreadSafe = true;
  engine.DoublePass = true;
  otherEngine.Assign(&engine);
  EXPECT_TRUE(otherEngine.DoublePass);
  EXPECT_FALSE(otherEngine.EnableThreadSafe);
  otherEngine.Assign(&print);  // another kind of object is ignored
  EXPECT_TRUE(otherEngine.DoublePass);

  TqvxEngineOptions silent;
  silent.NewSilentMode = simReThrow;
  EXPECT_FALSE(silent.SilentMode());
  silent.SetSilentMode(false);
  EXPECT_EQ(silent.NewSilentMode, simMessageBoxes);
  silent.SetSilentMode(true);
  EXPECT_EQ(silent.NewSilentMode, simSilent);

  TqvxReportOptions a, b;
  a.Author = L"Öğretmen";
  a.Description()->Add(L"Öğrenci listesi");
  a.PrevPassword = L"eski";
  b.Assign(&a);
  EXPECT_EQ(b.Author, L"Öğretmen");
  EXPECT_EQ(Lines(*b.Description()), (std::vector<String>{L"Öğrenci listesi"}));
  EXPECT_EQ(b.PrevPassword, L"");
}

TEST(ReportOptions, PasswordCheck) {
  TqvxReport report(nullptr);
  report.EngineOptions()->NewSilentMode = simSilent;
  TqvxReportOptions* options = report.ReportOptions();
  EXPECT_TRUE(options->CheckPassword());  // none set
  options->Password = L"şifre";
  options->HiddenPassword = L"şifre";
  EXPECT_TRUE(options->CheckPassword());  // supplied by the program, no dialog

  // The dialog belongs to the preview layer: a stand-in answers as the user would.
  struct TAnswers : TqvxPreviewLink {
    TqvxCustomPreviewForm* CreatePreviewForm(TqvxReport*) override { return nullptr; }
    TqvxCustomProgress* CreateProgress() override { return nullptr; }
    bool AskPassword(String& typed) override {
      ++asked;
      typed = text;
      return ok;
    }
    bool AskInheritMode(TqvxInheriteMode&) override { return false; }
    String text;
    bool ok = false;
    int asked = 0;
  } answers;
  qvxSetPreviewLink(&answers);
  options->HiddenPassword.clear();
  EXPECT_FALSE(options->CheckPassword());  // cancelled
  EXPECT_EQ(Lines(*report.Errors()), (std::vector<String>{L"Invalid password"}));
  answers.ok = true;
  answers.text = L"ŞİFRE";
  EXPECT_FALSE(options->CheckPassword());  // compared exactly
  answers.text = L"şifre";
  EXPECT_TRUE(options->CheckPassword());
  EXPECT_EQ(options->PrevPassword, L"şifre");
  EXPECT_TRUE(options->CheckPassword());  // accepted once: not asked again
  EXPECT_EQ(answers.asked, 3);
  qvxSetPreviewLink(nullptr);
}

TEST(ReportOptions, ConnectionNameWithoutHandlerTouchesNothing) {
  TqvxReport report(nullptr);
  report.ReportOptions()->SetConnectionName(L"Okul");
  EXPECT_EQ(report.ReportOptions()->ConnectionName(), L"Okul");

  // With a handler, the names stored under the connections key are handed over.
  const String saved = qvxConnectionsKey;
  qvxConnectionsKey = L"\\Software\\TavrelTest\\Connections";
  {
    rtl::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(qvxConnectionsKey, true));
    reg.WriteString(L"Okul", L"Data Source=okul.db");
  }
  std::vector<String> handed;
  report.OnSetConnection = [&](const String& params) { handed.push_back(params); };
  report.ReportOptions()->SetConnectionName(L"Okul");
  report.ReportOptions()->SetConnectionName(L"Yok");
  EXPECT_EQ(handed, (std::vector<String>{L"Data Source=okul.db"}));
  rtl::TRegistry cleanup;
  cleanup.DeleteKey(L"\\Software\\TavrelTest");
  qvxConnectionsKey = saved;
}

TEST(ReportRoot, SettingsStoreFollowsTheIniFileText) {
  TqvxReport report(nullptr);
  struct TCase {
    const wchar_t* iniFile;
    const wchar_t* className;
  } cases[] = {{L"\\Software\\Quorvia", L"TRegistryIniFile"},
               {L"C:\\ayarlar\\rapor.ini", L"TIniFile"},
               {L"Software\\Quorvia", L"TIniFile"}};
  for (const TCase& c : cases) {
    report.IniFile = c.iniFile;
    std::unique_ptr<rtl::TCustomIniFile> ini(report.GetIniFile());
    EXPECT_EQ(ini->ClassName(), c.className) << rtl::StringToUTF8(c.iniFile);
  }
}

// A preview control as far as the report drives it.
class TqvxTestPreview : public TqvxCustomPreview {
 public:
  using TqvxCustomPreview::TqvxCustomPreview;
  bool Init(TqvxReport* report, TqvxCustomPreviewPages* pages) override {
    Log.push_back(L"Init");
    return report && pages;
  }
  void UnInit(TqvxCustomPreviewPages*) override { Log.push_back(L"UnInit"); }
  void Lock() override {}
  void Unlock() override {}
  void RefreshReport() override {}
  void InternalOnProgressStart(TqvxReport*, TqvxProgressType t, rtl::Integer p) override { Record(L"Start", t, p); }
  void InternalOnProgress(TqvxReport*, TqvxProgressType t, rtl::Integer p) override { Record(L"Progress", t, p); }
  void InternalOnProgressStop(TqvxReport*, TqvxProgressType t, rtl::Integer p) override { Record(L"Stop", t, p); }
  void Record(const String& what, TqvxProgressType t, rtl::Integer p) {
    Log.push_back(what + L" " + rtl::IntToStr(t) + L" " + rtl::IntToStr(p));
  }
  std::vector<String> Log;
};

TEST(ReportRoot, PreviewGetsRunningProgressOnly) {
  TqvxReport report(nullptr);
  report.SetPreviewPages(new TqvxTestPages(&report));
  auto* preview = new TqvxTestPreview(nullptr);
  report.SetPreview(preview);
  EXPECT_EQ(preview->Report(), &report);
  EXPECT_EQ(preview->PreviewPages(), report.PreviewPages());
  std::vector<String> events;
  report.OnProgress = [&](TqvxReport*, TqvxProgressType t, rtl::Integer p) {
    events.push_back(rtl::IntToStr(t) + L":" + rtl::IntToStr(p));
  };
  report.InternalOnProgressStart(ptRunning);
  report.InternalOnProgress(ptRunning, 5);  // the preview counts finished pages from 0
  report.InternalOnProgressStop(ptRunning);
  EXPECT_EQ(report.Progress(), nullptr);  // no window for a running preparation shown in a preview
  EXPECT_EQ(preview->Log, (std::vector<String>{L"Init", L"Start 0 0", L"Progress 0 4", L"Stop 0 0"}));
  EXPECT_EQ(events, (std::vector<String>{L"0:5"}));

  report.EngineOptions()->EnableThreadSafe = true;  // then nothing at all happens
  report.InternalOnProgress(ptRunning, 6);
  EXPECT_EQ(events.size(), 1u);
  report.EngineOptions()->EnableThreadSafe = false;

  preview->Free();  // the report hears of it
  EXPECT_EQ(report.Preview(), nullptr);
}

TEST(ReportRoot, RemovedMainDatasetLeavesTheReport) {
  TqvxReport report(nullptr);
  auto* ds = new TqvxUserDataSet(nullptr);
  ds->SetUserName(L"Öğrenciler");
  report.DataSets()->Add(ds);
  report.SetDataSet(ds);
  EXPECT_EQ(report.DataSetName(), L"Öğrenciler");
  ds->Free();
  EXPECT_EQ(report.DataSet(), nullptr);
  EXPECT_EQ(report.DataSets()->Count(), 0);
}

TEST(ReportRoot, DataPageIsMadeFirstAndHoldsTheDialogComponents) {
  TqvxReport report(nullptr);
  auto* page = new TqvxReportPage(&report);
  page->SetName(L"Page1");
  auto* a = new TqvxUserDataSet(page);
  auto* b = new TqvxUserDataSet(page);
  auto* named = new TqvxReportPage(&report);
  named->SetName(L"Data");
  report.CheckDataPage();
  auto* data = dynamic_cast<TqvxDataPage*>(report.Objects().front());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->Name(), L"DataPage1");  // "Data" is taken
  EXPECT_EQ(a->Parent(), data);
  EXPECT_EQ(a->Left(), 60);
  EXPECT_EQ(b->Left(), 124);
  EXPECT_EQ(b->Top(), 20);
  report.CheckDataPage();  // one is enough
  EXPECT_EQ(report.PagesCount(), 3);
}

TEST(ClassRegistry, SecondClassUnderATakenNameIsRefused) {
  vcl::RegisterClass(TqvxReport::StaticClass());  // the same class again: nothing happens
  EXPECT_EQ(vcl::GetClass(L"TqvxReport"), TqvxReport::StaticClass());
  static vcl::TClassInfo impostor(L"TqvxReport", TqvxComponent::StaticClass());
  EXPECT_THROW(vcl::RegisterClass(&impostor), rtl::EFilerError);
  EXPECT_EQ(vcl::GetClass(L"TqvxReport"), TqvxReport::StaticClass());
}

TEST(ReportRoot, HotPathsFindTheirRootByPointer) {
  TqvxReport report(nullptr);
  auto* page = new TqvxReportPage(&report);
  auto* band = new TqvxMasterData(page);
  band->SetTop(40);
  auto* memo = new TqvxMemoView(band);
  memo->SetBounds(5, 6, 10, 10);
  EXPECT_EQ(memo->Report(), &report);
  EXPECT_EQ(memo->Page(), page);
  EXPECT_EQ(memo->AbsTop(), 46);
  // A subclass of the root is still the root.
  TqvxTestReport other(nullptr);
  auto* otherPage = new TqvxDataPage(&other);
  EXPECT_EQ(otherPage->Report(), &other);
  EXPECT_EQ(report.Page(), nullptr);
}

// The registries of object classes and export filters: one item per class and flags, a category from the class
// when none is given, one item per filter for as long as the filter lives.
TEST(Registries, ObjectsAndExportFilters) {
  TqvxObjectCollection objects;
  objects.RegisterObject1(TqvxDBDataset::StaticClass(), nullptr, L"", L"", 0, -1, TqvxObjectCategories{});
  objects.RegisterObject1(TqvxDBDataset::StaticClass(), nullptr, L"", L"", 0, -1, TqvxObjectCategories{});
  EXPECT_EQ(objects.Count(), 1);
  objects.RegisterObject1(TqvxDBDataset::StaticClass(), nullptr, L"", L"", 1, -1, TqvxObjectCategories{});
  EXPECT_EQ(objects.Count(), 2);
  objects.RegisterObject(TqvxMasterData::StaticClass(), nullptr);
  EXPECT_TRUE(objects.Find(TqvxDBDataset::StaticClass())->Category.Contains(ctData));
  EXPECT_TRUE(objects.Find(TqvxMasterData::StaticClass())->Category.Contains(ctReport));
  EXPECT_FALSE(objects.Find(TqvxMasterData::StaticClass())->Category.Contains(ctData));
  objects.Unregister(TqvxDBDataset::StaticClass());
  EXPECT_EQ(objects.Count(), 1);

  class TTestFilter : public TqvxCustomExportFilter {
   public:
    using TqvxCustomExportFilter::TqvxCustomExportFilter;
    void ExportObject(TqvxComponent*) override {}
  };
  const int before = qvxExportFilters().Count();
  {
    TTestFilter filter(nullptr);
    EXPECT_EQ(qvxExportFilters().Count(), before + 1);
    qvxExportFilters().Register(&filter);
    qvxExportFilters().Register(nullptr);
    EXPECT_EQ(qvxExportFilters().Count(), before + 1);
    EXPECT_EQ(GetExportFilterItem(before)->Filter, &filter);
    TTestFilter outside;  // made without an owner: not registered
    EXPECT_EQ(qvxExportFilters().Count(), before + 1);
  }
  EXPECT_EQ(qvxExportFilters().Count(), before) << "a freed filter leaves the registry";
}

}  // namespace
