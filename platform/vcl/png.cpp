#include "platform/vcl/png.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/rtl/exceptions.h"

namespace vcl {

namespace {

const rtl::Byte kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

[[noreturn]] void Fail(const wchar_t* reason) { throw rtl::EInvalidGraphic(rtl::String(L"Invalid PNG image: ") + reason); }

std::uint32_t Be32(const rtl::Byte* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

struct Header {
  std::uint32_t width = 0, height = 0;
  int depth = 0, color_type = 0, interlace = 0;
};

int Channels(int color_type) {
  switch (color_type) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
  }
}

bool ValidDepth(int color_type, int depth) {
  switch (color_type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

int Paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Removes the filter of one row in place; prior is the previous row of the same pass (zeros for the first).
void Unfilter(int filter, rtl::Byte* row, const rtl::Byte* prior, size_t length, size_t bpp) {
  switch (filter) {
    case 0: break;
    case 1:
      for (size_t i = bpp; i < length; ++i) row[i] = static_cast<rtl::Byte>(row[i] + row[i - bpp]);
      break;
    case 2:
      for (size_t i = 0; i < length; ++i) row[i] = static_cast<rtl::Byte>(row[i] + prior[i]);
      break;
    case 3:
      for (size_t i = 0; i < length; ++i) {
        int left = i >= bpp ? row[i - bpp] : 0;
        row[i] = static_cast<rtl::Byte>(row[i] + ((left + prior[i]) >> 1));
      }
      break;
    case 4:
      for (size_t i = 0; i < length; ++i) {
        int left = i >= bpp ? row[i - bpp] : 0, up_left = i >= bpp ? prior[i - bpp] : 0;
        row[i] = static_cast<rtl::Byte>(row[i] + Paeth(left, prior[i], up_left));
      }
      break;
    default: Fail(L"unknown row filter");
  }
}

}  // namespace

size_t DecodePng(const rtl::Byte* data, size_t size, TPngPixels& out) {
  if (size < 8 || std::memcmp(data, kSignature, 8) != 0) Fail(L"no PNG signature");
  size_t pos = 8;
  Header h;
  bool have_header = false, ended = false;
  std::vector<rtl::Byte> compressed;
  std::vector<std::uint32_t> palette;  // BGRA
  bool have_trns = false;
  int trns_gray = -1, trns_r = -1, trns_g = -1, trns_b = -1;
  while (!ended) {
    if (size - pos < 12) Fail(L"the data ends before the IEND chunk");
    std::uint32_t length = Be32(data + pos);
    const rtl::Byte* type = data + pos + 4;
    if (length > 0x7FFFFFFF || size - pos - 12 < length) Fail(L"the data ends inside a chunk");
    const rtl::Byte* body = data + pos + 8;
    std::uint32_t stored_crc = Be32(body + length);
    bool critical = (type[0] & 0x20) == 0;
    bool crc_ok = crc32(crc32(0, nullptr, 0), type, 4 + length) == stored_crc;
    pos += 12 + length;
    auto is = [&](const char* name) { return std::memcmp(type, name, 4) == 0; };
    if (!crc_ok) {
      if (critical) Fail(L"CRC error");
      continue;  // a damaged ancillary chunk is only information lost
    }
    if (!have_header && !is("IHDR")) Fail(L"the first chunk is not IHDR");
    if (is("IHDR")) {
      if (have_header || length != 13) Fail(L"bad IHDR chunk");
      h.width = Be32(body);
      h.height = Be32(body + 4);
      h.depth = body[8];
      h.color_type = body[9];
      h.interlace = body[12];
      if (h.width == 0 || h.height == 0 || h.width > 0x7FFF || h.height > 0x7FFF ||
          static_cast<std::uint64_t>(h.width) * h.height > (std::uint64_t{1} << 27))
        Fail(L"unsupported image size");
      if (!ValidDepth(h.color_type, h.depth)) Fail(L"unsupported colour type or bit depth");
      if (body[10] != 0 || body[11] != 0 || h.interlace > 1) Fail(L"unknown compression, filter or interlace method");
      have_header = true;
    } else if (is("PLTE")) {
      if (length % 3 != 0 || length / 3 > 256 || length == 0) Fail(L"bad palette");
      palette.clear();
      for (std::uint32_t i = 0; i < length; i += 3)
        palette.push_back(0xFF000000u | (body[i] << 16) | (body[i + 1] << 8) | body[i + 2]);
    } else if (is("tRNS")) {
      if (h.color_type == 3) {
        for (std::uint32_t i = 0; i < length && i < palette.size(); ++i)
          palette[i] = (palette[i] & 0x00FFFFFF) | (static_cast<std::uint32_t>(body[i]) << 24);
        have_trns = length > 0;
      } else if (h.color_type == 0 && length >= 2) {
        trns_gray = (body[0] << 8) | body[1];
        have_trns = true;
      } else if (h.color_type == 2 && length >= 6) {
        trns_r = (body[0] << 8) | body[1];
        trns_g = (body[2] << 8) | body[3];
        trns_b = (body[4] << 8) | body[5];
        have_trns = true;
      }
    } else if (is("IDAT")) {
      compressed.insert(compressed.end(), body, body + length);
    } else if (is("IEND")) {
      ended = true;
    } else if (critical) {
      Fail(L"unknown critical chunk");
    }
  }
  if (h.color_type == 3 && palette.empty()) Fail(L"indexed image without a palette");
  if (compressed.empty()) Fail(L"no image data");

  // Adam7 passes, or one pass over the whole image.
  struct Pass {
    int x0, y0, dx, dy;
  };
  static const Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                 {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  static const Pass kWhole[1] = {{0, 0, 1, 1}};
  const Pass* passes = h.interlace ? kAdam7 : kWhole;
  int pass_count = h.interlace ? 7 : 1;
  int channels = Channels(h.color_type);
  size_t bits_per_pixel = static_cast<size_t>(channels) * h.depth;
  size_t bpp = std::max<size_t>(1, bits_per_pixel / 8);
  size_t raw_size = 0;
  for (int p = 0; p < pass_count; ++p) {
    size_t pw = (h.width + passes[p].dx - 1 - passes[p].x0) / passes[p].dx;
    size_t ph = (h.height + passes[p].dy - 1 - passes[p].y0) / passes[p].dy;
    if (pw && ph) raw_size += ph * (1 + (pw * bits_per_pixel + 7) / 8);
  }
  std::vector<rtl::Byte> raw(raw_size);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) Fail(L"decompression could not start");
  zs.next_in = compressed.data();
  zs.avail_in = static_cast<uInt>(compressed.size());
  zs.next_out = raw.data();
  zs.avail_out = static_cast<uInt>(raw.size());
  int z = inflate(&zs, Z_FINISH);
  size_t produced = raw.size() - zs.avail_out;
  inflateEnd(&zs);
  if ((z != Z_STREAM_END && z != Z_BUF_ERROR && z != Z_OK) || produced < raw.size()) Fail(L"damaged image data");

  out.Width = static_cast<int>(h.width);
  out.Height = static_cast<int>(h.height);
  out.HasAlpha = h.color_type == 4 || h.color_type == 6 || have_trns;
  out.Pixels.assign(static_cast<size_t>(h.width) * h.height, 0xFF000000u);
  int max_sample = (1 << h.depth) - 1;
  size_t at = 0;
  for (int p = 0; p < pass_count; ++p) {
    size_t pw = (h.width + passes[p].dx - 1 - passes[p].x0) / passes[p].dx;
    size_t ph = (h.height + passes[p].dy - 1 - passes[p].y0) / passes[p].dy;
    if (!pw || !ph) continue;
    size_t row_bytes = (pw * bits_per_pixel + 7) / 8;
    std::vector<rtl::Byte> prior(row_bytes, 0);
    for (size_t ry = 0; ry < ph; ++ry) {
      int filter = raw[at];
      rtl::Byte* row = raw.data() + at + 1;
      Unfilter(filter, row, prior.data(), row_bytes, bpp);
      std::memcpy(prior.data(), row, row_bytes);
      at += 1 + row_bytes;
      size_t y = passes[p].y0 + ry * passes[p].dy;
      for (size_t rx = 0; rx < pw; ++rx) {
        size_t x = passes[p].x0 + rx * passes[p].dx;
        auto sample = [&](int index) -> int {  // the index-th sample of this pixel, at its own depth
          if (h.depth == 16) return (row[(rx * channels + index) * 2] << 8) | row[(rx * channels + index) * 2 + 1];
          if (h.depth == 8) return row[rx * channels + index];
          size_t bit = (rx * channels + index) * h.depth;
          return (row[bit / 8] >> (8 - h.depth - bit % 8)) & max_sample;
        };
        auto to8 = [&](int v) -> std::uint32_t {
          return h.depth == 16 ? static_cast<std::uint32_t>(v >> 8) : static_cast<std::uint32_t>(v * 255 / max_sample);
        };
        std::uint32_t px;
        switch (h.color_type) {
          case 0: {
            int v = sample(0);
            std::uint32_t g = to8(v);
            px = (v == trns_gray ? 0u : 0xFF000000u) | (g << 16) | (g << 8) | g;
            break;
          }
          case 2: {
            int r = sample(0), g = sample(1), b = sample(2);
            bool clear = r == trns_r && g == trns_g && b == trns_b;
            px = (clear ? 0u : 0xFF000000u) | (to8(r) << 16) | (to8(g) << 8) | to8(b);
            break;
          }
          case 3: {
            int index = sample(0);
            px = static_cast<size_t>(index) < palette.size() ? palette[index] : 0xFF000000u;
            break;
          }
          case 4: {
            std::uint32_t g = to8(sample(0));
            px = (to8(sample(1)) << 24) | (g << 16) | (g << 8) | g;
            break;
          }
          default:
            px = (to8(sample(3)) << 24) | (to8(sample(0)) << 16) | (to8(sample(1)) << 8) | to8(sample(2));
            break;
        }
        out.Pixels[y * h.width + x] = px;
      }
    }
  }
  return pos;
}

std::vector<rtl::Byte> EncodePng(const TPngPixels& image) {
  int channels = image.HasAlpha ? 4 : 3;
  size_t row_bytes = static_cast<size_t>(image.Width) * channels;
  std::vector<rtl::Byte> raw;
  raw.reserve((row_bytes + 1) * image.Height);
  for (int y = 0; y < image.Height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < image.Width; ++x) {
      std::uint32_t px = image.Pixels[static_cast<size_t>(y) * image.Width + x];
      raw.push_back(static_cast<rtl::Byte>(px >> 16));
      raw.push_back(static_cast<rtl::Byte>(px >> 8));
      raw.push_back(static_cast<rtl::Byte>(px));
      if (image.HasAlpha) raw.push_back(static_cast<rtl::Byte>(px >> 24));
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<rtl::Byte> packed(packed_size);
  if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw rtl::EInvalidGraphicOperation(L"PNG image could not be compressed");
  packed.resize(packed_size);

  std::vector<rtl::Byte> out(kSignature, kSignature + 8);
  auto put32 = [&](std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<rtl::Byte>(v >> s));
  };
  auto chunk = [&](const char* type, const std::vector<rtl::Byte>& body) {
    put32(static_cast<std::uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32(static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), out.data() + start, static_cast<uInt>(body.size() + 4))));
  };
  std::vector<rtl::Byte> ihdr;
  for (std::uint32_t v : {static_cast<std::uint32_t>(image.Width), static_cast<std::uint32_t>(image.Height)})
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<rtl::Byte>(v >> s));
  ihdr.insert(ihdr.end(), {8, static_cast<rtl::Byte>(image.HasAlpha ? 6 : 2), 0, 0, 0});
  chunk("IHDR", ihdr);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

// ---- TPngImage ----

void TPngImage::SetPixels(const TPngPixels& image) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(image.HasAlpha ? pf32bit : pf24bit);
  bitmap.SetSize(image.Width, image.Height);
  for (int y = 0; y < image.Height; ++y) {
    auto* row = static_cast<rtl::Byte*>(bitmap.ScanLine(y));
    const std::uint32_t* src = image.Pixels.data() + static_cast<size_t>(y) * image.Width;
    if (image.HasAlpha) {
      std::memcpy(row, src, static_cast<size_t>(image.Width) * 4);
    } else {
      for (int x = 0; x < image.Width; ++x) {
        row[3 * x] = static_cast<rtl::Byte>(src[x]);
        row[3 * x + 1] = static_cast<rtl::Byte>(src[x] >> 8);
        row[3 * x + 2] = static_cast<rtl::Byte>(src[x] >> 16);
      }
    }
  }
  if (image.HasAlpha) bitmap.SetAlphaFormat(afDefined);
  bitmap_.Assign(&bitmap);
  drawn_.SetHandle(nullptr);
  has_alpha_ = image.HasAlpha;
}

