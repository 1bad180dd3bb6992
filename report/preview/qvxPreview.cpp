#include "report/preview/qvxPreview.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/preview/qvxPreviewForm.h"
#include "report/preview/qvxPageSettings.h"
#include "report/preview/qvxSearchDialog.h"

using namespace vcl;
using rtl::String;

namespace {

// The highest zoom: page sizes and scroll positions stay well inside 32 bits even for thousands of pages.
constexpr Extended kMaxZoom = 20;

String FileNameOnly(const String& path) {
  const size_t slash = path.find_last_of(L"\\/:");
  return slash == String::npos ? path : path.substr(slash + 1);
}

}  // namespace

// --- TqvxPreview

TqvxPreview::TqvxPreview(TComponent* owner) : TqvxCustomPreview(owner) {
  FOutlineColor = clWindow;
  FOutlinePopup = new TPopupMenu(this);
  auto* collapse = new TMenuItem(FOutlinePopup);
  collapse->SetCaption(qvxGet(601));
  collapse->OnClick.Bind(this, &TqvxPreview::OnCollapseClick);
  FOutlinePopup->Items()->Add(collapse);
  auto* expand = new TMenuItem(FOutlinePopup);
  expand->SetCaption(qvxGet(600));
  expand->OnClick.Bind(this, &TqvxPreview::OnExpandClick);
  FOutlinePopup->Items()->Add(expand);

  FTabImgList = new TImageList(this);
  FTabImgList->SetWidth(16);
  FTabImgList->SetHeight(16);

  FTabs = new TqvxPreviewTabRow(this);
  FTabs->SetParent(this);
  FTabs->SetImages(FTabImgList);
  FTabs->SetAlign(alTop);
  FTabs->SetVisible(false);
  FTabs->SetHeight(22);
  FTabs->OnChange.Bind(this, &TqvxPreview::OnTabChange);
  FTabs->OnMouseUp.Bind(this, &TqvxPreview::OnTabsMouseUp);

  FOutline = new TTreeView(this);
  FOutline->SetParent(this);
  FOutline->SetAlign(alLeft);
  FOutline->SetHideSelection(false);
  FOutline->SetReadOnly(true);
  FOutline->SetPopupMenu(FOutlinePopup);
  FOutline->OnChange.Bind(this, &TqvxPreview::OnOutlineClick);

  FThumbnail = new TqvxPreviewWorkspace(this);
  FThumbnail->SetParent(this);
  FThumbnail->SetAlign(alLeft);
  FThumbnail->SetVisible(false);
  FThumbnail->SetZoom(0.1L);
  FThumbnail->SetIsThumbnail(true);
  FThumbnail->SetPreview(this);

  FSplitter = new TSplitter(this);
  FSplitter->SetParent(this);
  FSplitter->SetAlign(alLeft);
  FSplitter->SetWidth(4);
  FSplitter->SetLeft(FOutline->Width() + 1);
  FSplitter->OnMoved.Bind(this, &TqvxPreview::OnSplitterMoved);

  FWorkspace = new TqvxPreviewWorkspace(this);
  FWorkspace->SetParent(this);
  FWorkspace->SetAlign(alClient);
  FWorkspace->SetPreview(this);

  FMessagePanel = new TPanel(this);
  FMessagePanel->SetParent(this);
  FMessagePanel->SetVisible(false);
  FMessagePanel->SetBounds(0, 0, 0, 0);
  FMessagePanel->SetShowCaption(false);
  FMessageLabel = new TLabel(this);
  FMessageLabel->SetParent(FMessagePanel);
  FMessageLabel->SetAutoSize(false);
  FMessageLabel->SetAlignment(taCenter);
  FMessageLabel->SetBounds(4, 20, 255, 20);
  FCancelButton = new TButton(this);
  FCancelButton->SetParent(FMessagePanel);
  FCancelButton->SetBounds(92, 44, 75, 25);
  FCancelButton->SetCaption(qvxResources().Get(L"clCancel"));
  FCancelButton->SetVisible(false);
  FCancelButton->OnClick.Bind(this, &TqvxPreview::OnCancelClick);

  SetUseReportHints(true);
  SetBounds(Left(), Top(), 100, 100);
  FTabItems = std::make_unique<TqvxPreviewTabs>(this);
}

TqvxPreview::~TqvxPreview() {
  if (FTabItems) FTabItems->ClearTabs();
  FTabItems.reset();
}

