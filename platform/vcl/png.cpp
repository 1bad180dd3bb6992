#include "platform/vcl/png.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/pngreader.h"

namespace vcl {

namespace {

const rtl::Byte kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

[[noreturn]] void Fail(const wchar_t* reason) {
  throw rtl::EInvalidGraphic(rtl::String(L"Invalid PNG image: ") + reason);
}

// Straight BGRA pixels from the decoding core's rows.
class TPixelsSink : public TPngSink {
 public:
  explicit TPixelsSink(TPngPixels& out) : out_(out) {}

  void Header(const TPngHeader& header) override { h_ = header; }
  void Palette(const rtl::Byte* rgb, int count) override {
    palette_.clear();
    for (int i = 0; i < count; ++i)
      palette_.push_back(0xFF000000u | (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2]);
  }
  void Transparency(const rtl::Byte* body, std::uint32_t length) override {
    if (h_.ColorType == 3) {
      for (std::uint32_t i = 0; i < length && i < palette_.size(); ++i)
        palette_[i] = (palette_[i] & 0x00FFFFFF) | (static_cast<std::uint32_t>(body[i]) << 24);
      have_trns_ = length > 0;
    } else if (h_.ColorType == 0 && length >= 2) {
      trns_gray_ = (body[0] << 8) | body[1];
      have_trns_ = true;
    } else if (h_.ColorType == 2 && length >= 6) {
      trns_r_ = (body[0] << 8) | body[1];
      trns_g_ = (body[2] << 8) | body[3];
      trns_b_ = (body[4] << 8) | body[5];
      have_trns_ = true;
    }
  }
  void BeginImage() override {
    if (h_.ColorType == 3 && palette_.empty()) Fail(L"indexed image without a palette");
    began_ = true;
    out_.Width = static_cast<int>(h_.Width);
    out_.Height = static_cast<int>(h_.Height);
    out_.HasAlpha = h_.ColorType == 4 || h_.ColorType == 6 || have_trns_;
    out_.Pixels.assign(static_cast<size_t>(h_.Width) * h_.Height, 0xFF000000u);
  }
  void Row(int y, const rtl::Byte* row, std::uint8_t mask, bool) override {
    const int channels = PngSamples(h_.ColorType), depth = h_.BitDepth, max_sample = (1 << depth) - 1;
    int start, step;
    PngMaskColumns(mask, start, step);
    std::uint32_t* target = out_.Pixels.data() + static_cast<size_t>(y) * h_.Width;
    size_t rx = 0;
    for (std::uint32_t x = static_cast<std::uint32_t>(start); x < h_.Width;
         x += static_cast<std::uint32_t>(step), ++rx) {
      auto sample = [&](int index) -> int {  // the index-th sample of this pixel, at its own depth
        if (depth == 16) return (row[(rx * channels + index) * 2] << 8) | row[(rx * channels + index) * 2 + 1];
        if (depth == 8) return row[rx * channels + index];
        size_t bit = (rx * channels + index) * depth;
        return (row[bit / 8] >> (8 - depth - bit % 8)) & max_sample;
      };
      auto to8 = [&](int v) -> std::uint32_t {
        return depth == 16 ? static_cast<std::uint32_t>(v >> 8) : static_cast<std::uint32_t>(v * 255 / max_sample);
      };
      std::uint32_t px;
      switch (h_.ColorType) {
        case 0: {
          int v = sample(0);
          std::uint32_t g = to8(v);
          px = (v == trns_gray_ ? 0u : 0xFF000000u) | (g << 16) | (g << 8) | g;
          break;
        }
        case 2: {
          int r = sample(0), g = sample(1), b = sample(2);
          bool clear = r == trns_r_ && g == trns_g_ && b == trns_b_;
          px = (clear ? 0u : 0xFF000000u) | (to8(r) << 16) | (to8(g) << 8) | to8(b);
          break;
        }
        case 3: {
          int index = sample(0);
          px = static_cast<size_t>(index) < palette_.size() ? palette_[index] : 0xFF000000u;
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
      target[x] = px;
    }
  }
  bool Began() const { return began_; }

 private:
  TPngPixels& out_;
  TPngHeader h_;
  std::vector<std::uint32_t> palette_;  // BGRA
  bool have_trns_ = false;
  bool began_ = false;
  int trns_gray_ = -1, trns_r_ = -1, trns_g_ = -1, trns_b_ = -1;
};

}  // namespace

size_t DecodePng(const rtl::Byte* data, size_t size, TPngPixels& out) {
  if (size < 8 || std::memcmp(data, kSignature, 8) != 0) Fail(L"no PNG signature");
  TPixelsSink sink(out);
  size_t used = 0;
  try {
    used = DecodePngInto(data, size, sink, std::uint64_t{1} << 29);
  } catch (const rtl::EReadError&) {
    Fail(L"the data ends before the IEND chunk");
  }
  if (!sink.Began()) Fail(L"no image data");
  return used;
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
    put32(static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), out.data() + start, static_cast<uInt>(body.size() + 4))));
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
