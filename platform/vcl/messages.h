#pragma once
// Window messages of the class library: the message record every window procedure works on, the replaceable
// window method, and the library's own notification numbers.
//
// Numbering: the library's notifications (CM_) start at $B000 and stay below $B100; the notifications a parent
// reflects back to the child that caused them (CN_) are $BC00 plus the original WM_ code. The skinning library owns
// $A100 and $A400 and uses $BCB3/$BCB4 for itself, so none of ours may land there (checked at the end of the file).
#include <cstdint>

#include "platform/rtl/object.h"
#include "platform/rtl/win.h"

namespace vcl {

// Parameters and results are pointer-sized: object references travel in LParam on this 64-bit target.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(LParam); }
  WORD LParamHi() const { return HIWORD(LParam); }
};

// A window method: an object and one of its member functions taking the message record. It can be stored,
// replaced and compared, so that whoever puts their own method in front of a control's WindowProc can later put
// back exactly the one that was there.
struct TWndMethod {
  using Code = void (rtl::TObject::*)(TMessage&);
  rtl::TObject* Data = nullptr;
  Code Method = nullptr;

  explicit operator bool() const { return Data != nullptr && Method != nullptr; }
  void operator()(TMessage& message) const { (Data->*Method)(message); }
  friend bool operator==(const TWndMethod& a, const TWndMethod& b) { return a.Data == b.Data && a.Method == b.Method; }
  friend bool operator!=(const TWndMethod& a, const TWndMethod& b) { return !(a == b); }
};

// MakeWndMethod(this, &TMyControl::MyWndProc)
template <class T>
TWndMethod MakeWndMethod(T* object, void (T::*method)(TMessage&)) {
  return TWndMethod{static_cast<rtl::TObject*>(object), static_cast<TWndMethod::Code>(method)};
}

// The library's own notifications. Unless noted otherwise they are sent with Perform to the control concerned.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;        // LParam: the control that keeps the mode
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;         // WParam: virtual key; Result non-zero: handled
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;        // WParam: character; Result non-zero: handled
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;      // LParam: the control that now has the focus (to every control)
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;   // WParam: the new Visible (0/1)
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;       // LParam: the control the mouse entered
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;       // LParam: the control the mouse left
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;    // WParam: group index; LParam: the button pressed
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;   // WParam: virtual key; Result non-zero: the control takes it
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;          // posted to a form that Release asked to free itself
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;   // WParam: the control; LParam: 1 inserted, 0 removed
constexpr UINT CM_GETDATALINK = CM_BASE + 45;         // Result: the control's data link object, or 0
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;            // LParam: THintInfo*; Result non-zero: no hint
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;         // posted: recreate the window handle
constexpr UINT CM_INVALIDATE = CM_BASE + 52;          // WParam 1: the window's frame too
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;             // LParam: the control that changed
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;          // WParam/LParam as WM_MOUSEWHEEL; Result non-zero: handled
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
constexpr UINT CM_CONTROLLISTCHANGING = CM_BASE + 69; // WParam: the control; LParam: 1 inserting, 0 removing
constexpr UINT CM_PARENTVISIBLECHANGED = CM_BASE + 70;
constexpr UINT CM_LAST = CM_PARENTVISIBLECHANGED;

// Notifications reflected by a parent to the child control that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
// Not a reflected WM_ code: a combo box tells itself its list closed (after CBN_CLOSEUP has been handled).
constexpr UINT CN_DROPDOWNCLOSED = CN_BASE + 0x3F0;

// Numbers other parts of the program own.
constexpr UINT kSkinCommandMessage = 0xA100;
constexpr UINT kSkinPrivateMessage = 0xA400;
constexpr UINT kSkinReservedLow = 0xBCB3;
constexpr UINT kSkinReservedHigh = 0xBCB4;

constexpr bool IsForeignNumber(UINT m) {
  return m == kSkinCommandMessage || m == kSkinPrivateMessage || m == kSkinReservedLow || m == kSkinReservedHigh;
}
static_assert(CM_LAST < 0xB100, "CM_ messages must stay in their block");
static_assert(!IsForeignNumber(CN_CHARTOITEM) && !IsForeignNumber(CN_COMMAND) && !IsForeignNumber(CN_COMPAREITEM) &&
              !IsForeignNumber(CN_CTLCOLORBTN) && !IsForeignNumber(CN_CTLCOLORDLG) &&
              !IsForeignNumber(CN_CTLCOLOREDIT) && !IsForeignNumber(CN_CTLCOLORLISTBOX) &&
              !IsForeignNumber(CN_CTLCOLORMSGBOX) && !IsForeignNumber(CN_CTLCOLORSCROLLBAR) &&
              !IsForeignNumber(CN_CTLCOLORSTATIC) && !IsForeignNumber(CN_DELETEITEM) &&
              !IsForeignNumber(CN_DRAWITEM) && !IsForeignNumber(CN_HSCROLL) && !IsForeignNumber(CN_MEASUREITEM) &&
              !IsForeignNumber(CN_PARENTNOTIFY) && !IsForeignNumber(CN_VKEYTOITEM) &&
              !IsForeignNumber(CN_VSCROLL) && !IsForeignNumber(CN_KEYDOWN) && !IsForeignNumber(CN_KEYUP) &&
              !IsForeignNumber(CN_CHAR) && !IsForeignNumber(CN_SYSKEYDOWN) && !IsForeignNumber(CN_SYSCHAR) &&
              !IsForeignNumber(CN_NOTIFY) && !IsForeignNumber(CN_DROPDOWNCLOSED),
              "reflected notifications collide with the skinning library's messages");

// Posted by the application to itself; below the CM_ block and above WM_APP's common use.
constexpr UINT WM_TAVREL_INVOKE = WM_APP + 0x3A0;

}  // namespace vcl
