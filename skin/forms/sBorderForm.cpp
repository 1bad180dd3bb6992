// The layered window of an extended border: made, placed, painted and shaped around its owner, and its messages
// (hit tests for the owner, the mouse through the shadow, never active or focused).
#include "skin/forms/sBorderForm.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sWndUtils.h"
#include "skin/forms/sDwmEffects.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvDialogWnd.h"

namespace {

constexpr DWORD kExStyle = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr COLORREF kNoKey = 0x1FFFFFFF;
constexpr UINT kSwpCommon = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

vcl::TPoint ScreenPoint(const vcl::TMessage& m) {
  return vcl::TPoint(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
}

bool In(const vcl::TRect& r, vcl::TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

bool Between(int v, int lo, int hi) { return v >= lo && v <= hi; }

vcl::TRect WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return vcl::TRect(r.left, r.top, r.right, r.bottom);
}

}  // namespace

// ---- Life --------------------------------------------------------------------------------------------------------

TlvBorderForm::TlvBorderForm(TsSkinProvider* owner) : sp(owner) { CreateNewForm(); }

TlvBorderForm::TlvBorderForm(TlvDialogWnd* owner) : Dlg(owner) { CreateNewForm(); }

TlvBorderForm::~TlvBorderForm() {
  KillAnimations();
  FreeForm();
}

void TlvBorderForm::FreeForm() {
  vcl::TForm* f = AForm;
  AForm = nullptr;
  if (!f) return;
  // The window goes first so that nothing reaches BorderProc while the form is being freed.
  if (f->HandleAllocated()) f->WindowProc = OldBorderProc;
  delete f;
}

void TlvBorderForm::CreateNewForm() {
  if (AForm) return;
  auto* f = new vcl::TForm(nullptr);
  f->SetVisible(false);
  f->SetBorderStyle(vcl::bsNone);
  // The library's own auxiliary window: automatic skinning passes it over.
  f->SetTag(256);
  f->SetPosition(vcl::poDesigned);
  f->HandleNeeded();
  AForm = f;
  const HWND w = f->Handle();
  SetWindowLongPtrW(w, GWL_EXSTYLE, kExStyle);
  SetClassLongPtrW(w, GCL_STYLE, GetClassLongPtrW(w, GCL_STYLE) & ~CS_DROPSHADOW);
  ParentHandle = reinterpret_cast<HWND>(
      SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(OwnerHandle())));
  OldBorderProc = f->WindowProc;
  f->WindowProc = vcl::MakeWndMethod(this, &TlvBorderForm::BorderProc);
}

// ---- Owner -------------------------------------------------------------------------------------------------------

HWND TlvBorderForm::OwnerHandle() {
  if (sp) return sp->Form && sp->Form->HandleAllocated() ? sp->Form->Handle() : nullptr;
  if (Dlg) return Dlg->CtrlHandle;
  return nullptr;
}

int TlvBorderForm::CaptionHeight(bool checkSkin) {
  if (sp) return sp->CaptionHeight(checkSkin);
  if (Dlg) return Dlg->CaptionHeight(checkSkin);
  return 0;
}

int TlvBorderForm::MenuHeight() { return sp ? sp->MenuHeight() : 0; }

vcl::TRect TlvBorderForm::IconRect() {
  if (sp) return sp->FIconRect;
  if (Dlg) return Dlg->IconRect();
  return vcl::TRect();
}

unsigned TlvBorderForm::FormState() {
  if (sp) return sp->FormState;
  if (Dlg) return Dlg->FormState;
  return 0;
}

void TlvBorderForm::SetHotHT(int hitCode, bool) {
  if (sp) sp->SetHotHT(hitCode, true);
  if (Dlg) Dlg->SetHotHT(hitCode, true);
}

void TlvBorderForm::KillAnimations() {
  if (sp) sp->KillAnimations();
}

TsSkinManager* TlvBorderForm::Manager() { return SkinData ? SkinData->SkinManager() : nullptr; }

bool TlvBorderForm::OwnerEnabled() {
  if (sp) return sp->Form && sp->Form->Enabled();
  const HWND o = OwnerHandle();
  return o && IsWindowEnabled(o);
}

// ---- Geometry ----------------------------------------------------------------------------------------------------

vcl::TRect TlvBorderForm::ShadowSize() {
  TsSkinManager* m = Manager();
  return m ? m->FormShadowSize : vcl::TRect();
}

int TlvBorderForm::OffsetX() {
  return SkinBorderWidth(this) + ShadowSize().Left - SysBorderWidth(OwnerHandle(), this, false);
}

int TlvBorderForm::OffsetY() {
  const int title = CaptionHeight(false) != 0 ? SkinTitleHeight(this) : 0;
  return ShadowSize().Top + title - SysBorderWidth(OwnerHandle(), this, false) - CaptionHeight(false);
}

int TlvBorderForm::MinTopCoord() {
  if (!AForm || !AForm->HandleAllocated()) return 0;
  const vcl::TRect r = WindowRect(AForm->Handle());
  return lvWorkRect(vcl::TPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2)).Top;
}

