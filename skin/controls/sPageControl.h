#pragma once
// The skinned page control and its sheets. Without an active skin they are the platform's tabbed pages: the page
// named by ActivePage is shown first, and the system paints the tabs (close buttons, when asked for, are drawn
// over them). With an active skin the control paints itself into its skin state's cache: the page body from its
// section ("PAGECONTROL" plus the side for tabs not on top), the tab strip over the parent's background, and each
// tab from the skin's tab section for its side and place in the row ("TABTOP", "TABTOPFIRST" ...), with its caption,
// focus rectangle and close button. Ctrl+Tab moves to the next page; a tab's close button frees or hides its page.
#include <memory>

#include "platform/vcl/comctrls.h"
#include "skin/core/sCommonData.h"

class TsTabSheet;
class TsPageControl;
class TlvSpinWnd;
class TlvThreadedTimer;
namespace vcl {
class TPopupMenu;
}

VCL_ENUM(TlvTabType, ttButton, ttMenu, ttTab)
VCL_ENUM(TlvCloseAction, acaHide, acaFree)

using TlvCloseBtnClick =
    vcl::TEvent<void(rtl::TObject* Sender, int Index, bool& CanClose, TlvCloseAction& Action)>;
using TlvTabChangingEvent = vcl::TEvent<void(rtl::TObject* Sender, TsTabSheet* NewPage, bool& AllowChange)>;
using TlvTabMouseEvent = vcl::TEvent<void(rtl::TObject* Sender, int PageIndex)>;

// What a sheet keeps about its own look: its colour and font are its own, and a section under its area.
class TsTabSkinData : public rtl::TPersistent {
  VCL_CLASS(TsTabSkinData, rtl::TPersistent)
  explicit TsTabSkinData(TsTabSheet* page = nullptr) : FPage(page) {}
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value) { FCustomColor = value; }
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value);
  const rtl::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const rtl::String& value) { FSkinSection = value; }
  void Assign(const rtl::TPersistent* source) override;

 private:
  bool FCustomColor = false;
  bool FCustomFont = false;
  TsTabSheet* FPage;
  rtl::String FSkinSection;
};

class TsTabSheet : public vcl::TTabSheet {
  VCL_CLASS(TsTabSheet, vcl::TTabSheet)
  explicit TsTabSheet(vcl::TComponent* owner);
  ~TsTabSheet() override;
  TsTabSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsTabSkinData* value) { FCommonData->Assign(value); }
  // A page answers its section and passes the skin commands on to its controls.
  void WndProc(vcl::TMessage& message) override;

  TlvTabType TabType() const { return FTabType; }
  void SetTabType(TlvTabType value);
  const rtl::String& TabSkin() const { return FTabSkin; }
  void SetTabSkin(const rtl::String& value);
  const rtl::String& ButtonSkin() const { return FButtonSkin; }
  void SetButtonSkin(const rtl::String& value);
  bool UseCloseBtn() const { return FUseCloseBtn; }
  void SetUseCloseBtn(bool value);
  vcl::TNotifyEvent OnClickBtn;
  // The menu a ttMenu tab opens (not owned).
  vcl::TPopupMenu* TabMenu() const { return FTabMenu; }
  void SetTabMenu(vcl::TPopupMenu* value);
  TsPageControl* SkinnedPageControl() const;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  // The fade of the tab's hot state (owned; nil until the tab first fades).
  TlvThreadedTimer* AnimTimer = nullptr;

 protected:
  void WMEraseBkgnd(vcl::TMessage& m) override;
  std::unique_ptr<TsTabSkinData> FCommonData;
  rtl::String FTabSkin, FButtonSkin;
  TlvTabType FTabType = ttTab;
  bool FUseCloseBtn = true;
  vcl::TPopupMenu* FTabMenu = nullptr;
};

// The parts of one tab, in the tab bitmap's coordinates; an empty rectangle means the part is absent.
struct TlvTabData {
  vcl::TRect GlyphRect, TextRect, BtnRect, ArrowRect, FocusRect;
  vcl::TSize TextSize;
  vcl::TPoint TextPos;
  TlvSide ArrowDirection = asBottom;
};

