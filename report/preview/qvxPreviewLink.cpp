// Hands the report model this layer's windows: the preview window, the progress window and the two questions;
// hands the printing layer the print dialog.
// Linked into every program that uses the layer.
#include <memory>

#include "platform/vcl/application.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxReport.h"
#include "report/preview/qvxPreviewForm.h"
#include "report/preview/qvxPrintDialog.h"
#include "report/print/qvxPreviewActions.h"
#include "report/preview/qvxProgress.h"
#include "report/preview/qvxReportDialogs.h"

namespace {

class TPreviewLink : public TqvxPreviewLink {
 public:
  TqvxCustomPreviewForm* CreatePreviewForm(TqvxReport*) override { return new TqvxPreviewForm(vcl::Application); }
  TqvxCustomProgress* CreateProgress() override { return new TqvxProgress(nullptr); }
  bool AskPassword(rtl::String& password) override {
    std::unique_ptr<TqvxPasswordForm> form(new TqvxPasswordForm(vcl::Application));
    if (form->ShowModal() != vcl::mrOk) return false;
    password = form->PasswordE->Text();
    return true;
  }
  bool AskInheritMode(TqvxInheriteMode& mode) override {
    std::unique_ptr<TqvxInheritErrorForm> form(new TqvxInheritErrorForm(nullptr));
    if (form->ShowModal() != vcl::mrOk) return false;
    mode = form->DeleteRB->Checked() ? imDelete : imRename;
    return true;
  }
};

}  // namespace

void qvxRegisterPreviewLink() {
  static TPreviewLink link;
  qvxSetPreviewLink(&link);
  // Printing with a dialog asks through the printing layer, which cannot name this one.
  qvxSetPrintDialog(qvxExecutePrintDialog);
}

namespace {
const bool registered = (qvxRegisterPreviewLink(), true);
}  // namespace
