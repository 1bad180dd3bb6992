#pragma once
// The skin provider of a form: placed on a form (or made at run time for one), it takes over the form's window
// procedure and, while an active skin manager knows the "FORM" section, composes the whole window (frame, title,
// caption buttons, icon, caption text) into one 32-bit image, copies strips of it to the window, gives the window
// a region cut from the skin's border masks, does its own hit testing and caption-button handling and shows its
// own window menu. Without an active skin it stays attached and passes the form's messages on.
//
// Window-image coordinates: origin at the image's top-left; the client area lies at (OffsetX, OffsetY).
#include <array>
#include <memory>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/forms/sSysMenu.h"
#include "skin/windows/lvDials.h"

class TsSkinManager;
class TsTitleBar;
class TlvTitleBarItem;
class TlvCtrlAdapter;
class TlvScrollWnd;
class TsMDIForm;
struct TlvSkinParams;

// Caption hit codes beyond the platform's: the buttons of a maximised MDI child in the main form's menu line, the
// user title buttons (1000 + i) and the title-bar items (2000 + i).
// (HTCHILDCLOSE, HTCHILDMAX and HTCHILDMIN are the core's.)
constexpr int HTUDBTN = 1000, HTITEM = 2000;
constexpr int UserButtonsOffset = 6;
// A window that answers CM_BEWAIT with BE_ID manages its own region (both from skin/windows/lvDials.h).

VCL_ENUM(TsGripMode, gmNone, gmRightBottom)
VCL_ENUM(TsResizeMode, rmStandard, rmBorder)

// An extra header strip below the title.
class TlvFormHeader : public rtl::TPersistent {
  VCL_CLASS(TlvFormHeader, rtl::TPersistent)
  explicit TlvFormHeader(TsSkinProvider* owner = nullptr) : FOwner(owner) {}
  int AdditionalHeight() const { return FAdditionalHeight; }
  void SetAdditionalHeight(int v) { FAdditionalHeight = v; }
  TsSkinProvider* FOwner;

 private:
  int FAdditionalHeight = 0;
};

class TsSkinProvider : public TsCustomSkinProvider {
  VCL_CLASS(TsSkinProvider, TsCustomSkinProvider)
  // Raises EAbort when owner is not a form.
  explicit TsSkinProvider(vcl::TComponent* owner);
  // The dialog hook's run-time provider: initialised at the first showing or hit test (LoadInit).
  static TsSkinProvider* CreateRT(vcl::TComponent* owner, bool initRT = true);
  ~TsSkinProvider() override;
  void AfterConstruction() override;
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

  // Published properties.
  bool AllowAnimation() const { return FAllowAnimation; }
  void SetAllowAnimation(bool v) { FAllowAnimation = v; }
  bool AllowExtBorders() const { return FAllowExtBorders; }
  void SetAllowExtBorders(bool v);
  bool AllowBlendOnMoving() const { return FAllowBlendOnMoving; }
  void SetAllowBlendOnMoving(bool v) { FAllowBlendOnMoving = v; }
  bool AllowSkin3rdParty() const { return FAllowSkin3rdParty; }
  void SetAllowSkin3rdParty(bool v) { FAllowSkin3rdParty = v; }
  bool DrawNonClientArea() const { return FDrawNonClientArea; }
  void SetDrawNonClientArea(bool v);
  bool DrawClientArea() const { return FDrawClientArea; }
  void SetDrawClientArea(bool v) { FDrawClientArea = v; }
  bool MakeSkinMenu() const { return FMakeSkinMenu; }
  void SetMakeSkinMenu(bool v) { FMakeSkinMenu = v; }
  bool ScreenSnap() const { return FScreenSnap; }
  void SetScreenSnap(bool v) { FScreenSnap = v; }
  bool ShowAppIcon() const { return FShowAppIcon; }
  void SetShowAppIcon(bool v);
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void SetUseGlobalColor(bool v);
  TlvAddedTitle* AddedTitle() const { return FAddedTitle.get(); }
  vcl::TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(vcl::TAlignment v);
  std::uint8_t DisabledBlendValue() const { return FDisabledBlendValue; }
  void SetDisabledBlendValue(std::uint8_t v);
  // The translucent black cover over a disabled form (none while the form is enabled).
  void UpdateLayerForm();
  std::unique_ptr<vcl::TForm> LayerForm;
  // The running window animation: the minimise timer (kept while the form is minimised) or one move's fade.
  std::unique_ptr<TlvThreadedTimer> FormTimer;
  // The form's drawing is to be held once its window is visible / is held, for its show animation (sWindowAnims.cpp).
  bool ShowFreezePending = false, ShowFrozen = false;
  TlvFormHeader* FormHeader() const { return FFormHeader.get(); }
  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  TsGripMode GripMode() const { return FGripMode; }
  void SetGripMode(TsGripMode v) { FGripMode = v; }
  TsResizeMode ResizeMode() const { return FResizeMode; }
  void SetResizeMode(TsResizeMode v) { FResizeMode = v; }
  int SnapBuffer() const { return FSnapBuffer; }
  void SetSnapBuffer(int v) { FSnapBuffer = v; }
  TlvSysSubMenu* SysSubMenu() const { return FSysSubMenu.get(); }
  TsTitleButtons* TitleButtons() const { return FTitleButtons.get(); }
  TsTitleIcon* TitleIcon() const { return FTitleIcon.get(); }
  const rtl::String& TitleSkin() const { return FTitleSkin; }
  void SetTitleSkin(const rtl::String& v);
  const rtl::String& MenuLineSkin() const { return FMenuLineSkin; }
  void SetMenuLineSkin(const rtl::String& v);
  TsTitleBar* TitleBar() const { return FTitleBar; }
  void SetTitleBar(TsTitleBar* v);
  // OnExtHitTest(Message): the owner's own hit codes; any code other than HTNOWHERE it leaves wins.
  vcl::TEvent<void(vcl::TMessage& message)> OnExtHitTest;