size_t TPngImage::LoadFromMemory(const rtl::Byte* data, size_t size) {
  TPngPixels image;
  size_t used = DecodePng(data, size, image);
  SetPixels(image);
  data_.assign(data, data + used);
  Changed();
  return used;
}

void TPngImage::SaveToMemory(std::vector<rtl::Byte>& out) const {
  if (!data_.empty()) {
    out.insert(out.end(), data_.begin(), data_.end());
    return;
  }
  if (Empty()) return;
  TPngPixels image;
  image.Width = Width();
  image.Height = Height();
  image.HasAlpha = has_alpha_;
  image.Pixels.resize(static_cast<size_t>(image.Width) * image.Height);
  auto& bitmap = const_cast<TBitmap&>(bitmap_);
  for (int y = 0; y < image.Height; ++y) {
    auto* row = static_cast<const rtl::Byte*>(bitmap.ScanLine(y));
    for (int x = 0; x < image.Width; ++x) {
      std::uint32_t& px = image.Pixels[static_cast<size_t>(y) * image.Width + x];
      if (has_alpha_)
        std::memcpy(&px, row + 4 * x, 4);
      else
        px = 0xFF000000u | (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x];
    }
  }
  auto encoded = EncodePng(image);
  out.insert(out.end(), encoded.begin(), encoded.end());
}

