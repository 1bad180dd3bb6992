#pragma once
// The wrapper of an up-down (spin) window. What is here is what the skinned page control needs for the arrows of
// its overflowing tab strip: the window is held and given back like any wrapped window, its look is the page
// control's business (it overrides WndProc).
#include "skin/windows/lvSBUtils.h"

class TlvSpinWnd : public TlvMainWnd {
 public:
  // The spin window is wrapped as a bare window with a skin state of its own (skinData is the state of the control
  // it belongs to and is not taken over).
  TlvSpinWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData* skinData);
  rtl::String SkinSection;

  void lvWndProc(vcl::TMessage& message) override;

 protected:
  // One message of the spin window; the base passes everything on after the common handling.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT CallOld(UINT msg, WPARAM wParam, LPARAM lParam);
};
