#include "platform/workbook/compound.h"

#include <cstring>

#include "platform/workbook/reader.h"

namespace workbook {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t U64(const uint8_t* p) { return U32(p) | (static_cast<uint64_t>(U32(p + 4)) << 32); }

bool SameAscii(const rtl::String& a, const rtl::String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x += 32;
    if (y >= L'A' && y <= L'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

}  // namespace

uint32_t TCompoundFile::SectorCount() const {
  uint64_t sectorSize = 1ull << sectorShift_;
  return bytes_.size() <= sectorSize ? 0 : static_cast<uint32_t>((bytes_.size() - sectorSize) / sectorSize);
}

TCompoundFile::TCompoundFile(const std::vector<uint8_t>& bytes, const rtl::String& fileName)
    : bytes_(bytes), fileName_(fileName) {
  if (bytes.size() < 512) FailDamaged(fileName, L"bileşik belge başlığı eksik");
  const uint8_t* h = bytes.data();
  sectorShift_ = U16(h + 30);
  miniSectorShift_ = U16(h + 32);
  if ((sectorShift_ != 9 && sectorShift_ != 12) || miniSectorShift_ != 6 || U16(h + 28) != 0xFFFE)
    FailDamaged(fileName, L"bileşik belge başlığı geçersiz");
  const uint32_t sectorSize = 1u << sectorShift_;
  const uint32_t fatSectors = U32(h + 44);
  const uint32_t firstDir = U32(h + 48);
  miniCutoff_ = U32(h + 56);
  const uint32_t firstMiniFat = U32(h + 60);
  const uint32_t miniFatSectors = U32(h + 64);
  uint32_t difatSector = U32(h + 68);
  const uint32_t difatSectors = U32(h + 72);
  const uint32_t total = SectorCount();
  // Every sector the file could hold is one entry of the table: more table sectors than that is nonsense.
  if (fatSectors > total / (sectorSize / 4) + 1) FailDamaged(fileName, L"ayırma tablosu çok büyük");

  // The table's own sectors: 109 in the header, the rest in a chain of further sectors.
  std::vector<uint32_t> fatList;
  for (uint32_t i = 0; i < 109 && fatList.size() < fatSectors; ++i) fatList.push_back(U32(h + 76 + i * 4));
  for (uint32_t n = 0; fatList.size() < fatSectors; ++n) {
    if (n >= difatSectors || difatSector >= total) FailDamaged(fileName, L"ayırma tablosu zinciri kopuk");
    const uint8_t* s = bytes.data() + SectorOffset(difatSector);
    const uint32_t perSector = sectorSize / 4 - 1;
    for (uint32_t i = 0; i < perSector && fatList.size() < fatSectors; ++i) fatList.push_back(U32(s + i * 4));
    difatSector = U32(s + perSector * 4);
  }
  fat_.reserve(static_cast<size_t>(fatSectors) * (sectorSize / 4));
  for (uint32_t sector : fatList) {
    if (sector >= total) FailDamaged(fileName, L"ayırma tablosu dosyanın dışında");
    const uint8_t* s = bytes.data() + SectorOffset(sector);
    for (uint32_t i = 0; i < sectorSize / 4; ++i) fat_.push_back(U32(s + i * 4));
  }

  // The directory: a chain of 128-byte entries.
  std::vector<uint8_t> dir;
  ReadChain(fat_, firstDir, 0, sectorSize, bytes_, sectorSize, dir);
  for (size_t off = 0; off + 128 <= dir.size(); off += 128) {
    const uint8_t* e = dir.data() + off;
    TEntry entry;
    uint16_t nameBytes = U16(e + 64);
    if (nameBytes > 64) nameBytes = 64;
    for (uint16_t i = 0; i + 1 < nameBytes; i += 2) {
      wchar_t c = static_cast<wchar_t>(U16(e + i));
      if (!c) break;
      entry.name.push_back(c);
    }
    entry.type = e[66];
    entry.start = U32(e + 116);
    // Version 3 files keep only the low half of the size; the high half may hold rubbish.
    entry.size = sectorShift_ == 9 ? U32(e + 120) : U64(e + 120);
    entries_.push_back(entry);
  }
  if (entries_.empty() || entries_[0].type != 5) FailDamaged(fileName, L"kök dizin kaydı yok");

  // The mini stream (the root entry's chain) and its table hold the small streams.
  if (miniFatSectors > 0 && firstMiniFat < kDifatSector) {
    if (miniFatSectors > total) FailDamaged(fileName, L"küçük ayırma tablosu çok büyük");
    std::vector<uint8_t> raw;
    ReadChain(fat_, firstMiniFat, static_cast<uint64_t>(miniFatSectors) * sectorSize, sectorSize, bytes_, sectorSize,
              raw);
    for (size_t i = 0; i + 4 <= raw.size(); i += 4) miniFat_.push_back(U32(raw.data() + i));
  }
  if (entries_[0].size > 0) {
    if (entries_[0].size > bytes.size()) FailDamaged(fileName, L"küçük akış dosyadan büyük");
    ReadChain(fat_, entries_[0].start, entries_[0].size, sectorSize, bytes_, sectorSize, miniStream_);
  }
}

void TCompoundFile::ReadChain(const std::vector<uint32_t>& table, uint32_t start, uint64_t size, uint32_t sectorSize,
                              const std::vector<uint8_t>& source, uint64_t sourceOffset,
                              std::vector<uint8_t>& out) const {
  // size 0 means the whole chain (the directory has no size of its own).
  out.clear();
  if (size > 0) out.reserve(static_cast<size_t>(size));
  uint32_t sector = start;
  size_t steps = 0;
  while (size == 0 || out.size() < size) {
    if (sector == kEndOfChain && size == 0) break;
    // A chain longer than the table has entries must loop.
    if (sector >= table.size() || ++steps > table.size()) FailDamaged(fileName_, L"sektör zinciri kopuk");
    uint64_t offset = sourceOffset + static_cast<uint64_t>(sector) * sectorSize;
    if (offset + sectorSize > source.size()) {
      // The last sector of a file may be cut short by writers that do not pad; what the stream needs must be there.
      uint64_t need = size == 0 ? sectorSize : std::min<uint64_t>(sectorSize, size - out.size());
      if (offset + need > source.size()) FailDamaged(fileName_, L"sektör dosyanın dışında");
      out.insert(out.end(), source.begin() + static_cast<ptrdiff_t>(offset),
                 source.begin() + static_cast<ptrdiff_t>(offset + need));
    } else {
      out.insert(out.end(), source.begin() + static_cast<ptrdiff_t>(offset),
                 source.begin() + static_cast<ptrdiff_t>(offset + sectorSize));
    }
    sector = table[sector];
  }
  if (size > 0) out.resize(static_cast<size_t>(size));
}

const TCompoundFile::TEntry* TCompoundFile::Find(const rtl::String& name) const {
  for (const TEntry& e : entries_)
    if (e.type == 2 && SameAscii(e.name, name)) return &e;
  return nullptr;
}

bool TCompoundFile::HasStream(const rtl::String& name) const { return Find(name) != nullptr; }

bool TCompoundFile::ReadStream(const rtl::String& name, std::vector<uint8_t>& out) const {
  const TEntry* e = Find(name);
  if (!e) return false;
  if (e->size > bytes_.size()) FailDamaged(fileName_, L"akış dosyadan büyük");
  if (e->size == 0) {
    out.clear();
  } else if (e->size < miniCutoff_) {
    ReadChain(miniFat_, e->start, e->size, 1u << miniSectorShift_, miniStream_, 0, out);
  } else {
    ReadChain(fat_, e->start, e->size, 1u << sectorShift_, bytes_, 1u << sectorShift_, out);
  }
  return true;
}

}  // namespace workbook
