#pragma once
// The print dialog: printer, pages, copies, print mode and the other print options of a report, written back into
// the report's print options (and the printer list's current printer) when closed with OK. Printing shows it when
// the report's options ask for a dialog; the preview's Print command prints through it.
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/rangectrls.h"
#include "platform/vcl/stdctrls.h"
#include "report/model/qvxOptions.h"

class TqvxReport;

// A drop-down list whose entries the dialog draws itself (a picture and the entry's text), at a fixed height.
class TqvxPictureList : public vcl::TComboBox {
  VCL_CLASS(TqvxPictureList, vcl::TComboBox)
 public:
  explicit TqvxPictureList(vcl::TComponent* owner);
  // Draws entry index (−1: the box without a selection) into rect; the rectangle is filled already.
  std::function<void(vcl::TCanvas* canvas, int index, const vcl::TRect& rect)> OnDrawEntry;
  int EntryHeight() const { return FEntryHeight; }
  void SetEntryHeight(int value);

 protected:
  void InitializeWnd() override;
  void Dispatch(vcl::TMessage& m) override;

 private:
  int FEntryHeight = 16;
};

class TqvxPrintDialog : public vcl::TForm {
  VCL_CLASS(TqvxPrintDialog, vcl::TForm)
 public:
  explicit TqvxPrintDialog(vcl::TComponent* owner);

  vcl::TButton* OkB = nullptr;
  vcl::TButton* CancelB = nullptr;
  vcl::TSaveDialog* FileDlg = nullptr;
  vcl::TGroupBox* Label12 = nullptr;
  vcl::TLabel* WhereL = nullptr;
  vcl::TLabel* WhereL1 = nullptr;
  TqvxPictureList* PrintersCB = nullptr;
  vcl::TButton* PropButton = nullptr;
  vcl::TCheckBox* FileCB = nullptr;
  vcl::TGroupBox* Label1 = nullptr;
  vcl::TLabel* DescrL = nullptr;
  vcl::TRadioButton* AllRB = nullptr;
  vcl::TRadioButton* CurPageRB = nullptr;
  vcl::TRadioButton* PageNumbersRB = nullptr;
  vcl::TEdit* PageNumbersE = nullptr;
  vcl::TGroupBox* Label2 = nullptr;
  vcl::TLabel* CopiesL = nullptr;
  vcl::TEdit* CopiesE = nullptr;
  vcl::TCheckBox* CollateCB = nullptr;
  // The copies picture (collated sets or pages together), and its two pictures.
  vcl::TImage* CopiesPB = nullptr;
  vcl::TBitmap* CollateImg = nullptr;
  vcl::TBitmap* NonCollateImg = nullptr;
  vcl::TUpDown* UpDown1 = nullptr;
  vcl::TGroupBox* ScaleGB = nullptr;
  vcl::TComboBox* PagPageSizeCB = nullptr;
  vcl::TLabel* NameL = nullptr;
  vcl::TLabel* PagSizeL = nullptr;
  TqvxPictureList* PrintModeCB = nullptr;
  // One 64 x 32 picture per print mode.
  vcl::TImageList* PrintModeIL = nullptr;
  vcl::TGroupBox* OtherGB = nullptr;
  vcl::TLabel* PrintL = nullptr;
  vcl::TLabel* DuplexL = nullptr;
  vcl::TComboBox* PrintPagesCB = nullptr;
  vcl::TComboBox* DuplexCB = nullptr;
  vcl::TLabel* OrderL = nullptr;
  vcl::TComboBox* OrderCB = nullptr;

  rtl::Integer OldIndex = -1;
  TqvxReport* AReport = nullptr;
  TqvxDuplexMode ADuplexMode = dmNone;

  // What the dialog runs on its controls' events (callable by a program driving it).
  void PrinterChanged();
  void PrintModeChanged();
  void PropertiesClicked();
  // Paints the copies picture for the collate box's state.
  void PaintCopies();

 protected:
  void DoShow() override;
  void DoHide() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;

 private:
  void OnPrintersClick(rtl::TObject*) { PrinterChanged(); }
  void OnPrintModeClick(rtl::TObject*) { PrintModeChanged(); }
  void OnPropClick(rtl::TObject*) { PropertiesClicked(); }
  void OnCollateClick(rtl::TObject*) { PaintCopies(); }
  void OnPageNumbersEnter(rtl::TObject*);
  void OnPageNumbersRBClick(rtl::TObject*);
  // Selects the entry of the sheet list for the paper code (none or 0: "Default").
  void SelectSheet(rtl::Integer paper);
  // Paper code of each entry of the sheet list; 0 for "Default".
  std::vector<rtl::Integer> FSheetCodes;
  std::unique_ptr<vcl::TBitmap> FCollateImg, FNonCollateImg;
};

// Shows the print dialog for report modally; duplex in and out. True when closed with OK.
bool qvxExecutePrintDialog(TqvxReport* report, rtl::Integer& duplex);