  // Form preparation and lifecycle.
  void PrepareForm();
  void LoadInit();
  LRESULT ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void NewWndProc(vcl::TMessage& m);
  bool UpdateMenu();
  void TryInitMenu();
  // Hooks (a) or takes back the skinned drawing of the form's popup menus and loose menu items, those on its frames
  // too; the menu line and its drop-downs stay with the menu-line code.
  void InitMenuItems(bool a);
  // The adapter (made when missing while skinned) adapts every control of the form.
  void AdaptControls();
  // Makes the border window when extended borders apply to this form (else frees it).
  void InitExBorders(bool use);
  // The shadow around the window image (with a border window).
  void PaintExBorders(vcl::TBitmap* image);
  void KillAnimations();
  // The title bar's items (sTitleBarPaint.cpp): their sections and paint handler, the bar inside the caption,
  // painting, and the items under the mouse.
  void UpdateTitleBar();
  void ReleaseTitleBar();
  void CalcTitleBar(int fullRight, int x);
  void PaintTitleItems(int captionWidth);
  void PaintTitleItem(TlvTitleBarItem* item, const vcl::TRect& r, vcl::TBitmap* bmp);
  TlvTitleBarItem* TitleItemOf(int hitCode);
  // Plain labels in the skin's font colour and back (sFormLabels.cpp); the controls of the header band told of a
  // new background.
  void InitLabel(vcl::TControl* control, bool skinned);
  void RestoreLabels();
  void ForgetLabel(vcl::TComponent* component);
  void RepaintHeadCtrl(vcl::TControl* control, int data);
  struct TlvSavedLabel {
    vcl::TControl* Control;
    vcl::TColor Color;
    bool ParentFont;
  };
  std::vector<TlvSavedLabel> SavedLabelColors;
  int TitleItemAt(vcl::TPoint p);
  int TitleItemCode(int index);
  void TitleItemHot(int hitCode, bool hot);
  void RepaintTitleItem(TlvTitleBarItem* item);
  bool TitleItemPressed(int hitCode);
  void TitleItemMouseDown(int hitCode, int x, int y);
  void TitleItemMouseUp(int hitCode, int x, int y);

  // Metrics (window-image coordinates).
  int CaptionHeight(bool checkSkin = true) override;
  int ActualTitleHeight() override { return ActualTitleHeight(false); }
  int ActualTitleHeight(bool extended);
  vcl::TRect ShadowSize() override;
  int OffsetX() override;
  int OffsetY() override;
  int BorderWidth(bool checkSkin = true);
  int BorderHeight(bool checkSkin = true);
  int HeaderHeight();
  int GetLinesCount();
  int MenuHeight();
  bool MenuPresent();
  bool MDIButtonsNeeded();
  bool HaveSysMenu();
  bool IconVisible();
  int SysButtonsCount();
  int ButtonHeight();
  int SysButtonWidth(const TsCaptionButton& btn);
  int SmallButtonWidth();
  int SmallButtonHeight();
  int UserButtonWidth(TsTitleButton* btn);
  int TitleBtnsWidth();
  int BarWidth(int index);
  vcl::TPoint RBGripPoint(int imageIndex);
  vcl::TPoint FormLeftTop();
  vcl::TPoint CursorToPoint(int x, int y);
  bool FormChanged();
  virtual int GetTopCoord();
  int CaptionWidth();
  vcl::TColor FormColor();
  bool HeaderUsed();
  bool IsZoomed() const;
  bool IsIconic() const;
  // The platform's forms have no inner border of their own.
  int FormBorderWidth() const { return 0; }

