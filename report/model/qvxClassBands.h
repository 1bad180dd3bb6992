#pragma once
// Bands: the horizontal strips of a report page that the engine prints once, per page, per record or per group,
// with the views they hold. The eighteen kinds, the data band, the group header and the subreport object that
// prints another report page inside a band. The engine decides when bands print; they keep its run-time fields.
#include <vector>

#include "platform/rtl/variant.h"
#include "report/model/qvxClassPictures.h"

class TqvxChild;
class TqvxReportPage;
class TqvxUserDataSet;

// The background margins of a band.
class TqvxFillGaps : public rtl::TPersistent {
  VCL_CLASS(TqvxFillGaps, rtl::TPersistent)
 public:
  TqvxFillGaps() = default;
  void Assign(const rtl::TPersistent* source) override;

  rtl::Integer Top = 0, Left = 0, Bottom = 0, Right = 0;
};

class TqvxBand : public TqvxReportComponent {
  VCL_CLASS(TqvxBand, TqvxReportComponent)
 public:
  explicit TqvxBand(vcl::TComponent* owner);
  ~TqvxBand() override;

  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void SetLeft(Extended value) override;
  void SetTop(Extended value) override;
  void SetHeight(Extended value) override;
  rtl::String GetDescription() const override;
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;

  // The kind's number in qvxBands (the highest that this band is an instance of), 0 for none.
  rtl::Integer BandNumber() const;
  // The class name without its first "Tqvx" and then its first "Band".
  rtl::String GetBandName() const;
  // Puts the background on a text object at the front of the band's objects, so that prepared pages carry it
  // beneath everything else; nothing for an empty background.
  void CreateFillMemo();

  TqvxChild* Child() const { return FChild; }
  // Raises when value, or a band down its chain of children, is this band; Child is then unchanged.
  void SetChild(TqvxChild* value);
  bool Vertical() const { return FVertical; }
  // Vertical bands do not exist here: always False.
  void SetVertical(bool) { FVertical = false; }
  TqvxCustomFill* Fill() const { return FFill; }
  void SetFill(TqvxCustomFill* value);
  TqvxFillType FillType() const { return qvxGetFillType(FFill); }
  void SetFillType(TqvxFillType value);
  TqvxFillGaps* FillGap() const { return FFillGap; }
  void SetFillGap(TqvxFillGaps* value) { FFillGap->Assign(value); }
  TqvxView* FillMemo() const { return FFillMemo; }
  bool ParentFontOff() const { return !FParentFont; }

  bool AllowSplit = false;
  bool KeepChild = false;
  rtl::String OnAfterCalcHeight;
  rtl::String OutlineText;
  bool Overflow = false;
  bool StartNewPage = false;
  bool Stretched = false;
  bool PrintChildIfInvisible = false;
  std::vector<TqvxBand*> SubBands;
  TqvxBand* Header = nullptr;
  TqvxBand* Footer = nullptr;
  TqvxBand* Group = nullptr;
  rtl::Integer LineN = 0, LineThrough = 0;
  rtl::Integer OriginalObjectsCount = -1;
  bool HasVBands = false;
  Extended StretchedHeight = 0;

 protected:
  TqvxChild* FChild = nullptr;
  bool FVertical = false;
  TqvxCustomFill* FFill;
  TqvxView* FFillMemo = nullptr;
  TqvxFillGaps* FFillGap;

 private:
  Extended Snap(Extended value, Extended cell) const;
};

