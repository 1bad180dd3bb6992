#include "report/engine/qvxEngine.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/db/dataset.h"
#include "platform/rtl/datetime.h"
#include "report/engine/qvxExpressions.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/pages/qvxPreviewPages.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TqvxEngine) {}

void TqvxHeaderList::RemoveItem(TqvxBand* band) {
  for (auto it = FList.begin(); it != FList.end(); ++it)
    if (it->Band == band) {
      FList.erase(it);
      return;
    }
}

namespace {

// The run walks the datasets a screen shows; afterwards each stands on the record the user had before, as a
// bookmark would put it back.
class TCursorKeeper {
 public:
  void Remember(TqvxDataSet* ds) {
    auto* dbSet = dynamic_cast<TqvxDBDataset*>(ds);
    if (!dbSet) return;
    db::TDataSet* data = dbSet->GetDataSet();
    if (!data || !data->Active()) return;
    for (auto& entry : FEntries)
      if (entry.first == data) return;
    FEntries.emplace_back(data, data->GetBookmark());
  }
  void Restore() {
    for (auto& [data, bookmark] : FEntries) {
      try {
        if (data->Active() && !bookmark.empty() && data->BookmarkValid(bookmark)) data->GotoBookmark(bookmark);
        data->FreeBookmark(bookmark);
      } catch (const rtl::Exception&) {
        // A cursor that cannot go back stays where the run left it; the run's own outcome stands.
      }
    }
    FEntries.clear();
  }

 private:
  std::vector<std::pair<db::TDataSet*, db::TBookmark>> FEntries;
};

// The bands' position keys: positions to the hundredth, in the order their texts would sort.
long long PositionKey(Extended value) { return std::llround(static_cast<double>(value) * 100.0); }

}  // namespace

TqvxEngine::TqvxEngine(TqvxReport* report) : TqvxCustomEngine(report), FAggregates(report) {}

TqvxEngine::~TqvxEngine() = default;

std::vector<TqvxReportPage*> TqvxEngine::ReportPages() const {
  std::vector<TqvxReportPage*> pages;
  for (TqvxComponent* obj : FReport->Objects())
    if (auto* page = dynamic_cast<TqvxReportPage*>(obj)) pages.push_back(page);
  return pages;
}

Extended TqvxEngine::GetPageHeight() {
  if (FPage && FPage->EndlessHeight) return FooterHeight() + CurY;
  return PageHeight;
}

Variant TqvxEngine::GetAggregateValue(const String& name, const String& expression, TqvxBand* band,
                                      rtl::Integer flags) {
  return FAggregates.GetValue(FCurBand, CurVColumn, name, expression, band, flags);
}

void TqvxEngine::ShowBand(const vcl::TClassInfo* bandClass) {
  if (FPage) ShowBand(FPage->FindBand(bandClass));
}

// ---------------------------------------------------------------------------------------------------------------
// The run

bool TqvxEngine::Run(bool, bool, TqvxPage* page) {
  auto* onePage = dynamic_cast<TqvxReportPage*>(page);
  TCursorKeeper cursors;
  TqvxReportDataSets* dataSets = FReport->DataSets();
  for (int i = 0; i < dataSets->Count(); ++i) cursors.Remember(dataSets->Items(i)->DataSet());
  for (TqvxReportPage* p : ReportPages()) {
    cursors.Remember(p->DataSet());
    for (TqvxComponent* obj : p->Objects())
      if (auto* band = dynamic_cast<TqvxDataBand*>(obj)) cursors.Remember(band->DataSet());
  }
  cursors.Remember(FReport->DataSet());

  bool result = false;
  try {
    if (Initialize()) {
      dataSets->Initialize();
      result = true;
      for (TqvxReportPage* p : onePage ? std::vector<TqvxReportPage*>{onePage} : ReportPages()) {
        FPage = p;
        FPreviewPages->AddSourcePage(p);
        FAggregates.AddItems(p);
      }
      FinalPass = !DoublePass();
      TotalPages = 0;
      FPreviewPages->BeginPass();
      RunReportPages(onePage);
      if (DoublePass() && !FReport->Terminated()) {
        TotalPages = FPreviewPages->GetCount();
        FPreviewPages->CurPage = TotalPages - 1;
        FPreviewPages->ClearFirstPassPages();
        FAggregates.ClearValues();
        FinalPass = true;
        RunReportPages(onePage);
      }
    }
  } catch (...) {
    try {
      Finalize();
    } catch (...) {
    }
    cursors.Restore();
    throw;
  }
  Finalize();
  cursors.Restore();
  return result;
}

