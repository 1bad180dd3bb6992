#include "platform/vcl/pngreader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vcl {

const wchar_t* const gesInvalidImage = L"Cannot load image. Invalid or unexpected %s image format.";
const wchar_t* const gesCRCError = L"Cannot load image. CRC error found in %s file.";
const wchar_t* const gesDecompression = L"Cannot load image. Compression error found in %s file.";
const wchar_t* const gesExtraCompressedData = L"Cannot load image. Extra compressed data found in %s file.";
const wchar_t* const gesInvalidPalette = L"Cannot load image. Palette in %s file is invalid.";
const wchar_t* const gesInvalidColorFormat = L"Invalid color format in %s file.";
const wchar_t* const gesUnknownCriticalChunk = L"Cannot load PNG image. Unexpected but critical chunk detected.";
const wchar_t* const gesLZ77Error = L"LZ77 decompression error.";

const TPngPass PngAdam7[7] = {{0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
                              {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF}};

void PngMaskColumns(std::uint8_t mask, int& start, int& step) {
  for (const TPngPass& pass : PngAdam7)
    if (pass.Mask == mask) {
      start = pass.ColumnStart;
      step = pass.ColumnStep;
      return;
    }
  start = 0;
  step = 1;
}

rtl::String PngMessage(const wchar_t* format) {
  rtl::String s = format;
  size_t at = s.find(L"%s");
  if (at != rtl::String::npos) s.replace(at, 2, L"PNG");
  return s;
}

rtl::String PngNotSupported() { return L"Cannot load image. The compression scheme is not supported for PNG files."; }

int PngSamples(int colorType) {
  switch (colorType) {
    case 0:
    case 3:
      return 1;
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 0;
  }
}

bool PngValidDepth(int colorType, int bitDepth) {
  switch (colorType) {
    case 0:
      return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
      return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
      return bitDepth == 8 || bitDepth == 16;
    default:
      return false;
  }
}

int PngSourceBPP(int colorType, int bitDepth) {
  int bytes = PngSamples(colorType) * bitDepth / 8;
  return bytes < 1 ? 1 : bytes;
}

// ---- TLZ77Decoder ----

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset) : FFlushMode(flushMode), FAutoReset(autoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
  if (FInitialised) inflateEnd(&FStream);
}

void TLZ77Decoder::DecodeInit() {
  if (inflateInit(&FStream) < 0) throw EGraphicCompression(gesLZ77Error);
  FInitialised = true;
}

void TLZ77Decoder::Decode(const rtl::Byte*& source, rtl::Byte*& dest, unsigned packedSize, unsigned unpackedSize) {
  if (FAutoReset) FZLibResult = inflateReset(&FStream);
  if (FZLibResult != Z_OK) return;
  FStream.next_in = const_cast<Bytef*>(source);
  FStream.avail_in = packedSize;
  FStream.next_out = dest;
  FStream.avail_out = unpackedSize;
  FZLibResult = inflate(&FStream, FFlushMode);
  source = FStream.next_in;
  dest = FStream.next_out;
}

void TLZ77Decoder::DecodeEnd() {
  if (!FInitialised) return;
  FInitialised = false;
  if (inflateEnd(&FStream) < 0) throw EGraphicCompression(gesLZ77Error);
}

// ---- filters ----

