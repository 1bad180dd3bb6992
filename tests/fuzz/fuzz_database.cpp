// Database files opened by the data layer: a damaged file is opened as the program opens tavrel.mdb, and every
// table is walked with every field read.
#include <sqlite3.h>

#include <stdexcept>

#include "mutate.h"
#include "platform/db/ado.h"
#include "platform/db/dberrors.h"
#include "platform/db/fields.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

namespace {

rtl::String TempFolder() {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const rtl::String dir = rtl::String(tmp) + L"tavrel_fuzz_db_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

void WriteFile(const rtl::String& path, const fuzz::Bytes& data) {
  rtl::TFileStream file(path, rtl::fmCreate);
  if (!data.empty()) file.WriteBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
}

fuzz::Bytes ReadFile(const rtl::String& path) {
  rtl::TFileStream file(path, rtl::fmOpenRead);
  fuzz::Bytes data(static_cast<std::size_t>(file.Size()));
  if (!data.empty()) file.ReadBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
  return data;
}

// A database made from the program's schema with a few records, as SQLite writes it.
fuzz::Input Database() {
  const fuzz::Input schema = fuzz::DataFiles({"../app/tavrel.sql"})[0];
  const rtl::String path = TempFolder() + L"\\fixture.db";
  DeleteFileW(path.c_str());
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(rtl::StringToUTF8(path).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK)
    throw std::runtime_error("cannot create the fixture database");
  const std::string sql =
      std::string(schema.data.begin(), schema.data.end()) +
      "insert into ogrencibilgi(okulno, adisoyadi, sinif, sube, boy, resim) values "
      "('12', 'Ayşe Yılmaz', '9', 'A', 160, 'C:\\resim\\ayşe.jpg');"
      "insert into ogrencibilgi(okulno, adisoyadi) values ('13', 'İsmail Öztürk');"
      "insert into danisankayit(okulno, gorusmetarihi, gelisnedeni) values (12, 45000.5, 'Ders çalışma');"
      "insert into sabit(okuladi, rehber1, kadi, sifre) values "
      "('Atatürk Lisesi', 'Şule Hanım', 'admin', 'şifre');";
  char* error = nullptr;
  const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  if (!ok) throw std::runtime_error("cannot fill the fixture database: " + message);
  return {"tavrel.db", ReadFile(path)};
}

const wchar_t* const kTables[] = {L"ogrencibilgi",    L"danisankayit", L"ogrencigorusme",
                                  L"ogretmengorusme", L"veligorusme",  L"sabit"};

void OpenAndWalk(const fuzz::Bytes& input) {
  static const rtl::String folder = TempFolder();
  WriteFile(folder + L"\\tavrel.db", input);
  db::TADOConnection connection(nullptr);
  connection.SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder + L"\\tavrel.mdb");
  connection.SetLoginPrompt(false);
  connection.Open();
  for (const wchar_t* name : kTables) {
    db::TADOTable table(nullptr);
    table.SetConnection(&connection);
    table.SetTableName(name);
    table.Open();
    for (table.First(); !table.Eof(); table.Next())
      for (int i = 0; i < table.FieldCount(); ++i) table.Fields()->Fields(i)->AsString();
  }
}

const bool database = fuzz::Join({
    .name = "database file",
    .fixtures = [] { return std::vector<fuzz::Input>{Database()}; },
    .read = OpenAndWalk,
    .refuses = fuzz::ErrorOf<db::EDatabaseError>,
    .rounds = 150,
    .truncateAll = 0,
});

}  // namespace
