#pragma once
// The report library's packed image resources (the preview's button strip "PreviewButtons") are gzip members whose
// modification-time field holds the big-endian Adler-32 of the unpacked data; this unpacks them, for the string
// table's image lists and for the prepared pages' stored resources alike.
#include "platform/rtl/streams.h"

// Unpacks the gzip member at source's position into dest. A member without the gzip magic and deflate method, or
// whose data or check do not hold, raises EZDecompressionError (zlib's message for bad data).
void qvxDecompressStream(rtl::TStream& source, rtl::TStream& dest);
