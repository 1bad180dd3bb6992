#include "platform/rtl/exceptions.h"

#include "platform/rtl/win.h"

namespace rtl {

void Exception::SetMessage(String message) {
  message_ = std::move(message);
  what_.clear();
}

const char* Exception::what() const noexcept {
  if (what_.empty() && !message_.empty()) {
    int n = WideCharToMultiByte(CP_UTF8, 0, message_.data(), static_cast<int>(message_.size()), nullptr, 0, nullptr,
                                nullptr);
    what_.resize(n);
    WideCharToMultiByte(CP_UTF8, 0, message_.data(), static_cast<int>(message_.size()), what_.data(), n, nullptr,
                        nullptr);
  }
  return what_.c_str();
}

String SysErrorMessage(Cardinal errorCode) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  String text;
  if (n > 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
    text.pop_back();
  }
  return text;
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(Cardinal errorCode) {
  if (errorCode == 0) throw EOSError(L"A call to an OS function failed", 0);
  throw EOSError(L"System Error.  Code: " + std::to_wstring(errorCode) + L".\r\n" + SysErrorMessage(errorCode),
                 errorCode);
}

void Abort() { throw EAbort(L"Operation aborted"); }

}  // namespace rtl
