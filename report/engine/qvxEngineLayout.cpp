// Placing bands on pages: whether a band fits, is split, or moves to a new column or page; what every page and
// column starts with (page header, column header, headers marked for reprinting) and ends with (column footer,
// summary, page footer, overlay); and keep-together blocks, which move whole to the next page when a break falls
// inside them.
#include <cmath>

#include "platform/rtl/strings.h"
#include "report/engine/qvxEngine.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxUtils.h"

using rtl::String;

namespace {

Extended ChainHeight(TqvxBand* band) {
  Extended height = 0;
  for (int n = 0; band && n < 1000; ++n, band = band->Child()) height += band->Height();
  return height;
}

rtl::Integer RoundY(Extended y) { return static_cast<rtl::Integer>(std::llround(static_cast<double>(y))); }

}  // namespace

Extended TqvxEngine::BandHeight(TqvxBand* band) { return band->Stretched ? band->StretchedHeight : band->Height(); }

// ---------------------------------------------------------------------------------------------------------------
// Sizes

Extended TqvxEngine::HeaderHeight() {
  return ChainHeight(FPage->FindBand(TqvxColumnHeader::StaticClass())) +
         ChainHeight(FPage->FindBand(TqvxPageHeader::StaticClass()));
}

Extended TqvxEngine::FooterHeight() {
  // Asked for every band placed: the two walks through the page's objects are made only when the list changed.
  TFooterBands& cache = FFooterBands;
  if (cache.Page != FPage || cache.Stamp != FPage->ObjectsStamp()) {
    cache.Page = FPage;
    cache.Stamp = FPage->ObjectsStamp();
    cache.ColumnFooter = FPage->FindBand(TqvxColumnFooter::StaticClass());
    cache.PageFooter = FPage->FindBand(TqvxPageFooter::StaticClass());
  }
  Extended height = 0;
  if (cache.ColumnFooter) height += cache.ColumnFooter->Height();
  if (cache.PageFooter) height += cache.PageFooter->Height();
  return height;
}

Extended TqvxEngine::FreeSpace() {
  if (FPage->EndlessHeight) return 1e6L;
  if (FPrevFooterHeight != 0) return GetPageHeight() - FPrevFooterHeight - CurY;
  return GetPageHeight() - FooterHeight() - CurY;
}

// ---------------------------------------------------------------------------------------------------------------
// Repeat lists

void TqvxEngine::AddToHeaderList(TqvxBand* band) {
  auto* header = dynamic_cast<TqvxHeader*>(band);
  auto* group = dynamic_cast<TqvxGroupHeader*>(band);
  if (!(header && header->ReprintOnNewPage) && !(group && group->ReprintOnNewPage)) return;
  FHeaderList.AddItem(band, FPageCurX, FKeeping && !header);
}

void TqvxEngine::AddToVHeaderList(TqvxBand* band) {
  auto* header = dynamic_cast<TqvxHeader*>(band);
  auto* group = dynamic_cast<TqvxGroupHeader*>(band);
  if (!(header && header->ReprintOnNewPage) && !(group && group->ReprintOnNewPage)) return;
  FVHeaderList.AddItem(band, 0, false);
}

void TqvxEngine::RemoveFromHeaderList(TqvxBand* band) {
  if (band) FHeaderList.RemoveItem(band);
}

void TqvxEngine::RemoveFromVHeaderList(TqvxBand* band) {
  if (band) FVHeaderList.RemoveItem(band);
}

// ---------------------------------------------------------------------------------------------------------------
// Pages and columns

