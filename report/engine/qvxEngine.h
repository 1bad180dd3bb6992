#pragma once
// The engine: turns the pages of bands of a report into prepared pages. One run (Run) takes every report page,
// builds its band tree (bands sorted by position and linked into master-detail levels with their headers, footers
// and groups), walks the tree over the datasets (qvxEngineData.cpp), places each band on the page with page and
// column breaks and keep-together (qvxEngineLayout.cpp), and stretches, splits and fills bands, sub-reports and
// vertical bands (qvxEngineStretch.cpp). A two-pass run lays the report out once to count the pages and again for
// the pages kept.
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <utility>
#include <vector>

#include "report/engine/qvxAggregate.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxEngineIntf.h"

class TqvxXMLItem;
class TqvxNullBand;

class TqvxHeaderListItem {
 public:
  TqvxBand* Band = nullptr;
  Extended Left = 0;
  bool IsInKeepList = false;
};

// The bands printed again at the top of each new page and column, in the order they were added.
class TqvxHeaderList {
 public:
  void Clear() { FList.clear(); }
  rtl::Integer Count() const { return static_cast<rtl::Integer>(FList.size()); }
  TqvxHeaderListItem& Items(rtl::Integer index) { return FList[static_cast<size_t>(index)]; }
  void AddItem(TqvxBand* band, Extended left, bool inKeepList) { FList.push_back({band, left, inKeepList}); }
  // The first item of band.
  void RemoveItem(TqvxBand* band);

 private:
  std::vector<TqvxHeaderListItem> FList;
};

// What the engine asks of an object's class while it prints, answered by casts once per class rather than at
// every record.
struct TqvxObjectKind {
  bool ReportComponent = false, Stretcheable = false, Subreport = false, DMPMemo = false, DataBand = false,
       NullBand = false, ReportPage = false, Overlay = false;
};

class TqvxEngine : public TqvxCustomEngine {
  VCL_CLASS(TqvxEngine, TqvxCustomEngine)
 public:
  explicit TqvxEngine(TqvxReport* report);
  ~TqvxEngine() override;

  Extended GetPageHeight() override;
  void EndPage() override;
  void BreakAllKeep() override;
  void NewColumn() override;
  void NewPage() override;
  void ShowBand(TqvxBand* band) override;
  void ShowBand(const vcl::TClassInfo* bandClass) override;
  Extended HeaderHeight() override;
  Extended FooterHeight() override;
  Extended FreeSpace() override;
  rtl::Variant GetAggregateValue(const rtl::String& name, const rtl::String& expression, TqvxBand* band,
                                 rtl::Integer flags) override;
  bool Run(bool runDialogs, bool clearLast = true, TqvxPage* page = nullptr) override;

  TqvxAggregateList* Aggregates() { return &FAggregates; }
  // The band being printed (what aggregate look-ups are answered for).
  TqvxBand* CurBand() const { return FCurBand; }

  // --- the walk over the data (qvxEngineData.cpp)
  // The master bands of a report page, or the detail bands of a data band.
  void ShowBandTree(TqvxComponent* obj);
  // The vertical walk over the vertical bands below a row.
  void ShowVBandTree(const std::vector<TqvxBand*>& bands);
  bool CanShow(TqvxComponent* obj, bool printIfDetailEmpty);

 private:
  // --- run, passes and band tree (qvxEngine.cpp)
  bool Initialize();
  void Finalize();
  void RunReportPages(TqvxReportPage* page);
  void DoPages(TqvxReportPage* page);
  void RunPage(TqvxReportPage* page);
  void ShowPage();
  void ShowPageObjects();
  // Endless pages: the paper of the pages made from FPage follows what was printed (the store's
  // UpdatePageDimensions; a store of another kind changes the current page alone).
  void UpdatePageDimensions(Extended width, Extended height);
  // Page index of the prepared pages gets a paper size of its own.
  void ModifyPageSize(rtl::Integer index, Extended width, Extended height);
  void PreparePage(rtl::TStrings* errors, bool vertical);
  std::vector<TqvxReportPage*> ReportPages() const;

