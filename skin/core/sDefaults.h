#pragma once
// Values the skinning library falls back on when a form sets nothing else.
#include <array>

#include "skin/core/sConst.h"

// The library's PNG reader is registered ahead of the platform's.
inline constexpr bool LVPngFirst = true;
// How disabled controls and glyphs are drawn.
inline constexpr TsDisabledKind DefDisabledKind{dkBlended};
inline constexpr TsDisabledGlyphKind DefDisabledGlyphKind{};
// Painters read these two as switches, so they are variables.
inline double DefDisabledBlend = 0.4;
inline int DefDisabledSaturation = -90;
inline constexpr bool DefMakeSkinMenu = false;

// The class names each ThirdParty list starts with: a single blank (no class) except for buttons.
inline constexpr std::array<const wchar_t*, lvLastSupportedType + 1> lvThirdNames = {
    L" ", L"TButton", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ",
    L" ", L" ",       L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" "};

// The skin folder filled in when a manager has none.
inline constexpr const wchar_t* DefSkinsDir = L"c:\\Skins";
