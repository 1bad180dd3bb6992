#pragma once
// The script engine's own small XML tree: grammars, intermediate code and saved compiled programs. Elements have
// a name, one raw attribute text and child elements; character data between tags is not kept.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"

// Escapes double quotes, '<', '>', CR and LF as decimal references ("&#34;"); "&quot;" becomes "&#34;" too.
rtl::String StrToXML(const rtl::String& s);
// Decimal references and "&quot;" back to characters. A reference with non-digits before its ';' raises the
// platform's conversion error; one without a ';' is left as it stands.
rtl::String XMLToStr(const rtl::String& s);

class TwzXMLItem : public rtl::TObject {
public:
  TwzXMLItem() = default;
  // Frees the children and leaves the parent's child list.
  ~TwzXMLItem() override;
  rtl::String ClassName() const override { return L"TwzXMLItem"; }

  int Count() const { return items_ ? static_cast<int>(items_->size()) : 0; }
  // Raises the platform's list index error outside 0 .. Count - 1.
  TwzXMLItem* Items(int index) const;
  TwzXMLItem* operator[](int index) const { return Items(index); }

  TwzXMLItem* Add();
  // Moves item here (out of its former parent's children).
  void AddItem(TwzXMLItem* item);
  void InsertItem(int index, TwzXMLItem* item);
  // Index of the first child named name (ignoring case), or -1.
  int Find(const rtl::String& name) const;
  // That child; a missing one is created, so the lookup never fails.
  TwzXMLItem* FindItem(const rtl::String& name);
  int IndexOf(const TwzXMLItem* item) const;
  TwzXMLItem* Root();

  // Attributes inside Text, by name ignoring case; values are unescaped on reading and escaped on writing.
  rtl::String Prop(const rtl::String& name) const;
  void SetProp(const rtl::String& name, const rtl::String& value);
  bool PropExists(const rtl::String& name) const;

  void Clear();
  // Copies name, text, data and the whole subtree of source; nullptr only clears.
  void Assign(const TwzXMLItem* source);

  const rtl::String& Name() const { return name_; }
  void SetName(const rtl::String& value) { name_ = value; }
  const rtl::String& Text() const { return text_; }
  void SetText(const rtl::String& value) { text_ = value; }
  std::intptr_t Data() const { return data_; }
  void SetData(std::intptr_t value) { data_ = value; }
  TwzXMLItem* Parent() const { return parent_; }

private:
  void Detach();
  // Position of the attribute's name in text_ (0-based) and of its value; false when absent.
  bool LocateProp(const rtl::String& name, size_t& nameStart, size_t& valueStart, size_t& valueEnd) const;

  std::unique_ptr<std::vector<TwzXMLItem*>> items_;
  TwzXMLItem* parent_ = nullptr;
  rtl::String name_;
  rtl::String text_;
  std::intptr_t data_ = 0;
};

// One load. Reads through a 4096-byte buffer; when destroyed it puts the stream right after the last byte used.
// Elements nested more than 1024 deep are refused as an invalid format: nothing the engine writes comes near, and
// whoever walks a loaded tree recursively stays safe.
class TwzXMLReader {
public:
  explicit TwzXMLReader(rtl::TStream& stream);
  ~TwzXMLReader();
  TwzXMLReader(const TwzXMLReader&) = delete;
  TwzXMLReader& operator=(const TwzXMLReader&) = delete;

  // Raises "Invalid file format" unless the first tag is an XML declaration.
  void ReadHeader();
  // Reads one element with its subtree into item.
  void ReadRootItem(TwzXMLItem* item);

private:
  bool ReadByte(char& c);
  // One tag into name and text; both empty at the end of the stream.
  void ReadTag(rtl::String& name, rtl::String& text);
  // False when the tag read was an end marker (a closing tag or the end of the stream).
  bool ReadItem(TwzXMLItem* item, int depth);

  rtl::TStream& stream_;
  std::vector<char> buffer_;
  int bufIndex_ = 0;
  int bufEnd_ = 0;
  std::int64_t startPosition_ = 0;
  std::int64_t consumed_ = 0;
  rtl::String lastName_;
};

// One save.
class TwzXMLWriter {
public:
  explicit TwzXMLWriter(rtl::TStream& stream) : stream_(stream) {}
  bool AutoIndent = false;
  void WriteHeader();
  void WriteRootItem(const TwzXMLItem* item);
  void Flush();

private:
  void WriteLine(const std::string& line, int level);
  void WriteItem(const TwzXMLItem* item, int level);

  rtl::TStream& stream_;
  std::string buffer_;
};

class TwzXMLDocument : public rtl::TObject {
public:
  TwzXMLDocument();
  ~TwzXMLDocument() override;
  rtl::String ClassName() const override { return L"TwzXMLDocument"; }

  bool AutoIndent = false;
  TwzXMLItem* Root() const { return root_; }

  // Frees the root's children.
  void Clear();
  void LoadFromStream(rtl::TStream& stream);
  void SaveToStream(rtl::TStream& stream) const;
  // The document as its bytes, and back; what the compiler uses for intermediate code in memory.
  void LoadFromBytes(const std::string& bytes);
  std::string SaveToBytes() const;
  // Opened for reading with writers denied; saving creates or truncates the file.
  void LoadFromFile(const rtl::String& fileName);
  void SaveToFile(const rtl::String& fileName) const;

private:
  TwzXMLItem* root_;
};
