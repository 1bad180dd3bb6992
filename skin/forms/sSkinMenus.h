#pragma once
// Popup menus painted from the active skin: every item of a hooked popup is measured and drawn here (owner drawn),
// on one background picture of the whole popup that is built once and reused for every item and repaint. Without
// an active skin nothing is hooked and the menus are the platform's.
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/menus.h"
#include "skin/core/services/sSkinProvider.h"

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

class TsSkinMenus : public TsSkinableMenus {
 public:
  explicit TsSkinMenus(TsSkinManager* owner);
  ~TsSkinMenus() override;

  int Margin() const { return FMargin; }
  void SetMargin(int v) { FMargin = v; }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v) { FSpacing = v; }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v) { FBorderWidth = v; }
  bool Active() const { return FActive; }

  void UpdateMenus() override;
  void InitItems(bool a) override;
  void HookPopupMenu(vcl::TPopupMenu* menu, bool active) override;
  // Hooks (or takes back) the handlers of the item's sub-items, recursively.
  void HookItem(vcl::TMenuItem* item, bool active);
  void DrawWndBorder(HWND wnd, vcl::TBitmap* menuBmp) override;
  vcl::TBitmap* MenuBitmap(HWND popup) override;
  // Frees every cached background.
  void ClearCache();
  int GetSkinBorderWidth();

  // The top items of a main menu get (a) or lose the menu-line handlers below.
  void InitMenuLine(vcl::TMainMenu* menu, bool a);
  void sMeasureLineItem(rtl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height);
  void sAdvancedDrawLineItem(rtl::TObject* sender, vcl::TCanvas* canvas, const vcl::TRect& r, UINT state);
  // The picture a menu-line item shows: its image-list entry, else its bitmap (both null: none).
  static vcl::TCustomImageList* LineImages(vcl::TMenuItem* item);
  static vcl::TSize LinePictureSize(vcl::TMenuItem* item);

  void sMeasureItem(rtl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height);
  void sAdvancedDrawItem(rtl::TObject* sender, vcl::TCanvas* canvas, const vcl::TRect& r, UINT state);

  // The kind of the item being measured or drawn.
  TsMenuItemType it = smNormal;
  // Raised after an item is painted into its buffer, so that the application can paint over it.
  std::function<void(vcl::TMenuItem* item, vcl::TCanvas* canvas, TsMenuItemType kind, UINT state, const vcl::TRect& r)>
      OnDrawItem;

  static TsMenuItemType ItemKind(const vcl::TMenuItem* item);
  // The picture size of an item: its bitmap's, else its menu's image list's, else 16 x 16 (bitmapOnly: the
  // bitmap's or nothing).
  static vcl::TSize GlyphSize(vcl::TMenuItem* item, bool bitmapOnly);
  // Some item after the first, up to and including this one, starts a new column.
  static bool Breaked(vcl::TMenuItem* item);

 private:
  struct TlvMenuInfo {
    vcl::TMenuItem* FirstItem = nullptr;
    std::unique_ptr<vcl::TBitmap> Bmp;
    HWND Wnd = nullptr;
    bool HaveExtraLine = false;
  };
  TlvMenuInfo* GetMenuInfo(vcl::TMenuItem* item, HWND wnd, bool build);
  void PrepareMenuBG(TlvMenuInfo& info, int width, int height);
  int GetItemHeight(vcl::TMenuItem* item);
  vcl::TSize PopupSize(vcl::TMenuItem* item);
  void SetActive(bool value);
  HFONT MenuFont();
  // Asks the application about the popup's extra line (section, picture, text); True when it has one.
  bool ExtraLineQuery(vcl::TMenuItem* firstItem);
  int ExtraWidth(const TlvMenuInfo* mi) const;
  void PaintExtraLine(vcl::TBitmap* b, int height);
  // The item's font after the application's OnGetPopupItemData; colorChanged: the
  // application chose the text colour.
  void ItemFont(vcl::TMenuItem* item, UINT state, vcl::TFont& font, bool& colorChanged);
  bool Measuring = false;
  rtl::String ExtraSection, ExtraCaption;
  std::unique_ptr<vcl::TBitmap> ExtraGlyph;
  // r: the item's place on the canvas; extra: the strip on its left that belongs to the extra line.
  void PaintDivider(vcl::TMenuItem* item, vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TBitmap* bg, int extra);
  void PaintCaption(vcl::TMenuItem* item, vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TBitmap* bg, int extra);

  int FMargin = 2;
  int FSpacing = 8;
  int FBorderWidth = 3;
  bool FActive = false;
  bool BorderDrawing = false;
  HFONT FMenuFont = nullptr;
  std::vector<TlvMenuInfo> MenuInfoArray;
  // Command ids of the items carrying our handlers, so that none keeps them after the manager is gone.
  std::set<UINT> FHooked;
  void UnhookAll();
};
