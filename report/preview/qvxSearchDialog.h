#pragma once
// The find dialog of the preview: the text to find, case sensitivity and whether to search from the first page.
// The last confirmed text is offered again for the life of the program.
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TqvxSearchDialog : public vcl::TForm {
  VCL_CLASS(TqvxSearchDialog, vcl::TForm)
 public:
  explicit TqvxSearchDialog(vcl::TComponent* owner);

  vcl::TPanel* ReplacePanel = nullptr;
  vcl::TLabel* ReplaceL = nullptr;
  vcl::TEdit* ReplaceE = nullptr;
  vcl::TPanel* Panel2 = nullptr;
  vcl::TLabel* TextL = nullptr;
  vcl::TEdit* TextE = nullptr;
  vcl::TPanel* Panel3 = nullptr;
  vcl::TButton* OkB = nullptr;
  vcl::TButton* CancelB = nullptr;
  vcl::TGroupBox* SearchL = nullptr;
  vcl::TCheckBox* CaseCB = nullptr;
  vcl::TCheckBox* TopCB = nullptr;

 protected:
  void DoShow() override;
  void DoHide() override;
  void Activate() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
};

// The text last confirmed in the dialog.
rtl::String& qvxSearchLastText();
