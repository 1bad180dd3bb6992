#include "platform/db/dbtypes.h"

namespace db {

namespace {

String AsciiUpper(const String& s) {
  String out = s;
  for (auto& c : out)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return out;
}

bool Has(const String& s, const wchar_t* part) { return s.find(part) != String::npos; }

// The first number inside "(...)" of a declared type, or 0.
int SizeOf(const String& decl) {
  auto open = decl.find(L'(');
  if (open == String::npos) return 0;
  int n = 0;
  for (size_t i = open + 1; i < decl.size() && decl[i] >= L'0' && decl[i] <= L'9'; ++i) n = n * 10 + (decl[i] - L'0');
  return n;
}

// The second number inside "(p,s)", the scale; 0 when absent.
int ScaleOf(const String& decl) {
  auto comma = decl.find(L',');
  if (comma == String::npos) return 0;
  int n = 0;
  size_t i = comma + 1;
  while (i < decl.size() && decl[i] == L' ') ++i;
  for (; i < decl.size() && decl[i] >= L'0' && decl[i] <= L'9'; ++i) n = n * 10 + (decl[i] - L'0');
  return n;
}

}  // namespace

StoreColumnType MapDeclaredType(const String& declaredType, bool autoIncrement) {
  const String t = AsciiUpper(declaredType);
  StoreColumnType r;
  if (t.empty()) return r;
  if (Has(t, L"BOOL") || t == L"BIT" || Has(t, L"YESNO") || Has(t, L"LOGICAL")) {
    r.type = ftBoolean;
  } else if (Has(t, L"DATETIME") || Has(t, L"TIMESTAMP")) {
    r.type = ftDateTime;
  } else if (Has(t, L"DATE")) {
    r.type = ftDate;
  } else if (Has(t, L"TIME")) {
    r.type = ftTime;
  } else if (Has(t, L"CHAR") || Has(t, L"TEXT") || Has(t, L"CLOB") || Has(t, L"MEMO") || Has(t, L"STRING")) {
    int size = SizeOf(t);
    bool memo =
        Has(t, L"MEMO") || Has(t, L"CLOB") || ((Has(t, L"TEXT")) && size == 0) || (size == 0 && !Has(t, L"CHAR"));
    if (memo) {
      r.type = ftWideMemo;
    } else {
      r.type = ftWideString;
      r.size = size > 0 ? size : 255;
    }
  } else if (Has(t, L"INT") || t == L"COUNTER" || t == L"AUTOINCREMENT" || Has(t, L"LONG")) {
    if (autoIncrement || t == L"COUNTER" || t == L"AUTOINCREMENT")
      r.type = ftAutoInc;
    else if (Has(t, L"BIGINT") || Has(t, L"INT64") || Has(t, L"LARGEINT"))
      r.type = ftLargeint;
    else if (Has(t, L"SMALLINT") || Has(t, L"TINYINT"))
      r.type = ftSmallint;
    else
      r.type = ftInteger;
  } else if (Has(t, L"CURRENCY") || Has(t, L"MONEY")) {
    r.type = ftCurrency;
  } else if (Has(t, L"NUMERIC") || Has(t, L"DECIMAL")) {
    r.type = ftFMTBcd;
    r.size = ScaleOf(t);
  } else if (Has(t, L"REAL") || Has(t, L"FLOA") || Has(t, L"DOUB")) {
    r.type = ftFloat;
  } else if (Has(t, L"BLOB") || Has(t, L"BINARY") || Has(t, L"IMAGE") || Has(t, L"OLE")) {
    r.type = ftBlob;
  }
  return r;
}

namespace {

// One step of the decoding: the code point starting at s (U+FFFD for a malformed sequence, which then takes one
// byte), and how many bytes it takes.
inline unsigned DecodeOne(const unsigned char* s, const unsigned char* end, int& taken) {
  unsigned c = *s;
  if (c < 0x80) {
    taken = 1;
    return c;
  }
  // Length of the sequence and the bits of its first byte; continuation bytes must follow.
  int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
  if (c >= 0xF5) extra = -1;
  unsigned cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
  bool ok = extra > 0 && end - s > extra;
  for (int i = 1; ok && i <= extra; ++i) {
    if ((s[i] & 0xC0) != 0x80) ok = false;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are malformed too.
  if (ok && ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
             (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))))
    ok = false;
  if (!ok) {
    taken = 1;
    return 0xFFFD;
  }
  taken = extra + 1;
  return cp;
}

}  // namespace

void Utf8ToString(const char* text, size_t bytes, String& out) {
  out.resize(bytes);  // never more UTF-16 units than UTF-8 bytes
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = s + bytes;
  wchar_t* d = out.data();
  while (s < end) {
    if (*s < 0x80) {
      *d++ = static_cast<wchar_t>(*s++);
      continue;
    }
    int taken = 0;
    unsigned cp = DecodeOne(s, end, taken);
    s += taken;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *d++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
      *d++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *d++ = static_cast<wchar_t>(cp);
    }
  }
  out.resize(static_cast<size_t>(d - out.data()));
}

size_t Utf8ToStringLength(const char* text, size_t bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = s + bytes;
  size_t n = 0;
  while (s < end) {
    if (*s < 0x80) {
      ++s, ++n;
      continue;
    }
    int taken = 0;
    n += DecodeOne(s, end, taken) >= 0x10000 ? 2 : 1;
    s += taken;
  }
  return n;
}

}  // namespace db
