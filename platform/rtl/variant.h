#pragma once
// The tagged value that scripts, report expressions, dataset fields and late binding pass around.
//
// Rules worth knowing (the whole program relies on them):
//  - Null propagates through arithmetic and the logical operators (Null + 1 is Null, not Null is Null).
//  - Comparisons: Null equals Null and differs from every other value; in ordering Null is below every other value
//    (Null < 1, not Null < Null).
//  - Converting Null to a number, a Boolean, a date or a text raises EVariantTypeCastError; VarToStr gives ''.
//    Empty converts to 0, False or ''.
//  - A text taking part in arithmetic or compared with a number converts with StrToFloat under the current
//    FormatSettings (so "1,5" is one and a half under a Turkish locale). Text compared with text is ordinal and
//    case-sensitive (UTF-16 code units).
//  - Booleans as numbers are 0 and -1 (all bits set), as in COM; as text "True" and "False".
//  - Integer arithmetic that leaves the 32-bit range goes on in 64 bits; beyond that in Double.
//  - Object references are carried as varInt64 so that a 64-bit pointer survives the trip.
//  - Variant arrays have value semantics: copying a variant copies its array.
//  - Texts are shared between copies (a reference count) and never changed while shared, so copying a variant is
//    cheap whatever it holds but an array.
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

struct IDispatch;
struct IUnknown;
struct tagVARIANT;

