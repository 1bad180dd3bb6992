#pragma once
// How skin changes reach the application's windows: every form of the application, its controls, MDI client
// windows and the skinned system dialogs receive SM_LUMICMD; the forms that carry a skin provider are kept in
// HookedComponents and locked around a skin change so that the change shows at once.
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/messages.h"

class TsSkinManager;
class TsCustomSkinProvider;

// One form per skin provider, in the order the providers were created.
extern std::vector<vcl::TCustomForm*> HookedComponents;
// True while a manager loads a new skin; state fades are not started meanwhile.
extern bool aSkinChanging;
// True while a window show, hide or minimise animation runs.
extern bool InAnimationProcess;
// The title height last seen when a maximised form with extended borders was repainted.
extern int iLatestTitleHeight;
// The small and the large shell icon of the executable; nullptr when unavailable.
vcl::TIcon* AppIcon();
vcl::TIcon* AppIconLarge();

// Appends a form (a skin provider was created for it).
void IntSkinForm(vcl::TCustomForm* form);
// Removes a form: every slot holding it takes the last entry, whose slot is cleared; an empty last slot is dropped.
void IntUnSkinForm(vcl::TCustomForm* form);
// Delivers the message to every form of the application (those not reached through HookedComponents), their
// controls and MDI client windows, then to the hooked forms and the visible skinned dialogs.
void AppBroadCastS(vcl::TMessage& message);
// Delivers the message to the forms of HookedComponents and the visible skinned dialogs.
void SendToHooked(vcl::TMessage& message);
// proc(provider, data) for every visible skinned top-level form of that manager.
void IterateForms(TsSkinManager* manager, const std::function<void(TsCustomSkinProvider*, void*)>& proc, void* data);
// The painting lock around a skin change.
void CopyExForms(TsSkinManager* manager);
void LockForms(TsSkinManager* manager);
void UnLockForms(TsSkinManager* manager, bool repaint = true);

// Passing commands down a control tree. A skinned window gets the message by SendMessage and passes it on itself;
// graphic and handle-less children get it by Perform; other windowed children are descended into. Children being
// destroyed are skipped.
void LumiBroadCast(vcl::TWinControl* control, vcl::TMessage& message);
// A copy of the message to every child window whose direct parent is handle.
void LumiBroadCast(HWND handle, vcl::TMessage& message);
// SM_LUMICMD with the sub-command: SendMessage to a window; a control without window gets it by Perform, a windowed
// control being destroyed or without a handle answers 0.
LRESULT SendAMessage(HWND handle, WORD cmd, LPARAM lParam = 0);
LRESULT SendAMessage(vcl::TControl* control, WORD cmd, LPARAM lParam = 0);
// The window answers the sub-command with exactly 1; the control's answer has a non-zero low byte.
bool GetBoolMsg(HWND handle, WORD cmd);
bool GetBoolMsg(vcl::TWinControl* control, WORD cmd);
// The window carries skin state ("LVSDATA"), has a window wrapper ("LVSBSC") or answers LVC_CTRLHANDLED with 1.
bool WndIsSkinned(HWND handle);
