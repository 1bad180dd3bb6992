#include "report/preview/qvxPrintDialog.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/strings.h"
#include "platform/rtl/files.h"
#include "platform/vcl/application.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/preview/qvxReportDialogs.h"
#include "report/print/qvxPrinters.h"

using namespace vcl;
using rtl::String;

namespace {

template <class T>
T* Make(TForm* owner, TWinControl* parent, int x, int y, int w, int h, const String& caption = String()) {
  auto* c = new T(owner);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  if (!caption.empty()) c->SetCaption(caption);
  return c;
}

TComboBox* List(TForm* owner, TWinControl* parent, int x, int y, int w) {
  auto* c = new TComboBox(owner);
  c->SetParent(parent);
  c->SetStyle(csDropDownList);
  c->SetBounds(x, y, w, 21);
  c->SetDropDownCount(12);
  return c;
}

// A page of paper as the pictures show it: white, a grey edge, a few grey lines of text.
void Sheet(TCanvas* c, int x, int y, int w, int h, TColor paper = clWhite) {
  c->Pen()->SetColor(static_cast<TColor>(0x606060));
  c->Brush()->SetColor(paper);
  c->Rectangle(x, y, x + w, y + h);
}

void Lines(TCanvas* c, int x, int y, int w, int h) {
  c->Pen()->SetColor(static_cast<TColor>(0xA0A0A0));
  for (int ly = y + 3; ly < y + h - 2; ly += 3) {
    c->MoveTo(x + 2, ly);
    c->LineTo(x + w - 2, ly);
  }
}

void Arrow(TCanvas* c, int x, int y) {
  c->Pen()->SetColor(static_cast<TColor>(0x404040));
  c->Brush()->SetColor(static_cast<TColor>(0x404040));
  c->MoveTo(x, y);
  c->LineTo(x + 8, y);
  const TPoint head[] = {TPoint(x + 8, y - 3), TPoint(x + 11, y), TPoint(x + 8, y + 3)};
  c->Polygon(head, 3);
}

// The print modes, each a report page (blue-grey) going onto the printer's sheets (white), 64 x 32.
void PrintModePicture(TCanvas* c, int mode) {
  const TColor page = static_cast<TColor>(0xF0D8C0);
  c->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
  c->FillRect(Rect(0, 0, 64, 32));
  switch (mode) {
    case 0:  // as it is: one page, one sheet
      Sheet(c, 4, 5, 16, 22, page);
      Lines(c, 4, 5, 16, 22);
      Arrow(c, 24, 16);
      Sheet(c, 42, 5, 16, 22);
      Sheet(c, 44, 7, 12, 18, page);
      break;
    case 1:  // a big page split over two sheets
      Sheet(c, 2, 2, 20, 28, page);
      Lines(c, 2, 2, 20, 28);
      Arrow(c, 24, 16);
      Sheet(c, 38, 8, 12, 16, page);
      Lines(c, 38, 8, 12, 16);
      Sheet(c, 51, 8, 12, 16, page);
      Lines(c, 51, 8, 12, 16);
      break;
    case 2:  // small pages joined on one sheet
      Sheet(c, 3, 3, 12, 12, page);
      Lines(c, 3, 3, 12, 12);
      Sheet(c, 3, 17, 12, 12, page);
      Lines(c, 3, 17, 12, 12);
      Arrow(c, 24, 16);
      Sheet(c, 42, 3, 18, 26);
      Sheet(c, 45, 5, 12, 10, page);
      Sheet(c, 45, 17, 12, 10, page);
      break;
    default:  // scaled to the sheet
      Sheet(c, 2, 2, 20, 28, page);
      Lines(c, 2, 2, 20, 28);
      Arrow(c, 24, 16);
      Sheet(c, 44, 8, 14, 18, page);
      Lines(c, 44, 8, 14, 18);
      break;
  }
}

// Three copies of a three-page report: collated sets (1 2 3, 1 2 3) or each page's copies together (1 1, 2 2, 3 3).
// Each pile is fanned up and to the right, so every sheet's number shows at its top right.
void CopiesPicture(TBitmap* b, bool collate, TColor back) {
  b->SetSize(96, 32);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(back);
  c->FillRect(Rect(0, 0, 96, 32));
  c->Font()->SetName(L"Tahoma");
  c->Font()->SetHeight(-9);
  c->Font()->SetColor(clBlack);
  const int piles = collate ? 2 : 3, sheets = collate ? 3 : 2, pileWidth = 16 + (sheets - 1) * 8;
  for (int pile = 0; pile < piles; ++pile)
    for (int sheet = sheets - 1; sheet >= 0; --sheet) {
      const int x = pile * (pileWidth + 8) + sheet * 8, y = (sheets - 1 - sheet) * 5;
      Sheet(c, x, y, 16, 22);
      c->Brush()->SetStyle(bsClear);
      c->TextOut(x + 9, y + 1, rtl::IntToStr(collate ? sheet + 1 : pile + 1));
      c->Brush()->SetStyle(bsSolid);
    }
}

}  // namespace

