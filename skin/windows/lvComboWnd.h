#pragma once
// Combo box wrappers: the combo box's frame and drop-down button painted from the skin over what the control
// paints itself, and its drop-down list (or the list part of a simple combo box) with a one-pixel skin-coloured
// frame and skinned scroll bars. The library's own skinned combo boxes use the list wrapper for their lists too.
#include "platform/vcl/controls.h"
#include "platform/vcl/stdctrls.h"
#include "skin/windows/lvEditWnd.h"

class TlvComboListWnd : public TlvEditWnd {
 public:
  ~TlvComboListWnd() override;
  bool Showed = false;
  bool SimplyBox = false;

  using TlvEditWnd::Create;
  // Wraps a drop-down list window; simplyBox: the list belongs to a simple combo box and lies inside it.
  static TlvComboListWnd* Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                                 const rtl::String& skinSection, bool repaint, bool simplyBox);
  void AfterCreation() override;
  void SetSkinParams() override;
  void lvWndProc(vcl::TMessage& message) override;

 protected:
  bool ThemeOffAtCreation(bool repaint) const override { return repaint; }
  void PrepareListCache();
  void PaintStripBelow();
};

class TlvComboBoxWnd : public TlvEditWnd {
 public:
  ~TlvComboBoxWnd() override;
  HWND FListHandle = nullptr;
  bool LBoxOpening = false;
  TlvComboListWnd* ListSW = nullptr;

  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  // The drop-down button in window coordinates (empty for a simple combo box).
  virtual vcl::TRect ButtonRect();
  int ButtonHeight();
  void PaintButton(HDC dc);
  void RepaintButton();
  void PaintText();
  void PrepareSimple();
  void DrawItem(int index, vcl::TRect rect, HDC dc, UINT state);
  void CNDrawItem(vcl::TMessage& message);
  bool EasyComboBox() const;
  void Invalidate();
  // The text of item index of the combo box, whatever its length (an empty text when there is no such item).
  rtl::String ItemText(int index);
  // The brush the drop-down list paints its background with while skinned; nullptr before the list opened.
  HBRUSH ListBrush() const { return FListBrush; }

 private:
  // The brush the drop-down list was given for its skin colour; freed with the wrapper or the skin.
  HBRUSH FListBrush = nullptr;
  void FreeListBrush();
  void ReleaseList();
};

// Combo-like edits of another class library whose drop-down list is a child list-box control: the list box gets
// an edit wrapper of its own instead of the list hooking.
class TlvWWComboBoxWnd : public TlvComboBoxWnd {
 public:
  ~TlvWWComboBoxWnd() override;
  bool FShowButton = false;
  vcl::TCustomListBox* ListBox = nullptr;
  TlvScrollWnd* ListBoxSW = nullptr;
  TsScrollWndData* ListBoxSkinData = nullptr;

  void AfterCreation() override;
  vcl::TRect ButtonRect() override;
  void lvWndProc(vcl::TMessage& message) override;
  // False for a platform combo box whose style is neither drop-down nor drop-down list; True otherwise.
  static bool GetShowButton(vcl::TWinControl* control);
};
