#include "report/preview/qvxPreviewForm.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"

using namespace vcl;
using rtl::String;

namespace {

constexpr UINT WM_UPDATEZOOM = WM_USER + 1;

}  // namespace

// --- TqvxPreviewToolBar

void TqvxPreviewToolBar::AlignControls(TControl* control, TRect& rect) {
  int x = rect.Left + 2;
  for (TControl* c : controls_) {
    if (!c->Visible()) continue;
    auto* b = dynamic_cast<TToolButton*>(c);
    int w = c->Width();
    if (b) w = b->Style() == tbsSeparator || b->Style() == tbsDivider ? 8 : ButtonWidth();
    c->SetBounds(x, rect.Top + 2, w, ButtonHeight());
    x += w;
  }
}

// --- TqvxPreviewForm

TToolButton* TqvxPreviewForm::Button(const wchar_t* name, int image, int caption, int hint, void (TqvxPreviewForm::*click)(rtl::TObject*),
                                     TToolButtonStyle style) {
  auto* b = new TToolButton(this);
  b->SetName(name);
  b->SetParent(ToolBar);
  b->SetStyle(style);
  b->SetImageIndex(image);
  if (caption) b->SetCaption(qvxGet(caption));
  if (hint) b->SetHint(qvxGet(hint));
  b->SetShowHint(true);
  b->OnClick.Bind(this, click);
  return b;
}

TToolButton* TqvxPreviewForm::Separator(const wchar_t* name) {
  auto* b = new TToolButton(this);
  b->SetName(name);
  b->SetParent(ToolBar);
  b->SetStyle(tbsSeparator);
  b->SetWidth(8);
  return b;
}

