// Before a band is placed its objects take their data and grow to what they hold; the objects below a grown one
// move by the band's shift tree and the band grows with them. A band that does not fit the rest of the page may be
// printed in parts. Sub-reports print another report page into a band or beside it; vertical bands lay a row's
// cells across the page, continuing on pages to the right.
#include <algorithm>
#include <typeinfo>
#include <cmath>

#include "platform/vcl/application.h"
#include "report/engine/qvxEngine.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxUtils.h"

namespace {

struct TArea {
  Extended X, Y, X1, Y1;
};

bool OverlapX(const TArea& a, const TArea& b) { return std::min(a.X1, b.X1) - std::max(a.X, b.X) > 0.0001L; }
bool OverlapY(const TArea& a, const TArea& b) { return std::min(a.Y1, b.Y1) - std::max(a.Y, b.Y) > 0.0001L; }

TArea AreaOf(TqvxComponent* obj) {
  const Extended left = obj->AbsLeft(), top = obj->AbsTop();
  return TArea{left, top, left + obj->Width(), top + obj->Height()};
}

// The objects of a band that take part in printing: for the vertical master band only its own ones.
size_t PrintedCount(TqvxBand* band, bool isVerticalMaster) {
  const size_t count = band->Objects().size();
  if (isVerticalMaster && band->OriginalObjectsCount >= 0)
    return std::min(count, static_cast<size_t>(band->OriginalObjectsCount));
  return count;
}

}  // namespace

TqvxObjectKind TqvxEngine::KindOf(TqvxComponent* obj) {
  const std::type_info* type = &typeid(*obj);
  for (const auto& [known, kind] : FKinds)
    if (known == type) return kind;
  TqvxObjectKind kind;
  kind.ReportComponent = dynamic_cast<TqvxReportComponent*>(obj) != nullptr;
  kind.Stretcheable = dynamic_cast<TqvxStretcheable*>(obj) != nullptr;
  kind.Subreport = dynamic_cast<TqvxSubreport*>(obj) != nullptr;
  kind.DMPMemo = dynamic_cast<TqvxDMPMemoView*>(obj) != nullptr;
  kind.DataBand = dynamic_cast<TqvxDataBand*>(obj) != nullptr;
  kind.NullBand = dynamic_cast<TqvxNullBand*>(obj) != nullptr;
  kind.ReportPage = dynamic_cast<TqvxReportPage*>(obj) != nullptr;
  kind.Overlay = dynamic_cast<TqvxOverlay*>(obj) != nullptr;
  FKinds.emplace_back(type, kind);
  return kind;
}

Extended TqvxEngine::BottomFrameExtra(TqvxComponent* obj) {
  if (!KindOf(obj).DMPMemo) return 0;
  return static_cast<TqvxDMPMemoView*>(obj)->Frame()->Typ.Contains(ftBottom) ? qv1CharY : 0;
}

// ---------------------------------------------------------------------------------------------------------------
// Shift tree and stretching

void TqvxEngine::PrepareShiftTree(TqvxBand* band) {
  if (!band->ShiftChildren().empty()) return;
  struct TEntry {
    TqvxReportComponent* Obj;
    TArea Area;
    std::vector<TqvxComponent*>* Children;
  };
  std::vector<TqvxComponent*> sentinelChildren;
  std::vector<TEntry> list;
  for (TqvxComponent* obj : band->Objects())
    if (auto* rc = dynamic_cast<TqvxReportComponent*>(obj)) {
      rc->ShiftChildren().clear();
      list.push_back({rc, AreaOf(rc), &rc->ShiftChildren()});
    }
  std::stable_sort(list.begin(), list.end(), [](const TEntry& a, const TEntry& b) {
    return std::llround(static_cast<double>(a.Area.Y) * 100) < std::llround(static_cast<double>(b.Area.Y) * 100);
  });
  const Extended left = band->AbsLeft(), top = band->AbsTop() - 2;
  list.insert(list.begin(), TEntry{nullptr, TArea{left, top, left + band->Width(), top + 1}, &sentinelChildren});
  for (size_t i = 0; i < list.size(); ++i)
    for (size_t j = i + 1; j < list.size(); ++j) {
      const TArea& a = list[i].Area;
      const TArea& b = list[j].Area;
      if (OverlapY(a, b) || !(a.Y < b.Y) || !OverlapX(a, b)) continue;
      const TArea span{std::max(a.X, b.X), 0, std::min(a.X1, b.X1), 0};
      bool blocked = false;
      for (size_t k = j - 1; k > i && !blocked; --k) {
        const TArea& c = list[k].Area;
        blocked = !OverlapY(c, a) && !OverlapY(c, b) && OverlapX(c, span);
      }
      if (!blocked) list[i].Children->push_back(list[j].Obj);
    }
  band->ShiftChildren() = sentinelChildren;
}

