#pragma once
// Small shared routines of the report library: the bracketed-expression scanner, the common error handler, the
// page-range parser, float and stream conversions of the XML storage, component lookup by qualified name,
// rectangle areas for overlap tests, temporary files and the program's path.
#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"

namespace vcl {
class TComponent;
}
class TqvxComponent;

// How the report shows the problems of a run (the engine option SilentMode).
enum TqvxSilentMode : int { simMessageBoxes, simSilent, simReThrow };

// Finds the bracketed expression that starts at i (1-based) in str and returns the text between the brackets.
// On return i is the opening bracket's position and j the last character of the matching closing bracket; i = j
// when nothing was found. Brackets inside '...' or "..." do not count, and brackets nest. A text that ends before
// the brackets balance gives j at its last position and the text after the opening bracket up to the one before
// the last.
rtl::String qvxGetBrackedVariableW(const rtl::String& str, const rtl::String& openBracket,
                                   const rtl::String& closeBracket, int& i, int& j);

// Shows msg in an error box, ignores it or raises it, by mode.
void qvxCommonErrorHandler(TqvxSilentMode mode, const rtl::String& msg);
// The same by the report's EngineOptions.SilentMode.
class TqvxReport;
void qvxCommonErrorHandler(TqvxReport* report, const rtl::String& msg);
// The application's message box with the "mbError" caption and the error icon.
void qvxErrorMsg(const rtl::String& text);

// Page numbers of a range text such as "1,3,5-12" or "7-" (to total), as decimal texts in the order written.
// Raises EConvertError for a part that is not a number; the list then holds the numbers added so far.
void qvxParsePageNumbers(const rtl::String& pageNumbers, rtl::TStrings& list, rtl::Integer total);

// Reads a float written with "," or "." as the decimal separator, blanks ignored.
double qvxStrToFloat(const rtl::String& s);
// Whole numbers as the shortest text, others with two decimals (the process's decimal separator).
rtl::String qvxFloatToStr(double x);

// The whole stream (from position 0) as upper-case hexadecimal text, and back (written at position 0).
rtl::String qvxStreamToString(rtl::TStream& stream);
void qvxStringToStream(const rtl::String& s, rtl::TStream& stream);
// The standard CRC-32 of the whole stream; the position is kept.
rtl::Cardinal qvxStreamCRC32(rtl::TStream& stream);
// Pieces of text separated by comma, empty ones included, none after a trailing separator.
void qvxSetCommaText(const rtl::String& text, rtl::TStrings& list, wchar_t comma = L';');

// "Form.Component" or "Form.Frame.Component" through the global components, a bare name among owner's children.
// Any failure on the way raises EClassNotFound "Missing <name>"; a name that is not found gives nullptr.
vcl::TComponent* qvxFindComponent(vcl::TComponent* owner, const rtl::String& name);
// The name qvxFindComponent finds component by, seen from owner.
rtl::String qvxGetFullName(vcl::TComponent* owner, vcl::TComponent* component);

// A rectangle in report units for the engine's overlap tests.
class TqvxRectArea : public rtl::TObject {
 public:
  TqvxRectArea(long double left, long double top, long double right, long double bottom)
      : X(left), Y(top), X1(right), Y1(bottom) {}
  // The component's absolute rectangle on its page.
  explicit TqvxRectArea(const TqvxComponent* component);
  rtl::String ClassName() const override { return L"TqvxRectArea"; }
  // The spans overlap by more than 0.0001.
  bool InterceptsX(const TqvxRectArea& a) const;
  bool InterceptsY(const TqvxRectArea& a) const;
  // The common span (the other coordinates 0), owned by the caller; nullptr when the spans do not overlap.
  TqvxRectArea* InterceptX(const TqvxRectArea& a) const;
  TqvxRectArea* InterceptY(const TqvxRectArea& a) const;

  long double X, Y, X1, Y1;
};

// A new empty file "qv<unique>.tmp" in tempDir (the system's temporary folder when empty); its full name.
rtl::String qvxCreateTempFile(const rtl::String& tempDir);
rtl::String GetAppFileName();
// With the trailing backslash.
rtl::String GetAppPath();
