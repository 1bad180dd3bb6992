#pragma once
// Conversions at the boundaries: UTF-8 for files and the database, the ANSI code page for old files and fonts.
#include <string>

#include "platform/rtl/types.h"

namespace rtl {

using RawByteString = std::string;
using UTF8String = std::string;

// Invalid input becomes U+FFFD, never an exception.
String UTF8ToString(const std::string& utf8);
String UTF8ToString(const char* data, size_t length);
std::string StringToUTF8(const String& s);
std::string UTF8Encode(const String& s);
String UTF8Decode(const std::string& utf8);

// The process's ANSI code page (1254 under a Turkish locale).
unsigned AnsiCodePage();
// codePage 0 means the ANSI code page (CP_ACP). Characters the code page lacks become '?'.
String AnsiToString(const std::string& bytes, unsigned codePage = 0);
std::string StringToAnsi(const String& s, unsigned codePage = 0);

// The code page a font character set implies (TURKISH_CHARSET -> 1254, DEFAULT_CHARSET -> ANSI code page, ...).
unsigned CharsetToCodePage(unsigned charset);

// The byte-order mark of UTF-8 text; StripUTF8BOM removes it when present.
bool HasUTF8BOM(const std::string& bytes);
std::string StripUTF8BOM(const std::string& bytes);

}  // namespace rtl
