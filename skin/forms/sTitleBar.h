#pragma once
// Items in a skinned form's caption: buttons, menu buttons with a drop-down menu, tabs, spacers and info labels,
// aligned left, right, centred on the whole title or centred in the space between the left and right groups. The
// component only describes the items; the form's skin provider lays them out, paints them into its window image,
// hit-tests them (2000 + index) and passes presses and releases to them. Hovered and pressed items fade in through
// a small layered window of their own.
#include <functional>
#include <memory>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"

class TsTitleBar;
class TlvTitleBarItem;

VCL_ENUM(TlvBtnStyle, bsButton, bsMenu, bsTab, bsSpacing, bsInfo)
VCL_ENUM(TlvItemAlign, tbaLeft, tbaRight, tbaCenter, tbaCenterInSpace)

// The provider's record of an item's skin section (its index in the loaded skin).
struct TlvItemSkinData {
  int SkinIndex = -1;
  rtl::String SkinSection;
};

// The font of an item's caption; each "UseSys" flag takes that aspect from the system caption font or from the
// skin section instead.
class TlvFontData : public rtl::TPersistent {
  VCL_CLASS(TlvFontData, rtl::TPersistent)
 public:
  TlvFontData();
  ~TlvFontData() override;
  vcl::TFont* Font() const { return FFont.get(); }
  void SetFont(vcl::TFont* v) { FFont->Assign(v); }
  vcl::TColor GlowColor() const { return FGlowColor; }
  void SetGlowColor(vcl::TColor v);
  int GlowSize() const { return FGlowSize; }
  void SetGlowSize(int v);
  // 0 UseSysColor, 1 UseSysFontName, 2 UseSysGlowing, 3 UseSysSize, 4 UseSysStyle.
  bool GetBool(int index) const { return index >= 0 && index < 5 && FUseSys[index]; }
  void SetBool(int index, bool v);
  bool UseSysColor() const { return GetBool(0); }
  void SetUseSysColor(bool v) { SetBool(0, v); }
  bool UseSysFontName() const { return GetBool(1); }
  void SetUseSysFontName(bool v) { SetBool(1, v); }
  bool UseSysGlowing() const { return GetBool(2); }
  void SetUseSysGlowing(bool v) { SetBool(2, v); }
  bool UseSysSize() const { return GetBool(3); }
  void SetUseSysSize(bool v) { SetBool(3, v); }
  bool UseSysStyle() const { return GetBool(4); }
  void SetUseSysStyle(bool v) { SetBool(4, v); }

  HWND WndHandle = nullptr;
  // The font actually used (made by the item's InitFont).
  std::unique_ptr<vcl::TFont> UsedFont;
  // The cached glow mask of the caption (made by the glow painter on demand).
  vcl::TBitmap* GlowMask = nullptr;

 private:
  void Repaint();
  bool FUseSys[5] = {true, true, true, true, true};
  std::unique_ptr<vcl::TFont> FFont;
  int FGlowSize = 0;
  vcl::TColor FGlowColor = 0x808080;
};

// The hover and press fade of one item: a borderless layered window over the item shows its new look, 10 ms steps.
class TlvItemAnimation : public vcl::TTimer {
  VCL_CLASS(TlvItemAnimation, vcl::TTimer)
 public:
  explicit TlvItemAnimation(vcl::TComponent* owner);
  ~TlvItemAnimation() override;

  int CurrentLevel = 0;
  // 0 normal, 1 hot, 2 pressed; -1 after a finished fade-out.
  int CurrentState = 0;
  // Steps of a whole fade; -1 once a fade-in has completed.
  int MaxIterations = 0;
  std::unique_ptr<vcl::TForm> AForm;
  std::unique_ptr<vcl::TForm> OldForm;
  bool ToShow = false;
  std::unique_ptr<vcl::TBitmap> NewBmp;
  HWND FormHandle = nullptr;
  TlvTitleBarItem* Item = nullptr;
  // The constant alpha of the last frame pushed; -1 before the first.
  int LastBlend = -1;

  void StartAnimation(int newState, bool show);
  void ChangeState(int newState, bool show);
  void OnAnimTimer();
  void CheckMouseLeave();
  vcl::TRect GetFormBounds();
  void MakeImg();
  void MakeForm();
  void UpdateForm(int opacity);
  int Step() const;
};

