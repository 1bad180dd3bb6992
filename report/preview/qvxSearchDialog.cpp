#include "report/preview/qvxSearchDialog.h"

#include "report/model/qvxRes.h"
#include "report/preview/qvxReportDialogs.h"

using namespace vcl;

rtl::String& qvxSearchLastText() {
  static rtl::String text;
  return text;
}

TqvxSearchDialog::TqvxSearchDialog(TComponent* owner) : TForm(owner) {
  qvxDialogLook(this);
  SetKeyPreview(true);
  SetClientSize(252, 148);
  SetCaption(qvxGet(300));

  ReplacePanel = new TPanel(this);
  ReplacePanel->SetParent(this);
  ReplacePanel->SetVisible(false);
  ReplaceL = new TLabel(this);
  ReplaceL->SetParent(ReplacePanel);
  ReplaceL->SetCaption(qvxGet(303));
  ReplaceE = new TEdit(this);
  ReplaceE->SetParent(ReplacePanel);

  Panel2 = new TPanel(this);
  Panel2->SetParent(this);
  Panel2->SetBevelOuter(bvNone);
  Panel2->SetShowCaption(false);
  Panel2->SetBounds(0, 0, 252, 52);
  TextL = new TLabel(this);
  TextL->SetParent(Panel2);
  TextL->SetBounds(8, 8, 236, 13);
  TextL->SetCaption(qvxGet(301));
  TextE = new TEdit(this);
  TextE->SetParent(Panel2);
  TextE->SetBounds(8, 24, 236, 21);
  TextE->SetTabOrder(0);

  Panel3 = new TPanel(this);
  Panel3->SetParent(this);
  Panel3->SetBevelOuter(bvNone);
  Panel3->SetShowCaption(false);
  Panel3->SetBounds(0, 52, 252, 96);
  SearchL = new TGroupBox(this);
  SearchL->SetParent(Panel3);
  SearchL->SetBounds(8, 0, 236, 58);
  SearchL->SetCaption(qvxGet(302));
  TopCB = new TCheckBox(this);
  TopCB->SetParent(SearchL);
  TopCB->SetBounds(10, 16, 218, 17);
  TopCB->SetCaption(qvxGet(304));
  CaseCB = new TCheckBox(this);
  CaseCB->SetParent(SearchL);
  CaseCB->SetBounds(10, 35, 218, 17);
  CaseCB->SetCaption(qvxGet(305));
  OkB = new TButton(this);
  OkB->SetParent(Panel3);
  OkB->SetBounds(88, 66, 75, 25);
  OkB->SetCaption(qvxGet(1));
  OkB->SetDefault(true);
  OkB->SetModalResult(mrOk);
  CancelB = new TButton(this);
  CancelB->SetParent(Panel3);
  CancelB->SetBounds(169, 66, 75, 25);
  CancelB->SetCaption(qvxGet(2));
  CancelB->SetCancel(true);
  CancelB->SetModalResult(mrCancel);
}

void TqvxSearchDialog::DoShow() {
  TextE->SetText(qvxSearchLastText());
  TForm::DoShow();
}

void TqvxSearchDialog::Activate() {
  TForm::Activate();
  if (TextE->CanFocus()) {
    TextE->SetFocus();
    TextE->SelectAll();
  }
}

void TqvxSearchDialog::DoHide() {
  if (ModalResult() == mrOk) qvxSearchLastText() = TextE->Text();
  TForm::DoHide();
}

void TqvxSearchDialog::KeyDown(rtl::Word& key, TShiftState shift) {
  TForm::KeyDown(key, shift);
  if (key == VK_F1) qvxResources().Help(this);
}

VCL_REGISTER(TqvxSearchDialog) {}
