#include "skin/controls/sSkinCommands.h"

#include "skin/core/sCommonMessage.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"

bool HandleSkinCommand(vcl::TControl* owner, TsCommonData* data, vcl::TMessage& m, const wchar_t* defaultSection,
                       bool container) {
  if (m.Msg != SM_LUMICMD) return false;
  const WORD command = m.WParamHi();
  if (command == LVC_GETDEFINDEX) {
    TsSkinManager* manager = data->SkinManager();
    m.Result = manager && defaultSection ? manager->GetSkinIndex(defaultSection) + 1 : 0;
    return true;
  }
  const bool skinChange = command == LVC_SETNEWSKIN || command == LVC_REMOVESKIN || command == LVC_REFRESH;
  if (skinChange && container && reinterpret_cast<TsSkinManager*>(m.LParam) == data->SkinManager())
    if (auto* win = dynamic_cast<vcl::TWinControl*>(owner)) LumiBroadCast(win, m);
  CommonMessage(m, data);
  return true;
}
