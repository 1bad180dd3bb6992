#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvGridWnd.h"
#include "skin/windows/lvListViewWnd.h"
#include "skin/windows/lvSBUtils.h"
#include "skin/windows/lvSBWnd.h"

namespace {

constexpr std::array<TlvWndClass, 23> MakeWndTypes() {
  std::array<TlvWndClass, 23> t{};
  t[0] = &CreateWrapper<TlvEditWnd>;         // ThirdEdits
  t[4] = &CreateWrapper<TlvComboBoxWnd>;     // ThirdComboBoxes
  t[5] = &CreateWrapper<TlvGridWnd>;         // ThirdGrids
  t[7] = &CreateWrapper<TlvListViewWnd>;     // ThirdListViews
  t[9] = &CreateWrapper<TlvTreeViewWnd>;     // ThirdTreeViews
  t[10] = &CreateWrapper<TlvWWComboBoxWnd>;  // ThirdWWEdits
  t[11] = &CreateWrapper<TlvGridEhWnd>;      // ThirdGridEh
  t[17] = &CreateWrapper<TlvEditWnd>;        // ThirdSpeedButton: a windowed control named there is an edit
  t[20] = &CreateWrapper<TlvSBWnd>;          // ThirdScrollBar
  return t;
}

}  // namespace

constinit std::array<TlvWndClass, 23> WndTypes = MakeWndTypes();
