// Drawing the laid-out lines on a device: font, block placement for every rotation, alignment and justification,
// and the correction of device positions to the layout measured at 600 dots per inch.
#include <cmath>
#include <numbers>

#include "platform/rtl/sysmath.h"
#include "report/model/qvxDrawText.h"
#include "report/model/qvxDrawTextAnsi.h"

using rtl::String;

namespace {

int R(double x) { return static_cast<int>(rtl::Round(x)); }
int Sign(int x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }

// Exact values at the right angles, so that 90 degrees does not leave a stray pixel from cos 90 = 6e-17.
double CosDeg(int deg) {
  switch ((deg % 360 + 360) % 360) {
    case 0: return 1;
    case 90: return 0;
    case 180: return -1;
    case 270: return 0;
  }
  return std::cos(deg * std::numbers::pi / 180);
}
double SinDeg(int deg) {
  switch ((deg % 360 + 360) % 360) {
    case 0: return 0;
    case 90: return 1;
    case 180: return 0;
    case 270: return -1;
  }
  return std::sin(deg * std::numbers::pi / 180);
}

int DeviceDpi(vcl::TCanvas* canvas, int index) {
  int dpi = GetDeviceCaps(canvas->Handle(), index);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

struct TqvxDrawText::DrawState {
  bool printer = false;
  int dpiX = 96;
  double cosA = 1, sinA = 0;
  int offsetY = 0;  // O: how far the formatting in force lowers its characters
};

bool TqvxDrawText::IsPrinter(const vcl::TCanvas* canvas) {
  return canvas && canvas->ClassName() == L"TqvxPrinterCanvas";
}

void TqvxDrawText::IncArray(int* arr, int from, int to, int one, int n) {
  if (n <= 0 || to < from) return;
  const int count = to - from + 1;
  if (n > count) {
    for (int i = from; i <= to; ++i) arr[i] += one * (n / count);
    n %= count;
    if (n == 0) return;
  }
  const int half = std::max(1, (to - from + 1) / 2);
  if (n == 1) {
    arr[from + half - 1] += one;
    return;
  }
  IncArray(arr, from, from + half - 1, one, n / 2);
  IncArray(arr, from + half, to, one, n - n / 2);
}

void TqvxDrawText::ApplyDeviceFormat(vcl::TCanvas* canvas, const TqvxHTMLTag& tag, DrawState& state) {
  vcl::TFont* font = canvas->Font();
  const int height = state.printer ? -R(tag.Size * static_cast<double>(state.dpiX) * FPrintScale / 72)
                                   : -R(tag.Size * FScaleY * 96 / 72);
  if (font->Height() != height) font->SetHeight(height);
  if (font->Style() != tag.Style) font->SetStyle(tag.Style);
  const vcl::TColor color = FMonoFont ? vcl::clBlack : tag.Color;
  if (font->Color() != color) font->SetColor(color);
  state.offsetY = R(tag.AddY * tag.Size * FScaleY);
}

void TqvxDrawText::DrawText(vcl::TCanvas* canvas, TqvxHAlign hAlign, TqvxVAlign vAlign) {
  if (!canvas || FText->Count() == 0 || FHTMLTags->Count() == 0) return;
  FCanvas->Lock();
  vcl::TFont* font = canvas->Font();
  // The measuring font goes back to its style, which the lines' formatting moves through.
  struct Restorer {
    vcl::TCanvas* measuring;
    vcl::TFont* font;
    vcl::TFontStyles style;
    ~Restorer() {
      if (font->Orientation() != 0) font->SetOrientation(0);
      if (measuring->Font()->Style() != style) measuring->Font()->SetStyle(style);
      measuring->Unlock();
    }
  } restorer{FCanvas, font, FCanvas->Font()->Style()};

  DrawState state;
  state.printer = IsPrinter(canvas);
  state.dpiX = state.printer ? DeviceDpi(canvas, LOGPIXELSX) : 96;
  const int dpiY = state.printer ? DeviceDpi(canvas, LOGPIXELSY) : 96;
  const double k = K();
  const int sizeHeight =
      state.printer ? R(FFontSize * static_cast<double>(dpiY) * FPrintScale / 72) : R(FFontSize * FScaleY * 96 / 72);
  font->Assign(FCanvas->Font());
  font->SetHeight(-sizeHeight);
  font->SetOrientation(0);
  TqvxHTMLTag* firstTag = FHTMLTags->Items(0)->Count() > 0 ? FHTMLTags->Items(0)->Items(0) : nullptr;
  if (firstTag && !firstTag->Default) {
    ApplyDeviceFormat(canvas, *firstTag, state);
    // The measuring font must start in the same style, or the first line is measured plain and the correction
    // squeezes it.
    if (FCanvas->Font()->Style() != firstTag->Style) FCanvas->Font()->SetStyle(firstTag->Style);
    firstTag->Default = true;
  } else if (firstTag) {
    state.offsetY = R(firstTag->AddY * firstTag->Size * FScaleY);
  }

  // Vertical distribution.
  const int n = FText->Count();
  const int hC = std::abs(font->Height());
  const int hM = std::abs(FCanvas->Font()->Height());
  int H;
  if (state.printer) {
    const double q = 600.0 / dpiY / FPrintScale;
    H = R(FLineSpacing * FScaleY * n + hM * n / q);
  } else {
    H = R((FLineSpacing * n + hM * n / k) * FScaleY);
  }
  const int deviceStep = R(FLineSpacing * FScaleY) + hC;
  const int D = FWysiwyg ? H - deviceStep * n : 0;
  std::vector<int> G(static_cast<size_t>(std::max(0, n - 1)), deviceStep);
  if (n > 1 && D != 0) {
    const int absD = std::abs(D), sign = Sign(D);
    if (absD < n) {
      IncArray(G.data(), 0, n - 2, sign, absD);
    } else {
      const int each = absD / (n - 1);
      for (int& g : G) g += each * sign;
      IncArray(G.data(), 0, n - 2, sign, absD - (n - 1) * each);
    }
  }

  // Placing the block.
  FRotation = (FRotation + 360) % 360;
  const int theta = FRotation;
  state.cosA = CosDeg(theta);
  state.sinA = SinDeg(theta);
  const double c = std::abs(state.cosA), s = std::abs(state.sinA);
  const int L = FScaledRect.Left, T = FScaledRect.Top, Rt = FScaledRect.Right, B = FScaledRect.Bottom;
  int X = L, Y = T, W = Rt - L, A = B - T;
  const int slantW = c > 0 ? R((Rt - L - H * s) / c) : 0;
  if (theta == 0) {
  } else if (theta < 90) {
    W = slantW;
    Y = T + R(W * s);
    A = B - Y - R(H * c) + H;
  } else if (theta == 90) {
    Y = B;
    W = B - T;
    A = Rt - L;
  } else if (theta < 180) {
    W = slantW;
    X = L + R(W * c);
    Y = B;
    A = B - T - R(H * c + W * s) + H;
  } else if (theta == 180) {
    X = Rt;
    Y = B;
  } else if (theta < 270) {
    W = slantW;
    X = Rt;
    Y = B - R(W * s);
    A = Y - T - R(H * c) + H;
  } else if (theta == 270) {
    X = Rt;
    W = B - T;
    A = Rt - L;
  } else {
    W = slantW;
    X = L + R(H * s);
    A = B - T - R(W * s + H * c) + H;
  }
  if (vAlign != vaTop) {
    int heightUsed = H;
    if (FLineSpacing < 0) heightUsed += std::abs(R(2 * FLineSpacing));
    const int F = A - heightUsed;
    double p, q;
    if (theta % 90 == 0) {
      p = state.cosA;
      q = state.sinA;
    } else if (theta < 90 || theta > 270) {
      p = 1;
      q = 0;
    } else {
      p = -1;
      q = 0;
    }
    if (vAlign == vaBottom) {
      Y += R(F * p);
      X += R(F * q);
    } else {
      Y += R(F * p / 2);
      X += R(F * q / 2);
    }
  }

  if (theta != 0) font->SetOrientation(theta * 10);
  HDC dc = PreparedDC(canvas);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < n; ++i) {
    const int flags = LineFlags(i);
    int align = hAlign;
    if (hAlign == haBlock && (flags & qvxParaEnd)) align = FRTLReading ? haRight : haLeft;
    int x = X, w = W;
    if ((flags & qvxParaStart) && (hAlign == haLeft || hAlign == haBlock)) {
      const int indent = R(FParagraphGap * FScaleX);
      x += indent;
      w -= indent;
    }
    DrawTextLine(canvas, FText->Get(i), x, Y, w, i, align, state);
    if (i < n - 1) {
      Y += R(G[static_cast<size_t>(i)] * state.cosA);
      X += R(G[static_cast<size_t>(i)] * state.sinA);
    }
  }
  SetBkMode(PreparedDC(canvas), oldMode);
}

void TqvxDrawText::DrawTextLine(vcl::TCanvas* canvas, const String& text, int x, int y, int width, int lineIndex,
                                int align, DrawState& state) {
  vcl::TFont* font = canvas->Font();
  const int chars = std::min(static_cast<int>(text.size()), qvxMaxLineChars);
  TqvxAnsiLine ansi;
  const bool eightBit = EightBitMode(canvas, FUseDefaultCharset) &&
                        ansi.Build(text.substr(0, static_cast<size_t>(chars)), font->Charset());
  const int m = eightBit ? std::min(static_cast<int>(ansi.Bytes.size()), qvxMaxLineChars) : chars;
  if (m == 0 || chars == 0) return;
  auto firstByte = [&](int ch) { return eightBit ? ansi.CharFirstByte[static_cast<size_t>(ch)] : ch; };

  const vcl::TFontStyles baseStyle = font->Style();
  const double k = K();
  const int measuredSpacing = R(FCharSpacing * k);
  const int deviceSpacing = R(FCharSpacing * FScaleX);
  int* adv = FTempArray.data();
  const int Wm =
      FillCharSpacingArray(adv, text, FCanvas, lineIndex, measuredSpacing, false, FUseDefaultCharset) - measuredSpacing;
  const int Wd =
      FillCharSpacingArray(adv, text, canvas, lineIndex, deviceSpacing, false, FUseDefaultCharset) - deviceSpacing;
  if (font->Style() != baseStyle) font->SetStyle(baseStyle);

  int Wt = state.printer ? R(Wm * FPrintScale / (600.0 / state.dpiX)) : R(Wm / k * FScaleX);
  if (!FWysiwyg) Wt = Wd;
  int E = Wt - Wd;

  const int theta = FRotation;
  int blanks = 0;
  if (align == haBlock) {
    for (int i = 0; i < chars; ++i)
      if (text[static_cast<size_t>(i)] == L' ' || text[static_cast<size_t>(i)] == 0xA0) ++blanks;
    if (blanks == 0)
      align = haLeft;
    else
      E = std::abs(width) - Wd;
  }
  switch (align) {
    case haRight: {
      const int d = width - Wt + 1;
      x += R(d * state.cosA);
      y -= R(d * state.sinA);
      x -= 1;
      if ((baseStyle.Contains(vcl::fsBold) || baseStyle.Contains(vcl::fsItalic)) && theta == 0) x -= 1;
      break;
    }
    case haCenter: {
      const int d = width - Wt;
      x += R(d / 2.0 * state.cosA);
      y -= R(d / 2.0 * state.sinA);
      break;
    }
    default: break;
  }

  // Spread the correction over the advances (per character here; bytes follow below).
  const int absE = std::abs(E), sign = Sign(E);
  if (absE > 0) {
    if (align == haBlock) {
      int seen = 0;
      for (int i = 0; i < chars; ++i) {
        const wchar_t ch = text[static_cast<size_t>(i)];
        if (ch != L' ' && ch != 0xA0) continue;
        adv[i] += (absE / blanks) * sign + (seen < absE % blanks ? sign : 0);
        ++seen;
      }
    } else if (absE < chars) {
      IncArray(adv, 0, chars - 1, sign, absE);
    } else {
      for (int i = 0; i < chars; ++i) adv[i] += (absE / chars) * sign;
      IncArray(adv, 0, chars - 1, sign, absE - chars * (absE / chars));
    }
  }
  // Device positions per byte in 8-bit mode: a double-byte character's advance goes to its lead byte.
  std::vector<int> byteAdv;
  if (eightBit) {
    byteAdv.assign(static_cast<size_t>(m), 0);
    for (int i = 0; i < chars; ++i) byteAdv[static_cast<size_t>(firstByte(i))] = adv[i];
  }
  int* positions = eightBit ? byteAdv.data() : adv;

  TqvxHTMLTags* tags = lineIndex < FHTMLTags->Count() ? FHTMLTags->Items(lineIndex) : nullptr;
  auto tagOf = [tags](int i) -> TqvxHTMLTag* { return tags && i < tags->Count() ? tags->Items(i) : nullptr; };
  const RECT clip = FScaledRect;
  int runStart = 0;
  for (int j = 0; j <= chars; ++j) {
    TqvxHTMLTag* t = j < chars ? tagOf(j) : nullptr;
    if (j < chars && !(t && !t->Default)) continue;
    if (j > runStart) {
      const int b0 = firstByte(runStart), b1 = j < chars ? firstByte(j) : m;
      HDC dc = PreparedDC(canvas);
      const int px = x + R(state.offsetY * state.sinA), py = y + R(state.offsetY * state.cosA);
      if (eightBit)
        ExtTextOutA(dc, px, py, static_cast<UINT>(FOptions), &clip, ansi.Bytes.data() + b0, static_cast<UINT>(b1 - b0),
                    FWysiwyg ? positions + b0 : nullptr);
      else
        ExtTextOutW(dc, px, py, static_cast<UINT>(FOptions), &clip, text.data() + runStart,
                    static_cast<UINT>(j - runStart), FWysiwyg ? positions + runStart : nullptr);
      int runWidth = 0;
      for (int i = runStart; i < j; ++i) runWidth += adv[i];
      if (theta == 0) {
        x += runWidth;
      } else {
        x += R(runWidth * state.cosA);
        y -= R(runWidth * state.sinA);
      }
    }
    if (t) {
      t->Default = true;
      ApplyDeviceFormat(canvas, *t, state);
    }
    runStart = j;
  }
}
