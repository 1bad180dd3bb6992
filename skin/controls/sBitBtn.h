#pragma once
// The skinned push button with a glyph. Without an active skin it is the platform's bit button: it shows caption
// and glyph, clicks on the mouse, on Space and (while focused) on Enter, and is greyed and inert while disabled.
// With an active skin it paints from its section ("BUTTON") through its cache bitmap: hot, pressed and default
// looks, state fades, a window region for cut corners, the skin's focus rectangle and text colours.
#include <memory>

#include "platform/vcl/buttons.h"
#include "platform/vcl/events.h"
#include "platform/vcl/imagelist.h"
#include "skin/core/sCommonData.h"
#include "skin/render/sTextDraw.h"

using TBmpPaintEvent = vcl::TEvent<void(rtl::TObject* Sender, vcl::TBitmap* Bmp)>;

class TsBitBtn : public vcl::TBitBtn {
  VCL_CLASS(TsBitBtn, vcl::TBitBtn)
  void WndProc(vcl::TMessage& message) override;
  explicit TsBitBtn(vcl::TComponent* owner);
  ~TsBitBtn() override;
  void AfterConstruction() override;
  void Loaded() override;
  void Click() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }

  // 0 normal, 1 hot, 2 pressed, 3 default (a default button while no button has the focus).
  int CurrentState();
  // Paints the cache; false when the parent's background is not ready yet.
  bool PrepareCache();
  int GlyphWidth() const;
  int GlyphHeight() const;
  int MaxCaptionWidth() const;
  vcl::TSize TextRectSize();
  vcl::TRect ImgRect();
  // Where the last painting put glyph and caption (client coordinates).
  vcl::TPoint GlyphPos() const { return FGlyphPos; }
  vcl::TRect CaptionRect() const { return FCaptionRect; }

  bool Down() const { return FDown; }
  void SetDown(bool value);
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool value) { SetBool(FGrayed, value); }
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value) { SetBool(FShowFocus, value); }
  bool Reflected() const { return FReflected; }
  void SetReflected(bool value) { SetBool(FReflected, value); }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value) { SetBool(FShowCaption, value); }
  bool DrawOverBorder() const { return FDrawOverBorder; }
  void SetDrawOverBorder(bool value) { SetBool(FDrawOverBorder, value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { SetBool(FWordWrap, value); }
  bool AcceptsControls() const { return FAcceptsControls; }
  void SetAcceptsControls(bool value);
  int Blend() const { return FBlend; }
  void SetBlend(int value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value) { SetInt(FImageIndex, value); }
  int FocusMargin() const { return FFocusMargin; }
  void SetFocusMargin(int value) { FFocusMargin = value; }
  int TextOffset() const { return FOffset; }
  void SetTextOffset(int value) { SetInt(FOffset, value); }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value) { SetInt(FNumGlyphs, value < 1 ? 1 : value); }
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  vcl::TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(vcl::TAlignment value);
  vcl::TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(vcl::TVerticalAlignment value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(vcl::TCustomImageList* value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind value);
  TlvAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TlvAnimatEvents value) { FAnimatEvents = value; }

  TBmpPaintEvent OnPaint;
  vcl::TNotifyEvent OnMouseEnter;
  vcl::TNotifyEvent OnMouseLeave;

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void DrawCaption(vcl::TCanvas* canvas);
  void OurPaintHandler(HDC dc);
  void ShiftControls(int offset);
  bool RegionCase();
  void SetBool(bool& field, bool value);
  void SetInt(int& field, int value);

  std::unique_ptr<TsCtrlSkinData> FCommonData;
  bool FDown = false, FGrayed = false, FShowFocus = true, FReflected = false, FShowCaption = true;
  bool RegionChanged = true;
  bool FMouseClicked = false;
  bool FAcceptsControls = false, FDrawOverBorder = true, FWordWrap = true;
  int FBlend = 0, FOffset = 0, FOldSpacing = -1, FImageIndex = -1, FFocusMargin = 1, FNumGlyphs = 1;
  vcl::TAlignment FAlignment = vcl::taCenter, FTextAlignment = vcl::taCenter;
  vcl::TRect LastRect;
  vcl::TCustomImageList* FImages = nullptr;
  TsDisabledKind FDisabledKind{dkBlended};
  TlvAnimatEvents FAnimatEvents{aeGlobalDef};
  TsDisabledGlyphKind FDisabledGlyphKind;
  vcl::TVerticalAlignment FVerticalAlignment = vcl::taVerticalCenter;
  bool ControlsShifted = false;
  HRGN FRegion = reinterpret_cast<HRGN>(1);
  vcl::TPoint FGlyphPos;
  vcl::TRect FCaptionRect;
  TButtonLayout FLayout = blGlyphLeft;
  bool FSpacePressed = false;
};