void TqvxPreview::CreateParams(TCreateParams& params) {
  TqvxCustomPreview::CreateParams(params);
  if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TqvxPreview::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

TqvxPreviewForm* TqvxPreview::HostForm() const {
  if (auto* form = dynamic_cast<TqvxPreviewForm*>(Parent())) return form;
  return dynamic_cast<TqvxPreviewForm*>(Owner());
}

TqvxPreviewButtons TqvxPreview::Buttons() const {
  return Report() ? Report()->PreviewOptions()->Buttons : TqvxPreviewButtons();
}

int TqvxPreview::PageCount() { return PreviewPages() ? PreviewPages()->GetCount() : 0; }

int TqvxPreview::ViewWidth(TqvxPreviewWorkspace* w) { return w->Width() - GetSystemMetrics(SM_CXVSCROLL) - 26; }

void TqvxPreview::FocusWorkspace() {
  if (FWorkspace->HandleAllocated() && FWorkspace->Showing() && FWorkspace->CanFocus()) FWorkspace->SetFocus();
}

// --- binding

bool TqvxPreview::Init(TqvxReport* report, TqvxCustomPreviewPages* previewPages) {
  if (FCalledFromPreview) return false;
  SetReport(report);
  SetPreviewPages(previewPages);
  if (FInitialized && FEachReportInTab) {
    FTabItems->AddTabOrSwitch(report, L"", L"", false);
    return false;
  }
  if (auto* form = dynamic_cast<TqvxPreviewForm*>(Parent())) SetPreviewForm(form);
  FWorkspace->SetPreviewPages(previewPages);
  FThumbnail->SetPreviewPages(previewPages);
  qvxSearch().TextFound = false;
  FWorkspace->SetLastFoundPage(0);
  qvxSearch().LastFoundRecord = -1;
  FAllowF3 = false;
  if (FInitialized) {
    FTabItems->SetFirst(report, previewPages);
    FTabItems->SwitchToTab(report);
    return true;
  }
  const String name = report && !report->FileName.empty() ? FileNameOnly(report->FileName)
                                                          : (report ? report->ReportOptions()->Name : String());
  FTabItems->AddTab(report, name, L"", true);
  FInitialized = true;
  FWorkspace->SetDoubleBuffered(true);
  if (report) {
    TqvxPreviewOptions* o = report->PreviewOptions();
    SetOutlineWidth(o->OutlineWidth);
    SetOutlineVisible(o->OutlineVisible);
    SetThumbnailVisible(o->ThumbnailVisible);
    FZoomMode = o->ZoomMode;
    FZoom = std::clamp(o->Zoom, Extended(0.25L), kMaxZoom);
  }
  UpdatePages();
  UpdateOutline();
  First();
  return true;
}

void TqvxPreview::UnInit(TqvxCustomPreviewPages* previewPages) {
  for (int i = FTabItems->Count() - 1; i >= 0; --i)
    if (FTabItems->Items(i).PreviewPages == previewPages) FTabItems->DeleteTab(i);
  if (FTabItems->Count() == 0) FInitialized = false;
  if (PreviewPages() == previewPages) {
    SetPreviewPages(nullptr);
    FWorkspace->SetPreviewPages(nullptr);
    FThumbnail->SetPreviewPages(nullptr);
    FWorkspace->ClearPageList();
    FThumbnail->ClearPageList();
    FWorkspace->Invalidate();
  }
}

void TqvxPreview::Lock() {
  FLocked = true;
  FWorkspace->SetLocked(true);
  FThumbnail->SetLocked(true);
}

void TqvxPreview::Unlock() {
  HideMessage();
  FLocked = false;
  FWorkspace->SetLocked(false);
  FThumbnail->SetLocked(false);
  UpdatePages();
  FWorkspace->Invalidate();
  FThumbnail->Invalidate();
}

// --- layout

void TqvxPreview::UpdatePages() {
  if (FLocked || PageCount() == 0) return;
  FAllowF3 = false;
  FWorkspace->SetEMFImagePage(-1);
  const TqvxPoint size = PreviewPages()->GetPageSize(std::max(FPageNo - 1, 0));
  const Extended w = size.X, h = size.Y;
  if (h == 0) return;
  const int v = GetSystemMetrics(SM_CXVSCROLL);
  if (FZoomMode == zmWholePage) {
    const int cw = std::max(ClientWidth(), 1), ch = std::max(ClientHeight(), 1);
    if (h / ch >= w / cw)
      FZoom = (FWorkspace->Height() - 26) / h;
    else
      FZoom = (FWorkspace->Width() - v - 26) / w;
  } else if (FZoomMode == zmPageWidth) {
    FZoom = (FWorkspace->Width() - v - 26) / w;
  }
  // A window too small for any page still shows something.
  FZoom = std::clamp(FZoom, Extended(0.01L), kMaxZoom);
  FThumbnail->SetDoubleBuffered(true);
  FWorkspace->SetZoom(FZoom);
  FThumbnail->SetZoom(0.1L);
  FWorkspace->ClearPageList();
  FThumbnail->ClearPageList();
  const int count = PageCount();
  for (int i = 0; i < count; ++i) {
    const TqvxPoint s = PreviewPages()->GetPageSize(i);
    FWorkspace->AddPage(static_cast<int>(s.X), static_cast<int>(s.Y));
    if (!FRunning) FThumbnail->AddPage(static_cast<int>(s.X), static_cast<int>(s.Y));
  }
  FWorkspace->CalcPageBounds(ViewWidth(FWorkspace));
  if (!FRunning) FThumbnail->CalcPageBounds(ViewWidth(FThumbnail));
  FWorkspace->UpdateScrollBars();
  FThumbnail->UpdateScrollBars();
  FWorkspace->SetHorzPage(FWorkspace->ClientWidth());
  FWorkspace->SetVertPage(FWorkspace->ClientHeight());
  FThumbnail->SetHorzPage(FThumbnail->ClientWidth());
  FThumbnail->SetVertPage(FThumbnail->ClientHeight());
  if (FZoomMode == zmWholePage) FWorkspace->SetPosition(FPageNo, 0);
  FWorkspace->SetHorzPosition(FWorkspace->HorzPosition());
  FWorkspace->SetVertPosition(FWorkspace->VertPosition());
  if (!FRefreshing) {
    FWorkspace->Invalidate();
    FThumbnail->Invalidate();
  }
  if (TqvxPreviewForm* form = HostForm()) form->UpdateZoom();
  FThumbnail->SetDoubleBuffered(false);
}

void TqvxPreview::SetZoom(Extended value) {
  if (!(value >= 0.25L)) value = 0.25L;  // NaN too
  FZoom = std::min(value, kMaxZoom);
  FZoomMode = zmDefault;
  UpdatePages();
}

void TqvxPreview::SetZoomMode(TqvxZoomMode value) {
  FZoomMode = value;
  UpdatePages();
}

void TqvxPreview::SetPageNo(int value) {
  if (value <= 0) value = 1;
  if (value > PageCount()) value = PageCount();
  const int old = FPageNo;
  FPageNo = value;
  FWorkspace->SetPageNo(value);
  FThumbnail->SetPageNo(value);
  if (value != old) {
    FWorkspace->DrawPages(true);
    FThumbnail->DrawPages(true);
  }
  FWorkspace->SetToPageNo(value);
  FThumbnail->SetToPageNo(value);
  UpdatePageNumbers();
}

void TqvxPreview::UpdatePageNumbers() {
  if (OnPageChanged) OnPageChanged(this, FPageNo);
}

void TqvxPreview::SetPosition(int pageN, int top) {
  pageN = std::max(std::min(pageN, PageCount()), 1);
  FWorkspace->SetPosition(pageN, top);
}

int TqvxPreview::GetTopPosition() { return FWorkspace->GetTopPosition(); }

void TqvxPreview::MouseWheelScroll(int delta, bool horz, bool zoom) {
  if (delta == 0) return;
  const int sign = delta > 0 ? 1 : -1;
  if (zoom) {
    Extended z = FZoom + sign / 10.0L;
    if (z < 0.3L) z = 0.3L;
    SetZoom(z);
  } else {
    const int step = -sign * 20;
    if (horz)
      FWorkspace->SetHorzPosition(FWorkspace->HorzPosition() + step);
    else
      FWorkspace->SetVertPosition(FWorkspace->VertPosition() + step);
  }
}

// --- side panel

bool TqvxPreview::OutlineVisible() const { return FOutline->Visible(); }
bool TqvxPreview::ThumbnailVisible() const { return FThumbnail->Visible(); }
int TqvxPreview::OutlineWidth() const { return FOutline->Width(); }

void TqvxPreview::SetOutlineVisible(bool value) {
  const bool was = FOutline->Visible();
  FSplitter->SetVisible(value || FThumbnail->Visible());
  FOutline->SetVisible(value);
  if (value) {
    FThumbnail->SetVisible(false);
    FSplitter->SetLeft(FOutline->Left() + FOutline->Width() + 1);
  }
  if (TqvxPreviewForm* form = HostForm()) form->SetSideButtons(value, value ? false : FThumbnail->Visible());
  if (value != was) UpdatePages();
}

void TqvxPreview::SetThumbnailVisible(bool value) {
  const bool was = FThumbnail->Visible();
  FSplitter->SetVisible(value || FOutline->Visible());
  FThumbnail->SetVisible(value);
  if (value) {
    FOutline->SetVisible(false);
    FSplitter->SetLeft(FThumbnail->Left() + FThumbnail->Width() + 1);
    FThumbnail->SetHorzPosition(FThumbnail->HorzPosition());
    FThumbnail->SetVertPosition(FThumbnail->VertPosition());
  }
  if (TqvxPreviewForm* form = HostForm()) form->SetSideButtons(value ? false : FOutline->Visible(), value);
  if (value != was) {
    UpdatePages();
    FThumbnail->SetToPageNo(FPageNo);
  }
}

void TqvxPreview::SetOutlineWidth(int value) {
  FOutline->SetWidth(value);
  FThumbnail->SetWidth(value);
}

void TqvxPreview::SetOutlineColor(TColor value) {
  FOutlineColor = value;
  FOutline->SetColor(value);
}

void TqvxPreview::FillOutline(TTreeNode* parent) {
  TqvxCustomOutline* outline = PreviewPages()->Outline();
  const int count = outline->GetCount();
  for (int i = 0; i < count; ++i) {
    String text;
    rtl::Integer page = 0, top = 0;
    outline->GetItem(i, text, page, top);
    TTreeNode* node = FOutline->Items()->AddChildObject(parent, text, reinterpret_cast<void*>(static_cast<intptr_t>(top)));
    node->SetImageIndex(page + 1);
    outline->LevelDown(i);
    FillOutline(node);
    outline->LevelUp();
  }
}

void TqvxPreview::UpdateOutline() {
  FOutline->Items()->BeginUpdate();
  try {
    FOutline->Items()->Clear();
    if (PreviewPages() && PreviewPages()->Outline()) {
      PreviewPages()->Outline()->LevelRoot();
      FillOutline(nullptr);
      if (Report() && Report()->PreviewOptions()->OutlineExpand) FOutline->FullExpand();
    }
  } catch (...) {
    FOutline->Items()->EndUpdate();
    throw;
  }
  FOutline->Items()->EndUpdate();
}

void TqvxPreview::OnOutlineClick(rtl::TObject*, TTreeNode* node) {
  if (!node) return;
  SetPosition(node->ImageIndex(), static_cast<int>(reinterpret_cast<intptr_t>(node->Data())));
  FocusWorkspace();
}

void TqvxPreview::OnCollapseClick(rtl::TObject*) {
  FOutline->FullCollapse();
  FocusWorkspace();
}

void TqvxPreview::OnExpandClick(rtl::TObject*) {
  FOutline->FullExpand();
  FocusWorkspace();
}

void TqvxPreview::OnCancelClick(rtl::TObject*) {
  if (Report()) Report()->SetTerminated(true);
}

void TqvxPreview::OnSplitterMoved(rtl::TObject*) { UpdatePages(); }

// --- keys

void TqvxPreview::KeyDown(rtl::Word& key, TShiftState shift) {
  TqvxCustomPreview::KeyDown(key, shift);
  const bool ctrl = shift.Contains(ssCtrl);
  const TqvxPreviewButtons b = Buttons();
  switch (key) {
    case VK_UP: FWorkspace->SetVertPosition(FWorkspace->VertPosition() - 8); break;
    case VK_DOWN: FWorkspace->SetVertPosition(FWorkspace->VertPosition() + 8); break;
    case VK_LEFT: FWorkspace->SetHorzPosition(FWorkspace->HorzPosition() - 8); break;
    case VK_RIGHT: FWorkspace->SetHorzPosition(FWorkspace->HorzPosition() + 8); break;
    case VK_PRIOR:
      if (ctrl)
        SetPageNo(FPageNo - 1);
      else
        FWorkspace->SetVertPosition(FWorkspace->VertPosition() - 300);
      break;
    case VK_NEXT:
      if (ctrl)
        SetPageNo(FPageNo + 1);
      else
        FWorkspace->SetVertPosition(FWorkspace->VertPosition() + 300);
      break;
    case VK_HOME: SetPageNo(1); break;
    case VK_END: SetPageNo(PageCount()); break;
    case VK_F3:
      if (b.Contains(pbFind)) FindNext();
      break;
    case 'P':
      if (ctrl && b.Contains(pbPrint)) Print();
      break;
    case 'S':
      if (ctrl && b.Contains(pbSave)) SaveToFile();
      break;
    case 'F':
      if (ctrl && b.Contains(pbFind)) Find();
      break;
    case 'O':
      if (ctrl && b.Contains(pbLoad)) LoadFromFile();
      break;
  }
}

void TqvxPreview::Resize() {
  TqvxCustomPreview::Resize();
  if (PreviewPages()) UpdatePages();
}

void TqvxPreview::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; return;
    case WM_MOUSEWHEEL: {
      const int delta = static_cast<short>(HIWORD(m.WParam));
      MouseWheelScroll(delta, false, (LOWORD(m.WParam) & MK_CONTROL) != 0);
      m.Result = 0;
      return;
    }
  }
  TqvxCustomPreview::Dispatch(m);
}

