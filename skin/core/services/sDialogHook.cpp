#include "skin/core/services/sDialogHook.h"

HHOOK HookCallback = nullptr;
std::unique_ptr<std::vector<std::unique_ptr<TlvScrollWnd>>> lvSupportedList;

LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(HookCallback, code, wParam, lParam);
}

void ClearMnuArray() {}

rtl::TStringList& ThirdPartySkipForms() {
  static rtl::TStringList list;
  if (list.Count() == 0) {
    list.SetCaseSensitive(true);
    for (const wchar_t* name : {L"TApplication", L"TfcPopup", L"TcxComboBoxPopupWindow", L"TcxCustomPopupWindow",
                                L"TdxPopupEditForm", L"TcxDateEditPopupWindow", L"TcxGridFilterPopup"})
      list.Add(name);
    list.SetSorted(true);
  }
  return list;
}

TlvScrollWnd* Lv_GetScrollWndFromHwnd(HWND handle) {
  if (!handle) return nullptr;
  return static_cast<TlvScrollWnd*>(GetPropW(handle, L"LVSBSC"));
}
