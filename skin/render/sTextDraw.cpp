#include "skin/render/sTextDraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/win.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBlur.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"

namespace {

TsSkinManager* Manager(TsSkinManager* m) { return m ? m : DefaultManager; }

void Draw(HDC dc, const wchar_t* text, vcl::TRect r, unsigned flags) {
  RECT rc = r;
  DrawTextW(dc, text, -1, &rc, flags);
}

vcl::TRect Moved(const vcl::TRect& r, int dx, int dy) {
  return vcl::TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

// The font section of a control whose section takes its font from the parent: the parent's LVC_GETFONTINDEX
// answer, else the control's own section.
int FontIndexOf(vcl::TControl* control, int defSkinIndex, TsSkinManager* manager, int state) {
  if (!control) return defSkinIndex;
  TlvPaintInfo info;
  info.State = state;
  info.R = control->BoundsRect();
  info.SkinManager = manager;
  info.FontIndex = defSkinIndex;
  if (control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETFONTINDEX), reinterpret_cast<LPARAM>(&info)) != 0)
    return info.FontIndex;
  return defSkinIndex;
}

}  // namespace

int lvDrawText(HDC dc, const rtl::String& text, vcl::TRect& r, unsigned flags) {
  RECT rc = r;
  int h = DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, flags);
  r = vcl::TRect(rc);
  return h;
}

void lvWriteText(vcl::TCanvas* canvas, const wchar_t* text, bool, vcl::TRect& r, unsigned flags) {
  RECT rc = r;
  DrawTextW(canvas->Handle(), text, static_cast<int>(std::wcslen(text)), &rc, flags);
  r = vcl::TRect(rc);
}

int lvTextWidth(vcl::TCanvas* canvas, const rtl::String& text) { return canvas->TextExtent(text).cx; }
int lvTextHeight(vcl::TCanvas* canvas, const rtl::String& text) { return canvas->TextExtent(text).cy; }
vcl::TSize lvTextExtent(vcl::TCanvas* canvas, const rtl::String& text) { return canvas->TextExtent(text); }
void lvTextRect(vcl::TCanvas* canvas, const vcl::TRect& r, int x, int y, const rtl::String& text) {
  canvas->TextRect(r, x, y, text);
}

void lvGetTextExtent(HDC dc, const rtl::String& text, vcl::TSize& size) {
  SIZE s{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
  size = vcl::TSize(s.cx, s.cy);
}

int GetFontHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 6;
}

vcl::TSize GetStringSize(HFONT font, const rtl::String& text, unsigned flags, int maxWidth, bool wordWrap) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  vcl::TSize result(0, 0);
  if (wordWrap) {
    vcl::TRect r(0, 0, maxWidth, 0);
    lvDrawText(dc, text, r, flags | DT_CALCRECT);
    result = vcl::TSize(r.Width(), r.Height());
  } else {
    SIZE s{};
    if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s)) result = vcl::TSize(s.cx, s.cy);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return result;
}

rtl::String CutText(vcl::TCanvas* canvas, const rtl::String& text, int maxWidth) {
  if (maxWidth < 1) return L"";
  if (canvas->TextExtent(text).cx <= maxWidth) return text;
  rtl::String s = text;
  while (!s.empty()) {
    s.pop_back();
    if (!s.empty() && canvas->TextExtent(s + L"...").cx <= maxWidth) return s + L"...";
  }
  return L"";
}

HFONT MakeAngledFont(HDC dc, vcl::TFont* font, int angle) {
  LOGFONTW lf{};
  lf.lfHeight = font->Height();
  lf.lfEscapement = angle;
  lf.lfOrientation = angle;
  lf.lfWeight = font->Style().Contains(vcl::fsBold) ? 700 : 400;
  lf.lfItalic = font->Style().Contains(vcl::fsItalic);
  lf.lfUnderline = font->Style().Contains(vcl::fsUnderline);
  lf.lfStrikeOut = font->Style().Contains(vcl::fsStrikeOut);
  lf.lfCharSet = static_cast<BYTE>(font->Charset());
  rtl::String name = font->Name() == L"MS Sans Serif" ? rtl::String(L"Arial") : font->Name();
  if (name.size() > 31) name.resize(31);
  std::wcsncpy(lf.lfFaceName, name.c_str(), 31);
  HFONT made = CreateFontIndirectW(&lf);
  HFONT old = static_cast<HFONT>(SelectObject(dc, made));
  SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(font->Color())) & 0xFFFFFF);
  return old;
}

