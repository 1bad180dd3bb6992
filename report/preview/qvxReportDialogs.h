#pragma once
// The report model's two small questions: the password of a protected report, and what to do with objects of the
// same name in an inherited report and its base.
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/stdctrls.h"

// The look every dialog of the preview shares: a dialog frame with only the system menu, centred on the screen,
// in the dialogs' font.
void qvxDialogLook(vcl::TForm* form);

class TqvxPasswordForm : public vcl::TForm {
  VCL_CLASS(TqvxPasswordForm, vcl::TForm)
 public:
  explicit TqvxPasswordForm(vcl::TComponent* owner);
  vcl::TLabel* PasswordL = nullptr;
  vcl::TEdit* PasswordE = nullptr;
  vcl::TButton* OkB = nullptr;
  vcl::TButton* CancelB = nullptr;
};

class TqvxInheritErrorForm : public vcl::TForm {
  VCL_CLASS(TqvxInheritErrorForm, vcl::TForm)
 public:
  explicit TqvxInheritErrorForm(vcl::TComponent* owner);
  vcl::TLabel* MessageL = nullptr;
  vcl::TRadioButton* DeleteRB = nullptr;
  vcl::TRadioButton* RenameRB = nullptr;
  vcl::TButton* OkB = nullptr;
  vcl::TButton* CancelB = nullptr;
  // The warning picture.
  vcl::TImage* PaintBox1 = nullptr;
};
