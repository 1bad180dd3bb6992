#pragma once
// The mask edit with a small button glued to its right edge inside its frame. A click on the button, or Alt+Down,
// raises OnButtonClick and drops down or closes a popup window that a descendant supplies (the date edit hangs its
// calendar there). The edit keeps its text out of the button's area.
#include <memory>

#include "skin/controls/sMaskEdit.h"
#include "skin/core/sButtonGlyphs.h"

class TsCustomComboEdit;

// Draws the drop-down arrow; a press on it is a click of its edit's button. Under an active skin it paints over
// its edit's cache: the skin's combo-button element in the normal, hot or pressed state, and the arrow in that
// element's font colour, dimmed while the edit is disabled or read-only. When the edit's GlyphMode names an image
// of its image list, the button shows that image instead of the arrow (the hot and pressed ones in those states, the
// normal one where they are not in the list), and is as wide as the image + 2.
class TsEditButton : public vcl::TCustomControl, public TsGlyphModeButton {
  VCL_CLASS(TsEditButton, vcl::TCustomControl)
  explicit TsEditButton(vcl::TComponent* owner);
  // 0 normal, 1 hot, 2 pressed.
  int CurrentState() const { return FPressed ? 2 : FHot ? 1 : 0; }
  // What the glyph settings read and write.
  bool Ready() const override;
  int Blend() const override { return FBlend; }
  void SetBlend(int value) override;
  bool Grayed() const override { return FGrayed; }
  void SetGrayed(bool value) override;
  rtl::String Hint() const override { return vcl::TCustomControl::Hint(); }
  void SetHint(const rtl::String& value) override { vcl::TCustomControl::SetHint(value); }
  void GlyphChanged(int width, int numGlyphs) override;
  int NumGlyphs() const { return FNumGlyphs; }
  // The width the edit gives the button: the image's + 2 with an image, else the arrow's 17.
  int ButtonWidth() const;
  // The image shown in state (normal, hot, pressed), or -1 for the arrow.
  int ImageIndexFor(int state) const;

 protected:
  void Paint() override;
  void Dispatch(vcl::TMessage& m) override;
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

 private:
  TsCustomComboEdit* Edit() const;
  void SkinnedPaint();
  // The glyph mode's image over the button's picture (skinned into bmp, unskinned onto the canvas).
  void DrawImage(vcl::TBitmap* bmp, int state, bool enabled);
  bool FPressed = false;
  bool FHot = false;
  int FBlend = 0;
  bool FGrayed = false;
  int FNumGlyphs = 1;
  int FGlyphWidth = 0;
};

class TsCustomComboEdit : public TsMaskEdit {
  VCL_CLASS(TsCustomComboEdit, TsMaskEdit)
  explicit TsCustomComboEdit(vcl::TComponent* owner);
  void SetBounds(int left, int top, int width, int height) override;

  ~TsCustomComboEdit() override;
  TsEditButton* Button() const { return FButton; }
  // The button's image settings.
  TsGlyphMode* GlyphMode() const { return FGlyphMode.get(); }
  void SetGlyphMode(TsGlyphMode* value) { FGlyphMode->Assign(value); }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { FPopupWidth = value; }
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value) { FPopupHeight = value; }
  // The popup is shown.
  bool DroppedDown() const;
  // The key that acts as a click of the button (Alt+Down).
  rtl::Word ClickKey() const { return FClickKey; }
  void SetClickKey(rtl::Word value) { FClickKey = value; }
  // Typing into the edit is allowed; without it the text comes only from the button (the popup).
  bool DirectInput() const { return FDirectInput; }
  void SetDirectInput(bool value);
  // Read-only: no typing, no paste or cut, and the button does nothing.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  TPopupWindowAlign PopupAlign() const { return FPopupWindowAlign; }
  void SetPopupAlign(TPopupWindowAlign value) { FPopupWindowAlign = value; }
  // A click of the button, unless read-only.
  void EditButtonClick();
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
  friend class TsEditButton;
  // Shows the popup window under the edit (right-aligned with it), without taking the focus from the edit.
  void ShowPopupAt(vcl::TWinControl* popup);

  TsEditButton* FButton = nullptr;
  bool FShowButton = true;
  rtl::Word FClickKey = 0x8028;
  bool FDirectInput = true;
  bool FReadOnly = false;
  TPopupWindowAlign FPopupWindowAlign = pwaRight;
  int FPopupWidth = 197;
  int FPopupHeight = 166;
  vcl::TWinControl* FPopupWindow = nullptr;
  std::unique_ptr<TsGlyphMode> FGlyphMode;
};
