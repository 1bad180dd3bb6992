// The skinned drawing of a form's popup menus and loose menu items, frames included, switched on and off with the
// form's skin.
#include <functional>

#include "platform/vcl/frames.h"
#include "platform/vcl/menus.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::InitMenuItems(bool a) {
  TsSkinManager* sm = SkinManager();
  if (ComponentState().Contains(vcl::csDesigning) || !sm || sm != DefaultManager || !sm->SkinableMenus()) return;
  auto* menus = dynamic_cast<TsSkinMenus*>(sm->SkinableMenus());
  const bool hook = a && sm->SkinnedPopups();
  std::function<void(vcl::TComponent*)> walk = [&](vcl::TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      vcl::TComponent* c = owner->Components(i);
      if (auto* popup = dynamic_cast<vcl::TPopupMenu*>(c)) {
        sm->SkinableMenus()->HookPopupMenu(popup, hook);
      } else if (auto* item = dynamic_cast<vcl::TMenuItem*>(c)) {
        if (menus && !dynamic_cast<vcl::TMainMenu*>(item->GetParentMenu())) menus->HookItem(item, hook);
      } else if (auto* frame = dynamic_cast<vcl::TFrame*>(c)) {
        walk(frame);
      }
    }
  };
  walk(Form);
}
