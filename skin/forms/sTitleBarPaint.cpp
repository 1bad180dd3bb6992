// The provider's side of the title-bar items: each item's skin section, the bar's place in the caption, painting
// an item into the window image (or into a fade image of its own), and the items under the mouse: hit codes,
// hot and pressed states, presses and releases.
#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sTitleBar.h"
#include "skin/render/lvAlphaImageList.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sItem32.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

int ClampedState(TsSkinManager* m, int skinIndex, int state) {
  if (!m || !m->IsValidSkinIndex(skinIndex)) return 0;
  return std::max(0, std::min<int>(state, m->gd[skinIndex].States - 1));
}

// A section over r of bmp with bmp itself as what lies behind. A state that is fully transparent (and shows no
// border) is an opaque copy of the background; any other keeps the alpha channel of the image.
void PaintItemSection(TsSkinManager* m, int skinIndex, vcl::TBitmap* bmp, vcl::TPoint p, const vcl::TRect& r,
                      int state) {
  if (!m->IsValidSkinIndex(skinIndex) || r.Width() <= 0 || r.Height() <= 0) return;
  const TsGeneralData& g = m->gd[skinIndex];
  // The state is bounded by the section's own states (a two-state section has no pressed look).
  const int s = std::clamp(std::min(state, 2), 0, std::max(0, g.States - 1));
  const bool noBorder = !m->IsValidImgIndex(g.BorderIndex);
  if (g.Props[s].Transparency == 100 && (noBorder || (state == 0 && (m->ma[g.BorderIndex].DrawMode & 2) != 0)))
    PaintItem(skinIndex, MakeCacheInfo(bmp), true, s, r, p, bmp->Canvas()->Handle(), m);
  else
    PaintItem32(skinIndex, true, s, r, p, bmp, m);
}

}  // namespace

void TsSkinProvider::SetTitleBar(TsTitleBar* v) {
  if (FTitleBar == v) return;
  FTitleBar = v;
  UpdateTitleBar();
  if (FCommonData) FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

void TsSkinProvider::UpdateTitleBar() {
  if (!FTitleBar) return;
  TsSkinManager* m = SkinManager();
  for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
    TlvTitleBarItem* item = FTitleBar->Items()->Items(i);
    if (!item->Data) item->Data = std::make_unique<TlvItemSkinData>();
    // The item's own section when the skin has it, else the style's, else a common one.
    int index = -1;
    if (m) {
      if (!item->SkinSection().empty()) index = m->GetSkinIndex(item->SkinSection());
      if (index < 0) {
        static const wchar_t* const own[] = {L"TB_BTN", L"TB_MENUBTN", L"TB_TAB", nullptr, nullptr};
        static const wchar_t* const common[] = {L"TOOLBUTTON", nullptr, L"TABTOP", nullptr, nullptr};
        const int style = std::clamp<int>(item->Style(), bsButton, bsInfo);
        if (own[style]) index = m->GetSkinIndex(own[style]);
        if (index < 0 && common[style]) index = m->GetSkinIndex(common[style]);
      }
    }
    item->Data->SkinIndex = index;
    item->Data->SkinSection = index >= 0 ? m->gd[index].ClassName : rtl::String();
    item->OnDrawItem = [this](TlvTitleBarItem* it, const vcl::TRect& r, vcl::TBitmap* bmp) {
      PaintTitleItem(it, r, bmp);
    };
  }
}

void TsSkinProvider::ReleaseTitleBar() {
  if (!FTitleBar) return;
  for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
    TlvTitleBarItem* item = FTitleBar->Items()->Items(i);
    delete item->Timer;
    item->OnDrawItem = nullptr;
  }
  FTitleBar = nullptr;
}

void TsSkinProvider::CalcTitleBar(int fullRight, int x) {
  TsTitleBar* bar = FTitleBar;
  bar->FFullRight = fullRight;
  bool leftItems = false;
  for (int i = 0; i < bar->Items()->Count(); ++i)
    leftItems |= bar->Items()->Items(i)->Visible() && bar->Items()->Items(i)->Align() == tbaLeft;
  bar->FBarRect.Left = FIconRect.Right + (FIconRect.Width() > 0 && leftItems ? 6 : 0);
  bar->FBarRect.Top = GetTopCoord();
  bar->FBarRect.Bottom = FHeaderHeight;
  bar->FBarRect.Right = x - 6;
  bar->FBarVCenter = VCenter;
  bar->CalcSizes();
}

