#include "report/model/qvxUnicodeUtils.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "platform/vcl/filer.h"

using rtl::Integer;
using rtl::String;

namespace {

[[noreturn]] void OutOfBounds() { throw rtl::Exception(L"Wide String Out of Bounds"); }

// A value of the old "UTF8" form holds the bytes of UTF-8 text as characters.
std::string CharsAsBytes(const String& s) {
  const bool bytes = std::all_of(s.begin(), s.end(), [](wchar_t c) { return c <= 0xFF; });
  if (!bytes) return rtl::StringToAnsi(s);
  std::string result;
  result.reserve(s.size());
  for (wchar_t c : s) result += static_cast<char>(c);
  return result;
}

}  // namespace

TqvxWideStrings::~TqvxWideStrings() { Clear(); }

String TqvxWideStrings::Get(Integer index) const {
  if (index < 0 || index >= Count()) return String();
  return FWideStringList[index]->WString;
}

const String& TqvxWideStrings::Line(Integer index) const { return FWideStringList[static_cast<size_t>(index)]->WString; }

rtl::TObject* TqvxWideStrings::GetObject(Integer index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FWideStringList[index]->Obj;
}

void TqvxWideStrings::PutObject(Integer index, rtl::TObject* object) {
  if (index < 0 || index >= Count()) return;
  FWideStringList[index]->Obj = object;
}

void TqvxWideStrings::Insert(Integer index, const String& s) {
  if (index >= 0 && index < Count()) {
    FWideStringList[index]->WString = s;
  } else if (index == Count()) {
    Add(s);
  } else {
    OutOfBounds();
  }
}

void TqvxWideStrings::Put(Integer index, const String& s) { Insert(index, s); }

Integer TqvxWideStrings::Add(const String& s) {
  FWideStringList.push_back(new TWString{s, nullptr});
  return Count() - 1;
}

Integer TqvxWideStrings::AddObject(const String& s, rtl::TObject* object) {
  const Integer i = Add(s);
  PutObject(i, object);
  return i;
}

void TqvxWideStrings::Delete(Integer index) {
  if (index < 0 || index >= Count()) Error(L"List index out of bounds (%d)", index);
  delete FWideStringList[index];
  FWideStringList.erase(FWideStringList.begin() + index);
}

void TqvxWideStrings::Clear() {
  for (TWString* record : FWideStringList) delete record;
  FWideStringList.clear();
}

Integer TqvxWideStrings::IndexOf(const String& s) const {
  for (Integer i = 0; i < Count(); ++i)
    if (FWideStringList[i]->WString == s) return i;
  return -1;
}

void TqvxWideStrings::Exchange(Integer index1, Integer index2) {
  if (index1 < 0 || index1 >= Count()) Error(L"List index out of bounds (%d)", index1);
  if (index2 < 0 || index2 >= Count()) Error(L"List index out of bounds (%d)", index2);
  std::swap(FWideStringList[index1], FWideStringList[index2]);
}

void TqvxWideStrings::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  if (curIndex < 0 || curIndex >= Count()) Error(L"List index out of bounds (%d)", curIndex);
  if (newIndex < 0 || newIndex >= Count()) Error(L"List index out of bounds (%d)", newIndex);
  TWString* record = FWideStringList[curIndex];
  FWideStringList.erase(FWideStringList.begin() + curIndex);
  FWideStringList.insert(FWideStringList.begin() + newIndex, record);
}

