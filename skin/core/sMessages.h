#pragma once
// The skinning library's private command message and its sub-commands, and the other private message numbers.
//
// SM_LUMICMD: WParam's high word is the sub-command (LVC_), its low word an argument of that command (0 unless the
// command says otherwise); LParam is the command's argument (the sending manager, a pointer to a record, a window
// handle or 0). The result is the receiver's answer; a receiver that does not know the command answers 0.
#include "platform/rtl/win.h"
#include "platform/vcl/messages.h"

constexpr UINT SM_LUMICMD = 0xA100;
static_assert(SM_LUMICMD == vcl::kSkinCommandMessage, "the class library keeps this number free for us");

constexpr WORD LVC_SETNEWSKIN = 1;   // a skin was loaded (LParam: the manager)
constexpr WORD LVC_REMOVESKIN = 2;   // skinning is switched off (LParam: the manager)
constexpr WORD LVC_REFRESH = 3;      // repaint with the current skin (LParam: the manager)
constexpr WORD LVC_GETPROVIDER = 4;  // a form's skin provider, or 0
constexpr WORD LVC_GETCACHE = 5;
constexpr WORD LVC_ENDPARENTUPDATE = 6;
constexpr WORD LVC_CTRLHANDLED = 7;  // every skinned control answers 1
constexpr WORD LVC_UPDATING = 8;     // low word: 1 on, 0 off
constexpr WORD LVC_GETDEFINDEX = 9;  // index of the default section + 1 (0 = none)
constexpr WORD LVC_PREPARING = 10;
constexpr WORD LVC_GETHALFVISIBLE = 11;
constexpr WORD LVC_GETLISTSW = 12;
constexpr WORD LVC_UPDATESECTION = 13;  // LParam: the upper-cased section name (const rtl::String*)
constexpr WORD LVC_DROPPEDDOWN = 14;
constexpr WORD LVC_SETSECTION = 15;  // LParam: a section name (const rtl::String*); answers 1
constexpr WORD LVC_STOPFADING = 16;
constexpr WORD LVC_SETBGCHANGED = 17;
constexpr WORD LVC_INVALIDATE = 18;
constexpr WORD LVC_CHILDCHANGED = 19;
constexpr WORD LVC_SETCHANGEDIFNECESSARY = 20;
constexpr WORD LVC_GETCONTROLCOLOR = 21;
constexpr WORD LVC_SETHALFVISIBLE = 22;
constexpr WORD LVC_PREPARECACHE = 23;
constexpr WORD LVC_DRAWANIMAGE = 24;
constexpr WORD LVC_CONTROLLOADED = 25;
constexpr WORD LVC_GETSKININDEX = 26;
constexpr WORD LVC_GETSERVICEINT = 27;
constexpr WORD LVC_UPDATECHILDREN = 28;
constexpr WORD LVC_MOUSEENTER = 29;
constexpr WORD LVC_MOUSELEAVE = 30;
constexpr WORD LVC_BEGINUPDATE = 31;
constexpr WORD LVC_ENDUPDATE = 32;
constexpr WORD LVC_CLEARCACHE = 33;
constexpr WORD LVC_GETBG = 34;
constexpr WORD LVC_GETDISKIND = 35;
constexpr WORD LVC_GETSKINSTATE = 36;
constexpr WORD LVC_GETSKINDATA = 37;
constexpr WORD LVC_PRINTING = 38;
constexpr WORD LVC_PAINTOUTER = 40;
constexpr WORD LVC_BEFORESCROLL = 51;
constexpr WORD LVC_AFTERSCROLL = 52;
constexpr WORD LVC_REINITSCROLLS = 53;
constexpr WORD LVC_GETAPPLICATION = 60;
constexpr WORD LVC_PARENTCLOFFSET = 61;
constexpr WORD LVC_NCPAINT = 62;
constexpr WORD LVC_SETPOSCHANGING = 63;
constexpr WORD LVC_GETPOSCHANGING = 64;
constexpr WORD LVC_SETALPHA = 65;
constexpr WORD LVC_GETFONTINDEX = 66;
constexpr WORD LVC_GETBORDERWIDTH = 68;
constexpr WORD LVC_GETOUTRGN = 70;
constexpr WORD LVC_COPYDATA = 71;  // skin-editor data has arrived (posted)

// Asks the manager to paint the border of the popup window of a menu item (LParam: the item) or of a given popup
// window (LParam: the window).
constexpr UINT WM_DRAWMENUBORDER = 0xBCB3;
constexpr UINT WM_DRAWMENUBORDER2 = 0xBCB4;
static_assert(WM_DRAWMENUBORDER == vcl::kSkinReservedLow && WM_DRAWMENUBORDER2 == vcl::kSkinReservedHigh);

// The skin-editor link: the magic of its block and its commands.
constexpr UINT LKE_MSG = 0xA400;
static_assert(LKE_MSG == vcl::kSkinPrivateMessage);
constexpr int LKE_CLOSE = 1, LKE_UPDATE = 2, LKE_HELLO = 3, LKE_ALIVE = 4;

// Starts moving a window by dragging.
constexpr UINT SC_DRAGMOVE = 0xF012;
// Scroll-bar hit codes.
constexpr int HTSB_LEFT_BUTTON = 100, HTSB_RIGHT_BUTTON = 101, HTSB_TOP_BUTTON = 102, HTSB_BOTTOM_BUTTON = 103,
              HTSB_H_SCROLL = 104, HTSB_HB_SCROLL = 105, HTSB_V_SCROLL = 106, HTSB_VB_SCROLL = 107;
// Title buttons of a maximised MDI child.
constexpr int HTCHILDCLOSE = 101, HTCHILDMAX = 102, HTCHILDMIN = 103;
// Class style of windows with a system drop shadow.
constexpr UINT NCS_DROPSHADOW = 0x20000;

// WParam of SM_LUMICMD: the sub-command in the high word, its argument in the low word.
constexpr WPARAM MakeLumiWParam(WORD command, WORD arg = 0) {
  return static_cast<WPARAM>(static_cast<DWORD>(arg) | (static_cast<DWORD>(command) << 16));
}