void TsSkinProvider::PaintTitleItems(int captionWidth) {
  if (!FTitleBar) return;
  vcl::TBitmap* image = FCommonData->CacheBmp();
  // A pressed tab overlaps its neighbours: it comes last.
  for (int pass = 0; pass < 2; ++pass)
    for (int i = FTitleBar->Items()->Count() - 1; i >= 0; --i) {
      TlvTitleBarItem* item = FTitleBar->Items()->Items(i);
      const bool pressedTab = item->Style() == bsTab && item->Down();
      if (pressedTab != (pass == 1) || !item->Visible()) continue;
      if (item->Rect.Left > 0 && item->Rect.Right < captionWidth) PaintTitleItem(item, item->Rect, image);
    }
}

void TsSkinProvider::PaintTitleItem(TlvTitleBarItem* item, const vcl::TRect& rect, vcl::TBitmap* bmp) {
  TsSkinManager* m = SkinManager();
  if (!m || !item->Data || !FTitleBar || !bmp || bmp->Empty() ||
      item->Data->SkinIndex >= static_cast<int>(m->gd.size()))
    return;
  const int si = item->Data->SkinIndex;
  const bool section = m->IsValidSkinIndex(si);
  const bool enabled = item->Enabled() && Form->Enabled();
  vcl::TBitmap* image = FCommonData->CacheBmp();
  std::unique_ptr<vcl::TBitmap> copy;
  vcl::TBitmap* t = bmp;
  if (!enabled) {
    copy = CreateBmp32(bmp->Width(), bmp->Height());
    BitBlt(copy->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    t = copy.get();
  }
  if (item->ContentSize().cx == 0) item->UpdateSize(!item->AutoSize());
  TlvFontData* fd = item->FontData();
  t->Canvas()->Font()->Assign(fd->UsedFont.get());
  const int st = section ? std::min(item->GetState(), std::min(m->gd[si].States - 1, 2)) : 0;
  vcl::TColor fontColor = fd->Font()->Color();
  if (fd->UseSysColor() && section) fontColor = m->gd[si].Props[std::max(0, st)].FontColor.Color;
  int glowSize = 0;
  vcl::TColor glowColor = 0;
  if (!fd->UseSysGlowing()) {
    glowSize = fd->GlowSize();
    glowColor = fd->GlowColor();
  } else if (section) {
    glowSize = std::min(48, m->gd[si].Props[std::max(0, st)].GlowSize);
    glowColor = m->gd[si].Props[std::max(0, st)].GlowColor;
  }
  vcl::TRect r = rect;
  if (bmp != image) FillRect32(bmp, r, 0, 0);
  const int barHeight = FTitleBar->BarRect().Height();
  switch (item->Style()) {
    case bsButton:
    case bsInfo:
      if (section) PaintItemSection(m, si, t, r.TopLeft(), r, item->GetState());
      if (item->SkinSection().empty() && item->GetState() == 0) {
        // The title's look: the caption's colours over the bare title.
        const int ts = FTitleSkinIndex;
        const int s = ClampedState(m, ts, std::min(FormActive ? 1 : 0, 2));
        const bool title = m->IsValidSkinIndex(ts);
        fontColor = title && fd->UseSysColor() ? m->gd[ts].Props[s].FontColor.Color : vcl::clBlack;
        glowSize = title && fd->UseSysGlowing() ? m->gd[ts].Props[s].GlowSize : 0;
        glowColor = title ? m->gd[ts].Props[s].GlowColor : 0;
      }
      break;
    case bsMenu:
      if (!section) {
        if (r.Height() > barHeight - 2) r.Bottom = r.Top + barHeight - 2;
        if (vcl::TBitmap* b = FTitleBar->FDefaultMenuBtn.get(); b && !b->Empty()) {
          const int w = b->Width() / 3, frame = std::clamp(item->GetState(), 0, 2);
          PaintItemNoAlpha(t, b, r, vcl::TRect(8, 2, 8, 4), vcl::TRect(frame * w, 0, frame * w + w, b->Height()));
        }
        if (fd->UseSysColor()) fontColor = vcl::clWhite;
        if (fd->UseSysGlowing()) {
          glowSize = 2;
          glowColor = 0x0E5A8D;
        }
      } else {
        PaintItemSection(m, si, t, item->Rect.TopLeft(), r, item->GetState());
      }
      break;
    case bsTab:
      if (r.Height() > barHeight - 2) r.Top = r.Bottom - (barHeight - 2);
      if (section) {
        if (!item->Down()) r.Top += 2;
        PaintItemSection(m, si, t, r.TopLeft(), r, item->GetState());
      }
      {
        const int cw = item->ContentSize().cx;
        r.Left += (r.Width() - cw - 1) / 2;
        r.Right = r.Left + cw;
      }
      break;
    default:
      break;
  }
  // The content: image or glyph, caption, drop-down arrow.
  const rtl::String& caption = item->Caption();
  HFONT font = t->Canvas()->Font()->Handle();
  const vcl::TSize cs = caption.empty() ? vcl::TSize() : GetStringSize(font, caption);
  int gap = 0, arrow = 0;
  if ((item->Style() == bsButton || item->Style() == bsMenu) && item->DropdownMenu()) {
    gap = item->Style() == bsMenu ? 4 : 1;
    arrow = GetStringSize(font, L"W").cx;
  }
  vcl::TCustomImageList* images = FTitleBar->Images();
  const int state = item->GetState();
  int index = item->ImageIndex();
  if (enabled)
    index = state == 1 ? item->HotImageIndex() : state == 2 ? item->PressedImageIndex() : item->ImageIndex();
  else
    index = item->DisabledImageIndex();
  if (index < 0) index = item->ImageIndex();
  const bool listed = images && index >= 0 && index < images->Count();
  vcl::TBitmap* glyph = item->Glyph();
  int w = listed ? images->Width() : (glyph->Empty() ? 0 : glyph->Width());
  if (cs.cx > 0) w += item->Spacing();
  int x = r.Left + item->IntXMargin() + FTitleBar->ItemsMargin();
  if (item->Alignment() == vcl::taRightJustify)
    x = r.Left + r.Width() - w - cs.cx - gap - arrow;
  else if (item->Alignment() == vcl::taCenter)
    x = r.Left + (r.Width() - w - cs.cx - gap - arrow) / 2;
  vcl::TColor tint = vcl::clNone;
  if (enabled && state == 0 && m->Effects()->DiscoloredGlyphs())
    tint = section ? m->gd[si].Props[0].Color
                   : (m->IsValidSkinIndex(FTitleSkinIndex) ? m->gd[FTitleSkinIndex].Props[0].Color : vcl::clWhite);
  if (listed) {
    const int y = r.Top + (r.Height() - images->Height()) / 2;
    if (dynamic_cast<TsAlphaImageList*>(images))
      DrawAlphaImgList(images, t, x, y, index, 0, tint, 0, 1, false);
    else
      images->Draw(t->Canvas(), x, y, index, enabled);
    x += images->Width() + (cs.cx > 0 ? item->Spacing() : 0);
  } else if (!glyph->Empty()) {
    const int y = r.Top + (r.Height() - glyph->Height()) / 2;
    if (glyph->PixelFormat() == vcl::pf32bit) {
      CopyBmp32(vcl::TRect(x, y, x + glyph->Width(), y + glyph->Height()),
                vcl::TRect(0, 0, glyph->Width(), glyph->Height()), t, glyph, EmptyCI, false, tint, 0, false);
    } else {
      TsColor key;
      key.C = SwapRedBlue(static_cast<std::uint32_t>(vcl::ColorToRGB(glyph->Canvas()->Pixels(0, 0))));
      CopyTransBitmaps(t, glyph, x, y, key);
    }
    x += glyph->Width() + (cs.cx > 0 ? item->Spacing() : 0);
  }
  const unsigned flags = DT_SINGLELINE | DT_END_ELLIPSIS;
  vcl::TRect tr(x, r.Top + (r.Height() - cs.cy) / 2, r.Right, r.Bottom + cs.cy);
  auto write = [&](const wchar_t* text, vcl::TRect& where) {
    if (glowSize != 0) lvDrawGlowForText(t, text, where, flags, 15, glowSize, glowColor, fd->GlowMask);
    WriteColor(t, text, Form->Enabled(), where, flags, fontColor);
  };
  if (!caption.empty()) write(caption.c_str(), tr);
  if (arrow > 0) {
    tr.Left += cs.cx + gap;
    vcl::TFont* f = t->Canvas()->Font();
    f->SetName(L"Marlett");
    f->SetCharset(DEFAULT_CHARSET);
    const vcl::TSize as = GetStringSize(f->Handle(), L"u");
    tr.Top = r.Top + (r.Height() - as.cy) / 2;
    tr.Bottom = tr.Top + 2 * as.cy;
    write(L"u", tr);
  }
  if (!enabled)
    SumBmpRect(bmp, t, 128, vcl::TRect(rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1), rect.TopLeft());
}

// ---- Items under the mouse ----------------------------------------------------------------------------------------

TlvTitleBarItem* TsSkinProvider::TitleItemOf(int hitCode) {
  if (!FTitleBar || hitCode < HTITEM || hitCode >= HTITEM + FTitleBar->Items()->Count()) return nullptr;
  TlvTitleBarItem* item = FTitleBar->Items()->Items(hitCode - HTITEM);
  return item->Visible() ? item : nullptr;
}

int TsSkinProvider::TitleItemAt(vcl::TPoint p) {
  if (!FTitleBar) return -1;
  for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
    TlvTitleBarItem* item = FTitleBar->Items()->Items(i);
    if (item->Visible() && item->Rect.Contains(p))
      return item->Style() == bsSpacing || item->Style() == bsInfo ? -1 : i;
  }
  return -1;
}

