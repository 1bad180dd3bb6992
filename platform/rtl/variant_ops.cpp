// Arithmetic, logical and comparison operators over variants.
#include <cmath>
#include <limits>

#include "platform/rtl/strings.h"
#include "platform/rtl/variant.h"
#include "platform/rtl/variant_internal.h"

namespace rtl {

namespace {

enum class Cat { Empty, Null, Bool, Int, Real, Cy, Date, Str, Other };

Cat CatOf(const Variant& v) {
  TVarType t = v.VarType();
  switch (t) {
    case varEmpty:
      return Cat::Empty;
    case varNull:
      return Cat::Null;
    case varBoolean:
      return Cat::Bool;
    case varSingle:
    case varDouble:
      return Cat::Real;
    case varCurrency:
      return Cat::Cy;
    case varDate:
      return Cat::Date;
    default:
      if (varimpl::IsIntType(t)) return Cat::Int;
      if (varimpl::IsStrType(t)) return Cat::Str;
      return Cat::Other;
  }
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError(L"Invalid variant operation"); }

bool IsWide(const Variant& v) { return v.VarType() == varInt64 || v.VarType() == varUInt64; }

// The integer result: Integer while both operands were at most 32 bits wide and the value fits.
Variant IntResult(Int64 r, bool wide) {
  if (!wide && r >= std::numeric_limits<Integer>::min() && r <= std::numeric_limits<Integer>::max())
    return Variant(static_cast<int>(r));
  return Variant(static_cast<long long>(r));
}

Variant CheckedReal(double r, double x, double y) {
  if (std::isinf(r) && std::isfinite(x) && std::isfinite(y)) throw EOverflow(L"Floating point overflow");
  if (std::isnan(r) && !std::isnan(x) && !std::isnan(y)) throw EInvalidOp(L"Invalid floating point operation");
  return Variant(r);
}

Variant RealDivide(double x, double y) {
  if (y == 0) {
    if (x == 0 || std::isnan(x)) throw EInvalidOp(L"Invalid floating point operation");
    throw EZeroDivide(L"Floating point division by zero");
  }
  return CheckedReal(x / y, x, y);
}

// A text that reads as True or False takes part in logical operators as a Boolean.
bool TextIsBoolean(const Variant& v, bool& value) {
  String t = Trim(v.AsString());
  if (SameText(t, L"True")) return value = true, true;
  if (SameText(t, L"False")) return value = false, true;
  return false;
}

Variant Logical(TVarOp op, const Variant& a, const Variant& b) {
  Cat ca = CatOf(a), cb = CatOf(b);
  bool ba = false, bb = false;
  bool boolA = ca == Cat::Bool || (ca == Cat::Str && TextIsBoolean(a, ba));
  bool boolB = cb == Cat::Bool || (cb == Cat::Str && TextIsBoolean(b, bb));
  if (boolA && boolB && (ca == Cat::Bool || cb == Cat::Bool)) {
    if (ca == Cat::Bool) ba = a.AsBoolean();
    if (cb == Cat::Bool) bb = b.AsBoolean();
    switch (op) {
      case TVarOp::And:
        return Variant(ba && bb);
      case TVarOp::Or:
        return Variant(ba || bb);
      default:
        return Variant(ba != bb);
    }
  }
  Int64 x = boolA && ca == Cat::Str ? (ba ? -1 : 0) : a.AsInt64();
  Int64 y = boolB && cb == Cat::Str ? (bb ? -1 : 0) : b.AsInt64();
  Int64 r = op == TVarOp::And ? (x & y) : op == TVarOp::Or ? (x | y) : (x ^ y);
  return IntResult(r, IsWide(a) || IsWide(b));
}

Variant Shift(TVarOp op, const Variant& a, const Variant& b) {
  Int64 count = b.AsInt64();
  Int64 value = a.AsInt64();
  if (IsWide(a)) {
    UInt64 u = static_cast<UInt64>(value);
    u = op == TVarOp::ShiftLeft ? u << (count & 63) : u >> (count & 63);
    return Variant(static_cast<long long>(u));
  }
  std::uint32_t u = static_cast<std::uint32_t>(value);
  u = op == TVarOp::ShiftLeft ? u << (count & 31) : u >> (count & 31);
  return Variant(static_cast<int>(static_cast<Integer>(u)));
}

// The neutral value of the other operand's kind, for an Empty operand.
Variant ZeroLike(Cat other) {
  switch (other) {
    case Cat::Str:
      return Variant(String());
    case Cat::Bool:
      return Variant(false);
    default:
      return Variant(0);
  }
}

// Operands are converted into local holders only when their kind changes, so that adding two texts or two
// numbers copies nothing.
Variant Arithmetic(TVarOp op, const Variant& a0, const Variant& b0) {
  Variant holdA, holdB;
  const Variant* pa = &a0;
  const Variant* pb = &b0;
  auto replaceA = [&](Variant v) { holdA = std::move(v), pa = &holdA; };
  auto replaceB = [&](Variant v) { holdB = std::move(v), pb = &holdB; };
  Cat ca = CatOf(*pa), cb = CatOf(*pb);
  if (ca == Cat::Empty && cb == Cat::Empty) {
    replaceA(Variant(0));
    replaceB(Variant(0));
  } else if (ca == Cat::Empty) {
    replaceA(ZeroLike(cb));
  } else if (cb == Cat::Empty) {
    replaceB(ZeroLike(ca));
  }
  ca = CatOf(*pa);
  cb = CatOf(*pb);
  if (op == TVarOp::Add && ca == Cat::Str && cb == Cat::Str) {
    TVarType kind = pa->VarType() == pb->VarType() ? pa->VarType() : TVarType(varUString);
    return Variant::FromString(VariantAccess::Str(*pa) + VariantAccess::Str(*pb), kind);
  }
  if (ca == Cat::Str) replaceA(Variant(pa->AsDouble())), ca = Cat::Real;
  if (cb == Cat::Str) replaceB(Variant(pb->AsDouble())), cb = Cat::Real;
  if (ca == Cat::Bool) replaceA(Variant(pa->AsBoolean() ? -1 : 0)), ca = Cat::Int;
  if (cb == Cat::Bool) replaceB(Variant(pb->AsBoolean() ? -1 : 0)), cb = Cat::Int;
  const Variant& a = *pa;
  const Variant& b = *pb;

  if (op == TVarOp::IntDivide || op == TVarOp::Modulus) {
    Int64 x = a.AsInt64(), y = b.AsInt64();
    if (y == 0) throw EDivByZero(L"Division by zero");
    bool wide = IsWide(a) || IsWide(b);
    if (x == std::numeric_limits<Int64>::min() && y == -1)
      return op == TVarOp::Modulus ? IntResult(0, wide) : Variant(-static_cast<double>(x));
    return IntResult(op == TVarOp::IntDivide ? x / y : x % y, wide);
  }

  if (op == TVarOp::Divide) {
    if (ca == Cat::Cy && cb == Cat::Int) {
      Int64 y = b.AsInt64();
      if (y == 0) return RealDivide(a.AsDouble(), 0);
      return Variant::FromCurrencyScaled(
          static_cast<Int64>(std::nearbyint(static_cast<double>(a.AsCurrencyScaled()) / static_cast<double>(y))));
    }
    return RealDivide(a.AsDouble(), b.AsDouble());
  }

  // Add, Subtract, Multiply.
  if (ca == Cat::Date || cb == Cat::Date) {
    double x = a.AsDouble(), y = b.AsDouble();
    if (op == TVarOp::Multiply) return CheckedReal(x * y, x, y);
    if (op == TVarOp::Subtract) {
      Variant r = CheckedReal(x - y, x, y);
      return ca == Cat::Date && cb == Cat::Date ? r : Variant::FromDate(r.AsDouble());
    }
    return Variant::FromDate(CheckedReal(x + y, x, y).AsDouble());
  }
  if (ca == Cat::Real || cb == Cat::Real) {
    double x = a.AsDouble(), y = b.AsDouble();
    double r = op == TVarOp::Add ? x + y : op == TVarOp::Subtract ? x - y : x * y;
    return CheckedReal(r, x, y);
  }
  if (ca == Cat::Cy || cb == Cat::Cy) {
    Int64 x = a.AsCurrencyScaled(), y = b.AsCurrencyScaled(), r;
    if (op == TVarOp::Multiply) {
      long double p = static_cast<long double>(x) * static_cast<long double>(y) / 10000.0L;
      if (std::fabs(p) < 9.2e18L) return Variant::FromCurrencyScaled(static_cast<Int64>(std::nearbyint(p)));
      return CheckedReal(static_cast<double>(p / 10000.0L), 0, 0);
    }
    bool overflow = op == TVarOp::Add ? __builtin_add_overflow(x, y, &r) : __builtin_sub_overflow(x, y, &r);
    if (!overflow) return Variant::FromCurrencyScaled(r);
    double dx = x / 10000.0, dy = y / 10000.0;
    return Variant(op == TVarOp::Add ? dx + dy : dx - dy);
  }
  if (a.VarType() == varUInt64 || b.VarType() == varUInt64) {
    double x = a.AsDouble(), y = b.AsDouble();
    return Variant(op == TVarOp::Add ? x + y : op == TVarOp::Subtract ? x - y : x * y);
  }
  Int64 x = a.AsInt64(), y = b.AsInt64(), r;
  bool overflow = op == TVarOp::Add        ? __builtin_add_overflow(x, y, &r)
                  : op == TVarOp::Subtract ? __builtin_sub_overflow(x, y, &r)
                                           : __builtin_mul_overflow(x, y, &r);
  if (overflow) {
    double dx = static_cast<double>(x), dy = static_cast<double>(y);
    return Variant(op == TVarOp::Add ? dx + dy : op == TVarOp::Subtract ? dx - dy : dx * dy);
  }
  return IntResult(r, IsWide(a) || IsWide(b));
}

template <class T>
TVariantRelationship Order(T x, T y) {
  if (x < y) return vrLessThan;
  if (y < x) return vrGreaterThan;
  if (x == y) return vrEqual;
  return vrNotEqual;  // NaN
}

}  // namespace

Variant VarOp(TVarOp op, const Variant& a0, const Variant& b0) {
  // Scripts and expressions mostly combine two Integers or two Doubles: answered here, by the same rules as below.
  if (a0.VarType() == varInteger && b0.VarType() == varInteger) {
    const Int64 x = VariantAccess::Val(a0).i8, y = VariantAccess::Val(b0).i8;
    switch (op) {
      case TVarOp::Add:
        return IntResult(x + y, false);
      case TVarOp::Subtract:
        return IntResult(x - y, false);
      case TVarOp::Multiply:
        return IntResult(x * y, false);
      case TVarOp::IntDivide:
      case TVarOp::Modulus:
        if (y == 0) throw EDivByZero(L"Division by zero");
        return IntResult(op == TVarOp::IntDivide ? x / y : x % y, false);
      case TVarOp::Divide:
        return RealDivide(static_cast<double>(x), static_cast<double>(y));
      default:
        break;
    }
  } else if (a0.VarType() == varDouble && b0.VarType() == varDouble) {
    const double x = VariantAccess::Val(a0).r8, y = VariantAccess::Val(b0).r8;
    switch (op) {
      case TVarOp::Add:
        return CheckedReal(x + y, x, y);
      case TVarOp::Subtract:
        return CheckedReal(x - y, x, y);
      case TVarOp::Multiply:
        return CheckedReal(x * y, x, y);
      default:
        break;
    }
  }
  const Variant& a = a0.Deref();
  const Variant& b = b0.Deref();
  Cat ca = CatOf(a), cb = CatOf(b);
  if (ca == Cat::Other || cb == Cat::Other) InvalidOp();
  if (ca == Cat::Null || cb == Cat::Null) return Variant::Null();
  switch (op) {
    case TVarOp::And:
    case TVarOp::Or:
    case TVarOp::Xor:
      return Logical(op, a, b);
    case TVarOp::ShiftLeft:
    case TVarOp::ShiftRight:
      return Shift(op, a, b);
    default:
      return Arithmetic(op, a, b);
  }
}

Variant VarNeg(const Variant& a0) {
  const Variant& a = a0.Deref();
  switch (CatOf(a)) {
    case Cat::Null:
      return a;
    case Cat::Empty:
      return Variant(0);
    case Cat::Bool:
      return Variant(a.AsBoolean() ? 1 : 0);
    case Cat::Int: {
      if (a.VarType() == varUInt64) return Variant(-a.AsDouble());
      Int64 x = a.AsInt64();
      if (x == std::numeric_limits<Int64>::min()) return Variant(-static_cast<double>(x));
      return IntResult(-x, IsWide(a));
    }
    case Cat::Real:
      return a.VarType() == varSingle ? Variant(-static_cast<float>(a.AsDouble())) : Variant(-a.AsDouble());
    case Cat::Cy:
      return Variant::FromCurrencyScaled(-a.AsCurrencyScaled());
    case Cat::Date:
      return Variant::FromDate(-a.AsDouble());
    case Cat::Str:
      return Variant(-a.AsDouble());
    default:
      InvalidOp();
  }
}

Variant VarNot(const Variant& a0) {
  const Variant& a = a0.Deref();
  bool b;
  switch (CatOf(a)) {
    case Cat::Null:
      return a;
    case Cat::Empty:
      return Variant(-1);
    case Cat::Bool:
      return Variant(!a.AsBoolean());
    case Cat::Str:
      if (TextIsBoolean(a, b)) return Variant(!b);
      return IntResult(~a.AsInt64(), false);
    case Cat::Other:
      InvalidOp();
    default:
      return IntResult(~a.AsInt64(), IsWide(a));
  }
}

TVariantRelationship VarCompareValue(const Variant& a0, const Variant& b0) {
  if (a0.VarType() == varInteger && b0.VarType() == varInteger)
    return Order(VariantAccess::Val(a0).i8, VariantAccess::Val(b0).i8);
  const Variant& a = a0.Deref();
  const Variant& b = b0.Deref();
  Cat ca = CatOf(a), cb = CatOf(b);
  if (ca == Cat::Null || cb == Cat::Null) {
    if (ca == cb) return vrEqual;
    return ca == Cat::Null ? vrLessThan : vrGreaterThan;
  }
  if (ca == Cat::Other || cb == Cat::Other) {
    TVarType ta = a.VarType(), tb = b.VarType();
    bool ifA = ta == varDispatch || ta == varUnknown, ifB = tb == varDispatch || tb == varUnknown;
    if (ifA && ifB) return a.AsUnknown() == b.AsUnknown() ? vrEqual : vrNotEqual;
    // An automation reference against nil (0) or Empty.
    if (ifA && (cb == Cat::Int || cb == Cat::Empty))
      return a.AsUnknown() == nullptr && b.AsInt64() == 0 ? vrEqual : vrNotEqual;
    if (ifB && (ca == Cat::Int || ca == Cat::Empty))
      return b.AsUnknown() == nullptr && a.AsInt64() == 0 ? vrEqual : vrNotEqual;
    if (ta == varError && tb == varError) return Order(VariantAccess::Val(a).i8, VariantAccess::Val(b).i8);
    InvalidOp();
  }
  if (ca == Cat::Empty && cb == Cat::Empty) return vrEqual;
  if (ca == Cat::Empty) return VarCompareValue(ZeroLike(cb), b);
  if (cb == Cat::Empty) return VarCompareValue(a, ZeroLike(ca));
  if (ca == Cat::Str && cb == Cat::Str) {
    int c = VariantAccess::Str(a).compare(VariantAccess::Str(b));
    return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
  }
  if (ca == Cat::Bool || cb == Cat::Bool) {
    if (ca == Cat::Str || cb == Cat::Str || (ca == Cat::Bool && cb == Cat::Bool))
      return Order<int>(a.AsBoolean() ? 1 : 0, b.AsBoolean() ? 1 : 0);
    return Order(a.AsDouble(), b.AsDouble());
  }
  if (ca == Cat::Date || cb == Cat::Date) return Order(a.AsDateTime(), b.AsDateTime());
  if (ca == Cat::Int && cb == Cat::Int && a.VarType() != varUInt64 && b.VarType() != varUInt64)
    return Order(a.AsInt64(), b.AsInt64());
  if (ca == Cat::Cy && cb == Cat::Cy) return Order(a.AsCurrencyScaled(), b.AsCurrencyScaled());
  return Order(a.AsDouble(), b.AsDouble());
}

bool VarSameValue(const Variant& a, const Variant& b) {
  try {
    return VarCompareValue(a, b) == vrEqual;
  } catch (const EVariantError&) {
    return false;
  }
}

Variant operator+(const Variant& a, const Variant& b) { return VarOp(TVarOp::Add, a, b); }
Variant operator-(const Variant& a, const Variant& b) { return VarOp(TVarOp::Subtract, a, b); }
Variant operator*(const Variant& a, const Variant& b) { return VarOp(TVarOp::Multiply, a, b); }
Variant operator/(const Variant& a, const Variant& b) { return VarOp(TVarOp::Divide, a, b); }
Variant operator%(const Variant& a, const Variant& b) { return VarOp(TVarOp::Modulus, a, b); }
Variant operator-(const Variant& a) { return VarNeg(a); }
bool operator==(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }
bool operator!=(const Variant& a, const Variant& b) { return VarCompareValue(a, b) != vrEqual; }
bool operator<(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrLessThan; }
bool operator<=(const Variant& a, const Variant& b) {
  TVariantRelationship r = VarCompareValue(a, b);
  return r == vrLessThan || r == vrEqual;
}
bool operator>(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrGreaterThan; }
bool operator>=(const Variant& a, const Variant& b) {
  TVariantRelationship r = VarCompareValue(a, b);
  return r == vrGreaterThan || r == vrEqual;
}

}  // namespace rtl
