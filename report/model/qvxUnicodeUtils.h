#pragma once
// The report library's list of UTF-16 lines (text-object contents, the interface string values, wrapped lines of
// the text layout) and conversions between 8-bit text of a font character set and UTF-16.
#include <string>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"

namespace vcl {
class TFiler;
class TReader;
class TWriter;
}  // namespace vcl

inline constexpr wchar_t WideLineSeparator = 0x2028;
inline constexpr wchar_t NameValueSeparator = L'=';

struct TWString {
  rtl::String WString;
  rtl::TObject* Obj = nullptr;  // not owned; small integers cast to a reference are fine
};

// Lines with one object reference each. Differs from a plain string list where the stored forms ask it to:
//  - Insert (and Put) at an existing index replaces that line's text and keeps its object; only Insert at Count
//    appends. Anything else raises "Wide String Out of Bounds".
//  - Get, GetObject and PutObject outside the range answer ""/nil or do nothing.
//  - The text breaks lines at CR, LF, CR LF and U+2028 (a CR LF followed by U+2028 is one break) and ends at NUL.
//  - Streams: saving writes UTF-16LE without a byte-order mark; loading takes UTF-16LE only behind a byte-order
//    mark, else the ANSI code page. LoadFromWStream reads UTF-16LE without a mark.
//  - In form resources the lines are stored as "UTF8W"; the older "Strings" and "UTF8" forms are still read.
class TqvxWideStrings : public rtl::TStrings {
public:
  TqvxWideStrings() = default;
  ~TqvxWideStrings() override;
  TqvxWideStrings(const TqvxWideStrings&) = delete;
  TqvxWideStrings& operator=(const TqvxWideStrings&) = delete;
  rtl::String ClassName() const override { return L"TqvxWideStrings"; }

  void DefineProperties(vcl::TFiler* filer) override;
  void Assign(const rtl::TPersistent* source) override;

  rtl::Integer Count() const override { return static_cast<rtl::Integer>(FWideStringList.size()); }
  rtl::String Get(rtl::Integer index) const override;
  // Line index without a copy; index must be within Count.
  const rtl::String& Line(rtl::Integer index) const;
  void Put(rtl::Integer index, const rtl::String& s) override;
  rtl::TObject* GetObject(rtl::Integer index) const override;
  void PutObject(rtl::Integer index, rtl::TObject* object) override;
  void Insert(rtl::Integer index, const rtl::String& s) override;
  void Delete(rtl::Integer index) override;
  void Clear() override;
  rtl::Integer Add(const rtl::String& s) override;
  rtl::Integer AddObject(const rtl::String& s, rtl::TObject* object) override;
  void AddStrings(const TqvxWideStrings& strings);
  rtl::Integer IndexOf(const rtl::String& s) const override;
  void Exchange(rtl::Integer index1, rtl::Integer index2) override;
  void Move(rtl::Integer curIndex, rtl::Integer newIndex) override;

  rtl::String GetTextStr() const;
  // The text written into a string of the caller's, whose room is used again.
  void GetTextInto(rtl::String& result) const;
  void SetTextStr(const rtl::String& text);
  rtl::String Text() const { return GetTextStr(); }
  void SetText(const rtl::String& text) { SetTextStr(text); }

  // The encoding argument is ignored: the list's own stored form is UTF-16LE.
  void LoadFromStream(rtl::TStream& stream) override;
  void SaveToStream(rtl::TStream& stream, rtl::TTextEncoding encoding = rtl::tfDefault) const override;
  void LoadFromFile(const rtl::String& fileName) override;
  void SaveToFile(const rtl::String& fileName, rtl::TTextEncoding encoding = rtl::tfDefault) const override;
  void LoadFromWStream(rtl::TStream& stream);

  // The three form-resource readers and the writer.
  void ReadData(vcl::TReader& reader);
  void ReadDataW(vcl::TReader& reader);
  void ReadDataWOld(vcl::TReader& reader);
  void WriteDataW(vcl::TWriter& writer) const;

protected:
  void AssignTo(rtl::TPersistent* dest) const override;

private:
  std::vector<TWString*> FWideStringList;
};

// The code page of a font character set: DEFAULT_CHARSET the ANSI code page, MAC_CHARSET CP_MACCP, OEM_CHARSET
// CP_OEMCP, others through the system's table (an unknown one raises EOSError).
unsigned CharSetToCodePage(unsigned charset);
// codePage 0 means the character set's code page.
rtl::String AnsiToUnicode(const std::string& s, unsigned charset, unsigned codePage = 0);
std::string _UnicodeToAnsi(const rtl::String& s, unsigned charset, unsigned codePage = 0);
// The locale the library reads 8-bit text of a character set in; the thread's locale for the others.
unsigned long GetLocalByCharSet(unsigned charset);