TqvxPreviewForm::TqvxPreviewForm(TComponent* owner) : TqvxCustomPreviewForm(owner) {
  SetPosition(poScreenCenter);
  Font()->SetName(L"Tahoma");
  Font()->SetHeight(-11);
  SetKeyPreview(true);
  SetShowHint(true);
  SetClientSize(803, 584);
  SetCaption(qvxGet(100));
  OnCloseQuery.Bind(this, &TqvxPreviewForm::OnCloseQueryHandler);

  ToolBar = new TqvxPreviewToolBar(this);
  ToolBar->SetName(L"ToolBar");
  ToolBar->SetParent(this);
  ToolBar->SetAlign(alTop);
  ToolBar->SetButtonHeight(23);
  ToolBar->SetHeight(29);
  ToolBar->SetFlat(true);
  ToolBar->SetImages(qvxResources().GetPreviewButtonImages());

  PrintB = Button(L"PrintB", 2, 101, 102, &TqvxPreviewForm::PrintBClick);
  OpenB = Button(L"OpenB", 0, 103, 104, &TqvxPreviewForm::OpenBClick);
  SaveB = Button(L"SaveB", 1, 105, 106, &TqvxPreviewForm::SaveBClick);
  PdfB = Button(L"PdfB", 24, 0, 151, &TqvxPreviewForm::ExportClick);
  PdfB->SetVisible(false);
  EmailB = Button(L"EmailB", 23, 0, 152, &TqvxPreviewForm::ExportClick);
  EmailB->SetVisible(false);
  FindB = Button(L"FindB", 4, 109, 110, &TqvxPreviewForm::FindBClick);
  Sep1 = Separator(L"Sep1");
  ZoomPlusB = Button(L"ZoomPlusB", 15, 124, 125, &TqvxPreviewForm::ZoomPlusBClick);
  Sep3 = new TqvxTBPanel(this);
  Sep3->SetName(L"Sep3");
  Sep3->SetParent(ToolBar);
  Sep3->SetAlign(alNone);
  Sep3->SetWidth(56);
  ZoomCB = new TqvxComboBox(this);
  ZoomCB->SetName(L"ZoomCB");
  ZoomCB->SetParent(Sep3);
  ZoomCB->SetBounds(4, 2, 49, 19);
  ZoomCB->SetListWidth(100);
  ZoomCB->SetHint(qvxGet(119));
  ZoomCB->SetShowHint(true);
  for (const wchar_t* z : {L"25%", L"50%", L"75%", L"100%", L"150%", L"200%"}) ZoomCB->Items()->Add(z);
  ZoomCB->Items()->Add(qvxResources().Get(L"zmPageWidth"));
  ZoomCB->Items()->Add(qvxResources().Get(L"zmWholePage"));
  ZoomCB->OnSelect.Bind(this, &TqvxPreviewForm::ZoomCBSelect);
  ZoomMinusB = Button(L"ZoomMinusB", 16, 126, 127, &TqvxPreviewForm::ZoomMinusBClick);
  FullScreenBtn = Button(L"FullScreenBtn", 22, 0, 150, &TqvxPreviewForm::FullScreenBtnClick);
  FullScreenBtn->SetCaption(L"F");
  Sep2 = Separator(L"Sep2");
  OutlineB = Button(L"OutlineB", 12, 128, 129, &TqvxPreviewForm::OutlineBClick, tbsCheck);
  OutlineB->SetGrouped(true);
  OutlineB->SetAllowAllUp(true);
  ThumbB = Button(L"ThumbB", 5, 130, 131, &TqvxPreviewForm::ThumbBClick, tbsCheck);
  ThumbB->SetGrouped(true);
  ThumbB->SetAllowAllUp(true);
  PageSettingsB =
      Button(L"PageSettingsB", 7, 120, 121, &TqvxPreviewForm::PageSettingsBClick);
  DesignerB = Button(L"DesignerB", 21, 132, 133, &TqvxPreviewForm::DesignerBClick);
  DesignerB->OnMouseUp.Bind(this, &TqvxPreviewForm::DesignerBMouseUp);
  Sep5 = Separator(L"Sep5");
  FirstB = Button(L"FirstB", 8, 134, 135, &TqvxPreviewForm::FirstBClick);
  PriorB = Button(L"PriorB", 9, 136, 137, &TqvxPreviewForm::PriorBClick);
  Sep4 = new TqvxTBPanel(this);
  Sep4->SetName(L"Sep4");
  Sep4->SetParent(ToolBar);
  Sep4->SetAlign(alNone);
  Sep4->SetWidth(73);
  PageE = new TEdit(this);
  PageE->SetName(L"PageE");
  PageE->SetParent(Sep4);
  PageE->SetBounds(4, 2, 37, 19);
  PageE->SetText(L"1");
  PageE->SetHint(qvxGet(142));
  PageE->SetShowHint(true);
  OfNL = new TLabel(this);
  OfNL->SetName(L"OfNL");
  OfNL->SetParent(Sep4);
  OfNL->SetBounds(48, 5, 30, 13);
  OfNL->SetCaption(L"of N");
  NextB = Button(L"NextB", 10, 138, 139, &TqvxPreviewForm::NextBClick);
  LastB = Button(L"LastB", 11, 140, 141, &TqvxPreviewForm::LastBClick);
  qvTBPanel1 = new TqvxTBPanel(this);
  qvTBPanel1->SetName(L"qvTBPanel1");
  qvTBPanel1->SetParent(ToolBar);
  qvTBPanel1->SetAlign(alNone);
  qvTBPanel1->SetWidth(35);
  CancelB = new TSpeedButton(this);
  CancelB->SetName(L"CancelB");
  CancelB->SetParent(ToolBar);
  CancelB->SetBounds(0, 0, 68, 23);
  CancelB->SetSpacing(2);
  CancelB->SetFlat(true);
  CancelB->SetCaption(qvxResources().Get(L"clClose"));
  CancelB->OnClick.Bind(this, &TqvxPreviewForm::CancelBClick);

  StatusBar = new TStatusBar(this);
  StatusBar->SetName(L"StatusBar");
  StatusBar->SetParent(this);
  StatusBar->SetAlign(alBottom);
  for (int w : {200, 50, 50}) StatusBar->Panels()->Add()->SetWidth(w);
  FStatusBarOldWindowProc = StatusBar->WindowProc;
  StatusBar->WindowProc = MakeWndMethod(this, &TqvxPreviewForm::StatusBarWndProc);
  if (Screen && GetDeviceCaps(GetDC(nullptr), LOGPIXELSY) > 96) StatusBar->SetHeight(24);

  ExportPopup = new TPopupMenu(this);
  HiddenMenu = new TPopupMenu(this);
  Showtemplate1 = new TMenuItem(HiddenMenu);
  Showtemplate1->SetCaption(L"Show template");
  Showtemplate1->OnClick.Bind(this, &TqvxPreviewForm::ShowTemplateClick);
  HiddenMenu->Items()->Add(Showtemplate1);
  RightMenu = new TPopupMenu(this);
  CollapseMI = new TMenuItem(RightMenu);
  CollapseMI->SetCaption(qvxGet(601));
  CollapseMI->OnClick.Bind(this, &TqvxPreviewForm::CollapseClick);
  RightMenu->Items()->Add(CollapseMI);
  ExpandMI = new TMenuItem(RightMenu);
  ExpandMI->SetCaption(qvxGet(600));
  ExpandMI->OnClick.Bind(this, &TqvxPreviewForm::ExpandClick);
  RightMenu->Items()->Add(ExpandMI);
  N1 = new TMenuItem(RightMenu);
  N1->SetCaption(L"-");
  RightMenu->Items()->Add(N1);

  FPreview = new TqvxPreview(this);
  FPreview->SetName(L"Preview");
  FPreview->SetParent(this);
  FPreview->SetAlign(alClient);
  FPreview->SetBorderStyle(bsNone);
  FPreview->OnPageChanged.Bind(this, &TqvxPreviewForm::OnPageChanged);
  FPreview->OnDblClick.Bind(this, &TqvxPreviewForm::OnPreviewDblClick);
  SetActiveControl(FPreview->Workspace());
}

