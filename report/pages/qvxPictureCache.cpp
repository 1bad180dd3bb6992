#include "report/pages/qvxPictureCache.h"

#include <algorithm>

#include "platform/rtl/files.h"
#include "platform/vcl/picture.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxXML.h"

using rtl::Int64;
using rtl::Integer;
using rtl::String;

namespace {

// What is left to read before a set end, for Read to stop there.
Integer Capped(Int64 sz, Int64 position, Integer count) {
  if (sz == 0) return count;
  const Int64 left = sz - position;
  if (left <= 0) return 0;
  return left < count ? static_cast<Integer>(left) : count;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// Restores a segment's end when a picture reader is done with it, also when it raised.
class TEndGuard {
 public:
  explicit TEndGuard(rtl::TStream* segment) : segment_(segment) {}
  ~TEndGuard() { Set(segment_, 0); }
  static void Set(rtl::TStream* segment, Int64 value) {
    if (auto* m = dynamic_cast<TqvxMemoryStream*>(segment)) m->Sz = value;
    if (auto* f = dynamic_cast<TqvxFileStream*>(segment)) f->Sz = value;
  }

 private:
  rtl::TStream* segment_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Segment streams

Int64 TqvxMemoryStream::Seek(Int64 offset, rtl::TSeekOrigin origin) {
  if (Sz != 0 && offset == 0 && origin == rtl::soEnd) return Sz;
  return rtl::TMemoryStream::Seek(offset, origin);
}

Int64 TqvxMemoryStream::Size() { return Sz != 0 ? Sz : rtl::TMemoryStream::Size(); }

Integer TqvxMemoryStream::Read(void* buffer, Integer count) {
  return rtl::TMemoryStream::Read(buffer, Capped(Sz, position_, count));
}

Int64 TqvxFileStream::Seek(Int64 offset, rtl::TSeekOrigin origin) {
  if (Sz != 0 && offset == 0 && origin == rtl::soEnd) return Sz;
  return rtl::TFileStream::Seek(offset, origin);
}

Int64 TqvxFileStream::Size() {
  if (Sz != 0) return Sz;
  const Int64 position = rtl::TFileStream::Seek(0, rtl::soCurrent);
  const Int64 size = rtl::TFileStream::Seek(0, rtl::soEnd);
  rtl::TFileStream::Seek(position, rtl::soBeginning);
  return size;
}

Integer TqvxFileStream::Read(void* buffer, Integer count) {
  const Int64 position = Sz != 0 ? rtl::TFileStream::Seek(0, rtl::soCurrent) : 0;
  return rtl::TFileStream::Read(buffer, Capped(Sz, position, count));
}

// ---------------------------------------------------------------------------------------------------------------
// Items

TqvxCacheItem* TqvxCacheList::Add() {
  FItems.push_back(std::make_unique<TqvxCacheItem>());
  return FItems.back().get();
}

// ---------------------------------------------------------------------------------------------------------------
// The cache

TqvxPictureCache::TqvxPictureCache() : FTempFile(std::make_unique<rtl::TStringList>()) {}

TqvxPictureCache::~TqvxPictureCache() {
  try {
    Clear();
  } catch (...) {
  }
}

void TqvxPictureCache::SetTempDir(const String& value) {
  if (FCacheStreamList.empty()) FTempDir = value;
}

void TqvxPictureCache::SetUseFileCache(bool value) {
  if (FCacheStreamList.empty()) FUseFileCache = value;
}

void TqvxPictureCache::Clear() {
  // Every file goes, even when one of them cannot be deleted.
  FCacheStreamList.clear();
  for (Integer i = 0; i < FTempFile->Count(); ++i) rtl::DeleteFile(FTempFile->Strings(i));
  FTempFile->Clear();
  FItems.Clear();
}

void TqvxPictureCache::AddSegment() {
  if (!FUseFileCache) {
    FCacheStreamList.push_back(std::make_unique<TqvxMemoryStream>());
    return;
  }
  String folder;
  if (!FTempDir.empty() && rtl::DirectoryExists(FTempDir)) folder = FTempDir;
  const String name = rtl::GetTempFileName(L"qvPic", folder);
  // Recorded before it is opened, so that Clear deletes it whatever happens next.
  FTempFile->Add(name);
  std::unique_ptr<TqvxFileStream> file;
  try {
    file = std::make_unique<TqvxFileStream>(name, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
    FCacheStreamList.push_back(std::move(file));
  } catch (...) {
    rtl::DeleteFile(name);
    FTempFile->Delete(FTempFile->Count() - 1);
    throw;
  }
}

Integer TqvxPictureCache::CurrentSegment() {
  if (FCacheStreamList.empty() || FCacheStreamList.back()->Size() >= kSegmentLimit) AddSegment();
  return static_cast<Integer>(FCacheStreamList.size()) - 1;
}

void TqvxPictureCache::AddPicture(TqvxPictureView* picture) {
  vcl::TGraphic* graphic = picture->Picture()->Graphic();
  if (!graphic) {
    picture->SetImageIndex(0);
    return;
  }
  const Integer segment = CurrentSegment();
  rtl::TStream* stream = Segment(segment);
  const Int64 offset = stream->Size();
  stream->SetPosition(offset);
  graphic->SaveToStream(*stream);
  // The item exists only once its bytes are there: a graphic that cannot write itself leaves the cache as it was.
  TqvxCacheItem* item = FItems.Add();
  item->Segment = segment;
  item->Offset = offset;
  picture->SetImageIndex(FItems.Count());
}

void TqvxPictureCache::Extent(Integer index, rtl::TStream*& segment, Int64& offset, Int64& size) {
  const TqvxCacheItem* item = FItems.Get(index);
  segment = Segment(item->Segment);
  offset = item->Offset;
  if (index + 1 < FItems.Count() && FItems.Get(index + 1)->Segment == item->Segment)
    size = FItems.Get(index + 1)->Offset - offset;
  else
    size = segment->Size() - offset;
}

void TqvxPictureCache::GetPicture(TqvxPictureView* picture) {
  const Integer index = picture->ImageIndex();
  if (index <= 0 || index > FItems.Count() || FCacheStreamList.empty()) {
    picture->Picture()->Assign(nullptr);
    return;
  }
  rtl::TStream* segment = nullptr;
  Int64 offset = 0, size = 0;
  Extent(index - 1, segment, offset, size);
  if (size <= 0) {
    picture->Picture()->Assign(nullptr);
    return;
  }
  segment->SetPosition(offset);
  TEndGuard guard(segment);
  TEndGuard::Set(segment, offset + size);
  picture->LoadPictureFromStream(*segment, false);
}

std::vector<rtl::Byte> TqvxPictureCache::PictureBytes(Integer index) {
  if (index <= 0 || index > FItems.Count()) return {};
  rtl::TStream* segment = nullptr;
  Int64 offset = 0, size = 0;
  Extent(index - 1, segment, offset, size);
  std::vector<rtl::Byte> bytes(static_cast<size_t>(std::max<Int64>(size, 0)));
  segment->SetPosition(offset);
  if (!bytes.empty()) segment->ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return bytes;
}

void TqvxPictureCache::SaveToXML(TqvxXMLItem* item) {
  item->Clear();
  for (auto& segment : FCacheStreamList) segment->SetPosition(0);
  for (Integer i = 0; i < FItems.Count(); ++i) {
    rtl::TStream* segment = nullptr;
    Int64 offset = 0, size = 0;
    Extent(i, segment, offset, size);
    segment->SetPosition(offset);
    item->Add(L"item")->SetProp(L"stream", qvxStreamToString(*segment, size));
  }
}

void TqvxPictureCache::LoadFromXML(TqvxXMLItem* item) {
  Clear();
  for (Integer i = 0; i < item->Count(); ++i) {
    const std::vector<rtl::Byte> bytes = qvxHexToBytes(item->Items(i)->Prop(L"stream"));
    const Integer segment = CurrentSegment();
    rtl::TStream* stream = Segment(segment);
    const Int64 offset = stream->Size();
    stream->SetPosition(offset);
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    TqvxCacheItem* cached = FItems.Add();
    cached->Segment = segment;
    cached->Offset = offset;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Hexadecimal text

String qvxStreamToString(rtl::TStream& stream, Int64 size) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  String result;
  if (size <= 0) return result;
  result.reserve(static_cast<size_t>(size) * 2);
  rtl::Byte buffer[65536];
  while (size > 0) {
    const Integer n = static_cast<Integer>(std::min<Int64>(size, sizeof buffer));
    stream.ReadBuffer(buffer, n);
    for (Integer k = 0; k < n; ++k) {
      result += digits[buffer[k] >> 4];
      result += digits[buffer[k] & 15];
    }
    size -= n;
  }
  return result;
}

std::vector<rtl::Byte> qvxHexToBytes(const String& text) {
  std::vector<rtl::Byte> bytes(text.size() / 2, 0);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int hi = HexDigit(text[2 * i]);
    const int lo = HexDigit(text[2 * i + 1]);
    if (hi < 0 || lo < 0) break;
    bytes[i] = static_cast<rtl::Byte>(hi * 16 + lo);
  }
  return bytes;
}
