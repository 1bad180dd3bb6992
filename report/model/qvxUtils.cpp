#include "report/model/qvxUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/rtl/checksum.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "platform/vcl/component.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"

using rtl::Integer;
using rtl::String;

String qvxGetBrackedVariableW(const String& str, const String& openBracket, const String& closeBracket, int& i,
                              int& j) {
  String result;
  j = i;
  bool a = true;  // outside single quotes
  bool b = true;  // outside double quotes
  int depth = 0;
  const int len = static_cast<int>(str.size());
  if (str.empty() || len < j || i < 1) return result;
  const int openLen = static_cast<int>(openBracket.size());
  const int closeLen = static_cast<int>(closeBracket.size());
  for (;;) {
    const size_t at = static_cast<size_t>(j - 1);
    if (a && b) {
      if (str.compare(at, openBracket.size(), openBracket) == 0) {
        if (depth == 0) i = j;
        ++depth;
      } else if (str.compare(at, closeBracket.size(), closeBracket) == 0) {
        --depth;
        // A closing bracket where the expression should open: nothing starts here.
        if (depth < 0) {
          j = i;
          return result;
        }
      }
    }
    if (a && str[at] == L'"') b = !b;
    if (b && str[at] == L'\'') a = !a;
    if (depth == 0 || j >= len) break;
    ++j;
  }
  result = rtl::Copy(str, i + openLen, j - i - openLen);
  if (i != j) j += closeLen - 1;
  return result;
}

void qvxErrorMsg(const String& text) {
  const String caption = qvxResources().Get(L"mbError");
  if (vcl::Application) {
    vcl::Application->MessageBox(text, caption, MB_ICONERROR | MB_OK);
  } else {
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
  }
}

void qvxCommonErrorHandler(TqvxReport* report, const String& msg) {
  qvxCommonErrorHandler(report ? report->EngineOptions()->NewSilentMode : simMessageBoxes, msg);
}

void qvxCommonErrorHandler(TqvxSilentMode mode, const String& msg) {
  switch (mode) {
    case simMessageBoxes:
      qvxErrorMsg(msg);
      break;
    case simSilent:
      break;
    case simReThrow:
      throw rtl::Exception(msg);
  }
}

void qvxParsePageNumbers(const String& pageNumbers, rtl::TStrings& list, Integer total) {
  list.Clear();
  String s;
  for (wchar_t c : pageNumbers)
    if (c != L' ') s += c;
  if (s.empty()) return;
  if (s.back() == L'-') s += rtl::IntToStr(total);
  s += L',';
  size_t start = 0;
  Integer rangeStart = 0;
  bool range = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L',') {
      const Integer number = rtl::StrToInt(s.substr(start, i - start));
      if (range) {
        for (Integer n = rangeStart; n <= number; ++n) list.Add(rtl::IntToStr(n));
      } else {
        list.Add(rtl::IntToStr(number));
      }
      start = i + 1;
      range = false;
    } else if (s[i] == L'-') {
      rangeStart = rtl::StrToInt(s.substr(start, i - start));
      start = i + 1;
      range = true;
    }
  }
}

double qvxStrToFloat(const String& s) {
  const wchar_t sep = rtl::FormatSettings.DecimalSeparator;
  String t;
  for (wchar_t c : s) {
    if (c == L' ') continue;
    t += (c == L',' || c == L'.') ? sep : c;
  }
  return rtl::StrToFloat(t);
}

String qvxFloatToStr(double x) {
  if (std::trunc(x) == x) return rtl::FloatToStr(x);
  return rtl::Format(L"%2.2f", {x});
}

String qvxStreamToString(rtl::TStream& stream) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  stream.SetPosition(0);
  const std::string bytes = stream.ReadBytes(static_cast<Integer>(stream.Size()));
  String result;
  result.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    result += digits[b >> 4];
    result += digits[b & 15];
  }
  return result;
}

void qvxStringToStream(const String& s, rtl::TStream& stream) {
  auto nibble = [](wchar_t c) -> int {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
  };
  // Bytes after the first pair that is no hexadecimal number stay zero.
  std::string bytes(s.size() / 2, '\0');
  for (size_t k = 0; k < bytes.size(); ++k) {
    const int hi = nibble(s[2 * k]);
    const int lo = nibble(s[2 * k + 1]);
    if (hi < 0 || lo < 0) break;
    bytes[k] = static_cast<char>(hi * 16 + lo);
  }
  stream.SetPosition(0);
  stream.WriteBytes(bytes);
}