class TlvTitleBarItem : public vcl::TCollectionItem {
  VCL_CLASS(TlvTitleBarItem, vcl::TCollectionItem)
 public:
  explicit TlvTitleBarItem(vcl::TCollection* collection);
  ~TlvTitleBarItem() override;
  void AssignTo(rtl::TPersistent* dest) const override;
  void Assign(const rtl::TPersistent* source) override;
  rtl::String DisplayName() const override { return FName; }

  TlvItemAlign Align() const { return FAlign; }
  void SetAlign(TlvItemAlign v);
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment v);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  const rtl::String& Caption() const { return FCaption; }
  void SetCaption(const rtl::String& v);
  vcl::TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(vcl::TPopupMenu* v) { FDropdownMenu = v; }
  bool Down() const { return FDown; }
  void SetDown(bool v);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TlvFontData* FontData() const { return FFontData.get(); }
  void SetFontData(TlvFontData* v) { FFontData->Assign(v); }
  vcl::TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(vcl::TBitmap* v);
  int Height() const { return FHeight; }
  void SetHeight(int v);
  const rtl::String& Hint() const { return FHint; }
  void SetHint(const rtl::String& v) { FHint = v; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndexValue(int v) { SetImageIndex(0, v); }
  int HotImageIndex() const { return FHotImageIndex; }
  void SetHotImageIndex(int v) { SetImageIndex(1, v); }
  int PressedImageIndex() const { return FPressedImageIndex; }
  void SetPressedImageIndex(int v) { SetImageIndex(2, v); }
  int DisabledImageIndex() const { return FDisabledImageIndex; }
  void SetDisabledImageIndex(int v) { SetImageIndex(3, v); }
  // 0 ImageIndex, 1 HotImageIndex, 2 PressedImageIndex, 3 DisabledImageIndex.
  void SetImageIndex(int index, int value);
  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& v) { FName = v; }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int v);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  const rtl::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const rtl::String& v);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v);
  TlvBtnStyle Style() const { return FStyle; }
  void SetStyle(TlvBtnStyle v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  int Width() const { return FWidth; }
  void SetWidth(int v);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int v);
  int State() const { return GetState(); }
  int GetState() const;
  void SetState(int v);
  bool Pressed() const { return FPressed; }
  bool DroppedDown() const { return FDroppedDown; }
  vcl::TSize ContentSize() const { return FContentSize; }
  vcl::TBitmap* DefaultMenuBtn() const;

  // The title bar owning the item (nil outside one).
  TsTitleBar* TitleBar() const;
  void Invalidate(bool recalcSize);
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void DoClick();
  int IntXMargin() const { return FStyle == bsMenu ? 4 : 0; }
  void InitFont();
  void UpdateSize(bool contentOnly);
  void Changed() {
    if (OnChanged) OnChanged(this);
  }

  vcl::TMouseEvent OnMouseUp, OnMouseDown;
  vcl::TNotifyEvent OnClick, OnChanged, OnMouseLeave, OnMouseEnter;
  std::function<void(TlvTitleBarItem* item, const vcl::TRect& r, vcl::TBitmap* bmp)> OnDrawItem;

  // The item's place in the window image (set by the layout).
  vcl::TRect Rect;
  std::unique_ptr<TlvItemSkinData> Data;
  // The running fade (owned; nil when idle). Freeing it clears this link.
  TlvItemAnimation* Timer = nullptr;
  // The window the item shows on when that is not the form itself.
  vcl::TForm* ExtForm = nullptr;

 private:
  std::unique_ptr<vcl::TBitmap> FGlyph;
  bool FEnabled = true, FVisible = true, FAutoSize = true, FShowHint = false, FDroppedDown = false;
  rtl::String FHint, FCaption;
  int FWidth = 22, FHeight = 18, FSpacing = 4, FNumGlyphs = 1, FImageIndex = -1, FGroupIndex = 0;
  rtl::String FName;
  TlvBtnStyle FStyle = bsButton;
  vcl::TSize FContentSize{0, 0};
  TlvItemAlign FAlign = tbaLeft;
  std::unique_ptr<TlvFontData> FFontData;
  vcl::TPopupMenu* FDropdownMenu = nullptr;
  vcl::TAlignment FAlignment = vcl::taLeftJustify;
  int FHotImageIndex = -1, FPressedImageIndex = -1, FDisabledImageIndex = -1;
  rtl::String FSkinSection;
  bool FDown = false;
  int FState = 0;
  bool FPressed = false;
};

