#include "students.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

using rtl::String;

namespace {

const wchar_t* const kNames[] = {L"Ayşe", L"Mehmet", L"Işıl",  L"Çağrı", L"Gülşen", L"Ömer",
                                 L"İrem", L"Şükrü",  L"Büşra", L"Oğuz",  L"Ümran",  L"Hüseyin"};
const wchar_t* const kSurnames[] = {L"Yılmaz", L"Öztürk", L"Çelik", L"Şahin", L"Doğan", L"Kılıç", L"Aydın", L"Özdemir"};
const wchar_t* const kWords[] = {L"Yok",   L"Var", L"Evet",     L"Hayır",  L"Lise",  L"Üniversite", L"Öğretmen",
                                 L"Memur", L"Sağ", L"Birlikte", L"Gözlük", L"Astım", L"Yürüyerek",  L"Servis ile"};

std::wstring SchemaPath() {
  std::string unix = std::string(TAVREL_SOURCE_ROOT) + "/app/tavrel.sql";
  std::wstring path(unix.begin(), unix.end());
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

void Check(sqlite3* db, int rc, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

}  // namespace

const std::vector<String>& StudentColumns() {
  static const std::vector<String> names = {L"okulno",
                                            L"tcno",
                                            L"adisoyadi",
                                            L"sinif",
                                            L"sube",
                                            L"velicep",
                                            L"veliev",
                                            L"adres",
                                            L"kimleoturuyor",
                                            L"evkirami",
                                            L"odasivar",
                                            L"okulnasilgeliyor",
                                            L"calisiyormu",
                                            L"gecir_kaza",
                                            L"gecir_ameliyat",
                                            L"k_cihaz",
                                            L"g_hastalik",
                                            L"s_hastalik",
                                            L"k_ilac",
                                            L"kardes_sayi",
                                            L"boy",
                                            L"kilo",
                                            L"hanedekisi",
                                            L"hane_gelir",
                                            L"sehitcocuk",
                                            L"yurtdisigeldi",
                                            L"burslu",
                                            L"2828veya5395",
                                            L"ozelegt_durum",
                                            L"babaad",
                                            L"baba_dtarih",
                                            L"baba_meslek",
                                            L"baba_ogrnm",
                                            L"baba_s_hastalik",
                                            L"baba_engel",
                                            L"baba_s_olu",
                                            L"baba_birlikte",
                                            L"baba_tel",
                                            L"anne_ad",
                                            L"anne_dtarih",
                                            L"anne_meslek",
                                            L"anne_ogrenim",
                                            L"anne_s_hastalik",
                                            L"anne_engel",
                                            L"anne_s_olu",
                                            L"anne_birlikte",
                                            L"anne_tel",
                                            L"resim"};
  return names;
}

bool IsYesNoColumn(size_t column) { return column >= 24 && column <= 27; }

Student MakeStudent(int n) {
  Student s;
  const auto& names = StudentColumns();
  auto pick = [n](const wchar_t* const* list, size_t count, size_t salt) {
    return String(list[(static_cast<size_t>(n) * 7 + salt * 13) % count]);
  };
  for (size_t c = 0; c < names.size(); ++c) {
    String v;
    const String& name = names[c];
    if (IsYesNoColumn(c))
      v = (n + static_cast<int>(c)) % 5 == 0 ? L"1" : L"0";
    else if (name == L"okulno")
      v = std::to_wstring(n + 1);
    else if (name == L"tcno")
      v = std::to_wstring(10000000000LL + n * 7919LL);
    else if (name == L"adisoyadi" || name == L"babaad" || name == L"anne_ad")
      v = pick(kNames, std::size(kNames), c) + L" " + pick(kSurnames, std::size(kSurnames), c);
    else if (name == L"sinif")
      v = std::to_wstring(9 + n % 4);
    else if (name == L"sube")
      v = String(1, static_cast<wchar_t>(L'A' + n % 6));
    else if (name.find(L"tel") != String::npos || name == L"velicep" || name == L"veliev")
      v = L"0532 " + std::to_wstring(100 + n % 900) + L" " + std::to_wstring(10 + n % 90) + L" 00";
    else if (name == L"adres")
      v = L"Gül Sokağı No:" + std::to_wstring(n % 200) + L" Çankaya/ANKARA";
    else if (name == L"resim")
      v = L"C:\\Resimler\\öğrenci_" + std::to_wstring(n + 1) + L".jpg";
    else if (name.find(L"dtarih") != String::npos)
      v = std::to_wstring(1 + n % 28) + L".0" + std::to_wstring(1 + n % 9) + L".19" + std::to_wstring(60 + n % 30);
    else
      v = pick(kWords, std::size(kWords), c);
    s.values.push_back(v);
  }
  return s;
}

StudentFile::StudentFile(int students) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  folder_ = std::wstring(tmp) + L"tavrel_bench_db_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder_.c_str(), nullptr);
  file_ = folder_ + L"\\tavrel.db";
  DeleteFileW(file_.c_str());

  std::ifstream in(rtl::StringToUTF8(SchemaPath()), std::ios::binary);
  std::stringstream schema;
  schema << in.rdbuf();
  if (schema.str().empty()) throw std::runtime_error("cannot read app/tavrel.sql");

  sqlite3* db = nullptr;
  Check(db, sqlite3_open_v2(rtl::StringToUTF8(file_).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        "open");
  Check(db, sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, nullptr), "schema");
  const auto& names = StudentColumns();
  std::string sql = "INSERT INTO ogrencibilgi (", marks;
  for (size_t c = 0; c < names.size(); ++c) {
    if (c) sql += ", ", marks += ", ";
    sql += "\"" + rtl::StringToUTF8(names[c]) + "\"";
    marks += "?";
  }
  sql += ") VALUES (" + marks + ")";
  sqlite3_stmt* st = nullptr;
  Check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), "begin");
  Check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), "prepare");
  for (int n = 0; n < students; ++n) {
    Student s = MakeStudent(n);
    for (size_t c = 0; c < names.size(); ++c) {
      if (IsYesNoColumn(c))
        sqlite3_bind_int(st, static_cast<int>(c + 1), s.values[c] == L"1");
      else
        sqlite3_bind_text16(st, static_cast<int>(c + 1), s.values[c].data(),
                            static_cast<int>(s.values[c].size() * sizeof(wchar_t)), SQLITE_TRANSIENT);
    }
    Check(db, sqlite3_step(st), "insert");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), "commit");
  sqlite3_close(db);
}

StudentFile::~StudentFile() {
  DeleteFileW(file_.c_str());
  DeleteFileW((file_ + L"-journal").c_str());
  RemoveDirectoryW(folder_.c_str());
}

std::unique_ptr<db::TADOConnection> StudentFile::Connect() const {
  auto c = std::make_unique<db::TADOConnection>(nullptr);
  c->SetLoginPrompt(false);
  c->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" + folder_ +
                         L"\\tavrel.mdb");
  c->Open();
  return c;
}

sqlite3* StudentFile::OpenRaw() const {
  sqlite3* db = nullptr;
  sqlite3_open_v2(rtl::StringToUTF8(file_).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  return db;
}
