// The alpha image list's own reading of image files (PNG, icon or 32-bit bitmap, told by their first bytes): a file
// added to the list, drawn through the list at its size and at another, and the system list generated again from
// the items the form would store.
#include <memory>

#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "skin/render/lvAlphaImageList.h"

namespace {

rtl::String TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return rtl::String(dir) + name;
}

const std::string kData = "platform/vcl/graphics/data/";

const bool imageList = fuzz::Join({
    .name = "alpha image list file",
    .fixtures =
        [] {
          return fuzz::DataFiles({kData + "halves_rgba.png", kData + "graya.png", kData + "halves_icon.ico"});
        },
    .read =
        [](const fuzz::Bytes& input) {
          // An icon is taken only from a file named so: every input is named ".ico", the others go by their bytes.
          const rtl::String path = TempPath(L"tavrel_fuzz_glyph.ico");
          {
            rtl::TFileStream file(path, rtl::fmCreate);
            if (!input.empty()) file.WriteBuffer(input.data(), static_cast<rtl::Integer>(input.size()));
          }
          TsAlphaImageList list(nullptr);
          if (!list.TryLoadFromFile(path)) throw fuzz::Refusal("not an image the list takes");
          const int last = list.Count() - 1;
          vcl::TBitmap target(16, 16, vcl::pf32bit);
          list.GetBitmap32(last, &target);
          list.CreateBitmap32(last, 37, 5);
          list.Draw(target.Canvas(), 0, 0, last, true);
          list.GenerateStdList();
        },
    .refuses = fuzz::ErrorOf<>,
    .rounds = 300,
});

}  // namespace
