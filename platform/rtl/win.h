#pragma once
// The one way the program reaches <windows.h>.
//
// Win32 turns many function names into macros (DeleteFile -> DeleteFileW, GetObject -> GetObjectW, ...). The class
// library we stand in for uses the same names for its own functions and methods (rtl::DeleteFile,
// TCanvas::TextOut, TApplication::MessageBox, ...). If the macro were live in one translation unit and not in
// another, the same declaration would name two different symbols depending on include order, and calls would
// silently go to Win32 instead of to us. So:
//
//  1. Never include <windows.h> (or <shellapi.h>, <commdlg.h>) directly in a header: include this file. Including
//     it from a .cpp is fine too, in any order relative to other headers.
//  2. This file includes the Win32 headers once and then removes the macros whose names collide with names of
//     ours. Because the Win32 headers have include guards, a later #include <windows.h> changes nothing.
//  3. Consequently code that wants the Win32 function calls the explicit wide form: DeleteFileW, SendMessageW,
//     GetObjectW, LoadStringW, DrawTextW, CreateWindowExW, MessageBoxW, GetClassNameW ... (the build defines
//     UNICODE, so the wide form is what the macro would have picked anyway).
//  4. If you need another Win32 header whose macros collide with our names, include it here above the #undef
//     block; if you name something after a Win32 macro, add the #undef here.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
// clang-format on

// Files and folders.
#undef DeleteFile
#undef CopyFile
#undef MoveFile
#undef CreateDirectory
#undef RemoveDirectory
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetTempPath
#undef GetTempFileName
#undef GetFileAttributes
#undef SetFileAttributes
#undef GetFullPathName
#undef FindFirstFile
#undef FindNextFile
#undef GetModuleFileName
#undef GetEnvironmentVariable
#undef SetEnvironmentVariable
#undef ExpandEnvironmentStrings
#undef GetCommandLine
#undef GetUserName
#undef GetComputerName
#undef LoadLibrary
#undef FormatMessage
#undef Yield
// Settings files and locale.
#undef GetPrivateProfileString
#undef GetPrivateProfileInt
#undef GetPrivateProfileSection
#undef GetPrivateProfileSectionNames
#undef WritePrivateProfileString
#undef WritePrivateProfileSection
#undef CompareString
#undef GetLocaleInfo
#undef GetDateFormat
#undef GetTimeFormat
#undef GetNumberFormat
#undef GetCurrencyFormat
#undef CharUpper
#undef CharLower
// Windows, messages and resources.
#undef CreateWindow
#undef CreateWindowEx
#undef GetClassName
#undef GetClassInfo
#undef RegisterClass
#undef UnregisterClass
#undef SendMessage
#undef PostMessage
#undef GetMessage
#undef PeekMessage
#undef DispatchMessage
#undef DefWindowProc
#undef CallWindowProc
#undef MessageBox
#undef FindWindow
#undef GetWindowText
#undef SetWindowText
#undef GetWindowTextLength
#undef GetProp
#undef SetProp
#undef RemoveProp
#undef LoadString
#undef LoadBitmap
#undef LoadIcon
#undef LoadCursor
#undef LoadImage
#undef LoadMenu
#undef FindResource
#undef InsertMenu
#undef AppendMenu
#undef ModifyMenu
#undef GetMenuString
#undef CreateEvent
#undef CreateMutex
#undef CreateSemaphore
// Graphics and printing.
#undef GetObject
#undef DrawText
#undef DrawTextEx
#undef TextOut
#undef ExtTextOut
#undef CreateFont
#undef CreateFontIndirect
#undef GetTextMetrics
#undef GetTextExtentPoint32
#undef GetTextFace
#undef EnumFonts
#undef EnumFontFamilies
#undef CreateDC
#undef StartDoc
#undef CreateMetaFile
#undef CreateEnhMetaFile
#undef CopyEnhMetaFile
#undef GetEnhMetaFile
// Common dialogs and shell.
#undef ChooseColor
#undef ChooseFont
#undef PrintDlg
#undef GetOpenFileName
#undef GetSaveFileName
#undef FindText
#undef ReplaceText
#undef ShellExecute
