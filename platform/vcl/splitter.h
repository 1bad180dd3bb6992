#pragma once
// The splitter: a thin bar aligned beside another aligned control; dragging it resizes that control.
#include "platform/vcl/controls.h"

namespace vcl {

class TSplitter : public TGraphicControl {
  VCL_CLASS(TSplitter, TGraphicControl)
 public:
  explicit TSplitter(TComponent* owner);
  // Neither the resized control nor the space left for the others gets smaller than this.
  int MinSize() const { return min_size_; }
  void SetMinSize(int v) { min_size_ = v; }
  bool Beveled() const { return beveled_; }
  void SetBeveled(bool v);
  // The control the splitter resizes: the nearest one aligned on the same side, before the splitter.
  TControl* FindResizeControl() const;
  TNotifyEvent OnMoved;

 protected:
  void Paint() override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseMove(TShiftState shift, int x, int y) override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool Horizontal() const { return align_ == alTop || align_ == alBottom; }
  int min_size_ = 30;
  bool beveled_ = false;
  TControl* control_ = nullptr;
  TPoint down_pos_;
  int start_size_ = 0;
  int max_size_ = 0;
};

}  // namespace vcl
