#pragma once
// The library's modal message box (a service of the skinned controls). Until the skinned box exists it is the
// platform's message box. An automated run may answer boxes itself through sMessageDlgHandler.
#include <functional>

#include "platform/vcl/dialogs.h"

// Shows the box and answers the button pressed (mrOk ...).
int sMessageDlg(const rtl::String& text, vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons, int helpCtx);

// When set, every box goes here instead of on the screen; the answer is the button "pressed".
using TsMessageDlgHandler =
    std::function<int(const rtl::String& text, vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons)>;
extern TsMessageDlgHandler sMessageDlgHandler;

// A plain box with the text and an OK button (no icon).
void sShowMessage(const rtl::String& text);
