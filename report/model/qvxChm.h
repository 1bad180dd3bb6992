#pragma once
// The HTML Help entry point, taken from the help control library when the system has it.
#include "platform/rtl/types.h"

// nullptr when the library or its entry point is missing.
using THtmlHelpW = void*(__stdcall*)(void* hwndCaller, const wchar_t* file, unsigned command, uintptr_t data);
THtmlHelpW HtmlHelpW();