void TqvxPreview::Notification(TComponent* component, TOperation operation) {
  TqvxCustomPreview::Notification(component, operation);
  if (operation == opRemove && component && component == static_cast<TComponent*>(Report())) {
    Clear();
    SetReport(nullptr);
    SetPreviewPages(nullptr);
  }
}

// --- progress of a preparation

void TqvxPreview::InternalOnProgressStart(TqvxReport* report, TqvxProgressType, rtl::Integer) {
  if (FPreparingDetail) return;
  if (FRefreshing) return;
  Clear();
  if (Report()) Report()->DrillState()->Clear();
  FRunning = true;
  if (TqvxPreviewForm* form = HostForm()) form->UpdateControls();
}

void TqvxPreview::InternalOnProgress(TqvxReport* report, TqvxProgressType, rtl::Integer progress) {
  if (FPreparingDetail) return;
  if (FRefreshing) {
    UpdatePageNumbers();
    return;
  }
  TqvxReport* r = Report() ? Report() : report;
  const bool finalPass = r && r->Engine() && r->Engine()->FinalPass;
  const int n = progress;
  if (finalPass && PreviewPages() && n < 50) {
    const TqvxPoint s = PreviewPages()->GetPageSize(n);
    FWorkspace->AddPage(static_cast<int>(s.X), static_cast<int>(s.Y));
    FWorkspace->CalcPageBounds(ViewWidth(FWorkspace));
  }
  if (n == 0) {
    SetPageNo(1);
    if (finalPass) UpdatePages();
    if (TqvxPreviewForm* form = HostForm()) form->SetCancelCaption(qvxResources().Get(L"clCancel"));
    FTick = GetTickCount();
  } else if (n == 1) {
    const unsigned d = GetTickCount() - FTick;
    FTick = d < 5 ? 50 : d < 10 ? 20 : 5;
    SetPageNo(1);
    if (finalPass) UpdatePages();
  } else if (n >= 2 && FTick != 0 && n % FTick == 0) {
    UpdatePageNumbers();
    if (finalPass) FWorkspace->UpdateScrollBars();
  }
  Application->ProcessMessages();
}

