#include "report/model/qvxClassPages.h"

#include <cmath>
#include <utility>

#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxRes.h"

using rtl::String;

namespace {

rtl::Int64 Rnd64(Extended x) { return static_cast<rtl::Int64>(std::nearbyint(static_cast<double>(x))); }

}  // namespace

const TPaperInfo PaperInfo[66] = {
    {1, L"", 2159, 2794},   {2, L"", 2159, 2794},  {3, L"", 2794, 4318},  {4, L"", 4318, 2794},  {5, L"", 2159, 3556},
    {6, L"", 1397, 2159},   {7, L"", 1842, 2667},  {8, L"", 2970, 4200},  {9, L"", 2100, 2970},  {10, L"", 2100, 2970},
    {11, L"", 1480, 2100},  {12, L"", 2500, 3540}, {13, L"", 1820, 2570}, {14, L"", 2159, 3302}, {15, L"", 2150, 2750},
    {16, L"", 2540, 3556},  {17, L"", 2794, 4318}, {18, L"", 2159, 2794}, {19, L"", 984, 2254},  {20, L"", 1048, 2413},
    {21, L"", 1143, 2635},  {22, L"", 1207, 2794}, {23, L"", 1270, 2921}, {24, L"", 4318, 5588}, {25, L"", 5588, 8636},
    {26, L"", 8636, 11176}, {27, L"", 1100, 2200}, {28, L"", 1620, 2290}, {29, L"", 3240, 4580}, {30, L"", 2290, 3240},
    {31, L"", 1140, 1620},  {32, L"", 1140, 2290}, {33, L"", 2500, 3530}, {34, L"", 1760, 2500}, {35, L"", 1760, 1250},
    {36, L"", 1100, 2300},  {37, L"", 984, 1905},  {38, L"", 920, 1651},  {39, L"", 3778, 2794}, {40, L"", 2159, 3048},
    {41, L"", 2159, 3302},  {42, L"", 2500, 3530}, {43, L"", 1000, 1480}, {44, L"", 2286, 2794}, {45, L"", 2540, 2794},
    {46, L"", 3810, 2794},  {47, L"", 2200, 2200}, {50, L"", 2355, 3048}, {51, L"", 2355, 3810}, {52, L"", 2969, 4572},
    {53, L"", 2354, 3223},  {54, L"", 2101, 2794}, {55, L"", 2100, 2970}, {56, L"", 2355, 3048}, {57, L"", 2270, 3560},
    {58, L"", 3050, 4870},  {59, L"", 2159, 3223}, {60, L"", 2100, 3300}, {61, L"", 1480, 2100}, {62, L"", 1820, 2570},
    {63, L"", 3220, 4450},  {64, L"", 1740, 2350}, {65, L"", 2010, 2760}, {66, L"", 4200, 5940}, {67, L"", 2970, 4200},
    {68, L"", 3220, 4450}};

bool qvxGetPaperDimensions(rtl::Integer paperSize, Extended& width, Extended& height) {
  for (const TPaperInfo& p : PaperInfo)
    if (p.Typ == paperSize) {
      width = p.X / 10.0L;
      height = p.Y / 10.0L;
      return true;
    }
  return false;
}

Extended Round8(Extended x) {
  return static_cast<Extended>(static_cast<long double>(std::nearbyint(static_cast<double>(x * 100000000.0L)))) /
         100000000.0L;
}

VCL_REGISTER(TqvxPage) {
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont).Stored(&TqvxPage::ParentFontOff);
  cls.Prop(L"Visible", &TqvxComponent::Visible, &TqvxComponent::SetVisible).Default(true);
}

