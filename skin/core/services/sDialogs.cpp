#include "skin/core/services/sDialogs.h"

#include "platform/vcl/application.h"

TsMessageDlgHandler sMessageDlgHandler;

int sMessageDlg(const rtl::String& text, vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons, int helpCtx) {
  if (sMessageDlgHandler) return sMessageDlgHandler(text, dlgType, buttons);
  return vcl::MessageDlg(text, dlgType, buttons, helpCtx);
}

void sShowMessage(const rtl::String& text) {
  if (sMessageDlgHandler) {
    sMessageDlgHandler(text, vcl::mtCustom, vcl::TMsgDlgButtons{vcl::mbOK});
    return;
  }
  vcl::ShowMessage(text);
}
