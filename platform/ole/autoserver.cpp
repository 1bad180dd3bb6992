#include "platform/ole/autoserver.h"

#include <map>

#include "platform/rtl/strings.h"

namespace ole {

namespace {

struct TRegistered {
  String progId;
  std::function<Variant()> factory;
};

std::vector<TRegistered>& Registry() {
  static std::vector<TRegistered> registry;
  return registry;
}

}  // namespace

HRESULT STDMETHODCALLTYPE TAutoObject::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TAutoObject::AddRef() { return static_cast<ULONG>(++refs_); }

ULONG STDMETHODCALLTYPE TAutoObject::Release() {
  long left = --refs_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE TAutoObject::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TAutoObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TAutoObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    // Only the member's own name is looked up; names of its arguments are never known.
    if (i > 0 || !names[i]) {
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    const auto& members = Members();
    for (size_t m = 0; m < members.size(); ++m)
      if (rtl::SameText(members[m], names[i])) ids[i] = static_cast<DISPID>(m + 1);
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE TAutoObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                              EXCEPINFO* info, UINT* argErr) {
  if (id < 1 || static_cast<size_t>(id) > Members().size()) return DISP_E_MEMBERNOTFOUND;
  if (params && params->cNamedArgs > 0 &&
      !(params->cNamedArgs == 1 && params->rgdispidNamedArgs && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT))
    return DISP_E_NONAMEDARGS;
  try {
    std::vector<Variant> args;
    UINT count = params ? params->cArgs : 0;
    args.reserve(count);
    // The block holds the last argument first.
    for (UINT i = 0; i < count; ++i) args.push_back(rtl::OleToVariant(params->rgvarg[count - 1 - i]));
    Variant answer = Call(static_cast<int>(id - 1), flags, args);
    if (result) rtl::VariantToOle(answer, *result);
    return S_OK;
  } catch (const rtl::Exception& e) {
    if (argErr) *argErr = 0;
    if (info) {
      *info = EXCEPINFO{};
      info->bstrSource = SysAllocString(e.ClassName().c_str());
      info->bstrDescription = SysAllocString(e.Message().c_str());
      info->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

Variant AutoObjectVariant(TAutoObject* object) {
  Variant v(static_cast<IDispatch*>(object));  // takes a reference of its own
  object->Release();
  return v;
}

void RegisterAutoClass(const String& progId, std::function<Variant()> factory) {
  for (TRegistered& r : Registry())
    if (rtl::SameText(r.progId, progId)) {
      r.factory = std::move(factory);
      return;
    }
  Registry().push_back(TRegistered{progId, std::move(factory)});
}

bool CreateRegisteredObject(const String& progId, Variant& object) {
  for (const TRegistered& r : Registry())
    if (rtl::SameText(r.progId, progId)) {
      object = r.factory();
      return true;
    }
  return false;
}

}  // namespace ole
