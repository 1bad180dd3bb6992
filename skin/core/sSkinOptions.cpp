#include "skin/core/sSkinOptions.h"

void TlvSkinEffects::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvSkinEffects*>(source);
  if (!s) return inherited::Assign(source);
  FAllowAnimation = s->FAllowAnimation;
  FAllowAeroBluring = s->FAllowAeroBluring;
  FAllowGlowing = s->FAllowGlowing;
  FAllowOuterEffects = s->FAllowOuterEffects;
  FDiscoloredGlyphs = s->FDiscoloredGlyphs;
}

void TlvSkinEffects::SetAllowOuterEffects(bool v) {
  if (v == FAllowOuterEffects) return;
  FAllowOuterEffects = v;
  if (OnRepaint) OnRepaint(false);
}

void TlvSkinEffects::SetDiscoloredGlyphs(bool v) {
  if (v == FDiscoloredGlyphs) return;
  FDiscoloredGlyphs = v;
  if (OnRepaint) OnRepaint(true);
}

VCL_REGISTER(TlvSkinEffects) {
  cls.Prop(L"AllowAnimation", &TlvSkinEffects::AllowAnimation, &TlvSkinEffects::SetAllowAnimation).Default(true);
  cls.Prop(L"AllowAeroBluring", &TlvSkinEffects::AllowAeroBluring, &TlvSkinEffects::SetAllowAeroBluring).Default(true);
  cls.Prop(L"AllowGlowing", &TlvSkinEffects::AllowGlowing, &TlvSkinEffects::SetAllowGlowing).Default(true);
  cls.Prop(L"AllowOuterEffects", &TlvSkinEffects::AllowOuterEffects, &TlvSkinEffects::SetAllowOuterEffects)
      .Default(false);
  cls.Prop(L"DiscoloredGlyphs", &TlvSkinEffects::DiscoloredGlyphs, &TlvSkinEffects::SetDiscoloredGlyphs).Default(false);
}

void TlvOptions::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvOptions*>(source);
  if (!s) return inherited::Assign(source);
  FCheckEmptyAlpha = s->FCheckEmptyAlpha;
  FNoMouseHover = s->FNoMouseHover;
  FNativeBordersMaximized = s->FNativeBordersMaximized;
  FStdGlyphsOrder = s->FStdGlyphsOrder;
  FChangeSysColors = s->FChangeSysColors;
  FOptimizingPriority = s->FOptimizingPriority;
}

void TlvOptions::SetChangeSysColors(bool v) {
  if (v == FChangeSysColors) return;
  FChangeSysColors = v;
  if (OnSysColorsChanged) OnSysColorsChanged();
}

bool TlvOptions::GetBool(int index) const {
  switch (index) {
    case 0:
      return FCheckEmptyAlpha;
    case 1:
      return FNoMouseHover;
    case 2:
      return FNativeBordersMaximized;
    case 3:
      return FStdGlyphsOrder;
    case 4:
      return FChangeSysColors;
    default:
      return false;
  }
}

VCL_REGISTER(TlvOptions) {
  cls.Prop(L"CheckEmptyAlpha", &TlvOptions::CheckEmptyAlpha, &TlvOptions::SetCheckEmptyAlpha).Default(false);
  cls.Prop(L"NoMouseHover", &TlvOptions::NoMouseHover, &TlvOptions::SetNoMouseHover).Default(false);
  cls.Prop(L"NativeBordersMaximized", &TlvOptions::NativeBordersMaximized, &TlvOptions::SetNativeBordersMaximized)
      .Default(false);
  cls.Prop(L"StdGlyphsOrder", &TlvOptions::StdGlyphsOrder, &TlvOptions::SetStdGlyphsOrder).Default(false);
  cls.Prop(L"ChangeSysColors", &TlvOptions::ChangeSysColors, &TlvOptions::SetChangeSysColors).Default(false);
  cls.Prop(L"OptimizingPriority", &TlvOptions::OptimizingPriority, &TlvOptions::SetOptimizingPriority).Default(opSpeed);
}

void TlvScrollBarsSupport::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvScrollBarsSupport*>(source);
  if (!s) return inherited::Assign(source);
  FScrollSize = s->FScrollSize;
  FButtonsSize = s->FButtonsSize;
}

void TlvScrollBarsSupport::SetScrollSize(int v) {
  if (v == FScrollSize) return;
  FScrollSize = v;
  if (OnScrollSizeChanged) OnScrollSizeChanged();
}

void TlvScrollBarsSupport::SetButtonsSize(int v) {
  if (v == FButtonsSize) return;
  FButtonsSize = v;
  if (OnButtonsSizeChanged) OnButtonsSizeChanged();
}

