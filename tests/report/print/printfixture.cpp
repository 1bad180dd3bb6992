#include "printfixture.h"

#include "platform/rtl/strings.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/png.h"

using rtl::String;

namespace printtest {

TPrintReport::TPrintReport() : report_(new TqvxReport(nullptr)) {
  engine_ = std::make_unique<TTestEngine>(report_);
  Pages()->SetEngine(engine_.get());
  report_->ShowProgress = false;
  report_->EngineOptions()->NewSilentMode = simSilent;
  report_->PrintOptions()->ShowDialog = false;
  portrait = AddSource(L"Page1", 9, 210, 297, poPortrait);
  landscape = AddSource(L"Page2", 9, 210, 297, poLandscape);
}

TPrintReport::~TPrintReport() {
  if (Pages()) Pages()->SetEngine(nullptr);
  report_->Free();
}

TqvxPreviewPages* TPrintReport::Pages() const { return dynamic_cast<TqvxPreviewPages*>(report_->PreviewPages()); }

TqvxReportPage* TPrintReport::AddSource(const String& name, rtl::Integer paper, Extended width, Extended height,
                                        TPrinterOrientation orientation) {
  auto* page = new TqvxReportPage(report_);
  page->SetName(name);
  page->SetSizeAndDimensions(paper, width, height);
  page->SetOrientation(orientation);
  page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
  page->AlignChildren();
  auto* band = new TqvxMasterData(page);
  band->SetName(name + L"Band");
  band->SetBounds(0, 0, 600, 40);
  auto* memo = new TqvxMemoView(band);
  memo->SetName(name + L"Text");
  memo->SetBounds(0, 0, 600, 30);
  memo->Font()->SetName(L"Arial");
  memo->Font()->SetSize(14);
  sources_.push_back(page);
  return page;
}

TqvxMemoView* TPrintReport::TextOf(TqvxReportPage* page) const {
  return dynamic_cast<TqvxMemoView*>(page->FindObject(page->Name() + L"Text"));
}

String PageText(int n) { return L"Sayfa " + rtl::IntToStr(n) + L" " + kTurkish; }

void TPrintReport::Run(const std::vector<TqvxReportPage*>& sources) {
  TqvxPreviewPages* pages = Pages();
  pages->Clear();
  pages->Initialize();
  pages->AddPageAction = apAdd;
  for (TqvxReportPage* s : sources_) pages->AddSourcePage(s);
  pages->BeginPass();
  engine_->Running = true;
  engine_->FinalPass = true;
  int n = 0;
  for (TqvxReportPage* source : sources) {
    ++n;
    pages->AddPage(source);
    TextOf(source)->SetText(PageText(n));
    if (OnWritePage) OnWritePage(n);
    const std::vector<TqvxComponent*> bands = source->Objects();
    for (TqvxComponent* band : bands)
      if (dynamic_cast<TqvxBand*>(band)) pages->AddObject(band);
  }
  pages->Finish();
  engine_->Running = false;
}

int PageNumberOf(TqvxReportPage* page) {
  for (TqvxComponent* c : page->GetAllObjects())
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(c)) {
      const String text = rtl::TrimRight(memo->Text());
      if (text.rfind(L"Sayfa ", 0) == 0) {
        const auto end = text.find(L' ', 6);
        rtl::Integer n = 0;
        if (rtl::TryStrToInt(text.substr(6, end == String::npos ? String::npos : end - 6), n)) return n;
      }
    }
  return 0;
}

int Ink(vcl::TBitmap& bitmap, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(y1, bitmap.Height()); ++y)
    for (int x = std::max(0, x0); x < std::min(x1, bitmap.Width()); ++x) {
      const vcl::TColor c = bitmap.Canvas()->Pixels(x, y);
      if ((c & 0xFF) < 128 && ((c >> 8) & 0xFF) < 128 && ((c >> 16) & 0xFF) < 128) ++n;
    }
  return n;
}

std::unique_ptr<vcl::TBitmap> WhiteBitmap(int width, int height) {
  auto bmp = std::make_unique<vcl::TBitmap>(width, height, vcl::pf24bit);
  bmp->Canvas()->Brush()->SetColor(vcl::clWhite);
  bmp->Canvas()->FillRect(vcl::TRect(0, 0, width, height));
  return bmp;
}

void SavePng(vcl::TBitmap& bitmap, const String& name) {
  vcl::TPngImage png;
  png.Assign(&bitmap);
  png.SaveToFile(name);
}

}  // namespace printtest
