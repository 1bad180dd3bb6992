#pragma once
// The pictures of a prepared report, kept out of the page tree: a picture object that has a graphic stores the
// graphic's bytes once here and keeps only its 1-based ImageIndex; a rebuilt page loads the picture back by that
// index. The bytes live in segments, each a memory stream or (with UseFileCache) a temporary file "qvPic...", and
// travel in the prepared-report file as hexadecimal text.
#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

class TqvxPictureView;
class TqvxXMLItem;

// Segment streams. While Sz is not 0 the stream ends at Sz for whoever asks: seeking to 0 from the end and Size
// answer Sz (without moving), and reading stops there, so that a picture reader sees one picture of the segment.
class TqvxMemoryStream : public rtl::TMemoryStream {
 public:
  rtl::String ClassName() const override { return L"TqvxMemoryStream"; }
  rtl::Int64 Seek(rtl::Int64 offset, rtl::TSeekOrigin origin) override;
  rtl::Int64 Size() override;
  rtl::Integer Read(void* buffer, rtl::Integer count) override;

  rtl::Int64 Sz = 0;
};

class TqvxFileStream : public rtl::TFileStream {
 public:
  TqvxFileStream(const rtl::String& fileName, rtl::Word mode) : rtl::TFileStream(fileName, mode) {}
  rtl::String ClassName() const override { return L"TqvxFileStream"; }
  rtl::Int64 Seek(rtl::Int64 offset, rtl::TSeekOrigin origin) override;
  rtl::Int64 Size() override;
  rtl::Integer Read(void* buffer, rtl::Integer count) override;

  rtl::Int64 Sz = 0;
};

// Where one picture starts: its segment and the byte offset in it.
struct TqvxCacheItem {
  rtl::Integer Segment = 0;
  rtl::Int64 Offset = 0;
};

class TqvxCacheList : public rtl::TObject {
 public:
  rtl::String ClassName() const override { return L"TqvxCacheList"; }
  TqvxCacheItem* Add();
  void Clear() { FItems.clear(); }
  rtl::Integer Count() const { return static_cast<rtl::Integer>(FItems.size()); }
  TqvxCacheItem* Get(rtl::Integer index) const { return FItems.at(static_cast<size_t>(index)).get(); }

 private:
  std::vector<std::unique_ptr<TqvxCacheItem>> FItems;
};

class TqvxPictureCache : public rtl::TObject {
 public:
  TqvxPictureCache();
  // Clears (the segment files are deleted).
  ~TqvxPictureCache() override;
  rtl::String ClassName() const override { return L"TqvxPictureCache"; }

  // Frees every segment, deleting its temporary file, and every item.
  void Clear();
  // Stores the picture's graphic and sets its ImageIndex (0 and nothing stored when it has none).
  void AddPicture(TqvxPictureView* picture);
  // Loads the graphic of the picture's ImageIndex; an index outside the cache empties the picture.
  void GetPicture(TqvxPictureView* picture);
  // Writes every picture, in index order, as a child "item" of item with the attribute stream (hexadecimal).
  void SaveToXML(TqvxXMLItem* item);
  // Replaces the cache by the pictures under item: child k becomes picture k + 1.
  void LoadFromXML(TqvxXMLItem* item);

  rtl::Integer Count() const { return FItems.Count(); }
  // The bytes of picture index (1-based), as stored.
  std::vector<rtl::Byte> PictureBytes(rtl::Integer index);
  // Both take effect only while the cache has no segment.
  const rtl::String& TempDir() const { return FTempDir; }
  void SetTempDir(const rtl::String& value);
  bool UseFileCache() const { return FUseFileCache; }
  void SetUseFileCache(bool value);
  rtl::Integer SegmentCount() const { return static_cast<rtl::Integer>(FCacheStreamList.size()); }
  // With UseFileCache: the temporary file of each segment, in segment order.
  rtl::TStringList* TempFile() const { return FTempFile.get(); }

  // A new segment starts when the last one holds this many bytes or more, so offsets stay below 2 GB.
  static constexpr rtl::Int64 kSegmentLimit = 0x6AAAAAAA;

 private:
  // The segment the next picture goes to, started when needed.
  rtl::Integer CurrentSegment();
  void AddSegment();
  // Picture index - 1's extent in its segment.
  void Extent(rtl::Integer item, rtl::TStream*& segment, rtl::Int64& offset, rtl::Int64& size);
  rtl::TStream* Segment(rtl::Integer index) const { return FCacheStreamList[static_cast<size_t>(index)].get(); }

  TqvxCacheList FItems;
  std::vector<std::unique_ptr<rtl::TStream>> FCacheStreamList;
  std::unique_ptr<rtl::TStringList> FTempFile;
  rtl::String FTempDir;
  bool FUseFileCache = false;
};

// size bytes from the stream's position as 2 x size upper-case hexadecimal digits.
rtl::String qvxStreamToString(rtl::TStream& stream, rtl::Int64 size);
// The bytes of a hexadecimal text: length div 2 of them; from the first pair that is not two hexadecimal digits
// on, the bytes are 0.
std::vector<rtl::Byte> qvxHexToBytes(const rtl::String& text);
