#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvSBUtils.h"

// ThirdEdits, ThirdButtons, ThirdBitBtns, ThirdCheckBoxes, ThirdComboBoxes, ThirdGrids, ThirdGroupBoxes,
// ThirdListViews, ThirdPanels, ThirdTreeViews, ThirdWWEdits, ThirdGridEh, ThirdVirtualTrees, ThirdPageControl,
// ThirdTabControl, ThirdToolBar, ThirdStatusBar, ThirdSpeedButton (a windowed control there is wrapped as an edit),
// ThirdScrollControl, ThirdUpDown, ThirdScrollBar, ThirdStaticText, ThirdNativePaint.
std::array<TlvWndClass, 23> WndTypes = {&CreateWrapper<TlvEditWnd>,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        &CreateWrapper<TlvComboBoxWnd>,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        &CreateWrapper<TlvEditWnd>,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
