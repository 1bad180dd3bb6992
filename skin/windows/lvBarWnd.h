#pragma once
// Wrappers of bars the library does not own: a native tool bar painted entirely by the wrapper (background from the
// skin, every button read from the control), the platform's tool bar component, and a status bar with its panels,
// dividers, owner-drawn panels and size grip.
#include "skin/windows/lvSBUtils.h"

namespace vcl {
class TToolBar;
class TStatusBar;
}  // namespace vcl

class TlvToolBarWnd : public TlvMainWnd {
 public:
  vcl::TRect ClientRect;
  int BorderWidth = 0;
  void lvWndProc(vcl::TMessage& message) override;
  int Count();
  vcl::TRect GetButtonRect(int i);
  void LV_WMNCPaint(vcl::TMessage& message);
  void PrepareCache();
  void LV_WMPaint(vcl::TMessage& message);
  void LV_WMPrint(vcl::TMessage& message);
  void DrawButtons(vcl::TBitmap* bmp);
  void DrawBtn(int index, vcl::TRect r, HDC dc);
  // A caption of three or more words: all but the last two words, and the last two.
  static bool SplitCaption(const rtl::String& caption, rtl::String& first, rtl::String& second);
};

// The platform's tool bar component has no custom-draw events on this system: the wrapper keeps the hot button
// and the dropped button for it and otherwise leaves the bar to its own painting.
class TlvToolBarVCLWnd : public TlvMainWnd {
 public:
  vcl::TToolBar* ToolBar = nullptr;
  int HotButtonIndex = -1;
  rtl::TObject* DroppedButton = nullptr;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  vcl::TRect GetButtonRect(int i);
  int IndexByMouse(vcl::TPoint p);
};

class TlvStatusBarWnd : public TlvMainWnd {
 public:
  vcl::TStatusBar* StatusBar = nullptr;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void DoDrawText(const rtl::String& text, vcl::TRect r, unsigned flags);
  void DrawPanel(int index, vcl::TRect r);
  void InternalDrawPanel(int index, vcl::TRect r);
  void PaintGrip();
  void PaintPanels();
  vcl::TRect PartRect(int i);
  int PartsCount();
  rtl::String PartText(int i);
  void PrepareCache();
  bool SimplePanel();
  void WMNCPaint(HDC dc);
  void WMPaint(HDC dc);
};