VCL_REGISTER(TqvxReportPage) {
  cls.Prop(L"Orientation", &TqvxReportPage::Orientation, &TqvxReportPage::SetOrientation).Default(poPortrait);
  cls.Prop(L"PaperWidth", &TqvxReportPage::PaperWidth, &TqvxReportPage::SetPaperWidth);
  cls.Prop(L"PaperHeight", &TqvxReportPage::PaperHeight, &TqvxReportPage::SetPaperHeight);
  cls.Prop(L"PaperSize", &TqvxReportPage::PaperSize, &TqvxReportPage::SetPaperSize);
  cls.Prop(L"LeftMargin", &TqvxReportPage::LeftMargin);
  cls.Prop(L"RightMargin", &TqvxReportPage::RightMargin);
  cls.Prop(L"TopMargin", &TqvxReportPage::TopMargin);
  cls.Prop(L"BottomMargin", &TqvxReportPage::BottomMargin);
  cls.Prop(L"MirrorMargins", &TqvxReportPage::MirrorMargins).Default(false);
  cls.Prop(L"Columns", &TqvxReportPage::Columns, &TqvxReportPage::SetColumns).Default(0);
  cls.Prop(L"ColumnWidth", &TqvxReportPage::ColumnWidth);
  cls.Prop(L"ColumnPositions", &TqvxReportPage::ColumnPositions, &TqvxReportPage::SetColumnPositions);
  cls.Prop(L"Bin", &TqvxReportPage::Bin).Default(7);
  cls.Prop(L"BinOtherPages", &TqvxReportPage::BinOtherPages).Default(7);
  cls.Prop(L"BackPicture", &TqvxReportPage::BackPicture, &TqvxReportPage::SetBackPicture);
  cls.Prop(L"BackPictureVisible", &TqvxReportPage::BackPictureVisible).Default(true);
  cls.Prop(L"BackPicturePrintable", &TqvxReportPage::BackPicturePrintable).Default(true);
  cls.Prop(L"PageCount", &TqvxReportPage::PageCount, &TqvxReportPage::SetPageCount).Default(1);
  cls.Prop(L"Color", &TqvxReportPage::Color, &TqvxReportPage::SetColor).Default(clTransparent).TypeName(L"TColor");
  cls.Prop(L"DataSet", &TqvxReportPage::DataSet, &TqvxReportPage::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxReportPage::DataSetName, &TqvxReportPage::SetDataSetName);
  cls.Prop(L"Duplex", &TqvxReportPage::Duplex).Default(dmNone);
  cls.Prop(L"Frame", &TqvxReportPage::Frame, &TqvxReportPage::SetFrame);
  cls.Prop(L"EndlessHeight", &TqvxReportPage::EndlessHeight).Default(false);
  cls.Prop(L"EndlessWidth", &TqvxReportPage::EndlessWidth).Default(false);
  cls.Prop(L"LargeDesignHeight", &TqvxReportPage::LargeDesignHeight).Default(false);
  cls.Prop(L"OutlineText", &TqvxReportPage::OutlineText);
  cls.Prop(L"PrintIfEmpty", &TqvxReportPage::PrintIfEmpty).Default(true);
  cls.Prop(L"PrintOnPreviousPage", &TqvxReportPage::PrintOnPreviousPage).Default(false);
  cls.Prop(L"ResetPageNumbers", &TqvxReportPage::ResetPageNumbers).Default(false);
  cls.Prop(L"TitleBeforeHeader", &TqvxReportPage::TitleBeforeHeader).Default(true);
  cls.Prop(L"HGuides", &TqvxReportPage::HGuides, &TqvxReportPage::SetHGuides);
  cls.Prop(L"VGuides", &TqvxReportPage::VGuides, &TqvxReportPage::SetVGuides);
  cls.Prop(L"OnAfterPrint", &TqvxReportPage::OnAfterPrint);
  cls.Prop(L"OnBeforePrint", &TqvxReportPage::OnBeforePrint);
  cls.Prop(L"OnManualBuild", &TqvxReportPage::OnManualBuild);
}

VCL_REGISTER(TqvxDataPage) {
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxComponent::SetLeft);
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxComponent::SetTop);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxComponent::SetWidth);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxComponent::SetHeight);
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxReportPage

