#pragma once
// Lists of text lines with attached objects: the abstract TStrings and the stored, sortable TStringList.
//
// Case rules: a list that ignores case (the default) compares with the ordinal rules (ASCII letters fold, nothing
// else), so that keys and identifiers such as "LINE" and "Line" match under a Turkish locale as well. Lists shown
// to users in sorted order set UseLocale, which compares with the user's locale (Turkish alphabetical order).
#include <functional>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/win.h"

namespace rtl {

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

// How lines are stored in a file or stream. tfDefault on saving is UTF-8 with a byte-order mark, whatever the list
// was read from: saving a list read from an ANSI file must not lose the characters its code page lacks.
enum TTextEncoding { tfDefault, tfUTF8, tfUTF8NoBOM, tfUTF16, tfAnsi };

using TStringsNotifyEvent = std::function<void(TObject* sender)>;

class TStrings : public TPersistent {
public:
  TStrings() = default;
  String ClassName() const override { return L"TStrings"; }

  // The storage, provided by descendants.
  virtual Integer Count() const = 0;
  virtual String Get(Integer index) const = 0;
  virtual void Put(Integer index, const String& s);
  virtual TObject* GetObject(Integer index) const { return nullptr; }
  virtual void PutObject(Integer index, TObject* object) {}
  virtual void Insert(Integer index, const String& s) = 0;
  virtual void Delete(Integer index) = 0;
  virtual void Clear() = 0;

  virtual Integer Add(const String& s);
  virtual Integer AddObject(const String& s, TObject* object);
  void InsertObject(Integer index, const String& s, TObject* object);
  void AddStrings(const TStrings& strings);
  void AddStrings(const std::vector<String>& strings);
  void Assign(const TPersistent* source) override;
  // Same lines, compared exactly.
  bool Equals(const TStrings& other) const;
  virtual void Exchange(Integer index1, Integer index2);
  virtual void Move(Integer curIndex, Integer newIndex);

  virtual Integer IndexOf(const String& s) const;
  Integer IndexOfName(const String& name) const;
  Integer IndexOfObject(const TObject* object) const;

  String Strings(Integer index) const { return Get(index); }
  void SetStrings(Integer index, const String& s) { Put(index, s); }
  String operator[](Integer index) const { return Get(index); }
  TObject* Objects(Integer index) const { return GetObject(index); }
  void SetObjects(Integer index, TObject* object) { PutObject(index, object); }

  // Name=Value lines. A line without the separator has an empty name and an empty value.
  String Names(Integer index) const;
  String ValueFromIndex(Integer index) const;
  void SetValueFromIndex(Integer index, const String& value);
  String Values(const String& name) const;
  // An empty value removes the line; otherwise the line is replaced or added.
  void SetValues(const String& name, const String& value);
  wchar_t NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(wchar_t c) { nameValueSeparator_ = c; }

  // Every line followed by LineBreak (CR LF by default). Setting splits at CR LF, LF or CR; a final line break
  // does not add an empty line.
  String Text() const;
  void SetText(const String& text);
  const String& LineBreak() const { return lineBreak_; }
  void SetLineBreak(const String& s) { lineBreak_ = s; }

  // Lines separated by Delimiter; a line holding a blank or control character (unless StrictDelimiter), the quote
  // or the delimiter is quoted with QuoteChar, quotes inside doubled. A single empty line is two quotes.
  String DelimitedText() const;
  void SetDelimitedText(const String& text);
  // DelimitedText with "," and '"', never strict.
  String CommaText() const;
  void SetCommaText(const String& text);
  wchar_t Delimiter() const { return delimiter_; }
  void SetDelimiter(wchar_t c) { delimiter_ = c; }
  wchar_t QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(wchar_t c) { quoteChar_ = c; }
  bool StrictDelimiter() const { return strictDelimiter_; }
  void SetStrictDelimiter(bool value) { strictDelimiter_ = value; }

  // Nested; OnChange and OnChanging fire once when the outermost EndUpdate is reached.
  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }

  // Reading detects a byte-order mark (UTF-8, UTF-16 LE or BE); without one the bytes are UTF-8 when they are
  // valid UTF-8, else the ANSI code page. The stream is read from its position to its end.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream, TTextEncoding encoding = tfDefault) const;
  virtual void LoadFromFile(const String& fileName);
  virtual void SaveToFile(const String& fileName, TTextEncoding encoding = tfDefault) const;
  // The encoding found by the last load (tfDefault before any).
  TTextEncoding Encoding() const { return encoding_; }

  std::vector<String> ToVector() const;

protected:
  // Negative, zero or positive; ordinal and ignoring ASCII case here, the list's own rule in TStringList.
  virtual int CompareStrings(const String& a, const String& b) const;
  virtual void SetUpdateState(bool updating) {}
  [[noreturn]] void Error(const String& message, Integer index) const;

private:
  String GetDelimited(wchar_t delimiter, wchar_t quote, bool strict) const;
  void SetDelimited(const String& text, wchar_t delimiter, wchar_t quote, bool strict);

  Integer updateCount_ = 0;
  wchar_t nameValueSeparator_ = L'=';
  wchar_t delimiter_ = L',';
  wchar_t quoteChar_ = L'"';
  bool strictDelimiter_ = false;
  String lineBreak_ = L"\r\n";
  TTextEncoding encoding_ = tfDefault;
};

class TStringList;
// Negative when line index1 sorts before line index2.
using TStringListSortCompare = std::function<int(TStringList& list, Integer index1, Integer index2)>;

class TStringList : public TStrings {
public:
  TStringList() = default;
  explicit TStringList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
  ~TStringList() override;
  String ClassName() const override { return L"TStringList"; }

  Integer Count() const override { return static_cast<Integer>(items_.size()); }
  String Get(Integer index) const override;
  void Put(Integer index, const String& s) override;
  TObject* GetObject(Integer index) const override;
  void PutObject(Integer index, TObject* object) override;
  // On a sorted list Insert raises EStringListError; Add places the line (Duplicates decides about equal ones).
  void Insert(Integer index, const String& s) override;
  void Delete(Integer index) override;
  void Clear() override;
  Integer Add(const String& s) override;
  Integer AddObject(const String& s, TObject* object) override;
  void Exchange(Integer index1, Integer index2) override;
  void Move(Integer curIndex, Integer newIndex) override;
  Integer IndexOf(const String& s) const override;
  void Assign(const TPersistent* source) override;

  // Binary search of a sorted list: true when found, with index the first equal line; otherwise index is where
  // the line would be inserted.
  bool Find(const String& s, Integer& index) const;
  void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  bool UseLocale() const { return useLocale_; }
  void SetUseLocale(bool value);
  // Deleting a line (or clearing, or destroying the list) frees its object.
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

  TStringsNotifyEvent OnChange;
  TStringsNotifyEvent OnChanging;

protected:
  int CompareStrings(const String& a, const String& b) const override;
  void SetUpdateState(bool updating) override;
  virtual void Changed();
  virtual void Changing();

private:
  struct Item {
    String text;
    TObject* object;
  };
  void InsertItem(Integer index, const String& s, TObject* object);
  void CheckIndex(Integer index) const;

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
  bool useLocale_ = false;
  bool ownsObjects_ = false;
};

}  // namespace rtl