void TqvxWideStrings::AddStrings(const TqvxWideStrings& strings) {
  for (Integer i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

void TqvxWideStrings::Assign(const rtl::TPersistent* source) {
  if (auto* wide = dynamic_cast<const TqvxWideStrings*>(source)) {
    if (wide == this) return;
    Clear();
    AddStrings(*wide);
  } else if (auto* strings = dynamic_cast<const rtl::TStrings*>(source)) {
    Clear();
    for (Integer i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
  } else {
    rtl::TStrings::Assign(source);
  }
}

void TqvxWideStrings::AssignTo(rtl::TPersistent* dest) const {
  if (auto* wide = dynamic_cast<TqvxWideStrings*>(dest)) {
    wide->Assign(this);
  } else if (auto* strings = dynamic_cast<rtl::TStrings*>(dest)) {
    strings->BeginUpdate();
    try {
      strings->Clear();
      for (Integer i = 0; i < Count(); ++i) strings->AddObject(Get(i), GetObject(i));
    } catch (...) {
      strings->EndUpdate();
      throw;
    }
    strings->EndUpdate();
  } else {
    rtl::TStrings::AssignTo(dest);
  }
}

String TqvxWideStrings::GetTextStr() const {
  String result;
  GetTextInto(result);
  return result;
}

void TqvxWideStrings::GetTextInto(String& result) const {
  size_t total = 0;
  for (const TWString* record : FWideStringList) total += record->WString.size() + 2;
  result.clear();
  result.reserve(total);
  for (const TWString* record : FWideStringList) {
    result += record->WString;
    result += L"\r\n";
  }
}

void TqvxWideStrings::SetTextStr(const String& text) {
  // A text object's lines are replaced at every record it prints: the records of the old lines are filled again
  // in place, so that a text of the same shape costs no allocation.
  size_t used = 0;
  auto put = [&](size_t start, size_t length) {
    if (used < FWideStringList.size()) {
      TWString* record = FWideStringList[used];
      record->WString.assign(text, start, length);
      record->Obj = nullptr;
    } else {
      FWideStringList.push_back(new TWString{text.substr(start, length), nullptr});
    }
    ++used;
  };
  struct TTrim {
    std::vector<TWString*>& list;
    size_t& used;
    ~TTrim() {
      for (size_t k = used; k < list.size(); ++k) delete list[k];
      list.resize(std::min(used, list.size()));
    }
  } trim{FWideStringList, used};
  const size_t n = text.size();
  auto at = [&](size_t i) -> wchar_t { return i < n ? text[i] : L'\0'; };
  size_t i = 0;
  if (at(0) == L'\0') return;
  for (;;) {
    const size_t start = i;
    while (true) {
      const wchar_t c = at(i);
      if (c == L'\0' || c == L'\n' || c == L'\r' || c == WideLineSeparator) break;
      ++i;
    }
    put(start, i - start);
    if (at(i) == L'\r') ++i;
    if (at(i) == L'\n') ++i;
    if (at(i) == WideLineSeparator) ++i;
    if (at(i) == L'\0') break;
  }
}

void TqvxWideStrings::SaveToStream(rtl::TStream& stream, rtl::TTextEncoding) const {
  const String text = GetTextStr();
  if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<Integer>(text.size() * sizeof(wchar_t)));
}

void TqvxWideStrings::SaveToFile(const String& fileName, rtl::TTextEncoding encoding) const {
  rtl::TFileStream file(fileName, rtl::fmCreate);
  SaveToStream(file, encoding);
}

void TqvxWideStrings::LoadFromFile(const String& fileName) {
  rtl::TFileStream file(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(file);
}

void TqvxWideStrings::LoadFromStream(rtl::TStream& stream) {
  const rtl::Int64 start = stream.Position();
  const rtl::Int64 n = stream.Size() - start;
  if (n > 2) {
    rtl::Word mark = 0;
    stream.ReadBuffer(&mark, 2);
    if (mark == 0xFEFF) {
      String text(static_cast<size_t>((n - 2) / 2), L'\0');
      if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<Integer>(text.size() * sizeof(wchar_t)));
      // An odd last byte is not part of the text, but it is consumed.
      if ((n - 2) % 2) stream.Seek(1, rtl::soCurrent);
      SetTextStr(text);
      return;
    }
    stream.SetPosition(start);
  }
  const std::string bytes = n > 0 ? stream.ReadBytes(static_cast<Integer>(n)) : std::string();
  SetTextStr(rtl::AnsiToString(bytes));
}

void TqvxWideStrings::LoadFromWStream(rtl::TStream& stream) {
  const rtl::Int64 n = stream.Size() - stream.Position();
  String text(static_cast<size_t>(std::max<rtl::Int64>(n, 0) / 2), L'\0');
  if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<Integer>(text.size() * sizeof(wchar_t)));
  SetTextStr(text);
}

void TqvxWideStrings::ReadData(vcl::TReader& reader) {
  Clear();
  reader.ReadListBegin();
  while (!reader.EndOfList()) Add(reader.ReadString());
  reader.ReadListEnd();
}

void TqvxWideStrings::ReadDataWOld(vcl::TReader& reader) {
  Clear();
  reader.ReadListBegin();
  while (!reader.EndOfList()) Add(rtl::UTF8ToString(CharsAsBytes(reader.ReadString())));
  reader.ReadListEnd();
}

void TqvxWideStrings::ReadDataW(vcl::TReader& reader) {
  Clear();
  reader.ReadListBegin();
  while (!reader.EndOfList()) Add(reader.ReadWideString());
  reader.ReadListEnd();
}

void TqvxWideStrings::WriteDataW(vcl::TWriter& writer) const {
  writer.WriteListBegin();
  for (Integer i = 0; i < Count(); ++i) writer.WriteWideString(Get(i));
  writer.WriteListEnd();
}

void TqvxWideStrings::DefineProperties(vcl::TFiler* filer) {
  filer->DefineProperty(L"Strings", [this](vcl::TReader& r) { ReadData(r); }, nullptr, false);
  filer->DefineProperty(L"UTF8", [this](vcl::TReader& r) { ReadDataWOld(r); }, nullptr, false);
  filer->DefineProperty(
      L"UTF8W", [this](vcl::TReader& r) { ReadDataW(r); }, [this](vcl::TWriter& w) { WriteDataW(w); },
      Count() > 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Character sets.

unsigned CharSetToCodePage(unsigned charset) {
  switch (charset) {
    case DEFAULT_CHARSET:
      return GetACP();
    case MAC_CHARSET:
      return CP_MACCP;
    case OEM_CHARSET:
      return CP_OEMCP;
    default: {
      CHARSETINFO info{};
      if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(charset)), &info, TCI_SRCCHARSET))
        rtl::RaiseLastOSError();
      return info.ciACP;
    }
  }
}

