// The zipped XML workbook: minizip opens the container from memory, expat reads each part as it is unpacked.
#include <expat.h>
#include <minizip/unzip.h>

#include <charconv>
#include <cstring>
#include <functional>
#include <map>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/workbook/reader.h"

namespace workbook {

namespace {

using Attrs = const XML_Char**;

// ---- the container, read from the bytes in memory

struct TMemoryFile {
  const std::vector<uint8_t>* bytes;
  uint64_t pos = 0;
};

voidpf ZCALLBACK MemOpen(voidpf opaque, const void*, int) { return opaque; }
uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size) {
  auto* f = static_cast<TMemoryFile*>(stream);
  uint64_t left = f->pos < f->bytes->size() ? f->bytes->size() - f->pos : 0;
  uLong n = static_cast<uLong>(std::min<uint64_t>(left, size));
  if (n) std::memcpy(buf, f->bytes->data() + f->pos, n);
  f->pos += n;
  return n;
}
uLong ZCALLBACK MemWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK MemTell(voidpf, voidpf stream) { return static_cast<TMemoryFile*>(stream)->pos; }
long ZCALLBACK MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* f = static_cast<TMemoryFile*>(stream);
  uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0 : origin == ZLIB_FILEFUNC_SEEK_CUR ? f->pos : f->bytes->size();
  uint64_t target = base + offset;
  if (target > f->bytes->size()) return -1;
  f->pos = target;
  return 0;
}
int ZCALLBACK MemClose(voidpf, voidpf) { return 0; }
int ZCALLBACK MemError(voidpf, voidpf) { return 0; }

class TZip {
 public:
  TZip(const std::vector<uint8_t>& bytes, const String& fileName) : fileName_(fileName) {
    file_.bytes = &bytes;
    zlib_filefunc64_def io{};
    io.zopen64_file = MemOpen;
    io.zread_file = MemRead;
    io.zwrite_file = MemWrite;
    io.ztell64_file = MemTell;
    io.zseek64_file = MemSeek;
    io.zclose_file = MemClose;
    io.zerror_file = MemError;
    io.opaque = &file_;
    zip_ = unzOpen2_64("", &io);
    // A zip that is no workbook, or whose directory is cut off, cannot be told apart here: both are unreadable.
    if (!zip_) FailDamaged(fileName_, L"zip dizini okunamadı");
  }
  ~TZip() {
    if (zip_) unzClose(zip_);
  }
  TZip(const TZip&) = delete;
  TZip& operator=(const TZip&) = delete;

  bool Has(const std::string& name) { return unzLocateFile(zip_, name.c_str(), 2) == UNZ_OK; }

  // Unpacks the part in pieces to sink; false when the container has no such part.
  bool Read(const std::string& name, const std::function<void(const char*, size_t)>& sink) {
    if (unzLocateFile(zip_, name.c_str(), 2) != UNZ_OK) return false;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
      FailDamaged(fileName_, L"zip kaydı okunamadı");
    // Encrypted entries belong to no workbook format; a password-protected workbook is a compound file instead.
    if (info.flag & 1) FailPassword(fileName_);
    if (info.uncompressed_size > static_cast<ZPOS64_T>(kMaxPartBytes)) FailTooLarge(fileName_);
    if (unzOpenCurrentFile(zip_) != UNZ_OK) FailDamaged(fileName_, L"zip kaydı açılamadı");
    std::vector<char> buffer(64 * 1024);
    int64_t total = 0;
    for (;;) {
      int n = unzReadCurrentFile(zip_, buffer.data(), static_cast<unsigned>(buffer.size()));
      if (n < 0) {
        unzCloseCurrentFile(zip_);
        FailDamaged(fileName_, L"sıkıştırılmış veri bozuk");
      }
      if (n == 0) break;
      // The sizes in the directory are the writer's word only: the bytes really unpacked are what count.
      total += n;
      unpacked_ += n;
      if (total > kMaxPartBytes || unpacked_ > 2 * kMaxPartBytes) {
        unzCloseCurrentFile(zip_);
        FailTooLarge(fileName_);
      }
      try {
        sink(buffer.data(), static_cast<size_t>(n));
      } catch (...) {
        unzCloseCurrentFile(zip_);
        throw;
      }
    }
    // A wrong checksum is reported here, after the last byte.
    if (unzCloseCurrentFile(zip_) != UNZ_OK) FailDamaged(fileName_, L"sıkıştırılmış verinin sağlaması tutmuyor");
    return true;
  }

