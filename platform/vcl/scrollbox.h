#pragma once
// The scroll box: a container whose children may reach beyond its client area; scroll bars appear as needed and
// scrolling moves the children.
#include "platform/vcl/controls.h"

namespace vcl {

class TScrollBox;

// One of the box's two scroll bars. Position is how far the content is scrolled; Range is the content's size.
class TControlScrollBar : public TPersistent {
  VCL_CLASS(TControlScrollBar, rtl::TPersistent)
 public:
  TControlScrollBar() = default;
  int Position() const { return position_; }
  void SetPosition(int value);
  int Range() const { return range_; }
  bool IsScrollBarVisible() const { return visible_; }
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }

 private:
  friend class TScrollBox;
  TScrollBox* box_ = nullptr;
  int bar_ = SB_VERT;
  int position_ = 0;
  int range_ = 0;
  int page_ = 0;
  int increment_ = 8;
  bool visible_ = false;
};

class TScrollBox : public TWinControl {
  VCL_CLASS(TScrollBox, TWinControl)
 public:
  explicit TScrollBox(TComponent* owner);
  ~TScrollBox() override;
  TControlScrollBar* HorzScrollBar() const { return horz_; }
  TControlScrollBar* VertScrollBar() const { return vert_; }
  bool AutoScroll() const { return auto_scroll_; }
  void SetAutoScroll(bool v);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle v);
  // Scrolls the least needed to show the whole control (its top-left corner when it is larger than the box).
  void ScrollInView(TControl* control);
  void ScrollBy(int dx, int dy);
  void UpdateScrollBars();

 protected:
  void CreateParams(TCreateParams& p) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Dispatch(TMessage& m) override;

 private:
  friend class TControlScrollBar;
  void ScrollMessage(TControlScrollBar* bar, int code);
  void MoveTo(TControlScrollBar* bar, int position);
  TControlScrollBar* horz_ = nullptr;
  TControlScrollBar* vert_ = nullptr;
  bool auto_scroll_ = true;
  TBorderStyle border_style_ = bsSingle;
  bool updating_ = false;
};

}  // namespace vcl
