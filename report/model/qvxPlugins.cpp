#include "report/model/qvxPlugins.h"

#include "platform/rtl/files.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxReport.h"

const vcl::TClassInfo* qvxDesignerClass = nullptr;
const vcl::TClassInfo* qvxCompressorClass = nullptr;
const vcl::TClassInfo* qvxCrypterClass = nullptr;

VCL_REGISTER(TqvxCustomDesigner) {}

VCL_REGISTER(TqvxCustomExportFilter) {
  cls.Prop(L"ShowDialog", &TqvxCustomExportFilter::ShowDialog).Default(true);
  cls.Prop(L"FileName", &TqvxCustomExportFilter::FileName);
  cls.Prop(L"ExportNotPrintable", &TqvxCustomExportFilter::ExportNotPrintable).Default(false);
  cls.Prop(L"UseFileCache", &TqvxCustomExportFilter::UseFileCache);
  cls.Prop(L"DefaultPath", &TqvxCustomExportFilter::DefaultPath);
  cls.Prop(L"ShowProgress", &TqvxCustomExportFilter::ShowProgress);
  cls.Prop(L"OverwritePrompt", &TqvxCustomExportFilter::OverwritePrompt);
  cls.Prop(L"CreationTime", &TqvxCustomExportFilter::CreationTime);
  cls.Prop(L"DataOnly", &TqvxCustomExportFilter::DataOnly);
  cls.Prop(L"OnBeginExport", &TqvxCustomExportFilter::OnBeginExport);
}

VCL_REGISTER(TqvxCustomCompressor) {}
VCL_REGISTER(TqvxCustomCrypter) {}

// ---------------------------------------------------------------------------------------------------------------
// Designer

TqvxCustomDesigner::TqvxCustomDesigner(vcl::TComponent* owner, TqvxReport* report, bool previewDesigner)
    : vcl::TForm(owner),
      Report(report),
      IsPreviewDesigner(previewDesigner),
      FObjects(std::make_unique<rtl::TList>()),
      FSelectedObjects(std::make_unique<rtl::TList>()) {}

TqvxCustomDesigner::~TqvxCustomDesigner() = default;

void TqvxCustomDesigner::SetModified(bool value) {
  Modified = value;
  if (value && Report) Report->Modified = true;
}

// ---------------------------------------------------------------------------------------------------------------
// Export filters

TqvxCustomExportFilter::TqvxCustomExportFilter(vcl::TComponent* owner) : vcl::TComponent(owner) { Init(); }

TqvxCustomExportFilter::TqvxCustomExportFilter() : vcl::TComponent(nullptr) {
  NoRegister = true;
  Init();
}

void TqvxCustomExportFilter::Init() {
  if (!NoRegister) qvxExportFilters().Register(this);
  ShowDialog = true;
  UseFileCache = true;
  ShowProgress = true;
  DefaultPath.clear();
  SlaveExport = false;
  OverwritePrompt = false;
}

TqvxCustomExportFilter::~TqvxCustomExportFilter() {
  if (!NoRegister) qvxExportFilters().Unregister(this);
}

// ---------------------------------------------------------------------------------------------------------------
// Compressor and crypter

void TqvxCustomCompressor::AfterConstruction() {
  vcl::TComponent::AfterConstruction();
  OldCompressor = qvxCompressorClass;
  qvxCompressorClass = ClassType();
}

TqvxCustomCompressor::~TqvxCustomCompressor() {
  qvxCompressorClass = OldCompressor;
  Stream.reset();
  if (!TempFile.empty()) rtl::DeleteFile(TempFile);
}

void TqvxCustomCompressor::CreateStream() {
  if (IsQV3File || !Report || !Report->EngineOptions()->UseFileCache) {
    Stream = std::make_unique<rtl::TMemoryStream>();
    return;
  }
  TempFile = qvxCreateTempFile(Report->EngineOptions()->TempDir);
  Stream = std::make_unique<rtl::TFileStream>(TempFile, rtl::fmCreate);
}

void TqvxCustomCrypter::AfterConstruction() {
  vcl::TComponent::AfterConstruction();
  qvxCrypterClass = ClassType();
}

void TqvxCustomCrypter::CreateStream() { Stream = std::make_unique<rtl::TMemoryStream>(); }
