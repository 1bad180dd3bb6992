// The data layer against SQLite's own API, on the student table as the program has it: 10,000 students of 49
// columns. Three figures, each beside the peer's from the same run:
//  - opening the table through TADOTable and walking every row, against stepping the same statement with sqlite3;
//  - a post of a new student (fields set, then Post), against a prepared INSERT with the same values bound, both
//    inside one transaction so that the disk's sync is left out of both;
//  - a keystroke in the student screen's school-number search (the handler's three filter calls), against SQLite
//    finding the same rows with a statement.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "sampler.h"
#include "students.h"
#include "timing.h"

using bench::Best;
using rtl::String;

namespace {

constexpr int kStudents = 10000;
constexpr int kPosts = 1000;

// Opening and walking: the peer reads every cell of every row as the program needs it (text as UTF-16).
void OpenAndWalk(const StudentFile& file, benchscript::Sampler& sampler) {
  long long cells = 0;
  double peer = Best(7, [&] {
    sqlite3* db = file.OpenRaw();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM ogrencibilgi", -1, &st, nullptr);
    int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int c = 0; c < n; ++c) {
        switch (sqlite3_column_type(st, c)) {
          case SQLITE_INTEGER:
            cells += sqlite3_column_int64(st, c) != 0;
            break;
          case SQLITE_TEXT:
            cells += sqlite3_column_text16(st, c) != nullptr;
            cells += sqlite3_column_bytes16(st, c) > 0;
            break;
          default:
            ++cells;
        }
      }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
  });
  long long seen = 0;
  double open = 1e300, close = 1e300;
  double ours = bench::BestMeasured(7, [&] {
    auto connection = file.Connect();
    db::TADOTable table(nullptr);
    table.SetConnection(connection.get());
    table.SetTableName(L"ogrencibilgi");
    sampler.Begin("open");
    auto start = std::chrono::steady_clock::now();
    table.Open();
    open = std::min(open, bench::Since(start));
    sampler.End();
    sampler.Begin("walk");
    db::TField* okulno = table.FieldByName(L"okulno");
    for (table.First(); !table.Eof(); table.Next()) seen += okulno->AsString().size();
    double took = bench::Since(start);
    sampler.End();
    auto closing = std::chrono::steady_clock::now();
    table.Close();
    close = std::min(close, bench::Since(closing));
    return took;
  });
  // A second yardstick: the same stepping, each row's bytes kept in a block of its own as a client cursor must keep
  // them. Holding 10,000 rows costs memory the plain read never touches; this shows how much of ours that is.
  double keeping = Best(7, [&] {
    sqlite3* db = file.OpenRaw();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM ogrencibilgi", -1, &st, nullptr);
    int n = sqlite3_column_count(st);
    std::vector<std::unique_ptr<char[]>> rows;
    std::string bytes;
    while (sqlite3_step(st) == SQLITE_ROW) {
      bytes.clear();
      for (int c = 0; c < n; ++c) {
        const unsigned char* p = sqlite3_column_text(st, c);
        if (p) bytes.append(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st, c)));
        bytes += '\0';
      }
      rows.push_back(std::make_unique<char[]>(bytes.size()));
      std::memcpy(rows.back().get(), bytes.data(), bytes.size());
    }
    cells += static_cast<long long>(rows.size());
    sqlite3_finalize(st);
    sqlite3_close(db);
  });
  bench::Compare("open and walk 10,000 rows of 49 columns", ours, peer, 1.5);
  bench::Beside("  peer keeping each row's bytes", ours, keeping);
  std::printf("%-44s of which opening %s; closing afterwards %s\n", "", bench::Duration(open).c_str(),
              bench::Duration(close).c_str());
  if (cells == 0 || seen == 0) std::printf("(nothing was read)\n");
}