namespace rtl {

class TObject;

using TVarType = Word;

enum : TVarType {
  varEmpty = 0x0000,
  varNull = 0x0001,
  varSmallint = 0x0002,
  varInteger = 0x0003,
  varSingle = 0x0004,
  varDouble = 0x0005,
  varCurrency = 0x0006,
  varDate = 0x0007,
  varOleStr = 0x0008,
  varDispatch = 0x0009,
  varError = 0x000A,
  varBoolean = 0x000B,
  varVariant = 0x000C,
  varUnknown = 0x000D,
  varShortInt = 0x0010,
  varByte = 0x0011,
  varWord = 0x0012,
  varLongWord = 0x0013,
  varInt64 = 0x0014,
  varUInt64 = 0x0015,
  varStrArg = 0x0048,
  varString = 0x0100,
  varAny = 0x0101,
  varUString = 0x0102,
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
  varByRef = 0x4000,
};

RTL_EXCEPTION_CLASS(EVariantTypeCastError, EVariantError);
RTL_EXCEPTION_CLASS(EVariantOverflowError, EVariantError);
RTL_EXCEPTION_CLASS(EVariantInvalidOpError, EVariantError);
RTL_EXCEPTION_CLASS(EVariantBadIndexError, EVariantError);
RTL_EXCEPTION_CLASS(EVariantNotAnArrayError, EVariantError);
RTL_EXCEPTION_CLASS(EVariantArrayCreateError, EVariantError);
RTL_EXCEPTION_CLASS(EVariantInvalidArgError, EVariantError);

struct VarArrayData;

// The text of a string variant, shared by its copies.
struct VarText {
  std::atomic<long> refs;
  String text;
};

class Variant {
public:
  Variant() noexcept : type_(varEmpty) { val_.i8 = 0; }
  // Scalars copy as they are; only texts, arrays and interfaces need the out-of-line part.
  [[gnu::always_inline]] Variant(const Variant& other) : type_(other.type_) {
    val_ = other.val_;
    if (OwnsData(type_)) ShareData();
  }
  [[gnu::always_inline]] Variant(Variant&& other) noexcept : type_(other.type_) {
    val_ = other.val_;
    other.type_ = varEmpty;
    other.val_.i8 = 0;
  }
  [[gnu::always_inline]] Variant& operator=(const Variant& other) {
    if (!OwnsData(type_) && !OwnsData(other.type_)) {
      type_ = other.type_;
      val_ = other.val_;
      return *this;
    }
    return AssignSlow(other);
  }
  [[gnu::always_inline]] Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      // Taken out first: other may live inside the array this variant is about to free.
      const TVarType t = other.type_;
      const auto v = other.val_;
      other.type_ = varEmpty;
      other.val_.i8 = 0;
      if (OwnsData(type_)) ReleaseData();
      type_ = t;
      val_ = v;
    }
    return *this;
  }
  [[gnu::always_inline]] ~Variant() {
    if (OwnsData(type_)) ReleaseData();
  }

  Variant(bool v) noexcept : type_(varBoolean) {
    val_.i8 = 0;
    val_.b = v;
  }
  Variant(signed char v) noexcept : type_(varShortInt) { val_.i8 = v; }
  Variant(unsigned char v) noexcept : type_(varByte) { val_.i8 = v; }
  Variant(short v) noexcept : type_(varSmallint) { val_.i8 = v; }
  Variant(unsigned short v) noexcept : type_(varWord) { val_.i8 = v; }
  Variant(int v) noexcept : type_(varInteger) { val_.i8 = v; }
  Variant(long v) noexcept : type_(varInteger) { val_.i8 = v; }
  Variant(unsigned v) noexcept : type_(varLongWord) { val_.i8 = v; }
  Variant(unsigned long v) noexcept : type_(varLongWord) { val_.i8 = v; }
  Variant(long long v) noexcept : type_(varInt64) { val_.i8 = v; }
  Variant(unsigned long long v) noexcept : type_(varUInt64) { val_.u8 = v; }
  Variant(float v) noexcept : type_(varSingle) {
    val_.i8 = 0;
    val_.r4 = v;
  }
  Variant(double v) noexcept : type_(varDouble) { val_.r8 = v; }
  // A character is a one-character text.
  Variant(wchar_t v) : type_(varUString) { val_.txt = NewText(String(1, v)); }
  Variant(const wchar_t* v) : type_(varUString) { val_.txt = v && *v ? NewText(String(v)) : nullptr; }
  Variant(wchar_t* v) : Variant(static_cast<const wchar_t*>(v)) {}
  Variant(const String& v) : type_(varUString) { val_.txt = v.empty() ? nullptr : NewText(String(v)); }
  Variant(String&& v) : type_(varUString) { val_.txt = v.empty() ? nullptr : NewText(std::move(v)); }
  // Takes its own reference (AddRef); the caller keeps the one it has.
  Variant(IDispatch* v);
  // Pointers would otherwise turn into Booleans: objects go through FromObject, narrow text is not text.
  template <class T>
  Variant(T*) = delete;
  Variant(char) = delete;

  static Variant Null();
  static Variant Unassigned() { return Variant(); }
  static Variant FromDate(TDateTime v);
  // Currency is a 64-bit integer scaled by 10000; the double is rounded to four decimals.
  static Variant FromCurrency(double v);
  static Variant FromCurrencyScaled(Int64 scaled);
  static Variant FromString(const String& v, TVarType kind = varUString);
  static Variant FromObject(const TObject* object);
  static Variant FromUnknown(IUnknown* v);
  static Variant FromError(Integer scode);
  // A reference to target, which must outlive the variant; reading and writing go through to target.
  static Variant ByRef(Variant* target);

  // The stored type code, array and by-reference flags included.
  TVarType VarType() const { return type_; }
  bool IsEmpty() const { return Deref().type_ == varEmpty; }
  bool IsNull() const { return Deref().type_ == varNull; }
  bool IsArray() const { return (Deref().type_ & varArray) != 0; }
  bool IsString() const;
  bool IsNumeric() const;
  // The referenced variant for a by-reference variant, else this one.
  const Variant& Deref() const { return type_ == (varByRef | varVariant) ? *val_.ref : *this; }
  Variant& Deref() { return type_ == (varByRef | varVariant) ? *val_.ref : *this; }

  Integer AsInteger() const { return type_ == varInteger ? static_cast<Integer>(val_.i8) : AsIntegerSlow(); }
  Int64 AsInt64() const { return type_ == varInteger || type_ == varInt64 ? val_.i8 : AsInt64Slow(); }
  double AsDouble() const { return type_ == varDouble ? val_.r8 : AsDoubleSlow(); }
  double AsCurrency() const;
  Int64 AsCurrencyScaled() const;
  bool AsBoolean() const { return type_ == varBoolean ? val_.b : AsBooleanSlow(); }
  String AsString() const;
  TDateTime AsDateTime() const;
  // The object whose reference this integer variant holds; nil for 0, Empty and Null.
  TObject* AsObject() const;
  // Not AddRef'ed: valid as long as the variant holds it. Raises unless the value is an automation object.
  IDispatch* AsDispatch() const;
  IUnknown* AsUnknown() const;
  // The value converted to type (varEmpty, varNull, a simple type code or varVariant for a plain copy).
  Variant AsType(TVarType type) const;

  // Arrays: dim is 1-based.
  int DimCount() const;
  Integer LowBound(int dim) const;
  Integer HighBound(int dim) const;
  TVarType ElementType() const;
  // Element at the given indexes, one per dimension; EVariantBadIndexError outside the bounds.
  const Variant& Element(std::initializer_list<Integer> indexes) const;
  const Variant& Element(const Integer* indexes, int count) const;
  // Writing converts the value to the array's element type unless that is varVariant.
  void PutElement(std::initializer_list<Integer> indexes, const Variant& value);
  void PutElement(const Integer* indexes, int count, const Variant& value);
  // Element access of a one-dimensional array.
  const Variant& operator[](Integer index) const { return Element(&index, 1); }

  void Clear() {
    if (OwnsData(type_)) ReleaseData();
    type_ = varEmpty;
    val_.i8 = 0;
  }

  // Appends text to a string variant in place when no copy shares its text (amortised constant time); otherwise
  // the variant gets a text of its own first. The variant must hold a string.
  void AppendText(const String& text);
  // Makes this a text variant (varUString) holding text, as assigning Variant(text) would; when no copy shares
  // its present text, that text's room is filled again instead of a new one being made.
  void AssignText(const String& text);
  // Both hold the very same shared text (one was copied from the other and neither has changed since).
  bool SharesTextWith(const Variant& other) const {
    return type_ == other.type_ && (type_ == varOleStr || type_ == varString || type_ == varUString) &&
           val_.txt == other.val_.txt;
  }