void WriteTextEx(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags, int skinIndex,
                 bool hot, TsSkinManager* skinManager) {
  if (!text || !*text || !canvas) return;
  TsSkinManager* sm = Manager(skinManager);
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  if (sm && sm->IsValidSkinIndex(skinIndex)) {
    const TsGeneralData& gd = sm->gd[static_cast<size_t>(skinIndex)];
    if (enabled) {
      const TsFontColor& fc = gd.Props[hot ? 1 : 0].FontColor;
      const std::int32_t contour[4] = {fc.Left, fc.Top, fc.Right, fc.Bottom};
      const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
      for (int k = 0; k < 4; ++k)
        if (contour[k] != -1) {
          SetTextColor(dc, static_cast<COLORREF>(contour[k]));
          Draw(dc, text, Moved(r, dx[k], dy[k]), flags);
        }
      SetTextColor(dc, static_cast<COLORREF>(fc.Color));
    } else {
      canvas->Font()->SetColor(MixColors(gd.Props[0].FontColor.Color, gd.Props[0].Color, DefDisabledBlend));
      SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(canvas->Font()->Color())));
    }
  }
  Draw(dc, text, r, flags);
}

void WriteTextEx(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags,
                 TsCommonData* skinData, bool hot) {
  if (!text || !*text || !canvas) return;
  TsSkinManager* sm = skinData ? skinData->SkinManager() : nullptr;
  if (hot && sm && skinData->SkinIndex >= 0 && skinData->SkinIndex == sm->ConstData.Sections[ssWebBtn])
    canvas->Font()->SetStyle(canvas->Font()->Style() + vcl::fsUnderline);
  canvas->Brush()->SetStyle(vcl::bsClear);
  HDC dc = canvas->Handle();
  int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  if (skinData && skinData->Skinned() && !skinData->CustomFont()) {
    int fontIndex = skinData->SkinIndex;
    vcl::TControl* owner = skinData->OwnerControl();
    if (owner && owner->Parent())
      for (int s = ssMenuItem; s <= ssWebBtn; ++s)
        if (sm->ConstData.Sections[static_cast<size_t>(s)] == fontIndex) {
          fontIndex = FontIndexOf(owner->Parent(), fontIndex, sm, hot ? 1 : 0);
          break;
        }
    if (sm->IsValidSkinIndex(fontIndex)) {
      const int state = std::min(hot ? 1 : 0, 2);
      const TsGenState& st = sm->gd[static_cast<size_t>(fontIndex)].Props[static_cast<size_t>(state)];
      if (skinData->CacheBmp() && st.GlowSize != 0) {
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        vcl::TBitmap* glow = nullptr;
        lvDrawGlowForText(skinData->CacheBmp(), text, r, flags, 15, st.GlowSize, UpdateColor(st.GlowColor, skinData),
                          glow);
        delete glow;
        RestoreDC(dc, saved);
        saved = SaveDC(dc);
        SetBkMode(dc, TRANSPARENT);
      }
      if (!enabled) {
        SetTextColor(dc, static_cast<COLORREF>(UpdateColor(st.FontColor.Color, skinData)) & 0xFFFFFF);
        Draw(dc, text, r, flags);
      } else {
        const TsFontColor& fc = st.FontColor;
        const std::int32_t contour[4] = {fc.Left, fc.Top, fc.Right, fc.Bottom};
        const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
        for (int k = 0; k < 4; ++k)
          if (contour[k] != -1) {
            SetTextColor(dc, static_cast<COLORREF>(UpdateColor(contour[k], skinData)) & 0xFFFFFF);
            Draw(dc, text, Moved(r, dx[k], dy[k]), flags);
          }
        SetTextColor(dc, static_cast<COLORREF>(UpdateColor(fc.Color, skinData)) & 0xFFFFFF);
        Draw(dc, text, r, flags | DT_NOCLIP);
      }
      RestoreDC(dc, saved);
      return;
    }
  }
  if (enabled) {
    SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(canvas->Font()->Color())) & 0xFFFFFF);
    Draw(dc, text, r, flags);
  } else {
    SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(vcl::clBtnHighlight)) & 0xFFFFFF);
    Draw(dc, text, Moved(r, 1, 1), flags);
    SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(vcl::clBtnShadow)) & 0xFFFFFF);
    Draw(dc, text, r, flags);
  }
  RestoreDC(dc, saved);
}

