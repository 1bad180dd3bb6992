// The window image of a skinned form and its way to the window: frame metrics, composing frame, title, icon,
// caption buttons and caption text into the skin data's cache bitmap, copying its strips to the non-client area
// and its client part behind the controls, and the window region cut from the skin's border masks.
#include <algorithm>
#include <cmath>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sBorderForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sTitleBar.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sBorders.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

int FSysWndCaptHeight = 0, FSysToolCaptHeight = 0;

int StateOf(TsSkinManager* m, int skinIndex, int state) {
  if (!m || !m->IsValidSkinIndex(skinIndex)) return 0;
  return std::max(0, std::min<int>(state, m->gd[skinIndex].States - 1));
}

// Keeps a window DC for the length of a scope, its state saved.
class TWindowDC {
 public:
  explicit TWindowDC(HWND wnd) : wnd_(wnd), dc_(GetWindowDC(wnd)), saved_(dc_ ? SaveDC(dc_) : 0) {}
  ~TWindowDC() {
    if (!dc_) return;
    RestoreDC(dc_, saved_);
    ReleaseDC(wnd_, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
  int saved_;
};

}  // namespace

// ---- Frame metrics --------------------------------------------------------------------------------------------

int SysBorderWidth(HWND handle, TlvCustomBorderForm* borderForm, bool checkSkin) {
  if (checkSkin) {
    if (int w = SkinBorderWidth(borderForm)) return w;
  }
  TsSkinManager* m = borderForm && borderForm->SkinData ? borderForm->SkinData->SkinManager() : nullptr;
  const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
  if (style & WS_THICKFRAME) {
    // With a border window the owner may answer its own frame width.
    if (borderForm && m) return static_cast<int>(SendAMessage(handle, LVC_GETBORDERWIDTH, lv_CXSIZEFRAME));
    if (borderForm) return lv_CXSIZEFRAME + (lvWinVer >= 8 ? 4 : 0);
    return lv_CXSIZEFRAME;
  }
  if (style & WS_BORDER) {
    if (borderForm && m && m->CommonSkinData->ExDrawMode != 1)
      return static_cast<int>(SendAMessage(handle, LVC_GETBORDERWIDTH, lv_CXFIXEDFRAME));
    return lv_CXFIXEDFRAME;
  }
  return 0;
}

int SysBorderHeight(HWND handle, TlvCustomBorderForm* borderForm, bool checkSkin) {
  return borderForm ? 0 : SysBorderWidth(handle, nullptr, checkSkin);
}

int SysCaptHeight(vcl::TForm* form) {
  if (!FSysWndCaptHeight) FSysWndCaptHeight = lv_CYCAPTION;
  if (!FSysToolCaptHeight) FSysToolCaptHeight = lv_CYSMCAPTION;
  if (form) {
    const auto bs = form->BorderStyle();
    if ((bs == vcl::bsToolWindow || bs == vcl::bsSizeToolWin) && !(form->HandleAllocated() && IsIconic(form->Handle())))
      return FSysToolCaptHeight;
  }
  return FSysWndCaptHeight;
}

namespace {
TsSkinManager* BorderManager(TlvCustomBorderForm* borderForm) {
  return borderForm && borderForm->SkinData ? borderForm->SkinData->SkinManager() : nullptr;
}
}  // namespace

// With a border window the skin's extended frame sizes apply; without one the system's frame is the frame.
int SkinTitleHeight(TlvCustomBorderForm* borderForm) {
  TsSkinManager* m = BorderManager(borderForm);
  if (!m) return 0;
  const HWND owner = borderForm->OwnerHandle();
  return owner && ::IsZoomed(owner) ? m->CommonSkinData->ExMaxHeight : m->CommonSkinData->ExTitleHeight;
}

int SkinBorderWidth(TlvCustomBorderForm* borderForm) {
  TsSkinManager* m = BorderManager(borderForm);
  return m ? m->CommonSkinData->ExBorderWidth : 0;
}

int DiffTitle(TlvCustomBorderForm* borderForm) {
  if (!borderForm) return 0;
  return borderForm->CaptionHeight(true) - borderForm->CaptionHeight(false) -
         SysBorderWidth(borderForm->OwnerHandle(), borderForm, false);
}

int DiffBorder(TlvCustomBorderForm* borderForm) {
  if (!borderForm) return 0;
  const HWND owner = borderForm->OwnerHandle();
  return SysBorderWidth(owner, borderForm, true) - SysBorderWidth(owner, borderForm, false);
}

bool IsMenuVisible(TsSkinProvider* sp) {
  vcl::TForm* f = sp->Form;
  return f->Menu() && f->Menu()->Items()->Count() > 0 && f->FormStyle() != vcl::fsMDIChild &&
         f->BorderStyle() != vcl::bsDialog;
}

bool IsBorderUnchanged(int borderIndex, TsSkinManager* manager) {
  return borderIndex < 0 || !manager || !manager->IsValidImgIndex(borderIndex) ||
         manager->ma[borderIndex].ImageCount == 1;
}

bool IsGripVisible(TsSkinProvider* sp) {
  return sp->GripMode() == gmRightBottom && !sp->IsZoomed() && IsSizeBox(sp->Form->Handle());
}

bool InAnimation(TsSkinProvider* sp) { return sp->FInAnimation; }

bool IsSizeBox(HWND handle) { return (GetWindowLongPtrW(handle, GWL_STYLE) & WS_THICKFRAME) != 0; }

bool HaveBorder(TsSkinProvider* sp) {
  return sp->Form->BorderStyle() != vcl::bsNone ||
         (sp->Form->HandleAllocated() && (GetWindowLongPtrW(sp->Form->Handle(), GWL_STYLE) & WS_CHILD));
}

int GetNearestSize(int value) {
  if (value >= -100 && value <= 8) return 1;
  if (value >= 9 && value <= 16) return 8;
  return 16;
}

TsSkinProvider* GetSkinProvider(vcl::TComponent* component) {
  vcl::TCustomForm* form = GetOwnerForm(component);
  if (!form || !form->HandleAllocated()) return nullptr;
  auto* p = reinterpret_cast<TsCustomSkinProvider*>(
      SendMessageW(form->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0));
  return dynamic_cast<TsSkinProvider*>(p);
}

int TitleIconWidth(TsSkinProvider* sp) {
  if (!sp->IconVisible()) return 0;
  if (sp->TitleIcon()->Width()) return sp->TitleIcon()->Width();
  const int ch = sp->CaptionHeight(true);
  const int s = GetNearestSize(ch);
  vcl::TBitmap* g = sp->TitleIcon()->Glyph();
  if (g && !g->Empty() && ch > 0) return static_cast<int>(std::lround(double(s) * g->Width() / ch));
  return s;
}

int TitleIconHeight(TsSkinProvider* sp) {
  if (!sp->IconVisible()) return 0;
  if (sp->TitleIcon()->Height()) return sp->TitleIcon()->Height();
  return GetNearestSize(sp->CaptionHeight(true));
}

int GetWindowWidth(HWND handle) {
  RECT r{};
  GetWindowRect(handle, &r);
  return r.right - r.left;
}
int GetWindowHeight(HWND handle) {
  RECT r{};
  GetWindowRect(handle, &r);
  return r.bottom - r.top;
}
int GetClientWidth(HWND handle) {
  RECT r{};
  GetClientRect(handle, &r);
  return r.right - r.left;
}
int GetClientHeight(HWND handle) {
  RECT r{};
  GetClientRect(handle, &r);
  return r.bottom - r.top;
}

void InitDwm(HWND handle, bool value, bool extra) {
  const BOOL v = (AeroIsEnabled() ? value : extra) ? TRUE : FALSE;
  // Without composition (or without the library) the call answers E_NOTIMPL and nothing changes.
  DwmSetWindowAttribute(handle, 3, &v, sizeof(v));
}

int TsSkinProvider::CaptionWidth() {
  const vcl::TRect sh = ShadowSize();
  if (IsIconic() && vcl::Application && Form != vcl::Application->MainForm()) return 160 + sh.Left + sh.Right;
  return Form->Width() + 2 * DiffBorder(BorderForm) + sh.Left + sh.Right;
}

vcl::TColor TsSkinProvider::FormColor() {
  TsSkinManager* m = SkinManager();
  if (FCommonData->Skinned(false) && !FCommonData->CustomColor())
    return m->gd[FCommonData->SkinIndex].Props[StateOf(m, FCommonData->SkinIndex, FormActive ? 1 : 0)].Color;
  return vcl::ColorToRGB(Form->Color());
}

bool TsSkinProvider::HeaderUsed() {
  TsSkinManager* m = SkinManager();
  return FFormHeader->AdditionalHeight() > 0 && m && FHeaderIndex >= 0 && m->gd[FHeaderIndex].States > 1;
}

void TsSkinProvider::InitIndexes() {
  TsSkinManager* m = SkinManager();
  if (!m) {
    FCaptionSkinIndex = FHeaderIndex = FTitleSkinIndex = -1;
    return;
  }
  FCaptionSkinIndex = m->GetSkinIndex(L"CAPTION");
  FHeaderIndex = m->GetSkinIndex(L"FORMHEADER");
  FTitleSkinIndex = m->GetSkinIndex(FTitleSkin.empty() ? rtl::String(L"FORMTITLE") : FTitleSkin);
}

void TsSkinProvider::SetUseGlobalColor(bool v) {
  FUseGlobalColor = v;
  if (v && FCommonData->Skinned(false) && !FCommonData->CustomColor()) Form->SetColor(SkinManager()->GetGlobalColor());
}

void TsSkinProvider::SetDrawNonClientArea(bool v) {
  if (FDrawNonClientArea == v) return;
  FDrawNonClientArea = v;
  if (ComponentState().Contains(vcl::csDesigning) || !Form->HandleAllocated()) return;
  if (v) {
    CheckSysMenu(true);
    if (Form->Showing() && FCommonData->Skinned(false)) {
      FCommonData->BGChanged = true;
      RgnChanged = true;
      TryInitMenu();
      RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    }
  } else {
    InitExBorders(false);
    if (HaveSysMenu())
      SetWindowLongPtrW(Form->Handle(), GWL_STYLE, GetWindowLongPtrW(Form->Handle(), GWL_STYLE) | WS_SYSMENU);
    if (Form->Showing()) SetWindowRgn(Form->Handle(), nullptr, TRUE);
  }
}

// ---- Composing the image ----------------------------------------------------------------------------------------

bool TsSkinProvider::PaintAll() {
  TsSkinManager* m = SkinManager();
  if (Form->ControlState().Contains(vcl::csCreating) || (FormState & (FS_BLENDMOVING | FS_ANIMCLOSING)) ||
      FCommonData->SkinIndex < 0 || !m)
    return true;
  const int s = StateOf(m, FCommonData->SkinIndex, FormActive ? 1 : 0);
  vcl::TBitmap* image = FCommonData->CacheBmp();
  if (!image) {
    FCommonData->InitCacheBmp();
    image = FCommonData->CacheBmp();
    UpdateSkinState(FCommonData.get(), false);
  }
  if (!FCommonData->BGChanged) {
    FCommonData->SetUpdatingFlag(false);
    return true;
  }
  CalcItems();
  const int width = CaptionWidth();
  const int height = IsIconic() && vcl::Application && Form != vcl::Application->MainForm()
                         ? SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + 2
                         : Form->Height() + (BorderForm ? DiffBorder(BorderForm) + DiffTitle(BorderForm) +
                                                              ShadowSize().Top + ShadowSize().Bottom
                                                        : 0);
  image->SetPixelFormat(vcl::pf32bit);
  image->SetSize(width, height);
  if (m->IsValidSkinIndex(FCommonData->SkinIndex)) {
    const vcl::TRect sh = ShadowSize();
    const vcl::TRect wr(sh.Left, sh.Top, width - sh.Right, height - sh.Bottom);
    TCacheInfo ci = EmptyCI;
    if (Form->Parent()) {
      TlvBGInfo bg;
      GetBGInfo(bg, Form->Parent(), false);
      if (bg.BgType == btNotReady) {
        FCommonData->SetUpdatingFlag(true);
        return false;
      }
      ci = BGInfoToCI(bg);
    }
    if (FCommonData->CtrlSkinState & LVCS_FAST) {
      FillDC(image->Canvas()->Handle(), vcl::TRect(0, 0, width, height), FormColor());
      PaintBorderFast(image->Canvas()->Handle(), wr, BorderWidth(true), FCommonData.get(), s);
    } else if (HaveBorder(this) || Form->Parent()) {
      PaintItem(FCommonData.get(), ci, false, s, wr, vcl::TPoint(Form->Left(), Form->Top()), image,
                Form->Parent() != nullptr);
    } else {
      PaintItemBG(FCommonData->SkinIndex, ci, s, wr, vcl::TPoint(Form->Left(), Form->Top()), image, m, -1, -1,
                  0xFF00FF);
      const TsGeneralData& g = m->gd[FCommonData->SkinIndex];
      const TCacheInfo self = MakeCacheInfo(image);
      auto corner = [&](int index, int x, int y) {
        if (m->IsValidImgIndex(index)) DrawSkinGlyph(image, vcl::TPoint(x, y), s, 1, m->ma[index], self);
      };
      auto w = [&](int index) { return m->IsValidImgIndex(index) ? WidthOfImage(m->ma[index]) : 0; };
      auto h = [&](int index) { return m->IsValidImgIndex(index) ? HeightOfImage(m->ma[index]) : 0; };
      corner(g.ImgTL, wr.Left, wr.Top);
      corner(g.ImgTR, wr.Right - w(g.ImgTR), wr.Top);
      corner(g.ImgBL, 0, wr.Bottom - h(g.ImgBL));
      corner(g.ImgBR, wr.Right - w(g.ImgBR), wr.Bottom - h(g.ImgBR));
    }
    const TCacheInfo ci2 = MakeCacheInfo(image, OffsetX(), OffsetY());
    PaintTitle(width, ci2, s);
    if (IsMenuVisible(this) && MenuPresent() && MenuHeight() > 0 && FDrawNonClientArea && m->SkinnedPopups()) {
      int line = FMenuLineSkin.empty() ? -1 : m->GetSkinIndex(FMenuLineSkin);
      if (line < 0) line = m->GetSkinIndex(L"MENULINE");
      const int tb = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top;
      if (line >= 0)
        PaintItem(line, ci2, true, StateOf(m, line, s),
                  vcl::TRect(sh.Left, tb, width - sh.Right, tb + GetLinesCount() * MenuHeight() + 1),
                  vcl::TPoint(sh.Left, tb), image, m);
      // The clean line, for items drawn again alone (hot, by the system) and for fading disabled ones.
      const int lw = width - sh.Left - sh.Right, lh = GetLinesCount() * MenuHeight() + 1;
      if (!MenuLineBmp) MenuLineBmp = CreateBmp32(std::max(lw, 0), lh);
      MenuLineBmp->SetSize(std::max(lw, 0), lh);
      BitBlt(MenuLineBmp->Canvas()->Handle(), 0, 0, lw, lh, image->Canvas()->Handle(), sh.Left, tb, SRCCOPY);
      PaintMenuLineItems(image, line, s);
    }
    PaintMDIArea(image);
    PaintText(width);
    if (IsGripVisible(this) && IsCached(FCommonData.get()) && m->IsValidImgIndex(m->ConstData.GripRightBottom))
      DrawSkinGlyph(image, RBGripPoint(m->ConstData.GripRightBottom), 0, 1, m->ma[m->ConstData.GripRightBottom],
                    MakeCacheInfo(image));
    if (CaptionHeight(true) != 0 && FDrawNonClientArea) {
      SaveBGForBtns(width, true);
      PaintTitleContent(width);
    }
    if (BorderForm) {
      // The layered border window shows the image by its alpha: the frame is opaque but for its keyed corners.
      FillAlphaRect(image, wr, 255, 0xFF00FF);
      PaintExBorders(image);
    }
  }
  MenuChanged = false;
  FCommonData->BGChanged = false;
  if (Form->OnPaint && IsCached(FCommonData.get())) {
    // The form's own painting lands in the image's client part, so every copy of the image carries it.
    vcl::TCanvas* canvas = Form->Canvas();
    HDC old = canvas->Handle();
    HDC dc = image->Canvas()->Handle();
    const int saved = SaveDC(dc);
    SetWindowOrgEx(dc, -OffsetX(), -OffsetY(), nullptr);
    canvas->SetHandle(dc);
    try {
      Form->OnPaint(Form);
    } catch (...) {
      canvas->SetHandle(old);
      RestoreDC(dc, saved);
      throw;
    }
    canvas->SetHandle(old);
    RestoreDC(dc, saved);
  }
  FirstInitialized = true;
  FCommonData->SetUpdatingFlag(false);
  return true;
}

void TsSkinProvider::PaintTitle(int captionWidth, const TCacheInfo& ci, int state) {
  if (CaptionHeight(true) == 0 || !FDrawNonClientArea) return;
  TsSkinManager* m = SkinManager();
  vcl::TBitmap* image = FCommonData->CacheBmp();
  const vcl::TRect sh = ShadowSize();
  const vcl::TRect wr(sh.Left, sh.Top, image->Width() - sh.Right, image->Height() - sh.Bottom);
  const int tb = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top;
  if (m->IsValidSkinIndex(FTitleSkinIndex)) {
    const bool iconicChild = IsIconic() && vcl::Application && Form != vcl::Application->MainForm();
    const vcl::TRect r = iconicChild ? wr : vcl::TRect(wr.Left, wr.Top, wr.Right, tb);
    PaintItem(FTitleSkinIndex, ci, true, StateOf(m, FTitleSkinIndex, FormActive ? 1 : 0), r, vcl::TPoint(0, 0),
              image, m);
  }
  if (FFormHeader->AdditionalHeight() > 0 && FHeaderIndex >= 0)
    PaintItem(FHeaderIndex, ci, true, StateOf(m, FHeaderIndex, FormActive ? 1 : 0),
              vcl::TRect(wr.Left, wr.Top, wr.Right, tb + FFormHeader->AdditionalHeight()), vcl::TPoint(0, 0), image, m);
  DrawAppIcon(this);
  const int bar = m->GetMaskIndex(FCommonData->SkinIndex, L"TITLEBAR");
  if (SysButtonsCount() >= 1 && m->IsValidImgIndex(bar))
    DrawSkinRect(image,
                 vcl::TRect(captionWidth - BarWidth(bar), 0, image->Width(),
                            CaptionHeight(true) + SysBorderHeight(Form->Handle(), BorderForm, true)),
                 EmptyCI, m->ma[bar], state, true);
}

void TsSkinProvider::PaintText(int captionWidth) {
  if (CaptionHeight(true) == 0 || !FDrawNonClientArea) return;
  TsSkinManager* m = SkinManager();
  vcl::TBitmap* image = FCommonData->CacheBmp();
  const vcl::TRect sh = ShadowSize();
  vcl::TRect t;
  t.Left = SysBorderWidth(Form->Handle(), BorderForm, true) + (IconVisible() ? FIconRect.Width() : 0) + 4 +
           m->CommonSkinData->BILeftMargin + sh.Left + (FCaptionSkinIndex >= 0 ? 2 : 0);
  t.Right = image->Width() - TitleBtnsWidth() - 12 - sh.Right;
  if (FTitleBar) {
    // The text keeps between the bar's left and right groups.
    t.Left = FTitleBar->BarRect().Left + FTitleBar->LeftWidth() + 8;
    t.Right = FTitleBar->BarRect().Right - FTitleBar->RightWidth() - 8;
  }
  const bool showCaption = FTitleBar ? FTitleBar->ShowCaption() : FAddedTitle->ShowMainCaption();
  vcl::TCanvas* canvas = image->Canvas();
  SIZE as{0, 0}, cs{0, 0};
  const rtl::String caption = Form->Caption();
  const rtl::String& added = FAddedTitle->Text();
  if (!added.empty()) {
    HDC dc = canvas->Handle();
    HGDIOBJ old = SelectObject(dc, FAddedTitle->Font()->Handle());
    GetTextExtentPoint32W(dc, added.c_str(), static_cast<int>(added.size()), &as);
    SelectObject(dc, old);
  }
  HFONT title = lvGetTitleFont();
  HDC dc = canvas->Handle();
  HGDIOBJ oldFont = title ? SelectObject(dc, title) : nullptr;
  if (showCaption)
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &cs);
  else {
    cs = as;
    as = SIZE{0, 0};
  }
  if (t.Right > t.Left) {
    const int h = std::max(cs.cy, as.cy);
    t.Top = (FTitleBar ? FTitleBar->FBarVCenter : VCenter) - h / 2;
    t.Bottom = t.Top + h;
    vcl::TAlignment align = FCaptionAlignment;
    const int need = cs.cx + as.cx + 4;
    if (align == vcl::taRightJustify) {
      if (t.Width() > need) t.Left = t.Right - need;
    } else if (align == vcl::taCenter) {
      t.Left = std::max<int>(t.Left, t.Left + (t.Width() - cs.cx - as.cx - 4) / 2);
      t.Right = std::min<int>(t.Left + cs.cx, t.Right);
    }
    const unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const int fontSection = FCaptionSkinIndex >= 0 ? FCaptionSkinIndex : FTitleSkinIndex;
    SetBkMode(dc, TRANSPARENT);
    if (showCaption) {
      vcl::TRect d = t;
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), reinterpret_cast<RECT*>(&d),
                flags | DT_CALCRECT);
      if (FCaptionSkinIndex >= 0) {
        vcl::TRect cr = d;
        cr.Left -= 4;
        cr.Right += 4;
        cr.Top -= 2;
        cr.Bottom += 2;
        PaintItem(FCaptionSkinIndex, MakeCacheInfo(image), true, StateOf(m, FCaptionSkinIndex, FormActive ? 1 : 0),
                  cr, vcl::TPoint(0, 0), image, m);
      }
      if (m->IsValidSkinIndex(fontSection)) {
        vcl::TRect r = t;
        if (title) canvas->Font()->SetHandle(title);
        lvWriteTextEx(canvas, caption.c_str(), Form->Enabled(), r, flags, fontSection, FormActive, m);
        // The text call leaves alpha 0 where it drew; the frame is opaque.
        FillAlphaRect(image, vcl::TRect(std::max(0, t.Left), std::max(0, t.Top), std::min(image->Width(), t.Right),
                                        std::min(image->Height(), t.Bottom)),
                      255);
      }
      t.Left = d.Right;
    }
    if (!added.empty()) {
      t.Left += 4;
      t.Right = t.Left + as.cx + 4;
      if (t.Left + 8 < t.Right && m->IsValidSkinIndex(FTitleSkinIndex)) {
        vcl::TColor c = FAddedTitle->Font()->Color();
        const TsGeneralData& g = m->gd[FTitleSkinIndex];
        if (c == vcl::clNone || c == vcl::clWindowText)
          c = g.Props[StateOf(m, FTitleSkinIndex, FormActive ? 1 : 0)].FontColor.Color;
        else if (!FormActive)
          c = MixColors(g.Props[0].FontColor.Color, c, 0.5);
        HGDIOBJ f = SelectObject(dc, FAddedTitle->Font()->Handle());
        SetTextColor(dc, vcl::ColorToRGB(c));
        vcl::TRect r = t;
        lvDrawText(dc, added, r, flags);
        SelectObject(dc, f);
      }
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
}

