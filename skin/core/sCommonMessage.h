#pragma once
// The skin commands every skinned control answers the same way: the reaction of a control's skin state to a new,
// refreshed or removed skin and to the simple questions about its state. A control's window procedure passes
// SM_LUMICMD here first.
//
// LVC_SETNEWSKIN, LVC_REMOVESKIN and LVC_REFRESH act only when they come from the control's own manager; the
// painting questions (LVC_GETBG, LVC_GETCONTROLCOLOR, LVC_PREPARING, LVC_GETSKINSTATE, LVC_GETFONTINDEX) are
// answered from the painting side of the skin state (sCommonPaint.h), LVC_PAINTOUTER by the outer effects
// (sOuterEffects.h).
#include "platform/vcl/messages.h"
#include "skin/core/sCommonData.h"

// True when the message is not SM_LUMICMD, skinData is nullptr, or the sub-command was handled; false for a
// sub-command left to the caller.
bool CommonMessage(vcl::TMessage& message, TsCommonData* skinData);
// Edit-like owners take the colours of their section's normal state (unless their own colour or font is kept).
void UpdateCtrlColors(TsCommonData* skinData, bool repaint);

// While True, controls do not mark their background changed on mouse presses (set around a new skin's broadcast).
extern bool RestrictDrawing;
