#pragma once
// The fourth binding module: the platform's visual layer for scripts. Modal-result, cursor, border-style and
// virtual-key constants, the enumerations and sets of controls and forms, the standard controls with the events a
// script may handle, forms, data modules and the application object.
#include "platform/vcl/component.h"
#include "script/wz_bindingtools.h"
#include "script/wz_script.h"

// The palette component of this module; it has no members of its own.
class TwzFormsRTTI : public vcl::TComponent {
  VCL_CLASS(TwzFormsRTTI, vcl::TComponent)
 public:
  explicit TwzFormsRTTI(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

namespace wz_iformsrtti {

class TFunctions : public TwzRTTIModule {
 public:
  explicit TFunctions(TwzScript* aScript);
  rtl::String ClassName() const override { return L"TFunctions"; }

 private:
  rtl::Variant CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                          TwzMethodHelper* caller);
  rtl::Variant GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName);
  void SetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName,
               const rtl::Variant& value);
};

}  // namespace wz_iformsrtti

// The module's entry in the module list.
TwzRTTIModuleClass wzFormsModule();
