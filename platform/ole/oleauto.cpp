#include "platform/ole/oleauto.h"

#include "platform/ole/autoserver.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include <ole2.h>
#include <oleauto.h>

namespace ole {

namespace {

String Hex8(long status) {
  wchar_t buffer[16];
  swprintf(buffer, 16, L"%08lX", static_cast<unsigned long>(status));
  return buffer;
}

String FromBSTR(BSTR s) { return s ? String(s, SysStringLen(s)) : String(); }

// The status of a failed creation or look-up, as the platform words it.
[[noreturn]] void RaiseStatus(long status) { throw EOleSysError(SysErrorMessage(status), status); }

// The argument block: every entry cleared again, also when a conversion or the call raises.
class TOleArgs {
public:
  explicit TOleArgs(size_t count) : args_(count) {
    for (VARIANT& v : args_) VariantInit(&v);
  }
  ~TOleArgs() {
    for (VARIANT& v : args_) VariantClear(&v);
  }
  TOleArgs(const TOleArgs&) = delete;
  TOleArgs& operator=(const TOleArgs&) = delete;
  VARIANT* Data() { return args_.empty() ? nullptr : args_.data(); }
  VARIANT& operator[](size_t i) { return args_[i]; }

private:
  std::vector<VARIANT> args_;
};

}  // namespace

String SysErrorMessage(long status) {
  String text = rtl::SysErrorMessage(static_cast<rtl::Cardinal>(status));
  if (!text.empty()) return text;
  switch (static_cast<unsigned long>(status)) {
    case 0x80020001UL: return L"Unknown interface";
    case 0x80020003UL: return L"Member not found";
    case 0x80020004UL: return L"Parameter not found";
    case 0x80020005UL: return L"Type mismatch";
    case 0x80020006UL: return L"Unknown name";
    case 0x80020007UL: return L"No named arguments";
    case 0x80020008UL: return L"Bad variable type";
    case 0x80020009UL: return L"Exception occurred";
    case 0x8002000AUL: return L"Out of present range";
    case 0x8002000EUL: return L"Invalid number of parameters";
    case 0x8002000FUL: return L"Parameter not optional";
    case 0x800401F3UL: return L"Invalid class string";
    case 0x800401E3UL: return L"Operation unavailable";
    case 0x80040154UL: return L"Class not registered";
    default: return L"Error " + Hex8(status);
  }
}

void InitializeCom() {
  thread_local bool initialized = false;
  if (initialized) return;
  // S_FALSE (already initialised by someone else) and a different apartment chosen earlier both leave COM usable.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  initialized = true;
}

namespace {

CLSID ClassIDOf(const String& progId) {
  CLSID clsid;
  const HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
  if (FAILED(hr)) RaiseStatus(hr);
  return clsid;
}

}  // namespace

Variant CreateOleObject(const String& progId) {
  InitializeCom();
  // The platform's own stand-ins come first, so the program behaves alike whatever servers the machine has.
  if (Variant own; CreateRegisteredObject(progId, own)) return own;
  const CLSID clsid = ClassIDOf(progId);
  IDispatch* disp = nullptr;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(&disp));
  if (FAILED(hr) || !disp) RaiseStatus(FAILED(hr) ? hr : E_NOINTERFACE);
  Variant result(disp);  // takes its own reference
  disp->Release();
  return result;
}

Variant GetActiveOleObject(const String& progId) {
  InitializeCom();
  const CLSID clsid = ClassIDOf(progId);
  IUnknown* unknown = nullptr;
  HRESULT hr = GetActiveObject(clsid, nullptr, &unknown);
  if (FAILED(hr) || !unknown) RaiseStatus(FAILED(hr) ? hr : MK_E_UNAVAILABLE);
  IDispatch* disp = nullptr;
  hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
  unknown->Release();
  if (FAILED(hr) || !disp) RaiseStatus(FAILED(hr) ? hr : E_NOINTERFACE);
  Variant result(disp);
  disp->Release();
  return result;
}

long DispatchGetIDOfName(IDispatch* disp, const String& name, long& dispId) {
  dispId = DISPID_UNKNOWN;
  if (!disp) return E_POINTER;
  // GetIDsOfNames takes a non-const name.
  std::vector<wchar_t> buffer(name.begin(), name.end());
  buffer.push_back(L'\0');
  LPOLESTR names[1] = {buffer.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = disp->GetIDsOfNames(IID_NULL, names, 1, GetThreadLocale(), &id);
  if (FAILED(hr)) return hr;
  dispId = id;
  return S_OK;
}

long DispatchCall(IDispatch* disp, long dispId, unsigned short flags, const std::vector<Variant>& args, Variant* result,
                  TDispatchFailure& failure) {
  failure = TDispatchFailure();
  if (args.size() > static_cast<size_t>(kMaxDispatchArgs))
    throw EOleError(L"Too many arguments for an automation call: " + std::to_wstring(args.size()) + L" (at most " +
                    std::to_wstring(kMaxDispatchArgs) + L")");
  if (!disp) return E_POINTER;

  const size_t count = args.size();
  TOleArgs block(count);
  // The last argument goes first.
  for (size_t i = 0; i < count; ++i) rtl::VariantToOle(args[i], block[count - 1 - i]);

  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = block.Data();
  params.cArgs = static_cast<UINT>(count);
  const bool put = (flags & (dispPropertyPut | dispPropertyPutRef)) != 0;
  if (put) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }

  VARIANT answer;
  VariantInit(&answer);
  const bool wantResult = result && !put;
  WORD callFlags = flags;
  if (wantResult && (callFlags & dispMethod)) callFlags |= dispPropertyGet;
  EXCEPINFO info{};
  UINT argErr = 0;
  const HRESULT hr =
      disp->Invoke(dispId, IID_NULL, 0, callFlags, &params, wantResult ? &answer : nullptr, &info, &argErr);
  if (FAILED(hr)) {
    failure.Status = hr;
    if (hr == DISP_E_EXCEPTION) {
      if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      failure.HasDetails = true;
      failure.Source = FromBSTR(info.bstrSource);
      failure.Description = FromBSTR(info.bstrDescription);
      failure.HelpFile = FromBSTR(info.bstrHelpFile);
      failure.SCode = info.scode;
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    VariantClear(&answer);
    return failure.Status;
  }
  if (wantResult) {
    try {
      *result = rtl::OleToVariant(answer);
    } catch (...) {
      VariantClear(&answer);
      throw;
    }
  }
  VariantClear(&answer);
  return S_OK;
}

Variant DispatchInvoke(const Variant& obj, const String& name, unsigned short flags, const std::vector<Variant>& args,
                       bool needResult) {
  IDispatch* disp = rtl::VarToDispatch(obj);
  long dispId = 0;
  long status = DispatchGetIDOfName(disp, name, dispId);
  if (status != S_OK) {
    if (static_cast<unsigned long>(status) == 0x80020006UL) throw EOleError(L"Unknown name \"" + name + L"\"");
    throw EOleSysError(SysErrorMessage(status) + L" (" + name + L")", status);
  }
  Variant result;
  TDispatchFailure failure;
  status = DispatchCall(disp, dispId, flags, args, needResult ? &result : nullptr, failure);
  if (status != S_OK) {
    if (failure.HasDetails) {
      const long code = failure.SCode != 0 ? failure.SCode : status;
      const String text = failure.Description.empty() ? SysErrorMessage(code) : failure.Description;
      throw EOleException(text, code, failure.Source, failure.HelpFile);
    }
    throw EOleSysError(SysErrorMessage(status) + L" (" + name + L")", status);
  }
  return result;
}

}  // namespace ole