// --- TqvxPictureList

TqvxPictureList::TqvxPictureList(TComponent* owner) : TComboBox(owner) { SetStyle(csOwnerDrawFixed); }

void TqvxPictureList::SetEntryHeight(int value) {
  FEntryHeight = value;
  if (HandleAllocated()) {
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, value);
    SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), value);
  }
}

void TqvxPictureList::InitializeWnd() {
  TComboBox::InitializeWnd();
  SetEntryHeight(FEntryHeight);
}

void TqvxPictureList::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    const TRect r(dis->rcItem);
    TCanvas canvas;
    canvas.SetHandle(dis->hDC);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    canvas.Brush()->SetColor(selected ? clHighlight : clWindow);
    canvas.Font()->Assign(Font());
    canvas.Font()->SetColor(selected ? clHighlightText : clWindowText);
    canvas.FillRect(r);
    if (OnDrawEntry) OnDrawEntry(&canvas, static_cast<int>(dis->itemID), r);
    if (dis->itemState & ODS_FOCUS) DrawFocusRect(dis->hDC, &dis->rcItem);
    canvas.SetHandle(nullptr);
    m.Result = 1;
    return;
  }
  TComboBox::Dispatch(m);
}

VCL_REGISTER(TqvxPictureList) {}

// --- TqvxPrintDialog

