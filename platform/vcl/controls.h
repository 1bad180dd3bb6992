#pragma once
// Controls over Win32 windows.
//
// TControl is anything placed on a form; TWinControl owns a window handle of a window class registered under the
// control's class name (superclassing the standard class when the control is a standard one); TGraphicControl has
// no window and is painted by its parent; TCustomControl is a windowed control that paints itself on a canvas.
//
// Every message a control receives, from Windows or from Perform, goes through its WindowProc. WindowProc starts
// as the control's own virtual WndProc; anyone may put a method of their own in front (remembering the previous one
// and passing messages on to it) and later put the previous one back. The window procedure of the window class
// finds the control through a window property, never through code thunks, so it is safe on 64-bit.
#include <functional>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/win.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/component.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/graphicstypes.h"
#include "platform/vcl/events.h"
#include "platform/vcl/messages.h"
#include "platform/vcl/set.h"
#include "platform/vcl/typinfo.h"

namespace vcl {

class TCanvas;
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

using rtl::String;

VCL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)

VCL_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
VCL_SET(TAnchors, TAnchorKind)
constexpr TAnchors kDefaultAnchors{akLeft, akTop};

// What a control is (fixed by its class).
enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground,
};
using TControlStyle = TSet<TControlStyleItem>;

// What a control is doing right now.
enum TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
  csRecreating,
  csAligning,
  csPrintClient,
};
using TControlState = TSet<TControlStateItem>;

VCL_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
VCL_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
VCL_SET(TShiftState, TShiftStateItem)
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState CurrentShiftState();

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22, crSize = -22;

VCL_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
// Controls use bsNone/bsSingle; forms all of them.
VCL_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
VCL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
VCL_ENUM(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)
VCL_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)

using TMouseEvent = TEvent<void(rtl::TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(rtl::TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(rtl::TObject* Sender, rtl::Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(rtl::TObject* Sender, wchar_t& Key)>;
using TCanResizeEvent = TEvent<void(rtl::TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TContextPopupEvent = TEvent<void(rtl::TObject* Sender, TPoint MousePos, bool& Handled)>;

// What CreateParams fills in for CreateWnd.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSEXW WindowClass{};
  String WinClassName;
  // The standard class this control superclasses ("BUTTON", "EDIT"...); empty for our own windows.
  String StdClassName;
};

// The record CM_HINTSHOW points to.
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint CursorPos;
  TRect CursorRect;
  String HintStr;
  int HideTimeout = 0;
  bool ShowHint = true;
};

class TControl : public TComponent {
  VCL_CLASS(TControl, TComponent)
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // Messages.
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The message handlers of the class: the end of the WindowProc chain. Calls Dispatch, which calls the
  // message-specific handling or DefaultHandler.
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Tree.
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  TCustomForm* ParentForm() const;  // the form the control sits on (itself for a form), or null
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  // Geometry, relative to the parent's client area.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  virtual void SetClientSize(int width, int height);
  TPoint ClientOrigin();  // the client area's top-left corner on the screen
  TPoint ClientToScreen(const TPoint& p);
  TPoint ScreenToClient(const TPoint& p);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);

  // Visibility and state.
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Show();
  void Hide();
  // Visible and every parent visible, up to a form that is showing.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  // Look.
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool value);
  TFont* Font() const { return font_; }
  void SetFont(const TFont* value);
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);

  // Text: the caption of buttons and labels, the content of edits.
  String Caption() { return GetText(); }
  void SetCaption(const String& value) { SetText(value); }
  String Text() { return GetText(); }
  void SetText(const String& value);

  const String& Hint() const { return hint_; }
  void SetHint(const String& value) { hint_ = value; }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool value) { show_hint_ = value; }
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* value);

  TControlStyle ControlStyle() const { return control_style_; }
  void SetControlStyle(TControlStyle value) { control_style_ = value; }
  TControlState ControlState() const { return control_state_; }
  void SetControlState(TControlState value) { control_state_ = value; }

  // Painting.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void BringToFront();
  virtual void SendToBack();

  // Events.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TContextPopupEvent OnContextPopup;

  virtual void Click();
  void Loaded() override;

  bool IsColorStored() const;
  bool IsFontStored() const;

  // True when the control is a TWinControl (avoids dynamic_cast in hot paths).
  virtual bool IsWindowed() const { return false; }

