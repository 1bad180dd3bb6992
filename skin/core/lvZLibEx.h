#pragma once
// A read-only stream that inflates a zlib stream (RFC 1950) read from another stream, forward only. Packed skins
// are taken apart through it.
#include <zlib.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/events.h"

namespace lvZLibEx {

// A zlib error; the message is zlib's text for the code.
class EZLibError : public rtl::Exception {
 public:
  explicit EZLibError(int code);
  EZLibError(int code, rtl::String message) : rtl::Exception(std::move(message)), code_(code) {}
  rtl::String ClassName() const override { return L"EZLibError"; }
  int ErrorCode() const { return code_; }

 private:
  int code_ = 0;
};

class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
  rtl::String ClassName() const override { return L"EZDecompressionError"; }
};

// zlib's inflateInit and inflateInit2 on a stream record; ZDecompressCheck raises for a negative result and
// passes any other through.
int InflateInit(z_stream& stream);
int InflateInit2(z_stream& stream, int windowBits);
int ZDecompressCheck(int code);

class TCustomZStream : public rtl::TStream {
 public:
  explicit TCustomZStream(rtl::TStream& source);
  rtl::String ClassName() const override { return L"TCustomZStream"; }
  // Called after each refill of the input buffer.
  vcl::TNotifyEvent OnProgress;

 protected:
  rtl::TStream& FStream;
  rtl::Int64 FStreamPos = 0;
  z_stream FZStream{};
  std::vector<Bytef> FBuffer;
};

class TZDecompressionStream : public TCustomZStream {
 public:
  // Inflates from source's current position; a zlib header is expected.
  explicit TZDecompressionStream(rtl::TStream& source);
  // The same with a window-bits value for inflateInit2.
  TZDecompressionStream(rtl::TStream& source, int windowBits);
  ~TZDecompressionStream() override;
  TZDecompressionStream(const TZDecompressionStream&) = delete;
  TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;
  rtl::String ClassName() const override { return L"TZDecompressionStream"; }

  // Up to count inflated bytes; fewer when the zlib stream or the source ends.
  rtl::Integer Read(void* buffer, rtl::Integer count) override;
  // Always raises EZDecompressionError "Invalid ZStream operation!".
  rtl::Integer Write(const void* buffer, rtl::Integer count) override;
  // (0, from the beginning) restarts; forward positioning skips; (0, from the end) reads to the end. Anything else
  // raises. Answers the number of bytes inflated so far.
  rtl::Int64 Seek(rtl::Int64 offset, rtl::TSeekOrigin origin) override;
  rtl::Int64 Size() override { return -1; }

  // True once the zlib stream's end has been read.
  bool StreamEnded() const { return FLastResult == Z_STREAM_END; }

 private:
  void Skip(rtl::Int64 count);
  int FLastResult = Z_OK;
};

}  // namespace lvZLibEx
