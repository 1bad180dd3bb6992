#include "app/Program.h"

#include "app/Unit1.h"
#include "app/Unit12.h"
#include "platform/vcl/application.h"
#include "platform/vcl/styles.h"

int RunProgram() {
  try {
    vcl::Application->Initialize();
    vcl::Application->SetMainFormOnTaskbar(true);
    // A style that cannot be applied is reported by the style service; the program keeps the default look.
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
