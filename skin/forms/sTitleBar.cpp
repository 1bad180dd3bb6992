// The title-bar component and its items: properties, content measuring, group layout inside the bar the provider
// gives, presses and releases, and the bitmap helpers of the built-in menu-button image.
#include "skin/forms/sTitleBar.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"

namespace {

bool Loading(vcl::TComponent* c) { return !c || c->ComponentState().Contains(vcl::csLoading); }

void SendNCPaint(HWND w) {
  if (w && IsWindow(w)) SendMessageW(w, SM_LUMICMD, MakeLumiWParam(LVC_NCPAINT), 1);
}

std::uint32_t* Row(vcl::TBitmap* b, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y)); }

}  // namespace

// ---- Font data ---------------------------------------------------------------------------------------------------

TlvFontData::TlvFontData() : UsedFont(std::make_unique<vcl::TFont>()), FFont(std::make_unique<vcl::TFont>()) {}

TlvFontData::~TlvFontData() { delete GlowMask; }

void TlvFontData::Repaint() { SendNCPaint(WndHandle); }

void TlvFontData::SetBool(int index, bool v) {
  if (index < 0 || index >= 5) return;
  FUseSys[index] = v;
  Repaint();
}

void TlvFontData::SetGlowColor(vcl::TColor v) {
  if (FGlowColor == v) return;
  FGlowColor = v;
  Repaint();
}

void TlvFontData::SetGlowSize(int v) {
  if (FGlowSize == v) return;
  FGlowSize = v;
  Repaint();
}

// ---- Items -------------------------------------------------------------------------------------------------------

TlvTitleBarItem::TlvTitleBarItem(vcl::TCollection* collection)
    : vcl::TCollectionItem(collection),
      FGlyph(std::make_unique<vcl::TBitmap>()),
      FName(L"TlvTitleBarItem"),
      FFontData(std::make_unique<TlvFontData>()) {}

TlvTitleBarItem::~TlvTitleBarItem() {
  delete Timer;
  Timer = nullptr;
}

TsTitleBar* TlvTitleBarItem::TitleBar() const {
  auto* items = dynamic_cast<TlvTitleItems*>(Collection());
  return items ? items->FOwner : nullptr;
}

vcl::TBitmap* TlvTitleBarItem::DefaultMenuBtn() const {
  TsTitleBar* bar = TitleBar();
  return bar ? bar->FDefaultMenuBtn.get() : nullptr;
}

void TlvTitleBarItem::AssignTo(rtl::TPersistent* dest) const {
  auto* d = dynamic_cast<TlvTitleBarItem*>(dest);
  if (!d) {
    vcl::TCollectionItem::AssignTo(dest);
    return;
  }
  d->FAutoSize = FAutoSize;
  d->FAlign = FAlign;
  d->FCaption = FCaption;
  d->FEnabled = FEnabled;
  d->FGlyph->Assign(FGlyph.get());
  d->FGroupIndex = FGroupIndex;
  d->FHint = FHint;
  d->FImageIndex = FImageIndex;
  d->FName = FName;
  d->FNumGlyphs = FNumGlyphs;
  d->FStyle = FStyle;
  d->FVisible = FVisible;
  d->OnMouseDown = OnMouseDown;
  d->OnMouseUp = OnMouseUp;
}

void TlvTitleBarItem::Assign(const rtl::TPersistent* source) {
  if (auto* s = dynamic_cast<const TlvTitleBarItem*>(source)) {
    s->AssignTo(this);
    return;
  }
  vcl::TCollectionItem::Assign(source);
}

#define TITLE_ITEM_SETTER(Setter, Field, Type, Recalc) \
  void TlvTitleBarItem::Setter(Type v) {               \
    if (Field == v) return;                            \
    Field = v;                                         \
    Invalidate(Recalc);                                \
  }
TITLE_ITEM_SETTER(SetAlign, FAlign, TlvItemAlign, true)
TITLE_ITEM_SETTER(SetAutoSize, FAutoSize, bool, true)
TITLE_ITEM_SETTER(SetCaption, FCaption, const rtl::String&, true)
TITLE_ITEM_SETTER(SetHeight, FHeight, int, true)
TITLE_ITEM_SETTER(SetNumGlyphs, FNumGlyphs, int, true)
TITLE_ITEM_SETTER(SetSpacing, FSpacing, int, true)
TITLE_ITEM_SETTER(SetStyle, FStyle, TlvBtnStyle, true)
TITLE_ITEM_SETTER(SetVisible, FVisible, bool, true)
TITLE_ITEM_SETTER(SetWidth, FWidth, int, true)
TITLE_ITEM_SETTER(SetAlignment, FAlignment, vcl::TAlignment, false)
TITLE_ITEM_SETTER(SetGroupIndex, FGroupIndex, int, false)
#undef TITLE_ITEM_SETTER