void TlvBorderForm::SendOwnerToBack() {
  TsSkinManager* m = Manager();
  if (!AForm || !AForm->HandleAllocated() || !m || m->SysFontScale() <= 0 || aSkinChanging) return;
  if (const HWND o = OwnerHandle())
    SetWindowPos(o, AForm->Handle(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | kSwpCommon);
}

HWND TlvBorderForm::GetTopWnd() {
  if (sp && sp->Form && sp->Form->FormStyle() == vcl::fsStayOnTop) return nullptr;
  const HWND o = OwnerHandle();
  if (o && (GetWindowLongPtrW(o, GWL_EXSTYLE) & WS_EX_TOPMOST)) return HWND_TOPMOST;
  return o;
}

void TlvBorderForm::PaintAll() {
  if (sp) sp->PaintAll();
  if (Dlg) Dlg->PaintAll();
}

// ---- Placing and showing -----------------------------------------------------------------------------------------

void TlvBorderForm::UpdateExBordersPos(bool redraw, std::uint8_t blend) {
  if (vcl::Application && vcl::Application->Terminated()) return;
  if (ExBorderShowing || !SkinData || SkinData->PrintDC || InAnimationProcess) return;
  const HWND owner = OwnerHandle();
  RECT wr{};
  if (!owner || !GetWindowRect(owner, &wr)) return;
  // An iconic owner shows no border: the window comes back with the owner's restore.
  if (IsIconic(owner)) return;
  // The form has not caught up with a move yet: the next position change brings the window along.
  if (sp && !IsIconic(owner) && sp->Form->Left() != wr.left && !sp->Form->Parent()) return;
  if (!AForm) CreateNewForm();
  HWND after = nullptr;
  if (sp) {
    if ((SkinData->CtrlSkinState & LVCS_LOCKED) || InAnimation(sp) || SkinData->Updating() ||
        !sp->DrawNonClientArea())
      return;
    if (sp->ComponentState().Contains(vcl::csDestroying) || sp->Form->ComponentState().Contains(vcl::csDestroying)) {
      // The owner frees this object: nothing of it may be touched afterwards.
      sp->InitExBorders(false);
      return;
    }
    if (!IsWindowVisible(owner) && (sp->FormState == 0 || sp->FormState == FS_ACTIVATE)) {
      FreeForm();
      SkinData->BGChanged = true;
      return;
    }
    ExBorderShowing = true;
    if (sp->Form->FormStyle() == vcl::fsStayOnTop && GetActiveWindow() == owner) {
      SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | kSwpCommon);
      SendOwnerToBack();
    } else if (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) {
      SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | kSwpCommon);
      SendOwnerToBack();
    }
    after = GetTopWnd();
  } else {
    if (!IsWindowVisible(owner)) return;
    ExBorderShowing = true;
    if (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) {
      SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | kSwpCommon);
      if (GetActiveWindow() == owner) SendOwnerToBack();
      after = HWND_TOPMOST;
    }
  }
  const unsigned state = FormState();
  if ((state & FS_FULLPAINTING) || aSkinChanging) {
    if (SkinData->BGChanged) PaintAll();
    redraw = true;
    // The owner's client area is part of the picture while the owner itself is not shown as usual.
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (cache && !cache->Empty()) {
      RECT cr{};
      GetClientRect(owner, &cr);
      POINT o{0, 0};
      ClientToScreen(owner, &o);
      const int cx = o.x - wr.left, cy = o.y - wr.top;
      const int x = cx + OffsetX(), y = cy + OffsetY();
      HDC dc = GetWindowDC(owner);
      if (dc) {
        const int saved = SaveDC(dc);
        BitBlt(cache->Canvas()->Handle(), x, y, cr.right, cr.bottom, dc, cx, cy, SRCCOPY);
        RestoreDC(dc, saved);
        ReleaseDC(owner, dc);
      }
      FillAlphaRect(cache, vcl::TRect(x, y, x + cr.right, y + cr.bottom), 255);
    }
  } else if (SkinData->BGChanged) {
    PaintAll();
    redraw = true;
  }
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Empty() || !AForm) {
    ExBorderShowing = false;
    return;
  }
  const vcl::TRect sh = ShadowSize();
  const int dy = sp && sp->FSysExHeight ? DiffTitle(this) + sh.Top + 4 : OffsetY();
  const int dx = SkinBorderWidth(this) + sh.Left - SysBorderWidth(owner, this, false);
  const int x = wr.left - dx, y = wr.top - dy;
  const int w = cache->Width(), h = cache->Height();
  if (!after) after = IsIconic(owner) || (state & FS_SIZING) ? GetWindow(owner, GW_HWNDPREV) : owner;
  const HWND bw = AForm->Handle();
  const vcl::TRect br = WindowRect(bw);
  const bool sizeDiffers = br.Width() != w || br.Height() != h;
  UINT flags = kSwpCommon;
  if (state & FS_SIZING) flags |= SWP_NOZORDER;
  if (!redraw && !sizeDiffers) flags |= SWP_NOSIZE;
  if (!redraw) flags |= SWP_NOREDRAW;
  const bool push = redraw || sizeDiffers;
  if (after == bw) after = nullptr, flags |= SWP_NOZORDER;
  if (lvLayered() && push && !lvInMouseMsg) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, blend, AC_SRC_ALPHA};
    if (sizeDiffers) AForm->SetBounds(x, y, w, h);
    TsSkinManager* m = Manager();
    if (m && m->Effects()->AllowAeroBluring() && m->CommonSkinData->UseAeroBluring) {
      HRGN blur = MakeBluringRgn();
      SetBlurBehindWindow(bw, true, blur);
    } else {
      SetBlurBehindWindow(bw, false, nullptr);
    }
    if (state & FS_BLENDMOVING) SetWindowRgn(bw, MakeRgn(0, 0), FALSE);
    SIZE size{w, h};
    POINT pos{x, y}, origin{0, 0};
    HDC screen = GetDC(nullptr);
    UpdateLayeredWindowProc(bw, screen, &pos, &size, cache->Canvas()->Handle(), &origin, kNoKey, &bf, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
    if ((state & FS_FULLPAINTING) != FS_BLENDMOVING) SetWindowRgn(bw, MakeRgn(0, 0), FALSE);
    if (IsWindowVisible(bw)) {
      SetWindowPos(bw, after, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE);
      SendOwnerToBack();
      if (blend == 255 && !(state & FS_SIZING)) {
        if (sp) ::UpdateRgn(sp, redraw, false);
        if (Dlg) ::UpdateRgn(Dlg, redraw);
      }
    } else {
      const LONG_PTR style = GetWindowLongPtrW(owner, GWL_STYLE);
      if (blend == 0) SetWindowLongPtrW(owner, GWL_STYLE, style & ~WS_VISIBLE);
      SetWindowPos(bw, after, 0, 0, 0, 0,
                   (flags & SWP_NOZORDER) | SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
      SendOwnerToBack();
      if (blend == 0) SetWindowLongPtrW(owner, GWL_STYLE, GetWindowLongPtrW(owner, GWL_STYLE) | WS_VISIBLE);
      if (blend == 255 && !(state & FS_SIZING)) {
        if (sp) ::UpdateRgn(sp, true, true);
        if (Dlg) ::UpdateRgn(Dlg, true);
      }
    }
  } else {
    SetWindowPos(bw, after, x, y, 0, 0, flags | SWP_NOSIZE);
    SendOwnerToBack();
  }
  ExBorderShowing = false;
}

