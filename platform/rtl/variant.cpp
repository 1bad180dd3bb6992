#include "platform/rtl/variant.h"

#include <cfenv>
#include <cmath>
#include <limits>
#include <memory>
#include <ostream>

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/variant_internal.h"
#include "platform/rtl/win.h"
#include <oaidl.h>
#include <ole2.h>

namespace rtl {

// ---- life cycle

VarText* Variant::NewText(String&& text) { return new VarText{{1}, std::move(text)}; }

const String& Variant::EmptyText() {
  static const String empty;
  return empty;
}

void Variant::ShareData() {
  if (type_ & varArray) {
    val_.arr = new VarArrayData(*val_.arr);
  } else if (type_ == varDispatch) {
    if (val_.disp) val_.disp->AddRef();
  } else if (type_ == varUnknown) {
    if (val_.unk) val_.unk->AddRef();
  } else if (val_.txt) {
    val_.txt->refs.fetch_add(1, std::memory_order_relaxed);
  }
}

void Variant::ReleaseData() noexcept {
  if (type_ & varArray) {
    delete val_.arr;
  } else if (type_ == varDispatch) {
    if (val_.disp) val_.disp->Release();
  } else if (type_ == varUnknown) {
    if (val_.unk) val_.unk->Release();
  } else if (val_.txt && val_.txt->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete val_.txt;
  }
}

Variant& Variant::AssignSlow(const Variant& other) {
  if (this != &other) {
    Variant copy(other);  // other may live inside our own array
    *this = std::move(copy);
  }
  return *this;
}

void Variant::AssignText(const String& text) {
  if (type_ == varUString && val_.txt && !text.empty() && val_.txt->refs.load(std::memory_order_acquire) == 1) {
    val_.txt->text.assign(text);
    return;
  }
  VarText* own = text.empty() ? nullptr : NewText(String(text));
  if (OwnsData(type_)) ReleaseData();
  type_ = varUString;
  val_.i8 = 0;
  val_.txt = own;
}

void Variant::AppendText(const String& text) {
  Variant& v = Deref();
  if (!varimpl::IsStrType(v.type_)) throw EVariantInvalidOpError(L"Invalid variant operation");
  if (text.empty()) return;
  if (!v.val_.txt) {
    v.val_.txt = NewText(String(text));
  } else if (v.val_.txt->refs.load(std::memory_order_acquire) == 1) {
    v.val_.txt->text += text;
  } else {
    String joined;
    joined.reserve(v.val_.txt->text.size() + text.size());
    joined = v.val_.txt->text;
    joined += text;
    VarText* own = NewText(std::move(joined));
    v.ReleaseData();
    v.val_.txt = own;
  }
}

Variant::Variant(IDispatch* v) : type_(varDispatch) {
  val_.disp = v;
  if (v) v->AddRef();
}

Variant Variant::Null() {
  Variant v;
  v.type_ = varNull;
  return v;
}

Variant Variant::FromDate(TDateTime d) {
  Variant v;
  v.type_ = varDate;
  v.val_.r8 = d;
  return v;
}

Variant Variant::FromCurrency(double d) {
  double scaled = std::nearbyint(d * 10000.0);
  if (!(std::fabs(scaled) < 9.2e18))
    throw EVariantOverflowError(L"Overflow while converting variant of type (Double) into type (Currency)");
  return FromCurrencyScaled(static_cast<Int64>(scaled));
}

Variant Variant::FromCurrencyScaled(Int64 scaled) {
  Variant v;
  v.type_ = varCurrency;
  v.val_.i8 = scaled;
  return v;
}

Variant Variant::FromString(const String& s, TVarType kind) {
  Variant v(s);
  if (kind == varOleStr || kind == varString || kind == varUString) v.type_ = kind;
  return v;
}

Variant Variant::FromObject(const TObject* object) {
  return Variant(static_cast<long long>(reinterpret_cast<std::intptr_t>(object)));
}

Variant Variant::FromUnknown(IUnknown* u) {
  Variant v;
  v.type_ = varUnknown;
  v.val_.unk = u;
  if (u) u->AddRef();
  return v;
}

Variant Variant::FromError(Integer scode) {
  Variant v;
  v.type_ = varError;
  v.val_.i8 = scode;
  return v;
}

Variant Variant::ByRef(Variant* target) {
  Variant v;
  v.type_ = varByRef | varVariant;
  v.val_.ref = &target->Deref();
  return v;
}

bool Variant::IsString() const {
  TVarType t = Deref().type_;
  return t == varOleStr || t == varString || t == varUString;
}

bool Variant::IsNumeric() const { return VarIsNumeric(*this); }

// ---- conversions

namespace {

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError(L"Could not convert variant of type (" + VarTypeAsText(from) + L") into type (" +
                              VarTypeAsText(to) + L")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError(L"Overflow while converting variant of type (" + VarTypeAsText(from) + L") into type (" +
                              VarTypeAsText(to) + L")");
}

// Half to even, as COM converts reals to integers.
bool RealToInt64(double d, Int64& out) {
  if (std::isnan(d)) return false;
  double r = std::nearbyint(d);
  if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) return false;
  out = static_cast<Int64>(r);
  return true;
}

bool TextToDouble(const String& s, double& out) {
  if (TryStrToFloat(s, out)) return true;
  Int64 i;
  if (TryStrToInt64(Trim(s), i)) {  // "$1F" style hexadecimal
    out = static_cast<double>(i);
    return true;
  }
  return false;
}

}  // namespace

