#pragma once
// The layered windows a form or dialog is shown through while it animates: a cover laid over a window with the
// window's picture from the screen, and the fade a window runs while it is dragged (it turns translucent step by
// step during the system's move loop). The core's show and hide animations, the skinned forms' minimise, restore
// and move effects and the dialog frame all use them.
#include <cstdint>
#include <memory>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/forms.h"
#include "skin/core/sAnimTimer.h"

class TlvCustomBorderForm;

// A new borderless cover over wnd's window rectangle, topmost and shown without activation, showing the snapshot of
// wnd as a layered picture at alpha 255. Never active (WS_EX_NOACTIVATE, WS_EX_TOOLWINDOW), Tag 256 (no skin).
// nullptr when wnd is not a window.
std::unique_ptr<vcl::TForm> MakeCoverForm(HWND wnd);

// Fades a window while it is moved: every 10 ms its alpha goes down by BlendStep until it reaches BlendValue. With
// a border window the frame image is shown in it at that alpha; else the window itself is made layered.
class TlvMoveTimer : public TlvThreadedTimer {
  VCL_CLASS(TlvMoveTimer, TlvThreadedTimer)
  explicit TlvMoveTimer(vcl::TComponent* owner);
  void TimeHandler() override;
  // Called after each step with the alpha set (the skinned forms pass it on to their glued forms).
  virtual void AlphaSet(int alpha) {}

  std::uint8_t BlendValue = 255;
  HWND FormHandle = nullptr;
  TlvCustomBorderForm* BorderForm = nullptr;
  // The picture the border window shows (the owner's frame image); not owned.
  vcl::TBitmap* FrameImage = nullptr;
  double BlendStep = 0;
  double CurrentBlendValue = 255;
};

// The alpha step of a move fade from 255 to blendValue over timeMs (10 ms steps): all at once for 10 ms or less.
double MoveBlendStep(std::uint8_t blendValue, int timeMs);