// The shadow around the frame, from the manager's active or inactive shadow image, and the frame's key-coloured
// corner pixels filled from it.
void TlvBorderForm::PaintShadow(vcl::TBitmap* image, bool active, int titleSkinIndex, int borderIndex,
                                int frameWidth) {
  TsSkinManager* m = Manager();
  if (!m || !image) return;
  ShadowTemplate = active ? m->ShdaTemplate.get() : m->ShdiTemplate.get();
  vcl::TBitmap* tpl = ShadowTemplate;
  if (!tpl || tpl->Empty()) return;
  const vcl::TRect sh = ShadowSize();
  const int ch = CaptionHeight(true);
  const vcl::TRect img(0, 0, image->Width(), image->Height()), src(0, 0, tpl->Width(), tpl->Height());
  const int ex = m->ConstData.ExBorder;
  const bool valid = m->IsValidImgIndex(ex);
  if (m->CommonSkinData->ExDrawMode == 1 && valid) {
    const TsMaskData& d = m->ma[ex];
    const int c = ch;
    const vcl::TRect margins(d.WL, std::min<int>(d.WT, (image->Height() - c) / 2 + c), d.WR,
                             std::min<int>(d.WB, (image->Height() - c) / 2));
    const int bw = frameWidth;
    const int mode = d.DrawMode & 1;
    PaintControlByTemplate(image, tpl, img, src, margins,
                           vcl::TRect(bw + sh.Left, sh.Top + ch, bw + sh.Right, bw + sh.Bottom),
                           vcl::TRect(mode, mode, mode, mode), false, false);
    return;
  }
  vcl::TRect margins, modes(1, 1, 1, 1);
  bool first = false;
  if (valid) {
    const TsMaskData& d = m->ma[ex];
    margins = vcl::TRect(d.WL, d.WT, d.WR, d.WB);
    modes = vcl::TRect(d.DrawMode, d.DrawMode, d.DrawMode, d.DrawMode);
    first = d.DrawMode != 0;
  } else {
    const int half = (tpl->Width() - 1) / 2;
    margins = vcl::TRect(half, half, half, half);
  }
  PaintControlByTemplate(image, tpl, img, src, margins, sh, modes, first, false);
  int topMask = m->IsValidSkinIndex(titleSkinIndex) ? m->GetMaskIndex(titleSkinIndex, L"BORDERSMASK") : -1;
  const bool titleMask = m->IsValidImgIndex(topMask);
  if (!titleMask) topMask = borderIndex;
  if (m->IsValidImgIndex(topMask)) {
    const TsMaskData& d = m->ma[topMask];
    const int wl = titleMask ? d.WL : std::min<int>(d.WL, 8), wt = titleMask ? d.WT : std::min<int>(d.WT, 8);
    const int wr = titleMask ? d.WR : std::min<int>(d.WR, 8);
    FillTransPixels32(image, tpl, vcl::TRect(sh.Left, sh.Top, sh.Left + wl, sh.Top + wt), vcl::TPoint(sh.Left, sh.Top),
                      topMask, m, HTTOPLEFT);
    const int x = image->Width() - sh.Right - wr;
    FillTransPixels32(image, tpl, vcl::TRect(x, sh.Top, x + wr, sh.Top + wt),
                      vcl::TPoint(std::max(0, tpl->Width() - sh.Right - wr), sh.Top), topMask, m, HTTOPRIGHT);
  }
  const int bottomMask = borderIndex;
  if (m->IsValidImgIndex(bottomMask)) {
    const TsMaskData& d = m->ma[bottomMask];
    const int y = image->Height() - sh.Bottom - d.WB;
    const int sy = std::max(0, tpl->Height() - sh.Bottom - d.WB);
    FillTransPixels32(image, tpl, vcl::TRect(sh.Left, y, sh.Left + d.WL, y + d.WB), vcl::TPoint(sh.Left, sy),
                      bottomMask, m, HTBOTTOMLEFT);
    const int x = image->Width() - sh.Right - d.WR;
    FillTransPixels32(image, tpl, vcl::TRect(x, y, x + d.WR, y + d.WB),
                      vcl::TPoint(std::max(0, tpl->Width() - sh.Right - d.WR), sy), bottomMask, m, HTBOTTOMRIGHT);
  }
}

