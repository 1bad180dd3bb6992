#include "report/model/qvxDrawText.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/strings.h"
#include "platform/rtl/sysmath.h"
#include "report/model/qvxDrawTextAnsi.h"

using rtl::String;

rtl::TCriticalSection GraphCS;

namespace {

int R(double x) { return static_cast<int>(rtl::Round(x)); }

// Reaches the canvas's lazy selection of its font, which the class keeps for its descendants.
struct CanvasAccess : vcl::TCanvas {
  static void Prepare(vcl::TCanvas* canvas) {
    auto required = &CanvasAccess::RequiredState;
    (canvas->*required)(csHandleValid | csFontValid);
  }
};

const String glasn = L"\u0410\u0415\u0401\u0418\u041E\u0423\u042B\u042D\u042E\u042F";  // vowels
const String soglasn =
    L"\u0411\u0412\u0413\u0414\u0416\u0417\u0419\u041A\u041B\u041C\u041D\u041F\u0420\u0421\u0422\u0424\u0425"
    L"\u0426\u0427\u0428\u0429\u042C\u042A";  // consonants and signs
const String znaks = L"\u042C\u042A";
const String znaks1 = L"\u0419";

// Cyrillic letters only: hyphenation must not depend on the user's locale (Turkish i would become dotted I).
wchar_t CyrUpper(wchar_t c) {
  if (c >= 0x0430 && c <= 0x044F) return static_cast<wchar_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<wchar_t>(c - 0x50);
  return c;
}

bool In(const String& set, wchar_t c) { return set.find(c) != String::npos; }

// Both parts of a hyphenated word need two letters and a vowel.
bool Check1and5(const String& word, int pos) {
  auto ok = [](const String& part) {
    if (part.size() < 2) return false;
    return std::any_of(part.begin(), part.end(), [](wchar_t c) { return In(glasn, c); });
  };
  return ok(word.substr(0, static_cast<size_t>(pos))) && ok(word.substr(static_cast<size_t>(pos)));
}

}  // namespace

bool TqvxAnsiLine::Build(const String& s, unsigned charset) {
  Bytes = _UnicodeToAnsi(s, charset);
  CharFirstByte.clear();
  unsigned cp = CharSetToCodePage(charset);
  size_t b = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (b >= Bytes.size()) return false;
    CharFirstByte.push_back(static_cast<int>(b));
    b += IsDBCSLeadByteEx(cp, static_cast<BYTE>(Bytes[b])) && b + 1 < Bytes.size() ? 2 : 1;
  }
  if (b != Bytes.size()) return false;
  CharFirstByte.push_back(static_cast<int>(b));
  return true;
}

TqvxDrawText* qvxDrawText() {
  static std::unique_ptr<TqvxDrawText> instance(new TqvxDrawText);
  return instance.get();
}

TqvxDrawText::TqvxDrawText()
    : FBMP(std::make_unique<vcl::TBitmap>(1, 1)),
      FTempArray(qvxMaxLineChars),
      FHTMLTags(std::make_unique<TqvxHTMLTagsList>()),
      FText(std::make_unique<TqvxWideStrings>()) {
  FCanvas = FBMP->Canvas();
}

TqvxDrawText::~TqvxDrawText() = default;

void TqvxDrawText::Lock() { GraphCS.Acquire(); }
void TqvxDrawText::Unlock() { GraphCS.Release(); }

HDC TqvxDrawText::PreparedDC(vcl::TCanvas* canvas) {
  CanvasAccess::Prepare(canvas);
  return canvas->Handle();
}

bool TqvxDrawText::EightBitMode(vcl::TCanvas* canvas, bool defCharset) {
  return canvas->Font()->Charset() != DEFAULT_CHARSET && !defCharset;
}

void TqvxDrawText::SetFont(const vcl::TFont* font) {
  FFontSize = font->Size();
  vcl::TFont* f = FCanvas->Font();
  if (f->Name() != font->Name()) f->SetName(font->Name());
  if (f->Style() != font->Style()) f->SetStyle(font->Style());
  if (f->Charset() != font->Charset()) f->SetCharset(font->Charset());
  vcl::TColor color = FMonoFont ? vcl::clBlack : font->Color();
  if (f->Color() != color) f->SetColor(color);
  int height = -R(FFontSize * static_cast<double>(FDefPPI) / 72);
  if (f->Height() != height) f->SetHeight(height);
}

