#pragma once
// The report library's own small XML dialect: templates, style sheets, variable lists, the interface string table
// and the prepared-pages store all keep their structure in it.
//
// It is not a general XML parser. An element keeps its attributes as one raw text (Text) in which attributes are
// found by text search; character content between tags is skipped on reading; only numeric escapes and the four
// named ones (&quot; &amp; &lt; &gt;) are decoded. Large trees stay out of memory: an Unloadable element can move
// its children to the document's temporary stream (UnloadItem) and back (LoadItem), and a document loaded with
// partial loading leaves the children of elements marked ld="0" in the source file until they are asked for.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

// Every syntax error of a report XML text.
class TqvxInvalidXMLException : public rtl::Exception {
public:
  TqvxInvalidXMLException() : rtl::Exception(L"Invalid file format") {}
  rtl::String ClassName() const override { return L"TqvxInvalidXMLException"; }
};

// Escapes a text for an attribute value.
rtl::String qvxStrToXML(const rtl::String& s);
// The same, appended to result.
void qvxAppendStrToXML(rtl::String& result, const rtl::String& s);
// Decodes the escapes of an attribute value; a numeric escape whose digits are no number raises EConvertError.
rtl::String qvxXMLToStr(const rtl::String& s);
// The attribute text of a variant: integers in decimal, floats and dates in the current locale, Booleans as 1/0,
// strings escaped; other types give an empty text.
rtl::String qvxValueToXML(const rtl::Variant& value);

class TqvxXMLItem {
public:
  TqvxXMLItem();
  explicit TqvxXMLItem(const rtl::String& name);
  // Frees the sub-tree and leaves the parent's child list.
  ~TqvxXMLItem();
  TqvxXMLItem(const TqvxXMLItem&) = delete;
  TqvxXMLItem& operator=(const TqvxXMLItem&) = delete;

  // A prepared report makes and frees elements by the hundred thousand, one per object per record, and the general
  // heap is slow at that: elements come from blocks of their own size and freed ones are used again. The blocks
  // stay for the process, so what is held follows the most elements alive at once, not how many were ever made.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size) noexcept;

  // Frees every child; an Unloadable element is then no longer Loaded.
  void Clear();
  rtl::Integer Count() const { return static_cast<rtl::Integer>(items_.size()); }
  // Raises EListError for an index outside the children.
  TqvxXMLItem* Items(rtl::Integer index) const;
  TqvxXMLItem* operator[](rtl::Integer index) const { return Items(index); }
  TqvxXMLItem* Add();
  // Room for count children, made at once rather than grown while they are added.
  void Reserve(rtl::Integer count);
  TqvxXMLItem* Add(const rtl::String& name);
  // Appends item as the last child, taking it from its former parent (so a child of this element moves last).
  void AddItem(TqvxXMLItem* item);
  void InsertItem(rtl::Integer index, TqvxXMLItem* item);
  // Child names compare ignoring ASCII case. Find gives -1 when there is none; FindItem appends a new child then.
  rtl::Integer Find(const rtl::String& name) const;
  TqvxXMLItem* FindItem(const rtl::String& name);
  rtl::Integer IndexOf(const TqvxXMLItem* item) const;
  TqvxXMLItem* Root();

  // Attributes in Text; names compare ignoring ASCII case.
  rtl::String Prop(const rtl::String& name) const;
  void SetProp(const rtl::String& name, const rtl::String& value);
  bool PropExists(const rtl::String& name) const;
  void DeleteProp(const rtl::String& name);

  const rtl::String& Name() const { return name_; }
  void SetName(const rtl::String& value) { name_ = value; }
  const rtl::String& Text() const { return text_; }
  void SetText(const rtl::String& value) { text_ = value; }
  void SetText(rtl::String&& value) { text_ = std::move(value); }
  // Hands the text over with its room, leaving the element's empty.
  rtl::String TakeText() {
    rtl::String text;
    text.swap(text_);
    return text;
  }
  const rtl::String& Value() const { return value_; }
  void SetValue(const rtl::String& value) { value_ = value; }
  TqvxXMLItem* Parent() const { return parent_; }
  bool Loaded() const { return loaded_; }
  void SetLoaded(bool value) { loaded_ = value; }
  bool Unloadable() const { return unloadable_; }
  void SetUnloadable(bool value) { unloadable_ = value; }
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }
  // Where the moved-out sub-tree starts in the temporary stream (40 bits).
  rtl::Int64 Offset() const;
  void SetOffset(rtl::Int64 value);
  rtl::Byte HiOffset() const { return hiOffset_; }
  rtl::Cardinal LoOffset() const { return loOffset_; }

  // Attached by an owner; not interpreted or stored here.
  void* Data = nullptr;

