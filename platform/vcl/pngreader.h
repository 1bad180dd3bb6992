#pragma once
// The one PNG decoding core of the program. It walks the chunks of a PNG held in memory, verifies their CRCs,
// inflates the image data row by row out of the IDAT chunks, removes the row filters and hands each row, pass by
// pass for interlaced images, to a sink that turns it into pixels. Both picture classes that read PNG files are
// sinks of this core: the class library's own TPngImage and the skinning library's reader (which registers itself
// for ".png" on top of it).
//
// Everything read from the file is bounded before it is used: chunk lengths against the bytes that are there, the
// image's size against the memory a decoded picture may take (width x height x 4 bytes, computed without
// overflow), the inflated data against the rows the header announces. Damaged data raises EInvalidGraphic (or,
// for data that ends too early, the stream's EReadError), never reads past the block and never loops for ever.
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

namespace vcl {

// zlib's inflate failed to start or to end.
class EGraphicCompression : public rtl::EInvalidGraphic {
 public:
  using rtl::EInvalidGraphic::EInvalidGraphic;
  rtl::String ClassName() const override { return L"EGraphicCompression"; }
};

// A chunk type as its four letters read big-endian.
constexpr std::uint32_t PngChunkType(const char (&name)[5]) {
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 24) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 8) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[3]));
}
// Chunk types compare with bit 5 of every letter ignored ("idat" is IDAT).
constexpr bool SamePngChunk(std::uint32_t a, std::uint32_t b) { return ((a ^ b) & ~0x20202020u) == 0; }
// A chunk is critical when bit 5 of its first letter is clear.
constexpr std::uint32_t CHUNKMASK = 0x20;

struct TPngChunkHeader {
  std::uint32_t Length = 0;
  std::uint32_t ChunkType = 0;
};

struct TPngHeader {
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::uint8_t BitDepth = 0;
  std::uint8_t ColorType = 0;
  std::uint8_t Compression = 0;
  std::uint8_t Filter = 0;
  std::uint8_t Interlace = 0;
};

// Samples per pixel of a colour type (0 for an unknown one) and whether the depth is one the format allows.
int PngSamples(int colorType);
bool PngValidDepth(int colorType, int bitDepth);
// Bytes of one complete pixel of filtered data, at least 1 (the distance the row filters look back).
int PngSourceBPP(int colorType, int bitDepth);

// The messages of the reader; %s stands for the format's name ("PNG").
rtl::String PngMessage(const wchar_t* format);
extern const wchar_t* const gesInvalidImage;         // "Cannot load image. Invalid or unexpected %s image format."
extern const wchar_t* const gesCRCError;             // "Cannot load image. CRC error found in %s file."
extern const wchar_t* const gesDecompression;        // "Cannot load image. Compression error found in %s file."
extern const wchar_t* const gesExtraCompressedData;  // "Cannot load image. Extra compressed data found in %s file."
extern const wchar_t* const gesInvalidPalette;       // "Cannot load image. Palette in %s file is invalid."
extern const wchar_t* const gesInvalidColorFormat;   // "Invalid color format in %s file."
extern const wchar_t* const
    gesUnknownCriticalChunk;               // "Cannot load PNG image. Unexpected but critical chunk detected."
extern const wchar_t* const gesLZ77Error;  // "LZ77 decompression error."
rtl::String PngNotSupported();  // "Cannot load image. The compression scheme is not supported for PNG files."

// One zlib inflate stream.
class TLZ77Decoder {
 public:
  TLZ77Decoder(int flushMode, bool autoReset);
  ~TLZ77Decoder();
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;
  // inflateInit; raises EGraphicCompression when zlib refuses.
  void DecodeInit();
  // One inflate call (reset first when auto-resetting; nothing once a call answered other than 0). Moves source
  // and dest past what was consumed and produced.
  void Decode(const rtl::Byte*& source, rtl::Byte*& dest, unsigned packedSize, unsigned unpackedSize);
  // inflateEnd; raises EGraphicCompression when zlib refuses.
  void DecodeEnd();
  unsigned GetAvailableInput() const { return FStream.avail_in; }
  unsigned GetAvailableOutput() const { return FStream.avail_out; }
  int ZLibResult() const { return FZLibResult; }

 private:
  z_stream FStream{};
  int FFlushMode;
  bool FAutoReset;
  int FZLibResult = 0;
  bool FInitialised = false;
};

// What a reader does with the chunks and rows the core finds.
class TPngSink {
 public:
  virtual ~TPngSink() = default;
  // The header, checked: known colour type and depth, supported size, compression 0.
  virtual void Header(const TPngHeader& header) = 0;
  // PLTE (length a multiple of 3, at most 256 entries used): count R, G, B triples.
  virtual void Palette(const rtl::Byte* rgb, int count) = 0;
  // gAMA: the stored value (file gamma times 100000).
  virtual void Gamma(std::uint32_t value) {}
  // bKGD and tRNS, CRC-checked; the sink checks the length it needs.
  virtual void Background(const rtl::Byte* data, std::uint32_t length) {}
  virtual void Transparency(const rtl::Byte* data, std::uint32_t length) {}
  // The first IDAT chunk: the sink makes its picture ready for rows.
  virtual void BeginImage() = 0;
  // Image row y, unfiltered. For interlaced images the row holds only the pixels of the pass, whose columns are
  // the set bits of mask in every group of 8 columns (most significant bit first); mask $FF means every column.
  virtual void Row(int y, const rtl::Byte* data, std::uint8_t mask, bool lastPass) = 0;
};

// Decodes the PNG at the start of data into sink; returns the bytes up to and including the IEND chunk.
// maxPixelBytes bounds width x height x 4.
size_t DecodePngInto(const rtl::Byte* data, size_t size, TPngSink& sink,
                     std::uint64_t maxPixelBytes = std::uint64_t{1} << 30);

// The quick recognition of a PNG: signature, an IHDR whose CRC holds and a width and height that are not 0, and
// then the chunks up to the first gAMA (read and CRC-checked) or IEND. Raises the invalid-image message (or the
// stream's read error when the data ends first).
void ReadPngProperties(const rtl::Byte* data, size_t size, TPngHeader& header, bool& hasGamma, std::uint32_t& gamma);

// Removes the filter of one row in place (0 None, 1 Sub, 2 Up, 3 Average, 4 Paeth; any other leaves it).
void PngApplyFilter(int filter, rtl::Byte* row, const rtl::Byte* prior, size_t length, size_t bpp);

// The seven Adam7 passes.
struct TPngPass {
  int RowStart, ColumnStart, RowStep, ColumnStep;
  std::uint8_t Mask;
};
extern const TPngPass PngAdam7[7];
// The first column and the column step of a pass's mask ($FF: 0 and 1).
void PngMaskColumns(std::uint8_t mask, int& start, int& step);

}  // namespace vcl