  // The window image and its way to the window.
  bool PaintAll() override;
  void PaintCaption(HDC dc);
  void PaintForm(HDC dc, bool sendUpdated);
  void PaintTitleContent(int captionWidth);
  void SaveBGForBtns(int captionWidth, bool full);
  void RestoreBtnsBG(int captionWidth);
  void RepaintMenu();
  void InitIndexes();
  // Lays the caption out: icon, caption buttons, user buttons.
  void CalcItems();
  void FillShape() override;
  HRGN ShapeRegion(int x, int y) override;
  void UpdateShape(bool repaint, bool setRgnRedraw) override;

  // Caption buttons and hit testing.
  int HTProcess(vcl::TMessage& m);
  void RepaintButton(int hitCode);
  void SetHotHT(int hitCode, bool repaint = true);
  void SetPressedHT(int hitCode);

  // The window menu.
  void DropSysMenu(int x, int y) override;
  void CheckSysMenu(bool skinned);
  void UpdateIconsIndexes();

  // Window commands, position, size, snapping and glued forms (sFormPosition.cpp).
  void StartMove(int x, int y);
  void StopMove(int x, int y);
  void StartMoveForm();
  void CheckNewPosition(int& x, int& y);
  vcl::TSize CheckEdges(const vcl::TRect& edges, const vcl::TRect& formRect, int x, int y);
  vcl::TRect LimitRect(int offset, const vcl::TRect& r, bool grow);
  bool Linked(vcl::TForm* form);
  void MoveGluedForms(bool fromBorderForm);
  void UpdateSlaveFormsList();
  rtl::TStringList* GluedForms();
  void SetGluedForms(rtl::TStringList* value);
  bool bCapture = false, bInProcess = false;
  // Message handlers of the form and the skin editor's link (sFormMessages.cpp); True: the message is answered.
  bool DispatchFormMessage(vcl::TMessage& m);
  void LV_WMCopyData(vcl::TMessage& m);
  void LV_WMSysCommand(vcl::TMessage& m);
  // The minimise and restore commands that run the skin's animation; True: handled.
  bool MinimizeAnimated(vcl::TMessage& m);
  void LV_WMWindowPosChanging(vcl::TMessage& m);
  // A change that shrinks the form: the border window's client hole shrinks to the coming client area first.
  void ShrinkBorderHole(const WINDOWPOS& wp);
  void LV_WMGetMinMaxInfo(vcl::TMessage& m);
  void LV_WMPrint(vcl::TMessage& m);
  void LV_WMInitMenuPopup(vcl::TMessage& m);
  // An MDI frame's window menu about to open: the children listed by our own items (the system's text entries
  // go); False for any other popup.
  bool ListMDIChildren(HMENU popup);
  void OnChildMnuClick(rtl::TObject* sender);
  // The menu line's items over its section in the window image (sMenuLine.cpp).
  void PaintMenuLineItems(vcl::TBitmap* image, int lineIndex, int state);
  // The menu line's item drawn in the item section's active look while the system tracks it (its position in the
  // form's menu; -1 none), and the system's WM_MENUSELECT that moves it.
  int HotMenuPos = -1;
  void SetHotMenuItem(int pos);
  void LV_WMMenuSelect(vcl::TMessage& m);
  void LayoutMDIButtons(vcl::TBitmap* image);
  int MDIButtonAt(int x, int y);
  // The form's menu-line items get (on) or lose (off) the skinned menus' line handlers, so that the system gives
  // each item room for its picture.
  void HookMenuLine(bool on);
  // A top item of the menu line painted into dst at r (dst coordinates): the item section's active look when hot,
  // its picture 3 px from the left, its text beside it; a disabled item faded towards lineBg (the clean line at
  // r's place, may be nullptr).
  void DrawLineItem(vcl::TBitmap* dst, vcl::TMenuItem* item, const rtl::String& caption, const vcl::TRect& r, bool hot,
                    bool enabled, vcl::TBitmap* lineBg, vcl::TPoint bgAt);
  // The line handler's work: canvas is the window image's (r in image coordinates) or a window DC the system
  // draws the line into (r in window coordinates); state: the ODS_ bits.
  void DrawLineItemOn(vcl::TCanvas* canvas, vcl::TMenuItem* item, const vcl::TRect& r, UINT state);
  // The maximised MDI child's icon at the start of an MDI main form's line.
  bool ChildIconPresent();
  void PaintChildIcon(vcl::TBitmap* image);
  // The adapter of the form's platform and foreign controls (sCtrlAdapter.cpp) and, on an MDI main form, the
  // link to its client window; both made on demand and freed with the provider.
  struct TlvAdapterFree {
    void operator()(TlvCtrlAdapter* a) const;
  };
  struct TlvMDIFormFree {
    void operator()(TsMDIForm* f) const;
  };
  std::unique_ptr<TlvCtrlAdapter, TlvAdapterFree> Adapter;
  std::unique_ptr<TsMDIForm, TlvMDIFormFree> MDIForm;
  // An MDI main form: the link made when missing and its client wrapped anew (none while unskinned).
  void HookMDIClient();
  // The "MDIAREA" section under the wrapped MDI client's place in the window image.
  void PaintMDIArea(vcl::TBitmap* image);
  void SendToAdapter(vcl::TMessage& m);
  // OnSkinItem(control, canBeAdded, section) and OnSkinItemEx(control, canBeAdded, params): the application's
  // verdict on each control the adapter would skin.
  vcl::TEvent<void(vcl::TControl* control, bool& canBeAdded, rtl::String& skinSection)> OnSkinItem;
  vcl::TEvent<void(vcl::TControl* control, bool& canBeAdded, TlvSkinParams& params)> OnSkinItemEx;
  // The couples this form is part of are forgotten when the provider goes.
  struct TlvGlueLink {
    TsSkinProvider* Owner;
    ~TlvGlueLink();
  } GlueLink{this};
  std::unique_ptr<rtl::TStringList> FGluedForms;

