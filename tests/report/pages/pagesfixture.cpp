#include "pagesfixture.h"

#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxXMLSerializer.h"
#include "report/pages/qvxPagesOutput.h"

using rtl::String;

namespace pagestest {

TTestReport::TTestReport() : report_(new TqvxReport(nullptr)) {
  engine_ = std::make_unique<TTestEngine>(report_);
  Pages()->SetEngine(engine_.get());

  page = new TqvxReportPage(report_);
  page->SetName(L"Page1");
  title = new TqvxReportTitle(page);
  title->SetName(L"ReportTitle1");
  title->SetBounds(0, 0, 718, 40);
  heading = new TqvxMemoView(title);
  heading->SetName(L"Memo1");
  heading->SetBounds(10, 5, 300, 20);
  heading->SetText(L"Öğrenci Görüşme Formu");
  picture = new TqvxPictureView(title);
  picture->SetName(L"Picture1");
  picture->SetBounds(600, 2, 30, 30);
  picture->Picture()->SetGraphic(SmallPicture(4, 3).get());
  master = new TqvxMasterData(page);
  master->SetName(L"MasterData1");
  master->SetBounds(0, 50, 718, 20);
  row = new TqvxMemoView(master);
  row->SetName(L"Memo2");
  row->SetBounds(0, 0, 400, 18);
  row->DataField = L"adisoyadi";
  line = new TqvxLineView(master);
  line->SetName(L"Line1");
  line->SetBounds(0, 19, 700, 0);
  footer = new TqvxPageFooter(page);
  footer->SetName(L"PageFooter1");
  footer->SetBounds(0, 1000, 718, 20);
  pageNo = new TqvxMemoView(footer);
  pageNo->SetName(L"Memo3");
  pageNo->SetBounds(600, 0, 100, 18);
  subreport = new TqvxSubreport(page);
  subreport->SetName(L"Subreport1");
}

TTestReport::~TTestReport() {
  // The store may still point at the engine while the report goes.
  if (Pages()) Pages()->SetEngine(nullptr);
  report_->Free();
}

TqvxPreviewPages* TTestReport::Pages() const { return dynamic_cast<TqvxPreviewPages*>(report_->PreviewPages()); }

void TTestReport::Start() {
  TqvxPreviewPages* pages = Pages();
  pages->Clear();
  pages->Initialize();
  pages->AddPageAction = apAdd;
  pages->AddSourcePage(page);
  pages->BeginPass();
  engine_->Running = true;
  engine_->FinalPass = true;
}

void TTestReport::WritePage(int p, int rowsPerPage) {
  TqvxPreviewPages* pages = Pages();
  pages->AddPage(page);
  if (p == 0) pages->AddObject(title);
  for (int r = 0; r < rowsPerPage; ++r) {
    master->SetTop(50 + 20 * r);
    row->SetText(L"Satır " + rtl::IntToStr(p) + L"." + rtl::IntToStr(r));
    pages->AddObject(master);
  }
  pageNo->SetText(L"Sayfa " + rtl::IntToStr(p + 1));
  pages->AddObject(footer);
}

void TTestReport::Stop() {
  Pages()->Finish();
  engine_->Running = false;
}

void TTestReport::Run(int pageCount, int rowsPerPage) {
  Start();
  for (int p = 0; p < pageCount; ++p) WritePage(p, rowsPerPage);
  Stop();
}

std::unique_ptr<vcl::TBitmap> SmallPicture(int w, int h) {
  auto bmp = std::make_unique<vcl::TBitmap>(w, h, vcl::pf24bit);
  bmp->Canvas()->Brush()->SetColor(0x0000FF);
  bmp->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  bmp->Canvas()->SetPixels(0, 0, 0xFF0000);
  return bmp;
}

String PageXml(TqvxReportPage* page) {
  TqvxXMLDocument doc;
  TqvxXMLSerializer serializer(nullptr);
  serializer.WriteRootComponent(page, true, doc.Root(), true);
  rtl::TStringStream out;
  doc.SaveToStream(out);
  return out.DataString();
}

namespace {
void Summarize(TqvxComponent* c, std::vector<String>& lines) {
  String line = c->ClassName() + L" " + c->Name() + L" " + rtl::FloatToStr(static_cast<double>(c->Left())) + L"," +
                rtl::FloatToStr(static_cast<double>(c->Top()));
  if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(c)) line += L" '" + rtl::TrimRight(memo->Text()) + L"'";
  lines.push_back(line);
  for (TqvxComponent* child : c->Objects()) Summarize(child, lines);
}
}  // namespace

std::vector<String> PageSummary(TqvxReportPage* page) {
  std::vector<String> lines;
  for (TqvxComponent* c : page->Objects()) Summarize(c, lines);
  return lines;
}

std::vector<String> Texts(TqvxReportPage* page) {
  std::vector<String> texts;
  for (TqvxComponent* c : page->GetAllObjects())
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(c)) texts.push_back(rtl::TrimRight(memo->Text()));
  return texts;
}

std::string Bytes(rtl::TStream& stream) {
  stream.SetPosition(0);
  return stream.ReadBytes(static_cast<rtl::Integer>(stream.Size()));
}

std::string Saved(TqvxPreviewPages* pages) {
  rtl::TMemoryStream stream;
  pages->SaveToStream(stream);
  return Bytes(stream);
}

void Load(TqvxPreviewPages* pages, const std::string& bytes, bool partial) {
  if (partial) {
    // The store reads from the stream later: it lives as long as the test's process.
    static std::vector<std::unique_ptr<rtl::TMemoryStream>> kept;
    kept.push_back(std::make_unique<rtl::TMemoryStream>());
    kept.back()->WriteBytes(bytes);
    kept.back()->SetPosition(0);
    pages->LoadFromStream(*kept.back(), true);
    return;
  }
  rtl::TMemoryStream stream;
  stream.WriteBytes(bytes);
  stream.SetPosition(0);
  pages->LoadFromStream(stream, false);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& prefix) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

}  // namespace pagestest