void TqvxEngine::InitPage() {
  FHeaderList.Clear();
  TqvxBand* title = FPage->FindBand(TqvxReportTitle::StaticClass());
  TqvxBand* pageHeader = FPage->FindBand(TqvxPageHeader::StaticClass());
  if (FPage->TitleBeforeHeader) {
    FHeaderList.AddItem(title, 0, false);
    FHeaderList.AddItem(pageHeader, 0, false);
  } else {
    FHeaderList.AddItem(pageHeader, 0, false);
    FHeaderList.AddItem(title, 0, false);
  }
  PageHeight = (FPage->PaperHeight() - FPage->TopMargin - FPage->BottomMargin) * qv01cm;
  PageWidth = (FPage->PaperWidth() - FPage->LeftMargin - FPage->RightMargin) * qv01cm;
  CurX = 0;
  CurY = 0;
  CurColumn = 1;
  FPageCurX = 0;
  FVMasterBand = nullptr;
  FIsFirstPage = true;
  FIsLastPage = false;
  OutlineRoot();
  if (FPage->ResetPageNumbers) FPreviewPages->ResetLogicalPageNumber();
  if (FPreviewPages->GetCount() > 0 && FPage->PrintOnPreviousPage) {
    FPreviewPages->CurPage = FPreviewPages->GetCount() - 1;
    CurY = FPreviewPages->GetLastY(0);
    if (title) {
      FHeaderList.RemoveItem(title);
      ShowBand(title);
    }
  } else {
    AddPage();
  }
  if (FFirstReportPage) FPreviewPages->FirstPage = FPreviewPages->CurPage;
  FFirstColumnY = CurY;
  TqvxBand* columnHeader = FPage->FindBand(TqvxColumnHeader::StaticClass());
  ShowBand(columnHeader);
  FHeaderList.AddItem(columnHeader, 0, false);
  if (title) FHeaderList.RemoveItem(title);
  AddPageOutline();
}

void TqvxEngine::AddPage() {
  FPrevFooterHeight = 0;
  FPreviewPages->AddPage(FPage);
  CurY = 0;
  if (auto* overlay = dynamic_cast<TqvxOverlay*>(FPage->FindBand(TqvxOverlay::StaticClass()));
      overlay && !overlay->PrintOnTop) {
    ShowBand(overlay);
    CurY = 0;
  }
  FFirstColumnY = 0;
  const Extended saveX = CurX;
  for (rtl::Integer i = 0; i < FHeaderList.Count(); ++i) {
    TqvxHeaderListItem& item = FHeaderList.Items(i);
    CurX = item.Left;
    TqvxBand* band = item.Band;
    if (!band || band == FStartNewPageBand) continue;
    auto* pageHeader = dynamic_cast<TqvxPageHeader*>(band);
    if (FIsFirstPage && pageHeader && !pageHeader->PrintOnFirstPage) {
      if (!pageHeader->PrintChildIfInvisible) continue;
      band = pageHeader->Child();
      if (!band) continue;
    }
    const bool isHeader = dynamic_cast<TqvxHeader*>(band) != nullptr;
    const bool isGroupHeader = dynamic_cast<TqvxGroupHeader*>(band) != nullptr;
    if (((isHeader && FKeepHeader) || item.IsInKeepList) && !FKeepFooter) continue;
    if ((isHeader && (FDontShowHeaders || band == FLastBandOnPage)) || (isGroupHeader && FDontShowHeaders)) continue;

    band->Overflow = true;
    const rtl::Integer saveLine = CurLine, saveLineThrough = CurLineThrough;
    CurLine = band->LineN;
    CurLineThrough = band->LineThrough;
    FCallFromAddPage = true;
    FCallFromPHeader = pageHeader != nullptr;
    const bool isTitle = dynamic_cast<TqvxReportTitle*>(band) != nullptr;
    if (isTitle) item.Band = nullptr;
    try {
      ShowBand(band);
    } catch (...) {
      FCallFromAddPage = FCallFromPHeader = false;
      band->Overflow = false;
      throw;
    }
    if (pageHeader) FFirstColumnY = band->Top() + BandHeight(band);
    if (isTitle && FIsFirstBand) FTitlePrinted = true;
    FCallFromAddPage = FCallFromPHeader = false;
    band->Overflow = false;
    CurLine = saveLine;
    CurLineThrough = saveLineThrough;
  }
  CurX = saveX;
}