void TlvTitleBarItem::SetGlyph(vcl::TBitmap* v) {
  FGlyph->Assign(v);
  Invalidate(true);
}

void TlvTitleBarItem::SetDown(bool v) {
  if (FDown == v) return;
  FDown = v;
  FState = v ? 2 : 0;
  Invalidate(false);
}

void TlvTitleBarItem::SetImageIndex(int index, int value) {
  int* field = index == 0   ? &FImageIndex
               : index == 1 ? &FHotImageIndex
               : index == 2 ? &FPressedImageIndex
                            : &FDisabledImageIndex;
  if (*field == value) return;
  if (FState == 2) FState = 0;
  *field = value;
  Invalidate(index == 0);
}

void TlvTitleBarItem::SetSkinSection(const rtl::String& v) {
  if (FSkinSection == v) return;
  FSkinSection = v;
  Changed();
  Invalidate(false);
}

int TlvTitleBarItem::GetState() const { return FDroppedDown || FDown ? 2 : FState; }

void TlvTitleBarItem::SetState(int v) {
  if (FState == v) return;
  FState = FDroppedDown ? 2 : v;
}

void TlvTitleBarItem::Invalidate(bool recalcSize) {
  TsTitleBar* bar = TitleBar();
  if (!bar || !bar->Form || Loading(bar->Form)) return;
  if (recalcSize && FAutoSize) UpdateSize(false);
  if (Timer) {
    Timer->NewBmp.reset();
    Timer->AForm.reset();
  }
  if (bar->FUpdating || !bar->Form->HandleAllocated()) return;
  if (bar->Form->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PREPARING), 0) != 0) return;
  SendNCPaint(bar->Form->Handle());
}

void TlvTitleBarItem::InitFont() {
  vcl::TFont* used = FFontData->UsedFont.get();
  if (HFONT f = lvGetTitleFont()) used->SetHandle(f);
  vcl::TFont* own = FFontData->Font();
  if (!FFontData->UseSysStyle()) used->SetStyle(own->Style());
  if (!FFontData->UseSysFontName()) used->SetName(own->Name());
  if (FFontData->UseSysSize()) {
    if (const int h = GetCaptionFontSize(); h != 0) used->SetHeight(h);
  } else {
    used->SetHeight(own->Height());
  }
}

void TlvTitleBarItem::UpdateSize(bool contentOnly) {
  if (!FVisible) return;
  TsTitleBar* bar = TitleBar();
  vcl::TCustomImageList* images = bar ? bar->Images() : nullptr;
  vcl::TSize c{0, 0};
  if (images && FImageIndex >= 0 && FImageIndex < images->Count())
    c = vcl::TSize{images->Width(), images->Height()};
  else if (!FGlyph->Empty())
    c = vcl::TSize{FGlyph->Width() / std::max(1, FNumGlyphs), FGlyph->Height()};
  const bool arrow = (FStyle == bsButton || FStyle == bsMenu) && FDropdownMenu;
  if (!FCaption.empty() || arrow) InitFont();
  if (!FCaption.empty()) {
    const vcl::TSize cs = GetStringSize(FFontData->UsedFont->Handle(), FCaption);
    if (c.cx != 0) c.cx += FSpacing;
    c.cx += cs.cx + (FStyle == bsTab ? 4 : 0);
    c.cy = std::max(c.cy, cs.cy);
  }
  if (arrow) {
    vcl::TFont marlett;
    marlett.Assign(FFontData->UsedFont.get());
    marlett.SetName(L"Marlett");
    marlett.SetCharset(DEFAULT_CHARSET);
    c.cx += (FStyle == bsMenu ? 4 : 1) + GetStringSize(marlett.Handle(), L"u").cx;
  }
  if (FStyle == bsMenu || FStyle == bsTab) c.cy += 1;
  FContentSize = c;
  if (contentOnly || FStyle == bsSpacing) return;
  const int margin = bar ? bar->ItemsMargin() : 3;
  FWidth = std::max(16, 2 * (IntXMargin() + margin) + c.cx);
  FHeight = std::max(16, 2 * margin + c.cy);
}