void PngApplyFilter(int filter, rtl::Byte* row, const rtl::Byte* prior, size_t length, size_t bpp) {
  if (bpp > length) bpp = length;
  switch (filter) {
    case 1:
      for (size_t i = bpp; i < length; ++i) row[i] = static_cast<rtl::Byte>(row[i] + row[i - bpp]);
      break;
    case 2:
      for (size_t i = 0; i < length; ++i) row[i] = static_cast<rtl::Byte>(row[i] + prior[i]);
      break;
    case 3:
      for (size_t i = 0; i < bpp; ++i) row[i] = static_cast<rtl::Byte>(row[i] + (prior[i] >> 1));
      for (size_t i = bpp; i < length; ++i) row[i] = static_cast<rtl::Byte>(row[i] + ((row[i - bpp] + prior[i]) >> 1));
      break;
    case 4:
      // Left is 0 before the start, so the first pixel predicts from the row above.
      for (size_t i = 0; i < bpp; ++i) row[i] = static_cast<rtl::Byte>(row[i] + prior[i]);
      for (size_t i = bpp; i < length; ++i) {
        int a = row[i - bpp], b = prior[i], c = prior[i - bpp];
        int p = b - c, pc = a - c;
        int pa = p < 0 ? -p : p, pb = pc < 0 ? -pc : pc;
        pc = p + pc;
        if (pc < 0) pc = -pc;
        int predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        row[i] = static_cast<rtl::Byte>(row[i] + predictor);
      }
      break;
    default:  // 0 None, and unknown filters leave the row as read
      break;
  }
}

namespace {

constexpr std::uint32_t IHDR = PngChunkType("IHDR"), PLTE = PngChunkType("PLTE"), IDAT = PngChunkType("IDAT"),
                        IEND = PngChunkType("IEND"), gAMA = PngChunkType("gAMA"), bKGD = PngChunkType("bKGD"),
                        tRNS = PngChunkType("tRNS");
const rtl::Byte kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

std::uint32_t Be32(const rtl::Byte* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

[[noreturn]] void Invalid(const wchar_t* format) { throw rtl::EInvalidGraphic(PngMessage(format)); }
[[noreturn]] void EndsEarly() { throw rtl::EReadError(L"Stream read error"); }

// Chunk by chunk through a PNG in memory.
class TChunkWalker {
 public:
  TChunkWalker(const rtl::Byte* data, size_t size) : data_(data), size_(size) {}

  size_t Position() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos; }
  const TPngChunkHeader& Header() const { return header_; }
  bool Is(std::uint32_t type) const { return SamePngChunk(header_.ChunkType, type); }

  void CheckSignature() {
    if (size_ < 8 || std::memcmp(data_, kSignature, 8) != 0) Invalid(gesInvalidImage);
    pos_ = 8;
  }
  // Reads the next chunk's length and type and starts its CRC. A length past what is left ends the data early.
  void ReadHeader() {
    Need(8);
    header_.Length = Be32(data_ + pos_);
    header_.ChunkType = Be32(data_ + pos_ + 4);
    crc_ = static_cast<std::uint32_t>(crc32(0, data_ + pos_ + 4, 4));
    pos_ += 8;
    if (header_.Length > 0x7FFFFFFFu) Invalid(gesInvalidImage);
  }
  // The chunk's data, its CRC checked.
  const rtl::Byte* ReadDataAndCheckCRC() {
    Need(static_cast<size_t>(header_.Length) + 4);
    const rtl::Byte* body = data_ + pos_;
    if (header_.Length) crc_ = static_cast<std::uint32_t>(crc32(crc_, body, static_cast<uInt>(header_.Length)));
    std::uint32_t stored = Be32(body + header_.Length);
    pos_ += static_cast<size_t>(header_.Length) + 4;
    if (stored != crc_) Invalid(gesCRCError);
    return body;
  }
  void SkipData() {
    Need(static_cast<size_t>(header_.Length) + 4);
    pos_ += static_cast<size_t>(header_.Length) + 4;
  }

 private:
  void Need(size_t n) const {
    if (size_ - pos_ < n) EndsEarly();
  }
  const rtl::Byte* data_;
  size_t size_;
  size_t pos_ = 0;
  TPngChunkHeader header_;
  std::uint32_t crc_ = 0;
};

TPngHeader ParseHeader(const rtl::Byte* body) {
  TPngHeader h;
  h.Width = Be32(body);
  h.Height = Be32(body + 4);
  h.BitDepth = body[8];
  h.ColorType = body[9];
  h.Compression = body[10];
  h.Filter = body[11];
  h.Interlace = body[12];
  return h;
}

void ReadIHDR(TChunkWalker& walker, TPngHeader& header) {
  walker.ReadHeader();
  if (!walker.Is(IHDR) || walker.Header().Length != 13) Invalid(gesInvalidImage);
  header = ParseHeader(walker.ReadDataAndCheckCRC());
}

// The image data: rows inflated out of consecutive IDAT chunks.
class TIDATReader {
 public:
  TIDATReader(TChunkWalker& walker, TLZ77Decoder& decoder) : walker_(walker), decoder_(decoder) {}

