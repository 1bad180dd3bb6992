// How a report is stored: a report built in code goes to its XML template and to a form resource and comes back
// equal; a template inherits from a parent and changes one of its objects; the stored password; the options a
// template may and may not change; style sheets of their own; and damaged templates, which answer clear errors.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/datamodule.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxReport.h"
#include "testreport.h"
#include "tests/common/tempdir.h"

using rtl::String;
using rtl::Variant;

namespace {

std::string Utf8(const String& s) { return rtl::StringToUTF8(s); }

template <class T>
T* Named(TqvxReport* report, const wchar_t* name) {
  return dynamic_cast<T*>(report->FindObject(name));
}

// A report of every kind of object the screens' sheets use: pages, bands, texts, a picture, lines and shapes, a
// dataset on the data page, variables and styles.
void Build(TqvxReport* r) {
  r->SetName(L"qvxReport1");
  r->ReportOptions()->Author = L"Rehberlik Servisi";
  r->ReportOptions()->Description()->Add(L"Öğrenci listesi");
  r->EngineOptions()->DoublePass = true;
  r->PreviewOptions()->Zoom = 1.5L;
  r->PrintOptions()->Copies = 2;

  auto* data = new TqvxDataPage(r);
  data->SetName(L"Data");
  auto* ds = new TqvxUserDataSet(data);
  ds->SetName(L"UserDataSet1");
  ds->SetUserName(L"Öğrenciler");
  ds->Fields()->Add(L"Adı");
  ds->Fields()->Add(L"Sınıfı");
  r->DataSets()->Add(ds);

  r->Variables()->AddVariable(String(), L" Genel", Variant());
  r->Variables()->SetVariable(L"Okul", Variant(String(L"'Atatürk Lisesi'")));
  TqvxStyleItem* title = r->Styles()->Add();
  title->SetName(L"Başlık");
  title->Font()->SetSize(16);
  title->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
  title->SetFillType(ftGradient);
  TqvxStyleItem* row = r->Styles()->Add();
  row->SetName(L"Veri");
  row->Frame()->Typ = TqvxFrameTypes{ftLeft, ftBottom};
  row->ApplyFill = false;

  auto* page = new TqvxReportPage(r);
  page->SetName(L"Page1");
  page->SetDefaults();
  page->LeftMargin = 15;
  page->SetOrientation(poLandscape);

  auto* band = new TqvxReportTitle(page);
  band->SetName(L"ReportTitle1");
  band->SetBounds(0, 20, 1047, 40);
  auto* heading = new TqvxMemoView(band);
  heading->SetName(L"Baslik");
  heading->SetBounds(0, 0, 1047, 30);
  heading->SetText(L"ÖĞRENCİ LİSTESİ — [Date]\r\nİkinci satır: ığüşöç");
  heading->SetStyle(L"Başlık");
  heading->HAlign = haCenter;

  auto* master = new TqvxMasterData(page);
  master->SetName(L"MasterData1");
  master->SetBounds(0, 100, 1047, 20);
  master->SetDataSet(ds);
  auto* name = new TqvxMemoView(master);
  name->SetName(L"Adi");
  name->SetBounds(0, 0, 300, 20);
  name->SetText(L"[Öğrenciler.\"Adı\"]");
  name->SetDataSet(ds);
  name->SetStyle(L"Veri");
  name->DisplayFormat()->Kind = fkText;
  name->Highlight()->Condition = L"Value = ''";
  name->Highlight()->Font()->SetColor(0x0000FF);
  auto* picture = new TqvxPictureView(master);
  picture->SetName(L"Resim");
  picture->SetBounds(310, 0, 20, 20);
  vcl::TBitmap bmp;
  bmp.SetSize(4, 4);
  bmp.Canvas()->Brush()->SetColor(0x00FF00);
  bmp.Canvas()->FillRect(vcl::TRect(0, 0, 4, 4));
  picture->Picture()->Assign(&bmp);
  auto* line = new TqvxLineView(master);
  line->SetName(L"Cizgi");
  line->SetBounds(0, 19, 1047, 0);
  auto* shape = new TqvxShapeView(master);
  shape->SetName(L"Kutu");
  shape->SetBounds(340, 2, 16, 16);
  shape->Shape = skEllipse;

  auto* footer = new TqvxPageFooter(page);
  footer->SetName(L"PageFooter1");
  footer->SetBounds(0, 700, 1047, 20);
  auto* pageNo = new TqvxMemoView(footer);
  pageNo->SetName(L"SayfaNo");
  pageNo->SetBounds(900, 0, 147, 20);
  pageNo->SetText(L"Sayfa [Page#] / [TotalPages#]");
  pageNo->HAlign = haRight;
}

// Both reports hold the same objects with the same stored values, and the same lists.
void ExpectEqualReports(TqvxReport* expected, TqvxReport* actual) {
  const std::vector<TqvxComponent*> all = expected->GetAllObjects();
  ASSERT_EQ(all.size(), actual->GetAllObjects().size());
  for (TqvxComponent* e : all) {
    TqvxComponent* a = actual->FindObject(e->Name());
    ASSERT_NE(a, nullptr) << Utf8(e->Name());
    EXPECT_EQ(a->ClassName(), e->ClassName());
    // The report's own name belongs to the form that holds it, not to the template.
    auto parentName = [](TqvxComponent* c, TqvxReport* root) {
      return c->Parent() == root ? String(L"(report)") : c->Parent()->Name();
    };
    EXPECT_EQ(parentName(a, actual), parentName(e, expected));
    EXPECT_EQ(a->AllDiff(nullptr), e->AllDiff(nullptr)) << Utf8(e->Name());
  }
  TqvxXMLSerializer s(nullptr);
  EXPECT_EQ(s.ObjToXML(actual->ReportOptions()), s.ObjToXML(expected->ReportOptions()));
  EXPECT_EQ(s.ObjToXML(actual->PrintOptions()), s.ObjToXML(expected->PrintOptions()));
  ASSERT_EQ(actual->DataSets()->Count(), expected->DataSets()->Count());
  for (int i = 0; i < expected->DataSets()->Count(); ++i) {
    EXPECT_EQ(actual->DataSets()->Items(i)->DataSetName(), expected->DataSets()->Items(i)->DataSetName());
    EXPECT_NE(actual->DataSets()->Items(i)->DataSet(), nullptr);
  }
  ASSERT_EQ(actual->Variables()->Count(), expected->Variables()->Count());
  for (int i = 0; i < expected->Variables()->Count(); ++i)
    EXPECT_EQ(s.ObjToXML(actual->Variables()->Items(i)), s.ObjToXML(expected->Variables()->Items(i)));
  ASSERT_EQ(actual->Styles()->Count(), expected->Styles()->Count());
  for (int i = 0; i < expected->Styles()->Count(); ++i)
    EXPECT_EQ(s.ObjToXML(actual->Styles()->Items(i)), s.ObjToXML(expected->Styles()->Items(i)));
}

class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override { report_->EngineOptions()->NewSilentMode = simSilent; }
  void TearDown() override { report_->Free(); }
  TqvxReport* Fresh() {
    auto* r = new TqvxReport(nullptr);
    r->EngineOptions()->NewSilentMode = simSilent;
    fresh_.emplace_back(r, [](TqvxReport* p) { p->Free(); });
    return r;
  }
  TqvxReport* report_ = new TqvxReport(nullptr);
  testutil::TempFolder folder_{L"storage"};
  std::vector<std::unique_ptr<TqvxReport, void (*)(TqvxReport*)>> fresh_;
};

