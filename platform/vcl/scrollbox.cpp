// Children keep their place in content coordinates minus the scroll position, so the content's extent is the
// farthest child edge plus the current position.
#include "platform/vcl/scrollbox.h"

#include <algorithm>

namespace vcl {

void TControlScrollBar::SetPosition(int value) {
  if (box_)
    box_->MoveTo(this, value);
  else
    position_ = value;
}

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
  control_style_ += csAcceptsControls;
  horz_ = new TControlScrollBar();
  horz_->box_ = this;
  horz_->bar_ = SB_HORZ;
  vert_ = new TControlScrollBar();
  vert_->box_ = this;
  vert_->bar_ = SB_VERT;
  SetBounds(0, 0, 185, 41);
}

TScrollBox::~TScrollBox() {
  delete horz_;
  delete vert_;
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
  if (border_style_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetAutoScroll(bool v) {
  auto_scroll_ = v;
  UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
  border_style_ = v;
  if (handle_) RecreateWnd();
}

void TScrollBox::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars() {
  if (updating_ || !auto_scroll_) return;
  updating_ = true;
  int right = 0, bottom = 0;
  for (TControl* c : controls_) {
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width() + horz_->position_);
    bottom = std::max(bottom, c->Top() + c->Height() + vert_->position_);
  }
  horz_->range_ = right;
  vert_->range_ = bottom;
  // Showing one bar narrows the client area and may call for the other; two passes settle it.
  for (int pass = 0; pass < 2; ++pass) {
    TRect cr = ClientRect();
    horz_->page_ = cr.Width();
    vert_->page_ = cr.Height();
    for (TControlScrollBar* bar : {horz_, vert_}) {
      bar->visible_ = bar->range_ > bar->page_;
      if (handle_) {
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        si.nMax = bar->visible_ ? bar->range_ - 1 : 0;
        si.nPage = bar->visible_ ? static_cast<UINT>(bar->page_) : 0;
        si.nPos = bar->position_;
        SetScrollInfo(handle_, bar->bar_, &si, TRUE);
        ShowScrollBar(handle_, bar->bar_, bar->visible_);
      }
    }
  }
  updating_ = false;
  // A box that grew may now show content scrolled past its end.
  for (TControlScrollBar* bar : {horz_, vert_}) {
    int limit = std::max(0, bar->range_ - bar->page_);
    if (bar->position_ > limit) MoveTo(bar, limit);
  }
}

void TScrollBox::MoveTo(TControlScrollBar* bar, int position) {
  int limit = std::max(0, bar->range_ - bar->page_);
  position = std::clamp(position, 0, limit);
  int delta = position - bar->position_;
  if (delta == 0) return;
  bar->position_ = position;
  if (bar == horz_)
    ScrollBy(-delta, 0);
  else
    ScrollBy(0, -delta);
  if (handle_) SetScrollPos(handle_, bar->bar_, position, TRUE);
}

void TScrollBox::ScrollBy(int dx, int dy) {
  bool was = updating_;
  updating_ = true;
  DisableAlign();
  for (TControl* c : controls_)
    if (c->Align() == alNone) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  updating_ = was;
  EnableAlign();
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TScrollBox::ScrollInView(TControl* control) {
  if (!control || control->Parent() != this) return;
  TRect cr = ClientRect();
  auto bring = [&](TControlScrollBar* bar, int start, int size, int page) {
    if (start < 0)
      MoveTo(bar, bar->position_ + start);
    else if (start + size > page)
      MoveTo(bar, bar->position_ + std::min(start, start + size - page));
  };
  bring(horz_, control->Left(), control->Width(), cr.Width());
  bring(vert_, control->Top(), control->Height(), cr.Height());
}

void TScrollBox::ScrollMessage(TControlScrollBar* bar, int code) {
  int pos = bar->position_;
  switch (code) {
    case SB_LINEUP: pos -= bar->increment_; break;
    case SB_LINEDOWN: pos += bar->increment_; break;
    case SB_PAGEUP: pos -= bar->page_; break;
    case SB_PAGEDOWN: pos += bar->page_; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = bar->range_; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(handle_, bar->bar_, &si);
      pos = si.nTrackPos;
      break;
    }
    default: return;
  }
  MoveTo(bar, pos);
}

void TScrollBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
      if (m.LParam == 0) {
        ScrollMessage(horz_, LOWORD(m.WParam));
        return;
      }
      break;
    case WM_VSCROLL:
      if (m.LParam == 0) {
        ScrollMessage(vert_, LOWORD(m.WParam));
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      int notches = GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA;
      if (vert_->visible_ && notches) {
        MoveTo(vert_, vert_->position_ - notches * vert_->increment_ * 3);
        m.Result = 0;
        return;
      }
      break;
    }
    default: break;
  }
  TWinControl::Dispatch(m);
}

VCL_REGISTER(TControlScrollBar) {
  cls.Prop(L"Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition).Default(0);
  cls.Prop(L"Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).Default(8);
}
VCL_REGISTER(TScrollBox) {
  cls.Prop(L"AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll).Default(true);
  cls.Prop(L"BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
  cls.Prop(L"HorzScrollBar", &TScrollBox::HorzScrollBar);
  cls.Prop(L"VertScrollBar", &TScrollBox::VertScrollBar);
}

}  // namespace vcl
