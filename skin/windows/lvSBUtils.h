#pragma once
// Window wrappers: an object that sits in front of the message procedure of a window the library did not make
// (a platform control, a bare window of the system or another maker) and paints it and its scroll bars from the
// active skin, passing everything else on. A wrapper never owns its window: it gives the procedure back when the
// window goes (WM_DESTROY/WM_NCDESTROY) or when its creator frees it, and outlives a destroyed window. Without an
// active skin it stays attached and idle.
//
// This header holds the base of every wrapper (TlvMainWnd), the scroll wrapper that replaces a window's system
// scroll bars by skinned ones drawn in the non-client area (TlvScrollWnd), the one tracking state of those bars
// for the whole program, and the routines all wrappers share.
#include <array>
#include <functional>
#include <memory>

#include "platform/rtl/object.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/messages.h"
#include "skin/core/sConst.h"
#include "skin/core/sWndUtils.h"

class TsCommonData;
class TsScrollWndData;
class TsSkinManager;
class TlvMainWnd;
class TlvScrollWnd;

// What every wrapper is made with.
struct TlvSkinParams {
  vcl::TControl* Control = nullptr;              // the platform control owning the window; nullptr for a bare window
  rtl::String SkinSection;                       // empty keeps the default
  bool UseSkinColor = true;                      // False keeps the control's own background colour (CustomColor)
  bool UseSkinFontColor = true;                  // False keeps its own font colour (CustomFont)
  int VertScrollSize = -1, HorzScrollSize = -1;  // bar thickness; -1 or 0: from the skin
  int VertScrollBtnSize = -1, HorzScrollBtnSize = -1;  // arrow-button length; -1 or 0: from the skin
};

// A class reference of a wrapper: makes and attaches one (TlvMainWnd::Create through the class's own override).
using TlvWndClass = TlvMainWnd* (*)(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                                    const TlvSkinParams& skinParams, bool repaint);

class TlvMainWnd : public rtl::TObject {
 public:
  TlvMainWnd() = default;
  ~TlvMainWnd() override;
  TlvMainWnd(const TlvMainWnd&) = delete;
  TlvMainWnd& operator=(const TlvMainWnd&) = delete;

  bool DlgMode = false;
  bool Destroyed = false;
  bool DontRepaint = false;
  bool OwnSkinData = false;
  bool InDestroying = false;
  bool ParamsChanged = false;
  vcl::TRect WndRect;
  vcl::TRect ParentRect;
  vcl::TColor StdColor = 0, StdFontColor = 0;
  HWND ParentWnd = nullptr;
  HWND CtrlHandle = nullptr;
  vcl::TSize WndSize;
  vcl::TPoint WndPos;
  rtl::String Caption;
  int Tag = 0;
  vcl::TControlStyle OldCtrlStyle;
  vcl::TWndMethod OldWndProc;
  WNDPROC OldProc = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  WNDPROC NewWndProcInstance = nullptr;
  rtl::TObject* Adapter = nullptr;

