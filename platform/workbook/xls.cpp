// The binary workbook (BIFF8 records in the compound document's "Workbook" stream): the globals (sheets, shared
// strings, formats, the shown sheet) and each worksheet's cell records. Every record, length and offset is checked
// against what holds it.
#include <cstring>
#include <map>

#include "platform/workbook/compound.h"
#include "platform/workbook/reader.h"

namespace workbook {

namespace {

enum : uint16_t {
  kFormula = 0x0006,
  kEof = 0x000A,
  kFilePass = 0x002F,
  kDateMode = 0x0022,
  kContinue = 0x003C,
  kWindow1 = 0x003D,
  kBoundSheet = 0x0085,
  kMulRk = 0x00BD,
  kMulBlank = 0x00BE,
  kRString = 0x00D6,
  kSst = 0x00FC,
  kLabelSst = 0x00FD,
  kXf = 0x00E0,
  kBlank = 0x0201,
  kNumber = 0x0203,
  kLabel = 0x0204,
  kBoolErr = 0x0205,
  kString = 0x0207,
  kRk = 0x027E,
  kFormat = 0x041E,
  kBof = 0x0809,
};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
double F64(const uint8_t* p) {
  double d;
  std::memcpy(&d, p, 8);
  return d;
}

double RkValue(uint32_t rk) {
  double d;
  if (rk & 2) {
    d = static_cast<double>(static_cast<int32_t>(rk) >> 2);
  } else {
    uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFC) << 32;
    std::memcpy(&d, &bits, 8);
  }
  return (rk & 1) ? d / 100 : d;
}

struct TRecord {
  uint16_t type;
  const uint8_t* data;
  uint16_t size;
  size_t offset;  // of the record's header in the stream
};

// Walks the records of a stream from an offset.
class TRecordReader {
 public:
  // budget: how many more bytes of records may be walked, shared by every walk over one stream, so that sheets
  // claiming to start inside each other cannot make the stream be read over and over.
  TRecordReader(const std::vector<uint8_t>& stream, size_t offset, const String& fileName, int64_t& budget)
      : s_(stream), pos_(offset), fileName_(fileName), budget_(budget) {}
  bool Next(TRecord& r) {
    if (pos_ + 4 > s_.size()) return false;
    if ((budget_ -= 4 + U16(&s_[pos_ + 2])) < 0) FailDamaged(fileName_, L"sayfalar birbirinin içinde");
    r.offset = pos_;
    r.type = U16(&s_[pos_]);
    r.size = U16(&s_[pos_ + 2]);
    if (pos_ + 4 + r.size > s_.size()) FailDamaged(fileName_, L"kayıt akışın dışına taşıyor");
    r.data = s_.data() + pos_ + 4;
    pos_ += 4 + r.size;
    return true;
  }
  // The record that follows, without moving on.
  bool PeekType(uint16_t& type) const {
    if (pos_ + 4 > s_.size()) return false;
    type = U16(&s_[pos_]);
    return true;
  }

 private:
  const std::vector<uint8_t>& s_;
  size_t pos_;
  const String& fileName_;
  int64_t& budget_;
};

// A record with its continuation records as one sequence of bytes, where a text that runs over a boundary starts
// the next piece with a fresh byte saying whether its characters are one byte or two.
class TContinuedData {
 public:
  explicit TContinuedData(const String& fileName) : fileName_(fileName) {}
  void Add(const uint8_t* data, uint16_t size) { pieces_.push_back({data, size}); }
  bool AtEnd() const { return piece_ >= pieces_.size(); }