void TqvxDrawText::SetOptions(bool wordWrap, bool htmlTags, bool rtlReading, bool wordBreak, bool clipped, bool wysiwyg,
                              int rotation) {
  FWordWrap = wordWrap;
  FHTMLTags->SetAllowTags(htmlTags);
  FRTLReading = rtlReading;
  FWordBreak = wordBreak;
  FWysiwyg = wysiwyg;
  FRotation = rotation % 360;
  FOptions = rtlReading ? ETO_RTLREADING : 0;
  if (clipped) FOptions |= ETO_CLIPPED;
}

void TqvxDrawText::SetDimensions(double scaleX, double scaleY, double printScale, const vcl::TRect& originalRect,
                                 const vcl::TRect& scaledRect) {
  FScaleX = scaleX;
  FScaleY = scaleY;
  FPrintScale = printScale;
  FOriginalRect = originalRect;
  FScaledRect = scaledRect;
}

void TqvxDrawText::SetGaps(double paragraphGap, double charSpacing, double lineSpacing) {
  FParagraphGap = paragraphGap;
  FCharSpacing = charSpacing;
  FLineSpacing = lineSpacing;
}

int TqvxDrawText::LineFlags(int index) const {
  return static_cast<int>(reinterpret_cast<intptr_t>(FText->GetObject(index)));
}

void TqvxDrawText::SetLineFlags(int index, int flags) {
  FText->PutObject(index, reinterpret_cast<rtl::TObject*>(static_cast<intptr_t>(flags)));
}

void TqvxDrawText::AddLine(const String& s) { FText->AddObject(s, nullptr); }

void TqvxDrawText::SetText(const String& text, bool firstParaBreak) {
  FCanvas->Lock();
  struct Unlocker {
    vcl::TCanvas* c;
    ~Unlocker() { c->Unlock(); }
  } unlocker{FCanvas};
  FPlainText.clear();
  FText->Clear();
  if (text.empty()) return;

  vcl::TFont* font = FCanvas->Font();
  const vcl::TFontStyles savedStyle = font->Style();
  FHTMLTags->SetDefaults(font->Color(), FFontSize, savedStyle);
  struct StyleRestorer {
    vcl::TFont* f;
    vcl::TFontStyles s;
    ~StyleRestorer() {
      if (f->Style() != s) f->SetStyle(s);
    }
  } restorer{font, savedStyle};

  double w = FOriginalRect.Right - FOriginalRect.Left;
  if ((FRotation >= 90 && FRotation <= 179) || (FRotation >= 270 && FRotation <= 359))
    w = FOriginalRect.Bottom - FOriginalRect.Top;

  TqvxWideStrings source;
  source.SetTextStr(text);
  const double k = K();
  const int width = R(k * w);
  const int firstWidth = firstParaBreak ? width : R(k * (w - FParagraphGap));
  const int spacing = R(k * FCharSpacing);
  for (int i = 0; i < source.Count(); ++i) {
    String line = source.Get(i);
    if (line.empty()) line = L" ";
    FPlainText += line + L"\r\n";
    const int before = FText->Count();
    WrapTextLine(line, width, firstWidth, spacing, i == 0);
    const int after = FText->Count();
    if (after - before == 1) {
      SetLineFlags(before, qvxParaStart | qvxParaEnd);
    } else if (after > before) {
      SetLineFlags(before, qvxParaStart);
      SetLineFlags(after - 1, qvxParaEnd);
    }
  }
}

void TqvxDrawText::SetParaBreaks(bool firstParaBreak, bool lastParaBreak) {
  if (FText->Count() == 0) return;
  if (firstParaBreak) SetLineFlags(0, LineFlags(0) & ~qvxParaStart);
  if (lastParaBreak) SetLineFlags(FText->Count() - 1, LineFlags(FText->Count() - 1) & ~qvxParaEnd);
}

