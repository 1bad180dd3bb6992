#include "report/model/qvxXML.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <thread>

#include "platform/rtl/datetime.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"

using rtl::Int64;
using rtl::Integer;
using rtl::String;

namespace {

constexpr Integer kBufferSize = 4096;
// Elements nested deeper than this are refused as an invalid format: reading, writing and freeing a tree recurse
// over its depth, and a damaged file must not overflow the stack. Nothing the library writes comes near.
constexpr int kMaxDepth = 1024;

[[noreturn]] void InvalidFormat() { throw TqvxInvalidXMLException(); }

// Where the attribute name="..." starts in text (0-based), or npos. Names compare by ASCII case rules: attribute
// names are identifiers, and a Turkish locale must not make "ID" and "id" differ.
size_t FindAttribute(const String& text, const String& name) {
  const String hay = L" " + rtl::UpperCase(text);
  const String needle = L" " + rtl::UpperCase(name) + L"=\"";
  const size_t at = hay.find(needle);
  return at;  // hay has one leading blank, so the match's blank sits just before the name in text
}

// Removes the attribute ld="0" (with the blank that separates it) from text; true when it was there.
bool RemoveUnloadMark(String& text) {
  const String upper = rtl::UpperCase(text);
  size_t from = 0;
  for (;;) {
    const size_t at = upper.find(L"LD=\"0\"", from);
    if (at == String::npos) return false;
    if (at == 0 || text[at - 1] == L' ') {
      size_t start = at;
      size_t end = at + 6;
      if (start > 0) {
        --start;  // the blank before it
      } else if (end < text.size() && text[end] == L' ') {
        ++end;
      }
      text.erase(start, end - start);
      return true;
    }
    from = at + 1;
  }
}

std::string ToAnsi(const String& s) { return rtl::StringToAnsi(s); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Escapes.

String qvxStrToXML(const String& s) {
  String result;
  result.reserve(s.size());
  qvxAppendStrToXML(result, s);
  return result;
}

void qvxAppendStrToXML(String& result, const String& s) {
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    const wchar_t c = s[i];
    switch (c) {
      case L'\0':
        result += L' ';
        break;
      case L'&':
        if (s.compare(i + 1, 5, L"quot;") == 0) {
          // Already an escape of a double quote.
          result += L"&#34;";
          i += 5;
          break;
        }
        [[fallthrough]];
      case L'\n':
      case L'\r':
      case L'"':
      case L'<':
      case L'>':
        result += L"&#" + rtl::IntToStr(static_cast<int>(c)) + L";";
        break;
      default:
        result += c;
    }
  }
}

String qvxXMLToStr(const String& s) {
  String result;
  result.reserve(s.size());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const wchar_t c = s[i];
    if (c != L'&' || i + 1 >= n) {
      result += c;
      ++i;
      continue;
    }
    if (n - i - 1 >= 3 && s[i + 1] == L'#') {
      const size_t semi = s.find(L';', i + 2);
      if (semi != String::npos) {
        const Integer code = rtl::StrToInt(s.substr(i + 2, semi - i - 2));
        result += static_cast<wchar_t>(code);
        i = semi + 1;
        continue;
      }
      // No ";" anywhere after: the text is taken as it stands.
      result += c;
      ++i;
      continue;
    }
    static const struct {
      const wchar_t* entity;
      wchar_t ch;
    } named[] = {{L"&quot;", L'"'}, {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}};
    bool done = false;
    for (const auto& e : named) {
      const size_t len = wcslen(e.entity);
      if (s.compare(i, len, e.entity) == 0) {
        result += e.ch;
        i += len;
        done = true;
        break;
      }
    }
    if (!done) {
      result += c;
      ++i;
    }
  }
  return result;
}

