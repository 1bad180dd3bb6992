#pragma once
// The skin commands every skinned control answers the same way: the reaction of a control's skin state to a new,
// refreshed or removed skin and to the simple questions about its state. A control's window procedure passes
// SM_LUMICMD here first.
//
// Handled so far: LVC_SETNEWSKIN, LVC_REMOVESKIN, LVC_REFRESH (each only from the control's own manager),
// LVC_CTRLHANDLED, LVC_UPDATING, LVC_GETHALFVISIBLE, LVC_SETHALFVISIBLE, LVC_UPDATESECTION, LVC_SETSECTION,
// LVC_STOPFADING, LVC_SETBGCHANGED, LVC_INVALIDATE, LVC_CHILDCHANGED, LVC_PREPARECACHE, LVC_GETSKINDATA,
// LVC_PRINTING, LVC_GETAPPLICATION and LVC_GETOUTRGN. The painting questions (backgrounds, caches, fonts, outer
// effects) come with the per-control painting.
#include "platform/vcl/messages.h"
#include "skin/core/sCommonData.h"

// True when the message is not SM_LUMICMD, skinData is nullptr, or the sub-command was handled; false for a
// sub-command left to the caller.
bool CommonMessage(vcl::TMessage& message, TsCommonData* skinData);
// Edit-like owners take the colours of their section's normal state (unless their own colour or font is kept).
void UpdateCtrlColors(TsCommonData* skinData, bool repaint);

// While True, controls do not mark their background changed on mouse presses (set around a new skin's broadcast).
extern bool RestrictDrawing;
