#include "skin/render/sBlur.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "skin/render/sGraphUtils.h"

const float CFilters[7] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

void MakeGaussianKernel(TKernel& k, double radius, double maxData, double dataGranularity) {
  for (int j = -16; j <= 16; ++j) {
    double v = std::exp(-(j / radius) * (j / radius) / 2);
    k.At(j) = static_cast<float>(std::nearbyint(v));
  }
  double sum = 0;
  for (int j = -16; j <= 16; ++j) sum += k.At(j);
  if (sum > 0)
    for (int j = -16; j <= 16; ++j) k.At(j) = static_cast<float>(k.At(j) / sum);
  int j = 16;
  double total = 0;
  while (total < dataGranularity / (2 * maxData) && j > 1) {
    total += 2 * k.At(j);
    --j;
  }
  k.Size = static_cast<std::uint8_t>(j);
  sum = 0;
  for (int i = -j; i <= j; ++i) sum += k.At(i);
  if (sum > 0)
    for (int i = -j; i <= j; ++i) k.At(i) = static_cast<float>(k.At(i) / sum);
}

void BlurRow8(std::uint8_t* data, int last, const TKernel& k, std::uint8_t* buf, int stride) {
  const int size = k.Size;
  for (int i = 0; i <= last; ++i) {
    double v = 0;
    for (int n = -size; n <= size; ++n)
      v += k.At(n) * data[static_cast<std::ptrdiff_t>(TrimInt(0, last, i - n)) * stride];
    buf[i] = v > 255 ? 255 : v < 0 ? 0 : static_cast<std::uint8_t>(v);
  }
  for (int i = 0; i <= last; ++i) data[static_cast<std::ptrdiff_t>(i) * stride] = buf[i];
}

void Blur8(vcl::TBitmap* bmp, double radius) {
  if (!bmp || bmp->Empty() || bmp->HandleType() != vcl::bmDIB || bmp->PixelFormat() != vcl::pf8bit) return;
  const int w = bmp->Width(), h = bmp->Height();
  TKernel k;
  MakeGaussianKernel(k, radius, 255, 1);
  auto* row0 = static_cast<std::uint8_t*>(bmp->ScanLine(0));
  const std::ptrdiff_t delta = h > 1 ? static_cast<std::uint8_t*>(bmp->ScanLine(1)) - row0 : 0;
  std::vector<std::uint8_t> buf(static_cast<size_t>(std::max(w, h)));
  for (int y = 0; y < h; ++y) BlurRow8(row0 + y * delta, w - 1, k, buf.data());
  for (int x = 0; x < w; ++x) BlurRow8(row0 + x, h - 1, k, buf.data(), static_cast<int>(delta));
}

void BlurRow(TsColor_* data, int last, TsColor_* buf, int stride) {
  for (int i = 0; i <= last; ++i) {
    int sb = 0, sg = 0, sr = 0, sa = 0;
    int tb = 0, tg = 0, tr = 0, ta = 0;
    int missed = 0;
    const TsColor_* lastOpaque = nullptr;
    for (int n : {i + 1, i, i - 1}) {
      const TsColor_* p = n >= 0 && n <= last ? &data[static_cast<std::ptrdiff_t>(n) * stride] : nullptr;
      if (p && p->A > 0) {
        sb += p->B / 3;
        sg += p->G / 3;
        sr += p->R / 3;
        sa += p->A / 3 + 1;
        lastOpaque = p;
      } else if (lastOpaque) {
        tb += lastOpaque->B / 3;
        tg += lastOpaque->G / 3;
        tr += lastOpaque->R / 3;
        ta += lastOpaque->A / 3;
      } else {
        ++missed;
      }
    }
    if (missed && lastOpaque) {
      tb += lastOpaque->B / 3 * missed;
      tg += lastOpaque->G / 3 * missed;
      tr += lastOpaque->R / 3 * missed;
      ta += lastOpaque->A / 3 * missed;
    }
    if (ta != 0) {
      sb += tb;
      sg += tg;
      sr += tr;
    }
    TsColor_& out = buf[i];
    if (sa == 0) {
      out.C = 0;
    } else {
      out.B = static_cast<std::uint8_t>(std::min(sb, 255));
      out.G = static_cast<std::uint8_t>(std::min(sg, 255));
      out.R = static_cast<std::uint8_t>(std::min(sr, 255));
      out.A = static_cast<std::uint8_t>(std::min(sa, 255));
    }
  }
  for (int i = 0; i <= last; ++i) data[static_cast<std::ptrdiff_t>(i) * stride] = buf[i];
}

void QBlur(vcl::TBitmap* bmp) {
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!bmp || bmp->PixelFormat() != vcl::pf32bit || !InitLine(bmp, line0, delta)) return;
  const int w = bmp->Width(), h = bmp->Height();
  std::vector<TsColor_> buf(static_cast<size_t>(std::max(w, h)));
  for (int y = 0; y < h; ++y) BlurRow(PixelAt(line0, delta, 0, y), w - 1, buf.data());
  for (int x = 0; x < w; ++x) BlurRow(PixelAt(line0, delta, x, 0), h - 1, buf.data(), static_cast<int>(delta / 4));
}