  uint8_t Byte() {
    Settle();
    uint8_t b = pieces_[piece_].first[pos_++];
    return b;
  }
  uint16_t Word() {
    uint8_t lo = Byte();
    return static_cast<uint16_t>(lo | (Byte() << 8));
  }
  uint32_t Long() {
    uint32_t lo = Word();
    return lo | (static_cast<uint32_t>(Word()) << 16);
  }
  void Skip(uint64_t count) {
    while (count > 0) {
      Settle();
      uint64_t here = std::min<uint64_t>(count, pieces_[piece_].second - pos_);
      pos_ += static_cast<size_t>(here);
      count -= here;
    }
  }
  // A text of the workbook: count characters, one or two bytes each as flags says, then its formatting runs and
  // its phonetic block (both skipped).
  String Text(uint16_t count) {
    uint8_t flags = Byte();
    uint16_t runs = (flags & 0x08) ? Word() : 0;
    uint32_t extra = (flags & 0x04) ? Long() : 0;
    bool wide = flags & 0x01;
    String out;
    out.reserve(count);
    while (out.size() < count) {
      if (pos_ >= Current().second) {
        // The characters go on in the next piece, which says anew how wide they are.
        Advance();
        wide = Byte() & 0x01;
        continue;
      }
      if (wide) {
        if (pos_ + 2 > Current().second) FailDamaged(fileName_, L"metin karakterin ortasında bölünmüş");
        out.push_back(static_cast<wchar_t>(U16(Current().first + pos_)));
        pos_ += 2;
      } else {
        out.push_back(static_cast<wchar_t>(Current().first[pos_]));  // the low byte of the character
        ++pos_;
      }
    }
    Skip(static_cast<uint64_t>(runs) * 4);
    Skip(extra);
    return out;
  }

 private:
  const std::pair<const uint8_t*, size_t>& Current() const {
    if (piece_ >= pieces_.size()) FailDamaged(fileName_, L"kayıt beklenenden kısa");
    return pieces_[piece_];
  }
  void Advance() {
    ++piece_;
    pos_ = 0;
    if (piece_ >= pieces_.size()) FailDamaged(fileName_, L"kayıt beklenenden kısa");
  }
  void Settle() {
    while (piece_ < pieces_.size() && pos_ >= pieces_[piece_].second) {
      ++piece_;
      pos_ = 0;
    }
    if (piece_ >= pieces_.size()) FailDamaged(fileName_, L"kayıt beklenenden kısa");
  }
  const String& fileName_;
  std::vector<std::pair<const uint8_t*, size_t>> pieces_;
  size_t piece_ = 0, pos_ = 0;
};

struct TSheetInfo {
  uint32_t offset;
  String name;
  bool chart;
};

class TXlsReader {
 public:
  TXlsReader(const std::vector<uint8_t>& bytes, const String& fileName) : fileName_(fileName) {
    TCompoundFile file(bytes, fileName);
    if (file.HasStream(L"EncryptedPackage") || file.HasStream(L"EncryptionInfo")) FailPassword(fileName);
    if (!file.ReadStream(L"Workbook", stream_)) {
      if (file.HasStream(L"Book")) FailUnsupported(fileName, L"Excel 95 ya da daha eski bir biçimde kaydedilmiş");
      FailNotWorkbook(fileName);
    }
    texts_ = std::make_shared<std::vector<String>>();
    walkBudget_ = static_cast<int64_t>(stream_.size());
  }

  std::unique_ptr<TWorkbook> Read() {
    int64_t active = 0;
    ReadGlobals(active);
    TWorkbookBuilder book(fileName_);
    for (const TSheetInfo& s : sheets_) book.AddSheet(ReadSheet(s));
    book.SetActive(active);
    return book.Finish();
  }

 private:
  void Need(const TRecord& r, size_t size) const {
    if (r.size < size) FailDamaged(fileName_, L"kayıt beklenenden kısa");
  }

