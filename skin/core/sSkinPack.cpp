#include "skin/core/sSkinPack.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "skin/core/lvZLibEx.h"
#include "skin/core/sConst.h"

using rtl::String;

namespace {

constexpr char kSignature[4] = {'T', 'S', 'K', 'P'};
constexpr int kVersion = 1;
constexpr int kHeaderSize = 16;
constexpr rtl::Int64 kMinZlibStream = 8;  // two header bytes, an empty block, the Adler-32 trailer
constexpr rtl::Int64 kMinEntry = 4 + 1 + 4 + kMinZlibStream;
constexpr rtl::Integer kCopyChunk = 65536;

std::int32_t ReadInt32(const rtl::Byte* p) {
  std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                    (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  return static_cast<std::int32_t>(v);
}

[[noreturn]] void NotPacked(const String& detail) {
  throw ESkinError(L"Loaded data is not a packed Lumiskin file" + (detail.empty() ? String() : L" (" + detail + L")"));
}

[[noreturn]] void Damaged(const String& detail) { throw ESkinError(L"The packed skin is damaged: " + detail); }

// A read-only window of count bytes of a memory block, for the inflate stream to read one entry from.
class TSliceStream : public rtl::TStream {
 public:
  TSliceStream(const rtl::Byte* data, rtl::Int64 count) : data_(data), count_(count) {}
  rtl::Integer Read(void* buffer, rtl::Integer count) override {
    rtl::Int64 n = std::min<rtl::Int64>(count, count_ - position_);
    if (n <= 0) return 0;
    std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
    position_ += n;
    return static_cast<rtl::Integer>(n);
  }
  rtl::Integer Write(const void*, rtl::Integer) override { return 0; }
  rtl::Int64 Seek(rtl::Int64 offset, rtl::TSeekOrigin origin) override {
    rtl::Int64 base = origin == rtl::soBeginning ? 0 : origin == rtl::soCurrent ? position_ : count_;
    position_ = std::clamp<rtl::Int64>(base + offset, 0, count_);
    return position_;
  }
  rtl::Int64 Size() override { return count_; }

 private:
  const rtl::Byte* data_;
  rtl::Int64 count_;
  rtl::Int64 position_ = 0;
};

String EntryName(const rtl::Byte* p, int length) {
  return rtl::AnsiToString(std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(length)));
}

}  // namespace

TlvSkinConvertor::TlvSkinConvertor() = default;
TlvSkinConvertor::~TlvSkinConvertor() { Clear(); }

void TlvSkinConvertor::Clear() {
  Files.clear();
  Options.reset();
  PackedData.reset();
  ImageCount = 0;
}

TlvImageItem* TlvSkinConvertor::FindFile(const String& upperName) {
  for (TlvImageItem& f : Files)
    if (rtl::UpperCase(f.FileName) == upperName) return &f;
  return nullptr;
}

void LoadSkinFromFile(const String& fileName, std::unique_ptr<TlvSkinConvertor>& convertor, TsSkinManager* manager) {
  if (!rtl::FileExists(fileName)) return;
  if (convertor)
    convertor->Clear();
  else
    convertor = std::make_unique<TlvSkinConvertor>();
  rtl::Int64 size = rtl::FileSize(fileName);
  if (size > kMaxPackedSkinSize) NotPacked(L"the file is larger than " + rtl::IntToStr(kMaxPackedSkinSize) + L" bytes");
  convertor->PackedData = std::make_unique<rtl::TMemoryStream>();
  convertor->PackedData->LoadFromFile(fileName);
  ExtractPackedData(convertor, manager);
  convertor->PackedData.reset();
}

