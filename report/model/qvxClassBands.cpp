#include "report/model/qvxClassBands.h"

#include <cmath>
#include <typeinfo>

#include "platform/rtl/strings.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxRes.h"

using rtl::String;

namespace {

int Rnd(Extended x) { return static_cast<int>(std::nearbyint(static_cast<double>(x))); }

String Item(const String& name, const String& value) { return L" " + name + L"=\"" + value + L"\""; }

}  // namespace

VCL_REGISTER(TqvxFillGaps) {
  cls.Prop(L"Top", &TqvxFillGaps::Top);
  cls.Prop(L"Left", &TqvxFillGaps::Left);
  cls.Prop(L"Bottom", &TqvxFillGaps::Bottom);
  cls.Prop(L"Right", &TqvxFillGaps::Right);
}

// The plain band publishes only the common properties; each kind adds its flags.
VCL_REGISTER(TqvxBand) {
  cls.Prop(L"FillType", &TqvxBand::FillType, &TqvxBand::SetFillType);
  cls.Prop(L"Fill", &TqvxBand::Fill, &TqvxBand::SetFill);
  cls.Prop(L"FillGap", &TqvxBand::FillGap, &TqvxBand::SetFillGap);
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont).Stored(&TqvxBand::ParentFontOff);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxComponent::SetHeight);
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxComponent::SetLeft);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
  cls.Prop(L"Restrictions", &TqvxComponent::Restrictions, &TqvxComponent::SetRestrictions).Default(TqvxRestrictions{});
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxComponent::SetTop);
  cls.Prop(L"Vertical", &TqvxBand::Vertical, &TqvxBand::SetVertical).Default(false);
  cls.Prop(L"Visible", &TqvxComponent::Visible, &TqvxComponent::SetVisible).Default(true);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxComponent::SetWidth);
  cls.Prop(L"OnAfterCalcHeight", &TqvxBand::OnAfterCalcHeight);
  cls.Prop(L"OnAfterPrint", &TqvxBand::OnAfterPrint);
  cls.Prop(L"OnBeforePrint", &TqvxBand::OnBeforePrint);
}

#define QVX_BAND_FLAG(C, name) cls.Prop(L## #name, &C::name).Default(false)

VCL_REGISTER(TqvxReportTitle) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxBand, StartNewPage);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxReportSummary) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxBand, StartNewPage);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxPageHeader) {
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  cls.Prop(L"PrintOnFirstPage", &TqvxPageHeader::PrintOnFirstPage).Default(true);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxPageFooter) {
  cls.Prop(L"PrintOnFirstPage", &TqvxPageFooter::PrintOnFirstPage).Default(true);
  cls.Prop(L"PrintOnLastPage", &TqvxPageFooter::PrintOnLastPage).Default(true);
}

VCL_REGISTER(TqvxHeader) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxHeader, ReprintOnNewPage);
  QVX_BAND_FLAG(TqvxBand, StartNewPage);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxFooter) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxDataBand) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  cls.Prop(L"Columns", &TqvxDataBand::Columns).Default(0);
  cls.Prop(L"ColumnWidth", &TqvxDataBand::ColumnWidth);
  cls.Prop(L"ColumnGap", &TqvxDataBand::ColumnGap);
  cls.Prop(L"DataSet", &TqvxDataBand::DataSet, &TqvxDataBand::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxDataBand::DataSetName, &TqvxDataBand::SetDataSetName);
  QVX_BAND_FLAG(TqvxDataBand, FooterAfterEach);
  cls.Prop(L"Filter", &TqvxDataBand::Filter);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxDataBand, KeepFooter);
  QVX_BAND_FLAG(TqvxDataBand, KeepHeader);
  QVX_BAND_FLAG(TqvxDataBand, KeepTogether);
  cls.Prop(L"OutlineText", &TqvxBand::OutlineText);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxDataBand, PrintIfDetailEmpty);
  cls.Prop(L"RowCount", &TqvxDataBand::RowCount, &TqvxDataBand::SetRowCount);
  QVX_BAND_FLAG(TqvxBand, StartNewPage);
  QVX_BAND_FLAG(TqvxBand, Stretched);
  cls.Prop(L"OnMasterDetail", &TqvxDataBand::OnMasterDetail);
}

