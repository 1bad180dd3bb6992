#pragma once
// A data module: a component that holds the non-visual components of a screen (connections, datasets, dialogs)
// without a window of its own. Scripts register one like a form: its owned components become members of its class.
#include "platform/vcl/component.h"

namespace vcl {

class TDataModule : public TComponent {
  VCL_CLASS(TDataModule, TComponent)
 public:
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}
};

}  // namespace vcl
