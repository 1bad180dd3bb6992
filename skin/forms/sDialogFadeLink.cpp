// Linked into every program that uses the skinned forms: from then on the skinned dialogs' title buttons fade (and
// glow) the way the forms' caption buttons do.
#include "skin/forms/sSBAnimation.h"
#include "skin/windows/lvDialogWnd.h"

namespace {
const bool kRegistered = [] {
  lvFadeDialogButton = [](TlvDialogWnd* owner, TsCaptionButton* btn, int newState, int iterations, bool up) {
    StartSBAnimation(btn, newState, iterations, up, nullptr, owner);
  };
  lvStopButtonFade = [](TsCaptionButton* btn) { delete btn->Timer; };
  return true;
}();
}  // namespace
