#include "skin/core/lvntUtils.h"

#include <shellapi.h>

#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/services/sDialogs.h"

using rtl::String;

int lvWinVer = 0;
int lvScrollBtnLength = 0;
int lv_CXSIZEFRAME = 0, lv_CXFIXEDFRAME = 0, lv_CYCAPTION = 0, lv_CYSMCAPTION = 0;
bool x64woAero = false;

wchar_t cMenuCaption = L'-';
bool lv_UseSysCharSet = true, lv_KeepOwnFont = false, DrawSkinnedMDIWall = true, DrawSkinnedMDIScrolls = true,
     lv_ChangeThumbPreviews = false, lv_AllowHotEdits = false, StdTransparency = false, FadingForbidden = false,
     ShowHintStored = false, AppShowHint = false, fGlobalFlag = false;
int lv_DialogsLevel = 2;
vcl::TControl* TempControl = nullptr;
vcl::TForm* lvMagnForm = nullptr;
int lvAnimCount = 0;
HWND lvPreviewHandle = nullptr;
bool lvPreviewNeeded = false, lvSkinPreviewUpdating = false;

namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using IsDebuggerPresentFn = BOOL(WINAPI*)();
using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);

IsWow64ProcessFn pIsWow64Process = nullptr;
IsDebuggerPresentFn pIsDebuggerPresent = nullptr;

bool CompositionOn() {
  HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
  if (!dwm) return false;
  BOOL on = FALSE;
  auto fn = reinterpret_cast<DwmIsCompositionEnabledFn>(
      reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
  bool result = fn && SUCCEEDED(fn(&on)) && on;
  FreeLibrary(dwm);
  return result;
}

struct TUtilsStartup {
  TUtilsStartup() {
    OSVERSIONINFOW v{sizeof(v)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&v);
#pragma GCC diagnostic pop
    lvWinVer = (v.dwMajorVersion == 6 && v.dwMinorVersion == 2) ? 8 : static_cast<int>(v.dwMajorVersion);
    lvScrollBtnLength = GetSystemMetrics(SM_CXHSCROLL);
    lv_CXSIZEFRAME = GetSystemMetrics(SM_CXFRAME);
    lv_CXFIXEDFRAME = GetSystemMetrics(SM_CXDLGFRAME);
    lv_CYCAPTION = GetSystemMetrics(SM_CYCAPTION);
    lv_CYSMCAPTION = GetSystemMetrics(SM_CYSMCAPTION);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    pIsWow64Process =
        reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    pIsDebuggerPresent =
        reinterpret_cast<IsDebuggerPresentFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsDebuggerPresent")));
    if (IsWOW64Proc() && !CompositionOn()) x64woAero = true;
  }
};
const TUtilsStartup utilsStartup;

bool IsDelim(wchar_t c, const TSysCharSet& delims) { return delims.Contains(c); }

}  // namespace

vcl::TRect MkRect(int width, int height, int left, int top) { return vcl::TRect(left, top, width, height); }
vcl::TRect MkRect(vcl::TBitmap* bmp) { return vcl::TRect(0, 0, bmp->Width(), bmp->Height()); }
vcl::TRect MkRect(vcl::TControl* ctrl) { return vcl::TRect(0, 0, ctrl->Width(), ctrl->Height()); }
vcl::TRect MkRect(const vcl::TSize& size) { return vcl::TRect(0, 0, size.cx, size.cy); }
vcl::TSize MkSize(int cx, int cy) { return vcl::TSize(cx, cy); }
vcl::TSize MkSize(vcl::TBitmap* bmp) { return vcl::TSize(bmp->Width(), bmp->Height()); }
vcl::TSize MkSize(const vcl::TRect& r) { return vcl::TSize(WidthOf(r, true), HeightOf(r, true)); }
vcl::TPoint MkPoint(int x, int y) { return vcl::TPoint(x, y); }
vcl::TPoint MkPoint(vcl::TControl* ctrl) { return vcl::TPoint(ctrl->Left(), ctrl->Top()); }

int WidthOf(const vcl::TRect& r, bool checkNegative) {
  int w = r.Right - r.Left;
  return checkNegative && w < 0 ? 0 : w;
}

