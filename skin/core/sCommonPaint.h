#pragma once
// The painting side of a control's skin state: what lies behind the owner (the answer a child gets to LVC_GETBG),
// its background colour, its parent's background as a cache description, whether it paints through its cache
// bitmap, and the hover and focus state the shared message handling keeps.
#include "platform/vcl/controls.h"
#include "platform/vcl/messages.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"

// Fills bgInfo with what lies behind the owner of skinData in state; handle is the owner's window for wrapped
// windows.
void InitBGInfo(TsCommonData* skinData, TlvBGInfo* bgInfo, int state, HWND handle = nullptr);
vcl::TColor GetBGColor(TsCommonData* skinData, int state, HWND handle = nullptr);
TCacheInfo GetParentCache(TsCommonData* skinData);
TCacheInfo GetParentCacheHwnd(HWND handle);
// 0: a cache is needed; 1: the owner may paint straight to the screen; 2: cannot tell yet.
int IsCacheRequired(TsCommonData* skinData);
bool IsCached(TsCommonData* skinData);
void UpdateSkinState(TsCommonData* skinData, bool recursive);
bool HaveOuterEffects(TsCommonData* skinData);
int SkinBorderMaxWidth(TsCommonData* skinData);
// The owner's window: a windowed owner control's handle, else the wrapped window; 0 when there is none.
HWND OwnerHandle(TsCommonData* skinData);
// True while the owner's painting is suspended (its own flag or its parent preparing).
bool GetUpdating(TsCommonData* skinData);
bool InUpdating(TsCommonData* skinData, bool reset);

// The control is drawn in its active (hot or focused) state.
bool ControlIsActive(TsCommonData* skinData);
// The cursor is over the owner's visible client area.
bool lvMouseInControl(TsCommonData* skinData);
void ShowGlowingIfNeeded(TsCommonData* skinData, bool clicked, HWND ctrlHandle, int alpha, bool allowAnimation,
                         int skinIndex);
bool RepaintIfMoved(TsCommonData* skinData);
void InvalidateParentCache(TsCommonData* skinData);
bool NeedParentFont(TsCommonData* skinData);
inline bool ChildBgIsChanged(TsCommonData*) { return true; }
// The font section a control names for painting info (LVC_GETFONTINDEX), or defSkinIndex.
int GetFontIndex(vcl::TControl* control, TlvPaintInfo* paintInfo);
int GetFontIndex(vcl::TControl* control, int defSkinIndex, TsSkinManager* skinManager, int state);

// The platform messages every skinned control reacts to the same way; True when the message counts as handled.
bool CommonWndProc(vcl::TMessage& message, TsCommonData* skinData);