void TqvxDrawText::WrapTextLine(String s, int width, int firstWidth, int charSpacing, bool firstLine) {
  TqvxHTMLTagsList& tags = *FHTMLTags;
  if (!firstLine) tags.NewLine();
  tags.ExpandHTMLTags(s);
  tags.SetPosition(tags.Position() + 2);

  const int lineIndex = tags.Count() - 1;
  const int n = static_cast<int>(s.size());
  // A line longer than the work blocks is kept whole rather than cut: nothing of the text is lost.
  if (n < 2 || !FWordWrap || n > qvxMaxLineChars) {
    AddLine(s);
    TqvxHTMLTags* line = tags.Items(lineIndex);
    if (line->Count() > 0 && !line->Items(0)->Default) FCanvas->Font()->SetStyle(line->Items(0)->Style);
    return;
  }

  int* p = FTempArray.data();  // p[i - 1] is P[i]: the advances of characters 1..i
  const int total = FillCharSpacingArray(p, s, FCanvas, lineIndex, charSpacing, true, FUseDefaultCharset);
  if (total < firstWidth) {
    AddLine(s);
    return;
  }
  auto P = [p](int i) { return i > 0 ? p[i - 1] : 0; };
  auto tagOf = [&tags](int start, int i) -> const TqvxHTMLTag* {
    TqvxHTMLTags* line = tags.Items(tags.Count() - 1);
    int index = i - start;
    return index >= 0 && index < line->Count() ? line->Items(index) : nullptr;
  };
  auto sub = [&s](int from, int to) {
    return to >= from ? s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1)) : String();
  };

  int start = 1, base = 0, space = 1, avail = firstWidth;
  int i = 1;
  while (i <= n) {
    if (s[static_cast<size_t>(i - 1)] == L' ') {
      const TqvxHTMLTag* tag = tagOf(start, i);
      if (!(tags.AllowTags() && tag && tag->DontWRAP)) space = i;
    }
    if (P(i) - base <= avail) {
      ++i;
      continue;
    }
    int e;
    bool addBreak = false, keepPosition = true;
    if (space == start) {
      String prefix;
      if (i == start) {
        AddLine(sub(start, start));
        e = start;
      } else if (FWordBreak && !(prefix = BreakWord(s, start, i)).empty()) {
        AddLine(prefix + L"-");
        e = start + static_cast<int>(prefix.size()) - 1;
        addBreak = true;
      } else {
        AddLine(sub(start, i - 1));
        e = i - 1;
      }
    } else {
      String prefix;
      if (FWordBreak && !(prefix = BreakWord(s, space + 1, i)).empty()) {
        AddLine(sub(start, space) + prefix + L"-");
        e = space + static_cast<int>(prefix.size());
        addBreak = true;
      } else {
        AddLine(sub(start, space - 1));
        e = space;
        keepPosition = false;
      }
    }
    tags.Wrap(e - start + 1, addBreak, keepPosition);
    base = P(e);
    start = e + 1;
    space = start;
    avail = width;
    i = start;
  }
  if (start <= n) AddLine(sub(start, n));
}

int TqvxDrawText::FillCharSpacingArray(int* arr, const String& s, vcl::TCanvas* canvas, int lineIndex, int add,
                                       bool cumulative, bool defCharset) {
  const int n = std::min(static_cast<int>(s.size()), qvxMaxLineChars);
  if (n == 0) return 0;
  TqvxAnsiLine ansi;
  const bool eightBit =
      EightBitMode(canvas, defCharset) && ansi.Build(s.substr(0, static_cast<size_t>(n)), canvas->Font()->Charset());
  const int m = eightBit ? std::min(static_cast<int>(ansi.Bytes.size()), qvxMaxLineChars) : n;
  TqvxHTMLTags* tags = lineIndex >= 0 && lineIndex < FHTMLTags->Count() ? FHTMLTags->Items(lineIndex) : nullptr;
  auto tag = [tags](int i) -> const TqvxHTMLTag* { return tags && i < tags->Count() ? tags->Items(i) : nullptr; };

  int* ext = FHTMLTags->TempArray();
  auto measure = [&]() {
    HDC dc = PreparedDC(canvas);
    SIZE size{};
    if (eightBit)
      GetTextExtentExPointA(dc, ansi.Bytes.data(), m, 0, nullptr, ext, &size);
    else
      GetTextExtentExPointW(dc, s.data(), m, 0, nullptr, ext, &size);
    // Extents that stop at 32767 are measured again from there on.
    for (int j = 1; j < m; ++j) {
      if (ext[j] != 32767) continue;
      if (eightBit)
        GetTextExtentExPointA(dc, ansi.Bytes.data() + j, m - j, 0, nullptr, ext + j, &size);
      else
        GetTextExtentExPointW(dc, s.data() + j, m - j, 0, nullptr, ext + j, &size);
      for (int k = j; k < m; ++k) ext[k] += ext[j - 1];
    }
  };

  if (const TqvxHTMLTag* t = tag(0); t && !t->Default && canvas->Font()->Style() != t->Style)
    canvas->Font()->SetStyle(t->Style);
  measure();
  int sum = 0;
  for (int i = 0; i < n; ++i) {
    const TqvxHTMLTag* t = tag(i);
    if (i > 0 && t && !t->Default) {
      if (canvas->Font()->Style() != t->Style) canvas->Font()->SetStyle(t->Style);
      measure();
    }
    const int last = eightBit ? ansi.CharFirstByte[static_cast<size_t>(i) + 1] - 1 : i;
    const int first = eightBit ? ansi.CharFirstByte[static_cast<size_t>(i)] : i;
    int advance = ext[last] - (first > 0 ? ext[first - 1] : 0) + add;
    if (t && t->Small) advance = R(advance / 1.5);
    sum += advance;
    arr[i] = cumulative ? sum : advance;
  }
  return sum;
}