int HeightOf(const vcl::TRect& r, bool checkNegative) {
  int h = r.Bottom - r.Top;
  return checkNegative && h < 0 ? 0 : h;
}

bool RectIsVisible(const vcl::TRect& parentRect, const vcl::TRect& r) {
  if (r.IsEmpty()) return false;
  return r.Left < parentRect.Right && r.Right > parentRect.Left && r.Top < parentRect.Bottom &&
         r.Bottom > parentRect.Top;
}

bool RectInRect(const vcl::TRect& outer, const vcl::TRect& inner) {
  auto in = [&](int x, int y) { return x >= outer.Left && x <= outer.Right && y >= outer.Top && y <= outer.Bottom; };
  return in(inner.Left, inner.Top) && in(inner.Right, inner.Bottom);
}

vcl::TRect RectsAnd(const vcl::TRect& r1, const vcl::TRect& r2) {
  return vcl::TRect(std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top), std::min(r1.Right, r2.Right),
                    std::min(r1.Bottom, r2.Bottom));
}

void Changei(int& a, int& b) { std::swap(a, b); }

TCacheInfo MakeCacheInfo(vcl::TBitmap* bmp, int x, int y) {
  return TCacheInfo{bmp, x, y, 0xFF00FF, vcl::TRect(), true};
}

bool Between(int value, int a, int b, bool ordered) {
  if (ordered && b <= a) return b <= value && value <= a;
  return a <= value && value <= b;
}

int LimitIt(int value, int min, int max) {
  if (value < min) return min;
  if (value > max) return max;
  return value;
}

rtl::Int64 HexToInt(const String& s) {
  String text = rtl::UpperCase(s);
  if (!text.empty() && text.back() == L'H') text.pop_back();
  rtl::UInt64 value = 0;
  for (wchar_t c : text) {
    int digit;
    if (c >= L'0' && c <= L'9')
      digit = c - L'0';
    else if (c >= L'A' && c <= L'F')
      digit = c - L'A' + 10;
    else
      return 0;
    value = value * 16 + static_cast<rtl::UInt64>(digit);
  }
  return static_cast<rtl::Int64>(value);
}

int lvWordCount(const String& s, const TSysCharSet& delims) {
  int count = 0;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsDelim(s[i], delims)) ++i;
    if (i < s.size()) ++count;
    while (i < s.size() && !IsDelim(s[i], delims)) ++i;
  }
  return count;
}

int lvWordPosition(int n, const String& s, const TSysCharSet& delims) {
  int count = 0;
  size_t i = 0;
  while (i < s.size() && count != n) {
    while (i < s.size() && IsDelim(s[i], delims)) ++i;
    if (i < s.size()) {
      ++count;
      if (count == n) return static_cast<int>(i) + 1;
    }
    while (i < s.size() && !IsDelim(s[i], delims)) ++i;
  }
  return 0;
}

String lvExtractWord(int n, const String& s, const TSysCharSet& delims) {
  int pos = lvWordPosition(n, s, delims);
  if (pos == 0) return String();
  size_t start = static_cast<size_t>(pos - 1), end = start;
  while (end < s.size() && !IsDelim(s[end], delims)) ++end;
  return s.substr(start, end - start);
}

String MakeStr(wchar_t c, int n) { return n <= 0 ? String() : String(static_cast<size_t>(n), c); }

void lvFillString(String& s, int count, wchar_t c) { s = MakeStr(c, count); }

String DelChars(const String& s, wchar_t c) {
  String result = s;
  std::erase(result, c);
  return result;
}

String ReplaceStr(const String& s, const String& srch, const String& replace) {
  if (srch.empty()) return s;
  String result;
  size_t i = 0;
  while (true) {
    size_t found = s.find(srch, i);
    if (found == String::npos) break;
    result.append(s, i, found - i);
    result += replace;
    i = found + srch.size();
  }
  result.append(s, i, String::npos);
  return result;
}

bool IsEmptyStr(const String& s, const TSysCharSet& emptyChars) {
  for (wchar_t c : s)
    if (!emptyChars.Contains(c)) return false;
  return true;
}

