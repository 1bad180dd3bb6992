#include "platform/rtl/exceptions.h"

#include <windows.h>

namespace rtl {

void Exception::SetMessage(String message) {
  message_ = std::move(message);
  what_.clear();
}

const char* Exception::what() const noexcept {
  if (what_.empty() && !message_.empty()) {
    int n = WideCharToMultiByte(CP_UTF8, 0, message_.data(), static_cast<int>(message_.size()), nullptr, 0,
                                nullptr, nullptr);
    what_.resize(n);
    WideCharToMultiByte(CP_UTF8, 0, message_.data(), static_cast<int>(message_.size()), what_.data(), n, nullptr,
                        nullptr);
  }
  return what_.c_str();
}

}  // namespace rtl
