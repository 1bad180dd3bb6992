#include "report/model/qvxOptions.h"

#include "platform/rtl/registry.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxPreviewIntf.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"

using rtl::String;

String qvxConnectionsKey = L"\\Software\\Quorvia\\Connections";

TqvxPreviewButtons qvxDefaultPreviewButtons() {
  TqvxPreviewButtons buttons;
  for (int b = pbPrint; b <= pbExportQuick; ++b) buttons.Include(static_cast<TqvxPreviewButton>(b));
  return buttons;
}

VCL_REGISTER(TqvxEngineOptions) {
  cls.Prop(L"ConvertNulls", &TqvxEngineOptions::ConvertNulls).Default(true);
  cls.Prop(L"DoublePass", &TqvxEngineOptions::DoublePass).Default(false);
  cls.Prop(L"MaxMemSize", &TqvxEngineOptions::MaxMemSize).Default(10);
  cls.Prop(L"PrintIfEmpty", &TqvxEngineOptions::PrintIfEmpty).Default(true);
  cls.Prop(L"SilentMode", &TqvxEngineOptions::SilentMode, &TqvxEngineOptions::SetSilentMode).Default(false);
  cls.Prop(L"NewSilentMode", &TqvxEngineOptions::NewSilentMode).Default(simMessageBoxes);
  cls.Prop(L"TempDir", &TqvxEngineOptions::TempDir);
  cls.Prop(L"UseFileCache", &TqvxEngineOptions::UseFileCache).Default(false);
  cls.Prop(L"IgnoreDevByZero", &TqvxEngineOptions::IgnoreDevByZero).Default(false);
}

VCL_REGISTER(TqvxPreviewOptions) {
  cls.Prop(L"AllowEdit", &TqvxPreviewOptions::AllowEdit).Default(true);
  cls.Prop(L"Buttons", &TqvxPreviewOptions::Buttons);
  cls.Prop(L"DoubleBuffered", &TqvxPreviewOptions::DoubleBuffered).Default(true);
  cls.Prop(L"Maximized", &TqvxPreviewOptions::Maximized).Default(true);
  cls.Prop(L"MDIChild", &TqvxPreviewOptions::MDIChild).Default(false);
  cls.Prop(L"Modal", &TqvxPreviewOptions::Modal).Default(true);
  cls.Prop(L"OutlineExpand", &TqvxPreviewOptions::OutlineExpand).Default(true);
  cls.Prop(L"OutlineVisible", &TqvxPreviewOptions::OutlineVisible).Default(false);
  cls.Prop(L"OutlineWidth", &TqvxPreviewOptions::OutlineWidth).Default(120);
  cls.Prop(L"PagesInCache", &TqvxPreviewOptions::PagesInCache).Default(50);
  cls.Prop(L"ThumbnailVisible", &TqvxPreviewOptions::ThumbnailVisible).Default(false);
  cls.Prop(L"ShowCaptions", &TqvxPreviewOptions::ShowCaptions).Default(false);
  cls.Prop(L"Zoom", &TqvxPreviewOptions::Zoom);
  cls.Prop(L"ZoomMode", &TqvxPreviewOptions::ZoomMode).Default(zmDefault);
  cls.Prop(L"PictureCacheInFile", &TqvxPreviewOptions::PictureCacheInFile).Default(false);
}

VCL_REGISTER(TqvxPrintOptions) {
  cls.Prop(L"Copies", &TqvxPrintOptions::Copies).Default(1);
  cls.Prop(L"Collate", &TqvxPrintOptions::Collate).Default(true);
  cls.Prop(L"PageNumbers", &TqvxPrintOptions::PageNumbers);
  cls.Prop(L"Printer", &TqvxPrintOptions::Printer);
  cls.Prop(L"PrintMode", &TqvxPrintOptions::PrintMode).Default(pmDefault);
  cls.Prop(L"PrintOnSheet", &TqvxPrintOptions::PrintOnSheet);
  cls.Prop(L"PrintPages", &TqvxPrintOptions::PrintPages).Default(ppAll);
  cls.Prop(L"Reverse", &TqvxPrintOptions::Reverse).Default(false);
  cls.Prop(L"ShowDialog", &TqvxPrintOptions::ShowDialog).Default(true);
  cls.Prop(L"SwapPageSize", &TqvxPrintOptions::SwapPageSize).Stored(false);
}