void lvDrawGlowForText(vcl::TBitmap* dstBmp, const wchar_t* text, const vcl::TRect& r, unsigned drawFlags,
                       int contourMask, int size, vcl::TColor color, vcl::TBitmap*& glowBmp) {
  if (!dstBmp || !text) return;
  const vcl::TRect r1 = Moved(r, 1, 1);
  const int m = size + 4;
  const int gw = r1.Width() + 2 * m, gh = r1.Height() + 2 * m;
  if (gw <= 0 || gh <= 0) return;
  if (!glowBmp || glowBmp->Width() != gw || glowBmp->Height() != gh) {
    if (!glowBmp) glowBmp = CreateGray8(gw, gh).release();
    glowBmp->SetPixelFormat(vcl::pf8bit);
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i)
      table[static_cast<size_t>(i)] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    glowBmp->SetColorTable(table);
    glowBmp->SetSize(gw, gh);
    for (int y = 0; y < gh; ++y) std::memset(glowBmp->ScanLine(y), 255, static_cast<size_t>(gw));
    vcl::TCanvas* c = glowBmp->Canvas();
    c->Font()->Assign(dstBmp->Canvas()->Font());
    c->Font()->SetColor(vcl::clBlack);
    c->Brush()->SetStyle(vcl::bsClear);
    HDC dc = c->Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0);
    const vcl::TRect t(m, m, m + r1.Width(), m + r1.Height());
    Draw(dc, text, t, drawFlags);
    const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
    for (int k = 0; k < 4; ++k)
      if (contourMask & (1 << k)) Draw(dc, text, Moved(t, dx[k], dy[k]), drawFlags);
    glowBmp->Dormant();
    Blur8(glowBmp, size);
  }
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (dstBmp->PixelFormat() != vcl::pf32bit || !InitLine(dstBmp, line0, delta)) return;
  TsColor_RGB k{static_cast<std::uint32_t>(vcl::ColorToRGB(color))};
  for (int y = 0; y < gh; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(glowBmp->ScanLine(y));
    const int dy = r1.Top - m + y;
    if (dy < 0 || dy >= dstBmp->Height()) continue;
    for (int x = 0; x < gw; ++x) {
      const int mv = row[x];
      const int dx = r1.Left - m + x;
      if (mv == 255 || dx < 0 || dx >= dstBmp->Width()) continue;
      const int v = 255 - mv;
      TsColor_& p = *PixelAt(line0, delta, dx, dy);
      p.A = static_cast<std::uint8_t>(p.A + ((255 - p.A) * v >> 8));
      p.R = static_cast<std::uint8_t>((v * k.Red + p.R * mv) >> 8);
      p.G = static_cast<std::uint8_t>((v * k.Green + p.G * mv) >> 8);
      p.B = static_cast<std::uint8_t>((v * k.Blue + p.B * mv) >> 8);
    }
  }
}

