#pragma once
// The statistics screen: record counts of the counselling and interview tables, worked out when the screen opens,
// and counts of the student interviews whose kind, guidance area or problem area contains the text of a combo.
#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"

class TForm7 : public vcl::TForm {
  VCL_CLASS(TForm7, vcl::TForm)
  explicit TForm7(vcl::TComponent* owner) : vcl::TForm(owner) {}

  TsLabel* sLabel2 = nullptr;
  TsLabel* sLabel1 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsLabel* sLabel5 = nullptr;
  TsLabel* sLabel6 = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsLabel* sLabel14 = nullptr;
  TsLabel* sLabel15 = nullptr;
  TsLabel* sLabel16 = nullptr;
  TsLabel* sLabel17 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsComboBox* sComboBox1 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsComboBox* sComboBox2 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsLabel* sLabel18 = nullptr;
  TsComboBox* sComboBox3 = nullptr;
  TsLabel* sLabel13 = nullptr;
  vcl::TButton* Button1 = nullptr;
  db::TADOQuery* ADOQuery = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void Button1Click(rtl::TObject* Sender);  // "Hesapla ", invisible: the six counts
  void sComboBox1Change(rtl::TObject* Sender);
  void sComboBox2Change(rtl::TObject* Sender);
  void sComboBox3Change(rtl::TObject* Sender);

 private:
  // Runs statement in ADOQuery and shows its record count in label.
  void Count(const rtl::String& statement, TsLabel* label);
  // The interviews whose column contains the combo's text.
  void CountContaining(const wchar_t* column, TsComboBox* combo, TsLabel* label);
};
