#pragma once
// The compound document container of the binary workbook (and of password-protected zipped ones): a small file
// system of sectors, chains and a directory. Every sector number, chain and size is checked against the file.
#include <cstdint>
#include <vector>

#include "platform/rtl/types.h"

namespace workbook {

class TCompoundFile {
 public:
  // Reads the header, the allocation tables and the directory; FailDamaged when they do not hold together.
  TCompoundFile(const std::vector<uint8_t>& bytes, const rtl::String& fileName);

  // Whether a stream of that name (compared without regard to ASCII case) sits anywhere in the directory.
  bool HasStream(const rtl::String& name) const;
  // The stream's bytes; false when there is no such stream.
  bool ReadStream(const rtl::String& name, std::vector<uint8_t>& out) const;

 private:
  struct TEntry {
    rtl::String name;
    uint8_t type = 0;  // 1 storage, 2 stream, 5 root
    uint32_t start = 0;
    uint64_t size = 0;
  };
  const TEntry* Find(const rtl::String& name) const;
  // Follows a chain of the given table from start, size bytes in sectors of sectorSize taken from source.
  void ReadChain(const std::vector<uint32_t>& table, uint32_t start, uint64_t size, uint32_t sectorSize,
                 const std::vector<uint8_t>& source, uint64_t sourceOffset, std::vector<uint8_t>& out) const;
  uint64_t SectorOffset(uint32_t sector) const { return (static_cast<uint64_t>(sector) + 1) << sectorShift_; }
  uint32_t SectorCount() const;

  const std::vector<uint8_t>& bytes_;
  rtl::String fileName_;
  uint32_t sectorShift_ = 9;
  uint32_t miniSectorShift_ = 6;
  uint32_t miniCutoff_ = 4096;
  std::vector<uint32_t> fat_, miniFat_;
  std::vector<uint8_t> miniStream_;
  std::vector<TEntry> entries_;
};

}  // namespace workbook