  // Fills count bytes of dest. When the IDAT chunks run out first the rest of dest stays as it was.
  void ReadRow(rtl::Byte* dest, size_t count) {
    auto left = static_cast<unsigned>(count);
    while (left > 0) {
      if (srcLeft_ == 0 && !NextInput()) return;
      const rtl::Byte* before = src_;
      rtl::Byte* out = dest + (count - left);
      rtl::Byte* outBefore = out;
      decoder_.Decode(src_, out, srcLeft_, left);
      srcLeft_ -= static_cast<unsigned>(src_ - before);
      left -= static_cast<unsigned>(out - outBefore);
      int z = decoder_.ZLibResult();
      if (z != Z_OK && z != Z_STREAM_END) Invalid(gesDecompression);
      if (z == Z_STREAM_END && (left > 0 || srcLeft_ > 0)) Invalid(gesExtraCompressedData);
      if (z == Z_OK && src_ == before && out == outBefore) Invalid(gesDecompression);  // no progress: never loop
    }
  }

 private:
  // The next IDAT chunk with data becomes the input; false when the current chunk is no IDAT.
  bool NextInput() {
    while (walker_.Is(IDAT)) {
      std::uint32_t length = walker_.Header().Length;
      const rtl::Byte* body = walker_.ReadDataAndCheckCRC();
      walker_.ReadHeader();
      if (length > 0) {
        src_ = body;
        srcLeft_ = length;
        return true;
      }
    }
    return false;
  }

  TChunkWalker& walker_;
  TLZ77Decoder& decoder_;
  const rtl::Byte* src_ = nullptr;
  unsigned srcLeft_ = 0;
};

void LoadIDAT(TChunkWalker& walker, TLZ77Decoder& decoder, const TPngHeader& h, TPngSink& sink) {
  sink.BeginImage();
  const size_t bpp = static_cast<size_t>(PngSourceBPP(h.ColorType, h.BitDepth));
  const size_t samples = h.BitDepth == 16 ? bpp / 2 : (h.BitDepth == 8 ? bpp : 1);
  auto rowBytesFor = [&](std::uint64_t pixels) { return static_cast<size_t>((pixels * h.BitDepth + 7) / 8 * samples); };
  const size_t rowBytes = rowBytesFor(h.Width);
  std::vector<rtl::Byte> a(rowBytes + 1, 0), b(rowBytes + 1, 0);
  rtl::Byte* row = a.data();
  rtl::Byte* prior = b.data();
  TIDATReader reader(walker, decoder);
  const int height = static_cast<int>(h.Height);
  if (h.Interlace == 1) {
    for (int p = 0; p < 7; ++p) {
      const TPngPass& pass = PngAdam7[p];
      if (static_cast<std::uint32_t>(pass.ColumnStart) >= h.Width) continue;
      size_t bytes = rowBytesFor((h.Width + pass.ColumnStep - pass.ColumnStart - 1) / pass.ColumnStep);
      std::memset(prior, 0, bytes + 1);
      for (int y = pass.RowStart; y < height; y += pass.RowStep) {
        reader.ReadRow(row, bytes + 1);
        PngApplyFilter(row[0], row + 1, prior + 1, bytes, bpp);
        sink.Row(y, row + 1, pass.Mask, p == 6);
        std::swap(row, prior);
      }
    }
  } else {
    for (int y = 0; y < height; ++y) {
      reader.ReadRow(row, rowBytes + 1);
      PngApplyFilter(row[0], row + 1, prior + 1, rowBytes, bpp);
      sink.Row(y, row + 1, 0xFF, true);
      std::swap(row, prior);
    }
  }
  // What is left of the image data is checked, not decoded.
  while (walker.Is(IDAT)) {
    walker.ReadDataAndCheckCRC();
    walker.ReadHeader();
  }
}

}  // namespace

