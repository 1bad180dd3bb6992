#pragma once
// Small stateless helpers of the skinning library (rectangles, numbers, words, INI text held in memory, registry,
// published properties, folders, system switches) and the process-wide switches and metrics read at start-up.
#include <bitset>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "platform/rtl/files.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/graphicstypes.h"
#include "platform/vcl/messages.h"
#include "skin/core/sConst.h"

namespace vcl {
class TBitmap;
class TControl;
class TIcon;
class TForm;
}  // namespace vcl

// A set of 8-bit characters; wider characters are never members.
class TSysCharSet {
 public:
  TSysCharSet() = default;
  TSysCharSet(std::initializer_list<wchar_t> chars) {
    for (wchar_t c : chars) Include(c);
  }
  explicit TSysCharSet(std::wstring_view chars) {
    for (wchar_t c : chars) Include(c);
  }
  void Include(wchar_t c) {
    if (c < 256) bits_.set(c);
  }
  bool Contains(wchar_t c) const { return c < 256 && bits_.test(c); }

 private:
  std::bitset<256> bits_;
};

// Rectangles, sizes and points.
vcl::TRect MkRect(int width, int height, int left = 0, int top = 0);
vcl::TRect MkRect(vcl::TBitmap* bmp);
vcl::TRect MkRect(vcl::TControl* ctrl);
vcl::TRect MkRect(const vcl::TSize& size);
vcl::TSize MkSize(int cx, int cy);
vcl::TSize MkSize(vcl::TBitmap* bmp);
vcl::TSize MkSize(const vcl::TRect& r);
vcl::TPoint MkPoint(int x, int y);
vcl::TPoint MkPoint(vcl::TControl* ctrl);
int WidthOf(const vcl::TRect& r, bool checkNegative = false);
int HeightOf(const vcl::TRect& r, bool checkNegative = false);
// R is not empty and overlaps parentRect (touching is no overlap).
bool RectIsVisible(const vcl::TRect& parentRect, const vcl::TRect& r);
// Inner's corners lie in Outer, Outer's right and bottom edges counted as inside.
bool RectInRect(const vcl::TRect& outer, const vcl::TRect& inner);
vcl::TRect RectsAnd(const vcl::TRect& r1, const vcl::TRect& r2);
void Changei(int& a, int& b);
TCacheInfo MakeCacheInfo(vcl::TBitmap* bmp, int x = 0, int y = 0);

// Numbers.
inline rtl::String iff(bool flag, const rtl::String& a, const rtl::String& b) { return flag ? a : b; }
inline int iff(bool flag, int a, int b) { return flag ? a : b; }
inline int iffi(bool flag, int a, int b) { return flag ? a : b; }
// a <= value <= b; with ordered and b <= a the test is b <= value <= a.
bool Between(int value, int a, int b, bool ordered);
inline int Maxi(int a, int b) { return a > b ? a : b; }
// value clamped into min..max (min wins when value < min).
int LimitIt(int value, int min, int max);
// 64-bit value of a hexadecimal text with an optional trailing "H"; 0 for anything else.
rtl::Int64 HexToInt(const rtl::String& s);

// Words: runs of characters that are not delimiters. N counts from 1.
int lvWordCount(const rtl::String& s, const TSysCharSet& delims);
inline int WordCount(const rtl::String& s, const TSysCharSet& delims) { return lvWordCount(s, delims); }
int lvWordPosition(int n, const rtl::String& s, const TSysCharSet& delims);
inline int WordPosition(int n, const rtl::String& s, const TSysCharSet& delims) { return lvWordPosition(n, s, delims); }
rtl::String lvExtractWord(int n, const rtl::String& s, const TSysCharSet& delims);
inline rtl::String ExtractWord(int n, const rtl::String& s, const TSysCharSet& delims) {
  return lvExtractWord(n, s, delims);
}
inline bool lvCharIn(wchar_t c, const TSysCharSet& set) { return set.Contains(c); }
rtl::String MakeStr(wchar_t c, int n);
void lvFillString(rtl::String& s, int count, wchar_t c);
rtl::String DelChars(const rtl::String& s, wchar_t c);
rtl::String ReplaceStr(const rtl::String& s, const rtl::String& srch, const rtl::String& replace);
bool IsEmptyStr(const rtl::String& s, const TSysCharSet& emptyChars);

