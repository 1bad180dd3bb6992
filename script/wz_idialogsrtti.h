#pragma once
// The dialog binding module: the platform's common dialogs with the option sets of their published properties, and
// the message and input boxes as global functions.
#include "platform/vcl/component.h"
#include "script/wz_bindingtools.h"
#include "script/wz_script.h"

// The palette component of this module; it has no members of its own.
class TwzDialogsRTTI : public vcl::TComponent {
  VCL_CLASS(TwzDialogsRTTI, vcl::TComponent)
 public:
  explicit TwzDialogsRTTI(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

namespace wz_idialogsrtti {

class TFunctions : public TwzRTTIModule {
 public:
  explicit TFunctions(TwzScript* aScript);
  rtl::String ClassName() const override { return L"TFunctions"; }

 private:
  rtl::Variant CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& methodName,
                          TwzMethodHelper* caller);
};

}  // namespace wz_idialogsrtti

// The module's entry in the module list.
TwzRTTIModuleClass wzDialogsModule();
