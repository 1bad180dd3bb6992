#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"

namespace rtl {

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUTF8(const unsigned char* p, size_t n) {
  size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += len;
  }
  return true;
}

String DecodeText(const std::string& bytes, TTextEncoding& found) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    found = tfUTF8;
    return UTF8ToString(bytes.data() + 3, n - 3);
  }
  if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
    bool bigEndian = p[0] == 0xFE;
    found = tfUTF16;
    String text;
    text.reserve((n - 2) / 2);
    for (size_t i = 2; i + 1 < n; i += 2)
      text.push_back(static_cast<wchar_t>(bigEndian ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8)));
    return text;
  }
  if (IsValidUTF8(p, n)) {
    found = tfUTF8NoBOM;
    return UTF8ToString(bytes);
  }
  found = tfAnsi;
  return AnsiToString(bytes);
}

}  // namespace

// ---- TStrings

void TStrings::Error(const String& message, Integer index) const {
  throw EStringListError(index == -1 && message.find(L"%d") == String::npos
                             ? message
                             : StringReplace(message, L"%d", IntToStr(index), rfReplaceAll));
}

void TStrings::Put(Integer index, const String& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

Integer TStrings::Add(const String& s) {
  Integer index = Count();
  Insert(index, s);
  return index;
}

Integer TStrings::AddObject(const String& s, TObject* object) {
  Integer index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(Integer index, const String& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
  BeginUpdate();
  try {
    for (Integer i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::AddStrings(const std::vector<String>& strings) {
  BeginUpdate();
  try {
    for (const String& s : strings) Add(s);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TStrings*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    nameValueSeparator_ = other->nameValueSeparator_;
    delimiter_ = other->delimiter_;
    quoteChar_ = other->quoteChar_;
    strictDelimiter_ = other->strictDelimiter_;
    lineBreak_ = other->lineBreak_;
    AddStrings(*other);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (Integer i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

void TStrings::Exchange(Integer index1, Integer index2) {
  BeginUpdate();
  try {
    String s = Get(index1);
    TObject* o = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s);
    PutObject(index2, o);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  try {
    String s = Get(curIndex);
    TObject* o = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, o);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::CompareStrings(const String& a, const String& b) const { return CompareText(a, b); }

Integer TStrings::IndexOf(const String& s) const {
  for (Integer i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfName(const String& name) const {
  for (Integer i = 0; i < Count(); ++i) {
    String s = Get(i);
    size_t p = s.find(nameValueSeparator_);
    if (p != String::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(const TObject* object) const {
  for (Integer i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

String TStrings::Names(Integer index) const {
  String s = Get(index);
  size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::ValueFromIndex(Integer index) const {
  if (index < 0) return String();
  String s = Get(index);
  size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer index, const String& value) {
  if (!value.empty()) {
    if (index < 0) index = Add(String());
    Put(index, Names(index) + nameValueSeparator_ + value);
  } else if (index >= 0) {
    Delete(index);
  }
}

String TStrings::Values(const String& name) const { return ValueFromIndex(IndexOfName(name)); }

void TStrings::SetValues(const String& name, const String& value) {
  Integer index = IndexOfName(name);
  if (!value.empty()) {
    if (index < 0)
      Add(name + nameValueSeparator_ + value);
    else
      Put(index, name + nameValueSeparator_ + value);
  } else if (index >= 0) {
    Delete(index);
  }
}

String TStrings::Text() const {
  String result;
  for (Integer i = 0; i < Count(); ++i) {
    result += Get(i);
    result += lineBreak_;
  }
  return result;
}

void TStrings::SetText(const String& text) {
  BeginUpdate();
  try {
    Clear();
    size_t start = 0, i = 0, n = text.size();
    while (i < n) {
      wchar_t c = text[i];
      if (c == L'\r' || c == L'\n') {
        Add(text.substr(start, i - start));
        if (c == L'\r' && i + 1 < n && text[i + 1] == L'\n') ++i;
        start = ++i;
      } else {
        ++i;
      }
    }
    if (start < n) Add(text.substr(start));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TStrings::GetDelimited(wchar_t delimiter, wchar_t quote, bool strict) const {
  Integer n = Count();
  if (n == 1 && Get(0).empty()) return String(2, quote);
  String result;
  for (Integer i = 0; i < n; ++i) {
    String s = Get(i);
    bool quoted = false;
    for (wchar_t c : s) {
      if (c == 0) break;
      if (c == quote || c == delimiter || (!strict && c <= L' ')) {
        quoted = true;
        break;
      }
    }
    if (i > 0) result += delimiter;
    result += quoted ? AnsiQuotedStr(s, quote) : s;
  }
  return result;
}

void TStrings::SetDelimited(const String& text, wchar_t delimiter, wchar_t quote, bool strict) {
  BeginUpdate();
  try {
    Clear();
    const wchar_t* p = text.c_str();
    auto skipBlanks = [&] {
      if (!strict)
        while (*p >= 1 && *p <= L' ') ++p;
    };
    skipBlanks();
    while (*p) {
      String s;
      if (*p == quote) {
        s = AnsiExtractQuotedStr(p, quote);
      } else {
        const wchar_t* start = p;
        while (*p && (strict || *p > L' ') && *p != delimiter) ++p;
        s.assign(start, p);
      }
      Add(s);
      skipBlanks();
      if (*p == delimiter) {
        if (p[1] == 0) Add(String());
        ++p;
        skipBlanks();
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TStrings::DelimitedText() const { return GetDelimited(delimiter_, quoteChar_, strictDelimiter_); }
void TStrings::SetDelimitedText(const String& text) { SetDelimited(text, delimiter_, quoteChar_, strictDelimiter_); }
String TStrings::CommaText() const { return GetDelimited(L',', L'"', false); }
void TStrings::SetCommaText(const String& text) { SetDelimited(text, L',', L'"', false); }

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

std::vector<String> TStrings::ToVector() const {
  std::vector<String> result;
  result.reserve(static_cast<size_t>(Count()));
  for (Integer i = 0; i < Count(); ++i) result.push_back(Get(i));
  return result;
}

void TStrings::LoadFromStream(TStream& stream) {
  Int64 size = stream.Size() - stream.Position();
  std::string bytes;
  if (size > 0) {
    if (size > 0x7FFFFFFF) throw EReadError(L"Stream read error");
    bytes.resize(static_cast<size_t>(size));
    stream.ReadBuffer(bytes.data(), static_cast<Integer>(size));
  }
  TTextEncoding found = tfUTF8NoBOM;
  String text = DecodeText(bytes, found);
  SetText(text);
  encoding_ = found;
}

void TStrings::SaveToStream(TStream& stream, TTextEncoding encoding) const {
  String text = Text();
  std::string bytes;
  switch (encoding) {
    case tfUTF16:
      bytes = "\xFF\xFE";
      bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
      break;
    case tfAnsi:
      bytes = StringToAnsi(text);
      break;
    case tfUTF8NoBOM:
      bytes = StringToUTF8(text);
      break;
    default:
      bytes = "\xEF\xBB\xBF" + StringToUTF8(text);
      break;
  }
  stream.WriteBytes(bytes);
}

void TStrings::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStrings::SaveToFile(const String& fileName, TTextEncoding encoding) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file, encoding);
}

// ---- TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (ownsObjects_)
    for (Item& item : items_) delete item.object;
}

void TStringList::CheckIndex(Integer index) const {
  if (index < 0 || index >= Count()) Error(L"List index out of bounds (%d)", index);
}

String TStringList::Get(Integer index) const {
  CheckIndex(index);
  return items_[index].text;
}

void TStringList::Put(Integer index, const String& s) {
  if (sorted_) Error(L"Operation not allowed on sorted list", -1);
  CheckIndex(index);
  Changing();
  items_[index].text = s;
  Changed();
}

TObject* TStringList::GetObject(Integer index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::PutObject(Integer index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[index].object = object;
  Changed();
}

void TStringList::InsertItem(Integer index, const String& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

void TStringList::Insert(Integer index, const String& s) {
  if (sorted_) Error(L"Operation not allowed on sorted list", -1);
  if (index < 0 || index > Count()) Error(L"List index out of bounds (%d)", index);
  InsertItem(index, s, nullptr);
}

Integer TStringList::AddObject(const String& s, TObject* object) {
  Integer index;
  if (!sorted_) {
    index = Count();
  } else if (Find(s, index)) {
    switch (duplicates_) {
      case dupIgnore:
        return index;
      case dupError:
        Error(L"String list does not allow duplicates", -1);
      case dupAccept:
        // After the equal lines, so equal lines keep the order they were added in.
        while (index < Count() && CompareStrings(items_[index].text, s) == 0) ++index;
        break;
    }
  }
  InsertItem(index, s, object);
  return index;
}

Integer TStringList::Add(const String& s) { return AddObject(s, nullptr); }

void TStringList::Delete(Integer index) {
  CheckIndex(index);
  Changing();
  TObject* object = items_[index].object;
  items_.erase(items_.begin() + index);
  if (ownsObjects_) delete object;
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<Item> old;
  old.swap(items_);
  if (ownsObjects_)
    for (Item& item : old) delete item.object;
  Changed();
}

void TStringList::Exchange(Integer index1, Integer index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

void TStringList::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  if (sorted_) Error(L"Operation not allowed on sorted list", -1);
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  Changing();
  Item item = std::move(items_[curIndex]);
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, std::move(item));
  Changed();
}

Integer TStringList::IndexOf(const String& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  Integer index;
  return Find(s, index) ? index : -1;
}

void TStringList::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TStringList*>(source);
  if (!other || other == this) {
    TStrings::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    Clear();
    sorted_ = false;
    caseSensitive_ = other->caseSensitive_;
    useLocale_ = other->useLocale_;
    duplicates_ = other->duplicates_;
    TStrings::Assign(source);
    if (other->sorted_) SetSorted(true);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStringList::Find(const String& s, Integer& index) const {
  Integer lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    Integer mid = lo + (hi - lo) / 2;
    int c = CompareStrings(items_[mid].text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (Count() < 2) return;
  Changing();
  // Compare by the indexes of the unchanged list, then rearrange once.
  std::vector<Integer> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (Integer i : order) sorted.push_back(std::move(items_[i]));
  items_.swap(sorted);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList& list, Integer a, Integer b) {
    return list.CompareStrings(list.items_[a].text, list.items_[b].text);
  });
}

void TStringList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

void TStringList::SetUseLocale(bool value) {
  if (value == useLocale_) return;
  useLocale_ = value;
  if (sorted_) Sort();
}

int TStringList::CompareStrings(const String& a, const String& b) const {
  if (caseSensitive_) return useLocale_ ? AnsiCompareStr(a, b) : CompareStr(a, b);
  return useLocale_ ? AnsiCompareText(a, b) : CompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

}  // namespace rtl
