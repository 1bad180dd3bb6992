#pragma once
// The skinned combo box. Without an active skin it is the platform's combo box: an editable drop-down that keeps
// its initial text with no item selected and fires OnChange when the text changes by typing or by a choice.
// With an active skin it paints its frame, edit area and drop-down button from the skin through its cache bitmap,
// draws its items itself (the drop-down styles become owner-drawn), hands its list window to the list wrapper so
// that the list is skinned too, and hot-tracks its button. A list-only combo without a section of its own looks
// like a push button. In every case the wheel over a closed combo box leaves its value alone: a turn of the wheel
// while passing over a form must not change a record.
#include <functional>
#include <memory>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/stdctrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TlvScrollWnd;
class TsSkinManager;
struct TsMaskData;

VCL_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
         odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
VCL_SET(TOwnerDrawState, TOwnerDrawStateItem)

// What the skinned combo boxes (plain and bound) share of the system's owner-draw messages. OwnerDrawStateOf: the
// item state the system hands over (ODS_ flags). ComboDrawItem answers CN_DRAWITEM (false: nothing handed over):
// the edit area is part of the control's cache, so paintCache repaints it; a list item is drawn by drawItem into
// itemBmp, which goes onto the system's DC and is freed. ComboListHandOver: on the first WM_CTLCOLORLISTBOX the
// list window goes to the list wrapper (listHandle and listSW keep it).
TOwnerDrawState OwnerDrawStateOf(UINT itemState);
bool ComboDrawItem(vcl::TMessage& m, TsCommonData* sd, const std::function<void()>& paintCache,
                   const std::function<void(int, const vcl::TRect&, TOwnerDrawState)>& drawItem,
                   std::unique_ptr<vcl::TBitmap>& itemBmp);
void ComboListHandOver(const vcl::TMessage& m, vcl::TCustomComboBox* combo, bool loading, TsCommonData* sd,
                       HWND& listHandle, TlvScrollWnd*& listSW);

// More of what the two skinned combo boxes share; each differs from the other only where it passes its own parts.
// The window is made owner-drawn while skinned (the drop-down styles); answers whether it was.
bool ComboOwnerDrawParams(vcl::TCustomComboBox* combo, TsCommonData* sd, vcl::TCreateParams& p);
// The list window given back by the list wrapper, with the frame the system gave it.
void ComboDetachList(HWND& listHandle, TlvScrollWnd*& listSW);
// The edit window of an editable combo sends its messages through proc (prop on it names the combo); the unhook
// gives it back its own procedure when nobody subclassed it after us.
void ComboHookEdit(HWND combo, const wchar_t* prop, void* self, WNDPROC proc, HWND& edit, WNDPROC& old);
void ComboUnhookEdit(const wchar_t* prop, WNDPROC proc, HWND& edit, WNDPROC& old);
// The combo's window, its edit window or its list has the focus, or the skin state says so.
bool ComboHasFocus(TsCommonData* sd, vcl::TWinControl* combo, HWND edit, HWND list);
// The edit window's input that a read-only combo refuses (copying still works).
bool ComboReadOnlyRefuses(UINT msg);
// The edit window's painting kept out of the cache's picture of the text (true: answered, with result).
bool ComboEditKeptOut(HWND wnd, UINT msg, LRESULT& result);
// Height of the button's glyph (one frame), 16 without one.
int ComboButtonHeight(TsCommonData* sd, int glyphIndex);
// The glyph md centred in the button rectangle br of the cache, in the button's state.
void ComboButtonGlyph(vcl::TBitmap* cache, const TsMaskData& md, const vcl::TRect& br, int height, int glyphHeight,
                      int state);
// Paints the cache (false: the parent's background is not ready, the cache waits for it): the section in state,
// then inside (edit area and button), then the disabled look.
bool ComboPrepareCache(vcl::TCustomComboBox* combo, TsCommonData* sd, TsDisabledKind disabledKind,
                       const std::function<int()>& state, const std::function<void()>& inside);
// Copies the cache to dc (the window's own when none is given), repainting it first when stale; while the drop-down
// edit has the focus it paints its own text, so only the frame and the button come from the cache.
void ComboPaintFromCache(HDC given, vcl::TCustomComboBox* combo, TsCommonData* sd, bool skipWhileTimer,
                         const std::function<bool()>& prepareCache, const std::function<bool()>& focused,
                         const std::function<vcl::TRect()>& buttonRect);
// WM_PAINT, WM_ERASEBKGND, WM_NCPAINT and WM_PRINT of the skinned combo (false: another message). printResets:
// WM_PRINT clears the waiting for the parent first.
bool ComboPaintMessage(vcl::TMessage& m, HWND wnd, TsCommonData* sd, bool printResets,
                       const std::function<void(HDC)>& paint);
// The messages both skinned combos answer alike before their own (true: answered): painting (ComboPaintMessage),
// the list's hand-over (the message then goes on) and the owner-drawn items (ComboDrawItem).
bool ComboCommonMessage(vcl::TMessage& m, vcl::TCustomComboBox* combo, TsCommonData* sd, bool printResets,
                        const std::function<void(HDC)>& paint,
                        const std::function<void(int, const vcl::TRect&, TOwnerDrawState)>& drawItem,
                        std::unique_ptr<vcl::TBitmap>& itemBmp, HWND& listHandle, TlvScrollWnd*& listSW);
