#include "skin/windows/lvBarWnd.h"
#include "skin/windows/lvBtnWnd.h"
#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvGridWnd.h"
#include "skin/windows/lvListViewWnd.h"
#include "skin/windows/lvMDIWnd.h"
#include "skin/windows/lvSBUtils.h"
#include "skin/windows/lvSBWnd.h"
#include "skin/windows/lvSpinWnd.h"
#include "skin/windows/lvTabWnd.h"
#include "skin/windows/lvTrackWnd.h"

namespace {

constexpr std::array<TlvWndClass, 23> MakeWndTypes() {
  std::array<TlvWndClass, 23> t{};
  t[0] = &CreateWrapper<TlvEditWnd>;         // ThirdEdits
  t[1] = &CreateWrapper<TlvButtonWnd>;       // ThirdButtons
  t[2] = &CreateWrapper<TlvBitBtnWnd>;       // ThirdBitBtns
  t[3] = &CreateWrapper<TlvCheckBoxWnd>;     // ThirdCheckBoxes
  t[4] = &CreateWrapper<TlvComboBoxWnd>;     // ThirdComboBoxes
  t[5] = &CreateWrapper<TlvGridWnd>;         // ThirdGrids
  t[6] = &CreateWrapper<TlvGroupBoxWnd>;     // ThirdGroupBoxes
  t[7] = &CreateWrapper<TlvListViewWnd>;     // ThirdListViews
  t[8] = &CreateWrapper<TlvPanelWnd>;        // ThirdPanels
  t[9] = &CreateWrapper<TlvTreeViewWnd>;     // ThirdTreeViews
  t[10] = &CreateWrapper<TlvWWComboBoxWnd>;  // ThirdWWEdits
  t[11] = &CreateWrapper<TlvGridEhWnd>;      // ThirdGridEh
  t[13] = &CreateWrapper<TlvPageControlWnd>; // ThirdPageControl
  t[14] = &CreateWrapper<TlvTabControlWnd>;  // ThirdTabControl
  t[15] = &CreateWrapper<TlvToolBarVCLWnd>;  // ThirdToolBar
  t[16] = &CreateWrapper<TlvStatusBarWnd>;   // ThirdStatusBar
  t[17] = &CreateWrapper<TlvEditWnd>;        // ThirdSpeedButton: a windowed control named there is an edit
  t[18] = &CreateWrapper<TlvScrollBoxWnd>;   // ThirdScrollControl
  t[19] = &CreateWrapper<TlvSpinWnd>;        // ThirdUpDown
  t[20] = &CreateWrapper<TlvSBWnd>;          // ThirdScrollBar
  t[21] = &CreateWrapper<TlvStaticTextWnd>;  // ThirdStaticText
  t[22] = &CreateWrapper<TlvNativePaint>;    // ThirdNativePaint
  return t;
}

}  // namespace

constinit std::array<TlvWndClass, 23> WndTypes = MakeWndTypes();
