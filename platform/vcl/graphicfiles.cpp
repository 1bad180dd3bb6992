#include "platform/vcl/graphicfiles.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"

namespace vcl {

namespace {

rtl::String SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  rtl::String message = n && text ? rtl::String(text, n) : L"System error code: " + std::to_wstring(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  return message;
}

}  // namespace

std::vector<rtl::Byte> ReadWholeFile(const rtl::String& file_name) {
  HANDLE file = CreateFileW(file_name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw rtl::EFOpenError(L"Cannot open file \"" + file_name + L"\". " + SystemMessage(GetLastError()));
  std::vector<rtl::Byte> data;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0x7FFFFFFF) {
    CloseHandle(file);
    throw rtl::EReadError(L"Stream read error");
  }
  data.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!ReadFile(file, data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr) || got == 0) break;
    done += got;
  }
  CloseHandle(file);
  data.resize(done);
  return data;
}

void WriteWholeFile(const rtl::String& file_name, const std::vector<rtl::Byte>& data) {
  HANDLE file =
      CreateFileW(file_name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw rtl::EFCreateError(L"Cannot create file \"" + file_name + L"\". " + SystemMessage(GetLastError()));
  DWORD written = 0;
  bool ok = data.empty() || (WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                             written == data.size());
  CloseHandle(file);
  if (!ok) throw rtl::EWriteError(L"Stream write error");
}

}  // namespace vcl
