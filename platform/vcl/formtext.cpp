// The text form of form resources: lexer, parser and printer.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cwctype>

#include "platform/rtl/strings.h"
#include "platform/vcl/formvalue.h"

namespace vcl {

EFormError::EFormError(const String& source, int line, const String& message)
    : rtl::EReadError(source + L"(" + rtl::IntToStr(line) + L"): " + message),
      source_(source),
      line_(line),
      detail_(message) {}

TFormValue TFormValue::FromInt(Int64 v) {
  TFormValue r;
  r.Kind = TFormValueKind::Integer;
  r.Int = v;
  return r;
}

TFormValue TFormValue::FromFloat(double v) {
  TFormValue r;
  r.Kind = TFormValueKind::Float;
  r.Float = v;
  return r;
}

TFormValue TFormValue::FromString(const String& v) {
  TFormValue r;
  r.Kind = TFormValueKind::String;
  r.Str = v;
  return r;
}

TFormValue TFormValue::FromIdent(const String& v) {
  TFormValue r;
  r.Kind = TFormValueKind::Ident;
  r.Str = v;
  return r;
}

// Lines are where a value came from, not part of it.
bool TFormValue::operator==(const TFormValue& o) const {
  if (Kind != o.Kind) return false;
  switch (Kind) {
    case TFormValueKind::Integer: return Int == o.Int;
    case TFormValueKind::Float: return Float == o.Float;
    case TFormValueKind::String:
    case TFormValueKind::Ident: return Str == o.Str;
    case TFormValueKind::Set: return Elements == o.Elements;
    case TFormValueKind::List: return List == o.List;
    case TFormValueKind::Binary: return Bytes == o.Bytes;
    case TFormValueKind::Collection:
      if (Items.size() != o.Items.size()) return false;
      for (size_t i = 0; i < Items.size(); ++i) {
        if (Items[i].size() != o.Items[i].size()) return false;
        for (size_t j = 0; j < Items[i].size(); ++j)
          if (Items[i][j].Name != o.Items[i][j].Name || !(Items[i][j].Value == o.Items[i][j].Value)) return false;
      }
      return true;
  }
  return false;
}

String FloatToFormText(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  String s(buf, res.ptr);
  // Always recognisable as a float when read back.
  if (s.find_first_of(L".eEni") == String::npos) s += L".0";
  return s;
}

bool FormTextToFloat(const String& text, double& value) {
  std::string narrow;
  for (wchar_t c : text) {
    if (c > 127) return false;
    narrow += static_cast<char>(c == L',' ? '.' : c);
  }
  const char* b = narrow.data();
  const char* e = b + narrow.size();
  if (b != e && *b == '+') ++b;
  auto res = std::from_chars(b, e, value);
  return res.ec == std::errc() && res.ptr == e && b != e;
}

namespace {

enum class Tok { End, Ident, Integer, Float, String, Symbol, Binary };

struct Token {
  Tok kind = Tok::End;
  String text;  // identifier, string value, symbol
  Int64 intValue = 0;
  double floatValue = 0;
  std::vector<Byte> bytes;
  int line = 1;
};

class Lexer {
public:
  Lexer(const String& text, const String& source) : s_(text), source_(source) {
    if (!s_.empty() && s_[0] == 0xFEFF) pos_ = 1;
  }

  [[noreturn]] void Fail(int line, const String& message) const { throw EFormError(source_, line, message); }

