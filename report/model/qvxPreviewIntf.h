#pragma once
// What the report model knows of finished pages: the prepared-pages store the engine writes into, the outline
// (bookmark tree) of those pages and a preview control a report can be attached to. The store, the outline and
// the preview themselves are built on top of the model (report/pages, report/preview); these bases fix their
// operations so that the model and the engine can call them.
#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxClass.h"

namespace vcl {
class TCanvas;
class TForm;
}  // namespace vcl

class TqvxReport;
class TqvxCustomEngine;
class TqvxCustomOutline;
class TqvxReportPage;
class TqvxPictureView;
class TqvxBand;
class TqvxCustomExportFilter;
class TqvxXMLItem;

VCL_ENUM(TqvxAddPageAction, apWriteOver, apAdd)
VCL_ENUM(TqvxProgressType, ptRunning, ptExporting, ptPrinting)
VCL_ENUM(TqvxMouseIntEvents, meClick, meDbClick, meMouseMove, meMouseUp, meMouseDown)

// The store of prepared pages. A descendant's constructor runs this one first and then gives the store its outline
// (SetOutline), which the store owns.
class TqvxCustomPreviewPages : public rtl::TObject {
 public:
  explicit TqvxCustomPreviewPages(TqvxReport* report);
  ~TqvxCustomPreviewPages() override;
  rtl::String ClassName() const override { return L"TqvxCustomPreviewPages"; }

  // Pages written so far (after the first of two passes: the total).
  virtual rtl::Integer GetCount() = 0;
  // A page object describing page index, which the caller may change and hand back to ModifyPage.
  virtual TqvxReportPage* GetPage(rtl::Integer index) = 0;
  // Width and height of page index in pixels.
  virtual TqvxPoint GetPageSize(rtl::Integer index) = 0;
  // No pages afterwards.
  virtual void Clear() = 0;
  // The same before a run fills the store again: a store may keep what the next pages can use until the run ends.
  virtual void ClearForRun() { Clear(); }
  // Once when a run starts.
  virtual void Initialize() = 0;
  // Appends a printed band with its objects to the current page, at their current positions, as difference texts
  // against their templates.
  virtual void AddObject(TqvxComponent* obj) = 0;
  // Starts a new output page made from the template page; later objects go to it.
  virtual void AddPage(TqvxReportPage* page) = 0;
  // Registers a template page before a run, so that objects can be stored as differences against it.
  virtual void AddSourcePage(TqvxReportPage* page) = 0;
  virtual void AddToSourcePage(TqvxComponent* obj) = 0;
  virtual void BeginPass() = 0;
  virtual void ClearFirstPassPages() = 0;
  // Takes the objects written since position (from GetCurPosition) off the current page, for PasteObjects.
  virtual void CutObjects(rtl::Integer position) = 0;
  virtual void Finish() = 0;
  virtual void IncLogicalPageNumber() = 0;
  virtual void ResetLogicalPageNumber() = 0;
  // Puts the cut objects on the current page (column), their top at y and their left moved by x.
  virtual void PasteObjects(Extended x, Extended y) = 0;
  virtual void ShiftAnchors(rtl::Integer from, rtl::Integer newTop) = 0;
  // Stores the view's picture once and sets its ImageIndex.
  virtual void AddPicture(TqvxPictureView* picture) = 0;
  // The band is already on the current page.
  virtual bool BandExists(TqvxBand* band) = 0;
  virtual rtl::Integer GetCurPosition() = 0;
  virtual rtl::Integer GetAnchorCurPosition() = 0;
  // The lowest bottom edge of the objects on the current page (in the column starting at columnPosition).
  virtual Extended GetLastY(Extended columnPosition = 0) = 0;
  virtual rtl::Integer GetLogicalPageNo() = 0;
  virtual rtl::Integer GetLogicalTotalPages() = 0;
  virtual void AddEmptyPage(rtl::Integer index) = 0;
  virtual void DeletePage(rtl::Integer index) = 0;
  virtual void ModifyPage(rtl::Integer index, TqvxReportPage* page) = 0;
  virtual void DrawPage(rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX,
                        Extended offsetY) = 0;
  // The object under (x, y) of page index; what it answers is the preview side's own.
  virtual rtl::TObject* ObjectOver(rtl::Integer index, rtl::Integer x, rtl::Integer y, vcl::TMouseButton button,
                                   vcl::TShiftState shift, Extended scale, Extended offsetX, Extended offsetY,
                                   vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent) = 0;
  virtual void AddFrom(TqvxReport* report) = 0;
  virtual void LoadFromStream(rtl::TStream& stream, bool allowPartialLoading = false) = 0;
  virtual void SaveToStream(rtl::TStream& stream) = 0;
  virtual bool LoadFromFile(const rtl::String& fileName, bool exceptionIfNotFound = false) = 0;
  virtual void SaveToFile(const rtl::String& fileName) = 0;
  virtual bool Print() = 0;
  virtual bool Export(TqvxCustomExportFilter* filter) = 0;

  rtl::Integer Count() { return GetCount(); }
  TqvxReportPage* Page(rtl::Integer index) { return GetPage(index); }
  TqvxPoint PageSize(rtl::Integer index) { return GetPageSize(index); }