// The skin commands (SM_LUMICMD); before and after run around the common handling of a command of the combo's own
// manager (new skin, removed skin, refresh).
void ComboSkinCommand(vcl::TMessage& m, vcl::TCustomComboBox* combo, TsCommonData* sd, const bool& ownerDrawWnd,
                      const wchar_t* section, const std::function<void(WORD)>& before,
                      const std::function<void(WORD)>& after, const std::function<void()>& detachList,
                      const std::function<bool()>& prepareCache);
// CM_ENTER and CM_EXIT: the focus is in the edit window or the list, which the combo's own window never learns.
// own runs after the focus flag is set; inheritedProc is the platform's handling.
void ComboFocusMessage(vcl::TMessage& m, vcl::TCustomComboBox* combo, TsCommonData* sd,
                       const std::function<void()>& own, const std::function<void()>& inheritedProc);
// The whole control, edit window included, repainted from a new cache.
void ComboRepaintAll(vcl::TCustomComboBox* combo, TsCommonData* sd);
// A list item or the edit area drawn on bmp: the selection's look (answers whether the selection section painted
// it; textColour becomes the highlight text colour).
bool ComboPaintSelection(vcl::TBitmap* bmp, const vcl::TRect& all, TsSkinManager* sm, vcl::TColor color,
                         vcl::TColor& textColour);
// The end of drawing an item: a focus rectangle when asked, then the edit area goes into the cache at rect, a list
// item waits in itemBmp for the system's DC.
void ComboItemDone(std::unique_ptr<vcl::TBitmap> bmp, const vcl::TRect& rect, bool focusRect, bool editArea,
                   TsCommonData* sd, std::unique_ptr<vcl::TBitmap>& itemBmp);
// Bounds and (unless the parent's) font rescaled by m/d.
void ComboRescale(vcl::TCustomComboBox* combo, int m, int d);

class TsCustomComboBox : public vcl::TCustomComboBox {
  VCL_CLASS(TsCustomComboBox, vcl::TCustomComboBox)
  void WndProc(vcl::TMessage& message) override;
  // A list-only (or owner-drawn) combo without a section of its own looks like a push button.
  bool AllowBtnStyle() const;
  explicit TsCustomComboBox(vcl::TComponent* owner);
  ~TsCustomComboBox() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  void SetBoundLabel(TsBoundLabel* value) { FBoundLabel->Assign(value); }
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  vcl::TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(vcl::TVerticalAlignment value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);

  // The drop-down button's rectangle in the control.
  vcl::TRect ButtonRect();
  int ButtonHeight();
  void UpdateIndexes();
  // The first item equal to s (exact, case-sensitive), else -1.
  int IndexOf(const rtl::String& s);
  // Paints the cache; false when the parent's background is not ready yet.
  bool PrepareCache();
  // The list window once it has been handed to the list wrapper.
  HWND ListHandle() const { return lboxhandle; }
  // The window was made owner-drawn (it was made while skinned).
  bool OwnerDrawn();
  // 0 mouse away, 1 over the control (or its button), 2 dropped down.
  int MouseState() const { return State; }
  // Rescales the control by m/d (bounds and font) and keeps the product of all factors; the window is made anew
  // for a factor other than 1, so that the system measures its items again.
  void ChangeScale(int m, int d);
  int ActM() const { return actM; }
  int ActD() const { return actD; }

 protected:
  void SkinnedWndProc(vcl::TMessage& m);
  void CreateParams(vcl::TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DrawItem(int index, const vcl::TRect& rect, TOwnerDrawState state);
  void PaintButton();
  void OurPaintHandler(HDC dc);
  void AnimateCtrl(int kind);
  void DetachList();
  bool DropKey(const vcl::TMessage& m) const;
  // The edit window of an editable combo: its painting and (read-only) its input pass through here.
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT ComboWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The edit window or the list has the focus, or the skin state says so.
  bool HasFocus();
  HWND FEditHandle = nullptr;
  WNDPROC FEditProc = nullptr;

  std::unique_ptr<TsCtrlSkinData> FCommonData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  bool FReadOnly = false;
  bool FShowButton = true;
  vcl::TAlignment FAlignment = vcl::taLeftJustify;
  TsDisabledKind FDisabledKind{dkBlended};
  vcl::TVerticalAlignment FVerticalAlignment = vcl::taVerticalCenter;
  int State = 0;
  int FGlyphIndex = -1;
  HWND lboxhandle = nullptr;
  TlvScrollWnd* ListSW = nullptr;
  bool FDropDown = false;
  // The scale factors applied so far (their products).
  int actM = 1, actD = 1;
  // Whether the window in use was made owner-drawn.
  bool FOwnerDrawWnd = false;
  // The list item just drawn, until it is copied to the item's DC.
  std::unique_ptr<vcl::TBitmap> currentItemBmp_;
};

class TsComboBox : public TsCustomComboBox {
  VCL_CLASS(TsComboBox, TsCustomComboBox)
  explicit TsComboBox(vcl::TComponent* owner) : TsCustomComboBox(owner) {}
};
