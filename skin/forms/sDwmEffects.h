#pragma once
// Desktop composition services of the skinned forms, bound by name from dwmapi.dll (loaded once, each entry looked
// up once): a system without composition, or without an entry, answers E_NOTIMPL and nothing else happens.
#include <windows.h>

// Loads dwmapi.dll once; the module, 0 when it cannot be loaded.
HMODULE InitDwmApi();
// Blur behind the window (rgn: the blurred part, 0 for all of it); a nonzero rgn is deleted afterwards whatever the
// answer. E_NOTIMPL when the entry point is missing.
HRESULT SetBlurBehindWindow(HWND handle, bool enable, HRGN rgn);