std::vector<int> TqvxDrawText::BreakRussianWord(const String& word) {
  std::vector<int> result;
  String w(word);
  for (auto& c : w) c = CyrUpper(c);
  const int len = static_cast<int>(w.size());
  if (len < 4) return result;
  auto at = [&w, len](int i) -> wchar_t { return i >= 1 && i <= len ? w[static_cast<size_t>(i - 1)] : 0; };
  for (int i = 1; i <= len; ++i) {
    const wchar_t c = at(i), next = at(i + 1);
    bool candidate = false;
    if (In(soglasn, c)) {
      candidate = next == 0 || (!In(glasn, next) && !In(znaks, next));
    } else if (In(glasn, c)) {
      candidate = next == 0 || !In(znaks1, next);
      // A doubled consonant before a vowel is split between its letters, not before them.
      if (candidate && next != 0 && In(soglasn, next) && next == at(i + 2) && In(glasn, at(i + 3))) candidate = false;
    }
    if (candidate && Check1and5(w, i)) result.push_back(i);
  }
  return result;
}

String TqvxDrawText::BreakWord(const String& s, int wordStart, int breakPos) {
  const int len = static_cast<int>(s.size());
  int end = std::max(breakPos, wordStart);
  while (end <= len && String(L" .,-;").find(s[static_cast<size_t>(end - 1)]) == String::npos) ++end;
  if (wordStart < 1 || wordStart > len) return String();
  const String word = s.substr(static_cast<size_t>(wordStart - 1), static_cast<size_t>(end - wordStart));
  int best = 0;
  for (int pos : BreakRussianWord(word))
    if (pos < breakPos - wordStart) best = std::max(best, pos);
  return best > 0 ? word.substr(0, static_cast<size_t>(best)) : String();
}

String TqvxDrawText::DeleteTags(const String& text) {
  TqvxHTMLTagsList scanner;
  scanner.SetDefaults(0, FFontSize, vcl::TFontStyles());
  String result(text);
  scanner.ExpandHTMLTags(result);
  // The scanner leaves a blank for layout where nothing visible remains; the caller wants the text itself.
  if (result == L" " && text != L" ") result.clear();
  return result;
}

String TqvxDrawText::GetWrappedText() const {
  String result;
  for (int i = 0; i < FText->Count(); ++i) result += FText->Get(i) + L"\r\n";
  return result;
}

double TqvxDrawText::TextHeight() const { return -FCanvas->Font()->Height() / K(); }

double TqvxDrawText::CalcHeight() const {
  if (FText->Count() == 0) return 0;
  double h = (TextHeight() + FLineSpacing) * FText->Count();
  if (FLineSpacing < 0) h -= FLineSpacing;
  return h;
}

