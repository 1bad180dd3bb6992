// The workbook reader against files written by other programs (openpyxl, xlwt, and a spreadsheet program), each
// compared cell for cell with what openpyxl and xlrd read from the same file (the .cells files made beside them by
// fixtures/make_fixtures.py); then files that are no workbook, cut short or damaged.
#include "platform/workbook/workbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"

using rtl::String;
using rtl::Variant;
using workbook::EWorkbookError;
using workbook::TWorkbook;

namespace {

std::string FixtureDir() {
  const char* dir = std::getenv("TAVREL_FIXTURES");
  return dir ? dir : ".";
}

// The fixture as a Windows path (the folder is the build's, given as a Unix path).
String Fixture(const std::string& name) {
  String path = rtl::UTF8ToString(FixtureDir() + "/" + name);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::vector<uint8_t> ReadBytes(const std::string& name) {
  std::ifstream in(FixtureDir() + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

String Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char n = s[++i];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    } else {
      out += s[i];
    }
  }
  return rtl::UTF8ToString(out);
}

struct ExpectedCell {
  int row, column;
  char kind;  // - s n d b e
  std::string value;
};
struct ExpectedSheet {
  String name;
  bool chart = false;
  int range[4] = {};
  std::vector<ExpectedCell> cells;
};
struct Expected {
  int sheets = 0, active = 0;
  std::vector<ExpectedSheet> sheet;
};

Expected ReadExpected(const std::string& name) {
  Expected e;
  std::ifstream in(FixtureDir() + "/" + name + ".cells", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string word;
    ls >> word;
    if (word == "sheets") {
      ls >> e.sheets;
    } else if (word == "active") {
      ls >> e.active;
    } else if (word == "sheet") {
      ExpectedSheet s;
      int index, chart;
      ls >> index >> chart;
      std::string rest;
      std::getline(ls, rest);
      s.name = rtl::UTF8ToString(rest.substr(1));
      s.chart = chart != 0;
      e.sheet.push_back(s);
    } else if (word == "range") {
      auto& r = e.sheet.back().range;
      ls >> r[0] >> r[1] >> r[2] >> r[3];
    } else if (word == "cell") {
      ExpectedCell c;
      ls >> c.row >> c.column >> c.kind;
      std::string rest;
      std::getline(ls, rest);
      c.value = rest.empty() ? rest : rest.substr(1);
      e.sheet.back().cells.push_back(c);
    }
  }
  return e;
}

// Compares one cell's value with what the other reader saw; an empty text counts as no value, as it does for the
// import.
void ExpectCell(const Variant& got, const ExpectedCell& want, const std::string& where) {
  switch (want.kind) {
    case '-':
      EXPECT_TRUE(got.IsEmpty() || (got.VarType() == rtl::varUString && got.AsString().empty())) << where;
      break;
    case 's':
      ASSERT_EQ(got.VarType(), rtl::varUString) << where;
      EXPECT_EQ(got.AsString(), Unescape(want.value)) << where;
      break;
    case 'n':
      ASSERT_EQ(got.VarType(), rtl::varDouble) << where;
      EXPECT_DOUBLE_EQ(got.AsDouble(), std::stod(want.value)) << where;
      break;
    case 'd':
      ASSERT_EQ(got.VarType(), rtl::varDate) << where;
      EXPECT_NEAR(got.AsDateTime(), std::stod(want.value), 1e-9) << where;
      break;
    case 'b':
      ASSERT_EQ(got.VarType(), rtl::varBoolean) << where;
      EXPECT_EQ(got.AsBoolean(), want.value == "1") << where;
      break;
    case 'e':
      ASSERT_EQ(got.VarType(), rtl::varError) << where;
      break;
    default:
      ADD_FAILURE() << "unknown kind " << want.kind << " " << where;
  }
}

class WrittenByOthers : public ::testing::TestWithParam<const char*> {};

TEST_P(WrittenByOthers, AgreesCellForCellWithTheirOwnReaders) {
  const std::string name = GetParam();
  Expected want = ReadExpected(name);
  ASSERT_GT(want.sheets, 0) << "no .cells for " << name;
  auto book = TWorkbook::Open(Fixture(name));
  ASSERT_EQ(book->SheetCount(), want.sheets);
  EXPECT_EQ(book->ActiveSheet(), want.active);
  for (int i = 0; i < want.sheets; ++i) {
    const auto& ws = want.sheet[static_cast<size_t>(i)];
    const auto& sheet = book->Sheet(i);
    std::string at = name + " sheet " + std::to_string(i);
    EXPECT_EQ(sheet.Name(), ws.name) << at;
    EXPECT_EQ(sheet.IsChart(), ws.chart) << at;
    auto r = sheet.UsedRange();
    EXPECT_EQ((std::vector<int>{r.FirstRow, r.FirstColumn, r.LastRow, r.LastColumn}),
              (std::vector<int>{ws.range[0], ws.range[1], ws.range[2], ws.range[3]}))
        << at;
    // Every cell they saw, with its value, and no cell they did not see.
    EXPECT_EQ(sheet.CellCount(), ws.cells.size()) << at;
    for (const auto& c : ws.cells)
      ExpectCell(sheet.Cell(c.row, c.column), c,
                 at + " cell " + std::to_string(c.row) + "," + std::to_string(c.column));
    size_t nonEmpty = 0;
    for (int row = r.FirstRow; row <= r.LastRow && !r.IsEmpty(); ++row)
      for (int col = r.FirstColumn; col <= r.LastColumn; ++col) nonEmpty += sheet.Cell(row, col).IsEmpty() ? 0 : 1;
    size_t wantNonEmpty = 0;
    for (const auto& c : ws.cells) wantNonEmpty += c.kind == '-' ? 0 : 1;
    EXPECT_GE(nonEmpty, wantNonEmpty) << at;
    EXPECT_LE(nonEmpty, ws.cells.size()) << at;
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, WrittenByOthers,
                         ::testing::Values("openpyxl_types.xlsx", "xlwt_types.xls", "openpyxl_students_500.xlsx",
                                           "xlwt_students_500.xls", "gnumeric_saved.xlsx", "gnumeric_saved.xls",
                                           "openpyxl_offset_list.xlsx"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

TEST(Workbook, TurkishTextsAndNumbersAsTheImportSeesThem) {
  for (const char* name : {"openpyxl_students_500.xlsx", "xlwt_students_500.xls"}) {
    auto book = TWorkbook::Open(Fixture(name));
    const auto* sheet = book->Worksheet(1);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Name(), L"Öğrenciler");
    EXPECT_EQ(sheet->UsedRange().RowCount(), 501) << name;
    EXPECT_EQ(sheet->UsedRange().ColumnCount(), 7) << name;
    EXPECT_EQ(sheet->Cell(1, 3).AsString(), L"Adı Soyadı");
    EXPECT_EQ(rtl::VarToStr(sheet->Cell(2, 1)), L"1001") << name;
    EXPECT_EQ(rtl::VarToStr(sheet->Cell(3, 2)), L"10000015838") << name;
    EXPECT_TRUE(sheet->Cell(6, 2).IsEmpty()) << name;  // every fifth student has no identity number
    EXPECT_EQ(sheet->Cell(2, 3).AsString(), L"Çağrı Aydın") << name;
    // Past the sheet, and before row 1, nothing.
    EXPECT_TRUE(sheet->Cell(502, 1).IsEmpty());
    EXPECT_TRUE(sheet->Cell(0, 1).IsEmpty());
    EXPECT_TRUE(sheet->Cell(1, 0).IsEmpty());
    EXPECT_EQ(book->Worksheet(2), nullptr);
  }
}

TEST(Workbook, WorksheetsSkipChartSheetsAndTheActiveSheetIsTheShownOne) {
  auto book = TWorkbook::Open(Fixture("openpyxl_types.xlsx"));
  ASSERT_EQ(book->SheetCount(), 4);
  EXPECT_EQ(book->WorksheetCount(), 3);
  EXPECT_EQ(book->Worksheet(3)->Name(), L"Üçüncü");
  EXPECT_EQ(book->Sheet(book->ActiveSheet()).Name(), L"Üçüncü");
  // The used range starts where the cells do, not at A1.
  auto r = book->Worksheet(2)->UsedRange();
  EXPECT_EQ(r.FirstRow, 4);
  EXPECT_EQ(r.FirstColumn, 3);
  EXPECT_EQ(r.RowCount(), 6);
  auto xls = TWorkbook::Open(Fixture("xlwt_types.xls"));
  EXPECT_EQ(xls->Sheet(xls->ActiveSheet()).Name(), L"Üçüncü");
}

// ---- what cannot be read

struct Refusal {
  const char* what;
  std::function<std::vector<uint8_t>()> bytes;
  const wchar_t* message;  // a part of the message the user reads
};

std::vector<uint8_t> Cut(const char* name, double fraction) {
  auto b = ReadBytes(name);
  b.resize(static_cast<size_t>(b.size() * fraction));
  return b;
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(Workbook, FilesThatCannotBeReadAnswerAClearTurkishMessage) {
  const Refusal cases[] = {
      {"a text file", [] { return Text("Okul No;Adı\n1;Ali\n"); }, L"bir Excel çalışma kitabı değil"},
      {"an empty file", [] { return std::vector<uint8_t>(); }, L"bir Excel çalışma kitabı değil"},
      {"a zip that is no workbook",
       [] {
         // A zip of a single stored file, as any zip tool writes it.
         auto b = ReadBytes("openpyxl_types.xlsx");
         return std::vector<uint8_t>(b.begin(), b.begin() + 4);
       },
       L"bozuk ya da eksik"},
      {"an .xlsx cut in half", [] { return Cut("openpyxl_students_500.xlsx", 0.5); }, L"bozuk ya da eksik"},
      {"an .xlsx missing its last bytes", [] { return Cut("openpyxl_students_500.xlsx", 0.99); }, L"bozuk ya da eksik"},
      {"an .xls cut in half", [] { return Cut("xlwt_students_500.xls", 0.5); }, L"bozuk ya da eksik"},
      {"an .xls cut to its header", [] { return Cut("xlwt_students_500.xls", 0.006); }, L"bozuk ya da eksik"},
      {"an .xls spreadsheet-saved cut", [] { return Cut("gnumeric_saved.xls", 0.7); }, L"bozuk ya da eksik"},
      {"a sheet beyond a million rows", [] { return ReadBytes("openpyxl_too_many_rows.xlsx"); },
       L"bir milyondan fazla satır"},
      {"an .xls saved with a password by LibreOffice", [] { return ReadBytes("libreoffice_password.xls"); },
       L"parolayla korunuyor"},
  };
  for (const Refusal& c : cases) {
    try {
      TWorkbook::Read(c.bytes(), L"C:\\okul\\liste.xlsx");
      ADD_FAILURE() << c.what << ": read without complaint";
    } catch (const EWorkbookError& e) {
      EXPECT_NE(e.Message().find(c.message), String::npos) << c.what << ": " << rtl::StringToUTF8(e.Message());
      EXPECT_NE(e.Message().find(L"\"liste.xlsx\""), String::npos) << c.what;
    }
  }
}

TEST(Workbook, AMissingFileRaisesTheFileError) { EXPECT_THROW(TWorkbook::Open(Fixture("yok.xlsx")), rtl::EFOpenError); }

// Damaged copies of every fixture: bytes overwritten at random places, runs of bytes zeroed, the file cut at
// every length near its structures. Each either reads or answers the workbook error; nothing else may happen.
TEST(Workbook, DamagedCopiesReadOrAnswerTheWorkbookError) {
  std::mt19937 random(20240315);
  int read = 0, refused = 0;
  for (const char* name : {"openpyxl_types.xlsx", "xlwt_types.xls", "gnumeric_saved.xlsx", "gnumeric_saved.xls",
                           "openpyxl_students_500.xlsx", "xlwt_students_500.xls"}) {
    const auto original = ReadBytes(name);
    ASSERT_FALSE(original.empty()) << name;
    auto attempt = [&](std::vector<uint8_t> bytes) {
      try {
        auto book = TWorkbook::Read(std::move(bytes), L"bozuk.xls");
        for (int i = 0; i < book->SheetCount(); ++i) {
          auto r = book->Sheet(i).UsedRange();
          for (int row = r.FirstRow; row <= std::min(r.LastRow, r.FirstRow + 20) && !r.IsEmpty(); ++row)
            rtl::VarToStrDef(book->Sheet(i).Cell(row, r.FirstColumn), L"");
        }
        ++read;
      } catch (const EWorkbookError&) {
        ++refused;
      }
    };
    for (int n = 0; n < 150; ++n) {
      auto bytes = original;
      int flips = 1 + static_cast<int>(random() % 8);
      for (int f = 0; f < flips; ++f) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
      attempt(std::move(bytes));
    }
    for (int n = 0; n < 40; ++n) {
      auto bytes = original;
      size_t at = random() % bytes.size(), len = 1 + random() % 64;
      for (size_t i = at; i < std::min(bytes.size(), at + len); ++i) bytes[i] = n % 2 ? 0xFF : 0;
      attempt(std::move(bytes));
    }
    for (int n = 0; n < 60; ++n)
      attempt(std::vector<uint8_t>(original.begin(), original.begin() + random() % original.size()));
  }
  // Both outcomes happened: the damage was real and the reader did not refuse everything.
  EXPECT_GT(read, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