void TqvxEngine::EndPage() {
  if (!FCallFromEndPage) EndColumn();
  if (!FIsLastPage) {
    CurX = FPageCurX;
    CurColumn = 1;
  }
  if (FIsLastPage && !FCallFromEndPage) {
    FCallFromEndPage = true;
    try {
      TqvxBand* summary = FPage->FindBand(TqvxReportSummary::StaticClass());
      const Extended before = CurY;
      ShowBand(summary);
      if (FPage->EndlessHeight && summary) {
        PageHeight = GetPageHeight() + (CurY - before);
        UpdatePageDimensions(FPage->LeftMargin * qv01cm + PageWidth + FPage->RightMargin * qv01cm,
                             GetPageHeight() + (FPage->TopMargin + FPage->BottomMargin) * qv01cm);
      }
    } catch (...) {
      FCallFromEndPage = false;
      throw;
    }
    FCallFromEndPage = false;
  }
  if (auto* footer = dynamic_cast<TqvxPageFooter*>(FPage->FindBand(TqvxPageFooter::StaticClass()))) {
    CurY = GetPageHeight() - footer->Height();
    FPrevFooterHeight = FIsLastPage && footer->PrintOnLastPage && !FCallFromEndPage ? footer->Height() : 0;
    ShowFooterBand(footer);
  }
  if (auto* overlay = dynamic_cast<TqvxOverlay*>(FPage->FindBand(TqvxOverlay::StaticClass()));
      overlay && overlay->PrintOnTop) {
    CurY = 0;
    ShowFooterBand(overlay);
  }
  FIsFirstPage = false;
}

void TqvxEngine::ShowFooterBand(TqvxBand* band) {
  if (!band) return;
  Stretch(band);
  if (band->Visible()) {
    band->SetLeft(0);
    band->SetTop(CurY);
  }
  if (auto* footer = dynamic_cast<TqvxPageFooter*>(band)) {
    if ((FIsFirstPage && !footer->PrintOnFirstPage) || (FIsLastPage && !footer->PrintOnLastPage && !FCallFromEndPage)) {
      UnStretch(band);
      return;
    }
  }
  if (band->Visible()) {
    if (!FPreviewPages->BandExists(band)) {
      band->CreateFillMemo();
      FPreviewPages->AddObject(band);
    }
    CurY += band->Height();
  }
  UnStretch(band);
  FAggregates.Reset(band);
}

void TqvxEngine::NewPage() {
  if (FKeepBand && CurY - FKeepCurY + FKeepBand->Height() > GetPageHeight() - FooterHeight()) {
    // The block would not fit a fresh page either: it stays where it is.
    if (FKeeping) FAggregates.EndKeep();
    FKeeping = false;
  }
  TqvxBand* movedHeader = nullptr;
  if (FKeeping) {
    if (FKeepFooter) FAggregates.DeleteValue(FKeepBand);
    FPreviewPages->CutObjects(FKeepPosition);
    if (std::fabs(static_cast<double>(FPreviewPages->GetLastY(0) - CurY)) >= 0.0001)
      if (auto* data = dynamic_cast<TqvxDataBand*>(FCurBand); data && data->Header) {
        movedHeader = data->Header;
        RemoveFromHeaderList(movedHeader);
      }
  }
  FLastBandOnPage = FCurBand;
  EndPage();
  if (FPage->EndlessHeight)
    ModifyPageSize(FPreviewPages->GetCount() - 1, PageWidth + (FPage->LeftMargin + FPage->RightMargin) * qv01cm,
                   FooterHeight() + CurY + (FPage->TopMargin + FPage->BottomMargin) * qv01cm);
  AddPage();
  FLastBandOnPage = nullptr;
  if (FKeeping) {
    FAggregates.EndKeep();
    FPreviewPages->PasteObjects(0, CurY);
    FPreviewPages->Outline()->ShiftItems(FKeepOutline, RoundY(CurY));
    FPreviewPages->ShiftAnchors(FKeepAnchor, RoundY(CurY));
    CurY = FPreviewPages->GetLastY(0);
    if (FKeepFooter) FAggregates.AddValue(FKeepBand, 0);
    if (movedHeader) AddToHeaderList(movedHeader);
  }
  FKeeping = false;
  FKeepHeader = false;
  FKeepCurY = 0;
  AddPageOutline();
}

