#pragma once
// Blurs and resampling: an 8-bit mask blur with a box-like kernel built as a Gaussian (the text glow), a quick
// three-tap blur of 32-bit images (control animations), and a separable resampler with seven filters that scales
// skin images and image-list icons.
#include <cstdint>

#include "platform/vcl/bitmap.h"
#include "skin/core/sConst.h"

struct TKernel {
  std::uint8_t Size = 0;   // the half width in use
  float Weights[33] = {};  // indexed -16..16 as Weights[j + 16]
  float& At(int j) { return Weights[j + 16]; }
  float At(int j) const { return Weights[j + 16]; }
};

enum TFilterType { ftBox, ftTriangle, ftHermite, ftBell, ftSpline, ftLanczos3, ftMitchell };
// The support radius of each filter.
extern const float CFilters[7];

struct TContributor {
  int Pixel;   // byte offset of a source pixel
  int Weight;  // 16 fraction bits
};
struct TCList {
  int Count = 0;
  TContributor* Data = nullptr;
};
// One list per destination pixel, held in one allocation.
struct TContributorList {
  std::vector<TCList> Lists;
  std::vector<TContributor> Storage;
};

void MakeGaussianKernel(TKernel& k, double radius, double maxData, double dataGranularity);
inline int TrimInt(int lower, int upper, int value) { return value < lower ? lower : value > upper ? upper : value; }
// Blurs bytes 0..last of one line in place; buf holds last + 1 bytes.
void BlurRow8(std::uint8_t* data, int last, const TKernel& k, std::uint8_t* buf, int stride = 1);
// Blurs an 8-bit DIB in place (nothing for other formats).
void Blur8(vcl::TBitmap* bmp, double radius);
// Three-tap blur of 32-bit pixels 0..last of one line in place.
void BlurRow(TsColor_* data, int last, TsColor_* buf, int stride = 1);
// Blurs a 32-bit bitmap in place: rows, then columns.
void QBlur(vcl::TBitmap* bmp);

void CreateContributors(TContributorList& list, int newSize, int oldSize, int stride, TFilterType filter);
void FreeContributors(TContributorList& list);
// Resamples one line of count destination pixels.
void DRAWLINE32PAS(int srcStride, int dstStride, std::uint8_t* dst, const std::uint8_t* src,
                   const TContributorList& list, int count);
// Resamples src into dst at newWidth x newHeight (both become 32-bit).
void Stretch(vcl::TBitmap* src, vcl::TBitmap* dst, int newWidth, int newHeight, TFilterType filter);