String qvxValueToXML(const rtl::Variant& value) {
  const rtl::Variant& v = value.Deref();
  switch (v.VarType() & rtl::varTypeMask) {
    case rtl::varSmallint:
    case rtl::varInteger:
    case rtl::varByte:
      return rtl::IntToStr(v.AsInteger());
    case rtl::varSingle:
    case rtl::varDouble:
    case rtl::varCurrency:
      return rtl::FloatToStr(v.AsDouble());
    case rtl::varDate:
      return rtl::DateToStr(v.AsDateTime());
    case rtl::varOleStr:
    case rtl::varVariant:
    case rtl::varString:
    case rtl::varUString:
      return qvxStrToXML(v.AsString());
    case rtl::varBoolean:
      return v.AsBoolean() ? L"1" : L"0";
    default:
      return String();
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Elements.

namespace {

// Free elements, threaded through their own first bytes; a spin lock, since elements are made on one thread at a
// time in practice and the lock is then never waited for.
struct TItemPool {
  static constexpr size_t kPerBlock = 256;
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  void* free = nullptr;

  void Lock() {
    while (busy.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  void Unlock() { busy.clear(std::memory_order_release); }
};

TItemPool& ItemPool() {
  // Never destroyed: elements of static documents may be freed after it would be.
  static TItemPool* pool = new TItemPool();
  return *pool;
}

constexpr size_t kItemSlot = (sizeof(TqvxXMLItem) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                             alignof(std::max_align_t);

}  // namespace

void* TqvxXMLItem::operator new(size_t size) {
  if (size != sizeof(TqvxXMLItem)) return ::operator new(size);
  TItemPool& pool = ItemPool();
  pool.Lock();
  if (!pool.free) {
    char* block = static_cast<char*>(std::malloc(kItemSlot * TItemPool::kPerBlock));
    if (!block) {
      pool.Unlock();
      throw std::bad_alloc();
    }
    for (size_t i = TItemPool::kPerBlock; i-- > 0;) {
      void* slot = block + i * kItemSlot;
      *static_cast<void**>(slot) = pool.free;
      pool.free = slot;
    }
  }
  void* slot = pool.free;
  pool.free = *static_cast<void**>(slot);
  // Freed slots are far apart once a large store was freed: the next one is fetched now, while this element is
  // filled, rather than waited for at the next element.
  if (pool.free) __builtin_prefetch(pool.free, 1);
  pool.Unlock();
  return slot;
}

void TqvxXMLItem::operator delete(void* p, size_t size) noexcept {
  if (!p) return;
  if (size != sizeof(TqvxXMLItem)) {
    ::operator delete(p);
    return;
  }
  TItemPool& pool = ItemPool();
  pool.Lock();
  *static_cast<void**>(p) = pool.free;
  pool.free = p;
  pool.Unlock();
}

TqvxXMLItem::TqvxXMLItem() = default;

TqvxXMLItem::TqvxXMLItem(const String& name) : name_(name) {}

TqvxXMLItem::~TqvxXMLItem() {
  Clear();
  if (parent_) parent_->RemoveChild(this);
}

void TqvxXMLItem::RemoveChild(TqvxXMLItem* item) {
  // The last child is the one most often taken (an element moved last, a list emptied from its end).
  auto it = std::find(items_.rbegin(), items_.rend(), item);
  if (it != items_.rend()) items_.erase(std::next(it).base());
}

void TqvxXMLItem::Clear() {
  if (!items_.empty() || items_.capacity() != 0) {
    // Children remove themselves from the list as they go; detach them first so that costs nothing.
    std::vector<TqvxXMLItem*> children = std::move(items_);
    items_ = std::vector<TqvxXMLItem*>();
    const size_t count = children.size();
    // The children lie apart in memory: a few children ahead are fetched while this one is freed (one child ahead
    // was too close to hide the wait). Only their addresses are used: a child is never read before its turn, since
    // freeing one may have freed another.
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < count && i < kAhead; ++i) __builtin_prefetch(children[i], 1);
    for (size_t i = 0; i < count; ++i) {
      if (i + kAhead < count) __builtin_prefetch(children[i + kAhead], 1);
      TqvxXMLItem* child = children[i];
      child->parent_ = nullptr;
      delete child;
    }
  }
  if (unloadable_) loaded_ = false;
}

TqvxXMLItem* TqvxXMLItem::Items(Integer index) const {
  if (index < 0 || index >= Count())
    throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return items_[index];
}

TqvxXMLItem* TqvxXMLItem::Add() {
  auto* item = new TqvxXMLItem();
  AddItem(item);
  return item;
}

TqvxXMLItem* TqvxXMLItem::Add(const String& name) {
  TqvxXMLItem* item = Add();
  item->name_ = name;
  return item;
}

void TqvxXMLItem::Reserve(Integer count) {
  if (count <= 0) return;
  items_.reserve(items_.size() + static_cast<size_t>(count));
}

void TqvxXMLItem::AddItem(TqvxXMLItem* item) {
  TqvxXMLItem* former = item->parent_;
  if (former == this) {
    RemoveChild(item);
    items_.push_back(item);
    return;
  }
  items_.push_back(item);
  if (former) former->RemoveChild(item);
  item->parent_ = this;
}

void TqvxXMLItem::InsertItem(Integer index, TqvxXMLItem* item) {
  AddItem(item);
  items_.pop_back();
  const Integer at = std::clamp<Integer>(index, 0, Count());
  items_.insert(items_.begin() + at, item);
}

Integer TqvxXMLItem::Find(const String& name) const {
  for (Integer i = 0; i < Count(); ++i)
    if (rtl::SameText(items_[i]->name_, name)) return i;
  return -1;
}

TqvxXMLItem* TqvxXMLItem::FindItem(const String& name) {
  const Integer i = Find(name);
  return i >= 0 ? items_[i] : Add(name);
}

Integer TqvxXMLItem::IndexOf(const TqvxXMLItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

TqvxXMLItem* TqvxXMLItem::Root() {
  TqvxXMLItem* item = this;
  while (item->parent_) item = item->parent_;
  return item;
}

Int64 TqvxXMLItem::Offset() const { return (static_cast<Int64>(hiOffset_) << 32) | loOffset_; }

void TqvxXMLItem::SetOffset(Int64 value) {
  hiOffset_ = static_cast<rtl::Byte>((value >> 32) & 0xFF);
  loOffset_ = static_cast<rtl::Cardinal>(value & 0xFFFFFFFF);
}

String TqvxXMLItem::Prop(const String& name) const {
  const size_t at = FindAttribute(text_, name);
  if (at == String::npos) return String();
  const size_t valueStart = at + name.size() + 2;
  const size_t close = text_.find(L'"', valueStart);
  if (close == String::npos) return String();
  return qvxXMLToStr(text_.substr(valueStart, close - valueStart));
}

bool TqvxXMLItem::PropExists(const String& name) const { return FindAttribute(text_, name) != String::npos; }

void TqvxXMLItem::SetProp(const String& name, const String& value) {
  size_t at = FindAttribute(text_, name);
  if (at != String::npos) {
    const size_t valueStart = at + name.size() + 2;
    const size_t close = text_.find(L'"', valueStart);
    const size_t end = close == String::npos ? text_.size() : close + 1;
    text_.erase(at, end - at);
  } else {
    at = text_.size();
  }
  String insert = name + L"=\"" + qvxStrToXML(value) + L"\"";
  if (at > 0 && text_[at - 1] != L' ') insert = L" " + insert;
  text_.insert(at, insert);
}

void TqvxXMLItem::DeleteProp(const String& name) {
  if (!PropExists(name)) return;
  SetProp(name, String());
  const size_t at = FindAttribute(text_, name);
  size_t end = at + name.size() + 3;  // name, "=" and the two quotes
  size_t start = at;
  if (end < text_.size()) {
    ++end;  // the separating blank after it
  } else if (start > 0 && text_[start - 1] == L' ') {
    --start;  // the last attribute: the blank before it would be left dangling
  }
  text_.erase(start, std::min(end, text_.size()) - start);
}

// ---------------------------------------------------------------------------------------------------------------
// Reader.

TqvxXMLReader::TqvxXMLReader(rtl::TStream& stream) : buffer_(kBufferSize), stream_(stream) {
  size_ = stream.Size();
  position_ = stream.Position();
}

TqvxXMLReader::~TqvxXMLReader() {
  try {
    stream_.SetPosition(position_);
  } catch (...) {
  }
}

void TqvxXMLReader::SetPosition(Int64 value) {
  position_ = value;
  stream_.SetPosition(value);
  bufPos_ = 0;
  bufEnd_ = 0;
}

bool TqvxXMLReader::ReadByte(unsigned char& b) {
  if (position_ >= size_) return false;
  if (bufPos_ >= bufEnd_) {
    bufEnd_ = stream_.Read(buffer_.data(), kBufferSize);
    bufPos_ = 0;
    if (bufEnd_ <= 0) {
      bufEnd_ = 0;
      return false;
    }
  }
  b = static_cast<unsigned char>(buffer_[bufPos_++]);
  ++position_;
  return true;
}

void TqvxXMLReader::ReadItem(String& name, String& text) {
  name.clear();
  text.clear();
  std::string tag;
  unsigned char b = 0;
  for (;;) {
    // Outside a tag: everything up to "<" is skipped.
    bool found = false;
    while (ReadByte(b)) {
      if (b == '<') {
        found = true;
        break;
      }
    }
    if (!found) return;
    tag.clear();
    tag.reserve(kBufferSize);
    bool complete = false;
    bool comment = false;
    while (ReadByte(b)) {
      if (b == '>') {
        complete = true;
        break;
      }
      if (b == '<') InvalidFormat();
      tag += static_cast<char>(b);
      if (tag.size() == 3 && tag == "!--") {
        comment = true;
        break;
      }
    }
    if (comment) {
      int dashes = 0;
      bool ended = false;
      while (ReadByte(b)) {
        if (b == '-' && dashes < 2) {
          ++dashes;
        } else if (b == '>' && dashes == 2) {
          ended = true;
          break;
        } else {
          dashes = 0;
        }
      }
      if (!ended) return;  // the data ended inside a comment: nothing more to read
      continue;
    }
    if (!complete) InvalidFormat();
    break;
  }
  if (!tag.empty() && tag.back() == ' ') tag.pop_back();
  const size_t blank = tag.find(' ');
  const std::string namePart = blank == std::string::npos ? tag : tag.substr(0, blank);
  name = rtl::AnsiToString(namePart);
  if (blank != std::string::npos) {
    const std::string rest = tag.substr(blank + 1);
    text = oldFormat_ ? rtl::AnsiToString(rest) : rtl::UTF8ToString(rest);
  }
}

void TqvxXMLReader::ReadHeader() {
  String name, text;
  ReadItem(name, text);
  if (!rtl::StartsStr(L"?xml", name)) InvalidFormat();
  String version;
  const size_t at = text.find(L"version=");
  if (at != String::npos && at + 9 <= text.size()) version = text.substr(at + 9, 3);
  oldFormat_ = version == L"1.0" && text.find(L"standalone=") == String::npos;
}

bool TqvxXMLReader::ReadElement(TqvxXMLItem* item, bool readChildren, String& tagName, int depth) {
  const Int64 start = position_;
  String name, text;
  ReadItem(name, text);
  tagName = name;
  const bool named = !item->Name().empty();
  if (!named) {
    item->SetName(name);
    item->SetText(text);
  }
  if (name.empty() || name[0] == L'/') return false;
  if (depth > kMaxDepth) InvalidFormat();

  bool empty = false;
  if (name.back() == L'/') {
    empty = true;
    if (!named) {
      String n = item->Name();
      n.pop_back();
      item->SetName(n);
    }
  } else if (!text.empty() && text.back() == L'/') {
    empty = true;
    if (!named) {
      String t = item->Text();
      t.pop_back();
      if (!t.empty() && t.back() == L' ') t.pop_back();
      item->SetText(t);
    }
  }
  if (empty) {
    // An unloadable element written without children still carries the mark; it must not stay in Text.
    String t = item->Text();
    if (RemoveUnloadMark(t)) item->SetText(t);
    return true;
  }

  String endName;
  for (;;) {
    auto child = std::make_unique<TqvxXMLItem>();
    if (!ReadElement(child.get(), readChildren, endName, depth + 1)) break;
    item->AddItem(child.release());
  }
  if (!endName.empty() && !rtl::SameText(endName, L"/" + item->Name())) InvalidFormat();

  String t = item->Text();
  if (RemoveUnloadMark(t)) {
    item->SetText(t);
    if (!readChildren && item->Count() > 0) {
      item->SetUnloadable(true);
      item->Clear();
      item->SetOffset(start);
    }
  }
  return true;
}

void TqvxXMLReader::ReadRootItem(TqvxXMLItem* item, bool readChildren) {
  String tagName;
  ReadElement(item, readChildren, tagName, 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Writer.

TqvxXMLWriter::TqvxXMLWriter(rtl::TStream& stream) : stream_(stream) {}

void TqvxXMLWriter::FlushBuffer() {
  if (!buffer_.empty()) stream_.WriteBuffer(buffer_.data(), static_cast<Integer>(buffer_.size()));
  buffer_.clear();
}

void TqvxXMLWriter::WriteLn(const std::string& s) {
  buffer_ += s;
  if (autoIndent_) buffer_ += "\r\n";
  if (buffer_.size() > static_cast<size_t>(kBufferSize)) FlushBuffer();
}

void TqvxXMLWriter::WriteHeader() { WriteLn("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"); }

void TqvxXMLWriter::WriteItem(TqvxXMLItem* item, int level) {
  std::string s;
  if (autoIndent_) s.assign(level, ' ');
  s += '<';
  s += ToAnsi(item->Name());
  const String& text = item->Text();
  if (!text.empty()) {
    if (text[0] != L' ') s += ' ';
    s += rtl::StringToUTF8(text);
  }
  if (item->Unloadable()) s += " ld=\"0\"";
  if (item->Count() > 0) {
    s += '>';
  } else if (item->Value().empty()) {
    s += "/>";
  } else {
    s += '>';
    s += rtl::StringToUTF8(item->Value());
    s += "</" + ToAnsi(item->Name()) + ">";
  }
  WriteLn(s);
}

void TqvxXMLWriter::WriteTree(TqvxXMLItem* item, int level) {
  const bool reload = item->Unloadable() && !item->Loaded() && tempStream_;
  if (reload) {
    // The temporary stream may be the very stream being written (a sub-tree moved out again).
    const bool same = tempStream_ == &stream_;
    const Int64 target = same ? stream_.Position() : 0;
    {
      TqvxXMLReader reader(*tempStream_);
      reader.SetPosition(item->Offset());
      reader.ReadRootItem(item, true);
    }
    if (same) stream_.SetPosition(target);
  }
  try {
    WriteItem(item, level);
    for (Integer i = 0; i < item->Count(); ++i) WriteTree(item->Items(i), level + 2);
    if (item->Count() > 0) {
      std::string s;
      if (autoIndent_) s.assign(level, ' ');
      WriteLn(s + "</" + ToAnsi(item->Name()) + ">");
    }
  } catch (...) {
    if (reload) item->Clear();
    throw;
  }
  if (reload) item->Clear();
}

void TqvxXMLWriter::WriteRootItem(TqvxXMLItem* item) {
  WriteTree(item, 0);
  FlushBuffer();
}

// ---------------------------------------------------------------------------------------------------------------
// Document.

TqvxXMLDocument::TqvxXMLDocument() : root_(std::make_unique<TqvxXMLItem>()) {}

TqvxXMLDocument::~TqvxXMLDocument() {
  try {
    DeleteTempFile();
  } catch (...) {
  }
}

void TqvxXMLDocument::DeleteTempFile() {
  tempStream_.reset();
  if (tempFileCreated_) {
    rtl::DeleteFile(tempFile_);
    tempFileCreated_ = false;
  }
  tempFile_.clear();
}

void TqvxXMLDocument::Clear() {
  root_->Clear();
  DeleteTempFile();
}

void TqvxXMLDocument::CreateTempFile() {
  String folder;
  if (!tempDir_.empty() && rtl::DirectoryExists(tempDir_)) folder = rtl::IncludeTrailingPathDelimiter(tempDir_);
  const String name = rtl::GetTempFileName(L"qv", folder);
  auto file = std::make_unique<rtl::TFileStream>(name, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
  // Elements still unloaded refer to offsets in the kept source; they stay valid when the source's bytes lead the
  // new file.
  if (tempStream_) {
    tempStream_->SetPosition(0);
    file->CopyFrom(*tempStream_, 0);
  }
  tempStream_ = std::move(file);
  tempFile_ = name;
  tempFileCreated_ = true;
}

void TqvxXMLDocument::LoadFromStream(rtl::TStream* stream, bool allowPartialLoading) {
  DeleteTempFile();
  root_->Clear();
  root_->SetOffset(0);
  std::unique_ptr<rtl::TStream> owned(allowPartialLoading ? stream : nullptr);
  TqvxXMLReader reader(*stream);
  reader.ReadHeader();
  oldVersion_ = reader.OldFormat();
  reader.ReadRootItem(root_.get(), !allowPartialLoading);
  if (allowPartialLoading) tempStream_ = std::move(owned);
}

void TqvxXMLDocument::SaveToStream(rtl::TStream& stream) {
  TqvxXMLWriter writer(stream);
  writer.SetAutoIndent(autoIndent_);
  writer.SetTempStream(tempStream_.get());
  writer.WriteHeader();
  writer.WriteRootItem(root_.get());
}

void TqvxXMLDocument::LoadFromFile(const String& fileName) {
  auto file = std::make_unique<rtl::TFileStream>(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(file.release(), true);
}

void TqvxXMLDocument::SaveToFile(const String& fileName) {
  const String tmp = fileName + L".tmp";
  {
    rtl::TFileStream file(tmp, rtl::fmCreate);
    SaveToStream(file);
  }
  DeleteTempFile();
  if (rtl::FileExists(fileName) && !rtl::DeleteFile(fileName))
    throw rtl::EInOutError(L"Cannot delete file " + fileName);
  if (!rtl::RenameFile(tmp, fileName)) throw rtl::EInOutError(L"Cannot rename file " + tmp + L" to " + fileName);
  LoadFromFile(fileName);
}

void TqvxXMLDocument::UnloadItem(TqvxXMLItem* item) {
  if (!item->Loaded() || !item->Unloadable()) return;
  if (!tempFileCreated_) CreateTempFile();
  const Int64 offset = tempStream_->Size();
  tempStream_->SetPosition(offset);
  {
    TqvxXMLWriter writer(*tempStream_);
    writer.SetTempStream(tempStream_.get());
    writer.WriteRootItem(item);
  }
  item->SetOffset(offset);
  item->Clear();
}

void TqvxXMLDocument::LoadItem(TqvxXMLItem* item) {
  if (!tempStream_ || !item->Unloadable() || item->Loaded()) return;
  {
    TqvxXMLReader reader(*tempStream_);
    reader.SetPosition(item->Offset());
    reader.ReadRootItem(item, true);
  }
  item->SetLoaded(true);
}
