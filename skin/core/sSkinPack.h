#pragma once
// Packed skins: one file (".lvx") holding a skin's option file and its images, each entry a zlib stream. The same
// bytes are what an internal skin stores as its "Data".
//
// Layout (all integers little-endian):
//
//   offset size  header
//   0      4     signature, the ASCII letters "TSKP"
//   4      2     format version: 1
//   6      2     header size: 16 (where the first entry begins)
//   8      4     entry count N, signed: 1 or more
//   12     4     size of the whole package in bytes, header included, signed
//
//   then N entries, one right after the other:
//   4      name length L, signed: 1 .. 255
//   L      the entry's file name in 8-bit characters (no zero byte)
//   4      data length D, signed: the number of bytes of the entry's zlib stream that follows (at least 8)
//   D      the entry's bytes as one zlib stream (RFC 1950) that ends exactly after these D bytes; it inflates to
//          the entry's file, at most 64 MiB (all entries together at most 256 MiB)
//
// The package ends right after the last entry. An entry named "Options.dat" (any case) is the option file; every
// other entry is an image the option file names. A package is refused unless its header, the entry count, every
// name length and every data length fit the bytes there are, and every zlib stream is whole; the writer is
// tests/skin/skins/make_skins.py.
#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"

class TsSkinManager;

struct TlvImageItem {
  rtl::String FileName;   // as stored
  bool IsBitmap = false;  // the name's extension is ".BMP" in any case
  std::unique_ptr<rtl::TMemoryStream> FileStream;
};

// A package taken apart: the option file and the image files.
class TlvSkinConvertor : public rtl::TPersistent {
 public:
  TlvSkinConvertor();
  ~TlvSkinConvertor() override;
  rtl::String ClassName() const override { return L"TlvSkinConvertor"; }

  std::unique_ptr<rtl::TMemoryStream> Options;
  // The whole package, only while it is being taken apart.
  std::unique_ptr<rtl::TMemoryStream> PackedData;
  int ImageCount = 0;
  std::vector<TlvImageItem> Files;

  // Frees every file stream, Options and PackedData.
  void Clear();
  // The first file whose name, upper-cased, equals upperName; nullptr when none.
  TlvImageItem* FindFile(const rtl::String& upperName);
};

// Limits of a package, so that no damaged or hostile file makes the reader allocate without bound.
constexpr rtl::Int64 kMaxPackedSkinSize = 256LL * 1024 * 1024;
constexpr rtl::Int64 kMaxPackedEntrySize = 64LL * 1024 * 1024;
constexpr int kMaxPackedNameLength = 255;

// Nothing when the file does not exist; else the convertor (created when null) is cleared, the file read whole into
// PackedData, taken apart into Options and Files, and PackedData freed. Raises ESkinError for a damaged package.
void LoadSkinFromFile(const rtl::String& fileName, std::unique_ptr<TlvSkinConvertor>& convertor,
                      TsSkinManager* manager);
// Takes the package held in PackedData apart. Raises ESkinError (a package not recognised answers "Loaded data is
// not a packed Lumiskin file"); true on success.
bool ExtractPackedData(std::unique_ptr<TlvSkinConvertor>& convertor, TsSkinManager* manager);
