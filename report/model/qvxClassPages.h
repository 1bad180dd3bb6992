#pragma once
// Pages, the children of a report: the report page (paper, orientation, margins, columns, bins, a background
// picture and the bands the engine lays out on it) and the data page that holds the report's datasets and is
// never printed. Paper sizes and margins are millimetres; the page's own Width and Height are pixels.
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "report/model/qvxClassBands.h"

VCL_ENUM(TPrinterOrientation, poPortrait, poLandscape)
VCL_ENUM(TqvxDuplexMode, dmNone, dmVertical, dmHorizontal, dmSimplex)

inline constexpr rtl::Integer qvxCustomPaper = 256;
// More columns than any page can show (a column narrower than a pixel on the widest paper).
inline constexpr rtl::Integer qvxMaxColumns = 10000;

// The platform's paper codes with their sizes in tenths of a millimetre (codes 1 to 68 without 48 and 49), for
// pages and the printer layer alike.
struct TPaperInfo {
  rtl::Integer Typ;
  const wchar_t* Name;
  rtl::Integer X, Y;
};
extern const TPaperInfo PaperInfo[66];

// Width and height in mm of a paper code; False (and nothing changed) for a code the table does not have.

bool qvxGetPaperDimensions(rtl::Integer paperSize, Extended& width, Extended& height);

// x rounded to 8 decimal places (halves to even).
Extended Round8(Extended x);

class TqvxPage : public TqvxComponent {
  VCL_CLASS(TqvxPage, TqvxComponent)
 public:
  explicit TqvxPage(vcl::TComponent* owner) : TqvxComponent(owner) { FAsPage = this; }
  bool ParentFontOff() const { return !FParentFont; }
};

class TqvxReportPage : public TqvxPage {
  VCL_CLASS(TqvxReportPage, TqvxPage)
 public:
  explicit TqvxReportPage(vcl::TComponent* owner);
  ~TqvxReportPage() override;

  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  rtl::String GetDescription() const override;
  void AlignChildren() override;
  virtual void SetPaperHeight(Extended value);
  virtual void SetPaperWidth(Extended value);
  virtual void SetPaperSize(rtl::Integer value);
  // Margins 10 mm and the current printer's default paper and orientation.
  virtual void SetDefaults();

  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY);
  void SetSizeAndDimensions(rtl::Integer size, Extended width, Extended height);
  // Width and Height (pixels) from the paper size.
  void UpdateDimensions();
  // The first direct child that is an instance of bandClass.
  TqvxBand* FindBand(const vcl::TClassInfo* bandClass) const;
  bool IsSubReport() const { return FSubReport != nullptr; }
  void ClearGuides();

  TPrinterOrientation Orientation() const { return FOrientation; }
  // Turns the paper and the margins with it.
  void SetOrientation(TPrinterOrientation value);
  Extended PaperWidth() const { return FPaperWidth; }
  Extended PaperHeight() const { return FPaperHeight; }
  rtl::Integer PaperSize() const { return FPaperSize; }
  rtl::Integer Columns() const { return FColumns; }
  // Also the even column width and positions over the printable width.
  void SetColumns(rtl::Integer value);
  rtl::Integer PageCount() const { return FPageCount; }
  // Only a positive count is taken.
  void SetPageCount(rtl::Integer value);
  rtl::TStringList* ColumnPositions() const { return FColumnPositions.get(); }
  void SetColumnPositions(rtl::TStringList* value) { FColumnPositions->Assign(value); }
  rtl::TStringList* HGuides() const { return FHGuides.get(); }
  void SetHGuides(rtl::TStringList* value) { FHGuides->Assign(value); }
  rtl::TStringList* VGuides() const { return FVGuides.get(); }
  void SetVGuides(rtl::TStringList* value) { FVGuides->Assign(value); }
  // Colour, frame and picture of the background view.
  vcl::TColor Color() const { return FBackPictureView->Color(); }
  void SetColor(vcl::TColor value) { FBackPictureView->SetColor(value); }
  TqvxFrame* Frame() const { return FBackPictureView->Frame(); }
  void SetFrame(TqvxFrame* value) { FBackPictureView->SetFrame(value); }
  vcl::TPicture* BackPicture() const { return FBackPictureView->Picture(); }
  void SetBackPicture(vcl::TPicture* value) { FBackPictureView->SetPicture(value); }
  TqvxPictureView* BackPictureView() const { return FBackPictureView.get(); }
  TqvxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TqvxDataSet* value);
  rtl::String DataSetName() const;
  void SetDataSetName(const rtl::String& value);
  TqvxSubreport* SubReport() const { return FSubReport; }
  void SetSubReport(TqvxSubreport* value);

  // Margins and column width in mm.
  Extended LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
  Extended ColumnWidth = 0;
  rtl::Integer Bin = 7, BinOtherPages = 7;
  TqvxDuplexMode Duplex = dmNone;
  bool EndlessHeight = false, EndlessWidth = false;
  bool LargeDesignHeight = false;
  bool MirrorMargins = false;
  rtl::String OutlineText;
  bool PrintIfEmpty = true;
  bool PrintOnPreviousPage = false;
  bool ResetPageNumbers = false;
  bool TitleBeforeHeader = true;
  rtl::String OnAfterPrint, OnBeforePrint, OnManualBuild;
  bool BackPictureVisible = true, BackPicturePrintable = true;
  std::vector<TqvxBand*> SubBands, VSubBands;

 private:
  std::unique_ptr<TqvxPictureView> FBackPictureView;
  std::unique_ptr<rtl::TStringList> FColumnPositions, FHGuides, FVGuides;
  TqvxDataSet* FDataSet = nullptr;
  rtl::String FDataSetName;
  TqvxSubreport* FSubReport = nullptr;
  TPrinterOrientation FOrientation = poPortrait;
  Extended FPaperWidth = 0, FPaperHeight = 0;
  rtl::Integer FPaperSize = 0;
  rtl::Integer FColumns = 0;
  rtl::Integer FPageCount = 1;
};

class TqvxDataPage : public TqvxPage {
  VCL_CLASS(TqvxDataPage, TqvxPage)
 public:
  explicit TqvxDataPage(vcl::TComponent* owner);
  rtl::String GetDescription() const override;
};