// ---- Region ------------------------------------------------------------------------------------------------------

HRGN TlvBorderForm::ClientRgn(int newWidth, int newHeight) {
  const bool sizing = (FormState() & FS_SIZING) != 0;
  int l, t, r, b;
  if (sp) {
    vcl::TForm* f = sp->Form;
    l = sp->OffsetX();
    t = sp->OffsetY();
    if (!sizing) {
      r = l + f->ClientWidth();
      b = t + f->ClientHeight();
    } else {
      const vcl::TRect& last = sp->LastClientRect;
      if (last.Right < f->ClientWidth())
        r = l + last.Right;
      else if (newWidth != 0)
        r = l + f->ClientWidth() + newWidth - f->Width();
      else
        r = l + f->ClientWidth();
      if (last.Bottom < f->ClientHeight())
        b = t + last.Bottom;
      else if (newHeight != 0)
        b = t + f->ClientHeight() + newHeight - f->Height();
      else
        b = t + f->ClientHeight();
    }
    // The menu line shows the owner's own painting.
    if (sp->GetLinesCount() > 0 && !(sp->FormState & FS_ACTIVATE)) t -= sp->GetLinesCount() * sp->MenuHeight();
  } else {
    const HWND o = OwnerHandle();
    const vcl::TRect sh = ShadowSize();
    t = Dlg->OffsetY();
    l = sh.Left + SkinBorderWidth(this);
    r = l + GetClientWidth(o);
    vcl::TBitmap* cache = SkinData ? SkinData->CacheBmp() : nullptr;
    b = (cache ? cache->Height() : 0) - SkinBorderWidth(this) - sh.Bottom;
    if (sizing) {
      l = Dlg->OffsetX();
      r = l + GetClientWidth(o);
      b = t + GetClientHeight(o);
    }
  }
  return CreateRectRgn(l, t, std::max(l, r), std::max(t, b));
}

HRGN TlvBorderForm::MakeRgn(int newWidth, int newHeight) {
  if (!AForm || !AForm->HandleAllocated()) return nullptr;
  const vcl::TRect br = WindowRect(AForm->Handle());
  const int W = br.Width(), H = br.Height();
  const HWND owner = OwnerHandle();
  const vcl::TRect sh = ShadowSize();
  HRGN rgn = nullptr;
  if (owner && ::IsZoomed(owner)) {
    // Maximised: the shadow and the outer frame are cut away.
    const int d = SysBorderWidth(owner, this, false) + DiffBorder(this);
    rgn = CreateRectRgn(d + sh.Left, sh.Top + 4, W - d - sh.Right, H - d - sh.Bottom);
  }
  const unsigned state = FormState();
  if (state & (FS_FULLPAINTING | FS_ANIMCLOSING)) {
    const int top = MinTopCoord();
    if (br.Top < top) {
      if (!rgn) rgn = CreateRectRgn(0, 0, W, H);
      HRGN strip = CreateRectRgn(0, 0, W, top - br.Top);
      CombineRgn(rgn, rgn, strip, RGN_XOR);
      DeleteObject(strip);
      MovRgnChanged = true;
    } else {
      MovRgnChanged = false;
    }
    return rgn;
  }
  if (!rgn) rgn = CreateRectRgn(0, 0, W, H);
  HRGN hole = ClientRgn(newWidth, newHeight);
  CombineRgn(rgn, rgn, hole, RGN_XOR);
  DeleteObject(hole);
  return rgn;
}