TqvxPrintDialog::TqvxPrintDialog(TComponent* owner) : TForm(owner) {
  qvxDialogLook(this);
  SetKeyPreview(true);
  SetClientSize(557, 333);
  SetCaption(qvxGet(200));

  FileDlg = new TSaveDialog(this);
  FileDlg->SetTitle(qvxGet(507));
  FileDlg->SetFilter(qvxGet(510));
  FileDlg->SetDefaultExt(L"prn");

  Label12 = Make<TGroupBox>(this, this, 8, 4, 541, 78, qvxGet(201));
  NameL = Make<TLabel>(this, Label12, 12, 23, 56, 13, qvxGet(212));
  PrintersCB = new TqvxPictureList(this);
  PrintersCB->SetParent(Label12);
  PrintersCB->SetBounds(72, 20, 300, 21);
  PrintersCB->SetDropDownCount(12);
  PrintersCB->SetEntryHeight(Screen && Screen->PixelsPerInch() > 96 ? 19 : 16);
  PrintersCB->OnDrawEntry = [this](TCanvas* c, int index, const TRect& r) {
    if (index < 0 || index >= PrintersCB->Items()->Count()) return;
    if (TImageList* images = qvxResources().GetPreviewButtonImages(); images && images->Count() > 2)
      images->Draw(c, r.Left + 2, r.Top, 2);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(r.Left + 24, r.Top + 1, PrintersCB->Items()->Strings(index));
    c->Brush()->SetStyle(bsSolid);
  };
  PrintersCB->OnChange.Bind(this, &TqvxPrintDialog::OnPrintersClick);
  PropButton = Make<TButton>(this, Label12, 388, 18, 141, 25, qvxGet(209));
  PropButton->OnClick.Bind(this, &TqvxPrintDialog::OnPropClick);
  WhereL = Make<TLabel>(this, Label12, 12, 52, 56, 13, qvxGet(208));
  WhereL1 = Make<TLabel>(this, Label12, 72, 52, 300, 13);
  FileCB = Make<TCheckBox>(this, Label12, 388, 50, 141, 17, qvxGet(210));

  Label1 = Make<TGroupBox>(this, this, 8, 88, 270, 150, qvxGet(202));
  AllRB = Make<TRadioButton>(this, Label1, 12, 20, 250, 17, qvxGet(3));
  AllRB->SetChecked(true);
  CurPageRB = Make<TRadioButton>(this, Label1, 12, 42, 250, 17, qvxGet(4));
  PageNumbersRB = Make<TRadioButton>(this, Label1, 12, 66, 74, 17, qvxGet(5));
  PageNumbersRB->OnClick.Bind(this, &TqvxPrintDialog::OnPageNumbersRBClick);
  PageNumbersE = Make<TEdit>(this, Label1, 90, 64, 168, 21);
  PageNumbersE->OnEnter.Bind(this, &TqvxPrintDialog::OnPageNumbersEnter);
  DescrL = new TLabel(this);
  DescrL->SetParent(Label1);
  DescrL->SetAutoSize(false);
  DescrL->SetWordWrap(true);
  DescrL->SetBounds(12, 94, 246, 48);
  DescrL->SetCaption(qvxGet(9));

  Label2 = Make<TGroupBox>(this, this, 286, 88, 263, 78, qvxGet(205));
  CopiesL = Make<TLabel>(this, Label2, 12, 24, 130, 13, qvxGet(203));
  CopiesE = Make<TEdit>(this, Label2, 150, 20, 50, 21);
  CopiesE->SetText(L"1");
  UpDown1 = new TUpDown(this);
  UpDown1->SetParent(Label2);
  UpDown1->SetMin(1);
  UpDown1->SetMax(1000);
  UpDown1->SetPosition(1);
  UpDown1->SetAssociate(CopiesE);
  CollateCB = Make<TCheckBox>(this, Label2, 12, 50, 130, 17, qvxGet(204));
  CollateCB->OnClick.Bind(this, &TqvxPrintDialog::OnCollateClick);
  // The two copies pictures, drawn on the dialog's colour.
  FCollateImg = std::make_unique<TBitmap>();
  FNonCollateImg = std::make_unique<TBitmap>();
  CopiesPicture(FCollateImg.get(), true, Color());
  CopiesPicture(FNonCollateImg.get(), false, Color());
  CollateImg = FCollateImg.get();
  NonCollateImg = FNonCollateImg.get();
  CopiesPB = Make<TImage>(this, Label2, 150, 42, 96, 32);

  ScaleGB = Make<TGroupBox>(this, this, 286, 170, 263, 120, qvxGet(213));
  PrintModeIL = new TImageList(this);
  PrintModeIL->SetWidth(64);
  PrintModeIL->SetHeight(32);
  for (int mode = 0; mode < 4; ++mode) {
    TBitmap picture;
    picture.SetSize(64, 32);
    PrintModePicture(picture.Canvas(), mode);
    PrintModeIL->AddMasked(&picture, static_cast<TColor>(0xFF00FF));
  }
  PrintModeCB = new TqvxPictureList(this);
  PrintModeCB->SetParent(ScaleGB);
  PrintModeCB->SetBounds(12, 20, 240, 40);
  PrintModeCB->SetEntryHeight(34);
  PrintModeCB->OnDrawEntry = [this](TCanvas* c, int index, const TRect& r) {
    if (index < 0 || index >= PrintModeCB->Items()->Count()) return;
    PrintModeIL->Draw(c, r.Left + 2, r.Top + 1, index);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(r.Left + 74, r.Top + 10, PrintModeCB->Items()->Strings(index));
    c->Brush()->SetStyle(bsSolid);
  };
  PrintModeCB->OnChange.Bind(this, &TqvxPrintDialog::OnPrintModeClick);
  PagSizeL = Make<TLabel>(this, ScaleGB, 12, 66, 240, 13, qvxGet(214));
  PagPageSizeCB = List(this, ScaleGB, 12, 84, 240);

  OtherGB = Make<TGroupBox>(this, this, 8, 244, 270, 86, qvxGet(207));
  PrintL = Make<TLabel>(this, OtherGB, 12, 21, 74, 13, qvxGet(206));
  PrintPagesCB = List(this, OtherGB, 90, 17, 168);
  OrderL = Make<TLabel>(this, OtherGB, 12, 43, 74, 13, qvxGet(211));
  OrderCB = List(this, OtherGB, 90, 39, 168);
  DuplexL = Make<TLabel>(this, OtherGB, 12, 65, 74, 13, qvxGet(216));
  DuplexCB = List(this, OtherGB, 90, 61, 168);

  OkB = Make<TButton>(this, this, 390, 302, 75, 25, qvxGet(1));
  OkB->SetDefault(true);
  OkB->SetModalResult(mrOk);
  CancelB = Make<TButton>(this, this, 474, 302, 75, 25, qvxGet(2));
  CancelB->SetCancel(true);
  CancelB->SetModalResult(mrCancel);

  const TqvxResources& res = qvxResources();
  for (const wchar_t* key : {L"poDirect", L"poReverse"}) OrderCB->Items()->Add(res.Get(key));
  for (const wchar_t* key : {L"ppAll", L"ppOdd", L"ppEven"}) PrintPagesCB->Items()->Add(res.Get(key));
  for (const wchar_t* key : {L"dupDefault", L"dupVert", L"dupHorz", L"dupSimpl"}) DuplexCB->Items()->Add(res.Get(key));
  for (const wchar_t* key : {L"pmDefault", L"pmSplit", L"pmJoin", L"pmScale"}) PrintModeCB->Items()->Add(res.Get(key));
  OrderCB->SetItemIndex(0);
  PrintPagesCB->SetItemIndex(0);
  DuplexCB->SetItemIndex(0);
  PrintModeCB->SetItemIndex(0);

  TqvxPrinters& printers = qvxPrinters();
  for (rtl::Integer i = 0; i < printers.Count(); ++i) PrintersCB->Items()->Add(printers.Items(i)->Name);
  PrintersCB->SetItemIndex(printers.PrinterIndex());
  PrinterChanged();
  OldIndex = printers.PrinterIndex();
  PaintCopies();
}