namespace varimpl {

bool IsStrType(TVarType t) { return t == varOleStr || t == varString || t == varUString; }

bool IsIntType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
      return true;
    default:
      return false;
  }
}

}  // namespace varimpl

Int64 Variant::AsInt64Slow() const {
  const Variant& v = Deref();
  switch (v.type_) {
    case varEmpty:
      return 0;
    case varBoolean:
      return v.val_.b ? -1 : 0;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varError:
      return v.val_.i8;
    case varUInt64:
      if (v.val_.u8 > static_cast<UInt64>(std::numeric_limits<Int64>::max())) OverflowError(v.type_, varInt64);
      return v.val_.i8;
    case varSingle:
    case varDouble:
    case varDate: {
      Int64 r;
      if (!RealToInt64(v.type_ == varSingle ? v.val_.r4 : v.val_.r8, r)) OverflowError(v.type_, varInt64);
      return r;
    }
    case varCurrency: {
      // Half to even on the scaled value.
      Int64 q = v.val_.i8 / 10000, rem = v.val_.i8 % 10000;
      if (rem > 5000 || (rem == 5000 && (q & 1))) ++q;
      if (rem < -5000 || (rem == -5000 && (q & 1))) --q;
      return q;
    }
    case varOleStr:
    case varString:
    case varUString: {
      Int64 r;
      if (TryStrToInt64(Trim(v.Text()), r)) return r;
      double d;
      if (!TryStrToFloat(v.Text(), d)) CastError(v.type_, varInt64);
      if (!RealToInt64(d, r)) OverflowError(v.type_, varInt64);
      return r;
    }
    default:
      CastError(v.type_, varInt64);
  }
}

Integer Variant::AsIntegerSlow() const {
  const Variant& v = Deref();
  if (v.type_ == varNull) CastError(varNull, varInteger);
  Int64 r;
  try {
    r = v.AsInt64();
  } catch (const EVariantTypeCastError&) {
    CastError(v.type_, varInteger);
  } catch (const EVariantOverflowError&) {
    OverflowError(v.type_, varInteger);
  }
  if (r < std::numeric_limits<Integer>::min() || r > std::numeric_limits<Integer>::max())
    OverflowError(v.type_, varInteger);
  return static_cast<Integer>(r);
}

double Variant::AsDoubleSlow() const {
  const Variant& v = Deref();
  switch (v.type_) {
    case varEmpty:
      return 0;
    case varBoolean:
      return v.val_.b ? -1 : 0;
    case varSingle:
      return v.val_.r4;
    case varDouble:
    case varDate:
      return v.val_.r8;
    case varCurrency:
      return static_cast<double>(v.val_.i8) / 10000.0;
    case varUInt64:
      return static_cast<double>(v.val_.u8);
    case varOleStr:
    case varString:
    case varUString: {
      double d;
      if (!TextToDouble(v.Text(), d)) CastError(v.type_, varDouble);
      return d;
    }
    default:
      if (varimpl::IsIntType(v.type_)) return static_cast<double>(v.val_.i8);
      CastError(v.type_, varDouble);
  }
}

Int64 Variant::AsCurrencyScaled() const {
  const Variant& v = Deref();
  if (v.type_ == varCurrency) return v.val_.i8;
  if (varimpl::IsIntType(v.type_) || v.type_ == varBoolean || v.type_ == varEmpty) {
    Int64 i = v.AsInt64();
    if (i > 922337203685477LL || i < -922337203685477LL) OverflowError(v.type_, varCurrency);
    return i * 10000;
  }
  double d;
  try {
    d = v.AsDouble();
  } catch (const EVariantTypeCastError&) {
    CastError(v.type_, varCurrency);
  }
  double scaled = std::nearbyint(d * 10000.0);
  if (!(std::fabs(scaled) < 9.2e18)) OverflowError(v.type_, varCurrency);
  return static_cast<Int64>(scaled);
}

