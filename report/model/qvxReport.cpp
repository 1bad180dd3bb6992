#include "report/model/qvxReport.h"

#include <typeinfo>

#include "platform/rtl/files.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxDialogPage.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxRes.h"
#include "script/wz_classes.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TqvxReport) {
  cls.Prop(L"Version", &TqvxReport::Version, &TqvxReport::SetVersion);
  cls.Prop(L"ParentReport", &TqvxReport::ParentReport, &TqvxReport::SetParentReport);
  cls.Prop(L"DataSet", &TqvxReport::DataSet, &TqvxReport::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxReport::DataSetName, &TqvxReport::SetDataSetName);
  cls.Prop(L"DotMatrixReport", &TqvxReport::DotMatrixReport);
  cls.Prop(L"EngineOptions", &TqvxReport::EngineOptions, &TqvxReport::SetEngineOptions);
  cls.Prop(L"IniFile", &TqvxReport::IniFile);
  cls.Prop(L"OldStyleProgress", &TqvxReport::OldStyleProgress).Default(false);
  cls.Prop(L"Preview", &TqvxReport::Preview, &TqvxReport::SetPreview);
  cls.Prop(L"PreviewOptions", &TqvxReport::PreviewOptions, &TqvxReport::SetPreviewOptions);
  cls.Prop(L"PrintOptions", &TqvxReport::PrintOptions, &TqvxReport::SetPrintOptions);
  cls.Prop(L"ReportOptions", &TqvxReport::ReportOptions, &TqvxReport::SetReportOptions);
  cls.Prop(L"ScriptLanguage", &TqvxReport::ScriptLanguage, &TqvxReport::SetScriptLanguage);
  cls.Prop(L"ScriptText", &TqvxReport::ScriptText, &TqvxReport::SetScriptText);
  cls.Prop(L"ShowProgress", &TqvxReport::ShowProgress).Default(true);
  cls.Prop(L"StoreInDFM", &TqvxReport::StoreInDFM).Default(true);
  cls.Prop(L"OnRunDialogs", &TqvxReport::OnRunDialogs);
  cls.Prop(L"OnStartReport", &TqvxReport::OnStartReport);
  cls.Prop(L"OnStopReport", &TqvxReport::OnStopReport);
  cls.Prop(L"OnReportPrint", &TqvxReport::OnReportPrint);
  cls.Prop(L"OnAfterPrint", &TqvxReport::OnAfterPrint);
  cls.Prop(L"OnBeforeConnect", &TqvxReport::OnBeforeConnect);
  cls.Prop(L"OnAfterDisconnect", &TqvxReport::OnAfterDisconnect);
  cls.Prop(L"OnBeforePrint", &TqvxReport::OnBeforePrint);
  cls.Prop(L"OnBeginDoc", &TqvxReport::OnBeginDoc);
  cls.Prop(L"OnClickObject", &TqvxReport::OnClickObject);
  cls.Prop(L"OnDblClickObject", &TqvxReport::OnDblClickObject);
  cls.Prop(L"OnEndDoc", &TqvxReport::OnEndDoc);
  cls.Prop(L"OnGetValue", &TqvxReport::OnGetValue);
  cls.Prop(L"OnNewGetValue", &TqvxReport::OnNewGetValue);
  cls.Prop(L"OnManualBuild", &TqvxReport::OnManualBuild);
  cls.Prop(L"OnMouseOverObject", &TqvxReport::OnMouseOverObject);
  cls.Prop(L"OnMouseEnter", &TqvxReport::OnMouseEnter);
  cls.Prop(L"OnMouseLeave", &TqvxReport::OnMouseLeave);
  cls.Prop(L"OnPreview", &TqvxReport::OnPreview);
  cls.Prop(L"OnPrintPage", &TqvxReport::OnPrintPage);
  cls.Prop(L"OnPrintReport", &TqvxReport::OnPrintReport);
  cls.Prop(L"OnAfterPrintReport", &TqvxReport::OnAfterPrintReport);
  cls.Prop(L"OnProgressStart", &TqvxReport::OnProgressStart);
  cls.Prop(L"OnProgress", &TqvxReport::OnProgress);
  cls.Prop(L"OnProgressStop", &TqvxReport::OnProgressStop);
  cls.Prop(L"OnUserFunction", &TqvxReport::OnUserFunction);
  cls.Prop(L"OnLoadTemplate", &TqvxReport::OnLoadTemplate);
  cls.Prop(L"OnLoadDetailTemplate", &TqvxReport::OnLoadDetailTemplate);
  cls.Prop(L"OnClosePreview", &TqvxReport::OnClosePreview);
  cls.Prop(L"OnAfterScriptCompile", &TqvxReport::OnAfterScriptCompile);
  cls.Prop(L"OnGetCustomData", &TqvxReport::OnGetCustomData);
  cls.Prop(L"OnSaveCustomData", &TqvxReport::OnSaveCustomData);
}

