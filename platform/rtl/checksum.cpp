#include "platform/rtl/checksum.h"

#include <zlib.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/textconv.h"

namespace rtl {

namespace {

struct Crc32Table {
  Cardinal entries[256];
  Crc32Table() {
    for (Cardinal i = 0; i < 256; ++i) {
      Cardinal c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      entries[i] = c;
    }
  }
};

const Crc32Table& Table() {
  static const Crc32Table table;
  return table;
}

String ZMessage(int code, const z_stream& zs) {
  if (zs.msg != nullptr) return UTF8ToString(zs.msg);
  switch (code) {
    case Z_NEED_DICT:
      return L"need dictionary";
    case Z_DATA_ERROR:
      return L"data error";
    case Z_MEM_ERROR:
      return L"insufficient memory";
    case Z_BUF_ERROR:
      return L"buffer error";
    case Z_STREAM_ERROR:
      return L"stream error";
    case Z_VERSION_ERROR:
      return L"incompatible version";
    default:
      return L"zlib error " + std::to_wstring(code);
  }
}

}  // namespace

const Cardinal* CRC32Table() { return Table().entries; }

Cardinal CRC32(const void* data, size_t length, Cardinal crc) {
  const Cardinal* t = Table().entries;
  const Byte* p = static_cast<const Byte*>(data);
  Cardinal c = ~crc;
  for (size_t i = 0; i < length; ++i) c = t[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return ~c;
}

Cardinal CRC32(const TBytes& data) { return CRC32(data.data(), data.size()); }

TBytes ZCompress(const void* data, size_t length, int level) {
  z_stream zs{};
  int rc = deflateInit(&zs, level);
  if (rc != Z_OK) throw EZCompressionError(ZMessage(rc, zs));
  TBytes out(deflateBound(&zs, static_cast<uLong>(length)));
  zs.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(data));
  zs.avail_in = static_cast<uInt>(length);
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  rc = deflate(&zs, Z_FINISH);
  size_t produced = zs.total_out;
  String message = rc == Z_STREAM_END ? String() : ZMessage(rc, zs);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw EZCompressionError(message);
  out.resize(produced);
  return out;
}

TBytes ZCompress(const TBytes& data, int level) { return ZCompress(data.data(), data.size(), level); }

TBytes ZDecompress(const void* data, size_t length, size_t outEstimate) {
  size_t estimate = (length + 255) & ~static_cast<size_t>(255);
  if (estimate == 0) estimate = 256;
  TBytes out(outEstimate != 0 ? outEstimate : estimate);
  z_stream zs{};
  int rc = inflateInit(&zs);
  if (rc != Z_OK) throw EZDecompressionError(ZMessage(rc, zs));
  zs.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(data));
  zs.avail_in = static_cast<uInt>(length);
  while (true) {
    if (zs.total_out >= out.size()) out.resize(out.size() + estimate);
    zs.next_out = out.data() + zs.total_out;
    zs.avail_out = static_cast<uInt>(out.size() - zs.total_out);
    rc = inflate(&zs, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) break;
    // Running out of input before the end of the stream is a truncated stream, not a reason to loop.
    if (rc == Z_BUF_ERROR && zs.avail_in == 0) {
      inflateEnd(&zs);
      throw EZDecompressionError(L"unexpected end of data");
    }
    if (rc < 0 && rc != Z_BUF_ERROR) {
      String message = ZMessage(rc, zs);
      inflateEnd(&zs);
      throw EZDecompressionError(message);
    }
    if (rc == Z_NEED_DICT) {
      inflateEnd(&zs);
      throw EZDecompressionError(ZMessage(rc, zs));
    }
  }
  out.resize(zs.total_out);
  inflateEnd(&zs);
  return out;
}

TBytes ZDecompress(const TBytes& data) { return ZDecompress(data.data(), data.size()); }

std::string ZCompressStr(const std::string& data, int level) {
  TBytes b = ZCompress(data.data(), data.size(), level);
  return std::string(b.begin(), b.end());
}

std::string ZDecompressStr(const std::string& data) {
  TBytes b = ZDecompress(data.data(), data.size());
  return std::string(b.begin(), b.end());
}

}  // namespace rtl