double Variant::AsCurrency() const { return static_cast<double>(AsCurrencyScaled()) / 10000.0; }

bool Variant::AsBooleanSlow() const {
  const Variant& v = Deref();
  switch (v.type_) {
    case varEmpty:
      return false;
    case varBoolean:
      return v.val_.b;
    case varSingle:
      return v.val_.r4 != 0;
    case varDouble:
    case varDate:
      return v.val_.r8 != 0;
    case varCurrency:
      return v.val_.i8 != 0;
    case varOleStr:
    case varString:
    case varUString: {
      String t = Trim(v.Text());
      if (SameText(t, L"True")) return true;
      if (SameText(t, L"False")) return false;
      double d;
      if (!TextToDouble(t, d)) CastError(v.type_, varBoolean);
      return d != 0;
    }
    default:
      if (varimpl::IsIntType(v.type_)) return v.val_.i8 != 0;
      CastError(v.type_, varBoolean);
  }
}

String Variant::AsString() const {
  const Variant& v = Deref();
  switch (v.type_) {
    case varEmpty:
      return String();
    case varBoolean:
      return v.val_.b ? L"True" : L"False";
    case varSingle:
      return FloatToStrF(v.val_.r4, ffGeneral, 7, 0);
    case varDouble:
      return FloatToStr(v.val_.r8);
    case varCurrency:
      return CurrToStr(static_cast<double>(v.val_.i8) / 10000.0);
    case varDate:
      // As the system's own variant conversion does: a time of day (no date part) reads as the time alone, not as a
      // time on 30.12.1899.
      if (v.val_.r8 > 0 && v.val_.r8 < 1) return TimeToStr(v.val_.r8);
      return DateTimeToStr(v.val_.r8);
    case varUInt64:
      return UIntToStr(v.val_.u8);
    case varOleStr:
    case varString:
    case varUString:
      return v.Text();
    default:
      if (varimpl::IsIntType(v.type_)) return IntToStr(v.val_.i8);
      CastError(v.type_, varUString);
  }
}

TDateTime Variant::AsDateTime() const {
  const Variant& v = Deref();
  if (varimpl::IsStrType(v.type_)) {
    TDateTime d;
    if (TryStrToDateTime(v.Text(), d)) return d;
    if (TextToDouble(v.Text(), d)) return d;
    CastError(v.type_, varDate);
  }
  try {
    return v.AsDouble();
  } catch (const EVariantTypeCastError&) {
    CastError(v.type_, varDate);
  }
}

TObject* Variant::AsObject() const {
  const Variant& v = Deref();
  if (v.type_ == varEmpty || v.type_ == varNull) return nullptr;
  if (!varimpl::IsIntType(v.type_)) CastError(v.type_, varInt64);
  return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(v.val_.i8));
}

IDispatch* Variant::AsDispatch() const {
  const Variant& v = Deref();
  if (v.type_ == varDispatch) return v.val_.disp;
  if (v.type_ == varUnknown && v.val_.unk) {
    IDispatch* d = nullptr;
    if (SUCCEEDED(v.val_.unk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) && d) {
      d->Release();  // the variant's own reference keeps the object alive
      return d;
    }
  }
  CastError(v.type_, varDispatch);
}

IUnknown* Variant::AsUnknown() const {
  const Variant& v = Deref();
  if (v.type_ == varUnknown) return v.val_.unk;
  if (v.type_ == varDispatch) return static_cast<IUnknown*>(v.val_.disp);
  CastError(v.type_, varUnknown);
}

