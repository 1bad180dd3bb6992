// The walk over the data: master bands run through their datasets, details interleave under each master record,
// groups open and close as their conditions change, headers and footers frame the records, multi-column data
// bands fill rows of columns, and the outline and the drill-down names follow the open records.
#include <algorithm>
#include <cmath>

#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "report/engine/qvxEngine.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxReport.h"

using rtl::String;
using rtl::Variant;

namespace {

// Asked at every record: the kinds come from the engine's table of classes rather than casts.
const std::vector<TqvxBand*>& BandsOf(const TqvxObjectKind& kind, TqvxComponent* obj) {
  if (kind.ReportPage) return static_cast<TqvxReportPage*>(obj)->SubBands;
  return static_cast<TqvxBand*>(obj)->SubBands;
}

TqvxDataSet* DataSetOf(const TqvxObjectKind& kind, TqvxBand* band) {
  return kind.DataBand ? static_cast<TqvxDataBand*>(band)->DataSet() : nullptr;
}

}  // namespace

void TqvxEngine::ProcessMessages() {
  // Every band list of every record would ask the window system each time, which costs more than printing the
  // record; a glance every few dozen milliseconds keeps the preview just as responsive and its cancel as prompt.
  if (!qvxMessageCheckDue()) return;
  if (vcl::Application) vcl::Application->ProcessMessages();
}

bool TqvxEngine::CanShow(TqvxComponent* obj, bool printIfDetailEmpty) {
  if (printIfDetailEmpty) return true;
  const bool isPage = KindOf(obj).ReportPage;
  const std::vector<TqvxBand*> bands = BandsOf(KindOf(obj), obj);
  bool result = bands.empty() && !isPage;
  for (TqvxBand* b : bands) {
    TqvxDataSet* ds = b ? DataSetOf(KindOf(b), b) : nullptr;
    if (!ds) continue;
    auto* data = static_cast<TqvxDataBand*>(b);
    ds->First();
    while (!ds->Eof()) {
      if (CanShow(data, data->PrintIfDetailEmpty)) {
        result = true;
        break;
      }
      ds->Next();
    }
  }
  return result;
}

void TqvxEngine::ShowBandTree(TqvxComponent* obj) {
  if (!FReport->EngineOptions()->EnableThreadSafe) ProcessMessages();
  if (FReport->Terminated()) return;
  rtl::Integer footerKeepPos = 0, columnKeepPos = 0;
  Extended saveY = CurY;
  const std::vector<TqvxBand*> bands = BandsOf(KindOf(obj), obj);
  for (TqvxBand* band : bands) {
    TqvxDataSet* ds = band ? DataSetOf(KindOf(band), band) : nullptr;
    if (!ds) continue;
    auto* b = static_cast<TqvxDataBand*>(band);
    auto* group = dynamic_cast<TqvxGroupHeader*>(b->Group);
    const String filter = rtl::Trim(b->Filter);
    ds->First();
    b->LineN = 1;
    b->LineThrough = 1;
    b->SetCurColumn(1);
    ResetSuppressValues(b);
    bool first = true;
    while (!ds->Eof()) {
      bool pass = true;
      if (!filter.empty()) {
        FReport->CurObject = b->Name();
        pass = FReport->Calc(filter) == Variant(true);
      }
      if (pass && CanShow(b, b->PrintIfDetailEmpty)) {
        if (first) {
          if (b->KeepHeader && b->Header) {
            if (FIsFirstBand) FIsFirstBand = !FTitlePrinted;
            FKeepHeader = !FIsFirstBand;
            StartKeep(b, 0);
          }
          AddToHeaderList(b->Header);
          ShowBand(b->Header);
          if (b->KeepTogether) StartKeep(b, 0);
        } else if (!group && b->KeepTogether) {
          StartKeep(b, 0);
        }
        if (group) {
          if (first)
            InitGroups(b, group, 0, true);
          else
            CheckGroups(b, group, columnKeepPos, saveY);
        }
        if (b->KeepFooter) footerKeepPos = FPreviewPages->GetCurPosition();
        if (b->Columns > 1 && b->CurColumn() == 1) columnKeepPos = FPreviewPages->GetCurPosition();
        saveY = CurY;
        CurLine = b->LineN;
        CurLineThrough = b->LineThrough;
        ShowBand(b);
        FKeepHeader = false;
        NotifyObjects(b);
        if (first && b->KeepHeader && b->Header) EndKeep(b);
        first = false;
        FHBandNamesTree.emplace_back(b, b->LineThrough);
        ++b->LineN;
        ++b->LineThrough;
        CheckBandColumns(b, columnKeepPos, saveY);
        AddBandOutline(b);
        ShowBandTree(b);
        FHBandNamesTree.pop_back();
        OutlineUp(b);
        FIsFirstBand = false;
        if (b->FooterAfterEach) {
          if (b->KeepFooter) {
            StartKeep(b, footerKeepPos);
            FKeepFooter = true;
            ShowBand(b->Footer);
            EndKeep(b);
            FKeepFooter = false;
          } else {
            ShowBand(b->Footer);
          }
        }
      }
      if (!group && b->KeepTogether) EndKeep(b);
      ds->Next();
      if ((b->RowCount() != 0 && b->RowCount() < b->LineN) || FReport->Terminated()) break;
    }
    if (FReport->Terminated()) return;
    if (b->Columns > 1) {
      b->SetCurColumn(b->Columns);
      CheckBandColumns(b, columnKeepPos, saveY);
    }
    if (!first) {
      if (group) ShowGroupFooters(group, 0, b);
      if (FKeeping) RemoveFromHeaderList(b->Header);
      if (!b->FooterAfterEach) {
        FKeepFooter = true;
        if (b->KeepFooter) StartKeep(b, footerKeepPos);
        ShowBand(b->Footer);
        if (b->KeepFooter) EndKeep(b);
        FKeepFooter = false;
      }
      RemoveFromHeaderList(b->Header);
      if (group && b->KeepTogether) EndKeep(b);
    }
    if (FReport->Terminated()) return;
    FIsFirstBand = false;
  }
}