TEST_F(StorageTest, TemplateRoundTrip) {
  Build(report_);
  rtl::TMemoryStream stream;
  report_->SaveToStream(stream);
  const String xml =
      rtl::UTF8ToString(std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size())));
  EXPECT_EQ(xml.rfind(L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>", 0), 0u);
  EXPECT_NE(xml.find(L"<TqvxReport "), String::npos);
  EXPECT_EQ(xml.find(L"Name=\"qvxReport1\""), String::npos);  // the report's name belongs to its form
  EXPECT_NE(xml.find(L"<Datasets>"), String::npos);
  EXPECT_LT(xml.find(L"<Datasets>"), xml.find(L"<Variables>"));
  EXPECT_LT(xml.find(L"<Variables>"), xml.find(L"<Styles>"));
  EXPECT_LT(xml.find(L"<Styles>"), xml.find(L"<TqvxDataPage"));
  EXPECT_NE(xml.find(L"ÖĞRENCİ LİSTESİ"), String::npos) << "Turkish text is written as it is";

  TqvxReport* back = Fresh();
  stream.SetPosition(0);
  back->LoadFromStream(stream);
  EXPECT_EQ(back->Errors()->Count(), 0) << Utf8(back->Errors()->Text());
  ExpectEqualReports(report_, back);
  EXPECT_TRUE(back->EngineOptions()->DoublePass);
  EXPECT_EQ(Named<TqvxMasterData>(back, L"MasterData1")->DataSet(), back->DataSets()->Items(0)->DataSet());
  EXPECT_EQ(Named<TqvxMemoView>(back, L"Baslik")->Font()->Size(), 16);  // the style is applied again

  // The preview's zoom is the program's, whatever the template says; given the same, the template written again is
  // the same text.
  EXPECT_EQ(back->PreviewOptions()->Zoom, 1.0L);
  back->PreviewOptions()->Zoom = 1.5L;
  rtl::TMemoryStream again;
  back->SaveToStream(again);
  EXPECT_EQ(rtl::UTF8ToString(std::string(static_cast<const char*>(again.Memory()), static_cast<size_t>(again.Size()))),
            xml);
}

TEST_F(StorageTest, FormResourceRoundTrip) {
  Build(report_);
  const String text = vcl::WriteComponentText(report_);
  EXPECT_NE(text.find(L"object qvxReport1: TqvxReport"), String::npos) << Utf8(text);
  TqvxReport* back = Fresh();
  vcl::ReadComponentText(text, back, L"TEST");
  ExpectEqualReports(report_, back);
  EXPECT_EQ(back->Name(), L"qvxReport1");
  EXPECT_EQ(Named<TqvxMemoView>(back, L"Adi")->DataSet(), back->DataSets()->Items(0)->DataSet());

  // Without StoreInDFM the form keeps no layout.
  report_->StoreInDFM = false;
  const String bare = vcl::WriteComponentText(report_);
  EXPECT_EQ(bare.find(L"TqvxReportPage"), String::npos) << Utf8(bare);
  EXPECT_EQ(bare.find(L"Datasets"), String::npos) << Utf8(bare);
}

TEST_F(StorageTest, ReportInsideAFormResource) {
  // On a screen the form is the root: the report's objects are written as the report's ("qvxReport1.UserDataSet1").
  vcl::TDataModule form(nullptr);
  form.SetName(L"Rapor");
  auto* report = new TqvxReport(&form);
  Build(report);
  const String text = vcl::WriteComponentText(&form);
  EXPECT_NE(text.find(L"qvxReport1.UserDataSet1"), String::npos) << Utf8(text);

  vcl::TDataModule back(nullptr);
  vcl::ReadComponentText(text, &back, L"TEST");
  auto* read = dynamic_cast<TqvxReport*>(back.FindComponent(L"qvxReport1"));
  ASSERT_NE(read, nullptr);
  read->EngineOptions()->NewSilentMode = simSilent;
  ExpectEqualReports(report, read);
  TqvxDataSet* ds = read->DataSets()->Items(0)->DataSet();
  EXPECT_EQ(Named<TqvxMasterData>(read, L"MasterData1")->DataSet(), ds);
  EXPECT_EQ(Named<TqvxMemoView>(read, L"Adi")->DataSet(), ds);

  // A list naming an object that is nowhere is an error, as any unresolved reference of a form is.
  String broken = text;
  const size_t at = broken.find(L"DataSet = qvxReport1.UserDataSet1");
  ASSERT_NE(at, String::npos);
  broken.replace(at, 33, L"DataSet = qvxReport1.Yok");
  vcl::TDataModule bad(nullptr);
  try {
    vcl::ReadComponentText(broken, &bad, L"TEST");
    ADD_FAILURE() << "no error";
  } catch (const rtl::Exception& e) {
    EXPECT_NE(e.Message().find(L"qvxReport1.Yok"), String::npos) << Utf8(e.Message());
  }
}

TEST_F(StorageTest, InheritedTemplateChangesOneObjectOfItsParent) {
  Build(report_);
  const String parentFile = folder_.File(L"ana.qv3");
  report_->SaveToFile(parentFile);

  TqvxReport* child = Fresh();
  child->FileName = folder_.File(L"cocuk.qv3");
  child->SetParentReport(L"ana.qv3");
  ASSERT_NE(child->ParentReportObject(), nullptr);
  auto* heading = Named<TqvxMemoView>(child, L"Baslik");
  ASSERT_NE(heading, nullptr);
  EXPECT_TRUE(heading->IsAncestor());
  EXPECT_TRUE(heading->ComponentState().Contains(vcl::csAncestor));  // what Clear keeps
  heading->SetText(L"REHBERLİK SERVİSİ");
  auto* extra = new TqvxMemoView(Named<TqvxComponent>(child, L"PageFooter1"));
  extra->SetName(L"Imza");
  extra->SetText(L"Rehber öğretmen");
  child->SaveToFile(child->FileName);

  std::string bytes;
  {
    rtl::TFileStream file(child->FileName, rtl::fmOpenRead);
    bytes.resize(static_cast<size_t>(file.Size()));
    file.ReadBuffer(bytes.data(), static_cast<rtl::Int64>(bytes.size()));
  }
  const String xml = rtl::UTF8ToString(bytes);
  EXPECT_NE(xml.find(L"ParentReport=\"ana.qv3\""), String::npos) << Utf8(xml);
  EXPECT_NE(xml.find(L"<inherited Name=\"Baslik\""), String::npos) << Utf8(xml);
  EXPECT_NE(xml.find(L"REHBERLİK SERVİSİ"), String::npos);
  EXPECT_NE(xml.find(L"<TqvxMemoView Name=\"Imza\""), String::npos);
  // An unchanged inherited object is stored as its name alone.
  EXPECT_NE(xml.find(L"<inherited Name=\"SayfaNo\"/>"), String::npos) << Utf8(xml);

  TqvxReport* back = Fresh();
  back->LoadFromFile(child->FileName);
  EXPECT_EQ(back->Errors()->Count(), 0) << Utf8(back->Errors()->Text());
  EXPECT_EQ(Named<TqvxMemoView>(back, L"Baslik")->Text(), L"REHBERLİK SERVİSİ\r\n");
  EXPECT_EQ(Named<TqvxMemoView>(back, L"SayfaNo")->Text(), L"Sayfa [Page#] / [TotalPages#]\r\n");
  EXPECT_EQ(Named<TqvxMemoView>(back, L"Imza")->Text(), L"Rehber öğretmen\r\n");
  EXPECT_FALSE(Named<TqvxMemoView>(back, L"Imza")->IsAncestor());
  EXPECT_TRUE(Named<TqvxMemoView>(back, L"SayfaNo")->IsAncestor());
  EXPECT_EQ(back->GetAllObjects().size(), report_->GetAllObjects().size() + 1);

  // Reloading it (as a preparation does after its run) keeps the parent's objects and the child's changes.
  rtl::TMemoryStream snapshot;
  back->SaveToStream(snapshot);
  snapshot.SetPosition(0);
  back->Reloading = true;
  back->LoadFromStream(snapshot);
  back->Reloading = false;
  EXPECT_EQ(back->Errors()->Count(), 0) << Utf8(back->Errors()->Text());
  EXPECT_EQ(Named<TqvxMemoView>(back, L"Baslik")->Text(), L"REHBERLİK SERVİSİ\r\n");
  ASSERT_NE(Named<TqvxMemoView>(back, L"SayfaNo"), nullptr);
  EXPECT_TRUE(Named<TqvxMemoView>(back, L"SayfaNo")->IsAncestor());
  EXPECT_EQ(back->GetAllObjects().size(), report_->GetAllObjects().size() + 1);

  // Letting go of the parent clears every mark.
  back->SetParentReport(String());
  EXPECT_EQ(back->ParentReportObject(), nullptr);
  EXPECT_FALSE(Named<TqvxMemoView>(back, L"SayfaNo")->IsAncestor());
}

TEST_F(StorageTest, InheritFromTemplateMergesTheReportIntoIt) {
  Build(report_);
  report_->SaveToFile(folder_.File(L"ana.qv3"));
  TqvxReport* own = Fresh();
  own->FileName = folder_.File(L"yeni.qv3");
  auto* page = new TqvxReportPage(own);
  page->SetName(L"Page1");
  auto* band = new TqvxReportSummary(page);
  band->SetName(L"ReportSummary1");
  auto* memo = new TqvxMemoView(band);
  memo->SetName(L"Baslik");  // clashes with the template's
  memo->SetText(L"kendi");
  own->Variables()->SetVariable(L"Okul", Variant(String(L"'Kendi'")));
  EXPECT_FALSE(own->InheritFromTemplate(own->FileName, imRename));  // its own file
  ASSERT_TRUE(own->InheritFromTemplate(folder_.File(L"ana.qv3"), imRename));
  EXPECT_EQ(own->ParentReport(), L"ana.qv3");
  EXPECT_EQ(Named<TqvxMemoView>(own, L"Baslik")->Text().rfind(L"ÖĞRENCİ", 0), 0u);  // the template's
  EXPECT_NE(Named<TqvxReportSummary>(own, L"ReportSummary1"), nullptr);
  int kendi = 0;
  for (TqvxComponent* c : own->GetAllObjects())
    if (auto* m = dynamic_cast<TqvxMemoView*>(c))
      if (m->Text() == L"kendi\r\n") ++kendi;
  EXPECT_EQ(kendi, 1) << "the clashing object came over under a new name";
  EXPECT_GE(own->Variables()->IndexOf(L"Okul_renamed"), 0);
  EXPECT_NE(own->ScriptText()->Text().find(L"**********Script from parent report**********"), String::npos);
}

TEST_F(StorageTest, PasswordIsNeverWrittenInTheClear) {
  report_->ReportOptions()->Password = String(L"aş") + wchar_t(5);
  rtl::TMemoryStream stream;
  report_->SaveToStream(stream);
  const String xml =
      rtl::UTF8ToString(std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size())));
  EXPECT_EQ(xml.find(L"aş"), String::npos);
  const String scrambled = qvxScramblePassword(report_->ReportOptions()->Password);
  EXPECT_EQ(scrambled[0], wchar_t(87));
  EXPECT_EQ(scrambled[2], wchar_t(65531));
  EXPECT_EQ(qvxUnscramblePassword(scrambled), report_->ReportOptions()->Password);
  EXPECT_EQ(report_->ReportOptions()->Password[0], L'a');  // put back after writing

  TqvxReport* back = Fresh();
  back->ReportOptions()->HiddenPassword = report_->ReportOptions()->Password;  // no dialog
  stream.SetPosition(0);
  back->LoadFromStream(stream);
  EXPECT_EQ(back->ReportOptions()->Password, report_->ReportOptions()->Password);
}