TqvxQV2Events& qvxQV2Events() {
  static TqvxQV2Events* events = new TqvxQV2Events;
  return *events;
}

namespace {

const wchar_t* const kSysVariables[] = {L"Date",        L"Time", L"Page",  L"Page#",    L"TotalPages",
                                        L"TotalPages#", L"Line", L"Line#", L"CopyName#"};

rtl::UInt64 lastMessageCheck = 0;

void ProcessMessages() {
  lastMessageCheck = GetTickCount64();
  if (vcl::Application) vcl::Application->ProcessMessages();
}

// Page progress comes once a page, and a long list makes pages faster than anyone can watch: asking the window
// system every few dozen milliseconds keeps the preview just as current at a fraction of the cost.
void ProcessProgressMessages() {
  if (qvxMessageCheckDue()) ProcessMessages();
}

}  // namespace

bool qvxMessageCheckDue() {
  const rtl::UInt64 now = GetTickCount64();
  if (lastMessageCheck != 0 && now - lastMessageCheck < kqvxMessageInterval) return false;
  lastMessageCheck = now;
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Creation and destruction

TqvxReport::TqvxReport(vcl::TComponent* owner) : TqvxComponent(owner) {
  FAsReport = this;
  FVersion = L"5.1.5";
  FDataSets = std::make_unique<TqvxReportDataSets>(this);
  FVariables = std::make_unique<TqvxVariables>();
  FScript = new TwzScript(nullptr);
  FScript->SetExtendedCharset(true);
  FScript->AddRTTI();
  FTimer = std::make_unique<vcl::TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(50);
  FTimer->OnTimer = [this](rtl::TObject* sender) { OnTimer(sender); };
  FEngineOptions = std::make_unique<TqvxEngineOptions>();
  FPreviewOptions = std::make_unique<TqvxPreviewOptions>();
  FPrintOptions = std::make_unique<TqvxPrintOptions>();
  FReportOptions = std::make_unique<TqvxReportOptions>(this);
  IniFile = L"\\Software\\Quorvia";
  FScriptText = std::make_unique<rtl::TStringList>();
  FFakeScriptText = std::make_unique<rtl::TStringList>();
  TqvxEngineLink* engine = qvxFindEngineLink();
  if (engine) FCalculator.reset(engine->CreateCalculator(this));
  FErrors = std::make_unique<rtl::TStringList>();
  FErrors->SetSorted(true);
  FErrors->SetDuplicates(rtl::dupIgnore);
  FStyles = std::make_unique<TqvxStyles>(this);
  FSysVariables = std::make_unique<rtl::TStringList>();
  FEnabledDataSets = std::make_unique<TqvxReportDataSets>(this);
  ShowProgress = true;
  StoreInDFM = true;
  FqvComponentStyle.Include(csHandlesNestedProperties);
  if (engine) FEngine = engine->CreateEngine(this);
  if (TqvxPagesLink* pages = qvxFindPagesLink()) SetPreviewPages(pages->CreatePreviewPages(this));
  FDrawText = std::make_unique<TqvxDrawText>();
  FDrillState = std::make_unique<rtl::TStringList>();
  Clear();
}

TqvxReport::~TqvxReport() {
  // The objects go first, while everything they may ask of their report still exists.
  FreeChildren();
  DestroyComponents();
  if (FPreviewForm) {
    FPreviewForm->Close();
    FPreviewForm = nullptr;
  }
  if (FPreview) {
    FPreview->UnInit(FPreviewPages);
    FPreview->SetReport(nullptr);
    FPreview->SetPreviewPages(nullptr);
    FPreview->RemoveFreeNotification(this);
    FPreview = nullptr;
  }
  FreeParentReportObject();
  FDataSets.reset();
  FEngineOptions.reset();
  FPreviewOptions.reset();
  FPrintOptions.reset();
  FReportOptions.reset();
  FCalculator.reset();
  delete FScript;
  FScript = nullptr;
  FScriptText.reset();
  FFakeScriptText.reset();
  FVariables.reset();
  delete FEngine;
  FEngine = nullptr;
  delete FPreviewPages;
  FPreviewPages = nullptr;
  FErrors.reset();
  FStyles.reset();
  FSysVariables.reset();
  FEnabledDataSets.reset();
  FTimer.reset();
  FDrawText.reset();
  FDrillState.reset();
  delete FProgress;
  FProgress = nullptr;
}

void TqvxReport::Clear() {
  TqvxComponent::Clear();
  FDataSets->Clear();
  FVariables->Clear();
  FEngineOptions->Clear();
  FPreviewOptions->Clear();
  FPrintOptions->Clear();
  FReportOptions->Clear();
  FStyles->Clear();
  FDataSet = nullptr;
  FDataSetName.clear();
  DotMatrixReport = false;
  SetParentReport(String());
  FScriptLanguage = L"ZuvizaVuruze";
  FScriptText->Clear();
  FScriptText->Add(L"begin");
  FScriptText->Add(L"");
  FScriptText->Add(L"end.");
  FSysVariables->Clear();
  for (const wchar_t* name : kSysVariables) FSysVariables->Add(name);
  OnRunDialogs.clear();
  OnStartReport.clear();
  OnStopReport.clear();
}

String TqvxReport::GetDescription() const { return qvxResources().Get(L"obReport"); }

void TqvxReport::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxComponent::Notification(component, operation);
  if (operation != vcl::opRemove || !FDataSets) return;
  // The dataset may already be half destroyed: it is known by its address only.
  bool wasDataSet = false;
  for (int i = FDataSets->Count() - 1; i >= 0; --i)
    if (static_cast<vcl::TComponent*>(FDataSets->Items(i)->DataSet()) == component) {
      delete FDataSets->Items(i);
      wasDataSet = true;
    }
  if (FDataSet && static_cast<vcl::TComponent*>(FDataSet) == component) {
    FDataSet = nullptr;
    wasDataSet = true;
  }
  if (wasDataSet && Designer) Designer->UpdateDataTree();
  if (component == FPreview) FPreview = nullptr;
}