void WriteColor(vcl::TBitmap* bmp, const wchar_t* text, bool blended, const vcl::TRect& r, unsigned flags,
                vcl::TColor color, bool ansiText) {
  if (!bmp || !text || r.Width() <= 0 || r.Height() <= 0) return;
  auto scratch = CreateBmp32(r.Width(), r.Height());
  HDC dc = scratch->Canvas()->Handle();
  scratch->Canvas()->Font()->Assign(bmp->Canvas()->Font());
  SelectObject(dc, scratch->Canvas()->Font()->Handle());
  FillRect32(scratch.get(), vcl::Rect(0, 0, r.Width(), r.Height()), 0xFFFFFF, 0);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0);
  SetBkColor(dc, 0xFFFFFF);
  RECT rc{0, 0, r.Width(), r.Height()};
  if (ansiText) {
    std::string narrow;
    for (const wchar_t* p = text; *p; ++p) narrow.push_back(static_cast<char>(*p));
    DrawTextA(dc, narrow.c_str(), -1, &rc, flags);
  } else {
    DrawTextW(dc, text, -1, &rc, flags);
  }
  GdiFlush();
  std::uint8_t *s0, *d0;
  std::ptrdiff_t sDelta, dDelta;
  if (bmp->PixelFormat() != vcl::pf32bit || !InitLine(scratch.get(), s0, sDelta) || !InitLine(bmp, d0, dDelta)) return;
  TsColor_RGB k{static_cast<std::uint32_t>(color)};
  for (int y = 0; y < r.Height(); ++y) {
    const int dy = r.Top + y;
    if (dy < 0 || dy >= bmp->Height()) continue;
    for (int x = 0; x < r.Width(); ++x) {
      const int dx = r.Left + x;
      if (dx < 0 || dx >= bmp->Width()) continue;
      TsColor_ sp = *PixelAt(s0, sDelta, x, y);
      if ((sp.C & 0x00FFFFFF) == 0x00FFFFFF) continue;
      TsColor_& d = *PixelAt(d0, dDelta, dx, dy);
      if (blended) {
        const int avg = (sp.R + sp.G + sp.B) / 3;
        const int a = std::max((d.A + 255) >> 1, 255 - avg);
        d.A = static_cast<std::uint8_t>(a);
        auto ch = [&](int dv, int kv) {
          return static_cast<std::uint8_t>(std::clamp(((((dv - kv) * avg + kv * 256)) * a) >> 16, 0, 255));
        };
        d.R = ch(d.R, k.Red);
        d.G = ch(d.G, k.Green);
        d.B = ch(d.B, k.Blue);
      } else {
        d.A = 255;
        d.R = static_cast<std::uint8_t>(((d.R - k.Red) * sp.R + k.Red * 256) >> 8);
        d.G = static_cast<std::uint8_t>(((d.G - k.Green) * sp.G + k.Green * 256) >> 8);
        d.B = static_cast<std::uint8_t>(((d.B - k.Blue) * sp.B + k.Blue * 256) >> 8);
      }
    }
  }
}

void WriteText32(vcl::TBitmap* bmp, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags, int skinIndex,
                 bool hot, TsSkinManager* skinManager) {
  if (!bmp || !text || !*text || r.Width() <= 0 || r.Height() <= 0) return;
  TsSkinManager* sm = Manager(skinManager);
  if (sm && sm->IsValidSkinIndex(skinIndex)) {
    const TsFontColor& fc = sm->gd[static_cast<size_t>(skinIndex)].Props[hot ? 1 : 0].FontColor;
    if (enabled) {
      const std::int32_t contour[4] = {fc.Left, fc.Top, fc.Right, fc.Bottom};
      const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
      for (int k = 0; k < 4; ++k)
        if (contour[k] != -1) WriteColor(bmp, text, true, Moved(r, dx[k], dy[k]), flags, contour[k]);
    }
    WriteColor(bmp, text, enabled, r, flags, fc.Color);
  } else {
    WriteColor(bmp, text, enabled, r, flags, bmp->Canvas()->Font()->Color());
  }
}