TqvxReportPage::TqvxReportPage(vcl::TComponent* owner)
    : TqvxPage(owner),
      FBackPictureView(std::make_unique<TqvxPictureView>(nullptr)),
      FColumnPositions(std::make_unique<rtl::TStringList>()),
      FHGuides(std::make_unique<rtl::TStringList>()),
      FVGuides(std::make_unique<rtl::TStringList>()) {
  FBackPictureView->SetColor(clTransparent);
  FBackPictureView->KeepAspectRatio = false;
  SetPaperSize(9);
  SetBaseName(L"Page");
}

TqvxReportPage::~TqvxReportPage() {
  if (FSubReport) FSubReport->ClearPage();
}

String TqvxReportPage::GetDescription() const { return qvxResources().Get(L"obRepPage"); }

void TqvxReportPage::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxPage::Notification(component, operation);
  if (operation != vcl::opRemove) return;
  if (FDataSet && static_cast<vcl::TComponent*>(FDataSet) == component) FDataSet = nullptr;
  if (component == FSubReport) FSubReport = nullptr;
}

void TqvxReportPage::SetDataSet(TqvxDataSet* value) {
  FDataSet = value;
  FDataSetName = value ? value->UserName() : String();
  if (value) value->FreeNotification(this);
}

String TqvxReportPage::DataSetName() const {
  if (FDataSet) return FDataSet->UserName();
  return FDataSetName;
}

void TqvxReportPage::SetDataSetName(const String& value) {
  FDataSetName = value;
  FDataSet = FindDataSet(FDataSet, FDataSetName);
  if (FDataSet) FDataSet->FreeNotification(this);
}

void TqvxReportPage::SetSubReport(TqvxSubreport* value) {
  FSubReport = value;
  if (value) value->FreeNotification(this);
}

void TqvxReportPage::UpdateDimensions() {
  SetWidth(static_cast<Extended>(Rnd64(FPaperWidth * qv01cm)));
  SetHeight(static_cast<Extended>(Rnd64(FPaperHeight * qv01cm)));
}

void TqvxReportPage::SetPaperSize(rtl::Integer value) {
  FPaperSize = value;
  if (value >= qvxCustomPaper) return;
  Extended w = FPaperWidth, h = FPaperHeight;
  if (qvxGetPaperDimensions(value, w, h)) {
    if (FOrientation == poLandscape) std::swap(w, h);
    FPaperWidth = w;
    FPaperHeight = h;
  }
  UpdateDimensions();
}

void TqvxReportPage::SetPaperWidth(Extended value) {
  FPaperWidth = Round8(value);
  FPaperSize = qvxCustomPaper;
  UpdateDimensions();
}

void TqvxReportPage::SetPaperHeight(Extended value) {
  FPaperHeight = Round8(value);
  FPaperSize = qvxCustomPaper;
  UpdateDimensions();
}

void TqvxReportPage::SetSizeAndDimensions(rtl::Integer size, Extended width, Extended height) {
  FPaperSize = size;
  FPaperWidth = Round8(width);
  FPaperHeight = Round8(height);
  UpdateDimensions();
}

void TqvxReportPage::SetOrientation(TPrinterOrientation value) {
  if (value != FOrientation) {
    std::swap(FPaperWidth, FPaperHeight);
    const Extended l = LeftMargin, t = TopMargin, r = RightMargin, b = BottomMargin;
    if (value == poLandscape) {
      LeftMargin = t;
      RightMargin = b;
      TopMargin = r;
      BottomMargin = l;
    } else {
      LeftMargin = b;
      RightMargin = t;
      TopMargin = l;
      BottomMargin = r;
    }
    UpdateDimensions();
  }
  FOrientation = value;
}