void ReadPngProperties(const rtl::Byte* data, size_t size, TPngHeader& header, bool& hasGamma, std::uint32_t& gamma) {
  TChunkWalker walker(data, size);
  walker.CheckSignature();
  ReadIHDR(walker, header);
  if (header.Width == 0 || header.Height == 0) Invalid(gesInvalidImage);
  hasGamma = false;
  gamma = 0;
  for (;;) {
    walker.ReadHeader();
    if (walker.Is(gAMA)) {
      const rtl::Byte* body = walker.ReadDataAndCheckCRC();
      if (walker.Header().Length < 4) Invalid(gesInvalidImage);
      hasGamma = true;
      gamma = Be32(body);
      return;
    }
    if (walker.Is(IEND)) return;
    walker.SkipData();
  }
}

size_t DecodePngInto(const rtl::Byte* data, size_t size, TPngSink& sink, std::uint64_t maxPixelBytes) {
  TPngHeader header;
  bool hasGamma;
  std::uint32_t gamma;
  ReadPngProperties(data, size, header, hasGamma, gamma);

  TChunkWalker walker(data, size);
  walker.Seek(8);
  ReadIHDR(walker, header);
  if (header.Compression != 0) throw rtl::EInvalidGraphic(PngNotSupported());
  if (!PngValidDepth(header.ColorType, header.BitDepth)) Invalid(gesInvalidColorFormat);
  // A picture larger than memory allows is refused before anything is allocated for it.
  constexpr std::uint32_t kMaxSide = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
  if (header.Width > kMaxSide || header.Height > kMaxSide ||
      std::uint64_t{header.Width} * header.Height > maxPixelBytes / 4)
    Invalid(gesInvalidImage);
  sink.Header(header);

  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  walker.ReadHeader();
  bool afterImage = false;
  for (;;) {
    if (walker.Is(IDAT) && !afterImage) {
      LoadIDAT(walker, decoder, header, sink);
      afterImage = true;  // the chunk after the image data is passed over like an unknown one
      continue;
    }
    if (!afterImage && walker.Is(PLTE)) {
      if (walker.Header().Length % 3 != 0) Invalid(gesInvalidPalette);
      const rtl::Byte* body = walker.ReadDataAndCheckCRC();
      sink.Palette(body, static_cast<int>(std::min<std::uint32_t>(walker.Header().Length / 3, 256)));
    } else if (!afterImage && walker.Is(gAMA)) {
      const rtl::Byte* body = walker.ReadDataAndCheckCRC();
      if (walker.Header().Length < 4) Invalid(gesInvalidImage);
      sink.Gamma(Be32(body));
    } else if (!afterImage && walker.Is(bKGD)) {
      const rtl::Byte* body = walker.ReadDataAndCheckCRC();
      sink.Background(body, walker.Header().Length);
    } else if (!afterImage && walker.Is(tRNS)) {
      const rtl::Byte* body = walker.ReadDataAndCheckCRC();
      sink.Transparency(body, walker.Header().Length);
    } else {
      if (walker.Is(IEND)) {
        walker.SkipData();
        break;
      }
      if ((walker.Header().ChunkType >> 24 & CHUNKMASK) == 0) Invalid(gesUnknownCriticalChunk);
      walker.SkipData();
    }
    afterImage = false;
    walker.ReadHeader();
  }
  decoder.DecodeEnd();
  return walker.Position();
}

}  // namespace vcl