protected:
  virtual String GetText();
  virtual void SetTextInternal(const String& value);
  virtual void Changed();
  virtual void Resize();
  virtual bool CanResize(int& newWidth, int& newHeight);
  virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseMove(TShiftState shift, int x, int y);
  virtual void DblClick();
  virtual void VisibleChanging() {}
  virtual void RequestAlign();
  // Where the parent keeps the control's place while it changes bounds (anchors).
  void UpdateAnchorRules();
  void UpdateBoundsRect(const TRect& r);
  void InvalidateControl(bool isVisible, bool isOpaque);
  virtual TPoint GetClientOrigin();
  virtual TRect GetClientRect();
  bool IsDestroying() const;
  bool IsLoading() const;

  // Message handlers common to every control.
  virtual void CMVisibleChanged(TMessage& m);
  virtual void CMEnabledChanged(TMessage& m);
  virtual void CMFontChanged(TMessage& m);
  virtual void CMColorChanged(TMessage& m);
  virtual void CMParentFontChanged(TMessage& m);
  virtual void CMParentColorChanged(TMessage& m);
  virtual void CMTextChanged(TMessage& m);
  virtual void CMMouseEnter(TMessage& m);
  virtual void CMMouseLeave(TMessage& m);
  virtual void CMHintShow(TMessage& m);
  virtual void WMMouseButton(TMessage& m);

  void FontChanged(rtl::TObject* sender);
  void SetParentInternal(TWinControl* parent) { parent_ = parent; }

  friend class TWinControl;
  friend class TCustomForm;

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  // Anchor rule: where the control stood relative to its parent's size when the parent last resized.
  TPoint anchor_rules_;
  TPoint original_parent_size_;
  TAlign align_ = alNone;
  TAnchors anchors_ = kDefaultAnchors;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parent_color_ = true;
  TFont* font_ = nullptr;
  bool parent_font_ = true;
  TCursor cursor_ = crDefault;
  String text_;
  String hint_;
  bool show_hint_ = false;
  TPopupMenu* popup_menu_ = nullptr;
  TControlStyle control_style_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState control_state_;
  bool mouse_in_control_ = false;
};

class TWinControl : public TControl {
  VCL_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  bool IsWindowed() const override { return true; }

