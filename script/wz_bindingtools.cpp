#include "script/wz_bindingtools.h"

#include <cstdint>

using rtl::String;
using rtl::Variant;

rtl::TObject* wzObjectArg(const Variant& value) {
  const Variant& v = value.Deref();
  if (v.IsNull() || v.IsEmpty()) return nullptr;
  if (!v.IsNumeric() || v.IsString()) throw EwzScriptError(L"An object is expected, not " + rtl::VarToStr(v));
  const auto address = static_cast<std::uintptr_t>(v.AsInt64());
  if (address == 0) return nullptr;
  // Objects cross as their reference: a small or misaligned number is none, and must not be read as one.
  if (address < 0x10000 || address % alignof(void*) != 0)
    throw EwzScriptError(L"An object is expected, not the number " + rtl::VarToStr(v));
  return v.AsObject();
}

rtl::TObject* wzNewInstance(rtl::TObject* instance, TwzMethodHelper* caller) {
  if (instance) return instance;
  const vcl::TClassInfo* cls = caller->ConstructedClass();
  if (cls && cls->CanCreate()) return cls->CreateInstance();
  throw EwzScriptError(L"Cannot create an object of class " + (cls ? cls->ClassName() : String(L"(none)")) +
                       L" with '" + caller->Name() + L"'");
}
