#include "platform/rtl/textconv.h"

#include "platform/rtl/win.h"

namespace rtl {

namespace {

String ToWide(unsigned codePage, const char* data, size_t length) {
  if (length == 0) return String();
  int n = MultiByteToWideChar(codePage, 0, data, static_cast<int>(length), nullptr, 0);
  if (n <= 0) return String();
  String out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, data, static_cast<int>(length), out.data(), n);
  return out;
}

std::string FromWide(unsigned codePage, const String& s) {
  if (s.empty()) return std::string();
  int n = WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

unsigned Resolve(unsigned codePage) { return codePage == 0 ? ::GetACP() : codePage; }

}  // namespace

String UTF8ToString(const std::string& utf8) { return ToWide(CP_UTF8, utf8.data(), utf8.size()); }
String UTF8ToString(const char* data, size_t length) { return ToWide(CP_UTF8, data, length); }
std::string StringToUTF8(const String& s) { return FromWide(CP_UTF8, s); }
std::string UTF8Encode(const String& s) { return FromWide(CP_UTF8, s); }
String UTF8Decode(const std::string& utf8) { return ToWide(CP_UTF8, utf8.data(), utf8.size()); }

unsigned AnsiCodePage() { return ::GetACP(); }

String AnsiToString(const std::string& bytes, unsigned codePage) {
  return ToWide(Resolve(codePage), bytes.data(), bytes.size());
}

std::string StringToAnsi(const String& s, unsigned codePage) { return FromWide(Resolve(codePage), s); }

unsigned CharsetToCodePage(unsigned charset) {
  switch (charset) {
    case ANSI_CHARSET:
      return 1252;
    case DEFAULT_CHARSET:
      return ::GetACP();
    case SYMBOL_CHARSET:
      return CP_SYMBOL;
    case MAC_CHARSET:
      return CP_MACCP;
    case SHIFTJIS_CHARSET:
      return 932;
    case HANGEUL_CHARSET:
      return 949;
    case JOHAB_CHARSET:
      return 1361;
    case GB2312_CHARSET:
      return 936;
    case CHINESEBIG5_CHARSET:
      return 950;
    case GREEK_CHARSET:
      return 1253;
    case TURKISH_CHARSET:
      return 1254;
    case VIETNAMESE_CHARSET:
      return 1258;
    case HEBREW_CHARSET:
      return 1255;
    case ARABIC_CHARSET:
      return 1256;
    case BALTIC_CHARSET:
      return 1257;
    case RUSSIAN_CHARSET:
      return 1251;
    case THAI_CHARSET:
      return 874;
    case EASTEUROPE_CHARSET:
      return 1250;
    case OEM_CHARSET:
      return ::GetOEMCP();
    default:
      return ::GetACP();
  }
}

bool HasUTF8BOM(const std::string& bytes) {
  return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
         static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF;
}

std::string StripUTF8BOM(const std::string& bytes) { return HasUTF8BOM(bytes) ? bytes.substr(3) : bytes; }

}  // namespace rtl
