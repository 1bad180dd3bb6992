#pragma once
// The mask edit with a small button glued to its right edge inside its frame. A click on the button, or Alt+Down,
// raises OnButtonClick and drops down or closes a popup window that a descendant supplies (the date edit hangs its
// calendar there). The edit keeps its text out of the button's area.
#include "skin/controls/sMaskEdit.h"

class TsCustomComboEdit;

// Draws the drop-down arrow; a press on it is a click of its edit's button.
class TsEditButton : public vcl::TCustomControl {
  VCL_CLASS(TsEditButton, vcl::TCustomControl)
  explicit TsEditButton(vcl::TComponent* owner);

 protected:
  void Paint() override;
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

 private:
  TsCustomComboEdit* Edit() const;
  bool FPressed = false;
};

class TsCustomComboEdit : public TsMaskEdit {
  VCL_CLASS(TsCustomComboEdit, TsMaskEdit)
  explicit TsCustomComboEdit(vcl::TComponent* owner);
  void SetBounds(int left, int top, int width, int height) override;

  TsEditButton* Button() const { return FButton; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { FPopupWidth = value; }
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value) { FPopupHeight = value; }
  // The popup is shown.
  bool DroppedDown() const;
  // The button's click: OnButtonClick, then the popup dropped down or closed.
  virtual void ButtonClick();
  virtual void PopupWindowShow();
  virtual void PopupWindowClose();

  vcl::TNotifyEvent OnButtonClick;

 protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void InitializeWnd() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void Dispatch(vcl::TMessage& m) override;
  // Puts the button at the right edge and keeps the text left of it.
  void PlaceButton();
  // Shows the popup window under the edit (right-aligned with it), without taking the focus from the edit.
  void ShowPopupAt(vcl::TWinControl* popup);

  TsEditButton* FButton = nullptr;
  bool FShowButton = true;
  int FPopupWidth = 197;
  int FPopupHeight = 166;
  vcl::TWinControl* FPopupWindow = nullptr;
};