private:
  friend Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType);
  friend void VarArrayRedim(Variant& a, Integer highBound);
  friend struct VariantAccess;

  Integer AsIntegerSlow() const;
  Int64 AsInt64Slow() const;
  double AsDoubleSlow() const;
  bool AsBooleanSlow() const;

  // Texts, arrays and interfaces; a by-reference variant owns nothing.
  // Numbers, Booleans, Empty and Null come first and answer with one comparison: every variant passes through here
  // on each copy, assignment and destruction.
  [[gnu::always_inline]] static bool OwnsData(TVarType t) noexcept {
    if (t < varOleStr) [[likely]]
      return false;
    if (t < varString) return t < 64 && ((std::uint64_t{1} << varOleStr | std::uint64_t{1} << varDispatch |
                                          std::uint64_t{1} << varUnknown) >> t & 1) != 0;
    return (t & varByRef) == 0;
  }
  static VarText* NewText(String&& text);
  static const String& EmptyText();
  const String& Text() const noexcept { return val_.txt ? val_.txt->text : EmptyText(); }
  // After val_ was copied from another variant: a reference of this variant's own (a copy, for an array).
  void ShareData();
  void ReleaseData() noexcept;
  Variant& AssignSlow(const Variant& other);
  VarArrayData& ArrayData() const;
  Variant& ElementRef(const Integer* indexes, int count);

  TVarType type_;
  union {
    bool b;
    Int64 i8;
    UInt64 u8;
    float r4;
    double r8;
    IUnknown* unk;
    IDispatch* disp;
    Variant* ref;
    VarArrayData* arr;
    VarText* txt;  // string types; nil for the empty text
  } val_;
};

struct VarArrayData {
  TVarType elementType = varVariant;
  std::vector<Integer> lows, highs;  // per dimension
  std::vector<Variant> items;        // the first index varies fastest
};

// Type tests.
inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
// Empty, or an automation object reference that is nil.
bool VarIsClear(const Variant& v);
bool VarIsNumeric(const Variant& v);
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
bool VarIsStr(const Variant& v);
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
// "Integer", "UnicodeString", "Array Variant", "ByRef Variant"...
String VarTypeAsText(TVarType type);

// Conversions.
// Null and Empty give ''.
String VarToStr(const Variant& v);
String VarToStrDef(const Variant& v, const String& def);
inline String VarToWideStr(const Variant& v) { return VarToStr(v); }
Variant VarAsType(const Variant& v, TVarType type);
TDateTime VarToDateTime(const Variant& v);
Variant VarFromDateTime(TDateTime v);
inline Variant VarFromObject(const TObject* o) { return Variant::FromObject(o); }
inline TObject* VarToObject(const Variant& v) { return v.AsObject(); }
// Raises EVariantTypeCastError unless v holds an automation object; not AddRef'ed.
IDispatch* VarToDispatch(const Variant& v);

// Arrays. bounds holds the low and high bound of each dimension in turn; a high bound of low - 1 makes an empty
// dimension.
Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType);
Variant VarArrayOf(const std::vector<Variant>& values);
int VarArrayDimCount(const Variant& a);
Integer VarArrayLowBound(const Variant& a, int dim);
Integer VarArrayHighBound(const Variant& a, int dim);
// Changes the high bound of the last dimension, keeping the elements that remain.
void VarArrayRedim(Variant& a, Integer highBound);

// Operators.
enum class TVarOp { Add, Subtract, Multiply, Divide, IntDivide, Modulus, ShiftLeft, ShiftRight, And, Or, Xor };
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

Variant VarOp(TVarOp op, const Variant& a, const Variant& b);
Variant VarNeg(const Variant& a);
Variant VarNot(const Variant& a);
// Raises EVariantTypeCastError when the values cannot be compared (a non-numeric text against a number);
// vrNotEqual for values that have no order (two different automation objects).
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// Equality without raising: values that cannot be compared are not the same.
bool VarSameValue(const Variant& a, const Variant& b);

Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
// Integer remainder (mod); integer division is VarOp(TVarOp::IntDivide, ...).
Variant operator%(const Variant& a, const Variant& b);
Variant operator-(const Variant& a);
bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

// Test output (GoogleTest finds it): the type name and the value, "UnicodeString 'abc'".
void PrintTo(const Variant& v, std::ostream* os);

// COM VARIANT conversions for late binding. dest must be initialised (VariantInit); the caller clears it.
// By-reference variants are passed as the value they refer to; strings become BSTRs, arrays SAFEARRAYs.
void VariantToOle(const Variant& v, tagVARIANT& dest);
// By-reference COM variants are read through; BSTR becomes varOleStr; DECIMAL becomes Double.
Variant OleToVariant(const tagVARIANT& source);

}  // namespace rtl