void TqvxReport::GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent* root) {
  if (StoreInDFM) TqvxComponent::GetChildren(proc, root);
}

TqvxPage* TqvxReport::Pages(rtl::Integer index) const {
  return dynamic_cast<TqvxPage*>(Objects().at(static_cast<size_t>(index)));
}

// ---------------------------------------------------------------------------------------------------------------
// Properties

void TqvxReport::SetDataSet(TqvxDataSet* value) {
  FDataSet = value;
  FDataSetName = value ? value->UserName() : String();
  if (value) value->FreeNotification(this);
}

String TqvxReport::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TqvxReport::SetDataSetName(const String& value) {
  FDataSetName = value;
  FDataSet = FindDataSet(FDataSet, value);
  if (FDataSet) FDataSet->FreeNotification(this);
}

void TqvxReport::SetPreview(TqvxCustomPreview* value) {
  if (FPreview && FPreview != value) {
    FPreview->SetReport(nullptr);
    FPreview->SetPreviewPages(nullptr);
    FPreview->RemoveFreeNotification(this);
    FPreviewForm = nullptr;
  }
  FPreview = value;
  if (!value) {
    FPreviewForm = nullptr;
    return;
  }
  value->FreeNotification(this);
  value->Init(this, FPreviewPages);
  value->SetReport(this);
  value->SetPreviewPages(FPreviewPages);
  FPreviewForm = dynamic_cast<TqvxCustomPreviewForm*>(value->PreviewForm());
}

void TqvxReport::SetPreviewPages(TqvxCustomPreviewPages* value) {
  if (value != FPreviewPages) delete FPreviewPages;
  FPreviewPages = value;
  if (FEngine) FEngine->SetPreviewPages(value);
  if (value) value->SetEngine(FEngine);
}

void TqvxReport::SetEngine(TqvxCustomEngine* value) {
  if (value != FEngine) delete FEngine;
  FEngine = value;
  if (value) value->SetPreviewPages(FPreviewPages);
  if (FPreviewPages) FPreviewPages->SetEngine(value);
}

TqvxCustomPreviewPages* TqvxReport::ExchangePreviewPages(TqvxCustomPreviewPages* value) {
  TqvxCustomPreviewPages* old = FPreviewPages;
  FPreviewPages = value;
  if (FEngine) FEngine->SetPreviewPages(value);
  if (value) value->SetEngine(FEngine);
  return old;
}

