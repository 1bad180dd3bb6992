#include "report/model/qvxHTMLTags.h"

#include "platform/rtl/strings.h"
#include "platform/rtl/sysmath.h"

using vcl::fsBold;
using vcl::fsItalic;
using vcl::fsStrikeOut;
using vcl::fsUnderline;

void TqvxHTMLTag::Assign(const TqvxHTMLTag& source) {
  Position = source.Position;
  Size = source.Size;
  AddY = source.AddY;
  Style = source.Style;
  Color = source.Color;
  Default = source.Default;
  Small = source.Small;
  SubType = source.SubType;
}

TqvxHTMLTagsList::TqvxHTMLTagsList() : FTempArray(qvxMaxLineChars) {}

void TqvxHTMLTagsList::SetDefaults(vcl::TColor defColor, int defSize, vcl::TFontStyles defStyle) {
  FDefColor = defColor;
  FColor = defColor;
  FDefSize = defSize;
  FSize = defSize;
  FDefStyle = defStyle;
  FStyle = defStyle;
  FAddY = 0;
  FDontWRAP = false;
  FPosition = 1;
  FSubStyle = ssNormal;
  FLastTag = nullptr;
  FItems.clear();
  NewLine();
}

void TqvxHTMLTagsList::NewLine() { FItems.push_back(std::make_unique<TqvxHTMLTags>()); }

void TqvxHTMLTagsList::AddTag() {
  auto tag = std::make_unique<TqvxHTMLTag>();
  tag->Position = FPosition;
  tag->Size = FSize;
  tag->Style = FStyle;
  tag->Color = FColor;
  tag->AddY = FAddY;
  tag->DontWRAP = FDontWRAP;
  tag->SubType = FSubStyle;
  if (!FAllowTags)
    tag->Default = true;
  else if (FLastTag)
    tag->Default = FStyle == FLastTag->Style && FColor == FLastTag->Color && FSize == FLastTag->Size &&
                   FAddY == FLastTag->AddY && FDontWRAP == FLastTag->DontWRAP;
  else
    tag->Default = FStyle == FDefStyle && FColor == FDefColor && FSize == FDefSize;
  tag->Small = FSize != FDefSize;
  FLastTag = tag.get();
  if (FItems.empty()) NewLine();
  FItems.back()->FItems.push_back(std::move(tag));
}

namespace {

// Case-insensitive (ASCII) match of word at s[i].
bool MatchAt(const rtl::String& s, size_t i, const wchar_t* word) {
  for (; *word; ++word, ++i) {
    if (i >= s.size()) return false;
    wchar_t c = s[i];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    wchar_t w = *word;
    if (w >= L'a' && w <= L'z') w = static_cast<wchar_t>(w - 32);
    if (c != w) return false;
  }
  return true;
}

}  // namespace

bool TqvxHTMLTagsList::ColorTagAt(const rtl::String& s, size_t i, size_t& length) {
  if (!MatchAt(s, i + 1, L"FONT COLOR")) return false;
  size_t eq = s.find(L'=', i + 11);
  if (eq == rtl::String::npos) return false;
  size_t v = eq + 1;
  while (v < s.size() && s[v] == L' ') ++v;
  size_t close = s.find(L'>', v);
  size_t end = close == rtl::String::npos ? s.size() : close;
  rtl::String value = s.substr(v, end - v);
  if (value.empty()) return false;
  vcl::TColor color = 0;
  if (value.size() > 3 && value[0] == L'"' && value[1] == L'#' && value.back() == L'"') {
    // Written as RRGGBB; colour values keep red in the low byte.
    unsigned rgb = static_cast<unsigned>(rtl::StrToInt(L"$" + value.substr(2, value.size() - 3)));
    color = static_cast<vcl::TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
  } else if (!vcl::IdentToColor(L"cl" + value, color)) {
    return false;
  }
  FColor = color;
  length = (close == rtl::String::npos ? s.size() : close + 1) - i;
  return true;
}

int TqvxHTMLTagsList::TagAt(const rtl::String& s, size_t i) {
  // kind: 1 style on, 2 style off (style in param), 3 sub, 4 sup, 5 sub/sup end, 6 nowrap on, 7 nowrap off, 8 font
  static const struct {
    const wchar_t* text;
    int kind;
    vcl::TFontStyle style;
  } tags[] = {
      {L"<b>", 1, fsBold},           {L"<i>", 1, fsItalic},          {L"<u>", 1, fsUnderline},
      {L"</b>", 2, fsBold},          {L"</i>", 2, fsItalic},         {L"</u>", 2, fsUnderline},
      {L"<strike>", 1, fsStrikeOut}, {L"</strike>", 2, fsStrikeOut}, {L"<sub>", 3, fsBold},
      {L"<sup>", 4, fsBold},         {L"</sub>", 5, fsBold},         {L"</sup>", 5, fsBold},
      {L"<nowrap>", 6, fsBold},      {L"</nowrap>", 7, fsBold},      {L"</font>", 8, fsBold},
  };
  for (const auto& t : tags) {
    if (!MatchAt(s, i, t.text)) continue;
    switch (t.kind) {
      case 1: FStyle += t.style; break;
      case 2: FStyle -= t.style; break;
      case 3:
        FSize = static_cast<int>(rtl::Round(FDefSize / 1.5));
        FAddY = 1;
        FSubStyle = ssSubscript;
        break;
      case 4:
        FSize = static_cast<int>(rtl::Round(FDefSize / 1.5));
        FAddY = 0;
        FSubStyle = ssSuperscript;
        break;
      case 5:
        FSize = FDefSize;
        FAddY = 0;
        FSubStyle = ssNormal;
        break;
      case 6: FDontWRAP = true; break;
      case 7: FDontWRAP = false; break;
      case 8: FColor = FDefColor; break;
    }
    return static_cast<int>(wcslen(t.text));
  }
  size_t length = 0;
  if (ColorTagAt(s, i, length)) return static_cast<int>(length);
  return 0;
}

void TqvxHTMLTagsList::ExpandHTMLTags(rtl::String& s) {
  size_t i = 0;
  while (i < s.size()) {
    if (FAllowTags && s[i] == L'<') {
      int length = TagAt(s, i);
      if (length > 0) {
        s.erase(i, static_cast<size_t>(length));
        FPosition += length;
        continue;
      }
    }
    AddTag();
    ++i;
    ++FPosition;
  }
  if (s.empty()) {
    AddTag();
    s = L" ";
  }
}

void TqvxHTMLTagsList::Wrap(int count, bool addBreak, bool keepPosition) {
  if (FItems.empty()) return;
  TqvxHTMLTags* old = FItems.back().get();
  if (count <= 0 || old->Count() <= count) return;
  auto line = std::make_unique<TqvxHTMLTags>();
  for (int i = count; i < old->Count(); ++i) line->FItems.push_back(std::move(old->FItems[i]));
  old->FItems.resize(static_cast<size_t>(count));
  const TqvxHTMLTag* last = old->FItems.back().get();
  if (addBreak) {
    auto hyphen = std::make_unique<TqvxHTMLTag>();
    hyphen->Assign(*last);
    old->FItems.push_back(std::move(hyphen));
  } else if (line->FItems[0]->Default) {
    // The line continues the formatting of the one before; the copy carries that formatting and, after a dropped
    // blank, the blank's position, where the leftover of a split text starts.
    TqvxHTMLTag* first = line->FItems[0].get();
    int position = first->Position;
    bool dontWrap = first->DontWRAP;
    first->Assign(*last);
    first->DontWRAP = dontWrap;
    if (keepPosition) first->Position = position;
  }
  FItems.push_back(std::move(line));
}
