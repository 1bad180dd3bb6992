#pragma once
// The caption of a skinned form beside its frame: the window menu the provider shows instead of the system's
// (rebuilt from the window's own system menu, whose visibility and enabling rules the caption buttons follow too),
// the user's extra caption buttons, the title icon, the added title text and the user's sub-menu of the window menu.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/menus.h"
#include "skin/core/sCaptionButton.h"

class TsSkinProvider;
class TlvSBAnimation;

// The queries the caption-button code asks of a window menu.
class TsCustomSysMenu : public vcl::TPopupMenu {
  VCL_CLASS(TsCustomSysMenu, vcl::TPopupMenu)
  explicit TsCustomSysMenu(vcl::TComponent* owner) : vcl::TPopupMenu(owner) {}
  virtual bool VisibleClose() = 0;
  virtual bool VisibleMax() = 0;
  virtual bool VisibleMin() = 0;
  virtual bool EnabledMax() = 0;
  virtual bool EnabledMin() = 0;
  virtual bool EnabledRestore() = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
  VCL_CLASS(TsSystemMenu, TsCustomSysMenu)
  explicit TsSystemMenu(TsSkinProvider* owner);

  // Rebuilds the items from the window's system menu.
  void Generate();
  void MakeSkinItems();
  // Regenerates when asked (or when there is no Close item yet), then shows and enables the standard items.
  void UpdateItems(bool full);
  void UpdateGlyphs() {}

  bool VisibleClose() override;
  bool VisibleMax() override;
  bool VisibleMin() override;
  bool EnabledMax() override;
  bool EnabledMin() override;
  bool EnabledRestore() override;
  bool VisibleRestore();
  bool VisibleSize();
  bool EnabledClose();
  bool EnabledMove();
  bool EnabledSize();

  void RestoreClick(rtl::TObject* sender);
  void MoveClick(rtl::TObject* sender);
  void SizeClick(rtl::TObject* sender);
  void MinClick(rtl::TObject* sender);
  void MaxClick(rtl::TObject* sender);
  void CloseClick(rtl::TObject* sender);
  void ExtClick(rtl::TObject* sender);
  void SkinSelect(rtl::TObject* sender);

  vcl::TMenuItem* SubMenu = nullptr;
  vcl::TMenuItem *ItemMove = nullptr, *ItemSize = nullptr, *ItemClose = nullptr, *ItemRestore = nullptr,
                 *ItemMinimize = nullptr, *ItemMaximize = nullptr;
  int ExtItemsCount = 0;
  TsSkinProvider* FOwner;
  vcl::TForm* FForm;

 private:
  vcl::TMenuItem* CreateSystemItem(const rtl::String& caption, const rtl::String& name,
                                   std::function<void(rtl::TObject*)> click);
  void SendCommand(WPARAM command);
};

VCL_ENUM(TlvMenuItemPos, ipTop, ipBottom, ipBeforeClose)

// A sub-menu of the user's items in the window menu.
class TlvSysSubMenu : public rtl::TPersistent {
  VCL_CLASS(TlvSysSubMenu, rtl::TPersistent)
  explicit TlvSysSubMenu(TsSkinProvider* owner = nullptr) : FOwner(owner) {}
  const rtl::String& Caption() const { return FCaption; }
  void SetCaption(const rtl::String& v) { FCaption = v; }
  vcl::TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(vcl::TPopupMenu* v) { FPopupMenu = v; }
  TlvMenuItemPos Position() const { return FPosition; }
  void SetPosition(TlvMenuItemPos v) { FPosition = v; }

 private:
  TsSkinProvider* FOwner;
  rtl::String FCaption;
  vcl::TPopupMenu* FPopupMenu = nullptr;
  TlvMenuItemPos FPosition = ipBeforeClose;
};

// The icon at the left of the caption; 0 for a size means: from the caption height.
class TsTitleIcon : public rtl::TPersistent {
  VCL_CLASS(TsTitleIcon, rtl::TPersistent)
  explicit TsTitleIcon(TsSkinProvider* owner = nullptr);
  int Height() const { return FHeight; }
  void SetHeight(int v) { FHeight = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }
  vcl::TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(vcl::TBitmap* v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);

 private:
  TsSkinProvider* FOwner;
  int FHeight = 0, FWidth = 0;
  std::unique_ptr<vcl::TBitmap> FGlyph;
  bool FVisible = true;
};

// A user caption button; its hit code is 1000 + its index.
class TsTitleButton : public vcl::TCollectionItem {
  VCL_CLASS(TsTitleButton, vcl::TCollectionItem)
  explicit TsTitleButton(vcl::TCollection* collection);
  ~TsTitleButton() override;
  void AssignTo(rtl::TPersistent* dest) const override;
  void Assign(const rtl::TPersistent* source) override;
  rtl::String DisplayName() const override { return FName; }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  vcl::TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(vcl::TBitmap* v);
  const rtl::String& Hint() const { return FHint; }
  void SetHint(const rtl::String& v) { FHint = v; }
  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& v) {
    if (v != FName) FName = v;
  }
  bool UseSkinData() const { return FUseSkinData; }
  void SetUseSkinData(bool v) { FUseSkinData = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);

  void MouseDown(int btnIndex, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void MouseUp(int btnIndex, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);

  vcl::TMouseEvent OnMouseUp;
  vcl::TMouseEvent OnMouseDown;
  TsCaptionButton Data;

 private:
  TsSkinProvider* Provider() const;
  bool FEnabled = true, FVisible = true, FUseSkinData = true;
  rtl::String FName;
  std::unique_ptr<vcl::TBitmap> FGlyph;
  rtl::String FHint;
};

class TsTitleButtons : public vcl::TCollection {
  VCL_CLASS(TsTitleButtons, vcl::TCollection)
  explicit TsTitleButtons(TsSkinProvider* owner = nullptr);
  ~TsTitleButtons() override;
  TsTitleButton* Items(int index) const { return vcl::TCollection::Items<TsTitleButton>(index); }
  TsTitleButton* Add() { return vcl::TCollection::Add<TsTitleButton>(); }
  rtl::TPersistent* GetOwner() const override;
  TsSkinProvider* FOwner;
};

// A second text drawn after the form's caption (alone when ShowMainCaption is off).
class TlvAddedTitle : public rtl::TPersistent {
  VCL_CLASS(TlvAddedTitle, rtl::TPersistent)
  explicit TlvAddedTitle(TsSkinProvider* owner = nullptr);
  vcl::TFont* Font() const { return FFont.get(); }
  void SetFont(vcl::TFont* v);
  const rtl::String& Text() const { return FText; }
  void SetText(const rtl::String& v);
  bool ShowMainCaption() const { return FShowMainCaption; }
  void SetShowMainCaption(bool v);
  TsSkinProvider* FOwner;

 private:
  void Repaint();
  bool FShowMainCaption = true;
  std::unique_ptr<vcl::TFont> FFont;
  rtl::String FText;
};
