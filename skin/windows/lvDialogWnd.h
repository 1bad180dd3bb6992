#pragma once
// The frame of a skinned system dialog: the whole non-client area (border, title, icon, caption text, title
// buttons) from the skin, the client background from the same image, the hit test and the title buttons, and a
// small system menu. It is also the core's view of the dialog (TlvCustomDialogWnd): the dialog animations and the
// skin broadcasts reach it through that base.
#include <memory>
#include <vector>

#include "skin/core/sCaptionButton.h"
#include "skin/core/sCoverForms.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/windows/lvDials.h"
#include "skin/windows/lvSBUtils.h"

enum TlvBorderStyle { acbsDialog, acbsSingle, acbsNone, acbsSizeable, acbsToolWindow, acbsSizeToolWin };

// One title button: the record the skinned forms' caption buttons use, so that the same hover fade serves both.
using TlvDlgButton = TsCaptionButton;

class TlvDialogWnd;

// The dialog's system menu (a menu of the system, dropped at a point).
class TlvSystemMenu {
 public:
  explicit TlvSystemMenu(TlvDialogWnd* owner) : FOwner(owner) {}
  TlvDialogWnd* FOwner;
  bool ItemVisible[6] = {};  // Restore, Move, Size, Minimize, Maximize, Close
  bool ItemEnabled[6] = {};
  void UpdateItems();
  bool VisibleSize() const;
  bool EnabledMove() const;
  bool EnabledSize() const;
  // Drops the menu at a screen point; the chosen command goes to the dialog as WM_SYSCOMMAND.
  void Popup(int x, int y);
};

class TlvDialogWnd : public TlvCustomDialogWnd, public TlvScrollWnd {
 public:
  TlvDialogWnd() = default;
  ~TlvDialogWnd() override;

  using TlvScrollWnd::CtrlHandle;
  using TlvScrollWnd::Destroyed;
  using TlvScrollWnd::OldProc;
  using TlvScrollWnd::SkinData;
  using TlvScrollWnd::SkinManager;

  int CurrentHT = 0;
  int FCaptionSkinIndex = -1;
  bool Initialized = false;
  bool FFormActive = true;
  bool FWMPaintForbidden = false;
  std::vector<vcl::TRect> ArOR;
  TlvDlgButton ButtonMin, ButtonMax, ButtonHelp, ButtonClose;
  std::unique_ptr<vcl::TBitmap> TitleBG, TempBmp, TitleGlyph;
  DWORD dwStyle = 0, dwExStyle = 0;
  vcl::TRect LastClientRect;
  HICON TitleIcon = nullptr;
  HFONT TitleFont = nullptr;
  unsigned FormState = 0;
  bool RgnChanged = true;
  TlvBorderStyle BorderStyle = acbsSingle;
  std::unique_ptr<TlvSystemMenu> SystemMenu;
  TlvProvider* Provider = nullptr;
  std::unique_ptr<TlvProvider> OwnedProvider;
  int TitleIndex = -1;
  rtl::String TitleSection;
  // The skin is off: the dialog has its platform look and the wrapper only passes messages on.
  bool Idle = false;

  void InitSkinData() override;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;

  // The core's view.
  void PaintAll() override;
  int OffsetX() override;
  int OffsetY() override;
  int CaptionHeight(bool checkSkin = true) override;

  vcl::TRect ShadowSize() override;
  // The border window carries frame and shadow when the skin's extended borders are on (Value); else none.
  void InitExBorders(bool value);
  // The frame as painted in the image: the skinned frame's width and top edge with a border window, else the
  // system's.
  int ExFrameWidth();
  int ExFrameTop();

  int SysBorderWidth();
  int SysBorderHeight();
  int HeaderHeight() { return CaptionHeight(true) + SysBorderHeight(); }
  int BorderHeight() { return SysBorderHeight(); }
  vcl::TRect IconRect();
  bool VisibleClose() const { return dwStyle & WS_SYSMENU; }
  bool VisibleMax() const { return dwStyle & WS_MAXIMIZEBOX; }
  bool VisibleMin() const { return dwStyle & WS_MINIMIZEBOX; }
  bool VisibleHelp() const { return dwExStyle & WS_EX_CONTEXTHELP; }
  bool VisibleRestore() const;
  bool EnabledClose() const;
  bool EnabledMax() const;
  bool EnabledMin() const;
  bool EnabledRestore() const;
  bool FormActive() const { return FFormActive; }

  void SetHotHT(int ht, bool repaint = true);
  void SetPressedHT(int ht);
  void RepaintButton(int ht);
  // Stops the title buttons' hover fades and frees them.
  void KillAnimations();
  int HTProcess(int x, int y, LRESULT current);
  void DropSysMenu(int x, int y);
  void InitParams();
  void UpdateIconsIndexes();
  void MakeTitleBG();
  void PrepareTitleGlyph();
  int SysButtonWidth(const TlvDlgButton& btn);
  int ButtonHeight(int index);
  int TitleBtnsWidth();
  // The skin went away or came back: the platform's frame and style, or the skinned ones.
  void GoIdle();
  void Wake();
  // The window animations (lvDialogAnims.cpp): the show animation, the hide animation (from the cover a closing
  // command prepared), and the fade while the title is dragged (True: the press is handled).
  std::unique_ptr<TlvMoveTimer> MoveTimer;
  void AnimateShowing();
  void AnimateHiding();
  void PrepareHideCover(vcl::TMessage& message);
  void DropUnusedCover();
  bool StartMoveBlend(int hitCode);

 private:
  int State() const { return FFormActive ? 1 : 0; }
  TlvDlgButton* ButtonOf(int ht);
  void PaintTitle(int titleBottom);
  void PaintBorderIcons();
  void PaintButton(TlvDlgButton& btn, bool enabled);
  void PaintCaption(HDC dc);
  void Lv_WMNCPaint();
  void Lv_WMPaint(HDC dc);
  void LvWMLButtonUp(vcl::TMessage& message);
  void Metrics(int& bw, int& bh, int& caption);
  // Runs the previous procedure without letting the system draw its own frame.
  void CallPrevHidden(vcl::TMessage& message);
  void FollowBorder(const WINDOWPOS& wp);
  HBRUSH DlgBrush = nullptr;
  vcl::TColor DlgBrushColor = 0;
};

// Makes a dialog's border window; set by the skinned forms when they are linked in (nullptr: dialogs keep their frame
// on their own window).
extern TlvCustomBorderForm* (*lvMakeDialogBorderForm)(TlvDialogWnd* owner);

// The skinned forms' hover fade of a caption button, set when they are linked in (nullptr: a title button's new look
// is painted into the frame at once): start, retarget or reverse the fade of btn towards newState over iterations
// steps; and stop a button's fade and free it.
extern void (*lvFadeDialogButton)(TlvDialogWnd* owner, TsCaptionButton* btn, int newState, int iterations, bool up);
extern void (*lvStopButtonFade)(TsCaptionButton* btn);

void UpdateRgn(TlvDialogWnd* dlg, bool repaint);
void FillArOR(TlvDialogWnd* dlg);
HRGN GetRgnFromArOR(TlvDialogWnd* dlg, int x, int y);
void StartBlendOnMovingDlg(TlvDialogWnd* dlg);
void FinishBlendOnMovingDlg(TlvDialogWnd* dlg);
rtl::String GetWndText(HWND handle);
void ExcludeControls(HDC dc, HWND wnd, int offsetX, int offsetY);
