#include "app/About.h"

using rtl::TObject;

TAboutBox* AboutBox = nullptr;

VCL_REGISTER(TAboutBox) {
  cls.Field(L"Panel1", &TAboutBox::Panel1);
  cls.Field(L"ProgramIcon", &TAboutBox::ProgramIcon);
  cls.Field(L"ProductName", &TAboutBox::ProductName);
  cls.Field(L"Version", &TAboutBox::Version);
  cls.Field(L"Comments", &TAboutBox::Comments);
  cls.Field(L"OKButton", &TAboutBox::OKButton);
  cls.Method(L"OKButtonClick", &TAboutBox::OKButtonClick);
  cls.Method(L"FormClose", &TAboutBox::FormClose);
}

TAboutBox::TAboutBox(vcl::TComponent* owner) : vcl::TForm(owner) {}

void TAboutBox::OKButtonClick(TObject*) { Close(); }

void TAboutBox::FormClose(TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  AboutBox = nullptr;
}
