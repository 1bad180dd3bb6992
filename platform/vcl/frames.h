#pragma once
// The frame: a container placed on a form (or on another container) that owns the controls and components put on
// it, so that one group of controls can be made several times, each copy under a name of its own. It draws nothing
// of its own beyond its background.
#include "platform/vcl/forms.h"

namespace vcl {

class TFrame : public TScrollingWinControl {
  VCL_CLASS(TFrame, TScrollingWinControl)
public:
  explicit TFrame(TComponent* owner);
};

}  // namespace vcl
