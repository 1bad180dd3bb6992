#pragma once
// The standard binding module: the language's built-in type names, True/False/nil/Null, the variant type codes, the
// helper items the compiler looks up by name, the exception variables of try statements and the standard functions.
// Every program receives it before any other module, because their declarations use its type names.
#include "script/wz_hostclasses.h"
#include "script/wz_script.h"

class TwzSysFunctions : public TwzRTTIModule {
 public:
  explicit TwzSysFunctions(TwzScript* aScript);
  rtl::String ClassName() const override { return L"TwzSysFunctions"; }

 private:
  // One handler per group of functions; each answers only the names of its own group and yields Empty otherwise.
  rtl::Variant CallMethod1(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);
  rtl::Variant CallMethod2(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);
  rtl::Variant CallMethod3(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);
  rtl::Variant CallMethod4(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);
  rtl::Variant CallMethod5(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);
  rtl::Variant CallMethod6(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);
  rtl::Variant CallMethod7(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                           TwzMethodHelper* caller);

  rtl::String FCatConv;
  rtl::String FCatDate;
  rtl::String FCatFormat;
  rtl::String FCatMath;
  rtl::String FCatOther;
  rtl::String FCatStr;
};

// The module's entry in the module list (wzRTTIModules puts it first when the list is created).
TwzRTTIModuleClass wzSysFunctionsModule();