  Token Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    if (pos_ >= s_.size()) return t;
    wchar_t c = s_[pos_];
    if (IsIdentStart(c)) {
      size_t start = pos_;
      while (pos_ < s_.size() && (IsIdentChar(s_[pos_]) || s_[pos_] == L'.')) ++pos_;
      t.kind = Tok::Ident;
      t.text = s_.substr(start, pos_ - start);
      return t;
    }
    if (c == L'\'' || c == L'#') return ReadString(t);
    if (c == L'$' || c == L'-' || c == L'+' || (c >= L'0' && c <= L'9')) return ReadNumber(t);
    if (c == L'{') return ReadBinary(t);
    t.kind = Tok::Symbol;
    t.text = String(1, c);
    ++pos_;
    return t;
  }

private:
  static bool IsIdentStart(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_'; }
  static bool IsIdentChar(wchar_t c) { return IsIdentStart(c) || (c >= L'0' && c <= L'9'); }

  void SkipBlanks() {
    while (pos_ < s_.size()) {
      wchar_t c = s_[pos_];
      if (c == L'\n') {
        ++line_;
        ++pos_;
      } else if (c <= L' ') {
        ++pos_;
      } else if (c == L'/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == L'/') {
        while (pos_ < s_.size() && s_[pos_] != L'\n') ++pos_;
      } else {
        break;
      }
    }
  }

  // 'abc' #13#10 'def', possibly continued with + on the next line.
  Token ReadString(Token& t) {
    t.kind = Tok::String;
    for (;;) {
      if (pos_ < s_.size() && s_[pos_] == L'\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == L'\n' || s_[pos_] == L'\r') Fail(t.line, L"Unterminated string");
          if (s_[pos_] == L'\'') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == L'\'') {
              t.text += L'\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          t.text += s_[pos_++];
        }
      } else if (pos_ < s_.size() && s_[pos_] == L'#') {
        ++pos_;
        size_t start = pos_;
        bool hex = pos_ < s_.size() && s_[pos_] == L'$';
        if (hex) ++pos_;
        while (pos_ < s_.size() && (std::iswxdigit(s_[pos_]) && (hex || (s_[pos_] >= L'0' && s_[pos_] <= L'9'))))
          ++pos_;
        String digits = s_.substr(start, pos_ - start);
        Int64 code = 0;
        if (!rtl::TryStrToInt64(digits, code) || code < 0 || code > 0xFFFF)
          Fail(line_, L"Invalid character code #" + digits);
        t.text += static_cast<wchar_t>(code);
      } else {
        // A + joins the next part, possibly on the next line.
        size_t save = pos_;
        int saveLine = line_;
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == L'+') {
          ++pos_;
          SkipBlanks();
          if (pos_ < s_.size() && (s_[pos_] == L'\'' || s_[pos_] == L'#')) continue;
          Fail(line_, L"String expected after +");
        }
        pos_ = save;
        line_ = saveLine;
        return t;
      }
    }
  }

  Token ReadNumber(Token& t) {
    size_t start = pos_;
    if (s_[pos_] == L'-' || s_[pos_] == L'+') ++pos_;
    if (pos_ < s_.size() && s_[pos_] == L'$') {
      ++pos_;
      while (pos_ < s_.size() && std::iswxdigit(s_[pos_])) ++pos_;
    } else {
      while (pos_ < s_.size() && (IsIdentChar(s_[pos_]) || s_[pos_] == L'.' ||
                                  ((s_[pos_] == L'-' || s_[pos_] == L'+') && (s_[pos_ - 1] == L'e' || s_[pos_ - 1] == L'E'))))
        ++pos_;
    }
    String text = s_.substr(start, pos_ - start);
    if (rtl::TryStrToInt64(text, t.intValue)) {
      t.kind = Tok::Integer;
    } else if (FormTextToFloat(text, t.floatValue) && text.find(L',') == String::npos) {
      t.kind = Tok::Float;
    } else {
      Fail(t.line, L"Invalid number '" + text + L"'");
    }
    t.text = text;
    return t;
  }

  Token ReadBinary(Token& t) {
    t.kind = Tok::Binary;
    ++pos_;
    int nibble = -1;
    for (;;) {
      if (pos_ >= s_.size()) Fail(t.line, L"Unterminated binary data");
      wchar_t c = s_[pos_++];
      if (c == L'}') break;
      if (c == L'\n') {
        ++line_;
        continue;
      }
      if (c <= L' ') continue;
      int v;
      if (c >= L'0' && c <= L'9')
        v = c - L'0';
      else if (c >= L'A' && c <= L'F')
        v = c - L'A' + 10;
      else if (c >= L'a' && c <= L'f')
        v = c - L'a' + 10;
      else
        Fail(line_, L"Invalid character in binary data");
      if (nibble < 0) {
        nibble = v;
      } else {
        t.bytes.push_back(static_cast<Byte>(nibble * 16 + v));
        nibble = -1;
      }
    }
    if (nibble >= 0) Fail(line_, L"Odd number of hexadecimal digits in binary data");
    return t;
  }

  const String& s_;
  String source_;
  size_t pos_ = 0;
  int line_ = 1;
};

// Objects, lists and collections nested deeper than this are refused: each level of nesting is a level of recursion
// here, in the loader and in freeing the parsed tree, and a damaged or hostile text must not overflow the stack.
// Forms written by hand or by the writer nest a few levels.
constexpr int kMaxNesting = 256;

class Parser {
public:
  Parser(const String& text, const String& source) : lex_(text, source) { Advance(); }