void TlvTitleBarItem::DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (FPressed || !FEnabled) return;
  FPressed = true;
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  TsTitleBar* bar = TitleBar();
  if ((FStyle == bsButton || FStyle == bsMenu) && FDropdownMenu && FDropdownMenu->Items()->Count() > 0) {
    RECT wr{};
    if (ExtForm && ExtForm->HandleAllocated())
      GetWindowRect(ExtForm->Handle(), &wr);
    else if (bar && bar->Form && bar->Form->HandleAllocated())
      GetWindowRect(bar->Form->Handle(), &wr);
    FDroppedDown = true;
    Invalidate(false);
    FDropdownMenu->Popup(wr.left + Rect.Left, wr.top + Rect.Bottom);
    FDroppedDown = false;
    FState = 0;
    Invalidate(false);
    delete Timer;
    DoClick();
    return;
  }
  if (FStyle == bsTab && !FDown) {
    DoClick();
    if (bar) {
      bar->FUpdating = true;
      for (int i = 0; i < bar->Items()->Count(); ++i) {
        TlvTitleBarItem* other = bar->Items()->Items(i);
        if (other != this && other->FVisible && other->FStyle == bsTab && other->FGroupIndex == FGroupIndex &&
            other->FDown)
          other->SetDown(false);
      }
      bar->FUpdating = false;
    }
    SetDown(true);
  }
}

void TlvTitleBarItem::DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (!FEnabled) return;
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  if (FPressed && FStyle != bsTab) DoClick();
  FPressed = false;
  SetState(1);
}

void TlvTitleBarItem::DoClick() {
  FPressed = false;
  if (OnClick) OnClick(this);
}

TlvTitleItems::TlvTitleItems(TsTitleBar* owner) : vcl::TCollection(TlvTitleBarItem::StaticClass()), FOwner(owner) {}

TlvTitleItems::~TlvTitleItems() {
  // Items ask their owner while they go.
  Clear();
  FOwner = nullptr;
}

rtl::TPersistent* TlvTitleItems::GetOwner() const { return FOwner; }

// ---- The component -----------------------------------------------------------------------------------------------

TsTitleBar::TsTitleBar(vcl::TComponent* owner) : vcl::TComponent(owner) {
  Form = dynamic_cast<vcl::TForm*>(owner);
  if (!Form) {
    // Detached before raising: the component must not stay half-made on a non-form owner.
    if (owner) owner->RemoveComponent(this);
    throw rtl::EAbort(L"TsTitleBar component may be used with forms only!");
  }
  FDefaultMenuBtn = std::make_unique<vcl::TBitmap>();
  try {
    FDefaultMenuBtn->LoadFromResourceName(GetModuleHandleW(nullptr), L"MENUBTN");
    FDefaultMenuBtn->SetPixelFormat(vcl::pf32bit);
    UpdateAlphaTitle(FDefaultMenuBtn.get());
  } catch (const rtl::Exception&) {
    // Without the image a menu button without a skin section is drawn with its content only.
    FDefaultMenuBtn->SetSize(0, 0);
  }
  FImageChangeLink = std::make_unique<vcl::TChangeLink>();
  FImageChangeLink->OnChange = [this](rtl::TObject*) { ImageListChange(); };
  FItems = std::make_unique<TlvTitleItems>(this);
  FItemsMargin = 3;
}

TsTitleBar::~TsTitleBar() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FItems.reset();
}

void TsTitleBar::AfterConstruction() {
  vcl::TComponent::AfterConstruction();
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* sp = dynamic_cast<TsSkinProvider*>(Form->Components(i))) {
      if (!sp->TitleBar()) sp->SetTitleBar(this);
      break;
    }
}

void TsTitleBar::Loaded() {
  vcl::TComponent::Loaded();
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->AutoSize()) FItems->Items(i)->UpdateSize(false);
}

void TsTitleBar::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TComponent::Notification(component, operation);
  if (operation == vcl::opRemove && component == FImages) {
    FImages = nullptr;
  }
}

void TsTitleBar::SetImages(vcl::TCustomImageList* v) {
  if (FImages == v) return;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = v;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  CalcSizes();
  Invalidate();
}

void TsTitleBar::ImageListChange() {
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->AutoSize()) FItems->Items(i)->UpdateSize(false);
  Invalidate();
}

