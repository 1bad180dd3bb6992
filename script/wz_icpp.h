#pragma once
// The R++Aradod language: braces, typed declarations, case-sensitive keywords.
#include "platform/rtl/types.h"
#include "platform/vcl/component.h"

// A component that stands for the language on a form; it has no behaviour of its own.
class TwzCPP : public vcl::TComponent {
  VCL_CLASS(TwzCPP, vcl::TComponent)
public:
  explicit TwzCPP(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

// Registers the R++Aradod grammar with the language registry.
void wzRegisterCPP();
