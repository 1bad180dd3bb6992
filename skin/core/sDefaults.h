#pragma once
// Values the skinning library falls back on when a form sets nothing else.
#include <array>

#include "skin/core/sConst.h"

// The class names each ThirdParty list starts with: a single blank (no class) except for buttons.
inline constexpr std::array<const wchar_t*, lvLastSupportedType + 1> lvThirdNames = {
    L" ", L"TButton", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ",
    L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" "};

// The skin folder filled in when a manager has none.
inline constexpr const wchar_t* DefSkinsDir = L"c:\\Skins";