double TqvxDrawText::CalcWidth() {
  if (FText->Count() == 0) return 0;
  FCanvas->Lock();
  struct Unlocker {
    vcl::TCanvas* c;
    ~Unlocker() { c->Unlock(); }
  } unlocker{FCanvas};
  const double k = K();
  int widest = 0;
  for (int i = 0; i < FText->Count(); ++i) {
    const String line = FText->Get(i);
    int w = 0;
    TqvxHTMLTags* tags = i < FHTMLTags->Count() ? FHTMLTags->Items(i) : nullptr;
    auto extent = [this](const String& run) {
      SIZE size{};
      if (run.empty()) return 0;
      HDC dc = PreparedDC(FCanvas);
      TqvxAnsiLine ansi;
      if (EightBitMode(FCanvas, FUseDefaultCharset) && ansi.Build(run, FCanvas->Font()->Charset()))
        GetTextExtentPoint32A(dc, ansi.Bytes.data(), static_cast<int>(ansi.Bytes.size()), &size);
      else
        GetTextExtentPoint32W(dc, run.data(), static_cast<int>(run.size()), &size);
      return static_cast<int>(size.cx);
    };
    if (FHTMLTags->AllowTags() && tags) {
      size_t runStart = 0;
      for (size_t j = 0; j <= line.size(); ++j) {
        TqvxHTMLTag* t =
            j < line.size() && static_cast<int>(j) < tags->Count() ? tags->Items(static_cast<int>(j)) : nullptr;
        if (j == line.size() || (t && !t->Default)) {
          w += extent(line.substr(runStart, j - runStart));
          runStart = j;
          if (t) {
            t->Default = true;
            if (FCanvas->Font()->Style() != t->Style) FCanvas->Font()->SetStyle(t->Style);
          }
        }
      }
    } else {
      w = extent(line);
    }
    w += R(k * static_cast<double>(line.size()) * FCharSpacing);
    if (LineFlags(i) & qvxParaStart) w += R(k * FParagraphGap);
    widest = std::max(widest, w);
  }
  return widest / k;
}

int TqvxDrawText::LinesThatFit() const {
  const double lineHeight = LineHeight();
  if (lineHeight <= 0) return FText->Count();
  const double boxHeight = FOriginalRect.Bottom - FOriginalRect.Top;
  const double n = std::trunc((boxHeight + 1) / lineHeight);
  if (n < 0) return 0;
  return static_cast<int>(std::min<double>(n, FText->Count()));
}

double TqvxDrawText::UnusedSpace() const {
  const int n = LinesThatFit();
  if (n == 0) return 0;
  const double result = (FOriginalRect.Bottom - FOriginalRect.Top) + 1 - LineHeight() * n;
  return result == 0 ? 0.0001 : result;
}

String TqvxDrawText::GetOutBoundsText(bool& paraBreak) {
  paraBreak = false;
  const int count = FText->Count();
  const int n = LinesThatFit();
  if (count == 0 || n >= count) return String();
  while (FText->Count() > n) FText->Delete(FText->Count() - 1);
  paraBreak = n > 0 && (LineFlags(n - 1) & qvxParaEnd) == 0;

  const TqvxHTMLTag* first =
      n < FHTMLTags->Count() && FHTMLTags->Items(n)->Count() > 0 ? FHTMLTags->Items(n)->Items(0) : nullptr;
  const int p = first ? std::clamp(first->Position, 1, static_cast<int>(FPlainText.size()) + 1)
                      : static_cast<int>(FPlainText.size()) + 1;
  String result = FPlainText.substr(static_cast<size_t>(p - 1));
  if (paraBreak && !result.empty() && result[0] == L' ') result.erase(0, 1);
  FPlainText.resize(static_cast<size_t>(p - 1));
  if (FWordBreak) {
    const String kept = GetWrappedText();
    if (kept.size() >= 3 && kept.compare(kept.size() - 3, 3, L"-\r\n") == 0) FPlainText += L"-";
  }
  if (FHTMLTags->AllowTags() && first) {
    String prefix;
    if (first->Style.Contains(vcl::fsBold)) prefix = L"<b>" + prefix;
    if (first->Style.Contains(vcl::fsItalic)) prefix = L"<i>" + prefix;
    if (first->Style.Contains(vcl::fsUnderline)) prefix = L"<u>" + prefix;
    const unsigned long rgb = vcl::ColorToGdi(first->Color);
    const unsigned value = static_cast<unsigned>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    prefix = L"<font color=\"#" + rtl::IntToHex(value, 6) + L"\">" + prefix;
    result = prefix + result;
  }
  return result;
}
