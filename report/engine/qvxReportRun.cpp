#include "report/engine/qvxReportRun.h"

#include <memory>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "report/engine/qvxExpressions.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

// What a run changes in the report (visibility, heights, texts, band lists) is thrown away afterwards: the report
// is saved before and loaded back after.
class TReportSnapshot {
 public:
  explicit TReportSnapshot(TqvxReport* report) : FReport(report) {
    FPassword = report->ReportOptions()->Password;
    FActive = report->EngineOptions()->DestroyForms;
    if (!FActive) return;
    if (report->EngineOptions()->UseFileCache) {
      FTempFile = qvxCreateTempFile(report->EngineOptions()->TempDir);
      FStream = std::make_unique<rtl::TFileStream>(FTempFile, rtl::fmCreate);
    } else {
      FStream = std::make_unique<rtl::TMemoryStream>();
    }
    report->ReportOptions()->Password.clear();
    FSplicingLine = report->PrintOptions()->SplicingLine;
    report->SaveToStream(*FStream, true, false, false);
  }
  ~TReportSnapshot() {
    FStream.reset();
    if (!FTempFile.empty()) rtl::DeleteFile(FTempFile);
  }

  void Restore() {
    if (!FActive) return;
    rtl::TStringList* errors = FReport->Errors();
    const String kept = errors->Text();
    FStream->SetPosition(0);
    FReport->Reloading = true;
    try {
      FReport->LoadFromStream(*FStream);
    } catch (...) {
      Done();
      throw;
    }
    Done();
    errors->SetText(kept);
  }

 private:
  void Done() {
    FReport->Reloading = false;
    FReport->ReportOptions()->Password = FPassword;
    FReport->PrintOptions()->SplicingLine = FSplicingLine;
  }

  TqvxReport* FReport;
  bool FActive = false;
  String FPassword;
  rtl::Integer FSplicingLine = 0;
  String FTempFile;
  std::unique_ptr<rtl::TStream> FStream;
};

void ClosePreviewWindow(TqvxReport* report) {
  if (TqvxCustomPreviewForm* form = report->PreviewForm()) form->Close();
}

}  // namespace

bool qvxPrepareReport(TqvxReport* report, bool clearLastReport) {
  TqvxCustomPreviewPages& pages = report->RequirePreviewPages();
  TqvxCustomEngine& engine = report->RequireEngine();
  if (clearLastReport) pages.ClearForRun();
  if (TqvxCustomPreview* preview = report->Preview()) preview->Init(report, &pages);
  rtl::TStringList* errors = report->Errors();
  errors->Clear();
  report->SetTerminated(false);
  bool result = false;

  TqvxReportDataSets* dataSets = report->DataSets();
  for (int i = 0; i < dataSets->Count(); ++i)
    if (!dataSets->Items(i)->DataSet())
      errors->Add(rtl::Format(qvxResources().Get(L"clDSNotExist"), {dataSets->Items(i)->DataSetName()}));

  if (errors->Count() == 0) {
    TReportSnapshot snapshot(report);
    bool ran = false;
    try {
      try {
        if (report->OnBeginDoc) report->OnBeginDoc(report);
        qvxPrepareScript(report, nullptr);
        if (!report->Terminated()) ran = engine.Run(true, false, nullptr);
        if (ran && !report->Terminated()) {
          if (report->OnEndDoc) report->OnEndDoc(report);
          result = true;
        }
        if (!ran) ClosePreviewWindow(report);
      } catch (const rtl::Exception& e) {
        errors->Add(e.Message());
      }
    } catch (...) {
      // Not the platform's error: the report is still put back before it passes on.
      snapshot.Restore();
      throw;
    }
    snapshot.Restore();
  }

  if (errors->Count() > 0) {
    result = false;
    // A failed run leaves nothing that could pass for the whole report.
    pages.Clear();
    ClosePreviewWindow(report);
    qvxCommonErrorHandler(report, qvxResources().Get(L"clErrors") + L"\r\n" + errors->Text());
  }
  return result;
}

void qvxShowReport(TqvxReport* report, bool clearLastReport) {
  if (clearLastReport) report->RequirePreviewPages().ClearForRun();
  if (!report->OldStyleProgress) {
    report->Timer()->SetEnabled(true);
    try {
      qvxShowPreparedReport(report);
    } catch (...) {
      report->Timer()->SetEnabled(false);
      throw;
    }
  } else if (qvxPrepareReport(report, false)) {
    qvxShowPreparedReport(report);
  }
}