void TqvxEngine::ShiftObjects(TqvxComponent* parent, Extended amount) {
  auto* rc = dynamic_cast<TqvxReportComponent*>(parent);
  if (!rc) return;
  const bool parentIsBand = dynamic_cast<TqvxBand*>(parent) != nullptr;
  for (TqvxComponent* child : rc->ShiftChildren()) {
    auto* c = dynamic_cast<TqvxView*>(child);
    if (!c) continue;
    switch (c->ShiftMode) {
      case smAlways:
        c->SetTop(c->Top() + amount);
        ShiftObjects(c, amount + c->ShiftAmount);
        break;
      case smWhenOverlapped:
        if (parentIsBand || c->Top() >= parent->Top() + parent->Height()) {
          ShiftObjects(c, c->ShiftAmount);
        } else {
          const Extended d = parent->Top() + parent->Height() - c->Top();
          c->SetTop(c->Top() + d);
          ShiftObjects(c, d + c->ShiftAmount);
        }
        break;
      case smDontShift:
        ShiftObjects(c, amount + c->ShiftAmount);
        break;
    }
    c->ShiftAmount = 0;
  }
}

void TqvxEngine::Stretch(TqvxBand* band) {
  FCurBand = band;
  PrepareShiftTree(band);
  const bool verticalMaster = band == FVMasterBand;
  if (!verticalMaster) {
    FReport->CurObject = band->Name();
    band->BeforePrint();
    FReport->DoBeforePrint(band);
  }
  const size_t count = PrintedCount(band, verticalMaster);
  bool subReports = false;
  for (size_t i = 0; i < count && i < band->Objects().size(); ++i) {
    TqvxComponent* item = band->Objects()[i];
    const TqvxObjectKind kind = KindOf(item);
    if (!kind.ReportComponent) continue;
    auto* obj = static_cast<TqvxReportComponent*>(item);
    if (kind.Subreport) {
      auto* sub = static_cast<TqvxSubreport*>(obj);
      if (sub->Visible() && sub->PrintOnParent) subReports = true;
    }
    FReport->CurObject = obj->Name();
    obj->BeforePrint();
    if (band->Visible()) {
      FReport->DoBeforePrint(obj);
      if (obj->Visible()) obj->GetData();
    }
  }
  bool grew = false;
  if (band->Visible())
    for (TqvxComponent* obj : band->Objects()) {
      if (!KindOf(obj).Stretcheable) continue;
      auto* s = static_cast<TqvxStretcheable*>(obj);
      if (!s->Visible() || s->StretchMode == smDontStretch) continue;
      const Extended h = s->CalcHeight();
      if (h > s->Height()) {
        s->ShiftAmount = h - s->Height();
        s->SetHeight(h);
        grew = true;
      } else {
        s->ShiftAmount = 0;
      }
    }
  if (!band->Visible()) return;
  if (grew) ShiftObjects(band, 0);
  if (subReports) CollectSubReports(band);
  Extended bottom = 0;
  for (TqvxComponent* obj : band->Objects())
    bottom = std::max(bottom, obj->Top() + obj->Height() + BottomFrameExtra(obj));
  if (band->Stretched) band->SetHeight(bottom);
  for (TqvxComponent* obj : band->Objects())
    if (KindOf(obj).Stretcheable)
      if (auto* s = static_cast<TqvxStretcheable*>(obj); s->StretchMode == smMaxHeight)
        s->SetHeight(bottom - s->Top() - BottomFrameExtra(s));
}

