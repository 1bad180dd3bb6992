#include "skin/controls/sHtmlParse.h"

#include <algorithm>

#include "platform/rtl/win.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sTextDraw.h"

namespace {

using rtl::String;

String AsciiUpper(const String& s) {
  String r = s;
  for (wchar_t& c : r)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
  return r;
}

struct Entity {
  const wchar_t* Name;  // nullptr: known only by its number
  int Code;
};

// The numbers are the characters' code points, except trade, whose number is the old 8-bit one.
const Entity kEntities[] = {
    {L"ndash", 8211},  {L"mdash", 8212},  {L"nbsp", 160},    {L"iexcl", 161},   {L"iquest", 191}, {L"quot", 34},
    {L"ldquo", 8220},  {L"rdquo", 8221},  {nullptr, 39},     {L"lsquo", 8216},  {L"rsquo", 8217}, {L"laquo", 171},
    {L"raquo", 187},   {L"amp", 38},      {L"cent", 162},    {L"copy", 169},    {L"divide", 247}, {L"gt", 62},
    {L"lt", 60},       {L"micro", 181},   {L"middot", 183},  {L"para", 182},    {L"plusmn", 177}, {L"euro", 8364},
    {L"pound", 163},   {L"reg", 174},     {L"sect", 167},    {L"trade", 153},   {L"yen", 165},    {L"szlig", 223},
    {L"yuml", 255},    {L"Agrave", 192},  {L"Aacute", 193},  {L"Acirc", 194},   {L"Atilde", 195}, {L"Auml", 196},
    {L"Aring", 197},   {L"AElig", 198},   {L"Ccedil", 199},  {L"Egrave", 200},  {L"Eacute", 201}, {L"Ecirc", 202},
    {L"Euml", 203},    {L"Igrave", 204},  {L"Iacute", 205},  {L"Icirc", 206},   {L"Iuml", 207},   {L"Ntilde", 209},
    {L"Ograve", 210},  {L"Oacute", 211},  {L"Ocirc", 212},   {L"Otilde", 213},  {L"Ouml", 214},   {L"Oslash", 216},
    {L"Ugrave", 217},  {L"Uacute", 218},  {L"Ucirc", 219},   {L"Uuml", 220},    {L"agrave", 224}, {L"aacute", 225},
    {L"acirc", 226},   {L"atilde", 227},  {L"auml", 228},    {L"aring", 229},   {L"aelig", 230},  {L"ccedil", 231},
    {L"egrave", 232},  {L"eacute", 233},  {L"ecirc", 234},   {L"euml", 235},    {L"igrave", 236}, {L"iacute", 237},
    {L"icirc", 238},   {L"iuml", 239},    {L"ntilde", 241},  {L"ograve", 242},  {L"oacute", 243}, {L"ocirc", 244},
    {L"otilde", 245},  {L"ouml", 246},    {L"oslash", 248},  {L"ugrave", 249},  {L"uacute", 250}, {L"ucirc", 251},
    {L"uuml", 252},    {nullptr, 180},    {nullptr, 96},
};
static_assert(sizeof(kEntities) / sizeof(kEntities[0]) == 87);

struct NamedColour {
  const wchar_t* Name;
  vcl::TColor Color;
};
const NamedColour kColours[] = {
    {L"AQUA", 0xFFFF00},    {L"BLACK", 0x000000}, {L"BLUE", 0xFF0000},  {L"FUCHSIA", 0xFF00FF},
    {L"GRAY", 0x808080},    {L"GREEN", 0x008000}, {L"LIME", 0x00FF00},  {L"MAROON", 0x000080},
    {L"NAVY", 0x800000},    {L"OLIVE", 0x008080}, {L"PURPLE", 0x800080}, {L"RED", 0x0000FF},
    {L"SILVER", 0xC0C0C0},  {L"TEAL", 0x808000},  {L"WHITE", 0xFFFFFF}, {L"YELLOW", 0x00FFFF},
};

bool ParseInt(const String& s, int& value) {
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (wchar_t c : s) {
    if (c < L'0' || c > L'9') return false;
    v = v * 10 + (c - L'0');
  }
  value = v;
  return true;
}

bool IsBreak(wchar_t c) { return c == L'\n' || c == L'\r' || c == L' ' || c == L'"' || c == L'<' || c == L'=' || c == L'>'; }

}  // namespace