void CalcButtonLayout(const vcl::TRect& client, vcl::TPoint glyphSize, vcl::TSize textSize, TButtonLayout layout,
                      vcl::TAlignment alignment, int margin, int spacing, vcl::TPoint& glyphPos, vcl::TRect& textBounds,
                      unsigned biDiFlags, vcl::TVerticalAlignment vAlignment) {
  const vcl::TPoint cs(client.Width(), client.Height());
  if (biDiFlags & DT_RIGHT) {
    if (layout == blGlyphLeft)
      layout = blGlyphRight;
    else if (layout == blGlyphRight)
      layout = blGlyphLeft;
  }
  textBounds = vcl::TRect(0, 0, textSize.cx, textSize.cy);
  int tx = 0, ty = 0;
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  if (horizontal) {
    glyphPos.Y = (cs.Y - glyphSize.Y + 1) / 2;
    ty = (cs.Y - textSize.cy + 1) / 2;
  } else {
    glyphPos.X = (cs.X - glyphSize.X + 1) / 2;
    tx = (cs.X - textSize.cx + 1) / 2;
  }
  if (textSize.cx == 0 || glyphSize.X == 0) spacing = 0;
  const int axis = horizontal ? cs.X : cs.Y, glyph = horizontal ? glyphSize.X : glyphSize.Y,
            text = horizontal ? textSize.cx : textSize.cy;
  if (margin == -1) {
    if (spacing < 0) {
      margin = spacing = (axis - glyph - text) / 3;
    } else {
      margin = 2;
      if (alignment == vcl::taCenter && vAlignment == vcl::taVerticalCenter)
        margin = (axis - (glyph + spacing + text) + 1) / 2;
    }
  } else if (spacing < 0) {
    spacing = (axis - margin - glyph - text) / 2;
  }
  const int gw = glyphSize.X, gh = glyphSize.Y, tw = textSize.cx, th = textSize.cy;
  switch (layout) {
    case blGlyphLeft:
      if (alignment == vcl::taLeftJustify) {
        glyphPos.X = margin;
        tx = margin + gw + spacing;
        textBounds.Right = client.Right - margin - tx;
      } else if (alignment == vcl::taRightJustify) {
        tx = cs.X - margin - tw;
        glyphPos.X = tx - spacing - gw;
      } else {
        glyphPos.X = std::max((cs.X - tw - spacing - gw) / 2, margin);
        tx = glyphPos.X + gw + spacing;
      }
      break;
    case blGlyphRight:
      if (alignment == vcl::taLeftJustify) {
        glyphPos.X = margin + tw + spacing;
        tx = margin;
      } else if (alignment == vcl::taRightJustify) {
        glyphPos.X = cs.X - margin - gw;
        textBounds.Right = glyphPos.X - spacing;
        tx = 0;
      } else {
        tx = (cs.X - tw - spacing - gw) / 2;
        glyphPos.X = tx + tw + spacing;
      }
      break;
    case blGlyphTop:
      glyphPos.Y = (cs.Y - gh - spacing - th) / 2;
      ty = glyphPos.Y + gh + spacing;
      break;
    case blGlyphBottom:
      glyphPos.Y = cs.Y - gh - (cs.Y - gh - spacing - th) / 2;
      ty = glyphPos.Y - spacing - th;
      break;
  }
  glyphPos.X += client.Left;
  glyphPos.Y += client.Top;
  textBounds = vcl::TRect(textBounds.Left + client.Left + tx, textBounds.Top + client.Top + ty,
                          textBounds.Right + client.Left + tx, textBounds.Bottom + client.Top + ty);
  const int m = std::max(0, margin);
  auto moveText = [&](int dy) {
    textBounds.Top += dy;
    textBounds.Bottom += dy;
  };
  if (vAlignment == vcl::taAlignTop) {
    if (horizontal) {
      glyphPos.Y = client.Top + m;
      moveText(client.Top + m - textBounds.Top);
    } else if (layout == blGlyphTop) {
      moveText(client.Top + m - glyphPos.Y);
      glyphPos.Y = client.Top + m;
    } else {
      int dy = client.Top + m - textBounds.Top;
      moveText(dy);
      glyphPos.Y += dy;
    }
  } else if (vAlignment == vcl::taAlignBottom) {
    if (horizontal) {
      glyphPos.Y = client.Bottom - m - gh;
      moveText(client.Bottom - m - textBounds.Bottom);
    } else if (layout == blGlyphTop) {
      int dy = client.Bottom - m - textBounds.Bottom;
      moveText(dy);
      glyphPos.Y += dy;
    } else {
      int dy = client.Bottom - m - (glyphPos.Y + gh);
      glyphPos.Y += dy;
      moveText(dy);
    }
  }
}