  TFormObject ParseRoot() {
    TFormObject obj = ParseObject();
    if (tok_.kind != Tok::End) lex_.Fail(tok_.line, L"Text after the end of the root object: '" + tok_.text + L"'");
    return obj;
  }

private:
  void Advance() { tok_ = lex_.Next(); }
  bool IsKeyword(const wchar_t* word) const { return tok_.kind == Tok::Ident && rtl::SameText(tok_.text, word); }
  bool IsSymbol(wchar_t c) const { return tok_.kind == Tok::Symbol && tok_.text.size() == 1 && tok_.text[0] == c; }
  void Expect(wchar_t c, const wchar_t* what) {
    if (!IsSymbol(c)) lex_.Fail(tok_.line, String(what) + L" expected" + Found());
    Advance();
  }
  // Counts one level of nesting for as long as it lives.
  class Nested {
   public:
    Nested(Parser& p, int line) : p_(p) {
      if (p_.depth_ >= kMaxNesting)
        p_.lex_.Fail(line, L"Nesting too deep (more than " + rtl::IntToStr(kMaxNesting) + L" levels)");
      ++p_.depth_;
    }
    ~Nested() { --p_.depth_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    Parser& p_;
  };

  String Found() const {
    switch (tok_.kind) {
      case Tok::End: return L" but the text ended";
      case Tok::String: return L" but found a string";
      case Tok::Binary: return L" but found binary data";
      default: return L" but found '" + tok_.text + L"'";
    }
  }

  TFormObject ParseObject() {
    Nested nested(*this, tok_.line);
    TFormObject obj;
    obj.Line = tok_.line;
    if (!(IsKeyword(L"object") || IsKeyword(L"inherited") || IsKeyword(L"inline")))
      lex_.Fail(tok_.line, L"'object' expected" + Found());
    obj.Keyword = rtl::LowerCase(tok_.text);
    Advance();
    if (tok_.kind != Tok::Ident) lex_.Fail(tok_.line, L"Object name or class expected" + Found());
    String first = tok_.text;
    Advance();
    if (IsSymbol(L':')) {
      Advance();
      if (tok_.kind != Tok::Ident) lex_.Fail(tok_.line, L"Class name expected" + Found());
      obj.Name = first;
      obj.ClassName = tok_.text;
      Advance();
    } else {
      obj.ClassName = first;  // an unnamed object
    }
    if (obj.Name.find(L'.') != String::npos || obj.ClassName.find(L'.') != String::npos)
      lex_.Fail(obj.Line, L"Invalid object name or class '" + obj.Name + L": " + obj.ClassName + L"'");
    for (;;) {
      if (tok_.kind == Tok::End)
        lex_.Fail(obj.Line, L"Object " + obj.Name + L": " + obj.ClassName + L" is not terminated with 'end'");
      if (IsKeyword(L"end")) {
        obj.EndLine = tok_.line;
        Advance();
        return obj;
      }
      if (IsKeyword(L"object") || IsKeyword(L"inherited") || IsKeyword(L"inline")) {
        obj.Children.push_back(ParseObject());
        continue;
      }
      obj.Props.push_back(ParseProperty());
    }
  }

  TFormProp ParseProperty() {
    TFormProp p;
    p.Line = tok_.line;
    if (tok_.kind != Tok::Ident) lex_.Fail(tok_.line, L"Property name expected" + Found());
    p.Name = tok_.text;
    Advance();
    if (!IsSymbol(L'=')) lex_.Fail(tok_.line, L"'=' expected after property " + p.Name + Found());
    Advance();
    p.Value = ParseValue(p.Name);
    return p;
  }

