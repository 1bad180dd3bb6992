#include "app/About.h"

#include <algorithm>

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
  vcl::TCustomForm* main = vcl::Application ? vcl::Application->MainForm() : nullptr;
  if (HWND workspace = main ? main->ClientHandle() : nullptr; workspace && Position() == vcl::poMainFormCenter) {
    RECT area;
    ::GetClientRect(workspace, &area);
    SetBounds(std::max(0, static_cast<int>(area.right - Width()) / 2),
              std::max(0, static_cast<int>(area.bottom - Height()) / 2), Width(), Height());
  }
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
