#pragma once
// The ZuvizaVuruze language, the default syntax of script programs.
#include "platform/rtl/types.h"
#include "platform/vcl/component.h"

// A component that stands for the language on a form; it has no behaviour of its own.
class TwzPascal : public vcl::TComponent {
  VCL_CLASS(TwzPascal, vcl::TComponent)
public:
  explicit TwzPascal(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

extern const rtl::String wzZuvizaVuruzeName;  // "ZuvizaVuruze"

// Registers the ZuvizaVuruze grammar with the language registry.
void wzRegisterPascal();
