#pragma once
// Desktop composition services of the skinned forms, bound by name from dwmapi.dll (loaded once, each entry looked
// up once): a system without composition, or without an entry, answers E_NOTIMPL and nothing else happens.
#include <windows.h>

// Loads dwmapi.dll once; the module, 0 when it cannot be loaded.
HMODULE InitDwmApi();
// Blur behind the window (rgn: the blurred part, 0 for all of it); a nonzero rgn is deleted afterwards whatever the
// answer. E_NOTIMPL when the entry point is missing.
HRESULT SetBlurBehindWindow(HWND handle, bool enable, HRGN rgn);

class TsSkinProvider;
// The taskbar's thumbnail of the form, at most maxWidth x maxHeight, its aspect kept: from the minimise animation's
// snapshot while the form is minimised, else from the form's image. 1 when the system took it, 0 otherwise (no
// composition, no such entry point, no picture, or the system refused it).
int SetThumbIcon(HWND wnd, TsSkinProvider* sp, int maxWidth, int maxHeight);
// The taskbar's live preview of the form, from the same pictures at full size; True when the system took it.
bool SetPreviewBmp(HWND wnd, TsSkinProvider* sp);
