// Skins as the skin manager loads them: a packed skin taken apart and its option text loaded with the images of its
// package; and an option text on its own, with the images of a sound package beside it. Every table a painter
// reads is filled, the cached indexes included.
#include <memory>

#include "mutate.h"
#include "skin/core/lvZLibEx.h"
#include "skin/core/sIniText.h"
#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinPack.h"

namespace {

std::unique_ptr<TlvSkinConvertor> TakeApart(const fuzz::Bytes& bytes) {
  auto package = std::make_unique<TlvSkinConvertor>();
  package->PackedData = std::make_unique<rtl::TMemoryStream>();
  if (!bytes.empty()) package->PackedData->Write(bytes.data(), static_cast<rtl::Integer>(bytes.size()));
  ExtractPackedData(package, nullptr);
  package->PackedData.reset();
  return package;
}

void LoadOptions(const std::string& text, TlvSkinConvertor* images) {
  TlvIniText options;
  options.SetText(TlvIniText::DecodeText(text));
  TsLoadParams params;
  params.SkinName = L"fuzz";
  params.Package = images;
  TsSkinTables tables;
  TsSkinData description;
  TsSkinLoader loader(options, params, tables, description);
  loader.CheckParentChains();
  loader.LoadAllMasks();
  loader.LoadAllGeneralData();
  tables.InitConstantIndexes();
  for (size_t i = 0; i < tables.ma.size(); ++i)
    if (tables.ma[i].BorderWidth >= 0) tables.MaskWidthLeft(static_cast<int>(i));
}

const bool packedSkins = fuzz::Join({
    .name = "packed skin",
    .fixtures =
        [] {
          return fuzz::DataFiles({"skin/skins/Lale.lvx", "skin/skins/Deniz.lvx"});
        },
    .read =
        [](const fuzz::Bytes& input) {
          std::unique_ptr<TlvSkinConvertor> package = TakeApart(input);
          if (!package->Options) throw fuzz::Refusal("no option file in the package");
          LoadOptions(std::string(static_cast<const char*>(package->Options->Memory()),
                                  static_cast<size_t>(package->Options->Size())),
                      package.get());
        },
    .refuses = fuzz::ErrorOf<ESkinError>,
    .rounds = 400,
});

const bool optionFiles = fuzz::Join({
    .name = "skin option file",
    .fixtures =
        [] {
          return fuzz::DataFiles({"skin/skins/Lale/Options.dat", "skin/skins/Deniz/Options.dat"});
        },
    .read =
        [](const fuzz::Bytes& input) {
          // The images of the sound package, taken apart once.
          static const std::unique_ptr<TlvSkinConvertor> images = [] {
            std::vector<fuzz::Input> lale = fuzz::DataFiles({"skin/skins/Lale.lvx"});
            return TakeApart(lale.at(0).data);
          }();
          LoadOptions(std::string(input.begin(), input.end()), images.get());
        },
    .refuses = fuzz::ErrorOf<ESkinError>,
    .text = true,
    .rounds = 300,
    // Each input loads every image of the skin: the truncations are sampled past the first few hundred bytes.
    .truncateAll = 400,
});

}  // namespace