void GetIniSections(rtl::TStrings* iniText, rtl::TStringList* sections) {
  FreeIniSections(sections);
  rtl::TStringList* current = nullptr;
  for (rtl::Integer i = 0; i < iniText->Count(); ++i) {
    String line = iniText->Get(i);
    if (line.empty() || line[0] == L';') continue;
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      current = new rtl::TStringList();
      current->SetCaseSensitive(sections->CaseSensitive());
      sections->AddObject(line.substr(1, line.size() - 2), current);
    } else if (current) {
      current->Add(line);
    }
  }
}

void FreeIniSections(rtl::TStringList* sections) {
  for (rtl::Integer i = 0; i < sections->Count(); ++i) delete sections->Objects(i);
  sections->Clear();
}

String ReadIniString(rtl::TStrings*, rtl::TStringList* sections, const String& section, const String& key,
                     const String& def) {
  rtl::Integer s = sections->IndexOf(section);
  if (s < 0) return def;
  auto* lines = dynamic_cast<rtl::TStringList*>(sections->Objects(s));
  if (!lines) return def;
  rtl::Integer k = lines->IndexOfName(key);
  if (k < 0) return def;
  String line = lines->Get(k);
  return line.size() > key.size() ? line.substr(key.size() + 1) : String();
}

int ReadIniInteger(rtl::TStrings* iniText, rtl::TStringList* sections, const String& section, const String& key,
                   int def) {
  String text = ReadIniString(iniText, sections, section, key, String());
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) text = L"$" + text.substr(2);
  return rtl::StrToIntDef(text, def);
}

int ReadRegInt(HKEY rootKey, const String& key, const String& name) {
  rtl::TRegistry reg(KEY_READ);
  reg.SetRootKey(rootKey);
  if (!reg.OpenKeyReadOnly(key)) throw rtl::ERegistryException(L"Failed to get data for '" + name + L"'");
  return reg.ReadInteger(name);
}

vcl::TMessage MakeMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT result) {
  vcl::TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  m.Result = result;
  return m;
}

void ShowWarning(const String& text) { sMessageDlg(text, vcl::mtWarning, vcl::TMsgDlgButtons{vcl::mbOK}, 0); }
void ShowError(const String& text) { sMessageDlg(text, vcl::mtError, vcl::TMsgDlgButtons{vcl::mbOK}, 0); }

bool HasProperty(rtl::TObject* obj, const String& name) { return obj && vcl::GetPropInfo(obj, name) != nullptr; }

rtl::TObject* GetObjProp(rtl::TObject* obj, const String& name) {
  const vcl::TPropInfo* p = obj ? vcl::GetPropInfo(obj, name) : nullptr;
  if (!p || p->Kind() != vcl::tkClass) return nullptr;
  return p->GetObject(obj);
}

rtl::Int64 GetIntProp(rtl::TObject* obj, const String& name) {
  const vcl::TPropInfo* p = obj ? vcl::GetPropInfo(obj, name) : nullptr;
  if (!p) return -1;
  try {
    return p->GetOrd(obj);
  } catch (const rtl::Exception&) {
    return -1;
  }
}

void SetIntProp(rtl::TObject* obj, const String& name, rtl::Int64 value) {
  const vcl::TPropInfo* p = obj ? vcl::GetPropInfo(obj, name) : nullptr;
  if (!p) return;
  try {
    p->SetOrd(obj, value);
  } catch (const rtl::Exception&) {
  }
}

bool CheckSetProp(rtl::TObject* obj, const String& name, const String& value) {
  const vcl::TPropInfo* p = obj ? vcl::GetPropInfo(obj, name) : nullptr;
  if (!p || p->Kind() != vcl::tkSet || !p->EnumType()) return false;
  rtl::Int64 bits = p->GetOrd(obj);
  const vcl::TEnumInfo* e = p->EnumType();
  for (int v = e->MinValue(); v <= e->MaxValue() && v < 32; ++v)
    if (((bits >> v) & 1) && rtl::SameText(e->NameOf(v), value)) return true;
  return false;
}