void TqvxPreview::InternalOnProgressStop(TqvxReport*, TqvxProgressType, rtl::Integer) {
  if (FPreparingDetail) return;
  if (FRefreshing) return;
  FRunning = false;
  UpdatePageNumbers();
  FWorkspace->UpdateScrollBars();
  FThumbnail->UpdateScrollBars();
  UpdatePages();
  UpdateOutline();
  if (TqvxPreviewForm* form = HostForm()) {
    form->SetCancelCaption(qvxResources().Get(L"clClose"));
    form->SetStatusText(1, L"");
    form->UpdateControls();
  }
}

void TqvxPreview::RefreshReport() {
  if (!Report()) return;
  const TPoint offset = FWorkspace->Offset();
  const int p = FPageNo;
  Lock();
  FRefreshing = true;
  try {
    Report()->PrepareReport(true);
    FLocked = false;
    FThumbnail->SetLocked(false);
    FPageNo = PageCount() < p ? 1 : p;
    UpdatePages();
    UpdateOutline();
  } catch (...) {
    FRefreshing = false;
    FLocked = false;
    FThumbnail->SetLocked(false);
    FWorkspace->SetLocked(false);
    throw;
  }
  FRefreshing = false;
  FWorkspace->SetOffset(offset);
  FWorkspace->SetLocked(false);
  FWorkspace->Invalidate();
  FThumbnail->Invalidate();
  if (PageCount() < p) SetPageNo(1);
}