TsHtml::TsHtml() = default;

TsHtml::~TsHtml() {
  Bitmap = nullptr;
  aFonts.clear();
}

void TsHtml::Init(vcl::TBitmap* bmp, const String& text, int pressedLink, int hotLink, const vcl::TRect& area) {
  Bitmap = bmp;
  Origin = text;
  Area = area;
  UppedText = AsciiUpper(text);
  Len = static_cast<int>(text.size());
  CurX = area.Left;
  CurY = area.Top;
  MaxBmpWidth = MaxBmpHeight = 0;
  CurWidthValue = 0;
  HotLink = hotLink;
  PressedLink = pressedLink;
}

wchar_t TsHtml::SpecialCharacter(const String& text, size_t pos, size_t& consumed) {
  consumed = 0;
  const size_t limit = std::min(text.size(), pos + 255);
  size_t semi = String::npos;
  for (size_t i = pos; i < limit; ++i) {
    if (text[i] == L' ') return 0;
    if (text[i] == L';') {
      semi = i;
      break;
    }
  }
  if (semi == String::npos) return 0;
  const String name = text.substr(pos, semi - pos);
  for (const Entity& e : kEntities) {
    if ((e.Name && name == e.Name) || name == L"#" + rtl::IntToStr(e.Code)) {
      consumed = semi - pos + 1;
      return static_cast<wchar_t>(e.Code == 153 ? 0x2122 : e.Code);
    }
  }
  return 0;
}

String TsHtml::LinkAddress(const String& tag) {
  String s = tag;
  const size_t href = AsciiUpper(s).find(L"HREF");
  if (href != String::npos) s.erase(0, href + 4);
  const size_t eq = s.find(L'=');
  if (eq != String::npos) s.erase(0, std::min(s.size(), eq + 2));
  String r;
  for (wchar_t c : s)
    if (c != L'\'' && c != L'"' && c != L'>') r.push_back(c);
  return r;
}

int TsHtml::XHeight() { return Canvas()->TextHeight(L"X"); }

void TsHtml::NewRow() {
  CurY += CurrentRowHeight + 2;
  MaxBmpWidth = std::max(MaxBmpWidth, CurWidthValue);
  CurWidthValue = 0;
  CurrentRowHeight = 0;
}

void TsHtml::DrawRun(const String& run, int x, int y, int w, int h, int rowTop) {
  if (Calculating || run.empty()) return;
  if (OnDrawRun) OnDrawRun(run, vcl::TPoint(x, y), Canvas()->Font());
  if (AlphaChannel) {
    WriteColor(Bitmap, run.c_str(), true, vcl::Rect(x, rowTop, x + w, rowTop + h),
               DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, Canvas()->Font()->Color());
  } else {
    Canvas()->Brush()->SetStyle(vcl::bsClear);
    Canvas()->TextOut(x, y, run);
  }
}

void TsHtml::ShowCut(const String& source) {
  String run;
  run.reserve(source.size());
  for (wchar_t c : source)
    if (c != L'\r' && c != L'\n') run.push_back(c);
  if (run.empty()) return;
  const vcl::TSize size = Canvas()->TextExtent(run);
  CurrentRowHeight = std::max(CurrentRowHeight, static_cast<int>(size.cy));
  if (Area.Right > 0 && CurX + size.cx > Area.Right) {
    if (run[0] == L' ') CurX += Canvas()->TextWidth(L" ");
    OutLine(run, size.cy);
    return;
  }
  DrawRun(run, CurX, CurY + CurrentRowHeight - size.cy, size.cx, size.cy, CurY);
  CurX += size.cx;
  CurWidthValue = std::max(CurWidthValue + static_cast<int>(size.cx), CurX);
}

