#include "platform/workbook/workbook.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/workbook/reader.h"

namespace workbook {

namespace {

String Quoted(const String& fileName) { return L"\"" + rtl::ExtractFileName(fileName) + L"\""; }

constexpr uint8_t kZipSignature[] = {'P', 'K', 3, 4};
constexpr uint8_t kCompoundSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

template <size_t N>
bool StartsWith(const std::vector<uint8_t>& bytes, const uint8_t (&signature)[N]) {
  return bytes.size() >= N && std::memcmp(bytes.data(), signature, N) == 0;
}

}  // namespace

void FailNotWorkbook(const String& fileName) {
  throw EWorkbookError(Quoted(fileName) + L" bir Excel çalışma kitabı değil; açılamadı.");
}

void FailDamaged(const String& fileName, const String& detail) {
  throw EWorkbookError(Quoted(fileName) + L" çalışma kitabı bozuk ya da eksik; okunamadı (" + detail + L").");
}

void FailPassword(const String& fileName) {
  throw EWorkbookError(Quoted(fileName) +
                       L" çalışma kitabı parolayla korunuyor; parolası kaldırılmadan bilgileri aktarılamaz.");
}

void FailTooManyRows(const String& fileName, const String& sheet) {
  throw EWorkbookError(Quoted(fileName) + L" çalışma kitabının \"" + sheet +
                       L"\" sayfasında bir milyondan fazla satır var; bu kadar büyük bir liste aktarılamaz.");
}

void FailTooLarge(const String& fileName) {
  throw EWorkbookError(Quoted(fileName) + L" çalışma kitabı okunamayacak kadar büyük.");
}

void FailUnsupported(const String& fileName, const String& what) {
  throw EWorkbookError(Quoted(fileName) + L" okunamadı: " + what + L".");
}

// ---- cells

const TWorksheet::TCell* TWorksheet::Find(int row, int column) const {
  if (row < 1 || column < 1 || column > kMaxColumns) return nullptr;
  auto it = std::lower_bound(
      cells_.begin(), cells_.end(), std::make_pair(row, column), [](const TCell& c, const std::pair<int, int>& key) {
        return c.row != static_cast<uint32_t>(key.first) ? c.row < static_cast<uint32_t>(key.first)
                                                         : c.column < key.second;
      });
  if (it == cells_.end() || it->row != static_cast<uint32_t>(row) || it->column != column) return nullptr;
  return &*it;
}

Variant TWorksheet::Cell(int row, int column) const {
  const TCell* c = Find(row, column);
  if (!c) return Variant();
  switch (c->kind) {
    case Kind::Blank:
      return Variant();
    case Kind::Number:
      return Variant(c->number);
    case Kind::Date:
      return Variant::FromDate(c->number);
    case Kind::Text:
      return Variant((*texts_)[c->text]);
    case Kind::Boolean:
      return Variant(c->text != 0);
    case Kind::Error:
      return Variant::FromError(static_cast<rtl::Integer>(2000 + c->text));
  }
  return Variant();
}

TSheetBuilder::TSheetBuilder(const String& fileName, const String& sheetName, bool chart,
                             std::shared_ptr<std::vector<String>> texts, int64_t& cellBudget)
    : fileName_(fileName), texts_(std::move(texts)), budget_(cellBudget) {
  sheet_.name_ = sheetName;
  sheet_.chart_ = chart;
}

TWorksheet::TCell& TSheetBuilder::Add(int64_t row, int64_t column) {
  if (row < 1 || column < 1) FailDamaged(fileName_, L"geçersiz hücre adresi");
  if (row > kMaxRows) FailTooManyRows(fileName_, sheet_.name_);
  if (column > kMaxColumns) FailDamaged(fileName_, L"sütun sınırın ötesinde");
  if (--budget_ < 0) FailTooLarge(fileName_);
  TWorksheet::TCell cell{};
  cell.row = static_cast<uint32_t>(row);
  cell.column = static_cast<uint16_t>(column);
  sheet_.cells_.push_back(cell);
  return sheet_.cells_.back();
}

void TSheetBuilder::Blank(int64_t row, int64_t column) { Add(row, column).kind = TWorksheet::Kind::Blank; }

void TSheetBuilder::Number(int64_t row, int64_t column, double value, bool date) {
  TWorksheet::TCell& c = Add(row, column);
  c.kind = date ? TWorksheet::Kind::Date : TWorksheet::Kind::Number;
  c.number = value;
}

void TSheetBuilder::Text(int64_t row, int64_t column, String text) {
  TWorksheet::TCell& c = Add(row, column);
  c.kind = TWorksheet::Kind::Text;
  c.text = static_cast<uint32_t>(texts_->size());
  texts_->push_back(std::move(text));
}

void TSheetBuilder::SharedText(int64_t row, int64_t column, uint32_t index) {
  TWorksheet::TCell& c = Add(row, column);
  c.kind = TWorksheet::Kind::Text;
  c.text = index;
}

void TSheetBuilder::Boolean(int64_t row, int64_t column, bool value) {
  TWorksheet::TCell& c = Add(row, column);
  c.kind = TWorksheet::Kind::Boolean;
  c.text = value ? 1 : 0;
}

void TSheetBuilder::Error(int64_t row, int64_t column, int code) {
  TWorksheet::TCell& c = Add(row, column);
  c.kind = TWorksheet::Kind::Error;
  c.text = static_cast<uint32_t>(code & 0xFF);
}

TWorksheet TSheetBuilder::Finish() {
  auto& cells = sheet_.cells_;
  // Files list their cells row by row, but nothing forces them to; a position recorded twice keeps its last value.
  std::stable_sort(cells.begin(), cells.end(), [](const TWorksheet::TCell& a, const TWorksheet::TCell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  size_t out = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (out > 0 && cells[out - 1].row == cells[i].row && cells[out - 1].column == cells[i].column)
      cells[out - 1] = cells[i];
    else
      cells[out++] = cells[i];
  }
  cells.resize(out);
  cells.shrink_to_fit();
  TCellRange r;
  if (!cells.empty()) {
    r.FirstRow = static_cast<int>(cells.front().row);
    r.LastRow = static_cast<int>(cells.back().row);
    r.FirstColumn = kMaxColumns;
    for (const auto& c : cells) {
      r.FirstColumn = std::min<int>(r.FirstColumn, c.column);
      r.LastColumn = std::max<int>(r.LastColumn, c.column);
    }
  }
  sheet_.range_ = r;
  sheet_.texts_ = texts_;
  return std::move(sheet_);
}

// ---- workbooks

TWorkbookBuilder::TWorkbookBuilder(const String& fileName) : book_(new TWorkbook) { book_->fileName_ = fileName; }

void TWorkbookBuilder::SetActive(int64_t index) { book_->active_ = static_cast<int>(std::max<int64_t>(0, index)); }

std::unique_ptr<TWorkbook> TWorkbookBuilder::Finish() {
  if (book_->sheets_.empty()) FailDamaged(book_->fileName_, L"hiç sayfa yok");
  if (book_->active_ >= static_cast<int>(book_->sheets_.size())) book_->active_ = 0;
  return std::move(book_);
}

const TWorksheet* TWorkbook::Worksheet(int number) const {
  for (const TWorksheet& s : sheets_)
    if (!s.IsChart() && --number == 0) return &s;
  return nullptr;
}

int TWorkbook::WorksheetCount() const {
  return static_cast<int>(
      std::count_if(sheets_.begin(), sheets_.end(), [](const TWorksheet& s) { return !s.IsChart(); }));
}

std::unique_ptr<TWorkbook> TWorkbook::Open(const String& fileName) {
  std::vector<uint8_t> bytes;
  {
    rtl::TFileStream file(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    const rtl::Int64 size = file.Size();
    if (size > kMaxPartBytes) FailTooLarge(fileName);
    bytes.resize(static_cast<size_t>(size));
    if (size > 0) file.ReadBuffer(bytes.data(), static_cast<rtl::Integer>(size));
  }
  return Read(std::move(bytes), fileName);
}

std::unique_ptr<TWorkbook> TWorkbook::Read(std::vector<uint8_t> bytes, const String& fileName) {
  try {
    if (StartsWith(bytes, kZipSignature)) return ReadXlsx(bytes, fileName);
    if (StartsWith(bytes, kCompoundSignature)) return ReadXls(bytes, fileName);
  } catch (const std::bad_alloc&) {
    FailTooLarge(fileName);
  }
  FailNotWorkbook(fileName);
}

// ---- number formats

bool IsBuiltInDateFormat(int id) { return (id >= 14 && id <= 22) || (id >= 45 && id <= 47); }

bool IsDateFormatCode(const String& code) {
  bool quoted = false;
  for (size_t i = 0; i < code.size(); ++i) {
    wchar_t c = code[i];
    if (quoted) {
      if (c == L'"') quoted = false;
      continue;
    }
    switch (c) {
      case L'"':
        quoted = true;
        break;
      case L'\\':
      case L'_':
      case L'*':
        ++i;
        break;  // the next character is shown or padded as it is
      case L'[': {
        size_t end = code.find(L']', i);
        if (end == String::npos) return false;
        String inner = code.substr(i + 1, end - i - 1);
        // [h], [mm], [ss]: elapsed time. Colours, conditions and locales are no dates.
        if (!inner.empty() &&
            (inner[0] == L'h' || inner[0] == L'H' || inner[0] == L'm' || inner[0] == L'M' || inner[0] == L's' ||
             inner[0] == L'S') &&
            inner.find_first_not_of(L"hHmMsS") == String::npos)
          return true;
        i = end;
        break;
      }
      case L';':
        return false;  // only the first section decides, as for positive numbers
      default:
        if (wcschr(L"dDmMyYhHsS", c)) return true;
        // "General" holds an 'e' and an 'r' but no date letter; stop at it so its letters are not misread.
        if ((c == L'G' || c == L'g') && code.compare(i, 7, L"General") == 0) i += 6;
        break;
    }
  }
  return false;
}

double SerialToDate(double serial, bool date1904) {
  if (date1904) return serial + 1462;
  // Serial 60 is 29 February 1900, a day that never was; the days before it are one later in the platform's count.
  return serial > 0 && serial < 60 ? serial + 1 : serial;
}

}  // namespace workbook