void qvxShowPreparedReport(TqvxReport* report) {
  TqvxCustomPreviewPages& pages = report->RequirePreviewPages();
  report->SetPreviewForm(nullptr);
  if (TqvxCustomPreview* preview = report->Preview()) {
    preview->Init(report, &pages);
    return;
  }
  TqvxCustomPreviewForm* form = qvxPreviewLink().CreatePreviewForm(report);
  TqvxCustomPreview* preview = form->Preview();
  preview->SetReport(report);
  preview->SetPreviewPages(&pages);
  report->SetPreview(preview);
  report->SetPreviewForm(form);
  form->Init();
  if (report->OnPreview) report->OnPreview(report);
  if (report->PreviewOptions()->Maximized) form->SetPosition(vcl::poDesigned);
  if (report->PreviewOptions()->Modal) {
    try {
      form->ShowModal();
    } catch (...) {
      report->SetPreviewForm(nullptr);
      delete form;
      throw;
    }
    report->SetPreviewForm(nullptr);
    delete form;
  } else {
    form->FreeOnClose = true;
    form->Show();
  }
}

void qvxReportTimer(TqvxReport* report) {
  report->Timer()->SetEnabled(false);
  qvxPrepareReport(report, false);
}

bool qvxPrepareScript(TqvxReport* report, TqvxReport* activeReport) {
  TwzScript* script = report->Script();
  TqvxReport* parentReport = report->ParentReportObject();
  if (parentReport) {
    if (!report->SaveParentScript() && script->Parent() != parentReport->Script())
      report->SetSaveParentScript(script->Parent());
  } else if (!report->SaveParentScript()) {
    report->SetSaveParentScript(script->Parent());
  }
  if (report->SaveParentScript() && parentReport) parentReport->SetSaveParentScript(report->SaveParentScript());
  if (!activeReport) activeReport = report;
  if (parentReport) qvxPrepareScript(parentReport, activeReport);

  report->Calculator().Clear();
  if (TqvxCustomEngine* engine = report->Engine()) engine->NotifyList.clear();
  script->ClearItems(activeReport);
  script->SetAddedBy(activeReport);
  script->SetMainProg(true);
  script->SetParent(parentReport ? parentReport->Script() : report->SaveParentScript());
  try {
    const std::vector<TqvxComponent*> objects = report->GetAllObjects();
    for (TqvxComponent* p : objects) {
      TqvxComponent* o = p;
      if (activeReport != report)
        for (TqvxComponent* candidate : activeReport->GetAllObjects())
          if (candidate->Name() == p->Name()) {
            o = candidate;
            break;
          }
      o->SetIsDesigning(false);
      o->BeforeStartReport();
      // The prepared pages store each template picture once, on the first page that shows it.
      if (auto* picture = dynamic_cast<TqvxPictureView*>(o)) picture->PictureChanged();
      if (!p->IsAncestor() && !o->Name().empty()) script->AddObject(o->Name(), o);
    }
    script->AddObject(L"Report", activeReport);
    if (TqvxCustomEngine* engine = activeReport->Engine()) script->AddObject(L"Engine", engine);
    if (TqvxCustomPreviewPages* pages = activeReport->PreviewPages())
      if (TqvxCustomOutline* outline = pages->Outline()) script->AddObject(L"Outline", outline);
    script->AddVariable(L"Value", L"Variant", Variant::Null());
    script->AddVariable(L"Self", L"TqvxView", Variant::Null());
    if (auto* calculator = dynamic_cast<TqvxCalculator*>(&activeReport->Calculator()))
      calculator->RegisterFunctions(script);
    if (qvxQV2Events().OnPrepareScript) qvxQV2Events().OnPrepareScript(activeReport);
    report->SetLocalValueVariable(script->Find(L"Value"));
    report->SetSelfValueVariable(script->Find(L"Self"));
    script->SetLines(*report->ScriptText());
    script->SetSyntaxType(report->ScriptLanguage());
  } catch (...) {
    script->SetAddedBy(nullptr);
    throw;
  }
  script->SetAddedBy(nullptr);
  return true;
}

void qvxAddFunction(TqvxReport* report, const String& funcName, const String& category, const String& description) {
  TwzScript* script = report->Script();
  script->SetAddedBy(nullptr);
  script->AddMethod(
      funcName,
      TwzCallMethodEvent([report](rtl::TObject*, const vcl::TClassInfo*, const String& method, Variant& params) {
        return report->OnUserFunction ? report->OnUserFunction(method, params) : Variant();
      }),
      category, description);
}