  void ReadGlobals(int64_t& active) {
    TRecordReader records(stream_, 0, fileName_, walkBudget_);
    TRecord r;
    if (!records.Next(r) || r.type != kBof) FailNotWorkbook(fileName_);
    Need(r, 4);
    if (U16(r.data) != 0x0600) FailUnsupported(fileName_, L"Excel 97 öncesi bir biçimde kaydedilmiş");
    bool windowSeen = false;
    while (records.Next(r)) {
      switch (r.type) {
        case kEof:
          return;
        case kFilePass:
          FailPassword(fileName_);
        case kDateMode:
          Need(r, 2);
          date1904_ = U16(r.data) == 1;
          break;
        case kWindow1:
          Need(r, 12);
          if (!windowSeen) active = U16(r.data + 10);
          windowSeen = true;
          break;
        case kBoundSheet: {
          Need(r, 8);
          TContinuedData d(fileName_);
          d.Add(r.data + 7, static_cast<uint16_t>(r.size - 7));
          String name = d.Text(r.data[6]);
          uint8_t kind = r.data[5];
          if (U32(r.data) >= stream_.size()) FailDamaged(fileName_, L"sayfanın yeri akışın dışında");
          sheets_.push_back(TSheetInfo{U32(r.data), name, kind != 0});
          break;
        }
        case kFormat: {
          Need(r, 5);
          TContinuedData d(fileName_);
          d.Add(r.data + 4, static_cast<uint16_t>(r.size - 4));
          formatDate_[U16(r.data)] = IsDateFormatCode(d.Text(U16(r.data + 2)));
          break;
        }
        case kXf: {
          Need(r, 4);
          uint16_t fmt = U16(r.data + 2);
          auto it = formatDate_.find(fmt);
          xfDate_.push_back(it != formatDate_.end() ? it->second : IsBuiltInDateFormat(fmt));
          break;
        }
        case kSst:
          ReadSst(records, r);
          break;
        default:
          break;
      }
    }
    FailDamaged(fileName_, L"genel bölüm sonu yok");
  }

  void ReadSst(TRecordReader& records, const TRecord& first) {
    Need(first, 8);
    TContinuedData d(fileName_);
    d.Add(first.data + 8, static_cast<uint16_t>(first.size - 8));
    uint16_t next;
    TRecord r;
    while (records.PeekType(next) && next == kContinue && records.Next(r)) d.Add(r.data, r.size);
    uint32_t unique = U32(first.data + 4);
    // Each text takes at least three bytes: a count the data cannot hold is a lie.
    if (unique > stream_.size() / 3) FailDamaged(fileName_, L"paylaşılan metin sayısı geçersiz");
    texts_->reserve(unique);
    for (uint32_t i = 0; i < unique; ++i) {
      if (d.AtEnd()) break;  // some writers count more than they write
      uint16_t count = d.Word();
      texts_->push_back(d.Text(count));
    }
    sharedCount_ = texts_->size();
  }

  bool IsDate(uint16_t xf) const { return xf < xfDate_.size() && xfDate_[xf]; }

  void Number(TSheetBuilder& sheet, int64_t row, int64_t column, uint16_t xf, double value) {
    bool date = IsDate(xf);
    sheet.Number(row, column, date ? SerialToDate(value, date1904_) : value, date);
  }