TqvxPreviewForm::~TqvxPreviewForm() {
  if (StatusBar && StatusBar->WindowProc == MakeWndMethod(this, &TqvxPreviewForm::StatusBarWndProc))
    StatusBar->WindowProc = FStatusBarOldWindowProc;
}

void TqvxPreviewForm::StatusBarWndProc(TMessage& m) {
  // A change of the system's colours goes to the system's status bar alone: the panels keep their texts.
  if (m.Msg == WM_SYSCOLORCHANGE && StatusBar->HandleAllocated()) {
    m.Result = DefWindowProcW(StatusBar->Handle(), m.Msg, m.WParam, m.LParam);
    return;
  }
  FStatusBarOldWindowProc(m);
}

void TqvxPreviewForm::Init() {
  TqvxReport* report = Report();
  if (!report) return;
  TqvxPreviewOptions* o = report->PreviewOptions();
  const TqvxPreviewButtons b = o->Buttons;
  FPreview->Init(report, report->PreviewPages());
  if (o->Maximized) SetWindowState(wsMaximized);
  if (o->MDIChild) SetFormStyle(fsMDIChild);
  FPreview->SetZoom(o->Zoom);
  FPreview->SetZoomMode(o->ZoomMode);
  DesignerB->SetEnabled(o->AllowEdit);
  FPreview->Workspace()->SetRTLLanguage(o->RTLPreview);

  PrintB->SetVisible(b.Contains(pbPrint));
  OpenB->SetVisible(b.Contains(pbLoad));
  SaveB->SetVisible(b.Contains(pbSave) || b.Contains(pbExport));
  FindB->SetVisible(b.Contains(pbFind));
  PdfB->SetVisible(false);
  EmailB->SetVisible(false);
  const bool zoom = b.Contains(pbZoom);
  ZoomPlusB->SetVisible(zoom);
  ZoomMinusB->SetVisible(zoom);
  Sep3->SetVisible(zoom);
  FullScreenBtn->SetVisible(zoom && !b.Contains(pbNoFullScreen));
  if (!zoom) Sep1->SetVisible(false);
  OutlineB->SetVisible(b.Contains(pbOutline));
  ThumbB->SetVisible(b.Contains(pbOutline));
  PageSettingsB->SetVisible(b.Contains(pbPageSetup));
  DesignerB->SetVisible(b.Contains(pbEdit));
  if (!PageSettingsB->Visible() && !DesignerB->Visible()) Sep2->SetVisible(false);
  const bool nav = b.Contains(pbNavigator);
  for (TControl* c : std::initializer_list<TControl*>{FirstB, PriorB, NextB, LastB, Sep4}) c->SetVisible(nav);
  if (!nav) Sep5->SetVisible(false);
  CancelB->SetVisible(!b.Contains(pbNoClose));
  ToolBar->SetShowCaptions(o->ShowCaptions);

  // The export menu: the prepared-report file, then every registered filter.
  while (ExportPopup->Items()->Count() > 0) delete ExportPopup->Items()->Items(0);
  if (b.Contains(pbSave)) {
    auto* item = new TMenuItem(ExportPopup);
    item->SetCaption(qvxResources().Get(L"clQP3files") + L"...");
    item->OnClick.Bind(this, &TqvxPreviewForm::SaveQP3Click);
    ExportPopup->Items()->Add(item);
    if (b.Contains(pbExport)) {
      auto* sep = new TMenuItem(ExportPopup);
      sep->SetCaption(L"-");
      ExportPopup->Items()->Add(sep);
    }
  }
  FPDFExport = FEmailExport = nullptr;
  for (int i = 0; i < qvxExportFilters().Count(); ++i) {
    TqvxCustomExportFilter* filter = GetExportFilterItem(i)->Filter;
    if (!filter || filter == qvxDotMatrixExport) continue;
    const String cls = filter->ClassName();
    if (b.Contains(pbExport) && cls != L"TqvxMailExport") {
      auto* item = new TMenuItem(ExportPopup);
      item->SetCaption(filter->GetDescription() + L"...");
      item->SetTag(i);
      item->OnClick.Bind(this, &TqvxPreviewForm::ExportMenuClick);
      ExportPopup->Items()->Add(item);
    }
    if (cls == L"TqvxPDFExport") {
      FPDFExport = filter;
      PdfB->SetVisible(b.Contains(pbExportQuick));
    }
    if (b.Contains(pbNoEmail)) {
      EmailB->SetVisible(false);
    } else if (cls == L"TqvxMailExport") {
      FEmailExport = filter;
      EmailB->SetVisible(b.Contains(pbExportQuick));
    }
  }
  if (!report->ReportOptions()->Name.empty()) SetCaption(report->ReportOptions()->Name);

  // The right-click menu mirrors the tool bar up to its second separator.
  while (RightMenu->Items()->Count() > 3) delete RightMenu->Items()->Items(3);
  // No button may keep pointing at an item just freed.
  for (int i = 0; i < ToolBar->ControlCount(); ++i)
    if (auto* button = dynamic_cast<TToolButton*>(ToolBar->Controls(i))) button->SetTag(0);
  int separators = 0;
  for (int i = 0; i < ToolBar->ControlCount(); ++i) {
    auto* button = dynamic_cast<TToolButton*>(ToolBar->Controls(i));
    if (!button) continue;
    if (button->Style() == tbsSeparator) {
      if (++separators == 2) break;
      auto* sep = new TMenuItem(RightMenu);
      sep->SetCaption(L"-");
      RightMenu->Items()->Add(sep);
      continue;
    }
    if (button->Style() == tbsCheck || !button->Visible() || button->Hint().empty()) continue;
    auto* item = new TMenuItem(RightMenu);
    item->SetCaption(button->Hint());
    item->OnClick = button->OnClick;
    button->SetTag(reinterpret_cast<intptr_t>(item));
    if (button == SaveB) {
      item->OnClick = TNotifyEvent();
      for (int k = 0; k < ExportPopup->Items()->Count(); ++k) {
        TMenuItem* e = ExportPopup->Items()->Items(k);
        auto* sub = new TMenuItem(RightMenu);
        sub->SetCaption(e->Caption());
        sub->SetTag(e->Tag());
        sub->OnClick = e->OnClick;
        item->Add(sub);
      }
    }
    RightMenu->Items()->Add(item);
  }
  UpdateControls();
  SetPopupMenu(RightMenu);
  UpdateZoom();
}

