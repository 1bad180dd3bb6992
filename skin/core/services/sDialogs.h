#pragma once
// The library's modal message box: the system's box (MessageBoxIndirectW) with the icon and buttons of the dialog
// kind and button set, a caption by kind, owned by the application's active form, optionally placed at given
// screen coordinates, its Help button routed to the application's help. The library's own warnings and errors go
// through it. An automated run may answer boxes itself through sMessageDlgHandler.
#include <functional>

#include "platform/vcl/dialogs.h"

// Shows the box and answers the system's button id (IDOK 1 ... IDNO 7, the same numbers as mrOk ... mrNo).
int sMessageDlg(const rtl::String& text, vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons, int helpCtx);
// The same with a caption of its own (empty: the kind's caption) and the box's top-left corner at (x, y) on the
// screen (-1: the system's place). helpFileName is accepted and not used.
int sMessageDlgPosHelp(const rtl::String& caption, const rtl::String& msg, vcl::TMsgDlgType dlgType,
                       vcl::TMsgDlgButtons buttons, int helpCtx, int x, int y, const rtl::String& helpFileName);

// The caption of each dialog kind: "Warning", "Error", "Information", "Confirm" and "" (custom).
const rtl::String& sDialogCaption(vcl::TMsgDlgType dlgType);
// The style bits (icon, button set, MB_HELP) of a box of that kind and buttons.
unsigned sMessageDlgStyle(vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons);

// The screen position asked for the next system dialog the library skins; -1 means the system's placement.
extern int DlgLeft;
extern int DlgTop;

// The application's help for a context id: what the box's Help button calls (nothing when unset).
extern std::function<void(int helpContext)> sApplicationHelpContext;

// When set, every box goes here instead of on the screen; the answer is the button "pressed".
using TsMessageDlgHandler =
    std::function<int(const rtl::String& text, vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons)>;
extern TsMessageDlgHandler sMessageDlgHandler;

// A plain box with the text and an OK button (no icon).
void sShowMessage(const rtl::String& text);