String AnsiToUnicode(const std::string& s, unsigned charset, unsigned codePage) {
  if (codePage == 0) codePage = CharSetToCodePage(charset);
  if (s.empty()) return String();
  const int len = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (len <= 0) return String();
  String result(static_cast<size_t>(len), L'\0');
  MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), result.data(), len);
  return result;
}

std::string _UnicodeToAnsi(const String& s, unsigned charset, unsigned codePage) {
  if (codePage == 0) codePage = CharSetToCodePage(charset);
  if (s.empty()) return std::string();
  const int len =
      WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  if (len <= 0) return std::string();
  std::string result(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), result.data(), len, nullptr, nullptr);
  return result;
}

unsigned long GetLocalByCharSet(unsigned charset) {
  switch (charset) {
    case SHIFTJIS_CHARSET: return 0x0411;
    case HANGEUL_CHARSET: return 0x0412;
    case JOHAB_CHARSET: return 0x0812;
    case GB2312_CHARSET: return 0x0804;
    case CHINESEBIG5_CHARSET: return 0x0C04;
    case GREEK_CHARSET: return 0x0408;
    case TURKISH_CHARSET: return 0x041F;
    case VIETNAMESE_CHARSET: return 0x042A;
    case HEBREW_CHARSET: return 0x040D;
    case ARABIC_CHARSET: return 0x3401;
    case BALTIC_CHARSET: return 0x0425;
    case RUSSIAN_CHARSET: return 0x0419;
    case THAI_CHARSET: return 0x041E;
    case EASTEUROPE_CHARSET: return 0x0405;
    default: return GetThreadLocale();
  }
}