void TqvxPreviewForm::DoShow() {
  TqvxCustomPreviewForm::DoShow();
  // The box's window may have been made after the zoom was last written.
  UpdateZoom();
}

void TqvxPreviewForm::EnableButton(TToolButton* button, bool enabled) {
  button->SetEnabled(enabled);
  if (button->Style() != tbsCheck) button->SetDown(false);
  if (button->Tag() != 0) reinterpret_cast<TMenuItem*>(button->Tag())->SetEnabled(enabled);
}

bool TqvxPreviewForm::HasDrillDown() const {
  TqvxReport* report = Report();
  if (!report) return false;
  for (TqvxComponent* obj : report->GetAllObjects())
    if (auto* group = dynamic_cast<TqvxGroupHeader*>(obj); group && group->DrillDown) return true;
  return false;
}

void TqvxPreviewForm::UpdateControls() {
  const bool running = FPreview->Running();
  const bool e = !running && FPreview->PageCount() > 0;
  for (TToolButton* b : {PrintB, OpenB, SaveB, PdfB, EmailB, FindB, PageSettingsB}) EnableButton(b, e);
  EnableButton(DesignerB, !running && Report() && Report()->PreviewOptions()->AllowEdit);
  const bool drill = !running && HasDrillDown();
  for (TMenuItem* m : {ExpandMI, CollapseMI, N1}) m->SetVisible(drill);
}