void TsSkinProvider::SaveBGForBtns(int captionWidth, bool full) {
  if (!TempBmp) return;
  vcl::TBitmap* image = FCommonData->CacheBmp();
  const HWND w = Form->Handle();
  const vcl::TRect sh = ShadowSize();
  TempBmp->SetPixelFormat(image->PixelFormat());
  TempBmp->SetSize(SysBorderWidth(w, BorderForm, true) + TitleBtnsWidth() + sh.Right + 10,
                   SysBorderWidth(w, BorderForm, false) + SysBorderHeight(w, BorderForm, true) + CaptionHeight(true) +
                       MenuHeight() + sh.Top);
  const int rows = full ? TempBmp->Height() : SysBorderHeight(w, BorderForm, true) + CaptionHeight(true);
  BitBlt(TempBmp->Canvas()->Handle(), 0, 0, TempBmp->Width(), rows, image->Canvas()->Handle(),
         captionWidth - TempBmp->Width() - 1, 0, SRCCOPY);
}

void TsSkinProvider::RestoreBtnsBG(int captionWidth) {
  if (!TempBmp || TempBmp->Empty()) return;
  vcl::TBitmap* image = FCommonData->CacheBmp();
  BitBlt(image->Canvas()->Handle(), captionWidth - TempBmp->Width() - 1, 0, TempBmp->Width(), TempBmp->Height(),
         TempBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::PaintButton(TsCaptionButton& btn, bool enabled) {
  TsSkinManager* m = SkinManager();
  if (btn.ImageIndex < 0 || !m->IsValidImgIndex(btn.ImageIndex)) return;
  vcl::TBitmap* image = FCommonData->CacheBmp();
  const bool fading = btn.Timer != nullptr;
  const int state = fading ? 0 : std::max(0, btn.State);
  const bool lighter = (btn.State == 0 || fading) && !(FormActive && enabled && Form->Enabled());
  DrawSkinGlyph(image, btn.Rect.TopLeft(), state, lighter ? 2 : 1, m->ma[btn.ImageIndex], MakeCacheInfo(image));
}

void TsSkinProvider::PaintTitleContent(int captionWidth) {
  if (!HaveBorder(this)) return;
  RestoreBtnsBG(captionWidth);
  if (SystemMenu && HaveSysMenu()) {
    PaintButton(ButtonClose, SystemMenu->VisibleClose() && SystemMenu->EnabledClose());
    if (SystemMenu->VisibleMax()) {
      // A maximised form shows the restore image in the maximise button's place.
      TsCaptionButton shown = ButtonMax;
      if (IsZoomed() && SkinManager()->IsValidImgIndex(SkinManager()->ConstData.MaskNormBtn) && BigButtons)
        shown.ImageIndex = SkinManager()->ConstData.MaskNormBtn;
      PaintButton(shown, SystemMenu->EnabledMax());
    }
    if (SystemMenu->VisibleMin()) PaintButton(ButtonMin, SystemMenu->EnabledMin());
    if (Form->BorderIcons().Contains(vcl::biHelp)) PaintButton(ButtonHelp, true);
  }
  vcl::TBitmap* image = FCommonData->CacheBmp();
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* b = FTitleButtons->Items(i);
    if (!b->Visible()) continue;
    PaintButton(b->Data, b->Enabled());
    b->Data.HitCode = HTUDBTN + i;
    vcl::TBitmap* g = b->Glyph();
    if (!g || g->Empty()) continue;
    const int x = b->Data.Rect.Left + (UserButtonWidth(b) - g->Width()) / 2;
    const int y = b->Data.Rect.Top + (ButtonHeight() - g->Height()) / 2;
    const vcl::TColor key = g->Canvas()->Pixels(0, g->Height() - 1);
    TsColor k;
    k.C = static_cast<std::uint32_t>(SwapRedBlue(static_cast<std::uint32_t>(vcl::ColorToRGB(key))));
    CopyTransBitmaps(image, g, x, y, k);
  }
  PaintTitleItems(captionWidth);
}

// The caption layout: icon, caption buttons from the right, user buttons.
void TsSkinProvider::CalcItems() {
  TsSkinManager* m = SkinManager();
  const HWND w = Form->Handle();
  const vcl::TRect sh = ShadowSize();
  VCenter = CaptionHeight(true) / 2 + SysBorderWidth(w, nullptr, true) / 2;
  FHeaderHeight = SysBorderHeight(w, BorderForm, true) + CaptionHeight(true) + sh.Top;
  if (IsZoomed()) VCenter += 2;
  FIconRect.Left = SysBorderWidth(w, BorderForm, true) + m->CommonSkinData->BILeftMargin + sh.Left;
  if (IconVisible()) {
    FIconRect.Right = FIconRect.Left + TitleIconWidth(this);
    FIconRect.Top = VCenter - TitleIconHeight(this) / 2;
    FIconRect.Bottom = FIconRect.Top + TitleIconHeight(this);
  } else {
    FIconRect.Right = FIconRect.Left;
    FIconRect.Top = FIconRect.Bottom = VCenter;
  }
  int fr = CaptionWidth() - m->CommonSkinData->BIRightMargin - sh.Right -
           std::max(4, SysBorderWidth(w, BorderForm, true));
  if (!BigButtons) fr += std::min(0, DiffBorder(BorderForm) - 2);
  int x = fr;
  const int top = GetTopCoord() + m->CommonSkinData->BITopMargin;
  for (TsCaptionButton* b : {&ButtonClose, &ButtonMax, &ButtonMin, &ButtonHelp}) b->Rect = vcl::TRect();
  if (SystemMenu && HaveSysMenu()) {
    ProcSysButton(ButtonClose, x, SysButtonWidth(ButtonClose), top);
    if (SystemMenu->VisibleMax()) ProcSysButton(ButtonMax, x, SysButtonWidth(ButtonMax), top);
    if (SystemMenu->VisibleMin()) ProcSysButton(ButtonMin, x, SysButtonWidth(ButtonMin), top);
    if (Form->BorderIcons().Contains(vcl::biHelp)) {
      x -= 6;
      ProcSysButton(ButtonHelp, x, SysButtonWidth(ButtonHelp), top);
    }
  }
  if (FTitleButtons->Count() > 0) {
    x -= UserButtonsOffset;
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
      TsTitleButton* b = FTitleButtons->Items(i);
      b->Data.Rect = vcl::TRect();
      if (!b->Visible()) continue;
      b->Data.ImageIndex = b->UseSkinData() && m->IsValidImgIndex(UserBtnIndex) ? UserBtnIndex : -1;
      ProcSysButton(b->Data, x, UserButtonWidth(b), top);
      b->Data.HitCode = HTUDBTN + i;
    }
  }
  if (FTitleBar) CalcTitleBar(fr, x);
}