class TsPageControl : public vcl::TPageControl {
  VCL_CLASS(TsPageControl, vcl::TPageControl)
  void WndProc(vcl::TMessage& message) override;
  explicit TsPageControl(vcl::TComponent* owner);
  ~TsPageControl() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }
  bool Skinned() const;

  // Properties.
  bool ShowCloseBtns() const { return FShowCloseBtns; }
  void SetShowCloseBtns(bool value);
  const rtl::String& CloseBtnSkin() const { return FCloseBtnSkin; }
  void SetCloseBtnSkin(const rtl::String& value);
  bool ActiveIsBold() const { return FActiveIsBold; }
  void SetActiveIsBold(bool value);
  bool ActiveTabEnlarged() const { return FActiveTabEnlarged; }
  void SetActiveTabEnlarged(bool value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  bool AccessibleDisabledPages() const { return FAccessibleDisabledPages; }
  void SetAccessibleDisabledPages(bool value) { FAccessibleDisabledPages = value; }
  bool AllowAnimSwitching() const { return FAllowAnimSwitching; }
  void SetAllowAnimSwitching(bool value) { FAllowAnimSwitching = value; }
  bool RotateCaptions() const { return FRotateCaptions; }
  void SetRotateCaptions(bool value);
  bool ReflectedGlyphs() const { return FReflectedGlyphs; }
  void SetReflectedGlyphs(bool value) { FReflectedGlyphs = value; }
  int TabMargin() const { return FTabMargin; }
  void SetTabMargin(int value);
  int TabPadding() const { return FTabPadding; }
  void SetTabPadding(int value);
  int TabSpacing() const { return FTabSpacing; }
  void SetTabSpacing(int value);
  vcl::TAlignment TabAlignment() const { return FTabAlignment; }
  void SetTabAlignment(vcl::TAlignment value);
  const rtl::String& TabsLineSkin() const { return FTabsLineSkin; }
  void SetTabsLineSkin(const rtl::String& value);
  int CurItem() const { return FCurItem; }
  void SetCurItem(int value);
  int HoveredBtnIndex() const { return FHoveredBtnIndex; }
  // False takes the platform's scroll arrows of an overflowing single-line strip away (it cannot scroll then).
  bool ShowUpDown() const { return FShowUpDown; }
  void SetShowUpDown(bool value);
  // Skinned: the platform's scroll arrows get a wrapper that paints them from SpinSection(); unskinned the
  // wrapper goes and the platform paints them.
  void CheckUpDown();
  rtl::String SpinSection() const;
  TlvSpinWnd* SpinWnd() const { return FSpinWnd.get(); }
  int PressedBtnIndex() const { return FPressedBtnIndex; }
  // The page whose tab menu is open (-1 when none).
  int DroppedDown() const { return DroppedDownItem; }
  // One tab painted again, faded from its old look when the skin allows animation.
  void RepaintTab(int pageIndex, bool animate);
  // 0 normal; for the hot tab 4 with its button (or itself as a button) held, 3 with its close button hot, 2 with
  // its menu open, else 1.
  int GetTabState(int pageIndex);
  // Every tab fade stopped and its timer freed.
  void KillTimers();
  // True while some tab is fading.
  bool TabFading();

  TlvCloseBtnClick OnCloseBtnClick;
  TlvTabChangingEvent OnPageChanging;
  TlvTabMouseEvent OnTabMouseEnter, OnTabMouseLeave;

  // Geometry (client coordinates).
  vcl::TRect TabRect(int tabIndex);
  vcl::TRect TabsRect();
  vcl::TRect PageRect();
  vcl::TRect TabsBGRect();
  vcl::TRect SkinTabRect(int tabIndex, bool active);
  int GetTabUnderMouse(vcl::TPoint p);
  TlvTabLayout GetTabLayout(int pageIndex);
  bool IsSpecialTab(int pageIndex, bool menuOnly = false);
  int CheckActiveTab(int pageIndex);
  int VisibleTabsCount();
  int PageIndexFromTabIndex(int tabIndex);
  void InitTabContentData(vcl::TCanvas* canvas, TsTabSheet* page, vcl::TRect r, int state, bool special,
                          TlvTabData& data);
  // The close button of a page's tab in client coordinates (empty when it has none).
  vcl::TRect CloseBtnRect(int pageIndex);
  bool CanBeActive(TsTabSheet* page);
  void UpdateBtnData();
  // Painting.
  bool PrepareCache();
  void DrawSkinTabs(vcl::TBitmap* bmp);
  void DrawSkinTab(int pageIndex, int state, vcl::TBitmap* bmp);
  void PaintButton(HDC dc, const vcl::TRect& r, int state);
  void DrawCloseBtn(HDC dc, const vcl::TRect& r, int state);
  // Unskinned, with close buttons, turned captions or button tabs: the tabs drawn with the platform's visual style
  // when the window has one, else in the classic look; captions beside the close buttons.
  void StdPaint(HDC dc);
  void DrawStdTab(int pageIndex, int state, vcl::TBitmap* bmp);
  int SkinTabSection(int pageIndex, int& covering);
  // The section name the control answers as its default ("PAGECONTROL" plus the side's name).
  rtl::String DefaultSection() const;

 protected:
  bool PaintsItself() const override;
  void InitializeWnd() override;
  void PaintWindow(HDC dc) override;
  void WMEraseBkgnd(vcl::TMessage& m) override;
  void CMHintShow(vcl::TMessage& m) override;
  bool CanChange() override;
  void SetPadding(bool showButtons);
  void OpenTabMenu(int pageIndex);
  // True when a page switch fades from the old page to the new one.
  bool AnimatesPageSwitch();
  void SwitchPage(vcl::TMessage& message, bool changing);
  // Frees or hides the page of a clicked close button; true when it went.
  bool ClosePage(int pageIndex);

  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<vcl::TBitmap> TabsBG;
  rtl::String FCloseBtnSkin, FTabsLineSkin;
  bool FShowCloseBtns = false, FAllowAnimSwitching = true, FShowFocus = true, FActiveIsBold = false,
       FRotateCaptions = false, FReflectedGlyphs = false, FActiveTabEnlarged = true, FAccessibleDisabledPages = true;
  int FTabMargin = 3, FTabPadding = 0, FTabSpacing = 6;
  vcl::TAlignment FTabAlignment = vcl::taCenter;
  int FTabsLineIndex = -1;
  int FHoveredBtnIndex = -1, FPressedBtnIndex = -1;
  int FCurItem = -1;
  int BtnIndex = -1, BtnWidth = 15, BtnHeight = 15;
  int DroppedDownItem = -1;
  int StoredVisiblePageCount = 0;
  TsTabSheet* FChangingTo = nullptr;
  bool FShowUpDown = true;
  std::unique_ptr<TlvSpinWnd> FSpinWnd;
};