// --- commands

void TqvxPreview::Print() {
  if (FRunning || !PreviewPages()) return;
  PreviewPages()->CurPreviewPage = FPageNo;
  try {
    PreviewPages()->Print();
  } catch (...) {
    Unlock();
    throw;
  }
  Unlock();
}

void TqvxPreview::SaveToFile() {
  if (FRunning) return;
  TSaveDialog dialog(Application);
  dialog.SetOptions(dialog.Options() + ofNoChangeDir);
  dialog.SetFilter(qvxResources().Get(L"clQP3files") + L" (*.qp3)|*.qp3");
  if (!dialog.Execute()) return;
  FWorkspace->Repaint();
  String name = dialog.FileName();
  const size_t dot = name.find_last_of(L'.');
  const size_t slash = name.find_last_of(L"\\/");
  if (dot != String::npos && (slash == String::npos || dot > slash)) name.erase(dot);
  SaveToFile(name + L".qp3");
}

void TqvxPreview::SaveToFile(const String& fileName) {
  if (FRunning || !PreviewPages()) return;
  Lock();
  try {
    ShowMessage(qvxResources().Get(L"clSaving"));
    PreviewPages()->SaveToFile(fileName);
  } catch (...) {
    Unlock();
    throw;
  }
  Unlock();
}

void TqvxPreview::LoadFromFile() {
  if (FRunning) return;
  TOpenDialog dialog(nullptr);
  dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofNoChangeDir});
  dialog.SetFilter(qvxResources().Get(L"clQP3files") + L" (*.qp3)|*.qp3");
  if (!dialog.Execute()) return;
  FWorkspace->Repaint();
  LoadFromFile(dialog.FileName());
}

void TqvxPreview::LoadFromFile(const String& fileName) {
  if (FRunning || !PreviewPages()) return;
  Lock();
  auto after = [&] {
    FPageNo = 1;
    UpdateOutline();
    Unlock();
    SetPageNo(1);
  };
  try {
    ShowMessage(qvxResources().Get(L"clLoading"));
    PreviewPages()->LoadFromFile(fileName);
  } catch (...) {
    after();
    throw;
  }
  after();
}

