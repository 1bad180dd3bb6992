#pragma once
// Shared services of the script compiler: the process-wide language registry, the type rules, and the
// conversion of "line:column" position texts.
#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"
#include "script/wz_iparser.h"
#include "script/wz_vartype.h"

// What the compiler's front end needs of the script program it compiles for. The script program implements it;
// tests implement it with a few fields.
class TwzCompilerHost {
public:
  virtual ~TwzCompilerHost() = default;

  // Identifiers may use the characters 128 to 255.
  virtual bool ExtendedCharset() const = 0;
  virtual void SetErrorMsg(const rtl::String& value) = 0;
  virtual void SetErrorPos(const rtl::String& value) = 0;
  virtual rtl::String ErrorUnit() const = 0;
  virtual void SetErrorUnit(const rtl::String& value) = 0;
  // Asks the host's unit handler for a unit's source; false when the program has no handler (the include path
  // is searched then). Exceptions of the handler pass through.
  virtual bool GetUnitText(const rtl::String& unitName, rtl::String& unitText) = 0;
  // Folders searched for units, in order.
  virtual std::vector<rtl::String> IncludePath() const = 0;

  // The type code of the item the program (or a parent) finds under name; false when there is none.
  virtual bool FindTypeCode(const rtl::String& name, TwzVarType& typ) const = 0;
  // True when both names find host classes and derived is ancestor or inherits from it.
  virtual bool ClassInherits(const rtl::String& derived, const rtl::String& ancestor) const = 0;
};

// Language registry: name (ignoring case) to grammar text. Registering an existing name replaces its text and
// takes the new call's spelling of the name.
void wzRegisterLanguage(const rtl::String& name, const rtl::String& grammar);
// Raises SLangNotFound with the name for an unknown language.
rtl::String wzGetLanguage(const rtl::String& name);
// Registered names in registration order.
std::vector<rtl::String> wzLanguageNames();

// Type rules.
struct TwzTypePair {
  TwzVarType Typ = fvtVariant;
  rtl::String TypeName;
};

TwzVarType StrToVarType(const rtl::String& typeName, const TwzCompilerHost* script);
bool ClassesCompatible(const rtl::String& first, const rtl::String& second, const TwzCompilerHost* script);
bool TypesCompatible(const TwzTypePair& target, const TwzTypePair& source, const TwzCompilerHost* script);
// As TypesCompatible, except that a float never goes into an integer by assignment.
bool AssignCompatible(const TwzTypePair& target, const TwzTypePair& source, const TwzCompilerHost* script);

// A literal as the scanner delivers it: empty is Null, a quoted text the string inside the quotes, an integer
// (decimal or "$" hexadecimal) a 32-bit integer when it fits and a 64-bit one otherwise, anything else a real read
// with the locale's decimal separator (the platform's conversion error passes through).
rtl::Variant ParserStringToVariant(const rtl::String& s);

// One argument of the platform's open argument arrays as a variant; pointers become Null.
rtl::Variant VarRecToVariant(const rtl::TVarRec& arg);
// The elements of a one-dimensional variant array as open arguments, for Format and the event adapters. Texts stay
// whole Unicode strings; values of kinds an argument cannot hold (Null, Empty, objects of automation) become 0.
std::vector<rtl::TVarRec> VariantToVarRec(const rtl::Variant& args);
// The arguments own nothing outside themselves; clearing empties the list.
void ClearVarRec(std::vector<rtl::TVarRec>& args);

// "line:column" to a point (X the column, Y the line); (0, 0) for an empty text. Raises the platform's
// conversion error for a text that is no such position.
TwzPoint wzPosToPoint(const rtl::String& pos);
