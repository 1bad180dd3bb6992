#include "skin/core/lvZLibEx.h"

#include <algorithm>

namespace lvZLibEx {

namespace {

constexpr size_t kBufferSize = 131072;
constexpr rtl::Integer kSkipChunk = 16384;

rtl::String ZText(int code) {
  const char* text = zError(code);
  rtl::String s;
  for (const char* p = text; p && *p; ++p) s += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  return s.empty() ? L"zlib error " + std::to_wstring(code) : s;
}

[[noreturn]] void InvalidOperation() { throw EZDecompressionError(Z_STREAM_ERROR, L"Invalid ZStream operation!"); }

}  // namespace

EZLibError::EZLibError(int code) : rtl::Exception(ZText(code)), code_(code) {}

int ZDecompressCheck(int code) {
  if (code < 0) throw EZDecompressionError(code);
  return code;
}

int InflateInit(z_stream& stream) { return inflateInit(&stream); }
int InflateInit2(z_stream& stream, int windowBits) { return inflateInit2(&stream, windowBits); }

TCustomZStream::TCustomZStream(rtl::TStream& source) : FStream(source), FBuffer(kBufferSize) {
  FStreamPos = source.Position();
}

TZDecompressionStream::TZDecompressionStream(rtl::TStream& source) : TCustomZStream(source) {
  ZDecompressCheck(InflateInit(FZStream));
}

TZDecompressionStream::TZDecompressionStream(rtl::TStream& source, int windowBits) : TCustomZStream(source) {
  ZDecompressCheck(InflateInit2(FZStream, windowBits));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZStream); }

rtl::Integer TZDecompressionStream::Read(void* buffer, rtl::Integer count) {
  if (count <= 0) return 0;
  FZStream.next_out = static_cast<Bytef*>(buffer);
  FZStream.avail_out = static_cast<uInt>(count);
  if (FStream.Position() != FStreamPos) FStream.SetPosition(FStreamPos);
  while (FZStream.avail_out > 0 && FLastResult != Z_STREAM_END) {
    if (FZStream.avail_in == 0) {
      rtl::Integer got = FStream.Read(FBuffer.data(), static_cast<rtl::Integer>(FBuffer.size()));
      if (got <= 0) return count - static_cast<rtl::Integer>(FZStream.avail_out);
      FZStream.next_in = FBuffer.data();
      FZStream.avail_in = static_cast<uInt>(got);
      FStreamPos = FStream.Position();
      OnProgress(this);
    }
    FLastResult = ZDecompressCheck(inflate(&FZStream, Z_NO_FLUSH));
    // A stream that wants a preset dictionary can never go on: inflate would answer the same for ever.
    if (FLastResult == Z_NEED_DICT) throw EZDecompressionError(Z_DATA_ERROR);
  }
  if (FLastResult == Z_STREAM_END && FZStream.avail_in > 0) {
    // The source's bytes after the zlib stream belong to whoever reads next.
    FStream.SetPosition(FStream.Position() - FZStream.avail_in);
    FStreamPos = FStream.Position();
    FZStream.avail_in = 0;
  }
  return count - static_cast<rtl::Integer>(FZStream.avail_out);
}

rtl::Integer TZDecompressionStream::Write(const void*, rtl::Integer) { InvalidOperation(); }

void TZDecompressionStream::Skip(rtl::Int64 count) {
  std::vector<char> scratch(static_cast<size_t>(kSkipChunk));
  while (count > 0) {
    rtl::Integer step = static_cast<rtl::Integer>(std::min<rtl::Int64>(count, kSkipChunk));
    rtl::Integer got = Read(scratch.data(), step);
    if (got <= 0) break;
    count -= got;
  }
}

rtl::Int64 TZDecompressionStream::Seek(rtl::Int64 offset, rtl::TSeekOrigin origin) {
  const rtl::Int64 produced = static_cast<rtl::Int64>(FZStream.total_out);
  if (offset == 0 && origin == rtl::soBeginning) {
    ZDecompressCheck(inflateReset(&FZStream));
    FZStream.next_in = FBuffer.data();
    FZStream.avail_in = 0;
    FLastResult = Z_OK;
    FStream.SetPosition(0);
    FStreamPos = 0;
  } else if (origin == rtl::soCurrent && offset >= 0) {
    Skip(offset);
  } else if (origin == rtl::soBeginning && offset > produced) {
    Skip(offset - produced);
  } else if (origin == rtl::soEnd && offset == 0) {
    std::vector<char> scratch(static_cast<size_t>(kSkipChunk));
    while (Read(scratch.data(), kSkipChunk) > 0) {
    }
  } else {
    InvalidOperation();
  }
  return static_cast<rtl::Int64>(FZStream.total_out);
}

}  // namespace lvZLibEx