VCL_REGISTER(TqvxReportOptions) {
  cls.Prop(L"Author", &TqvxReportOptions::Author);
  cls.Prop(L"Compressed", &TqvxReportOptions::Compressed).Default(false);
  cls.Prop(L"ConnectionName", &TqvxReportOptions::ConnectionName, &TqvxReportOptions::SetConnectionName);
  cls.Prop(L"CreateDate", &TqvxReportOptions::CreateDate);
  cls.Prop(L"Description", &TqvxReportOptions::Description, &TqvxReportOptions::SetDescription);
  cls.Prop(L"InitString", &TqvxReportOptions::InitString);
  cls.Prop(L"Name", &TqvxReportOptions::Name);
  cls.Prop(L"LastChange", &TqvxReportOptions::LastChange);
  cls.Prop(L"Password", &TqvxReportOptions::Password);
  cls.Prop(L"Picture", &TqvxReportOptions::Picture, &TqvxReportOptions::SetPicture);
  cls.Prop(L"VersionBuild", &TqvxReportOptions::VersionBuild);
  cls.Prop(L"VersionMajor", &TqvxReportOptions::VersionMajor);
  cls.Prop(L"VersionMinor", &TqvxReportOptions::VersionMinor);
  cls.Prop(L"VersionRelease", &TqvxReportOptions::VersionRelease);
}

// ---------------------------------------------------------------------------------------------------------------
// Engine options

TqvxEngineOptions::TqvxEngineOptions() {
  Clear();
  MaxMemSize = 10;
  PrintIfEmpty = true;
  NewSilentMode = simMessageBoxes;
  EnableThreadSafe = false;
  TempDir.clear();
  UseGlobalDataSetList = true;
  UseFileCache = false;
  DestroyForms = true;
}

void TqvxEngineOptions::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TqvxEngineOptions*>(source);
  if (!src) return;
  ConvertNulls = src->ConvertNulls;
  DoublePass = src->DoublePass;
  MaxMemSize = src->MaxMemSize;
  PrintIfEmpty = src->PrintIfEmpty;
  NewSilentMode = src->NewSilentMode;
  TempDir = src->TempDir;
  UseFileCache = src->UseFileCache;
  IgnoreDevByZero = src->IgnoreDevByZero;
}

void TqvxEngineOptions::Clear() {
  ConvertNulls = true;
  IgnoreDevByZero = false;
  DoublePass = false;
}

// ---------------------------------------------------------------------------------------------------------------
// Preview options

TqvxPreviewOptions::TqvxPreviewOptions() {
  Clear();
  AllowEdit = true;
  DoubleBuffered = true;
  Maximized = true;
  Modal = true;
  Buttons = qvxDefaultPreviewButtons();
  MDIChild = false;
  ShowCaptions = false;
  PagesInCache = 50;
  Zoom = 1;
  ZoomMode = zmDefault;
  PictureCacheInFile = false;
}

void TqvxPreviewOptions::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TqvxPreviewOptions*>(source);
  if (!src) return;
  AllowEdit = src->AllowEdit;
  Buttons = src->Buttons;
  DoubleBuffered = src->DoubleBuffered;
  Maximized = src->Maximized;
  MDIChild = src->MDIChild;
  Modal = src->Modal;
  OutlineExpand = src->OutlineExpand;
  OutlineVisible = src->OutlineVisible;
  OutlineWidth = src->OutlineWidth;
  PagesInCache = src->PagesInCache;
  ShowCaptions = src->ShowCaptions;
  ThumbnailVisible = src->ThumbnailVisible;
  Zoom = src->Zoom;
  ZoomMode = src->ZoomMode;
  PictureCacheInFile = src->PictureCacheInFile;
  RTLPreview = src->RTLPreview;
}

void TqvxPreviewOptions::Clear() {
  OutlineExpand = true;
  OutlineVisible = false;
  OutlineWidth = 120;
  PagesInCache = 50;
  ThumbnailVisible = false;
}