  // Per-form state.
  int CurrentHT = 0;
  int UserBtnIndex = -1;
  bool RgnChanged = true;
  bool ControlsChanged = false, FirstInitialized = false;
  vcl::TRect FIconRect;
  vcl::TRect FHintRect;
  bool ClearButtons = false;
  bool MenusInitialized = false;
  bool FMenuOwnerDraw = false;
  int VCenter = 0;
  int LockCount = 0;
  int FLinesCount = -1;
  int FHeaderIndex = -1, FHeaderHeight = -1, FTitleSkinIndex = -1, FCaptionSkinIndex = -1;
  vcl::TRect NormalBounds;
  vcl::TRect LastClientRect;
  std::unique_ptr<vcl::TBitmap> TempBmp;
  std::unique_ptr<vcl::TBitmap> MenuLineBmp;
  TsCaptionButton MDIMin, MDIMax, ButtonMin, ButtonMax, ButtonHelp, ButtonClose, MDIClose;
  bool RTInit = false;
  bool RTEmpty = false;
  bool InAero = false;
  bool InMenu = false;
  bool fAnimating = false;
  bool BigButtons = false;
  bool FormActive = true;
  bool MenuChanged = true;
  bool RgnChanging = false;
  TacShowState ShowAction = saIgnore;
  // Owned as a component of the provider (the component system frees it); nil before the first preparation.
  TsSystemMenu* SystemMenu = nullptr;
  // Set while a handler passes a message to the form's own procedure with the window marked invisible, so that
  // the system does not draw its own caption over the image.
  bool FHidingForDefault = false;