void TqvxPreviewForm::UpdateZoom() {
  ZoomCB->SetText(rtl::IntToStr(static_cast<rtl::Int64>(std::llround(static_cast<double>(FPreview->Zoom() * 100)))) +
                  L"%");
}

void TqvxPreviewForm::SetMessageText(const String& value, bool isHint) {
  if (!isHint) {
    StatusBar->Panels()->Items(1)->SetText(value);
  } else if (!value.empty() || !StatusBar->Panels()->Items(2)->Text().empty()) {
    StatusBar->Panels()->Items(2)->SetText(value);
  }
  Application->ProcessMessages();
}

void TqvxPreviewForm::SetSideButtons(bool outlineDown, bool thumbDown) {
  OutlineB->SetDown(outlineDown);
  ThumbB->SetDown(thumbDown);
}

void TqvxPreviewForm::SetCancelCaption(const String& caption) { CancelB->SetCaption(caption); }

void TqvxPreviewForm::SetStatusText(int panel, const String& text) { StatusBar->Panels()->Items(panel)->SetText(text); }

// --- zoom box and page edit

void TqvxPreviewForm::ZoomCBSelect(rtl::TObject* sender) { ZoomCBClick(sender); }

void TqvxPreviewForm::ZoomCBClick(rtl::TObject*) {
  if (FPreview->Workspace()->CanFocus()) FPreview->Workspace()->SetFocus();
  const int index = ZoomCB->ItemIndex();
  String text = ZoomCB->Text();
  if (index == 6 && text == ZoomCB->Items()->Strings(6)) {
    FPreview->SetZoomMode(zmPageWidth);
  } else if (index == 7 && text == ZoomCB->Items()->Strings(7)) {
    FPreview->SetZoomMode(zmWholePage);
  } else {
    const size_t percent = text.find(L'%');
    if (percent != String::npos) text[percent] = L' ';
    text.erase(std::remove(text.begin(), text.end(), L' '), text.end());
    if (!text.empty()) FPreview->SetZoom(qvxStrToFloat(text) / 100);
  }
  if (HandleAllocated()) PostMessageW(Handle(), WM_UPDATEZOOM, 0, 0);
}

void TqvxPreviewForm::PageEClick(rtl::TObject*) {
  // The edit takes digits only, but a number past any page count still fits: it goes to the last page.
  rtl::Integer page = 0;
  if (!rtl::TryStrToInt(PageE->Text(), page)) page = PageE->Text().empty() ? 0 : std::numeric_limits<int>::max();
  FPreview->SetPageNo(page);
  if (FPreview->Workspace()->CanFocus()) FPreview->Workspace()->SetFocus();
}