class TqvxReportTitle : public TqvxBand {
  VCL_CLASS(TqvxReportTitle, TqvxBand)
 public:
  explicit TqvxReportTitle(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxReportSummary : public TqvxBand {
  VCL_CLASS(TqvxReportSummary, TqvxBand)
 public:
  explicit TqvxReportSummary(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxPageHeader : public TqvxBand {
  VCL_CLASS(TqvxPageHeader, TqvxBand)
 public:
  explicit TqvxPageHeader(vcl::TComponent* owner) : TqvxBand(owner) {}
  bool PrintOnFirstPage = true;
};

class TqvxPageFooter : public TqvxBand {
  VCL_CLASS(TqvxPageFooter, TqvxBand)
 public:
  explicit TqvxPageFooter(vcl::TComponent* owner) : TqvxBand(owner) {}
  bool PrintOnFirstPage = true;
  bool PrintOnLastPage = true;
};

class TqvxHeader : public TqvxBand {
  VCL_CLASS(TqvxHeader, TqvxBand)
 public:
  explicit TqvxHeader(vcl::TComponent* owner) : TqvxBand(owner) {}
  bool ReprintOnNewPage = false;
};

class TqvxFooter : public TqvxBand {
  VCL_CLASS(TqvxFooter, TqvxBand)
 public:
  explicit TqvxFooter(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxDataBand : public TqvxBand {
  VCL_CLASS(TqvxDataBand, TqvxBand)
 public:
  explicit TqvxDataBand(vcl::TComponent* owner);
  ~TqvxDataBand() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  rtl::String GetDescription() const override;

  TqvxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TqvxDataSet* value);
  rtl::String DataSetName() const;
  void SetDataSetName(const rtl::String& value);
  rtl::Integer RowCount() const { return FRowCount; }
  // Also the number of records the virtual dataset yields.
  void SetRowCount(rtl::Integer value);
  rtl::Integer CurColumn() const { return FCurColumn; }
  // Steps the band to a column: past the last one it starts again at 1 (and at 1 the column bottom is reset).
  void SetCurColumn(rtl::Integer value);
  // The user dataset that yields RowCount empty records when the band has no dataset of its own.
  TqvxUserDataSet* VirtualDataSet() const { return FVirtualDataSet; }

  Extended ColumnGap = 0, ColumnWidth = 0;
  rtl::Integer Columns = 0;
  rtl::String Filter;
  bool FooterAfterEach = false, KeepFooter = false, KeepHeader = false, KeepTogether = false;
  bool PrintIfDetailEmpty = false;
  rtl::String OnMasterDetail;
  Extended MaxY = 0;

 private:
  TqvxDataSet* FDataSet = nullptr;
  rtl::String FDataSetName;
  rtl::Integer FCurColumn = 0;
  rtl::Integer FRowCount = 0;
  TqvxUserDataSet* FVirtualDataSet = nullptr;
};

class TqvxMasterData : public TqvxDataBand {
  VCL_CLASS(TqvxMasterData, TqvxDataBand)
 public:
  explicit TqvxMasterData(vcl::TComponent* owner) : TqvxDataBand(owner) {}
};

class TqvxDetailData : public TqvxDataBand {
  VCL_CLASS(TqvxDetailData, TqvxDataBand)
 public:
  explicit TqvxDetailData(vcl::TComponent* owner) : TqvxDataBand(owner) {}
};

class TqvxSubdetailData : public TqvxDataBand {
  VCL_CLASS(TqvxSubdetailData, TqvxDataBand)
 public:
  explicit TqvxSubdetailData(vcl::TComponent* owner) : TqvxDataBand(owner) {}
};

class TqvxDataBand4 : public TqvxDataBand {
  VCL_CLASS(TqvxDataBand4, TqvxDataBand)
 public:
  explicit TqvxDataBand4(vcl::TComponent* owner) : TqvxDataBand(owner) {}
};

class TqvxDataBand5 : public TqvxDataBand {
  VCL_CLASS(TqvxDataBand5, TqvxDataBand)
 public:
  explicit TqvxDataBand5(vcl::TComponent* owner) : TqvxDataBand(owner) {}
};

class TqvxDataBand6 : public TqvxDataBand {
  VCL_CLASS(TqvxDataBand6, TqvxDataBand)
 public:
  explicit TqvxDataBand6(vcl::TComponent* owner) : TqvxDataBand(owner) {}
};

class TqvxGroupHeader : public TqvxBand {
  VCL_CLASS(TqvxGroupHeader, TqvxBand)
 public:
  explicit TqvxGroupHeader(vcl::TComponent* owner) : TqvxBand(owner) {}
  rtl::String Diff(TqvxComponent* component) override;

  rtl::String Condition;
  rtl::String DrillName;
  bool DrillDown = false, ExpandDrillDown = false, ShowFooterIfDrillDown = false, ShowChildIfDrillDown = false;
  bool KeepTogether = false, ReprintOnNewPage = false, ResetPageNumbers = false;
  rtl::Variant LastValue;
};

class TqvxGroupFooter : public TqvxBand {
  VCL_CLASS(TqvxGroupFooter, TqvxBand)
 public:
  explicit TqvxGroupFooter(vcl::TComponent* owner) : TqvxBand(owner) {}
  bool HideIfSingleDataRecord = false;
};

class TqvxChild : public TqvxBand {
  VCL_CLASS(TqvxChild, TqvxBand)
 public:
  explicit TqvxChild(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxColumnHeader : public TqvxBand {
  VCL_CLASS(TqvxColumnHeader, TqvxBand)
 public:
  explicit TqvxColumnHeader(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxColumnFooter : public TqvxBand {
  VCL_CLASS(TqvxColumnFooter, TqvxBand)
 public:
  explicit TqvxColumnFooter(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxOverlay : public TqvxBand {
  VCL_CLASS(TqvxOverlay, TqvxBand)
 public:
  explicit TqvxOverlay(vcl::TComponent* owner) : TqvxBand(owner) {}
  bool PrintOnTop = false;
};

// Carries the objects that lie on a page outside every band; in no table.
class TqvxNullBand : public TqvxBand {
  VCL_CLASS(TqvxNullBand, TqvxBand)
 public:
  explicit TqvxNullBand(vcl::TComponent* owner) : TqvxBand(owner) {}
};

class TqvxSubreport : public TqvxView {
  VCL_CLASS(TqvxSubreport, TqvxView)
 public:
  explicit TqvxSubreport(vcl::TComponent* owner);
  ~TqvxSubreport() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  rtl::String GetDescription() const override;
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;

  TqvxReportPage* Page() const { return FPage; }
  void SetPage(TqvxReportPage* value);
  // Used by the page when it goes first.
  void ClearPage() { FPage = nullptr; }

  bool PrintOnParent = false;

 private:
  TqvxReportPage* FPage = nullptr;
};

// The band class table: the kind numbered n is qvxBands[n].
inline constexpr int BND_COUNT = 18;
const vcl::TClassInfo* const* qvxBands();