void TsTitleBar::SetShowCaption(bool v) {
  if (FShowCaption == v) return;
  FShowCaption = v;
  Invalidate();
}

void TsTitleBar::Invalidate() {
  if (!Form || Loading(Form) || !Form->HandleAllocated()) return;
  SendNCPaint(Form->Handle());
}

void TsTitleBar::CalcSizes() {
  FLeftWidth = FRightWidth = FCenterWidth = FCenterWidthS = 0;
  for (int i = 0; i < FItems->Count(); ++i) {
    TlvTitleBarItem* item = FItems->Items(i);
    if (!item->Visible()) continue;
    switch (item->Align()) {
      case tbaLeft:
        FLeftWidth += item->Width();
        break;
      case tbaRight:
        FRightWidth += item->Width();
        break;
      case tbaCenter:
        FCenterWidth += item->Width();
        break;
      case tbaCenterInSpace:
        FCenterWidthS += item->Width();
        break;
    }
  }
  int x[4];
  x[tbaLeft] = FBarRect.Left;
  x[tbaCenter] = FBarRect.Left + (FFullRight - FBarRect.Left - FCenterWidth) / 2;
  x[tbaCenterInSpace] =
      FBarRect.Left + FLeftWidth + (FBarRect.Right - FBarRect.Left - FRightWidth - FLeftWidth - FCenterWidthS) / 2;
  x[tbaRight] = FBarRect.Right - FRightWidth;
  for (int i = 0; i < FItems->Count(); ++i) {
    TlvTitleBarItem* item = FItems->Items(i);
    if (!item->Visible()) continue;
    int& pos = x[std::clamp<int>(item->Align(), tbaLeft, tbaCenterInSpace)];
    item->Rect.Left = pos;
    item->Rect.Right = pos + item->Width();
    pos += item->Width();
    switch (item->Style()) {
      case bsMenu:
        item->Rect.Top = FBarRect.Top;
        break;
      case bsTab:
        item->Rect.Top = FBarRect.Bottom - item->Height();
        break;
      default:
        item->Rect.Top = FBarVCenter - item->Height() / 2;
        break;
    }
    item->Rect.Bottom = item->Rect.Top + item->Height();
  }
}

// ---- Unit routines -----------------------------------------------------------------------------------------------

vcl::TSize GetStringSize(HFONT font, const rtl::String& text) {
  vcl::TSize r{0, 0};
  HDC dc = GetDC(nullptr);
  if (!dc) return r;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE s{};
  if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s)) r = vcl::TSize{s.cx, s.cy};
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return r;
}