VCL_REGISTER(TqvxMasterData) {}
VCL_REGISTER(TqvxDetailData) {}
VCL_REGISTER(TqvxSubdetailData) {}
VCL_REGISTER(TqvxDataBand4) {}
VCL_REGISTER(TqvxDataBand5) {}
VCL_REGISTER(TqvxDataBand6) {}

VCL_REGISTER(TqvxGroupHeader) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  cls.Prop(L"Condition", &TqvxGroupHeader::Condition);
  QVX_BAND_FLAG(TqvxGroupHeader, DrillDown);
  QVX_BAND_FLAG(TqvxGroupHeader, ExpandDrillDown);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxGroupHeader, KeepTogether);
  QVX_BAND_FLAG(TqvxGroupHeader, ReprintOnNewPage);
  cls.Prop(L"OutlineText", &TqvxBand::OutlineText);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxGroupHeader, ResetPageNumbers);
  QVX_BAND_FLAG(TqvxGroupHeader, ShowFooterIfDrillDown);
  QVX_BAND_FLAG(TqvxGroupHeader, ShowChildIfDrillDown);
  QVX_BAND_FLAG(TqvxBand, StartNewPage);
  QVX_BAND_FLAG(TqvxBand, Stretched);
  cls.Prop(L"DrillName", &TqvxGroupHeader::DrillName);
}

VCL_REGISTER(TqvxGroupFooter) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxGroupFooter, HideIfSingleDataRecord);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxChild) {
  QVX_BAND_FLAG(TqvxBand, AllowSplit);
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, KeepChild);
  QVX_BAND_FLAG(TqvxBand, PrintChildIfInvisible);
  QVX_BAND_FLAG(TqvxBand, StartNewPage);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxColumnHeader) {
  cls.Prop(L"Child", &TqvxBand::Child, &TqvxBand::SetChild);
  QVX_BAND_FLAG(TqvxBand, Stretched);
}

VCL_REGISTER(TqvxColumnFooter) {}

VCL_REGISTER(TqvxOverlay) { QVX_BAND_FLAG(TqvxOverlay, PrintOnTop); }

VCL_REGISTER(TqvxNullBand) {}

VCL_REGISTER(TqvxSubreport) {
  cls.Prop(L"Page", &TqvxSubreport::Page, &TqvxSubreport::SetPage);
  QVX_BAND_FLAG(TqvxSubreport, PrintOnParent);
}

#undef QVX_BAND_FLAG

const vcl::TClassInfo* const* qvxBands() {
  static const vcl::TClassInfo* const table[BND_COUNT] = {
      TqvxReportTitle::StaticClass(),  TqvxReportSummary::StaticClass(), TqvxPageHeader::StaticClass(),
      TqvxPageFooter::StaticClass(),   TqvxHeader::StaticClass(),        TqvxFooter::StaticClass(),
      TqvxMasterData::StaticClass(),   TqvxDetailData::StaticClass(),    TqvxSubdetailData::StaticClass(),
      TqvxDataBand4::StaticClass(),    TqvxDataBand5::StaticClass(),     TqvxDataBand6::StaticClass(),
      TqvxGroupHeader::StaticClass(),  TqvxGroupFooter::StaticClass(),   TqvxChild::StaticClass(),
      TqvxColumnHeader::StaticClass(), TqvxColumnFooter::StaticClass(),  TqvxOverlay::StaticClass()};
  return table;
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxFillGaps, TqvxBand

void TqvxFillGaps::Assign(const rtl::TPersistent* source) {
  auto* s = dynamic_cast<const TqvxFillGaps*>(source);
  if (!s) {
    rtl::TPersistent::Assign(source);
    return;
  }
  Top = s->Top;
  Left = s->Left;
  Bottom = s->Bottom;
  Right = s->Right;
}

TqvxBand::TqvxBand(vcl::TComponent* owner)
    : TqvxReportComponent(owner), FFill(new TqvxBrushFill()), FFillGap(new TqvxFillGaps()) {
  FIsBand = true;
}

TqvxBand::~TqvxBand() {
  delete FFill;
  delete FFillGap;
}

void TqvxBand::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxReportComponent::Notification(component, operation);
  if (operation != vcl::opRemove) return;
  if (component == FChild) FChild = nullptr;
  if (component == FFillMemo) FFillMemo = nullptr;
}

