#include "app/Database.h"

#include "platform/rtl/files.h"
#include "platform/vcl/application.h"

rtl::String DatabaseConnectionString() {
  return L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" +
         rtl::ExtractFilePath(vcl::Application->ExeName()) + L"tavrel.mdb";
}
