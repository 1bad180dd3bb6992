#include "platform/vcl/frames.h"

namespace vcl {

TFrame::TFrame(TComponent* owner) : TScrollingWinControl(owner) {
  // Accepting controls also clips them out of the frame's own painting.
  control_style_ += csAcceptsControls;
  SetColor(clBtnFace);
  SetParentColor(true);
  SetBounds(0, 0, 320, 240);
}

VCL_REGISTER(TFrame) {}

}  // namespace vcl
