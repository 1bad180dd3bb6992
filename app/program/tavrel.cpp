// The program's entry: the application object, the style, the title, the main window with its connection, the
// hidden login dialog with its own, then the message loop (which shows the main window and so the login).
#include <windows.h>

#include "app/Unit1.h"
#include "app/Unit12.h"
#include "platform/vcl/application.h"
#include "platform/vcl/styles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    vcl::Application->Initialize();
    vcl::Application->SetMainFormOnTaskbar(true);
    vcl::TStyleManager::TrySetStyle(L"Sky", true);
    vcl::Application->SetTitle(L"DERVANLİ ZEZ");
    vcl::Application->CreateForm(Form1);
    vcl::Application->CreateForm(Form12);
    vcl::Application->Run();
  } catch (...) {
    vcl::Application->HandleException(vcl::Application);
  }
  return 0;
}
