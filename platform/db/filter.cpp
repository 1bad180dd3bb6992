#include "platform/db/filter.h"

#include <cmath>
#include <cwctype>
#include <vector>

#include "platform/db/dberrors.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/win.h"

namespace db {

namespace {

String Fold(const String& s) {
  if (s.empty()) return s;
  String out(s.size(), L'\0');
  int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, s.data(), static_cast<int>(s.size()), out.data(),
                        static_cast<int>(out.size()), nullptr, nullptr, 0);
  if (n <= 0) return s;
  out.resize(static_cast<size_t>(n));
  return out;
}

bool LikeFolded(const wchar_t* t, const wchar_t* te, const wchar_t* p, const wchar_t* pe) {
  // Greedy matcher with backtracking to the last wildcard.
  const wchar_t *star = nullptr, *mark = nullptr;
  while (t < te) {
    if (p < pe && (*p == L'*' || *p == L'%')) {
      star = p++;
      mark = t;
    } else if (p < pe && *p == *t) {
      ++p;
      ++t;
    } else if (star) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pe && (*p == L'*' || *p == L'%')) ++p;
  return p == pe;
}

bool IsNumberType(TFieldType t) {
  switch (t) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
    case ftBoolean: return true;
    default: return false;
  }
}

bool IsDateType(TFieldType t) { return t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp; }

// Numbers in a filter are written with '.', or with the user's decimal separator.
bool ParseNumber(const String& s, double& out) {
  String t;
  for (wchar_t c : s)
    if (c != L' ') t += (c == L',') ? L'.' : c;
  if (t.empty()) return false;
  wchar_t* end = nullptr;
  out = std::wcstod(t.c_str(), &end);
  return end && *end == 0 && std::isfinite(out);
}

String NumberText(const FieldValue& v) {
  if (v.IsInteger()) return std::to_wstring(v.AsInt());
  if (v.IsReal()) {
    double d = v.AsReal();
    if (d == std::floor(d) && std::fabs(d) < 1e15) return std::to_wstring(static_cast<long long>(d));
    wchar_t buf[64];
    swprintf(buf, 64, L"%.15g", d);
    return buf;
  }
  if (v.IsText()) return v.AsText();
  return String();
}

}  // namespace

bool FilterLikeMatch(const String& text, const String& pattern) {
  String t = Fold(text), p = Fold(pattern);
  return LikeFolded(t.data(), t.data() + t.size(), p.data(), p.data() + p.size());
}

struct FilterExpression::Node {
  enum Kind { And, Or, Not, Compare } kind = Compare;
  std::unique_ptr<Node> left, right;
  String column, op;
  enum LitKind { LitText, LitNumber, LitDate, LitNull } litKind = LitText;
  String text;
  double number = 0;

  bool Eval(const Resolver& resolve) const {
    switch (kind) {
      case And: return left->Eval(resolve) && right->Eval(resolve);
      case Or: return left->Eval(resolve) || right->Eval(resolve);
      case Not: return !left->Eval(resolve);
      case Compare: break;
    }
    FieldValue v;
    TFieldType type = ftUnknown;
    if (!resolve(column, v, type)) throw EDatabaseError(L"Field '" + column + L"' not found");
    if (litKind == LitNull || v.IsNull()) {
      bool bothNull = litKind == LitNull && v.IsNull();
      if (op == L"=") return bothNull;
      if (op == L"<>") return litKind == LitNull ? !v.IsNull() : true;
      return false;
    }
    if (op == L"LIKE") {
      String subject = IsNumberType(type) ? NumberText(v) : (v.IsText() ? v.AsText() : NumberText(v));
      return FilterLikeMatch(subject, litKind == LitNumber ? text : text);
    }
    int cmp = 0;
    if (IsNumberType(type) || IsDateType(type) || (!v.IsText() && (v.IsInteger() || v.IsReal()))) {
      double lit = number;
      if (litKind == LitText) {
        if (IsDateType(type)) {
          TDateTime d;
          if (!rtl::TryStrToDateTime(text, d)) return false;
          lit = d;
        } else if (!ParseNumber(text, lit)) {
          return false;
        }
      }
      double val = v.IsInteger() ? static_cast<double>(v.AsInt()) : v.IsReal() ? v.AsReal() : 0;
      if (v.IsText() && !ParseNumber(v.AsText(), val)) return false;
      cmp = val < lit ? -1 : (val > lit ? 1 : 0);
    } else {
      String a = Fold(v.IsText() ? v.AsText() : NumberText(v));
      String b = Fold(litKind == LitText ? text : text);
      cmp = a.compare(b);
      cmp = cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
    }
    if (op == L"=") return cmp == 0;
    if (op == L"<>") return cmp != 0;
    if (op == L"<") return cmp < 0;
    if (op == L">") return cmp > 0;
    if (op == L"<=") return cmp <= 0;
    if (op == L">=") return cmp >= 0;
    return false;
  }
};

namespace {

class Parser {
public:
  explicit Parser(const String& s) : s_(s) {}