  TqvxAddPageAction AddPageAction = apWriteOver;
  rtl::Integer CurPage = 0;
  // 1-based page shown when printing or exporting starts.
  rtl::Integer CurPreviewPage = 0;
  rtl::Integer FirstPage = 0;
  TqvxCustomOutline* Outline() const { return FOutline; }
  TqvxReport* Report() const { return FReport; }
  void SetReport(TqvxReport* value) { FReport = value; }
  TqvxCustomEngine* Engine() const { return FEngine; }
  void SetEngine(TqvxCustomEngine* value) { FEngine = value; }

 protected:
  // Takes ownership; the previous outline is freed.
  void SetOutline(TqvxCustomOutline* value);

 private:
  TqvxCustomOutline* FOutline = nullptr;
  TqvxReport* FReport = nullptr;
  TqvxCustomEngine* FEngine = nullptr;
};

// The outline of prepared pages: a tree of entries, each naming a page and a position on it.
class TqvxCustomOutline : public rtl::TPersistent {
  VCL_CLASS(TqvxCustomOutline, rtl::TPersistent)
 public:
  explicit TqvxCustomOutline(TqvxCustomPreviewPages* previewPages) : FPreviewPages(previewPages) {}

  // Children of the current item.
  virtual rtl::Integer GetCount() = 0;
  // Adds an entry on the current page at top under the current item and makes it current.
  virtual void AddItem(const rtl::String& text, rtl::Integer top) = 0;
  virtual void LevelDown(rtl::Integer index) = 0;
  virtual void LevelRoot() = 0;
  virtual void LevelUp() = 0;
  // Child index of the current item; page is 0-based.
  virtual void GetItem(rtl::Integer index, rtl::String& text, rtl::Integer& page, rtl::Integer& top) = 0;
  // Entries added after from move with pasted objects to the current page at newTop.
  virtual void ShiftItems(TqvxXMLItem* from, rtl::Integer newTop) = 0;
  virtual TqvxXMLItem* GetCurPosition() = 0;

  rtl::Integer Count() { return GetCount(); }
  TqvxXMLItem* CurItem = nullptr;
  TqvxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TqvxCustomPreviewPages* value) { FPreviewPages = value; }
  // The engine of the store.
  TqvxCustomEngine* Engine() const { return FPreviewPages ? FPreviewPages->Engine() : nullptr; }

 private:
  TqvxCustomPreviewPages* FPreviewPages;
};

// A preview control a report can be attached to (the report's Preview property).
class TqvxCustomPreview : public vcl::TCustomControl {
  VCL_CLASS(TqvxCustomPreview, vcl::TCustomControl)
 public:
  explicit TqvxCustomPreview(vcl::TComponent* owner) : vcl::TCustomControl(owner) {}

  // Shows the pages of report (after preparing, or for pages already prepared).
  virtual bool Init(TqvxReport* report, TqvxCustomPreviewPages* previewPages) = 0;
  // The report goes away: the preview lets go of its pages.
  virtual void UnInit(TqvxCustomPreviewPages* previewPages) = 0;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  virtual void RefreshReport() = 0;
  virtual void InternalOnProgressStart(TqvxReport* report, TqvxProgressType progressType, rtl::Integer progress) = 0;
  virtual void InternalOnProgress(TqvxReport* report, TqvxProgressType progressType, rtl::Integer progress) = 0;
  virtual void InternalOnProgressStop(TqvxReport* report, TqvxProgressType progressType, rtl::Integer progress) = 0;

  TqvxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TqvxCustomPreviewPages* value) { FPreviewPages = value; }
  TqvxReport* Report() const { return FReport; }
  void SetReport(TqvxReport* value) { FReport = value; }
  bool UseReportHints() const { return FUseReportHints; }
  void SetUseReportHints(bool value) { FUseReportHints = value; }
  vcl::TForm* PreviewForm() const { return FPreviewForm; }
  void SetPreviewForm(vcl::TForm* value) { FPreviewForm = value; }

 private:
  TqvxCustomPreviewPages* FPreviewPages = nullptr;
  TqvxReport* FReport = nullptr;
  bool FUseReportHints = false;
  vcl::TForm* FPreviewForm = nullptr;
};

// The preview window of a report (made by the preview side through its link). It owns its preview control.
class TqvxCustomPreviewForm : public vcl::TForm {
  VCL_CLASS(TqvxCustomPreviewForm, vcl::TForm)
 public:
  explicit TqvxCustomPreviewForm(vcl::TComponent* owner) : vcl::TForm(owner) {}

  virtual TqvxCustomPreview* Preview() const = 0;
  // Initialises the control with its report and pages and applies the report's preview options.
  virtual void Init() = 0;
  // Writes value into the status bar (the hint panel when isHint), then processes pending messages.
  virtual void SetMessageText(const rtl::String& value, bool isHint = false) = 0;

  // The window frees itself when closed (set for a window shown without waiting).
  bool FreeOnClose = false;
};

// The progress window of long runs, printing and exports. Its Cancel button sets Terminated and closes it.
class TqvxCustomProgress : public vcl::TForm {
  VCL_CLASS(TqvxCustomProgress, vcl::TForm)
 public:
  explicit TqvxCustomProgress(vcl::TComponent* owner) : vcl::TForm(owner) {}

  // Clears Terminated, shows Cancel only when canceled and the bar only when progress, sets the range 0..maxValue
  // and the message, shows the window and processes pending messages.
  virtual void Execute(rtl::Integer maxValue, const rtl::String& msg, bool canceled, bool progress) = 0;
  // Sets the message and repaints it at once.
  virtual void SetMessage(const rtl::String& value) = 0;

  bool Terminated = false;
};
