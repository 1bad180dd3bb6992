// Linked into every program that uses the skinned forms: from then on a skinned dialog whose skin has extended
// borders gets a border window as the forms do.
#include "skin/forms/sBorderForm.h"
#include "skin/windows/lvDialogWnd.h"

namespace {
const bool kRegistered = [] {
  lvMakeDialogBorderForm = [](TlvDialogWnd* owner) -> TlvCustomBorderForm* { return new TlvBorderForm(owner); };
  return true;
}();
}  // namespace
