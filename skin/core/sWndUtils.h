#pragma once
// Small window helpers the skinned controls, forms and wrappers share: class names, client areas in window
// coordinates, the room aligned children take, monitor work areas, redraw switching, the cursor position, the
// platform's visual styles and the late-bound shell entry.
#include <windows.h>
#include <shellapi.h>

#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"

// The window's class name; GetClassNameW gets a buffer of 128 characters, so at most 127 come back.
rtl::String GetWndClassName(HWND handle);
// The client area in window coordinates: its offset from the window's top-left corner and its size.
vcl::TRect lvClientRect(HWND handle);
// Sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children with that Align;
// graphic children only when graphCtrlsToo; 0 for any other Align.
int GetAlignShift(vcl::TWinControl* control, vcl::TAlign align, bool graphCtrlsToo = false);
// The work area of the first monitor (in the screen's order) whose work area contains p; (0, 0, 0, 0) when none.
vcl::TRect lvWorkRect(const vcl::TPoint& p);
// The work area of the form's monitor (the nearest one).
vcl::TRect lvWorkRect(vcl::TCustomForm* form);
// WM_SETREDRAW with value.
void SetRedraw(HWND handle, int value = 0);
// The cursor position on the screen.
vcl::TPoint lvMousePos();
// Whether the platform's visual styles are in use (asked once, then kept).
bool lvThemesEnabled();

// The visual-style library (nullptr when it did not load) and its SetWindowTheme entry (nullptr without it).
using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
extern HMODULE uxthemeLib;
extern TSetWindowTheme Lv_SetWindowTheme;

// SHGetFileInfoW taken from shell32 by InitSysProc; nullptr until then or when the library is missing.
using TSHGetFileInfoW = DWORD_PTR(WINAPI*)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
extern TSHGetFileInfoW lvSHGetFileInfo;
// Loads shell32 once and takes SHGetFileInfoW when the entry is not yet known.
void InitSysProc();
