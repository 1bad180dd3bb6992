#pragma once
// Recolouring a loaded skin by hue, saturation and brightness: the master bitmap, the external image bitmaps, every
// section's colours and gradients, the shadow colour and most of the palette. Value 0 does nothing. A load ends
// with the three in this order.
#include "skin/core/sSkinTables.h"

class TsSkinManager;

// Hue by degrees.
void ChangeSkinHue(TsSkinTables& tables, TsSkinData& description, int value);
// Saturation by percent (-100..100 and beyond, limited to -255..255 after scaling by 2.55).
void ChangeSkinSaturation(TsSkinTables& tables, TsSkinData& description, int value);
// Brightness by -100..100; leaves the palette and the shadow colour alone.
void ChangeSkinBrightness(TsSkinTables& tables, TsSkinData& description, int value);

void ChangeSkinHue(TsSkinManager* manager, int value);
void ChangeSkinSaturation(TsSkinManager* manager, int value);
void ChangeSkinBrightness(TsSkinManager* manager, int value);
