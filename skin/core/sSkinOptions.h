#pragma once
// The option objects a skin manager owns and publishes: effects, painting switches, scroll bar, button and label
// support, animations and the class-name lists of standard controls to skin.
#include <array>
#include <cstdint>
#include <functional>

#include "platform/rtl/object.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/sConst.h"

// Effects the skinned forms and controls may use.
class TlvSkinEffects : public rtl::TPersistent {
  VCL_CLASS(TlvSkinEffects, rtl::TPersistent)
  bool AllowAnimation() const { return FAllowAnimation; }
  void SetAllowAnimation(bool v) { FAllowAnimation = v; }
  bool AllowAeroBluring() const { return FAllowAeroBluring; }
  void SetAllowAeroBluring(bool v) { FAllowAeroBluring = v; }
  bool AllowGlowing() const { return FAllowGlowing; }
  void SetAllowGlowing(bool v) { FAllowGlowing = v; }
  bool AllowOuterEffects() const { return FAllowOuterEffects; }
  void SetAllowOuterEffects(bool v);
  bool DiscoloredGlyphs() const { return FDiscoloredGlyphs; }
  void SetDiscoloredGlyphs(bool v);
  void Assign(const rtl::TPersistent* source) override;
  // The owner repaints its forms when the look changes (argument: lock the forms meanwhile).
  std::function<void(bool lockForms)> OnRepaint;

 private:
  bool FAllowAnimation = true;
  bool FAllowAeroBluring = true;
  bool FAllowGlowing = true;
  bool FAllowOuterEffects = false;
  bool FDiscoloredGlyphs = false;
};

// Switches of the skinned painting.
class TlvOptions : public rtl::TPersistent {
  VCL_CLASS(TlvOptions, rtl::TPersistent)
  bool CheckEmptyAlpha() const { return FCheckEmptyAlpha; }
  void SetCheckEmptyAlpha(bool v) { FCheckEmptyAlpha = v; }
  bool NoMouseHover() const { return FNoMouseHover; }
  void SetNoMouseHover(bool v) { FNoMouseHover = v; }
  bool NativeBordersMaximized() const { return FNativeBordersMaximized; }
  void SetNativeBordersMaximized(bool v) { FNativeBordersMaximized = v; }
  bool StdGlyphsOrder() const { return FStdGlyphsOrder; }
  void SetStdGlyphsOrder(bool v) { FStdGlyphsOrder = v; }
  bool ChangeSysColors() const { return FChangeSysColors; }
  void SetChangeSysColors(bool v);
  TlvOptimizingPriority OptimizingPriority() const { return FOptimizingPriority; }
  void SetOptimizingPriority(TlvOptimizingPriority v) { FOptimizingPriority = v; }
  // The options by index: 0 CheckEmptyAlpha, 1 NoMouseHover, 2 NativeBordersMaximized, 3 StdGlyphsOrder,
  // 4 ChangeSysColors.
  bool GetBool(int index) const;
  void Assign(const rtl::TPersistent* source) override;
  // The owner switches its colour redirects.
  std::function<void()> OnSysColorsChanged;

 private:
  bool FCheckEmptyAlpha = false;
  bool FNoMouseHover = false;
  bool FNativeBordersMaximized = false;
  bool FStdGlyphsOrder = false;
  bool FChangeSysColors = false;
  TlvOptimizingPriority FOptimizingPriority = opSpeed;
};

// Scroll bar sizes; -1 takes the system's.
class TlvScrollBarsSupport : public rtl::TPersistent {
  VCL_CLASS(TlvScrollBarsSupport, rtl::TPersistent)
  int ScrollSize() const { return FScrollSize; }
  void SetScrollSize(int v);
  int ButtonsSize() const { return FButtonsSize; }
  void SetButtonsSize(int v);
  void Assign(const rtl::TPersistent* source) override;
  // The owner tells its forms: the scroll bars must be measured again, or repainted.
  std::function<void()> OnScrollSizeChanged;
  std::function<void()> OnButtonsSizeChanged;

 private:
  int FScrollSize = -1;
  int FButtonsSize = -1;
};

// How skinned buttons show focus and pressing.
class TlvButtonsSupport : public rtl::TPersistent {
  VCL_CLASS(TlvButtonsSupport, rtl::TPersistent)
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool v) { FShowFocusRect = v; }
  bool ShiftContentOnClick() const { return FShiftContentOnClick; }
  void SetShiftContentOnClick(bool v) { FShiftContentOnClick = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  bool FShowFocusRect = true;
  bool FShiftContentOnClick = true;
};