namespace {

double FilterValue(TFilterType filter, double v) {
  double x = std::fabs(v);
  switch (filter) {
    case ftBox:
      return v > -0.5 && v <= 0.5 ? 1 : 0;
    case ftTriangle:
      return x < 1 ? 1 - x : 0;
    case ftHermite:
      return x < 1 ? x * x * (2 * x - 3) + 1 : 0;
    case ftBell:
      if (x < 0.5) return 0.75 - x * x;
      if (x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
      return 0;
    case ftSpline:
      if (x < 1) return x * x * (0.5 * x - 1) + 2.0 / 3;
      if (x < 2) return (2 - x) * (2 - x) * (2 - x) / 6;
      return 0;
    case ftLanczos3:
      if (x == 0) return 1;
      return std::sin(std::numbers::pi * x) * std::sin(x) / (std::numbers::pi * x * x);
    case ftMitchell:
      if (x < 1) return (7.0 / 6 * x - 2) * x * x + 8.0 / 9;
      if (x < 2) return x * x * (2 - 7.0 / 18 * x) - 10.0 / 3 * x + 16.0 / 9;
      return 0;
  }
  return 0;
}

}  // namespace

void CreateContributors(TContributorList& list, int newSize, int oldSize, int stride, TFilterType filter) {
  const float scale = newSize < oldSize ? static_cast<float>(newSize) / oldSize : 1.0f;
  const float support = CFilters[filter] / scale;
  const int capacity = static_cast<int>(2 * support + 1);
  list.Lists.assign(static_cast<size_t>(newSize), TCList{});
  list.Storage.assign(static_cast<size_t>(newSize) * (capacity + 2), TContributor{0, 0});
  for (int i = newSize - 1; i >= 0; --i) {
    TCList& l = list.Lists[static_cast<size_t>(i)];
    l.Data = list.Storage.data() + static_cast<size_t>(i) * (capacity + 2);
    const float center = static_cast<float>(oldSize) * i / newSize;
    for (int j = static_cast<int>(std::ceil(center + support)); j >= static_cast<int>(std::floor(center - support));
         --j) {
      double v = (center - j) * static_cast<double>(scale);
      if (std::fabs(v) >= CFilters[filter]) continue;
      double t = FilterValue(filter, v);
      if (t == 0 || l.Count >= capacity + 2) continue;
      int p = j < 0 ? -j : j >= oldSize ? 2 * oldSize - 1 - j : j;
      p = TrimInt(0, oldSize - 1, p);
      l.Data[l.Count++] = {stride * p, static_cast<int>(std::lround(t * scale * 65536))};
    }
  }
}

void FreeContributors(TContributorList& list) {
  list.Lists.clear();
  list.Storage.clear();
  list.Lists.shrink_to_fit();
  list.Storage.shrink_to_fit();
}

void DRAWLINE32PAS(int, int dstStride, std::uint8_t* dst, const std::uint8_t* src, const TContributorList& list,
                   int count) {
  for (int i = 0; i < count; ++i, dst += dstStride) {
    const TCList& l = list.Lists[static_cast<size_t>(i)];
    int b = 0, g = 0, r = 0, a = 0;
    for (int k = 0; k < l.Count; ++k) {
      const TContributor& c = l.Data[k];
      if (c.Weight == 0) continue;
      const std::uint8_t* p = src + c.Pixel;
      b += c.Weight * p[0];
      g += c.Weight * p[1];
      r += c.Weight * p[2];
      a += c.Weight * p[3];
    }
    auto channel = [](int sum) -> std::uint8_t {
      return sum < 0 ? 0 : sum < 0xFF0001 ? static_cast<std::uint8_t>(sum >> 16) : 255;
    };
    dst[0] = channel(b);
    dst[1] = channel(g);
    dst[2] = channel(r);
    dst[3] = channel(a);
  }
}

void Stretch(vcl::TBitmap* src, vcl::TBitmap* dst, int newWidth, int newHeight, TFilterType filter) {
  if (!src || !dst || newHeight <= 0 || newWidth <= 0 || src->Width() <= 1 || src->Height() <= 1) return;
  if (newWidth == src->Width() && newHeight == src->Height()) {
    if (dst != src) dst->Assign(src);
    return;
  }
  src->SetPixelFormat(vcl::pf32bit);
  auto temp = CreateBmp32(newWidth, src->Height());
  std::uint8_t *s0, *t0, *d0;
  std::ptrdiff_t sDelta, tDelta, dDelta;
  if (!InitLine(src, s0, sDelta) || !InitLine(temp.get(), t0, tDelta)) return;
  TContributorList list;
  CreateContributors(list, newWidth, src->Width(), 4, filter);
  for (int y = 0; y < src->Height(); ++y) DRAWLINE32PAS(4, 4, t0 + y * tDelta, s0 + y * sDelta, list, newWidth);
  FreeContributors(list);
  dst->SetPixelFormat(vcl::pf32bit);
  dst->SetSize(newWidth, newHeight);
  if (!InitLine(dst, d0, dDelta)) return;
  CreateContributors(list, newHeight, src->Height(), static_cast<int>(tDelta), filter);
  for (int x = 0; x < newWidth; ++x)
    DRAWLINE32PAS(static_cast<int>(tDelta), static_cast<int>(dDelta), d0 + 4 * x, t0 + 4 * x, list, newHeight);
  FreeContributors(list);
}