int TsSkinProvider::TitleItemCode(int index) {
  TlvTitleBarItem* item = FTitleBar->Items()->Items(index);
  return item->Enabled() && !(item->Style() == bsTab && item->Down()) ? HTITEM + index : HTCLIENT;
}

void TsSkinProvider::TitleItemHot(int hitCode, bool hot) {
  TlvTitleBarItem* item = TitleItemOf(hitCode);
  if (!item) return;
  if (hot) {
    if (item->OnMouseEnter) item->OnMouseEnter(item);
    item->SetState(1);
  } else {
    if (item->OnMouseLeave) item->OnMouseLeave(item);
    item->SetState(0);
  }
}

void TsSkinProvider::RepaintTitleItem(TlvTitleBarItem* item) {
  TsSkinManager* m = SkinManager();
  if (!m) return;
  const int iterations = std::max(1, m->Effects()->AllowAnimation() ? 10 : 0);
  const int state = item->GetState();
  StartItemAnimation(item, iterations, state == 1 || state == 2, BorderForm ? BorderForm->AForm : nullptr);
}

bool TsSkinProvider::TitleItemPressed(int hitCode) {
  TlvTitleBarItem* item = TitleItemOf(hitCode);
  if (!item) return false;
  item->SetState(2);
  if (item->Style() == bsTab) {
    delete item->Timer;
    CurrentHT = -1;
    return false;
  }
  return true;
}

