#pragma once
// Page control and tab sheets over the system's tab control.
//
// The sheets are child windows of the tab control, placed over its display area; only the active sheet is
// visible, so the controls on the other sheets are hidden with them. A sheet's tab shows its Caption; a sheet
// with TabVisible false keeps its place in Pages but has no tab.
#include <vector>

#include "platform/vcl/controls.h"

namespace vcl {

class TCanvas;
class TCustomImageList;
class TPageControl;

class TTabSheet : public TWinControl {
  VCL_CLASS(TTabSheet, TWinControl)
public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return page_control_; }
  void SetPageControl(TPageControl* v);
  int PageIndex() const;
  void SetPageIndex(int v);
  // The index of the sheet's tab among the tabs shown; -1 without a tab.
  int TabIndex() const;
  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool v);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int v);
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

protected:
  void CMTextChanged(TMessage& m) override;
  void CMShowingChanged(TMessage& m) override;
  friend class TPageControl;

  TPageControl* page_control_ = nullptr;
  bool tab_visible_ = true;
  int image_index_ = -1;
};

using TTabChangingEvent = TEvent<void(rtl::TObject* Sender, bool& AllowChange)>;
// An owner-drawn tab: Rect in the control's client coordinates; the control's Canvas draws into the tab.
using TDrawTabEvent = TEvent<void(TPageControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

VCL_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
// Tabs, raised buttons, or buttons that are flat until pressed.
VCL_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)

class TPageControl : public TWinControl {
  VCL_CLASS(TPageControl, TWinControl)
public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return active_page_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int v);
  // The selected tab among the tabs shown (-1 when none).
  int TabIndex();
  void SetTabIndex(int v);
  TTabPosition TabPosition() const { return tab_position_; }
  void SetTabPosition(TTabPosition v);
  bool MultiLine() const { return multi_line_; }
  void SetMultiLine(bool v);
  // Pictures of the tabs: each sheet's ImageIndex in this list, shown before its caption.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  // A fixed tab size (0: measured from the caption). For tabs on the side the width runs along the strip and the
  // height across it, as the system lays out side tabs.
  int TabWidth() const { return tab_width_; }
  void SetTabWidth(int v);
  int TabHeight() const { return tab_height_; }
  void SetTabHeight(int v);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle v);
  // The tab under the mouse is shown hot.
  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool v);
  // Tabs drawn by OnDrawTab instead of the system.
  bool OwnerDraw() const { return owner_draw_; }
  void SetOwnerDraw(bool v);
  TCanvas* Canvas() const { return canvas_; }
  void Notification(TComponent* component, TOperation operation) override;
  // The next (or previous) sheet with a tab after current, wrapping round.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible);
  void SelectNextPage(bool goForward, bool checkTabVisible = true);
  void AdjustClientRect(TRect& rect) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Loaded() override;
  // Sheets are written in page order, so a written form reads back with its pages in the same order.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;

protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  virtual bool CanChange();
  virtual void Change();
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTabs();
  void UpdateTab(TTabSheet* page);
  void ShowActivePage();
  void UpdateImages();
  void UpdateTabSize();
  virtual void DrawTab(int tabIndex, const TRect& rect, bool active);
  friend class TTabSheet;

  std::vector<TTabSheet*> pages_;
  TTabSheet* active_page_ = nullptr;
  TTabPosition tab_position_ = tpTop;
  bool multi_line_ = false;
  bool updating_tabs_ = false;
  TCustomImageList* images_ = nullptr;
  int tab_width_ = 0, tab_height_ = 0;
  bool owner_draw_ = false;
  TTabStyle style_ = tsTabs;
  bool hot_track_ = false;
  TCanvas* canvas_ = nullptr;
};

}  // namespace vcl