  TWorksheet ReadSheet(const TSheetInfo& info) {
    TSheetBuilder sheet(fileName_, info.name, info.chart, texts_, cellBudget_);
    if (info.chart) return sheet.Finish();
    TRecordReader records(stream_, info.offset, fileName_, walkBudget_);
    TRecord r;
    if (!records.Next(r) || r.type != kBof) FailDamaged(fileName_, L"sayfa başlangıcı yok");
    int depth = 1;  // charts and other objects embedded in the sheet bring their own BOF and EOF
    while (records.Next(r)) {
      if (r.type == kBof) {
        ++depth;
        continue;
      }
      if (r.type == kEof) {
        if (--depth == 0) return sheet.Finish();
        continue;
      }
      if (depth > 1) continue;
      switch (r.type) {
        case kNumber:
          Need(r, 14);
          Number(sheet, U16(r.data) + 1, U16(r.data + 2) + 1, U16(r.data + 4), F64(r.data + 6));
          break;
        case kRk:
          Need(r, 10);
          Number(sheet, U16(r.data) + 1, U16(r.data + 2) + 1, U16(r.data + 4), RkValue(U32(r.data + 6)));
          break;
        case kMulRk: {
          Need(r, 6);
          uint16_t row = U16(r.data), first = U16(r.data + 2);
          size_t count = (r.size - 6) / 6;
          uint16_t last = U16(r.data + r.size - 2);
          if ((r.size - 6) % 6 != 0 || last < first || static_cast<size_t>(last - first + 1) != count)
            FailDamaged(fileName_, L"çoklu sayı kaydı geçersiz");
          for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = r.data + 4 + i * 6;
            Number(sheet, row + 1, first + 1 + static_cast<int64_t>(i), U16(p), RkValue(U32(p + 2)));
          }
          break;
        }
        case kLabelSst: {
          Need(r, 10);
          uint32_t index = U32(r.data + 6);
          if (index >= sharedCount_) FailDamaged(fileName_, L"paylaşılan metin dizini sınırın dışında");
          sheet.SharedText(U16(r.data) + 1, U16(r.data + 2) + 1, index);
          break;
        }
        case kLabel:
        case kRString: {
          Need(r, 9);
          TContinuedData d(fileName_);
          d.Add(r.data + 8, static_cast<uint16_t>(r.size - 8));
          // A plain label has no run count; only its flags byte may say it has one.
          sheet.Text(U16(r.data) + 1, U16(r.data + 2) + 1, d.Text(U16(r.data + 6)));
          break;
        }
        case kBoolErr:
          Need(r, 8);
          if (r.data[7])
            sheet.Error(U16(r.data) + 1, U16(r.data + 2) + 1, r.data[6]);
          else
            sheet.Boolean(U16(r.data) + 1, U16(r.data + 2) + 1, r.data[6] != 0);
          break;
        case kBlank:
          Need(r, 6);
          sheet.Blank(U16(r.data) + 1, U16(r.data + 2) + 1);
          break;
        case kMulBlank: {
          Need(r, 6);
          uint16_t row = U16(r.data), first = U16(r.data + 2), last = U16(r.data + r.size - 2);
          size_t count = (r.size - 6) / 2;
          if ((r.size - 6) % 2 != 0 || last < first || static_cast<size_t>(last - first + 1) != count)
            FailDamaged(fileName_, L"çoklu boş hücre kaydı geçersiz");
          for (size_t i = 0; i < count; ++i) sheet.Blank(row + 1, first + 1 + static_cast<int64_t>(i));
          break;
        }
        case kFormula:
          ReadFormula(sheet, records, r);
          break;
        default:
          break;
      }
    }
    FailDamaged(fileName_, L"sayfa sonu yok");
  }

  // A formula's result as it was last calculated; a text result comes in the STRING record after it.
  void ReadFormula(TSheetBuilder& sheet, TRecordReader& records, const TRecord& r) {
    Need(r, 20);
    int64_t row = U16(r.data) + 1, column = U16(r.data + 2) + 1;
    const uint8_t* v = r.data + 6;
    if (U16(v + 6) != 0xFFFF) {
      Number(sheet, row, column, U16(r.data + 4), F64(v));
      return;
    }
    switch (v[0]) {
      case 0: {
        // Shared and array formulas may stand between the formula and its text.
        TRecord s;
        uint16_t next;
        while (records.PeekType(next) && (next == 0x04BC || next == 0x0221 || next == 0x0236)) records.Next(s);
        if (!records.PeekType(next) || next != kString) FailDamaged(fileName_, L"formül sonucunun metni yok");
        records.Next(s);
        Need(s, 3);
        TContinuedData d(fileName_);
        d.Add(s.data + 2, static_cast<uint16_t>(s.size - 2));
        TRecord c;
        while (records.PeekType(next) && next == kContinue && records.Next(c)) d.Add(c.data, c.size);
        sheet.Text(row, column, d.Text(U16(s.data)));
        break;
      }
      case 1:
        sheet.Boolean(row, column, v[2] != 0);
        break;
      case 2:
        sheet.Error(row, column, v[2]);
        break;
      case 3:
        sheet.Text(row, column, String());
        break;
      default:
        FailDamaged(fileName_, L"formül sonucu geçersiz");
    }
  }

  String fileName_;
  std::vector<uint8_t> stream_;
  std::shared_ptr<std::vector<String>> texts_;
  size_t sharedCount_ = 0;
  std::vector<TSheetInfo> sheets_;
  std::map<uint16_t, bool> formatDate_;
  std::vector<bool> xfDate_;
  bool date1904_ = false;
  int64_t cellBudget_ = kMaxCells;
  int64_t walkBudget_ = 0;
};

}  // namespace

std::unique_ptr<TWorkbook> ReadXls(const std::vector<uint8_t>& bytes, const String& fileName) {
  return TXlsReader(bytes, fileName).Read();
}

}  // namespace workbook
