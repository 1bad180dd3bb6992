#include "script/wz_xml.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"

using rtl::String;

namespace {

const int kBufferSize = 4096;
// Deeper documents are refused rather than allowed to exhaust the stack; the compiler never writes them.
const int kMaxDepth = 1024;
const char kDeclaration[] = "<?xml version=\"1.0\"?>";

[[noreturn]] void InvalidFormat() { throw rtl::Exception(L"Invalid file format"); }

bool IsSpecial(wchar_t c) { return c == L'"' || c == L'<' || c == L'>' || c == L'\r' || c == L'\n'; }

}  // namespace

String StrToXML(const String& s) {
  String result;
  result.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const wchar_t c = s[i];
    if (IsSpecial(c)) {
      result += L"&#" + rtl::IntToStr(static_cast<unsigned>(c)) + L";";
    } else if (c == L'&' && s.compare(i + 1, 5, L"quot;") == 0) {
      result += L"&#34;";
      i += 5;
    } else {
      result += c;
    }
  }
  return result;
}

String XMLToStr(const String& s) {
  String result;
  result.reserve(s.size());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    // The last character can start nothing.
    if (s[i] == L'&' && i + 1 < n) {
      if (s[i + 1] == L'#' && n - i >= 4) {
        const size_t semicolon = s.find(L';', i + 2);
        if (semicolon != String::npos) {
          const String digits = s.substr(i + 2, semicolon - i - 2);
          unsigned code = 0;
          bool valid = !digits.empty();
          for (wchar_t d : digits) {
            if (d < L'0' || d > L'9') {
              valid = false;
              break;
            }
            code = (code * 10 + (d - L'0')) & 0xFFFF;
          }
          if (!valid) throw rtl::EConvertError(L"'" + digits + L"' is not a valid integer value");
          result += static_cast<wchar_t>(code);
          i = semicolon + 1;
          continue;
        }
      } else if (s.compare(i + 1, 5, L"quot;") == 0) {
        result += L'"';
        i += 6;
        continue;
      }
    }
    result += s[i++];
  }
  return result;
}

// ---- TwzXMLItem

TwzXMLItem::~TwzXMLItem() {
  Clear();
  Detach();
}

void TwzXMLItem::Detach() {
  if (!parent_) return;
  auto& siblings = *parent_->items_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it != siblings.end()) siblings.erase(it);
  parent_ = nullptr;
}

TwzXMLItem* TwzXMLItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return (*items_)[index];
}

TwzXMLItem* TwzXMLItem::Add() {
  auto* item = new TwzXMLItem();
  AddItem(item);
  return item;
}

void TwzXMLItem::AddItem(TwzXMLItem* item) { InsertItem(Count(), item); }

void TwzXMLItem::InsertItem(int index, TwzXMLItem* item) {
  item->Detach();
  if (!items_) items_ = std::make_unique<std::vector<TwzXMLItem*>>();
  index = std::clamp(index, 0, Count());
  items_->insert(items_->begin() + index, item);
  item->parent_ = this;
}

int TwzXMLItem::Find(const String& name) const {
  for (int i = 0; i < Count(); ++i)
    if (rtl::SameText((*items_)[i]->name_, name)) return i;
  return -1;
}

TwzXMLItem* TwzXMLItem::FindItem(const String& name) {
  const int index = Find(name);
  if (index >= 0) return Items(index);
  TwzXMLItem* item = Add();
  item->name_ = name;
  return item;
}

int TwzXMLItem::IndexOf(const TwzXMLItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if ((*items_)[i] == item) return i;
  return -1;
}

TwzXMLItem* TwzXMLItem::Root() {
  TwzXMLItem* item = this;
  while (item->parent_) item = item->parent_;
  return item;
}

bool TwzXMLItem::LocateProp(const String& name, size_t& nameStart, size_t& valueStart, size_t& valueEnd) const {
  if (name.empty()) return false;
  // A blank is imagined before the first attribute.
  const String haystack = rtl::UpperCase(L" " + text_);
  const String needle = rtl::UpperCase(L" " + name + L"=\"");
  const size_t found = haystack.find(needle);
  if (found == String::npos) return false;
  nameStart = found;  // haystack index found + 1 is text index found
  valueStart = found + needle.size() - 1;
  valueEnd = text_.find(L'"', valueStart);
  if (valueEnd == String::npos) valueEnd = text_.size();
  return true;
}

