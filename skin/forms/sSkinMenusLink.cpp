// Linked into every program that uses the skinned forms: from then on each skin manager paints the menus.
#include "skin/forms/sSkinMenus.h"

namespace {
const bool kRegistered = [] {
  MakeSkinableMenus = [](TsSkinManager* owner) -> std::unique_ptr<TsSkinableMenus> {
    return std::make_unique<TsSkinMenus>(owner);
  };
  return true;
}();
}  // namespace