  std::unique_ptr<FilterExpression::Node> ParseAll() {
    auto n = ParseOr();
    SkipBlanks();
    if (pos_ < s_.size()) Fail();
    return n;
  }

private:
  using Node = FilterExpression::Node;

  [[noreturn]] void Fail() { throw EDatabaseError(L"Invalid filter: " + s_); }

  void SkipBlanks() {
    while (pos_ < s_.size() && s_[pos_] <= L' ') ++pos_;
  }

  // A keyword followed by something that cannot continue a name.
  bool Keyword(const wchar_t* word) {
    SkipBlanks();
    size_t n = wcslen(word);
    if (pos_ + n > s_.size()) return false;
    for (size_t i = 0; i < n; ++i) {
      wchar_t c = s_[pos_ + i];
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
      if (c != word[i]) return false;
    }
    if (pos_ + n < s_.size() && (std::iswalnum(s_[pos_ + n]) || s_[pos_ + n] == L'_')) return false;
    pos_ += n;
    return true;
  }

  std::unique_ptr<Node> ParseOr() {
    auto left = ParseAnd();
    while (Keyword(L"OR")) {
      auto n = std::make_unique<Node>();
      n->kind = Node::Or;
      n->left = std::move(left);
      n->right = ParseAnd();
      left = std::move(n);
    }
    return left;
  }

  std::unique_ptr<Node> ParseAnd() {
    auto left = ParseUnary();
    while (Keyword(L"AND")) {
      auto n = std::make_unique<Node>();
      n->kind = Node::And;
      n->left = std::move(left);
      n->right = ParseUnary();
      left = std::move(n);
    }
    return left;
  }

  std::unique_ptr<Node> ParseUnary() {
    if (Keyword(L"NOT")) {
      auto n = std::make_unique<Node>();
      n->kind = Node::Not;
      n->left = ParseUnary();
      return n;
    }
    SkipBlanks();
    if (pos_ < s_.size() && s_[pos_] == L'(') {
      ++pos_;
      auto n = ParseOr();
      SkipBlanks();
      if (pos_ >= s_.size() || s_[pos_] != L')') Fail();
      ++pos_;
      return n;
    }
    return ParseComparison();
  }

  String ParseName() {
    SkipBlanks();
    if (pos_ >= s_.size()) Fail();
    wchar_t c = s_[pos_];
    if (c == L'[' || c == L'"') {
      wchar_t close = c == L'[' ? L']' : L'"';
      size_t end = s_.find(close, pos_ + 1);
      if (end == String::npos) Fail();
      String name = s_.substr(pos_ + 1, end - pos_ - 1);
      pos_ = end + 1;
      return name;
    }
    size_t start = pos_;
    while (pos_ < s_.size() && (std::iswalnum(s_[pos_]) || s_[pos_] == L'_' || s_[pos_] == L'.')) ++pos_;
    if (start == pos_) Fail();
    return s_.substr(start, pos_ - start);
  }

  std::unique_ptr<Node> ParseComparison() {
    auto n = std::make_unique<Node>();
    n->column = ParseName();
    SkipBlanks();
    if (Keyword(L"LIKE")) {
      n->op = L"LIKE";
    } else {
      static const wchar_t* ops[] = {L"<>", L"<=", L">=", L"=", L"<", L">"};
      for (const wchar_t* op : ops) {
        if (s_.compare(pos_, wcslen(op), op) == 0) {
          n->op = op;
          pos_ += wcslen(op);
          break;
        }
      }
      if (n->op.empty()) Fail();
    }
    SkipBlanks();
    if (pos_ >= s_.size()) Fail();
    wchar_t c = s_[pos_];
    if (c == L'\'' || c == L'#') {
      wchar_t quote = c;
      ++pos_;
      String text;
      for (;;) {
        if (pos_ >= s_.size()) Fail();
        if (s_[pos_] == quote) {
          if (quote == L'\'' && pos_ + 1 < s_.size() && s_[pos_ + 1] == L'\'') {
            text += L'\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        text += s_[pos_++];
      }
      n->text = text;
      n->litKind = quote == L'#' ? Node::LitDate : Node::LitText;
      if (quote == L'#') {
        TDateTime d;
        if (!rtl::TryStrToDateTime(text, d)) Fail();
        n->number = d;
      }
    } else if (Keyword(L"NULL")) {
      n->litKind = Node::LitNull;
    } else {
      size_t start = pos_;
      while (pos_ < s_.size() && (std::iswdigit(s_[pos_]) || s_[pos_] == L'.' || s_[pos_] == L'-' || s_[pos_] == L'+'))
        ++pos_;
      n->text = s_.substr(start, pos_ - start);
      if (!ParseNumber(n->text, n->number)) Fail();
      n->litKind = Node::LitNumber;
    }
    return n;
  }

  const String& s_;
  size_t pos_ = 0;
};

}  // namespace

FilterExpression::FilterExpression(const String& text) {
  Parser p(text);
  root_ = p.ParseAll();
}

FilterExpression::~FilterExpression() = default;

bool FilterExpression::Matches(const Resolver& resolve) const { return root_->Eval(resolve); }

}  // namespace db
