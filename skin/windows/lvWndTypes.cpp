#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvMDIWnd.h"
#include "skin/windows/lvSBUtils.h"

namespace {

constexpr std::array<TlvWndClass, 23> MakeWndTypes() {
  std::array<TlvWndClass, 23> t{};
  t[0] = &CreateWrapper<TlvEditWnd>;         // ThirdEdits
  t[4] = &CreateWrapper<TlvComboBoxWnd>;     // ThirdComboBoxes
  t[10] = &CreateWrapper<TlvWWComboBoxWnd>;  // ThirdWWEdits
  t[17] = &CreateWrapper<TlvEditWnd>;        // ThirdSpeedButton: a windowed control named there is an edit
  t[18] = &CreateWrapper<TlvScrollBoxWnd>;   // ThirdScrollControl
  t[22] = &CreateWrapper<TlvNativePaint>;    // ThirdNativePaint
  return t;
}

}  // namespace

constinit std::array<TlvWndClass, 23> WndTypes = MakeWndTypes();
