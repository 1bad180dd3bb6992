#pragma once
// The skinned tool-bar button without a window. Without an active skin it is the platform's speed button (buttons
// of one group index act as radio buttons). With an active skin it paints from "SPEEDBUTTON" ("TOOLBUTTON" when
// flat) through its cache bitmap: hot through the manager's active graphic control, pressed and down looks, state
// fades, the tool-button styles (drop-down with an arrow strip and a menu, separator, divider) and images per state.
#include <memory>

#include "platform/vcl/buttons.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "skin/controls/sBitBtn.h"
#include "skin/core/sCommonData.h"
#include "skin/render/sTextDraw.h"

VCL_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton)

class TsSpeedButton : public vcl::TSpeedButton {
  VCL_CLASS(TsSpeedButton, vcl::TSpeedButton)
  void WndProc(vcl::TMessage& message) override;
  explicit TsSpeedButton(vcl::TComponent* owner);
  ~TsSpeedButton() override;
  void AfterConstruction() override;
  void Loaded() override;
  void Invalidate() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }

  virtual int CurrentState();
  int CurrentImageIndex();
  virtual int GlyphWidth() const;
  virtual int GlyphHeight() const;
  int GenMargin() const { return Margin() < 0 ? 0 : Margin() + 3; }
  int ArrowWidth() const { return FButtonStyle == tbsDropDown ? 16 : 0; }
  int MaxCaptionWidth() const;
  vcl::TSize TextRectSize();
  vcl::TRect ImgRect(bool shiftClicked);
  vcl::TRect CaptionRect(bool shiftClicked);
  vcl::TRect ArrowRect();
  virtual bool PrepareCache();
  // from: the parent's paint DC moved to the button, whose pixels lie behind a transparent button on a plain
  // parent; nil keeps the pixels taken before.
  bool PrepareCacheFrom(HDC from);
  // On a parent without a skin of its own, a transparent button shows the parent's pixels behind its cut corners;
  // an opaque one the parent's colour.
  bool StdParent() const { return FStdParent; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { SetValue(FTransparent, value); }
  // Paints outside WM_PAINT, straight onto the parent's window.
  void GraphRepaint();
  // The graphic siblings lying above the button, over its cache where they overlap it, so that a repaint of the
  // button alone does not cover them.
  void PaintParentControls();

  TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TToolButtonStyle value);
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value) { SetValue(FAlignment, value); }
  vcl::TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(vcl::TAlignment value) { SetValue(FTextAlignment, value); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value) { SetValue(FLayout, value); }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value) { SetValue(FNumGlyphs, value < 1 ? 1 : value); }
  int Blend() const { return FBlend; }
  void SetBlend(int value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value) { SetValue(FImageIndex, value); }
  int ImageIndexHot() const { return FImageIndexHot; }
  void SetImageIndexHot(int value) { SetValue(FImageIndexHot, value); }
  int ImageIndexPressed() const { return FImageIndexPressed; }
  void SetImageIndexPressed(int value) { SetValue(FImageIndexPressed, value); }
  int ImageIndexDisabled() const { return FImageIndexDisabled; }
  void SetImageIndexDisabled(int value) { SetValue(FImageIndexDisabled, value); }
  int ImageIndexSelected() const { return FImageIndexSelected; }
  void SetImageIndexSelected(int value) { SetValue(FImageIndexSelected, value); }
  int TextOffset() const { return FOffset; }
  void SetTextOffset(int value) { SetValue(FOffset, value); }
  bool DrawOverBorder() const { return FDrawOverBorder; }
  void SetDrawOverBorder(bool value) { SetValue(FDrawOverBorder, value); }
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool value) { SetValue(FGrayed, value); }
  bool Reflected() const { return FReflected; }
  void SetReflected(bool value) { SetValue(FReflected, value); }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value) { SetValue(FShowCaption, value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { SetValue(FWordWrap, value); }
  bool UseEllipsis() const { return FUseEllipsis; }
  void SetUseEllipsis(bool value) { SetValue(FUseEllipsis, value); }
  TlvGrayedMode GrayedMode() const { return FGrayedMode; }
  void SetGrayedMode(TlvGrayedMode value) { FGrayedMode = value; }
  vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(vcl::TCustomImageList* value);
  vcl::TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(vcl::TPopupMenu* value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value) { SetValue(FDisabledKind, value); }
  TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind value) { SetValue(FDisabledGlyphKind, value); }
  TlvAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TlvAnimatEvents value) { FAnimatEvents = value; }
  bool DroppedDown() const { return FDroppedDown; }

  TBmpPaintEvent OnPaint;
  vcl::TNotifyEvent OnMouseEnter;
  vcl::TNotifyEvent OnMouseLeave;
  // Forces the hot look.
  bool FHotState = false;
  // The button stands for a menu: never pressed, swallows left presses.
  bool FMenuOwnerMode = false;

 protected:
  void Paint() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void PaintControl(const TCacheInfo& ci);
  void DrawCaption();
  void DrawGlyph();
  void PaintArrow(const vcl::TRect& r, int state);
  void UpdateControl();
  void Lv_CMMouseEnter();
  void Lv_CMMouseLeave();
  void OpenMenu();
  bool Pressed() const;
  template <class T>
  void SetValue(T& field, T value) {
    if (field == value) return;
    field = value;
    UpdateControl();
  }

  std::unique_ptr<TsCtrlSkinData> FCommonData;
  std::unique_ptr<vcl::TBitmap> FStdBG;
  bool FTransparent = true, FStdParent = false, FBGCopying = false, FStdBGTaken = false;
  int FBlend = 0, FOffset = 0, FOldSpacing = -1, FImageIndex = -1, FOldNumGlyphs = -1, FImageIndexHot = -1,
      FImageIndexPressed = -1, FImageIndexDisabled = -1, FImageIndexSelected = -1, FNumGlyphs = 1;
  bool OldFlat = true;
  bool FWordWrap = true, FReflected = false, FStoredDown = false, FUseEllipsis = true, FShowCaption = true,
       FDrawOverBorder = true, FGrayed = false;
  bool FMenuVisible = false, FDroppedDown = false;
  vcl::TAlignment FAlignment = vcl::taCenter, FTextAlignment = vcl::taCenter;
  vcl::TPopupMenu* FDropdownMenu = nullptr;
  vcl::TCustomImageList* FImages = nullptr;
  TlvGrayedMode FGrayedMode = gmInactive;
  TsDisabledKind FDisabledKind{dkBlended};
  TsDisabledGlyphKind FDisabledGlyphKind;
  TlvAnimatEvents FAnimatEvents{aeGlobalDef};
  TToolButtonStyle FButtonStyle = tbsButton;
  TButtonLayout FLayout = blGlyphLeft;
  int OldMargin = -1;
  rtl::String OldCaption;
  TButtonLayout OldLayout = blGlyphLeft;
};

// The navigation arrows of the month calendar.
class TsTimerSpeedButton : public TsSpeedButton {
  VCL_CLASS(TsTimerSpeedButton, TsSpeedButton)
  explicit TsTimerSpeedButton(vcl::TComponent* owner);
  bool AllowTimer() const { return FAllowTimer; }
  void SetAllowTimer(bool value) { FAllowTimer = value; }

 private:
  bool FAllowTimer = false;
};