  HWND Handle();  // makes the window (and its parents' windows) when there is none
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Destroys the window (and its children's); the control keeps its state and makes a new one when needed.
  void DestroyHandle();
  void BeforeDestruction() override;
  HWND ParentWindow() const { return parent_window_; }
  void SetParentWindow(HWND value);  // a window outside the library that hosts this control
  void RecreateWnd();
  // The window procedure of the class, used by DefaultHandler.
  WNDPROC DefWndProc() const { return def_wnd_proc_; }

  // Children (every control whose Parent is this one), in z-order for graphic controls, tab order kept apart.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_[index]; }
  bool ContainsControl(const TControl* control) const;
  TControl* ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls = false);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void Broadcast(TMessage& message);
  void NotifyControls(UINT msg);
  void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // Alignment of children.
  void DisableAlign() { ++align_level_; }
  void EnableAlign();
  void Realign();
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect);

  // Tab order and focus.
  int TabOrder() const;
  void SetTabOrder(int value);
  bool IsTabOrderStored() const { return parent_ != nullptr; }
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool value);
  virtual bool CanFocus();
  bool Focused();
  virtual void SetFocus();

  TBrush* Brush() const { return brush_; }

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void BringToFront() override;
  void SendToBack() override;
  void SetBounds(int left, int top, int width, int height) override;
  bool Showing() const override { return showing_; }
  void SetParent(TWinControl* parent) override;
  void SetEnabled(bool value) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  // Paints the control and its children into dc at (x, y) without needing it on screen.
  void PaintTo(HDC dc, int x, int y);

  // Keyboard events.
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // The library's window procedure for every window class it registers.
  static LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The control that owns a window of ours, or null.
  static TWinControl* FindControl(HWND wnd);

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // Called by the parent's AlignControls after every alignment pass.
  void UpdateShowing();

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateSubClass(TCreateParams& params, const wchar_t* controlClassName);
  // After the window exists: fonts, text and children.
  virtual void InitializeWnd();
  void UpdateControlState();
  virtual void ShowControl(TControl* control) {}
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& m);
  void PaintControls(HDC dc, TControl* first);
  virtual bool DoKeyDown(TMessage& m);
  virtual bool DoKeyUp(TMessage& m);
  // Form key preview first, then the control's own handler; true when the key was eaten.
  bool DoKeyEvent(TMessage& m, void (TWinControl::*handler)(rtl::Word&, TShiftState));
  virtual bool DoKeyPress(TMessage& m);
  virtual void KeyDown(rtl::Word& key, TShiftState shift);
  virtual void KeyUp(rtl::Word& key, TShiftState shift);
  virtual void KeyPress(wchar_t& key);
  virtual void DoEnter();
  virtual void DoExit();
  TPoint GetClientOrigin() override;
  TRect GetClientRect() override;
  String GetText() override;
  void SetTextInternal(const String& value) override;
  void AlignControl(TControl* control);
  // Routes a mouse message over a graphic child to that child; true when it did.
  bool IsControlMouseMsg(TMessage& m);
  // A windowed child is hidden or goes away: the form moves the focus off it.
  void ControlHidden(TWinControl* child);
  // True when the control paints its client area itself (PaintWindow) rather than leaving it to the window class.
  virtual bool PaintsItself() const;
  void AnchorChildren(int oldWidth, int oldHeight);
  void UpdateBounds();
  // For windows created by other means (MDI children): the next window created on this thread is this control's.
  static void SetCreationControl(TWinControl* control);
  void AttachHandle(HWND wnd);
  bool IsRecreating() const { return control_state_.Contains(csRecreating); }

  // Message handlers.
  virtual void WMPaint(TMessage& m);
  virtual void WMEraseBkgnd(TMessage& m);
  virtual void WMCommand(TMessage& m);
  virtual void WMNotify(TMessage& m);
  virtual void WMCtlColor(TMessage& m);
  virtual void WMSetFocus(TMessage& m);
  virtual void WMKillFocus(TMessage& m);
  virtual void WMSize(TMessage& m);
  virtual void WMMove(TMessage& m);
  virtual void WMWindowPosChanged(TMessage& m);
  virtual void WMKeyMessage(TMessage& m);
  virtual void WMGetDlgCode(TMessage& m) { DefaultHandler(m); }
  virtual void WMSetCursor(TMessage& m);
  virtual void WMMouseMove(TMessage& m);
  virtual void WMMouseLeave(TMessage& m);
  virtual void WMContextMenu(TMessage& m);
  virtual void WMDestroy(TMessage& m);
  virtual void WMNCDestroy(TMessage& m);
  virtual void CMEnter(TMessage& m);
  virtual void CMExit(TMessage& m);
  virtual void CMDialogKey(TMessage& m);
  virtual void CMDialogChar(TMessage& m);
  virtual void CMShowingChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMColorChanged(TMessage& m) override;
  virtual void CMRecreateWnd(TMessage& m);
  virtual void CMInvalidate(TMessage& m);
  virtual void CNKeyDown(TMessage& m);
  virtual void CNChar(TMessage& m);
  void BrushChanged(rtl::TObject*);

  friend class TControl;
  friend class TApplication;
  friend class TCustomForm;

  HWND handle_ = nullptr;
  HWND parent_window_ = nullptr;
  WNDPROC def_wnd_proc_ = nullptr;
  std::vector<TControl*> controls_;    // every child, in z-order (bottom first)
  std::vector<TWinControl*> tab_list_;  // windowed children in tab order
  TBrush* brush_ = nullptr;
  bool tab_stop_ = false;
  bool showing_ = false;
  int align_level_ = 0;
  bool align_pending_ = false;
  String recreate_text_;
};

// A control without a window: its parent paints it through its canvas.
class TGraphicControl : public TControl {
  VCL_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_; }

protected:
  virtual void Paint() {}
  void Dispatch(TMessage& message) override;
  friend class TWinControl;

private:
  TCanvas* canvas_ = nullptr;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
  VCL_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_; }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;
  bool PaintsItself() const override { return true; }

private:
  TCanvas* canvas_ = nullptr;
};

// The window classes the library registered (one per control class); registering twice is harmless.
void RegisterControlWindowClass(TCreateParams& params);

// The control under the mouse, kept by the windowed controls' mouse handling for CM_MOUSEENTER/CM_MOUSELEAVE.
TControl* MouseControl();
void SetMouseControl(TControl* control);
// Called by a control that goes away so that nothing keeps pointing to it.
void ForgetControl(TControl* control);

// Finds the control that owns a window or one of whose windows contains the point.
TWinControl* FindControl(HWND wnd);
TControl* FindDragTarget(const TPoint& screenPos, bool allowDisabled);

}  // namespace vcl