  // The virtual constructor: attaches the wrapper to handle (see lvMainWnd.cpp for the steps).
  virtual void Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager, const TlvSkinParams& skinParams,
                      bool repaint);
  virtual void AfterCreation();
  virtual void SaveStdParams() {}
  virtual void RestoreStdParams();
  virtual void SetSkinParams() { ParamsChanged = true; }
  virtual void InitSkinData();
  virtual void lvWndProc(vcl::TMessage& message);
  // Where messages enter the wrapper (the window's or control's procedure slot): a wrapper freed by the control
  // it serves while one of its messages is still being handled lives on until that message is done.
  void Dispatch(vcl::TMessage& message);
  // Inside Dispatch, and how deep; FreePending: freed meanwhile, deleted when the outermost Dispatch returns.
  int ProcDepth = 0;
  bool FreePending = false;

  // One message to the replaced procedure; lParam comes back as that procedure left it.
  LRESULT CallPrevWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM& lParam);
  LRESULT CallPrevWndProc(vcl::TMessage& message);
  // Runs the wrapper's own procedure on one message without the window manager.
  LRESULT ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool HasPrevProc() const { return OldProc != nullptr || static_cast<bool>(OldWndProc); }
  // The skin is in use for this window (a valid section of an active manager).
  bool SkinActive() const;

 protected:
  // WM_DESTROY/WM_NCDESTROY: the window gets its procedure back; the wrapper stays alive.
  void DetachOnDestroy(vcl::TMessage& message, bool scrollWrapper);

  // Steps of the painting wrappers.
  // WM_SETTEXT of a visible window: the text goes in with drawing locked and the cache is marked stale, the caller
  // repaints. False, with nothing done, for a hidden window.
  bool SetTextLocked(vcl::TMessage& message);
  // WM_PAINT without a device context: the window is invalidated with erasing and validated at once, so its
  // picture comes from the WM_ERASEBKGND that BeginPaint sends.
  void PaintThroughErase();
  // paint runs between BeginPaint and EndPaint when the message brings no device context, else on its own.
  void PaintInside(const vcl::TMessage& message, const std::function<void()>& paint);
  // The cache's border band, band pixels wide around w by h, on given or on the whole window's own DC.
  void CopyCacheBorder(HDC given, int w, int h, int band);
  // The painting messages of a wrapper that paints its client with paint and its frame with ncPaint, each on the
  // DC given or, for nullptr, the window's own: a new text, painting, erasing, the frame, printing (client, then
  // frame) and the keyboard cues' state, which stays away from the window. True when the message is done.
  bool PaintMessage(vcl::TMessage& message, const std::function<void(HDC)>& paint,
                    const std::function<void(HDC)>& ncPaint);
  // A control being destroyed, or whose parent is still being made, is not painted.
  static bool ControlUnpaintable(vcl::TControl* control);
  // Before painting on dc (the geometry read first): whether the cache must be made again (marked stale, or the
  // last paint showed only part of the window), and whether dc shows only part of it now.
  bool CacheStaleFor(HDC dc);
  // WM_PAINT of a wrapper whose picture is what it prints: print runs unless the skin data is updating.
  void PaintPrinted(const vcl::TMessage& message, const std::function<void()>& print);
  // WM_NCPAINT of a window with a client edge: prepare brings the cache up to date and answers the band width,
  // then the band goes on the window. Nothing without the edge or while the skin data is updating.
  void PaintClientEdge(const std::function<int()>& prepare);
  // A stale cache repainted from the skin at the window's size (the window's geometry read first), clientRect
  // given the client area; false when the cache was up to date and nothing was done.
  bool RefreshPlainCache(vcl::TRect& clientRect);
  // A section with transparency shows its parent through it: a move makes the cache stale.
  void StaleIfTransparent();
  // The two questions of the control adapter (is the window handled, which application): true when answered.
  bool AnswerQuery(vcl::TMessage& message);
  // The skin commands a wrapper of a platform control takes alike: a new skin or a refresh goes on to the
  // control's children; a removed skin forgets the section and gives the control its own background back (the
  // caller goes on with it); the adapter's questions. True when the message is done.
  bool ControlCommand(vcl::TMessage& message, vcl::TControl* control);
  // WM_PARENTNOTIFY of a child made or destroyed: passed on, and a new child of control (when there is one)
  // offered to the adapter. False for any other notice.
  bool ChildNotice(vcl::TMessage& message, vcl::TWinControl* control);

 public:
  // Gives the procedure back (Destroy and the detaching routines share it); true when it is back.
  bool GiveProcBack();
  // What freeing does to the window (procedure, styles, colours, frame back); the wrapper itself stays.
  void ReleaseWindow();
};

// A device context to paint a wrapped window on: given, or the window's own (client or whole-window) taken and
// released here; its state is saved and restored either way.
struct TlvWndDC {
  TlvWndDC(HWND wnd, HDC given, bool windowDC = false);
  ~TlvWndDC();
  TlvWndDC(const TlvWndDC&) = delete;
  TlvWndDC& operator=(const TlvWndDC&) = delete;
  HWND Wnd;
  HDC DC;
  bool Own;
  int Saved;
};

// Frees a wrapper and clears the reference: at once, or, while the wrapper is handling a message (the control
// freed it from inside a message that came through it), lets go of the window now and deletes it afterwards.
void FreeLvWrapper(TlvMainWnd*& wnd);
template <class T>
void FreeLvWrapper(T*& wnd) {
  TlvMainWnd* w = wnd;
  FreeLvWrapper(w);
  wnd = nullptr;
}