  TFormValue ParseValue(const String& propName) {
    TFormValue v;
    v.Line = tok_.line;
    switch (tok_.kind) {
      case Tok::Integer:
        v.Kind = TFormValueKind::Integer;
        v.Int = tok_.intValue;
        Advance();
        return v;
      case Tok::Float:
        v.Kind = TFormValueKind::Float;
        v.Float = tok_.floatValue;
        Advance();
        return v;
      case Tok::String:
        v.Kind = TFormValueKind::String;
        v.Str = tok_.text;
        Advance();
        return v;
      case Tok::Ident:
        v.Kind = TFormValueKind::Ident;
        v.Str = tok_.text;
        Advance();
        return v;
      case Tok::Binary:
        v.Kind = TFormValueKind::Binary;
        v.Bytes = std::move(tok_.bytes);
        Advance();
        return v;
      case Tok::End:
        lex_.Fail(tok_.line, L"Value of property " + propName + L" expected but the text ended");
      case Tok::Symbol:
        break;
    }
    if (IsSymbol(L'[')) {
      v.Kind = TFormValueKind::Set;
      Advance();
      while (!IsSymbol(L']')) {
        if (tok_.kind != Tok::Ident) lex_.Fail(tok_.line, L"Set element of property " + propName + L" expected" + Found());
        v.Elements.push_back(tok_.text);
        Advance();
        if (IsSymbol(L',')) {
          Advance();
          if (IsSymbol(L']')) lex_.Fail(tok_.line, L"Set element of property " + propName + L" expected" + Found());
        } else if (!IsSymbol(L']')) {
          lex_.Fail(tok_.line, L"',' or ']' expected in the value of property " + propName + Found());
        }
      }
      Advance();
      return v;
    }
    if (IsSymbol(L'(')) {
      Nested nested(*this, tok_.line);
      v.Kind = TFormValueKind::List;
      Advance();
      while (!IsSymbol(L')')) {
        if (tok_.kind == Tok::End) lex_.Fail(v.Line, L"List of property " + propName + L" is not closed with ')'");
        v.List.push_back(ParseValue(propName));
      }
      Advance();
      return v;
    }
    if (IsSymbol(L'<')) {
      Nested nested(*this, tok_.line);
      v.Kind = TFormValueKind::Collection;
      Advance();
      while (!IsSymbol(L'>')) {
        if (!IsKeyword(L"item"))
          lex_.Fail(tok_.line, L"'item' expected in collection " + propName + Found());
        int itemLine = tok_.line;
        Advance();
        // "item [3]": an explicit index is accepted and ignored; items are read in order.
        if (IsSymbol(L'[')) {
          Advance();
          if (tok_.kind != Tok::Integer) lex_.Fail(tok_.line, L"Item index expected" + Found());
          Advance();
          Expect(L']', L"']'");
        }
        std::vector<TFormProp> props;
        for (;;) {
          if (tok_.kind == Tok::End)
            lex_.Fail(itemLine, L"Item of collection " + propName + L" is not terminated with 'end'");
          if (IsKeyword(L"end")) {
            Advance();
            break;
          }
          props.push_back(ParseProperty());
        }
        v.Items.push_back(std::move(props));
      }
      Advance();
      return v;
    }
    lex_.Fail(tok_.line, L"Invalid value of property " + propName + Found());
  }

  Lexer lex_;
  Token tok_;
  int depth_ = 0;
};

// ---------------------------------------------------------------------------------------------------------------
// Printing

String QuoteString(const String& s) {
  if (s.empty()) return L"''";
  String out;
  bool inQuote = false;
  size_t partLength = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    wchar_t c = s[i];
    if (c < L' ' || c == 0x7F) {
      if (inQuote) {
        out += L'\'';
        inQuote = false;
      }
      out += L'#' + rtl::IntToStr(c);
    } else {
      if (!inQuote) {
        out += L'\'';
        inQuote = true;
      }
      if (c == L'\'') out += L'\'';
      out += c;
    }
    ++partLength;
    // Long texts and texts with line breaks continue on the next line, so a screen of text stays readable.
    bool lineBreak = c == L'\n' && i + 1 < s.size();
    if ((lineBreak || partLength >= 64) && i + 1 < s.size()) {
      if (inQuote) {
        out += L'\'';
        inQuote = false;
      }
      out += L" +\x01";  // marks a continuation; the printer indents it
      partLength = 0;
    }
  }
  if (inQuote) out += L'\'';
  return out;
}