Variant Variant::AsType(TVarType type) const {
  const Variant& v = Deref();
  if (type == varVariant || type == v.type_) return v;
  if (type == varEmpty) return Variant();
  if (type == varNull) return Null();
  if (v.type_ == varNull) CastError(varNull, type);
  auto ranged = [&](Int64 lo, Int64 hi) {
    Int64 i;
    try {
      i = v.AsInt64();
    } catch (const EVariantTypeCastError&) {
      CastError(v.type_, type);
    } catch (const EVariantOverflowError&) {
      OverflowError(v.type_, type);
    }
    if (i < lo || i > hi) OverflowError(v.type_, type);
    Variant r;
    r.type_ = type;
    r.val_.i8 = i;
    return r;
  };
  switch (type) {
    case varSmallint:
      return ranged(-32768, 32767);
    case varInteger:
      return ranged(std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max());
    case varShortInt:
      return ranged(-128, 127);
    case varByte:
      return ranged(0, 255);
    case varWord:
      return ranged(0, 65535);
    case varLongWord:
      return ranged(0, 4294967295LL);
    case varInt64:
      return ranged(std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max());
    case varUInt64: {
      if (v.type_ == varUInt64) return v;
      Variant r = ranged(0, std::numeric_limits<Int64>::max());
      r.type_ = varUInt64;
      return r;
    }
    case varSingle: {
      double d = v.AsDouble();
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) OverflowError(v.type_, type);
      return Variant(static_cast<float>(d));
    }
    case varDouble:
      return Variant(v.AsDouble());
    case varCurrency:
      return FromCurrencyScaled(v.AsCurrencyScaled());
    case varDate:
      return FromDate(v.AsDateTime());
    case varBoolean:
      return Variant(v.AsBoolean());
    case varOleStr:
    case varString:
    case varUString:
      return FromString(v.AsString(), type);
    case varDispatch:
      return Variant(v.AsDispatch());
    case varUnknown:
      return FromUnknown(v.AsUnknown());
    default:
      CastError(v.type_, type);
  }
}

// ---- arrays

VarArrayData& Variant::ArrayData() const {
  const Variant& v = Deref();
  if (!(v.type_ & varArray)) throw EVariantNotAnArrayError(L"Variant is not an array");
  return *v.val_.arr;
}

int Variant::DimCount() const { return IsArray() ? static_cast<int>(ArrayData().lows.size()) : 0; }

Integer Variant::LowBound(int dim) const {
  VarArrayData& a = ArrayData();
  if (dim < 1 || dim > static_cast<int>(a.lows.size()))
    throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
  return a.lows[dim - 1];
}

Integer Variant::HighBound(int dim) const {
  VarArrayData& a = ArrayData();
  if (dim < 1 || dim > static_cast<int>(a.highs.size()))
    throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
  return a.highs[dim - 1];
}

TVarType Variant::ElementType() const { return ArrayData().elementType; }

Variant& Variant::ElementRef(const Integer* indexes, int count) {
  VarArrayData& a = ArrayData();
  if (count != static_cast<int>(a.lows.size()))
    throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
  size_t offset = 0, stride = 1;
  for (int d = 0; d < count; ++d) {
    if (indexes[d] < a.lows[d] || indexes[d] > a.highs[d])
      throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
    offset += static_cast<size_t>(indexes[d] - a.lows[d]) * stride;
    stride *= static_cast<size_t>(a.highs[d] - a.lows[d] + 1);
  }
  return a.items[offset];
}

const Variant& Variant::Element(const Integer* indexes, int count) const {
  return const_cast<Variant*>(this)->ElementRef(indexes, count);
}

const Variant& Variant::Element(std::initializer_list<Integer> indexes) const {
  return Element(indexes.begin(), static_cast<int>(indexes.size()));
}

void Variant::PutElement(const Integer* indexes, int count, const Variant& value) {
  Variant& slot = ElementRef(indexes, count);
  TVarType t = ArrayData().elementType;
  if (t == varVariant)
    slot = value.Deref();
  else
    slot = value.AsType(t);
}

void Variant::PutElement(std::initializer_list<Integer> indexes, const Variant& value) {
  PutElement(indexes.begin(), static_cast<int>(indexes.size()), value);
}

namespace {

// The value a new element of a typed array starts with.
Variant DefaultElement(TVarType type) {
  switch (type) {
    case varVariant:
      return Variant();
    case varOleStr:
    case varString:
    case varUString:
      return Variant::FromString(String(), type);
    case varDispatch:
      return Variant(static_cast<IDispatch*>(nullptr));
    case varUnknown:
      return Variant::FromUnknown(nullptr);
    case varError:
      return Variant::FromError(0);
    case varBoolean:
      return Variant(false);
    case varDate:
      return Variant::FromDate(0);
    default:
      return Variant(0).AsType(type);
  }
}

}  // namespace

Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType) {
  if (bounds.empty() || bounds.size() % 2 != 0) throw EVariantArrayCreateError(L"Error creating variant or safe array");
  switch (elementType) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varDispatch:
    case varError:
    case varBoolean:
    case varVariant:
    case varUnknown:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varString:
    case varUString:
      break;
    default:
      throw EVariantArrayCreateError(L"Error creating variant or safe array");
  }
  auto data = std::make_unique<VarArrayData>();
  try {
    data->elementType = elementType;
    size_t total = 1;
    for (size_t i = 0; i < bounds.size(); i += 2) {
      Int64 n = static_cast<Int64>(bounds[i + 1]) - bounds[i] + 1;
      if (n < 0 || n > 0x7FFFFFFF) throw EVariantArrayCreateError(L"Error creating variant or safe array");
      data->lows.push_back(bounds[i]);
      data->highs.push_back(bounds[i + 1]);
      total *= static_cast<size_t>(n);
    }
    data->items.assign(total, DefaultElement(elementType));
  } catch (const std::exception&) {  // too large
    throw EVariantArrayCreateError(L"Error creating variant or safe array");
  }
  Variant v;
  v.type_ = varArray | elementType;
  v.val_.arr = data.release();
  return v;
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  Variant a = VarArrayCreate({0, static_cast<Integer>(values.size()) - 1}, varVariant);
  for (size_t i = 0; i < values.size(); ++i) a.PutElement({static_cast<Integer>(i)}, values[i]);
  return a;
}