void TqvxEngine::UnStretch(TqvxBand* band) {
  const bool verticalMaster = band == FVMasterBand;
  if (band->Visible())
    for (TqvxComponent* obj : band->Objects())
      if (KindOf(obj).ReportComponent) {
        auto* rc = static_cast<TqvxReportComponent*>(obj);
        FReport->CurObject = rc->Name();
        FReport->DoAfterPrint(rc);
      }
  const size_t count = PrintedCount(band, verticalMaster);
  for (size_t i = 0; i < count && i < band->Objects().size(); ++i)
    if (TqvxComponent* obj = band->Objects()[i]; KindOf(obj).ReportComponent)
      static_cast<TqvxReportComponent*>(obj)->AfterPrint();
  FReport->CurObject = band->Name();
  FReport->DoAfterPrint(band);
  band->AfterPrint();
  if (band->OriginalObjectsCount != -1) {
    const size_t keep = static_cast<size_t>(std::max(0, band->OriginalObjectsCount));
    while (band->Objects().size() > keep) delete band->Objects().back();
    band->OriginalObjectsCount = -1;
  }
}

void TqvxEngine::CheckSuppress(TqvxBand* band) {
  bool any = false;
  for (TqvxComponent* obj : band->Objects())
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(obj); memo && memo->SuppressRepeated) {
      memo->ResetSuppress();
      any = true;
    }
  if (!any || band->HasVBands) return;
  UnStretch(band);
  CurLine = band->LineN;
  CurLineThrough = band->LineThrough;
  SecondScriptCall = true;
  try {
    Stretch(band);
  } catch (...) {
    SecondScriptCall = false;
    throw;
  }
  SecondScriptCall = false;
}

// ---------------------------------------------------------------------------------------------------------------
// Splitting