// A post of a new student against a prepared INSERT of the same values.
void PostNew(const StudentFile& file) {
  std::vector<Student> students;
  for (int i = 0; i < kPosts; ++i) students.push_back(MakeStudent(kStudents + i));
  const std::vector<String>& names = StudentColumns();

  double peer = bench::BestMeasured(5, [&] {
    sqlite3* db = file.OpenRaw();
    std::string sql = "INSERT INTO ogrencibilgi (";
    std::string marks;
    for (size_t c = 0; c < names.size(); ++c) {
      if (c) sql += ", ", marks += ", ";
      sql += "\"" + rtl::StringToUTF8(names[c]) + "\"";
      marks += "?" + std::to_string(c + 1);
    }
    sql += ") VALUES (" + marks + ")";
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    auto start = std::chrono::steady_clock::now();
    for (const Student& s : students) {
      for (size_t c = 0; c < names.size(); ++c) {
        if (IsYesNoColumn(c))
          sqlite3_bind_int(st, static_cast<int>(c + 1), s.values[c] == L"1");
        else
          sqlite3_bind_text16(st, static_cast<int>(c + 1), s.values[c].data(),
                              static_cast<int>(s.values[c].size() * sizeof(wchar_t)), SQLITE_TRANSIENT);
      }
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    double took = bench::Since(start);
    sqlite3_finalize(st);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return took;
  });

  double whole = 1e300;
  double ours = bench::BestMeasured(5, [&] {
    auto connection = file.Connect();
    db::TADOTable table(nullptr);
    table.SetConnection(connection.get());
    table.SetTableName(L"ogrencibilgi");
    table.Open();
    std::vector<db::TField*> fields;
    for (const String& name : names) fields.push_back(table.FieldByName(name));
    connection->BeginTrans();
    auto start = std::chrono::steady_clock::now();
    double post = 0;
    for (const Student& s : students) {
      table.Append();
      for (size_t c = 0; c < fields.size(); ++c) {
        if (IsYesNoColumn(c))
          fields[c]->SetAsBoolean(s.values[c] == L"1");
        else
          fields[c]->SetAsString(s.values[c]);
      }
      auto posting = std::chrono::steady_clock::now();
      table.Post();
      post += bench::Since(posting);
    }
    whole = std::min(whole, bench::Since(start));
    double took = post;
    connection->RollbackTrans();
    table.Close();
    return took;
  });
  bench::Compare("post of a new student (in a transaction)", ours / kPosts, peer / kPosts, 2.0);
  std::printf("%-44s with Append and the 48 fields set: %s\n", "", bench::Duration(whole / kPosts).c_str());
}

// A keystroke of the school-number search as the student screen's handler makes it.
void Search(const StudentFile& file, benchscript::Sampler& sampler) {
  auto connection = file.Connect();
  db::TADOTable table(nullptr);
  table.SetConnection(connection.get());
  table.SetTableName(L"ogrencibilgi");
  table.Open();
  const std::vector<String> typed = {L"4", L"45", L"457", L"4571", L"457", L"45", L"4", L"", L"9", L"99", L"999"};
  size_t found = 0;
  sampler.Begin("search");
  double ours = Best(7, [&] {
    for (const String& text : typed) {
      if (rtl::Trim(text).empty()) {
        table.SetFiltered(false);
      } else {
        table.SetFiltered(false);
        table.SetFilter(L"okulno=" + rtl::QuotedStr(text));
        table.SetFiltered(true);
        table.Open();
      }
      found += static_cast<size_t>(table.RecordCount());
    }
  });
  sampler.End();
  double peer = Best(7, [&] {
    sqlite3* db = file.OpenRaw();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM ogrencibilgi WHERE okulno = ?1", -1, &st, nullptr);
    for (const String& text : typed) {
      sqlite3_bind_text16(st, 1, text.data(), static_cast<int>(text.size() * sizeof(wchar_t)), SQLITE_TRANSIENT);
      while (sqlite3_step(st) == SQLITE_ROW) ++found;
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
  });
  bench::Beside("search keystroke (peer: SELECT ... WHERE)", ours / typed.size(), peer / typed.size());
  bench::Against("search keystroke on 10,000 rows", ours / typed.size(), 1e-3);
  if (!found) std::printf("(nothing was found)\n");
}

}  // namespace

// With no argument every figure; with "open", "post" or "search" that one only (for profiling).
int wmain(int argc, wchar_t** argv) {
  try {
    String only = argc > 1 ? argv[1] : L"";
    StudentFile file(kStudents);
    benchscript::Sampler sampler;
    std::printf("data layer against sqlite3 %s, %d students of %d columns\n", sqlite3_libversion(), kStudents,
                static_cast<int>(StudentColumns().size()) + 1);
    if (only.empty() || only == L"open") OpenAndWalk(file, sampler);
    if (only.empty() || only == L"post") PostNew(file);
    if (only.empty() || only == L"search") Search(file, sampler);
  } catch (const rtl::Exception& e) {
    std::printf("failed: %s\n", rtl::StringToUTF8(e.Message()).c_str());
    return 1;
  }
  return 0;
}
