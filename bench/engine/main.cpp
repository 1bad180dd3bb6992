// bench_engine: a list report of 10,000 records (one data band with six text objects over field expressions, one
// of them with a display format, and a page footer with the page number) prepared from a SQLite table through the
// report's dataset into the pages layer's store; beside it, the same rows merely read through the dataset (opened,
// walked, the six fields read as text). Goals: the whole preparation under 1 s and within 5 times the bare read;
// the first page ready in under 100 ms; memory growing with the pages held, not with the records.
#include <sqlite3.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "report/engine/qvxEngine.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPreviewPages.h"
#include "sampler.h"

using rtl::String;
using Clock = std::chrono::steady_clock;

#include "measure.h"

namespace {

using bench::Duration;
using bench::PrivateBytes;

constexpr int kRecords = 10000;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The machine is shared: several runs, of which the best and the median are shown.
constexpr int kRuns = 9;

struct TTimes {
  std::vector<double> runs;
  double Best() const { return *std::min_element(runs.begin(), runs.end()); }
  double Median() const {
    std::vector<double> sorted = runs;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
  }
};

TTimes Runs(int runs, const std::function<double()>& fn) {
  TTimes times;
  for (int i = 0; i < runs; ++i) times.runs.push_back(fn());
  return times;
}

// A table of students with Turkish texts, in a folder of its own removed afterwards.
class TStudentFile {
 public:
  TStudentFile() {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    folder_ = std::wstring(tmp) + L"tavrel_bench_engine_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    file_ = folder_ + L"\\okul.db";
    sqlite3* db = nullptr;
    sqlite3_open(rtl::StringToUTF8(file_).c_str(), &db);
    sqlite3_exec(db,
                 "create table ogrenciler(no integer primary key, adi text, soyadi text, sinif text, puan real, "
                 "dogum real);begin",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "insert into ogrenciler values (?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
    const char* names[] = {"Şükrü", "İpek", "Çağla", "Ömer", "Gülşen", "Ilgın", "Ümit", "Doğan"};
    const char* surnames[] = {"Işık", "Öztürk", "Çelik", "Güneş", "Şahin", "Yıldız", "Aydın"};
    const char* classes[] = {"9-A", "9-B", "10-Ç", "11-Ğ", "12-Ş"};
    for (int i = 1; i <= kRecords; ++i) {
      sqlite3_bind_int(insert, 1, i);
      sqlite3_bind_text(insert, 2, names[(i * 3) % 8], -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 3, surnames[(i * 5) % 7], -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 4, classes[i % 5], -1, SQLITE_STATIC);
      sqlite3_bind_double(insert, 5, 40 + (i * 37) % 61 + 0.25 * (i % 4));
      sqlite3_bind_double(insert, 6, 38000 + i % 1500);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TStudentFile() {
    DeleteFileW(file_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring ConnectionString() const { return L"Data Source=" + folder_ + L"\\okul.mdb"; }

 private:
  std::wstring folder_, file_;
};

// The store, noting when the engine starts the second page (the first one is then complete) and the most memory
// the process held at any page start.
class TTimedPages : public TqvxPreviewPages {
 public:
  using TqvxPreviewPages::TqvxPreviewPages;
  void AddPage(TqvxReportPage* page) override {
    if (GetCount() == 1) FirstPage = Since(Start);
    if (SampleMemory) Peak = std::max(Peak, PrivateBytes());
    TqvxPreviewPages::AddPage(page);
  }
  Clock::time_point Start;
  double FirstPage = 0;
  bool SampleMemory = false;
  long long Peak = 0;
};

const char* const kFields[] = {"no", "adi", "soyadi", "sinif", "puan", "dogum"};

struct TListReport {
  explicit TListReport(db::TADOConnection* conn, int rows) {
    owner = new vcl::TComponent(nullptr);
    owner->SetName(L"Liste");
    query = new db::TADOQuery(owner);
    query->SetName(L"OgrenciQuery");
    query->SetConnection(conn);
    query->SetSQLText(L"select * from ogrenciler where no <= " + rtl::IntToStr(rows) + L" order by no");
    report = new TqvxReport(owner);
    report->SetName(L"Rapor");
    pages = new TTimedPages(report);
    report->SetPreviewPages(pages);
    auto* ds = new TqvxDBDataset(owner);
    ds->SetName(L"OgrenciData");
    ds->SetUserName(L"Ogr");
    ds->SetDataSet(query);
    report->DataSets()->Add(ds);
    auto* page = new TqvxReportPage(report);
    page->SetName(L"Page1");
    auto* data = new TqvxMasterData(page);
    data->SetName(L"MasterData1");
    data->SetTop(20);
    data->SetHeight(18);
    data->SetDataSet(ds);
    const Extended lefts[] = {0, 60, 200, 340, 420, 540};
    const Extended widths[] = {55, 135, 135, 75, 115, 150};
    for (int i = 0; i < 6; ++i) {
      auto* memo = new TqvxMemoView(data);
      memo->SetName(L"Alan" + rtl::IntToStr(i + 1));
      memo->SetText(L"[Ogr.\"" + rtl::UTF8ToString(kFields[i]) + L"\"]");
      memo->SetBounds(lefts[i], 0, widths[i], 18);
    }
    // The score with two decimals, the way a report shows money or marks.
    auto* score = dynamic_cast<TqvxMemoView*>(report->FindObject(L"Alan5"));
    TqvxFormat* format = score->DisplayFormat();
    format->Kind = fkNumeric;
    format->FormatStr = L"%2.2n";
    auto* footer = new TqvxPageFooter(page);
    footer->SetName(L"PageFooter1");
    footer->SetTop(80);
    footer->SetHeight(20);
    auto* number = new TqvxMemoView(footer);
    number->SetName(L"SayfaNo");
    number->SetText(L"Sayfa [Page#]");
    number->SetBounds(500, 0, 200, 20);
  }
  ~TListReport() { owner->Free(); }

  // Seconds for the whole preparation.
  double Prepare() {
    pages->Start = Clock::now();
    if (!report->PrepareReport(true)) {
      std::printf("the preparation failed: %s\n", rtl::StringToUTF8(report->Errors()->Text()).c_str());
      std::exit(1);
    }
    return Since(pages->Start);
  }

  vcl::TComponent* owner;
  db::TADOQuery* query;
  TqvxReport* report;
  TTimedPages* pages;
};

// Opens the rows and reads the six fields of each as text, as the report's text objects do.
double BareRead(db::TADOConnection* conn) {
  db::TADOQuery query(nullptr);
  query.SetConnection(conn);
  query.SetSQLText(L"select * from ogrenciler order by no");
  const auto start = Clock::now();
  query.Open();
  db::TField* fields[6];
  for (int i = 0; i < 6; ++i) fields[i] = query.FieldByName(rtl::UTF8ToString(kFields[i]));
  size_t chars = 0;
  while (!query.Eof()) {
    for (db::TField* f : fields) chars += f->AsString().size();
    query.Next();
  }
  query.Close();
  const double took = Since(start);
  if (chars == 0) std::printf("nothing read\n");
  return took;
}

// One report of rows records in this process: the private bytes it holds once its pages are prepared, over what it
// held before (after a small run has compiled and cached what every run uses).
void MemoryRun(db::TADOConnection* conn, int rows) {
  {
    TListReport warm(conn, 100);
    warm.Prepare();
  }
  TListReport list(conn, rows);
  const long long before = PrivateBytes();
  list.pages->SampleMemory = true;
  list.pages->Peak = before;
  list.Prepare();
  const long long after = PrivateBytes();
  const long long peak = std::max(list.pages->Peak, after) - before;
  const int count = list.pages->GetCount();
  std::printf("%-10d %8d %13.1f KB %13.1f KB %13.2f KB %14.0f B\n", rows, count, (after - before) / 1024.0,
              peak / 1024.0, peak / 1024.0 / count, static_cast<double>(peak) / rows);
  std::fflush(stdout);
}

// The same benchmark in a process of its own, so that no run reuses memory an earlier one freed.
void RunChild(const std::wstring& arguments) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    std::printf("cannot start %s\n", rtl::StringToUTF8(command).c_str());
    return;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"memory") {
    db::TADOConnection conn(nullptr);
    conn.SetLoginPrompt(false);
    conn.SetConnectionString(argv[3]);
    conn.SetConnected(true);
    MemoryRun(&conn, std::stoi(argv[2]));
    return 0;
  }

  TStudentFile file;
  db::TADOConnection conn(nullptr);
  conn.SetLoginPrompt(false);
  conn.SetConnectionString(file.ConnectionString());
  conn.SetConnected(true);

  const TTimes bareTimes = Runs(kRuns, [&] { return BareRead(&conn); });
  TTimes wholeTimes;
  double first = 1e300;
  int pageCount = 0;
  {
    TListReport list(&conn, kRecords);
    benchscript::Sampler sampler;
    for (int i = 0; i < kRuns; ++i) {
      // The first run also grows the process's heaps to their size; the runs after it show the steady work.
      if (i == 1) sampler.Begin("prepare");
      wholeTimes.runs.push_back(list.Prepare());
      first = std::min(first, list.pages->FirstPage);
    }
    sampler.End();
    pageCount = list.pages->GetCount();
  }
  const double whole = wholeTimes.Best(), bare = bareTimes.Best();
  std::printf("list report of %d records, %d pages\n", kRecords, pageCount);
  std::printf("%-40s %10s   goal < 1 s %s\n", "whole preparation", Duration(whole).c_str(),
              whole < 1 ? "met" : "NOT MET");
  std::printf("%-40s %10s   ratio %5.2f (goal <= 5) %s\n", "bare read of the same rows", Duration(bare).c_str(),
              whole / bare, whole / bare <= 5 ? "met" : "NOT MET");
  std::printf("%-40s %10s   goal < 100 ms %s\n", "first page ready", Duration(first).c_str(),
              first < 0.1 ? "met" : "NOT MET");
  std::printf("%-40s %10s\n", "per record", Duration(whole / kRecords).c_str());
  // Best of each against best of each above; the medians show whether a round was disturbed.
  std::printf("%-40s %10s / %s   ratio %5.2f\n", "medians: preparation / bare read",
              Duration(wholeTimes.Median()).c_str(), Duration(bareTimes.Median()).c_str(),
              wholeTimes.Median() / bareTimes.Median());

  // Memory, each size in a process of its own: what the prepared pages hold grows with the pages, and the growth
  // per page stays the same while the records grow fourfold.
  std::printf("\n%-10s %8s %16s %16s %16s %16s\n", "records", "pages", "held after", "peak growth", "per page",
              "per record");
  std::fflush(stdout);
  for (int rows : {2500, 5000, 10000})
    RunChild(L"memory " + std::to_wstring(rows) + L" \"" + file.ConnectionString() + L"\"");
  return 0;
}