void TqvxPreviewForm::OnPageChanged(rtl::TObject*, int pageNo) {
  TqvxCustomPreviewPages* pages = FPreview->PreviewPages();
  const int count = FPreview->PageCount();
  TqvxCustomEngine* engine = pages ? pages->Engine() : nullptr;
  if (engine && !engine->FinalPass && FPreview->Running()) {
    StatusBar->Panels()->Items(0)->SetText(qvxResources().Get(L"clFirstPass") + L" " + rtl::IntToStr(count));
  } else {
    StatusBar->Panels()->Items(0)->SetText(rtl::Format(qvxResources().Get(L"clPageOf"), {pageNo, count}));
    OfNL->SetCaption(rtl::Format(qvxResources().Get(L"clOf"), {count}));
    OfNL->SetWidth(OfNL->Canvas() ? 40 : 40);
    Sep4->SetWidth(OfNL->Left() + OfNL->Width() + 4);
  }
  PageE->SetText(rtl::IntToStr(pageNo));
}

// --- keys, wheel and window

void TqvxPreviewForm::KeyDown(rtl::Word& key, TShiftState shift) {
  TqvxCustomPreviewForm::KeyDown(key, shift);
  if (key == VK_ESCAPE) {
    CancelBClick(nullptr);
    key = 0;
  } else if (key == VK_F11) {
    SwitchToFullScreen();
    key = 0;
  } else if (key == VK_F1) {
    qvxResources().Help(this);
  }
}

void TqvxPreviewForm::KeyPress(wchar_t& key) {
  TqvxCustomPreviewForm::KeyPress(key);
  if (key != L'\r') return;
  TWinControl* active = ActiveControl();
  HWND focus = GetFocus();
  if (active == ZoomCB || (focus && focus == ZoomCB->EditHandle())) {
    key = 0;
    ZoomCBClick(ZoomCB);
  } else if (active == PageE || (focus && PageE->HandleAllocated() && focus == PageE->Handle())) {
    key = 0;
    PageEClick(PageE);
  }
}

void TqvxPreviewForm::Resize() {
  TqvxCustomPreviewForm::Resize();
  if (!StatusBar) return;
  const int w = static_cast<int>(std::lround((ClientWidth() - StatusBar->Panels()->Items(0)->Width()) / 2.0));
  StatusBar->Panels()->Items(1)->SetWidth(w);
  StatusBar->Panels()->Items(2)->SetWidth(w);
}

void TqvxPreviewForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_UPDATEZOOM:
      UpdateZoom();
      m.Result = 0;
      return;
    case WM_ACTIVATEAPP:
      // Coming back to the program while its main window is minimised: the main window is restored and the
      // preview stays in front.
      if (m.WParam && Application->MainForm() && Application->MainForm() != this &&
          Application->MainForm()->HandleAllocated() && IsIconic(Application->MainForm()->Handle())) {
        Application->Restore();
        if (HandleAllocated()) SetActiveWindow(Handle());
      }
      break;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Modal() && FormStyle() != fsMDIChild && Application->MainForm() &&
          Application->MainForm() != this) {
        ShowWindow(Application->MainForm()->Handle(), SW_MINIMIZE);
        m.Result = 0;
        return;
      }
      break;
  }
  TqvxCustomPreviewForm::Dispatch(m);
}

void TqvxPreviewForm::SwitchToFullScreen() {
  if (!FFullScreen) {
    StatusBar->SetVisible(false);
    ToolBar->SetVisible(false);
    FOldBS = BorderStyle();
    FOldState = WindowState();
    SetBorderStyle(bsNone);
    SetWindowState(wsMaximized);
    FFullScreen = true;
  } else {
    SetWindowState(FOldState);
    SetBorderStyle(FOldBS);
    FFullScreen = false;
    ToolBar->SetVisible(true);
    StatusBar->SetVisible(true);
    StatusBar->SetTop(ClientHeight());
  }
}

void TqvxPreviewForm::OnPreviewDblClick(rtl::TObject*) {
  if (FFullScreen) SwitchToFullScreen();
}

void TqvxPreviewForm::OnCloseQueryHandler(rtl::TObject*, bool& canClose) { canClose = !FPreview->Running(); }

void TqvxPreviewForm::DoClose(TCloseAction& action) {
  if (FreeOnClose) action = caFree;
  TqvxCustomPreviewForm::DoClose(action);
  if (Report() && Report()->OnClosePreview) Report()->OnClosePreview(this);
}

// --- commands

void TqvxPreviewForm::PrintBClick(rtl::TObject*) {
  FPreview->Print();
  SetEnabled(true);
}

