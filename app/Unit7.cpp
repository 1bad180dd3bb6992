#include "app/Unit7.h"

#include "platform/rtl/strings.h"

TForm7* Form7 = nullptr;

void TForm7::FormCreate(rtl::TObject*) { Button1->Click(); }

void TForm7::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form7 = nullptr;
}

void TForm7::Count(const rtl::String& statement, TsLabel* label) {
  ADOQuery->Close();
  ADOQuery->SQL()->Clear();
  ADOQuery->SQL()->Add(statement);
  ADOQuery->Open();
  ADOQuery->SetActive(true);
  label->SetCaption(rtl::IntToStr(ADOQuery->RecordCount()));
}

void TForm7::Button1Click(rtl::TObject*) {
  Count(L"select DISTINCT okulno from danisankayit", sLabel1);
  Count(L"select * from danisankayit", sLabel4);
  Count(L"select * from ogrencigorusme", sLabel6);
  Count(L"select DISTINCT okulno from ogrencigorusme", sLabel8);
  Count(L"select * from ogretmengorusme", sLabel15);
  Count(L"select * from veligorusme", sLabel17);
}

void TForm7::CountContaining(const wchar_t* column, TsComboBox* combo, TsLabel* label) {
  // The typed text goes in quoted, its quotes doubled: it can only ever be the pattern.
  Count(rtl::String(L"select * from ogrencigorusme WHERE ") + column + L" Like " +
            db::SqlQuoted(L"%" + combo->Text() + L"%"),
        label);
}

void TForm7::sComboBox1Change(rtl::TObject*) { CountContaining(L"gorusmeturu", sComboBox1, sLabel10); }
void TForm7::sComboBox2Change(rtl::TObject*) { CountContaining(L"pdralani", sComboBox2, sLabel12); }
void TForm7::sComboBox3Change(rtl::TObject*) { CountContaining(L"sorunalani", sComboBox3, sLabel13); }

VCL_REGISTER(TForm7) {
  cls.Field(L"sLabel2", &TForm7::sLabel2);
  cls.Field(L"sLabel1", &TForm7::sLabel1);
  cls.Field(L"sLabel3", &TForm7::sLabel3);
  cls.Field(L"sLabel4", &TForm7::sLabel4);
  cls.Field(L"sLabel5", &TForm7::sLabel5);
  cls.Field(L"sLabel6", &TForm7::sLabel6);
  cls.Field(L"sLabel7", &TForm7::sLabel7);
  cls.Field(L"sLabel8", &TForm7::sLabel8);
  cls.Field(L"sLabel14", &TForm7::sLabel14);
  cls.Field(L"sLabel15", &TForm7::sLabel15);
  cls.Field(L"sLabel16", &TForm7::sLabel16);
  cls.Field(L"sLabel17", &TForm7::sLabel17);
  cls.Field(L"sLabel9", &TForm7::sLabel9);
  cls.Field(L"sComboBox1", &TForm7::sComboBox1);
  cls.Field(L"sLabel10", &TForm7::sLabel10);
  cls.Field(L"sLabel11", &TForm7::sLabel11);
  cls.Field(L"sComboBox2", &TForm7::sComboBox2);
  cls.Field(L"sLabel12", &TForm7::sLabel12);
  cls.Field(L"sLabel18", &TForm7::sLabel18);
  cls.Field(L"sComboBox3", &TForm7::sComboBox3);
  cls.Field(L"sLabel13", &TForm7::sLabel13);
  cls.Field(L"Button1", &TForm7::Button1);
  cls.Field(L"ADOQuery", &TForm7::ADOQuery);
  cls.Method(L"FormCreate", &TForm7::FormCreate);
  cls.Method(L"FormClose", &TForm7::FormClose);
  cls.Method(L"Button1Click", &TForm7::Button1Click);
  cls.Method(L"sComboBox1Change", &TForm7::sComboBox1Change);
  cls.Method(L"sComboBox2Change", &TForm7::sComboBox2Change);
  cls.Method(L"sComboBox3Change", &TForm7::sComboBox3Change);
}
