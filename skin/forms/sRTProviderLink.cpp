// Linked into every program that uses the skinned forms: from then on the dialog hook gives a form that carries
// no skin provider one made at run time, so every form of the program follows the active skin.
#include "skin/core/services/sDialogHook.h"
#include "skin/forms/sSkinProvider.h"

namespace {
const bool kRegistered = [] {
  MakeRTSkinProvider = [](vcl::TCustomForm* form) -> TsCustomSkinProvider* {
    // Called from the thread's window hook: nothing may escape into the system's code.
    try {
      TsSkinProvider* sp = TsSkinProvider::CreateRT(form, true);
      sp->SetUseGlobalColor(false);
      if (form->HandleAllocated()) {
        UpdateWindow(form->Handle());
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      }
      sp->SetMakeSkinMenu(false);
      return sp;
    } catch (...) {
      return nullptr;
    }
  };
  return true;
}();
}  // namespace
