// The report library's readers: its XML dialect (whole and with partial loading), the serializer that turns a
// stored tree of report objects back into objects, and the binary property data a text object stores beside its
// attributes (its "PropData": display formats and highlights).
#include <memory>
#include <stdexcept>

#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/formvalue.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxClassViews.h"
#include "report/model/qvxXML.h"

namespace {

// A page as the library writes it: bands with text, a picture, a line and a shape.
fuzz::Input WrittenPage() {
  auto* page = new TqvxReportPage(nullptr);
  page->SetName(L"Page1");
  auto* title = new TqvxReportTitle(page);
  title->SetName(L"ReportTitle1");
  title->SetHeight(40);
  auto* memo = new TqvxMemoView(title);
  memo->SetName(L"Memo1");
  memo->SetBounds(10, 5, 200, 20);
  memo->SetText(L"Öğrenci Görüşme Formu\r\n[Date] <b>kalın</b>");
  auto* master = new TqvxMasterData(page);
  master->SetName(L"MasterData1");
  master->SetTop(60);
  master->SetHeight(30);
  auto* field = new TqvxMemoView(master);
  field->SetName(L"Memo2");
  field->SetBounds(0, 0, 100, 18);
  field->SetText(L"[ogrencibilgi.\"adisoyadi\"]");
  auto* picture = new TqvxPictureView(master);
  picture->SetName(L"Picture1");
  picture->SetBounds(120, 0, 20, 20);
  vcl::TBitmap bitmap(4, 3);
  bitmap.Canvas()->SetPixels(1, 1, vcl::clRed);
  picture->Picture()->SetGraphic(&bitmap);
  auto* line = new TqvxLineView(master);
  line->SetName(L"Line1");
  line->SetBounds(0, 25, 300, 0);
  auto* shape = new TqvxShapeView(page);
  shape->SetName(L"Shape1");
  shape->SetBounds(300, 100, 50, 50);
  rtl::TBytesStream stream;
  page->SaveToStream(stream);
  page->Free();
  fuzz::Bytes bytes = stream.Bytes();
  bytes.resize(static_cast<std::size_t>(stream.Size()));
  return {"page.xml", bytes};
}

std::vector<fuzz::Input> DeepXml() {
  std::vector<fuzz::Input> made;
  const std::string header = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";
  for (int depth : {1000, 100000}) {
    const std::string n = std::to_string(depth);
    made.push_back(
        {"elements " + n, fuzz::Nest(header, "<TqvxShapeView Name=\"S\">", depth, "", "</TqvxShapeView>", "")});
    made.push_back({"unclosed " + n, fuzz::Nest(header + "<TqvxReportPage>", "<a ld=\"0\">", depth, "", "", "")});
  }
  made.push_back({"long tag", fuzz::Nest(header + "<TqvxReportPage ", "x", 1000000, "", "", "/>")});
  return made;
}

// Reads every attribute text it can find as the library does (escapes decoded) and brings unloaded parts back.
void Walk(TqvxXMLDocument& doc, TqvxXMLItem* item) {
  if (item->Unloadable() && !item->Loaded()) doc.LoadItem(item);
  qvxXMLToStr(item->Text());
  for (rtl::Integer i = 0; i < item->Count(); ++i) Walk(doc, item->Items(i));
}

const bool reportXml = fuzz::Join({
    .name = "report XML",
    .fixtures =
        [] {
          std::vector<fuzz::Input> fixtures = fuzz::DataFiles({"../report/model/qvxStrings.xml"});
          fixtures.push_back(WrittenPage());
          return fixtures;
        },
    .read =
        [](const fuzz::Bytes& input) {
          {
            rtl::TBytesStream stream(input);
            TqvxXMLDocument doc;
            doc.LoadFromStream(stream);
            Walk(doc, doc.Root());
            rtl::TBytesStream out;
            doc.SaveToStream(out);
          }
          // With partial loading the document keeps the stream and reads marked parts when they are asked for.
          TqvxXMLDocument partial;
          partial.LoadFromStream(new rtl::TBytesStream(input), true);
          Walk(partial, partial.Root());
        },
    .refuses = fuzz::ErrorOf<TqvxInvalidXMLException, rtl::EConvertError>,
    .generated = DeepXml,
    .text = true,
    .rounds = 200,
});

const bool serializer = fuzz::Join({
    .name = "report serializer",
    .fixtures = [] { return std::vector<fuzz::Input>{WrittenPage()}; },
    .read =
        [](const fuzz::Bytes& input) {
          rtl::TBytesStream stream(input);
          std::unique_ptr<TqvxReportPage, void (*)(TqvxReportPage*)> page(new TqvxReportPage(nullptr),
                                                                          [](TqvxReportPage* p) { p->Free(); });
          page->LoadFromStream(stream);
          // What was read writes out again.
          rtl::TBytesStream out;
          page->SaveToStream(out);
        },
    .refuses = fuzz::ErrorOf<TqvxInvalidXMLException>,
    .generated = DeepXml,
    .text = true,
    .rounds = 500,
});

// A text object with two display formats and two highlights: what it stores as PropData.
fuzz::Input StoredProperties() {
  std::unique_ptr<TqvxMemoView, void (*)(TqvxMemoView*)> memo(new TqvxMemoView(nullptr),
                                                               [](TqvxMemoView* m) { m->Free(); });
  for (int i = 0; i < 2; ++i) {
    auto* format = static_cast<TqvxFormat*>(memo->Formats()->Add());
    format->Kind = i ? fkNumeric : fkDateTime;
    format->FormatStr = i ? L"%2.2n" : L"dd.mm.yyyy";
    format->DecimalSeparator = L",";
    format->ThousandSeparator = L".";
    auto* highlight = static_cast<TqvxHighlight*>(memo->Highlights()->Add());
    highlight->Active = true;
    highlight->Condition = i ? L"Value < 0" : L"<Line> mod 2 = 1";
    highlight->Font()->SetStyle({vcl::fsBold});
    highlight->SetColor(vcl::clRed);
  }
  const std::vector<rtl::Byte> bytes = vcl::WriteDefinedProperties(memo.get(), nullptr);
  return {"memo.propdata", fuzz::Bytes(bytes.begin(), bytes.end())};
}

const bool storedProperties = fuzz::Join({
    .name = "report stored properties",
    .fixtures = [] { return std::vector<fuzz::Input>{StoredProperties()}; },
    .read =
        [](const fuzz::Bytes& input) {
          std::unique_ptr<TqvxMemoView, void (*)(TqvxMemoView*)> memo(new TqvxMemoView(nullptr),
                                                                       [](TqvxMemoView* m) { m->Free(); });
          vcl::ReadDefinedProperties(memo.get(), std::vector<rtl::Byte>(input.begin(), input.end()), nullptr);
          // What was read writes out again.
          vcl::WriteDefinedProperties(memo.get(), nullptr);
        },
    .refuses = fuzz::ErrorOf<rtl::EReadError>,
    .rounds = 600,
});

}  // namespace
