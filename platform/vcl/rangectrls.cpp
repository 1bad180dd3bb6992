// The system's track bar and up-down tell their parent about changes with scroll messages; rather than depend on
// the parent, the track bar reads its position back after each input message it handles, and the up-down decides
// every step itself when it is asked (UDN_DELTAPOS), so that ranges, wrapping and the associate's text are ours.
#include "platform/vcl/rangectrls.h"

#include <algorithm>

#include <commctrl.h>

#include "platform/rtl/formatsettings.h"
#include "platform/vcl/styles.h"

namespace vcl {

// Progress bar.

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, PROGRESS_CLASSW);
  if (smooth_) p.Style |= PBS_SMOOTH;
  if (orientation_ == pbVertical) p.Style |= PBS_VERTICAL;
}

void TProgressBar::InitializeWnd() {
  TWinControl::InitializeWnd();
  SendMessageW(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  if (StyleServices().Enabled())
    SendMessageW(handle_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(ColorToGdi(clHighlight)));
}

void TProgressBar::SetRange(int min, int max) {
  if (max < min) max = min;
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  if (handle_) {
    SendMessageW(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  }
}

void TProgressBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, max_);
  if (handle_) SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetSmooth(bool v) {
  smooth_ = v;
  if (handle_) RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation v) {
  orientation_ = v;
  if (handle_) RecreateWnd();
}

// Track bar.

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 45);
  tab_stop_ = true;
}

void TTrackBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, TRACKBAR_CLASSW);
  p.Style |= TBS_AUTOTICKS | (orientation_ == trVertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::InitializeWnd() {
  TWinControl::InitializeWnd();
  SendMessageW(handle_, TBM_SETRANGEMIN, FALSE, min_);
  SendMessageW(handle_, TBM_SETRANGEMAX, FALSE, max_);
  SendMessageW(handle_, TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
  SendMessageW(handle_, TBM_SETPAGESIZE, 0, page_size_);
  SendMessageW(handle_, TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  if (handle_) {
    SendMessageW(handle_, TBM_SETRANGEMIN, TRUE, min_);
    SendMessageW(handle_, TBM_SETRANGEMAX, TRUE, max_);
  }
  SetPosition(position_);
}

void TTrackBar::SetMax(int v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  if (handle_) {
    SendMessageW(handle_, TBM_SETRANGEMIN, TRUE, min_);
    SendMessageW(handle_, TBM_SETRANGEMAX, TRUE, max_);
  }
  SetPosition(position_);
}

int TTrackBar::Position() {
  SyncFromWindow();
  return position_;
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, min_, max_);
  if (handle_) SendMessageW(handle_, TBM_SETPOS, TRUE, v);
  if (v == position_) return;
  position_ = v;
  Changed();
}

void TTrackBar::SetFrequency(int v) {
  frequency_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETTICFREQ, static_cast<WPARAM>(v), 0);
}

void TTrackBar::SetPageSize(int v) {
  page_size_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETPAGESIZE, 0, v);
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
  if (orientation_ == v) return;
  orientation_ = v;
  SetBounds(left_, top_, height_, width_);
  if (handle_) RecreateWnd();
}

void TTrackBar::SyncFromWindow() {
  if (!handle_) return;
  int pos = static_cast<int>(SendMessageW(handle_, TBM_GETPOS, 0, 0));
  if (pos == position_) return;
  position_ = pos;
  Changed();
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

void TTrackBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_TIMER:  // the window repeats page steps while the mouse is held
      TWinControl::Dispatch(m);
      SyncFromWindow();
      return;
    default: TWinControl::Dispatch(m);
  }
}

// Up-down.

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 17, 21); }

TUpDown::~TUpDown() {
  if (associate_) associate_->RemoveFreeNotification(this);
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, UPDOWN_CLASSW);
  if (arrow_keys_) p.Style |= UDS_ARROWKEYS;
  if (wrap_) p.Style |= UDS_WRAP;
  if (orientation_ == udHorizontal) p.Style |= UDS_HORZ;
}