void TqvxEngine::NewColumn() {
  if (CurColumn >= FPage->Columns()) {
    NewPage();
    return;
  }
  if (FKeeping) {
    if (FKeepFooter) FAggregates.DeleteValue(FKeepBand);
    FPreviewPages->CutObjects(FKeepPosition);
    CurY = FPreviewPages->GetLastY(0);
  }
  FLastBandOnPage = FCurBand;
  EndColumn();
  AddColumn();
  FLastBandOnPage = nullptr;
  if (FKeeping) {
    FAggregates.EndKeep();
    FPreviewPages->PasteObjects(CurX, CurY);
    FPreviewPages->Outline()->ShiftItems(FKeepOutline, RoundY(CurY));
    FPreviewPages->ShiftAnchors(FKeepAnchor, RoundY(CurY));
    CurY = FPreviewPages->GetLastY(CurX);
    if (FKeepFooter) FAggregates.AddValue(FKeepBand, 0);
  }
  FKeeping = false;
  FKeepHeader = false;
}

void TqvxEngine::AddColumn() {
  ++CurColumn;
  rtl::TStringList* positions = FPage->ColumnPositions();
  const rtl::Integer index = CurColumn - 1;
  const Extended x = index < positions->Count() ? qvxStrToFloat(positions->Strings(index)) * qv01cm
                                                : FPage->ColumnWidth * index * qv01cm;
  CurY = FFirstColumnY;
  for (rtl::Integer i = 0; i < FHeaderList.Count() && !FKeepHeader; ++i) {
    TqvxHeaderListItem item = FHeaderList.Items(i);
    if (!item.Band || dynamic_cast<TqvxPageHeader*>(item.Band) || item.Band == FLastBandOnPage || item.IsInKeepList)
      continue;
    CurX = item.Left + x;
    ShowBandChain(item.Band);
  }
  CurX = FPageCurX + x;
}

void TqvxEngine::ShowBandChain(TqvxBand* band) {
  for (int n = 0; band && n < 1000; ++n) {
    DoShow(band);
    if (!band->Visible() && !band->PrintChildIfInvisible) break;
    band = band->Child();
  }
}

void TqvxEngine::EndColumn() {
  TqvxBand* footer = FPage->FindBand(TqvxColumnFooter::StaticClass());
  if (!footer) return;
  Stretch(footer);
  if (footer->Visible()) {
    footer->SetLeft(CurX - FPageCurX);
    footer->SetTop(CurY);
    footer->CreateFillMemo();
    FPreviewPages->AddObject(footer);
    CurY += footer->Height();
  }
  UnStretch(footer);
  FAggregates.Reset(footer);
}

// ---------------------------------------------------------------------------------------------------------------
// Bands

void TqvxEngine::ShowBand(TqvxBand* band) {
  if (!band) return;
  if (band->KeepChild) StartKeep(band, 0);
  DoShow(band);
  auto* data = KindOf(band).DataBand ? static_cast<TqvxDataBand*>(band) : nullptr;
  if ((band->Visible() || band->PrintChildIfInvisible) && !(data && data->CurColumn() > 1) && band->Child())
    ShowBand(band->Child());
  if (band->KeepChild) EndKeep(band);
  if (data) FAggregates.AddValue(band, 0);
}