void TqvxPrintDialog::PaintCopies() {
  CopiesPB->Picture()->Bitmap()->Assign(CollateCB->Checked() ? CollateImg : NonCollateImg);
  CopiesPB->Invalidate();
}

void TqvxPrintDialog::SelectSheet(rtl::Integer paper) {
  int index = 0;
  if (paper != 0 && paper != 256)
    for (size_t i = 1; i < FSheetCodes.size(); ++i)
      if (FSheetCodes[i] == paper) {
        index = static_cast<int>(i);
        break;
      }
  PagPageSizeCB->SetItemIndex(index);
}

void TqvxPrintDialog::PrinterChanged() {
  const int sheet = PagPageSizeCB->ItemIndex();
  const rtl::Integer chosen = sheet > 0 && sheet < static_cast<int>(FSheetCodes.size()) ? FSheetCodes[sheet] : 0;
  TqvxPrinters& printers = qvxPrinters();
  if (PrintersCB->ItemIndex() >= 0) printers.SetPrinterIndex(PrintersCB->ItemIndex());
  TqvxCustomPrinter* printer = printers.Printer();
  WhereL1->SetCaption(printer ? printer->Port : String());
  PagPageSizeCB->Items()->Clear();
  FSheetCodes.clear();
  PagPageSizeCB->Items()->Add(qvxResources().Get(L"pgDefault"));
  FSheetCodes.push_back(0);
  if (printer)
    for (rtl::Integer i = 0; i < printer->Papers->Count(); ++i) {
      if (printer->PaperCode(i) == 256) continue;
      PagPageSizeCB->Items()->Add(printer->Papers->Strings(i));
      FSheetCodes.push_back(printer->PaperCode(i));
    }
  SelectSheet(chosen);
}

void TqvxPrintDialog::PropertiesClicked() {
  TqvxCustomPrinter* printer = qvxPrinters().Printer();
  if (!printer) return;
  printer->PropertiesDlg();
  const rtl::Integer d = printer->Duplex;
  const rtl::Integer mode = d == 1 ? dmSimplex : d == 2 ? dmVertical : d == 3 ? dmHorizontal : 0;
  if (mode > 0) {
    ADuplexMode = static_cast<TqvxDuplexMode>(mode);
    DuplexCB->SetItemIndex(mode);
  }
}

void TqvxPrintDialog::PrintModeChanged() {
  if (PrintModeCB->ItemIndex() <= 0) {
    PagPageSizeCB->SetItemIndex(0);
    PagPageSizeCB->SetEnabled(false);
    return;
  }
  PagPageSizeCB->SetEnabled(true);
  if (PagPageSizeCB->ItemIndex() <= 0) SelectSheet(9);
}