TEST_F(StorageTest, TemplateCannotChangeWhatBelongsToTheProgram) {
  report_->EngineOptions()->DoublePass = true;
  report_->EngineOptions()->MaxMemSize = 5;
  report_->IniFile = L"sablon.ini";
  report_->ShowProgress = false;
  report_->StoreInDFM = false;
  rtl::TMemoryStream stream;
  report_->SaveToStream(stream);
  TqvxReport* back = Fresh();
  stream.SetPosition(0);
  back->LoadFromStream(stream);
  EXPECT_TRUE(back->EngineOptions()->DoublePass);
  EXPECT_EQ(back->EngineOptions()->MaxMemSize, 10);
  EXPECT_EQ(back->IniFile, L"\\Software\\Quorvia");
  EXPECT_TRUE(back->ShowProgress);
  EXPECT_TRUE(back->StoreInDFM);
  // A report without lists writes no list elements, and every template gets a data page.
  EXPECT_EQ(back->PagesCount(), 1);
  EXPECT_NE(dynamic_cast<TqvxDataPage*>(back->Pages(0)), nullptr);
}

TEST_F(StorageTest, StyleSheetFiles) {
  Build(report_);
  const String file = folder_.File(L"stiller.xml");
  report_->Styles()->SetName(L"Okul stilleri");
  report_->Styles()->SaveToFile(file);
  TqvxStyles sheet;
  sheet.LoadFromFile(file);
  EXPECT_EQ(sheet.Name(), L"Okul stilleri");
  ASSERT_EQ(sheet.Count(), 2);
  TqvxXMLSerializer s(nullptr);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(s.ObjToXML(sheet.Items(i)), s.ObjToXML(report_->Styles()->Items(i)));
  EXPECT_EQ(sheet.Items(0)->Name(), L"Başlık");
  EXPECT_EQ(sheet.Items(0)->FillType(), ftGradient);

  // Another root loads nothing; broken XML is an error.
  rtl::TStringStream other(L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><variables/>");
  sheet.LoadFromStream(other);
  EXPECT_EQ(sheet.Count(), 0);
  rtl::TStringStream broken(L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><style><item");
  EXPECT_THROW(sheet.LoadFromStream(broken), rtl::Exception);

  // Names are unique ignoring case; new names count up from the first free one.
  sheet.Add()->SetName(L"Style1");
  sheet.Add()->SetName(L"style2");
  EXPECT_THROW(sheet.Add()->SetName(L"STYLE1"), rtl::Exception);
  sheet.Items(0)->SetName(L"STYLE1");  // its own name in other letters is allowed
  TqvxStyleItem* third = sheet.Add();
  third->CreateUniqueName();
  EXPECT_EQ(third->Name(), L"Style3");
}

// What a damaged template may look like, and what the report must say about it.
struct TDamage {
  const char* name;
  std::function<String(const testutil::TempFolder&)> make;  // the template's text (files beside it made here)
  const wchar_t* error;                                     // a part of the expected error line
  const wchar_t* file = L"sablon.qv3";
};

String Header() { return L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"; }

void WriteText(const String& file, const String& text) {
  rtl::TFileStream f(file, rtl::fmCreate);
  const std::string bytes = rtl::StringToUTF8(text);
  f.WriteBuffer(bytes.data(), static_cast<rtl::Int64>(bytes.size()));
}

TEST_F(StorageTest, DamagedTemplatesAnswerClearErrors) {
  Build(report_);
  rtl::TMemoryStream good;
  report_->SaveToStream(good);
  const TDamage cases[] = {
      {"cut off", [](auto&) { return Header() + L"<TqvxReport><TqvxReportPage Name=\"Page1\"><TqvxMemo"; },
       L"Invalid file format"},
      {"not XML", [](auto&) { return String(L"bu bir şablon değil"); }, L"Invalid file format"},
      {"empty", [](auto&) { return String(); }, L"Invalid file format"},
      {"unknown class",
       [](auto&) {
         return Header() +
                L"<TqvxReport><TqvxReportPage Name=\"Page1\"><TqvxHayalet Name=\"X\"/>"
                L"</TqvxReportPage></TqvxReport>";
       },
       L"Cannot find class TqvxHayalet"},
      {"no report object", [](auto&) { return Header() + L"<TqvxReport><TStringList Name=\"L\"/></TqvxReport>"; },
       L"Cannot find class TStringList"},
      {"bad value",
       [](auto&) {
         return Header() +
                L"<TqvxReport><TqvxReportPage Name=\"Page1\"><TqvxMemoView Name=\"M\" "
                L"HAlign=\"haYok\"/></TqvxReportPage></TqvxReport>";
       },
       L"Invalid value haYok"},
      {"bad number",
       [](auto&) {
         return Header() +
                L"<TqvxReport><TqvxReportPage Name=\"Page1\" PaperWidth=\"geniş\"/>"
                L"</TqvxReport>";
       },
       L"geniş"},
      {"absurd column count",
       [](auto&) {
         return Header() +
                L"<TqvxReport><TqvxReportPage Name=\"Page1\" Columns=\"2000000000\"/>"
                L"</TqvxReport>";
       },
       L"Invalid number of columns"},
      {"endless list",
       [](auto&) {
         String items;
         for (int i = 0; i < 501; ++i) items += L"<item Name=\"v" + rtl::IntToStr(i) + L"\"/>";
         return Header() + L"<TqvxReport><Variables>" + items + L"</Variables></TqvxReport>";
       },
       L"Too many items in Variables: 501 (at most 500)"},
      {"parent missing", [](auto&) { return Header() + L"<TqvxReport ParentReport=\"yok.qv3\"/>"; },
       L"Parent report not found"},
      {"parent of itself", [](auto& folder) { return Header() + L"<TqvxReport ParentReport=\"kendisi.qv3\"/>"; },
       L"Circular parent report reference", L"kendisi.qv3"},
      {"parents in a circle",
       [](auto& folder) {
         WriteText(folder.File(L"a.qv3"), Header() + L"<TqvxReport ParentReport=\"b.qv3\"/>");
         WriteText(folder.File(L"b.qv3"), Header() + L"<TqvxReport ParentReport=\"a.qv3\"/>");
         return Header() + L"<TqvxReport ParentReport=\"a.qv3\"/>";
       },
       L"Circular parent report reference"},
  };
  for (const TDamage& c : cases) {
    SCOPED_TRACE(c.name);
    const String file = folder_.File(c.file);
    WriteText(file, c.make(folder_));
    TqvxReport* r = Fresh();
    r->EngineOptions()->NewSilentMode = simSilent;
    EXPECT_NO_THROW(r->LoadFromFile(file));
    const String errors = r->Errors()->Text();
    EXPECT_NE(errors.find(c.error), String::npos) << Utf8(errors);
    // Whatever was read, the report stays usable: it can be written, and a sound template loads into it
    // afterwards with nothing left over.
    rtl::TMemoryStream out;
    EXPECT_NO_THROW(r->SaveToStream(out));
    good.SetPosition(0);
    r->LoadFromStream(good);
    EXPECT_EQ(r->Errors()->Count(), 0) << Utf8(r->Errors()->Text());
    EXPECT_EQ(r->ParentReportObject(), nullptr);
    EXPECT_EQ(r->GetAllObjects().size(), report_->GetAllObjects().size());
  }

  // With errors raised instead of collected, the load ends with one exception naming them all.
  WriteText(folder_.File(L"kendisi.qv3"), Header() + L"<TqvxReport><TqvxHayalet/></TqvxReport>");
  TqvxReport* loud = Fresh();
  loud->EngineOptions()->NewSilentMode = simReThrow;
  try {
    loud->LoadFromFile(folder_.File(L"kendisi.qv3"));
    ADD_FAILURE() << "no exception";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message().rfind(L"The following error(s) have occured:\r\nCannot find class TqvxHayalet", 0), 0u)
        << Utf8(e.Message());
  }
}

}  // namespace
