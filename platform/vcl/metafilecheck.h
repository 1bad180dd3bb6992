#pragma once
// Walks the records of a metafile before it is handed to the system. The system plays records as they stand: a
// record of size 0 makes it loop for ever, and a record whose counts or offsets reach past its end makes it read
// (or write) outside the data. A metafile is accepted only when every record lies inside it, carries the
// structure its type needs, keeps its counts and offsets inside itself, names only handles the metafile has, and
// the last record is the end-of-file record.
#include <cstddef>

#include "platform/rtl/types.h"

namespace vcl {

// Each returns nullptr for a sound metafile, else what is wrong with it (for tests and diagnostics).
// data starts with the EMR_HEADER record; size is the header's nBytes.
const char* EnhMetafileFault(const rtl::Byte* data, size_t size);
// data starts with the 18-byte METAHEADER of a Windows metafile (after any placeable header); size is mtSize * 2.
const char* WinMetafileFault(const rtl::Byte* data, size_t size);

}  // namespace vcl