void TsSkinProvider::TitleItemMouseDown(int hitCode, int x, int y) {
  TlvTitleBarItem* item = TitleItemOf(hitCode);
  // Only what the hit test offers is pressed: a code of a disabled item or a pressed tab (sent before it became
  // one) would leave the item pressed with no release to come.
  if (!item || TitleItemCode(hitCode - HTITEM) != hitCode) return;
  if (item->Style() != bsTab) SetPressedHT(hitCode);
  TsSkinManager* m = SkinManager();
  if (m && m->SkinnedPopups() && (item->Style() == bsButton || item->Style() == bsMenu) && item->DropdownMenu())
    m->SkinableMenus()->HookPopupMenu(item->DropdownMenu(), true);
  // The item may be gone after its handlers ran.
  item = TitleItemOf(hitCode);
  if (item) item->DoMouseDown(vcl::mbLeft, vcl::TShiftState(), x, y);
}

void TsSkinProvider::TitleItemMouseUp(int hitCode, int x, int y) {
  if (!biClicked || !FTitleBar) {
    biClicked = false;
    return;
  }
  if (hitCode - HTITEM >= FTitleBar->Items()->Count()) {
    biClicked = false;
    return;
  }
  TlvTitleBarItem* item = FTitleBar->Items()->Items(hitCode - HTITEM);
  item->SetState(0);
  item->DoMouseUp(vcl::mbLeft, vcl::TShiftState(), x, y);
  if (item->Visible() && !item->Down()) {
    POINT c;
    GetCursorPos(&c);
    vcl::TMessage hm;
    hm.Msg = WM_NCHITTEST;
    hm.LParam = MAKELPARAM(c.x, c.y);
    if (HTProcess(hm) == hitCode) {
      item->SetState(1);
      StartItemAnimation(item, 1, false, BorderForm ? BorderForm->AForm : nullptr);
    }
    item->SetState(0);
  } else if (!item->Visible()) {
    delete item->Timer;
  }
  biClicked = false;
}