void TPngImage::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  if (bitmap_.Empty()) bitmap_.SetPixelFormat(pf24bit);
  bitmap_.SetSize(width, height);
  drawn_.SetHandle(nullptr);
  data_.clear();
  Changed();
}

void TPngImage::Draw(TCanvas& canvas, const TRect& rect) {
  if (!has_alpha_ || bitmap_.AlphaFormat() != afDefined) {
    bitmap_.Draw(canvas, rect);
    return;
  }
  // Pictures are painted again and again: premultiply once, not on every paint.
  if (drawn_.Empty()) {
    drawn_.Assign(&bitmap_);
    drawn_.SetAlphaFormat(afPremultiplied);
  }
  drawn_.Draw(canvas, rect);
}

void TPngImage::Assign(const rtl::TPersistent* source) {
  if (auto* png = dynamic_cast<const TPngImage*>(source)) {
    bitmap_.Assign(&png->bitmap_);
    drawn_.SetHandle(nullptr);
    has_alpha_ = png->has_alpha_;
    data_ = png->data_;
    Changed();
    return;
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    TBitmap copy;
    copy.Assign(bitmap);
    has_alpha_ = copy.PixelFormat() == pf32bit && copy.AlphaFormat() != afIgnored;
    if (has_alpha_) {
      copy.SetAlphaFormat(afDefined);
    } else if (!copy.Empty()) {
      copy.SetPixelFormat(pf24bit);
    }
    bitmap_.Assign(&copy);
    drawn_.SetHandle(nullptr);
    data_.clear();
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TPngImage::AssignTo(rtl::TPersistent* dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    bitmap->Assign(&bitmap_);
    return;
  }
  TGraphic::AssignTo(dest);
}

}  // namespace vcl