void TqvxPreview::Export(TqvxCustomExportFilter* filter) {
  if (FRunning || !PreviewPages()) return;
  PreviewPages()->CurPreviewPage = FPageNo;
  // A dot-matrix report exports as text through the dot-matrix filter when there is one.
  if (Report() && Report()->DotMatrixReport && qvxDotMatrixExport && filter && filter->ClassName() == L"TqvxTextExport")
    filter = qvxDotMatrixExport;
  try {
    PreviewPages()->Export(filter);
  } catch (...) {
    Unlock();
    throw;
  }
  Unlock();
}

void TqvxPreview::Find() {
  TqvxSearchDialog dialog(Application);
  if (dialog.ShowModal() == mrOk) {
    TqvxSearchState& s = qvxSearch();
    s.TextToFind = dialog.TextE->Text();
    s.CaseSensitive = dialog.CaseCB->Checked();
    FWorkspace->SetLastFoundPage(dialog.TopCB->Checked() ? 0 : FPageNo - 1);
    s.LastFoundRecord = -1;
    FWorkspace->FindText();
  }
  FAllowF3 = true;
}

void TqvxPreview::FindNext() {
  if (FAllowF3) FWorkspace->FindText();
}

bool TqvxPreview::FindText(const String& searchString, bool fromTop, bool isCaseSensitive) {
  TqvxSearchState& s = qvxSearch();
  s.TextToFind = searchString;
  s.CaseSensitive = isCaseSensitive;
  FWorkspace->SetLastFoundPage(fromTop ? 0 : FPageNo - 1);
  s.LastFoundRecord = -1;
  FWorkspace->FindText();
  FAllowF3 = true;
  return s.TextFound;
}

bool TqvxPreview::FindTextFound() const { return qvxSearch().TextFound; }

void TqvxPreview::FindTextClear() {
  qvxSearch().LastFoundRecord = -1;
  FWorkspace->SetLastFoundPage(0);
  qvxSearch().TextFound = false;
  FWorkspace->Invalidate();
}

void TqvxPreview::PageSetupDlg() {
  if (FRunning || !PreviewPages() || !Report()) return;
  TqvxReportPage* page = PreviewPages()->GetPage(FPageNo - 1);
  if (!page) return;
  std::unique_ptr<TqvxPageSettingsForm> form(new TqvxPageSettingsForm(Application));
  form->SetPage(page);
  form->SetReport(Report());
  if (form->ShowModal() != mrOk) return;
  if (form->NeedRebuild()) {
    for (int i = 0; i < Report()->PagesCount(); ++i) {
      auto* p = dynamic_cast<TqvxReportPage*>(Report()->Pages(i));
      if (!p) continue;
      p->SetOrientation(page->Orientation());
      p->SetPaperWidth(page->PaperWidth());
      p->SetPaperHeight(page->PaperHeight());
      p->SetPaperSize(page->PaperSize());
      p->LeftMargin = page->LeftMargin;
      p->RightMargin = page->RightMargin;
      p->TopMargin = page->TopMargin;
      p->BottomMargin = page->BottomMargin;
    }
    Report()->PrepareReport(true);
  } else {
    Lock();
    try {
      PreviewPages()->ModifyPage(FPageNo - 1, page);
    } catch (...) {
      Unlock();
      throw;
    }
    Unlock();
  }
}

void TqvxPreview::Edit() {
  // Editing a page goes through the report designer, which this program does not have: the report answers that
  // nothing was designed and the pages stay as they are.
  if (FRunning || !PreviewPages() || !Report()) return;
  if (!PreviewPages()->GetPage(FPageNo - 1)) return;
  if (Report()->DesignPreviewPage()) {
    Lock();
    Unlock();
  }
}

void TqvxPreview::EditTemplate() {
  if (Report()) Report()->DesignReport(true, false);
}

void TqvxPreview::AddPage() {
  if (FRunning || !PreviewPages()) return;
  PreviewPages()->AddEmptyPage(FPageNo - 1);
  UpdatePages();
  SetPageNo(FPageNo);
}

void TqvxPreview::DeletePage() {
  if (FRunning || !PreviewPages() || PageCount() == 0) return;
  PreviewPages()->DeletePage(FPageNo - 1);
  if (FPageNo >= PageCount()) SetPageNo(FPageNo - 1);
  UpdatePages();
  UpdatePageNumbers();
}

void TqvxPreview::Clear() {
  if (FRunning || !PreviewPages()) return;
  Lock();
  try {
    PreviewPages()->Clear();
  } catch (...) {
    Unlock();
    throw;
  }
  Unlock();
  FWorkspace->ClearPageList();
  FThumbnail->ClearPageList();
  UpdateOutline();
  SetPageNo(1);
  FWorkspace->SetHorzRange(0);
  FWorkspace->SetVertRange(0);
  if (FThumbnail->Visible()) {
    FThumbnail->SetHorzRange(0);
    FThumbnail->SetVertRange(0);
  }
  FWorkspace->Invalidate();
}

void TqvxPreview::Cancel() {
  if (FRunning && Report()) Report()->SetTerminated(true);
}