void TlvBorderForm::UpdateRgn() {
  if (!ResetRgn) return;
  ResetRgn = false;
  if (AForm && AForm->HandleAllocated()) SetWindowRgn(AForm->Handle(), MakeRgn(0, 0), FALSE);
}

HRGN TlvBorderForm::MakeBluringRgn() {
  if (!AForm || !AForm->HandleAllocated()) return nullptr;
  const vcl::TRect br = WindowRect(AForm->Handle());
  const vcl::TRect sh = ShadowSize();
  const vcl::TRect R(sh.Left - 1, sh.Top - 1, br.Width() - sh.Right + 1, br.Height() - sh.Bottom + 1);
  HRGN rgn = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
  TsSkinManager* m = Manager();
  vcl::TBitmap* cache = SkinData ? SkinData->CacheBmp() : nullptr;
  if (!m || !cache || cache->Empty()) return rgn;
  const int c = m->CommonSkinData->ExContentOffs;
  auto handle = [&](int x0, int y0, int x1, int y1) {
    for (int y = std::max(0, y0); y <= std::min(y1, cache->Height() - 1); ++y) {
      const auto* row = static_cast<const std::uint32_t*>(cache->ScanLine(y));
      for (int x = std::max(0, x0); x <= std::min(x1, cache->Width() - 1); ++x) {
        if ((row[x] & 0xFFFFFF) != 0) continue;
        HRGN dot = CreateRectRgn(x, y, x + 1, y + 1);
        CombineRgn(rgn, rgn, dot, RGN_DIFF);
        DeleteObject(dot);
      }
    }
  };
  handle(R.Left, R.Top, R.Left + c, R.Top + c);
  handle(R.Right - c, R.Top, R.Right, R.Top + c);
  handle(R.Left, R.Bottom - c, R.Left + c, R.Bottom);
  handle(R.Right - c, R.Bottom - c, R.Right, R.Bottom);
  return rgn;
}

// ---- Hit testing -------------------------------------------------------------------------------------------------

int TlvBorderForm::GetBtnIndex(vcl::TPoint p) {
  int n = 0;
  if (sp) {
    if (sp->SystemMenu && sp->HaveSysMenu()) {
      ++n;
      if (In(sp->ButtonClose.Rect, p)) return n;
      if (sp->SystemMenu->VisibleMax() && (++n, In(sp->ButtonMax.Rect, p))) return n;
      if (sp->SystemMenu->VisibleMin() && (++n, In(sp->ButtonMin.Rect, p))) return n;
      if (sp->Form->BorderIcons().Contains(vcl::biHelp) && (++n, In(sp->ButtonHelp.Rect, p))) return n;
    }
    for (int i = 0; i < sp->TitleButtons()->Count(); ++i) {
      TsTitleButton* b = sp->TitleButtons()->Items(i);
      ++n;
      if (b->Visible() && In(b->Data.Rect, p)) return n;
    }
    return 0;
  }
  if (!Dlg) return 0;
  ++n;
  if (In(Dlg->ButtonClose.Rect, p)) return n;
  if (Dlg->VisibleMax() && (++n, In(Dlg->ButtonMax.Rect, p))) return n;
  if (Dlg->VisibleMin() && (++n, In(Dlg->ButtonMin.Rect, p))) return n;
  if (Dlg->VisibleHelp() && (++n, In(Dlg->ButtonHelp.Rect, p))) return n;
  return 0;
}