// Makes a wrapper of class T and attaches it (the class reference of T).
template <class T>
TlvMainWnd* CreateWrapper(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                          const TlvSkinParams& skinParams, bool repaint) {
  auto* w = new T();
  w->Create(handle, skinData, skinManager, skinParams, repaint);
  return w;
}
template <class T>
T* NewWrapper(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager, const TlvSkinParams& skinParams,
              bool repaint) {
  return static_cast<T*>(CreateWrapper<T>(handle, skinData, skinManager, skinParams, repaint));
}

// The wrapper class for each of the 23 class-name lists of the manager's ThirdParty (indexed like
// ThirdPartyList::GetString): the control adapter wraps a control named in list i with WndTypes[i]. An entry is
// nullptr while the wrapper of that kind is not built yet; such controls stay unwrapped.
extern std::array<TlvWndClass, 23> WndTypes;

// Attaching and detaching.
void InitializeLVWnd(TlvMainWnd* wnd, HWND handle);
void UninitializeLVWnd(HWND handle, bool freeWrapper, bool repaint, TlvMainWnd*& wnd);

// Scroll and edit wrappers of skinned controls: a live wrapper while skinData is skinned, none while it is not.
void RefreshScrolls(TsScrollWndData* skinData, TlvScrollWnd*& sw);
void RefreshEditScrolls(TsScrollWndData* skinData, TlvScrollWnd*& sw);
// Re-reads both bars' scroll information and, with repaint, redraws them.
void UpdateScrolls(TlvScrollWnd* sw, bool repaint);

// Shared routines.
void InitCtrlData(HWND handle, HWND& parentWnd, vcl::TRect& wndRect, vcl::TRect& parentRect, vcl::TSize& wndSize,
                  vcl::TPoint& wndPos);
void UpdateWndCorners(TsCommonData* skinData, int state, TlvMainWnd* wnd);
HFONT lv_GetSysFont(int fontType);
void LoadSysFont(vcl::TCanvas* canvas, int fontType);
void LoadCtrlFont(TlvMainWnd* wnd);
void LumiBroadCastCheck(vcl::TControl* control, HWND handle, vcl::TMessage& message);
bool MayBeHot(TsCommonData* skinData, bool isEdit);
int TryGetIntProp(rtl::TObject* obj, const rtl::String& propName);
int TryGetColorProp(rtl::TObject* obj, const rtl::String& propName);
void TryChangeIntProp(rtl::TObject* obj, const rtl::String& propName, vcl::TColor value);

// Unit globals.
extern bool lvDlgMode;
extern int lvMinThumbSize;
extern int nLastSBPos;
extern const std::array<TlvSide, 4> lvTabSides;  // TabPosition tpTop, tpBottom, tpLeft, tpRight to side
using TGetScrollBarInfo = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
using TFlatSBProc = BOOL(WINAPI*)(HWND);
extern TGetScrollBarInfo Lv_GetScrollBarInfo;
extern TFlatSBProc Lv_InitializeFlatSB;
extern TFlatSBProc Lv_UninitializeFlatSB;
// Lv_SetWindowTheme: the visual-style library's entry, bound by the skin core (sWndUtils).

// ---------------------------------------------------------------------------------------------------------------
// Non-client scroll bars.

constexpr int HTSCROLL_NONE = -1, HTSCROLL_NORMAL = -1;
constexpr int HTSCROLL_LEFT = 0, HTSCROLL_UP = 0;
constexpr int HTSCROLL_RIGHT = 1, HTSCROLL_DOWN = 1;
constexpr int HTSCROLL_PAGELEFT = 2, HTSCROLL_PAGEUP = 2;
constexpr int HTSCROLL_PAGERIGHT = 3, HTSCROLL_PAGEDOWN = 3;
constexpr int HTSCROLL_THUMB = 5;
constexpr int SM_BTNSIZE = 0, SM_SCROLLWIDTH = 1;
constexpr UINT_PTR COOLSB_TIMERID1 = 0xFFFD, COOLSB_TIMERID2 = 0xFFFE, COOLSB_TIMERID3 = 0xFFF2;
constexpr UINT COOLSB_TIMERINTERVAL1 = 300, COOLSB_TIMERINTERVAL2 = 55, COOLSB_TIMERINTERVAL3 = 20;
constexpr WORD CSBS_VISIBLE = 8, CSBS_THUMBALWAYS = 4;

