#pragma once
// Wrappers of tab controls the library does not own: the page area, the strip behind the tabs and every tab with
// its image and caption (rotated for tabs on the left or right), the up-down scroller of an overflowing strip,
// and the pages of a page control, whose background comes from the tab control's image.
#include <memory>
#include <vector>

#include "skin/windows/lvSBUtils.h"

class TlvSpinWnd;

class TlvTabControlWnd : public TlvMainWnd {
 public:
  ~TlvTabControlWnd() override;
  TlvSpinWnd* BtnSW = nullptr;

  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  virtual vcl::TRect ClientRect();
  virtual vcl::TRect PageRect();

  void LV_WMPaint(vcl::TMessage& message);
  int TabCount();
  int ActiveTabIndex();
  void DrawSkinTabs(const TCacheInfo& ci);
  vcl::TRect SkinTabRect(int index, bool active);
  void DrawSkinTab(int index, int state, HDC dc);
  void DrawSkinTab(int index, int state, vcl::TPoint offset, vcl::TBitmap* bmp);
  vcl::TRect TabRect(int index);
  vcl::TRect TabsRect();
  int TabRow(int index);
  int TabPosition();
  int Style();
  void CheckUpDown();
  // The text of a tab as TCM_GETITEM gives it, read into a buffer of 4096 characters.
  rtl::String TabText(int index, int* image = nullptr);

 protected:
  vcl::TSize RememberedSize;

 private:
  // The window cut where the page area meets the tabs: the tabs' part, or the page's.
  vcl::TRect SplitAtPage(bool tabsPart);
};

class TlvPageControlWnd : public TlvTabControlWnd {
 public:
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  vcl::TRect ClientRect() override { return TlvTabControlWnd::ClientRect(); }
  vcl::TRect PageRect() override { return TlvTabControlWnd::PageRect(); }
  void InitPages();
};

class TlvPageWnd : public TlvMainWnd {
 public:
  vcl::TControl* Page = nullptr;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMEraseBKGnd(HDC dc);
  int TabPosition();
};

// The page wrappers made for pages; owned here, freed with the program or when their window goes.
std::vector<std::unique_ptr<TlvMainWnd>>& ServWndList();
// Frees the page wrappers whose windows are gone or that belong to the children of tab control handle.
void FreeServWnds(HWND tabControl);
BOOL CALLBACK EnumPages(HWND handle, LPARAM lParam);
