#include "report/print/qvxPageOutput.h"

#include <cmath>
#include <memory>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/metafile.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "report/print/qvxPreviewActions.h"
#include "report/print/qvxPrinters.h"

using rtl::Integer;
using rtl::String;

namespace {

int R(Extended x) { return static_cast<int>(std::nearbyint(x)); }

void ProcessMessages(TqvxReport* report) {
  if (report && report->EngineOptions()->EnableThreadSafe) return;
  if (vcl::Application) vcl::Application->ProcessMessages();
}

// Page index is drawn with left and right margins exchanged while the object lives (mirrored margins put the
// binding edge of even pages on the other side).
class TMirroredMargins {
 public:
  TMirroredMargins(TqvxReportPage* page, Integer index)
      : page_(page), swapped_(page->MirrorMargins && index % 2 == 1) {
    if (swapped_) std::swap(page_->LeftMargin, page_->RightMargin);
  }
  ~TMirroredMargins() {
    if (swapped_) std::swap(page_->LeftMargin, page_->RightMargin);
  }
  TMirroredMargins(const TMirroredMargins&) = delete;
  TMirroredMargins& operator=(const TMirroredMargins&) = delete;

 private:
  TqvxReportPage* page_;
  bool swapped_;
};

// The canvas's clipping while a page is drawn on it: saved, narrowed to the paper, and put back as it was.
class TPaperClip {
 public:
  TPaperClip(HDC dc, const RECT& paper) : dc_(dc) {
    saved_ = CreateRectRgn(0, 0, 10000, 10000);
    hadClip_ = GetClipRgn(dc_, saved_) == 1;
    IntersectClipRect(dc_, paper.left, paper.top, paper.right, paper.bottom);
  }
  ~TPaperClip() {
    SelectClipRgn(dc_, hadClip_ ? saved_ : nullptr);
    DeleteObject(saved_);
  }
  TPaperClip(const TPaperClip&) = delete;
  TPaperClip& operator=(const TPaperClip&) = delete;

