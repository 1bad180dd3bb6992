#pragma once
// Errors of the data-access layer. The store's own message travels unchanged in EADOError so the error box shows
// what the database said.
#include "platform/rtl/exceptions.h"

namespace db {

using rtl::String;

class EDatabaseError : public rtl::Exception {
public:
  using rtl::Exception::Exception;
  String ClassName() const override { return L"EDatabaseError"; }
};

class EADOError : public EDatabaseError {
public:
  using EDatabaseError::EDatabaseError;
  String ClassName() const override { return L"EADOError"; }
};

// Raises EDatabaseError with the message, prefixed by the component's name when it has one ("ADOTable1: ...").
[[noreturn]] void DatabaseError(const String& message, const String& componentName = String());

}  // namespace db
