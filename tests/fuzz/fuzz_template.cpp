// Report templates as the program loads them: the whole report (its options, lists and pages) read from the XML
// template, damaged problems collected in the report's error list, and what was read written out again.
#include <memory>

#include "mutate.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/bitmap.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxClassViews.h"
#include "report/model/qvxReport.h"

namespace {

// A template of every kind of object and list the screens' reports hold.
fuzz::Input WrittenTemplate() {
  std::unique_ptr<TqvxReport, void (*)(TqvxReport*)> r(new TqvxReport(nullptr), [](TqvxReport* p) { p->Free(); });
  r->ReportOptions()->Author = L"Rehberlik Servisi";
  auto* data = new TqvxDataPage(r.get());
  data->SetName(L"Data");
  auto* ds = new TqvxUserDataSet(data);
  ds->SetName(L"UserDataSet1");
  ds->SetUserName(L"Öğrenciler");
  ds->Fields()->Add(L"Adı");
  r->DataSets()->Add(ds);
  r->Variables()->AddVariable(rtl::String(), L" Genel", rtl::Variant());
  r->Variables()->SetVariable(L"Okul", rtl::Variant(rtl::String(L"'Lise'")));
  TqvxStyleItem* style = r->Styles()->Add();
  style->SetName(L"Başlık");
  style->Font()->SetSize(14);
  auto* page = new TqvxReportPage(r.get());
  page->SetName(L"Page1");
  page->SetDefaults();
  page->SetColumns(2);
  auto* title = new TqvxReportTitle(page);
  title->SetName(L"ReportTitle1");
  title->SetBounds(0, 20, 700, 30);
  auto* memo = new TqvxMemoView(title);
  memo->SetName(L"Memo1");
  memo->SetBounds(0, 0, 300, 20);
  memo->SetText(L"ÖĞRENCİ [Date]");
  memo->SetStyle(L"Başlık");
  auto* master = new TqvxMasterData(page);
  master->SetName(L"MasterData1");
  master->SetBounds(0, 80, 700, 20);
  master->SetDataSet(ds);
  auto* field = new TqvxMemoView(master);
  field->SetName(L"Memo2");
  field->SetBounds(0, 0, 200, 18);
  field->SetText(L"[Öğrenciler.\"Adı\"]");
  field->SetDataSet(ds);
  auto* picture = new TqvxPictureView(master);
  picture->SetName(L"Picture1");
  picture->SetBounds(220, 0, 16, 16);
  vcl::TBitmap bitmap(2, 2);
  picture->Picture()->SetGraphic(&bitmap);
  auto* shape = new TqvxShapeView(master);
  shape->SetName(L"Shape1");
  shape->SetBounds(250, 0, 16, 16);
  rtl::TBytesStream stream;
  r->SaveToStream(stream);
  fuzz::Bytes bytes = stream.Bytes();
  bytes.resize(static_cast<std::size_t>(stream.Size()));
  return {"template.qv3", bytes};
}

std::vector<fuzz::Input> Generated() {
  const std::string header = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";
  return {
      {"pages nested", fuzz::Nest(header + "<TqvxReport>", "<TqvxReportPage Name=\"P\">", 5000, "", "", "")},
      {"many columns", fuzz::Utf8(L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TqvxReport>"
                                  L"<TqvxReportPage Name=\"Page1\" Columns=\"999999999\"/></TqvxReport>")},
      {"endless list", fuzz::Nest(header + "<TqvxReport><Variables>", "<item Name=\"v\"/>", 20000, "", "",
                                  "</Variables></TqvxReport>")},
      {"longest lists",
       [] {
         // As many variables and styles as a template may hold, each named apart.
         std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TqvxReport><Variables>";
         for (int i = 0; i < qvxMaxListItems; ++i) text += L"<item Name=\"v" + std::to_wstring(i) + L"\"/>";
         text += L"</Variables><Styles>";
         for (int i = 0; i < qvxMaxListItems; ++i) text += L"<item Name=\"s" + std::to_wstring(i) + L"\"/>";
         return fuzz::Utf8(text + L"</Styles></TqvxReport>");
       }()},
  };
}

const bool joined = fuzz::Join({
    .name = "report template",
    .fixtures = [] { return std::vector<fuzz::Input>{WrittenTemplate()}; },
    .read =
        [](const fuzz::Bytes& input) {
          std::unique_ptr<TqvxReport, void (*)(TqvxReport*)> report(new TqvxReport(nullptr),
                                                                    [](TqvxReport* p) { p->Free(); });
          report->EngineOptions()->NewSilentMode = simSilent;
          rtl::TBytesStream stream(input);
          report->LoadFromStream(stream);
          // What was read writes out again and its objects can be walked, whatever the errors were.
          rtl::TBytesStream out;
          report->SaveToStream(out);
          for (TqvxComponent* c : report->GetAllObjects()) c->AllDiff(nullptr);
          if (report->Errors()->Count() > 0) throw fuzz::Refusal(rtl::StringToUTF8(report->Errors()->Get(0)));
        },
    .refuses = fuzz::ErrorOf<>,
    .generated = Generated,
    .text = true,
    .rounds = 300,
    .truncateAll = 512,
});

}  // namespace