bool TqvxEngine::Initialize() {
  FPrevFooterHeight = 0;
  FPreviewPages->Initialize();
  FPreviewPages->AddPageAction = apAdd;
  StartDate = rtl::Date();
  StartTime = rtl::Time();
  Running = true;
  FKeeping = false;
  FKeepBand = nullptr;
  FKeepHeader = FKeepFooter = false;
  CurVColumn = 0;
  FOutputTo = nullptr;
  FCurBand = FLastBandOnPage = FStartNewPageBand = nullptr;
  FDontShowHeaders = false;
  FHBandNamesTree.clear();
  FAggregates.Clear();
  if (auto* calculator = dynamic_cast<TqvxCalculator*>(&FReport->Calculator())) calculator->ForgetFields();
  rtl::TStringList* errors = FReport->Errors();
  const std::vector<TqvxReportPage*> pages = ReportPages();
  for (TqvxReportPage* p : pages) {
    FPage = p;
    PreparePage(errors, false);
    PreparePage(errors, true);
  }
  TqvxDataSet* reportDataSet = FReport->DataSet();
  for (TqvxReportPage* p : pages) {
    FPage = p;
    if (reportDataSet && p->DataSet() == reportDataSet) {
      errors->Add(L"Cannot use the same dataset for Report.DataSet and Page.DataSet");
      break;
    }
    for (TqvxBand* band : p->SubBands) {
      auto* data = dynamic_cast<TqvxDataBand*>(band);
      TqvxDataSet* ds = data ? data->DataSet() : nullptr;
      if (!ds) continue;
      if (ds == reportDataSet) {
        errors->Add(L"Cannot use the same dataset for Report.DataSet and Band.DataSet");
        break;
      }
      if (ds == p->DataSet()) {
        errors->Add(L"Cannot use the same dataset for Page.DataSet and Band.DataSet");
        break;
      }
    }
  }
  return errors->Count() == 0;
}

void TqvxEngine::Finalize() {
  try {
    FReport->DataSets()->Finalize();
  } catch (...) {
    FPreviewPages->Finish();
    Running = false;
    throw;
  }
  FPreviewPages->Finish();
  Running = false;
}

void TqvxEngine::RunReportPages(TqvxReportPage* page) {
  FFirstReportPage = true;
  if (TqvxDataSet* ds = FReport->DataSet()) {
    ds->First();
    while (!ds->Eof() && !FReport->Terminated()) {
      DoPages(page);
      ds->Next();
    }
  } else {
    DoPages(page);
  }
}

void TqvxEngine::DoPages(TqvxReportPage* page) {
  if (page) {
    FPage = page;
    RunPage(page);
    FFirstReportPage = false;
    return;
  }
  for (TqvxReportPage* p : ReportPages()) {
    FPage = p;
    if (!p->IsSubReport() && p->Visible()) RunPage(p);
    if (FReport->Terminated()) break;
    FFirstReportPage = false;
  }
}

void TqvxEngine::RunPage(TqvxReportPage* page) {
  if (page->IsSubReport()) {
    ShowBandTree(page);
    return;
  }
  FIsFirstBand = true;
  if (TqvxDataSet* ds = page->DataSet()) {
    ds->First();
    while (!ds->Eof() && !FReport->Terminated()) {
      ShowPage();
      ds->Next();
    }
  } else {
    for (rtl::Integer i = 0; i < page->PageCount() && !FReport->Terminated(); ++i) ShowPage();
  }
}

