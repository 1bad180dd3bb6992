#include "report/model/qvxClassPages.h"

#include <cmath>
#include <utility>

#include "platform/rtl/format.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxRes.h"

using rtl::String;

TqvxPrinterHooks qvxPrinterHooks;

namespace {

rtl::Int64 Rnd64(Extended x) { return static_cast<rtl::Int64>(std::nearbyint(static_cast<double>(x))); }

// The common paper codes of the platform, in mm; the printer layer replaces this with its full table.
struct TPaper {
  rtl::Integer Code;
  Extended Width, Height;
};
constexpr TPaper kPapers[] = {
    {1, 215.9L, 279.4L},  // Letter
    {5, 215.9L, 355.6L},  // Legal
    {8, 297, 420},        // A3
    {9, 210, 297},        // A4
    {11, 148, 210},       // A5
    {13, 182, 257},       // B5 (JIS)
};

}  // namespace

bool qvxGetPaperDimensions(rtl::Integer paperSize, Extended& width, Extended& height) {
  if (qvxPrinterHooks.GetPaperDimensions) return qvxPrinterHooks.GetPaperDimensions(paperSize, width, height);
  for (const TPaper& p : kPapers)
    if (p.Code == paperSize) {
      width = p.Width;
      height = p.Height;
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
  if (FDataSet && qvxDataSetHooks.AsComponent && qvxDataSetHooks.AsComponent(FDataSet) == component) FDataSet = nullptr;
  if (component == FSubReport) FSubReport = nullptr;
}

void TqvxReportPage::SetDataSet(TqvxDataSet* value) {
  FDataSet = value;
  FDataSetName = value && qvxDataSetHooks.UserName ? qvxDataSetHooks.UserName(value) : String();
  if (value && qvxDataSetHooks.AsComponent)
    if (vcl::TComponent* c = qvxDataSetHooks.AsComponent(value)) c->FreeNotification(this);
}

String TqvxReportPage::DataSetName() const {
  if (FDataSet && qvxDataSetHooks.UserName) return qvxDataSetHooks.UserName(FDataSet);
  return FDataSetName;
}

void TqvxReportPage::SetDataSetName(const String& value) {
  FDataSetName = value;
  FDataSet = FindDataSet(FDataSet, FDataSetName);
  if (FDataSet && qvxDataSetHooks.AsComponent)
    if (vcl::TComponent* c = qvxDataSetHooks.AsComponent(FDataSet)) c->FreeNotification(this);
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
  if (qvxPrinterHooks.GetPrinterDefaults) qvxPrinterHooks.GetPrinterDefaults(paper, w, h, orientation);
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
