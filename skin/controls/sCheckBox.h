#pragma once
// The skinned check box, base of the data-aware one. Without an active skin the platform draws and drives it; the
// control only adds ReadOnly, which keeps a click from changing the state. With an active skin it paints itself
// from the section "CHECKBOX" through its cache bitmap: the box from an image list, from two bitmaps or from the
// skin's box images (unchecked, checked, grayed), the caption in the section's font colour, a dotted focus frame;
// the mouse and the space key are its own, and the hot, pressed and checked looks fade into each other.
#include <memory>

#include "platform/vcl/events.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sCommonData.h"

class TsCheckBox : public vcl::TCheckBox {
  VCL_CLASS(TsCheckBox, vcl::TCheckBox)
  void WndProc(vcl::TMessage& message) override;
  explicit TsCheckBox(vcl::TComponent* owner);
  ~TsCheckBox() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int TextIndent() const { return FTextIndent; }
  void SetTextIndent(int value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  // Image-list indexes of the checked and of the other glyphs; the forms store both.
  int ImgChecked() const { return FImgChecked; }
  void SetImgChecked(int value);
  int ImgUnchecked() const { return FImgUnchecked; }
  void SetImgUnchecked(int value);
  vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(vcl::TCustomImageList* value);
  vcl::TBitmap* GlyphChecked() const { return FGlyphChecked.get(); }
  void SetGlyphChecked(vcl::TBitmap* value);
  vcl::TBitmap* GlyphUnChecked() const { return FGlyphUnChecked.get(); }
  void SetGlyphUnChecked(vcl::TBitmap* value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  TvaAlign VerticalAlign() const { return FVerticalAlign; }
  void SetVerticalAlign(TvaAlign value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  TlvAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TlvAnimatEvents value) { FAnimatEvents = value; }
  // taRightJustify: the box on the left, the caption to its right.
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  // With a skin the control takes the size of its box and caption; without one it keeps the size it is given, as
  // the records screens lay their check boxes out.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  // Checked assigned by the program: OnValueChanged follows a change (a click or the space key sets State
  // directly and fires only OnClick).
  void SetChecked(bool value);
  void AdjustSize();

  // The state painted: 2 pressed, 1 hot or focused (not read-only), else 0.
  int PaintCtrlState();
  // Where the box lies in the control.
  vcl::TRect CheckRect();
  vcl::TRect SkinCheckRect(int maskIndex);
  int GlyphWidth();
  int GlyphHeight();
  int SkinGlyphWidth(int maskIndex);
  int SkinGlyphHeight(int maskIndex);
  // The user's bitmap for the current state; nullptr when it is empty.
  vcl::TBitmap* Glyph();
  // The skin's box image for state 0 unchecked, 1 checked, 2 grayed; -1 when the skin has none.
  int GlyphMaskIndex(int state);
  // The whole look into the cache; false when the parent's background is not ready yet.
  bool PrepareCache();
  // Skinned size for the box and caption (true when the size was worked out).
  bool CanAutoSize(int& newWidth, int& newHeight);
  bool Pressed() const { return FPressed; }

  // Fires when Checked is assigned and the value changes.
  vcl::TNotifyEvent OnValueChanged;

 protected:
  void Toggle() override;
  void DrawCheckText();
  void DrawCheckArea();
  void DrawSkinGlyph(int maskIndex);
  void PaintGlyph(vcl::TBitmap* bmp, int frame);
  void PaintControl(HDC dc);
  void PaintHandler(vcl::TMessage& m);
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  bool ImageMode() const;
  static int FramesOf(int width, int height);

  bool FPressed = false;
  bool FShowFocus = true;
  int FMargin = 2;
  int FTextIndent = 0;
  std::unique_ptr<vcl::TBitmap> FGlyphChecked;
  std::unique_ptr<vcl::TBitmap> FGlyphUnChecked;
  int FImgChecked = 0;
  int FImgUnchecked = 0;
  TvaAlign FVerticalAlign = TvaAlign::vaMiddle;
  std::unique_ptr<TsCommonData> FCommonData;
  vcl::TCustomImageList* FImages = nullptr;
  TsDisabledKind FDisabledKind{dkBlended};
  TlvAnimatEvents FAnimatEvents{aeGlobalDef};
  bool FReadOnly = false;
  vcl::TAlignment FAlignment = vcl::taRightJustify;
  bool FWordWrap = false;
  bool FAutoSize = true;
};

// When not -1, the state (0..2) whose skin box is painted instead of the control's own; the data-aware check box
// sets it while it paints a copy of a record's value.
extern int PaintState;
