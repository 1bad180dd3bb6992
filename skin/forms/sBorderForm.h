#pragma once
// The extended border of a skinned form or dialog: the frame image with its translucent shadow lives in a second,
// borderless layered window laid exactly around the owner's window, directly behind it in the Z order. It follows
// the owner's moves, sizes and state, never takes activation or the focus, answers the hit tests of the frame,
// caption and caption buttons for the owner, and lets the mouse fall through its shadow. The owner's client area is
// cut out of its region, so the owner's own window is what shows there.
//
// Border-window coordinates: origin at the window's top-left; the owner's window lies at (OffsetX, OffsetY).
#include <cstdint>

#include "platform/vcl/forms.h"
#include "skin/core/services/sSkinProvider.h"

class TsSkinProvider;
class TlvDialogWnd;
struct TsCaptionButton;

class TlvBorderForm : public rtl::TObject, public TlvCustomBorderForm {
 public:
  // The owner is a form's provider or a dialog's frame wrapper; the window is made at once (hidden).
  explicit TlvBorderForm(TsSkinProvider* owner);
  explicit TlvBorderForm(TlvDialogWnd* owner);
  ~TlvBorderForm() override;
  TlvBorderForm(const TlvBorderForm&) = delete;
  TlvBorderForm& operator=(const TlvBorderForm&) = delete;

  vcl::TPoint LastTopLeft;
  vcl::TPoint LastMousePos{-9999, -9999};
  bool LeftPressed = false;
  bool lvInMouseMsg = false;
  bool MovRgnChanged = false;
  bool MaxMoving = false;
  // Exactly one of the two is set.
  TsSkinProvider* sp = nullptr;
  TlvDialogWnd* Dlg = nullptr;
  bool ResetRgn = false;
  vcl::TWndMethod OldBorderProc;
  // Not owned: the manager's active or inactive shadow image the frame painters use.
  vcl::TBitmap* ShadowTemplate = nullptr;

  void CreateNewForm() override;
  void UpdateExBordersPos(bool redraw = true, std::uint8_t blend = 255) override;
  HRGN MakeRgn(int newWidth, int newHeight) override;
  void UpdateRgn();
  void PaintAll() override;
  void PaintShadow(vcl::TBitmap* image, bool active, int titleSkinIndex, int borderIndex, int frameWidth) override;
  int OffsetX();
  int OffsetY() override;
  vcl::TRect ShadowSize();
  int MinTopCoord();
  void SendOwnerToBack();
  HWND GetTopWnd();

  // Questions forwarded to the owner.
  HWND OwnerHandle() override;
  int CaptionHeight(bool checkSkin) override;
  int MenuHeight();
  vcl::TRect IconRect();
  unsigned FormState();
  void SetHotHT(int hitCode, bool repaint = true);
  void KillAnimations();

  void BorderProc(vcl::TMessage& m);
  int Ex_WMNCHitTest(vcl::TMessage& m);
  bool Ex_WMSetCursor(vcl::TMessage& m);
  bool MouseAboveTheShadow(const vcl::TMessage& m);

 private:
  void Init();
  void FreeForm();
  TsSkinManager* Manager();
  bool OwnerEnabled();
  HRGN ClientRgn(int newWidth, int newHeight);
  HRGN MakeBluringRgn();
  int GetBtnIndex(vcl::TPoint p);
  void PassShadowMouse(vcl::TMessage& m);
  void EdgeDblClick(int hitCode);
};