TqvxCustomPreviewPages& TqvxReport::RequirePreviewPages() {
  if (!FPreviewPages) qvxPagesLink();  // raises when the layer is missing
  if (!FPreviewPages) throw EqvxNotLinked(L"The report has no prepared-pages store");
  return *FPreviewPages;
}

TqvxCustomEngine& TqvxReport::RequireEngine() {
  if (!FEngine) qvxEngineLink();
  if (!FEngine) throw EqvxNotLinked(L"The report engine is not built into this program");
  return *FEngine;
}

rtl::TStringList* TqvxReport::ScriptText() const {
  if (ComponentState().Contains(vcl::csWriting) && !StoreInDFM) return FFakeScriptText.get();
  return FScriptText.get();
}

void TqvxReport::SetScriptText(rtl::TStringList* value) {
  if (value != FScriptText.get()) FScriptText->Assign(value);
}

void TqvxReport::SetStyles(TqvxStyles* value) {
  if (!value) {
    FStyles->Clear();
    return;
  }
  if (value == FStyles.get()) return;
  FStyles->Assign(value);
  FStyles->SetName(value->Name());
  FStyles->Apply();
}

void TqvxReport::SetTerminated(bool value) {
  FTerminated = value;
  if (value && FScript) FScript->Terminate();
}

Variant TqvxReport::LocalValue() const { return FLocalValue ? FLocalValue->Value() : Variant(); }

void TqvxReport::SetLocalValue(const Variant& value) {
  if (FLocalValue) FLocalValue->SetValue(value);
}

TqvxView* TqvxReport::SelfValue() const {
  return FSelfValue ? dynamic_cast<TqvxView*>(FSelfValue->Value().AsObject()) : nullptr;
}

void TqvxReport::SetSelfValue(TqvxView* value) {
  if (FSelfValue) FSelfValue->SetValue(Variant::FromObject(value));
}

// ---------------------------------------------------------------------------------------------------------------
// Values

TqvxCustomCalculator& TqvxReport::Calculator() {
  if (!FCalculator) qvxEngineLink();
  if (!FCalculator) throw EqvxNotLinked(L"The report has no calculator for expressions");
  return *FCalculator;
}

Variant TqvxReport::Calc(const String& expr, TwzScript* script) { return Calculator().Calc(expr, script); }

void TqvxReport::CalcInto(const String& expr, Variant& value) {
  // A report class of its own may answer Calc itself; only this class's Calc is known to be the calculator's.
  if (&typeid(*this) == &typeid(TqvxReport))
    Calculator().CalcInto(expr, value);
  else
    value = Calc(expr);
}

bool TqvxReport::DoGetValue(const String& expr, Variant& value) { return Calculator().DoGetValue(expr, value); }

bool TqvxReport::CaseSensitiveExpressions() const { return FCalculator && FCalculator->CaseSensitive(); }

void TqvxReport::SetCaseSensitiveExpressions(bool value) { Calculator().SetCaseSensitive(value); }

TqvxDataSet* TqvxReport::GetDataset(const String& alias) {
  TqvxDataSetItem* item = FDataSets->Find(alias);
  return item ? item->DataSet() : nullptr;
}

void TqvxReport::GetDatasetAndField(const String& complexName, TqvxDataSet*& dataSet, String& field) {
  dataSet = nullptr;
  field.clear();
  const size_t p = complexName.find(L".\"");
  if (p == String::npos) return;
  dataSet = GetDataset(complexName.substr(0, p));
  // The closing quote is dropped without looking at it, as templates have always been read.
  if (complexName.size() >= p + 3) field = complexName.substr(p + 2, complexName.size() - p - 3);
}

// ---------------------------------------------------------------------------------------------------------------
// The run

void TqvxReport::ShowReport(bool clearLastReport) { qvxEngineLink().ShowReport(this, clearLastReport); }
void TqvxReport::ShowPreparedReport() { qvxEngineLink().ShowPreparedReport(this); }
bool TqvxReport::PrepareReport(bool clearLastReport) { return qvxEngineLink().PrepareReport(this, clearLastReport); }
bool TqvxReport::PrepareScript(TqvxReport* activeReport) { return qvxEngineLink().PrepareScript(this, activeReport); }
void TqvxReport::OnTimer(rtl::TObject*) { qvxEngineLink().OnTimer(this); }

