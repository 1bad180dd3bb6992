#include "script/wz_olehelper.h"

#include <cwchar>

#include "platform/ole/oleauto.h"

using rtl::String;
using rtl::Variant;

namespace {

String Hex8(long status) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"%08lX", static_cast<unsigned long>(status));
  return buffer;
}

bool IsDispatch(const Variant& value) { return (value.Deref().VarType() & rtl::varTypeMask) == rtl::varDispatch; }

}  // namespace

TwzOLEHelper::TwzOLEHelper(const String& aName) : TwzCustomHelper(aName, fvtVariant, String()) {}

void TwzOLEHelper::DispatchInvoke(const std::vector<Variant>& params, Variant& result, unsigned short flags) {
  IDispatch* disp = rtl::VarToDispatch(FParentValue);
  const bool put = (flags & (ole::dispPropertyPut | ole::dispPropertyPutRef)) != 0;
  const bool wantResult = FNeedResult && !put;

  // An unknown name is refused here: invoking whatever identifier the failed look-up left would call some other member
  // of the object.
  long dispId = 0;
  ole::TDispatchFailure failure;
  long status = ole::DispatchGetIDOfName(disp, FName, dispId);
  if (status == 0) {
    Variant answer;
    status = ole::DispatchCall(disp, dispId, flags, params, wantResult ? &answer : nullptr, failure);
    if (status == 0) {
      if (wantResult) result = answer;
      return;
    }
  }

  String message = L"OLE error " + Hex8(status) + L": " + FName + L": " + ole::SysErrorMessage(status);
  if (failure.HasDetails) {
    message += L"\r\nSource        ::  " + failure.Source;
    message += L"\r\nDescription ::  " + failure.Description;
    if (!failure.HelpFile.empty()) message += L"\r\nHelp File     ::  " + failure.HelpFile;
  }
  throw rtl::Exception(message);
}

Variant TwzOLEHelper::GetValue() {
  std::vector<Variant> params;
  params.reserve(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) params.push_back(Params(i)->GetValue());
  // A call statement leaves the result untouched: the caller ignores it.
  Variant result = Variant::Null();
  DispatchInvoke(params, result, ole::dispMethod);
  return result;
}

void TwzOLEHelper::SetValue(const Variant& value) {
  std::vector<Variant> params;
  params.reserve(static_cast<size_t>(Count()) + 1);
  for (int i = 0; i < Count(); ++i) params.push_back(Params(i)->GetValue());
  params.push_back(value);
  Variant discarded;
  DispatchInvoke(params, discarded, IsDispatch(value) ? ole::dispPropertyPutRef : ole::dispPropertyPut);
}
