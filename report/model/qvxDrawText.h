#pragma once
// The text layout of the report library: wraps a text object's text into lines for its box, measuring at 600 dots
// per inch on a bitmap of its own so that line breaks do not depend on the output device, and draws the lines on
// a device stretched or squeezed to the measured positions (qvxDrawTextOut.cpp).
//
// One layout object serves many text objects in turn. Callers hold Lock() from setting the parameters (SetFont,
// SetOptions, SetDimensions, SetGaps, SetText) until they have read the results, since every layout object shares
// the one critical section GraphCS.
#include <memory>
#include <vector>

#include "platform/rtl/sync.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxHTMLTags.h"
#include "report/model/qvxUnicodeUtils.h"

VCL_ENUM(TqvxHAlign, haLeft, haRight, haCenter, haBlock)
VCL_ENUM(TqvxVAlign, vaTop, vaBottom, vaCenter)

// Paragraph flags held as the object of each wrapped line.
inline constexpr int qvxParaStart = 1;
inline constexpr int qvxParaEnd = 2;

class TqvxDrawText : public rtl::TObject {
public:
  TqvxDrawText();
  ~TqvxDrawText() override;
  rtl::String ClassName() const override { return L"TqvxDrawText"; }

  void Lock();
  void Unlock();

  void SetFont(const vcl::TFont* font);
  void SetOptions(bool wordWrap, bool htmlTags, bool rtlReading, bool wordBreak, bool clipped, bool wysiwyg,
                  int rotation);
  void SetDimensions(double scaleX, double scaleY, double printScale, const vcl::TRect& originalRect,
                     const vcl::TRect& scaledRect);
  void SetGaps(double paragraphGap, double charSpacing, double lineSpacing);
  void SetText(const rtl::String& text, bool firstParaBreak = false);
  void SetParaBreaks(bool firstParaBreak, bool lastParaBreak);

  // text without the tags the layout recognises.
  rtl::String DeleteTags(const rtl::String& text);
  rtl::String GetWrappedText() const;
  rtl::String WrappedText() const { return GetWrappedText(); }

  // Report units.
  double TextHeight() const;
  double LineHeight() const { return TextHeight() + FLineSpacing; }
  double CalcHeight() const;
  double CalcWidth();
  // The free height below the lines that fit into the box (0.0001 when they fill it exactly).
  double UnusedSpace() const;
  // Cuts the lines that do not fit into the box and returns their source text; paraBreak tells whether the cut
  // fell inside a paragraph.
  rtl::String GetOutBoundsText(bool& paraBreak);
  rtl::String GetInBoundsText() const { return FPlainText; }

  void DrawText(vcl::TCanvas* canvas, TqvxHAlign hAlign, TqvxVAlign vAlign);

  vcl::TCanvas* Canvas() const { return FCanvas; }
  int DefPPI() const { return FDefPPI; }
  int ScrPPI() const { return FScrPPI; }
  bool UseDefaultCharset() const { return FUseDefaultCharset; }
  void SetUseDefaultCharset(bool value) { FUseDefaultCharset = value; }
  bool UseMonoFont() const { return FMonoFont; }
  void SetUseMonoFont(bool value) { FMonoFont = value; }

  // The wrapped lines (each line's object holds its paragraph flags) and their formatting.
  const TqvxWideStrings& Lines() const { return *FText; }
  int LineFlags(int index) const;
  TqvxHTMLTagsList& HTMLTags() { return *FHTMLTags; }
  const rtl::String& PlainText() const { return FPlainText; }

  // The printer canvas class of the printing side.
  static bool IsPrinter(const vcl::TCanvas* canvas);
  // Spreads n increments of one over arr[from..to], evenly, the first single one in the middle.
  static void IncArray(int* arr, int from, int to, int one, int n);
  // Break positions of a Cyrillic word (after the returned 1-based positions); none for other alphabets.
  static std::vector<int> BreakRussianWord(const rtl::String& word);
  // The hyphenation prefix of the word of s at wordStart (1-based) that ends before breakPos; empty when none.
  static rtl::String BreakWord(const rtl::String& s, int wordStart, int breakPos);

private:
  double K() const { return static_cast<double>(FDefPPI) / FScrPPI; }
  void WrapTextLine(rtl::String s, int width, int firstWidth, int charSpacing, bool firstLine);
  // Advances of s (one entry per character) in canvas's font, formatted by the tag line lineIndex, each plus add;
  // running totals with cumulative. Returns the sum.
  int FillCharSpacingArray(int* arr, const rtl::String& s, vcl::TCanvas* canvas, int lineIndex, int add,
                           bool cumulative, bool defCharset);
  int LinesThatFit() const;
  // The canvas's context with its font selected (the canvas selects lazily).
  static HDC PreparedDC(vcl::TCanvas* canvas);
  // 8-bit text is used when the font's character set is not the default one and the object does not ignore it.
  static bool EightBitMode(vcl::TCanvas* canvas, bool defCharset);
  void AddLine(const rtl::String& s);
  void SetLineFlags(int index, int flags);

  // Drawing (qvxDrawTextOut.cpp).
  struct DrawState;
  void DrawTextLine(vcl::TCanvas* canvas, const rtl::String& text, int x, int y, int width, int lineIndex, int align,
                    DrawState& state);
  void ApplyDeviceFormat(vcl::TCanvas* canvas, const TqvxHTMLTag& tag, DrawState& state);

  std::unique_ptr<vcl::TBitmap> FBMP;
  vcl::TCanvas* FCanvas = nullptr;
  int FDefPPI = 600;
  int FScrPPI = 96;
  std::vector<int> FTempArray;
  int FFontSize = 10;
  std::unique_ptr<TqvxHTMLTagsList> FHTMLTags;
  double FCharSpacing = 0;
  double FLineSpacing = 0;
  int FOptions = 0;
  vcl::TRect FOriginalRect;
  double FParagraphGap = 0;
  rtl::String FPlainText;
  double FPrintScale = 1;
  int FRotation = 0;
  bool FRTLReading = false;
  vcl::TRect FScaledRect;
  double FScaleX = 1;
  double FScaleY = 1;
  std::unique_ptr<TqvxWideStrings> FText;
  bool FWordBreak = false;
  bool FWordWrap = true;
  bool FWysiwyg = true;
  bool FMonoFont = false;
  bool FUseDefaultCharset = false;
};

// The one critical section behind Lock and Unlock of every layout object.
extern rtl::TCriticalSection GraphCS;
// The process-wide layout object for text objects outside a report; made on first use, freed at exit.
TqvxDrawText* qvxDrawText();
