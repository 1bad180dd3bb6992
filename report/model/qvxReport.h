#pragma once
// The report root: the component a form holds for each report layout. Its children are the report's pages; it
// owns what a report needs to run (datasets, variables, the script program expressions compile in, the option
// objects, the style sheet, the engine, the prepared-pages store, a text-layout object and the timer that starts
// preparation) and stores the whole tree in form resources and as XML templates, possibly inheriting from a
// parent template (qvxReportStorage.cpp).
//
// The engine, the values of expressions, the prepared pages, printers and the preview windows belong to the layers
// above the model; the report reaches them through the links of qvxLinks.h and raises EqvxNotLinked when a layer
// it needs is missing from the program.
#include <memory>

#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/events.h"
#include "platform/vcl/extctrls.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxDrawText.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxOptions.h"
#include "report/model/qvxPreviewIntf.h"
#include "report/model/qvxStyles.h"
#include "report/model/qvxVariables.h"

class TwzScript;
class TwzCustomVariable;
class TqvxCustomDesigner;
class TqvxCustomExportFilter;
class TqvxView;

VCL_ENUM(TqvxInheriteMode, imDefault, imDelete, imRename)

using TqvxBeforePrintEvent = vcl::TEvent<void(TqvxReportComponent* Sender)>;
using TqvxBeforeConnectEvent = vcl::TEvent<void(TqvxCustomDatabase* Sender, bool& Connected)>;
using TqvxAfterDisconnectEvent = vcl::TEvent<void(TqvxCustomDatabase* Sender)>;
using TqvxClickObjectEvent =
    vcl::TEvent<void(TqvxView* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, bool& Modified)>;
using TqvxEditConnectionEvent = vcl::TEvent<rtl::String(const rtl::String& ConnectionString)>;
using TqvxLoadTemplateEvent = vcl::TEvent<void(TqvxReport* Report, const rtl::String& TemplateName)>;
using TqvxLoadDetailTemplateEvent =
    vcl::TEvent<bool(TqvxReport* Report, const rtl::String& TemplateName, TqvxHyperlink* Hyperlink)>;
using TqvxManualBuildEvent = vcl::TEvent<void(TqvxPage* Page)>;
using TqvxMouseOverObjectEvent = vcl::TEvent<void(TqvxView* Sender)>;
using TqvxPrintPageEvent = vcl::TEvent<void(TqvxReportPage* Page, rtl::Integer CopyNo)>;
using TqvxProgressEvent = vcl::TEvent<void(TqvxReport* Sender, TqvxProgressType ProgressType, rtl::Integer Progress)>;
using TqvxSetConnectionEvent = vcl::TEvent<void(const rtl::String& ConnectionParams)>;
using TqvxUserFunctionEvent = vcl::TEvent<rtl::Variant(const rtl::String& MethodName, rtl::Variant& Params)>;
using TqvxMouseEnterViewEvent = vcl::TEvent<void(TqvxView* Sender)>;
using TqvxXMLItemHandler = vcl::TEvent<void(TqvxXMLItem* XMLItem)>;

// Hooks an application may set for every report (nothing in this program does).
class TqvxQV2Events : public rtl::TObject {
 public:
  rtl::String ClassName() const override { return L"TqvxQV2Events"; }
  // A value for an expression; an empty value means no answer.
  std::function<void(const rtl::String& expr, rtl::Variant& value)> OnGetValue;
  std::function<void(TqvxReport* report)> OnPrepareScript;
  // Reads a template itself; True when it consumed the stream.
  std::function<bool(TqvxReport* report, rtl::TStream& stream)> OnLoad;
  std::function<void(rtl::Variant& params, rtl::Variant& result)> OnGetScriptValue;
  rtl::String Filter;
};
TqvxQV2Events& qvxQV2Events();