 private:
  String fileName_;
  TMemoryFile file_;
  unzFile zip_ = nullptr;
  int64_t unpacked_ = 0;  // by all parts read so far
};

// ---- XML, with the names stripped of their namespaces

class TXmlReader {
 public:
  using Start = std::function<void(const char* name, Attrs attrs)>;
  using End = std::function<void(const char* name)>;
  using Chars = std::function<void(const char* s, int len)>;

  TXmlReader(const String& fileName, Start start, End end, Chars chars)
      : fileName_(fileName), start_(std::move(start)), end_(std::move(end)), chars_(std::move(chars)) {
    parser_ = XML_ParserCreateNS("UTF-8", '\x01');
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(parser_, &OnChars);
    // No part of a workbook declares a document type; one that does is refused rather than expanded.
    XML_SetStartDoctypeDeclHandler(parser_, &OnDoctype);
  }
  ~TXmlReader() { XML_ParserFree(parser_); }
  TXmlReader(const TXmlReader&) = delete;
  TXmlReader& operator=(const TXmlReader&) = delete;

  void Feed(const char* data, size_t size) {
    while (size > 0) {
      int piece = static_cast<int>(std::min<size_t>(size, 1 << 20));
      Parse(data, piece, false);
      data += piece;
      size -= static_cast<size_t>(piece);
    }
  }
  void Finish() { Parse("", 0, true); }

  // The local part of a name given as "namespace\x01local".
  static const char* Local(const char* name) {
    const char* sep = std::strrchr(name, '\x01');
    return sep ? sep + 1 : name;
  }
  static const char* Attr(Attrs attrs, const char* local) {
    for (int i = 0; attrs[i]; i += 2)
      if (std::strcmp(Local(attrs[i]), local) == 0) return attrs[i + 1];
    return nullptr;
  }

 private:
  void Parse(const char* data, int size, bool last) {
    if (XML_Parse(parser_, data, size, last) != XML_STATUS_OK) {
      if (pending_) std::rethrow_exception(pending_);
      FailDamaged(fileName_, L"XML hatası: " + rtl::UTF8ToString(XML_ErrorString(XML_GetErrorCode(parser_))) +
                                 L", satır " + std::to_wstring(XML_GetCurrentLineNumber(parser_)));
    }
  }
  // An exception must not pass through the parser's C frames: it is kept, the parse stopped, and raised after.
  template <class F>
  static void Guard(void* data, F f) {
    auto* self = static_cast<TXmlReader*>(data);
    if (self->pending_) return;
    try {
      f(self);
    } catch (...) {
      self->pending_ = std::current_exception();
      XML_StopParser(self->parser_, XML_FALSE);
    }
  }
  static void XMLCALL OnStart(void* d, const XML_Char* name, const XML_Char** attrs) {
    Guard(d, [&](TXmlReader* r) { r->start_(Local(name), attrs); });
  }
  static void XMLCALL OnEnd(void* d, const XML_Char* name) {
    Guard(d, [&](TXmlReader* r) { r->end_(Local(name)); });
  }
  static void XMLCALL OnChars(void* d, const XML_Char* s, int len) {
    Guard(d, [&](TXmlReader* r) { r->chars_(s, len); });
  }
  static void XMLCALL OnDoctype(void* d, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    Guard(d, [&](TXmlReader* r) { FailDamaged(r->fileName_, L"belge türü bildirimi"); });
  }

  String fileName_;
  Start start_;
  End end_;
  Chars chars_;
  XML_Parser parser_ = nullptr;
  std::exception_ptr pending_;
};

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

bool ParseInt(const char* s, int64_t& out) {
  if (!s) return false;
  const char* end = s + std::strlen(s);
  auto r = std::from_chars(s, end, out);
  return r.ec == std::errc() && r.ptr == end;
}

bool ParseDouble(const std::string& s, double& out) {
  size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
  if (b == std::string::npos) return false;
  const char* first = s.data() + b;
  const char* last = s.data() + e + 1;
  if (*first == '+') ++first;
  auto r = std::from_chars(first, last, out);
  return r.ec == std::errc() && r.ptr == last;
}

// "AB12" to row 12, column 28; false for anything else. Rows and columns beyond any sheet stay large so the
// builder refuses them with the right message.
bool ParseCellRef(const char* ref, int64_t& row, int64_t& column) {
  if (!ref) return false;
  const char* p = ref;
  column = 0;
  while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
    if (column > kMaxColumns) return false;
    column = column * 26 + ((*p | 0x20) - 'a' + 1);
    ++p;
  }
  if (column == 0 || p - ref > 4) return false;
  return ParseInt(p, row) && row >= 1;
}