Extended TqvxBand::Snap(Extended value, Extended cell) const {
  // Bands are placed at every record: the plain page, by far the usual one, is told without a cast.
  if (!FParent || &typeid(*FParent) == &typeid(TqvxReportPage) || !dynamic_cast<TqvxDMPPage*>(FParent)) return value;
  return static_cast<Extended>(std::nearbyint(static_cast<double>(value / cell))) * cell;
}

void TqvxBand::SetLeft(Extended value) { TqvxReportComponent::SetLeft(Snap(value, qv1CharX)); }
void TqvxBand::SetTop(Extended value) { TqvxReportComponent::SetTop(Snap(value, qv1CharY)); }
void TqvxBand::SetHeight(Extended value) { TqvxReportComponent::SetHeight(Snap(value, qv1CharY)); }

String TqvxBand::GetDescription() const { return qvxResources().Get(L"obBand"); }

rtl::Integer TqvxBand::BandNumber() const {
  const vcl::TClassInfo* mine = vcl::ClassOf(this);
  const vcl::TClassInfo* const* table = qvxBands();
  for (int n = BND_COUNT - 1; n >= 0; --n)
    if (mine && mine->InheritsFrom(table[n])) return n;
  return 0;
}

String TqvxBand::GetBandName() const {
  String s = ClassName();
  size_t at = s.find(L"Tqvx");
  if (at != String::npos) s.erase(at, 4);
  at = s.find(L"Band");
  if (at != String::npos) s.erase(at, 4);
  return s;
}

void TqvxBand::SetChild(TqvxChild* value) {
  // The chain is followed at most as far as there are bands, so a cycle made elsewhere cannot hang us.
  int guard = 0;
  for (TqvxBand* b = value; b && guard < 100000; b = b->FChild, ++guard)
    if (b == this) throw rtl::Exception(qvxResources().Get(L"clCirRefNotAllow"));
  if (FChild) FChild->RemoveFreeNotification(this);
  FChild = value;
  if (value) value->FreeNotification(this);
}

void TqvxBand::SetFillType(TqvxFillType value) {
  if (value == FillType()) return;
  // Without a designer attached there is nobody to refresh.
  TqvxCustomFill* fill = qvxCreateFill(value);
  delete FFill;
  FFill = fill;
}

void TqvxBand::SetFill(TqvxCustomFill* value) {
  if (!value) return;
  SetFillType(qvxGetFillType(value));
  FFill->Assign(value);
}

void TqvxBand::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  if (!IsDesigning()) return;
  const Extended l = AbsLeft(), t = AbsTop();
  FFill->Draw(canvas, Rnd(l * scaleX + offsetX), Rnd(t * scaleY + offsetY), Rnd((l + FWidth) * scaleX + offsetX),
              Rnd((t + FHeight) * scaleY + offsetY), scaleX, scaleY);
}

