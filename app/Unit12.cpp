#include "app/Unit12.h"

#include "app/Database.h"
#include "platform/vcl/application.h"

using rtl::String;
using rtl::TObject;

TForm12* Form12 = nullptr;

const wchar_t* const kWrongLogin = L"Yanlış Kullanıcı Adı veya Şifre girdiniz..";

VCL_REGISTER(TForm12) {
  cls.Field(L"Image1", &TForm12::Image1);
  cls.Field(L"sLabel1", &TForm12::sLabel1);
  cls.Field(L"sLabel2", &TForm12::sLabel2);
  cls.Field(L"sEdit1", &TForm12::sEdit1);
  cls.Field(L"sEdit2", &TForm12::sEdit2);
  cls.Field(L"sBitBtn1", &TForm12::sBitBtn1);
  cls.Field(L"sBitBtn2", &TForm12::sBitBtn2);
  cls.Field(L"Baglan", &TForm12::Baglan);
  cls.Field(L"AdoGiris", &TForm12::AdoGiris);
  cls.Method(L"FormCreate", &TForm12::FormCreate);
  cls.Method(L"sBitBtn1Click", &TForm12::sBitBtn1Click);
  cls.Method(L"sBitBtn2Click", &TForm12::sBitBtn2Click);
}

TForm12::TForm12(vcl::TComponent* owner) : vcl::TForm(owner) {}

void TForm12::FormCreate(TObject*) {
  Baglan->SetLoginPrompt(false);
  Baglan->SetConnectionString(DatabaseConnectionString());
  Baglan->SetConnected(true);
  AdoGiris->SetTableName(L"sabit");
  AdoGiris->Open();
}

String TForm12::Stored(const wchar_t* fieldName) const {
  if (!AdoGiris || !AdoGiris->Active() || AdoGiris->IsEmpty()) return String();
  db::TField* field = AdoGiris->FindField(fieldName);
  return field ? field->AsString() : String();
}

void TForm12::sBitBtn1Click(TObject*) {
  // Exact comparison on purpose: the stored pair is what the settings screen saved, letter for letter.
  if (sEdit1->Text() != Stored(L"kadi")) {
    vcl::ShowMessage(kWrongLogin);
    return;
  }
  if (sEdit2->Text() != Stored(L"sifre")) {
    vcl::ShowMessage(kWrongLogin);
    return;
  }
  Close();
}

void TForm12::sBitBtn2Click(TObject*) { vcl::Application->Terminate(); }
