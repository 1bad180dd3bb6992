// The import of a 10,000-row student list of each kind: the whole import as the button runs it (every row posted
// on its own), the workbook reading alone, and the same rows written by SQLite's own API as the peer.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/Unit6.h"
#include "platform/db/ado.h"
#include "platform/ole/oleauto.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/workbook/automation.h"
#include "platform/workbook/workbook.h"

using rtl::String;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 10000;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

String Path(const char* unixPath) {
  String p = rtl::UTF8ToString(unixPath);
  for (wchar_t& c : p)
    if (c == L'/') c = L'\\';
  return p;
}

std::string Schema() {
  rtl::TFileStream in(Path(TAVREL_SCHEMA), rtl::fmOpenRead);
  std::string s(static_cast<size_t>(in.Size()), '\0');
  in.ReadBuffer(s.data(), static_cast<rtl::Integer>(s.size()));
  return s;
}

String FreshDatabase(const String& folder) {
  rtl::DeleteFile(folder + L"\\tavrel.db");
  sqlite3* db = nullptr;
  sqlite3_open(rtl::StringToUTF8(folder + L"\\tavrel.db").c_str(), &db);
  sqlite3_exec(db, Schema().c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return folder + L"\\tavrel.db";
}

// Reading every cell the import reads, straight from the reader, then through the automation object.
void ReadingAlone(const String& file, double& direct, double& automation) {
  auto t = Clock::now();
  auto book = workbook::TWorkbook::Open(file);
  const auto* sheet = book->Worksheet(1);
  size_t chars = 0;
  for (int r = 1; r <= sheet->UsedRange().LastRow; ++r)
    for (int c = 1; c <= 7; ++c) chars += rtl::VarToStr(sheet->Cell(r, c)).size();
  direct = Seconds(t);
  t = Clock::now();
  workbook::RegisterExcelAutomation();
  auto get = [](const rtl::Variant& o, const wchar_t* m, std::vector<rtl::Variant> a = {}) {
    return ole::DispatchInvoke(o, m, ole::dispMethod | ole::dispPropertyGet, a);
  };
  rtl::Variant app = ole::CreateOleObject(L"excel.application");
  get(get(app, L"workbooks"), L"open", {file});
  rtl::Variant ws = get(get(app, L"ActiveWorkbook"), L"worksheets", {1});
  int rows = get(get(get(ws, L"UsedRange"), L"rows"), L"Count").AsInteger();
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= 7; ++c) chars += rtl::VarToStr(get(get(ws, L"Cells", {r, c}), L"Value")).size();
  get(app, L"Quit");
  automation = Seconds(t);
  if (chars == 0) std::printf("nothing read\n");
}

// The peer: the rows through SQLite's API, one statement per row: 1,000 of them each in a transaction of its own
// (what posting row by row without a transaction costs), and all 10,000 in one transaction.
void Peer(const String& folder, double& autocommit, double& oneTransaction) {
  for (int pass = 0; pass < 2; ++pass) {
    const int rows = pass == 0 ? kRows / 10 : kRows;
    String file = FreshDatabase(folder);
    sqlite3* db = nullptr;
    sqlite3_open(rtl::StringToUTF8(file).c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ogrencibilgi(okulno, tcno, adisoyadi, sinif, sube, velicep, veliev) "
                       "values (?, ?, ?, ?, ?, ?, ?)",
                       -1, &st, nullptr);
    auto t = Clock::now();
    if (pass == 1) sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    for (int i = 1; i <= rows; ++i) {
      std::string n = std::to_string(1000 + i);
      for (int c = 1; c <= 7; ++c) sqlite3_bind_text(st, c, n.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    if (pass == 1) sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    (pass == 0 ? autocommit : oneTransaction) = Seconds(t);
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
}

}  // namespace

int Run();

int wmain() {
  try {
    return Run();
  } catch (const rtl::Exception& e) {
    std::printf("failed: %s\n", rtl::StringToUTF8(e.Message()).c_str());
    return 1;
  }
}

int Run() {
  vcl::Application->Initialize();
  String folder = rtl::GetTempPath() + L"tavrel_bench_import_" + std::to_wstring(GetCurrentProcessId());
  rtl::ForceDirectories(folder);
  double peerAuto = 0, peerTx = 0;
  Peer(folder, peerAuto, peerTx);
  std::printf("%-8s %12s %12s %12s %12s\n", "kind", "import s", "read s", "read+auto s", "rows");
  for (const char* kind : {"xlsx", "xls"}) {
    String file = Path(TAVREL_BENCH_LISTS) + L"\\ogrenciler_10000." + rtl::UTF8ToString(kind);
    double direct = 0, automation = 0;
    ReadingAlone(file, direct, automation);

    FreshDatabase(folder);
    auto* frame = new vcl::TForm(nullptr);
    frame->SetName(L"Form1");
    frame->SetFormStyle(vcl::fsMDIForm);
    auto* connection = new db::TADOConnection(frame);
    connection->SetName(L"ADOBaglan");
    connection->SetLoginPrompt(false);
    connection->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder + L"\\tavrel.mdb");
    connection->Open();
    vcl::AddGlobalComponent(frame);
    vcl::Application->SetMainForm(frame);
    frame->Show();
    vcl::Application->CreateForm(Form6);
    auto t = Clock::now();
    Form6->Import(file);
    double total = Seconds(t);
    int rows = Form6->Table1->RecordCount();
    delete Form6;
    Form6 = nullptr;
    vcl::RemoveGlobalComponent(frame);
    vcl::Application->SetMainForm(nullptr);
    delete frame;
    std::printf("%-8s %12.2f %12.3f %12.3f %12d\n", kind, total, direct, automation, rows);
  }
  std::printf(
      "peer: SQLite's API, %d inserts in one transaction: %.3f s; %d inserts each its own transaction: %.2f s\n", kRows,
      peerTx, kRows / 10, peerAuto);
  rtl::DeleteFile(folder + L"\\tavrel.db");
  rtl::RemoveDir(folder);
  return 0;
}