void TqvxReport::AddFunction(const String& funcName, const String& category, const String& description) {
  qvxEngineLink().AddFunction(this, funcName, category, description);
}

bool TqvxReport::PreparePage(TqvxPage* page) { return RequireEngine().Run(false, false, page); }

bool TqvxReport::Print() { return RequirePreviewPages().Print(); }

bool TqvxReport::Export(TqvxCustomExportFilter* filter) { return RequirePreviewPages().Export(filter); }

void TqvxReport::SelectPrinter() {
  TqvxPrintLink& printers = qvxPrintLink();
  const rtl::Integer index = printers.PrinterIndexOf(FPrintOptions->Printer);
  if (index >= 0) printers.SetPrinterIndex(index);
}

rtl::TCustomIniFile* TqvxReport::GetIniFile() {
  if (IniFile.size() >= 10 && rtl::SameText(IniFile.substr(0, 10), L"\\Software\\"))
    return new rtl::TRegistryIniFile(IniFile);
  return new rtl::TIniFile(IniFile);
}

String TqvxReport::GetApplicationFolder() {
  if (ComponentState().Contains(vcl::csDesigning)) return rtl::IncludeTrailingPathDelimiter(rtl::GetCurrentDir());
  return GetAppPath();
}

// ---------------------------------------------------------------------------------------------------------------
// Progress

namespace {
bool UsesProgressWindow(const TqvxReport* report, TqvxProgressType type) {
  return (report->OldStyleProgress || type != ptRunning) && report->ShowProgress;
}
}  // namespace

void TqvxReport::InternalOnProgressStart(TqvxProgressType progressType) {
  if (FEngineOptions->EnableThreadSafe) return;
  if (OnProgressStart.Assigned()) OnProgressStart(this, progressType, 0);
  if (UsesProgressWindow(this, progressType)) {
    delete FProgress;
    FProgress = nullptr;
    FProgress = qvxPreviewLink().CreateProgress();
    FProgress->Execute(0, String(), true, false);
  }
  if (FPreview && progressType == ptRunning) FPreview->InternalOnProgressStart(this, progressType, 0);
  ProcessMessages();
}

void TqvxReport::InternalOnProgress(TqvxProgressType progressType, rtl::Integer progress) {
  if (FEngineOptions->EnableThreadSafe) return;
  if (OnProgress.Assigned()) OnProgress(this, progressType, progress);
  if (UsesProgressWindow(this, progressType) && FProgress) {
    String key;
    switch (progressType) {
      case ptRunning:
        key = FEngine && FEngine->FinalPass ? L"prRunning" : L"prRunningFirst";
        break;
      case ptExporting:
        key = L"prExporting";
        break;
      case ptPrinting:
        key = L"prPrinting";
        break;
    }
    FProgress->SetMessage(rtl::Format(qvxResources().Get(key), {progress}));
    if (FProgress->Terminated) SetTerminated(true);
  }
  if (FPreview && progressType == ptRunning) FPreview->InternalOnProgress(this, progressType, progress - 1);
  ProcessProgressMessages();
}

void TqvxReport::InternalOnProgressStop(TqvxProgressType progressType) {
  if (FEngineOptions->EnableThreadSafe) return;
  if (OnProgressStop.Assigned()) OnProgressStop(this, progressType, 0);
  if (UsesProgressWindow(this, progressType)) {
    delete FProgress;
    FProgress = nullptr;
  }
  if (FPreview && progressType == ptRunning) FPreview->InternalOnProgressStop(this, progressType, 0);
  ProcessMessages();
}

void TqvxReport::SetProgressMessage(const String& value, bool isHint) {
  if (FEngineOptions->EnableThreadSafe) return;
  if (OldStyleProgress && FEngine && FEngine->Running && ShowProgress && FProgress) FProgress->SetMessage(value);
  if (FPreviewForm) FPreviewForm->SetMessageText(value, isHint);
  ProcessMessages();
}

// ---------------------------------------------------------------------------------------------------------------
// Hooks of the engine and the preview

void TqvxReport::DoBeforePrint(TqvxReportComponent* component) {
  if (OnBeforePrint.Assigned()) OnBeforePrint(component);
  DoNotifyEvent(component, component->OnBeforePrint);
}

void TqvxReport::DoAfterPrint(TqvxReportComponent* component) {
  if (OnAfterPrint.Assigned()) OnAfterPrint(component);
  DoNotifyEvent(component, component->OnAfterPrint);
}