void UpdateAlphaTitle(vcl::TBitmap* bmp) {
  if (!bmp || bmp->Empty() || bmp->PixelFormat() != vcl::pf32bit) return;
  for (int y = 0; y < bmp->Height(); ++y) {
    std::uint32_t* row = Row(bmp, y);
    for (int x = 0; x < bmp->Width(); ++x) {
      const std::uint32_t p = row[x];
      if ((p & 0xFFFFFF) == 0xFF00FF) continue;
      const std::uint32_t a = 255 - (p >> 24);
      const std::uint32_t b = (p & 0xFF) * a >> 8, g = ((p >> 8) & 0xFF) * a >> 8, r = ((p >> 16) & 0xFF) * a >> 8;
      row[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
}

void CopyTransRect(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, const vcl::TRect& srcRect) {
  if (!dst || !src || dst->Empty() || src->Empty() || dst->PixelFormat() != vcl::pf32bit ||
      src->PixelFormat() != vcl::pf32bit)
    return;
  const int right = std::min(srcRect.Right, src->Width() - 1), bottom = std::min(srcRect.Bottom, src->Height() - 1);
  for (int sy = std::max(0, srcRect.Top); sy <= bottom; ++sy) {
    const int dy = y + sy - srcRect.Top;
    if (dy < 0 || dy >= dst->Height()) continue;
    const std::uint32_t* s = Row(src, sy);
    std::uint32_t* d = Row(dst, dy);
    for (int sx = std::max(0, srcRect.Left); sx <= right; ++sx) {
      const int dx = x + sx - srcRect.Left;
      if (dx < 0 || dx >= dst->Width() || (s[sx] & 0xFFFFFF) == 0xFF00FF) continue;
      d[dx] = s[sx];
    }
  }
}

void PaintItemNoAlpha(vcl::TBitmap* dst, vcl::TBitmap* src, const vcl::TRect& dstRect, const vcl::TRect& m,
                      const vcl::TRect& srcRect) {
  if (!dst || !src || src->Empty() || dstRect.Width() <= 0 || dstRect.Height() <= 0) return;
  src->SetTransparent(true);
  src->SetTransparentColor(0xFF00FF);
  dst->SetTransparent(true);
  dst->SetTransparentColor(0xFF00FF);
  HDC d = dst->Canvas()->Handle(), s = src->Canvas()->Handle();
  SetStretchBltMode(d, COLORONCOLOR);
  const vcl::TRect& sr = srcRect;
  const vcl::TRect& dr = dstRect;
  // Corners as they are, their key pixels left out.
  CopyTransRect(dst, src, dr.Left, dr.Top, vcl::TRect(sr.Left, sr.Top, sr.Left + m.Left - 1, sr.Top + m.Top - 1));
  CopyTransRect(dst, src, dr.Right - m.Right, dr.Top,
                vcl::TRect(sr.Right - m.Right, sr.Top, sr.Right - 1, sr.Top + m.Top - 1));
  CopyTransRect(dst, src, dr.Left, dr.Bottom - m.Bottom,
                vcl::TRect(sr.Left, sr.Bottom - m.Bottom, sr.Left + m.Left - 1, sr.Bottom - 1));
  CopyTransRect(dst, src, dr.Right - m.Right, dr.Bottom - m.Bottom,
                vcl::TRect(sr.Right - m.Right, sr.Bottom - m.Bottom, sr.Right - 1, sr.Bottom - 1));
  const int srcInnerH = sr.Height() - m.Top - m.Bottom, dstInnerH = dr.Height() - m.Top - m.Bottom;
  const int srcInnerW = sr.Width() - m.Left - m.Right, dstInnerW = dr.Width() - m.Left - m.Right;
  if (srcInnerH > 0 && dstInnerH > 0) {
    StretchBlt(d, dr.Left, dr.Top + m.Top, m.Left, dstInnerH, s, sr.Left, sr.Top + m.Top, m.Left, srcInnerH, SRCCOPY);
    StretchBlt(d, dr.Right - m.Right, dr.Top + m.Top, m.Right, dstInnerH, s, sr.Right - m.Right, sr.Top + m.Top,
               m.Right, srcInnerH, SRCCOPY);
  }
  if (srcInnerW > 0 && dstInnerW > 0) {
    StretchBlt(d, dr.Left + m.Left, dr.Top, dstInnerW, m.Top, s, sr.Left + m.Left, sr.Top, srcInnerW, m.Top, SRCCOPY);
    StretchBlt(d, dr.Left + m.Left, dr.Bottom - m.Bottom, dstInnerW, m.Bottom, s, sr.Left + m.Left,
               sr.Bottom - m.Bottom, srcInnerW, m.Bottom, SRCCOPY);
  }
  if (dstInnerW > 0 && dstInnerH > 0)
    StretchBlt(d, dr.Left + m.Left, dr.Top + m.Top, dstInnerW, dstInnerH, s, sr.Left + m.Left, sr.Top + m.Top,
               std::max(1, srcInnerW), std::max(1, srcInnerH), SRCCOPY);
}

VCL_REGISTER(TlvFontData) {
  cls.Prop(L"Font", &TlvFontData::Font, &TlvFontData::SetFont);
  cls.Prop(L"GlowColor", &TlvFontData::GlowColor, &TlvFontData::SetGlowColor).Default(0x808080);
  cls.Prop(L"GlowSize", &TlvFontData::GlowSize, &TlvFontData::SetGlowSize).Default(0);
  cls.Prop(L"UseSysColor", &TlvFontData::UseSysColor, &TlvFontData::SetUseSysColor).Default(true);
  cls.Prop(L"UseSysFontName", &TlvFontData::UseSysFontName, &TlvFontData::SetUseSysFontName).Default(true);
  cls.Prop(L"UseSysGlowing", &TlvFontData::UseSysGlowing, &TlvFontData::SetUseSysGlowing).Default(true);
  cls.Prop(L"UseSysSize", &TlvFontData::UseSysSize, &TlvFontData::SetUseSysSize).Default(true);
  cls.Prop(L"UseSysStyle", &TlvFontData::UseSysStyle, &TlvFontData::SetUseSysStyle).Default(true);
}
VCL_REGISTER(TlvTitleBarItem) {
  cls.Prop(L"Align", &TlvTitleBarItem::Align, &TlvTitleBarItem::SetAlign).Default(tbaLeft);
  cls.Prop(L"Alignment", &TlvTitleBarItem::Alignment, &TlvTitleBarItem::SetAlignment).Default(vcl::taLeftJustify);
  cls.Prop(L"AutoSize", &TlvTitleBarItem::AutoSize, &TlvTitleBarItem::SetAutoSize).Default(true);
  cls.Prop(L"Caption", &TlvTitleBarItem::Caption, &TlvTitleBarItem::SetCaption);
  cls.Prop(L"DropdownMenu", &TlvTitleBarItem::DropdownMenu, &TlvTitleBarItem::SetDropdownMenu);
  cls.Prop(L"Down", &TlvTitleBarItem::Down, &TlvTitleBarItem::SetDown).Default(false);
  cls.Prop(L"Enabled", &TlvTitleBarItem::Enabled, &TlvTitleBarItem::SetEnabled).Default(true);
  cls.Prop(L"FontData", &TlvTitleBarItem::FontData, &TlvTitleBarItem::SetFontData);
  cls.Prop(L"Glyph", &TlvTitleBarItem::Glyph, &TlvTitleBarItem::SetGlyph);
  cls.Prop(L"Height", &TlvTitleBarItem::Height, &TlvTitleBarItem::SetHeight).Default(18);
  cls.Prop(L"Hint", &TlvTitleBarItem::Hint, &TlvTitleBarItem::SetHint);
  cls.Prop(L"DisabledImageIndex", &TlvTitleBarItem::DisabledImageIndex, &TlvTitleBarItem::SetDisabledImageIndex)
      .Default(-1);
  cls.Prop(L"ImageIndex", &TlvTitleBarItem::ImageIndex, &TlvTitleBarItem::SetImageIndexValue).Default(-1);
  cls.Prop(L"HotImageIndex", &TlvTitleBarItem::HotImageIndex, &TlvTitleBarItem::SetHotImageIndex).Default(-1);
  cls.Prop(L"PressedImageIndex", &TlvTitleBarItem::PressedImageIndex, &TlvTitleBarItem::SetPressedImageIndex)
      .Default(-1);
  cls.Prop(L"Name", &TlvTitleBarItem::Name, &TlvTitleBarItem::SetName);
  cls.Prop(L"NumGlyphs", &TlvTitleBarItem::NumGlyphs, &TlvTitleBarItem::SetNumGlyphs).Default(1);
  cls.Prop(L"ShowHint", &TlvTitleBarItem::ShowHint, &TlvTitleBarItem::SetShowHint);
  cls.Prop(L"SkinSection", &TlvTitleBarItem::SkinSection, &TlvTitleBarItem::SetSkinSection);
  cls.Prop(L"Spacing", &TlvTitleBarItem::Spacing, &TlvTitleBarItem::SetSpacing).Default(4);
  cls.Prop(L"Style", &TlvTitleBarItem::Style, &TlvTitleBarItem::SetStyle).Default(bsButton);
  cls.Prop(L"Visible", &TlvTitleBarItem::Visible, &TlvTitleBarItem::SetVisible).Default(true);
  cls.Prop(L"Width", &TlvTitleBarItem::Width, &TlvTitleBarItem::SetWidth).Default(22);
  cls.Prop(L"OnClick", &TlvTitleBarItem::OnClick);
  cls.Prop(L"OnMouseDown", &TlvTitleBarItem::OnMouseDown);
  cls.Prop(L"OnMouseEnter", &TlvTitleBarItem::OnMouseEnter);
  cls.Prop(L"OnMouseLeave", &TlvTitleBarItem::OnMouseLeave);
  cls.Prop(L"OnMouseUp", &TlvTitleBarItem::OnMouseUp);
}
VCL_REGISTER(TlvTitleItems) {}
VCL_REGISTER(TsTitleBar) {
  cls.Prop(L"Images", &TsTitleBar::Images, &TsTitleBar::SetImages);
  cls.Prop(L"Items", &TsTitleBar::Items, &TsTitleBar::SetItems);
  cls.Prop(L"ItemsMargin", &TsTitleBar::ItemsMargin, &TsTitleBar::SetItemsMargin).Default(3);
  cls.Prop(L"ItemsSpacing", &TsTitleBar::ItemsSpacing, &TsTitleBar::SetItemsSpacing).Default(0);
  cls.Prop(L"ShowCaption", &TsTitleBar::ShowCaption, &TsTitleBar::SetShowCaption);
}