void TsHtml::OutLine(String run, int runHeight) {
  std::vector<String> words;
  for (size_t i = 0; i < run.size();) {
    while (i < run.size() && run[i] == L' ') ++i;
    size_t j = i;
    while (j < run.size() && run[j] != L' ') ++j;
    if (j > i) words.push_back(run.substr(i, j - i));
    i = j;
  }
  const int blank = Canvas()->TextWidth(L" ");
  const int h = XHeight();
  for (size_t k = 0; k < words.size();) {
    const String& word = words[k];
    const int w = Canvas()->TextWidth(word);
    if (Area.Right - Area.Left < w) {
      // A word wider than the whole area gets a row of its own, starting at the area's left.
      if (CurX > Area.Left) {
        CurrentRowHeight = std::max(CurrentRowHeight, h);
        CurY += CurrentRowHeight;
      }
      CurX = Area.Left;
      DrawRun(word, CurX, CurY, w, runHeight, CurY);
      CurWidthValue = std::max(CurWidthValue, CurX + w);
      CurrentRowHeight = std::max(CurrentRowHeight, h);
      CurY += CurrentRowHeight;
      ++k;
      continue;
    }
    if (CurX + w > Area.Right) {
      CurX = Area.Left;
      CurrentRowHeight = std::max(CurrentRowHeight, h);
      CurY += CurrentRowHeight;
      continue;
    }
    DrawRun(word, CurX, CurY + CurrentRowHeight - runHeight, w, h, CurY);
    CurX += w + blank;
    CurWidthValue = std::max(CurWidthValue, CurX);
    CurrentRowHeight = std::max(CurrentRowHeight, h);
    ++k;
  }
}

void TsHtml::BackFont() {
  if (aFonts.empty()) return;
  Canvas()->Font()->Assign(aFonts.back().get());
  aFonts.pop_back();
}

void TsHtml::SetFont(vcl::TFont* font, const String& tag) {
  std::vector<String> words;
  for (size_t i = 0; i < tag.size();) {
    while (i < tag.size() && IsBreak(tag[i])) ++i;
    size_t j = i;
    while (j < tag.size() && !IsBreak(tag[j])) ++j;
    if (j > i) words.push_back(tag.substr(i, j - i));
    i = j;
  }
  for (size_t k = 0; k + 1 < words.size(); ++k) {
    const String& name = words[k];
    const String& value = words[k + 1];
    if (name == L"SIZE") {
      int n = 0;
      if (value[0] == L'-' || value[0] == L'+') {
        // A relative size that is no number leaves the size alone.
        if (ParseInt(value.substr(1), n)) font->SetSize(std::max(1, font->Size() + (value[0] == L'-' ? -n : n)));
      } else {
        font->SetSize(ParseInt(value, n) && n > 0 ? n : 8);
      }
      ++k;
    } else if (name == L"COLOR") {
      if (value[0] == L'#') {
        font->SetColor(SwapInteger(static_cast<std::int32_t>(HexToInt(value.substr(1)) & 0xFFFFFF)));
      } else {
        auto it = std::find_if(std::begin(kColours), std::end(kColours),
                               [&](const NamedColour& c) { return value == c.Name; });
        font->SetColor(it != std::end(kColours)
                           ? it->Color
                           : SwapInteger(static_cast<std::int32_t>(HexToInt(value) & 0xFFFFFF)));
      }
      ++k;
    } else if (name == L"FACE") {
      const size_t at = tag.find(L"FACE");
      const size_t q1 = tag.find(L'"', at);
      const size_t q2 = q1 == String::npos ? String::npos : tag.find(L'"', q1 + 1);
      if (q2 != String::npos && q2 > q1 + 1) font->SetName(tag.substr(q1 + 1, q2 - q1 - 1));
    }
  }
}

void TsHtml::NewFont(const String& tag, bool isLink, int state) {
  auto copy = std::make_unique<vcl::TFont>();
  copy->Assign(Canvas()->Font());
  aFonts.push_back(std::move(copy));
  vcl::TFont* font = Canvas()->Font();
  if (!isLink) {
    SetFont(font, tag);
    return;
  }
  auto* manager = dynamic_cast<TsSkinManager*>(SkinManager);
  if (!manager || !manager->Active()) {
    font->SetColor(state == 2 ? vcl::clRed : vcl::clBlue);
  } else if (state == 0) {
    font->SetColor(manager->Palette[pcWebText]);
  } else if (state == 1) {
    font->SetColor(manager->Palette[pcWebTextHot]);
  } else {
    font->SetColor(MixColors(manager->Palette[pcWebTextHot], manager->Palette[pcLabelText], 0.5));
  }
  if (state > 0) font->SetStyle(font->Style() + vcl::fsUnderline);
}

