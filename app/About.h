#pragma once
// The About box: an MDI child telling what the program is and who to reach about it; "OK" closes and frees it.
#include "app/screens.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TAboutBox : public vcl::TForm {
  VCL_CLASS(TAboutBox, vcl::TForm)
  explicit TAboutBox(vcl::TComponent* owner);

  vcl::TPanel* Panel1 = nullptr;
  vcl::TImage* ProgramIcon = nullptr;
  vcl::TLabel* ProductName = nullptr;
  vcl::TLabel* Version = nullptr;
  vcl::TLabel* Comments = nullptr;
  vcl::TButton* OKButton = nullptr;

  void OKButtonClick(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);

 protected:
  // Centred on the main window's workspace: MDI children are otherwise placed where the workspace puts them.
  void DoShow() override;
};

extern TAboutBox* AboutBox;
