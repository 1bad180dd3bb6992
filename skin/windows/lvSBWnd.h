#pragma once
// Scroll-bar control wrapper: a scroll-bar window (a platform scroll bar or a bare "ScrollBar" window of the system
// or another maker) painted wholly from the skin: the bar before the thumb, the bar after it, both arrow buttons and
// the thumb, each with its own normal, hot or pressed look. Scrolling, the keyboard and the notifications stay with
// the control; the wrapper keeps its own copy of the scroll information so the picture stays right while the
// control's own drawing is switched off.
#include "skin/windows/lvSBUtils.h"

class TlvSBWnd : public TlvMainWnd {
 public:
  int FCurrPos = 0;
  int FBar1State = 0, FBar2State = 0, FBtn1State = 0, FBtn2State = 0, FSliderState = 0;
  SCROLLINFO FSI{};
  vcl::TRect FBtn1Rect, FBtn2Rect, FBar1Rect, FBar2Rect, FSliderRect;
  vcl::TWinControl* Control = nullptr;
  int FLockCount = 0;
  int MouseOffset = 0;
  int ScrollCode = 0;

  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;

  // Geometry, in the control's client coordinates.
  int SysBtnSize();
  int WorkSize();
  int SliderSize();
  int PositionToCoord();
  int CoordToPosition(vcl::TPoint p);
  vcl::TRect Btn1Rect();
  vcl::TRect Btn2Rect();
  vcl::TRect Bar1Rect();
  vcl::TRect Bar2Rect();
  vcl::TRect SliderRect();

  // Part states (0 first button, 1 second button, 2 first bar, 3 second bar, 4 thumb).
  void SetInteger(int index, int value);
  bool BarIsHot();
  void LMouseDown(int x, int y);
  void LMouseUp(int x, int y);
  void WMNCHitTest(vcl::TMessage& message);
  void CMMouseEnter();
  void CMMouseLeave();

  void WMPaint(vcl::TMessage& message);
  void DrawSlider(vcl::TBitmap* bmp);
  void UpdateBar();
  void InitScrollData();

  // What the geometry reads of the control: its kind, size and scroll information.
  bool Vertical() const;
  int CtrlWidth() const;
  int CtrlHeight() const;
  SCROLLINFO CtrlInfo();

 private:
  int Length() const { return Vertical() ? CtrlHeight() : CtrlWidth(); }
  int PartState(int index) const;
  // Sets the control's position as a thumb drag does, and tells the parent.
  void SetCtrlPosition(int pos);
  void RedrawLockedPass(vcl::TMessage& message);
  void CommonAndBase(vcl::TMessage& message);
  void SetScrollInfoMsg(vcl::TMessage& message);
  vcl::TPoint CursorClient() const;
  bool Ready();
  bool trackingLeave_ = false;
};
