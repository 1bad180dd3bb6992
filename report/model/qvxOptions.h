#pragma once
// The four option objects of every report, stored with it as nested properties (EngineOptions.DoublePass): how
// the engine runs, how the preview window looks, what printing does, and the report's descriptive data with its
// password and connection name.
#include <memory>

#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/picture.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxUtils.h"

class TqvxReport;

VCL_ENUM_NAMES(TqvxSilentMode, simMessageBoxes, simSilent, simReThrow)
VCL_ENUM(TqvxPreviewButton, pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit,
         pbNavigator, pbExportQuick, pbNoClose, pbNoFullScreen, pbNoEmail)
VCL_SET(TqvxPreviewButtons, TqvxPreviewButton)
VCL_ENUM(TqvxZoomMode, zmDefault, zmWholePage, zmPageWidth, zmManyPages)
VCL_ENUM(TqvxPrintMode, pmDefault, pmSplit, pmJoin, pmScale)
VCL_ENUM(TqvxPrintPages, ppAll, ppOdd, ppEven)

// The buttons a new report shows: pbPrint to pbExportQuick.
TqvxPreviewButtons qvxDefaultPreviewButtons();

class TqvxEngineOptions : public rtl::TPersistent {
  VCL_CLASS(TqvxEngineOptions, rtl::TPersistent)
 public:
  TqvxEngineOptions();
  // From engine options only; DestroyForms, EnableThreadSafe, ReportThread and UseGlobalDataSetList stay.
  void Assign(const rtl::TPersistent* source) override;
  // What the report's Clear resets: ConvertNulls on, IgnoreDevByZero and DoublePass off.
  void Clear();

  // The Boolean view of NewSilentMode: true exactly for simSilent.
  bool SilentMode() const { return NewSilentMode == simSilent; }
  void SetSilentMode(bool value) { NewSilentMode = value ? simSilent : simMessageBoxes; }

  bool ConvertNulls = true;
  bool DestroyForms = true;
  bool DoublePass = false;
  rtl::Integer MaxMemSize = 10;
  bool PrintIfEmpty = true;
  rtl::TObject* ReportThread = nullptr;
  bool EnableThreadSafe = false;
  TqvxSilentMode NewSilentMode = simMessageBoxes;
  rtl::String TempDir;
  bool UseFileCache = false;
  bool UseGlobalDataSetList = true;
  bool IgnoreDevByZero = false;
};

class TqvxPreviewOptions : public rtl::TPersistent {
  VCL_CLASS(TqvxPreviewOptions, rtl::TPersistent)
 public:
  TqvxPreviewOptions();
  void Assign(const rtl::TPersistent* source) override;
  // The outline and thumbnail settings and PagesInCache.
  void Clear();

  bool AllowEdit = true;
  TqvxPreviewButtons Buttons;
  bool DoubleBuffered = true;
  bool Maximized = true;
  bool MDIChild = false;
  bool Modal = true;
  bool OutlineExpand = true;
  bool OutlineVisible = false;
  rtl::Integer OutlineWidth = 120;
  rtl::Integer PagesInCache = 50;
  bool ShowCaptions = false;
  bool ThumbnailVisible = false;
  Extended Zoom = 1;
  TqvxZoomMode ZoomMode = zmDefault;
  bool PictureCacheInFile = false;
  bool RTLPreview = false;
};

class TqvxPrintOptions : public rtl::TPersistent {
  VCL_CLASS(TqvxPrintOptions, rtl::TPersistent)
 public:
  TqvxPrintOptions();
  // PagesOnSheet, SwapPageSize, PrnOutFileName and Duplex stay.
  void Assign(const rtl::TPersistent* source) override;
  void Clear();

  rtl::Integer Copies = 1;
  bool Collate = true;
  rtl::String PageNumbers;
  rtl::Integer PagesOnSheet = 0;
  rtl::String Printer;
  TqvxPrintMode PrintMode = pmDefault;
  rtl::Integer PrintOnSheet = 0;
  TqvxPrintPages PrintPages = ppAll;
  bool Reverse = false;
  bool ShowDialog = true;
  bool SwapPageSize = false;
  rtl::String PrnOutFileName;
  TqvxDuplexMode Duplex = dmNone;
  rtl::Integer SplicingLine = 3;
};

class TqvxReportOptions : public rtl::TPersistent {
  VCL_CLASS(TqvxReportOptions, rtl::TPersistent)
 public:
  explicit TqvxReportOptions(TqvxReport* report = nullptr);
  ~TqvxReportOptions() override;
  // ConnectionName is copied without the registry lookup; PrevPassword, HiddenPassword and Info stay.
  void Assign(const rtl::TPersistent* source) override;
  // Keeps the descriptive data while Info is on; HiddenPassword always stays.
  void Clear();
  // An empty password, the one accepted last or the one the application supplied passes; otherwise the password
  // dialog asks. A refused password goes to the report's Errors and its error handler.
  bool CheckPassword();

  const rtl::String& ConnectionName() const { return FConnectionName; }
  // Also hands the connection string stored in the registry under that name to the report's OnSetConnection.
  void SetConnectionName(const rtl::String& value);
  rtl::TStringList* Description() const { return FDescription.get(); }
  void SetDescription(rtl::TStringList* value);
  vcl::TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(vcl::TPicture* value);
  TqvxReport* Report() const { return FReport; }

  rtl::String Author;
  bool Compressed = false;
  rtl::TDateTime CreateDate = 0;
  rtl::String InitString;
  rtl::String Name;
  rtl::TDateTime LastChange = 0;
  rtl::String Password;
  rtl::String VersionBuild, VersionMajor, VersionMinor, VersionRelease;
  rtl::String PrevPassword;
  // A password an application supplies before loading.
  rtl::String HiddenPassword;
  // The report is read for its descriptive data only.
  bool Info = false;

 private:
  rtl::String FConnectionName;
  std::unique_ptr<rtl::TStringList> FDescription;
  std::unique_ptr<vcl::TPicture> FPicture;
  TqvxReport* FReport;
};

// The registry key under which connection names are kept (HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER).
extern rtl::String qvxConnectionsKey;