bool ExtractPackedData(std::unique_ptr<TlvSkinConvertor>& convertor, TsSkinManager*) {
  if (!convertor || !convertor->PackedData) NotPacked(String());
  rtl::TMemoryStream& packed = *convertor->PackedData;
  const rtl::Int64 size = packed.Size();
  const auto* data = static_cast<const rtl::Byte*>(packed.Memory());
  if (size < kHeaderSize) NotPacked(L"it has " + rtl::IntToStr(size) + L" bytes, fewer than a header");
  if (std::memcmp(data, kSignature, 4) != 0) NotPacked(String());
  const int version = data[4] | (data[5] << 8);
  const int headerSize = data[6] | (data[7] << 8);
  if (version != kVersion || headerSize != kHeaderSize)
    NotPacked(L"format version " + rtl::IntToStr(version) + L", header size " + rtl::IntToStr(headerSize));
  const rtl::Int64 count = ReadInt32(data + 8);
  const rtl::Int64 statedSize = ReadInt32(data + 12);
  if (statedSize != size)
    Damaged(L"its header gives " + rtl::IntToStr(statedSize) + L" bytes, the data has " + rtl::IntToStr(size));
  if (count < 1 || count > (size - kHeaderSize) / kMinEntry)
    Damaged(L"the entry count " + rtl::IntToStr(count) + L" does not fit " + rtl::IntToStr(size) + L" bytes");

  convertor->Options.reset();
  convertor->Files.clear();
  rtl::Int64 pos = kHeaderSize;
  rtl::Int64 total = 0;
  std::vector<char> chunk(static_cast<size_t>(kCopyChunk));
  for (rtl::Int64 e = 0; e < count; ++e) {
    const String which = L"entry " + rtl::IntToStr(e + 1) + L" of " + rtl::IntToStr(count);
    if (size - pos < 4) Damaged(which + L": its name length lies past the end");
    const rtl::Int64 nameLength = ReadInt32(data + pos);
    pos += 4;
    if (nameLength < 1 || nameLength > kMaxPackedNameLength || nameLength > size - pos)
      Damaged(which + L": the name length " + rtl::IntToStr(nameLength) + L" does not fit");
    if (std::memchr(data + pos, 0, static_cast<size_t>(nameLength))) Damaged(which + L": the name holds a zero byte");
    const String name = EntryName(data + pos, static_cast<int>(nameLength));
    pos += nameLength;
    if (size - pos < 4) Damaged(L"entry \"" + name + L"\": its data length lies past the end");
    const rtl::Int64 dataLength = ReadInt32(data + pos);
    pos += 4;
    if (dataLength < kMinZlibStream || dataLength > size - pos)
      Damaged(L"entry \"" + name + L"\": the data length " + rtl::IntToStr(dataLength) + L" does not fit");

    auto out = std::make_unique<rtl::TMemoryStream>();
    TSliceStream slice(data + pos, dataLength);
    try {
      lvZLibEx::TZDecompressionStream inflater(slice);
      while (true) {
        rtl::Integer got = inflater.Read(chunk.data(), kCopyChunk);
        if (got <= 0) break;
        if (out->Size() + got > kMaxPackedEntrySize || total + got > kMaxPackedSkinSize)
          Damaged(L"entry \"" + name + L"\" inflates past the size a skin may have");
        out->Write(chunk.data(), got);
        total += got;
      }
      if (!inflater.StreamEnded()) Damaged(L"entry \"" + name + L"\": its compressed data is cut short");
    } catch (const lvZLibEx::EZLibError& z) {
      Damaged(L"entry \"" + name + L"\": " + z.Message());
    }
    if (slice.Position() != dataLength)
      Damaged(L"entry \"" + name + L"\": its compressed data ends before its data length");
    pos += dataLength;
    packed.SetPosition(pos);

    out->SetPosition(0);
    if (rtl::SameText(name, L"Options.dat")) {
      convertor->Options = std::move(out);
    } else {
      TlvImageItem item;
      item.FileName = name;
      item.IsBitmap = rtl::SameText(rtl::ExtractFileExt(name), L".BMP");
      item.FileStream = std::move(out);
      convertor->Files.push_back(std::move(item));
    }
  }
  if (pos != size) Damaged(rtl::IntToStr(size - pos) + L" bytes follow the last entry");
  convertor->ImageCount = static_cast<int>(count - 1);
  return true;
}
