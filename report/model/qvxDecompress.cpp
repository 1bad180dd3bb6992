#include "report/model/qvxDecompress.h"

#include <vector>

#include "platform/rtl/checksum.h"
#include "platform/rtl/exceptions.h"

using rtl::Byte;
using rtl::Int64;
using rtl::Integer;

namespace {

[[noreturn]] void NotPacked() { throw rtl::EZDecompressionError(L"incorrect header check"); }

Byte ReadByte(rtl::TStream& s) {
  Byte b = 0;
  if (s.Read(&b, 1) != 1) NotPacked();
  return b;
}

}  // namespace

void qvxDecompressStream(rtl::TStream& source, rtl::TStream& dest) {
  Byte head[4];
  if (source.Read(head, 4) != 4 || head[0] != 0x1F || head[1] != 0x8B || head[2] != 0x08) NotPacked();
  const Byte flags = head[3];
  Byte mtime[4];
  if (source.Read(mtime, 4) != 4) NotPacked();
  Byte extra[2];
  if (source.Read(extra, 2) != 2) NotPacked();
  if (flags & 0x08)
    while (ReadByte(source) != 0) {
    }
  // The deflate data without the gzip trailer, framed as a zlib stream whose Adler-32 is the modification time.
  const Int64 start = source.Position();
  const Int64 length = source.Size() - 8 - start;
  if (length < 0) NotPacked();
  std::vector<Byte> zlib;
  zlib.reserve(static_cast<size_t>(length) + 6);
  zlib.push_back(0x78);
  zlib.push_back(0xDA);
  zlib.resize(2 + static_cast<size_t>(length));
  if (length > 0) source.ReadBuffer(zlib.data() + 2, static_cast<Integer>(length));
  zlib.insert(zlib.end(), mtime, mtime + 4);
  const rtl::TBytes unpacked = rtl::ZDecompress(zlib.data(), zlib.size());
  if (!unpacked.empty()) dest.WriteBuffer(unpacked.data(), static_cast<Integer>(unpacked.size()));
}