void TqvxReport::DoPreviewClick(TqvxView* view, vcl::TMouseButton button, vcl::TShiftState shift, bool& modified,
                                bool dblClick) {
  Variant params = rtl::VarArrayOf({Variant::FromObject(view), Variant(static_cast<rtl::Integer>(button)),
                                    Variant(static_cast<rtl::Integer>(shift.Bits() & 0xFF)), Variant(modified)});
  DoParamEvent(dblClick ? view->OnPreviewDblClick : view->OnPreviewClick, params, true);
  modified = params[3].AsBoolean();
  if (dblClick) {
    if (OnDblClickObject.Assigned()) OnDblClickObject(view, button, shift, modified);
  } else if (OnClickObject.Assigned()) {
    OnClickObject(view, button, shift, modified);
  }
}

void TqvxReport::DoMouseEnter(TqvxView* view, bool& refresh) {
  view->DoMouseEnter(view, refresh);
  if (OnMouseEnter.Assigned()) OnMouseEnter(view);
  if (!view->OnMouseEnter.empty()) {
    Variant params = rtl::VarArrayOf({Variant::FromObject(view), Variant(refresh)});
    DoParamEvent(view->OnMouseEnter, params, true);
    refresh = params[1].AsBoolean();
  }
}

void TqvxReport::DoMouseLeave(TqvxView* view, bool& refresh) {
  view->DoMouseLeave(view, refresh);
  if (OnMouseLeave.Assigned()) OnMouseLeave(view);
  if (!view->OnMouseLeave.empty()) {
    Variant params = rtl::VarArrayOf({Variant::FromObject(view), Variant(refresh)});
    DoParamEvent(view->OnMouseLeave, params, true);
    refresh = params[1].AsBoolean();
  }
}

void TqvxReport::DoMouseUp(TqvxView* view, int x, int y, vcl::TMouseButton button, vcl::TShiftState shift,
                           bool& refresh) {
  // The handler the view names is never run, so refresh keeps its value (the array's second element would
  // hand back X as a Boolean).
  if (view->OnMouseUp.empty()) return;
  Variant params =
      rtl::VarArrayOf({Variant::FromObject(view), Variant(x), Variant(y), Variant(static_cast<rtl::Integer>(button)),
                       Variant(static_cast<rtl::Integer>(shift.Bits() & 0xFF)), Variant(Modified)});
  DoParamEvent(view->OnMouseUp, params, true);
}

// ---------------------------------------------------------------------------------------------------------------
// Start-up

void qvxRegisterReportClasses() {
  vcl::RegisterClasses(
      {TqvxChild::StaticClass(),          TqvxColumnFooter::StaticClass(),  TqvxColumnHeader::StaticClass(),
       TqvxCustomMemoView::StaticClass(), TqvxMasterData::StaticClass(),    TqvxDetailData::StaticClass(),
       TqvxSubdetailData::StaticClass(),  TqvxDataBand4::StaticClass(),     TqvxDataBand5::StaticClass(),
       TqvxDataBand6::StaticClass(),      TqvxDialogPage::StaticClass(),    TqvxFooter::StaticClass(),
       TqvxFrame::StaticClass(),          TqvxGroupFooter::StaticClass(),   TqvxGroupHeader::StaticClass(),
       TqvxHeader::StaticClass(),         TqvxHighlight::StaticClass(),     TqvxLineView::StaticClass(),
       TqvxMemoView::StaticClass(),       TqvxOverlay::StaticClass(),       TqvxPageFooter::StaticClass(),
       TqvxPageHeader::StaticClass(),     TqvxPictureView::StaticClass(),   TqvxReport::StaticClass(),
       TqvxReportPage::StaticClass(),     TqvxReportSummary::StaticClass(), TqvxReportTitle::StaticClass(),
       TqvxShapeView::StaticClass(),      TqvxSubreport::StaticClass(),     TqvxSysMemoView::StaticClass(),
       TqvxStyleItem::StaticClass(),      TqvxNullBand::StaticClass(),      TqvxCustomLineView::StaticClass(),
       TqvxDataPage::StaticClass(),       TqvxDBDataset::StaticClass()});
}

namespace {
// Templates and form resources name these classes; registering them here links them into every program that
// has a report.
const bool classesRegistered = (qvxRegisterReportClasses(), qvxRegisterDMPClasses(), true);
}  // namespace
