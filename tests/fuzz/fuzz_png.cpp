// The two readers over the one PNG decoding core: the skinning library's reader (which the picture class uses for
// ".png" wherever the library is linked, as here) and the class library's own PNG image, each read directly and
// the pixels touched.
#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/png.h"
#include "skin/render/lvPNG.h"

namespace {

const std::string kData = "platform/vcl/graphics/data/";
const std::vector<std::string> kFiles = {kData + "halves_palette.png", kData + "halves_interlaced.png",
                                         kData + "gray2.png",          kData + "graya.png",
                                         kData + "halves_16bit.png",   kData + "halves_rgba.png"};

// A file cut short answers the stream's read error, as the reader's own stream reading does.
const bool skinPng = fuzz::Join({
    .name = "PNG (skinning library's reader)",
    .fixtures = [] { return fuzz::DataFiles(kFiles); },
    .read =
        [](const fuzz::Bytes& input) {
          TPNGGraphic png;
          png.LoadFromMemory(input.data(), input.size());
          if (png.Height() > 0) (void)png.ScanLine(png.Height() - 1);
        },
    .refuses = fuzz::ErrorOf<rtl::EInvalidGraphic, rtl::EReadError, EColorConversionError>,
    .rounds = 400,
});

const bool platformPng = fuzz::Join({
    .name = "PNG (class library's image)",
    .fixtures = [] { return fuzz::DataFiles(kFiles); },
    .read =
        [](const fuzz::Bytes& input) {
          vcl::TPngPixels pixels;
          vcl::DecodePng(input.data(), input.size(), pixels);
          std::uint32_t sum = 0;
          for (std::uint32_t p : pixels.Pixels) sum += p;
          (void)sum;
        },
    .refuses = fuzz::ErrorOf<rtl::EInvalidGraphic>,
    .rounds = 400,
});

}  // namespace