void TsSkinProvider::ProcSysButton(TsCaptionButton& btn, int& x, int width, int top) {
  TsSkinManager* m = SkinManager();
  btn.Rect.Right = x;
  btn.Rect.Left = x - width;
  btn.Rect.Top = btn.HaveAlignment && m->CommonSkinData->BIVAlign == 1 ? top : VCenter - ButtonHeight() / 2;
  btn.Rect.Bottom = btn.Rect.Top + ButtonHeight();
  x = btn.Rect.Left - (BigButtons ? m->CommonSkinData->BISpacing : 0);
}

void DrawAppIcon(TsSkinProvider* sp) {
  if (!sp->IconVisible()) return;
  vcl::TBitmap* image = sp->SkinData()->CacheBmp();
  const vcl::TRect r = sp->FIconRect;
  if (r.Width() <= 0 || r.Height() <= 0) return;
  vcl::TBitmap* glyph = sp->TitleIcon()->Glyph();
  if (glyph && !glyph->Empty()) {
    const int w = sp->TitleIcon()->Width() ? sp->TitleIcon()->Width() : r.Width();
    const int h = sp->TitleIcon()->Height() ? sp->TitleIcon()->Height() : r.Height();
    StretchBlt(image->Canvas()->Handle(), r.Left, r.Top, w, h, glyph->Canvas()->Handle(), 0, 0, glyph->Width(),
               glyph->Height(), SRCCOPY);
    FillAlphaRect(image, vcl::TRect(r.Left, r.Top, r.Left + w, r.Top + h), 255);
    return;
  }
  // The icon call leaves alpha 0 where it draws: the changed pixels are made opaque afterwards.
  auto saved = CreateBmp32(r.Width(), r.Height());
  BitBlt(saved->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), image->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
  HWND w = sp->Form->Handle();
  HICON icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0));
  if (!icon && vcl::Application && vcl::Application->Handle())
    icon = reinterpret_cast<HICON>(SendMessageW(vcl::Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  DrawIconEx(image->Canvas()->Handle(), r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  for (int y = 0; y < r.Height(); ++y) {
    const int iy = r.Top + y;
    if (iy < 0 || iy >= image->Height()) continue;
    auto* dst = static_cast<std::uint32_t*>(image->ScanLine(iy));
    auto* src = static_cast<std::uint32_t*>(saved->ScanLine(y));
    for (int x = 0; x < r.Width(); ++x) {
      const int ix = r.Left + x;
      if (ix < 0 || ix >= image->Width()) continue;
      if (dst[ix] != src[x]) dst[ix] |= 0xFF000000u;
    }
  }
}

// ---- To the window -----------------------------------------------------------------------------------------------

void TsSkinProvider::PaintCaption(HDC dc) {
  vcl::TBitmap* image = FCommonData->CacheBmp();
  const HWND w = Form->Handle();
  const int h = SysBorderHeight(w, BorderForm, true) + CaptionHeight(true) + (IsIconic() ? 1 : 0);
  const int cw = CaptionWidth();
  if (FCommonData->BGChanged || !IsCached(FCommonData.get())) {
    ControlsChanged = !FirstInitialized;
    PaintAll();
    image = FCommonData->CacheBmp();
    FCommonData->BGChanged = false;
    FCommonData->SetUpdatingFlag(false);
  }
  if (!image || image->Empty()) return;
  HDC src = image->Canvas()->Handle();
  const int lines = MenuPresent() ? GetLinesCount() * MenuHeight() + 1 : 0;
  const int bh = BorderHeight(true), bw = BorderWidth(true);
  const bool caption = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  const int top = caption ? HeaderHeight() : bh;
  const int fh = Form->Height();
  if (top != 0)
    BitBlt(dc, 0, 0, cw, top, src, 0, 0, SRCCOPY);
  else
    BitBlt(dc, 0, 0, cw, lines, src, 0, 0, SRCCOPY);
  const int srcRow = h + lines + FormBorderWidth();
  BitBlt(dc, 0, top, bw, image->Height() - top, src, 0, srcRow, SRCCOPY);
  BitBlt(dc, bw, fh - bh, cw - bw, bh, src, SysBorderWidth(w, BorderForm, true) + FormBorderWidth(), fh - bh, SRCCOPY);
  BitBlt(dc, image->Width() - bw, top, bw, image->Height() - top, src, image->Width() - bw, srcRow, SRCCOPY);
}

void TsSkinProvider::LV_WMNCPaint(vcl::TMessage& m) {
  if (!SystemMenu) PrepareForm();
  if (FDrawNonClientArea &&
      ((FCommonData->CtrlSkinState & (LVCS_LOCKED | LVCS_MNUPDATING)) || (FormState & FS_ANIMCLOSING)))
    return;
  if (RTInit) {
    RTInit = false;
    LoadInit();
  }
  if (!FDrawNonClientArea) {
    OldWndProc(m);
    return;
  }
  if (fAnimating || !Form->Showing() || ComponentState().Contains(vcl::csLoading) ||
      Form->ControlState().Contains(vcl::csDestroyingHandle) || !SystemMenu)
    return;
  if (IsIconic()) FCommonData->BGChanged = true;
  vcl::TBitmap* image = FCommonData->CacheBmp();
  if ((!image || image->Empty()) && SkinManager()) InitExBorders(SkinManager()->ExtendedBorders());
  LV_WMNCPaintHandler();
  m.Result = 0;
}

void TsSkinProvider::LV_WMNCPaintHandler() {
  if (!FDrawNonClientArea || LockCount > 0) return;
  TryInitMenu();
  vcl::TBitmap* image = FCommonData->CacheBmp();
  if (!image || image->Width() == 0) FCommonData->BGChanged = true;
  if (FCommonData->BGChanged && !PaintAll()) return;
  if (!RgnChanging && RgnChanged) {
    if (HaveBorder(this) || IsSizeBox(Form->Handle()) || IsIconic()) {
      if (IsIconic() && (GetWindowLongPtrW(Form->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW)) return;
      FillArOR(this);
      RgnChanged = false;
      UpdateRgn(this, false, false);
    } else {
      SetWindowRgn(Form->Handle(), nullptr, FALSE);
    }
  }
  FCommonData->SetUpdatingFlag(false);
  TWindowDC dc(Form->Handle());
  if (!dc.Get()) return;
  if (BorderForm) {
    // The frame is on the border window; the form itself shows only its menu line.
    const int lines = MenuPresent() ? GetLinesCount() : 0;
    const int m = MenuHeight() * lines + (IsMenuVisible(this) ? 1 : 0);
    vcl::TBitmap* img = FCommonData->CacheBmp();
    if (m > 0 && img && !img->Empty()) {
      const vcl::TRect sh = ShadowSize();
      const int x = SysBorderWidth(Form->Handle(), BorderForm, false);
      const int y = CaptionHeight(false) + x - (FSysExHeight ? 4 : 0);
      BitBlt(dc.Get(), x, y, img->Width() - sh.Left - sh.Right, m, img->Canvas()->Handle(),
             SysBorderWidth(Form->Handle(), BorderForm, true) + sh.Left, OffsetY() - m, SRCCOPY);
    }
  } else if (HaveBorder(this) || !IsSizeBox(Form->Handle()) || IsIconic()) {
    PaintCaption(dc.Get());
  } else {
    vcl::TBitmap* img = FCommonData->CacheBmp();
    HDC src = img->Canvas()->Handle();
    const int w = BorderWidth(true) + 3, fw = Form->Width(), fh = Form->Height();
    BitBlt(dc.Get(), 0, 0, fw, w, src, 0, 0, SRCCOPY);
    BitBlt(dc.Get(), 0, w, w, img->Height() - w, src, 0, w, SRCCOPY);
    BitBlt(dc.Get(), w, fh - w, fw - w, w, src, w, fh - w, SRCCOPY);
    BitBlt(dc.Get(), img->Width() - w, w, w, img->Height() - w, src, img->Width() - w, w, SRCCOPY);
  }
  RgnChanging = false;
}

void UpdateSkinCaption(TsSkinProvider* sp) {
  if (InAnimation(sp) || !sp->Form->HandleAllocated() || !IsWindowVisible(sp->Form->Handle()) ||
      !sp->DrawNonClientArea() || !sp->SkinData()->Skinned(false))
    return;
  sp->SkinData()->BGChanged = true;
  if (sp->BorderForm) {
    if (IsMenuVisible(sp)) sp->ProcessMessage(WM_NCPAINT, 0, 0);
    sp->BorderForm->UpdateExBordersPos(true, 255);
    return;
  }
  HDC dc = GetWindowDC(sp->Form->Handle());
  const int saved = SaveDC(dc);
  sp->PaintCaption(dc);
  RestoreDC(dc, saved);
  ReleaseDC(sp->Form->Handle(), dc);
}

void TsSkinProvider::RepaintMenu() {
  FCommonData->BGChanged = true;
  MenuChanged = true;
  FLinesCount = -1;
  ProcessMessage(WM_NCPAINT, 0, 0);
}

void TsSkinProvider::PaintForm(HDC dc, bool sendUpdated) {
  const vcl::TRect r(0, 0, Form->ClientWidth(), Form->ClientHeight());
  if ((FCommonData->CtrlSkinState & LVCS_FAST) && Form->FormStyle() != vcl::fsMDIForm) {
    FillDC(dc, r, FormColor());
  } else {
    const bool changed = FCommonData->BGChanged;
    PaintAll();
    if (Form->FormStyle() != vcl::fsMDIForm) {
      CopyWinControlCache(Form, FCommonData.get(), vcl::TRect(OffsetX(), OffsetY(), 0, 0), r, dc, false, 0, 0);
      PaintControls(dc, Form, ControlsChanged || changed, vcl::TPoint(0, 0), Form->Handle());
    }
    if (sendUpdated) SetParentUpdated(Form);
  }
  ControlsChanged = false;
}

void TsSkinProvider::LV_WMEraseBkGnd(vcl::TMessage& m) {
  if (!IsWindowVisible(Form->Handle()) || !FDrawClientArea) {
    OldWndProc(m);
    return;
  }
  if ((FCommonData->CtrlSkinState & LVCS_LOCKED) || FCommonData->Updating()) {
    m.Result = 1;
    return;
  }
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool copy = Form->ControlState().Contains(vcl::csPaintCopy) || m.WParam == static_cast<WPARAM>(m.LParam);
  if (!copy) {
    vcl::TBitmap* image = FCommonData->CacheBmp();
    if (IsCached(FCommonData.get())) {
      if (image && !image->Empty() && !FCommonData->BGChanged)
        BitBlt(dc, 0, 0, Form->ClientWidth(), Form->ClientHeight(), image->Canvas()->Handle(), OffsetX(), OffsetY(),
               SRCCOPY);
      else
        LV_WMEraseBkGndHandler(dc);
      SetParentUpdated(Form);
    } else {
      LV_WMEraseBkGndHandler(dc);
    }
  } else if (dc && !FCommonData->BGChanged) {
    vcl::TBitmap* image = FCommonData->CacheBmp();
    if (image && IsCached(FCommonData.get()))
      BitBlt(dc, 0, 0, Form->Width(), Form->Height(), image->Canvas()->Handle(), OffsetX(), OffsetY(), SRCCOPY);
    else
      FillDC(dc, vcl::TRect(0, 0, Form->Width(), Form->Height()), GetBGColor(FCommonData.get(), 0));
  }
  m.Result = 1;
}

void TsSkinProvider::LV_WMEraseBkGndHandler(HDC dc) {
  bool own = false;
  if (!dc) {
    dc = GetDC(Form->Handle());
    own = true;
  }
  FCommonData->SetUpdatingFlag(false);
  if (!fAnimating && !Form->ComponentState().Contains(vcl::csDestroying)) {
    const int saved = SaveDC(dc);
    ExcludeControls(dc, Form, 0, 0, 0);
    PaintForm(dc, true);
    if (IsGripVisible(this)) {
      SetWindowOrgEx(dc, OffsetX(), OffsetY(), nullptr);
      PaintGrip(dc, this);
    }
    RestoreDC(dc, saved);
    PaintControls(dc, Form, true, vcl::TPoint(0, 0));
  }
  if (own) ReleaseDC(Form->Handle(), dc);
}

void PaintGrip(HDC dc, TsSkinProvider* sp) {
  TsSkinManager* m = sp->SkinManager();
  const int index = m ? m->ConstData.GripRightBottom : -1;
  if (!m || !m->IsValidImgIndex(index)) return;
  vcl::TBitmap* image = sp->SkinData()->CacheBmp();
  if (!image || image->Empty()) return;
  const vcl::TPoint p = sp->RBGripPoint(index);
  auto bmp = CreateBmp32(WidthOfImage(m->ma[index]), HeightOfImage(m->ma[index]));
  BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), image->Canvas()->Handle(), p.X, p.Y, SRCCOPY);
  DrawSkinGlyph(bmp.get(), vcl::TPoint(0, 0), 0, 1, m->ma[index], MakeCacheInfo(bmp.get()));
  BitBlt(dc, p.X, p.Y, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::LV_WMPaint(vcl::TMessage& m) {
  if (!FDrawClientArea || (FormState & FS_ANIMRESTORING)) {
    OldWndProc(m);
    return;
  }
  if (Form->ControlState().Contains(vcl::csPaintCopy)) return;
  if (!IsCached(FCommonData.get())) {
    if (Form->Showing()) {
      InvalidateRect(Form->Handle(), nullptr, !ComponentState().Contains(vcl::csDestroying));
      PAINTSTRUCT ps;
      BeginPaint(Form->Handle(), &ps);
      EndPaint(Form->Handle(), &ps);
      m.Result = 0;
    } else {
      OldWndProc(m);
    }
    return;
  }
  if (Form->Showing()) {
    OurPaintHandler(m);
    m.Result = 0;
  } else {
    OldWndProc(m);
  }
}

void TsSkinProvider::OurPaintHandler(vcl::TMessage& m) {
  PAINTSTRUCT ps;
  const HWND w = Form->Handle();
  HDC given = reinterpret_cast<HDC>(m.WParam);
  if (fAnimating || (InAnimationProcess && !given) || Form->ComponentState().Contains(vcl::csDestroying)) {
    BeginPaint(w, &ps);
    EndPaint(w, &ps);
    return;
  }
  HDC dc = given;
  if (!InAnimationProcess || !given) dc = BeginPaint(w, &ps);
  if (given) dc = given;
  const int saved = SaveDC(dc);
  FCommonData->SetUpdatingFlag(Form->Parent() ? FCommonData->Updating() : false);
  PaintForm(dc, true);
  RestoreDC(dc, saved);
  if (!InAnimationProcess || !given) EndPaint(w, &ps);
}

// ---- The extended border ------------------------------------------------------------------------------------------

void TsSkinProvider::PaintExBorders(vcl::TBitmap* image) {
  BorderForm->PaintShadow(image, FormActive, FTitleSkinIndex, FCommonData->BorderIndex, BorderWidth(true));
}

// ---- The window region -----------------------------------------------------------------------------------------

void TsSkinProvider::FillShape() {
  ArOR.clear();
  TsSkinManager* m = SkinManager();
  if (!m) return;
  const int border = FCommonData->BorderIndex;
  if (m->IsValidImgIndex(border)) {
    AddRgn(ArOR, CaptionWidth(), m->ma[border], 0, false);
    AddRgn(ArOR, CaptionWidth(), m->ma[border], Form->Height() - m->ma[border].WB, true);
  }
  if (m->IsValidSkinIndex(FTitleSkinIndex)) {
    const int mask = m->GetMaskIndex(FTitleSkinIndex, L"BORDERSMASK");
    if (m->IsValidImgIndex(mask)) AddRgn(ArOR, CaptionWidth(), m->ma[mask], 0, false);
  }
}

HRGN TsSkinProvider::ShapeRegion(int x, int y) {
  HRGN rgn = CreateRectRgn(x, y, x + CaptionWidth(), y + Form->Height());
  for (const vcl::TRect& cut : ArOR) {
    HRGN part = CreateRectRgn(cut.Left + x, cut.Top + y, cut.Right + x, cut.Bottom + y);
    CombineRgn(rgn, rgn, part, RGN_DIFF);
    DeleteObject(part);
  }
  return rgn;
}

void TsSkinProvider::UpdateShape(bool repaint, bool setRgnRedraw) {
  if (!FDrawNonClientArea || !Form->HandleAllocated() || InMenu) return;
  const HWND w = Form->Handle();
  if (!HaveBorder(this) && !IsIconic() && !IsSizeBox(w)) return;
  if (!FirstInitialized && SendMessageW(w, CM_BEWAIT, static_cast<WPARAM>(BE_ID), 0) == BE_ID) return;
  RgnChanging = true;
  HRGN rgn;
  if (BorderForm) {
    const int a = SysBorderWidth(w, nullptr, false);
    const int b = a + SysCaptHeight(Form);
    rgn = CreateRectRgn(a, b, Form->Width() - a, Form->Height() - a);
  } else if (!IsZoomed() || Form->FormStyle() == vcl::fsMDIChild) {
    rgn = ShapeRegion(0, 0);
  } else {
    const int a = SysBorderWidth(w, nullptr, false), b = SysBorderHeight(w, nullptr, false);
    rgn = CreateRectRgn(a, b, GetWindowWidth(w) - a, GetWindowHeight(w) - b);
  }
  RgnChanged = false;
  if (setRgnRedraw) {
    SetWindowRgn(w, rgn, repaint);
  } else {
    SetWindowRgn(w, rgn, FALSE);
    if (repaint) {
      RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
      ProcessMessage(WM_NCPAINT, 0, 0);
    }
  }
  RgnChanging = false;
}
