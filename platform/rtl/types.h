#pragma once
// The runtime's basic types. Text is UTF-16 so it goes to the W functions of Win32 unchanged.
#include <cstdint>
#include <string>

namespace rtl {

using String = std::wstring;
using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

}  // namespace rtl