VCL_REGISTER(TlvScrollBarsSupport) {
  cls.Prop(L"ScrollSize", &TlvScrollBarsSupport::ScrollSize, &TlvScrollBarsSupport::SetScrollSize).Default(-1);
  cls.Prop(L"ButtonsSize", &TlvScrollBarsSupport::ButtonsSize, &TlvScrollBarsSupport::SetButtonsSize).Default(-1);
}

void TlvButtonsSupport::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvButtonsSupport*>(source);
  if (!s) return inherited::Assign(source);
  FShowFocusRect = s->FShowFocusRect;
  FShiftContentOnClick = s->FShiftContentOnClick;
}

VCL_REGISTER(TlvButtonsSupport) {
  cls.Prop(L"ShowFocusRect", &TlvButtonsSupport::ShowFocusRect, &TlvButtonsSupport::SetShowFocusRect).Default(true);
  cls.Prop(L"ShiftContentOnClick", &TlvButtonsSupport::ShiftContentOnClick, &TlvButtonsSupport::SetShiftContentOnClick)
      .Default(true);
}

void TlvLabelsSupport::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvLabelsSupport*>(source);
  if (!s) return inherited::Assign(source);
  FTransparentAlways = s->FTransparentAlways;
}

VCL_REGISTER(TlvLabelsSupport) {
  cls.Prop(L"TransparentAlways", &TlvLabelsSupport::TransparentAlways, &TlvLabelsSupport::SetTransparentAlways)
      .Default(true);
}

void TlvFormAnimation::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvFormAnimation*>(source);
  if (!s) return inherited::Assign(source);
  FActive = s->FActive;
  FTime = s->FTime;
  FMode = s->FMode;
}

VCL_REGISTER(TlvFormAnimation) {
  cls.Prop(L"Active", &TlvFormAnimation::Active, &TlvFormAnimation::SetActive).Default(true);
  cls.Prop(L"Time", &TlvFormAnimation::Time, &TlvFormAnimation::SetTime).Default(0);
}

VCL_REGISTER(TlvFormShow) { cls.Prop(L"Mode", &TlvFormShow::Mode, &TlvFormShow::SetMode).Default(atAero); }
VCL_REGISTER(TlvFormHide) { cls.Prop(L"Mode", &TlvFormHide::Mode, &TlvFormHide::SetMode).Default(atAero); }
VCL_REGISTER(TlvDialogShow) { cls.Prop(L"Mode", &TlvDialogShow::Mode, &TlvDialogShow::SetMode).Default(atAero); }
VCL_REGISTER(TlvMinimizing) { cls.Prop(L"Time", &TlvMinimizing::Time, &TlvMinimizing::SetTime).Default(120); }
VCL_REGISTER(TlvPageChange) {}

VCL_REGISTER(TlvSkinChanging) {
  cls.Prop(L"Time", &TlvSkinChanging::Time, &TlvSkinChanging::SetTime).Default(100);
  cls.Prop(L"Mode", &TlvSkinChanging::Mode, &TlvSkinChanging::SetMode).Default(atFading);
}

void TlvBlendOnMoving::Assign(const rtl::TPersistent* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<const TlvBlendOnMoving*>(source)) FBlendValue = s->FBlendValue;
}

VCL_REGISTER(TlvBlendOnMoving) {
  cls.Prop(L"Active", &TlvBlendOnMoving::Active, &TlvBlendOnMoving::SetActive).Default(false);
  cls.Prop(L"BlendValue", &TlvBlendOnMoving::BlendValue, &TlvBlendOnMoving::SetBlendValue).Default(170);
  cls.Prop(L"Time", &TlvBlendOnMoving::Time, &TlvBlendOnMoving::SetTime).Default(1000);
}

void TlvBtnEffects::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvBtnEffects*>(source);
  if (!s) return inherited::Assign(source);
  FEvents = s->FEvents;
}

VCL_REGISTER(TlvBtnEffects) {
  cls.Prop(L"Events", &TlvBtnEffects::Events, &TlvBtnEffects::SetEvents)
      .Default(TlvBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp});
}

void TlvAnimEffects::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TlvAnimEffects*>(source);
  if (!s) return inherited::Assign(source);
  FFormShow.Assign(&s->FFormShow);
  FFormHide.Assign(&s->FFormHide);
  FDialogShow.Assign(&s->FDialogShow);
  FDialogHide.Assign(&s->FDialogHide);
  FMinimizing.Assign(&s->FMinimizing);
  FPageChange.Assign(&s->FPageChange);
  FSkinChanging.Assign(&s->FSkinChanging);
  FBlendOnMoving.Assign(&s->FBlendOnMoving);
  FButtons.Assign(&s->FButtons);
}

