#pragma once
// The wrapper of an up-down (spin) window: two arrow buttons painted from the skin's up-down sections, hot under
// the cursor and pressed while the left button is held; the control keeps doing the counting.
#include "skin/windows/lvSBUtils.h"

class TlvSpinWnd : public TlvMainWnd {
 public:
  TlvSpinWnd() = default;
  // The spin window is wrapped as a bare window with a skin state of its own (skinData is the state of the control
  // it belongs to and is not taken over).
  TlvSpinWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData* skinData);
  rtl::String SkinSection;
  int lOffset = 0;
  int Btn1State = 0;
  int Btn2State = 0;
  bool bMousePressed = false;

  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void LV_WMPaint(vcl::TMessage& message);
  void PrepareCache();
  bool IsVertical() const;

 protected:
  // One message of the spin window; the base passes everything on after the common handling.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT CallOld(UINT msg, WPARAM wParam, LPARAM lParam);
  void Redraw();
};