void TqvxEngine::DrawSplit(TqvxBand* band) {
  band->CreateFillMemo();
  const std::vector<TqvxComponent*> all = band->Objects();
  std::vector<TqvxComponent*> pending;
  for (TqvxComponent* obj : all) {
    if (dynamic_cast<TqvxSubreport*>(obj)) continue;
    pending.push_back(obj);
    if (auto* s = dynamic_cast<TqvxStretcheable*>(obj)) {
      s->InitPart();
      s->SaveHeight = s->Height();
    }
  }
  std::vector<TqvxComponent*>& list = band->GetContainerObjects();
  list.clear();
  const size_t initial = pending.size();
  Extended freeSpace = FreeSpace();
  bool overflowed = false;
  try {
    while (!pending.empty()) {
      std::vector<TqvxComponent*> shifted;
      if (!FReport->EngineOptions()->EnableThreadSafe) ProcessMessages();
      if (FReport->Terminated()) break;
      // Objects at or below obj's bottom that overlap it across move down by amount, each once per part.
      auto partShift = [&](TqvxComponent* obj, Extended amount) {
        for (TqvxComponent* x : pending) {
          if (x == obj || std::find(shifted.begin(), shifted.end(), x) != shifted.end()) continue;
          const bool acrossObj =
              x->Left() + x->Width() - obj->Left() > 0.0001L && obj->Left() + obj->Width() - x->Left() > 0.0001L;
          if (x->Top() >= obj->Top() + obj->Height() && acrossObj) {
            x->SetTop(amount + x->Top());
            shifted.push_back(x);
          }
        }
      };
      for (size_t i = 0; i < pending.size();) {
        TqvxComponent* obj = pending[i];
        auto* s = dynamic_cast<TqvxStretcheable*>(obj);
        Extended partH = 0, h = obj->Height();
        bool more = false;
        if (s) {
          s->SavedTop = s->Top();
          s->SetHeight(freeSpace - s->Top());
          if (freeSpace > s->Top()) partH = s->DrawPart();
          h = s->SaveHeight;
          more = s->HasNextDataPart();
        }
        if (obj->Top() + h <= freeSpace && !more) {
          obj->SetHeight(h);
          list.push_back(obj);
          pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
          continue;
        }
        if (s) {
          if (freeSpace > s->Top()) partShift(s, partH);
          if (std::fabs(static_cast<double>(partH - s->Height())) < 0.0001) {
            s->SetTop(freeSpace);
            s->SetHeight(s->SaveHeight);
          } else {
            list.push_back(s);
            s->SaveHeight = s->SaveHeight - s->Height() + partH;
            overflowed = true;
          }
          ++i;
          continue;
        }
        if (obj->Height() > GetPageHeight() - FooterHeight()) {
          list.push_back(obj);
          pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
          continue;
        }
        if (freeSpace > obj->Top()) {
          partShift(obj, freeSpace - obj->Top());
          obj->SetTop(freeSpace);
        }
        ++i;
      }
      Extended height = 0;
      for (TqvxComponent* obj : list) height = std::max(height, obj->Top() + obj->Height());
      band->SetHeight(height);
      if (pending.empty())
        for (TqvxComponent* obj : list) {
          if (auto* view = dynamic_cast<TqvxView*>(obj); view && view->Align() == baBottom)
            view->SetTop(height - view->Height());
          if (auto* s = dynamic_cast<TqvxStretcheable*>(obj); s && s->StretchMode == smMaxHeight)
            s->SetHeight(height - s->Top());
        }
      band->SetLeft(CurX);
      band->SetTop(CurY);
      FPreviewPages->AddObject(band);
      CurY += band->Height();
      FCurBand = band;
      if (!pending.empty()) NewColumn();
      list.clear();
      for (TqvxComponent* obj : pending) {
        obj->SetTop(obj->Top() - freeSpace);
        if (auto* s = dynamic_cast<TqvxStretcheable*>(obj)) {
          if (!overflowed && pending.size() == initial) s->SetTop(s->SavedTop);
          s->SetHeight(s->SaveHeight);
        }
        if (obj->Top() < 0) obj->SetTop(0);
      }
      band->CreateFillMemo();
      freeSpace = FreeSpace();
    }
  } catch (...) {
    list = all;
    throw;
  }
  list = all;
}

// ---------------------------------------------------------------------------------------------------------------
// Sub-reports

void TqvxEngine::CollectSubReports(TqvxBand* band) {
  const bool owner = FOutputTo == nullptr;
  if (owner) {
    band->OriginalObjectsCount = static_cast<rtl::Integer>(band->Objects().size());
    FOutputTo = new TqvxNullBand(nullptr);
  }
  const Extended saveX = CurX, saveY = CurY, savePageCurX = FPageCurX;
  try {
    if (owner) {
      const std::vector<TqvxComponent*> objects = band->Objects();
      for (TqvxComponent* obj : objects) {
        auto* sub = dynamic_cast<TqvxSubreport*>(obj);
        if (!sub || !sub->Visible() || !sub->PrintOnParent || !sub->Page()) continue;
        FPageCurX = savePageCurX + sub->Left();
        CurX = sub->Left();
        CurY = sub->Top();
        const bool keepFooter = FKeepFooter;
        RunPage(sub->Page());
        FKeepFooter = keepFooter;
      }
    }
  } catch (...) {
    CurX = saveX;
    CurY = saveY;
    FPageCurX = savePageCurX;
    if (owner) {
      delete FOutputTo;
      FOutputTo = nullptr;
    }
    throw;
  }
  CurX = saveX;
  CurY = saveY;
  FPageCurX = savePageCurX;
  if (!owner) return;
  std::vector<TqvxView*> views;
  for (TqvxComponent* obj : FOutputTo->GetAllObjects())
    if (auto* view = dynamic_cast<TqvxView*>(obj); view && !dynamic_cast<TqvxSubreport*>(obj)) views.push_back(view);
  for (TqvxView* view : views) {
    const Extended left = view->AbsLeft(), top = view->AbsTop();
    // The copy it was made in owns it and frees it with the collection: the band's list holds it from here on,
    // and the band frees it after printing.
    if (view->Owner()) view->Owner()->RemoveComponent(view);
    view->SetParentFont(false);
    view->SetParent(band);
    view->SetLeft(left);
    view->SetTop(top);
    if (auto* s = dynamic_cast<TqvxStretcheable*>(view)) s->StretchMode = smDontStretch;
  }
  delete FOutputTo;
  FOutputTo = nullptr;
}

