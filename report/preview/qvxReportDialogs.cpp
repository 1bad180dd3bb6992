#include "report/preview/qvxReportDialogs.h"

#include "platform/vcl/bitmap.h"
#include "platform/vcl/picture.h"
#include "report/model/qvxRes.h"

using namespace vcl;

void qvxDialogLook(TForm* form) {
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetBorderIcons(TBorderIcons{biSystemMenu});
  form->Font()->SetName(L"Tahoma");
  form->Font()->SetHeight(-11);
}

namespace {

void DialogLook(TForm* form, int w, int h) {
  qvxDialogLook(form);
  form->SetClientWidth(w);
  form->SetClientHeight(h);
}

TButton* DialogButton(TForm* form, int x, int y, int caption, int result) {
  auto* b = new TButton(form);
  b->SetParent(form);
  b->SetBounds(x, y, 75, 25);
  b->SetCaption(qvxGet(caption));
  b->SetModalResult(result);
  if (result == mrOk) b->SetDefault(true);
  if (result == mrCancel) b->SetCancel(true);
  return b;
}

// A 32 x 32 picture of the system's icon.
void SystemIcon(TImage* image, LPCWSTR icon) {
  TBitmap* bitmap = image->Picture()->Bitmap();
  bitmap->SetSize(32, 32);
  bitmap->Canvas()->Brush()->SetColor(clBtnFace);
  bitmap->Canvas()->FillRect(TRect(0, 0, 32, 32));
  DrawIcon(bitmap->Canvas()->Handle(), 0, 0, LoadIconW(nullptr, icon));
}

}  // namespace

// The string table has no entries for these dialogs; by its rule a missing key shows as itself, so the texts the
// dialogs were designed with stand in for the numbers.
TqvxPasswordForm::TqvxPasswordForm(TComponent* owner) : TForm(owner) {
  DialogLook(this, 252, 92);
  SetCaption(L"Password");
  auto* image = new TImage(this);
  image->SetParent(this);
  image->SetBounds(8, 8, 32, 32);
  SystemIcon(image, IDI_QUESTION);
  PasswordL = new TLabel(this);
  PasswordL->SetParent(this);
  PasswordL->SetBounds(88, 10, 157, 13);
  PasswordL->SetCaption(L"Enter the password:");
  PasswordE = new TEdit(this);
  PasswordE->SetParent(this);
  PasswordE->SetBounds(88, 28, 157, 21);
  PasswordE->SetPasswordChar(L'*');
  PasswordE->SetTabOrder(0);
  OkB = DialogButton(this, 89, 60, 1, mrOk);
  CancelB = DialogButton(this, 170, 60, 2, mrCancel);
}

TqvxInheritErrorForm::TqvxInheritErrorForm(TComponent* owner) : TForm(owner) {
  DialogLook(this, 256, 152);
  SetCaption(L"Error");
  PaintBox1 = new TImage(this);
  PaintBox1->SetParent(this);
  PaintBox1->SetBounds(12, 16, 32, 32);
  SystemIcon(PaintBox1, IDI_WARNING);
  MessageL = new TLabel(this);
  MessageL->SetParent(this);
  MessageL->SetAutoSize(false);
  MessageL->SetWordWrap(true);
  MessageL->SetBounds(60, 16, 185, 41);
  MessageL->SetCaption(L"Base and inherited reports have duplicate objects. What should we do?");
  DeleteRB = new TRadioButton(this);
  DeleteRB->SetParent(this);
  DeleteRB->SetBounds(60, 64, 185, 17);
  DeleteRB->SetCaption(L"Delete duplicates");
  DeleteRB->SetChecked(true);
  RenameRB = new TRadioButton(this);
  RenameRB->SetParent(this);
  RenameRB->SetBounds(60, 86, 185, 17);
  RenameRB->SetCaption(L"Rename duplicates");
  OkB = DialogButton(this, 93, 119, 1, mrOk);
  CancelB = DialogButton(this, 174, 119, 2, mrCancel);
}

VCL_REGISTER(TqvxPasswordForm) {}
VCL_REGISTER(TqvxInheritErrorForm) {}