// ---------------------------------------------------------------------------------------------------------------
// Print options

TqvxPrintOptions::TqvxPrintOptions() { Clear(); }

void TqvxPrintOptions::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TqvxPrintOptions*>(source);
  if (!src) return;
  Copies = src->Copies;
  Collate = src->Collate;
  PageNumbers = src->PageNumbers;
  Printer = src->Printer;
  PrintMode = src->PrintMode;
  PrintOnSheet = src->PrintOnSheet;
  PrintPages = src->PrintPages;
  Reverse = src->Reverse;
  ShowDialog = src->ShowDialog;
  SplicingLine = src->SplicingLine;
}

void TqvxPrintOptions::Clear() {
  Copies = 1;
  Collate = true;
  PageNumbers.clear();
  PagesOnSheet = 0;
  Printer = qvxResources().Get(L"prDefault");
  PrintMode = pmDefault;
  PrintOnSheet = 0;
  PrintPages = ppAll;
  Reverse = false;
  ShowDialog = true;
  SplicingLine = 3;
  Duplex = dmNone;
}

// ---------------------------------------------------------------------------------------------------------------
// Report options

TqvxReportOptions::TqvxReportOptions(TqvxReport* report)
    : FDescription(std::make_unique<rtl::TStringList>()), FPicture(std::make_unique<vcl::TPicture>()), FReport(report) {
  CreateDate = rtl::Now();
  LastChange = CreateDate;
}

TqvxReportOptions::~TqvxReportOptions() = default;

void TqvxReportOptions::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TqvxReportOptions*>(source);
  if (!src) return;
  Author = src->Author;
  Compressed = src->Compressed;
  FConnectionName = src->FConnectionName;
  CreateDate = src->CreateDate;
  FDescription->Assign(src->FDescription.get());
  InitString = src->InitString;
  LastChange = src->LastChange;
  Name = src->Name;
  Password = src->Password;
  FPicture->Assign(src->FPicture.get());
  VersionBuild = src->VersionBuild;
  VersionMajor = src->VersionMajor;
  VersionMinor = src->VersionMinor;
  VersionRelease = src->VersionRelease;
}

void TqvxReportOptions::Clear() {
  if (!Info) {
    Author.clear();
    Compressed = false;
    CreateDate = rtl::Now();
    LastChange = CreateDate;
    FDescription->Clear();
    FPicture->Assign(nullptr);
    VersionBuild.clear();
    VersionMajor.clear();
    VersionMinor.clear();
    VersionRelease.clear();
  }
  FConnectionName.clear();
  InitString.clear();
  Name.clear();
  Password.clear();
  PrevPassword.clear();
}

void TqvxReportOptions::SetDescription(rtl::TStringList* value) {
  if (value != FDescription.get()) FDescription->Assign(value);
}

void TqvxReportOptions::SetPicture(vcl::TPicture* value) {
  if (value != FPicture.get()) FPicture->Assign(value);
}

bool TqvxReportOptions::CheckPassword() {
  if (Password.empty()) return true;
  if (Password == PrevPassword || Password == HiddenPassword) return true;
  String typed;
  if (qvxPreviewLink().AskPassword(typed) && typed == Password) {
    PrevPassword = Password;
    return true;
  }
  if (FReport) {
    FReport->Errors()->Add(qvxResources().Get(L"Invalid password"));
    qvxCommonErrorHandler(FReport, qvxResources().Get(L"clErrors") + L"\r\n" + FReport->Errors()->Text());
  }
  return false;
}

void TqvxReportOptions::SetConnectionName(const String& value) {
  FConnectionName = value;
  if (value.empty() || !FReport || !FReport->OnSetConnection) return;
  const String paths[2] = {qvxConnectionsKey, qvxConnectionsKey + L"FIB"};
  const HKEY roots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
  for (const String& path : paths)
    for (HKEY root : roots) {
      rtl::TRegistry reg(KEY_READ);
      reg.SetRootKey(root);
      if (!reg.KeyExists(path) || !reg.OpenKeyReadOnly(path)) continue;
      const String connection = reg.ReadString(value);
      if (!connection.empty()) FReport->OnSetConnection(connection);
    }
}
