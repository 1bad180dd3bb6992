#pragma once
// The library's user-interface captions: taken from the system's string tables where a system library has the text,
// else from the library's own string table (the executable's string resources, ids 58910..59000). All are filled
// once when the program starts.
#include "platform/rtl/types.h"
#include "platform/rtl/win.h"

// Ids of the library's own string table.
constexpr int s_Create = 58910, s_SelectDir = 58911, s_InvalidDate = 58923, s_Font = 58934,
              s_FrameAdapterError1 = 58950, s_ColorDlgHex = 58951, s_ColorDlgDecimal = 58952, s_ColorDlgBlue = 58953,
              s_ColorDlgGreen = 58954, s_ColorDlgRed = 58955, s_ColorDlgTitle = 58956, s_ColorDlgAddPal = 58957,
              s_ColorDlgMainPal = 58958, s_ColorDlgDefine = 58959, s_ColorDlgAdd = 58960,
              s_ListBoxMustBeVirtual = 58961, s_ErrorSettingCount = 58962, s_InternalSkin = 58963, s_AvailSkins = 58964,
              s_FileOpen = 58970, s_Calculator = 58975, s_CloseStr = 58976, s_MaximizeStr = 58977,
              s_MinimizeStr = 58978, s_SizeStr = 58979, s_MoveStr = 58980, s_RestoreStr = 58981, s_MsgDlgHelp = 58990,
              s_MsgDlgCancel = 58991, s_MsgDlgOK = 58992;
constexpr int MaxLumiStrID = 59000;

extern rtl::String lvs_MsgDlgOK, lvs_MsgDlgCancel, lvs_MsgDlgHelp, lvs_CloseStr, lvs_ColorDlgAdd, lvs_ColorDlgDefine,
    lvs_ColorDlgAddPal, lvs_ColorDlgDecimal, lvs_Root, lvs_Create, lvs_RestoreStr, lvs_SizeStr, lvs_MoveStr,
    lvs_MaximizeStr, lvs_MinimizeStr, lvs_FileOpen, lvs_SelectDir, lvs_ColorDlgRed, lvs_ColorDlgGreen, lvs_ColorDlgBlue,
    lvs_ColorDlgTitle, lvs_Font, lvs_FontColor, lvs_Calculator, lvs_ColorDlgHex, lvs_InvalidDate, lvs_AvailSkins,
    lvs_InternalSkin, lvs_FrameAdapterError1, lvs_DirWithSkins, lvs_SelectSkinTitle, lvs_SkinPreview;

// A string of the library's own table; empty when the executable does not have it.
rtl::String LoadLumiStr(int id);
// Caption loading: the string ID of Lib with Suffix appended; when Lib lacks it, the fallback: the own string
// defID (0 = none) or the text defStr (empty = none). Nothing is assigned when Lib is 0 (the library did not load).
void lvLoadResStr(rtl::String& s, HMODULE lib, int id, int defID, const rtl::String& suffix);
void lvLoadResStr(rtl::String& s, HMODULE lib, int id, const rtl::String& defStr, const rtl::String& suffix);
