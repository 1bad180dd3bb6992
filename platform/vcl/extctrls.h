#pragma once
// Panel, image and timer.
#include "platform/vcl/controls.h"
#include "platform/vcl/picture.h"

namespace vcl {

// A bevelled area that holds other controls and shows its caption centred.
class TCustomPanel : public TCustomControl {
  VCL_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut v);
  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut v);
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int v);
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int v);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TVerticalAlignment VerticalAlignment() const { return vertical_alignment_; }
  void SetVerticalAlignment(TVerticalAlignment v);
  bool ShowCaption() const { return show_caption_; }
  void SetShowCaption(bool v);
  bool FullRepaint() const { return full_repaint_; }
  void SetFullRepaint(bool v) { full_repaint_ = v; }
  void AdjustClientRect(TRect& rect) override;

protected:
  void CreateParams(TCreateParams& p) override;
  void Paint() override;
  void CMTextChanged(TMessage& m) override;
  // The width taken by the bevels and the border on each side.
  int FrameWidth() const;

  TBevelCut bevel_outer_ = bvRaised;
  TBevelCut bevel_inner_ = bvNone;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TBorderStyle border_style_ = bsNone;
  TAlignment alignment_ = taCenter;
  TVerticalAlignment vertical_alignment_ = taVerticalCenter;
  bool show_caption_ = true;
  bool full_repaint_ = true;
};

class TPanel : public TCustomPanel {
  VCL_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Shows a picture. Stretch scales it to the control (Proportional keeps its aspect ratio, and a picture smaller
// than the control is not enlarged unless Stretch is set); Center puts it in the middle.
class TImage : public TGraphicControl {
  VCL_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() const { return picture_; }
  void SetPicture(TPicture* v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);
  // Where the picture is drawn, in the control's coordinates.
  TRect DestRect() const;

protected:
  void Paint() override;
  void PictureChanged(rtl::TObject* sender);

  TPicture* picture_ = nullptr;
  bool center_ = false;
  bool stretch_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool auto_size_ = false;
};

// Calls OnTimer every Interval milliseconds while Enabled, from the thread's message loop.
class TTimer : public TComponent {
  VCL_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned v);
  TNotifyEvent OnTimer;
  void Loaded() override;

protected:
  virtual void Timer();
  void UpdateTimer();
  static LRESULT CALLBACK TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool running_ = false;
};

}  // namespace vcl
