#pragma once
// The bases of what a program may add to the report library: a visual designer, export filters (prepared pages to
// other file formats), a compressor for templates and prepared reports and a crypter for templates. The report
// finds a compressor, crypter or designer through the class slots below; this program links none, so templates
// are plain XML and no export filter exists.
#include <memory>

#include "platform/rtl/datetime.h"
#include "platform/rtl/list.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"

class TqvxReport;
class TqvxComponent;
class TqvxPage;
class TqvxReportPage;

class TqvxCustomDesigner : public vcl::TForm {
  VCL_CLASS(TqvxCustomDesigner, vcl::TForm)
 public:
  TqvxCustomDesigner(vcl::TComponent* owner, TqvxReport* report, bool previewDesigner);
  ~TqvxCustomDesigner() override;

  // Also marks the report modified when value is true.
  virtual void SetModified(bool value);
  virtual void SetPage(TqvxPage* value) { Page = value; }
  virtual rtl::String InsertExpression(const rtl::String& expr) = 0;
  virtual void Lock() = 0;
  virtual void ReloadPages(rtl::Integer index) = 0;
  virtual void ReloadReport() = 0;
  virtual void UpdateDataTree() = 0;
  virtual void UpdatePage() = 0;
  virtual void UpdateInspector() = 0;
  virtual void DisableInspectorUpdate() = 0;
  virtual void EnableInspectorUpdate() = 0;

  TqvxReport* Report;
  bool IsPreviewDesigner;
  rtl::String MemoFontName;
  rtl::Integer MemoFontSize = 0;
  bool UseObjectFont = false;
  vcl::TForm* ParentForm = nullptr;
  bool Modified = false;
  bool InspectorLock = false;
  rtl::TList* Objects() const { return FObjects.get(); }
  TqvxPage* Page = nullptr;
  rtl::TList* SelectedObjects() const { return FSelectedObjects.get(); }

 private:
  std::unique_ptr<rtl::TList> FObjects, FSelectedObjects;
};

using TqvxBeginExportEvent = vcl::TEvent<void(rtl::TObject* Sender)>;

class TqvxCustomExportFilter : public vcl::TComponent {
  VCL_CLASS(TqvxCustomExportFilter, vcl::TComponent)
 public:
  // Registers the filter in the export-filter registry.
  explicit TqvxCustomExportFilter(vcl::TComponent* owner);
  // A filter outside the registry, without owner.
  TqvxCustomExportFilter();
  ~TqvxCustomExportFilter() override;

  // The text for menus (empty here).
  virtual rtl::String GetDescription() { return rtl::String(); }
  virtual vcl::TModalResult ShowModal() { return vcl::mrOk; }
  virtual bool Start() { return true; }
  virtual void ExportObject(TqvxComponent* component) = 0;
  virtual void Finish() {}
  virtual void FinishPage(TqvxReportPage* page, rtl::Integer index) {}
  virtual void StartPage(TqvxReportPage* page, rtl::Integer index) {}

  bool CurPage = false;
  bool ExportNotPrintable = false;
  rtl::String FileName;
  bool NoRegister = false;
  rtl::String PageNumbers;
  TqvxReport* Report = nullptr;
  bool ShowDialog = true;
  rtl::TStream* Stream = nullptr;
  bool UseFileCache = true;
  rtl::String DefaultPath;
  bool SlaveExport = false;
  bool ShowProgress = true;
  rtl::String DefaultExt, FilterDesc;
  bool SuppressPageHeadersFooters = false;
  rtl::String ExportTitle;
  bool OverwritePrompt = false;
  // Made by a descendant when it writes several files; owned.
  std::unique_ptr<rtl::TStringList> Files;
  TqvxBeginExportEvent OnBeginExport;
  rtl::TDateTime CreationTime = 0;
  bool DataOnly = false;

 private:
  void Init();
};

// Ends an export quietly.
class EExportTerminated : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"EExportTerminated"; }
};

// A compressor puts its class into qvxCompressorClass when it is made (through the class registry or
// vcl::Create) and the class it replaced back when it is freed.
class TqvxCustomCompressor : public vcl::TComponent {
  VCL_CLASS(TqvxCustomCompressor, vcl::TComponent)
 public:
  explicit TqvxCustomCompressor(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  ~TqvxCustomCompressor() override;
  void AfterConstruction() override;

  // True when source held compressed data, which is then in Stream.
  virtual bool Decompress(rtl::TStream& source) = 0;
  // Writes Stream compressed to dest.
  virtual void Compress(rtl::TStream& dest) = 0;
  // The work stream: a memory stream for a template or without the report's file cache, else a new temporary
  // file in the report's TempDir.
  void CreateStream();

  bool IsQV3File = false;
  const vcl::TClassInfo* OldCompressor = nullptr;
  TqvxReport* Report = nullptr;
  std::unique_ptr<rtl::TStream> Stream;
  rtl::String TempFile;
};

class TqvxCustomCrypter : public vcl::TComponent {
  VCL_CLASS(TqvxCustomCrypter, vcl::TComponent)
 public:
  explicit TqvxCustomCrypter(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  void AfterConstruction() override;

  // True when source was encrypted; its clear content is then in Stream.
  virtual bool Decrypt(rtl::TStream& source, const std::string& key) = 0;
  virtual void Crypt(rtl::TStream& dest, const std::string& key) = 0;
  // A memory stream.
  void CreateStream();

  std::unique_ptr<rtl::TStream> Stream;
};

// The class slots through which a report finds its plug-ins (nullptr: none).
extern const vcl::TClassInfo* qvxDesignerClass;
extern const vcl::TClassInfo* qvxCompressorClass;
extern const vcl::TClassInfo* qvxCrypterClass;