// Whether a run's glance at the window messages is due: one clock for the engine's checks, the page progress and
// the run's start and end, so that together they ask the window system at most once every kqvxMessageInterval
// milliseconds (under a loaded window system each asking costs as much as printing hundreds of records).
constexpr rtl::UInt64 kqvxMessageInterval = 50;
bool qvxMessageCheckDue();

class TqvxReport : public TqvxComponent {
  VCL_CLASS(TqvxReport, TqvxComponent)
 public:
  explicit TqvxReport(vcl::TComponent* owner);
  ~TqvxReport() override;

  // --- the component tree
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  rtl::String GetDescription() const override;
  // An empty layout: no pages, lists and options reset, the script text "begin", "", "end.".
  void Clear() override;
  // The pages, unless StoreInDFM is off (the form then keeps no layout).
  void GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent* root) override;
  rtl::Integer PagesCount() const { return static_cast<rtl::Integer>(Objects().size()); }
  TqvxPage* Pages(rtl::Integer index) const;

  // --- storage (qvxReportStorage.cpp)
  void DefineProperties(vcl::TFiler* filer) override;
  void WriteNestedProperties(TqvxXMLItem* item) override;
  bool ReadNestedProperty(TqvxXMLItem* item) override;
  void LoadFromStream(rtl::TStream& stream) override;
  void SaveToStream(rtl::TStream& stream, bool saveChildren = true, bool saveDefaultValues = false,
                    bool useGetAncestor = false) override;
  // Clears the report; False (or EFOpenError with exceptionIfNotFound) when the file does not exist.
  bool LoadFromFile(const rtl::String& fileName, bool exceptionIfNotFound = false);
  void SaveToFile(const rtl::String& fileName);
  // The serializer's ancestor lookup while the report is saved.
  void DoGetAncestor(const rtl::String& name, rtl::TPersistent*& ancestor);
  // Makes the report an heir of the template: its objects become the template's plus the report's own.
  bool InheritFromTemplate(const rtl::String& templateName, TqvxInheriteMode inheriteMode = imDefault);
  // Gives the report a data page ("Data") when it has none, first among its children, holding its dialog
  // components.
  void CheckDataPage();
  // A reference a list item names in a form resource, resolved once the whole report has been read (the objects
  // it names are read after the lists).
  void AddFormFixup(const TqvxFixupItem& fixup) { FFormFixups.push_back(fixup); }
  // Resolves the form resource's pending list references; one that names nothing raises, as the form reader does.
  void Loaded() override;
  const rtl::String& ParentReport() const { return FParentReport; }
  // Loads the parent template and marks everything it holds as inherited; empty lets go of the parent.
  void SetParentReport(const rtl::String& value);
  TqvxReport* ParentReportObject() const { return FParentReportObject; }

  // --- values (the calculator of the engine layer)
  virtual rtl::Variant Calc(const rtl::String& expr, TwzScript* script = nullptr);
  // Calc(expr) put into value; a dataset field's text fills the room of the text value held before.
  void CalcInto(const rtl::String& expr, rtl::Variant& value);
  bool DoGetValue(const rtl::String& expr, rtl::Variant& value);
  // The dataset of the report's list with that user name (ignoring case); nullptr when none.
  TqvxDataSet* GetDataset(const rtl::String& alias);
  // Splits alias."field" into the dataset and the field name; nullptr and empty for anything else.
  void GetDatasetAndField(const rtl::String& complexName, TqvxDataSet*& dataSet, rtl::String& field);
  bool CaseSensitiveExpressions() const;
  void SetCaseSensitiveExpressions(bool value);
  // The calculator; raises EqvxNotLinked without the engine layer.
  TqvxCustomCalculator& Calculator();

  // --- the run (the engine layer)
  void ShowReport(bool clearLastReport = true);
  void ShowPreparedReport();
  bool PrepareReport(bool clearLastReport = true);
  // Runs the engine over one page only.
  bool PreparePage(TqvxPage* page);
  bool PrepareScript(TqvxReport* activeReport = nullptr);
  void OnTimer(rtl::TObject* sender);
  void AddFunction(const rtl::String& funcName, const rtl::String& category = rtl::String(),
                   const rtl::String& description = rtl::String());
  // The prepared pages' Print and Export.
  bool Print();
  bool Export(TqvxCustomExportFilter* filter);
  // No designer exists in this program.
  void DesignReport(bool modal = true, bool mdiChild = false) {}
  bool DesignPreviewPage() { return false; }
  // Makes the installed printer named PrintOptions.Printer current, when there is one.
  void SelectPrinter();
  // A settings store over IniFile: the registry when it starts with "\Software\", else an INI file; the caller
  // frees it.
  rtl::TCustomIniFile* GetIniFile();
  // With its trailing backslash.
  rtl::String GetApplicationFolder();

  // --- progress and the hooks the engine and the preview call
  virtual void InternalOnProgressStart(TqvxProgressType progressType);
  virtual void InternalOnProgress(TqvxProgressType progressType, rtl::Integer progress);
  virtual void InternalOnProgressStop(TqvxProgressType progressType);
  void SetProgressMessage(const rtl::String& value, bool isHint = false);
  void DoBeforePrint(TqvxReportComponent* component);
  void DoAfterPrint(TqvxReportComponent* component);
  // Script event handlers of report objects are never run: both do nothing here.
  virtual void DoNotifyEvent(rtl::TObject* obj, const rtl::String& eventName, bool runAlways = false) {}
  virtual void DoParamEvent(const rtl::String& eventName, rtl::Variant& params, bool runAlways = false) {}
  void DoPreviewClick(TqvxView* view, vcl::TMouseButton button, vcl::TShiftState shift, bool& modified,
                      bool dblClick = false);
  void DoMouseEnter(TqvxView* view, bool& refresh);
  void DoMouseLeave(TqvxView* view, bool& refresh);
  virtual void DoMouseUp(TqvxView* view, int x, int y, vcl::TMouseButton button, vcl::TShiftState shift, bool& refresh);

  // --- properties
  const rtl::String& Version() const { return FVersion; }
  // Always "5.1.5".
  void SetVersion(const rtl::String&) { FVersion = L"5.1.5"; }
  TqvxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TqvxDataSet* value);
  rtl::String DataSetName() const;
  void SetDataSetName(const rtl::String& value);
  TqvxEngineOptions* EngineOptions() const { return FEngineOptions.get(); }
  void SetEngineOptions(TqvxEngineOptions* value) { FEngineOptions->Assign(value); }
  TqvxPreviewOptions* PreviewOptions() const { return FPreviewOptions.get(); }
  void SetPreviewOptions(TqvxPreviewOptions* value) { FPreviewOptions->Assign(value); }
  TqvxPrintOptions* PrintOptions() const { return FPrintOptions.get(); }
  void SetPrintOptions(TqvxPrintOptions* value) { FPrintOptions->Assign(value); }
  TqvxReportOptions* ReportOptions() const { return FReportOptions.get(); }
  void SetReportOptions(TqvxReportOptions* value) { FReportOptions->Assign(value); }
  TqvxCustomPreview* Preview() const { return FPreview; }
  // nullptr detaches the attached preview; a preview is initialised with the report's pages and attached.
  void SetPreview(TqvxCustomPreview* value);
  const rtl::String& ScriptLanguage() const { return FScriptLanguage; }
  void SetScriptLanguage(const rtl::String& value) { FScriptLanguage = value; }
  // FakeScriptText while the report is written to a form stream with StoreInDFM off.
  rtl::TStringList* ScriptText() const;
  void SetScriptText(rtl::TStringList* value);
  rtl::TStringList* FakeScriptText() const { return FFakeScriptText.get(); }
  TqvxStyles* Styles() const { return FStyles.get(); }
  // nullptr empties the sheet; a sheet is copied and applied.
  void SetStyles(TqvxStyles* value);
  TqvxVariables* Variables() const { return FVariables.get(); }
  TqvxReportDataSets* DataSets() const { return FDataSets.get(); }
  TqvxReportDataSets* EnabledDataSets() const { return FEnabledDataSets.get(); }
  rtl::TStringList* Errors() const { return FErrors.get(); }
  rtl::TStringList* SysVariables() const { return FSysVariables.get(); }
  rtl::TStringList* DrillState() const { return FDrillState.get(); }
  TwzScript* Script() const { return FScript; }
  TqvxCustomEngine* Engine() const { return FEngine; }
  // Takes value as the report's engine (the report owns it) and ties it to the prepared pages.
  void SetEngine(TqvxCustomEngine* value);
  TqvxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  // The store; raises EqvxNotLinked in a program without the prepared-pages layer.
  TqvxCustomPreviewPages& RequirePreviewPages();
  // The engine; raises EqvxNotLinked in a program without the engine.
  TqvxCustomEngine& RequireEngine();
  // Takes value as the report's store, tied to the engine both ways (the report owns its store).
  void SetPreviewPages(TqvxCustomPreviewPages* value);
  // Binds another store without freeing the one bound now, which its holder (a preview tab) keeps; answers it.
  TqvxCustomPreviewPages* ExchangePreviewPages(TqvxCustomPreviewPages* value);
  TqvxDrawText* DrawText() const { return FDrawText.get(); }
  vcl::TTimer* Timer() const { return FTimer.get(); }
  bool Terminated() const { return FTerminated; }
  // True also stops the script program.
  void SetTerminated(bool value);
  TqvxXMLSerializer* XMLSerializer() const { return FXMLSerializer; }
  void SetXMLSerializer(TqvxXMLSerializer* value) { FXMLSerializer = value; }
  // The script variables "Value" and "Self" (once PrepareScript has registered them).
  rtl::Variant LocalValue() const;
  void SetLocalValue(const rtl::Variant& value);
  TqvxView* SelfValue() const;
  virtual void SetSelfValue(TqvxView* value);
  void SetLocalValueVariable(TwzCustomVariable* value) { FLocalValue = value; }
  void SetSelfValueVariable(TwzCustomVariable* value) { FSelfValue = value; }
  TqvxCustomPreviewForm* PreviewForm() const { return FPreviewForm; }
  void SetPreviewForm(TqvxCustomPreviewForm* value) { FPreviewForm = value; }
  TqvxCustomProgress* Progress() const { return FProgress; }
  TwzScript* SaveParentScript() const { return FSaveParentScript; }
  void SetSaveParentScript(TwzScript* value) { FSaveParentScript = value; }

  rtl::String CurObject;
  TqvxCustomDesigner* Designer = nullptr;
  bool DotMatrixReport = false;
  rtl::String FileName;
  rtl::String IniFile = L"\\Software\\Quorvia";
  rtl::TStream* LoadStream = nullptr;
  bool Modified = false;
  bool OldStyleProgress = false;
  bool Reloading = false;
  bool ShowProgress = true;
  bool StoreInDFM = true;
  bool StreamLoaded = false;

  TqvxBeforePrintEvent OnAfterPrint;
  vcl::TNotifyEvent OnAfterPrintReport;
  TqvxBeforeConnectEvent OnBeforeConnect;
  TqvxAfterDisconnectEvent OnAfterDisconnect;
  TqvxBeforePrintEvent OnBeforePrint;
  vcl::TNotifyEvent OnBeginDoc;
  TqvxClickObjectEvent OnClickObject;
  TqvxClickObjectEvent OnDblClickObject;
  TqvxEditConnectionEvent OnEditConnection;
  vcl::TNotifyEvent OnEndDoc;
  TqvxGetValueEvent OnGetValue;
  TqvxNewGetValueEvent OnNewGetValue;
  TqvxLoadTemplateEvent OnLoadTemplate;
  TqvxLoadDetailTemplateEvent OnLoadDetailTemplate;
  TqvxManualBuildEvent OnManualBuild;
  TqvxMouseOverObjectEvent OnMouseOverObject;
  vcl::TNotifyEvent OnPreview;
  TqvxPrintPageEvent OnPrintPage;
  vcl::TNotifyEvent OnPrintReport;
  TqvxProgressEvent OnProgressStart;
  TqvxProgressEvent OnProgress;
  TqvxProgressEvent OnProgressStop;
  rtl::String OnRunDialogs;
  TqvxSetConnectionEvent OnSetConnection;
  rtl::String OnStartReport;
  rtl::String OnStopReport;
  TqvxUserFunctionEvent OnUserFunction;
  vcl::TNotifyEvent OnClosePreview;
  rtl::String OnReportPrint;
  vcl::TNotifyEvent OnAfterScriptCompile;
  TqvxMouseEnterViewEvent OnMouseEnter;
  TqvxMouseEnterViewEvent OnMouseLeave;
  TqvxXMLItemHandler OnGetCustomData;
  TqvxXMLItemHandler OnSaveCustomData;

 private:
  void FreeParentReportObject();
  // Marks (or unmarks) the report and every object in it as coming from the parent template.
  void SetAncestorMarks(bool value);
  void MergeFrom(TqvxComponent* source, TqvxComponent* target, bool deleteMode, bool renameMode, TqvxReport* copy,
                 std::vector<TqvxFixupItem>& fixups);

  rtl::String FVersion = L"5.1.5";
  TqvxDataSet* FDataSet = nullptr;
  rtl::String FDataSetName;
  std::unique_ptr<TqvxReportDataSets> FDataSets;
  std::unique_ptr<TqvxVariables> FVariables;
  TwzScript* FScript = nullptr;
  TwzScript* FSaveParentScript = nullptr;
  std::unique_ptr<vcl::TTimer> FTimer;
  std::unique_ptr<TqvxEngineOptions> FEngineOptions;
  std::unique_ptr<TqvxPreviewOptions> FPreviewOptions;
  std::unique_ptr<TqvxPrintOptions> FPrintOptions;
  std::unique_ptr<TqvxReportOptions> FReportOptions;
  std::unique_ptr<rtl::TStringList> FScriptText, FFakeScriptText;
  std::unique_ptr<TqvxCustomCalculator> FCalculator;
  std::unique_ptr<rtl::TStringList> FErrors;
  std::unique_ptr<TqvxStyles> FStyles;
  std::unique_ptr<rtl::TStringList> FSysVariables;
  std::unique_ptr<TqvxReportDataSets> FEnabledDataSets;
  TqvxCustomEngine* FEngine = nullptr;
  TqvxCustomPreviewPages* FPreviewPages = nullptr;
  std::unique_ptr<TqvxDrawText> FDrawText;
  std::unique_ptr<rtl::TStringList> FDrillState;
  TqvxCustomPreview* FPreview = nullptr;
  TqvxCustomPreviewForm* FPreviewForm = nullptr;
  TqvxCustomProgress* FProgress = nullptr;
  rtl::String FParentReport;
  TqvxReport* FParentReportObject = nullptr;
  TqvxXMLSerializer* FXMLSerializer = nullptr;
  rtl::String FScriptLanguage = L"ZuvizaVuruze";
  bool FTerminated = false;
  TwzCustomVariable* FLocalValue = nullptr;
  TwzCustomVariable* FSelfValue = nullptr;
  std::vector<TqvxFixupItem> FFormFixups;
};

// The password as a template stores it without a crypter (every UTF-16 unit lowered by 10), and back.
rtl::String qvxScramblePassword(const rtl::String& password);
rtl::String qvxUnscramblePassword(const rtl::String& stored);

// The report classes grouped for component streaming and registered at start-up (34 classes).
void qvxRegisterReportClasses();