// INI text in memory. Sections receives each section's name with a new string list of its lines as the object;
// the caller owns the lists (FreeIniSections frees them).
void GetIniSections(rtl::TStrings* iniText, rtl::TStringList* sections);
void FreeIniSections(rtl::TStringList* sections);
rtl::String ReadIniString(rtl::TStrings* iniText, rtl::TStringList* sections, const rtl::String& section,
                          const rtl::String& key, const rtl::String& def);
int ReadIniInteger(rtl::TStrings* iniText, rtl::TStringList* sections, const rtl::String& section,
                   const rtl::String& key, int def);

// Integer value name of key under rootKey; raises when it cannot be read.
int ReadRegInt(HKEY rootKey, const rtl::String& key, const rtl::String& name);

vcl::TMessage MakeMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT result);
// The library's modal message box with one OK button.
void ShowWarning(const rtl::String& text);
void ShowError(const rtl::String& text);

// Published properties by name; an absent property answers false, nullptr, -1 or does nothing.
bool HasProperty(rtl::TObject* obj, const rtl::String& name);
rtl::TObject* GetObjProp(rtl::TObject* obj, const rtl::String& name);
rtl::Int64 GetIntProp(rtl::TObject* obj, const rtl::String& name);
void SetIntProp(rtl::TObject* obj, const rtl::String& name, rtl::Int64 value);
bool CheckSetProp(rtl::TObject* obj, const rtl::String& name, const rtl::String& value);
bool SetSetPropValue(rtl::TObject* obj, const rtl::String& name, const rtl::String& value, bool add);

// Folders and files.
rtl::String NormalDir(const rtl::String& dir);
bool lvDirExists(const rtl::String& dir);
inline rtl::Integer lvFindFirst(const rtl::String& path, rtl::Integer attr, rtl::TSearchRec& f) {
  return rtl::FindFirst(path, attr, f);
}
inline rtl::Integer lvFindNext(rtl::TSearchRec& f) { return rtl::FindNext(f); }
inline void lvFindClose(rtl::TSearchRec& f) { rtl::FindClose(f); }
// The executable's folder with a trailing "\" (GetAppPath of the helpers; the report library has a GetAppPath of
// its own).
rtl::String lvGetAppPath();
// The shell icon of a file (flags 1 small, 0 large); nullptr when there is none.
std::unique_ptr<vcl::TIcon> GetIconForFile(const rtl::String& fileName, UINT flags);

// System.
int GetCaptionFontSize();
HFONT lvGetTitleFont();
bool lvGetAnimation();
void lvSetAnimation(bool value);
bool IsNTFamily();
bool IsWOW64Proc();
bool IsIDERunning();
// Processes pending messages until ms milliseconds have passed.
void Delay(int ms);

// Metrics captured at start-up.
extern int lvWinVer;
extern int lvScrollBtnLength;
extern int lv_CXSIZEFRAME, lv_CXFIXEDFRAME, lv_CYCAPTION, lv_CYSMCAPTION;
extern bool x64woAero;

// Switches other parts of the library read and set.
extern wchar_t cMenuCaption;
extern bool lv_UseSysCharSet, lv_KeepOwnFont, DrawSkinnedMDIWall, DrawSkinnedMDIScrolls, lv_ChangeThumbPreviews,
    lv_AllowHotEdits, StdTransparency, FadingForbidden, ShowHintStored, AppShowHint, fGlobalFlag;
extern int lv_DialogsLevel;
// No hint pops up over a button while it is held down: the application's hints are held off and given back.
void HoldHints();
void RestoreHints();
// The speed button whose drop-down menu is open.
extern vcl::TControl* TempControl;
// A screen-magnifier window; nothing in this program creates one.
extern vcl::TForm* lvMagnForm;
extern int lvAnimCount;
extern HWND lvPreviewHandle;
extern bool lvPreviewNeeded, lvSkinPreviewUpdating;