void TqvxPreview::ShowMessage(const String& text) {
  FMessagePanel->SetBounds((Width() - 260) / 2, (Height() - 75) / 3, 260, 75);
  FMessageLabel->SetCaption(text);
  FMessagePanel->SetVisible(true);
  FMessagePanel->BringToFront();
  FMessagePanel->Repaint();
}

void TqvxPreview::HideMessage() {
  FMessagePanel->SetVisible(false);
  FCancelButton->SetVisible(false);
}

// --- what the page drawing and the mouse over pages ask of the preview

void TqvxPreview::GotoPage(rtl::Integer page, rtl::Integer top) {
  SetPosition(page, top);
  SetPageNo(std::max(std::min(page, PageCount()), 1));
}

void TqvxPreview::ShowReportHint(const String& hint, bool show, int, int) {
  // The workspace's own hint is the one the hint window shows while the mouse rests over the object.
  FWorkspace->SetHint(show ? hint : String());
  FWorkspace->SetShowHint(show);
}

void TqvxPreview::InvalidateWorkspace() { FWorkspace->Invalidate(); }

bool TqvxPreview::SwitchToTab(const String& name) {
  if (!FTabItems->HasTab(name)) return false;
  FTabItems->SwitchToTab(name);
  return true;
}

void TqvxPreview::AddTab(TqvxReport* report, const String& name, const String& caption) {
  FTabItems->AddTab(report, name, caption, true);
}

void TqvxPreview::AddDetailPageTab(TqvxReport* report, TqvxPage* page, const String& name, const String& caption) {
  // The pages shown now stay with their tab; the detail page is prepared into a store of its own, which its tab
  // owns. The preview takes no part in that preparation (its progress would lay out the shown tab again).
  TqvxCustomPreviewPages* fresh = qvxPagesLink().CreatePreviewPages(report);
  TqvxCustomPreviewPages* shown = report->ExchangePreviewPages(fresh);
  bool prepared = false;
  FPreparingDetail = true;
  try {
    prepared = report->PreparePage(page);
  } catch (...) {
    FPreparingDetail = false;
    report->ExchangePreviewPages(shown);
    delete fresh;
    throw;
  }
  FPreparingDetail = false;
  if (!prepared) {
    report->ExchangePreviewPages(shown);
    delete fresh;
    return;
  }
  FTabItems->AddTab(report, name, caption, true);
}

// --- tabs

void TqvxPreview::OnTabChange(rtl::TObject*) {
  const int index = FTabs->TabIndex();
  if (index >= 0) FTabItems->SetCurrentTab(index);
}

void TqvxPreview::OnTabsMouseUp(rtl::TObject*, TMouseButton button, TShiftState, int x, int y) {
  const int index = FTabs->TabIndex();
  if (button != mbLeft || index <= 0) return;
  const RECT r = FTabs->TabRect(index);
  if (r.right <= r.left) return;
  // The close glyph of the selected tab; the report's own first tab stays.
  if (x >= r.left + 8 && x <= r.left + 18 && y >= 6 && y <= 18) FTabItems->RemoveTab(index);
}

// --- TqvxPreviewTabRow

RECT TqvxPreviewTabRow::TabRect(int index) {
  RECT r{};
  if (!HandleAllocated() || !SendMessageW(Handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return RECT{};
  return r;
}

VCL_REGISTER(TqvxPreviewTabRow) {}

// --- TqvxPreviewTabs

TqvxPreviewTabs::~TqvxPreviewTabs() = default;

void TqvxPreviewTabs::ShowRow() { FPreview->FTabs->SetVisible(Count() >= 2); }

void TqvxPreviewTabs::AddTab(TqvxReport* report, const String& tabName, const String& tabCaption, bool freeObjects) {
  // One close glyph per tab: the library's close picture on the list's transparent colour.
  TImageList* glyphs = FPreview->FTabImgList;
  if (Count() >= glyphs->Count()) {
    TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(static_cast<TColor>(0x008080));
    glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    if (TImageList* buttons = qvxResources().GetPreviewButtonImages(); buttons && buttons->Count() > 17)
      buttons->Draw(glyph.Canvas(), 0, 0, 17);
    glyphs->AddMasked(&glyph, glyph.TransparentColor());
  }
  auto* sheet = new TTabSheet(FPreview);
  sheet->SetPageControl(FPreview->FTabs);
  sheet->SetCaption(tabCaption.empty() ? tabName : tabCaption);
  sheet->SetImageIndex(sheet->PageIndex());
  auto item = std::make_unique<TqvxPreviewTabItem>();
  item->Name = tabName;
  item->Zoom = FPreview->FZoom;
  item->Report = report;
  item->PreviewPages = report ? report->PreviewPages() : FPreview->PreviewPages();
  item->PageNo = 1;
  item->FreeObjects = freeObjects;
  FItems.push_back(std::move(item));
  ShowRow();
  FPreview->FTabs->SetActivePageIndex(Count() - 1);
  if (Count() > 1) SetCurrentTab(Count() - 1);
}

void TqvxPreviewTabs::AddTabOrSwitch(TqvxReport* report, const String& tabName, const String& tabCaption,
                                     bool freeObjects) {
  if (HasTab(report)) {
    SwitchToTab(report);
    return;
  }
  String name = tabName;
  if (name.empty() && report) name = report->FileName.empty() ? report->ReportOptions()->Name : FileNameOnly(report->FileName);
  AddTab(report, name, tabCaption, freeObjects);
}

bool TqvxPreviewTabs::HasTab(TqvxReport* report) const {
  for (const auto& item : FItems)
    if (item->Report == report && report && item->PreviewPages == report->PreviewPages()) return true;
  return false;
}

bool TqvxPreviewTabs::HasTab(const String& name) const {
  for (const auto& item : FItems)
    if (item->Name == name) return true;
  return false;
}

void TqvxPreviewTabs::SwitchToTab(TqvxReport* report) {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i]->Report == report) {
      FPreview->FTabs->SetActivePageIndex(i);
      SetCurrentTab(i);
      return;
    }
}

