#pragma once
// Gradients of skin section states: the option text's gradient strings parsed into pieces.
#include <vector>

#include "platform/rtl/types.h"
#include "skin/core/sConst.h"

using TsGradArray = std::vector<TsGradPie>;

// Words separated by ';' in groups of five: colour 1, colour 2, percent (0..100), mode, unused. Raises the
// platform's conversion error for a word that is not an integer.
void PrepareGradArray(const rtl::String& gradientStr, TsGradArray& data);
