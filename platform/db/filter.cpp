#include "platform/db/filter.h"

#include <algorithm>
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

namespace {

bool IsAscii(const String& s) {
  for (wchar_t c : s)
    if (c >= 0x80) return false;
  return true;
}

// Compares a text with one folded already, by the folded form of the text, without building it when the text is
// plain ASCII (the common case: school numbers, names typed without accents).
int CompareFolded(const String& text, const String& folded) {
  if (!IsAscii(text)) {
    int c = Fold(text).compare(folded);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  size_t n = std::min(text.size(), folded.size());
  for (size_t i = 0; i < n; ++i) {
    wchar_t a = text[i];
    if (a >= L'a' && a <= L'z') a = static_cast<wchar_t>(a - 32);
    if (a != folded[i]) return a < folded[i] ? -1 : 1;
  }
  return text.size() < folded.size() ? -1 : (text.size() > folded.size() ? 1 : 0);
}

}  // namespace

struct FilterExpression::Node {
  enum Kind { And, Or, Not, Compare } kind = Compare;
  std::unique_ptr<Node> left, right;
  String column, op;
  enum Op { Eq, Ne, Lt, Gt, Le, Ge, Like } opKind = Eq;
  enum LitKind { LitText, LitNumber, LitDate, LitNull } litKind = LitText;
  String text;
  String folded;  // the literal folded once, for text comparisons and patterns
  double number = 0;
  int index = -1;  // the column's position in a row, once bound
  TFieldType boundType = ftUnknown;

  void Prepare() {
    static const std::pair<const wchar_t*, Op> ops[] = {{L"=", Eq},  {L"<>", Ne}, {L"<", Lt},     {L">", Gt},
                                                        {L"<=", Le}, {L">=", Ge}, {L"LIKE", Like}};
    for (auto& [name, k] : ops)
      if (op == name) opKind = k;
    folded = Fold(text);
  }

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
    return Test(v, type);
  }

  bool EvalRow(const CellAt& cell, size_t count) const {
    switch (kind) {
      case And: return left->EvalRow(cell, count) && right->EvalRow(cell, count);
      case Or: return left->EvalRow(cell, count) || right->EvalRow(cell, count);
      case Not: return !left->EvalRow(cell, count);
      case Compare: break;
    }
    static const FieldValue null;
    return Test(index >= 0 && static_cast<size_t>(index) < count ? cell(index) : null, boundType);
  }

  void Bind(const ColumnFinder& find) {
    if (left) left->Bind(find);
    if (right) right->Bind(find);
    if (kind != Compare) return;
    if (!find(column, index, boundType)) throw EDatabaseError(L"Field '" + column + L"' not found");
  }

  bool Test(const FieldValue& v, TFieldType type) const {
    if (litKind == LitNull || v.IsNull()) {
      bool bothNull = litKind == LitNull && v.IsNull();
      if (opKind == Eq) return bothNull;
      if (opKind == Ne) return litKind == LitNull ? !v.IsNull() : true;
      return false;
    }
    if (opKind == Like) {
      String subject = Fold(IsNumberType(type) ? NumberText(v) : (v.IsText() ? v.AsText() : NumberText(v)));
      return LikeFolded(subject.data(), subject.data() + subject.size(), folded.data(), folded.data() + folded.size());
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
      cmp = v.IsText() ? CompareFolded(v.AsText(), folded) : CompareFolded(NumberText(v), folded);
    }
    switch (opKind) {
      case Eq: return cmp == 0;
      case Ne: return cmp != 0;
      case Lt: return cmp < 0;
      case Gt: return cmp > 0;
      case Le: return cmp <= 0;
      case Ge: return cmp >= 0;
      case Like: break;
    }
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
    n->Prepare();
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

void FilterExpression::Bind(const ColumnFinder& find) { root_->Bind(find); }

bool FilterExpression::Matches(const CellAt& cell, size_t count) const { return root_->EvalRow(cell, count); }

bool FilterExpression::Matches(const std::vector<FieldValue>& row) const {
  return root_->EvalRow([&](int c) -> const FieldValue& { return row[static_cast<size_t>(c)]; }, row.size());
}

}  // namespace db
