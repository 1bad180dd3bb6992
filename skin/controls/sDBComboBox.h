#pragma once
// The skinned bound combo box: an editable drop-down whose text is its field's; the items are suggestions and any
// text is accepted. Without an active skin it is the platform's bound combo box.
// With an active skin it paints itself from the section "COMBOBOX" through its cache bitmap (frame, the current
// item and the button from the skin's combo-button element), draws its list items itself (the drop-down styles are
// made owner-drawn while skinned) and hands its list window to the list wrapper. In every case the wheel over a
// closed combo box leaves the field alone: a turn of the wheel while passing over a form must not edit a record;
// over the open list it scrolls the list.
#include <memory>

#include "platform/db/dbctrls.h"
#include "platform/vcl/bitmap.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/sCommonData.h"

class TlvScrollWnd;

class TsDBComboBox : public db::TDBComboBox {
  VCL_CLASS(TsDBComboBox, db::TDBComboBox)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBComboBox(vcl::TComponent* owner);
  ~TsDBComboBox() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  // Kept for the forms; no painting reads them.
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  int ButtonMargin() const { return FButtonMargin; }
  void SetButtonMargin(int value);

  // The text of a list item as the list window holds it (its length asked first, so any length fits); the item
  // list's own string when the window does not have it.
  rtl::String ItemText(int index);
  // The drop-down button's rectangle in the control.
  vcl::TRect ButtonRect();
  int ButtonHeight();
  // Paints the cache; false when the parent's background is not ready yet.
  bool PrepareCache();
  // The window in use was made owner-drawn (it was made while skinned).
  bool OwnerDrawn() const { return FOwnerDrawWnd; }
  // The list window once it has been handed to the list wrapper.
  HWND ListHandle() const { return lboxhandle; }
  // Rescales the control by m/d (bounds and font); the window is made anew when the pair differs from the last one,
  // so that the system measures its items again.
  void ChangeScale(int m, int d);
  int ActM() const { return actM; }
  int ActD() const { return actD; }
  // The edit part or the list has the focus, or the skin state says so.
  bool Focused();

 protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void DrawItem(int index, const vcl::TRect& rect, TOwnerDrawState state);
  void PaintButton();
  void OurPaintHandler(HDC dc);
  void DetachList();
  void SkinnedWndProc(vcl::TMessage& m);
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT ComboWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TsDisabledKind FDisabledKind{dkBlended};
  vcl::TAlignment FAlignment = vcl::taLeftJustify;
  int FButtonMargin = 2;
  HWND lboxhandle = nullptr;
  TlvScrollWnd* ListSW = nullptr;
  bool FDropDown = false;
  int actM = 1, actD = 1;
  bool FOwnerDrawWnd = false;
  HWND FEditHandle = nullptr;
  WNDPROC FEditProc = nullptr;
  // The list item just drawn, until it is copied to the item's DC.
  std::unique_ptr<vcl::TBitmap> currentItemBmp_;
};