void TqvxPreviewTabs::SwitchToTab(const String& name) {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i]->Name == name) {
      FPreview->FTabs->SetActivePageIndex(i);
      SetCurrentTab(i);
      return;
    }
}

void TqvxPreviewTabs::SetFirst(TqvxReport* report, TqvxCustomPreviewPages* pages) {
  if (FItems.empty()) return;
  FItems[0]->Report = report;
  FItems[0]->PreviewPages = pages;
}

void TqvxPreviewTabs::SetCurrentTab(int index) {
  if (FItems.empty() || index < 0 || index >= Count()) return;
  TqvxPreview* p = FPreview;
  if (FCurTab >= 0 && FCurTab < Count()) {
    TqvxPreviewTabItem& cur = *FItems[FCurTab];
    cur.Zoom = p->FZoom;
    cur.Left = p->FWorkspace->HorzPosition();
    cur.Top = p->FWorkspace->VertPosition();
    cur.PageNo = p->FPageNo;
  }
  TqvxPreviewTabItem& item = *FItems[index];
  p->SetReport(item.Report);
  // Tabs of one report hold stores of their own (a detail page's): binding one must not free another.
  if (item.Report) item.Report->ExchangePreviewPages(item.PreviewPages);
  if (p->FCalledFromPreview && item.Report) item.Report->SetPreview(p);
  p->SetPreviewPages(item.PreviewPages);
  p->FWorkspace->SetPreviewPages(item.PreviewPages);
  p->FThumbnail->SetPreviewPages(item.PreviewPages);
  const int count = p->PageCount();
  int pageNo = item.PageNo;
  if (pageNo == 0 && count > 0) pageNo = 1;
  // A view state carried over from a closed tab may point past this report's pages.
  if (pageNo > count) pageNo = count;
  p->FPageNo = std::max(pageNo, count > 0 ? 1 : 0);
  if (p->FZoomMode == zmDefault)
    p->SetZoom(item.Zoom);
  else
    p->UpdatePages();
  p->FWorkspace->UpdateScrollBars();
  p->FWorkspace->SetVertPosition(item.Top);
  p->SetPageNo(p->FPageNo);
  p->UpdateOutline();
  FCurTab = index;
}

void TqvxPreviewTabs::RemoveTab(int index) {
  if (index < 0 || index >= Count()) return;
  const int selected = index == 0 ? 1 : index - 1;
  FPreview->FTabs->SetActivePageIndex(selected);
  DeleteTab(index);
  const int now = index == 0 ? 0 : selected;
  if (FPreview->FCalledFromPreview && now < Count() && FItems[now]->Report) FItems[now]->Report->SetPreview(FPreview);
  FCurTab = now;
  SetCurrentTab(now);
  ShowRow();
}

void TqvxPreviewTabs::DeleteTab(int index) {
  if (index < 0 || index >= Count()) return;
  TqvxPreviewTabItem& item = *FItems[index];
  if (FPreview->FCalledFromPreview && item.Report) item.Report->SetPreview(nullptr);
  if (item.FreeObjects && index > 0) {
    bool shared = false;
    for (int i = 0; i < Count(); ++i)
      if (i != index && FItems[i]->Report == item.Report) shared = true;
    if (!shared && item.Report)
      item.Report->Free();
    else
      delete item.PreviewPages;
  }
  if (index < FPreview->FTabs->PageCount()) delete FPreview->FTabs->Pages(index);
  FItems.erase(FItems.begin() + index);
  if (FCurTab >= Count()) FCurTab = std::max(Count() - 1, 0);
}

void TqvxPreviewTabs::ClearTabs() {
  if (FItems.empty()) return;
  if (FItems[0]->Report) FItems[0]->Report->ExchangePreviewPages(FItems[0]->PreviewPages);
  while (Count() > 1) DeleteTab(Count() - 1);
}

VCL_REGISTER(TqvxPreview) {}
