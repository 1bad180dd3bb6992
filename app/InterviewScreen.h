#pragma once
// What the counselling-client and the three interview screens (TForm3, TForm4, TForm8, TForm11) have in common:
// the student query and the student panel it fills, the record buttons, the search box's filter and the dataset
// steps around the sheet's report. Each screen is a unit of its own that names its components and says, through
// its rules and the parts it hands over, where it differs from the others.
#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sDBComboBox.h"
#include "skin/controls/sDBDateEdit.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sDBGrid.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

// Where a screen's behaviour differs from its siblings'.
struct TInterviewRules {
  // The lookup compares the typed school number as a number (unquoted); otherwise as the quoted text.
  bool lookupByNumber = true;
  // After a found student the shown table is narrowed to that student's records.
  bool lookupFiltersShown = false;
  // The lookup re-reads the shown query with the typed number's records (also when no student is found).
  bool lookupRequeriesShown = false;
  // "Kaydet" re-reads every row after posting.
  bool refreshAfterSave = false;
  // Where "Rapor" takes the school number from: the bound edit on okulno, or the current record's column.
  bool reportNumberFromEdit = false;
  // What "Rapor" sets the student query to: nothing, the number unquoted, or the number quoted with "like".
  enum TReportStudent { kNoStudentQuery, kStudentByNumber, kStudentByText } reportStudent = kStudentByNumber;
};

class TInterviewScreen : public vcl::TForm {
  VCL_CLASS(TInterviewScreen, vcl::TForm)
  explicit TInterviewScreen(vcl::TComponent* owner) : vcl::TForm(owner) {}

  // The components every member has under the same name.
  db::TADOTable* ADOTable1 = nullptr;  // the member's table (on the student-interview screen only "Rapor" uses it)
  db::TADOQuery* ADOQuery1 = nullptr;  // the student query
  db::TDataSource* DataSource1 = nullptr;
  TsPanel* sPanel1 = nullptr;  // the lookup panel
  TsPanel* sPanel2 = nullptr;  // the student panel
  TsEdit* sEdit1 = nullptr;    // "TC"
  TsEdit* sEdit2 = nullptr;    // "Adı Soyadı"
  TsEdit* sEdit4 = nullptr;    // "Sınıf"
  TsEdit* sEdit5 = nullptr;    // "Şube"
  TsBitBtn* sBitBtn1 = nullptr;
  TsBitBtn* sBitBtn2 = nullptr;
  TsBitBtn* sBitBtn3 = nullptr;
  TsBitBtn* sBitBtn4 = nullptr;
  TsBitBtn* sBitBtn7 = nullptr;
  TsDBGrid* sDBGrid1 = nullptr;
  TqvxReport* qvxReport1 = nullptr;  // the member's sheet, stored in its form text

  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
  void sBitBtn1Click(rtl::TObject* Sender);  // "Yeni"
  void sBitBtn2Click(rtl::TObject* Sender);  // "Kaydet"
  void sBitBtn3Click(rtl::TObject* Sender);  // "Düzenle"
  void sBitBtn4Click(rtl::TObject* Sender);  // "Sil"
  void sBitBtn7Click(rtl::TObject* Sender);  // "Rapor"

  // The dataset the bound controls, the grid and the record buttons work on.
  virtual db::TCustomADODataSet* ShownDataSet() const { return ADOTable1; }
  // Table sabit, whose first record names the counsellor.
  virtual db::TDataSet* SettingsTable() const = 0;
  // The bound edit "Yeni" writes the counsellor's name into.
  virtual TsDBEdit* CounsellorEdit() const = 0;
  // The school-number box of the lookup panel.
  virtual TsEdit* LookupBox() const = 0;
  // The search box, if the member has one.
  virtual TsEdit* SearchBox() const { return nullptr; }
  // The bound edit on the record's okulno.
  virtual TsDBEdit* SchoolNumberEdit() const = 0;
  virtual const TInterviewRules& Rules() const = 0;

  // The student lookup of the lookup button.
  void LookUpStudent();
  // The search box's filter, on every change of its text.
  void SearchBoxChanged();
  void MovePrior();
  void MoveNext();

  // The student query's statement when no lookup narrows it.
  static const wchar_t* const kAllStudents;

 protected:
  // Opens the datasets in the member's order; each starts at its first record.
  static void OpenInOrder(std::initializer_list<db::TDataSet*> dataSets);
  // Shows the sheet in the modal preview; "Rapor" prepares the datasets around it.
  virtual void ShowReport();

 private:
  // Sets the student query to the statement and opens it.
  void SetStudentStatement(const rtl::String& sql);
};

// The question "Sil" asks before deleting a record of these screens.
extern const wchar_t* const kDeleteRecordQuestion;
// What the lookup says when no student has the number.
extern const wchar_t* const kSchoolNumberNotFound;

// The school number as it goes unquoted into a statement: a whole number, or an exception whose Turkish message
// names the problem (nothing typed, or what is not a number).
rtl::String SchoolNumberForStatement(const rtl::String& text);
