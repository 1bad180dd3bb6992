#pragma once
// Late binding to automation objects: creating them by program identifier and calling their members by name through
// IDispatch. Members are always looked up by name; a name the object does not know is refused before any call is made,
// never guessed.
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/variant.h"

namespace ole {

using rtl::String;
using rtl::Variant;

// Errors of automation: EOleError for refusals made here (an unknown name, too many arguments), EOleSysError for a
// failed status of the system or the object, EOleException when the object described the failure itself.
class EOleError : public rtl::Exception {
public:
  using rtl::Exception::Exception;
  String ClassName() const override { return L"EOleError"; }
};

class EOleSysError : public EOleError {
public:
  EOleSysError(String message, long errorCode) : EOleError(std::move(message)), errorCode_(errorCode) {}
  String ClassName() const override { return L"EOleSysError"; }
  long ErrorCode() const { return errorCode_; }

private:
  long errorCode_;
};

class EOleException : public EOleSysError {
public:
  EOleException(String message, long errorCode, String source, String helpFile)
      : EOleSysError(std::move(message), errorCode), source_(std::move(source)), helpFile_(std::move(helpFile)) {}
  String ClassName() const override { return L"EOleException"; }
  const String& Source() const { return source_; }
  const String& HelpFile() const { return helpFile_; }

private:
  String source_;
  String helpFile_;
};

// The dispatch convention's flags.
enum : unsigned short {
  dispMethod = 1,
  dispPropertyGet = 2,
  dispPropertyPut = 4,
  dispPropertyPutRef = 8,
};

// The argument block of one call holds at most this many arguments.
inline constexpr int kMaxDispatchArgs = 64;

// The text the system has for a status (an HRESULT or a Win32 error); for the dispatch statuses that a system without
// their message table leaves blank, a short text of our own. Never empty.
String SysErrorMessage(long status);

// Initialises COM on the calling thread once (single-threaded apartment); the program calls automation only from its UI
// thread. Later calls do nothing.
void InitializeCom();

// Creates the automation object registered under progId (EOleSysError when it is not registered or cannot be created)
// and answers it as a dispatch variant. A class of our own registered under progId (autoserver.h) is made instead.
Variant CreateOleObject(const String& progId);
// The running instance registered under progId; EOleSysError when there is none.
Variant GetActiveOleObject(const String& progId);

// What the object told about a failed call.
struct TDispatchFailure {
  long Status = 0;  // what the call answered (0x80020009 when the object raised
                    // an exception)
  long SCode = 0;   // the object's own status for its exception, when it gave one
  bool HasDetails = false;
  String Source;
  String Description;
  String HelpFile;
};

// The identifier of name on disp, or the object's failing status (for example 0x80020006, an unknown name).
long DispatchGetIDOfName(IDispatch* disp, const String& name, long& dispId);

// One call by identifier. args are in the caller's order (they go into the argument block reversed, as the convention
// requires); puts pass the property-put named argument. With result nil no result is requested, and a method call with
// a result may also be answered by a property get. Answers 0 or the failing status, with the object's details in
// failure. More than kMaxDispatchArgs arguments raise EOleError without calling.
long DispatchCall(IDispatch* disp, long dispId, unsigned short flags, const std::vector<Variant>& args, Variant* result,
                  TDispatchFailure& failure);

// The member name of obj (a dispatch variant; others raise the variant conversion error) called with args: method calls
// answer their result (Empty when there is none), puts answer Empty. An unknown name raises EOleError "Unknown name"
// with the name; a failing call raises EOleException when the object gave details, else EOleSysError.
Variant DispatchInvoke(const Variant& obj, const String& name, unsigned short flags,
                       const std::vector<Variant>& args = {}, bool needResult = true);

}  // namespace ole
