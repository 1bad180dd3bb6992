#pragma once
// Prepared reports made by the real engine for the preview's tests: a list of numbered rows under a page header
// with Turkish text, a page footer with the page number, and an outline entry per page, on A4 paper.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxReport.h"
#include "report/preview/qvxPreview.h"
#include "report/preview/qvxPreviewForm.h"
#include "tests/common/wait.h"

namespace previewtest {

// Rows per page of the list (the data band is 25 units high on an A4 page with 10 mm margins, under a 30-unit
// header and over a 20-unit footer).
constexpr int kRowsPerPage = 39;

class TListReport {
 public:
  // rowsPerPage 1 makes each row a page of its own (a long report made quickly).
  explicit TListReport(int pages, int rowsPerPage = kRowsPerPage) {
    report_ = new TqvxReport(nullptr);
    report_->SetName(L"Liste");
    report_->ReportOptions()->Name = L"Öğrenci Listesi";
    report_->EngineOptions()->NewSilentMode = simSilent;
    page_ = new TqvxReportPage(report_);
    page_->SetName(L"Page1");
    page_->LeftMargin = page_->RightMargin = page_->TopMargin = page_->BottomMargin = 10;
    auto* header = new TqvxPageHeader(page_);
    header->SetName(L"PageHeader1");
    header->SetTop(0);
    header->SetHeight(30);
    Memo(header, L"Baslik", L"Öğrenci Listesi — İSTANBUL Işık Lisesi", 0, 500, 20);
    master_ = new TqvxMasterData(page_);
    master_->SetName(L"MasterData1");
    master_->SetTop(40);
    master_->SetHeight(rowsPerPage == 1 ? 900 : 25);
    master_->SetRowCount(pages * rowsPerPage);
    Memo(master_, L"Satir", L"Satır [Line#]", 0, 300, 20);
    auto* footer = new TqvxPageFooter(page_);
    footer->SetName(L"PageFooter1");
    footer->SetTop(100);
    footer->SetHeight(20);
    Memo(footer, L"SayfaNo", L"Sayfa [Page#]", 500, 200, 18);
    page_->OutlineText = L"Page#";
  }
  ~TListReport() {
    if (report_) report_->Free();
  }
  TListReport(const TListReport&) = delete;
  TListReport& operator=(const TListReport&) = delete;

  TqvxReport* Report() const { return report_; }
  TqvxMasterData* Master() const { return master_; }

 private:
  static void Memo(TqvxBand* band, const wchar_t* name, const wchar_t* text, int left, int width, int height) {
    auto* memo = new TqvxMemoView(band);
    memo->SetName(name);
    memo->SetText(text);
    memo->SetBounds(left, 0, width, height);
  }
  TqvxReport* report_ = nullptr;
  TqvxReportPage* page_ = nullptr;
  TqvxMasterData* master_ = nullptr;
};

// Waits (handling messages) until cond holds; a failure names what was waited for.
#define PUMP_UNTIL(cond) ASSERT_TRUE(testutil::PumpUntil([&] { return static_cast<bool>(cond); })) << #cond

// Handles every message waiting now (and what their handlers post in turn).
inline void Drain() {
  for (int round = 0; round < 3; ++round) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// A key pressed and released on a window, as the keyboard sends it.
inline void Key(HWND wnd, WORD vk, bool ctrl = false) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  if (ctrl) {
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
  }
  SendMessageW(wnd, WM_KEYDOWN, vk, 1);
  SendMessageW(wnd, WM_KEYUP, vk, 0xC0000001);
  if (ctrl) {
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
  }
}

inline void Char(HWND wnd, wchar_t ch) { SendMessageW(wnd, WM_CHAR, ch, 1); }

// What a window shows on the screen, as a picture file beside the test (BMP without alpha; looked at after the
// run).
inline void Screenshot(HWND wnd, const std::wstring& name) {
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  vcl::TBitmap bitmap;
  bitmap.SetSize(w, h);
  HDC dc = bitmap.Canvas()->Handle();
  // What the screen shows there (the window is on top): the system's own controls included.
  SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  HDC screen = GetDC(nullptr);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  bitmap.SaveToFile(name);
}

}  // namespace previewtest
