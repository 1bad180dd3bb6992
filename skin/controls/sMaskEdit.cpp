#include "skin/controls/sMaskEdit.h"

#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

TsMaskEdit::TsMaskEdit(vcl::TComponent* owner)
    : vcl::TMaskEdit(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FBoundLabel = std::make_unique<TsBoundLabel>(this, FCommonData.get());
  FCommonData->COC = COC_TsEdit;
  control_style_ -= vcl::csSetCaption;
}

TsMaskEdit::~TsMaskEdit() = default;

void TsMaskEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsMaskEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
}

void TsMaskEdit::SetDisabledKind(TsDisabledKind value) {
  if (FDisabledKind == value) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsMaskEdit::ValidateEdit() {
  if (!FCheckOnExit) return;
  try {
    inherited::ValidateEdit();
  } catch (const rtl::EDBEditError& e) {
    rtl::String text = e.Message();
    OnValidateError(this, text);
    throw rtl::EDBEditError(text);
  }
}

int TsMaskEdit::BorderWidth() {
  if (!HandleAllocated()) return 3;
  const LONG_PTR ex = GetWindowLongPtrW(handle_, GWL_EXSTYLE);
  if (ex & WS_EX_CLIENTEDGE) return 3;
  return (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_BORDER) ? 2 : 0;
}

void TsMaskEdit::PaintText() {
  vcl::TCanvas* c = FCommonData->CacheBmp()->Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(vcl::bsClear);
  const int b = BorderWidth();
  rtl::String text = HandleAllocated() ? EditText() : Text();
  if (text.empty()) {
    if (TextHint().empty()) return;
    vcl::TRect r(b, b, width_ - b, b + lvTextHeight(c, TextHint()) + 2);
    const vcl::TColor colour = FCommonData->Skinned()
                                   ? MixColors(vcl::ColorToRGB(Font()->Color()), vcl::ColorToRGB(Color()), 0.65)
                                   : vcl::ColorToRGB(vcl::clGrayText);
    c->Font()->SetColor(colour);
    lvDrawText(c->Handle(), TextHint(), r,
               sctrl::GetStringFlags(this, vcl::taLeftJustify) | DT_NOPREFIX | DT_EXTERNALLEADING);
    return;
  }
  vcl::TRect r(b, b, width_ - b, b + lvTextHeight(c, text) + 2);
  unsigned flags = DT_NOPREFIX | DT_EXTERNALLEADING;
  if (PasswordChar() != 0) {
    text = rtl::String(text.size(), PasswordChar());
    flags = sctrl::GetStringFlags(this, vcl::taLeftJustify) | DT_NOPREFIX;
  }
  if (FCommonData->Skinned()) {
    WriteTextEx(c, text.c_str(), true, r, flags, FCommonData.get(), ControlIsActive(FCommonData.get()));
  } else {
    SetTextColor(c->Handle(), vcl::ColorToGdi(Font()->Color()));
    SetBkMode(c->Handle(), TRANSPARENT);
    lvDrawText(c->Handle(), text, r, flags);
  }
}

bool TsMaskEdit::PrepareCache() {
  TCacheInfo ci;
  if (!sctrl::ParentCI(this, ci)) return false;
  TsCommonData* sd = FCommonData.get();
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const vcl::TRect all(0, 0, width_, height_);
  if (!sd->Skinned()) {
    FillDC(cache->Canvas()->Handle(), all, vcl::ColorToRGB(Color()));
    PaintText();
    return true;
  }
  const int state = ControlIsActive(sd) ? 1 : 0;
  if (BorderWidth() > 0)
    PaintItem(sd, ci, true, state, all, vcl::TPoint(left_, top_), cache, false);
  else
    PaintItemBG(sd, ci, 0, all, vcl::TPoint(left_, top_), cache);
  PaintText();
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, vcl::TPoint(left_, top_));
  sd->BGChanged = false;
  return true;
}

