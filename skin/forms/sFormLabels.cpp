// Plain labels of a skinned form take the skin's font colour (and give their own back when the skin goes), and the
// controls lying in the form's header band are told that what lies behind them changed with the form's activation.
#include <algorithm>

#include "platform/vcl/stdctrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"

namespace {

// The library's own skinned labels colour themselves; they are known by class name (they live in a lower layer
// this one does not link).
bool IsSkinnedLabel(vcl::TControl* c) {
  for (const vcl::TClassInfo* k = vcl::ClassOf(c); k; k = k->ClassParent())
    if (k->ClassName() == L"TsCustomLabel") return true;
  return false;
}

}  // namespace

void TsSkinProvider::InitLabel(vcl::TControl* control, bool skinned) {
  auto* label = dynamic_cast<vcl::TCustomLabel*>(control);
  if (!label || IsSkinnedLabel(label)) return;
  TsSkinManager* m = DefaultManager;
  const bool transparentAlways = m && m->LabelsOptions()->TransparentAlways();
  auto saved = std::find_if(SavedLabelColors.begin(), SavedLabelColors.end(),
                            [&](const TlvSavedLabel& s) { return s.Control == label; });
  if (skinned) {
    if (label->Tag() & 0x100) return;
    if (saved == SavedLabelColors.end()) {
      SavedLabelColors.push_back({label, label->Font()->Color(), label->ParentFont()});
      label->FreeNotification(this);
      if (label->Transparent() || transparentAlways) {
        vcl::TControlStyle style = label->ControlStyle();
        style.Exclude(vcl::csOpaque);
        label->SetControlStyle(style);
      }
    }
    if (m) label->Font()->SetColor(m->GetGlobalFontColor());
    return;
  }
  if (saved == SavedLabelColors.end()) return;
  if (!saved->ParentFont)
    label->Font()->SetColor(saved->Color);
  else if (label->ParentFont() && label->Parent())
    label->Font()->SetColor(label->Parent()->Font()->Color());
  else
    label->SetParentFont(true);
  // The last record takes the freed place.
  *saved = SavedLabelColors.back();
  SavedLabelColors.pop_back();
  if (label->Transparent() || transparentAlways) {
    vcl::TControlStyle style = label->ControlStyle();
    style.Include(vcl::csOpaque);
    label->SetControlStyle(style);
  }
}

void TsSkinProvider::RestoreLabels() {
  while (!SavedLabelColors.empty()) {
    const size_t before = SavedLabelColors.size();
    InitLabel(SavedLabelColors.back().Control, false);
    if (SavedLabelColors.size() == before) SavedLabelColors.pop_back();
  }
}

void TsSkinProvider::ForgetLabel(vcl::TComponent* component) {
  SavedLabelColors.erase(std::remove_if(SavedLabelColors.begin(), SavedLabelColors.end(),
                                        [&](const TlvSavedLabel& s) { return s.Control == component; }),
                         SavedLabelColors.end());
}

void TsSkinProvider::RepaintHeadCtrl(vcl::TControl* control, int) {
  const WPARAM on = MakeLumiWParam(LVC_UPDATING, 1), changed = MakeLumiWParam(LVC_SETBGCHANGED, 1);
  if (auto* w = dynamic_cast<vcl::TWinControl*>(control)) {
    if (!w->HandleAllocated() || w->ComponentState().Contains(vcl::csDestroying)) return;
    SendMessageW(w->Handle(), SM_LUMICMD, on, 0);
    SendMessageW(w->Handle(), SM_LUMICMD, changed, 0);
    return;
  }
  control->Perform(SM_LUMICMD, on, 0);
  control->Perform(SM_LUMICMD, changed, 0);
}
