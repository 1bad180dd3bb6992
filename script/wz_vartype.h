#pragma once
// The one-byte type code every script item carries.
#include <cstdint>

enum TwzVarType : std::uint8_t {
  fvtInt = 0,
  fvtBool = 1,
  fvtFloat = 2,
  fvtChar = 3,
  fvtString = 4,
  fvtClass = 5,  // host object reference; the type name names the class
  fvtArray = 6,
  fvtVariant = 7,
  fvtEnum = 8,  // enumeration or set; the type name names it
  fvtConstructor = 9,
  fvtInt64 = 10,
};
