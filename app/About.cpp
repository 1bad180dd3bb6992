#include "app/About.h"

#include "platform/vcl/application.h"

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

void TAboutBox::DoShow() {
  vcl::TForm::DoShow();
  // A child shown while it is being created misses its first erase under the workspace; once it is on screen it
  // is painted whole.
  if (HandleAllocated()) {
    HWND wnd = Handle();
    vcl::Application->Post([wnd] {
      if (IsWindow(wnd)) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    });
  }
}

void TAboutBox::OKButtonClick(TObject*) { Close(); }

void TAboutBox::FormClose(TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  AboutBox = nullptr;
}
