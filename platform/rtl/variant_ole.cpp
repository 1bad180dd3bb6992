// Between our variants and the COM VARIANT structure, for late binding to automation objects.
#include <vector>

#include "platform/rtl/variant.h"
#include "platform/rtl/variant_internal.h"
#include "platform/rtl/win.h"
#include <ole2.h>
#include <oleauto.h>

namespace rtl {

namespace {

void ThrowIfFailed(HRESULT hr) {
  if (FAILED(hr)) throw EVariantError(L"Variant or safe array operation failed");
}

// Visits every index vector of an array; the first index varies fastest, as elements are stored.
template <class F>
void ForEachIndex(const std::vector<LONG>& lows, const std::vector<LONG>& highs, F f) {
  size_t dims = lows.size();
  for (size_t d = 0; d < dims; ++d)
    if (highs[d] < lows[d]) return;
  std::vector<LONG> idx(lows);
  for (;;) {
    f(idx);
    size_t d = 0;
    while (d < dims && ++idx[d] > highs[d]) {
      idx[d] = lows[d];
      ++d;
    }
    if (d == dims) return;
  }
}

}  // namespace

void VariantToOle(const Variant& v0, VARIANT& dest) {
  const Variant& v = v0.Deref();
  VariantClear(&dest);
  TVarType t = v.VarType();
  const auto& val = VariantAccess::Val(v);
  if (t & varArray) {
    int dims = v.DimCount();
    std::vector<SAFEARRAYBOUND> sab(dims);
    std::vector<LONG> lows(dims), highs(dims);
    // Dimension d is bound d of SafeArrayCreate and index d of SafeArrayPutElement, as SafeArrayGetLBound(d + 1)
    // reads it back.
    for (int d = 0; d < dims; ++d) {
      lows[d] = v.LowBound(d + 1);
      highs[d] = v.HighBound(d + 1);
      sab[d].lLbound = lows[d];
      sab[d].cElements = static_cast<ULONG>(highs[d] - lows[d] + 1);
    }
    SAFEARRAY* sa = SafeArrayCreate(VT_VARIANT, static_cast<UINT>(dims), sab.data());
    if (!sa) throw EVariantArrayCreateError(L"Error creating variant or safe array");
    try {
      ForEachIndex(lows, highs, [&](const std::vector<LONG>& idx) {
        std::vector<Integer> ours(idx.begin(), idx.end());
        VARIANT element;
        VariantInit(&element);
        VariantToOle(v.Element(ours.data(), dims), element);
        HRESULT hr = SafeArrayPutElement(sa, const_cast<LONG*>(idx.data()), &element);
        VariantClear(&element);
        ThrowIfFailed(hr);
      });
    } catch (...) {
      SafeArrayDestroy(sa);
      throw;
    }
    dest.vt = VT_ARRAY | VT_VARIANT;
    dest.parray = sa;
    return;
  }
  switch (t) {
    case varEmpty:
      dest.vt = VT_EMPTY;
      break;
    case varNull:
      dest.vt = VT_NULL;
      break;
    case varSmallint:
      dest.vt = VT_I2;
      dest.iVal = static_cast<SHORT>(val.i8);
      break;
    case varInteger:
      dest.vt = VT_I4;
      dest.lVal = static_cast<LONG>(val.i8);
      break;
    case varSingle:
      dest.vt = VT_R4;
      dest.fltVal = val.r4;
      break;
    case varDouble:
      dest.vt = VT_R8;
      dest.dblVal = val.r8;
      break;
    case varCurrency:
      dest.vt = VT_CY;
      dest.cyVal.int64 = val.i8;
      break;
    case varDate:
      dest.vt = VT_DATE;
      dest.date = val.r8;
      break;
    case varOleStr:
    case varString:
    case varUString: {
      const String& s = VariantAccess::Str(v);
      dest.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
      if (!dest.bstrVal) throw EOutOfMemory(L"Out of memory");
      dest.vt = VT_BSTR;
      break;
    }
    case varDispatch:
      dest.vt = VT_DISPATCH;
      dest.pdispVal = val.disp;
      if (val.disp) val.disp->AddRef();
      break;
    case varUnknown:
      dest.vt = VT_UNKNOWN;
      dest.punkVal = val.unk;
      if (val.unk) val.unk->AddRef();
      break;
    case varError:
      dest.vt = VT_ERROR;
      dest.scode = static_cast<SCODE>(val.i8);
      break;
    case varBoolean:
      dest.vt = VT_BOOL;
      dest.boolVal = val.b ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case varShortInt:
      dest.vt = VT_I1;
      dest.cVal = static_cast<CHAR>(val.i8);
      break;
    case varByte:
      dest.vt = VT_UI1;
      dest.bVal = static_cast<BYTE>(val.i8);
      break;
    case varWord:
      dest.vt = VT_UI2;
      dest.uiVal = static_cast<USHORT>(val.i8);
      break;
    case varLongWord:
      dest.vt = VT_UI4;
      dest.ulVal = static_cast<ULONG>(val.i8);
      break;
    case varInt64:
      dest.vt = VT_I8;
      dest.llVal = val.i8;
      break;
    case varUInt64:
      dest.vt = VT_UI8;
      dest.ullVal = val.u8;
      break;
    default:
      throw EVariantTypeCastError(L"Could not convert variant of type (" + VarTypeAsText(t) +
                                  L") into type (OleVariant)");
  }
}

Variant OleToVariant(const VARIANT& src) {
  VARTYPE vt = src.vt;
  if (vt & VT_ARRAY) {
    SAFEARRAY* sa = (vt & VT_BYREF) ? (src.pparray ? *src.pparray : nullptr) : src.parray;
    if (!sa) return Variant::Null();
    VARTYPE elementVt = vt & VT_TYPEMASK;
    UINT dims = SafeArrayGetDim(sa);
    std::vector<LONG> lows(dims), highs(dims);
    std::vector<Integer> bounds;
    for (UINT d = 0; d < dims; ++d) {
      // Our first dimension is SafeArrayGetLBound's first (1-based) dimension.
      ThrowIfFailed(SafeArrayGetLBound(sa, d + 1, &lows[d]));
      ThrowIfFailed(SafeArrayGetUBound(sa, d + 1, &highs[d]));
      bounds.push_back(lows[d]);
      bounds.push_back(highs[d]);
    }
    Variant result = VarArrayCreate(bounds, varVariant);
    ForEachIndex(lows, highs, [&](const std::vector<LONG>& idx) {
      VARIANT element;
      VariantInit(&element);
      if (elementVt == VT_VARIANT) {
        ThrowIfFailed(SafeArrayGetElement(sa, const_cast<LONG*>(idx.data()), &element));
      } else if (elementVt == VT_DECIMAL) {
        DECIMAL dec;
        ThrowIfFailed(SafeArrayGetElement(sa, const_cast<LONG*>(idx.data()), &dec));
        element.decVal = dec;
        element.vt = VT_DECIMAL;
      } else {
        // The element lands in the value part of a VARIANT of the element's type, which VariantClear frees.
        ThrowIfFailed(SafeArrayGetElement(sa, const_cast<LONG*>(idx.data()), &element.llVal));
        element.vt = elementVt;
      }
      Variant value;
      try {
        value = OleToVariant(element);
      } catch (...) {
        VariantClear(&element);
        throw;
      }
      VariantClear(&element);
      std::vector<Integer> ours(idx.begin(), idx.end());
      result.PutElement(ours.data(), static_cast<int>(dims), value);
    });
    return result;
  }
  if (vt & VT_BYREF) {
    if (!src.byref) return Variant::Null();
    VARTYPE base = vt & ~VT_BYREF;
    if (base == VT_VARIANT) return OleToVariant(*src.pvarVal);
    VARIANT copy;
    VariantInit(&copy);
    copy.vt = base;
    switch (base) {
      case VT_I1:
      case VT_UI1:
        copy.bVal = *src.pbVal;
        break;
      case VT_I2:
      case VT_UI2:
      case VT_BOOL:
        copy.iVal = *src.piVal;
        break;
      case VT_I4:
      case VT_UI4:
      case VT_INT:
      case VT_UINT:
      case VT_ERROR:
        copy.lVal = *src.plVal;
        break;
      case VT_R4:
        copy.fltVal = *src.pfltVal;
        break;
      case VT_I8:
      case VT_UI8:
      case VT_CY:
      case VT_R8:
      case VT_DATE:
        copy.llVal = *src.pllVal;
        break;
      case VT_BSTR:
        copy.bstrVal = *src.pbstrVal;
        break;
      case VT_DISPATCH:
        copy.pdispVal = *src.ppdispVal;
        break;
      case VT_UNKNOWN:
        copy.punkVal = *src.ppunkVal;
        break;
      case VT_DECIMAL:
        copy.decVal = *src.pdecVal;
        copy.vt = VT_DECIMAL;
        break;
      default:
        throw EVariantTypeCastError(L"Could not convert variant of type (OleVariant) into type (Variant)");
    }
    // Borrowed, not copied: the copy is not cleared.
    return OleToVariant(copy);
  }
  switch (vt) {
    case VT_EMPTY:
      return Variant();
    case VT_NULL:
      return Variant::Null();
    case VT_I2:
      return Variant(static_cast<short>(src.iVal));
    case VT_I4:
    case VT_INT:
      return Variant(static_cast<int>(src.lVal));
    case VT_R4:
      return Variant(src.fltVal);
    case VT_R8:
      return Variant(src.dblVal);
    case VT_CY:
      return Variant::FromCurrencyScaled(src.cyVal.int64);
    case VT_DATE:
      return Variant::FromDate(src.date);
    case VT_BSTR:
      return Variant::FromString(src.bstrVal ? String(src.bstrVal, SysStringLen(src.bstrVal)) : String(), varOleStr);
    case VT_DISPATCH:
      return Variant(src.pdispVal);
    case VT_UNKNOWN:
      return Variant::FromUnknown(src.punkVal);
    case VT_ERROR:
      return Variant::FromError(src.scode);
    case VT_BOOL:
      return Variant(src.boolVal != VARIANT_FALSE);
    case VT_I1:
      return Variant(static_cast<signed char>(src.cVal));
    case VT_UI1:
      return Variant(static_cast<unsigned char>(src.bVal));
    case VT_UI2:
      return Variant(static_cast<unsigned short>(src.uiVal));
    case VT_UI4:
    case VT_UINT:
      return Variant(static_cast<unsigned>(src.ulVal));
    case VT_I8:
      return Variant(static_cast<long long>(src.llVal));
    case VT_UI8:
      return Variant(static_cast<unsigned long long>(src.ullVal));
    case VT_DECIMAL: {
      double d = 0;
      ThrowIfFailed(VarR8FromDec(const_cast<DECIMAL*>(&src.decVal), &d));
      return Variant(d);
    }
    default:
      throw EVariantTypeCastError(L"Could not convert variant of type (OleVariant) into type (Variant)");
  }
}

}  // namespace rtl
