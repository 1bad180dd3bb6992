#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/picture.h"
#include "testdata.h"

using namespace vcl;

// Every picture kind, damaged one byte at a time and cut short at every length, either loads or raises the
// loader's error; it never crashes and never raises anything else.
TEST(DamagedPictures, EveryKindFailsCleanly) {
  for (const wchar_t* file : {L"halves_palette.png", L"halves_interlaced.png", L"halves.jpg", L"halves24.bmp",
                              L"halves_rle8.bmp", L"halves_icon.ico"}) {
    const auto good = gfxtest::DataBytes(file);
    int failures = 0;
    auto attempt = [&](const std::vector<rtl::Byte>& data) {
      TPicture p;
      try {
        p.LoadFromMemory(data.data(), data.size());
      } catch (const rtl::EInvalidGraphic&) {
        ++failures;
      }
    };
    // Large files are sampled; the headers at the start are always covered byte by byte.
    size_t step = good.size() > 600 ? good.size() / 300 : 1;
    for (size_t i = 0; i < good.size(); i += (i < 128 ? 1 : step)) {
      auto damaged = good;
      damaged[i] ^= 0xA5;
      attempt(damaged);
      attempt(std::vector<rtl::Byte>(good.begin(), good.begin() + i));
    }
    EXPECT_GT(failures, 0) << std::wstring(file);
  }
}
