#pragma once
// Markup text laid out and drawn on a bitmap's canvas: bold, italic, underline, fonts with a stack, links with
// normal, hot and pressed colours, line breaks, character entities and word wrapping inside an area. The caller
// prepares the canvas (its font is the base font, its brush clear); the layout only measures when asked to.
//
// Tags and attribute names are matched after ASCII upper-casing, so the text lays out the same under any locale.
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/component.h"

struct TlvLink {
  vcl::TRect Bounds;  // in the bitmap's coordinates
  rtl::String URL;
};
using TlvLinks = std::vector<TlvLink>;

class TsHtml {
 public:
  TsHtml();
  ~TsHtml();
  TsHtml(const TsHtml&) = delete;
  TsHtml& operator=(const TsHtml&) = delete;

  void Init(vcl::TBitmap* bmp, const rtl::String& text, int pressedLink, int hotLink, const vcl::TRect& area);
  // Lays the text out (drawing unless calcOnly); answers (0, 0, MaxBmpWidth, MaxBmpHeight).
  vcl::TRect HTMLText(TlvLinks& links, bool calcOnly);

  // The replacement of the entity at text[pos] (the character after '&'); 0 when none. consumed: characters
  // after the '&', the ';' included.
  static wchar_t SpecialCharacter(const rtl::String& text, size_t pos, size_t& consumed);
  // Everything up to and including HREF and up to the first '=' plus one character removed, then quotes and '>'.
  static rtl::String LinkAddress(const rtl::String& tag);

  bool Calculating = false;
  rtl::String Origin;
  rtl::String UppedText;
  int Len = 0;
  int CurX = 0, CurY = 0;
  int HotLink = -1, PressedLink = -1;
  int MaxBmpWidth = 0, MaxBmpHeight = 0;
  int CurWidthValue = 0;
  int CurrentRowHeight = 0;
  vcl::TRect Area;
  TlvLinks Links;
  vcl::TBitmap* Bitmap = nullptr;
  bool AlphaChannel = false;
  vcl::TComponent* SkinManager = nullptr;
  // Told of every piece of text as it is drawn (not while measuring), with its left-top and the canvas font.
  std::function<void(const rtl::String& text, vcl::TPoint at, vcl::TFont* font)> OnDrawRun;

 private:
  vcl::TCanvas* Canvas() { return Bitmap->Canvas(); }
  void ShowCut(const rtl::String& run);
  void OutLine(rtl::String run, int runHeight);
  void DrawRun(const rtl::String& run, int x, int y, int w, int h, int rowTopAligned);
  void NewRow();
  bool ExecTag(const rtl::String& tag, size_t tagPos);
  void NewFont(const rtl::String& tag, bool isLink, int state);
  void SetFont(vcl::TFont* font, const rtl::String& tag);
  void BackFont();
  int XHeight();

  std::vector<std::unique_ptr<vcl::TFont>> aFonts;
};