class TlvTitleItems : public vcl::TCollection {
  VCL_CLASS(TlvTitleItems, vcl::TCollection)
 public:
  explicit TlvTitleItems(TsTitleBar* owner = nullptr);
  ~TlvTitleItems() override;
  TlvTitleBarItem* Items(int index) const { return vcl::TCollection::Items<TlvTitleBarItem>(index); }
  TlvTitleBarItem* Add() { return vcl::TCollection::Add<TlvTitleBarItem>(); }
  TlvTitleBarItem* Insert(int index) { return dynamic_cast<TlvTitleBarItem*>(vcl::TCollection::Insert(index)); }
  rtl::TPersistent* GetOwner() const override;
  TsTitleBar* FOwner;
};

class TsTitleBar : public vcl::TComponent {
  VCL_CLASS(TsTitleBar, vcl::TComponent)
 public:
  // Raises EAbort when owner is not a form.
  explicit TsTitleBar(vcl::TComponent* owner);
  ~TsTitleBar() override;
  // The form's skin provider takes a new title bar when it has none.
  void AfterConstruction() override;
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

  vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(vcl::TCustomImageList* v);
  TlvTitleItems* Items() const { return FItems.get(); }
  void SetItems(TlvTitleItems* v) { FItems->Assign(v); }
  int ItemsMargin() const { return FItemsMargin; }
  void SetItemsMargin(int v) { FItemsMargin = v; }
  int ItemsSpacing() const { return FItemsSpacing; }
  void SetItemsSpacing(int v) { FItemsSpacing = v; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool v);
  const vcl::TRect& BarRect() const { return FBarRect; }
  const vcl::TRect& CaptionRect() const { return FCaptionRect; }
  int LeftWidth() const { return FLeftWidth; }
  int RightWidth() const { return FRightWidth; }

  // Asks the provider to rebuild and repaint the caption.
  void Invalidate();
  // Group widths and every visible item's rectangle, from the bar the provider laid out.
  void CalcSizes();

  vcl::TForm* Form = nullptr;
  int FLeftWidth = 0, FRightWidth = 0, FCenterWidth = 0, FCenterWidthS = 0;
  int FFullRight = 0, FBarVCenter = 0;
  vcl::TRect FBarRect, FCaptionRect;
  bool FUpdating = false;
  std::unique_ptr<vcl::TBitmap> FDefaultMenuBtn;

 private:
  void ImageListChange();
  int FItemsMargin = 3, FItemsSpacing = 0;
  std::unique_ptr<TlvTitleItems> FItems;
  bool FShowCaption = false;
  vcl::TCustomImageList* FImages = nullptr;
  std::unique_ptr<vcl::TChangeLink> FImageChangeLink;
};

// Starts or retargets the fade of an item (the provider calls it on hover, leave, press and release).
void StartItemAnimation(TlvTitleBarItem* item, int iterations, bool show, vcl::TForm* extForm);
// The size of text in font on the screen; 0 x 0 when that fails.
vcl::TSize GetStringSize(HFONT font, const rtl::String& text);
// The built-in menu-button image keeps inverted alpha: every pixel but $FF00FF gets alpha 255 - alpha, its colour
// premultiplied by it.
void UpdateAlphaTitle(vcl::TBitmap* bmp);
// srcRect of src (right and bottom edges included, clipped to src) to (x, y) of dst, $FF00FF pixels left out.
void CopyTransRect(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, const vcl::TRect& srcRect);
// Nine-slice copy of srcRect of src into dstRect of dst: corners as they are (without $FF00FF), sides and centre
// stretched.
void PaintItemNoAlpha(vcl::TBitmap* dst, vcl::TBitmap* src, const vcl::TRect& dstRect, const vcl::TRect& margins,
                      const vcl::TRect& srcRect);