void TUpDown::InitializeWnd() {
  TWinControl::InitializeWnd();
  SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageW(handle_, UDM_SETPOS32, 0, position_);
  if (associate_) SendMessageW(handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
}

void TUpDown::SetMin(int v) {
  min_ = v;
  if (handle_) SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SetPosition(position_);
}

void TUpDown::SetMax(int v) {
  max_ = v;
  if (handle_) SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SetPosition(position_);
}

int TUpDown::Position() {
  // What the user typed into the associate counts when it is a number in range.
  if (associate_) {
    String text = associate_->Text();
    String digits;
    for (wchar_t c : text)
      if (c != rtl::FormatSettings.ThousandSeparator && c != L' ') digits += c;
    try {
      size_t used = 0;
      int v = std::stoi(digits, &used);
      if (used == digits.size() && v >= std::min(min_, max_) && v <= std::max(min_, max_)) position_ = v;
    } catch (const std::exception&) {
      // Not a number: the last position stands.
    }
  }
  return position_;
}

void TUpDown::SetPosition(int v) {
  position_ = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  if (handle_) SendMessageW(handle_, UDM_SETPOS32, 0, position_);
  ShowInAssociate();
}

void TUpDown::SetIncrement(int v) { increment_ = v; }
void TUpDown::SetWrap(bool v) {
  wrap_ = v;
  if (handle_) RecreateWnd();
}
void TUpDown::SetArrowKeys(bool v) {
  arrow_keys_ = v;
  if (handle_) RecreateWnd();
}
void TUpDown::SetThousands(bool v) {
  thousands_ = v;
  ShowInAssociate();
}
void TUpDown::SetOrientation(TUDOrientation v) {
  orientation_ = v;
  if (handle_) RecreateWnd();
}
void TUpDown::SetAlignButton(TUDAlignButton v) {
  align_button_ = v;
  PlaceBesideAssociate();
}

void TUpDown::SetAssociate(TWinControl* value) {
  if (value == this) return;
  if (associate_) associate_->RemoveFreeNotification(this);
  associate_ = value;
  if (associate_) associate_->FreeNotification(this);
  if (handle_) SendMessageW(handle_, UDM_SETBUDDY, associate_ ? reinterpret_cast<WPARAM>(associate_->Handle()) : 0, 0);
  PlaceBesideAssociate();
  ShowInAssociate();
}

void TUpDown::PlaceBesideAssociate() {
  if (!associate_ || IsLoading()) return;
  if (associate_->Parent() && associate_->Parent() != parent_) SetParent(associate_->Parent());
  int x = align_button_ == udRight ? associate_->Left() + associate_->Width() : associate_->Left() - width_;
  SetBounds(x, associate_->Top(), width_, associate_->Height());
}

void TUpDown::ShowInAssociate() {
  if (!associate_) return;
  String digits = std::to_wstring(position_ < 0 ? -static_cast<long long>(position_) : position_);
  if (thousands_)
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
      digits.insert(static_cast<size_t>(i), 1, rtl::FormatSettings.ThousandSeparator);
  associate_->SetText(position_ < 0 ? L"-" + digits : digits);
}

void TUpDown::Click(TUDBtnType button) {
  int current = Position();
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return;
  long long lo = std::min(min_, max_), hi = std::max(min_, max_);
  // The up button goes toward Max, whichever way the range runs.
  long long step = (button == btNext ? 1 : -1) * static_cast<long long>(increment_) * (max_ >= min_ ? 1 : -1);
  long long next = current + step;
  if (next > hi) next = wrap_ ? lo : hi;
  if (next < lo) next = wrap_ ? hi : lo;
  SetPosition(static_cast<int>(next));
  if (OnClick) OnClick(this, button);
}

void TUpDown::Dispatch(TMessage& m) {
  if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == UDN_DELTAPOS) {
    auto* info = reinterpret_cast<NMUPDOWN*>(m.LParam);
    Click(info->iDelta > 0 ? btNext : btPrev);
    m.Result = TRUE;  // the step is taken above; the window must not take it again
    return;
  }
  TWinControl::Dispatch(m);
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == associate_) associate_ = nullptr;
}

VCL_REGISTER(TProgressBar) {
  cls.Prop(L"Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  cls.Prop(L"Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  cls.Prop(L"Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  cls.Prop(L"Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  cls.Prop(L"Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
  cls.Prop(L"Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).Default(pbHorizontal);
}
VCL_REGISTER(TTrackBar) {
  cls.Prop(L"Min", &TTrackBar::Min, &TTrackBar::SetMin).Default(0);
  cls.Prop(L"Max", &TTrackBar::Max, &TTrackBar::SetMax).Default(10);
  cls.Prop(L"Position", &TTrackBar::Position, &TTrackBar::SetPosition).Default(0);
  cls.Prop(L"Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency).Default(1);
  cls.Prop(L"PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize).Default(2);
  cls.Prop(L"Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation).Default(trHorizontal);
  cls.Prop(L"OnChange", &TTrackBar::OnChange);
}
VCL_REGISTER(TUpDown) {
  cls.Prop(L"Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
  cls.Prop(L"Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
  cls.Prop(L"Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
  cls.Prop(L"Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
  cls.Prop(L"Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
  cls.Prop(L"Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(false);
  cls.Prop(L"ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys).Default(true);
  cls.Prop(L"Thousands", &TUpDown::Thousands, &TUpDown::SetThousands).Default(true);
  cls.Prop(L"Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical);
  cls.Prop(L"AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton).Default(udRight);
  cls.Prop(L"OnClick", &TUpDown::OnClick);
  cls.Prop(L"OnChanging", &TUpDown::OnChanging);
}

}  // namespace vcl
