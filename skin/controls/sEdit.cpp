#include "skin/controls/sEdit.h"

#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

constexpr TsCorners kAllCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom};

}  // namespace

TsEdit::TsEdit(vcl::TComponent* owner)
    : vcl::TEdit(owner),
      FCommonData(std::make_unique<TsCtrlSkinData>(this, true)),
      FBoundLabel(std::make_unique<TsBoundLabel>(this, FCommonData.get())) {
  FCommonData->COC = COC_TsEdit;
}

TsEdit::~TsEdit() {
  // The label goes first: it still looks at the edit's skin state while it is taken down.
  FBoundLabel.reset();
  FCommonData.reset();
}

void TsEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
}

void TsEdit::SetDisabledKind(TsDisabledKind value) {
  if (FDisabledKind == value) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

int TsEdit::FrameWidth() const {
  if (!HandleAllocated()) return 2;
  if (GetWindowLongPtrW(handle_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) return 2;
  return (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_BORDER) ? 1 : 0;
}

void TsEdit::PaintText() {
  TsCommonData* sd = FCommonData.get();
  vcl::TCanvas* c = sd->CacheBmp()->Canvas();
  c->Font()->Assign(Font());
  const int t = FrameWidth();
  const int s = t > 0 ? 1 : 0;
  // The bottom edge keeps the single-line inset only: the text sits at the top of the rectangle anyway.
  vcl::TRect r(t + s, t + s, width_ - t - s, height_ - t);
  const unsigned flags =
      (sctrl::GetStringFlags(this, vcl::taLeftJustify) & ~static_cast<unsigned>(DT_VCENTER)) | DT_SINGLELINE |
      DT_NOPREFIX;
  rtl::String text = Text();
  if (!text.empty()) {
    if (PasswordChar() != 0) text = rtl::String(text.size(), PasswordChar() == L'*' ? L'\x25CF' : PasswordChar());
    lvWriteTextEx(c, text.c_str(), true, r, flags, sd, ControlIsActive(sd), nullptr);
    return;
  }
  if (TextHint().empty()) return;
  c->Brush()->SetStyle(vcl::bsClear);
  const vcl::TColor colour = sd->Skinned()
                                 ? MixColors(vcl::ColorToRGB(Font()->Color()), vcl::ColorToRGB(Color()), 0.65)
                                 : vcl::ColorToRGB(vcl::clGrayText);
  c->Font()->SetColor(colour);
  SetTextColor(c->Handle(), vcl::ColorToGdi(colour));
  SetBkMode(c->Handle(), TRANSPARENT);
  lvDrawText(c->Handle(), TextHint(), r, flags);
}

bool TsEdit::PrepareCache() {
  TCacheInfo ci;
  if (!sctrl::ParentCI(this, ci)) return false;
  TsCommonData* sd = FCommonData.get();
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const vcl::TRect all(0, 0, width_, height_);
  const int state = ControlIsActive(sd) ? 1 : 0;
  if (FrameWidth() > 0)
    PaintItem(sd, ci, true, state, all, vcl::TPoint(left_, top_), cache, false);
  else
    PaintItemBG(sd, ci, state, all, vcl::TPoint(left_, top_), cache);
  PaintText();
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, vcl::TPoint(left_, top_));
  sd->BGChanged = false;
  return true;
}

void TsEdit::ExcludeChildControls(HDC dc) {
  if (ControlCount() == 0) return;
  // Client coordinates to window coordinates: the frame lies around the client area.
  const int b = FrameWidth();
  const int d = b == 0 ? -1 : b;
  for (int i = 0; i < ControlCount(); ++i) {
    vcl::TControl* c = Controls(i);
    ExcludeClipRect(dc, c->Left() + d, c->Top() + d, c->Left() + c->Width() + d, c->Top() + c->Height() + d);
  }
}

void TsEdit::OurPaintHandler(HDC given) {
  TsCommonData* sd = FCommonData.get();
  PAINTSTRUCT ps{};
  const bool own = !InAnimationProcess;
  if (own) BeginPaint(handle_, &ps);
  if (!InUpdating(sd, false)) {
    HDC dc = given ? given : GetWindowDC(handle_);
    const int saved = SaveDC(dc);
    sd->BGChanged = sd->BGChanged || sd->HalfVisible ||
                    (Parent() && GetBoolMsg(static_cast<vcl::TWinControl*>(Parent()), LVC_GETHALFVISIBLE));
    if (Parent()) {
      const vcl::TRect pr = Parent()->ClientRect();
      sd->HalfVisible = !RectInRect(pr, BoundsRect());
    }
    if (!sd->BGChanged || PrepareCache()) {
      UpdateCorners(sd, 0, kAllCorners);
      ExcludeChildControls(dc);
      sctrl::CopyCache(sd, dc, vcl::TRect(0, 0, width_, height_));
    } else {
      sd->SetUpdatingFlag(true);
    }
    RestoreDC(dc, saved);
    if (!given) ReleaseDC(handle_, dc);
  }
  if (own) EndPaint(handle_, &ps);
}

void TsEdit::PaintBorder() {
  TsCommonData* sd = FCommonData.get();
  if (!HandleAllocated() || InUpdating(sd, false)) return;
  HDC dc = GetWindowDC(handle_);
  const int saved = SaveDC(dc);
  if (sd->BGChanged && !PrepareCache()) {
    sd->SetUpdatingFlag(true);
  } else {
    UpdateCorners(sd, 0, kAllCorners);
    BitBltBorder(dc, 0, 0, width_, height_, sd->CacheBmp()->Canvas()->Handle(), 0, 0, FrameWidth());
  }
  RestoreDC(dc, saved);
  ReleaseDC(handle_, dc);
}

void TsEdit::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  // Every message the edit saw goes to its bound label last.
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsEdit::SkinnedWndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
      case LVC_REMOVESKIN:
        if (sm != sd->SkinManager()) break;
        CommonMessage(m, sd);
        if (m.WParamHi() == LVC_REMOVESKIN && HandleAllocated())
          RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
      case LVC_REFRESH:
        if (sm != sd->SkinManager()) break;
        CommonMessage(m, sd);
        if (!InAnimationProcess && HandleAllocated() && Visible())
          RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
      case LVC_GETDEFINDEX:
        HandleSkinCommand(this, sd, m, L"EDIT");
        return;
      case LVC_CHILDCHANGED:
        m.LParam = 0;
        return;
      case LVC_GETCONTROLCOLOR:
        if (!sd->Skinned()) {
          m.Result = vcl::ColorToRGB(Color());
          return;
        }
        break;
      case LVC_PREPARECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      case LVC_ENDPARENTUPDATE:
        if (sd->UpdatingFlag() && !InUpdating(sd, true) && HandleAllocated()) {
          Repaint();
          SendMessageW(handle_, WM_NCPAINT, 0, 0);
        }
        return;
      default:
        if (CommonMessage(m, sd)) return;
        break;
    }
  }
  if (!(ControlIsReady(this) && sd->Skinned())) {
    inherited::WndProc(m);
    return;
  }
  const bool focused = HandleAllocated() && GetFocus() == handle_;
  switch (m.Msg) {
    case WM_PAINT:
      if (InAnimationProcess || InUpdating(sd, false)) {
        PAINTSTRUCT ps;
        BeginPaint(handle_, &ps);
        EndPaint(handle_, &ps);
        return;
      }
      if (Enabled() && focused) break;
      OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
    case vcl::CN_DRAWITEM:
      if (!InAnimationProcess && !InUpdating(sd, false) && Enabled() && focused) break;
      m.Result = 1;
      return;
    case WM_NCPAINT:
      PaintBorder();
      m.Result = 0;
      return;
    case WM_PRINT: {
      sd->SetUpdatingFlag(false);
      if (!PrepareCache()) return;
      UpdateCorners(sd, 0, kAllCorners);
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const int b = FrameWidth();
      vcl::TBitmap* cache = sd->CacheBmp();
      if (m.LParam & PRF_CLIENT) {
        // The client part of the cache lands at the DC's origin.
        POINT old;
        GetWindowOrgEx(dc, &old);
        SetWindowOrgEx(dc, old.x + b, old.y + b, nullptr);
        IntersectClipRect(dc, 0, 0, cache->Width() - b, cache->Height() - b);
      } else {
        BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, b);
      }
      sctrl::CopyCache(sd, dc, vcl::TRect(0, 0, width_, height_));
      return;
    }
    case vcl::CM_COLORCHANGED:
      if (sd->CustomColor()) sd->BGChanged = true;
      break;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE:
      // The hot look of an edit (when edits may be hot) is another state of the cache.
      sd->BGChanged = true;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The look switches between the edit's own client painting and the cached one.
      sd->BGChanged = true;
      if (CommonWndProc(m, sd)) return;
      inherited::WndProc(m);
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
      return;
    default: break;
  }
  if (CommonWndProc(m, sd)) return;
  inherited::WndProc(m);
  switch (m.Msg) {
    case WM_SETTEXT:
    case WM_SETFONT:
    case vcl::CM_VISIBLECHANGED:
    case vcl::CM_ENABLEDCHANGED:
    case vcl::CM_TEXTCHANGED:
      if (!IsLoading() && !InAnimationProcess && HandleAllocated()) {
        sd->BGChanged = true;
        Repaint();
        SendMessageW(handle_, WM_NCPAINT, 0, 0);
      }
      break;
    case WM_SIZE:
      if (HandleAllocated()) SendMessageW(handle_, WM_NCPAINT, 0, 0);
      break;
    default: break;
  }
}

VCL_REGISTER(TsEdit) {
  cls.Prop(L"Align", &TsEdit::Align, &TsEdit::SetAlign).Default(vcl::alNone);
  cls.Prop(L"SkinData", &TsEdit::SkinData, &TsEdit::SetSkinData);
  cls.Prop(L"BoundLabel", &TsEdit::BoundLabel, &TsEdit::SetBoundLabel);
}
