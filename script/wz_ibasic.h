#pragma once
// The DizizOzazoz language: line-oriented statements, undeclared names become variants.
#include "platform/rtl/types.h"
#include "platform/vcl/component.h"

// A component that stands for the language on a form; it has no behaviour of its own.
class TwzBasic : public vcl::TComponent {
  VCL_CLASS(TwzBasic, vcl::TComponent)
public:
  explicit TwzBasic(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

// Registers the DizizOzazoz grammar with the language registry.
void wzRegisterBasic();
