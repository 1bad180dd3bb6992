// The splitter resizes its control while the mouse moves (live), in the parent's coordinates, so the other aligned
// controls follow through the parent's alignment.
#include "platform/vcl/splitter.h"

#include <algorithm>

namespace vcl {

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  control_style_ = TControlStyle{csCaptureMouse};
  align_ = alLeft;
  width_ = 3;
  height_ = 100;
  cursor_ = crHSplit;
}

void TSplitter::SetBeveled(bool v) {
  beveled_ = v;
  Invalidate();
}

TControl* TSplitter::FindResizeControl() const {
  if (!parent_ || align_ == alNone || align_ == alClient || align_ == alCustom) return nullptr;
  TControl* best = nullptr;
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    TControl* c = parent_->Controls(i);
    if (c == this || !c->Visible() || c->Align() != align_) continue;
    // The control that touches the splitter on the side it is aligned to.
    bool touches = false;
    switch (align_) {
      case alLeft: touches = c->Left() + c->Width() == left_; break;
      case alRight: touches = c->Left() == left_ + width_; break;
      case alTop: touches = c->Top() + c->Height() == top_; break;
      case alBottom: touches = c->Top() == top_ + height_; break;
      default: break;
    }
    if (touches) best = c;
  }
  return best;
}

void TSplitter::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  control_ = FindResizeControl();
  if (!control_) return;
  down_pos_ = TPoint(x + left_, y + top_);
  start_size_ = Horizontal() ? control_->Height() : control_->Width();
  // The space the resized control may take: all of it except MinSize for the client area beside it.
  int total = Horizontal() ? parent_->ClientHeight() : parent_->ClientWidth();
  int others = 0;
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    TControl* c = parent_->Controls(i);
    if (c == control_ || !c->Visible() || c->Align() == alClient || c->Align() == alNone) continue;
    bool same_axis = Horizontal() ? (c->Align() == alTop || c->Align() == alBottom)
                                  : (c->Align() == alLeft || c->Align() == alRight);
    if (same_axis) others += Horizontal() ? c->Height() : c->Width();
  }
  max_size_ = std::max(min_size_, total - others - min_size_);
}

void TSplitter::DoMouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseMove(shift, x, y);
  if (!control_) return;
  int delta = Horizontal() ? (y + top_) - down_pos_.Y : (x + left_) - down_pos_.X;
  // Moving toward the control makes it smaller for left/top splitters, larger for right/bottom ones.
  if (align_ == alRight || align_ == alBottom) delta = -delta;
  int size = std::clamp(start_size_ + delta, min_size_, max_size_);
  if (Horizontal())
    control_->SetHeight(size);
  else
    control_->SetWidth(size);
}

void TSplitter::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  bool moved = control_ != nullptr && button == mbLeft;
  if (button == mbLeft) control_ = nullptr;
  TGraphicControl::DoMouseUp(button, shift, x, y);
  if (moved && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(color_);
  c->FillRect(ClientRect());
  if (beveled_) {
    HDC dc = c->Handle();
    RECT r{0, 0, width_, height_};
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }
}

VCL_REGISTER(TSplitter) {
  cls.Prop(L"MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
  cls.Prop(L"Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled).Default(false);
  cls.Prop(L"OnMoved", &TSplitter::OnMoved);
}

}  // namespace vcl
