#pragma once
// The second binding module: the platform's base classes for scripts. Objects, persistent objects, collections,
// pointer lists, string lists, streams, components and the script engine's own XML element and document. Every
// later module names these classes as ancestors or parameter types.
#include "platform/vcl/component.h"
#include "script/wz_bindingtools.h"
#include "script/wz_script.h"

// The palette component of this module; it has no members of its own.
class TwzClassesRTTI : public vcl::TComponent {
  VCL_CLASS(TwzClassesRTTI, vcl::TComponent)
 public:
  explicit TwzClassesRTTI(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

// The registry entries of the script XML classes (they are not component classes of their own).
const vcl::TClassInfo* wzXMLItemClassInfo();
const vcl::TClassInfo* wzXMLDocumentClassInfo();

namespace wz_iclassesrtti {

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

  rtl::Variant ObjectMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant ListMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant StringsMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant StreamMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
  rtl::Variant XMLMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& name,
                         TwzMethodHelper* caller);
};

}  // namespace wz_iclassesrtti

// The module's entry in the module list.
TwzRTTIModuleClass wzClassesModule();