// Skinned labels.
class TlvLabelsSupport : public rtl::TPersistent {
  VCL_CLASS(TlvLabelsSupport, rtl::TPersistent)
  bool TransparentAlways() const { return FTransparentAlways; }
  void SetTransparentAlways(bool v) { FTransparentAlways = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  bool FTransparentAlways = true;
};

// Base of the animation options: on or off and how long (ms, 0 = the library's own timing). Mode is published only
// by the animations that may choose it.
class TlvFormAnimation : public rtl::TPersistent {
  VCL_CLASS(TlvFormAnimation, rtl::TPersistent)
  TlvFormAnimation() = default;
  TlvFormAnimation(bool active, std::uint16_t time, TlvAnimType mode) : FActive(active), FTime(time), FMode(mode) {}
  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  std::uint16_t Time() const { return FTime; }
  void SetTime(std::uint16_t v) { FTime = v; }
  TlvAnimType Mode() const { return FMode; }
  void SetMode(TlvAnimType v) { FMode = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  bool FActive = true;
  std::uint16_t FTime = 0;
  TlvAnimType FMode = atAero;
};

class TlvFormShow : public TlvFormAnimation {
  VCL_CLASS(TlvFormShow, TlvFormAnimation)
};

class TlvFormHide : public TlvFormAnimation {
  VCL_CLASS(TlvFormHide, TlvFormAnimation)
};

class TlvDialogShow : public TlvFormAnimation {
  VCL_CLASS(TlvDialogShow, TlvFormAnimation)
};

class TlvMinimizing : public TlvFormAnimation {
  VCL_CLASS(TlvMinimizing, TlvFormAnimation)
  TlvMinimizing() : TlvFormAnimation(true, 120, atAero) {}
};

class TlvPageChange : public TlvFormAnimation {
  VCL_CLASS(TlvPageChange, TlvFormAnimation)
};

class TlvSkinChanging : public TlvFormAnimation {
  VCL_CLASS(TlvSkinChanging, TlvFormAnimation)
  TlvSkinChanging() : TlvFormAnimation(true, 100, atFading) {}
};

// Forms turn translucent while they are dragged.
class TlvBlendOnMoving : public TlvFormAnimation {
  VCL_CLASS(TlvBlendOnMoving, TlvFormAnimation)
  TlvBlendOnMoving() : TlvFormAnimation(false, 1000, atAero) {}
  std::uint8_t BlendValue() const { return FBlendValue; }
  void SetBlendValue(std::uint8_t v) { FBlendValue = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  std::uint8_t FBlendValue = 170;
};

// The mouse events skinned buttons animate.
class TlvBtnEffects : public rtl::TPersistent {
  VCL_CLASS(TlvBtnEffects, rtl::TPersistent)
  TlvBtnEvents Events() const { return FEvents; }
  void SetEvents(TlvBtnEvents v) { FEvents = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  TlvBtnEvents FEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
};

class TlvAnimEffects : public rtl::TPersistent {
  VCL_CLASS(TlvAnimEffects, rtl::TPersistent)
  TlvFormShow* FormShow() const { return const_cast<TlvFormShow*>(&FFormShow); }
  TlvFormHide* FormHide() const { return const_cast<TlvFormHide*>(&FFormHide); }
  TlvDialogShow* DialogShow() const { return const_cast<TlvDialogShow*>(&FDialogShow); }
  TlvFormHide* DialogHide() const { return const_cast<TlvFormHide*>(&FDialogHide); }
  TlvMinimizing* Minimizing() const { return const_cast<TlvMinimizing*>(&FMinimizing); }
  TlvPageChange* PageChange() const { return const_cast<TlvPageChange*>(&FPageChange); }
  TlvSkinChanging* SkinChanging() const { return const_cast<TlvSkinChanging*>(&FSkinChanging); }
  TlvBlendOnMoving* BlendOnMoving() const { return const_cast<TlvBlendOnMoving*>(&FBlendOnMoving); }
  TlvBtnEffects* Buttons() const { return const_cast<TlvBtnEffects*>(&FButtons); }
  void Assign(const rtl::TPersistent* source) override;