void TqvxEngine::ShowVBandTree(const std::vector<TqvxBand*>& bands) {
  if (FReport->Terminated()) return;
  for (TqvxBand* band : bands) {
    TqvxDataSet* ds = band ? DataSetOf(KindOf(band), band) : nullptr;
    if (!ds) continue;
    auto* b = static_cast<TqvxDataBand*>(band);
    auto* group = dynamic_cast<TqvxGroupHeader*>(b->Group);
    ds->First();
    b->LineN = 1;
    b->LineThrough = 1;
    CurLine = b->LineN;
    CurLineThrough = b->LineThrough;
    ResetSuppressValues(b);
    bool first = true;
    while (!ds->Eof()) {
      CurLine = b->LineN;
      CurLineThrough = b->LineThrough;
      if (first) {
        ShowBand(b->Header);
        AddToVHeaderList(b->Header);
      }
      if (group) {
        if (first)
          InitGroups(b, group, 0, true);
        else
          CheckGroups(b, group, 0, 0);
      }
      ShowBand(b);
      NotifyObjects(b);
      first = false;
      ++b->LineN;
      ++b->LineThrough;
      ShowVBandTree(b->SubBands);
      if (b->FooterAfterEach) ShowBand(b->Footer);
      ds->Next();
      if ((b->RowCount() != 0 && b->RowCount() < b->LineN) || FReport->Terminated()) break;
    }
    if (FReport->Terminated()) return;
    if (group) ShowGroupFooters(group, 0, b);
    if (!first && !b->FooterAfterEach) {
      RemoveFromVHeaderList(b->Header);
      ShowBand(b->Footer);
    } else {
      RemoveFromVHeaderList(b->Header);
    }
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Groups

void TqvxEngine::InitGroups(TqvxDataBand* master, TqvxGroupHeader* group, size_t index, bool resetLineN) {
  const std::vector<TqvxBand*>& chain = group->SubBands;
  for (size_t i = index; i < chain.size(); ++i) {
    TqvxBand* g = chain[i];
    if (resetLineN) {
      g->LineN = 1;
      g->LineThrough = 1;
      ResetSuppressValues(g);
    } else {
      ++g->LineN;
      if (i + 1 < chain.size()) chain[i + 1]->LineN = 0;
      ++g->LineThrough;
    }
  }
  CheckDrill(master, group);
  for (size_t i = index; i < chain.size(); ++i) {
    auto* g = static_cast<TqvxGroupHeader*>(chain[i]);
    CurLine = g->LineN;
    CurLineThrough = g->LineThrough;
    FReport->CurObject = g->Name();
    g->LastValue = FReport->Calc(g->Condition);
    if (g->KeepTogether) StartKeep(g, 0);
    ShowBand(g);
    AddBandOutline(g);
    if (g->Vertical())
      AddToVHeaderList(g);
    else
      AddToHeaderList(g);
  }
}

void TqvxEngine::CheckGroups(TqvxDataBand* master, TqvxGroupHeader* group, rtl::Integer columnKeepPos,
                             Extended saveCurY) {
  CheckDrill(master, group);
  const std::vector<TqvxBand*>& chain = group->SubBands;
  size_t changed = chain.size();
  for (size_t i = 0; i < chain.size(); ++i) {
    auto* g = static_cast<TqvxGroupHeader*>(chain[i]);
    FReport->CurObject = g->Name();
    if (FReport->Calc(g->Condition) != g->LastValue) {
      changed = i;
      break;
    }
  }
  if (changed == chain.size()) return;
  if (master->Columns > 1) {
    master->SetCurColumn(master->Columns);
    CheckBandColumns(master, columnKeepPos, saveCurY);
  }
  bool steppedBack = false;
  try {
    master->DataSet()->Prior();
    steppedBack = true;
  } catch (const rtl::Exception&) {
    // The footers then see the current record.
  }
  ShowGroupFooters(group, changed, master);
  if (steppedBack) master->DataSet()->Next();
  InitGroups(master, group, changed, false);
  master->LineN = 1;
  ResetSuppressValues(master);
}

void TqvxEngine::ShowGroupFooters(TqvxGroupHeader* group, size_t index, TqvxDataBand* master) {
  const std::vector<TqvxBand*>& chain = group->SubBands;
  for (size_t i = chain.size(); i-- > index;) {
    auto* g = static_cast<TqvxGroupHeader*>(chain[i]);
    if (auto* footer = dynamic_cast<TqvxGroupFooter*>(g->Footer)) {
      if (footer->HideIfSingleDataRecord && master->LineN <= 2)
        FAggregates.Reset(footer);
      else
        ShowBand(footer);
    }
    OutlineUp(g);
    if (g->Vertical())
      RemoveFromVHeaderList(g);
    else
      RemoveFromHeaderList(g);
    if (g->KeepTogether) EndKeep(g);
  }
}

void TqvxEngine::CheckDrill(TqvxDataBand* master, TqvxGroupHeader* group) {
  const std::vector<TqvxBand*>& chain = group->SubBands;
  for (size_t i = 0; i < chain.size(); ++i) {
    auto* g = static_cast<TqvxGroupHeader*>(chain[i]);
    if (!g->DrillDown) continue;
    String name;
    for (const auto& [band, line] : FHBandNamesTree) name += band->Name() + L"." + rtl::IntToStr(line) + L".";
    name += g->Name() + L"." + rtl::IntToStr(g->LineThrough);
    g->DrillName = name;
    bool expanded = FReport->DrillState()->IndexOf(name) >= 0;
    if (g->ExpandDrillDown) expanded = !expanded;
    if (g->Child() && !group->ShowChildIfDrillDown) g->Child()->SetVisible(expanded);
    for (size_t k = i + 1; k < chain.size(); ++k) {
      chain[k]->SetVisible(expanded);
      if (chain[k]->Footer) chain[k]->Footer->SetVisible(expanded);
    }
    master->SetVisible(expanded);
    if (!g->ShowFooterIfDrillDown && g->Footer) g->Footer->SetVisible(expanded);
    if (!expanded) return;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Columns of a data band

void TqvxEngine::CheckBandColumns(TqvxDataBand* master, rtl::Integer columnKeepPos, Extended saveCurY) {
  if (master->Columns <= 1 || !master->Visible()) return;
  master->MaxY = std::max(master->MaxY, CurY);
  if (master->CurColumn() < master->Columns) {
    CurY = saveCurY;
  } else if (GetPageHeight() - FooterHeight() - master->MaxY > 0.0001L || FPage->EndlessHeight) {
    CurY = master->MaxY;
  } else if (FKeeping) {
    NewColumn();
  } else {
    FPreviewPages->CutObjects(columnKeepPos);
    NewColumn();
    FPreviewPages->PasteObjects(CurX, CurY);
    CurY = CurY + master->MaxY - saveCurY;
  }
  if (master->Visible()) master->SetCurColumn(master->CurColumn() + 1);
}

// ---------------------------------------------------------------------------------------------------------------
// Notification, suppression, outline

void TqvxEngine::NotifyObjects(TqvxBand* band) {
  for (TqvxComponent* obj : NotifyList) obj->OnNotify(band);
}

void TqvxEngine::ResetSuppressValues(TqvxBand* band) {
  for (TqvxComponent* obj : band->Objects())
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(obj)) memo->ResetSuppress();
}

void TqvxEngine::AddBandOutline(TqvxBand* band) {
  if (band->OutlineText.empty()) return;
  FReport->CurObject = band->Name();
  const Extended height = band->Stretched ? band->StretchedHeight : band->Height();
  const rtl::Integer top = static_cast<rtl::Integer>(std::llround(static_cast<double>(CurY - height)));
  if (band->Visible()) FPreviewPages->Outline()->AddItem(rtl::VarToStr(FReport->Calc(band->OutlineText)), top);
}

void TqvxEngine::OutlineUp(TqvxBand* band) {
  if (!band->OutlineText.empty()) FPreviewPages->Outline()->LevelUp();
}

void TqvxEngine::AddPageOutline() {
  if (FPage->OutlineText.empty()) return;
  OutlineRoot();
  FReport->CurObject = FPage->Name();
  FPreviewPages->Outline()->AddItem(rtl::VarToStr(FReport->Calc(FPage->OutlineText)), 0);
}

void TqvxEngine::OutlineRoot() { FPreviewPages->Outline()->LevelRoot(); }