private:
  void RemoveChild(TqvxXMLItem* item);

  rtl::Byte hiOffset_ = 0;
  std::vector<TqvxXMLItem*> items_;
  bool loaded_ = true;
  rtl::Cardinal loOffset_ = 0;
  bool modified_ = false;
  rtl::String name_;
  TqvxXMLItem* parent_ = nullptr;
  rtl::String text_;
  bool unloadable_ = false;
  rtl::String value_;
};

// Reads tags one at a time through a 4096-byte buffer.
class TqvxXMLReader {
public:
  // Starts at the stream's position.
  explicit TqvxXMLReader(rtl::TStream& stream);
  // Leaves the stream just after the last byte consumed.
  ~TqvxXMLReader();
  TqvxXMLReader(const TqvxXMLReader&) = delete;
  TqvxXMLReader& operator=(const TqvxXMLReader&) = delete;

  void ReadHeader();
  // The next tag's name and attribute text; both empty at the end of the data.
  void ReadItem(rtl::String& name, rtl::String& text);
  // Reads item and its sub-tree. Without readChildren, an element marked ld="0" keeps only its offset.
  void ReadRootItem(TqvxXMLItem* item, bool readChildren = true);

  rtl::Int64 Position() const { return position_; }
  void SetPosition(rtl::Int64 value);
  rtl::Int64 Size() const { return size_; }
  bool OldFormat() const { return oldFormat_; }

private:
  bool ReadByte(unsigned char& b);
  // Reads one element; returns false when the tag read was an end tag or the end of the data (tagName tells).
  // An element more than 1024 levels below the one read first is an invalid format.
  bool ReadElement(TqvxXMLItem* item, bool readChildren, rtl::String& tagName, int depth);

  std::vector<char> buffer_;
  rtl::Integer bufPos_ = 0;
  rtl::Integer bufEnd_ = 0;
  rtl::Int64 position_ = 0;
  rtl::Int64 size_ = 0;
  rtl::TStream& stream_;
  bool oldFormat_ = false;
};

class TqvxXMLWriter {
public:
  explicit TqvxXMLWriter(rtl::TStream& stream);
  TqvxXMLWriter(const TqvxXMLWriter&) = delete;
  TqvxXMLWriter& operator=(const TqvxXMLWriter&) = delete;

  void WriteHeader();
  // One start tag or empty-element tag.
  void WriteItem(TqvxXMLItem* item, int level = 0);
  // The element and its sub-tree, then a flush.
  void WriteRootItem(TqvxXMLItem* item);
  void WriteLn(const std::string& s);
  void FlushBuffer();

  bool AutoIndent() const { return autoIndent_; }
  void SetAutoIndent(bool value) { autoIndent_ = value; }
  rtl::TStream* TempStream() const { return tempStream_; }
  void SetTempStream(rtl::TStream* value) { tempStream_ = value; }

private:
  void WriteTree(TqvxXMLItem* item, int level);

  bool autoIndent_ = false;
  std::string buffer_;
  rtl::TStream& stream_;
  rtl::TStream* tempStream_ = nullptr;
};

class TqvxXMLDocument {
public:
  TqvxXMLDocument();
  ~TqvxXMLDocument();
  TqvxXMLDocument(const TqvxXMLDocument&) = delete;
  TqvxXMLDocument& operator=(const TqvxXMLDocument&) = delete;

  // Empties the root (which keeps its Name and Text) and drops the temporary stream.
  void Clear();
  // With allowPartialLoading the document takes stream over (it becomes the TempStream and is freed by the
  // document); without, the caller keeps it. Either way the stream ends up after the last tag read.
  void LoadFromStream(rtl::TStream* stream, bool allowPartialLoading = false);
  void LoadFromStream(rtl::TStream& stream) { LoadFromStream(&stream, false); }
  void SaveToStream(rtl::TStream& stream);
  // Loads with partial loading; the document keeps the file open for reading.
  void LoadFromFile(const rtl::String& fileName);
  // Writes FileName.tmp, then replaces FileName with it and loads it again.
  void SaveToFile(const rtl::String& fileName);
  void LoadItem(TqvxXMLItem* item);
  void UnloadItem(TqvxXMLItem* item);

  TqvxXMLItem* Root() const { return root_.get(); }
  bool AutoIndent() const { return autoIndent_; }
  void SetAutoIndent(bool value) { autoIndent_ = value; }
  const rtl::String& TempDir() const { return tempDir_; }
  void SetTempDir(const rtl::String& value) { tempDir_ = value; }
  const rtl::String& TempFile() const { return tempFile_; }
  rtl::TStream* TempStream() const { return tempStream_.get(); }
  bool TempFileCreated() const { return tempFileCreated_; }
  bool OldVersion() const { return oldVersion_; }

private:
  void DeleteTempFile();
  void CreateTempFile();

  bool autoIndent_ = false;
  std::unique_ptr<TqvxXMLItem> root_;
  rtl::String tempDir_;
  rtl::String tempFile_;
  std::unique_ptr<rtl::TStream> tempStream_;
  bool tempFileCreated_ = false;
  bool oldVersion_ = false;
};