void DrawGlyphReflection(vcl::TBitmap* dstBmp, vcl::TBitmap* srcBmp, vcl::TPoint p, vcl::TRect srcRect,
                         TsColor_ transColor, int blend) {
  std::uint8_t *s0, *d0;
  std::ptrdiff_t sDelta, dDelta;
  if (!dstBmp || !srcBmp || dstBmp->PixelFormat() != vcl::pf32bit || srcBmp->PixelFormat() != vcl::pf32bit) return;
  if (!InitLine(srcBmp, s0, sDelta) || !InitLine(dstBmp, d0, dDelta)) return;
  srcRect.Left = std::max(0, srcRect.Left);
  srcRect.Top = std::max(0, srcRect.Top);
  srcRect.Right = std::min(srcRect.Right, srcBmp->Width() - 1);
  srcRect.Bottom = std::min(srcRect.Bottom, srcBmp->Height() - 1);
  const int n = std::min(srcBmp->Height() / 3 * 2 - 1, dstBmp->Height() - p.Y - 1);
  if (n <= 0) return;
  int fade = 255;
  for (int k = 0; k <= n; ++k, fade -= 255 / n) {
    const int dy = p.Y + k, sy = srcRect.Bottom - k;
    if (dy < 0 || dy >= dstBmp->Height() || sy < srcRect.Top || sy < 0) continue;
    const int o = (n - k) * 255 / n;
    const int u = ((100 - blend) * ((o * std::max(fade, 0)) >> 9)) / 100;
    for (int sx = srcRect.Left; sx <= srcRect.Right; ++sx) {
      const int dx = p.X + sx - srcRect.Left;
      if (dx < 0 || dx >= dstBmp->Width()) continue;
      TsColor_ s = *PixelAt(s0, sDelta, sx, sy);
      if ((s.C & 0x00FFFFFF) == (transColor.C & 0x00FFFFFF)) continue;
      TsColor_& d = *PixelAt(d0, dDelta, dx, dy);
      d.R = static_cast<std::uint8_t>((u * s.R + d.R * (256 - u)) >> 8);
      d.G = static_cast<std::uint8_t>((u * s.G + d.G * (256 - u)) >> 8);
      d.B = static_cast<std::uint8_t>((u * s.B + d.B * (256 - u)) >> 8);
    }
  }
}

void DrawGlyphEx(vcl::TBitmap* glyph, vcl::TBitmap* dstBmp, vcl::TRect r, int numGlyphs, bool enabled,
                 TsDisabledGlyphKind, int state, int blend, bool down, bool reflected) {
  if (!glyph || glyph->Empty() || !dstBmp || numGlyphs <= 0) return;
  const bool fourBit = glyph->PixelFormat() == vcl::pf4bit;
  vcl::TBitmap copy;
  CopyBmp(&copy, glyph);
  copy.SetPixelFormat(vcl::pf32bit);
  if (reflected) {
    int shift = r.Height() / 8;
    r.Top -= shift;
    r.Bottom -= shift;
  }
  if (numGlyphs == 1) state = 0;
  if (state > 0) blend = 0;
  const bool stdOrder = DefaultManager && DefaultManager->Options()->StdGlyphsOrder();
  int frame = 0;
  if (enabled && state != 0) {
    switch (state) {
      case 1:
        frame = (!fourBit && !stdOrder) ? 1 : 0;
        break;
      case 2:
        frame = 2 + (down ? 1 : 0);
        if (frame >= numGlyphs) frame = (!fourBit && !stdOrder) ? std::min(1, numGlyphs - 1) : 0;
        break;
      default:
        frame = numGlyphs >= 3 ? 2 : 0;
        break;
    }
  }
  frame = std::min(frame, numGlyphs - 1);
  const int fw = copy.Width() / numGlyphs;
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!InitLine(&copy, line0, delta)) return;
  TsColor_ trans = *PixelAt(line0, delta, frame * fw, copy.Height() - 1);
  const vcl::TRect src(frame * fw, 0, fw * (frame + 1) - 1, copy.Height() - 1);
  const vcl::TColor transColour = static_cast<vcl::TColor>(SwapRedBlue(trans.C) & 0xFFFFFF);
  if (enabled || blend == 0) {
    CopyTransRectA(dstBmp, &copy, r.Left, r.Top, src, transColour, EmptyCI);
  } else {
    BlendTransRectangle(dstBmp, r.Left, r.Top, &copy, src, blend / 100.0, 0xFF00FF);
  }
  if (reflected) DrawGlyphReflection(dstBmp, &copy, vcl::TPoint(r.Left, r.Top + r.Height()), src, trans, blend);
}

