#include "script/wz_iparser.h"

#include <algorithm>

#include "platform/rtl/strings.h"

using rtl::String;

namespace {

const wchar_t kLF = L'\n';
const wchar_t kCR = L'\r';

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsHexDigit(wchar_t c) {
  return IsDigit(c) || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

int HexValue(wchar_t c) {
  if (IsDigit(c)) return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return c - L'A' + 10;
}

bool KeywordLess(const String& a, const String& b) { return rtl::CompareText(a, b) < 0; }

// The first two entries of a comma text: commas and blanks separate, double quotes group.
void SplitPair(const String& text, String& first, String& second) {
  std::vector<String> entries;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && entries.size() < 2) {
    while (i < n && text[i] > 0 && text[i] <= L' ') ++i;
    if (i >= n) break;
    String entry;
    if (text[i] == L'"') {
      ++i;
      while (i < n) {
        if (text[i] == L'"') {
          if (i + 1 < n && text[i + 1] == L'"') {
            entry += L'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        entry += text[i++];
      }
    } else {
      while (i < n && text[i] != L',' && !(text[i] > 0 && text[i] <= L' ')) entry += text[i++];
    }
    entries.push_back(entry);
    while (i < n && text[i] > 0 && text[i] <= L' ') ++i;
    if (i < n && text[i] == L',') ++i;
  }
  first = entries.size() > 0 ? entries[0] : String();
  second = entries.size() > 1 ? entries[1] : String();
}

}  // namespace

TwzParser::TwzParser() {
  Clear();
  SetText(String());
}

void TwzParser::Clear() {
  keywords_.clear();
  SpecStrChar = false;
  CommentLine1 = L"//";
  CommentLine2.clear();
  SetCommentBlock1(L"{,}");
  SetCommentBlock2(L"(*,*)");
  HexSequence = L"$";
  ConstructCharset(L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_");
  SkipChar.clear();
  SkipEOL = true;
  StringQuotes = L"'";
  SkipSpace = true;
  CaseSensitive = false;
}

void TwzParser::SetText(const String& text) {
  source_ = text;
  position_ = 1;
  lastPosition_ = 1;
  if (UseY) {
    yList_.assign(1, 0);
    for (size_t i = 0; i < source_.size(); ++i)
      if (source_[i] == kLF) yList_.push_back(static_cast<int>(i) + 1);
  }
}

void TwzParser::SetPosition(int value) {
  // The end sentinel (Size + 1) is the last position a reader may stand on.
  position_ = std::clamp(value, 1, Size() + 1);
  lastPosition_ = position_;
}

void TwzParser::SetCommentBlock1(const String& value) {
  commentBlock1_ = value;
  SplitPair(value, commentOpen1_, commentClose1_);
}

void TwzParser::SetCommentBlock2(const String& value) {
  commentBlock2_ = value;
  SplitPair(value, commentOpen2_, commentClose2_);
}

void TwzParser::ConstructCharset(const String& chars) {
  IdentifierCharset.reset();
  for (wchar_t c : chars) IdentifierCharset.set(static_cast<unsigned>(c) & 0xFF);
}

void TwzParser::AddKeyword(const String& word) {
  auto it = std::lower_bound(keywords_.begin(), keywords_.end(), word, KeywordLess);
  keywords_.insert(it, word);
}

bool TwzParser::IsKeyWord(const String& s) const {
  if (!CaseSensitive) return std::binary_search(keywords_.begin(), keywords_.end(), s, KeywordLess);
  return std::find(keywords_.begin(), keywords_.end(), s) != keywords_.end();
}

wchar_t TwzParser::At(int position) const {
  // Everything outside the text reads as the #0 sentinel.
  if (position < 1 || position > Size()) return 0;
  return source_[position - 1];
}

bool TwzParser::TextAt(int position, const String& s) const {
  if (s.empty() || position < 1) return false;
  return source_.compare(position - 1, s.size(), s) == 0;
}

bool TwzParser::CommentOpensAt(int position, const String& opener) const {
  if (opener.empty() || position < 1) return false;
  bool wordLike = !IsDigit(opener[0]);
  for (wchar_t c : opener) wordLike = wordLike && IsIdentChar(c);
  if (!wordLike) return TextAt(position, opener);
  // An opener made of identifier characters is a word of its own: "rem" must not swallow the line of an
  // identifier such as remainder, and in a language without case it is a comment whatever its case.
  if (IsIdentChar(At(position - 1))) return false;
  const int length = static_cast<int>(opener.size());
  for (int i = 0; i < length; ++i) {
    wchar_t a = At(position + i);
    wchar_t b = opener[i];
    if (!CaseSensitive) {
      if (a >= L'A' && a <= L'Z') a = static_cast<wchar_t>(a - L'A' + L'a');
      if (b >= L'A' && b <= L'Z') b = static_cast<wchar_t>(b - L'A' + L'a');
    }
    if (a != b) return false;
  }
  return !IsIdentChar(At(position + length));
}

bool TwzParser::IsWhite(wchar_t c) const {
  if (c > 32) return false;
  return !(c == kCR && !SkipEOL);
}

bool TwzParser::IsIdentChar(wchar_t c) const {
  return c >= 127 || (c < 256 && IdentifierCharset.test(c));
}

void TwzParser::SkipSpaces() {
  // A loop rather than recursion: thousands of comments or continuation characters must not exhaust the stack.
  // Each continuation character owes one reading of a line end, made once the skipping after it has settled,
  // innermost first, as if the end of line were read right there.
  int pendingEOL = 0;
  for (;;) {
    while (position_ <= Size() && IsWhite(At(position_))) ++position_;
    if (!SkipChar.empty() && position_ <= Size() && At(position_) == SkipChar[0]) {
      ++position_;
      ++pendingEOL;
      continue;
    }
    if (position_ < Size()) {
      if (CommentOpensAt(position_, CommentLine1) || CommentOpensAt(position_, CommentLine2)) {
        const bool stopAtCR = position_ > 1 && At(position_ - 1) != kLF && !SkipEOL;
        while (position_ <= Size() && At(position_) != kLF && !(stopAtCR && At(position_) == kCR)) ++position_;
        continue;
      }
      const String* open = nullptr;
      const String* close = nullptr;
      if (CommentOpensAt(position_, commentOpen1_)) {
        open = &commentOpen1_;
        close = &commentClose1_;
      } else if (CommentOpensAt(position_, commentOpen2_)) {
        open = &commentOpen2_;
        close = &commentClose2_;
      }
      if (open) {
        position_ += static_cast<int>(open->size());
        while (position_ <= Size() && !TextAt(position_, *close)) ++position_;
        position_ = std::min(position_ + static_cast<int>(close->size()), Size() + 1);
        continue;
      }
    }
    if (pendingEOL > 0) {
      --pendingEOL;
      while (position_ <= Size() && (At(position_) == kCR || At(position_) == kLF)) ++position_;
      continue;
    }
    break;
  }
  lastPosition_ = position_;
}

bool TwzParser::GetEOL() {
  SkipSpaces();
  if (At(position_) != kCR && At(position_) != kLF) return false;
  while (position_ <= Size() && (At(position_) == kCR || At(position_) == kLF)) ++position_;
  return true;
}

String TwzParser::ReadIdentifier() {
  if (SkipSpace) SkipSpaces();
  const wchar_t first = At(position_);
  if (IsDigit(first) || !IsIdentChar(first)) return String();
  while (position_ <= Size() && IsIdentChar(At(position_))) ++position_;
  return source_.substr(lastPosition_ - 1, position_ - lastPosition_);
}

String TwzParser::GetIdent() {
  String word = ReadIdentifier();
  // A keyword is consumed all the same; the interpreter restores the position of a failed item.
  if (!word.empty() && IsKeyWord(word)) return String();
  return word;
}

String TwzParser::GetWord() { return ReadIdentifier(); }

String TwzParser::GetChar() {
  const wchar_t c = At(position_);
  if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126)) {
    ++position_;
    return String(1, c);
  }
  return String();
}

bool TwzParser::ReadUnsignedInteger(int& position) const {
  int p = position;
  if (!HexSequence.empty() && TextAt(p, HexSequence)) {
    p += static_cast<int>(HexSequence.size());
    if (!IsHexDigit(At(p))) return false;
    while (IsHexDigit(At(p))) ++p;
  } else {
    if (!IsDigit(At(p))) return false;
    while (IsDigit(At(p))) ++p;
  }
  position = p;
  return true;
}

bool TwzParser::ReadQuotedPiece(String& value) {
  if (StringQuotes.empty() || At(position_) != StringQuotes[0]) return false;
  const wchar_t quote = StringQuotes[0];
  const int start = position_;
  String piece;
  int p = position_ + 1;
  for (;;) {
    wchar_t c = At(p);
    int last = p;  // the last position this step handles
    if (SpecStrChar && c == L'\\') {
      const wchar_t e = At(p + 1);
      last = p + 1;
      if (e == L'n' || e == L'N') {
        piece += kLF;
        p += 2;
      } else if (e == L'r' || e == L'R') {
        piece += kCR;
        p += 2;
      } else if (e == L'x' || e == L'X') {
        int q = p + 2;
        unsigned code = 0;
        bool any = false;
        while (IsHexDigit(At(q))) {
          code = ((code << 4) | HexValue(At(q))) & 0xFFFF;
          any = true;
          ++q;
        }
        if (any) {
          piece += static_cast<wchar_t>(code);
          last = q - 1;
        }
        p = q;
      } else {
        piece += e;
        p += 2;
      }
    } else if (c == quote) {
      if (!SpecStrChar && At(p + 1) == quote) {
        piece += quote;
        last = p + 1;
        p += 2;
      } else {
        position_ = p + 1;
        value += piece;
        return true;
      }
    } else {
      piece += c;
      ++p;
    }
    const wchar_t handled = At(last);
    if (handled < 32 && handled != 9) {
      // Strings never span lines, and the end sentinel stops an unterminated one.
      position_ = start;
      return false;
    }
  }
}

bool TwzParser::ReadCharCodePiece(String& value) {
  if (At(position_) != L'#') return false;
  int p = position_ + 1;
  const int digitsStart = p;
  if (!ReadUnsignedInteger(p)) return false;
  // The code is truncated to 16 bits; doing it while reading keeps an over-long number from being an error.
  String digits = source_.substr(digitsStart - 1, p - digitsStart);
  unsigned code = 0;
  if (!HexSequence.empty() && rtl::StartsStr(HexSequence, digits)) {
    for (size_t i = HexSequence.size(); i < digits.size(); ++i) code = ((code << 4) | HexValue(digits[i])) & 0xFFFF;
  } else {
    for (wchar_t d : digits) code = (code * 10 + (d - L'0')) & 0xFFFF;
  }
  value += static_cast<wchar_t>(code);
  position_ = p;
  return true;
}

String TwzParser::GetString() {
  if (SkipSpace) SkipSpaces();
  String value;
  bool any = false;
  while (ReadQuotedPiece(value) || ReadCharCodePiece(value)) any = true;
  if (!any) return String();
  return L"'" + value + L"'";
}

String TwzParser::GetNumber() {
  if (SkipSpace) SkipSpaces();
  int p = position_;
  if (!ReadUnsignedInteger(p)) return String();
  if (At(p) == L'.' && IsDigit(At(p + 1))) {
    p += 1;
    while (IsDigit(At(p))) ++p;
  }
  if (At(p) == L'E' || At(p) == L'e') {
    int q = p + 1;
    if (At(q) == L'+' || At(q) == L'-') ++q;
    if (IsDigit(At(q))) {
      while (IsDigit(At(q))) ++q;
      p = q;
    }
  }
  position_ = p;
  String number = source_.substr(lastPosition_ - 1, position_ - lastPosition_);
  if (!HexSequence.empty() && HexSequence != L"$")
    number = rtl::StringReplace(number, HexSequence, L"$", rtl::rfReplaceAll);
  return number;
}

String TwzParser::GetFRString() {
  const int start = position_;
  int depth = 1;
  bool inDouble = false;
  bool inSingle = false;
  while (position_ <= Size()) {
    const wchar_t c = At(position_);
    if (!inDouble && !inSingle) {
      if (c == L'<' || c == L'[') {
        ++depth;
      } else if (c == L'>' || c == L']') {
        if (--depth == 0) break;
      }
    }
    if (c == L'"' && !inSingle) {
      inDouble = !inDouble;
    } else if (c == L'\'' && !inDouble) {
      inSingle = !inSingle;
    }
    ++position_;
  }
  return source_.substr(start - 1, position_ - start);
}

String TwzParser::GetXYPosition() const {
  if (yList_.empty()) return L"1:" + rtl::IntToStr(position_);
  const int line = static_cast<int>(std::lower_bound(yList_.begin(), yList_.end(), position_) - yList_.begin());
  const int column = position_ - yList_[line - 1];
  return rtl::IntToStr(line) + L":" + rtl::IntToStr(column);
}

int TwzParser::GetPlainPosition(const TwzPoint& point) const {
  if (point.Y < 1 || point.Y > static_cast<int>(yList_.size())) return -1;
  return point.X + yList_[point.Y - 1];
}
