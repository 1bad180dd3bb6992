// Linked into every program that uses the skinned forms: from then on the core's minimise, restore, thumbnail and
// live-preview calls reach the skinned forms.
#include "skin/core/services/sSkinProvider.h"
#include "skin/forms/sDwmEffects.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnims.h"

namespace {

TsSkinProvider* Skinned(TsCustomSkinProvider* provider) { return dynamic_cast<TsSkinProvider*>(provider); }

const bool kRegistered = [] {
  FormEffectHooks.StartMinimizing = [](TsCustomSkinProvider* p) { return FormStartMinimizing(Skinned(p)); };
  FormEffectHooks.StartRestoring = [](TsCustomSkinProvider* p) { return FormStartRestoring(Skinned(p)); };
  FormEffectHooks.SetThumbIcon = [](HWND wnd, TsCustomSkinProvider* p, int w, int h) {
    return SetThumbIcon(wnd, Skinned(p), w, h) != 0;
  };
  FormEffectHooks.SetPreviewBmp = [](HWND wnd, TsCustomSkinProvider* p) { return SetPreviewBmp(wnd, Skinned(p)); };
  return true;
}();

}  // namespace