rtl::Cardinal qvxStreamCRC32(rtl::TStream& stream) {
  const rtl::Int64 kept = stream.Position();
  stream.SetPosition(0);
  rtl::Cardinal crc = 0;
  std::vector<char> buffer(65536);
  for (;;) {
    const Integer n = stream.Read(buffer.data(), static_cast<Integer>(buffer.size()));
    if (n <= 0) break;
    crc = rtl::CRC32(buffer.data(), static_cast<size_t>(n), crc);
  }
  stream.SetPosition(kept);
  return crc;
}

void qvxSetCommaText(const String& text, rtl::TStrings& list, wchar_t comma) {
  list.Clear();
  size_t i = 0;
  while (i < text.size()) {
    const size_t j = text.find(comma, i);
    if (j == String::npos) {
      list.Add(text.substr(i));
      break;
    }
    list.Add(text.substr(i, j - i));
    i = j + 1;
  }
}

namespace {

bool IsOfClass(const rtl::TObject* obj, const wchar_t* className) {
  const vcl::TClassInfo* target = vcl::GetClass(className);
  const vcl::TClassInfo* cls = obj ? vcl::ClassOf(obj) : nullptr;
  if (target && cls) return cls->InheritsFrom(target);
  // Not registered (yet): compare the class names along what the object says of itself.
  return obj && rtl::SameText(obj->ClassName(), className);
}

bool IsReport(const rtl::TObject* obj) { return dynamic_cast<const TqvxReport*>(obj) != nullptr; }

bool IsFormOrDataModule(const vcl::TComponent* c) {
  return dynamic_cast<const vcl::TCustomForm*>(c) != nullptr || IsOfClass(c, L"TDataModule");
}

}  // namespace

vcl::TComponent* qvxFindComponent(vcl::TComponent* owner, const String& name) {
  try {
    const size_t dot = name.find(L'.');
    if (dot != String::npos) {
      vcl::TComponent* global = vcl::FindGlobalComponent(name.substr(0, dot));
      if (!global) return nullptr;
      const String rest = name.substr(dot + 1);
      const size_t dot2 = rest.find(L'.');
      if (dot2 == String::npos) return global->FindComponent(rest);
      vcl::TComponent* child = global->FindComponent(rest.substr(0, dot2));
      return child ? child->FindComponent(rest.substr(dot2 + 1)) : nullptr;
    }
    if (!owner) return nullptr;
    vcl::TComponent* found = owner->FindComponent(name);
    if (!found && IsReport(owner) && owner->Owner()) found = owner->Owner()->FindComponent(name);
    return found;
  } catch (...) {
    throw rtl::EClassNotFound(L"Missing " + name);
  }
}

String qvxGetFullName(vcl::TComponent* owner, vcl::TComponent* component) {
  if (!component) return String();
  vcl::TComponent* own = component->Owner();
  if (!own || own == owner || (IsReport(owner) && owner && own == owner->Owner())) return component->Name();
  if (IsFormOrDataModule(own)) return own->Name() + L"." + component->Name();
  if (IsOfClass(own, L"TCustomFrame")) {
    String result = own->Name() + L"." + component->Name();
    if (own->Owner()) result = own->Owner()->Name() + L"." + result;
    return result;
  }
  return String();
}

TqvxRectArea::TqvxRectArea(const TqvxComponent* component)
    : X(component->AbsLeft()),
      Y(component->AbsTop()),
      X1(component->AbsLeft() + component->Width()),
      Y1(component->AbsTop() + component->Height()) {}

bool TqvxRectArea::InterceptsX(const TqvxRectArea& a) const { return a.X < X1 - 0.0001L && a.X1 > X + 0.0001L; }

bool TqvxRectArea::InterceptsY(const TqvxRectArea& a) const { return a.Y < Y1 - 0.0001L && a.Y1 > Y + 0.0001L; }

TqvxRectArea* TqvxRectArea::InterceptX(const TqvxRectArea& a) const {
  if (!InterceptsX(a)) return nullptr;
  return new TqvxRectArea(std::max(X, a.X), 0, std::min(X1, a.X1), 0);
}

TqvxRectArea* TqvxRectArea::InterceptY(const TqvxRectArea& a) const {
  if (!InterceptsY(a)) return nullptr;
  return new TqvxRectArea(0, std::max(Y, a.Y), 0, std::min(Y1, a.Y1));
}

String qvxCreateTempFile(const String& tempDir) {
  const String folder = tempDir.empty() ? String() : rtl::IncludeTrailingPathDelimiter(tempDir);
  return rtl::GetTempFileName(L"qv", folder);
}

String GetAppFileName() {
  wchar_t buffer[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return buffer;
}

String GetAppPath() { return rtl::IncludeTrailingPathDelimiter(rtl::ExtractFilePath(GetAppFileName())); }
