#pragma once
// 8-bit form of a text line for fonts of a non-default character set, with the byte offset of every character so
// that per-character advances and formatting can follow double-byte characters.
#include <string>
#include <vector>

#include "platform/rtl/types.h"

struct TqvxAnsiLine {
  std::string Bytes;
  // CharFirstByte[i] is the first byte of character i; one more entry holds the byte length.
  std::vector<int> CharFirstByte;
  // False when the 8-bit text does not map one to one onto the characters (a character the code page lacks
  // turned into several, or a surrogate pair into one): the caller then keeps to UTF-16.
  bool Build(const rtl::String& s, unsigned charset);
};
