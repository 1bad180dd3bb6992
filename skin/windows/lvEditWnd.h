#pragma once
// Edit and list wrapper: the frame and scroll bars of an edit, memo, rich edit, list box or any other scrolling
// control that paints its own client area, painted from the skin; the control gets the skin's colours for its own
// painting and switches to the hot look while focused or under the mouse.
#include "skin/windows/lvSBUtils.h"

// The thin layer between the scroll wrapper and the edit wrapper (also the MDI client's).
class TlvBaseWnd : public TlvScrollWnd {
 public:
  void lvWndProc(vcl::TMessage& message) override;
};

class TlvEditWnd : public TlvBaseWnd {
 public:
  ~TlvEditWnd() override;
  vcl::TColor FrameColor = 0;
  bool SingleLineEdit = false;
  bool CtrlListChanged = false;
  vcl::TColor Color = 0;
  vcl::TColor FocusColor = 0;

  void Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager, const TlvSkinParams& skinParams,
              bool repaint) override;
  void SaveStdParams() override;
  void RestoreStdParams() override;
  void SetSkinParams() override;
  void lvWndProc(vcl::TMessage& message) override;
  // The edit wrapper's own SM_LUMICMD handling; true when the message is done.
  bool HandleLumiCmd(vcl::TMessage& message);

 protected:
  // The visual style is switched off for this wrapper at creation (combo lists decide for themselves).
  virtual bool ThemeOffAtCreation(bool repaint) const { return true; }
  void PaintFrame();
  // The control's own colours back (the part of RestoreStdParams that is the edit wrapper's).
  void RestoreColours();
  void PrintTo(vcl::TMessage& message);
};
