#pragma once
// Small controls the preview is built on: a scrolling surface with 32-bit scroll positions (a page area of a long
// report is far more than the 65535 pixels a scroll message carries), a flat drop-down combo box and a borderless
// panel that sits in a tool bar as a spacer or as the holder of other controls.
#include "platform/vcl/controls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"

// The text metrics of font, taken on a screen device context.
TEXTMETRICW GetFontMetrics(vcl::TFont* font);
int GetFontHeight(vcl::TFont* font);
// Mixes c1 into c2: a percentage of c1 for a below 100, a per-mille share from 100 on. System colours are turned
// into RGB first.
vcl::TColor Blend(vcl::TColor c1, vcl::TColor c2, int a);

class TqvxScrollWin : public vcl::TCustomControl {
  VCL_CLASS(TqvxScrollWin, vcl::TCustomControl)
 public:
  explicit TqvxScrollWin(vcl::TComponent* owner);

  vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(vcl::TBorderStyle value);
  int HorzPage() const { return FHorzPage; }
  void SetHorzPage(int value);
  int HorzPosition() const { return FHorzPosition; }
  // Clamped to 0..Range - Page; an unchanged position calls no hook.
  void SetHorzPosition(int value);
  int HorzRange() const { return FHorzRange; }
  void SetHorzRange(int value);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int value) { FLargeChange = value; }
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int value) { FSmallChange = value; }
  int VertPage() const { return FVertPage; }
  void SetVertPage(int value);
  int VertPosition() const { return FVertPosition; }
  void SetVertPosition(int value);
  int VertRange() const { return FVertRange; }
  void SetVertRange(int value);

 protected:
  void CreateParams(vcl::TCreateParams& params) override;
  void InitializeWnd() override;
  void Paint() override;
  void Dispatch(vcl::TMessage& m) override;
  // A descendant reacts to a changed position.
  virtual void OnHScrollChange() {}
  virtual void OnVScrollChange() {}

 private:
  void UpdateBar(int bar);
  void Scroll(int bar, vcl::TMessage& m);

  vcl::TBorderStyle FBorderStyle = vcl::bsSingle;
  int FHorzPage = 0;
  int FHorzPosition = 0;
  int FHorzRange = 0;
  int FLargeChange = 10;
  int FSmallChange = 1;
  int FVertPage = 0;
  int FVertPosition = 0;
  int FVertRange = 0;
};

// An editable drop-down combo box with a one-pixel border and a flat button of its own; its list may be wider than
// the box.
class TqvxCustomComboBox : public vcl::TCustomComboBox {
  VCL_CLASS(TqvxCustomComboBox, vcl::TCustomComboBox)
 public:
  explicit TqvxCustomComboBox(vcl::TComponent* owner);

  int ListWidth() const { return FListWidth; }
  void SetListWidth(int value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // The hot look: while dropped down, while the edit has the focus or while the mouse is over the box.
  bool SolidBorder();
  // Items shown at once times the item height, plus the frame.
  int GetListHeight();
  // The box's edit window.
  HWND EditHandle();

 protected:
  void InitializeWnd() override;
  void Dispatch(vcl::TMessage& m) override;
  void PaintBorder(HDC dc, bool solid);
  void PaintButton(HDC dc, int kind);
  void PaintDisabled(HDC dc);
  void PaintFrame();
  void PlaceEdit();

 private:
  static LRESULT CALLBACK EditWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  int FButtonWidth = 11;
  bool msMouseInControl = false;
  bool FReadOnly = false;
  int FEditOffset = 0;
  int FListWidth = 0;
};

class TqvxComboBox : public TqvxCustomComboBox {
  VCL_CLASS(TqvxComboBox, TqvxCustomComboBox)
 public:
  explicit TqvxComboBox(vcl::TComponent* owner) : TqvxCustomComboBox(owner) {}
};

// A borderless panel for tool bars; inside a panel that is itself docked it follows the dock's direction.
class TqvxTBPanel : public vcl::TPanel {
  VCL_CLASS(TqvxTBPanel, vcl::TPanel)
 public:
  explicit TqvxTBPanel(vcl::TComponent* owner);
  void SetParent(vcl::TWinControl* parent) override;
};
