#pragma once
// The JScript language: statements with optional semicolons, untyped var declarations.
#include "platform/rtl/types.h"
#include "platform/vcl/component.h"

// A component that stands for the language on a form; it has no behaviour of its own.
class TwzJScript : public vcl::TComponent {
  VCL_CLASS(TwzJScript, vcl::TComponent)
public:
  explicit TwzJScript(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

// Registers the JScript grammar with the language registry.
void wzRegisterJScript();
