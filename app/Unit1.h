#pragma once
// The main window: the MDI frame that owns the connection every screen shares, asks for the login when it is
// first shown, and opens each screen from its menu at most once.
#include <array>

#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"
#include "skin/controls/sImage.h"
#include "skin/core/sSkinManager.h"

class TScreenStandIn;

class TForm1 : public vcl::TForm {
  VCL_CLASS(TForm1, vcl::TForm)
  explicit TForm1(vcl::TComponent* owner);

  TsImage* sImage1 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;
  db::TADOConnection* ADOBaglan = nullptr;
  vcl::TMainMenu* MainMenu1 = nullptr;
  vcl::TMenuItem* N1 = nullptr;
  vcl::TMenuItem* D1 = nullptr;
  vcl::TMenuItem* N2 = nullptr;
  vcl::TMenuItem* N3 = nullptr;
  vcl::TMenuItem* V1 = nullptr;
  vcl::TMenuItem* S1 = nullptr;
  vcl::TMenuItem* S2 = nullptr;
  vcl::TMenuItem* E1 = nullptr;
  vcl::TMenuItem* N4 = nullptr;
  vcl::TMenuItem* H1 = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormShow(rtl::TObject* Sender);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
  void N1Click(rtl::TObject* Sender);
  void D1Click(rtl::TObject* Sender);
  void N2Click(rtl::TObject* Sender);
  void N3Click(rtl::TObject* Sender);
  void V1Click(rtl::TObject* Sender);
  void S2Click(rtl::TObject* Sender);
  void E1Click(rtl::TObject* Sender);
  void N4Click(rtl::TObject* Sender);
  void H1Click(rtl::TObject* Sender);

 protected:
  void InitializeWnd() override;

 private:
  // The workspace of an MDI frame covers the frame's own controls, so the logo is drawn on the workspace itself,
  // where sImage1 places it.
  static LRESULT CALLBACK WorkspaceProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void PaintLogo(HDC dc);
  WNDPROC workspaceProc_ = nullptr;

  // Screens whose units are not in the program yet, one slot each (by their menu order).
  enum StandInSlot { kStudents, kClients, kStudentTalks, kTeacherTalks, kParentTalks, kSettings, kImport, kStats };
  void OpenStandIn(StandInSlot slot, const wchar_t* caption);
  std::array<TScreenStandIn*, 8> standIns_{};
};

extern TForm1* Form1;