bool SetSetPropValue(rtl::TObject* obj, const String& name, const String& value, bool add) {
  const vcl::TPropInfo* p = obj ? vcl::GetPropInfo(obj, name) : nullptr;
  if (!p || p->Kind() != vcl::tkSet) return false;
  String text = vcl::GetSetProp(obj, name, false);
  if (add) {
    if (text.find(value) == String::npos) text += L"," + value;
  } else if (size_t at = text.find(L"," + value); at != String::npos) {
    text.erase(at, value.size() + 1);
  } else if (size_t at2 = text.find(value + L","); at2 != String::npos) {
    text.erase(at2, value.size() + 1);
  } else if (size_t at3 = text.find(value); at3 != String::npos) {
    text.erase(at3, value.size());
  }
  while (!text.empty() && text.front() == L',') text.erase(0, 1);
  vcl::SetSetProp(obj, name, L"[" + text + L"]");
  return false;
}

String NormalDir(const String& dir) {
  if (dir.empty()) return dir;
  if (dir.back() == L'\\') return dir;
  if (dir.back() == L'/') return dir.substr(0, dir.size() - 1) + L"\\";
  if (dir.size() == 1) return dir + L":\\";
  return dir + L"\\";
}

bool lvDirExists(const String& dir) {
  DWORD attr = GetFileAttributesW(dir.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_NOT_READY:
      case ERROR_BAD_NETPATH:
      case ERROR_INVALID_NAME:
        return false;
      default:
        return true;
    }
  }
  bool isDir = (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!(attr & FILE_ATTRIBUTE_REPARSE_POINT) || !isDir) return isDir;
  HANDLE h = CreateFileW(dir.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

String lvGetAppPath() { return rtl::IncludeTrailingPathDelimiter(rtl::ExeFolder()); }

std::unique_ptr<vcl::TIcon> GetIconForFile(const String& fileName, UINT flags) {
  if (!rtl::FileExists(fileName)) return nullptr;
  SHFILEINFOW info{};
  UINT what = SHGFI_ICON | (flags == 1 ? SHGFI_SMALLICON : SHGFI_LARGEICON);
  if (!SHGetFileInfoW(fileName.c_str(), 0, &info, sizeof(info), what) || !info.hIcon) return nullptr;
  auto icon = std::make_unique<vcl::TIcon>();
  icon->SetHandle(info.hIcon);
  if (icon->Empty()) return nullptr;
  return icon;
}

int GetCaptionFontSize() {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof(m);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0)) return 0;
  return m.lfCaptionFont.lfHeight;
}

HFONT lvGetTitleFont() {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof(m);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0)) return nullptr;
  return CreateFontIndirectW(&m.lfCaptionFont);
}

bool lvGetAnimation() {
  ANIMATIONINFO info{sizeof(info), 0};
  SystemParametersInfoW(SPI_GETANIMATION, sizeof(info), &info, 0);
  return info.iMinAnimate != 0;
}

void lvSetAnimation(bool value) {
  ANIMATIONINFO info{sizeof(info), value ? -1 : 0};
  SystemParametersInfoW(SPI_SETANIMATION, sizeof(info), &info, 0);
}

bool IsNTFamily() {
  OSVERSIONINFOW v{sizeof(v)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&v);
#pragma GCC diagnostic pop
  return v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion >= 1);
}

bool IsWOW64Proc() {
  BOOL wow = FALSE;
  return pIsWow64Process && pIsWow64Process(GetCurrentProcess(), &wow) && wow;
}

bool IsIDERunning() { return pIsDebuggerPresent ? pIsDebuggerPresent() != FALSE : true; }

void Delay(int ms) {
  DWORD start = GetTickCount();
  do {
    if (vcl::Application)
      vcl::Application->ProcessMessages();
    else {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

void HoldHints() {
  if (ShowHintStored) return;
  AppShowHint = vcl::Application->ShowHint();
  ShowHintStored = true;
  vcl::Application->SetShowHint(false);
}

void RestoreHints() {
  if (!ShowHintStored) return;
  vcl::Application->SetShowHint(AppShowHint);
  ShowHintStored = false;
}