void TqvxPrintDialog::OnPageNumbersEnter(rtl::TObject*) { PageNumbersRB->SetChecked(true); }

void TqvxPrintDialog::OnPageNumbersRBClick(rtl::TObject*) {
  if (Visible() && PageNumbersE->CanFocus()) PageNumbersE->SetFocus();
}

void TqvxPrintDialog::DoShow() {
  if (AReport) {
    TqvxPrintOptions* o = AReport->PrintOptions();
    UpDown1->SetPosition(std::clamp<rtl::Integer>(o->Copies, 1, 1000));
    CopiesE->SetText(rtl::IntToStr(std::clamp<rtl::Integer>(o->Copies, 1, 1000)));
    CollateCB->SetChecked(o->Collate);
    PaintCopies();
    PageNumbersE->SetText(o->PageNumbers);
    if (!o->PageNumbers.empty()) PageNumbersRB->SetChecked(true);
    PrintPagesCB->SetItemIndex(static_cast<int>(o->PrintPages));
    OrderCB->SetItemIndex(o->Reverse ? 1 : 0);
    PrintModeCB->SetItemIndex(static_cast<int>(o->PrintMode));
    DuplexCB->SetItemIndex(static_cast<int>(ADuplexMode));
    PrintModeChanged();
    if (o->PrintMode != pmDefault) SelectSheet(o->PrintOnSheet);
  }
  TForm::DoShow();
}

void TqvxPrintDialog::DoHide() {
  TqvxPrinters& printers = qvxPrinters();
  if (ModalResult() == mrOk) {
    TqvxCustomPrinter* printer = printers.Printer();
    if (printer) printer->FileName.clear();
    if (FileCB->Checked()) {
      if (FileDlg->Execute()) {
        if (printer) printer->FileName = rtl::ChangeFileExt(FileDlg->FileName(), L".prn");
      } else {
        SetModalResult(mrCancel);
      }
    }
  }
  // A cancelled dialog (the file dialog's cancel included) leaves the printer that was current before it.
  if (ModalResult() != mrOk) printers.SetPrinterIndex(OldIndex);
  if (ModalResult() == mrOk && AReport) {
    TqvxPrintOptions* o = AReport->PrintOptions();
    // A copies field left empty or holding a pasted non-number prints one copy; the count stays in the up-down's
    // range.
    rtl::Integer copies = 1;
    if (!rtl::TryStrToInt(rtl::Trim(CopiesE->Text()), copies)) copies = 1;
    o->Copies = std::clamp<rtl::Integer>(copies, 1, 1000);
    o->Collate = CollateCB->Checked();
    if (AllRB->Checked())
      o->PageNumbers.clear();
    else if (CurPageRB->Checked())
      o->PageNumbers = AReport->PreviewPages() ? rtl::IntToStr(AReport->PreviewPages()->CurPreviewPage) : String();
    else
      o->PageNumbers = PageNumbersE->Text();
    o->PrintPages = static_cast<TqvxPrintPages>(std::max(PrintPagesCB->ItemIndex(), 0));
    ADuplexMode = static_cast<TqvxDuplexMode>(std::max(DuplexCB->ItemIndex(), 0));
    o->Reverse = OrderCB->ItemIndex() == 1;
    o->PrintMode = static_cast<TqvxPrintMode>(std::max(PrintModeCB->ItemIndex(), 0));
    const int sheet = PagPageSizeCB->ItemIndex();
    o->PrintOnSheet = sheet > 0 && sheet < static_cast<int>(FSheetCodes.size()) ? FSheetCodes[sheet] : 256;
  }
  TForm::DoHide();
}

void TqvxPrintDialog::KeyDown(rtl::Word& key, TShiftState shift) {
  TForm::KeyDown(key, shift);
  if (key == VK_F1) qvxResources().Help(this);
}

bool qvxExecutePrintDialog(TqvxReport* report, rtl::Integer& duplex) {
  std::unique_ptr<TqvxPrintDialog> dialog(new TqvxPrintDialog(Application));
  dialog->AReport = report;
  dialog->ADuplexMode = static_cast<TqvxDuplexMode>(std::clamp<rtl::Integer>(duplex, 0, 3));
  if (dialog->ShowModal() != mrOk) return false;
  duplex = dialog->ADuplexMode;
  return true;
}

VCL_REGISTER(TqvxPrintDialog) {}