void TqvxEngine::CheckSubReports(TqvxBand* band) {
  const Extended saveX = CurX, savePageCurX = FPageCurX, saveY = CurY;
  const rtl::Integer savePage = FPreviewPages->CurPage, saveColumn = CurColumn;
  rtl::Integer furthestPage = savePage, furthestColumn = saveColumn;
  Extended furthestY = saveY;
  bool ran = false;
  // Most bands hold no sub-report: they are passed without copying their list.
  bool any = false;
  for (TqvxComponent* obj : band->Objects())
    if (KindOf(obj).Subreport) {
      any = true;
      break;
    }
  if (!any) return;
  // A band reprinted at the top of a page (a title, a header) prints its sub-reports' rows as rows of their own:
  // each of them goes on the page, not only the first of each name.
  const bool saveFromAddPage = FCallFromAddPage, saveFromPHeader = FCallFromPHeader;
  FCallFromAddPage = FCallFromPHeader = false;
  try {
    const std::vector<TqvxComponent*> objects = band->Objects();
    for (TqvxComponent* obj : objects) {
      auto* sub = dynamic_cast<TqvxSubreport*>(obj);
      if (!sub || !sub->Visible() || sub->PrintOnParent || !sub->Page()) continue;
      FPreviewPages->CurPage = savePage;
      FPageCurX = savePageCurX + sub->Left();
      CurColumn = saveColumn;
      CurX = saveX + sub->Left();
      CurY = saveY - band->StretchedHeight + sub->Top();
      RunPage(sub->Page());
      ran = true;
      const rtl::Integer page = FPreviewPages->CurPage;
      if (page > furthestPage || (page == furthestPage && CurColumn > furthestColumn) ||
          (page == furthestPage && CurColumn == furthestColumn && CurY > furthestY)) {
        furthestPage = page;
        furthestColumn = CurColumn;
        furthestY = CurY;
      }
    }
  } catch (...) {
    FCallFromAddPage = saveFromAddPage;
    FCallFromPHeader = saveFromPHeader;
    throw;
  }
  FCallFromAddPage = saveFromAddPage;
  FCallFromPHeader = saveFromPHeader;
  if (!ran) {
    CurX = saveX;
    FPageCurX = savePageCurX;
    return;
  }
  FPreviewPages->CurPage = furthestPage;
  CurColumn = furthestColumn;
  Extended x = savePageCurX;
  if (furthestColumn > 1) {
    rtl::TStringList* positions = FPage->ColumnPositions();
    if (furthestColumn - 1 < positions->Count()) x += qvxStrToFloat(positions->Strings(furthestColumn - 1)) * qv01cm;
  }
  CurX = x;
  CurY = furthestY;
  FPageCurX = savePageCurX;
}

// ---------------------------------------------------------------------------------------------------------------
// Vertical bands

void TqvxEngine::ShowVBands(TqvxBand* band) {
  FVMasterBand = band;
  band->OriginalObjectsCount = static_cast<rtl::Integer>(band->Objects().size());
  band->AllowSplit = false;
  const rtl::Integer savePage = FPreviewPages->CurPage;
  FVHeaderList.Clear();
  FVPageList.assign(1, 0);
  CurVColumn = 0;
  // The cells start where the first vertical band stands on the page.
  Extended start = -1;
  for (TqvxComponent* obj : FPage->Objects())
    if (auto* v = dynamic_cast<TqvxBand*>(obj); v && v->Vertical() && (start < 0 || v->Left() < start))
      start = v->Left();
  CurX = start < 0 ? 0 : start;
  ShowVBandTree(FPage->VSubBands);
  FVPageList.push_back(static_cast<rtl::Integer>(band->Objects().size()));
  FPreviewPages->CurPage = savePage;
}

