#pragma once
// Painting the gradients of skin section states into 32-bit bitmaps: vertical and horizontal bands, the triangle
// mesh of the system's GradientFill, and a gradient mixed with a texture tile in the same pass. Every written
// pixel has alpha 255.
#include <cstdint>

#include "platform/vcl/bitmap.h"
#include "skin/render/sGradient.h"

// Mode of the whole array = Mode1 of its first piece: 0 vertical bands, 1 horizontal bands, 2 triangle mesh.
void PaintGrad(vcl::TBitmap* bmp, vcl::TRect r, const TsGradArray& data);
// The gradient mixed per channel with a texture tile ((mix * (t - g) + g * 256) shr 8); modes 0 and 1 only.
// An empty textureRect means the whole texture bitmap.
void PaintGradTxt(vcl::TBitmap* bmp, vcl::TRect r, const TsGradArray& data, vcl::TBitmap* textureBmp,
                  vcl::TRect textureRect, std::uint8_t mix, std::uint8_t alpha);
// Count copies of value from x on; nothing for count <= 0.
void FillLongword(void* x, int count, std::uint32_t value);