void TqvxReportPage::SetColumns(rtl::Integer value) {
  // Each column gets a position entry: a count read from a damaged template must not exhaust memory.
  if (value > qvxMaxColumns) throw rtl::Exception(L"Invalid number of columns: " + rtl::IntToStr(value));
  FColumns = value;
  FColumnPositions->Clear();
  if (FColumns <= 0) return;
  ColumnWidth = (FPaperWidth - LeftMargin - RightMargin) / FColumns;
  for (rtl::Integer i = 0; i < FColumns; ++i)
    FColumnPositions->Add(rtl::FloatToStr(static_cast<double>(i * ColumnWidth)));
}

void TqvxReportPage::SetPageCount(rtl::Integer value) {
  if (value > 0) FPageCount = value;
}

void TqvxReportPage::SetDefaults() {
  LeftMargin = TopMargin = RightMargin = BottomMargin = 10;
  rtl::Integer paper = 9;
  Extended w = 210, h = 297;
  TPrinterOrientation orientation = poPortrait;
  // A program without the printer layer lays new pages out as A4 portrait.
  if (TqvxPrintLink* printers = qvxFindPrintLink()) printers->GetPrinterDefaults(paper, w, h, orientation);
  FPaperSize = paper;
  FPaperWidth = w;
  FPaperHeight = h;
  FOrientation = orientation;
  UpdateDimensions();
}

void TqvxReportPage::ClearGuides() {
  FHGuides->Clear();
  FVGuides->Clear();
}

TqvxBand* TqvxReportPage::FindBand(const vcl::TClassInfo* bandClass) const {
  for (TqvxComponent* c : FObjects) {
    const vcl::TClassInfo* cls = vcl::ClassOf(c);
    if (cls && bandClass && cls->InheritsFrom(bandClass)) return dynamic_cast<TqvxBand*>(c);
  }
  return nullptr;
}

void TqvxReportPage::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  FBackPictureView->SetWidth((FPaperWidth - LeftMargin - RightMargin) * qv01cm);
  FBackPictureView->SetHeight((FPaperHeight - TopMargin - BottomMargin) * qv01cm);
  if (!BackPictureVisible || (IsPrinting() && !BackPicturePrintable)) return;
  FBackPictureView->SetIsPrinting(IsPrinting());
  FBackPictureView->Draw(canvas, scaleX, scaleY, offsetX + scaleX * LeftMargin * qv01cm,
                         offsetY + scaleY * TopMargin * qv01cm);
}

void TqvxReportPage::AlignChildren() {
  const Extended printableWidth = (FPaperWidth - LeftMargin - RightMargin) * qv01cm;
  const Extended printableHeight = (FPaperHeight - TopMargin - BottomMargin) * qv01cm;
  SetWidth(printableWidth);
  SetHeight(printableHeight);
  TqvxPage::AlignChildren();
  const std::vector<TqvxComponent*> children = FObjects;
  for (TqvxComponent* c : children) {
    auto* band = dynamic_cast<TqvxBand*>(c);
    if (!band) continue;
    const bool fullWidth = dynamic_cast<TqvxNullBand*>(band) || dynamic_cast<TqvxReportSummary*>(band) ||
                           dynamic_cast<TqvxPageHeader*>(band) || dynamic_cast<TqvxPageFooter*>(band) ||
                           dynamic_cast<TqvxReportTitle*>(band) || dynamic_cast<TqvxOverlay*>(band);
    if (band->Vertical())
      band->SetHeight(printableHeight - band->Top());
    else if (FColumns > 1 && !fullWidth)
      band->SetWidth(ColumnWidth * qv01cm);
    else
      band->SetWidth(Width() - band->Left());
    band->AlignChildren();
  }
  UpdateDimensions();
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxDataPage

TqvxDataPage::TqvxDataPage(vcl::TComponent* owner) : TqvxPage(owner) {
  SetWidth(1000);
  SetHeight(1000);
}

String TqvxDataPage::GetDescription() const { return qvxResources().Get(L"obDataPage"); }