// Relationship targets are relative to the folder of the part that names them, or absolute from the root.
std::string ResolveTarget(const std::string& partFolder, const std::string& target) {
  std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : partFolder + target;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    std::string piece = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (piece == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!piece.empty() && piece != ".") {
      parts.push_back(piece);
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

std::string FolderOf(const std::string& part) {
  size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// ISO 8601 "2024-03-15T10:30:00" (date cells of type d) to the platform's day count.
bool ParseIsoDate(const std::string& s, double& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double sec = 0;
  int n = std::sscanf(s.c_str(), "%d-%d-%dT%d:%d:%lf", &y, &mo, &d, &h, &mi, &sec);
  if (n < 3) {
    n = std::sscanf(s.c_str(), "%d:%d:%lf", &h, &mi, &sec);
    if (n < 2) return false;
    out = (h * 3600 + mi * 60 + sec) / 86400.0;
    return true;
  }
  if (y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31) return false;
  // Days from the civil date, counted from 30 December 1899.
  int yy = mo <= 2 ? y - 1 : y;
  int era = (yy >= 0 ? yy : yy - 399) / 400;
  int yoe = yy - era * 400;
  int doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t days = static_cast<int64_t>(era) * 146097 + doe - 719468;  // from 1 January 1970
  out = static_cast<double>(days + 25569) + (h * 3600 + mi * 60 + sec) / 86400.0;
  return true;
}

// The error texts a cell of type e holds, as the binary format numbers them.
int ErrorCode(const std::string& text) {
  static const std::map<std::string, int> codes = {{"#NULL!", 0x00}, {"#DIV/0!", 0x07},      {"#VALUE!", 0x0F},
                                                   {"#REF!", 0x17},  {"#NAME?", 0x1D},       {"#NUM!", 0x24},
                                                   {"#N/A", 0x2A},   {"#GETTING_DATA", 0x2B}};
  auto it = codes.find(text);
  return it == codes.end() ? 0x0F : it->second;
}

struct TSheetEntry {
  String name;
  std::string relId;
  std::string part;
  bool chart = false;
};

class TXlsxReader {
 public:
  TXlsxReader(const std::vector<uint8_t>& bytes, const String& fileName)
      : fileName_(fileName), zip_(bytes, fileName), texts_(std::make_shared<std::vector<String>>()) {}

  std::unique_ptr<TWorkbook> Read() {
    std::string bookPart = FindWorkbookPart();
    if (bookPart.empty()) FailNotWorkbook(fileName_);
    int64_t active = 0;
    ReadWorkbook(bookPart, active);
    auto rels = ReadRelationships(FolderOf(bookPart) + "_rels/" + bookPart.substr(FolderOf(bookPart).size()) + ".rels");
    std::string stylesPart, stringsPart;
    for (const auto& [id, rel] : rels) {
      if (EndsWith(rel.type, "/styles")) stylesPart = ResolveTarget(FolderOf(bookPart), rel.target);
      if (EndsWith(rel.type, "/sharedStrings")) stringsPart = ResolveTarget(FolderOf(bookPart), rel.target);
    }
    std::map<std::string, int> parts;
    for (TSheetEntry& s : sheets_) {
      auto it = rels.find(s.relId);
      if (it == rels.end()) FailDamaged(fileName_, L"sayfa bağlantısı eksik");
      s.part = ResolveTarget(FolderOf(bookPart), it->second.target);
      s.chart = !EndsWith(it->second.type, "/worksheet");
      // Two sheets are never one part; a file saying so would have the same cells read again and again.
      if (++parts[s.part] > 1) FailDamaged(fileName_, L"iki sayfa aynı bölümde");
    }
    if (!stylesPart.empty()) ReadStyles(stylesPart);
    if (!stringsPart.empty()) ReadSharedStrings(stringsPart);
    sharedCount_ = texts_->size();

    TWorkbookBuilder book(fileName_);
    for (const TSheetEntry& s : sheets_) book.AddSheet(ReadSheet(s));
    book.SetActive(active);
    return book.Finish();
  }

 private:
  struct TRel {
    std::string type, target;
  };

  // Reads a part with the three handlers; false when there is no such part.
  bool Parse(const std::string& part, TXmlReader::Start start, TXmlReader::End end = {}, TXmlReader::Chars chars = {}) {
    if (!end) end = [](const char*) {};
    if (!chars) chars = [](const char*, int) {};
    TXmlReader xml(fileName_, std::move(start), std::move(end), std::move(chars));
    if (!zip_.Read(part, [&](const char* d, size_t n) { xml.Feed(d, n); })) return false;
    xml.Finish();
    return true;
  }

  std::map<std::string, TRel> ReadRelationships(const std::string& part) {
    std::map<std::string, TRel> rels;
    Parse(part, [&](const char* name, Attrs a) {
      if (!Is(name, "Relationship")) return;
      const char* id = TXmlReader::Attr(a, "Id");
      const char* type = TXmlReader::Attr(a, "Type");
      const char* target = TXmlReader::Attr(a, "Target");
      if (id && type && target) rels[id] = TRel{type, target};
    });
    return rels;
  }

  std::string FindWorkbookPart() {
    for (const auto& [id, rel] : ReadRelationships("_rels/.rels"))
      if (EndsWith(rel.type, "/officeDocument")) return ResolveTarget("", rel.target);
    return zip_.Has("xl/workbook.xml") ? "xl/workbook.xml" : std::string();
  }

  void ReadWorkbook(const std::string& part, int64_t& active) {
    bool any = Parse(part, [&](const char* name, Attrs a) {
      if (Is(name, "sheet")) {
        const char* sheetName = TXmlReader::Attr(a, "name");
        const char* id = TXmlReader::Attr(a, "id");
        if (!id) FailDamaged(fileName_, L"sayfanın bağlantısı yok");
        if (sheets_.size() >= 65536) FailTooLarge(fileName_);
        sheets_.push_back(TSheetEntry{rtl::UTF8ToString(sheetName ? sheetName : ""), id, {}, false});
      } else if (Is(name, "workbookView") && !activeSeen_) {
        activeSeen_ = true;
        int64_t tab = 0;
        if (ParseInt(TXmlReader::Attr(a, "activeTab"), tab)) active = tab;
      } else if (Is(name, "workbookPr")) {
        const char* d = TXmlReader::Attr(a, "date1904");
        date1904_ = d && (Is(d, "1") || Is(d, "true"));
      }
    });
    if (!any) FailNotWorkbook(fileName_);
  }

  void ReadStyles(const std::string& part) {
    std::map<int64_t, bool> customDate;
    int depth = 0;  // inside cellXfs
    Parse(
        part,
        [&](const char* name, Attrs a) {
          if (Is(name, "numFmt")) {
            int64_t id = 0;
            const char* code = TXmlReader::Attr(a, "formatCode");
            if (ParseInt(TXmlReader::Attr(a, "numFmtId"), id) && code)
              customDate[id] = IsDateFormatCode(rtl::UTF8ToString(code));
          } else if (Is(name, "cellXfs")) {
            ++depth;
          } else if (Is(name, "xf") && depth > 0) {
            int64_t id = 0;
            ParseInt(TXmlReader::Attr(a, "numFmtId"), id);
            auto it = customDate.find(id);
            bool date = it != customDate.end() ? it->second : IsBuiltInDateFormat(static_cast<int>(id));
            if (xfDate_.size() >= 1000000) FailTooLarge(fileName_);
            xfDate_.push_back(date);
          }
        },
        [&](const char* name) {
          if (Is(name, "cellXfs")) --depth;
        });
  }

  void ReadSharedStrings(const std::string& part) {
    bool inItem = false, inText = false;
    int phonetic = 0;
    std::string text;
    Parse(
        part,
        [&](const char* name, Attrs) {
          if (Is(name, "si")) {
            inItem = true;
            text.clear();
          } else if (Is(name, "rPh")) {
            ++phonetic;  // reading aids above the text are not part of it
          } else if (Is(name, "t") && inItem && phonetic == 0) {
            inText = true;
          }
        },
        [&](const char* name) {
          if (Is(name, "si")) {
            inItem = false;
            texts_->push_back(rtl::UTF8ToString(text));
          } else if (Is(name, "rPh")) {
            --phonetic;
          } else if (Is(name, "t")) {
            inText = false;
          }
        },
        [&](const char* s, int len) {
          if (inText) text.append(s, static_cast<size_t>(len));
        });
  }

  TWorksheet ReadSheet(const TSheetEntry& entry) {
    TSheetBuilder sheet(fileName_, entry.name, entry.chart, texts_, cellBudget_);
    if (entry.chart) return sheet.Finish();
    int64_t row = 0, column = 0;
    int64_t style = 0;
    std::string type, value, inlineText;
    bool inCell = false, inValue = false, inInline = false, inText = false, hasValue = false;
    int phonetic = 0;
    bool found = Parse(
        entry.part,
        [&](const char* name, Attrs a) {
          if (Is(name, "row")) {
            int64_t r = 0;
            row = ParseInt(TXmlReader::Attr(a, "r"), r) ? r : row + 1;
            column = 0;
          } else if (Is(name, "c")) {
            const char* ref = TXmlReader::Attr(a, "r");
            if (ref) {
              int64_t r = 0;
              if (!ParseCellRef(ref, r, column)) FailDamaged(fileName_, L"geçersiz hücre adresi");
              row = r;
            } else {
              ++column;  // a cell without an address follows the one before it
            }
            const char* t = TXmlReader::Attr(a, "t");
            type = t ? t : "n";
            style = 0;
            ParseInt(TXmlReader::Attr(a, "s"), style);
            value.clear();
            inlineText.clear();
            inCell = true;
            hasValue = false;
          } else if (inCell && Is(name, "v")) {
            inValue = true;
            hasValue = true;
          } else if (inCell && Is(name, "is")) {
            inInline = true;
            hasValue = true;
          } else if (inInline && Is(name, "rPh")) {
            ++phonetic;
          } else if (inInline && Is(name, "t") && phonetic == 0) {
            inText = true;
          }
        },
        [&](const char* name) {
          if (Is(name, "v")) {
            inValue = false;
          } else if (Is(name, "t")) {
            inText = false;
          } else if (Is(name, "rPh")) {
            --phonetic;
          } else if (Is(name, "is")) {
            inInline = false;
          } else if (Is(name, "c") && inCell) {
            inCell = false;
            StoreCell(sheet, row, column, type, style, hasValue, value, inlineText);
          }
        },
        [&](const char* s, int len) {
          if (inValue) value.append(s, static_cast<size_t>(len));
          if (inText) inlineText.append(s, static_cast<size_t>(len));
          if (value.size() + inlineText.size() > 1000000) FailDamaged(fileName_, L"hücre değeri çok uzun");
        });
    if (!found) FailDamaged(fileName_, L"sayfa bulunamadı");
    return sheet.Finish();
  }

  void StoreCell(TSheetBuilder& sheet, int64_t row, int64_t column, const std::string& type, int64_t style,
                 bool hasValue, const std::string& value, const std::string& inlineText) {
    if (row < 1 || column < 1) FailDamaged(fileName_, L"geçersiz hücre adresi");
    if (!hasValue) {
      sheet.Blank(row, column);
      return;
    }
    if (type == "s") {
      int64_t index = -1;
      std::string trimmed = value;
      while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\n')) trimmed.pop_back();
      if (!ParseInt(trimmed.c_str(), index) || index < 0 || static_cast<uint64_t>(index) >= sharedCount_)
        FailDamaged(fileName_, L"paylaşılan metin dizini sınırın dışında");
      sheet.SharedText(row, column, static_cast<uint32_t>(index));
    } else if (type == "inlineStr") {
      sheet.Text(row, column, rtl::UTF8ToString(inlineText));
    } else if (type == "str") {
      sheet.Text(row, column, rtl::UTF8ToString(value));
    } else if (type == "b") {
      sheet.Boolean(row, column, value == "1" || value == "true");
    } else if (type == "e") {
      sheet.Error(row, column, ErrorCode(value));
    } else if (type == "d") {
      double day = 0;
      if (!ParseIsoDate(value, day)) FailDamaged(fileName_, L"geçersiz tarih");
      sheet.Number(row, column, day, true);
    } else {
      double number = 0;
      if (value.empty()) {
        sheet.Blank(row, column);
        return;
      }
      if (!ParseDouble(value, number)) FailDamaged(fileName_, L"geçersiz sayı");
      bool date = style >= 0 && static_cast<size_t>(style) < xfDate_.size() && xfDate_[static_cast<size_t>(style)];
      sheet.Number(row, column, date ? SerialToDate(number, date1904_) : number, date);
    }
  }

  String fileName_;
  TZip zip_;
  std::shared_ptr<std::vector<String>> texts_;
  size_t sharedCount_ = 0;
  std::vector<TSheetEntry> sheets_;
  std::vector<bool> xfDate_;
  bool date1904_ = false;
  bool activeSeen_ = false;
  int64_t cellBudget_ = kMaxCells;
};

}  // namespace

std::unique_ptr<TWorkbook> ReadXlsx(const std::vector<uint8_t>& bytes, const String& fileName) {
  return TXlsxReader(bytes, fileName).Read();
}

}  // namespace workbook