bool TsHtml::ExecTag(const String& t, size_t tagPos) {
  vcl::TFont* font = Canvas()->Font();
  if (t.size() > 1 && t[1] == L'/') {
    auto at3 = [&](const wchar_t* name) { return t.compare(2, wcslen(name), name) == 0; };
    if (at3(L"B")) {
      font->SetStyle(font->Style() - vcl::fsBold);
    } else if (at3(L"I")) {
      font->SetStyle(font->Style() - vcl::fsItalic);
    } else if (at3(L"U")) {
      font->SetStyle(font->Style() - vcl::fsUnderline);
    } else if (at3(L"FONT")) {
      BackFont();
    } else if (at3(L"A")) {
      if (!Links.empty()) {
        TlvLink& link = Links.back();
        link.URL = LinkAddress(link.URL);
        link.Bounds.Right = CurX;
        link.Bounds.Bottom = link.Bounds.Top + CurrentRowHeight;
      }
      BackFont();
    } else {
      return false;
    }
    return true;
  }
  auto exact = [&](const wchar_t* name) { return t == String(L"<") + name + L">"; };
  auto anywhere = [&](const wchar_t* name) {
    const size_t p = t.find(name);
    return p != String::npos && p + wcslen(name) < t.size();
  };
  if (exact(L"BR") || exact(L"BR/") || exact(L"P")) {
    CurX = Area.Left;
    if (CurrentRowHeight == 0) CurrentRowHeight = XHeight();
    NewRow();
  } else if (exact(L"B")) {
    font->SetStyle(font->Style() + vcl::fsBold);
  } else if (exact(L"I")) {
    font->SetStyle(font->Style() + vcl::fsItalic);
  } else if (exact(L"U")) {
    font->SetStyle(font->Style() + vcl::fsUnderline);
  } else if (anywhere(L"FONT")) {
    NewFont(t, false, 0);
  } else if (anywhere(L"A")) {
    const int n = static_cast<int>(Links.size());
    NewFont(t, true, (n == PressedLink ? 1 : 0) + (n == HotLink ? 1 : 0));
    TlvLink link;
    link.Bounds = vcl::Rect(CurX, CurY, CurX, CurY);
    link.URL = tagPos < Origin.size() ? Origin.substr(tagPos, t.size()) : t;
    Links.push_back(link);
  } else {
    return false;
  }
  return true;
}

vcl::TRect TsHtml::HTMLText(TlvLinks& links, bool calcOnly) {
  Calculating = calcOnly;
  Links.clear();
  const size_t len = static_cast<size_t>(Len);
  size_t from = 0, i = 0;
  auto show = [&](size_t to) {
    if (to > from) ShowCut(Origin.substr(from, to - from));
  };
  while (i < len) {
    const wchar_t c = UppedText[i];
    if (c == L'&') {
      show(i);
      from = i;
      size_t consumed = 0;
      const wchar_t ch = SpecialCharacter(Origin, i + 1, consumed);
      if (ch) {
        const String s(1, ch);
        const vcl::TSize size = Canvas()->TextExtent(s);
        if (Area.Right > 0 && CurX + size.cx > Area.Right) {
          // Unlike a line break, the entity that does not fit starts its row at the area's left.
          NewRow();
          CurX = Area.Left;
        }
        DrawRun(s, CurX, CurY, size.cx, size.cy, CurY);
        CurX += size.cx;
        CurWidthValue = std::max(CurWidthValue, CurX);
        CurrentRowHeight = std::max(CurrentRowHeight, XHeight());
        i += 1 + consumed;
        from = i;
        continue;
      }
      ++i;
      continue;
    }
    if (c == L'<') {
      show(i);
      if (i + 1 < len && UppedText[i + 1] == L'<') {
        from = i + 1;
        i += 2;
        continue;
      }
      const size_t gt = UppedText.find(L'>', i + 1);
      if (gt == String::npos) {
        ++i;
        from = i;
        continue;
      }
      if (ExecTag(UppedText.substr(i, gt - i + 1), i)) {
        i = gt + 1;
        from = i;
        continue;
      }
      from = i;
      ++i;
      continue;
    }
    ++i;
  }
  show(len);
  MaxBmpWidth = std::max(MaxBmpWidth, CurWidthValue);
  CurWidthValue = 0;
  MaxBmpHeight = CurY + CurrentRowHeight;
  links = Links;
  return vcl::Rect(0, 0, MaxBmpWidth, MaxBmpHeight);
}