String TwzXMLItem::Prop(const String& name) const {
  size_t nameStart, valueStart, valueEnd;
  if (!LocateProp(name, nameStart, valueStart, valueEnd)) return String();
  return XMLToStr(text_.substr(valueStart, valueEnd - valueStart));
}

bool TwzXMLItem::PropExists(const String& name) const {
  size_t nameStart, valueStart, valueEnd;
  return LocateProp(name, nameStart, valueStart, valueEnd);
}

void TwzXMLItem::SetProp(const String& name, const String& value) {
  size_t at = text_.size();
  size_t nameStart, valueStart, valueEnd;
  if (LocateProp(name, nameStart, valueStart, valueEnd)) {
    at = nameStart;
    text_.erase(nameStart, std::min(valueEnd + 1, text_.size()) - nameStart);
  }
  String attribute = name + L"=\"" + StrToXML(value) + L"\"";
  if (at > 0 && text_[at - 1] != L' ') attribute = L" " + attribute;
  text_.insert(at, attribute);
}

void TwzXMLItem::Clear() {
  if (!items_ || items_->empty()) return;
  // Without recursion, so that however deep a tree a script builds, freeing it cannot exhaust the stack: every
  // item is emptied of its children before it is deleted.
  std::vector<TwzXMLItem*> pending;
  pending.swap(*items_);
  while (!pending.empty()) {
    TwzXMLItem* item = pending.back();
    pending.pop_back();
    item->parent_ = nullptr;
    if (item->items_) {
      pending.insert(pending.end(), item->items_->begin(), item->items_->end());
      item->items_->clear();
    }
    delete item;
  }
}

void TwzXMLItem::Assign(const TwzXMLItem* source) {
  if (source == this) return;
  // Copy first (the source may be one of the children about to be freed), level by level without recursion.
  TwzXMLItem copy;
  if (source) {
    std::vector<std::pair<const TwzXMLItem*, TwzXMLItem*>> pending{{source, &copy}};
    while (!pending.empty()) {
      auto [from, to] = pending.back();
      pending.pop_back();
      to->name_ = from->name_;
      to->text_ = from->text_;
      to->data_ = from->data_;
      for (int i = 0; i < from->Count(); ++i) pending.emplace_back((*from->items_)[i], to->Add());
    }
  }
  Clear();
  if (!source) return;
  name_ = copy.name_;
  text_ = copy.text_;
  data_ = copy.data_;
  while (copy.Count() > 0) AddItem(copy.Items(0));
}

// ---- reader

TwzXMLReader::TwzXMLReader(rtl::TStream& stream) : stream_(stream), buffer_(kBufferSize) {
  startPosition_ = stream.Position();
}

TwzXMLReader::~TwzXMLReader() { stream_.SetPosition(startPosition_ + consumed_); }

bool TwzXMLReader::ReadByte(char& c) {
  if (bufIndex_ >= bufEnd_) {
    bufEnd_ = stream_.Read(buffer_.data(), kBufferSize);
    bufIndex_ = 0;
    if (bufEnd_ <= 0) {
      bufEnd_ = 0;
      return false;
    }
  }
  c = buffer_[bufIndex_++];
  ++consumed_;
  return true;
}

void TwzXMLReader::ReadTag(String& name, String& text) {
  enum { Outside, Inside, Comment } state = Outside;
  std::string content;
  int hyphens = 0;
  char c;
  bool ended = false;
  while (!ended) {
    if (!ReadByte(c)) {
      if (state == Inside) InvalidFormat();
      name.clear();
      text.clear();
      return;
    }
    switch (state) {
      case Outside:
        if (c == '<') state = Inside;
        break;
      case Inside:
        if (c == '>') {
          ended = true;
        } else if (c == '<') {
          InvalidFormat();
        } else {
          content += c;
          if (content.size() == 3 && content == "!--") {
            state = Comment;
            content.clear();
            hyphens = 0;
          }
        }
        break;
      case Comment:
        if (hyphens == 2) {
          if (c == '>') state = Outside;
          hyphens = 0;
        } else if (c == '-') {
          ++hyphens;
        } else {
          hyphens = 0;
        }
        break;
    }
  }
  if (!content.empty() && content.back() == ' ') content.pop_back();
  const size_t blank = content.find(' ');
  if (blank == std::string::npos) {
    name = rtl::AnsiToString(content);
    text.clear();
  } else {
    name = rtl::AnsiToString(content.substr(0, blank));
    text = rtl::UTF8ToString(content.substr(blank + 1));
  }
}

void TwzXMLReader::ReadHeader() {
  String name, text;
  ReadTag(name, text);
  if (!rtl::StartsText(L"?xml", name)) InvalidFormat();
}