 private:
  TlvFormShow FFormShow;
  TlvFormHide FFormHide;
  TlvDialogShow FDialogShow;
  TlvFormHide FDialogHide;
  TlvMinimizing FMinimizing;
  TlvPageChange FPageChange;
  TlvSkinChanging FSkinChanging;
  TlvBlendOnMoving FBlendOnMoving;
  TlvBtnEffects FButtons;
};

// Class names of standard controls, one per line, per kind of control (TlvThirdPartyTypes order). An empty text
// takes the library's default for its kind.
class ThirdPartyList : public rtl::TPersistent {
  VCL_CLASS(ThirdPartyList, rtl::TPersistent)
  static constexpr int Count = lvLastSupportedType + 1;
  const rtl::String& GetString(int index) const { return FStrings.at(static_cast<size_t>(index)); }
  void SetString(int index, const rtl::String& value) { FStrings.at(static_cast<size_t>(index)) = value; }
  rtl::String ThirdEdits() const { return FStrings[0]; }
  void SetThirdEdits(const rtl::String& v) { FStrings[0] = v; }
  rtl::String ThirdButtons() const { return FStrings[1]; }
  void SetThirdButtons(const rtl::String& v) { FStrings[1] = v; }
  rtl::String ThirdBitBtns() const { return FStrings[2]; }
  void SetThirdBitBtns(const rtl::String& v) { FStrings[2] = v; }
  rtl::String ThirdCheckBoxes() const { return FStrings[3]; }
  void SetThirdCheckBoxes(const rtl::String& v) { FStrings[3] = v; }
  rtl::String ThirdComboBoxes() const { return FStrings[4]; }
  void SetThirdComboBoxes(const rtl::String& v) { FStrings[4] = v; }
  rtl::String ThirdGrids() const { return FStrings[5]; }
  void SetThirdGrids(const rtl::String& v) { FStrings[5] = v; }
  rtl::String ThirdGroupBoxes() const { return FStrings[6]; }
  void SetThirdGroupBoxes(const rtl::String& v) { FStrings[6] = v; }
  rtl::String ThirdListViews() const { return FStrings[7]; }
  void SetThirdListViews(const rtl::String& v) { FStrings[7] = v; }
  rtl::String ThirdPanels() const { return FStrings[8]; }
  void SetThirdPanels(const rtl::String& v) { FStrings[8] = v; }
  rtl::String ThirdTreeViews() const { return FStrings[9]; }
  void SetThirdTreeViews(const rtl::String& v) { FStrings[9] = v; }
  rtl::String ThirdWWEdits() const { return FStrings[10]; }
  void SetThirdWWEdits(const rtl::String& v) { FStrings[10] = v; }
  rtl::String ThirdGridEh() const { return FStrings[11]; }
  void SetThirdGridEh(const rtl::String& v) { FStrings[11] = v; }
  rtl::String ThirdVirtualTrees() const { return FStrings[12]; }
  void SetThirdVirtualTrees(const rtl::String& v) { FStrings[12] = v; }
  rtl::String ThirdPageControl() const { return FStrings[13]; }
  void SetThirdPageControl(const rtl::String& v) { FStrings[13] = v; }
  rtl::String ThirdTabControl() const { return FStrings[14]; }
  void SetThirdTabControl(const rtl::String& v) { FStrings[14] = v; }
  rtl::String ThirdToolBar() const { return FStrings[15]; }
  void SetThirdToolBar(const rtl::String& v) { FStrings[15] = v; }
  rtl::String ThirdStatusBar() const { return FStrings[16]; }
  void SetThirdStatusBar(const rtl::String& v) { FStrings[16] = v; }
  rtl::String ThirdSpeedButton() const { return FStrings[17]; }
  void SetThirdSpeedButton(const rtl::String& v) { FStrings[17] = v; }
  rtl::String ThirdScrollControl() const { return FStrings[18]; }
  void SetThirdScrollControl(const rtl::String& v) { FStrings[18] = v; }
  rtl::String ThirdUpDown() const { return FStrings[19]; }
  void SetThirdUpDown(const rtl::String& v) { FStrings[19] = v; }
  rtl::String ThirdScrollBar() const { return FStrings[20]; }
  void SetThirdScrollBar(const rtl::String& v) { FStrings[20] = v; }
  rtl::String ThirdStaticText() const { return FStrings[21]; }
  void SetThirdStaticText(const rtl::String& v) { FStrings[21] = v; }
  rtl::String ThirdNativePaint() const { return FStrings[22]; }
  void SetThirdNativePaint(const rtl::String& v) { FStrings[22] = v; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  std::array<rtl::String, Count> FStrings;
};
