// A report of 5,000 pages with a low memory limit: the pages go to the temporary file as the run passes the limit,
// the process's private bytes stay bounded, and any page rebuilds on demand with what was written into it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pagesfixture.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "tests/common/tempdir.h"

using pagestest::Texts;
using pagestest::TTestReport;
using rtl::Int64;
using rtl::String;

namespace {

// Committed private memory, summed over the address space (the system's own counter reads 0 under Wine).
Int64 PrivateBytes() {
  Int64 total = 0;
  const char* p = nullptr;
  MEMORY_BASIC_INFORMATION info;
  while (VirtualQuery(p, &info, sizeof info) == sizeof info) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += static_cast<Int64>(info.RegionSize);
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= p) break;
    p = next;
  }
  return total;
}

constexpr int kPages = 5000;
constexpr int kRows = 30;

// What row r of page p reads: long enough that the pages weigh several kilobytes each.
String RowText(int p, int r) {
  return L"Sayfa " + rtl::IntToStr(p) + L" satır " + rtl::IntToStr(r) +
         L": Öğrencinin görüşme notu, veli bilgisi ve sınıf öğretmeninin değerlendirmesi burada yer alır.";
}

std::vector<String> Expected(int p) {
  std::vector<String> texts;
  if (p == 0) texts.push_back(L"Öğrenci Görüşme Formu");
  for (int r = 0; r < kRows; ++r) texts.push_back(RowText(p, r));
  texts.push_back(L"Sayfa " + rtl::IntToStr(p + 1));
  return texts;
}

TEST(LongReport, FiveThousandPagesStayWithinTheMemoryLimitAndRebuildOnDemand) {
  testutil::TempFolder folder(L"long");
  TTestReport t;
  t.Report()->EngineOptions()->UseFileCache = true;
  t.Report()->EngineOptions()->MaxMemSize = 1;
  t.Report()->EngineOptions()->TempDir = folder.Path();
  TqvxPreviewPages* pages = t.Pages();

  t.Start();
  Int64 written = 0;
  Int64 atWarm = 0;
  for (int p = 0; p < kPages; ++p) {
    pages->AddPage(t.page);
    if (p == 0) pages->AddObject(t.title);
    for (int r = 0; r < kRows; ++r) {
      t.master->SetTop(50 + 20 * r);
      t.row->SetText(RowText(p, r));
      pages->AddObject(t.master);
    }
    t.pageNo->SetText(L"Sayfa " + rtl::IntToStr(p + 1));
    pages->AddObject(t.footer);
    written += static_cast<Int64>(kRows) * RowText(p, 0).size() * sizeof(wchar_t);
    if (p == 500) atWarm = PrivateBytes();
  }
  t.Stop();
  const Int64 atEnd = PrivateBytes();
  ASSERT_EQ(pages->GetCount(), kPages);

  // 4,500 more pages held some 25 MB of row text alone; the store's memory grew by a small part of it: the
  // limit (1 MB) plus a few hundred bytes of page element and page number per page.
  const Int64 growth = atEnd - atWarm;
  std::printf("pages' text %lld KB, private bytes %lld KB after 500 pages, %lld KB after %d (growth %lld KB)\n",
              written / 1024, atWarm / 1024, atEnd / 1024, kPages, growth / 1024);
  EXPECT_GT(written, 25LL * 1024 * 1024);
  EXPECT_LT(growth, 8LL * 1024 * 1024);
  const auto files = pagestest::FilesIn(folder.Path(), L"qv");
  ASSERT_EQ(files.size(), 1u);

  // Any page, in any order, as it was written; once the page cache is full (50 pages rebuilt as objects), more
  // rebuilding takes no more memory.
  std::mt19937 random(5000);
  auto browse = [&](std::vector<int> order, int count) {
    for (int i = 0; i < count; ++i) order.push_back(static_cast<int>(random() % kPages));
    for (int p : order) {
      TqvxReportPage* page = pages->GetPage(p);
      ASSERT_NE(page, nullptr) << p;
      ASSERT_EQ(Texts(page), Expected(p)) << p;
    }
  };
  browse({0, 1, 2, kPages - 1, kPages - 2}, 300);
  const Int64 cacheFull = PrivateBytes();
  browse({}, 600);
  const Int64 afterBrowsing = PrivateBytes();
  std::printf("private bytes with the page cache full %lld KB, after 600 more rebuilds %lld KB\n", cacheFull / 1024,
              afterBrowsing / 1024);
  EXPECT_LT(afterBrowsing - cacheFull, 3LL * 1024 * 1024);
}

}  // namespace
