#pragma once
// Whole-file reading and writing for the picture classes, with the runtime's file errors.
#include <vector>

#include "platform/rtl/types.h"

namespace vcl {

// Opens for reading with writers shut out; raises EFOpenError 'Cannot open file "name". <reason>'.
std::vector<rtl::Byte> ReadWholeFile(const rtl::String& file_name);
// Creates or truncates; raises EFCreateError 'Cannot create file "name". <reason>' or EWriteError.
void WriteWholeFile(const rtl::String& file_name, const std::vector<rtl::Byte>& data);

}  // namespace vcl