VCL_REGISTER(TlvAnimEffects) {
  cls.Prop(L"FormShow", &TlvAnimEffects::FormShow);
  cls.Prop(L"FormHide", &TlvAnimEffects::FormHide);
  cls.Prop(L"DialogShow", &TlvAnimEffects::DialogShow);
  cls.Prop(L"DialogHide", &TlvAnimEffects::DialogHide);
  cls.Prop(L"Minimizing", &TlvAnimEffects::Minimizing);
  cls.Prop(L"PageChange", &TlvAnimEffects::PageChange);
  cls.Prop(L"SkinChanging", &TlvAnimEffects::SkinChanging);
  cls.Prop(L"BlendOnMoving", &TlvAnimEffects::BlendOnMoving);
  cls.Prop(L"Buttons", &TlvAnimEffects::Buttons);
}

void ThirdPartyList::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const ThirdPartyList*>(source);
  if (!s) return inherited::Assign(source);
  FStrings = s->FStrings;
}

VCL_REGISTER(ThirdPartyList) {
  cls.Prop(L"ThirdEdits", &ThirdPartyList::ThirdEdits, &ThirdPartyList::SetThirdEdits);
  cls.Prop(L"ThirdButtons", &ThirdPartyList::ThirdButtons, &ThirdPartyList::SetThirdButtons);
  cls.Prop(L"ThirdBitBtns", &ThirdPartyList::ThirdBitBtns, &ThirdPartyList::SetThirdBitBtns);
  cls.Prop(L"ThirdCheckBoxes", &ThirdPartyList::ThirdCheckBoxes, &ThirdPartyList::SetThirdCheckBoxes);
  cls.Prop(L"ThirdComboBoxes", &ThirdPartyList::ThirdComboBoxes, &ThirdPartyList::SetThirdComboBoxes);
  cls.Prop(L"ThirdGrids", &ThirdPartyList::ThirdGrids, &ThirdPartyList::SetThirdGrids);
  cls.Prop(L"ThirdGroupBoxes", &ThirdPartyList::ThirdGroupBoxes, &ThirdPartyList::SetThirdGroupBoxes);
  cls.Prop(L"ThirdListViews", &ThirdPartyList::ThirdListViews, &ThirdPartyList::SetThirdListViews);
  cls.Prop(L"ThirdPanels", &ThirdPartyList::ThirdPanels, &ThirdPartyList::SetThirdPanels);
  cls.Prop(L"ThirdTreeViews", &ThirdPartyList::ThirdTreeViews, &ThirdPartyList::SetThirdTreeViews);
  cls.Prop(L"ThirdWWEdits", &ThirdPartyList::ThirdWWEdits, &ThirdPartyList::SetThirdWWEdits);
  cls.Prop(L"ThirdGridEh", &ThirdPartyList::ThirdGridEh, &ThirdPartyList::SetThirdGridEh);
  cls.Prop(L"ThirdVirtualTrees", &ThirdPartyList::ThirdVirtualTrees, &ThirdPartyList::SetThirdVirtualTrees);
  cls.Prop(L"ThirdPageControl", &ThirdPartyList::ThirdPageControl, &ThirdPartyList::SetThirdPageControl);
  cls.Prop(L"ThirdTabControl", &ThirdPartyList::ThirdTabControl, &ThirdPartyList::SetThirdTabControl);
  cls.Prop(L"ThirdToolBar", &ThirdPartyList::ThirdToolBar, &ThirdPartyList::SetThirdToolBar);
  cls.Prop(L"ThirdStatusBar", &ThirdPartyList::ThirdStatusBar, &ThirdPartyList::SetThirdStatusBar);
  cls.Prop(L"ThirdSpeedButton", &ThirdPartyList::ThirdSpeedButton, &ThirdPartyList::SetThirdSpeedButton);
  cls.Prop(L"ThirdScrollControl", &ThirdPartyList::ThirdScrollControl, &ThirdPartyList::SetThirdScrollControl);
  cls.Prop(L"ThirdUpDown", &ThirdPartyList::ThirdUpDown, &ThirdPartyList::SetThirdUpDown);
  cls.Prop(L"ThirdScrollBar", &ThirdPartyList::ThirdScrollBar, &ThirdPartyList::SetThirdScrollBar);
  cls.Prop(L"ThirdStaticText", &ThirdPartyList::ThirdStaticText, &ThirdPartyList::SetThirdStaticText);
  cls.Prop(L"ThirdNativePaint", &ThirdPartyList::ThirdNativePaint, &ThirdPartyList::SetThirdNativePaint);
}
