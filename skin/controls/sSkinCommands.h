#pragma once
// What every skinned control answers of the skin commands until its own painting comes: its default section
// (LVC_GETDEFINDEX), and the skin state's reaction to a new, refreshed or removed skin. A container passes the
// skin commands on to its children, which its skinned window keeps the broadcasts from reaching.
#include "platform/vcl/controls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"

// True when m was SM_LUMICMD and is answered; the control's window procedure then stops.
bool HandleSkinCommand(vcl::TControl* owner, TsCommonData* data, vcl::TMessage& m, const wchar_t* defaultSection,
                       bool container = false);