void DrawColorArrow(vcl::TCanvas* canvas, vcl::TColor color, const vcl::TRect& r, TlvSide side) {
  const int w = r.Width(), h = r.Height();
  const vcl::TColor c = vcl::ColorToRGB(color);
  for (int k = 0; k < 4; ++k) {
    const int half = 3 - k;  // 7, 5, 3, 1 pixels
    for (int i = -half; i <= half; ++i) {
      int x, y;
      switch (side) {
        case asLeft:
          x = r.Left + (w - 3) / 2 + 3 - k;
          y = r.Top + (h - 5) / 2 + 3 + i;
          break;
        case asRight:
          x = r.Left + (w - 3) / 2 + k;
          y = r.Top + (h - 5) / 2 + 3 + i;
          break;
        case asTop:
          x = r.Left + (w - 5) / 2 + 2 + i;
          y = r.Top + (h - 3) / 2 + 2 - k;
          break;
        default:
          x = r.Left + (w - 5) / 2 + 2 + i;
          y = r.Top + (h - 3) / 2 + k;
          break;
      }
      canvas->SetPixels(x, y, c);
    }
  }
}

void FocusRect(vcl::TCanvas* canvas, vcl::TRect r, vcl::TColor color1, vcl::TColor color2) {
  const int w = r.Width(), h = r.Height();
  r.Right -= 1;
  r.Bottom -= 1;
  auto put = [&](int x, int y, vcl::TColor c) {
    if (c != vcl::clNone) canvas->SetPixels(x, y, c);
  };
  for (int i = 2; i <= 2 * (w / 2); i += 2) {
    if (r.Left + i > r.Right + 1) break;
    put(r.Left + i, r.Top, color2);
    put(r.Left + i, r.Bottom, color2);
    put(r.Left + i - 1, r.Top, color1);
    put(r.Left + i - 1, r.Bottom, color1);
  }
  for (int i = 2; i <= 2 * (h / 2); i += 2) {
    if (r.Top + i > r.Bottom + 1) break;
    put(r.Left, r.Top + i, color2);
    put(r.Right, r.Top + i, color2);
    put(r.Left, r.Top + i - 1, color1);
    put(r.Right, r.Top + i - 1, color1);
  }
}

void DrawRectangleOnDC(HDC dc, vcl::TRect& r, vcl::TColor color1, int& width, vcl::TColor color2) {
  HPEN pen1 = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(vcl::ColorToRGB(color1)) & 0xFFFFFF);
  HPEN pen2 = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(color2) & 0xFFFFFF);
  HGDIOBJ oldPen = SelectObject(dc, pen1);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  r.Right -= 1;
  r.Bottom -= 1;
  while (width > 0) {
    --width;
    SelectObject(dc, pen1);
    POINT a[3] = {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}};
    Polyline(dc, a, 3);
    SelectObject(dc, pen2);
    POINT b[3] = {{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}};
    Polyline(dc, b, 3);
    r = vcl::TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  r.Right += 1;
  r.Bottom += 1;
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen1);
  DeleteObject(pen2);
}