 private:
  void Construct(bool runTime);
  // The form's window is gone with the form: the provider lets go of it.
  void LV_WMNCDestroy();
  bool FFormGone = false;
  // Handlers of the command message (True: finished).
  bool LV_SMLumiCmd_Common(vcl::TMessage& m);
  bool LV_SMLumiCmd_Unskinned(vcl::TMessage& m);
  void LV_SMLumiCmd_Skinned(vcl::TMessage& m);
  void SkinActivation(TsSkinManager* manager);
  void SkinRefresh();
  void SkinRemoval();
  bool AnswerBG(vcl::TMessage& m);
  // Painting handlers.
  void LV_WMNCPaint(vcl::TMessage& m);
  void LV_WMNCPaintHandler();
  void LV_WMEraseBkGnd(vcl::TMessage& m);
  void LV_WMEraseBkGndHandler(HDC dc);
  void LV_WMPaint(vcl::TMessage& m);
  void OurPaintHandler(vcl::TMessage& m);
  void PaintTitle(int captionWidth, const TCacheInfo& ci, int state);
  void PaintText(int captionWidth);
  void PaintButton(TsCaptionButton& btn, bool enabled);
  void ProcSysButton(TsCaptionButton& btn, int& x, int width, int top);
  // Mouse over the frame.
  void LV_WMNCHitTest(vcl::TMessage& m);
  void LV_WMNCMouseMove(vcl::TMessage& m);
  void LV_WMMouseMove(vcl::TMessage& m);
  void LV_WMNCLButtonDown(vcl::TMessage& m);
  void LV_WMLButtonUp(vcl::TMessage& m);
  void LV_WMNCLButtonDblClick(vcl::TMessage& m);
  void LV_WMNCRButtonDown(vcl::TMessage& m);
  void LV_WMNCRButtonUp(vcl::TMessage& m);
  void LV_WMMouseLeave(vcl::TMessage& m);
  // Frame activation, caption text and size changes.
  void LV_WMNCActivate(vcl::TMessage& m);
  void LV_WMSetText(vcl::TMessage& m);
  void LV_WMWindowPosChanged(vcl::TMessage& m);
  void FollowBorder(const WINDOWPOS& wp);
  void LV_WMSetIcon(vcl::TMessage& m);
  // The form's own procedure with WS_VISIBLE taken away meanwhile: the system skips its own caption drawing.
  void CallDefaultHidden(vcl::TMessage& m);
  // The caption button of a hit code, nil for other codes.
  TsCaptionButton* ButtonOf(int hitCode);
  bool ButtonEnabled(int hitCode);

  int FSnapBuffer = 10;
  bool FScreenSnap = false, FShowAppIcon = true, FMakeSkinMenu = false, FUseGlobalColor = true, FDrawClientArea = true,
       FAllowSkin3rdParty = true, FAllowBlendOnMoving = true;
  rtl::String FTitleSkin, FMenuLineSkin;
  std::unique_ptr<vcl::TTimer> FHintTimer;
  TsGripMode FGripMode = gmNone;
  std::unique_ptr<TsTitleIcon> FTitleIcon;
  std::unique_ptr<TlvAddedTitle> FAddedTitle;
  std::unique_ptr<TlvSysSubMenu> FSysSubMenu;
  std::unique_ptr<TsTitleButtons> FTitleButtons;
  TsResizeMode FResizeMode = rmStandard;
  vcl::TAlignment FCaptionAlignment = vcl::taLeftJustify;
  std::unique_ptr<TlvFormHeader> FFormHeader;
  std::uint8_t FDisabledBlendValue = 255;
  TsTitleBar* FTitleBar = nullptr;
};

// The provider of the MDI child that last became active; nil when none.
extern TsSkinProvider* ChildProvider;
// A caption element has been pressed and not yet released or left.
extern bool biClicked;

// Frame metrics shared with the dialog skinning and the window animations.
int SysBorderWidth(HWND handle, TlvCustomBorderForm* borderForm, bool checkSkin);
int SysBorderHeight(HWND handle, TlvCustomBorderForm* borderForm, bool checkSkin);
int SysCaptHeight(vcl::TForm* form);
int SkinTitleHeight(TlvCustomBorderForm* borderForm);
int SkinBorderWidth(TlvCustomBorderForm* borderForm);
int DiffTitle(TlvCustomBorderForm* borderForm);
int DiffBorder(TlvCustomBorderForm* borderForm);
bool IsMenuVisible(TsSkinProvider* sp);
bool IsBorderUnchanged(int borderIndex, TsSkinManager* manager);
bool IsGripVisible(TsSkinProvider* sp);
bool InAnimation(TsSkinProvider* sp);
bool IsSizeBox(HWND handle);
bool HaveBorder(TsSkinProvider* sp);
int GetNearestSize(int value);
TsSkinProvider* GetSkinProvider(vcl::TComponent* component);
int TitleIconWidth(TsSkinProvider* sp);
int TitleIconHeight(TsSkinProvider* sp);
int GetWindowWidth(HWND handle);
int GetWindowHeight(HWND handle);
int GetClientWidth(HWND handle);
int GetClientHeight(HWND handle);
void UpdateSkinCaption(TsSkinProvider* sp);
void DrawAppIcon(TsSkinProvider* sp);
void PaintGrip(HDC dc, TsSkinProvider* sp);
// Desktop composition attribute 3 (transitions off) of the window: value when composition is on, else extra.
void InitDwm(HWND handle, bool value, bool extra = false);