void TqvxEngine::AddVBand(TqvxBand* band) {
  TqvxBand* master = FVMasterBand;
  if (!master) return;
  const bool isData = dynamic_cast<TqvxDataBand*>(band) != nullptr;
  const bool isFooter = dynamic_cast<TqvxFooter*>(band) || dynamic_cast<TqvxGroupFooter*>(band);
  if (isData) ++CurVColumn;
  FCurBand = isFooter ? band : master;
  FReport->CurObject = band->Name();
  band->BeforePrint();
  FReport->DoBeforePrint(band);
  if (band->Visible()) {
    if (CurX + band->Width() > PageWidth) {
      if (FPage->EndlessWidth) {
        PageWidth += band->Width();
      } else {
        if (FPreviewPages->CurPage >= FPreviewPages->GetCount() - 1)
          FPreviewPages->AddPage(FPage);
        else
          ++FPreviewPages->CurPage;
        CurX = 0;
        FVPageList.push_back(static_cast<rtl::Integer>(master->Objects().size()));
        for (rtl::Integer i = 0; i < FVHeaderList.Count(); ++i)
          if (TqvxBand* header = FVHeaderList.Items(i).Band; header && header != band) AddVBand(header);
      }
    }
    const std::vector<TqvxComponent*> objects = band->Objects();
    for (TqvxComponent* obj : objects) {
      auto* view = dynamic_cast<TqvxView*>(obj);
      if (!view || view->OriginalBand() != master) continue;
      FReport->CurObject = view->Name();
      view->BeforePrint();
      FReport->DoBeforePrint(view);
      view->GetData();
      auto* copy = dynamic_cast<TqvxView*>(view->ClassType()->CreateInstance({master, nullptr}));
      if (copy) {
        if (copy->Parent() != master) copy->SetParent(master);
        copy->Assign(view);
        copy->SetAliasName(view->AliasName());
        copy->SetOriginalComponent(view->OriginalComponent() ? view->OriginalComponent() : view);
        copy->SetLeft(view->Left() + CurX);
      }
      view->AfterPrint();
    }
    CurX += band->Width();
  }
  FReport->CurObject = band->Name();
  FReport->DoAfterPrint(band);
  band->AfterPrint();
  if (isData)
    FAggregates.AddValue(master, CurVColumn);
  else if (isFooter)
    FAggregates.Reset(band);
}

void TqvxEngine::RenderVBand(TqvxBand* band) {
  const std::vector<TqvxComponent*> all = band->Objects();
  const rtl::Integer savePage = FPreviewPages->CurPage;
  const Extended saveY = CurY, saveX = CurX;
  std::vector<TqvxComponent*>& list = band->GetContainerObjects();
  FPreviewPages->AddPageAction = apWriteOver;
  const size_t segments = FVPageList.size() >= 2 ? FVPageList.size() - 1 : 0;
  try {
    for (size_t i = 0; i < segments; ++i) {
      const size_t from = std::min(all.size(), static_cast<size_t>(std::max(0, FVPageList[i])));
      const size_t to = std::min(all.size(), static_cast<size_t>(std::max(0, FVPageList[i + 1])));
      list.assign(all.begin() + static_cast<std::ptrdiff_t>(from),
                  all.begin() + static_cast<std::ptrdiff_t>(std::max(from, to)));
      FPreviewPages->AddObject(band);
      if (i + 1 < segments) {
        FDontShowHeaders = true;
        NewPage();
        FDontShowHeaders = false;
        band->SetTop(saveY);
        CurY = saveY;
      } else if (segments > 1) {
        EndPage();
      }
    }
  } catch (...) {
    FDontShowHeaders = false;
    list = all;
    FPreviewPages->AddPageAction = apAdd;
    throw;
  }
  list = all;
  FPreviewPages->CurPage = savePage;
  CurY = saveY;
  CurX = saveX;
  FPreviewPages->AddPageAction = apAdd;
}