void TqvxEngine::ShowPage() {
  if (!CanShow(FPage, FReport->EngineOptions()->PrintIfEmpty)) return;
  InitPage();
  ShowPageObjects();
  if (FReport->OnManualBuild)
    FReport->OnManualBuild(FPage);
  else if (FPage->OnManualBuild.empty())
    ShowBandTree(FPage);
  FIsLastPage = true;
  if (FPage->EndlessHeight || FPage->EndlessWidth) {
    const Extended width = FPage->EndlessWidth ? FPage->LeftMargin * qv01cm + PageWidth + FPage->RightMargin * qv01cm
                                               : FPage->PaperWidth() * qv01cm;
    Extended height = FPage->PaperHeight() * qv01cm;
    if (FPage->EndlessHeight) {
      PageHeight = FooterHeight() + CurY;
      height = GetPageHeight() + (FPage->TopMargin + FPage->BottomMargin) * qv01cm;
    }
    UpdatePageDimensions(width, height);
  }
  EndPage();
  FIsLastPage = false;
}

void TqvxEngine::UpdatePageDimensions(Extended width, Extended height) {
  if (auto* store = dynamic_cast<TqvxPreviewPages*>(FPreviewPages)) {
    store->UpdatePageDimensions(FPage, width, height);
    return;
  }
  ModifyPageSize(FPreviewPages->CurPage, width, height);
}

void TqvxEngine::ModifyPageSize(rtl::Integer index, Extended width, Extended height) {
  if (index < 0 || index >= FPreviewPages->GetCount()) return;
  // The store hands out a page the caller may change and give back; it holds the page's objects as well.
  TqvxReportPage* stored = FPreviewPages->GetPage(index);
  if (!stored) return;
  stored->SetSizeAndDimensions(qvxCustomPaper, width / qv01cm, height / qv01cm);
  FPreviewPages->ModifyPage(index, stored);
}

void TqvxEngine::ShowPageObjects() {
  std::vector<TqvxComponent*> borrowed;
  for (TqvxComponent* obj : FPage->Objects())
    if (!dynamic_cast<TqvxBand*>(obj) && dynamic_cast<TqvxView*>(obj)) borrowed.push_back(obj);
  if (borrowed.empty()) return;
  auto band = std::make_unique<TqvxNullBand>(nullptr);
  band->SetWidth(PageWidth);
  band->SetHeight(GetPageHeight());
  std::vector<TqvxComponent*>& list = band->GetContainerObjects();
  const Extended saveY = CurY;
  try {
    list = borrowed;
    band->AlignChildren();
    ShowBand(band.get());
  } catch (...) {
    CurY = saveY;
    list.clear();
    throw;
  }
  CurY = saveY;
  list.clear();
}

// ---------------------------------------------------------------------------------------------------------------
// The band tree