void TqvxBand::CreateFillMemo() {
  // Asked for every band placed: the plain fill is told by its class, and the common answer (nothing to fill) comes
  // before the cast for the null band; both give up without a change, so their order does not matter.
  auto* brush = FFill && &typeid(*FFill) == &typeid(TqvxBrushFill) ? static_cast<TqvxBrushFill*>(FFill)
                                                                   : dynamic_cast<TqvxBrushFill*>(FFill);
  if (brush && brush->BackColor == clTransparent && brush->ForeColor == 0 && brush->Style == vcl::bsSolid) return;
  if (dynamic_cast<TqvxNullBand*>(this)) return;
  if (!FFillMemo) {
    // Text objects live in their own unit; the band reaches them through the class registry.
    const vcl::TClassInfo* memoClass = vcl::GetClass(L"TqvxMemoView");
    if (!memoClass || !memoClass->CanCreate()) return;
    vcl::TCreateArgs args;
    args.Owner = this;
    auto* memo = dynamic_cast<TqvxView*>(memoClass->CreateInstance(args));
    if (!memo) return;
    FFillMemo = memo;
    memo->SetParent(this);
    memo->FreeNotification(this);
  }
  FFillMemo->SetFill(FFill);
  // The memo covers the band less its gaps on every side.
  FFillMemo->SetLeft(FFillGap->Left);
  FFillMemo->SetTop(FFillGap->Top);
  FFillMemo->SetWidth(FWidth - FFillGap->Left - FFillGap->Right);
  FFillMemo->SetHeight(FHeight - FFillGap->Top - FFillGap->Bottom);
  auto& list = FObjects;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == FFillMemo) {
      list.erase(list.begin() + static_cast<long>(i));
      break;
    }
  list.insert(list.begin(), FFillMemo);
  ObjectsChanged();
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxDataBand

TqvxDataBand::TqvxDataBand(vcl::TComponent* owner) : TqvxBand(owner), FVirtualDataSet(new TqvxUserDataSet(nullptr)) {
  FVirtualDataSet->SetRangeEnd(reCount);
}

TqvxDataBand::~TqvxDataBand() {
  delete FVirtualDataSet;
  FVirtualDataSet = nullptr;
}

String TqvxDataBand::GetDescription() const { return qvxResources().Get(L"obDataBand"); }

void TqvxDataBand::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxBand::Notification(component, operation);
  if (operation == vcl::opRemove && FDataSet && static_cast<vcl::TComponent*>(FDataSet) == component)
    FDataSet = nullptr;
}

void TqvxDataBand::SetDataSet(TqvxDataSet* value) {
  FDataSet = value;
  FDataSetName = value ? value->UserName() : String();
  if (value) value->FreeNotification(this);
}

String TqvxDataBand::DataSetName() const {
  if (FDataSet) return FDataSet->UserName();
  return FDataSetName;
}

void TqvxDataBand::SetDataSetName(const String& value) {
  FDataSetName = value;
  FDataSet = FindDataSet(FDataSet, FDataSetName);
  if (FDataSet) FDataSet->FreeNotification(this);
}

void TqvxDataBand::SetRowCount(rtl::Integer value) {
  FRowCount = value;
  FVirtualDataSet->SetRangeEndCount(value);
}

void TqvxDataBand::SetCurColumn(rtl::Integer value) {
  if (value > Columns) value = 1;
  FCurColumn = value;
  if (value == 1) MaxY = 0;
  FLeft = (ColumnWidth + ColumnGap) * (FCurColumn - 1);
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxGroupHeader, TqvxSubreport

String TqvxGroupHeader::Diff(TqvxComponent* component) {
  String result = TqvxBand::Diff(component);
  if (DrillDown) result += Item(L"DrillName", DrillName);
  return result;
}

TqvxSubreport::TqvxSubreport(vcl::TComponent* owner) : TqvxView(owner) {
  FqvComponentStyle -= csPreviewVisible;
  FFrame->Typ = TqvxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
  FFont->SetName(L"Tahoma");
  FFont->SetSize(8);
  SetColor(12632256);
}

TqvxSubreport::~TqvxSubreport() {
  if (FPage) FPage->SetSubReport(nullptr);
}

void TqvxSubreport::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxView::Notification(component, operation);
  if (operation == vcl::opRemove && component == FPage) FPage = nullptr;
}

void TqvxSubreport::SetPage(TqvxReportPage* value) {
  if (FPage && FPage != value && FPage->SubReport() == this) FPage->SetSubReport(nullptr);
  FPage = value;
  if (value) {
    value->SetSubReport(this);
    value->FreeNotification(this);
  }
}

String TqvxSubreport::GetDescription() const { return qvxResources().Get(L"obSubRep"); }

void TqvxSubreport::Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) {
  TqvxView::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  canvas->SetFont(FFont);
  canvas->Brush()->SetStyle(vcl::bsClear);
  canvas->TextOut(X + 2, Y + 2, Name());
}
