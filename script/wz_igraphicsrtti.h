#pragma once
// The third binding module: the platform's colour names and its drawing model for scripts. Fonts, pens, brushes,
// canvases, graphics, pictures, metafiles and bitmaps; control, form and report classes use them as property types.
#include "platform/vcl/component.h"
#include "script/wz_bindingtools.h"
#include "script/wz_script.h"

// The palette component of this module; it has no members of its own.
class TwzGraphicsRTTI : public vcl::TComponent {
  VCL_CLASS(TwzGraphicsRTTI, vcl::TComponent)
 public:
  explicit TwzGraphicsRTTI(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

namespace wz_igraphicsrtti {

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

  rtl::Variant CanvasMethod(rtl::TObject* instance, const rtl::String& name, TwzMethodHelper* caller);
};

}  // namespace wz_igraphicsrtti

// The module's entry in the module list.
TwzRTTIModuleClass wzGraphicsModule();
