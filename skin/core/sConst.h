#pragma once
// Enumerations and sets the skinning library's components publish and its painters exchange.
#include "platform/vcl/typinfo.h"

// What the hook of standard windows skins.
VCL_ENUM(TlvSkinningRule, srStdForms, srStdDialogs, srThirdParty)
VCL_SET(TlvSkinningRules, TlvSkinningRule)

VCL_ENUM(TlvOptimizingPriority, opSpeed, opMemory)
VCL_ENUM(TlvAnimType, atFading, atAero)
VCL_ENUM(TlvBtnEvent, beMouseEnter, beMouseLeave, beMouseDown, beMouseUp)
VCL_SET(TlvBtnEvents, TlvBtnEvent)

// The kinds of standard controls whose class names the manager keeps in its ThirdParty lists.
VCL_ENUM(TlvThirdPartyTypes, tpEdit, tpButton, tpBitBtn, tpCheckBox, tpComboBox, tpGrid, tpGroupBox, tpListView,
         tpPanel, tpTreeView, tpwwEdit, tpGridEh, tpVirtualTree, tpPageControl, tpTabControl, tpToolBar, tpStatusBar,
         tpSpeedButton, tpScrollControl, tpUpDownBtn, tpScrollBar, tpStaticText, tpNativePaint)
constexpr int lvLastSupportedType = tpNativePaint;
