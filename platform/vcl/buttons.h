#pragma once
// The bit button: a push button that draws its glyph beside its caption, greyed and inert when disabled.
// The speed button: a windowless button for tool bars; buttons of one group index act like radio buttons.
#include "platform/vcl/bitmap.h"
#include "platform/vcl/stdctrls.h"

namespace vcl {

class TBitBtn : public TButton {
  VCL_CLASS(TBitBtn, TButton)
public:
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;
  TBitmap* Glyph() const { return glyph_; }
  void SetGlyph(TBitmap* value);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);

protected:
  void CreateParams(TCreateParams& p) override;
  void Dispatch(TMessage& m) override;
  void DrawItem(const DRAWITEMSTRUCT& dis);

private:
  TBitmap* glyph_ = nullptr;
  int margin_ = -1;
  int spacing_ = 4;
};

VCL_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)

class TSpeedButton : public TGraphicControl {
  VCL_CLASS(TSpeedButton, TGraphicControl)
public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;
  TBitmap* Glyph() const { return glyph_; }
  void SetGlyph(TBitmap* value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // Buttons of the same non-zero group index on one parent: pressing one raises the others.
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int value);
  // Only a grouped button stays down; without AllowAllUp one button of the group always does.
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TButtonState State() const { return state_; }
  // True while the mouse is over a flat button (it shows its frame).
  bool MouseInControl() const { return mouse_in_control_; }
  void Click() override;

protected:
  // For descendants that show the button pressed for reasons of their own (a drop-down menu held open).
  void SetState(TButtonState value) { state_ = value; }
  void Paint() override;
  void Dispatch(TMessage& m) override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseMove(TShiftState shift, int x, int y) override;

private:
  void UpdateExclusive();
  void ButtonPressed(int group, TSpeedButton* sender);
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  TBitmap* glyph_ = nullptr;
  bool flat_ = false;
  int group_index_ = 0;
  bool down_ = false;
  bool allow_all_up_ = false;
  int margin_ = -1;
  int spacing_ = 4;
  bool dragging_ = false;
  TButtonState state_ = bsUp;
};

}  // namespace vcl
