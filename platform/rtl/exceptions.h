#pragma once
// One exception hierarchy for the whole program, rooted at Exception.
#include <exception>
#include <string>

#include "platform/rtl/types.h"

namespace rtl {

class Exception : public std::exception {
public:
  explicit Exception(String message) : message_(std::move(message)) {}
  ~Exception() override = default;

  const String& Message() const { return message_; }
  void SetMessage(String message);
  // The class name the platform shows in its error box and that scripts see in "except on E: ...".
  virtual String ClassName() const { return L"Exception"; }
  // std::exception's view: the message in UTF-8.
  const char* what() const noexcept override;

private:
  String message_;
  mutable std::string what_;
};

#define RTL_EXCEPTION_CLASS(Name, Base)                     \
  class Name : public Base {                                \
  public:                                                   \
    using Base::Base;                                       \
    String ClassName() const override { return L## #Name; } \
  }

// Raised by user-visible operations that were cancelled on purpose; the application shows nothing.
RTL_EXCEPTION_CLASS(EAbort, Exception);
RTL_EXCEPTION_CLASS(EConvertError, Exception);
RTL_EXCEPTION_CLASS(EInOutError, Exception);
RTL_EXCEPTION_CLASS(EStreamError, Exception);
RTL_EXCEPTION_CLASS(EFCreateError, EStreamError);
RTL_EXCEPTION_CLASS(EFOpenError, EStreamError);
// Errors of reading and writing component data (form resources, stored properties).
RTL_EXCEPTION_CLASS(EFilerError, EStreamError);
RTL_EXCEPTION_CLASS(EReadError, EFilerError);
RTL_EXCEPTION_CLASS(EWriteError, EFilerError);
RTL_EXCEPTION_CLASS(EListError, Exception);
RTL_EXCEPTION_CLASS(EStringListError, Exception);
RTL_EXCEPTION_CLASS(EClassNotFound, EReadError);
RTL_EXCEPTION_CLASS(EAbstractError, Exception);
RTL_EXCEPTION_CLASS(EInvalidOperation, Exception);
RTL_EXCEPTION_CLASS(EInvalidCast, Exception);
RTL_EXCEPTION_CLASS(EVariantError, Exception);
RTL_EXCEPTION_CLASS(EOutOfMemory, Exception);
RTL_EXCEPTION_CLASS(EIntError, Exception);
RTL_EXCEPTION_CLASS(EDivByZero, EIntError);
RTL_EXCEPTION_CLASS(ERangeError, EIntError);
RTL_EXCEPTION_CLASS(EIntOverflow, EIntError);
RTL_EXCEPTION_CLASS(EMathError, Exception);
RTL_EXCEPTION_CLASS(EZeroDivide, EMathError);
RTL_EXCEPTION_CLASS(EOverflow, EMathError);
RTL_EXCEPTION_CLASS(EInvalidOp, EMathError);
RTL_EXCEPTION_CLASS(EAccessViolation, Exception);
// A failed system call; ErrorCode is the Win32 error (0 when unknown).
class EOSError : public Exception {
public:
  using Exception::Exception;
  EOSError(String message, Cardinal errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
  String ClassName() const override { return L"EOSError"; }
  Cardinal ErrorCode() const { return errorCode_; }

private:
  Cardinal errorCode_ = 0;
};
RTL_EXCEPTION_CLASS(EInvalidGraphic, Exception);
RTL_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception);
RTL_EXCEPTION_CLASS(EDBEditError, Exception);
RTL_EXCEPTION_CLASS(EZDecompressionError, Exception);
RTL_EXCEPTION_CLASS(EZCompressionError, Exception);
RTL_EXCEPTION_CLASS(ERegistryException, Exception);
RTL_EXCEPTION_CLASS(EIniFileException, Exception);
RTL_EXCEPTION_CLASS(EParserError, Exception);
RTL_EXCEPTION_CLASS(EInvalidPointer, Exception);
RTL_EXCEPTION_CLASS(EAssertionFailed, Exception);

// The system's text for a Win32 error code (without the trailing line break).
String SysErrorMessage(Cardinal errorCode);
// Raise EOSError for GetLastError() / the given code: "System Error.  Code: 5.\r\nAccess is denied".
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(Cardinal errorCode);
// Raises EAbort, the silent exception that ends an operation without a message box.
[[noreturn]] void Abort();

}  // namespace rtl
