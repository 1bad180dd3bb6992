// Linked into every program that uses the window wrappers: from then on the skin manager's thread hook skins the
// system's dialogs and popup-menu windows through them.
#include "skin/windows/lvDials.h"

namespace {
const bool kRegistered = [] {
  lvDialogHooks.CBT = &lvSkinHookCBT;
  lvDialogHooks.AddSupportedForm = &lvAddSupportedForm;
  lvDialogHooks.ClearMnuArray = &lvClearMnuArray;
  return true;
}();
}  // namespace