bool TwzXMLReader::ReadItem(TwzXMLItem* item, int depth) {
  if (depth > kMaxDepth) InvalidFormat();
  String name, text;
  ReadTag(name, text);
  lastName_ = name;
  if (name.empty() || name[0] == L'/') return false;
  bool hasChildren = true;
  if (name.back() == L'/') {
    name.pop_back();
    hasChildren = false;
  } else if (!text.empty() && text.back() == L'/') {
    text.pop_back();
    hasChildren = false;
  }
  item->SetName(name);
  item->SetText(text);
  if (!hasChildren) return true;
  for (;;) {
    auto child = std::make_unique<TwzXMLItem>();
    if (!ReadItem(child.get(), depth + 1)) break;
    item->AddItem(child.release());
  }
  // The end of the stream closes whatever is still open.
  if (!lastName_.empty() && !rtl::SameText(lastName_, L"/" + name)) InvalidFormat();
  return true;
}

void TwzXMLReader::ReadRootItem(TwzXMLItem* item) { ReadItem(item, 0); }

// ---- writer

void TwzXMLWriter::WriteLine(const std::string& line, int level) {
  if (AutoIndent) buffer_.append(static_cast<size_t>(level), ' ');
  buffer_ += line;
  if (AutoIndent) buffer_ += "\r\n";
  if (buffer_.size() > kBufferSize) Flush();
}

void TwzXMLWriter::Flush() {
  if (buffer_.empty()) return;
  stream_.WriteBuffer(buffer_.data(), static_cast<rtl::Integer>(buffer_.size()));
  buffer_.clear();
}

void TwzXMLWriter::WriteHeader() { WriteLine(kDeclaration, 0); }

void TwzXMLWriter::WriteItem(const TwzXMLItem* item, int level) {
  // Depth first without recursion; an entry with a child index past the end writes the closing tag.
  struct Open {
    const TwzXMLItem* item;
    int level;
    int next;
  };
  std::vector<Open> open{{item, level, -1}};
  while (!open.empty()) {
    Open& top = open.back();
    const std::string name = rtl::StringToAnsi(top.item->Name());
    if (top.next < 0) {
      std::string attributes = rtl::StringToUTF8(top.item->Text());
      if (!attributes.empty() && attributes[0] != ' ') attributes.insert(attributes.begin(), ' ');
      const bool hasChildren = top.item->Count() > 0;
      WriteLine("<" + name + attributes + (hasChildren ? ">" : "/>"), top.level);
      if (!hasChildren) {
        open.pop_back();
        continue;
      }
      top.next = 0;
    }
    if (top.next < top.item->Count()) {
      const Open child{top.item->Items(top.next++), top.level + 2, -1};
      open.push_back(child);
    } else {
      WriteLine("</" + name + ">", top.level);
      open.pop_back();
    }
  }
}

void TwzXMLWriter::WriteRootItem(const TwzXMLItem* item) { WriteItem(item, 0); }

// ---- document

TwzXMLDocument::TwzXMLDocument() : root_(new TwzXMLItem()) {}

TwzXMLDocument::~TwzXMLDocument() { delete root_; }

void TwzXMLDocument::Clear() { root_->Clear(); }

void TwzXMLDocument::LoadFromStream(rtl::TStream& stream) {
  Clear();
  root_->SetName(String());
  root_->SetText(String());
  TwzXMLReader reader(stream);
  reader.ReadHeader();
  reader.ReadRootItem(root_);
}

void TwzXMLDocument::SaveToStream(rtl::TStream& stream) const {
  TwzXMLWriter writer(stream);
  writer.AutoIndent = AutoIndent;
  writer.WriteHeader();
  writer.WriteRootItem(root_);
  writer.Flush();
}

void TwzXMLDocument::LoadFromBytes(const std::string& bytes) {
  rtl::TBytesStream stream(std::vector<rtl::Byte>(bytes.begin(), bytes.end()));
  LoadFromStream(stream);
}

std::string TwzXMLDocument::SaveToBytes() const {
  rtl::TBytesStream stream;
  SaveToStream(stream);
  const auto& bytes = stream.Bytes();
  return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(stream.Size()));
}

void TwzXMLDocument::LoadFromFile(const String& fileName) {
  rtl::TFileStream stream(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(stream);
}

void TwzXMLDocument::SaveToFile(const String& fileName) const {
  rtl::TFileStream stream(fileName, rtl::fmCreate);
  SaveToStream(stream);
}
