#pragma once
// The plain hint window: a bordered top-most popup that shows a text on the info-background colour. It never takes
// the activation or the focus and lets the mouse through to whatever lies below it; it is hidden by releasing its
// window (or by freeing it).
#include "platform/vcl/controls.h"

namespace vcl {

class THintWindow : public TCustomControl {
  VCL_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* owner);

  // The window's rectangle at (0, 0) for hint, its text wrapped so that the whole window is at most maxWidth wide.
  virtual TRect CalcHintRect(int maxWidth, const String& hint);
  // Shows hint over rect (screen coordinates), top-most, without activating the window.
  virtual void ActivateHint(const TRect& rect, const String& hint);
  // Hides the hint by giving its window back; the next ActivateHint makes a new one.
  void ReleaseHandle() { DestroyHandle(); }
  // Whether the hint is on the screen.
  bool HintShowing() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
};

}  // namespace vcl