int VarArrayDimCount(const Variant& a) { return a.DimCount(); }
Integer VarArrayLowBound(const Variant& a, int dim) { return a.LowBound(dim); }
Integer VarArrayHighBound(const Variant& a, int dim) { return a.HighBound(dim); }

void VarArrayRedim(Variant& a, Integer highBound) {
  VarArrayData& d = a.ArrayData();
  Integer low = d.lows.back();
  if (static_cast<Int64>(highBound) < static_cast<Int64>(low) - 1)
    throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
  // The last dimension varies slowest, so redimensioning it keeps the other elements in place.
  size_t inner = 1;
  for (size_t i = 0; i + 1 < d.lows.size(); ++i) inner *= static_cast<size_t>(d.highs[i] - d.lows[i] + 1);
  d.highs.back() = highBound;
  d.items.resize(inner * static_cast<size_t>(highBound - low + 1), DefaultElement(d.elementType));
}

// ---- type tests and free conversions

bool VarIsClear(const Variant& v) {
  const Variant& d = v.Deref();
  TVarType t = d.VarType();
  if (t == varEmpty) return true;
  if (t == varDispatch || t == varUnknown) return d.AsUnknown() == nullptr;
  return false;
}

bool VarIsOrdinal(const Variant& v) {
  TVarType t = v.Deref().VarType();
  return varimpl::IsIntType(t) || t == varBoolean;
}

bool VarIsFloat(const Variant& v) {
  TVarType t = v.Deref().VarType();
  return t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }

bool VarIsStr(const Variant& v) { return v.IsString(); }

String VarTypeAsText(TVarType type) {
  static const wchar_t* const names[] = {L"Empty",    L"Null",     L"Smallint", L"Integer",  L"Single",   L"Double",
                                         L"Currency", L"Date",     L"OleStr",   L"Dispatch", L"Error",    L"Boolean",
                                         L"Variant",  L"Unknown",  L"Decimal",  L"$000F",    L"ShortInt", L"Byte",
                                         L"Word",     L"LongWord", L"Int64",    L"UInt64"};
  TVarType base = type & varTypeMask;
  String name;
  if (base < sizeof(names) / sizeof(names[0]))
    name = names[base];
  else if (base == varString)
    name = L"String";
  else if (base == varAny)
    name = L"Any";
  else if (base == varUString)
    name = L"UnicodeString";
  else
    name = L"$" + IntToHex(base, 4);
  if (type & varArray) name = L"Array " + name;
  if (type & varByRef) name = L"ByRef " + name;
  return name;
}

String VarToStr(const Variant& v) { return v.IsNull() ? String() : v.AsString(); }

String VarToStrDef(const Variant& v, const String& def) { return v.IsNull() ? def : v.AsString(); }

Variant VarAsType(const Variant& v, TVarType type) { return v.AsType(type); }

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }

Variant VarFromDateTime(TDateTime v) { return Variant::FromDate(v); }

IDispatch* VarToDispatch(const Variant& v) { return v.AsDispatch(); }

void PrintTo(const Variant& v, std::ostream* os) {
  *os << StringToUTF8(VarTypeAsText(v.VarType()));
  const Variant& d = v.Deref();
  if (d.IsArray()) {
    *os << " [" << d.DimCount() << " dimensions]";
    return;
  }
  try {
    if (!d.IsNull() && !d.IsEmpty()) *os << " '" << StringToUTF8(d.AsString()) << "'";
  } catch (const Exception&) {
  }
}

}  // namespace rtl
