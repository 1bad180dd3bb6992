#include "skin/core/sStrings.h"

rtl::String lvs_MsgDlgOK, lvs_MsgDlgCancel, lvs_MsgDlgHelp, lvs_CloseStr, lvs_ColorDlgAdd, lvs_ColorDlgDefine,
    lvs_ColorDlgAddPal, lvs_ColorDlgDecimal, lvs_Root, lvs_Create, lvs_RestoreStr, lvs_SizeStr, lvs_MoveStr,
    lvs_MaximizeStr, lvs_MinimizeStr, lvs_FileOpen, lvs_SelectDir, lvs_ColorDlgRed, lvs_ColorDlgGreen, lvs_ColorDlgBlue,
    lvs_ColorDlgTitle, lvs_Font, lvs_FontColor, lvs_Calculator, lvs_ColorDlgHex, lvs_InvalidDate, lvs_AvailSkins,
    lvs_InternalSkin, lvs_FrameAdapterError1, lvs_DirWithSkins, lvs_SelectSkinTitle, lvs_SkinPreview;

namespace {

rtl::String LoadModuleStr(HMODULE lib, int id) {
  // A zero buffer length asks for a pointer to the resource's own (unterminated) text.
  const wchar_t* text = nullptr;
  int length = LoadStringW(lib, static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || !text) return rtl::String();
  return rtl::String(text, static_cast<size_t>(length));
}

void Assign(rtl::String& s, HMODULE lib, int id, const rtl::String& fallback, const rtl::String& suffix) {
  if (!lib) return;
  rtl::String found = LoadModuleStr(lib, id);
  if (!found.empty()) {
    s = found + suffix;
  } else if (!fallback.empty()) {
    s = fallback;
  }
}

// Fills the captions in the order the system libraries are visited; each library is loaded only for its turn.
struct TCaptionsStartup {
  TCaptionsStartup() {
    auto with = [](const wchar_t* name, auto fill) {
      HMODULE lib = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
      fill(lib);
      if (lib) FreeLibrary(lib);
    };
    with(L"user32.dll", [](HMODULE lib) {
      lvLoadResStr(lvs_MsgDlgOK, lib, 800, s_MsgDlgOK, L"");
      lvLoadResStr(lvs_MsgDlgCancel, lib, 801, s_MsgDlgCancel, L"");
      lvLoadResStr(lvs_MsgDlgHelp, lib, 808, s_MsgDlgHelp, L"");
      lvLoadResStr(lvs_CloseStr, lib, 905, s_CloseStr, L"");
    });
    with(L"colorui.dll", [](HMODULE lib) { lvLoadResStr(lvs_ColorDlgAdd, lib, 1810, s_ColorDlgAdd, L""); });
    with(L"shell32.dll", [](HMODULE lib) {
      lvLoadResStr(lvs_ColorDlgDefine, lib, 4151, s_ColorDlgDefine, L"");
      lvLoadResStr(lvs_ColorDlgAddPal, lib, 31153, s_ColorDlgAddPal, L":");
      lvLoadResStr(lvs_ColorDlgDecimal, lib, 16514, s_ColorDlgDecimal, L" - ");
      lvLoadResStr(lvs_Root, lib, 33015, rtl::String(L"Root:"), L":");
      lvLoadResStr(lvs_Create, lib, 4151, s_Create, L"");
    });
    with(L"comctl32.dll", [](HMODULE lib) {
      lvLoadResStr(lvs_RestoreStr, lib, 33056, s_RestoreStr, L"");
      lvLoadResStr(lvs_SizeStr, lib, 32768, s_SizeStr, L"");
      lvLoadResStr(lvs_MoveStr, lib, 32784, s_MoveStr, L"");
      lvLoadResStr(lvs_MaximizeStr, lib, 32816, s_MaximizeStr, L"");
      lvLoadResStr(lvs_MinimizeStr, lib, 32800, s_MinimizeStr, L"");
    });
    lvs_Calculator = L"Calculator";
    with(L"comdlg32.dll", [](HMODULE lib) {
      lvLoadResStr(lvs_FileOpen, lib, 436, s_FileOpen, L"");
      lvLoadResStr(lvs_SelectDir, lib, 439, s_SelectDir, L"");
      lvLoadResStr(lvs_ColorDlgRed, lib, 1049, s_ColorDlgRed, L":");
      lvLoadResStr(lvs_ColorDlgGreen, lib, 1042, s_ColorDlgGreen, L":");
      lvLoadResStr(lvs_ColorDlgBlue, lib, 1052, s_ColorDlgBlue, L":");
    });
    with(L"compstui.dll", [](HMODULE lib) { lvLoadResStr(lvs_ColorDlgTitle, lib, 64744, s_ColorDlgTitle, L""); });
    lvs_ColorDlgHex = LoadLumiStr(s_ColorDlgHex);
    with(L"inetres.dll", [](HMODULE lib) {
      lvLoadResStr(lvs_Font, lib, 1175, s_Font, L"");
      lvLoadResStr(lvs_FontColor, lib, 5273, rtl::String(L"Font color:"), L":");
    });
    lvs_InvalidDate = LoadLumiStr(s_InvalidDate);
    lvs_AvailSkins = LoadLumiStr(s_AvailSkins);
    lvs_InternalSkin = LoadLumiStr(s_InternalSkin);
    if (lvs_InvalidDate.empty()) lvs_InvalidDate = L"Invalid date";
    lvs_DirWithSkins = L"Directory with skins:";
    lvs_SelectSkinTitle = L"Select skin";
    lvs_SkinPreview = L"Skin preview";
    lvs_FrameAdapterError1 = LoadLumiStr(s_FrameAdapterError1);
  }
};

const TCaptionsStartup captionsStartup;

}  // namespace

rtl::String LoadLumiStr(int id) { return LoadModuleStr(GetModuleHandleW(nullptr), id); }

void lvLoadResStr(rtl::String& s, HMODULE lib, int id, int defID, const rtl::String& suffix) {
  Assign(s, lib, id, defID ? LoadLumiStr(defID) : rtl::String(), suffix);
}

void lvLoadResStr(rtl::String& s, HMODULE lib, int id, const rtl::String& defStr, const rtl::String& suffix) {
  Assign(s, lib, id, defStr, suffix);
}