void TqvxEngine::DoShow(TqvxBand* band) {
  std::vector<rtl::Integer> savedSegments;
  const bool verticalRow = band->HasVBands && !dynamic_cast<TqvxPageHeader*>(band);
  if (verticalRow) {
    band->BeforePrint();
    ShowVBands(band);
    CurX = 0;
    CurLine = band->LineN;
    CurLineThrough = band->LineThrough;
    FPreviewPages->AddPageAction = apAdd;
    savedSegments = FVPageList;
  }
  if (band->Vertical()) {
    AddVBand(band);
    return;
  }
  const TqvxObjectKind kind = KindOf(band);
  auto* data = kind.DataBand ? static_cast<TqvxDataBand*>(band) : nullptr;
  const bool multiColumn = data && data->Columns > 1;
  const bool isNull = kind.NullBand;
  if (!FCallFromAddPage && band->Visible() && band->StartNewPage && !FOutputTo &&
      !((data || dynamic_cast<TqvxGroupHeader*>(band)) && band->LineN == 1)) {
    FStartNewPageBand = band;
    if (auto* group = dynamic_cast<TqvxGroupHeader*>(band); group && group->ResetPageNumbers)
      FPreviewPages->ResetLogicalPageNumber();
    NewPage();
    FStartNewPageBand = nullptr;
  }
  Stretch(band);
  band->StretchedHeight = band->Height();
  if (band->Visible()) {
    bool split = false;
    if (!multiColumn && !kind.Overlay && !isNull && FreeSpace() < band->Height() && !FOutputTo) {
      if ((band->AllowSplit && !FKeeping) || (band->Height() > GetPageHeight() - FooterHeight() && !band->HasVBands)) {
        if (!band->AllowSplit && band->LineThrough > 1 && !band->StartNewPage) {
          FCurBand = band;
          NewColumn();
        }
        if (FKeeping) EndKeep(band);
        DrawSplit(band);
        split = true;
      } else {
        if (!FKeeping) CheckSuppress(band);
        if (!(dynamic_cast<TqvxChild*>(band) && FCallFromPHeader)) NewColumn();
      }
    }
    if (!split) {
      if (!isNull) {
        band->SetLeft(multiColumn ? band->Left() + CurX : CurX);
        band->SetTop(CurY);
      }
      if (FOutputTo) {
        auto* copy = new TqvxBand(FOutputTo);
        copy->AssignAll(band);
        copy->CreateFillMemo();
      } else {
        band->CreateFillMemo();
        if (verticalRow) {
          FVPageList = savedSegments;
          band->SetLeft(0);
          RenderVBand(band);
        } else if (!FCallFromAddPage || !FPreviewPages->BandExists(band)) {
          FPreviewPages->AddObject(band);
        }
      }
      CurY += band->Height();
    }
  }
  UnStretch(band);
  FAggregates.Reset(band);
  if (band->Visible()) CheckSubReports(band);
}

// ---------------------------------------------------------------------------------------------------------------
// Keep-together

void TqvxEngine::StartKeep(TqvxBand* band, rtl::Integer position) {
  if (FKeeping || FIsFirstBand) return;
  FKeepCurY = CurY;
  FKeeping = true;
  FKeepBand = band;
  FKeepPosition = position != 0 ? position : FPreviewPages->GetCurPosition();
  FKeepOutline = FPreviewPages->Outline()->GetCurPosition();
  FKeepAnchor = FPreviewPages->GetAnchorCurPosition();
  FAggregates.StartKeep();
}

void TqvxEngine::EndKeep(TqvxBand* band) {
  if (band != FKeepBand) return;
  BreakAllKeep();
}

void TqvxEngine::BreakAllKeep() {
  FKeepCurY = 0;
  FKeeping = false;
  FKeepBand = nullptr;
  FAggregates.EndKeep();
  FKeepHeader = false;
}
