#pragma once
// List view and tree view wrappers: the edit wrapper's frame and skinned scroll bars, the skin's colours given to
// the control, and for the list view in report style its column header painted from the skin.
#include "skin/windows/lvEditWnd.h"

#include <commctrl.h>  // after win.h, which sets up the Win32 headers

class TlvListViewWnd : public TlvEditWnd {
 public:
  ~TlvListViewWnd() override;
  HWND FhWndHeader = nullptr;
  WNDPROC FhHeaderProc = nullptr;
  WNDPROC FhDefHeaderProc = nullptr;
  int FPressedColumn = -1;
  int HoverColIndex = -1;

  void AfterCreation() override;
  void SaveStdParams() override;
  void RestoreStdParams() override;
  void SetSkinParams() override;
  void lvWndProc(vcl::TMessage& message) override;

  void ColumnSkinPaint(const vcl::TRect& r, int index, HDC dc);
  vcl::TRect GetHeaderColumnRect(int index);
  void HeaderWndProc(vcl::TMessage& message);
  bool HotTrack() const { return true; }
  void PaintHeader(HDC dc);
  // 0 icon, 1 small icon, 2 list, 3 report.
  int ViewStyle();
  int MouseToColIndex(LPARAM lParam);

 private:
  void HookHeader(HWND header);
  void UnhookHeader();
  void ThumbScroll(vcl::TMessage& message);
  void PrintHeader(HDC dc);
  void RestoreListColours();
  LRESULT CallHeaderProc(UINT msg, WPARAM wParam, LPARAM lParam);
  int HeaderCount();
  // The images of the header's columns: the header's own list (the list view hands it its small images), else the
  // list view's small images.
  HIMAGELIST HeaderImages();
  vcl::TColor StdTextBkColor = 0;
};

class TlvTreeViewWnd : public TlvEditWnd {
 public:
  ~TlvTreeViewWnd() override;
  bool SkipBG = false;

  void Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager, const TlvSkinParams& skinParams,
              bool repaint) override;
  void RestoreStdParams() override;
  void SetSkinParams() override;
  void lvWndProc(vcl::TMessage& message) override;

 private:
  void RestoreTreeColours();
  bool EraseBackground(vcl::TMessage& message);
};