int TlvBorderForm::Ex_WMNCHitTest(vcl::TMessage& m) {
  if (sp && sp->OnExtHitTest) {
    m.Result = 0;
    sp->OnExtHitTest(m);
    if (m.Result != 0) return static_cast<int>(m.Result);
  }
  const HWND owner = OwnerHandle();
  if (!owner || !AForm || !AForm->HandleAllocated()) return HTNOWHERE;
  if (!IsWindowEnabled(owner)) return HTERROR;
  const vcl::TRect br = WindowRect(AForm->Handle());
  const vcl::TPoint s = ScreenPoint(m);
  const vcl::TPoint p(s.X - br.Left, s.Y - br.Top);
  const int W = br.Width(), H = br.Height();
  const bool iconic = IsIconic(owner) != 0;
  const bool help = (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
  // Caption buttons.
  if (const int a = GetBtnIndex(p); a > 0) {
    bool haveButtons, visMax, visMin, visClose, enClose, enMax, enMin, enRestore;
    if (sp) {
      TsSystemMenu* sm = sp->SystemMenu;
      haveButtons = sm && sp->HaveSysMenu();
      visMax = sm && sm->VisibleMax();
      visMin = sm && sm->VisibleMin();
      visClose = sm && sm->VisibleClose();
      enClose = sm && sm->EnabledClose();
      enMax = sm && sm->EnabledMax();
      enMin = sm && sm->EnabledMin();
      enRestore = sm && sm->EnabledRestore();
    } else {
      haveButtons = visClose = Dlg->VisibleClose();
      visMax = Dlg->VisibleMax();
      visMin = Dlg->VisibleMin();
      enClose = Dlg->EnabledClose();
      enMax = Dlg->EnabledMax();
      enMin = Dlg->EnabledMin();
      enRestore = Dlg->EnabledRestore();
    }
    const int n = haveButtons ? 1 + (visMax ? 1 : 0) + (visMin || iconic ? 1 : 0) + (help ? 1 : 0) : 0;
    int r = HTERROR;
    if (a > n && sp) {
      const int count = sp->TitleButtons()->Count();
      if (a <= n + count) {
        const int i = a - n - 1;
        r = sp->TitleButtons()->Items(i)->Enabled() ? HTUDBTN + i : HTERROR;
      }
    } else if (a == 1) {
      if (!haveButtons)
        r = HTERROR;
      else if (sp)
        r = visClose ? (enClose ? HTCLOSE : HTCAPTION) : HTNOWHERE;
      else
        r = enClose ? HTCLOSE : HTNOWHERE;
    } else if (a == 2) {
      if (visMax)
        r = enMax || (enRestore && !iconic) ? HTMAXBUTTON : HTCAPTION;
      else if (visMin || iconic)
        r = enMin ? HTMINBUTTON : HTCAPTION;
      else
        r = help ? HTHELP : HTERROR;
    } else if (a == 3) {
      if (visMin || iconic)
        r = iconic || enMin ? HTMINBUTTON : HTCAPTION;
      else
        r = help ? HTHELP : HTERROR;
    } else if (a == 4) {
      r = help && visMax ? HTHELP : HTERROR;
    }
    if (r != HTERROR) return r;
  }
  const vcl::TRect sh = ShadowSize();
  TsSkinManager* man = Manager();
  // Sizing edges.
  if (!::IsZoomed(owner) && (GetWindowLongPtrW(owner, GWL_STYLE) & WS_THICKFRAME) && man) {
    const TsSkinData& d = *man->CommonSkinData;
    int code = HTERROR;
    bool T, B, L, R;
    if (d.ExDrawMode == 1) {
      const vcl::TRect in(sh.Left - d.ExShadowOffs, sh.Top - d.ExShadowOffsT, W - sh.Right + d.ExShadowOffsR,
                          H - sh.Bottom + d.ExShadowOffsB);
      const int s2 = SysBorderWidth(owner, this, false);
      const bool inside = Between(p.X, in.Left, in.Right) && Between(p.Y, in.Top, in.Bottom);
      T = inside && Between(p.Y, in.Top, in.Top + 4);
      B = inside && Between(p.Y, H - s2 - sh.Bottom + d.ExShadowOffsB, in.Bottom);
      L = inside && Between(p.X, in.Left, in.Left + s2);
      R = inside && Between(p.X, W + d.ExShadowOffsR - s2 - sh.Right, in.Right);
    } else {
      const int c = std::max(d.ExBorderWidth, 6);
      T = Between(p.Y, sh.Top - c, sh.Top);
      B = Between(p.Y, H - sh.Bottom, H - sh.Bottom + c);
      L = Between(p.X, sh.Left - c, sh.Left);
      R = Between(p.X, W - sh.Right, W - sh.Right + c);
    }
    if (T) code = HTTOP;
    if (B) code = HTBOTTOM;
    if (L) code = code == HTTOP ? HTTOPLEFT : code == HTBOTTOM ? HTBOTTOMLEFT : HTLEFT;
    if (R) code = code == HTTOP ? HTTOPRIGHT : code == HTBOTTOM ? HTBOTTOMRIGHT : HTRIGHT;
    if (code != HTERROR) return code;
  }
  // Caption and menu line.
  const int head = SysBorderHeight(owner, this, true) + CaptionHeight(true);
  if (Between(p.Y, 0, head + sh.Top)) return In(IconRect(), p) ? HTSYSMENU : HTCAPTION;
  if (p.Y <= head + MenuHeight()) return HTMENU;
  if (!In(vcl::TRect(sh.Left, sh.Top, W - sh.Right, H - sh.Bottom), p)) return HTERROR;
  // The size grip.
  if (sp && man && man->IsValidImgIndex(man->ConstData.GripRightBottom) && IsGripVisible(sp)) {
    const vcl::TPoint g = sp->RBGripPoint(man->ConstData.GripRightBottom);
    if (p.X > g.X && p.Y > g.Y) return HTBOTTOMRIGHT;
  }
  return HTERROR;
}

bool TlvBorderForm::MouseAboveTheShadow(const vcl::TMessage& m) {
  if (FormState() & FS_BLENDMOVING) return false;
  UpdateRgn();
  TsSkinManager* man = Manager();
  if ((vcl::Application && vcl::Application->Terminated()) || !SkinData || !AForm || !AForm->HandleAllocated() ||
      !man || !man->Active())
    return false;
  const vcl::TRect br = WindowRect(AForm->Handle());
  vcl::TPoint p = ScreenPoint(m);
  if (m.Msg != WM_MOUSEMOVE) p = vcl::TPoint(p.X - br.Left, p.Y - br.Top);
  const HWND owner = OwnerHandle();
  if (owner && ::IsZoomed(owner)) return false;
  const vcl::TRect sh = ShadowSize();
  const TsSkinData& d = *man->CommonSkinData;
  const int W = br.Width(), H = br.Height();
  bool inside;
  if (d.ExDrawMode == 1) {
    inside = Between(p.X, sh.Left - d.ExShadowOffs, W + d.ExShadowOffsR - sh.Right) &&
             Between(p.Y, sh.Top - d.ExShadowOffsT, H + d.ExShadowOffsB - sh.Bottom);
  } else {
    const int a = std::max(6, d.ExBorderWidth);
    inside = Between(p.X, sh.Left - a, W + a - sh.Right) && Between(p.Y, sh.Top - a, H + a - sh.Bottom);
  }
  if (inside) return false;
  SetHotHT(-1, true);
  return true;
}

void TlvBorderForm::PassShadowMouse(vcl::TMessage& m) {
  if (TsSkinManager* man = Manager()) man->SetActiveControl(nullptr);
  lvInMouseMsg = true;
  const HWND bw = AForm->Handle();
  HRGN rgn = MakeRgn(0, 0);
  if (!rgn) {
    const vcl::TRect br = WindowRect(bw);
    rgn = CreateRectRgn(0, 0, br.Width(), br.Height());
  }
  // Client coordinates of a frameless window are its window coordinates.
  const vcl::TPoint p = ScreenPoint(m);
  HRGN dot = CreateRectRgn(p.X, p.Y, p.X + 1, p.Y + 1);
  CombineRgn(rgn, rgn, dot, RGN_XOR);
  DeleteObject(dot);
  const bool modal = sp && sp->Form->Modal();
  if (modal)
    DeleteObject(rgn);
  else
    SetWindowRgn(bw, rgn, FALSE);
  ResetRgn = true;
  lvInMouseMsg = false;
}

bool TlvBorderForm::Ex_WMSetCursor(vcl::TMessage& m) {
  vcl::TMessage h;
  h.Msg = WM_NCHITTEST;
  const vcl::TPoint c = lvMousePos();
  h.LParam = MAKELPARAM(static_cast<WORD>(c.X), static_cast<WORD>(c.Y));
  const int code = Ex_WMNCHitTest(h);
  m.LParam = MAKELPARAM(static_cast<WORD>(code), HIWORD(m.LParam));
  if (MouseAboveTheShadow(h)) return false;
  LPCWSTR cursor = nullptr;
  switch (code) {
    case HTCAPTION:
    case HTMENU:
      cursor = IDC_ARROW;
      break;
    case HTLEFT:
    case HTRIGHT:
      cursor = IDC_SIZEWE;
      break;
    case HTTOP:
    case HTBOTTOM:
      cursor = IDC_SIZENS;
      break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      cursor = IDC_SIZENWSE;
      break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      cursor = IDC_SIZENESW;
      break;
    default:
      return false;
  }
  SetCursor(LoadCursorW(nullptr, cursor));
  m.Result = 1;
  return true;
}

// ---- Messages ----------------------------------------------------------------------------------------------------

void TlvBorderForm::EdgeDblClick(int code) {
  vcl::TForm* f = sp->Form;
  if (f->BorderStyle() != vcl::bsSizeable) return;
  const vcl::TRect work = lvWorkRect(f);
  vcl::TRect& nb = sp->NormalBounds;
  if (code == HTLEFT || code == HTRIGHT) {
    if (sp->FormState & FS_MAXWIDTH) {
      f->SetBounds(nb.Left, f->Top(), nb.Right, f->Height());
      sp->FormState &= ~FS_MAXWIDTH;
    } else {
      nb.Left = f->Left();
      nb.Right = f->Width();
      const int db = DiffBorder(this);
      f->SetBounds(work.Left + db, f->Top(), work.Width() - 2 * db, f->Height());
      sp->FormState |= FS_MAXWIDTH;
    }
  } else {
    if (sp->FormState & FS_MAXHEIGHT) {
      f->SetBounds(f->Left(), nb.Top, f->Width(), nb.Bottom);
      sp->FormState &= ~FS_MAXHEIGHT;
    } else {
      nb.Top = f->Top();
      nb.Bottom = f->Height();
      const int dt = DiffTitle(this);
      f->SetBounds(f->Left(), work.Top + dt, f->Width(), work.Height() - dt - DiffBorder(this));
      sp->FormState |= FS_MAXHEIGHT;
    }
  }
}

void TlvBorderForm::BorderProc(vcl::TMessage& m) {
  const HWND owner = OwnerHandle();
  switch (m.Msg) {
    case WM_MOVE:
      if (sp && (sp->FormState & FS_BLENDMOVING) && (AForm->Top() < MinTopCoord() || MovRgnChanged)) {
        ResetRgn = true;
        UpdateRgn();
      }
      if (sp) sp->MoveGluedForms(true);
      return;
    case WM_SETFOCUS:
      // The focus belongs to the owner.
      if (sp && sp->Form && !sp->Form->ComponentState().Contains(vcl::csDestroying) && sp->Form->HandleAllocated() &&
          IsWindowVisible(sp->Form->Handle()) && sp->Form->CanFocus() && sp->Form->Enabled())
        sp->Form->SetFocus();
      else if (Dlg && owner && IsWindowVisible(owner) && IsWindowEnabled(owner))
        SetFocus(owner);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    case WM_SETCURSOR:
      if (!Ex_WMSetCursor(m)) OldBorderProc(m);
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      if (owner && OwnerEnabled()) SetForegroundWindow(owner);
      return;
    case WM_WINDOWPOSCHANGING:
      OldBorderProc(m);
      if (AForm) LastTopLeft = vcl::TPoint(AForm->Left(), AForm->Top());
      return;
    case WM_WINDOWPOSCHANGED:
      KillAnimations();
      OldBorderProc(m);
      return;
    case WM_NCHITTEST:
      OldBorderProc(m);
      if (!MouseAboveTheShadow(m)) m.Result = HTOBJECT;
      return;
    case WM_NCMOUSEMOVE: {
      if (TsSkinManager* man = Manager()) man->SetActiveControl(nullptr);
      const int h = Ex_WMNCHitTest(m);
      m.Result = h;
      if (h == HTMINBUTTON || h == HTMAXBUTTON || h == HTCLOSE || h == HTHELP || (h >= HTUDBTN && h <= HTITEM + 100)) {
        SetHotHT(h, true);
        return;
      }
      SetHotHT(0, true);
      if (MaxMoving && sp && owner && ::IsZoomed(owner)) {
        const vcl::TPoint c = lvMousePos();
        if (std::abs(c.X - LastMousePos.X) > 5 || std::abs(c.Y - LastMousePos.Y) > 5) {
          // Dragging a maximised form's caption restores it under the cursor and goes on moving it.
          ExBorderShowing = true;
          vcl::TForm* f = sp->Form;
          f->SetWindowState(vcl::wsNormal);
          const int x = c.X - f->Width() / 2;
          const int y = Between(c.Y, 0, 24) ? -8 : c.Y - 8;
          f->SetBounds(x, y, f->Width(), f->Height());
          ExBorderShowing = false;
          MaxMoving = false;
          vcl::TMessage down;
          down.Msg = WM_NCLBUTTONDOWN;
          down.WParam = HTCAPTION;
          down.LParam = MAKELPARAM(static_cast<WORD>(c.X), static_cast<WORD>(c.Y));
          BorderProc(down);
        }
      }
      return;
    }
    case WM_NCLBUTTONDOWN: {
      if (MouseAboveTheShadow(m)) return;
      ExBorderShowing = false;
      const int h = MaxMoving ? static_cast<int>(m.WParam) : Ex_WMNCHitTest(m);
      if (h == HTCAPTION && sp && owner && ::IsZoomed(owner)) {
        MaxMoving = true;
        LastMousePos = lvMousePos();
        return;
      }
      if (!owner) return;
      // The owner answers by the hit code the border window found.
      SendMessageW(owner, WM_NCLBUTTONDOWN, h == HTSYSMENU ? HTSYSMENU : static_cast<WPARAM>(h), m.LParam);
      return;
    }
    case WM_NCLBUTTONUP:
      if (MouseAboveTheShadow(m)) return;
      MaxMoving = false;
      if (owner) SendMessageW(owner, WM_NCLBUTTONUP, static_cast<WPARAM>(Ex_WMNCHitTest(m)), m.LParam);
      return;
    case WM_NCLBUTTONDBLCLK: {
      MaxMoving = false;
      if (sp && sp->ResizeMode() == rmBorder && sp->bInProcess) {
        sp->StopMove(0, 0);
        ReleaseCapture();
        sp->bInProcess = false;
      }
      const int h = Ex_WMNCHitTest(m);
      m.WParam = static_cast<WPARAM>(h);
      if (!sp) return;
      switch (h) {
        case HTCAPTION:
        case HTSYSMENU:
          SendMessageW(owner, WM_NCLBUTTONDBLCLK, h, m.LParam);
          break;
        case HTLEFT:
        case HTRIGHT:
        case HTTOP:
        case HTBOTTOM:
          EdgeDblClick(h);
          break;
        default:
          break;
      }
      return;
    }
    case WM_NCRBUTTONDOWN:
      if (MouseAboveTheShadow(m)) return;
      if (owner) SendMessageW(owner, WM_NCRBUTTONDOWN, static_cast<WPARAM>(Ex_WMNCHitTest(m)), m.LParam);
      return;
    case WM_NCRBUTTONUP:
      if (MouseAboveTheShadow(m)) return;
      if (owner) SendMessageW(owner, WM_NCRBUTTONUP, static_cast<WPARAM>(Ex_WMNCHitTest(m)), m.LParam);
      return;
    default:
      if (m.Msg >= WM_MOUSEMOVE && m.Msg <= WM_MBUTTONDBLCLK) {
        if (MouseAboveTheShadow(m)) PassShadowMouse(m);
        return;
      }
      OldBorderProc(m);
  }
}