  // --- data iteration and groups (qvxEngineData.cpp)
  void InitGroups(TqvxDataBand* master, TqvxGroupHeader* group, size_t index, bool resetLineN);
  void CheckGroups(TqvxDataBand* master, TqvxGroupHeader* group, rtl::Integer columnKeepPos, Extended saveCurY);
  void ShowGroupFooters(TqvxGroupHeader* group, size_t index, TqvxDataBand* master);
  void CheckDrill(TqvxDataBand* master, TqvxGroupHeader* group);
  void CheckBandColumns(TqvxDataBand* master, rtl::Integer columnKeepPos, Extended saveCurY);
  void NotifyObjects(TqvxBand* band);
  void ResetSuppressValues(TqvxBand* band);
  void AddBandOutline(TqvxBand* band);
  void OutlineUp(TqvxBand* band);
  void AddPageOutline();
  void OutlineRoot();
  // Lets the window messages through so that the preview stays responsive and can cancel (at most once every
  // kqvxMessageInterval milliseconds, shared with the page progress).
  void ProcessMessages();

  // --- page layout, breaks and keep-together (qvxEngineLayout.cpp)
  void InitPage();
  void AddPage();
  void AddColumn();
  void EndColumn();
  void DoShow(TqvxBand* band);
  // The page footer and the overlay at the end of a page.
  void ShowFooterBand(TqvxBand* band);
  void ShowBandChain(TqvxBand* band);
  void AddToHeaderList(TqvxBand* band);
  void AddToVHeaderList(TqvxBand* band);
  void RemoveFromHeaderList(TqvxBand* band);
  void RemoveFromVHeaderList(TqvxBand* band);
  void StartKeep(TqvxBand* band, rtl::Integer position);
  void EndKeep(TqvxBand* band);
  // The printed height of a band: its stretched height when it stretches.
  static Extended BandHeight(TqvxBand* band);

  // --- stretching, splitting, sub-reports and vertical bands (qvxEngineStretch.cpp)
  void PrepareShiftTree(TqvxBand* band);
  void Stretch(TqvxBand* band);
  void UnStretch(TqvxBand* band);
  void DrawSplit(TqvxBand* band);
  void CheckSuppress(TqvxBand* band);
  void CheckSubReports(TqvxBand* band);
  void ShowVBands(TqvxBand* band);
  void AddVBand(TqvxBand* band);
  void RenderVBand(TqvxBand* band);
  void ShiftObjects(TqvxComponent* parent, Extended amount);
  void CollectSubReports(TqvxBand* band);
  TqvxObjectKind KindOf(TqvxComponent* obj);
  Extended BottomFrameExtra(TqvxComponent* obj);

  TqvxAggregateList FAggregates;
  bool FCallFromAddPage = false, FCallFromEndPage = false;
  TqvxBand* FCurBand = nullptr;
  TqvxBand* FLastBandOnPage = nullptr;
  bool FDontShowHeaders = false;
  TqvxHeaderList FHeaderList;
  bool FFirstReportPage = false;
  Extended FFirstColumnY = 0;
  bool FIsFirstBand = false, FIsFirstPage = false, FIsLastPage = false, FTitlePrinted = false;
  // (data band, line number) of the data bands whose records are open, outermost first. The bands' names are
  // read only when a drill-down name is made, not copied at every record.
  std::vector<std::pair<TqvxBand*, rtl::Integer>> FHBandNamesTree;
  TqvxBand* FKeepBand = nullptr;
  bool FKeepFooter = false, FKeeping = false, FKeepHeader = false;
  Extended FKeepCurY = 0;
  TqvxXMLItem* FKeepOutline = nullptr;
  rtl::Integer FKeepPosition = 0, FKeepAnchor = 0;
  Extended FPrevFooterHeight = 0;
  bool FCallFromPHeader = false;
  TqvxNullBand* FOutputTo = nullptr;
  TqvxReportPage* FPage = nullptr;
  Extended FPageCurX = 0;
  TqvxBand* FStartNewPageBand = nullptr;
  TqvxHeaderList FVHeaderList;
  TqvxBand* FVMasterBand = nullptr;
  std::vector<rtl::Integer> FVPageList;
  std::vector<std::pair<const std::type_info*, TqvxObjectKind>> FKinds;
  // The page's footer bands, looked up again when the page or its list of objects changes (a script may add or
  // free bands while the report runs). Their heights are read each time.
  struct TFooterBands {
    const TqvxReportPage* Page = nullptr;
    std::uint64_t Stamp = 0;
    TqvxBand* ColumnFooter = nullptr;
    TqvxBand* PageFooter = nullptr;
  } FFooterBands;
};