void AppendHex(String& out, const std::vector<Byte>& bytes, size_t from, size_t to) {
  static const wchar_t* digits = L"0123456789ABCDEF";
  for (size_t i = from; i < to; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
}

String Indent(int level) { return String(static_cast<size_t>(level) * 2, L' '); }

// Values append to one text: nested lists would otherwise copy their whole inside once per level.
void PrintProps(String& out, const std::vector<TFormProp>& props, int level);

void PrintValue(String& out, const TFormValue& v, int level) {
  switch (v.Kind) {
    case TFormValueKind::Integer:
      out += rtl::IntToStr(v.Int);
      return;
    case TFormValueKind::Float:
      out += FloatToFormText(v.Float);
      return;
    case TFormValueKind::String: {
      const String indent = Indent(level + 1);
      for (wchar_t c : QuoteString(v.Str))
        if (c == L'\x01')
          out += L"\r\n" + indent;
        else
          out += c;
      return;
    }
    case TFormValueKind::Ident:
      out += v.Str;
      return;
    case TFormValueKind::Set:
      out += L"[";
      for (size_t i = 0; i < v.Elements.size(); ++i) {
        if (i) out += L", ";
        out += v.Elements[i];
      }
      out += L"]";
      return;
    case TFormValueKind::List:
      out += L"(";
      for (const TFormValue& item : v.List) {
        out += L"\r\n" + Indent(level + 1);
        PrintValue(out, item, level + 1);
      }
      out += L")";
      return;
    case TFormValueKind::Collection:
      out += L"<";
      for (const auto& item : v.Items) {
        out += L"\r\n" + Indent(level + 1) + L"item\r\n";
        PrintProps(out, item, level + 2);
        out += Indent(level + 1) + L"end";
      }
      out += L">";
      return;
    case TFormValueKind::Binary: {
      const String indent = Indent(level + 1);
      out += L"{";
      for (size_t i = 0; i < v.Bytes.size(); i += 32) {
        out += L"\r\n" + indent;
        AppendHex(out, v.Bytes, i, std::min(v.Bytes.size(), i + 32));
      }
      out += L"}";
      return;
    }
  }
}

void PrintProps(String& out, const std::vector<TFormProp>& props, int level) {
  for (const TFormProp& p : props) {
    out += Indent(level) + p.Name + L" = ";
    PrintValue(out, p.Value, level);
    out += L"\r\n";
  }
}

void PrintObject(String& out, const TFormObject& obj, int level) {
  out += Indent(level) + obj.Keyword + L" ";
  if (!obj.Name.empty()) out += obj.Name + L": ";
  out += obj.ClassName + L"\r\n";
  PrintProps(out, obj.Props, level + 1);
  for (const TFormObject& child : obj.Children) PrintObject(out, child, level + 1);
  out += Indent(level) + L"end\r\n";
}

// The one-line text of a value, given up once it holds limit characters: error messages quote a value, and a
// damaged resource can hold a value of any size.
void AppendExcerpt(String& out, const TFormValue& v, size_t limit) {
  if (out.size() >= limit) return;
  switch (v.Kind) {
    case TFormValueKind::String:
      // Only the part that can show is quoted; continuation marks become blanks.
      for (wchar_t c : QuoteString(v.Str.substr(0, limit - out.size() + 1))) out += c == L'\x01' ? L' ' : c;
      return;
    case TFormValueKind::Set:
      out += L"[";
      for (size_t i = 0; i < v.Elements.size() && out.size() < limit; ++i) {
        if (i) out += L", ";
        out += v.Elements[i].substr(0, limit);
      }
      out += L"]";
      return;
    case TFormValueKind::List:
      out += L"(";
      for (size_t i = 0; i < v.List.size() && out.size() < limit; ++i) {
        if (i) out += L" ";
        AppendExcerpt(out, v.List[i], limit);
      }
      out += L")";
      return;
    case TFormValueKind::Collection:
      out += L"<";
      for (size_t i = 0; i < v.Items.size() && out.size() < limit; ++i) {
        out += i ? L" item" : L"item";
        for (size_t j = 0; j < v.Items[i].size() && out.size() < limit; ++j) {
          out += L" " + v.Items[i][j].Name.substr(0, limit) + L" = ";
          AppendExcerpt(out, v.Items[i][j].Value, limit);
        }
        out += L" end";
      }
      out += L">";
      return;
    case TFormValueKind::Binary:
      out += L"{";
      AppendHex(out, v.Bytes, 0, std::min(v.Bytes.size(), limit / 2 + 1));
      out += L"}";
      return;
    case TFormValueKind::Ident:
      out += v.Str.substr(0, limit);
      return;
    case TFormValueKind::Integer:
    case TFormValueKind::Float:
      PrintValue(out, v, 0);
      return;
  }
}

}  // namespace

TFormObject ParseFormText(const String& text, const String& source) { return Parser(text, source).ParseRoot(); }

String FormatFormText(const TFormObject& obj) {
  String out;
  PrintObject(out, obj, 0);
  return out;
}

String FormatFormValue(const TFormValue& value) {
  constexpr size_t kExcerpt = 80;
  String out;
  AppendExcerpt(out, value, kExcerpt);
  if (out.size() > kExcerpt) {
    out.resize(kExcerpt);
    out += L"...";
  }
  return out;
}

}  // namespace vcl