void TsMaskEdit::OurPaintHandler(HDC given) {
  TsCommonData* sd = FCommonData.get();
  PAINTSTRUCT ps{};
  const bool own = !(InAnimationProcess && given);
  if (own) BeginPaint(handle_, &ps);
  HDC dc = given ? given : GetWindowDC(handle_);
  const int saved = SaveDC(dc);
  bool ok = true;
  if (!InUpdating(sd, false)) {
    sd->BGChanged = sd->BGChanged || sd->HalfVisible;
    if (Parent()) {
      vcl::TRect pr = Parent()->ClientRect();
      sd->HalfVisible = !(left_ >= 0 && top_ >= 0 && left_ + width_ <= pr.Width() && top_ + height_ <= pr.Height());
    }
    if (sd->BGChanged && !PrepareCache()) {
      sd->SetUpdatingFlag(true);
      ok = false;
    }
    if (ok) {
      UpdateCorners(sd, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
      ExcludeChildControls(dc);
      sctrl::CopyCache(sd, dc, vcl::TRect(0, 0, width_, height_));
    }
  }
  RestoreDC(dc, saved);
  if (!given) ReleaseDC(handle_, dc);
  if (own) EndPaint(handle_, &ps);
}

void TsMaskEdit::ExcludeChildControls(HDC dc) {
  // The window DC includes the border: children sit BorderWidth - 1 further in.
  const int shift = BorderWidth() - 1;
  for (int i = 0; i < ControlCount(); ++i) {
    vcl::TControl* c = Controls(i);
    if (!c->Visible()) continue;
    ExcludeClipRect(dc, c->Left() + shift, c->Top() + shift, c->Left() + c->Width() + shift,
                    c->Top() + c->Height() + shift);
  }
}

void TsMaskEdit::PaintBorder(HDC given) {
  TsCommonData* sd = FCommonData.get();
  if (!Parent() || !Visible() || !Parent()->Visible() || !HandleAllocated() || BorderWidth() == 0 ||
      InUpdating(sd, false))
    return;
  HDC dc = given ? given : GetWindowDC(handle_);
  const int saved = SaveDC(dc);
  if (!sd->BGChanged || PrepareCache()) {
    UpdateCorners(sd, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
    BitBltBorder(dc, 0, 0, width_, height_, sd->CacheBmp()->Canvas()->Handle(), 0, 0, 2);
  }
  RestoreDC(dc, saved);
  if (!given) ReleaseDC(handle_, dc);
}

void TsMaskEdit::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  // Every message the control saw is shown to its bound label last.
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsMaskEdit::SkinnedWndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
    switch (m.WParamHi()) {
      case LVC_REMOVESKIN:
        HandleSkinCommand(this, sd, m, L"EDIT");
        if (sm == sd->SkinManager()) Invalidate();
        return;
      case LVC_REFRESH:
        HandleSkinCommand(this, sd, m, L"EDIT");
        if (sm == sd->SkinManager() && HandleAllocated()) {
          sd->BGChanged = true;
          SendMessageW(handle_, WM_NCPAINT, 0, 0);
          Repaint();
        }
        return;
      case LVC_ENDPARENTUPDATE:
        if (sd->UpdatingFlag()) {
          sd->SetUpdatingFlag(false);
          if (HandleAllocated()) {
            InvalidateRect(handle_, nullptr, TRUE);
            SendMessageW(handle_, WM_NCPAINT, 0, 0);
          }
          return;
        }
        break;
      case LVC_PREPARECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      default: break;
    }
    HandleSkinCommand(this, sd, m, L"EDIT");
    return;
  }
  const bool focused = HandleAllocated() && GetFocus() == handle_;
  if (sd->Skinned() && ControlIsReady(this)) {
    switch (m.Msg) {
      case WM_PAINT:
        if (focused) {
          inherited::WndProc(m);
          PaintBorder(nullptr);
        } else {
          OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
        }
        m.Result = 0;
        return;
      case WM_ERASEBKGND:
        if (InAnimationProcess) return;
        if (!focused) {
          m.Result = 1;
          return;
        }
        break;
      case WM_NCPAINT:
        if (!InAnimationProcess && !InUpdating(sd, false)) PaintBorder(nullptr);
        m.Result = 0;
        return;
      case WM_PRINT:
        sd->SetUpdatingFlag(false);
        sd->BGChanged = true;
        OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
        return;
      case vcl::CM_COLORCHANGED:
      case vcl::CM_CHANGED:
      case WM_SETTEXT:
        sd->BGChanged = true;
        break;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        sd->BGChanged = true;
        if (CommonWndProc(m, sd)) return;
        inherited::WndProc(m);
        // The look changes between the edit's own painting and the cached one.
        if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
        return;
      default: break;
    }
    if (CommonWndProc(m, sd)) return;
    inherited::WndProc(m);
    switch (m.Msg) {
      case WM_SETFONT:
      case vcl::CM_VISIBLECHANGED:
      case vcl::CM_ENABLEDCHANGED:
      case vcl::CN_COMMAND:
        sd->Invalidate();
        break;
      default: break;
    }
    return;
  }
  inherited::WndProc(m);
}

VCL_REGISTER(TsMaskEdit) {
  cls.Prop(L"AutoSize", &TsMaskEdit::AutoSize, &TsMaskEdit::SetAutoSize).Default(true);
  cls.Prop(L"CheckOnExit", &TsMaskEdit::CheckOnExit, &TsMaskEdit::SetCheckOnExit);
  cls.Prop(L"SkinData", &TsMaskEdit::SkinData, &TsMaskEdit::SetSkinData);
  cls.Prop(L"BoundLabel", &TsMaskEdit::BoundLabel, &TsMaskEdit::SetBoundLabel);
}
