#include "skin/windows/lvSpinWnd.h"

#include "skin/core/sMessages.h"

TlvSpinWnd::TlvSpinWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData*)
    : SkinSection(params.SkinSection) {
  TlvSkinParams own = params;
  own.Control = nullptr;
  if (handle && IsWindow(handle) && !GetPropW(handle, L"LVSBSC")) Create(handle, nullptr, manager, own, false);
  HWND parent;
  vcl::TRect wr, pr;
  vcl::TSize size;
  InitCtrlData(handle, parent, wr, pr, size, WndPos);
}

void TlvSpinWnd::lvWndProc(vcl::TMessage& message) {
  message.Result = WndProc(message.Msg, message.WParam, message.LParam);
}

LRESULT TlvSpinWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SM_LUMICMD && HIWORD(wParam) == LVC_REFRESH) {
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
  }
  if (msg == WM_PAINT && wParam) {
    // Painting into a given DC: the window prints itself there.
    CallOld(WM_PRINTCLIENT, wParam, PRF_CLIENT | PRF_ERASEBKGND);
    return 0;
  }
  vcl::TMessage m{msg, wParam, lParam, 0};
  TlvMainWnd::lvWndProc(m);
  return m.Result;
}

LRESULT TlvSpinWnd::CallOld(UINT msg, WPARAM wParam, LPARAM lParam) {
  LPARAM l = lParam;
  return CallPrevWndProc(CtrlHandle, msg, wParam, l);
}