class TlvScrollBar : public rtl::TObject {
 public:
  WORD fScrollFlags = 0;
  WORD nBarType = SB_HORZ;
  int nArrowWidth = -1;
  int nArrowLength = -1;
  int nButSizeAfter = 0, nButSizeBefore = 0;
  int nMinThumbSize = 16;
  bool fButVisibleBefore = false, fButVisibleAfter = false;
  TlvScrollWnd* sw = nullptr;
  bool fScrollVisible = false;
  SCROLLINFO ScrollInfo{};
  // Reads the window's scroll information of this bar.
  void ReadInfo(HWND handle);
};

class TlvScrollWnd : public TlvMainWnd {
 public:
  ~TlvScrollWnd() override;
  bool fThumbTracking = false;
  bool fLeftScrollbar = false;
  bool ScrollsInitialized = false;
  bool bPreventStyleChange = false;
  std::unique_ptr<TlvScrollBar> sBarHorz, sBarVert;
  int cxLeftEdge = -1, cxRightEdge = 0, cyTopEdge = 0, cyBottomEdge = 0;

  void InitSkinData() override;
  void lvWndProc(vcl::TMessage& message) override;

 protected:
  // The second stage of the scroll wrapper's procedure with a skin (the table of its own messages).
  void ScrollStage(vcl::TMessage& message);
};

void InitializeLVScrolls(TlvScrollWnd* sw, HWND handle, bool repaint);
void UninitializeLVScroll(HWND handle, bool free, bool repaint, TlvScrollWnd*& sw);
TlvScrollWnd* Lv_GetScrollWndFromHwnd(HWND handle);
TlvScrollBar* Lv_GetScrollBarFromHwnd(HWND handle, WORD nBar);
bool Lv_SetMinThumbSize(HWND handle, WORD wBar, WORD size);
void Lv_RedrawNonClient(HWND handle, bool frameChanged);
void SendControlLoaded(HWND handle);

int GetScrollMetric(const TlvScrollBar* sb, int metric, bool unused = false);
void lv_GetHScrollRect(TlvScrollWnd* sw, HWND handle, RECT& r);
void lv_GetVScrollRect(TlvScrollWnd* sw, HWND handle, RECT& r);
bool GetScrollRect(TlvScrollWnd* sw, int nBar, HWND handle, RECT& r);
bool Lv_CalcThumbSize(const TlvScrollBar* sb, const RECT& r, int& nThumbSize, int& nThumbPos);
int Lv_GetHorzScrollPortion(const TlvScrollBar* sb, const RECT& r, int x, int y);
int Lv_GetVertScrollPortion(const TlvScrollBar* sb, const RECT& r, int x, int y);
int Lv_GetPortion(const TlvScrollBar* sb, HWND handle, const RECT& r, int x, int y);
void Lv_GetRealScrollRect(const TlvScrollBar* sb, RECT& r);
bool Lv_IsScrollInfoActive(const SCROLLINFO& si);
bool Lv_IsScrollbarActive(const TlvScrollBar* sb);
bool Lv_GripVisible(TlvScrollWnd* sw, HWND handle, const RECT& r);

// Paints both bars, the corner box and the grip; thumbPos -1 puts the thumb where the scroll information says;
// dc nullptr paints into the window's own device context. Window coordinates.
int lv_NCDraw(TlvScrollWnd* sw, HWND handle, int thumbPos, HDC dc);
// A bar the skin has no picture for is left to the system on the screen, but the system does not put it into a
// print: a print (dc) gets it here in the system's look (track, arrow buttons, thumb, the corner box).
void lv_PrintSystemBars(TlvScrollWnd* sw, HWND handle, HDC dc);
int Lv_NCDrawScrollbar(TlvScrollBar* sb, HWND handle, HDC dc, const RECT& r, int pressedPart, int thumbPos);
// Paints a wrapped window's background and border into its cache bitmap.
void PrepareCache(TsCommonData* skinData, HWND handle, bool dlgMode);
void SendScrollMessage(HWND handle, UINT msg, int scrollCode, int pos);

// The tracking state: one for the whole program (one mouse, one capture).
extern int uCurrentScrollbar, uCurrentScrollPortion, uScrollTimerPortion;
extern UINT uScrollTimerMsg;
extern UINT_PTR uScrollTimerId, uMouseOverId;
extern HWND hwndCurSB;
extern int uMouseOverScrollbar, uHitTestPortion, uLastHitTestPortion;
extern RECT MouseOverRect;
extern int nThumbPos, nThumbSize, nThumbMouseOffset;
extern RECT rcThumbBounds;
