#pragma once
// The control that shows a prepared report: the page area, an outline tree or a thumbnail strip on the left, a
// row of tabs when it shows several prepared reports, and a message panel with a cancel button for long work. It
// also carries the commands on the shown report (print, save, load, export, find, page setup, edit, add and delete
// pages, cancel a preparation). The pages live in the report's prepared-pages store, which the control only reads,
// draws and asks to change.
#include <memory>
#include <vector>

#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/splitter.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/treeview.h"
#include "report/model/qvxOptions.h"
#include "report/model/qvxPreviewIntf.h"
#include "report/preview/qvxPreviewWorkspace.h"
#include "report/print/qvxPreviewActions.h"

class TqvxPreviewForm;
class TqvxPreview;

using TqvxPageChangedEvent = vcl::TEvent<void(rtl::TObject* Sender, int PageNo)>;

// The preview's row of tabs: a page control with empty sheets whose tabs show the pictures of its image list
// (each tab its close glyph).
class TqvxPreviewTabRow : public vcl::TPageControl {
  VCL_CLASS(TqvxPreviewTabRow, vcl::TPageControl)
 public:
  explicit TqvxPreviewTabRow(vcl::TComponent* owner) : vcl::TPageControl(owner) {}
  // The rectangle of tab index in the row's client coordinates (empty when there is none).
  RECT TabRect(int index);
};

// One prepared report shown in a tab of the preview.
struct TqvxPreviewTabItem {
  rtl::String Name;
  int Top = 0;
  int Left = 0;
  int PageNo = 0;
  TqvxReport* Report = nullptr;
  TqvxCustomPreviewPages* PreviewPages = nullptr;
  Extended Zoom = 1;
  // The tab's report (or its pages) goes with the tab.
  bool FreeObjects = false;
};

// The preview's tabs: one item per tab, the tab row shown only with two or more.
class TqvxPreviewTabs {
 public:
  explicit TqvxPreviewTabs(TqvxPreview* preview) : FPreview(preview) {}
  ~TqvxPreviewTabs();
  int Count() const { return static_cast<int>(FItems.size()); }
  TqvxPreviewTabItem& Items(int index) { return *FItems[index]; }
  int CurTab() const { return FCurTab; }

  void AddTab(TqvxReport* report, const rtl::String& tabName, const rtl::String& tabCaption, bool freeObjects);
  void AddTabOrSwitch(TqvxReport* report, const rtl::String& tabName, const rtl::String& tabCaption,
                      bool freeObjects);
  bool HasTab(TqvxReport* report) const;
  bool HasTab(const rtl::String& name) const;
  void SwitchToTab(TqvxReport* report);
  void SwitchToTab(const rtl::String& name);
  void SetCurrentTab(int index);
  void RemoveTab(int index);
  void DeleteTab(int index);
  void ClearTabs();
  // The first tab is bound to another report and pages (a later Init without tabs per report).
  void SetFirst(TqvxReport* report, TqvxCustomPreviewPages* pages);

 private:
  void ShowRow();
  TqvxPreview* FPreview;
  std::vector<std::unique_ptr<TqvxPreviewTabItem>> FItems;
  int FCurTab = 0;
};

class TqvxPreview : public TqvxCustomPreview, public TqvxPreviewActions {
  VCL_CLASS(TqvxPreview, TqvxCustomPreview)
 public:
  explicit TqvxPreview(vcl::TComponent* owner);
  ~TqvxPreview() override;

  // --- what the report calls
  bool Init(TqvxReport* report, TqvxCustomPreviewPages* previewPages) override;
  void UnInit(TqvxCustomPreviewPages* previewPages) override;
  void Lock() override;
  void Unlock() override;
  void RefreshReport() override;
  void InternalOnProgressStart(TqvxReport* report, TqvxProgressType progressType, rtl::Integer progress) override;
  void InternalOnProgress(TqvxReport* report, TqvxProgressType progressType, rtl::Integer progress) override;
  void InternalOnProgressStop(TqvxReport* report, TqvxProgressType progressType, rtl::Integer progress) override;

  // --- what the page drawing and the mouse over pages ask (TqvxPreviewActions)
  void GotoPage(rtl::Integer page, rtl::Integer top) override;
  void ShowReportHint(const rtl::String& hint, bool show, int x, int y) override;
  void InvalidateWorkspace() override;
  bool SwitchToTab(const rtl::String& name) override;
  void AddTab(TqvxReport* report, const rtl::String& name, const rtl::String& caption) override;
  void AddDetailPageTab(TqvxReport* report, TqvxPage* page, const rtl::String& name,
                        const rtl::String& caption) override;

  // --- navigation and view
  void First() { SetPageNo(1); }
  void Next() { SetPageNo(FPageNo + 1); }
  void Prior() { SetPageNo(FPageNo - 1); }
  void Last() { SetPageNo(PageCount()); }
  int PageNo() const { return FPageNo; }
  void SetPageNo(int value);
  int PageCount();
  void SetPosition(int pageN, int top);
  int GetTopPosition();
  Extended Zoom() const { return FZoom; }
  void SetZoom(Extended value);
  TqvxZoomMode ZoomMode() const { return FZoomMode; }
  void SetZoomMode(TqvxZoomMode value);
  void MouseWheelScroll(int delta, bool horz, bool zoom);
  void UpdatePages();
  void UpdateOutline();
  void UpdatePageNumbers();

