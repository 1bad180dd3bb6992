// bench_skin: decoding large PNG pictures with the skinning library's reader beside libpng (both into 8-bit BGR(A)
// rows), and the renderer's blurs and resampling on a full-HD bitmap. Each figure is the best of several runs;
// the two readers must agree on every pixel ("check").
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "skin/render/lvPNG.h"
#include "skin/render/sBlur.h"
#include "skin/render/sGraphUtils.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

double BestMs(int runs, const std::function<void()>& f) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    auto t = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t).count());
  }
  return best;
}

// A picture like a photograph: smooth shading, edges and a little noise, so that the encoder's filters all work.
std::vector<unsigned char> Photo(int w, int h, int channels, unsigned seed) {
  std::mt19937 rnd(seed);
  std::vector<unsigned char> px(static_cast<size_t>(w) * h * channels);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &px[(static_cast<size_t>(y) * w + x) * channels];
      int noise = static_cast<int>(rnd() % 9) - 4;
      bool edge = ((x / 97) + (y / 61)) % 3 == 0;
      p[0] = static_cast<unsigned char>(std::clamp(x * 255 / w + noise + (edge ? 40 : 0), 0, 255));
      p[1] = static_cast<unsigned char>(std::clamp(y * 255 / h + noise, 0, 255));
      p[2] = static_cast<unsigned char>(std::clamp((x + y) * 255 / (w + h) - noise + (edge ? -30 : 0), 0, 255));
      if (channels == 4) p[3] = static_cast<unsigned char>(std::clamp(255 - (x * 200 / w) + noise, 0, 255));
    }
  return px;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

// Encoded by libpng with its own adaptive filters and zlib level 6, as most PNG files are written.
Bytes Encode(int w, int h, int colorType, const std::vector<unsigned char>& px, bool interlace) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, WriteToVector, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, colorType,
               interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  const int channels = colorType == PNG_COLOR_TYPE_RGBA ? 4 : 3;
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y)
    rows[static_cast<size_t>(y)] = const_cast<png_bytep>(&px[static_cast<size_t>(y) * w * channels]);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

struct Reader {
  const Bytes* data;
  size_t pos;
};

void ReadFromVector(png_structp png, png_bytep out, png_size_t size) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (r->pos + size > r->data->size()) png_error(png, "read past the end");
  std::memcpy(out, r->data->data() + r->pos, size);
  r->pos += size;
}

// libpng's decode into BGR(A) rows, the layout the reader's bitmaps have.
std::vector<unsigned char> LibpngDecode(const Bytes& file, int& w, int& h, int& channels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Reader r{&file, 0};
  png_set_read_fn(png, &r, ReadFromVector);
  png_read_info(png, info);
  w = static_cast<int>(png_get_image_width(png, info));
  h = static_cast<int>(png_get_image_height(png, info));
  png_set_bgr(png);
  png_set_expand(png);
  png_set_strip_16(png);
  if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
  png_read_update_info(png, info);
  channels = png_get_channels(png, info);
  std::vector<unsigned char> px(static_cast<size_t>(w) * h * channels);
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rows[static_cast<size_t>(y)] = &px[static_cast<size_t>(y) * w * channels];
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return px;
}

bool Same(TPNGGraphic& g, const std::vector<unsigned char>& px, int channels) {
  for (int y = 0; y < g.Height(); ++y) {
    auto* row = static_cast<const unsigned char*>(g.ScanLine(y));
    if (std::memcmp(row, &px[static_cast<size_t>(y) * g.Width() * channels],
                    static_cast<size_t>(g.Width()) * channels) != 0)
      return false;
  }
  return true;
}

void PngCase(const char* name, int w, int h, int colorType, bool interlace) {
  const int channels = colorType == PNG_COLOR_TYPE_RGBA ? 4 : 3;
  Bytes file = Encode(w, h, colorType, Photo(w, h, channels, 7), interlace);
  TPNGGraphic g;
  int lw, lh, lc;
  std::vector<unsigned char> reference;
  const int runs = 7;
  double ours = BestMs(runs, [&] { g.LoadFromMemory(file.data(), file.size()); });
  double theirs = BestMs(runs, [&] { reference = LibpngDecode(file, lw, lh, lc); });
  bool agree = lw == g.Width() && lh == g.Height() && lc == channels && Same(g, reference, channels);
  std::printf("%-34s %6.1f MB file  ours %8.2f ms  libpng %8.2f ms  ratio %.2f  check %s\n", name,
              file.size() / 1048576.0, ours, theirs, ours / theirs, agree ? "ok" : "DIFFERENT");
}

}  // namespace

int wmain() {
  std::printf("PNG decoding (best of 7 runs)\n");
  PngCase("RGB 4000x3000", 4000, 3000, PNG_COLOR_TYPE_RGB, false);
  PngCase("RGBA 4000x3000", 4000, 3000, PNG_COLOR_TYPE_RGBA, false);
  PngCase("RGB 4000x3000 interlaced", 4000, 3000, PNG_COLOR_TYPE_RGB, true);
  PngCase("RGBA 1920x1080", 1920, 1080, PNG_COLOR_TYPE_RGBA, false);

  std::printf("\nBlur and resampling of a 1920x1080 bitmap (best of 5 runs)\n");
  auto photo = CreateBmp32(1920, 1080);
  {
    std::vector<unsigned char> px = Photo(1920, 1080, 4, 3);
    for (int y = 0; y < 1080; ++y) std::memcpy(photo->ScanLine(y), &px[static_cast<size_t>(y) * 1920 * 4], 1920 * 4);
  }
  auto work = CreateBmp32(1920, 1080);
  double qblur = BestMs(5, [&] {
    BitBlt(work->Canvas()->Handle(), 0, 0, 1920, 1080, photo->Canvas()->Handle(), 0, 0, SRCCOPY);
    QBlur(work.get());
  });
  std::printf("%-34s %8.2f ms\n", "QBlur (32-bit, three taps)", qblur);
  vcl::TBitmap mask;
  mask.SetPixelFormat(vcl::pf8bit);
  mask.SetSize(1920, 1080);
  for (int y = 0; y < 1080; ++y) std::memset(mask.ScanLine(y), (y / 40) % 2 ? 255 : 0, 1920);
  for (double radius : {2.0, 5.0}) {
    double t = BestMs(5, [&] { Blur8(&mask, radius); });
    std::printf("Blur8 (8-bit mask) radius %-9.0f %8.2f ms\n", radius, t);
  }
  struct {
    const char* name;
    int w, h;
    TFilterType filter;
  } sizes[] = {{"Stretch to 1280x720, Mitchell", 1280, 720, ftMitchell},
               {"Stretch to 2560x1440, Mitchell", 2560, 1440, ftMitchell},
               {"Stretch to 960x540, box", 960, 540, ftBox},
               {"Stretch to 1280x720, Lanczos3", 1280, 720, ftLanczos3}};
  for (const auto& s : sizes) {
    vcl::TBitmap out;
    double t = BestMs(5, [&] { Stretch(photo.get(), &out, s.w, s.h, s.filter); });
    std::printf("%-34s %8.2f ms\n", s.name, t);
  }
  return 0;
}