void TqvxEngine::PreparePage(rtl::TStrings* errors, bool vertical) {
  FPage->AlignChildren();
  (vertical ? FPage->VSubBands : FPage->SubBands).clear();

  std::vector<TqvxBand*> verticalBands;
  if (!vertical)
    for (TqvxComponent* obj : FPage->Objects())
      if (auto* band = dynamic_cast<TqvxBand*>(obj); band && band->Vertical()) verticalBands.push_back(band);

  std::vector<TqvxBand*> bands;
  for (TqvxComponent* obj : FPage->Objects()) {
    auto* band = dynamic_cast<TqvxBand*>(obj);
    if (!band || band->Vertical() != vertical) continue;
    bands.push_back(band);
    band->ShiftChildren().clear();
    PrepareShiftTree(band);
    band->SubBands.clear();
    band->Header = band->Footer = band->Group = nullptr;
    band->HasVBands = false;
    if (auto* data = dynamic_cast<TqvxDataBand*>(band); data && !data->DataSet() && data->RowCount() > 0) {
      data->SetDataSet(data->VirtualDataSet());
      data->VirtualDataSet()->Initialize();
    }
    if (!vertical && !dynamic_cast<TqvxOverlay*>(band) && !verticalBands.empty()) {
      const std::vector<TqvxComponent*>& objects = band->Objects();
      for (size_t i = 0; i < objects.size();) {
        TqvxComponent* o = objects[i];
        TqvxBand* target = nullptr;
        for (TqvxBand* v : verticalBands)
          if (o->Left() >= v->Left() - 0.0001L && o->Left() + o->Width() <= v->Left() + v->Width() + 0.0001L) {
            target = v;
            break;
          }
        if (!target) {
          ++i;
          continue;
        }
        band->HasVBands = true;
        o->SetParent(target);
        o->SetOriginalBand(band);
        o->SetLeft(o->Left() - target->Left());
      }
    }
  }

  // The work list: bands of the tree in position order; a second band at the same position is left out.
  std::vector<std::pair<long long, TqvxBand*>> keyed;
  for (TqvxBand* band : bands) {
    const rtl::Integer number = band->BandNumber();
    if (number < 4 || number > 13) continue;
    keyed.emplace_back(PositionKey(vertical ? band->Left() : band->Top()), band);
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TqvxBand*> list;
  for (size_t i = 0; i < keyed.size(); ++i)
    if (i == 0 || keyed[i].first != keyed[i - 1].first) list.push_back(keyed[i].second);

  auto isGroupHeader = [](TqvxBand* b) { return dynamic_cast<TqvxGroupHeader*>(b) != nullptr; };
  auto isGroupFooter = [](TqvxBand* b) { return dynamic_cast<TqvxGroupFooter*>(b) != nullptr; };
  auto isData = [](TqvxBand* b) { return dynamic_cast<TqvxDataBand*>(b) != nullptr; };

  // Groups: a run of group headers opens a chain, connected to the first data band after it.
  for (size_t i = 0; i < list.size();) {
    if (!isGroupHeader(list[i])) {
      ++i;
      continue;
    }
    TqvxBand* group = list[i];
    size_t j = i;
    while (j < list.size() && isGroupHeader(list[j])) group->SubBands.push_back(list[j++]);
    while (j < list.size() && !isData(list[j])) ++j;
    if (j >= list.size()) {
      errors->Add(qvxResources().Get(L"enUnconnGroup") + L" " + group->Name());
      break;
    }
    list[j]->Group = group;
    i = j;
  }
  for (size_t i = 0; i < list.size();) {
    if (!isGroupFooter(list[i])) {
      ++i;
      continue;
    }
    size_t k = i;
    bool connected = false;
    while (k > 0) {
      --k;
      if (isGroupHeader(list[k]) && !list[k]->Footer) {
        list[k]->Footer = list[i];
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
        i = k;
        connected = true;
        break;
      }
    }
    if (!connected) ++i;
  }
  for (size_t i = 0; i < list.size();) {
    if (isGroupHeader(list[i])) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (isGroupFooter(list[i])) {
      errors->Add(qvxResources().Get(L"enUnconnGFooter") + L" " + list[i]->Name());
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }

  // Headers and footers of data bands.
  for (size_t i = 0; i < list.size(); ++i) {
    if (!isData(list[i])) continue;
    TqvxBand* data = list[i];
    if (i > 0 && dynamic_cast<TqvxHeader*>(list[i - 1])) {
      data->Header = list[i - 1];
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i - 1));
      --i;
    }
    if (i + 1 < list.size() && dynamic_cast<TqvxFooter*>(list[i + 1])) {
      data->Footer = list[i + 1];
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i + 1));
    }
  }
  for (size_t i = 0; i < list.size();) {
    if (dynamic_cast<TqvxHeader*>(list[i]) || dynamic_cast<TqvxFooter*>(list[i])) {
      errors->Add(qvxResources().Get(L"enUnconnHeader") + L" " + list[i]->Name());
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }

  // Master-detail levels.
  std::vector<TqvxBand*>& top = vertical ? FPage->VSubBands : FPage->SubBands;
  auto hasDataSet = [](TqvxBand* b) {
    auto* data = dynamic_cast<TqvxDataBand*>(b);
    return data && data->DataSet();
  };
  std::function<void(TqvxBand*, size_t)> search = [&](TqvxBand* parent, size_t i) {
    const rtl::Integer level = parent->BandNumber();
    while (i < list.size()) {
      TqvxBand* b = list[i];
      const rtl::Integer number = b->BandNumber();
      if (number == level + 1) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        if (hasDataSet(b)) parent->SubBands.push_back(b);
        if (!dynamic_cast<TqvxDataBand6*>(b)) search(b, i);
      } else if (number <= level) {
        return;
      } else {
        ++i;
      }
    }
  };
  for (size_t i = 0; i < list.size();) {
    if (!dynamic_cast<TqvxMasterData*>(list[i])) {
      ++i;
      continue;
    }
    TqvxBand* master = list[i];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    if (hasDataSet(master)) top.push_back(master);
    search(master, i);
  }
  for (TqvxBand* band : list) errors->Add(qvxResources().Get(L"enBandPos") + L" " + band->Name());
}
