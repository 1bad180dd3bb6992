#pragma once
// The tool bar: a strip at the top of a form holding tool buttons side by side in the order they were added,
// each showing an image of the bar's image list and, when the bar says so, its caption.
#include "platform/vcl/controls.h"

namespace vcl {

class TCustomImageList;
class TToolBar;

VCL_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)

class TToolButton : public TGraphicControl {
  VCL_CLASS(TToolButton, TGraphicControl)
 public:
  explicit TToolButton(TComponent* owner);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  // A check button stays down after a click; grouped check buttons next to each other act as one choice.
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value) { grouped_ = value; }
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool value) { allow_all_up_ = value; }
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int value);
  TToolBar* ToolBar() const;
  void Click() override;
  void SetParent(TWinControl* parent) override;

 protected:
  void Paint() override;
  void Dispatch(TMessage& m) override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  friend class TToolBar;
  bool IsSeparator() const { return style_ == tbsSeparator || style_ == tbsDivider; }
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  bool grouped_ = false;
  bool allow_all_up_ = false;
  bool pressed_ = false;
  int image_index_ = -1;
};

class TToolBar : public TCustomControl {
  VCL_CLASS(TToolBar, TCustomControl)
 public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;
  int ButtonCount() const;
  TToolButton* Buttons(int index) const;
  int ButtonWidth() const { return button_width_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return button_height_; }
  void SetButtonHeight(int v);
  bool ShowCaptions() const { return show_captions_; }
  void SetShowCaptions(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);

 protected:
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TToolButton;
  int button_width_ = 23;
  int button_height_ = 22;
  bool show_captions_ = false;
  bool flat_ = true;
  TCustomImageList* images_ = nullptr;
};

}  // namespace vcl