 private:
  HDC dc_;
  HRGN saved_;
  bool hadClip_;
};

// The object's rectangle with a margin of 20 pixels (frames and shadows reach beyond it) meets the canvas's
// visible part; on a metafile everything is recorded.
bool ViewVisible(vcl::TCanvas* canvas, TqvxView* view, Extended scaleX, Extended scaleY, Extended offsetX,
                 Extended offsetY) {
  if (dynamic_cast<vcl::TMetafileCanvas*>(canvas)) return true;
  const Extended left = view->AbsLeft(), top = view->AbsTop();
  RECT r{R(left * scaleX) - 20, R(top * scaleY) - 20, R((left + view->Width()) * scaleX + 20),
         R((top + view->Height()) * scaleY + 20)};
  OffsetRect(&r, R(offsetX), R(offsetY));
  return RectVisible(canvas->Handle(), &r) != FALSE;
}

String ShortHint(const String& hint) {
  const auto bar = hint.find(L'|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}

String LongHint(const String& hint) {
  const auto bar = hint.find(L'|');
  return bar == String::npos ? hint : hint.substr(bar + 1);
}

TqvxPreviewActions* ActionsOf(TqvxReport* report) {
  return report ? dynamic_cast<TqvxPreviewActions*>(report->Preview()) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Drawing

void qvxDrawPage(TqvxPreviewPages& pages, Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY,
                 Extended offsetX, Extended offsetY) {
  if (!canvas) return;
  TqvxReportPage* page = pages.GetPage(index);
  if (!page) return;
  TMirroredMargins margins(page, index);
  const bool printing = dynamic_cast<TqvxPrinterCanvas*>(canvas) != nullptr;
  std::unique_ptr<TPaperClip> clip;
  if (!printing) {
    const RECT paper{R(offsetX), R(offsetY), R(page->PaperWidth() * qv01cm * scaleX + offsetX) - 1,
                     R(page->PaperHeight() * qv01cm * scaleY + offsetY) - 1};
    clip = std::make_unique<TPaperClip>(canvas->Handle(), paper);
  }

  page->SetIsPrinting(printing);
  page->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  offsetX += page->LeftMargin * qv01cm * scaleX;
  offsetY += page->TopMargin * qv01cm * scaleY;

  const Integer total = pages.GetCount();
  // Drawing may ask the page for its objects again; the walk keeps its own list.
  const std::vector<TqvxComponent*> objects = page->GetAllObjects();
  for (TqvxComponent* obj : objects) {
    auto* view = dynamic_cast<TqvxView*>(obj);
    if (!view || !ViewVisible(canvas, view, scaleX, scaleY, offsetX, offsetY)) continue;
    if (!view->Visibility.Contains(printing ? vsPrint : vsPreview)) continue;
    view->SetIsPrinting(printing);
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(view)) {
      memo->TotalPages = total;
      memo->CopyNo = pages.CopyNo;
      memo->PrintScale = pages.PrintScale;
    }
    try {
      view->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
    } catch (...) {
      view->SetIsPrinting(false);
      throw;
    }
    view->SetIsPrinting(false);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// The mouse

bool qvxMouseInView(TqvxView* view, int x, int y, Extended scale, Extended offsetX, Extended offsetY) {
  const Extended left = view->AbsLeft(), top = view->AbsTop();
  RECT r{R(left * scale), R(top * scale), R((left + view->Width()) * scale), R((top + view->Height()) * scale)};
  OffsetRect(&r, R(offsetX), R(offsetY));
  const POINT p{x, y};
  return PtInRect(&r, p) != FALSE;
}

namespace {

// The hyperlink of view, followed after a click.
void FollowHyperlink(TqvxPreviewPages& pages, TqvxView* view) {
  TqvxReport* report = pages.Report();
  TqvxHyperlink* link = view->Hyperlink();
  TqvxPreviewActions* actions = ActionsOf(report);
  const String value = link->Value;
  switch (link->Kind) {
    case hkURL:
      if (!value.empty()) qvxOpenURL(value);
      break;
    case hkAnchor:
      if (!value.empty()) {
        if (TqvxXMLItem* anchor = pages.FindAnchor(value)) {
          Integer page = 0, top = 0;
          rtl::TryStrToInt(anchor->Prop(L"page"), page);
          rtl::TryStrToInt(anchor->Prop(L"top"), top);
          if (actions) actions->GotoPage(page + 1, top);
        }
      }
      break;
    case hkPageNumber:
      if (!value.empty()) {
        const Integer page = rtl::StrToInt(value);
        if (actions) actions->GotoPage(page, 0);
      }
      break;
    case hkDetailReport: {
      if (!actions) break;
      if (actions->SwitchToTab(value)) break;
      auto* owner = dynamic_cast<vcl::TComponent*>(report->Preview());
      auto* detail = new TqvxReport(owner);
      bool loaded = false;
      if (report->OnLoadDetailTemplate.Assigned()) loaded = report->OnLoadDetailTemplate(detail, link->DetailReport, link);
      if (!loaded) loaded = detail->LoadFromFile(link->DetailReport);
      if (!loaded) {
        if (!owner) detail->Free();
        break;
      }
      const Integer var = detail->Variables()->IndexOf(link->ReportVariable);
      if (var >= 0) detail->Variables()->Items(var)->SetValue(rtl::Variant(value));
      detail->PrepareReport();
      actions->AddTab(detail, value, link->TabCaption);
      pages.LastObjectOver = nullptr;
      break;
    }
    case hkDetailPage: {
      if (!actions) break;
      if (actions->SwitchToTab(value)) break;
      auto* detailPage = dynamic_cast<TqvxPage*>(report->FindObject(link->DetailPage));
      if (!detailPage) break;
      const Integer var = report->Variables()->IndexOf(link->ReportVariable);
      if (var >= 0) report->Variables()->Items(var)->SetValue(rtl::Variant(value));
      // The preview swaps the stores: the pages shown now stay with their tab.
      actions->AddDetailPageTab(report, detailPage, value, link->TabCaption);
      pages.LastObjectOver = nullptr;
      break;
    }
    case hkCustom:
      break;
  }
}

}  // namespace

rtl::TObject* qvxObjectOver(TqvxPreviewPages& pages, Integer index, Integer x, Integer y, vcl::TMouseButton button,
                            vcl::TShiftState shift, Extended scale, Extended offsetX, Extended offsetY,
                            vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent) {
  if (index < 0 || index >= pages.GetCount()) return nullptr;
  if (pages.Engine() && pages.Engine()->Running) return nullptr;
  TqvxReportPage* page = pages.GetPage(index);
  TqvxReport* report = pages.Report();
  if (!page || !report) return nullptr;
  const bool mirrored = page->MirrorMargins && index % 2 == 1;
  offsetX += (mirrored ? page->RightMargin : page->LeftMargin) * qv01cm * scale;
  offsetY += page->TopMargin * qv01cm * scale;

  report->SetProgressMessage(String(), false);
  report->SetProgressMessage(String(), true);

  TqvxPreviewActions* actions = ActionsOf(report);
  TqvxCustomPreview* preview = report->Preview();
  const bool reportHints = preview && preview->UseReportHints();
  bool refresh = false;
  TqvxGroupHeader* drill = nullptr;
  TqvxView* handled = nullptr;
  bool underMouse = false;

  const std::vector<TqvxComponent*> objects = page->GetAllObjects();
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
    TqvxComponent* obj = *it;
    auto* header = dynamic_cast<TqvxGroupHeader*>(obj);
    if (header && header->DrillDown) {
      // A header is no view: the hit test of its rectangle is the same.
      const Extended left = header->AbsLeft(), top = header->AbsTop();
      RECT r{R(left * scale), R(top * scale), R((left + header->Width()) * scale),
             R((top + header->Height()) * scale)};
      OffsetRect(&r, R(offsetX), R(offsetY));
      if (PtInRect(&r, POINT{x, y})) drill = header;
    }
    auto* view = dynamic_cast<TqvxView*>(obj);
    if (!view || !qvxMouseInView(view, x, y, scale, offsetX, offsetY)) {
      if (view && view->ShowHint && reportHints && actions) actions->ShowReportHint(String(), false, x, y);
      continue;
    }
    handled = view;
    underMouse = true;
    if (pages.LastObjectOver != view) {
      if (pages.LastObjectOver) report->DoMouseLeave(pages.LastObjectOver, refresh);
      report->DoMouseEnter(view, refresh);
      pages.LastObjectOver = view;
    }
    if (auto* parent = dynamic_cast<TqvxGroupHeader*>(view->Parent()); parent && parent->DrillDown) drill = parent;

    if (view->Cursor != vcl::crDefault) cursor = view->Cursor;
    if (!view->Hyperlink()->Value.empty()) {
      report->SetProgressMessage(view->Hyperlink()->Value, false);
      if (view->Cursor == vcl::crDefault) cursor = vcl::crHandPoint;
    }
    if (!view->Hint.empty() && view->ShowHint && reportHints) {
      report->SetProgressMessage(LongHint(view->Hint), true);
      if (actions) actions->ShowReportHint(ShortHint(view->Hint), true, x, y);
    }

    view->DoMouseMove(x, y, refresh);
    if (mouseEvent == meMouseUp) report->DoMouseUp(view, x, y, button, shift, refresh);
    bool modified = false;
    if (mouseEvent == meDbClick || mouseEvent == meClick) {
      const bool dbl = mouseEvent == meDbClick;
      report->DoPreviewClick(view, button, shift, modified, dbl);
      view->DoMouseClick(view, dbl, modified, refresh);
    }
    if (mouseEvent == meMouseMove || mouseEvent == meMouseUp || mouseEvent == meMouseDown || drill) {
      if (report->OnMouseOverObject.Assigned()) report->OnMouseOverObject(view);
    } else {
      FollowHyperlink(pages, view);
    }
    if (modified) {
      // The page now stored is the changed one; the rebuilt copy in hand goes with the cache.
      pages.ModifyPage(index, page);
      if (actions) actions->InvalidateWorkspace();
      pages.LastObjectOver = nullptr;
      handled = nullptr;
    }
    break;
  }

  if (!underMouse && pages.LastObjectOver) {
    report->DoMouseLeave(pages.LastObjectOver, refresh);
    pages.LastObjectOver = nullptr;
  }
  if (refresh && actions) actions->InvalidateWorkspace();

  if (drill) {
    cursor = vcl::crHandPoint;
    if (mouseEvent == meClick && button == vcl::mbLeft) {
      rtl::TStringList* state = report->DrillState();
      const Integer i = state->IndexOf(drill->DrillName);
      if (i >= 0) state->Delete(i);
      else state->Add(drill->DrillName);
      pages.LastObjectOver = nullptr;
      handled = nullptr;
      if (preview) preview->RefreshReport();
    }
  }
  return handled;
}

// ---------------------------------------------------------------------------------------------------------------
// Export

namespace {

class TExport {
 public:
  TExport(TqvxPreviewPages& pages, TqvxCustomExportFilter* filter)
      : pages_(pages), filter_(filter), report_(pages.Report()) {}

  void Run() {
    if (filter_->OnBeginExport.Assigned()) filter_->OnBeginExport(filter_);
    if (!filter_->Start()) return;
    TqvxCustomPreview* preview = report_->Preview();
    if (preview) {
      preview->Lock();
      preview->Invalidate();
    }
    if (filter_->ShowProgress) report_->InternalOnProgressStart(ptExporting);
    try {
      for (Integer i = 0; i < pages_.GetCount(); ++i) {
        ExportPage(i);
        ProcessMessages(report_);
      }
    } catch (...) {
      Finish(preview);
      throw;
    }
    Finish(preview);
  }

  rtl::TStringList PageList;

 private:
  void Finish(TqvxCustomPreview* preview) {
    if (preview) preview->Invalidate();
    if (filter_->ShowProgress) report_->InternalOnProgressStop(ptExporting);
    filter_->Finish();
  }

  void ExportPage(Integer i) {
    if (i >= pages_.GetCount()) return;
    if (PageList.Count() > 0 && PageList.IndexOf(rtl::IntToStr(i + 1)) < 0) return;
    TqvxReportPage* page = pages_.GetPage(i);
    if (!page) return;
    if (filter_->ShowProgress) report_->InternalOnProgress(ptExporting, i + 1);
    filter_->StartPage(page, i);
    try {
      const bool mirrored = page->MirrorMargins && i % 2 == 1;
      page->SetLeft((mirrored ? page->RightMargin : page->LeftMargin) * qv01cm);
      page->SetTop(page->TopMargin * qv01cm);
      {
        TqvxPictureView background(nullptr);
        background.SetName(L"_pagebackground");
        background.SetColor(page->Color());
        background.SetFrame(page->Frame());
        background.SetPicture(page->BackPicture());
        background.Stretched = true;
        background.KeepAspectRatio = false;
        background.SetBounds(page->Left(), page->Top(),
                             page->Width() - (page->LeftMargin + page->RightMargin) * qv01cm,
                             page->Height() - (page->TopMargin + page->BottomMargin) * qv01cm);
        ExportObject(&background);
      }
      const std::vector<TqvxComponent*> top = page->Objects();
      const Integer count = pages_.GetCount();
      for (TqvxComponent* obj : top) {
        if (filter_->SuppressPageHeadersFooters) {
          if (dynamic_cast<TqvxPageHeader*>(obj) && i != 0) continue;
          if (dynamic_cast<TqvxPageFooter*>(obj) && i != count - 1) continue;
        }
        ExportObject(obj);
        const std::vector<TqvxComponent*> children = obj->Objects();
        for (TqvxComponent* child : children) ExportObject(child);
      }
    } catch (...) {
      EndPage(page, i);
      throw;
    }
    EndPage(page, i);
  }

  void EndPage(TqvxReportPage* page, Integer i) {
    filter_->FinishPage(page, i);
    if (report_->Preview()) {
      page->SetLeft(0);
      page->SetTop(0);
    } else {
      pages_.ClearPageCache();
    }
  }

  void ExportObject(TqvxComponent* obj) {
    if (filter_->DataOnly && !dynamic_cast<TqvxDataBand*>(obj->Parent())) return;
    auto* view = dynamic_cast<TqvxView*>(obj);
    if (view && !view->Visibility.Contains(vsExport)) return;
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(obj)) {
      memo->TotalPages = pages_.GetCount();
      memo->CopyNo = 1;
      memo->ExtractMacros();
      if (memo->AutoWidth) {
        // Drawing once sizes the memo to its text.
        vcl::TBitmap scratch(1, 1, vcl::pf24bit);
        memo->Draw(scratch.Canvas(), 0, 0, 0, 0);
      }
    }
    filter_->ExportObject(obj);
    if (report_->Terminated()) throw EExportTerminated(L"");
  }

  TqvxPreviewPages& pages_;
  TqvxCustomExportFilter* filter_;
  TqvxReport* report_;
};

}  // namespace

bool qvxExportPages(TqvxPreviewPages& pages, TqvxCustomExportFilter* filter) {
  pages.CopyNo = 0;
  TqvxReport* report = pages.Report();
  if (!filter || !report) return false;
  filter->CreationTime = rtl::Now();
  filter->Report = report;
  if (filter->ShowDialog && filter->ShowModal() != vcl::mrOk) return false;
  if (filter->CurPage)
    filter->PageNumbers = report->Preview() ? rtl::IntToStr(pages.CurPreviewPage) : String(L"1");
  bool result = true;
  report->SetTerminated(false);
  const bool dotMatrix = qvxDotMatrixExport && filter == qvxDotMatrixExport;
  TExport run(pages, filter);
  try {
    qvxParsePageNumbers(filter->PageNumbers, run.PageList, pages.GetCount());
    if (dotMatrix && report->OnPrintReport.Assigned()) report->OnPrintReport(report);
    run.Run();
  } catch (const EExportTerminated&) {
  } catch (const rtl::Exception& e) {
    result = false;
    report->Errors()->Add(e.Message());
    qvxCommonErrorHandler(report, qvxResources().Get(L"clErrors") + L"\r\n" + report->Errors()->Text());
  }
  if (dotMatrix && report->OnAfterPrintReport.Assigned()) report->OnAfterPrintReport(report);
  return result;
}
