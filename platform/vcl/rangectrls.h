#pragma once
// Controls that show or choose a number in a range, over the system's windows: the progress bar, the track bar
// and the up-down buttons (which can drive an edit, their Associate).
#include "platform/vcl/controls.h"

namespace vcl {

VCL_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical)
VCL_ENUM(TTrackBarOrientation, trHorizontal, trVertical)
VCL_ENUM(TUDOrientation, udHorizontal, udVertical)
VCL_ENUM(TUDAlignButton, udLeft, udRight)
VCL_ENUM(TUDBtnType, btNext, btPrev)

class TProgressBar : public TWinControl {
  VCL_CLASS(TProgressBar, TWinControl)
 public:
  explicit TProgressBar(TComponent* owner);
  int Min() const { return min_; }
  void SetMin(int v) { SetRange(v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetRange(min_, v); }
  // Position stays within Min..Max.
  int Position() const { return position_; }
  void SetPosition(int v);
  int Step() const { return step_; }
  void SetStep(int v) { step_ = v; }
  void StepIt() { SetPosition(position_ + step_); }
  void StepBy(int delta) { SetPosition(position_ + delta); }
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool v);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation v);

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;

 private:
  void SetRange(int min, int max);
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
};

class TTrackBar : public TWinControl {
  VCL_CLASS(TTrackBar, TWinControl)
 public:
  explicit TTrackBar(TComponent* owner);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position();
  void SetPosition(int v);
  int Frequency() const { return frequency_; }
  void SetFrequency(int v);
  int PageSize() const { return page_size_; }
  void SetPageSize(int v);
  TTrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation v);
  // After every change of Position, by the user or by the program.
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  virtual void Changed();

 private:
  void SyncFromWindow();
  int min_ = 0, max_ = 10, position_ = 0, frequency_ = 1, page_size_ = 2;
  TTrackBarOrientation orientation_ = trHorizontal;
};

using TUDClickEvent = TEvent<void(rtl::TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TEvent<void(rtl::TObject* Sender, bool& AllowChange)>;

class TUpDown : public TWinControl {
  VCL_CLASS(TUpDown, TWinControl)
 public:
  explicit TUpDown(TComponent* owner);
  ~TUpDown() override;
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position();
  void SetPosition(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v);
  bool ArrowKeys() const { return arrow_keys_; }
  void SetArrowKeys(bool v);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool v);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation v);
  TUDAlignButton AlignButton() const { return align_button_; }
  void SetAlignButton(TUDAlignButton v);
  // The control (an edit) that shows the position; the up-down moves beside it and keeps its text.
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* value);
  // One step as a click of a button does.
  void Click(TUDBtnType button);
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void PlaceBesideAssociate();
  void ShowInAssociate();
  int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
  bool wrap_ = false;
  bool arrow_keys_ = true;
  bool thousands_ = true;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton align_button_ = udRight;
  TWinControl* associate_ = nullptr;
};

}  // namespace vcl
