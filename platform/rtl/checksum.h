#pragma once
// CRC-32 (reflected, polynomial $EDB88320) and zlib streams held in memory.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/rtl/types.h"

namespace rtl {

using TBytes = std::vector<Byte>;

// The standard CRC-32 (initial $FFFFFFFF, final complement). Pass the previous result as crc to continue over
// another block; start with 0.
Cardinal CRC32(const void* data, size_t length, Cardinal crc = 0);
Cardinal CRC32(const TBytes& data);
// The 256-entry table, for code that runs the byte loop itself.
const Cardinal* CRC32Table();

// zlib format (header, deflate data, Adler-32 trailer). level -1 is zlib's default, 0..9 otherwise.
// ZCompress raises EZCompressionError; ZDecompress raises EZDecompressionError with zlib's message ("data error",
// "incorrect header check", "unexpected end of data" ...) and never returns a partial result.
TBytes ZCompress(const void* data, size_t length, int level = -1);
TBytes ZCompress(const TBytes& data, int level = -1);
// outEstimate is the first guess of the unpacked size (0: the input size rounded up to 256).
TBytes ZDecompress(const void* data, size_t length, size_t outEstimate = 0);
TBytes ZDecompress(const TBytes& data);
std::string ZCompressStr(const std::string& data, int level = -1);
std::string ZDecompressStr(const std::string& data);

}  // namespace rtl
