#pragma once
// The ZuvizaVuruze language, the default syntax of script programs.
#include "platform/rtl/types.h"

extern const rtl::String wzZuvizaVuruzeName;  // "ZuvizaVuruze"

// Registers the ZuvizaVuruze grammar with the language registry.
void wzRegisterPascal();