void TqvxPreviewForm::OpenBClick(rtl::TObject*) {
  FPreview->LoadFromFile();
  SetCaption(Report() && !Report()->ReportOptions()->Name.empty() ? Report()->ReportOptions()->Name : qvxGet(100));
}

void TqvxPreviewForm::SaveBClick(rtl::TObject*) {
  const TPoint p = ToolBar->ClientToScreen(TPoint(SaveB->Left(), SaveB->Top() + SaveB->Height()));
  ExportPopup->Popup(p.X, p.Y);
}

void TqvxPreviewForm::SaveQP3Click(rtl::TObject*) { FPreview->SaveToFile(); }

void TqvxPreviewForm::ExportClick(rtl::TObject* sender) {
  TqvxCustomExportFilter* filter = sender == PdfB ? FPDFExport : sender == EmailB ? FEmailExport : nullptr;
  if (!filter) return;
  FPreview->Export(filter);
  SetEnabled(true);
}

void TqvxPreviewForm::ExportMenuClick(rtl::TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || item->Tag() < 0 || item->Tag() >= qvxExportFilters().Count()) return;
  if (TqvxCustomExportFilter* filter = GetExportFilterItem(static_cast<int>(item->Tag()))->Filter) {
    FPreview->Export(filter);
    SetEnabled(true);
  }
}

void TqvxPreviewForm::FindBClick(rtl::TObject*) { FPreview->Find(); }
void TqvxPreviewForm::ZoomPlusBClick(rtl::TObject*) { FPreview->SetZoom(FPreview->Zoom() + 0.25L); }
void TqvxPreviewForm::ZoomMinusBClick(rtl::TObject*) { FPreview->SetZoom(FPreview->Zoom() - 0.25L); }
void TqvxPreviewForm::FullScreenBtnClick(rtl::TObject*) { SwitchToFullScreen(); }
void TqvxPreviewForm::OutlineBClick(rtl::TObject*) { FPreview->SetOutlineVisible(OutlineB->Down()); }
void TqvxPreviewForm::ThumbBClick(rtl::TObject*) { FPreview->SetThumbnailVisible(ThumbB->Down()); }
void TqvxPreviewForm::PageSettingsBClick(rtl::TObject*) { FPreview->PageSetupDlg(); }
void TqvxPreviewForm::DesignerBClick(rtl::TObject*) { FPreview->Edit(); }

void TqvxPreviewForm::DesignerBMouseUp(rtl::TObject*, TMouseButton button, TShiftState, int, int) {
  if (button != mbRight) return;
  const TPoint p = ToolBar->ClientToScreen(TPoint(DesignerB->Left(), DesignerB->Top()));
  HiddenMenu->Popup(p.X, p.Y);
}

void TqvxPreviewForm::ShowTemplateClick(rtl::TObject*) { FPreview->EditTemplate(); }
void TqvxPreviewForm::FirstBClick(rtl::TObject*) { FPreview->First(); }
void TqvxPreviewForm::PriorBClick(rtl::TObject*) { FPreview->Prior(); }
void TqvxPreviewForm::NextBClick(rtl::TObject*) { FPreview->Next(); }
void TqvxPreviewForm::LastBClick(rtl::TObject*) { FPreview->Last(); }

void TqvxPreviewForm::CancelBClick(rtl::TObject*) {
  if (FPreview->Running())
    FPreview->Cancel();
  else
    Close();
}

void TqvxPreviewForm::DrillDown(bool expand) {
  TqvxReport* report = Report();
  if (!report) return;
  FPreview->Lock();
  for (TqvxComponent* obj : report->GetAllObjects())
    if (auto* group = dynamic_cast<TqvxGroupHeader*>(obj); group && group->DrillDown) group->ExpandDrillDown = expand;
  report->DrillState()->Clear();
  FPreview->RefreshReport();
  if (!expand) FPreview->SetPosition(0, 0);
}

void TqvxPreviewForm::CollapseClick(rtl::TObject*) { DrillDown(false); }
void TqvxPreviewForm::ExpandClick(rtl::TObject*) { DrillDown(true); }

VCL_REGISTER(TqvxPreviewToolBar) {}
VCL_REGISTER(TqvxPreviewForm) {}