  // --- commands
  void Print();
  void SaveToFile();
  void SaveToFile(const rtl::String& fileName);
  void LoadFromFile();
  void LoadFromFile(const rtl::String& fileName);
  void Export(TqvxCustomExportFilter* filter);
  void Find();
  void FindNext();
  bool FindText(const rtl::String& searchString, bool fromTop, bool isCaseSensitive);
  bool FindTextFound() const;
  void FindTextClear();
  void PageSetupDlg();
  void Edit();
  void EditTemplate();
  void AddPage();
  void DeletePage();
  void Clear();
  void Cancel();
  void ShowMessage(const rtl::String& text);
  void HideMessage();

  // --- properties
  bool OutlineVisible() const;
  void SetOutlineVisible(bool value);
  bool ThumbnailVisible() const;
  void SetThumbnailVisible(bool value);
  int OutlineWidth() const;
  void SetOutlineWidth(int value);
  vcl::TColor OutlineColor() const { return FOutlineColor; }
  void SetOutlineColor(vcl::TColor value);
  vcl::TColor ActiveFrameColor() const { return FWorkspace->ActiveFrameColor(); }
  void SetActiveFrameColor(vcl::TColor value) { FWorkspace->SetActiveFrameColor(value); }
  vcl::TColor BackColor() const { return FWorkspace->BackColor(); }
  void SetBackColor(vcl::TColor value) { FWorkspace->SetBackColor(value); }
  vcl::TColor FrameColor() const { return FWorkspace->FrameColor(); }
  void SetFrameColor(vcl::TColor value) { FWorkspace->SetFrameColor(value); }
  vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(vcl::TBorderStyle value);
  bool EachReportInTab() const { return FEachReportInTab; }
  void SetEachReportInTab(bool value) { FEachReportInTab = value; }
  bool Locked() const { return FLocked; }
  bool Running() const { return FRunning; }
  bool AllowF3() const { return FAllowF3; }
  vcl::TTreeView* OutlineTree() const { return FOutline; }
  vcl::TSplitter* Splitter() const { return FSplitter; }
  TqvxPreviewWorkspace* Thumbnail() const { return FThumbnail; }
  TqvxPreviewWorkspace* Workspace() const { return FWorkspace; }
  TqvxPreviewTabRow* Tabs() const { return FTabs; }
  vcl::TImageList* TabImages() const { return FTabImgList; }
  TqvxPreviewTabs* TabItems() const { return FTabItems.get(); }
  vcl::TPanel* MessagePanel() const { return FMessagePanel; }
  vcl::TButton* CancelButton() const { return FCancelButton; }
  bool CalledFromPreview() const { return FCalledFromPreview; }
  // The window hosting the control, when it is the preview window.
  TqvxPreviewForm* HostForm() const;

  // Keys pressed in the page area are the control's.
  void PreviewKeyDown(rtl::Word& key, vcl::TShiftState shift) { KeyDown(key, shift); }

  TqvxPageChangedEvent OnPageChanged;

 protected:
  void CreateParams(vcl::TCreateParams& params) override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void Resize() override;
  void Dispatch(vcl::TMessage& m) override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  friend class TqvxPreviewTabs;
  void OnOutlineClick(rtl::TObject* sender, vcl::TTreeNode* node);
  void OnCollapseClick(rtl::TObject* sender);
  void OnExpandClick(rtl::TObject* sender);
  void OnCancelClick(rtl::TObject* sender);
  void OnSplitterMoved(rtl::TObject* sender);
  void OnTabChange(rtl::TObject* sender);
  void OnTabsMouseUp(rtl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void FillOutline(vcl::TTreeNode* parent);
  int ViewWidth(TqvxPreviewWorkspace* w);
  void FocusWorkspace();
  TqvxPreviewButtons Buttons() const;

  bool FAllowF3 = false;
  vcl::TBorderStyle FBorderStyle = vcl::bsSingle;
  vcl::TButton* FCancelButton = nullptr;
  bool FLocked = false;
  vcl::TLabel* FMessageLabel = nullptr;
  vcl::TPanel* FMessagePanel = nullptr;
  vcl::TTreeView* FOutline = nullptr;
  vcl::TColor FOutlineColor;
  vcl::TPopupMenu* FOutlinePopup = nullptr;
  int FPageNo = 1;
  bool FRefreshing = false;
  bool FRunning = false;
  vcl::TSplitter* FSplitter = nullptr;
  TqvxPreviewWorkspace* FThumbnail = nullptr;
  unsigned FTick = 0;
  TqvxPreviewWorkspace* FWorkspace = nullptr;
  Extended FZoom = 1;
  TqvxZoomMode FZoomMode = zmDefault;
  TqvxPreviewTabRow* FTabs = nullptr;
  bool FInitialized = false;
  bool FCalledFromPreview = false;
  std::unique_ptr<TqvxPreviewTabs> FTabItems;
  vcl::TImageList* FTabImgList = nullptr;
  bool FEachReportInTab = false;
  // A detail page is being prepared into a store of its own.
  bool FPreparingDetail = false;
};
