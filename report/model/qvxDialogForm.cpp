#include "report/model/qvxDialogForm.h"

#include "platform/rtl/win.h"
#include "platform/vcl/messages.h"

VCL_REGISTER(TqvxDialogForm) {}

TqvxDialogForm::TqvxDialogForm(vcl::TComponent* owner) : vcl::TForm(nullptr) {
  if (owner) ThreadSafe = owner->Tag() == ThreadSafeTag;
}

void TqvxDialogForm::WndProc(vcl::TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTTAB;
    return;
  }
  vcl::TForm::WndProc(m);
  if (m.Msg == WM_EXITSIZEMOVE) OnModify(this);
}
